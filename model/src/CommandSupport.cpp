#include "model/CommandSupport.h"

#include <zrcomm/zrcomm.h>

#include <atomic>

namespace model {

namespace {

struct ErrorText {
    std::uint32_t code;
    const char* english;
    const char* japanese;
};

// The English texts are the ones users and support know, misspellings included.
constexpr ErrorText kErrorTexts[] = {
    {7, "Unauthorized data received", "不正なデータを受信しました"},
    {0x2000000c, "Unauthorized data received", "不正なデータを受信しました"},
    {0x20000003, "Failed to send", "送信に失敗しました"},
    {0x20000004, "No response", "応答がありません"},
    {0x2000000b, "Failed to recceive", "受信に失敗しました"},
    {0x40000001, "COM port already open", "COMポートは既に開いています"},
    {0x40000002, "COM port failed to open", "COMポートを開けませんでした"},
    {0x40000003, "COM port setting failed", "COMポートの設定に失敗しました"},
    {0x40000004, "COM port not open", "COMポートが開いていません"},
    {0x40000005, "No connection / No response", "接続されていません / 応答がありません"},
    {0x40000006, "Cannot send new message during communication", "通信中のため新しいメッセージを送信できません"},
    {0x40000007, "Communication data does not exist", "通信データがありません"},
    {0x40000008, "Communication data remains", "未処理の通信データが残っています"},
    {0x40000009, "Communication time out", "通信がタイムアウトしました"},
    {0x4000000b, "Command not supported", "サポートされていないコマンドです"},
    {0x4000000c, "Option not supported", "サポートされていないオプションです"},
    {0x4000000d, "Command cannot be set", "このコマンドは設定できません"},
    {0x4000000e, "Command cannot be read", "このコマンドは読み出せません"},
    {0x4000000f, "Data out of range", "データが範囲外です"},
    {0x40000010, "Condition mismatch", "条件が一致しません"},
    {0x40000011, "Data cannot be omitted", "データを省略できません"},
    {0x40000012, "Password is not disabled", "パスワードが解除されていません"},
    {0x40000013, "Unknown error", "不明なエラーです"},
    {0x41000001, "Specified communication data does not exist. Unknown command received.",
     "指定された通信データがありません。不明なコマンドを受信しました。"},
};

std::atomic<std::uint32_t> g_lastMonitorCode{0};
std::atomic<plat::HWND> g_mainWindow{nullptr};

} // namespace

std::string GetCommErrorText(std::uint32_t code, plat::LANGID language)
{
    for (const auto& entry : kErrorTexts) {
        if (entry.code == code)
            return language == plat::LANG_JAPANESE ? entry.japanese : entry.english;
    }
    return std::string();
}

std::uint32_t GetCommandFailure(plat::WPARAM event, std::int32_t commandId,
                                const std::function<std::uint32_t(std::int32_t)>& commandState)
{
    if (event == COMM_EVENT_WRITE_FAILED || event == COMM_EVENT_TIMEOUT)
        return static_cast<std::uint32_t>(event);
    if (event != COMM_EVENT_COMPLETED)
        return 0;
    // Without a way to ask, a completed command cannot be called good.
    if (!commandState)
        return COMM_ERR_NO_COMMAND;
    const CommandStatus state = commandState(commandId);
    switch (state) {
    case COMM_OK:
    case CMD_WAITING:
    case CMD_SENDING:
    case CMD_WAIT_ECHO:
    case CMD_WAIT_REPLY:
        return 0;
    default:
        return state;
    }
}

void SetMainWindow(plat::HWND window)
{
    g_mainWindow.store(window, std::memory_order_relaxed);
}

plat::HWND GetMainWindow()
{
    return g_mainWindow.load(std::memory_order_relaxed);
}

void SetCommEventState(std::uint32_t monitorCode)
{
    g_lastMonitorCode.store(monitorCode, std::memory_order_relaxed);
}

std::uint32_t GetCommEventState()
{
    return g_lastMonitorCode.load(std::memory_order_relaxed);
}

} // namespace model

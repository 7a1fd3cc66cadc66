#include "comm_strings.h"

namespace zrcomm {
namespace {

struct Text {
    unsigned id;
    const char* english;
    const char* japanese;
};

// The English texts are kept exactly as the driver's users know them from older logs, spelling
// included.
constexpr Text kTexts[] = {
    {IDS_DLL_START, "KVX Talverin communication DLL start", "KVX Talverin 通信DLL開始"},
    {IDS_DLL_END, "KVX Talverin communication DLL end", "KVX Talverin 通信DLL終了"},
    {IDS_DATA_DELETED, "... %d datas have been deleted ...\r\n", "... %d 件のデータを削除しました ...\r\n"},
    {IDS_INIT_COMM, "Initialize communication", "通信初期化"},
    {IDS_TERM_COMM, "Terminate communication", "通信終了"},
    {IDS_CHECKING, "Checking connection", "接続確認"},
    {IDS_CHECKING_ANSWERED, "Checking connection...", "接続確認中..."},
    {IDS_START_CONNECTION, "Start connection", "接続開始"},
    {IDS_STOP_CONNECTION, "Stop connection", "接続停止"},
    {IDS_SEND_DIRECT, "Send command directly", "コマンド直接送信"},
    {IDS_FAIL_SEND_TIMEOUT, "Communication failure (Send data time out)", "通信異常（送信タイムアウト）"},
    {IDS_FAIL_NO_ECHO, "Communication failure (No echo back)", "通信異常（エコーバックなし）"},
    {IDS_FAIL_RECEIVE_TIMEOUT, "Communication failure (Receive data time out)", "通信異常（受信タイムアウト）"},
    {IDS_NO_REPLY, "No communicaton reply", "通信応答なし"},
    {IDS_BAUD_START, "Start setting baud rate", "通信速度設定開始"},
    {IDS_BAUD_SET, "Baud rate is set", "通信速度設定完了"},
    {IDS_BAUD_FAILED, "Failed to set baud rate", "通信速度設定失敗"},
    {IDS_STOPBITS_15_AS_2, "1.5 stop bits are not available: the line uses 2 stop bits",
     "1.5ストップビットは使用できないため、2ストップビットで通信します"},
    {IDS_FAIL_LINE_GONE, "Communication failure (Device disconnected)", "通信異常（デバイス切断）"},
    {IDS_IDENTIFY_UNREADABLE, "Stop connection (Identification reply cannot be read)",
     "接続停止（識別情報の応答を読み取れません）"},
};

} // namespace

const char* CommString(unsigned id, plat::LANGID language)
{
    for (const auto& t : kTexts)
        if (t.id == id)
            return language == plat::LANG_JAPANESE ? t.japanese : t.english;
    return "";
}

} // namespace zrcomm

// The library's own state, one per process from library load to unload: the open port, the monitor
// window that outlasts ports, the last result, and the library's language.
#pragma once

#include "comm_port.h"

#include <platform/sync.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zrcomm {

class CCommApp {
public:
    static CCommApp& Get();

    // Library load: language, log file in the program folder (previous log kept as ".bak"), first
    // line.
    void InitInstance();
    // Library unload: a port left open is closed, the log writer stopped, last line, flush.
    void ExitInstance();
    // The log set-up of InitInstance for a given folder (tests use their own folder).
    static std::string InitLog(const std::string& folder);

    CCommPort* Port() { return m_port.get(); }
    void SetPort(std::unique_ptr<CCommPort> port) { m_port = std::move(port); }
    std::unique_ptr<CCommPort> TakePort() { return std::move(m_port); }

    // Closes the port on a thread of its own, deletes it, then runs then. For a close asked for from
    // inside a text handler of the port: the port's receive thread waits for that handler, so the
    // handler's thread cannot wait for the receive thread.
    void CloseLater(std::unique_ptr<CCommPort> port, std::function<void()> then);
    // Waits for the closes CloseLater started, except one whose text handler the calling thread is
    // still in (it cannot end before the handler returns); false when such a close is left.
    bool FinishPendingCloses();

    plat::HWND MonitorWindow() const { return m_monitorWnd; }
    void SetMonitorWindow(plat::HWND w) { m_monitorWnd = w; }
    // Why the last attempt to open a device failed; empty after one that opened it.
    const std::string& OpenErrorText() const { return m_openErrorText; }
    void SetOpenErrorText(std::string text) { m_openErrorText = std::move(text); }
    // Why the line of the port closed last failed (ZRComm_GetLineError after ZRComm_Term).
    void KeepLineError(CommResult code, std::string text)
    {
        m_lineError = code;
        m_lineErrorText = std::move(text);
    }
    CommResult LineError() const { return m_lineError; }
    const std::string& LineErrorText() const { return m_lineErrorText; }
    CommResult LastError() const { return m_lastError; }
    CommResult SetLastError(CommResult r) { return m_lastError = r; }
    plat::LANGID Language() const { return m_language; }
    // Also the language of the log's texts.
    void SetLanguage(plat::LANGID language);

private:
    CCommApp() = default;
    std::unique_ptr<CCommPort> m_port;
    struct PendingClose {
        plat::Thread thread;
        CCommPort* port = nullptr; // none once it is closed; guarded by m_closeMutex
    };
    std::mutex m_closeMutex;
    std::vector<std::unique_ptr<PendingClose>> m_closes; // changed only by the calling thread
    plat::HWND m_monitorWnd = nullptr;
    CommResult m_lastError = COMM_OK;
    std::string m_openErrorText;
    CommResult m_lineError = COMM_OK;
    std::string m_lineErrorText;
    plat::LANGID m_language = plat::LANG_ENGLISH_US;
};

// The folder of the library file, whatever the file is called.
std::string LibraryFolder();

} // namespace zrcomm

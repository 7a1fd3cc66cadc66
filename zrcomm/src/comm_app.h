// The library's own state, one per process from library load to unload: the open port, the monitor
// window that outlasts ports, the last result, and the library's language.
#pragma once

#include "comm_port.h"

#include <memory>
#include <mutex>
#include <string>

namespace zrcomm {

class CCommApp {
public:
    static CCommApp& Get();

    // Library load: language, log file beside the library (previous log kept as ".bak"), first line.
    void InitInstance();
    // Library unload: a port left open is closed, the log writer stopped, last line, flush.
    void ExitInstance();
    // The log set-up of InitInstance for a given library folder (tests use their own folder).
    static std::string InitLog(const std::string& libraryFolder);

    CCommPort* Port() { return m_port.get(); }
    void SetPort(std::unique_ptr<CCommPort> port) { m_port = std::move(port); }
    std::unique_ptr<CCommPort> TakePort() { return std::move(m_port); }

    plat::HWND MonitorWindow() const { return m_monitorWnd; }
    void SetMonitorWindow(plat::HWND w) { m_monitorWnd = w; }
    CommResult LastError() const { return m_lastError; }
    CommResult SetLastError(CommResult r) { return m_lastError = r; }
    plat::LANGID Language() const { return m_language; }
    // Also the language of the log's texts.
    void SetLanguage(plat::LANGID language);

private:
    CCommApp() = default;
    std::unique_ptr<CCommPort> m_port;
    plat::HWND m_monitorWnd = nullptr;
    CommResult m_lastError = COMM_OK;
    plat::LANGID m_language = plat::LANG_ENGLISH_US;
};

// The folder of the library file, whatever the file is called.
std::string LibraryFolder();

} // namespace zrcomm

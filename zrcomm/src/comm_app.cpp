#include "comm_app.h"

#include "comm_log.h"
#include "comm_strings.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace zrcomm {

CCommApp& CCommApp::Get() {
    static auto* app = new CCommApp(); // lives until the process ends; unload work is ExitInstance
    return *app;
}

void CCommApp::SetLanguage(plat::LANGID language) {
    m_language = language;
    CCommLog::Get().SetLanguage(language);
}

std::string LibraryFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || !info.dli_fname) return {};
    std::string path = info.dli_fname;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash ? slash : 1);
}

std::string CCommApp::InitLog(const std::string& libraryFolder) {
    CCommLog& log = CCommLog::Get();
    const std::string name = ChooseLogFile(libraryFolder);
    if (name.empty()) return {}; // nowhere to write: entries queue and the oldest are dropped
    log.Backup(name, name + ".bak");
    log.SetFile(name.c_str(), CCommLog::kDefaultMask);
    log.Info(IDS_DLL_START);
    return name;
}

void CCommApp::InitInstance() {
    const char* lang = std::getenv("LANG");
    SetLanguage(lang && std::strncmp(lang, "ja", 2) == 0 ? plat::LANG_JAPANESE : plat::LANG_ENGLISH_US);
    InitLog(LibraryFolder());
}

void CCommApp::ExitInstance() {
    // A port left open would keep threads that log into a log about to go.
    if (m_port) {
        m_port->Close();
        m_port.reset();
    }
    CCommLog& log = CCommLog::Get();
    log.StopWriter();
    log.Info(IDS_DLL_END);
    log.Flush();
    CCommLog::Destroy();
}

namespace {

// Library load and unload.
struct LibraryLifetime {
    LibraryLifetime() { CCommApp::Get().InitInstance(); }
    ~LibraryLifetime() { CCommApp::Get().ExitInstance(); }
};
LibraryLifetime g_lifetime;

} // namespace

} // namespace zrcomm

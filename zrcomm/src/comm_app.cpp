#include "comm_app.h"

#include "comm_log.h"
#include "comm_strings.h"

#include <platform/clock.h>
#include <platform/language.h>
#include <platform/messages.h>
#include <platform/paths.h>

#include <sys/stat.h>

namespace zrcomm {

CCommApp& CCommApp::Get()
{
    static auto* app = new CCommApp(); // lives until the process ends; unload work is ExitInstance
    return *app;
}

void CCommApp::SetLanguage(plat::LANGID language)
{
    m_language = language;
    CCommLog::Get().SetLanguage(language);
}

std::string LibraryFolder()
{
    const std::string path = plat::GetModuleFileName(reinterpret_cast<const void*>(&LibraryFolder));
    return path.empty() ? std::string() : plat::FolderOf(path);
}

std::string CCommApp::InitLog(const std::string& folder)
{
    CCommLog& log = CCommLog::Get();
    const std::string name = ClaimLogFile(ChooseLogFile(folder));
    if (name.empty())
        return {}; // nowhere to write: entries queue and the oldest are dropped
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0 && st.st_size > 0)
        log.Backup(name, name + ".bak"); // else just made
    log.SetFile(name.c_str(), CCommLog::kDefaultMask);
    log.Info(IDS_DLL_START);
    return name;
}

void CCommApp::InitInstance()
{
    // The clock is used again at unload: make sure it is there first, so it is gone only after us.
    (void)plat::GetTickCount();
    SetLanguage(plat::GetLanguage() == plat::LANG_JAPANESE ? plat::LANG_JAPANESE : plat::LANG_ENGLISH_US);
    // Built, the library is in the program folder; installed, it is not, and the log stays with the
    // program's settings.
    InitLog(plat::GetProgramFolder());
}

void CCommApp::CloseLater(std::unique_ptr<CCommPort> port, std::function<void()> then)
{
    auto close = std::make_unique<PendingClose>();
    PendingClose* c = close.get();
    c->port = port.release();
    m_closes.push_back(std::move(close));
    const bool started = c->thread.start([this, c, then = std::move(then)] {
        CCommPort* p = c->port;
        p->Close();
        {
            std::lock_guard<std::mutex> lock(m_closeMutex);
            c->port = nullptr;
        }
        delete p;
        if (then)
            then();
    });
    if (!started) { // no thread to be had: nothing to do but the close in place
        CCommPort* p = c->port;
        c->port = nullptr;
        p->Close();
        delete p;
        if (then)
            then();
    }
}

bool CCommApp::FinishPendingCloses()
{
    bool all = true;
    for (auto it = m_closes.begin(); it != m_closes.end();) {
        PendingClose& c = **it;
        bool ownDelivery = false;
        {
            std::lock_guard<std::mutex> lock(m_closeMutex);
            ownDelivery = c.port && c.port->DeliversTextToCurrentThread();
        }
        // A text delivery to this thread that has not been taken up yet is run (or cancelled by
        // the close) while we wait; one whose handler this thread is in cannot end before we
        // return, so the wait for it is bounded and it stays pending.
        if (!c.thread.join(ownDelivery ? 1000 : plat::INFINITE)) {
            all = false;
            ++it;
            continue;
        }
        it = m_closes.erase(it);
    }
    return all;
}

void CCommApp::ExitInstance()
{
    // At unload nobody is in a text handler any more: the closes end by themselves. Only their
    // ends are awaited; this thread's message state may be gone already.
    for (auto& c : m_closes)
        c->thread.finished().wait(plat::INFINITE);
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

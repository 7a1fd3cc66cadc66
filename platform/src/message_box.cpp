#include "platform/message_box.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace plat {

namespace {

const char* buttonName(int id)
{
    switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "?";
    }
}

std::string describe(const std::string& text, const std::string& caption, UINT type)
{
    std::string buttons;
    for (int id : MessageBoxButtons(type)) {
        if (!buttons.empty())
            buttons += "/";
        buttons += buttonName(id);
    }
    return "[" + caption + "] \"" + text + "\" (" + buttons + ")";
}

// Without a user interface: report the box and take its default answer.
class StderrMessageBoxes : public MessageBoxService {
public:
    int show(HWND, const std::string& text, const std::string& caption, UINT type) override
    {
        const int answer = MessageBoxDefaultButton(type);
        std::fprintf(stderr, "message box %s -> %s\n", describe(text, caption, type).c_str(),
                     buttonName(answer));
        return answer;
    }
};

StderrMessageBoxes& fallback()
{
    static StderrMessageBoxes service;
    return service;
}

std::atomic<MessageBoxService*> g_service{nullptr};

void abortWith(const std::string& what)
{
    std::fprintf(stderr, "FATAL: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

} // namespace

std::vector<int> MessageBoxButtons(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

int MessageBoxDefaultButton(UINT type)
{
    const auto buttons = MessageBoxButtons(type);
    const std::size_t index = (type & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

bool MessageBoxOffers(UINT type, int id)
{
    for (int b : MessageBoxButtons(type)) {
        if (b == id)
            return true;
    }
    return false;
}

MessageBoxService& CurrentMessageBoxService()
{
    MessageBoxService* s = g_service.load(std::memory_order_acquire);
    return s ? *s : fallback();
}

void SetMessageBoxService(MessageBoxService* service) { g_service.store(service); }

ScopedMessageBoxService::ScopedMessageBoxService(MessageBoxService& service)
    : m_previous(g_service.exchange(&service))
{
}

ScopedMessageBoxService::~ScopedMessageBoxService() { g_service.store(m_previous); }

int MessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return CurrentMessageBoxService().show(owner, text ? text : "", caption ? caption : "", type);
}

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    return CurrentMessageBoxService().show(owner, text, caption, type);
}

// ---- ScriptedMessageBoxes --------------------------------------------------------------------

ScriptedMessageBoxes::ScriptedMessageBoxes(std::function<void(const std::string&)> onFailure)
    : m_onFailure(std::move(onFailure))
{
}

ScriptedMessageBoxes& ScriptedMessageBoxes::answer(int id)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back([id](const Shown&) { return id; });
    return *this;
}

ScriptedMessageBoxes& ScriptedMessageBoxes::answerWith(std::function<int(const Shown&)> answerer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(std::move(answerer));
    return *this;
}

std::size_t ScriptedMessageBoxes::pending() const
{
    std::lock_guard lock(m_mutex);
    return m_answers.size();
}

void ScriptedMessageBoxes::fail(const std::string& what) const
{
    if (m_onFailure)
        m_onFailure(what);
    else
        abortWith(what);
}

int ScriptedMessageBoxes::show(HWND owner, const std::string& text, const std::string& caption,
                               UINT type)
{
    Shown box{owner, text, caption, type, 0};
    std::function<int(const Shown&)> answerer;
    {
        std::lock_guard lock(m_mutex);
        if (!m_answers.empty()) {
            answerer = std::move(m_answers.front());
            m_answers.pop_front();
        }
    }
    int answer;
    if (!answerer) {
        fail("unscripted message box " + describe(text, caption, type));
        answer = MessageBoxDefaultButton(type);
    } else {
        answer = answerer(box);
        if (!MessageBoxOffers(type, answer)) {
            fail("scripted answer " + std::string(buttonName(answer)) + " is not a button of " +
                 describe(text, caption, type));
            answer = MessageBoxDefaultButton(type);
        }
    }
    box.answer = answer;
    std::lock_guard lock(m_mutex);
    m_shown.push_back(std::move(box));
    return answer;
}

std::vector<ScriptedMessageBoxes::Shown> ScriptedMessageBoxes::shown() const
{
    std::lock_guard lock(m_mutex);
    return m_shown;
}

std::size_t ScriptedMessageBoxes::count() const
{
    std::lock_guard lock(m_mutex);
    return m_shown.size();
}

ScriptedMessageBoxes::Shown ScriptedMessageBoxes::last() const
{
    std::lock_guard lock(m_mutex);
    return m_shown.empty() ? Shown{} : m_shown.back();
}

void ScriptedMessageBoxes::clear()
{
    std::lock_guard lock(m_mutex);
    m_shown.clear();
    m_answers.clear();
}

// ---- Beeps ----------------------------------------------------------------------------------

namespace {

std::mutex g_beepMutex;
BeepHandler g_beepHandler;

} // namespace

BOOL MessageBeep(UINT type)
{
    BeepHandler handler;
    {
        std::lock_guard lock(g_beepMutex);
        handler = g_beepHandler;
    }
    if (handler)
        handler(type);
    return TRUE;
}

void SetBeepHandler(BeepHandler handler)
{
    std::lock_guard lock(g_beepMutex);
    g_beepHandler = std::move(handler);
}

ScopedBeepRecorder::ScopedBeepRecorder()
{
    std::lock_guard lock(g_beepMutex);
    m_previous = std::exchange(g_beepHandler, [this](UINT type) {
        std::lock_guard own(m_mutex);
        m_types.push_back(type);
    });
}

ScopedBeepRecorder::~ScopedBeepRecorder()
{
    std::lock_guard lock(g_beepMutex);
    g_beepHandler = std::move(m_previous);
}

std::size_t ScopedBeepRecorder::count() const
{
    std::lock_guard lock(m_mutex);
    return m_types.size();
}

std::vector<UINT> ScopedBeepRecorder::types() const
{
    std::lock_guard lock(m_mutex);
    return m_types;
}

void ScopedBeepRecorder::clear()
{
    std::lock_guard lock(m_mutex);
    m_types.clear();
}

} // namespace plat

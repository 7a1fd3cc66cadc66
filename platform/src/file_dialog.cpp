#include "platform/file_dialog.h"

#include "platform/paths.h"
#include "platform/text.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace plat {

namespace {

class NoFileDialogs : public FileDialogService {
public:
    FileDialogResult show(const FileDialogRequest& request) override
    {
        std::fprintf(stderr, "file dialog \"%s\" (%s) -> cancelled: no user interface\n",
                     request.title.c_str(), request.save ? "save" : "open");
        return {};
    }
};

NoFileDialogs& fallback()
{
    static NoFileDialogs service;
    return service;
}

std::atomic<FileDialogService*> g_service{nullptr};

std::vector<std::string> splitAt(std::string_view s, char sep)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t pos = s.find(sep, start);
        parts.emplace_back(s.substr(start, pos == std::string_view::npos ? std::string_view::npos
                                                                        : pos - start));
        if (pos == std::string_view::npos)
            return parts;
        start = pos + 1;
    }
}

} // namespace

FileDialogService& CurrentFileDialogService()
{
    FileDialogService* s = g_service.load(std::memory_order_acquire);
    return s ? *s : fallback();
}

void SetFileDialogService(FileDialogService* service) { g_service.store(service); }

ScopedFileDialogService::ScopedFileDialogService(FileDialogService& service)
    : m_previous(g_service.exchange(&service))
{
}

ScopedFileDialogService::~ScopedFileDialogService() { g_service.store(m_previous); }

FileDialogResult PromptFileName(const FileDialogRequest& request)
{
    return CurrentFileDialogService().show(request);
}

std::vector<FileFilter> ParseMfcFilter(std::string_view filter)
{
    // "||" ends the string; what follows is not part of it.
    const std::size_t end = filter.find("||");
    if (end != std::string_view::npos)
        filter = filter.substr(0, end);
    while (!filter.empty() && filter.back() == '|')
        filter.remove_suffix(1);
    std::vector<FileFilter> out;
    if (TrimView(filter).empty())
        return out;
    const auto parts = splitAt(filter, '|');
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        FileFilter f;
        f.description = Trim(parts[i]);
        if (i + 1 < parts.size()) {
            for (const std::string& p : splitAt(parts[i + 1], ';')) {
                std::string pattern = Trim(p);
                if (!pattern.empty())
                    f.patterns.push_back(std::move(pattern));
            }
        }
        if (!f.description.empty() || !f.patterns.empty())
            out.push_back(std::move(f));
    }
    return out;
}

std::string QtFilterText(const FileFilter& filter)
{
    std::string desc = filter.description;
    // Qt reads the patterns from the last "(...)": drop the description's own copy.
    const std::size_t open = desc.rfind('(');
    if (open != std::string::npos && TrimView(desc).back() == ')')
        desc = Trim(std::string_view(desc).substr(0, open));
    std::string patterns;
    for (const std::string& p : filter.patterns) {
        if (!patterns.empty())
            patterns.push_back(' ');
        patterns += (p == "*.*") ? "*" : p;
    }
    if (patterns.empty())
        patterns = "*";
    if (desc.empty())
        return "(" + patterns + ")";
    return desc + " (" + patterns + ")";
}

std::string MfcFilterToQt(std::string_view filter)
{
    std::string out;
    for (const FileFilter& f : ParseMfcFilter(filter)) {
        if (!out.empty())
            out += ";;";
        out += QtFilterText(f);
    }
    return out;
}

std::string AddDefaultExtension(std::string_view path, std::string_view extension)
{
    while (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    const std::string name = FileNameOf(path);
    if (extension.empty() || name.empty() || name.find('.') != std::string::npos)
        return std::string(path);
    return std::string(path) + "." + std::string(extension);
}

// ---- ScriptedFileDialogs ---------------------------------------------------------------------

ScriptedFileDialogs::ScriptedFileDialogs(std::function<void(const std::string&)> onFailure)
    : m_onFailure(std::move(onFailure))
{
}

ScriptedFileDialogs& ScriptedFileDialogs::accept(std::string path, int filterIndex)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(FileDialogResult{true, std::move(path), filterIndex});
    return *this;
}

ScriptedFileDialogs& ScriptedFileDialogs::cancel()
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(FileDialogResult{false, {}, 0});
    return *this;
}

std::size_t ScriptedFileDialogs::pending() const
{
    std::lock_guard lock(m_mutex);
    return m_answers.size();
}

FileDialogResult ScriptedFileDialogs::show(const FileDialogRequest& request)
{
    std::optional<FileDialogResult> answer;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        if (!m_answers.empty()) {
            answer = std::move(m_answers.front());
            m_answers.pop_front();
        }
    }
    if (!answer) {
        const std::string what = std::string("unscripted ") + (request.save ? "save" : "open") +
                                 " file dialog \"" + request.title + "\"";
        if (m_onFailure) {
            m_onFailure(what);
        } else {
            std::fprintf(stderr, "FATAL: %s\n", what.c_str());
            std::fflush(stderr);
            std::abort();
        }
        return {};
    }
    if (answer->filterIndex == 0)
        answer->filterIndex = request.filterIndex;
    return *answer;
}

std::vector<FileDialogRequest> ScriptedFileDialogs::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::size_t ScriptedFileDialogs::count() const
{
    std::lock_guard lock(m_mutex);
    return m_requests.size();
}

} // namespace plat

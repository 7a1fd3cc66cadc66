#include "screens/terminal/TerminalSending.h"

#include <model/StringSplitter.h>
#include <platform/errors.h>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace talverin {

std::string TerminalPasteText(std::string_view clipboard)
{
    std::string out;
    out.reserve(clipboard.size());
    for (std::size_t i = 0; i < clipboard.size(); ++i) {
        if (clipboard[i] == '\r' && i + 1 < clipboard.size() && clipboard[i + 1] == '\n')
            ++i;
        out += clipboard[i] == '\n' ? '\r' : clipboard[i];
    }
    return out;
}

bool PasteCharAnswered(char sent, std::string_view heard)
{
    if (heard.empty())
        return false;
    if (sent != '\r')
        return true;
    const char last = heard.back();
    const auto prompt = [](char c) { return c == ':' || c == '#'; };
    return prompt(last) || last == '?' || (last == '>' && heard.size() > 1 && prompt(heard[heard.size() - 2]));
}

bool ScreenSends(int ch)
{
    return ch == '\b' || ch == '\n' || ch == '\r' || (ch >= 0x20 && ch <= 0x7E);
}

DraggedRow ParseDraggedRow(std::string_view text, bool shift)
{
    // As the definition file's lines are split; a row has at most 255 fields.
    constexpr unsigned kFlags = model::StringSplitter::kRemoveSpaces | model::StringSplitter::kRemoveTabs
                                | model::StringSplitter::kCollapseSpaces;
    model::StringSplitter splitter;
    DraggedRow row;
    row.fields = std::min(splitter.Split(text, ',', kFlags), 255);
    const bool withText = row.fields > 5 && shift;
    const std::string& used = splitter.Token(withText ? 6 : 1);
    row.offer = row.fields == 0 || !used.empty();
    if (withText)
        row.comment = "\r\n;" + splitter.Token(6) + "\r\n";
    if (row.fields >= 1)
        row.command = splitter.Token(1);
    return row;
}

std::string SaveRecordBytes(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // the LF writes the pair
        if (text[i] == '\n')
            out += '\r';
        out += text[i];
    }
    return out;
}

TerminalFileSender::TerminalFileSender() = default;

TerminalFileSender::~TerminalFileSender()
{
    close();
}

bool TerminalFileSender::open(const std::string& path)
{
    close();
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file) {
        plat::SetLastErrorFromErrno(errno);
        return false;
    }
    // A folder opens too, but has no lines to read.
    struct stat st {};
    if (fstat(fileno(m_file), &st) != 0 || !S_ISREG(st.st_mode)) {
        close();
        plat::SetLastErrorFromErrno(EISDIR);
        return false;
    }
    return true;
}

void TerminalFileSender::close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

std::optional<std::string> TerminalFileSender::readLine()
{
    if (!m_file)
        return std::nullopt;
    std::string line;
    int c = std::getc(m_file);
    if (c == EOF)
        return std::nullopt;
    for (; c != EOF; c = std::getc(m_file)) {
        if (c == '\n')
            break;
        if (c == '\r') {
            const int after = std::getc(m_file);
            if (after != '\n' && after != EOF)
                std::ungetc(after, m_file);
            break;
        }
        // A NUL cannot go in a direct text: it would end the line there and lose its CR.
        if (c != '\0')
            line += static_cast<char>(c);
    }
    return line;
}

TerminalFileSender::Step TerminalFileSender::first(bool escapeHeld)
{
    Step step;
    while (auto line = readLine()) {
        if (line->empty()) {
            step.show += "\r\n";
            step.send = "\r";
            return step;
        }
        step.show += *line + "\r\n";
        if ((*line)[0] != ';') {
            step.send = *line + "\r";
            return step;
        }
        if (escapeHeld)
            return step;
    }
    // Nothing was left to send: end as a later step ends at the end of the file.
    step.show += "\r\n";
    step.send = "\r";
    close();
    return step;
}

TerminalFileSender::Step TerminalFileSender::next(bool escapeHeld)
{
    Step step;
    const auto line = readLine();
    if (!line || line->empty()) {
        step.show = "\r\n";
        step.send = "\r";
    } else {
        step.show = *line + "\r\n";
        if ((*line)[0] != ';')
            step.send = *line + "\r";
    }
    if (!line || escapeHeld)
        close();
    return step;
}

} // namespace talverin

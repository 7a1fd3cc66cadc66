#include "model/IniSection.h"

#include "model/DriverText.h"
#include "model/NumberText.h"
#include <platform/text.h>
#include "TextUtil.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace model {

namespace {

// A marker counts as given only when it holds something: an empty marker would be "contained"
// in every line and end the section at its first line.
bool isEmptyMarker(const std::optional<std::string>& marker)
{
    return marker && (marker->empty() || marker->front() == '\r' || marker->front() == '\n');
}

bool contains(std::string_view line, const std::optional<std::string>& marker)
{
    return marker && !isEmptyMarker(marker) && line.find(CutAtNul(*marker)) != std::string_view::npos;
}

std::string withoutBlanks(std::string_view line)
{
    std::string out;
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            out.push_back(c);
    }
    return out;
}

// Does the line begin with the marker once its blanks are left out? (No copy: the start marker is
// looked for in every line before the section.)
bool startsWithoutBlanks(std::string_view line, std::string_view marker)
{
    std::size_t matched = 0;
    for (const char c : line) {
        if (matched == marker.size())
            return true;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        if (c != marker[matched])
            return false;
        ++matched;
    }
    return matched == marker.size();
}

std::string_view trimLine(std::string_view line)
{
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t' || line.front() == '\n'))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\n'))
        line.remove_suffix(1);
    return line;
}

// A line holding '[' (or, for document parts, beginning with it) whose last character is ']': a
// section heading.
bool isHeading(std::string_view line, bool mustStartWithBracket)
{
    if (line.empty() || line.back() != ']')
        return false;
    return mustStartWithBracket ? line.front() == '[' : line.find('[') != std::string_view::npos;
}

std::string_view withoutByteOrderMark(std::string_view bytes)
{
    return bytes.substr(0, 3) == "\xEF\xBB\xBF" ? bytes.substr(3) : bytes;
}

// Splits at LF, CR LF and lone CR; each line is cut at its first NUL byte.
std::vector<std::string_view> splitLines(std::string_view data)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '\n' && data[i] != '\r')
            continue;
        lines.push_back(CutAtNul(data.substr(start, i - start)));
        if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < data.size())
        lines.push_back(CutAtNul(data.substr(start)));
    return lines;
}

// The whole file, or false when it is not a readable regular file (a folder, a missing path).
bool readWholeFile(const std::string& path, std::string& data)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char buffer[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            data.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0)
            break;
        else if (errno != EINTR)
            ok = false;
    }
    ::close(fd);
    return ok;
}

} // namespace

int ReadIniSection(const IniSectionRequest& request, IniSection& out)
{
    out = IniSection();
    std::string bytes;
    if (!readWholeFile(request.path, bytes))
        return 0;
    return ReadIniSectionText(bytes, request, out);
}

int ReadIniSectionText(std::string_view bytes, const IniSectionRequest& request, IniSection& out)
{
    const IniText text(bytes);
    return text.Read(request, out);
}

IniText::IniText(std::string_view bytes)
    // Decoded line by line before any line is looked at (a Shift_JIS trail byte can be '[' or
    // ']'): one line in Shift_JIS leaves the UTF-8 lines around it as they are.
    : m_text(DriverTextToUtf8(withoutByteOrderMark(bytes))), m_lines(splitLines(m_text))
{
}

int IniText::Read(const IniSectionRequest& request, IniSection& out) const
{
    out = IniSection();
    out.opened = true;
    const auto& lines = m_lines;
    std::size_t next = 0;
    if (request.startMarker) {
        const std::string_view marker = CutAtNul(*request.startMarker);
        for (; next < lines.size(); ++next) {
            if (startsWithoutBlanks(lines[next], marker)) {
                out.found = 1;
                if (request.keepMarker)
                    out.marker = withoutBlanks(lines[next]);
                ++next;
                break;
            }
        }
        if (!out.found)
            return 0;
    }

    const bool emptyLineEnds = isEmptyMarker(request.endMarker);
    bool previousEmpty = false;
    for (; next < lines.size(); ++next) {
        const std::string_view line = trimLine(lines[next]);
        const bool empty = line.empty();
        const bool afterEmpty = previousEmpty;
        previousEmpty = empty;
        if (empty) {
            if (emptyLineEnds) {
                out.end = IniSection::End::EmptyLine;
                break;
            }
            continue;
        }
        if (line.front() == ';')
            continue;
        if (isHeading(line, request.headingMustStartWithBracket)) {
            out.end = IniSection::End::Heading;
            break;
        }
        if ((contains(line, request.endMarker) || contains(line, request.secondEndMarker))
            && (!request.endAfterEmptyLine || afterEmpty)) {
            out.text.append(line);
            out.end = IniSection::End::Marker;
            break;
        }
        out.text.append(line);
        out.text.push_back('\r');
    }
    return out.found;
}

} // namespace model

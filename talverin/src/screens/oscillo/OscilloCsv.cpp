#include "screens/oscillo/OscilloCsv.h"

namespace talverin {

namespace {

// Replaces every occurrence, left to right, once; true when something was replaced.
bool replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    std::string out;
    out.reserve(text.size());
    bool any = false;
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        out.append(text, start, at - start);
        out.append(to);
        start = at + from.size();
        any = true;
    }
    if (!any)
        return false;
    out.append(text, start, std::string::npos);
    text = std::move(out);
    return true;
}

} // namespace

void NormaliseCaptureReply(std::string& text)
{
    replaceAll(text, "\r\n", "\n");
    replaceAll(text, "\n\r", "\n");
    replaceAll(text, "\r\r", "\n");
    while (replaceAll(text, "\n\n", "\n")) {
    }
    for (char& c : text)
        if (c == '\r')
            c = '\n';
}

std::string CsvFileBytes(std::string_view normalised)
{
    std::string out;
    out.reserve(normalised.size() + normalised.size() / 8 + 2);
    std::size_t start = 0;
    while (start <= normalised.size()) {
        std::size_t end = normalised.find('\n', start);
        if (end == std::string_view::npos)
            end = normalised.size();
        if (end > start) {
            out.append(normalised.substr(start, end - start));
            out.append("\r\n");
        }
        start = end + 1;
    }
    return out;
}

} // namespace talverin

#include "model/DriverText.h"

#include "TextUtil.h"

#include <platform/text.h>

namespace model {

std::string DriverTextToUtf8(std::string_view text)
{
    if (plat::IsValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    std::size_t start = 0;
    while (start < text.size()) {
        // A Shift_JIS trail byte is never CR or LF: the line ends are found in the raw bytes.
        std::size_t end = FindLineEnd(text, start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (plat::IsValidUtf8(line))
            out.append(line);
        else
            out += plat::DecodeText(line);
        std::size_t next = end;
        while (next < text.size() && (text[next] == '\r' || text[next] == '\n'))
            ++next;
        out.append(text.substr(end, next - end));
        start = next;
    }
    return out;
}

} // namespace model

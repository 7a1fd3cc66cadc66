#include "zrtermed/TerminalDecoding.h"

#include <platform/text.h>

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace zrtermed {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

bool isShiftJisLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The length of a UTF-8 character begun but not finished at the end of the bytes; 0 when none.
std::size_t openUtf8Tail(std::string_view bytes)
{
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, bytes.size()); ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for its lead
        const std::size_t needs = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
        return needs > back ? back : 0;
    }
    return 0;
}

// Where each character of a Shift_JIS line begins: a lead byte takes the byte after it.
std::vector<int> shiftJisStarts(std::string_view bytes)
{
    std::vector<int> starts;
    for (std::size_t i = 0; i < bytes.size();) {
        starts.push_back(static_cast<int>(i));
        i += isShiftJisLead(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
    }
    return starts;
}

// One Shift_JIS character of one or two bytes. Noise on the line makes long runs of these, so
// single bytes are mapped here and each pair is converted once.
QString shiftJisCharacter(std::string_view bytes)
{
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1) {
        if (first < 0x80)
            return QString(QChar(first));
        if (first >= 0xA1 && first <= 0xDF) // half-width katakana
            return QString(QChar(0xFF61 + (first - 0xA1)));
        return QString(QChar(QChar::ReplacementCharacter));
    }
    static std::unordered_map<std::uint16_t, QString> pairs;
    const auto key = static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(bytes[1]));
    auto found = pairs.find(key);
    if (found == pairs.end())
        found = pairs.emplace(key, QString::fromStdString(plat::DecodeText(bytes))).first;
    return found->second;
}

} // namespace

DecodedLine DecodeTerminalLine(std::string_view line, bool last)
{
    DecodedLine out;
    std::string_view bytes = line;
    const std::size_t utf8Tail = last ? openUtf8Tail(line) : 0;
    const bool utf8 = plat::IsValidUtf8(line.substr(0, line.size() - utf8Tail));
    if (utf8) {
        bytes = line.substr(0, line.size() - utf8Tail);
        out.text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        // Units to bytes: a lead byte starts a character, a four-byte one gives two units.
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            if ((c & 0xC0) == 0x80)
                continue;
            out.unitStarts.push_back(static_cast<int>(i));
            if (c >= 0xF0)
                out.unitStarts.push_back(static_cast<int>(i));
        }
    } else {
        std::vector<int> starts = shiftJisStarts(line);
        // A lead byte at the very end waits for its second byte.
        if (last && !starts.empty() && static_cast<std::size_t>(starts.back()) == line.size() - 1
            && isShiftJisLead(static_cast<unsigned char>(line.back()))) {
            starts.pop_back();
            bytes = line.substr(0, line.size() - 1);
        }
        out.text = QString::fromStdString(plat::DecodeText(bytes));
        if (static_cast<std::size_t>(out.text.size()) == starts.size()) {
            out.unitStarts = std::move(starts);
        } else {
            // Invalid pairs did not decode one to one: each character alone.
            out.text.clear();
            for (std::size_t k = 0; k < starts.size(); ++k) {
                const std::size_t end = k + 1 < starts.size() ? static_cast<std::size_t>(starts[k + 1]) : bytes.size();
                const QString one = shiftJisCharacter(bytes.substr(static_cast<std::size_t>(starts[k]), end - static_cast<std::size_t>(starts[k])));
                out.text += one;
                out.unitStarts.insert(out.unitStarts.end(), static_cast<std::size_t>(one.size()), starts[k]);
            }
        }
    }
    out.shownBytes = static_cast<int>(bytes.size());
    return out;
}

QString TerminalViewText(std::string_view text, int from)
{
    QString view;
    view.reserve(static_cast<qsizetype>(text.size()) - from);
    for (int start = from; start <= static_cast<int>(text.size());) {
        const int end = TerminalLineEnd(text, start);
        const bool last = end == static_cast<int>(text.size());
        view += DecodeTerminalLine(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)), last).text;
        if (last)
            break;
        view += QChar::ParagraphSeparator;
        start = end + (text[static_cast<std::size_t>(end)] == '\r' && end + 1 < static_cast<int>(text.size())
                               && text[static_cast<std::size_t>(end) + 1] == '\n'
                           ? 2
                           : 1);
    }
    return view;
}

int TerminalLineStart(std::string_view text, int index)
{
    index = std::clamp(index, 0, static_cast<int>(text.size()));
    // Between the CR and the LF of a pair: the pair's line.
    if (index > 0 && index < static_cast<int>(text.size()) && text[static_cast<std::size_t>(index)] == '\n'
        && text[static_cast<std::size_t>(index) - 1] == '\r')
        --index;
    while (index > 0 && !isLineEnd(text[static_cast<std::size_t>(index) - 1]))
        --index;
    return index;
}

int TerminalLineNumber(std::string_view text, int index)
{
    int lines = 0;
    const int n = std::min(index, static_cast<int>(text.size()));
    for (int i = 0; i < n; ++i) {
        const char c = text[static_cast<std::size_t>(i)];
        if (c == '\n' || (c == '\r' && !(i + 1 < n && text[static_cast<std::size_t>(i) + 1] == '\n')))
            ++lines;
    }
    return lines;
}

int TerminalLineEnd(std::string_view text, int start)
{
    int end = std::clamp(start, 0, static_cast<int>(text.size()));
    while (end < static_cast<int>(text.size()) && !isLineEnd(text[static_cast<std::size_t>(end)]))
        ++end;
    return end;
}

int TerminalViewColumn(std::string_view text, int index)
{
    const int start = TerminalLineStart(text, index);
    const int end = TerminalLineEnd(text, start);
    const DecodedLine line = DecodeTerminalLine(
        text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)), end == static_cast<int>(text.size()));
    const int offset = std::min(index, end) - start;
    // The units of the characters that begin before the offset.
    return static_cast<int>(std::lower_bound(line.unitStarts.begin(), line.unitStarts.end(), offset) - line.unitStarts.begin());
}

int TerminalTextPosition(std::string_view text, int start, int column)
{
    const int end = TerminalLineEnd(text, start);
    const DecodedLine line = DecodeTerminalLine(
        text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)), end == static_cast<int>(text.size()));
    if (column < 0)
        return start;
    if (column >= static_cast<int>(line.unitStarts.size()))
        return start + (column > static_cast<int>(line.unitStarts.size()) ? end - start : line.shownBytes);
    return start + line.unitStarts[static_cast<std::size_t>(column)];
}

} // namespace zrtermed

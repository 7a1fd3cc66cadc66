#include "screens/channel/ChannelText.h"

#include "screens/channel/ChannelRows.h"

#include <platform/text.h>

#include <algorithm>

namespace talverin {

namespace {

bool isKept(char16_t c) { return c >= 0x21 && c <= 0x7E; }

// Turns CR LF and then lone LF into CR.
std::string normaliseLineEnds(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out.push_back('\r');
            ++i;
        } else {
            out.push_back(c == '\n' ? '\r' : c);
        }
    }
    return out;
}

} // namespace

int StripBlanks(QString& text, int* cursor)
{
    int removed = 0;
    int removedBeforeCursor = 0;
    QString kept;
    kept.reserve(text.size());
    for (int i = 0; i < text.size();) {
        // A character outside the basic plane is a surrogate pair: one character, two units.
        const int units = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        if (units == 1 && isKept(text[i].unicode())) {
            kept.append(text[i]);
        } else {
            ++removed;
            if (cursor && i < *cursor)
                removedBeforeCursor += std::min(units, *cursor - i);
        }
        i += units;
    }
    if (removed) {
        text = kept;
        if (cursor)
            *cursor -= removedBeforeCursor;
    }
    return removed;
}

int StripBlanks(std::string& text)
{
    int removed = 0;
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x21 && byte <= 0x7E)
            kept.push_back(c);
        else if ((byte & 0xC0) != 0x80) // a UTF-8 continuation byte belongs to the character before
            ++removed;
    }
    if (kept.size() != text.size())
        text = std::move(kept);
    return removed;
}

std::vector<std::string_view> CutAtCr(std::string_view text)
{
    std::vector<std::string_view> pieces;
    if (text.empty())
        return pieces;
    std::size_t start = 0;
    for (;;) {
        const auto cr = text.find('\r', start);
        pieces.push_back(text.substr(start, cr == std::string_view::npos ? std::string_view::npos : cr - start));
        if (cr == std::string_view::npos)
            break;
        start = cr + 1;
    }
    return pieces;
}

std::string ReadReplyToProgramText(int channel, std::string_view reply)
{
    std::string text = "CH" + std::to_string(channel) + "\r";
    for (std::string_view piece : CutAtCr(reply)) {
        const auto mark = piece.find('>');
        if (mark != std::string_view::npos)
            piece.remove_prefix(mark + 1);
        if (piece.empty())
            continue;
        text.append(piece);
        text.push_back('\r');
    }
    return text;
}

bool IsChannelWriteRejected(std::string_view reply, int emptyLineFlag)
{
    return emptyLineFlag != 0 || reply.find('?') != std::string_view::npos;
}

int WrittenLineCount(std::string_view replySoFar, int lines)
{
    int answered = 0;
    std::size_t start = 0;
    for (std::size_t cr = replySoFar.find('\r'); cr != std::string_view::npos; cr = replySoFar.find('\r', start)) {
        if (replySoFar.substr(start, cr - start).find('?') == std::string_view::npos)
            ++answered;
        start = cr + 1;
    }
    return std::clamp(answered, 0, std::max(lines, 0));
}

PasteText ParsePasteText(std::string_view clipboard)
{
    PasteText paste;
    const std::string text = normaliseLineEnds(clipboard);
    const std::vector<std::string_view> pieces = CutAtCr(text);
    std::size_t first = 0;
    if (!pieces.empty() && pieces.front().substr(0, 4) == ";CH=") {
        paste.replace = true;
        first = 1;
    }
    for (std::size_t i = first; i < pieces.size(); ++i) {
        const std::string_view piece = pieces[i];
        const auto numberEnd = piece.find('\t');
        if (numberEnd == std::string_view::npos)
            continue; // the row number alone: no command, no data
        ChannelRow row = LineToRow(piece.substr(numberEnd + 1));
        StripBlanks(row.command);
        StripBlanks(row.data);
        if (row.IsBlank())
            continue;
        paste.rows.push_back(std::move(row));
    }
    return paste;
}

bool HasPasteLine(std::string_view clipboard)
{
    return clipboard.find_first_not_of("\r\n") != std::string_view::npos;
}

bool SplitImportLine(std::string_view line, ChannelRow& row)
{
    std::string text = plat::ToUpperAscii(plat::TrimLeftView(line));
    StripBlanks(text);
    const auto cut = text.find_first_of("0123456789/");
    std::string command = plat::Trim(std::string_view(text).substr(0, cut));
    if (command.empty())
        return false;
    row = ChannelRow{};
    row.command = std::move(command);
    if (cut != std::string::npos)
        row.data = plat::Trim(std::string_view(text).substr(cut));
    return true;
}

bool IsImportFileName(std::string_view name)
{
    return plat::EndsWithNoCase(name, ".txt");
}

bool IsParameterDragText(std::string_view text)
{
    const std::string_view letters = text.substr(0, text.find(','));
    return letters.find('C') != std::string_view::npos;
}

int ParseChannelNumber(std::string_view text, int itemCount)
{
    if (text.empty() || text.size() > 9)
        return -1;
    int number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number < itemCount ? number : -1;
}

std::string ChannelCommandText(int kind, int channel)
{
    const std::string n = std::to_string(channel);
    switch (kind) {
    case kKindRead: return "TC" + n + "\r";
    case kKindClear: return "CC" + n + "\r";
    case kKindInsert: return "CI" + n + "\r";
    case kKindDelete: return "CD" + n + "\r";
    case kKindClearAll: return "CC/AL\r";
    default: return std::string();
    }
}

} // namespace talverin

// Line helpers shared by the document writer, checks and readers (not part of the public
// interface).
#pragma once

#include "model/IniSection.h"
#include "model/NumberText.h"
#include "model/StringSplitter.h"

#include <platform/text.h>

#include <string>
#include <string_view>
#include <vector>

namespace model::detail {

// The lines of a text (LF, CR LF, lone CR), each cut at a NUL byte and trimmed of blanks.
inline std::vector<std::string_view> TrimmedLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n' && text[i] != '\r')
            continue;
        if (i == text.size() && start == i)
            break;
        lines.push_back(plat::TrimView(CutAtNul(text.substr(start, i - start))));
        if (i < text.size() && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

// The items of the definition header or footer (lines separated by LF), filtered as the unit file
// loader stores them; empty items are left out (an empty line in a document's parameter part
// would end that part for every reader).
inline std::vector<std::string> DefinitionLines(std::string_view text)
{
    StringSplitter splitter;
    splitter.Split(text, '\n', StringSplitter::kAll);
    std::vector<std::string> lines;
    for (const auto& token : splitter.Tokens()) {
        std::string line = plat::Trim(token);
        if (!line.empty())
            lines.push_back(std::move(line));
    }
    return lines;
}

// The footer lines a document carries: every footer line but those beginning with "KP0", which
// the driver would take as the password lock command.
inline std::vector<std::string> WrittenFooterLines(std::string_view footer)
{
    std::vector<std::string> out;
    for (auto& line : DefinitionLines(footer)) {
        if (!plat::StartsWithNoCase(line, "KP0"))
            out.push_back(std::move(line));
    }
    return out;
}

// The header lines a document carries: every header line but those beginning with "KP1".
inline std::vector<std::string> WrittenHeaderLines(std::string_view header)
{
    std::vector<std::string> out;
    for (auto& line : DefinitionLines(header)) {
        if (!plat::StartsWithNoCase(line, "KP1"))
            out.push_back(std::move(line));
    }
    return out;
}

// "CH5", "PI-1", "PO+3": a number directly after the prefix (an optional sign, then a digit).
// True with the number (saturated) when the line begins with the prefix and a number follows.
inline bool NumberAfterPrefix(std::string_view line, std::string_view prefix, int& number)
{
    if (line.substr(0, prefix.size()) != prefix)
        return false;
    std::string_view rest = line.substr(prefix.size());
    std::size_t digit = 0;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-'))
        digit = 1;
    if (digit >= rest.size() || rest[digit] < '0' || rest[digit] > '9')
        return false;
    number = ParseLeadingInt(rest);
    return true;
}

// The lines of a comment text as the store keeps it ("\n;" between lines; stray CR LF, LF and CR
// count as line breaks too), without the ';' that starts every line after the first and without
// empty lines: a ";" line would end the block on reading, so an empty line cannot survive a save
// and a reload anyway.
inline std::vector<std::string> CommentLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    bool first = true;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n' && text[i] != '\r')
            continue;
        std::string_view piece = text.substr(start, i - start);
        const bool afterLineFeed = !first && start > 0 && text[start - 1] == '\n';
        if (afterLineFeed && !piece.empty() && piece.front() == ';')
            piece.remove_prefix(1);
        if (!plat::TrimView(piece).empty())
            lines.emplace_back(piece);
        first = false;
        if (i < text.size() && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

// The three part checks of a document on its decoded lines.
int CheckSections(const IniText& text, int& code);

// The lines of a decoded file, trimmed.
inline std::vector<std::string_view> Trimmed(const std::vector<std::string_view>& lines)
{
    std::vector<std::string_view> out;
    out.reserve(lines.size());
    for (const auto line : lines)
        out.push_back(plat::TrimView(line));
    return out;
}

} // namespace model::detail

// Filling the HTML report templates of the print function. A template holds tokens between "##"
// pairs ("##SPD##", "##PI3-FN##", "##YEAR##" ...) that the fill replaces everywhere they occur.
//
// The fill works on a text with a capacity, as the print code sizes its buffer from the template:
// an operation whose replacement would make the text reach the capacity stops there and returns
// -1, keeping what it replaced so far; the caller enlarges the capacity and runs the same fill
// again on the partly filled text, which gives the same result as a large enough capacity from the
// start. Values inserted from the driver or the document are HTML-escaped (also '#', so that no
// value can ever form a token); labels and units from the unit definition file are inserted as
// they are, since their authors may use entities and markup on purpose.
//
// Print fills a template in one pass (FillReportTokens): every token of the template is looked up
// once, by name, and replaced, so the fill grows with the template and the parameter count, not
// with their product; and text once inserted is never looked at again, so a label that holds "##"
// stays as it is.
#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace model {

struct ReportText {
    static constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

    std::string text;
    // The text must stay below this length (room for the terminating NUL of a C buffer).
    std::size_t capacity = kUnlimited;
};

// The channel report's row template when the settings file gives none ([Setting] ChannelListHtml).
inline constexpr std::string_view kDefaultChannelRowTemplate =
    "<tr><td nowrap>##LISTNO##</td><td nowrap>:</td><td nowrap>##CMD##</td><td nowrap>##EXP##</td></tr>\n";

// What a field shows when it has nothing to show.
inline constexpr std::string_view kReportEmptyField = "&nbsp;";

// & < > " ' and # as character references.
std::string HtmlEscape(std::string_view text);

// Replaces every occurrence of `token` (searching on after each inserted replacement). Returns the
// number replaced (0 when the token does not occur, or is empty), or -1 when out of room.
int ReplaceReportToken(ReportText& report, std::string_view token, std::string_view replacement);

// "##YEAR##" "%04d", "##MONTH##" "%02d", "##DAY##" "%02d" from the local time now. 0 or -1.
int FillReportDate(ReportText& report);

// Replaces every token still in the text (from one "##" through the next) by `replacement`. 0 or
// -1.
int ReplaceLeftoverTokens(ReportText& report, std::string_view replacement);

// What a fill puts in place of a token (given with its "##" pair), or nothing for a token it does
// not know.
using ReportLookup = std::function<std::optional<std::string>(std::string_view token)>;

// "##YEAR##" "%04d", "##MONTH##" "%02d", "##DAY##" "%02d" of `now`; nothing for other tokens.
std::optional<std::string> ReportDateToken(std::string_view token, const std::tm& now);

// One pass over `text`. First the tokens `lookup` knows, leftmost first: a "##" that opens none
// may still close one or open the next. Then, with a `leftover`, the rest pair up as
// ReplaceLeftoverTokens pairs them (a "##" with the next one, over any replacement between) and
// each pair becomes `leftover`; without one they stay. What a replacement inserts takes no part in
// either step.
std::string FillReportTokens(std::string_view text, const ReportLookup& lookup,
                             std::optional<std::string_view> leftover);
// The same on a text with a capacity: 0, or -1 with the text unchanged when a replacement longer
// than its token would make the text reach the capacity.
int FillReportTokens(ReportText& report, const ReportLookup& lookup, std::optional<std::string_view> leftover);

} // namespace model

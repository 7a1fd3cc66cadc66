#include "model/ReportFill.h"

#include "model/NumberText.h"

#include <platform/clock.h>

#include <cstdio>
#include <vector>

namespace model {

namespace {

std::string twoDigits(int value, const char* format)
{
    char text[16] = {};
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        case '#': out += "&#35;"; break;
        default: out.push_back(c); break;
        }
    }
    return out;
}

int ReplaceReportToken(ReportText& report, std::string_view token, std::string_view replacement)
{
    if (token.empty())
        return 0;
    std::string& text = report.text;
    std::size_t found = text.find(token);
    if (found == std::string::npos)
        return 0;

    // One pass: the text is rebuilt with every occurrence replaced, in order. When a replacement
    // would make the text reach the capacity, that occurrence and everything after it stay as they
    // were, so that the caller can enlarge the capacity and run the fill again.
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    int count = 0;
    std::size_t length = text.size();
    bool full = false;
    while (found != std::string::npos) {
        const std::size_t newLength = length - token.size() + replacement.size();
        if (replacement.size() > token.size() && newLength >= report.capacity) {
            full = true;
            break;
        }
        out.append(text, copied, found - copied);
        out.append(replacement);
        copied = found + token.size();
        length = newLength;
        ++count;
        found = text.find(token, copied);
    }
    out.append(text, copied, std::string::npos);
    text = std::move(out);
    return full ? -1 : count;
}

int FillReportDate(ReportText& report)
{
    const std::tm now = plat::CurrentLocalTm();
    if (ReplaceReportToken(report, "##YEAR##", twoDigits(now.tm_year + 1900, "%04d")) < 0)
        return -1;
    if (ReplaceReportToken(report, "##MONTH##", twoDigits(now.tm_mon + 1, "%02d")) < 0)
        return -1;
    if (ReplaceReportToken(report, "##DAY##", twoDigits(now.tm_mday, "%02d")) < 0)
        return -1;
    return 0;
}

int ReplaceLeftoverTokens(ReportText& report, std::string_view replacement)
{
    return FillReportTokens(report, ReportLookup(), replacement);
}

std::optional<std::string> ReportDateToken(std::string_view token, const std::tm& now)
{
    if (token == "##YEAR##")
        return twoDigits(now.tm_year + 1900, "%04d");
    if (token == "##MONTH##")
        return twoDigits(now.tm_mon + 1, "%02d");
    if (token == "##DAY##")
        return twoDigits(now.tm_mday, "%02d");
    return std::nullopt;
}

namespace {

struct TokenMatch {
    std::size_t begin;
    std::size_t end;
    std::string replacement;
};

// The tokens the lookup knows, in order and apart. A candidate runs from a "##" to the next
// "##" after it; when the lookup does not know it, the search goes on from the next character, so
// that its closing "##" (or an overlapping one) may open a token it knows.
std::vector<TokenMatch> findTokens(std::string_view text, const ReportLookup& lookup)
{
    std::vector<TokenMatch> matches;
    if (!lookup)
        return matches;
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = text.find("##", from);
        if (open == std::string_view::npos)
            break;
        const std::size_t close = text.find("##", open + 2);
        if (close == std::string_view::npos)
            break;
        if (std::optional<std::string> replacement = lookup(text.substr(open, close + 2 - open))) {
            matches.push_back({open, close + 2, std::move(*replacement)});
            from = close + 2;
        } else {
            from = open + 1;
        }
    }
    return matches;
}

// Copies the text into `out` with the matches replaced, up to `to`. Notes whether a replacement
// made the text (what is filled and what is still to fill) reach `capacity`.
class MatchWriter {
public:
    MatchWriter(std::string_view text, const std::vector<TokenMatch>& matches, std::string& out,
                std::size_t capacity)
        : m_text(text), m_matches(matches), m_out(out), m_capacity(capacity)
    {
    }
    void copyTo(std::size_t to)
    {
        for (; m_next < m_matches.size() && m_matches[m_next].end <= to; ++m_next) {
            const TokenMatch& match = m_matches[m_next];
            m_out.append(m_text.substr(m_copied, match.begin - m_copied));
            replaced(match.end - match.begin, match.end, match.replacement);
            m_copied = match.end;
        }
        m_out.append(m_text.substr(m_copied, to - m_copied));
        m_copied = to;
    }
    // Drops the text and the matches up to `to`, putting `replacement` in their place.
    void replaceTo(std::size_t to, std::string_view replacement)
    {
        while (m_next < m_matches.size() && m_matches[m_next].begin < to)
            ++m_next;
        replaced(to - m_copied, to, replacement);
        m_copied = to;
    }
    bool full() const { return m_full; }

private:
    void replaced(std::size_t tokenLength, std::size_t tokenEnd, std::string_view replacement)
    {
        m_out.append(replacement);
        if (replacement.size() > tokenLength && m_out.size() + (m_text.size() - tokenEnd) >= m_capacity)
            m_full = true;
    }

    std::string_view m_text;
    const std::vector<TokenMatch>& m_matches;
    std::string& m_out;
    std::size_t m_capacity;
    std::size_t m_next = 0;
    std::size_t m_copied = 0;
    bool m_full = false;
};

// The "##" at or after `from` that is not part of a match; npos when none. `next` is the first
// match that may still hold it, moved on as the search goes on.
std::size_t freePair(std::string_view text, const std::vector<TokenMatch>& matches, std::size_t& next,
                     std::size_t from)
{
    for (;;) {
        const std::size_t at = text.find("##", from);
        if (at == std::string_view::npos)
            return at;
        while (next < matches.size() && matches[next].end <= at)
            ++next;
        if (next == matches.size() || at + 1 < matches[next].begin)
            return at;
        from = matches[next].end;
    }
}

// The one pass; false when a replacement made the text reach the capacity.
bool fillTokens(std::string_view text, const ReportLookup& lookup, std::optional<std::string_view> leftover,
                std::size_t capacity, std::string& out)
{
    const std::vector<TokenMatch> matches = findTokens(text, lookup);
    std::size_t inserted = 0;
    for (const TokenMatch& match : matches)
        inserted += match.replacement.size();
    out.reserve(text.size() + inserted);
    MatchWriter writer(text, matches, out, capacity);
    if (leftover) {
        std::size_t next = 0;
        std::size_t from = 0;
        for (;;) {
            const std::size_t first = freePair(text, matches, next, from);
            if (first == std::string_view::npos)
                break;
            const std::size_t second = freePair(text, matches, next, first + 2);
            if (second == std::string_view::npos)
                break;
            writer.copyTo(first);
            writer.replaceTo(second + 2, *leftover);
            from = second + 2;
        }
    }
    writer.copyTo(text.size());
    return !writer.full();
}

} // namespace

std::string FillReportTokens(std::string_view text, const ReportLookup& lookup,
                             std::optional<std::string_view> leftover)
{
    std::string out;
    fillTokens(text, lookup, leftover, ReportText::kUnlimited, out);
    return out;
}

int FillReportTokens(ReportText& report, const ReportLookup& lookup, std::optional<std::string_view> leftover)
{
    std::string out;
    if (!fillTokens(report.text, lookup, leftover, report.capacity, out))
        return -1;
    report.text = std::move(out);
    return 0;
}

} // namespace model

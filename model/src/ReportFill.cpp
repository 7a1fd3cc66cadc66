#include "model/ReportFill.h"

#include "model/NumberText.h"

#include <platform/clock.h>

#include <cstdio>

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
    std::size_t from = 0;
    for (;;) {
        const std::size_t first = report.text.find("##", from);
        if (first == std::string::npos)
            return 0;
        const std::size_t second = report.text.find("##", first + 2);
        if (second == std::string::npos)
            return 0;
        const std::string token = report.text.substr(first, second + 2 - first);
        if (ReplaceReportToken(report, token, replacement) < 0)
            return -1;
        // Nothing before `first` holds a "##" any more; going on after the replacement also keeps a
        // replacement that holds "##" from being taken again.
        from = first + replacement.size();
    }
}

} // namespace model

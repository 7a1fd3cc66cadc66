#include "model/ReplyErrorText.h"

#include "model/CommandSupport.h"
#include "model/NumberText.h"

#include <platform/text.h>
#include <zrcomm/zrcomm.h>

namespace model {

namespace {

struct ErrorText {
    std::string_view text;
    std::uint32_t code;
};

// The library's table, in its order; both spellings of the read refusal mean the same.
constexpr ErrorText kErrorTexts[] = {
    {"UNKNOWN OPTION", COMM_REPLY_UNKNOWN_OPTION},
    {"WRITE/EXEC.INHIBIT", COMM_REPLY_WRITE_INHIBIT},
    {"READ HIBIT", COMM_REPLY_READ_INHIBIT},
    {"READ INHIBIT", COMM_REPLY_READ_INHIBIT},
    {"RANGE OVER", COMM_REPLY_RANGE_OVER},
    {"CONDITION MISMATCH", COMM_REPLY_CONDITION_MISMATCH},
    {"COND. MISMATCH", COMM_REPLY_CONDITION_MISMATCH},
    {"NOT OMISSIBLE", COMM_REPLY_NOT_OMISSIBLE},
    {"PASSWORD REQUIRED", COMM_REPLY_PASSWORD_REQUIRED},
    {"DISABLE COMMAND", COMM_REPLY_DISABLE_COMMAND},
    {"READ ONLY", COMM_REPLY_READ_ONLY},
};

} // namespace

std::uint32_t FindDriverErrorText(std::string_view reply)
{
    for (const ErrorText& e : kErrorTexts) {
        if (reply.find(e.text) != std::string_view::npos)
            return e.code;
    }
    return 0;
}

std::string DriverReplyForUser(std::string_view reply, std::uint32_t state, plat::LANGID language)
{
    reply = CutAtNul(reply);
    std::string_view last;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= reply.size(); ++i) {
        if (i < reply.size() && reply[i] != '\r' && reply[i] != '\n')
            continue;
        const std::string_view line = plat::TrimView(reply.substr(start, i - start));
        start = i + 1;
        if (line.empty())
            continue;
        if (FindDriverErrorText(line) != 0)
            return std::string(line);
        last = line;
    }
    if (!last.empty())
        return std::string(last);
    std::string text = GetCommErrorText(state, language);
    return text.empty() ? GetCommErrorText(CMD_NO_ECHO, language) : text;
}

} // namespace model

#include "model/ReplyErrorText.h"

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

} // namespace model

#include "reply_codes.h"

#include <cstring>

namespace zrcomm {
namespace {

struct ErrorText {
    const char* text;
    CommResult code;
};

// Searched in this order; the spellings are the driver's own.
constexpr ErrorText kErrorTexts[] = {
    {"UNKNOWN OPTION", COMM_REPLY_UNKNOWN_OPTION},
    {"WRITE/EXEC.INHIBIT", COMM_REPLY_WRITE_INHIBIT},
    {"READ HIBIT", COMM_REPLY_READ_INHIBIT},
    {"READ INHIBIT", COMM_REPLY_READ_INHIBIT}, // the full spelling means the same
    {"RANGE OVER", COMM_REPLY_RANGE_OVER},
    {"CONDITION MISMATCH", COMM_REPLY_CONDITION_MISMATCH},
    {"COND. MISMATCH", COMM_REPLY_CONDITION_MISMATCH},
    {"NOT OMISSIBLE", COMM_REPLY_NOT_OMISSIBLE},
    {"PASSWORD REQUIRED", COMM_REPLY_PASSWORD_REQUIRED},
    {"DISABLE COMMAND", COMM_REPLY_DISABLE_COMMAND},
    {"READ ONLY", COMM_REPLY_READ_ONLY},
};

} // namespace

CommResult ErrorReplyCode(const std::uint8_t* bytes, std::uint32_t n)
{
    if (!bytes)
        return COMM_OK;
    for (const auto& e : kErrorTexts) {
        const std::size_t len = std::strlen(e.text);
        if (n >= len && std::memcmp(bytes, e.text, len) == 0)
            return e.code;
    }
    return COMM_OK;
}

CommResult ReplyResult(const CByteBuffer& text, const CByteBuffer& reply)
{
    if (reply.IsEmpty())
        return COMM_OK;
    const std::uint8_t cr = 0x0D;
    const std::int32_t end = text.Find(0, &cr, 1);
    const std::uint32_t firstLine = end < 0 ? text.GetLength() : static_cast<std::uint32_t>(end);
    if (firstLine > 0 && reply.CompareAt(0, text.GetData(), firstLine) && reply.ByteAt(firstLine) == '?')
        return COMM_REPLY_UNKNOWN_COMMAND;
    return ErrorReplyCode(reply.GetData(), reply.GetLength());
}

} // namespace zrcomm

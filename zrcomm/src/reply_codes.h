// The driver's error replies and the result of a completed record.
#pragma once

#include "byte_buffer.h"

#include <zrcomm/zrcomm.h>

namespace zrcomm {

// The code of the first error text that the bytes begin with, or COMM_OK.
CommResult ErrorReplyCode(const std::uint8_t* bytes, std::uint32_t n);

// The result of a completed record from its text and reply: COMM_OK for an empty reply;
// COMM_REPLY_UNKNOWN_COMMAND when the reply begins with the text's first line followed at once by
// '?'; else the code of the first error text the reply begins with.
CommResult ReplyResult(const CByteBuffer& text, const CByteBuffer& reply);

} // namespace zrcomm

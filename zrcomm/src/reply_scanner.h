// The reply scan of the record at the head, as a plain function over the bytes read and the times
// they came: where the reply lines, paging, a question and the prompt are. It changes nothing but
// the reply it appends to; the port applies what it found.
#pragma once

#include "byte_buffer.h"

#include <cstdint>

namespace zrcomm {

struct ReplyScanInput {
    const std::uint8_t* data = nullptr; // the bytes read and not yet consumed
    std::uint32_t length = 0;
    std::uint32_t from = 0;        // the first byte not consumed; a line starts there
    std::uint32_t resumeAt = 0;    // an earlier scan of that line found nothing before this byte
    std::uint8_t lastConsumed = 0; // the byte consumed before `from` (a prompt split across reads)
    bool aborting = false;
    bool invalidData = false; // some byte held is not valid
    // The command's own first line, without its CR: echoed back with '?' it is an answer, not a
    // question.
    const std::uint8_t* firstLine = nullptr;
    std::uint32_t firstLineLength = 0;
    // A '?' or ';' that ends the bytes is a question or paging only after `silenceMs` in which
    // nothing more came: the last bytes came at `lastArrival`, and bytes still waiting to be read
    // are more.
    std::uint32_t now = 0;
    std::uint32_t lastArrival = 0;
    std::uint32_t silenceMs = 50;
    bool moreWaiting = false;
};

struct ReplyScanResult {
    enum class End { Open, Prompt, Paging, Question, Invalid };
    End end = End::Open;
    std::uint32_t consumed = 0;  // the bytes from the front that are done with
    std::uint32_t stoppedAt = 0; // where the scan stopped, at or after `consumed`
    // A '?' or ';' ends the bytes and the silence has not passed yet: scan again at decideAt.
    bool undecided = false;
    std::uint32_t decideAt = 0;
};

// The reply lines found are appended to `reply` (leading blanks dropped; a line ended by its CR
// or a marker gets a CR, a page or a question none).
ReplyScanResult ScanReplyBytes(const ReplyScanInput& in, CByteBuffer& reply);

} // namespace zrcomm

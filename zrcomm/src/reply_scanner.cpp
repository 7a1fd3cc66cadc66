#include "reply_scanner.h"

#include "comm_port.h"
#include "reply_codes.h"

#include <algorithm>
#include <cstring>

namespace zrcomm {

namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kBlank = 0x20;

bool IsPromptByte(std::uint8_t b)
{
    return b == ':' || b == '#';
}

} // namespace

ReplyScanResult ScanReplyBytes(const ReplyScanInput& in, CByteBuffer& reply)
{
    ReplyScanResult r;
    const std::uint8_t* data = in.data;
    const std::uint32_t n = in.length;
    std::uint32_t consumed = std::min(in.from, n);
    std::uint32_t lineStart = consumed;
    std::uint32_t i = std::clamp(in.resumeAt, consumed, n);

    auto lastConsumed = [&]() -> std::uint8_t { return consumed > in.from ? data[consumed - 1] : in.lastConsumed; };
    auto lineFrom = [&](std::uint32_t from, std::uint32_t to) {
        while (from < to && data[from] == kBlank)
            ++from;
        return from;
    };
    auto appendLine = [&](std::uint32_t from, std::uint32_t to, bool withCr) {
        from = lineFrom(from, to);
        reply.Append(data + from, to - from);
        if (withCr)
            reply.Append(kCr);
    };

    while (i < n) {
        const std::uint8_t b = data[i];
        const bool atStart = i == lineStart;
        if (atStart && b == kLf) {
            consumed = lineStart = ++i;
            continue;
        }
        if (atStart && b == '>' && IsPromptByte(lastConsumed())) {
            consumed = lineStart = ++i; // the rest of a prompt split across reads
            continue;
        }
        if (atStart && IsPromptByte(b)) {
            r.end = ReplyScanResult::End::Prompt;
            consumed = i + 1;
            if (consumed < n && CCommPort::IsPrompt(data, consumed))
                ++consumed;
            i = consumed;
            break;
        }
        if ((b == ';' || b == '?') && i == n - 1) {
            if (b == '?') {
                // An error text ending in '?' is a line still to be finished, not a question; so is
                // the command's own first line, the start of an "unknown command" answer.
                const std::uint32_t from = lineFrom(lineStart, i);
                if (ErrorReplyCode(data + from, i - from) != COMM_OK)
                    break;
                if (in.firstLineLength == i - from && std::memcmp(in.firstLine, data + from, i - from) == 0)
                    break;
            }
            // At the speed of the line the rest of a longer line follows within a byte's time: only
            // silence makes the last byte a page's end or a question.
            if (in.moreWaiting || in.now - in.lastArrival < in.silenceMs) {
                r.undecided = true;
                r.decideAt = in.lastArrival + in.silenceMs;
                break;
            }
            r.end = b == ';' ? ReplyScanResult::End::Paging : ReplyScanResult::End::Question;
            appendLine(lineStart, i, false);
            consumed = i = n;
            break;
        }
        if (b == kCr) {
            appendLine(lineStart, i, true);
            ++i;
            if (i < n && data[i] == kLf)
                ++i;
            consumed = lineStart = i;
            continue;
        }
        if (b == '@') {
            if (i + 2 >= n)
                break; // the marker is not all here yet: the line waits
            if (data[i + 2] == kCr) {
                appendLine(lineStart, i, true);
                consumed = lineStart = i + 3;
                i += 3;
                continue;
            }
            // Not a marker: the text so far is a line of its own and a new one starts at the at sign,
            // which stays in it; the scan goes on with the next byte.
            appendLine(lineStart, i, false);
            consumed = lineStart = i;
            ++i;
            continue;
        }
        if (in.invalidData && !CCommPort::IsValidByte(b)) {
            r.end = ReplyScanResult::End::Invalid;
            break;
        }
        ++i;
    }
    r.consumed = consumed;
    r.stoppedAt = i;
    return r;
}

} // namespace zrcomm

// The reply scan fed bytes with the times they came: a final '?' or ';' is decided by the silence
// after it, never by a sleep; every other byte is framed as it comes.
#include "reply_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zrcomm;
using End = ReplyScanResult::End;

namespace {

struct Piece {
    std::string bytes;
    std::uint32_t at; // when they came; the scan runs then
};

struct Case {
    const char* what;
    std::vector<Piece> pieces;
    std::uint32_t lastScanAt; // a scan with nothing new, 0: none
    End end;
    std::string reply;
    std::string left; // what stays unconsumed
    std::uint32_t decideAt = 0;
    bool aborting = false;
    bool moreWaiting = false;
};

// Runs the scans as the port does: bytes kept between them, the consumed ones dropped.
ReplyScanResult Scan(const Case& c, std::string& buffer, CByteBuffer& reply)
{
    ReplyScanResult r;
    std::uint32_t resume = 0, arrival = 0;
    std::uint8_t last = 0;
    auto scan = [&](std::uint32_t now, bool more) {
        ReplyScanInput in;
        in.data = reinterpret_cast<const std::uint8_t*>(buffer.data());
        in.length = static_cast<std::uint32_t>(buffer.size());
        in.resumeAt = resume;
        in.lastConsumed = last;
        in.aborting = c.aborting;
        in.firstLine = reinterpret_cast<const std::uint8_t*>("XYZ");
        in.firstLineLength = 3;
        in.now = now;
        in.lastArrival = arrival;
        in.moreWaiting = more;
        r = ScanReplyBytes(in, reply);
        if (r.consumed)
            last = static_cast<std::uint8_t>(buffer[r.consumed - 1]);
        buffer.erase(0, r.consumed);
        resume = r.stoppedAt - r.consumed;
    };
    for (const Piece& p : c.pieces) {
        buffer += p.bytes;
        arrival = p.at;
        scan(p.at, false);
    }
    if (c.lastScanAt)
        scan(c.lastScanAt, c.moreWaiting);
    return r;
}

} // namespace

TEST(ReplyScanner, FinalQuestionMarksAndSemicolonsWaitForSilenceAndNothingElseWaits)
{
    const Case cases[] = {
        {"a question before its silence", {{"0000?", 100}}, 149, End::Open, "", "0000?", 150},
        {"a question after it", {{"0000?", 100}}, 150, End::Question, "0000", ""},
        {"bytes still queued break the silence", {{"0000?", 100}}, 400, End::Open, "", "0000?", 150, false, true},
        {"a page after its silence", {{"  A;", 100}}, 150, End::Paging, "A", ""},
        {"a page while aborting is still a page", {{"A;", 100}}, 150, End::Paging, "A", "", 0, true},
        {"';' in mid-line, byte by byte",
         {{"A;", 100}, {"B", 101}, {";", 102}, {"C\r", 104}},
         300,
         End::Open,
         "A;B;C\r",
         ""},
        {"'?' in mid-line after a gap below the silence",
         {{"WHY?", 100}, {" NOT\r", 149}},
         0,
         End::Open,
         "WHY? NOT\r",
         ""},
        {"an error text waits for its CR", {{"RANGE OVER?", 100}}, 900, End::Open, "", "RANGE OVER?"},
        {"the command's own line is an answer", {{"XYZ?", 100}}, 900, End::Open, "", "XYZ?"},
        {"the prompt ends the reply at once", {{"1\r\n", 100}, {":", 101}}, 0, End::Prompt, "1\r", ""},
        {"a '>' right after the prompt is its rest", {{"1\r\n:", 100}, {">2\r", 101}}, 0, End::Open, "1\r2\r", ""},
        {"a marker waits for its two bytes", {{"A@", 100}, {"1", 101}}, 900, End::Open, "", "A@1"},
        {"a marker with its CR ends the line", {{"A@", 100}, {"1\rB", 101}}, 0, End::Open, "A\r", "B"},
    };
    for (const Case& c : cases) {
        std::string buffer;
        CByteBuffer reply;
        const ReplyScanResult r = Scan(c, buffer, reply);
        EXPECT_EQ(r.end, c.end) << c.what;
        EXPECT_EQ(reply.ToString(), c.reply) << c.what;
        EXPECT_EQ(buffer, c.left) << c.what;
        EXPECT_EQ(r.undecided ? r.decideAt : 0u, c.decideAt) << c.what;
    }
}

TEST(ReplyScanner, AnInvalidByteEndsTheScanOnlyWhenTheReadWasFlagged)
{
    for (const bool flagged : {false, true}) {
        const std::string bytes = "1\x85\r";
        CByteBuffer reply;
        ReplyScanInput in;
        in.data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        in.length = 3;
        in.invalidData = flagged;
        const ReplyScanResult r = ScanReplyBytes(in, reply);
        EXPECT_EQ(r.end, flagged ? End::Invalid : End::Open);
        EXPECT_EQ(r.consumed, flagged ? 0u : 3u);
    }
}

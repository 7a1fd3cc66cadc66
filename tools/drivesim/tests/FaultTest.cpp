// Injected faults: each one as the user of the line sees it.
#include "SimFixture.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

using namespace drivesim;

namespace {

class FaultPty : public SimTest {};
class BaudFaultPty : public SimTest {};

const std::string kGarbage("\x00\x07\x80\xff", 4);

TEST_F(FaultPty, GlobalSilenceDropsEverythingUntilCleared)
{
    start();
    const int id = sim->injectFault(Fault(FaultKind::Silence).always());
    client->write("WWC\r\b\r");
    EXPECT_TRUE(sim->waitForStats([](const Stats& s) { return s.probes == 1; }, 1s));
    EXPECT_EQ(client->readFor(50ms), "");
    EXPECT_EQ(sim->stats().linesReceived, 0u);   // seen, never run
    sim->clearFault(id);
    EXPECT_EQ(client->exchange("WWC\r"), "WWC\r\n:");
}

TEST_F(FaultPty, OneShotFaultsAreUsedUpByTheNextNonEmptyLine)
{
    start();
    sim->injectFault(Fault(FaultKind::DropLine));
    EXPECT_EQ(client->exchange("\r"), "\r\n:");   // empty lines do not use it up
    client->write("MI\r");
    EXPECT_EQ(client->readFor(50ms), "");
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
}

TEST_F(FaultPty, PerCommandFaultsLeaveOtherLinesAlone)
{
    start();
    sim->injectFault(Fault(FaultKind::Silence).on("?SPD").always());
    client->write("?SPD\r");
    EXPECT_EQ(client->readFor(50ms), "");
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
    client->write("?SPD\r");   // persistent: still silent
    EXPECT_EQ(client->readFor(50ms), "");
    sim->injectFault(Fault(FaultKind::EchoOnly).on(Match::prefix("?")));
    client->write("?ACC\r");
    EXPECT_EQ(client->readUntil("\r\n"), "?ACC\r\n");
    EXPECT_EQ(client->readFor(50ms), "");
}

TEST_F(FaultPty, AFaultForOneCommandLeavesTheEchoOfOthersByteByByte)
{
    start();
    sim->addCommand(Match::exact("P"), Program{Question("NEXT")});
    sim->injectFault(Fault(FaultKind::EchoDelay).on("?SPD").after(50ms).always());
    client->write("MI");
    EXPECT_EQ(client->readUntil("MI"), "MI");
    EXPECT_EQ(client->exchange("\r"), "\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
    client->write("?SP");
    EXPECT_EQ(client->readFor(30ms), "");            // may still become the faulty line
    client->write("X");
    EXPECT_EQ(client->readUntil("?SPX"), "?SPX");    // can no longer: what was held goes out
    EXPECT_EQ(client->exchange("\r"), "\r\n?SPX?\r\n:");
    EXPECT_EQ(client->exchange("?SPD\r"), "?SPD\r\n?SPD?\r\n:");
    client->write("P\r");
    EXPECT_EQ(client->readUntil("?"), "P\r\nNEXT?");
    client->write("AB");
    EXPECT_EQ(client->readUntil("AB"), "AB");        // answers are never held
    EXPECT_EQ(client->exchange("\r"), "\r\n:");
}

TEST_F(FaultPty, GarbageAroundTheEchoAndInTheReply)
{
    start();
    sim->injectFault(Fault(FaultKind::Garbage).at(GarbagePlace::BeforeEcho));
    EXPECT_EQ(client->exchange("WWC\r"), kGarbage + "WWC\r\n:");
    sim->injectFault(Fault(FaultKind::Garbage).with("\x01").at(GarbagePlace::InsideEcho, 1));
    EXPECT_EQ(client->exchange("WWC\r"), "W\x01WC\r\n:");
    sim->injectFault(Fault(FaultKind::Garbage).with("\x02").at(GarbagePlace::AfterEcho));
    EXPECT_EQ(client->exchange("WWC\r"), "WWC\r\n\x02:");
    sim->injectFault(Fault(FaultKind::Garbage).with("\x03").at(GarbagePlace::InReply));
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\n\x03KVX100A 1.00\r\nSYS 1.00\r\n:");
}

TEST_F(FaultPty, DroppedReplyLinePromptAndEchoCr)
{
    start();
    sim->injectFault(Fault(FaultKind::DropReplyLine).line(1));
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nKVX100A 1.00\r\n:");
    sim->injectFault(Fault(FaultKind::DropPrompt));
    client->write("MI\r");
    EXPECT_EQ(client->readFor(60ms), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n");
    sim->injectFault(Fault(FaultKind::DropEchoCr));
    client->write("WWC\r");
    EXPECT_EQ(client->readUntil(":"), "WWC:");
}

TEST_F(FaultPty, EchoMismatchKeepsTheReply)
{
    start();
    sim->injectFault(Fault(FaultKind::EchoMismatch));
    EXPECT_EQ(client->exchange("?ABC\r"), "?ABX\r\n?ABC?\r\n:");
    sim->injectFault(Fault(FaultKind::EchoMismatch).with("ZZ"));
    EXPECT_EQ(client->exchange("WWC\r"), "ZZ\r\n:");
}

TEST_F(FaultPty, PromptFollowedByABlank)
{
    start();
    sim->injectFault(Fault(FaultKind::PromptBlank));
    client->write("WWC\r");
    EXPECT_EQ(client->readUntil(": "), "WWC\r\n: ");
}

TEST_F(FaultPty, SlowEchoBytesAndPrompt)
{
    start();
    sim->injectFault(Fault(FaultKind::EchoDelay).after(80ms));
    client->write("WWC\r");
    EXPECT_EQ(client->readFor(40ms), "");
    EXPECT_EQ(client->readUntil(":"), "WWC\r\n:");

    sim->injectFault(Fault(FaultKind::PromptDelay).after(100ms));
    client->write("WWC\r");
    EXPECT_EQ(client->readUntil(":"), "WWC\r\n:");
    // The prompt comes alone, late: seen from the driver, which a loaded reader cannot blur.
    ASSERT_TRUE(sim->waitForStats([](const Stats& st) { return st.bytesSent >= 12; }, 2s));
    const auto writes = sim->sentChunks();
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes.back().bytes, ":");
    EXPECT_GE(writes.back().time - writes[writes.size() - 2].time, 100ms);

    sim->injectFault(Fault(FaultKind::ByteDelay).after(2ms));
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
    EXPECT_GE(std::chrono::steady_clock::now() - t0, 29 * 2ms);
}

TEST_F(FaultPty, SplitWritesAtOffsetsAndAfterTexts)
{
    Options o;
    o.prompt = "#>";
    o.echoMarker = "@x";
    start(o);
    const auto writesBefore = sim->sentChunks().size();
    const auto bytesBefore = sim->stats().bytesSent;
    // Between the prompt's two bytes, after the '@', and between CR and LF.
    sim->injectFault(Fault(FaultKind::SplitWrites)
                         .splitAt({8})
                         .splitAfterText({"WWC@", "x\r"})
                         .after(60ms));
    client->write("WWC\r");
    EXPECT_EQ(client->readUntil("#>", 2s), "WWC@x\r\n#>");
    // A write is recorded just after it reached the line, so the reader can be ahead of the record.
    EXPECT_TRUE(sim->waitForStats([&](const Stats& s) { return s.bytesSent >= bytesBefore + 9; }, 2s));
    std::vector<std::string> writes;
    const auto chunks = sim->sentChunks();
    for (auto i = writesBefore; i < chunks.size(); ++i)
        writes.push_back(chunks[i].bytes);
    // The echo and the prompt are separate writes anyway.
    EXPECT_EQ(writes, (std::vector<std::string>{"WWC@", "x\r", "\n", "#", ">"}));
}

TEST_F(FaultPty, SplitErrorTextAfterItsQuestionMark)
{
    start();
    sim->addCommand(Match::exact("SPD99999"), Program{ErrorMarked("RANGE OVER")});
    sim->injectFault(Fault(FaultKind::SplitWrites).splitAfterText({"OVER?"}).after(80ms));
    const auto bytesBefore = sim->stats().bytesSent;
    client->write("SPD99999\r");
    EXPECT_EQ(client->readUntil(":"), "SPD99999\r\nRANGE OVER?\r\n:");
    // Seen from the driver, which a loaded reader cannot blur: the line end is a write of its
    // own, the gap after the '?'.
    ASSERT_TRUE(sim->waitForStats([&](const Stats& st) { return st.bytesSent >= bytesBefore + 24; }, 2s));
    const auto chunks = sim->sentChunks();
    auto q = std::find_if(chunks.begin(), chunks.end(), [](const Chunk& c) { return c.bytes.ends_with("OVER?"); });
    ASSERT_NE(q, chunks.end());
    ASSERT_NE(q + 1, chunks.end());
    EXPECT_EQ((q + 1)->bytes.substr(0, 2), "\r\n");
    EXPECT_GE((q + 1)->time - q->time, 80ms);
}

TEST_F(FaultPty, StallStopsReadingSoTheWriterBlocks)
{
    start();
    const int id = sim->injectFault(Fault(FaultKind::Stall));
    // Line feeds are ignored by the editor, so the flood leaves no line behind.
    const std::string block(4096, '\n');
    std::size_t total = 0;
    bool blocked = false;
    for (int i = 0; i < 1024 && !blocked; ++i) {
        const ssize_t n = ::write(client->fd(), block.data(), block.size());
        if (n < 0) {
            ASSERT_EQ(errno, EAGAIN);
            blocked = true;
        } else {
            total += static_cast<std::size_t>(n);
        }
    }
    EXPECT_TRUE(blocked) << total;
    EXPECT_EQ(sim->stats().bytesReceived, 0u);
    sim->clearFault(id);
    EXPECT_TRUE(sim->waitForStats([&](const Stats& s) { return s.bytesReceived >= total; }, 2s));
    EXPECT_EQ(client->exchange("WWC\r"), "WWC\r\n:");
}

TEST_F(FaultPty, StallAfterACommandUntilCleared)
{
    start();
    const int id = sim->injectFault(Fault(FaultKind::Stall).on("TX0"));
    client->write("TX0\r");
    ASSERT_TRUE(sim->waitForLines(1, 1s));
    client->write("WWC\r");
    EXPECT_EQ(client->readFor(50ms), "");
    EXPECT_EQ(sim->stats().bytesReceived, 4u);
    sim->clearFault(id);
    EXPECT_EQ(client->readUntil(":"), "WWC\r\n:");
}

TEST_F(FaultPty, HangUpOnACommand)
{
    start();
    sim->injectFault(Fault(FaultKind::HangUp).on("MI"));
    EXPECT_EQ(client->exchange("WWC\r"), "WWC\r\n:");
    client->write("MI\r");
    pollfd p{client->fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    char c;
    const ssize_t n = ::read(client->fd(), &c, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n;
    EXPECT_FALSE(sim->running());
}

TEST_F(FaultPty, ClearFaultsDisarmsEverything)
{
    start();
    sim->injectFault(Fault(FaultKind::EchoOnly).always());
    sim->injectFault(Fault(FaultKind::DropPrompt).on("MI").always());
    sim->clearFaults();
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
}

TEST_F(BaudFaultPty, ErrorsToTestAndUnlock)
{
    start();
    sim->injectFault(Fault(FaultKind::BaudTestError));
    EXPECT_EQ(client->exchange("BDT10000.0\r"), "BDT10000.0\r\nRANGE OVER\r\n:");
    EXPECT_EQ(client->exchange("BDT10000.0\r"), "BDT10000.0\r\n:");   // one-shot
    sim->injectFault(Fault(FaultKind::BaudUnlockError));
    EXPECT_EQ(client->exchange("/TRX ON\r"), "/TRX ON\r\nPASSWORD REQUIRED\r\n:");
    // The baud faults wait for their own lines: another line does not use them up.
    sim->injectFault(Fault(FaultKind::BaudTestError).with("COND. MISMATCH"));
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
    EXPECT_EQ(client->exchange("BDT10000.0\r"), "BDT10000.0\r\nCOND. MISMATCH\r\n:");
}

TEST_F(BaudFaultPty, NoSwitchAndWrongRate)
{
    start();
    sim->injectFault(Fault(FaultKind::BaudNoSwitch));
    client->write("BDR1\r");
    EXPECT_EQ(client->readUntil("\r\n"), "BDR1\r\n");
    ASSERT_TRUE(sim->waitForLines(1, 1s));
    EXPECT_EQ(sim->currentRate(), 9600);
    EXPECT_EQ(client->exchange("BDV\r"), "BDV\r\n:");   // still 9600 both sides

    sim->injectFault(Fault(FaultKind::BaudWrongRate).toRate(38400));
    client->write("BDR1\r");
    EXPECT_EQ(client->readUntil("\r\n"), "BDR1\r\n");
    ASSERT_TRUE(sim->waitForStats([](const Stats& s) { return s.currentRate == 38400; }, 1s));
    ASSERT_TRUE(client->setSpeed(19200));
    client->write("BDV\r");   // at the rate asked for, which the driver did not take
    EXPECT_TRUE(sim->waitForStats([](const Stats& s) { return s.noiseBytes == 4; }, 1s));
    EXPECT_EQ(client->readFor(30ms), "");
}

TEST_F(BaudFaultPty, VerifySilence)
{
    start();
    sim->injectFault(Fault(FaultKind::BaudVerifySilence).always());
    for (int i = 0; i < 2; ++i) {
        client->write("BDV\r");
        // Under load the echo may take longer than the silence looked at after it.
        EXPECT_EQ(client->readUntil("BDV\r\n", 2000ms), "BDV\r\n");
        EXPECT_EQ(client->readFor(50ms), "");
    }
}

} // namespace

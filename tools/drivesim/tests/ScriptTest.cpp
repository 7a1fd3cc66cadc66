// Scripted commands: lines, pages, questions, error texts, delays, raw bytes, unsolicited output.
#include "SimFixture.h"

#include <algorithm>
#include <atomic>

using namespace drivesim;

namespace {

class ScriptPty : public SimTest {};

TEST_F(ScriptPty, ExactPrefixAndPredicateMatches)
{
    start();
    sim->addCommand(Match::exact("?SPD"), Program{Line("SPD 100")});
    sim->addCommand(Match::prefix("SPD"), [](const std::string& line) {
        return Program{Line("SET " + line.substr(3))};
    });
    sim->addCommand(Match::predicate([](const std::string& l) { return l.size() > 10; }),
                    Program{Line("LONG")});
    EXPECT_EQ(client->exchange("?SPD\r"), "?SPD\r\nSPD 100\r\n:");
    EXPECT_EQ(client->exchange("SPD250\r"), "SPD250\r\nSET 250\r\n:");
    EXPECT_EQ(client->exchange("ABCDEFGHIJKL\r"), "ABCDEFGHIJKL\r\nLONG\r\n:");
    EXPECT_EQ(client->exchange("?SPDX\r"), "?SPDX\r\n?SPDX?\r\n:");
}

TEST_F(ScriptPty, NewestCommandWinsAndRemovalRestoresTheBuiltIn)
{
    start();
    const int a = sim->addCommand(Match::exact("MI"), Program{Line("FIRST")});
    const int b = sim->addCommand(Match::exact("MI"), Program{Line("SECOND")});
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nSECOND\r\n:");
    sim->removeCommand(b);
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nFIRST\r\n:");
    sim->removeCommand(a);
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
}

TEST_F(ScriptPty, PagesGoOnWithABlankAndStopWithABackspace)
{
    start();
    sim->addCommand(Match::exact("TX0"), Program{Page("P1"), Page("P2"), Line("END")});
    client->write("TX0\r");
    EXPECT_EQ(client->readUntil(";"), "TX0\r\nP1;");
    EXPECT_EQ(client->readFor(30ms), "");   // waits for the user
    client->write("Q");                     // other bytes are ignored
    ASSERT_TRUE(sim->waitForInput("Q", 2s)); // taken alone, so the blank after it is lone too
    EXPECT_EQ(client->readFor(30ms), "");
    client->write(" ");
    EXPECT_EQ(client->readUntil(";"), "P2;");
    client->write(" ");
    EXPECT_EQ(client->readUntil(":"), "END\r\n:");

    client->write("TX0\r");
    EXPECT_EQ(client->readUntil(";"), "TX0\r\nP1;");
    client->write("\b");
    EXPECT_EQ(client->readUntil(":"), "\r\n:");
    EXPECT_EQ(client->readFor(30ms), "");
    EXPECT_TRUE(sim->waitForStats([](const Stats& s) { return s.loneBlanks == 2 && s.loneBackspaces == 1; }, 1s));
}

TEST_F(ScriptPty, QuestionsReadAnEchoedAnswerThatChoosesTheBranch)
{
    start();
    sim->addCommand(Match::exact("PRG"), Program{
        Question("LINE1", [](const std::string& answer) {
            return answer == "MOV 10" ? Program{Line("OK")} : Program{Line("BAD")};
        }),
        Question("MORE"),
        Line("DONE")});
    client->write("PRG\r");
    EXPECT_EQ(client->readUntil("?"), "PRG\r\nLINE1?");
    client->write("MOV 10\r");
    EXPECT_EQ(client->readUntil("?"), "MOV 10\r\nOK\r\nMORE?");
    client->write("\r");   // no line left: a lone CR
    EXPECT_EQ(client->readUntil(":"), "\r\nDONE\r\n:");
    EXPECT_EQ(sim->answers(), (std::vector<std::string>{"MOV 10", ""}));

    client->write("PRG\r");
    EXPECT_EQ(client->readUntil("?"), "PRG\r\nLINE1?");
    client->write("X\b");   // a backspace cancels the question
    EXPECT_EQ(client->readUntil(":"), "X\r\n:");
    EXPECT_EQ(client->readFor(30ms), "");
}

TEST_F(ScriptPty, ErrorTextsWholeMarkedAndSplit)
{
    start();
    sim->addCommand(Match::exact("A"), Program{Error("RANGE OVER")});
    sim->addCommand(Match::exact("B"), Program{ErrorMarked("RANGE OVER")});
    sim->addCommand(Match::exact("C"), Program{ErrorSplit("RANGE OVER", 80ms)});
    EXPECT_EQ(client->exchange("A\r"), "A\r\nRANGE OVER\r\n:");
    EXPECT_EQ(client->exchange("B\r"), "B\r\nRANGE OVER?\r\n:");
    client->write("C\r");
    EXPECT_EQ(client->readUntil(":"), "C\r\nRANGE OVER?\r\n:");
    // The line end comes late: judged by the driver's own record of its writes, which a loaded
    // reader cannot blur.
    const auto chunks = sim->sentChunks();
    auto q = std::find_if(chunks.begin(), chunks.end(), [](const Chunk& c) { return c.bytes.ends_with("OVER?"); });
    ASSERT_NE(q, chunks.end());
    ASSERT_NE(q + 1, chunks.end());
    EXPECT_EQ((q + 1)->bytes.substr(0, 2), "\r\n");
    EXPECT_GE((q + 1)->time - q->time, 80ms);
}

TEST_F(ScriptPty, DelayRawNoPromptAndCancelDuringOutput)
{
    start();
    sim->addCommand(Match::exact("R"), Program{Raw("\x01" "ab"), NoPrompt()});
    client->write("R\r");
    EXPECT_EQ(client->readUntil("ab"), "R\r\n\x01" "ab");
    EXPECT_EQ(client->readFor(30ms), "");

    sim->addCommand(Match::exact("S"), Program{Line("ONE"), Delay(1000ms), Line("TWO")});
    client->write("S\r");
    EXPECT_EQ(client->readUntil("ONE\r\n"), "S\r\nONE\r\n");
    const auto t0 = std::chrono::steady_clock::now();
    client->write("\b");   // cancels the running output
    EXPECT_EQ(client->readUntil(":"), "\r\n:");
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 900ms);
    EXPECT_EQ(client->readFor(30ms), "");
}

TEST_F(ScriptPty, InputDuringOutputIsIgnoredOrQueued)
{
    start();
    sim->addCommand(Match::exact("S"), Program{Line("ONE"), Delay(60ms), Line("TWO")});
    client->write("S\r");
    client->readUntil("ONE\r\n");
    client->write("MI\r");   // ignored while busy
    EXPECT_EQ(client->readUntil(":"), "TWO\r\n:");
    EXPECT_EQ(client->readFor(30ms), "");

    Options o;
    o.queueInputWhileBusy = true;
    sim->setOptions(o);
    client->write("S\r");
    client->readUntil("ONE\r\n");
    client->write("MI\r");   // kept and run afterwards
    EXPECT_EQ(client->readUntil(":"), "TWO\r\n:");
    EXPECT_EQ(client->readUntil(":"), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
}

TEST_F(ScriptPty, ResponderStateLivesAcrossCommands)
{
    start();
    auto value = std::make_shared<std::string>("100");
    sim->addCommand(Match::prefix("SPD"), [value](const std::string& line) {
        *value = line.substr(3);
        return Program{};
    });
    sim->addCommand(Match::exact("?SPD"), [value](const std::string&) {
        return Program{Line("SPD " + *value)};
    });
    EXPECT_EQ(client->exchange("SPD42\r"), "SPD42\r\n:");
    EXPECT_EQ(client->exchange("?SPD\r"), "?SPD\r\nSPD 42\r\n:");
}

TEST_F(ScriptPty, UnsolicitedOutputAndSetRate)
{
    start();
    sim->sendLine("ALARM 12");
    sim->sendRaw("#");
    EXPECT_TRUE(sim->waitOutputDrained(1s));
    EXPECT_EQ(client->readUntil("#"), "ALARM 12\r\n#");
    sim->setRate(19200);
    EXPECT_TRUE(sim->waitForStats([](const Stats& s) { return s.currentRate == 19200; }, 1s));
}

TEST_F(ScriptPty, WaitForInputSeesWhatTheClientWrote)
{
    start();
    const auto mark = sim->received().size();
    EXPECT_FALSE(sim->waitForInput("HELLO", 20ms, mark));
    client->write("HEL");
    client->write("LO\r");
    EXPECT_TRUE(sim->waitForInput("HELLO\r", 2s, mark));
    EXPECT_TRUE(sim->waitForLines(1, 2s));
    const auto chunks = sim->receivedChunks();
    ASSERT_FALSE(chunks.empty());
    for (std::size_t i = 1; i < chunks.size(); ++i)
        EXPECT_LE(chunks[i - 1].time, chunks[i].time);
}

} // namespace

namespace {

TEST_F(ScriptPty, AnswerEchoFollowsTheEchoStyle)
{
    Options o;
    o.echoTiming = EchoTiming::WholeLine;
    o.echoLineEnd = LineEnd::Cr;
    o.echoMarker = "@x";
    start(o);
    sim->addCommand(Match::exact("P"), Program{Question("NEXT"), Line("OK")});
    client->write("P\r");
    EXPECT_EQ(client->readUntil("?"), "P@x\rNEXT?");
    client->write("AB");
    EXPECT_EQ(client->readFor(30ms), "");   // the answer is echoed at its CR
    client->write("\r");
    EXPECT_EQ(client->readUntil(":"), "AB@x\rOK\r\n:");
    EXPECT_EQ(sim->answers(), std::vector<std::string>{"AB"});
}

TEST_F(ScriptPty, ControlSequencesAreCounted)
{
    start();
    client->write("\b\r");
    EXPECT_EQ(client->readUntil(":"), "\r\n:");
    client->write("\r\b");
    EXPECT_EQ(client->readUntil(":"), "\r\n:");
    client->write("\b");
    EXPECT_TRUE(sim->waitForStats(
        [](const Stats& s) { return s.backspaceCr == 1 && s.crBackspace == 1 && s.loneBackspaces == 1; },
        1s));
    EXPECT_EQ(sim->stats().probes, 0u);
}

TEST_F(ScriptPty, VerifyLineBeforeThePrompt)
{
    Options o;
    o.verifyLine = "BD 9600";
    start(o);
    EXPECT_EQ(client->exchange("BDV\r"), "BDV\r\nBD 9600\r\n:");
}

} // namespace

namespace {

TEST_F(ScriptPty, ALineRightAfterAQuietStepIsNotTakenAsBusyInput)
{
    start();
    sim->addCommand(Match::exact("GO"), Program{Line("ONE"), SetRate(9600), NoPrompt(), NoPrompt()});
    for (int i = 0; i < 20; ++i) {
        client->write("GO\r");
        EXPECT_EQ(client->readUntil("ONE\r\n"), "GO\r\nONE\r\n");
        EXPECT_EQ(client->exchange("WWC\r"), "WWC\r\n:");
    }
}

} // namespace

// The line editor, echo styles, prompts and the built-in lines, seen from the slave side.
#include "SimFixture.h"

using drivesim::EchoTiming;
using drivesim::LineEnd;
using drivesim::Options;

namespace {

class LineEditorPty : public SimTest {};
class BuiltinLinesPty : public SimTest {};

TEST_F(LineEditorPty, EchoesEachByteAtOnceAndEndsWithThePrompt)
{
    start();
    client->write("WW");
    EXPECT_EQ(client->readUntil("WW"), "WW");   // echoed before any CR
    EXPECT_EQ(client->exchange("C\r"), "C\r\n:");
    EXPECT_EQ(client->readFor(30ms), "");      // nothing after the prompt
}

TEST_F(LineEditorPty, WholeLineEchoWaitsForTheCr)
{
    Options o;
    o.echoTiming = EchoTiming::WholeLine;
    start(o);
    client->write("WW");
    EXPECT_EQ(client->readFor(50ms), "");
    EXPECT_EQ(client->exchange("C\r"), "WWC\r\n:");
}

TEST_F(LineEditorPty, CrOnlyEchoAndMarker)
{
    Options o;
    o.echoLineEnd = LineEnd::Cr;
    o.echoMarker = "@x";
    start(o);
    client->write("WWC\r");
    EXPECT_EQ(client->readUntil(":"), "WWC@x\r:");
}

TEST_F(LineEditorPty, EveryPromptStyleIsTheLastThingWritten)
{
    for (const char* prompt : {":", "#", ":>", "#>"}) {
        Options o;
        o.prompt = prompt;
        start(o);
        EXPECT_EQ(client->exchange("XYZ\r", prompt), std::string("XYZ\r\nXYZ?\r\n") + prompt);
        EXPECT_EQ(client->readFor(30ms), "") << prompt;
        TearDown();
    }
}

TEST_F(LineEditorPty, BackspaceErasesWithoutEchoUnlessAsked)
{
    start();
    // The line the driver runs is "AB": the X was erased.
    EXPECT_EQ(client->exchange("AX\bB\r"), "AXB\r\nAB?\r\n:");
    client->write("\b\b");   // nothing on an empty line
    EXPECT_EQ(client->readFor(30ms), "");

    Options o;
    o.backspaceEcho = true;
    sim->setOptions(o);
    EXPECT_EQ(client->exchange("AX\bB\r"), "AX\b \bB\r\nAB?\r\n:");
}

TEST_F(LineEditorPty, LineFeedsAndControlBytesAreIgnored)
{
    start();
    EXPECT_EQ(client->exchange("\nW\x01WC\x7f\r"), "WWC\r\n:");
    EXPECT_EQ(sim->receivedLines().back(), "WWC");
}

TEST_F(LineEditorPty, ALoneCrGivesAnEmptyLineAndAPrompt)
{
    start();
    EXPECT_EQ(client->exchange("\r"), "\r\n:");
    EXPECT_EQ(client->exchange("\r\b"), "\r\n:");   // asking for a fresh prompt
}

TEST_F(BuiltinLinesPty, TheProbeEndsWithAPromptAndIsCounted)
{
    start();
    client->write("WWC\r\b\r");
    EXPECT_EQ(client->readUntil("\r\n:\r\n:"), "WWC\r\n:\r\n:");
    EXPECT_EQ(client->readFor(30ms), "");
    client->write("WWC\r\b\r");
    EXPECT_EQ(client->readUntil("\r\n:\r\n:"), "WWC\r\n:\r\n:");
    EXPECT_TRUE(sim->waitForStats([](const drivesim::Stats& s) { return s.probes == 2; }, 1s));
}

TEST_F(BuiltinLinesPty, IdentificationIsConfigurable)
{
    start();
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
    Options o;
    o.identification = {"OTHER 2.00"};
    sim->setOptions(o);
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nOTHER 2.00\r\n:");
}

TEST_F(BuiltinLinesPty, BaudTestAndUnlockAnswerWithAPrompt)
{
    start();
    EXPECT_EQ(client->exchange("BDT10000.0\r"), "BDT10000.0\r\n:");
    EXPECT_EQ(client->exchange("/TRX ON\r"), "/TRX ON\r\n:");
    EXPECT_EQ(client->exchange("BDV\r"), "BDV\r\n:");
}

TEST_F(BuiltinLinesPty, UnknownLineIsAnsweredWithItsTextAndAQuestionMark)
{
    start();
    EXPECT_EQ(client->exchange("?NOPE\r"), "?NOPE\r\n?NOPE?\r\n:");
    EXPECT_TRUE(sim->waitForStats([](const drivesim::Stats& s) { return s.bytesSent == 16; }, 1s));
    EXPECT_EQ(sim->sent(), "?NOPE\r\n?NOPE?\r\n:");
}

TEST_F(BuiltinLinesPty, BaudStepSwitchesAfterTheEchoAtTheOldRate)
{
    start();
    client->write("BDR1\r");
    EXPECT_EQ(client->readUntil("\r\n"), "BDR1\r\n");
    EXPECT_TRUE(sim->waitForStats([](const drivesim::Stats& s) { return s.currentRate == 19200; }, 1s));
    EXPECT_EQ(client->readFor(50ms), "");   // by default silence after the switch
    ASSERT_TRUE(client->setSpeed(19200));
    EXPECT_EQ(client->exchange("BDV\r"), "BDV\r\n:");
}

TEST_F(BuiltinLinesPty, BaudStepCanPromptAtTheNewRate)
{
    Options o;
    o.promptAfterRateSwitch = true;
    start(o);
    client->write("BDR3\r");
    EXPECT_EQ(client->readUntil("\r\n"), "BDR3\r\n");
    // The prompt went out at 57600 while the line was still at 9600: garbled, not a ':'.
    const std::string rest = client->readFor(50ms);
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(static_cast<unsigned char>(rest[0]), 0x80 | (':' >> 1));
    EXPECT_EQ(sim->currentRate(), 57600);
    ASSERT_TRUE(client->setSpeed(57600));
    EXPECT_EQ(client->exchange("BDV\r"), "BDV\r\n:");
}

} // namespace

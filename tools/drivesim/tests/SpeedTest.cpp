// Line-speed emulation and pacing.
#include "SimFixture.h"

using namespace drivesim;

namespace {

class SpeedPty : public SimTest {};

std::string garbled(const std::string& s)
{
    std::string out;
    for (char c : s)
        out += static_cast<char>(0x80 | (static_cast<unsigned char>(c) >> 1));
    return out;
}

TEST_F(SpeedPty, RateIsTakenFromTheLineWhenBytesFirstCome)
{
    start({}, 19200);
    EXPECT_EQ(sim->currentRate(), 0);
    EXPECT_EQ(client->exchange("WWC\r"), "WWC\r\n:");
    EXPECT_EQ(sim->currentRate(), 19200);
    EXPECT_EQ(sim->lastPtySpeed(), 19200);
}

TEST_F(SpeedPty, WrongSpeedGarblesOutputAndDropsInputUntilTheSpeedsMatch)
{
    Options o;
    o.initialRate = 9600;
    start(o, 19200);
    client->write("WWC\r");
    EXPECT_TRUE(sim->waitForStats([](const Stats& s) { return s.noiseBytes == 4; }, 1s));
    EXPECT_EQ(client->readFor(30ms), "");   // taken as noise: no echo
    EXPECT_EQ(sim->stats().linesReceived, 0u);
    sim->sendLine("HI");
    EXPECT_EQ(client->readFor(50ms), garbled("HI\r\n"));
    EXPECT_EQ(sim->lastPtySpeed(), 19200);

    ASSERT_TRUE(client->setSpeed(9600));
    EXPECT_EQ(client->exchange("WWC\r"), "WWC\r\n:");
    sim->sendLine("HI");
    EXPECT_EQ(client->readUntil("HI\r\n"), "HI\r\n");
}

TEST_F(SpeedPty, GarbleToZeroOrDrop)
{
    Options o;
    o.initialRate = 9600;
    o.garble = GarbleMode::Zero;
    start(o, 38400);
    sim->sendRaw("AB");
    // Waits for the bytes rather than a fixed time, which a loaded machine may not meet.
    EXPECT_EQ(client->readUntil(std::string(2, '\0'), 2000ms), std::string(2, '\0'));
    o.garble = GarbleMode::Drop;
    sim->setOptions(o);
    sim->sendRaw("AB");
    EXPECT_TRUE(sim->waitOutputDrained(1s));
    EXPECT_EQ(client->readFor(30ms), "");
    EXPECT_EQ(sim->stats().garbledBytes, 4u);
}

TEST_F(SpeedPty, NoiseCanCorruptTheLineInstead)
{
    Options o;
    o.initialRate = 9600;
    o.noise = NoiseMode::CorruptLine;
    start(o, 19200);
    client->write("XY");
    // Both taken in and echoed (at the wrong speed) before the user changes its speed.
    EXPECT_TRUE(sim->waitForStats([](const Stats& s) { return s.noiseBytes == 2 && s.bytesSent == 2; }, 1s));
    ASSERT_TRUE(client->setSpeed(9600));
    // The spoilt start makes the line unknown. The noise was echoed at once, still at the wrong
    // speed, so that echo is garbled once more.
    const std::string bad = garbled("XY");
    EXPECT_EQ(client->exchange("MI\r"), garbled(bad) + "MI\r\n" + bad + "MI?\r\n:");
}

TEST_F(SpeedPty, BaudChangeRoundTrip)
{
    start();
    EXPECT_EQ(client->exchange("BDT10000.0\r"), "BDT10000.0\r\n:");
    EXPECT_EQ(client->exchange("/TRX ON\r"), "/TRX ON\r\n:");
    client->write("BDR2\r");
    EXPECT_EQ(client->readUntil("\r\n"), "BDR2\r\n");
    ASSERT_TRUE(sim->waitForStats([](const Stats& s) { return s.currentRate == 38400; }, 1s));
    // Still at the old speed: the verify line is noise to the driver.
    client->write("BDV\r");
    EXPECT_TRUE(sim->waitForStats([](const Stats& s) { return s.noiseBytes == 4; }, 1s));
    ASSERT_TRUE(client->setSpeed(38400));
    EXPECT_EQ(client->exchange("BDV\r"), "BDV\r\n:");
    EXPECT_EQ(sim->lastPtySpeed(), 38400);
}

TEST_F(SpeedPty, SpeedCheckCanBeTurnedOff)
{
    Options o;
    o.initialRate = 9600;
    o.speedEmulation = false;
    start(o, 57600);
    EXPECT_EQ(client->exchange("WWC\r"), "WWC\r\n:");
}

TEST_F(SpeedPty, PacingTakesTheWireTimeBothWays)
{
    Options o;
    o.pacing = true;
    start(o, 9600);   // 8N1: 10 bits, 1.04 ms a byte
    const auto t0 = std::chrono::steady_clock::now();
    const std::string reply = client->exchange("MI\r");
    const auto took = std::chrono::steady_clock::now() - t0;
    ASSERT_EQ(reply, "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
    // 3 bytes in, 29 out.
    EXPECT_GE(took, std::chrono::microseconds((3 + reply.size()) * 1041 * 9 / 10));
    // Each byte is its own write when paced.
    for (const auto& c : sim->sentChunks())
        EXPECT_EQ(c.bytes.size(), 1u);
}

} // namespace

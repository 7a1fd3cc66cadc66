// The I/O editor's reply decoders and menu rules, on the replies the driver gives.
#include "connection/ConnectionRules.h"
#include "screens/io/IoReplies.h"

#include <model/ReplyErrorText.h>

#include <gtest/gtest.h>

using namespace talverin::io;
using talverin::IsDriverErrorResult;
using model::CN2PinRecord;

TEST(IoRepliesTest, StateReplyBitsGoToThePinsOfTheirIoNumbers)
{
    const std::string reply = "INPUT  GFEDCBA9876543210\rOUTPUT 76543210\r10000000000000010\r 10000001 ";
    const auto bits = DecodeStateReply(reply);
    ASSERT_EQ(bits.size(), 25u);
    // Output 7, output 0, input 16 and input 1 (the pins of those I/O numbers), all on.
    for (const auto& [i, pin] : {std::pair<int, int>{0, 35}, {7, 28}, {8, 20}, {23, 4}}) {
        EXPECT_EQ(bits[static_cast<std::size_t>(i)].pin, pin);
        EXPECT_TRUE(bits[static_cast<std::size_t>(i)].on) << pin;
    }
    EXPECT_FALSE(bits[24].on);

    // Short, long and garbled replies: only what is present is mapped, never a pin -1.
    struct Case {
        std::string reply;
        std::size_t count;
    } cases[] = {
        {"INPUT  GFEDCBA\rOUTPUT\r0101", 0},          // three lines
        {"INPUT  GFEDCBA\rOUTPUT\r\r0101", 4},        // no inputs, four outputs
        {"INPUT  GFEDCBA\rOUTPUT\r" + std::string(40, '1') + "\r11111111", 25},
        {"GARBAGE\r\r\r11111111", 0},                 // not a state reply
        {std::string("INPUT  GFEDCBA\r") + std::string(10000, '\r'), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.substr(0, 40));
        const auto decoded = DecodeStateReply(c.reply);
        EXPECT_EQ(decoded.size(), c.count);
        for (const PinBit& b : decoded)
            EXPECT_GT(b.pin, 0);
    }
}

TEST(IoRepliesTest, QueryReplyFillsTheRecordAndKeepsItsNumbersUnlessTheyFit)
{
    CN2PinRecord r;
    r.m_disabled = 4;
    r.m_status = 1;
    r.m_reserved2 = 0x4000000F;
    ApplyQueryReply("PI2\rFN4\rAB1\rNW0;junk", 5, r);
    EXPECT_EQ(r.Format(1), "5,2,B,4,0,0");
    EXPECT_EQ(r.m_readValue, "0");
    EXPECT_EQ(r.m_disabled, 4u); // the mask is the unit's, not the driver's
    EXPECT_EQ(r.m_reserved2, 0);

    // An I/O number out of range, of another pin, or not a number: the pin's own numbers.
    for (const char* io : {"PI99", "PI3", "PI-1", "PIx", "PI"}) {
        CN2PinRecord fresh;
        ApplyQueryReply(std::string(io) + "\rFN\rAB0\rNW", 5, fresh);
        EXPECT_EQ(fresh.Format(1), "5,2,A,,,0") << io;
    }
    CN2PinRecord out;
    ApplyQueryReply("PO1\rFN3\rGC0\rST1", 29, out);
    EXPECT_EQ(out.Format(1), "29,1,P,3,1,0");
    EXPECT_TRUE(IsQueryReply("PO1\rFN3"));
    EXPECT_FALSE(IsQueryReply("RANGE OVER"));
}

TEST(IoRepliesTest, RefusedSettingsMarkTheFieldAndTakeTheDriversError)
{
    struct Case {
        const char* reply;
        bool hadError;
        std::uint32_t status;
        std::uint32_t error;
    } cases[] = {
        {"0000\r0001\r0002\r0003\rFN99?\rRANGE OVER", false, kFunctionRefused, 0x4000000F},
        {"0000\r0001\r0002\r0003\rNWX?\rUNKNOWN OPTION", false, kValueRefused, 0x4000000C},
        {"0000\r0001\r0002\rFN?\rAB2?", false, kFunctionRefused | kValueRefused, kUnknownCommand},
        {"0000\r0001\r0002\r0003\rST9?", false, kValueRefused, kUnknownCommand}, // value without text
        {"0000?\r0001\r0002", true, kRowError, kUnknownCommand},                 // '?' before line 4
        {"0000\r0001\r0002\r0003\rFN1?\rREAD INHIBIT", false, kFunctionRefused, 0x4000000E},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        const Refusal r = DecodeRefusal(c.reply, c.hadError);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.error, c.error);
    }
    EXPECT_EQ(model::FindDriverErrorText("x READ ONLY y"), 0x40000015u);
    EXPECT_EQ(model::FindDriverErrorText("DISABLE COMMAND"), 0x40000014u);
    EXPECT_EQ(model::FindDriverErrorText("COND. MISMATCH"), 0x40000010u);
    EXPECT_EQ(model::FindDriverErrorText("OK"), 0u);
}

// The logic toggles are clicked through the screen (ViewIOGui).
TEST(IoRepliesTest, MenuRulesAndErrorResults)
{
    struct Case {
        std::uint32_t mask;
        bool connected;
        bool logic, reset, refresh;
    } cases[] = {
        {0, true, true, true, true}, {2, false, false, true, false}, {6, true, false, true, true},
        {14, true, false, false, true}, {12, false, true, true, false},
    };
    for (const Case& c : cases) {
        const PinMenuRules r = MenuRules(c.mask, c.connected);
        EXPECT_EQ(r.logic, c.logic) << c.mask;
        EXPECT_EQ(r.reset, c.reset) << c.mask;
        EXPECT_EQ(r.refresh, c.refresh) << c.mask;
    }
    EXPECT_TRUE(IsDriverErrorResult(0x40000015)); // READ ONLY is an error too
    EXPECT_TRUE(IsDriverErrorResult(0x4000000B));
    EXPECT_FALSE(IsDriverErrorResult(0x40000016));
    EXPECT_FALSE(IsDriverErrorResult(0));
}

#include "CommaDecimalLocale.h"

#include "model/ChannelProgram.h"
#include "model/CN2PinRecord.h"
#include "model/NumberText.h"
#include "model/RangeList.h"
#include "model/ZRParamData.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

using namespace model;

TEST(NumberTextParse, LikeTheCLibrary)
{
    EXPECT_EQ(ParseLeadingDouble("1.5"), 1.5);
    EXPECT_EQ(ParseLeadingDouble("  -2.25xyz"), -2.25);
    EXPECT_EQ(ParseLeadingDouble("+7"), 7.0);
    EXPECT_EQ(ParseLeadingDouble(".5"), 0.5);
    EXPECT_EQ(ParseLeadingDouble("5."), 5.0);
    EXPECT_EQ(ParseLeadingDouble("1e3"), 1000.0);
    EXPECT_EQ(ParseLeadingDouble("1e"), 1.0);
    EXPECT_EQ(ParseLeadingDouble("2.2250738585072014e-308"), DBL_MIN);
    for (const char* zero : {"", "abc", "-", ".", "(5)", "inf", "nan", "-infinity", "0x10", "\xff"})
        EXPECT_EQ(ParseLeadingDouble(zero), 0.0) << zero;
    // German decimal comma: the number stops at the comma.
    EXPECT_EQ(ParseLeadingDouble("1,5"), 1.0);
}

TEST(NumberTextParse, OutOfRangeStaysFinite)
{
    EXPECT_EQ(ParseLeadingDouble("1e999"), DBL_MAX);
    EXPECT_EQ(ParseLeadingDouble("-1e999"), -DBL_MAX);
    EXPECT_EQ(ParseLeadingDouble(std::string(400, '9')), DBL_MAX);
    EXPECT_EQ(ParseLeadingDouble("1e-999"), 0.0);
    EXPECT_EQ(ParseLeadingDouble("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_TRUE(std::isfinite(ParseLeadingDouble(std::string(10000, '9'))));
}

TEST(NumberTextParse, IntegersAndHex)
{
    EXPECT_EQ(ParseLeadingInt(" 42abc"), 42);
    EXPECT_EQ(ParseLeadingInt("-17"), -17);
    EXPECT_EQ(ParseLeadingInt("+3"), 3);
    EXPECT_EQ(ParseLeadingInt("x1"), 0);
    EXPECT_EQ(ParseLeadingInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseLeadingInt("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(ParseLeadingInt(std::string("12\0" "34", 5)), 12);

    EXPECT_EQ(ParseLeadingHex("1f"), 0x1fu);
    EXPECT_EQ(ParseLeadingHex("0x1F"), 0x1fu);
    EXPECT_EQ(ParseLeadingHex(" ffffffff"), 0xffffffffu);
    EXPECT_EQ(ParseLeadingHex("123456789"), 0xffffffffu);
    EXPECT_EQ(ParseLeadingHex("0x"), 0u);
    EXPECT_EQ(ParseLeadingHex("g"), 0u);
}

TEST(NumberTextFormat, FixedTruncatedAndHex)
{
    EXPECT_EQ(FormatFixed(1.5, 2), "1.50");
    EXPECT_EQ(FormatFixed(2.96, 1), "3.0");
    EXPECT_EQ(FormatFixed(-0.5, 0), "-0");
    EXPECT_EQ(FormatFixed(1.0, -3), "1");
    EXPECT_EQ(FormatFixed(1.0, 1000).size(), 2u + kMaxDecimals);
    EXPECT_EQ(FormatFixed(DBL_MAX, 0).size(), 309u);
    EXPECT_EQ(FormatTruncated(7.9), "7");
    EXPECT_EQ(FormatTruncated(-7.9), "-7");
    EXPECT_EQ(FormatTruncated(1e300), "9223372036854775807");
    EXPECT_EQ(FormatTruncated(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(FormatHex(0x1f), "1f");
    EXPECT_EQ(FormatHex(0), "0");
    EXPECT_EQ(TruncateToInt(1e100), INT_MAX);
    EXPECT_EQ(TruncateToInt(-1e100), INT_MIN);
    EXPECT_EQ(TruncateToInt(-2.9), -2);
}

TEST(NumberTextLocale, GermanNumericLocaleChangesNothing)
{
    CommaDecimalLocale german;
    if (!german.active())
        GTEST_SKIP() << "Cannot test under a comma-decimal locale: " << german.reason();

    EXPECT_EQ(FormatFixed(1.5, 2), "1.50");
    EXPECT_EQ(ParseLeadingDouble("1.5"), 1.5);

    CZRParamData gain("WRT,GAIN,0,,1.00,2,Gain,0.01-99.99,,0.01,1.25,0");
    EXPECT_EQ(gain.m_currentValue, 1.25);
    EXPECT_DOUBLE_EQ(gain.m_stepFine, 0.01);
    EXPECT_EQ(gain.GetValueText(), "1.25");
    EXPECT_EQ(gain.GetDisplayText(), "1.00");
    EXPECT_EQ(gain.FormatDefinitionLine(), "WRT,GAIN,0,,1.00,2,Gain,0.01-99.99,1,0.10,1.25,0");
    gain.m_currentValue = 2.5;
    EXPECT_EQ(gain.GetValueText(), "2.50");

    CZRParamData integer("W,SPD,0,rpm,100,0,Speed,0-3000,,10,2.96,0");
    EXPECT_EQ(integer.GetValueText(), "3");

    CRangeList range;
    range.Parse("0.5-1.5");
    EXPECT_EQ(range.Contains(1.25), 1);
    EXPECT_EQ(range.Minimum(), 0.5);

    CN2PinRecord pin;
    pin.Parse("30,2,0,5,1,1f", 1);
    EXPECT_EQ(pin.Format(1), "30,2,P,5,1,1f");
}

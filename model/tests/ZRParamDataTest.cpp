#include "model/NumberText.h"
#include "model/ZRParamClass.h"
#include "model/ZRParamData.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <string>

using model::CZRParamClass;
using model::CZRParamData;
using model::IsNoValue;

TEST(ZRParamDataRead, CompleteNumericLine)
{
    CZRParamData r;
    EXPECT_EQ(r.ParseDefinitionLine("W,SPD,3,rpm,100,0,Speed,0-3000,,10,100,0"), 1);
    EXPECT_EQ(r.m_attributes, "W");
    EXPECT_EQ(r.m_name, "SPD");
    EXPECT_EQ(r.m_sequence, 3);
    EXPECT_EQ(r.m_unit, "rpm");
    EXPECT_EQ(r.m_defaultValue, 100.0);
    EXPECT_EQ(r.m_currentValue, 100.0);
    EXPECT_EQ(r.m_referenceValue, 100.0);
    EXPECT_EQ(r.m_decimals, 0);
    EXPECT_EQ(r.m_label, "Speed");
    EXPECT_EQ(r.m_range, "0-3000");
    EXPECT_EQ(r.m_singleStep, 10.0);
    EXPECT_EQ(r.m_stepFine, 1.0);
    EXPECT_EQ(r.m_stepMedium, 10.0);
    EXPECT_EQ(r.m_stepCoarse, 100.0);
    EXPECT_EQ(r.m_stepMode, 1);
    EXPECT_EQ(r.m_stepKeys, 1);
    EXPECT_EQ(r.m_status, 0);
    EXPECT_FALSE(r.m_dependents);
    // Fields past the twelfth are ignored.
    EXPECT_EQ(r.ParseDefinitionLine("W,SPD,3,rpm,100,0,Speed,0-3000,,10,120,7,surplus,more"), 1);
    EXPECT_EQ(r.m_currentValue, 120.0);
    EXPECT_EQ(r.m_status, 7);
}

TEST(ZRParamDataRead, FieldsAreTrimmedAndSpacesCollapsed)
{
    CZRParamData r;
    EXPECT_EQ(r.ParseDefinitionLine(" WRT , ACC ,\t2, ms ,50,0, Acceleration   time ,1-10000,,1/10/100,50,0"), 1);
    EXPECT_EQ(r.m_attributes, "WRT");
    EXPECT_EQ(r.m_name, "ACC");
    EXPECT_EQ(r.m_sequence, 2);
    EXPECT_EQ(r.m_label, "Acceleration time");
}

TEST(ZRParamDataRead, KeyFieldsAreTheFieldsTheFullReadGives)
{
    for (const std::string_view line :
         {std::string_view(" WRT , ACC ,\t2, ms ,50,0, Acceleration   time ,1-10000,,1/10/100,50,0"),
          std::string_view("W,X,0,,7"), std::string_view("W"), std::string_view(""), std::string_view(",,,,,,"),
          std::string_view("R,A,,,,,L\0ost,x", 16), std::string_view("*,,,,,,Group , more")}) {
        CZRParamData r;
        r.ParseDefinitionLine(line);
        std::string letters = "?", name = "?", label = "?";
        CZRParamData::ReadKeyFields(line, letters, name, label);
        EXPECT_EQ(letters + "|" + name + "|" + label, r.m_attributes + "|" + r.m_name + "|" + r.m_label) << line;
    }
}

TEST(ZRParamDataRead, ShortLineLeavesLaterFieldsCleared)
{
    CZRParamData r;
    EXPECT_EQ(r.ParseDefinitionLine("W,X,0,,7"), 0);
    EXPECT_EQ(r.m_name, "X");
    EXPECT_EQ(r.m_defaultValue, 7.0);
    EXPECT_EQ(r.m_currentValue, 7.0);
    EXPECT_EQ(r.m_decimals, 0);
    EXPECT_EQ(r.m_stepMode, 1);
    EXPECT_EQ(r.m_label, "");
    EXPECT_EQ(r.ParseDefinitionLine(""), 0);
    EXPECT_EQ(r.m_name, "");
}

TEST(ZRParamDataRead, TextDefaultMakesTextValue)
{
    CZRParamData r;
    EXPECT_EQ(r.ParseDefinitionLine("WRT,SW,0,,ON,0,Servo switch,ON/OFF,,,ON,0"), 1);
    EXPECT_TRUE(IsNoValue(r.m_defaultValue));
    EXPECT_TRUE(IsNoValue(r.m_currentValue));
    EXPECT_TRUE(IsNoValue(r.m_referenceValue));
    EXPECT_EQ(r.m_defaultText, "ON");
    EXPECT_EQ(r.m_currentText, "ON");
    EXPECT_EQ(r.m_referenceText, "ON");
    EXPECT_EQ(r.GetValueText(), "ON");
    // The sentinel is recognised by its bits, not by a comparison that nearby values pass.
    EXPECT_FALSE(IsNoValue(DBL_MIN * 2));
    EXPECT_FALSE(IsNoValue(0.0));
}

TEST(ZRParamDataRead, CurrentFieldOverridesDefault)
{
    CZRParamData r;
    r.ParseDefinitionLine("WRT,MODE,0,,AUTO,0,Mode,*,,,MANUAL,0");
    EXPECT_EQ(r.m_defaultText, "AUTO");
    EXPECT_EQ(r.m_currentText, "MANUAL");
    EXPECT_EQ(r.GetValueText(), "MANUAL");

    r.ParseDefinitionLine("WRT,OFS,0,pulse,0,0,Offset,(-1000)-1000,,10,-100,0");
    EXPECT_EQ(r.m_currentValue, -100.0);
    EXPECT_EQ(r.m_referenceValue, 0.0);
}

TEST(ZRParamDataRead, EmptyCurrentFieldKeepsTheDefault)
{
    CZRParamData numeric;
    numeric.ParseDefinitionLine("WRT,SPD,0,rpm,100,0,Speed,0-3000,,10,,0");
    EXPECT_EQ(numeric.m_currentValue, 100.0);
    EXPECT_EQ(numeric.m_currentValue, numeric.m_referenceValue);
    CZRParamData text;
    text.ParseDefinitionLine("WRT,SW,0,,OFF,0,Servo,ON/OFF,,,,0");
    EXPECT_EQ(text.GetValueText(), "OFF");
}

TEST(ZRParamDataRead, WriteOnlyCommandWithAllFields)
{
    CZRParamData r;
    EXPECT_EQ(r.ParseDefinitionLine("W,RESET,0,,,0,Alarm reset,,,,,0"), 1);
    EXPECT_TRUE(r.IsTextValued());
    EXPECT_EQ(r.GetValueText(), "");
    EXPECT_EQ(r.m_stepMode, 0);
    EXPECT_EQ(r.m_stepFine, 0.0);
    EXPECT_EQ(r.m_stepMedium, 0.0);
    EXPECT_EQ(r.m_stepCoarse, 0.0);
    CZRParamClass node;
    node.SetFromText("W,RESET,0,,,0,Alarm reset,,,,,0");
    std::string command;
    EXPECT_TRUE(node.GetWriteCommand(command));
    EXPECT_EQ(command, "RESET\r");
}

TEST(ZRParamDataRead, GarbledFieldsNeverBreakTheRecord)
{
    CZRParamData r;
    EXPECT_EQ(r.ParseDefinitionLine("W,BAD,x,u,abc,zz,L,0-10,q,r,s,t"), 1);
    EXPECT_EQ(r.m_sequence, 0);
    EXPECT_TRUE(r.IsTextValued());
    EXPECT_EQ(r.m_decimals, 0);
    EXPECT_EQ(r.m_status, 0);

    // Decimals outside any sensible precision are held to it.
    r.ParseDefinitionLine("W,D,0,,1,-4,L,0-10,,1,1,0");
    EXPECT_EQ(r.m_decimals, 0);
    r.ParseDefinitionLine("W,D,0,,1,999999,L,0-10,,1,1,0");
    EXPECT_EQ(r.m_decimals, model::kMaxDecimals);
    EXPECT_EQ(r.GetValueText().size(), 2u + model::kMaxDecimals);

    // Huge numbers stay finite and every derived text stays bounded.
    r.ParseDefinitionLine("W,H,99999999999,," + std::string(400, '9') + ",0,L,0-1e999,,1e999,1e999,99999999999");
    EXPECT_EQ(r.m_sequence, 2147483647);
    EXPECT_EQ(r.m_defaultValue, DBL_MAX);
    EXPECT_LT(r.FormatDefinitionLine().size(), 2000u);
}

TEST(ZRParamDataRead, LongLinesNulBytesAndForeignText)
{
    CZRParamData r;
    const std::string longLabel(10000, 'L');
    EXPECT_EQ(r.ParseDefinitionLine("W,LONG,0,,1,0," + longLabel + ",0-10,,1,1,0"), 1);
    EXPECT_EQ(r.m_label, longLabel);
    EXPECT_EQ(r.ParseDefinitionLine(std::string(10000, ',')), 1);
    EXPECT_EQ(r.m_name, "");

    // A NUL ends the line: the record stops where the text stops.
    EXPECT_EQ(r.ParseDefinitionLine(std::string("W,SPD") + '\0' + ",3,rpm,100,0,Speed,0-3000,,10,100,0"), 0);
    EXPECT_EQ(r.m_name, "SPD");
    EXPECT_EQ(r.m_sequence, 0);

    // Bytes that are not UTF-8 (a Shift_JIS label) are kept as they are.
    const std::string sjis = "\x91\xac\x93\x78";
    EXPECT_EQ(r.ParseDefinitionLine("W,SPD,0,rpm,100,0," + sjis + ",0-3000,,10,100,0"), 1);
    EXPECT_EQ(r.m_label, sjis);
}

TEST(ZRParamDataRead, ReusedRecordForgetsItsTextValue)
{
    CZRParamData r;
    r.ParseDefinitionLine("WRT,SW,0,,ON,0,Servo,ON/OFF,,,ON,0");
    r.ParseDefinitionLine("WRT,SPD,0,rpm,100,0,Speed,0-3000,,10,100,0");
    EXPECT_EQ(r.m_defaultText, "");
    EXPECT_EQ(r.FormatDefinitionLine(), "WRT,SPD,0,rpm,100,0,Speed,0-3000,1,10,100,0");
}

TEST(ZRParamDataSteps, DerivationCases)
{
    struct Case {
        const char* line;
        double fine, medium, coarse;
        int mode;
        int keys;
    };
    const Case cases[] = {
        // X - minimum >= 10: X is the medium step.
        {"W,SPD,0,rpm,100,0,Speed,0-3000,,10,100,0", 1, 10, 100, 1, 1},
        // Explicit steps.
        {"W,ACC,0,ms,50,0,Acc,1-10000,,1/10/100,50,0", 1, 10, 100, 1, 1},
        {"W,A,0,,1,1,A,0-100,,0.5/5,1,0", 0.5, 5, 50, 1, 1},
        {"W,A,0,,1,1,A,0-100,,0.5,1,0", 0.5, 5, 50, 1, 1},
        // Step mode given as 0: one step, and no step keys.
        {"W,B,0,,1,0,B,0-100,0,2,1,0", 2, 2, 2, 0, 0},
        // A two-value range: the clamp makes every step 1, so one step.
        {"W,DIR,0,,0,0,Direction,0/1,,1,0,0", 1, 1, 1, 0, 1},
        // Decimals: texts 0.01 / 0.10 / 1.00 differ.
        {"W,GAIN,0,,1.00,2,Gain,0.01-99.99,,0.01,1.00,0", 0.01, 0.1, 1, 1, 1},
        // Coarse hits the maximum: everything a tenth, when fine stays above the minimum.
        {"W,C,0,,0,2,C,0-10,,0.1,0,0", 0.01, 0.1, 1, 1, 1},
        // ... else the medium step is halved.
        {"W,C,0,,5,1,C,0.5-100,,1,5,0", 1, 5, 10, 1, 1},
        // Steps that display alike (fine clamped up to the medium step): one step.
        {"W,C,0,,5,0,C,5-100,,1,5,0", 1, 1, 1, 0, 1},
        // A single-point range: one step, the cleared steps clamped to it.
        {"W,P,0,,5,0,P,5,,5,5,0", 5, 5, 0, 0, 1},
        // Negative-only range: the clamp uses the true maximum, not a value near 0.
        {"W,N,0,,-8,0,N,(-10)-(-5),1,1,-8,0", 1, -5, -5, 1, 1},
        {"W,N,0,,-8,0,N,(-10)-(-5),,1,-8,0", 1, 1, 1, 0, 1},
        // Step mode given as 1: derived steps, the mode kept.
        {"W,G,0,,1,0,G,0-10,1,1,1,0", 1, 10, 10, 1, 1},
        // No derived step is finer than the last digit shown: a tenth of an integer step, a
        // hundredth of a step of one decimal, would move nothing.
        {"R,VF,0,rpm,0,0,Speed feedback,(-5000)-5000,,1,0,0", 1, 1, 1, 0, 1},
        {"R,TRQ,0,%,0,1,Torque,(-300.0)-300.0,,0.1,0,0", 0.1, 0.1, 0.1, 0, 1},
        {"W,F,0,,0,2,F,(-100)-100,,0.5,0,0", 0.05, 0.5, 5, 1, 1},
        {"W,MOV,0,pulse,,0,Move,,,0.5,,0", 1, 5, 50, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CZRParamData r;
        r.ParseDefinitionLine(c.line);
        EXPECT_DOUBLE_EQ(r.m_stepFine, c.fine);
        EXPECT_DOUBLE_EQ(r.m_stepMedium, c.medium);
        EXPECT_DOUBLE_EQ(r.m_stepCoarse, c.coarse);
        EXPECT_EQ(r.m_stepMode, c.mode);
        EXPECT_EQ(r.m_stepKeys, c.keys);
    }
}

TEST(ZRParamDataSteps, EmptyRangeIsNeverClamped)
{
    // Without a range there are no bounds: the step texts alone choose the mode.
    CZRParamData one;
    one.ParseDefinitionLine("W,MOV,0,pulse,,0,Move,,,5,,0");
    EXPECT_EQ(one.m_stepFine, 5.0);
    EXPECT_EQ(one.m_stepMedium, 50.0);
    EXPECT_EQ(one.m_stepCoarse, 500.0);
    EXPECT_EQ(one.m_stepMode, 1);
    CZRParamData big;
    big.ParseDefinitionLine("W,MOV,0,pulse,,0,Move,,,100,,0");
    EXPECT_EQ(big.m_stepFine, 10.0);
    EXPECT_EQ(big.m_stepMedium, 100.0);
    EXPECT_EQ(big.m_stepCoarse, 1000.0);
}

TEST(ZRParamDataText, ValueTexts)
{
    CZRParamData r;
    r.ParseDefinitionLine("W,V,0,,0,0,V,,,,0,0");
    const std::pair<double, const char*> integers[] = {
        {2.96, "3"}, {2.94, "2"}, {-0.5, "-0"}, {120, "120"}, {-1234.04, "-1234"}, {0, "0"}};
    for (const auto& [value, text] : integers) {
        r.m_currentValue = value;
        EXPECT_EQ(r.GetValueText(), text) << value;
    }
    r.m_decimals = 2;
    r.m_currentValue = 1.5;
    EXPECT_EQ(r.GetValueText(), "1.50");
    r.m_currentValue = -0.125;
    EXPECT_EQ(r.GetValueText(), "-0.12");
    r.m_currentValue = model::kNoValue;
    r.m_currentText = "AUTO";
    EXPECT_EQ(r.GetValueText(), "AUTO");
}

TEST(ZRParamDataText, DisplayTextAndValueFormat)
{
    CZRParamData r;
    r.ParseDefinitionLine("W,G,0,,1.5,2,G,0-10,,0.01,2,0");
    EXPECT_EQ(r.GetDisplayText(), "1.50");
    EXPECT_EQ(r.FormatValue(3), "3.00");
    r.ParseDefinitionLine("W,G,0,,7.9,0,G,0-10,,1,2,0");
    EXPECT_EQ(r.GetDisplayText(), "7");
    EXPECT_EQ(r.FormatValue(-7.9), "-7");
    r.ParseDefinitionLine("W,S,0,,ON,0,S,ON/OFF,,,ON,0");
    EXPECT_EQ(r.GetDisplayText(), "ON");
    r.ParseDefinitionLine("W,RESET,0,,,0,R,,,,,0");
    EXPECT_EQ(r.GetDisplayText(), "");
}

TEST(ZRParamDataText, DefinitionLineRoundTrip)
{
    struct Case {
        const char* line;
        const char* written;
    };
    const Case cases[] = {
        {"WRT,SPD,3,rpm,100,0,Speed,0-3000,1,10,120,0", "WRT,SPD,3,rpm,100,0,Speed,0-3000,1,10,120,0"},
        {"WRT,OFS,0,pulse,0,0,Offset,(-1000)-1000,1,10,-100,7", "WRT,OFS,0,pulse,0,0,Offset,(-1000)-1000,1,10,-100,7"},
        {"W,RESET,0,,,0,Alarm reset,,0,0,,0", "W,RESET,0,,,0,Alarm reset,,0,0,,0"},
        // No default stays no default, decimals or not.
        {"W,JOG,0,,,2,Jog,,,,,0", "W,JOG,0,,,2,Jog,,0,0.00,,0"},
        // Only the medium step is written.
        {"WRT,GAIN,0,,1.00,2,Position gain,0.01-99.99,,0.01,1.25,0",
         "WRT,GAIN,0,,1.00,2,Position gain,0.01-99.99,1,0.10,1.25,0"},
        // A one-point range (text items read as 0) gives one step.
        {"WRT,SW,0,,OFF,0,Servo switch,ON/OFF,1,0,ON,0", "WRT,SW,0,,OFF,0,Servo switch,ON/OFF,0,0,ON,0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CZRParamData r;
        r.ParseDefinitionLine(c.line);
        const std::string written = r.FormatDefinitionLine();
        EXPECT_EQ(written, c.written);
        CZRParamData back;
        EXPECT_EQ(back.ParseDefinitionLine(written), 1);
        EXPECT_EQ(back.m_attributes, r.m_attributes);
        EXPECT_EQ(back.m_name, r.m_name);
        EXPECT_EQ(back.m_sequence, r.m_sequence);
        EXPECT_EQ(back.m_unit, r.m_unit);
        EXPECT_EQ(back.GetDisplayText(), r.GetDisplayText());
        EXPECT_EQ(back.m_label, r.m_label);
        EXPECT_EQ(back.m_range, r.m_range);
        EXPECT_EQ(back.GetValueText(), r.GetValueText());
        EXPECT_EQ(back.m_status, r.m_status);
    }
}

TEST(ZRParamDataText, WritingATextDefaultDropsDecimals)
{
    CZRParamData r;
    r.ParseDefinitionLine("W,S,0,,ON,3,S,ON/OFF,,,ON,0");
    EXPECT_EQ(r.m_decimals, 3);
    EXPECT_EQ(r.FormatDefinitionLine(), "W,S,0,,ON,0,S,ON/OFF,0,0,ON,0");
    EXPECT_EQ(r.m_decimals, 0);
}

TEST(ZRParamDataChecks, BooleanAndAttributes)
{
    CZRParamData r;
    r.ParseDefinitionLine("W,B,0,,0,0,B,0-1,,1,0,0");
    EXPECT_EQ(r.IsBoolean(), 1);
    r.m_decimals = 1;
    EXPECT_EQ(r.IsBoolean(), 0);
    r.m_decimals = 0;
    r.m_range = "0/1";
    EXPECT_EQ(r.IsBoolean(), 1);
    r.m_range = "0-2";
    EXPECT_EQ(r.IsBoolean(), 0);
    EXPECT_EQ(r.HasAttributeL(), 0);
    r.m_attributes = "RL";
    EXPECT_EQ(r.HasAttributeL(), 1);

    EXPECT_EQ(model::GetAttributeBits("WRCPFLT"), 0x7Fu);
    EXPECT_EQ(model::GetAttributeBits("T"), 0x40u);
    EXPECT_EQ(model::GetAttributeBits("*"), 0u);
    EXPECT_EQ(model::GetAttributeBits("WRT", "WR"), 0x03u);
    EXPECT_EQ(model::GetAttributeBits("", ""), 0u);

    EXPECT_EQ(model::IsNumericText(""), 1);
    EXPECT_EQ(model::IsNumericText("(-10.5)+"), 1);
    EXPECT_EQ(model::IsNumericText("1e5"), 0);
    EXPECT_EQ(model::IsNumericText(" 1"), 0);
}

TEST(ZRParamDataChecks, SelectAlternative)
{
    CZRParamData r;
    r.ParseDefinitionLine("W,D,0,,1,0,D,0/1,,1,1,0");
    EXPECT_EQ(r.m_alternative, 1);
    EXPECT_EQ(r.SelectAlternative(0, 7), -1);
    EXPECT_EQ(r.m_alternative, 1);
    EXPECT_EQ(r.SelectAlternative(1, 0), 0);
    EXPECT_EQ(r.m_alternative, 0);
    r.m_range = "0-1";
    EXPECT_EQ(r.SelectAlternative(1, 7), 0);
    r.m_range = "(-10)-(-5)/0/5-9";
    EXPECT_EQ(r.SelectAlternative(1, 6), 2);
    EXPECT_EQ(r.SelectAlternative(1, -6), 0);
    EXPECT_EQ(r.SelectAlternative(1, 4), -1);
    EXPECT_EQ(r.m_alternative, -1);
}

TEST(ZRParamDataCommands, ReadAndWriteTexts)
{
    CZRParamData r;
    r.ParseDefinitionLine("W,NAME,0,,0,0,N,,,,0,0");
    EXPECT_EQ(r.GetReadCommand(), "NAME\r");
    r.m_attributes = "WR";
    EXPECT_EQ(r.GetReadCommand(), "?NAME\r");

    CZRParamClass node;
    node.SetFromText("WR,SPD,0,rpm,100,0,Speed,0-3000,,10,120,0");
    EXPECT_EQ(node.m_attributes, "WR");
    EXPECT_EQ(node.m_borrowed, 0);
    EXPECT_EQ(node.m_type, 2);
    std::string command;
    EXPECT_TRUE(node.GetWriteCommand(command));
    EXPECT_EQ(command, "SPD120\r");
    EXPECT_TRUE(node.GetReadCommand(command));
    EXPECT_EQ(command, "?SPD\r");
    node.m_record->m_currentValue = -100;
    node.GetWriteCommand(command);
    EXPECT_EQ(command, "SPD-100\r");
}

TEST(ZRParamClassNode, WithoutRecord)
{
    CZRParamClass node;
    std::string command = "stale";
    EXPECT_FALSE(node.GetReadCommand(command));
    EXPECT_EQ(command, "");
    EXPECT_FALSE(node.GetWriteCommand(command));
    EXPECT_EQ(node.GetValueText(), "");
    EXPECT_EQ(node.GetDisplayText(), "");
    EXPECT_EQ(node.GetDecimals(), 0);
}

TEST(ZRParamClassNode, BorrowedRecordOutlivesTheNode)
{
    CZRParamData shared("WRT,GAIN,0,,1.00,2,Gain,0.01-99.99,,0.01,1.25,0");
    {
        CZRParamClass node;
        node.SetRecord(&shared, true);
        EXPECT_EQ(node.GetValueText(), "1.25");
        EXPECT_EQ(node.GetDisplayText(), "1.00");
        EXPECT_EQ(node.GetDecimals(), 2);
    }
    // Still alive and intact (AddressSanitizer would report a delete of a borrowed record).
    EXPECT_EQ(shared.m_name, "GAIN");

    // Replacing an own record frees it; the sanitizer checks nothing leaks.
    CZRParamClass node;
    node.SetFromText("W,A,0,,1,0,A,0-10,,1,1,0");
    node.SetFromText("W,B,0,,2,0,B,0-10,,1,2,0");
    EXPECT_EQ(node.m_record->m_name, "B");
    node.SetRecord(&shared, true);
    EXPECT_EQ(node.m_record, &shared);
}

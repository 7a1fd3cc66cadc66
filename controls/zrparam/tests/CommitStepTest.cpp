// The editor's value rules on records read from the sample unit's definition lines.
#include <zrparam/AccessRules.h>
#include <zrparam/CommitRules.h>
#include <zrparam/StepRules.h>

#include <model/ZRParamClass.h>

#include <gtest/gtest.h>

using namespace zrparam;

namespace {

const char* const kGain = "WRT,GAIN,0,,1.00,2,Position gain,0.01-99.99,,0.01,1.00,0";
const char* const kSpd = "WRT,SPD,0,rpm,100,0,Speed,0-3000,,10,100,0";
const char* const kOfs = "WRT,OFS,0,pulse,0,0,Offset,(-1000)-1000,,10,0,0";
const char* const kDir = "WRT,DIR,0,,0,0,Rotation direction,0/1,,1,0,0";
const char* const kSw = "WRT,SW,0,,OFF,0,Servo switch,ON/OFF,,,OFF,0";
const char* const kMode = "WRT,MODE,0,,AUTO,0,Operation mode,*,,,AUTO,0";
const char* const kTwoBands = "WR,BAND,0,,0,0,Band,0-10/20-30,,1,10,0";

} // namespace

TEST(CommitRulesTest, TypedNumbersAreCheckedAgainstDecimalsAlternativesAndRange)
{
    struct Case {
        const char* line;
        const char* typed;
        bool valid;
        const char* cell;
        double value; // the record's value afterwards
    };
    const Case cases[] = {
        {kGain, "1.500", true, "1.50", 1.5},
        {kGain, " 1.5 ", true, "1.50", 1.5},
        {kGain, "1.505", false, "1.505", 1.505}, // too many decimals: kept, flagged
        {kGain, "1.2.3", false, "1.2.3", 1.2},   // two points
        {kSpd, "5.", true, "5", 5.0},
        {kSpd, "5.0", true, "5", 5.0},
        {kSpd, "5.5", false, "5.5", 5.5},
        {kSpd, "", false, "", 100.0},    // nothing typed: the value stays
        {kSpd, "abc", false, "abc", 100.0},
        {kSpd, "-", false, "-", 100.0},  // no digit
        {kOfs, "(-1000)", true, "-1000", -1000.0},
        {kDir, "1", true, "1", 1.0},
        {kTwoBands, "15", false, "15", 15.0}, // in no alternative: kept, flagged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " <- \"" + c.typed + "\"");
        model::CZRParamData record(c.line);
        const TypedCommit r = CommitRules::CommitTyped(record, CommitRules::TakeTyped(c.typed));
        EXPECT_FALSE(r.textValue);
        EXPECT_EQ(r.valid, c.valid);
        EXPECT_EQ(r.cellText, c.cell);
        EXPECT_EQ(record.m_status, c.valid ? 0 : kStatusInvalidValue);
        EXPECT_DOUBLE_EQ(record.m_currentValue, c.value);
    }
}

TEST(CommitRulesTest, NumbersOutsideTheRangeAreRefusedAndTheRecordKept)
{
    const std::tuple<const char*, const char*, double, double> cases[] = {
        {kGain, "100", 0.01, 99.99}, {kOfs, "-1001", -1000, 1000}, {kDir, "2", 0, 1}, {kTwoBands, "30.5", 0, 30}};
    for (const auto& [line, typed, minimum, maximum] : cases) {
        model::CZRParamData record(line);
        record.m_status = kStatusInvalidValue;
        const std::string before = record.GetValueText();
        const TypedCommit r = CommitRules::CommitTyped(record, typed);
        EXPECT_TRUE(r.outOfRange && !r.valid) << typed;
        EXPECT_EQ(std::pair(r.minimum, r.maximum), std::pair(minimum, maximum)) << typed;
        EXPECT_EQ(r.cellText + "|" + record.GetValueText(), before + "|" + before) << typed;
        EXPECT_EQ(record.m_status, kStatusInvalidValue) << typed;
    }
}

TEST(CommitRulesTest, ValidCommitClearsAnEarlierRefusalAndReportsTheStatusChange)
{
    model::CZRParamData record(kSpd);
    EXPECT_FALSE(CommitRules::CommitTyped(record, "5.5").valid);
    const TypedCommit again = CommitRules::CommitTyped(record, "300");
    EXPECT_TRUE(again.valid);
    EXPECT_TRUE(again.statusChanged);
    EXPECT_EQ(record.m_status, 0);
    EXPECT_FALSE(CommitRules::CommitTyped(record, "301").statusChanged);
    record.m_status = kStatusInvalidValue;
    EXPECT_EQ(CommitRules::CommitStored(record), "301");
    EXPECT_EQ(record.m_status, 0);
}

TEST(CommitRulesTest, TextRecordsTakeTheTypedTextAndLongInputIsCut)
{
    for (const char* line : {kSw, kMode}) {
        model::CZRParamData record(line);
        const TypedCommit r = CommitRules::CommitTyped(record, "MANUAL");
        EXPECT_TRUE(r.textValue);
        EXPECT_EQ(r.cellText, "MANUAL");
        EXPECT_TRUE(record.IsTextValued());
    }
    // Cut at 63 characters first, then trimmed.
    EXPECT_EQ(CommitRules::TakeTyped("  " + std::string(70, 'x')), std::string(61, 'x'));
    EXPECT_EQ(CommitRules::TakeTyped(std::string(62, 'a') + "\xC3\xA9\xC3\xA9"), std::string(62, 'a') + "\xC3\xA9");
}

TEST(StepRulesTest, SpaceStepsWrapAndCycleThroughAlternatives)
{
    model::CZRParamData spd(kSpd);
    spd.m_currentValue = 3000;
    EXPECT_EQ(StepRules::StepToNextValue(spd).stepped, 1);
    EXPECT_EQ(spd.m_currentValue, 0.0); // past the maximum: the minimum
    spd.m_currentValue = -7;
    StepRules::StepToNextValue(spd);
    EXPECT_EQ(spd.m_currentValue, 0.0);

    model::CZRParamData dir(kDir);
    dir.m_currentValue = 1;
    EXPECT_EQ(StepRules::StepToNextValue(dir).stepped, 1);
    EXPECT_EQ(dir.m_currentValue, 0.0);

    model::CZRParamData sw(kSw);
    sw.m_currentText = "ON";
    const StepResult r = StepRules::StepToNextValue(sw);
    EXPECT_EQ(r.stepped, 1);
    EXPECT_TRUE(r.textChosen);
    EXPECT_EQ(r.text, "OFF");
    EXPECT_EQ(r.index, 1);

    model::CZRParamData mode(kMode);
    EXPECT_EQ(StepRules::StepToNextValue(mode).stepped, 0);
    sw.m_currentText = "HALF";
    EXPECT_EQ(StepRules::StepToNextValue(sw).stepped, 0); // in no alternative
}

TEST(StepRulesTest, PresetStepsKeepToTheAlternativesAndStopAtTheEnds)
{
    struct Case {
        const char* line;
        int alternative;
        int button;
        const char* editor;
        bool changed;
        double value;
        int toAlternative;
    };
    const Case cases[] = {
        {kTwoBands, 0, kPlusFine, "10", true, 20, 1},    // between the items: the next one's minimum
        {kTwoBands, 1, kMinusFine, "20", true, 10, 0},   // downwards: the previous one's maximum
        {kTwoBands, 1, kPlusFine, "30", true, 30, 1},    // past the last: its maximum, no wrap-around
        {kTwoBands, 0, kMinusFine, "0", true, 0, 0},     // below the first: its minimum
        {kTwoBands, 0, kPlusFine, "5", true, 6, 0},      // inside: kept
        {kTwoBands, 2, kPlusFine, "10", false, 0, 2},    // the alternative lies past the items
        {kTwoBands, 1, kReset, "25", true, 0, 0},
        {kSpd, 0, kPlusCoarse, "2950", true, 3000, 0},   // clamped to the range
        {kGain, 0, kMinusFine, "1.00", true, 0.99, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " " + c.editor + " button " + std::to_string(c.button));
        model::CZRParamData record(c.line);
        record.m_alternative = c.alternative;
        const PresetResult r = StepRules::PresetStep(record, c.button, c.editor);
        EXPECT_EQ(r.changed, c.changed);
        if (!c.changed)
            continue;
        EXPECT_NEAR(r.value, c.value, 1e-9);
        EXPECT_EQ(r.alternative, c.toAlternative);
        EXPECT_EQ(r.text, record.FormatValue(c.value));
    }
    model::CZRParamClass node;
    node.SetFromText(kGain);
    const PresetCaptions captions = StepRules::Captions(node);
    EXPECT_EQ(captions.captions[kPlusFine], "+0.01");
    EXPECT_EQ(captions.captions[kMinusCoarse], "-1.00");
    EXPECT_TRUE(captions.resetEnabled);
    node.m_attributes = "W";
    EXPECT_FALSE(StepRules::Captions(node).resetEnabled);
}

TEST(AccessRulesTest, ReadOnlyModesDecideEditingDoubleClickAndTheMenus)
{
    model::CZRParamClass group;
    group.SetFromText("I,,,,,,Inputs");
    model::CZRParamClass input;
    input.SetFromText("WR,IN1,0,,0,0,Input 1,0-1,,1,0,0");
    input.m_parent = &group;
    model::CZRParamClass plain;
    plain.SetFromText(kSpd);
    model::CZRParamClass action;
    action.SetFromText("W,RESET,0,,,0,Alarm reset,,,,,0");
    const auto on = [] { return true; };

    EditAccess normal;
    EditAccess restricted{1, {"I"}};
    EditAccess locked{kFullyReadOnly, {}};
    EXPECT_TRUE(AccessRules::IsEditableType(normal, plain));
    EXPECT_TRUE(AccessRules::IsEditableType(restricted, input)); // by its parent's letters
    EXPECT_FALSE(AccessRules::IsEditableType(restricted, plain));
    EXPECT_FALSE(AccessRules::IsEditableType(EditAccess{1, {}}, input));

    EXPECT_EQ(AccessRules::DoubleClickAction(locked, plain), RowAction::None);
    EXPECT_EQ(AccessRules::DoubleClickAction(normal, plain), RowAction::Edit);
    EXPECT_EQ(AccessRules::DoubleClickAction(normal, action), RowAction::QueryUpdate);
    EXPECT_EQ(AccessRules::SpaceAction(normal, action), RowAction::QueryUpdate);
    EXPECT_EQ(AccessRules::SpaceAction(normal, plain), RowAction::Step);
    EXPECT_EQ(AccessRules::SpaceAction(restricted, plain), RowAction::None);
    EXPECT_FALSE(AccessRules::F2Edits(action));

    EXPECT_FALSE(AccessRules::RefreshItemsEnabled(locked, &plain, true, on));
    EXPECT_FALSE(AccessRules::RefreshGroupEnabled(locked, &group, true, on));
    EXPECT_TRUE(AccessRules::RefreshItemsEnabled(normal, &plain, true, on));
    EXPECT_FALSE(AccessRules::RefreshItemsEnabled(normal, &plain, true, [] { return false; }));
    EXPECT_FALSE(AccessRules::RefreshGroupEnabled(normal, &action, true, on));
    EXPECT_TRUE(AccessRules::EditEnabled(normal, &plain, true));
    EXPECT_FALSE(AccessRules::EditEnabled(restricted, &input, true)); // its own letters lack the type
    EXPECT_TRUE(AccessRules::EditEnabled(normal, nullptr, false));
    EXPECT_FALSE(AccessRules::SetToDefaultEnabled(restricted, &plain));
    EXPECT_FALSE(AccessRules::SetGroupToDefaultEnabled(restricted, &plain, true));
    EXPECT_TRUE(AccessRules::SetGroupToDefaultEnabled(normal, nullptr, false));
}

TEST(RecordTextsTest, ChangeTestLabelsAndLinesOfTheEditor)
{
    model::CZRParamData gain(kGain);
    gain.m_currentValue = 1.004;
    gain.m_referenceValue = 1.001;
    EXPECT_EQ(gain.IsChanged(), 0); // alike as shown
    gain.m_currentValue = 1.5;
    EXPECT_EQ(gain.IsChanged(), 1);
    model::CZRParamData sw(kSw);
    EXPECT_EQ(sw.IsChanged(), 0);
    sw.m_currentText = "ON";
    EXPECT_EQ(sw.IsChanged(), 1);
    EXPECT_EQ(model::CZRParamData("W,RESET,0,,,0,Alarm reset,,,,,0").IsWriteOnlyCommand(), 1);
    EXPECT_EQ(model::CZRParamData("W,MOV,0,pulse,,0,Move,0-9,,,,0").IsWriteOnlyCommand(), 0);

    model::CZRParamClass node;
    EXPECT_EQ(node.GetLabel(), "");
    node.SetFromText(kSpd);
    EXPECT_EQ(node.GetLabel(), "SPD:Speed");
    node.m_label = "Rotation";
    node.m_attributes = "WR";
    EXPECT_EQ(node.GetLabel(), "SPD:Rotation");
    EXPECT_EQ(node.CopyValueText(), "100");
    EXPECT_EQ(node.CopyDisplayText(), "100");
    EXPECT_EQ(node.GetExportText(), "WRT,SPD,0,rpm,100,0,Speed,0-3000,1,10,100,0");
    EXPECT_EQ(node.GetDragText(), "WR,SPD,0,rpm,100,0,Rotation,0-3000,1,10,100,0");
    model::CZRParamClass group;
    group.SetFromText("*,,,,,,Motor");
    EXPECT_EQ(group.GetLabel(), "Motor");
}

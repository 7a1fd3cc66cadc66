// A document saved and read back gives the store it was saved from, for contents that once went
// missing on the way: values after a text holding brackets and digits, programs whose first line
// begins with "CC" or "CH", free-text parameters whose names begin one another, a Shift_JIS alarm
// history beside a UTF-8 comment.
#include "DocumentTestSupport.h"

#include <platform/text.h>

#include <gtest/gtest.h>

namespace {

using model::test::DocumentStore;
using model::test::ReadBytes;

const std::string kAlarmShiftJis = "AL12 \x8c\x78\x95\xf1"; // "警報" in Shift_JIS
const std::string kAlarmUtf8 = "AL12 \xe8\xad\xa6\xe5\xa0\xb1";

class DocumentRoundTrip : public DocumentStore {
protected:
    void SetUp() override
    {
        DocumentStore::SetUp();
        // Two free-text parameters, one name beginning the other, and one whose default is longer
        // than a text value may be.
        std::string unit = ReadBytes(unitFile);
        unit.insert(unit.find('\n', unit.find("[Parameter]")) + 1,
                    "WRT,MO,0,,A,0,Short,*,,,A,0\nWRT,NOTE,0,," + std::string(70, 'n') + ",0,Note,*,,,,0\n");
        model::test::WriteBytes(unitFile, unit);
        ASSERT_EQ(store.LoadDefinition(unitFile), 1);
        ASSERT_EQ(store.ResetToDefaults(), 1);
    }

    // What the store holds of a document: parameters with their value texts in save order, the
    // channel programs, the pins, comment and alarm.
    std::string contents()
    {
        std::string out;
        store.WriteParameterSection(out);
        for (int ch = 0; ch < model::CDataFile::kChannelCount; ++ch) {
            for (const auto& line : store.GetChannelProgram(ch)->m_lines)
                out += std::to_string(ch) + ":" + line.text + "|";
        }
        for (int pin = 1; pin <= model::CDataFile::kPinCount; ++pin) {
            if (const auto* record = store.GetPinRecord(pin))
                out += "pin" + std::to_string(pin) + record->m_logic + record->m_function + record->m_value + "|";
        }
        return out + "\ncomment:" + store.m_commentText + "\nalarm:" + store.m_alarmText;
    }
};

TEST_F(DocumentRoundTrip, SaveLoadSaveKeepsTheStore)
{
    EXPECT_EQ(store.FindParameter("NOTE")->m_currentText, std::string(63, 'n')) << "capped where it enters";
    store.FindParameter("SPD")->m_currentValue = 123;
    store.FindParameter("MODE")->m_currentText = "X[1]";
    store.FindParameter("MO")->m_currentText = "Q7";
    store.FindParameter("OFS")->m_currentValue = -5;
    for (const char* line : {"CCW\t10", "JMP[\t1]", "END\t"})
        store.GetChannelProgram(3)->AddLine(line);
    for (const char* line : {"CHK\t5", "END\t"})
        store.GetChannelProgram(4)->AddLine(line);
    store.SetCommentText("Gepr\xc3\xbc" "ft  \r\n\r\n  second line\t\n");
    store.SetAlarmText(kAlarmShiftJis + "\r");
    EXPECT_EQ(store.m_commentText, "Gepr\xc3\xbc" "ft\n;  second line");
    EXPECT_EQ(store.m_alarmText, kAlarmUtf8);
    const std::string before = contents();
    const std::size_t records = store.GetParameterList()->size();

    const std::string first = save("first.zrd");
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(plat::IsValidUtf8(first));
    ASSERT_EQ(open(folder.file("first.zrd")), 0);
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(store.GetParameterList()->size(), records) << "no parameter made up";
    EXPECT_EQ(save("second.zrd"), first);

    // A text set around the setters is written as UTF-8 all the same.
    store.m_alarmText = kAlarmShiftJis;
    EXPECT_EQ(save("third.zrd"), first);

    // A file of an older writer: the alarm line in Shift_JIS, the comment in UTF-8. Each line
    // keeps its own encoding.
    std::string mixed = first;
    mixed.replace(mixed.find(kAlarmUtf8), kAlarmUtf8.size(), kAlarmShiftJis);
    ASSERT_EQ(open(folder.write("mixed.zrd", mixed)), 0);
    EXPECT_EQ(contents(), before);

    // A real heading still ends its part: nothing after it is taken for a parameter.
    std::string headed = first;
    headed.insert(headed.find("MM0\n") + 4, " [Parameter] \n");
    ASSERT_EQ(open(folder.write("headed.zrd", headed)), 0);
    EXPECT_EQ(store.GetParameterList()->size(), records);
    EXPECT_EQ(store.FindParameter("SPD")->m_attributes, "WR");
}

} // namespace

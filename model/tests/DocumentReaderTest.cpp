#include "DocumentTestSupport.h"

#include "model/DocumentFile.h"

#include <platform/language.h>
#include <platform/text.h>

#include <gtest/gtest.h>

using model::CZRParamData;
using model::IsNoValue;
using model::ParseReplyLine;
using model::test::DocumentStore;
using model::test::ReadBytes;
using model::test::SampleDocumentText;
using model::test::SampleReplyText;

namespace {

class DocumentReader : public DocumentStore {
protected:
    CZRParamData* parameter(const char* name) { return store.FindParameter(name); }
    bool transferable(const char* name)
    {
        const CZRParamData* record = parameter(name);
        return record && record->m_attributes.find('T') != std::string::npos;
    }
    // "name=value" for a line, or "null" with the name and value the parser gave.
    std::string parse(const std::string& line)
    {
        std::string name;
        std::string value;
        const CZRParamData* record = ParseReplyLine(store, line, name, value);
        // The parser of a whole text, its records indexed once, reads every line alike.
        std::string indexedName;
        std::string indexedValue;
        EXPECT_EQ(model::ReplyLineParser(store).Parse(line, indexedName, indexedValue), record) << line;
        EXPECT_EQ(indexedName + "=" + indexedValue, name + "=" + value) << line;
        return (record ? record->m_name : std::string("null")) + " " + name + "=" + value;
    }
    // The transferable parameters in save order.
    std::string transferList()
    {
        std::string part;
        store.WriteParameterSection(part);
        return part;
    }
    std::size_t lineCount(int channel)
    {
        const auto& slot = store.GetChannelArray()->at(static_cast<std::size_t>(channel));
        return slot ? slot->m_lines.size() : 0;
    }
    std::string channelText(int channel)
    {
        std::string out;
        for (const auto& line : store.GetChannelProgram(channel)->m_lines)
            out += line.text + "|";
        return out;
    }
    int loadText(const std::string& text, const std::string& name = "in.zrd")
    {
        int code = -1;
        return store.LoadDocument(folder.write(name, text), code) == 1 ? 0 : code;
    }
};

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

std::string withLineEnds(const std::string& text, const std::string& eol)
{
    std::string out;
    for (const char c : text) {
        if (c == '\n')
            out += eol;
        else
            out.push_back(c);
    }
    return out;
}

TEST_F(DocumentReader, ReplyLinesFindTheirRecord)
{
    EXPECT_EQ(parse("SPD120"), "SPD SPD=120");
    EXPECT_EQ(parse("SPD-100"), "SPD SPD=-100");
    EXPECT_EQ(parse("  spd1.5\r"), "SPD spd=1.5");
    EXPECT_EQ(parse("SWON"), "SW SWON=ON");
    EXPECT_EQ(parse("swoff"), "SW SWOFF=off");
    EXPECT_EQ(parse("SW1"), "SW SW=1");
    EXPECT_EQ(parse("MODEAUTO"), "MODE MODE=AUTO");
    EXPECT_EQ(parse("MODEMANUAL"), "MODE MODE=MANUAL");
    EXPECT_EQ(parse("P1"), "null P=1");
    EXPECT_EQ(parse("ZZZ5"), "null ZZZ=5");
    EXPECT_EQ(parse("SWXY"), "null SWXY=");
    EXPECT_EQ(parse("MODEA"), "null MODEA=") << "a text value needs two characters";
    EXPECT_EQ(parse(""), "null =");
    EXPECT_EQ(parse(std::string("\0SPD1", 5)), "null =");
    EXPECT_EQ(parse(std::string(10000, 'Q')), "null " + std::string(10000, 'Q') + "=");

    // A longer name wins over a shorter one; an item match wins over a "*" range.
    store.GetParameterList()->push_back(std::make_unique<CZRParamData>("WRT,SWO,0,,N,0,Other,N/FF,,,N,0"));
    store.GetParameterList()->push_back(std::make_unique<CZRParamData>("WRT,SWOF,0,,x,0,Any,*,,,x,0"));
    EXPECT_EQ(parse("SWON"), "SW SWON=ON") << "SWO would leave one character for the value";
    EXPECT_EQ(parse("SWOFF"), "SWO SWOFF=FF");
    EXPECT_EQ(parse("SWOFXY"), "SWOF SWOF=XY");
}

TEST_F(DocumentReader, FreeTextLinesGoToTheLongestFreeTextName)
{
    store.GetParameterList()->push_back(std::make_unique<CZRParamData>("WRT,MO,0,,A,0,Short,*,,,A,0"));
    const std::size_t records = store.GetParameterList()->size();
    EXPECT_EQ(parse("MODEAUTO"), "MODE MODE=AUTO");
    struct Case {
        const char* line;
        const char* record; // the record that takes the line
        const char* text;   // its text afterwards; null for a made-up numeric parameter
    };
    const Case cases[] = {
        {"MODEAUTO", "MODE", "AUTO"}, {"MOXY", "MO", "XY"},
        // Too short for a text value, or holding a digit: still the free-text parameter's.
        {"MODEA", "MODE", "A"}, {"MODEAB12", "MODE", "AB12"}, {"MOD5", "MO", "D5"}, {"MODE", "MODE", ""},
        {"ZZZ5", "ZZZ", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        store.LoadParameterValues(std::string(c.line) + "\r");
        ASSERT_NE(parameter(c.record), nullptr);
        EXPECT_TRUE(transferable(c.record));
        if (c.text) {
            EXPECT_EQ(parameter(c.record)->m_currentText, c.text);
            EXPECT_EQ(store.GetParameterList()->size(), records);
        } else {
            EXPECT_EQ(parameter(c.record)->m_currentValue, 5);
        }
    }
}

TEST_F(DocumentReader, LoadsTheSampleDocument)
{
    applySampleEdits();
    const std::string path = folder.file("sample.zrd");
    ASSERT_EQ(store.SaveDocument(path), 1);
    store.m_unitName.clear();
    store.m_documentModelInfo.clear();
    store.m_commentText.clear();
    ASSERT_EQ(open(path), 0);

    EXPECT_EQ(store.m_unitName, "KVX-100");
    EXPECT_EQ(store.m_documentModelInfo, "KVX100A1.00/SYS1.00");
    EXPECT_EQ(store.m_commentText, "Bench sample");
    EXPECT_EQ(parameter("SPD")->m_currentValue, 100);
    EXPECT_EQ(parameter("SPD")->m_referenceValue, 100);
    EXPECT_EQ(parameter("OFS")->GetValueText(), "-100");
    EXPECT_EQ(parameter("GAIN")->GetValueText(), "1.00");
    EXPECT_EQ(parameter("SW")->m_currentText, "OFF");
    EXPECT_EQ(parameter("MODE")->m_currentText, "AUTO");
    EXPECT_TRUE(IsNoValue(parameter("MODE")->m_currentValue));
    // The header line MM0 is read as MM's value but does not make MM transferable.
    EXPECT_FALSE(transferable("MM"));
    EXPECT_FALSE(transferable("VF"));
    for (const char* name : {"SPD", "ACC", "GAIN", "DIR", "SW", "MODE", "OFS"})
        EXPECT_TRUE(transferable(name)) << name;
    EXPECT_EQ(parameter("SPD")->m_sequence, 2);
    EXPECT_EQ(parameter("OFS")->m_sequence, 8);

    EXPECT_EQ(channelText(0), "SPD\t500|MOV\t+1000|END\t|");
    for (int ch = 1; ch < 256; ++ch)
        ASSERT_EQ(lineCount(ch), 0u) << ch;
    ASSERT_NE(store.GetPinRecord(3), nullptr);
    EXPECT_EQ(store.GetPinRecord(3)->Format(1), "3,0,A,1,0,0");
    EXPECT_EQ(store.GetPinRecord(3)->m_disabled, 6u) << "the unit's disabled fields are applied after a load";
    EXPECT_EQ(store.GetPinRecord(11)->Format(1), "11,7,A,5,1,0");
    EXPECT_EQ(store.GetPinRecord(29)->Format(1), "29,1,N,3,1,0");
    EXPECT_EQ(store.GetPinRecord(5), nullptr);
}

TEST_F(DocumentReader, ValuesOutOfTheirRangeAreMarkedAndKept)
{
    std::string text = SampleDocumentText();
    for (const auto& [from, to] : {std::pair{"SPD100", "SPD4000"}, {"DIR0", "DIR2"}, {"OFS-100", "OFS-1001"}})
        text.replace(text.find(from), std::string(from).size(), to);
    ASSERT_EQ(loadText(text), 0);
    for (const auto& [name, value] : {std::pair{"SPD", "4000"}, {"DIR", "2"}, {"OFS", "-1001"}}) {
        EXPECT_EQ(parameter(name)->GetValueText(), value);
        EXPECT_EQ(parameter(name)->m_status, 0x4000000f) << name;
    }
    for (const char* name : {"ACC", "GAIN", "SW", "MODE"})
        EXPECT_EQ(parameter(name)->m_status, 0) << name;
}

TEST_F(DocumentReader, LoadSaveLoadGivesTheSameBytesForEveryLineEnd)
{
    applySampleEdits();
    const std::string sample = SampleDocumentText();
    for (const char* eol : {"\n", "\r\n", "\r"}) {
        const std::string path = folder.write("in.zrd", withLineEnds(sample, eol));
        ASSERT_EQ(open(path), 0) << "line end " << int(eol[0]);
        EXPECT_EQ(save("out.zrd"), sample);
        ASSERT_EQ(open(folder.file("out.zrd")), 0);
        EXPECT_EQ(save("out2.zrd"), sample);
    }
}

TEST_F(DocumentReader, TheReadAllReplyLoadsLikeTheDocumentAndKeepsTheHeader)
{
    // The connection code writes the reply to a temporary file, checks it, clears the store and
    // loads it; the document path, unit, model information and comment of the open document stay.
    applySampleEdits();
    store.m_documentModelInfo = "KVX100A1.00/SYS1.00";
    const std::string documentPath = folder.file("doc.zrd");
    store.m_documentPath = documentPath;
    store.FindParameter("OFS")->m_currentValue = 0;
    store.GetChannelProgram(0)->Clear();

    std::string reply = SampleReplyText();
    std::replace(reply.begin(), reply.end(), '\r', '\n');
    const std::string temp = folder.write("ZR1234.tmp", reply);
    int code = -1;
    ASSERT_EQ(model::CheckDocumentSections(temp, code), 1);
    store.ClearAll(1);
    ASSERT_EQ(store.LoadDocument(temp, code), 1);
    store.m_documentPath = documentPath;

    EXPECT_EQ(store.m_unitName, "KVX-100");
    EXPECT_EQ(store.m_documentModelInfo, "KVX100A1.00/SYS1.00");
    EXPECT_EQ(store.SaveDocument(), 1);
    EXPECT_EQ(ReadBytes(documentPath), SampleDocumentText());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(DocumentReader, EndMarkersNeverBecomeDataAcrossSaves)
{
    // The unit writes a footer line; the driver's reply ends its channel part at "PI/CL" and its
    // parameter part runs straight into "CC/AL". None of those lines may end up as a program line
    // of channel 255 or as a parameter: the next save would then lose the channel programs.
    folder.write("unit/footer.ini", replaced(ReadBytes(unitFile), "Footer=", "Footer=XY0"));
    unitFile = folder.file("unit/footer.ini");
    ASSERT_EQ(store.LoadDefinition(unitFile), 1);
    store.m_unitName = "KVX-100";
    applySampleEdits();
    store.GetChannelProgram(255)->Parse(std::string_view("CH255\rJMP0\r"));
    const std::string first = save("a.zrd");
    ASSERT_NE(first.find("\n\nXY0\n\n;Alarm:"), std::string::npos);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(open(folder.file("a.zrd")), 0);
        EXPECT_EQ(channelText(255), "JMP\t0|");
        EXPECT_EQ(save("a.zrd"), first) << round;
    }

    std::string reply = "MM0\rSPD7\rCC/AL\rCH0\rSPD500\r\rCH255\rJMP0\r\rPI/CL\rPI0\rFN1\rAB0\rNW0\r\r";
    ASSERT_EQ(loadText(reply), 0);
    EXPECT_EQ(parameter("CC/AL"), nullptr);
    EXPECT_EQ(store.GetParameterList()->size(), 14u) << "no parameter was made up";
    EXPECT_EQ(channelText(255), "JMP\t0|");
    EXPECT_EQ(channelText(0), "SPD\t500|");
    const std::string saved = save("b.zrd");
    ASSERT_EQ(open(folder.file("b.zrd")), 0);
    EXPECT_EQ(channelText(0), "SPD\t500|");
    EXPECT_EQ(save("b.zrd"), saved);
}

TEST_F(DocumentReader, TransferBookkeepingFollowsTheDocument)
{
    std::string doc = SampleDocumentText();
    doc = replaced(doc, "ACC50\n", "");
    doc = replaced(doc, "DIR0\n", "ZZZ5\nXX1.5\nNEG-2.25\nBARE\n");
    doc = replaced(doc, "MODEAUTO\n", "MODEAUTO\nSPD150\n");
    ASSERT_EQ(loadText(doc), 0);

    // What the document leaves out is no longer saved or downloaded.
    EXPECT_FALSE(transferable("ACC"));
    EXPECT_FALSE(transferable("DIR"));
    EXPECT_EQ(parameter("ACC")->m_sequence, 0);
    // Unknown names become transferable parameters that keep their decimals; a name given twice
    // keeps the later value and place.
    ASSERT_NE(parameter("ZZZ"), nullptr);
    EXPECT_EQ(parameter("ZZZ")->m_attributes, "T");
    EXPECT_EQ(parameter("XX")->GetValueText(), "1.5");
    EXPECT_EQ(parameter("NEG")->GetValueText(), "-2.25");
    EXPECT_TRUE(IsNoValue(parameter("BARE")->m_currentValue));
    EXPECT_EQ(parameter("SPD")->m_currentValue, 150);
    EXPECT_EQ(transferList(), "MM0\nGAIN1.00\nZZZ5\nXX1.5\nNEG-2.25\nBARE\nSWOFF\nMODEAUTO\nSPD150\nOFS-100\n");

    // The special parameters keep the first numbers.
    store.m_specialParameters = {"OFS", "GAIN"};
    ASSERT_EQ(loadText(doc), 0);
    EXPECT_EQ(parameter("GAIN")->m_sequence, 5) << "numbers 1 and 2 are kept for the two special ones";
    EXPECT_EQ(transferList(), "MM0\nOFS-100\nGAIN1.00\nZZZ5\nXX1.5\nNEG-2.25\nBARE\nSWOFF\nMODEAUTO\nSPD150\n");
}

TEST_F(DocumentReader, HeaderLinesAreNeverMadeIntoParameters)
{
    // A unit whose header names no parameter: the header line read back must not become one, or
    // every save would write it once more.
    folder.write("unit/hdr.ini", replaced(ReadBytes(unitFile), "Header=MM0", "Header=MM0,QQ0,KP1"));
    unitFile = folder.file("unit/hdr.ini");
    ASSERT_EQ(store.LoadDefinition(unitFile), 1);
    store.m_unitName = "KVX-100";
    const std::string first = save("h.zrd");
    ASSERT_NE(first.find("\nMM0\nQQ0\nSPD100\n"), std::string::npos);
    EXPECT_EQ(first.find("KP1"), std::string::npos);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(open(folder.file("h.zrd")), 0);
        EXPECT_EQ(parameter("QQ"), nullptr);
        EXPECT_EQ(save("h.zrd"), first);
    }
}

TEST_F(DocumentReader, AMissingPartIsReportedAndWhatWasReadStays)
{
    const std::string doc = replaced(replaced(SampleDocumentText(), "CC/AL\n", ""), "SPD100\n", "SPD777\n");
    int code = -1;
    EXPECT_EQ(store.LoadDocument(folder.write("nocc.zrd", doc), code), 0);
    EXPECT_EQ(code, 2);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "File format mismatch\nNot a talverin file, file damaged");
    EXPECT_EQ(boxes.shown[0].caption, "File error");
    EXPECT_EQ(boxes.shown[0].type & plat::MB_ICONMASK, plat::MB_ICONSTOP);
    EXPECT_EQ(parameter("SPD")->m_currentValue, 777) << "the parameter part was read before the failure";

    plat::ScopedLanguage japanese(plat::LANG_JAPANESE);
    for (const std::string& broken : {std::string(), std::string("\x01\xff\x00\x80", 4), SampleDocumentText().substr(0, 200),
                                      replaced(SampleDocumentText(), "PI/CL\n", "")}) {
        EXPECT_EQ(loadText(broken), 2);
    }
    EXPECT_EQ(store.LoadDocument(folder.file("missing.zrd"), code), 0);
    EXPECT_EQ(code, 2);
    ASSERT_EQ(boxes.shown.size(), 6u);
    EXPECT_NE(boxes.shown.back().text, boxes.shown.front().text);
    EXPECT_FALSE(boxes.shown.back().text.empty());
}

TEST_F(DocumentReader, ReceivedSpecialParameters)
{
    store.m_specialParameters = {"MODE", "sw", "OFS", "NOPE"};
    store.FindParameter("SPD")->m_currentValue = 1;
    ASSERT_EQ(store.ParseReceivedParameters("SPD50\rMODEMANUAL\r\r\nSWON\r\nOFS-12\rNOPE5\rMODE\r"), 1);
    EXPECT_EQ(parameter("SPD")->m_currentValue, 1) << "not a special parameter";
    EXPECT_EQ(parameter("SW")->m_currentText, "ON");
    EXPECT_EQ(parameter("SW")->m_sequence, 2);
    EXPECT_EQ(parameter("OFS")->m_currentValue, -12);
    EXPECT_EQ(parameter("OFS")->m_referenceValue, -12);
    EXPECT_EQ(parameter("OFS")->m_sequence, 3);
    // The last MODE line has no value: the number is gone, the sequence moves on.
    EXPECT_TRUE(IsNoValue(parameter("MODE")->m_currentValue));
    EXPECT_EQ(parameter("MODE")->m_currentText, "MANUAL");
    EXPECT_EQ(parameter("MODE")->m_sequence, 4);
    EXPECT_TRUE(transferable("MODE"));
    EXPECT_EQ(store.GetParameterList()->size(), 14u) << "a special name without a record adds nothing";
}

TEST_F(DocumentReader, ExtractedSpecialLines)
{
    store.m_specialParameters = {"MODE", "SW"};
    std::vector<model::SpecialParameterLine> list = {{"SW", "old"}};
    EXPECT_EQ(store.ExtractSpecialParameters("MODEAUTO\rSPD1\rSWON\r", list), "SWON\nMODEAUTO");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].name, "MODE");
    // Names compare exactly.
    store.m_specialParameters = {"mode"};
    list.clear();
    EXPECT_EQ(store.ExtractSpecialParameters("MODEAUTO\r", list), "");
}

TEST_F(DocumentReader, ChannelBlocks)
{
    ASSERT_EQ(store.ParseChannelData("junk\rEND\r\rCH2\rJMP5\rCHK1\r\rCH300\rX1\rCH-1\rY1\rCH3\rCH 4\rA1\r"), 1);
    EXPECT_EQ(channelText(2), "JMP\t5|CHK\t1|");
    EXPECT_EQ(channelText(3), "A\t1|");
    EXPECT_EQ(lineCount(0), 0u);
    for (int ch = 0; ch < 256; ++ch) {
        if (const auto& program = store.GetChannelArray()->at(static_cast<std::size_t>(ch))) {
            EXPECT_EQ(program->m_channel, ch);
        }
    }
}

} // namespace

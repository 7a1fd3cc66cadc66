#include "model/CN2PinRecord.h"
#include "model/ChannelProgram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using model::CChannelProgram;
using model::CN2PinRecord;

namespace {

std::vector<std::string> lineTexts(const CChannelProgram& program)
{
    std::vector<std::string> out;
    for (const auto& line : program.Lines())
        out.push_back(line.text);
    return out;
}

CN2PinRecord pinFrom(const char* text)
{
    CN2PinRecord pin;
    pin.Parse(text, 1);
    return pin;
}

} // namespace

TEST(ChannelProgramParse, DriverText)
{
    CChannelProgram program;
    EXPECT_EQ(program.m_lineCount, -1);
    EXPECT_EQ(program.m_channel, -1);
    EXPECT_EQ(program.Parse("CH7\rMOV+100\rWAIT 5"), 1);
    EXPECT_EQ(program.m_channel, 7);
    EXPECT_EQ(lineTexts(program), (std::vector<std::string>{"MOV\t+100", "WAIT\t5"}));
    EXPECT_EQ(program.m_lineCount, 2);
    EXPECT_EQ(program.m_currentLine, 0);
    EXPECT_EQ(program.Lines()[0].value, 0);
}

TEST(ChannelProgramParse, LeadingLinesAndTheChannelLine)
{
    CChannelProgram program;
    program.Parse("\r\n\rCC/AL\rCH12\rEND");
    EXPECT_EQ(program.m_channel, 12);
    EXPECT_EQ(lineTexts(program), (std::vector<std::string>{"END\t"}));

    // The number comes from the CH line itself, not from the first line of the text.
    CChannelProgram late;
    late.Parse("CC/AL\rCH 3\rJMP10");
    EXPECT_EQ(late.m_channel, 3);
    EXPECT_EQ(lineTexts(late), (std::vector<std::string>{"JMP\t10"}));

    // Only the part marker and "CH" + number are passed over: other first lines are the program.
    CChannelProgram mnemonics;
    mnemonics.Parse("CH4\rCCW10\rCHK5\rCC\r");
    EXPECT_EQ(mnemonics.m_channel, 4);
    EXPECT_EQ(lineTexts(mnemonics), (std::vector<std::string>{"CCW\t10", "CHK\t5", "CC\t"}));
}

TEST(ChannelProgramParse, LinesWithoutMnemonicAreDropped)
{
    CChannelProgram program;
    program.Parse("CH0\r100\r-5\r\rSPD500\r  MOV  -20 \rX");
    EXPECT_EQ(lineTexts(program), (std::vector<std::string>{"SPD\t500", "MOV\t-20", "X\t"}));
    EXPECT_EQ(program.m_lineCount, 3);
}

TEST(ChannelProgramParse, AppendsAndNullText)
{
    CChannelProgram program;
    program.Parse("CH1\rA1");
    program.Parse("CH1\rB2");
    EXPECT_EQ(lineTexts(program), (std::vector<std::string>{"A\t1", "B\t2"}));
    CChannelProgram none;
    EXPECT_EQ(none.Parse(static_cast<const char*>(nullptr)), 1);
    EXPECT_EQ(none.m_lineCount, 0);
    EXPECT_TRUE(none.Lines().empty());
}

TEST(ChannelProgramParse, BadInputNeverBreaksTheList)
{
    CChannelProgram program;
    program.Parse(std::string("CH4\rMOV") + '\0' + "+100\rEND");
    EXPECT_EQ(program.m_channel, 4);
    EXPECT_EQ(lineTexts(program), (std::vector<std::string>{"MOV\t"}));

    CChannelProgram big;
    big.Parse("CH99999999999\r" + std::string(10000, 'M') + "1");
    EXPECT_EQ(big.m_channel, 2147483647);
    ASSERT_EQ(big.Lines().size(), 1u);
    EXPECT_EQ(big.Lines()[0].text.size(), 10002u);

    CChannelProgram foreign;
    foreign.Parse("CH2\r\x83\x65\x83\x58\x83\x67 5\r\xff");
    EXPECT_EQ(lineTexts(foreign), (std::vector<std::string>{"\x83\x65\x83\x58\x83\x67\t5", "\xff\t"}));
}

TEST(ChannelProgramText, BuildText)
{
    CChannelProgram program;
    program.m_channel = 3;
    program.AddLine("JMP\t10");
    program.AddLine("END");
    EXPECT_EQ(program.BuildText(), "CH3\rJMP10\rEND\r\r");
    EXPECT_EQ(program.m_emptyLineFlag, 0);

    CChannelProgram empty;
    empty.m_channel = 3;
    EXPECT_EQ(empty.BuildText(), "CH3\r\r");
}

TEST(ChannelProgramText, CommentsAndEmptyLines)
{
    CChannelProgram program;
    program.m_channel = 0;
    program.AddLine("MOV\t+100\tmove out");
    program.AddLine("");
    program.AddLine("\t");
    program.AddLine("END\t");
    EXPECT_EQ(program.BuildText(), "CH0\rMOV+100\rEND\r\r");
    EXPECT_EQ(program.m_emptyLineFlag, 1);
    // The flag starts again with every build.
    program.Clear();
    program.AddLine("END");
    program.BuildText();
    EXPECT_EQ(program.m_emptyLineFlag, 0);
}

TEST(ChannelProgramText, ParseBuildRoundTrip)
{
    const std::string driverText = "CH255\rSPD500\rMOV+1000\rMOV-20\rEND\r\r";
    CChannelProgram program;
    program.Parse(driverText);
    EXPECT_EQ(program.m_channel, 255);
    EXPECT_EQ(program.BuildText(), driverText);
}

TEST(ChannelProgramText, LinesThatReadAsAChannelHeader)
{
    int number = 0;
    for (const char* line : {"CH52", "CH+3", " CH7 ", "CH-1"})
        EXPECT_TRUE(model::ReadsAsChannelHeader(line, &number) && number == std::atoi(line + 2 + (line[0] == ' '))) << line;
    for (const char* line : {"CHK5", "ch5", "CH", "CH 5", "XCH5", "CH+"})
        EXPECT_FALSE(model::ReadsAsChannelHeader(line)) << line;
    EXPECT_TRUE(model::ReadsAsChannelHeader(CChannelProgram::DriverLine("CH\t52\tcomment")));
}

TEST(CN2PinTables, PinsAndIoNumbers)
{
    EXPECT_EQ(CN2PinRecord::BitIndexToPin(1, 0), 3);
    EXPECT_EQ(CN2PinRecord::BitIndexToPin(1, 7), 11);
    EXPECT_EQ(CN2PinRecord::BitIndexToPin(1, 16), 20);
    EXPECT_EQ(CN2PinRecord::BitIndexToPin(1, 17), -1);
    EXPECT_EQ(CN2PinRecord::BitIndexToPin(1, -1), -1);
    EXPECT_EQ(CN2PinRecord::BitIndexToPin(0, 0), 28);
    EXPECT_EQ(CN2PinRecord::BitIndexToPin(0, 7), 35);
    EXPECT_EQ(CN2PinRecord::BitIndexToPin(0, 8), -1);
    EXPECT_EQ(CN2PinRecord::BitIndexToPin(2, 1), 29);

    for (const int pin : {10, 25, 26, 36, 0, -5, 51})
        EXPECT_EQ(CN2PinRecord::PinToBitIndex(pin), -1) << pin;
    // Every table entry maps back to itself.
    for (int io = 0; io < 17; ++io)
        EXPECT_EQ(CN2PinRecord::PinToBitIndex(CN2PinRecord::BitIndexToPin(1, io)), io);
    for (int io = 0; io < 8; ++io)
        EXPECT_EQ(CN2PinRecord::PinToBitIndex(CN2PinRecord::BitIndexToPin(0, io)), io);
}

TEST(CN2PinText, ParseWithNumbers)
{
    const CN2PinRecord pin = pinFrom("30,2,0,5,1,1f");
    EXPECT_EQ(pin.m_kind, 4);
    EXPECT_EQ(pin.m_pin, 30);
    EXPECT_EQ(pin.m_io, 2);
    EXPECT_EQ(pin.m_logic, "P");
    EXPECT_EQ(pin.m_function, "5");
    EXPECT_EQ(pin.m_value, "1");
    EXPECT_EQ(pin.m_readValue, "1");
    EXPECT_EQ(pin.m_status, 0x1fu);
    EXPECT_EQ(pin.Format(1), "30,2,P,5,1,1f");
    EXPECT_EQ(pin.Format(0), "P,5,1,1f");

    EXPECT_EQ(pinFrom("5,2,1,3,0,0").m_logic, "B");
    EXPECT_EQ(pinFrom("5,2,0,3,0,0").m_logic, "A");
    EXPECT_EQ(pinFrom("31,3,1,3,0,0").m_logic, "N");
    // Letters pass as they are.
    EXPECT_EQ(pinFrom("31,3,N,3,0,0").m_logic, "N");
}

TEST(CN2PinText, ParseWithoutNumbersKeepsThePin)
{
    CN2PinRecord pin;
    pin.m_pin = 11;
    pin.m_io = 7;
    pin.m_definitionText = "A,1,0";
    pin.m_disabled = CN2PinRecord::kDisableFunction;
    EXPECT_EQ(pin.Parse("B,4,1", 0), 1);
    EXPECT_EQ(pin.m_pin, 11);
    EXPECT_EQ(pin.m_io, 7);
    EXPECT_EQ(pin.m_logic, "B");
    EXPECT_EQ(pin.m_function, "4");
    EXPECT_EQ(pin.m_value, "1");
    EXPECT_EQ(pin.m_status, 0u);
    EXPECT_EQ(pin.m_disabled, 0u);
    EXPECT_EQ(pin.m_definitionText, "A,1,0");
    // A logic "0" is not translated without numbers.
    pin.Parse("0,4,1", 0);
    EXPECT_EQ(pin.m_logic, "0");
    // The empty slot text.
    pin.Parse(",,,", 0);
    EXPECT_EQ(pin.Format(0), ",,,0");
    EXPECT_EQ(pin.m_pin, 11);
}

TEST(CN2PinText, ShortAndBadTexts)
{
    CN2PinRecord pin;
    pin.m_pin = 30;
    pin.m_io = 2;
    pin.m_function = "9";
    pin.Parse("", 1);
    EXPECT_EQ(pin.m_pin, 30);
    EXPECT_EQ(pin.m_function, "");
    pin.Parse("31", 1);
    EXPECT_EQ(pin.m_pin, 30);
    pin.Parse("31,3", 1);
    EXPECT_EQ(pin.m_pin, 31);
    EXPECT_EQ(pin.m_logic, "");
    EXPECT_EQ(pin.Format(1), "31,3,,,,0");
    pin.Parse("32,4,1,7", 1);
    EXPECT_EQ(pin.m_logic, "N");
    EXPECT_EQ(pin.m_function, "7");
    EXPECT_EQ(pin.m_value, "");

    pin.Parse("x,y,0,1,2,zz", 1);
    EXPECT_EQ(pin.m_pin, 0);
    EXPECT_EQ(pin.m_status, 0u);
    pin.Parse("30,2,P,5,1,fffffffff", 1);
    EXPECT_EQ(pin.m_status, 0xffffffffu);
    pin.Parse(std::string("30,2,P") + '\0' + ",5,1", 1);
    EXPECT_EQ(pin.m_function, "");
    pin.Parse("30,2,P," + std::string(10000, 'F') + ",1,1", 1);
    EXPECT_EQ(pin.m_function.size(), 10000u);
}

TEST(CN2PinCommands, SetAndQuery)
{
    CN2PinRecord out = pinFrom("30,2,P,5,1,0");
    EXPECT_EQ(out.BuildSetCommand(), "PO2\rFN5\rGC0\rST1\r\r");
    EXPECT_EQ(out.BuildQueryCommand(), "TPO2\r");
    out.m_logic = "N";
    EXPECT_EQ(out.BuildSetCommand(), "PO2\rFN5\rGC1\rST1\r\r");
    out.m_value.clear();
    EXPECT_EQ(out.BuildSetCommand(), "PO2/RS\r");

    CN2PinRecord in = pinFrom("6,3,A,1,2,0");
    EXPECT_EQ(in.BuildSetCommand(), "PI3\rFN1\rAB0\rNW2\r\r");
    EXPECT_EQ(in.BuildQueryCommand(), "TPI3\r");
    in.m_logic = "B";
    EXPECT_EQ(in.BuildSetCommand(), "PI3\rFN1\rAB1\rNW2\r\r");
    in.m_function.clear();
    EXPECT_EQ(in.BuildSetCommand(), "PI3/RS\r");
    in.m_function = "1";
    in.m_logic.clear();
    EXPECT_EQ(in.BuildSetCommand(), "PI3/RS\r");
}

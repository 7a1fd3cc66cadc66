#include "model/IniSection.h"

#include <testsupport/temp_folder.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using model::IniSection;
using model::IniSectionRequest;
using model::ReadIniSection;

namespace {

class IniSectionFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_dir.empty()); }

    // Writes the lines joined by `eol` (and ended by it).
    std::string write(const std::string& name, std::initializer_list<std::string> lines, const std::string& eol = "\n")
    {
        std::string data;
        for (const auto& line : lines)
            data += line + eol;
        return writeRaw(name, data);
    }
    std::string writeRaw(const std::string& name, const std::string& data)
    {
        const auto path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary) << data;
        return path;
    }

    static IniSection read(const std::string& path, const char* start, const char* end = nullptr,
                           const char* second = nullptr, bool keepMarker = false, bool afterEmpty = false)
    {
        IniSectionRequest request;
        request.path = path;
        if (start)
            request.startMarker = start;
        if (end)
            request.endMarker = end;
        if (second)
            request.secondEndMarker = second;
        request.keepMarker = keepMarker;
        request.endAfterEmptyLine = afterEmpty;
        IniSection section;
        const int result = ReadIniSection(request, section);
        EXPECT_EQ(result, section.found);
        return section;
    }

    plat::test::TempFolder m_folder;
    std::filesystem::path m_dir{m_folder.path()};
};

const std::initializer_list<std::string> kUnitFile = {
    "; unit definition",
    "[ Parameter ]",
    "; letters,name,seq,unit,default,dec,label,range,stepmode,steps,current,status",
    "WRT,SPD,0,rpm,100,0,Speed,0-3000,,10,100,0",
    "",
    ";",
    "\t WRT,ACC,0,ms,50,0,Acceleration time,1-10000,,1/10/100,50,0  ",
    "",
    "[ParameterTree]",
    "*,,,,,,Motor",
};

const std::string kParameterBody =
    "WRT,SPD,0,rpm,100,0,Speed,0-3000,,10,100,0\r"
    "WRT,ACC,0,ms,50,0,Acceleration time,1-10000,,1/10/100,50,0\r";

} // namespace

TEST_F(IniSectionFile, SpacedHeadingLfFile)
{
    const auto section = read(write("unit.ini", kUnitFile), "[Parameter]");
    EXPECT_TRUE(section.opened);
    EXPECT_EQ(section.found, 1);
    EXPECT_EQ(section.text, kParameterBody);
    EXPECT_EQ(section.end, IniSection::End::Heading);
    EXPECT_EQ(section.marker, "");
}

TEST_F(IniSectionFile, CrLfAndLoneCrFilesReadTheSame)
{
    const auto crlf = read(write("crlf.ini", kUnitFile, "\r\n"), "[Parameter]");
    EXPECT_EQ(crlf.found, 1);
    EXPECT_EQ(crlf.text, kParameterBody);
    EXPECT_EQ(crlf.end, IniSection::End::Heading);
    const auto cr = read(write("cr.ini", kUnitFile, "\r"), "[Parameter]");
    EXPECT_EQ(cr.text, kParameterBody);
    // A last line without any line end still counts.
    const auto tail = read(writeRaw("tail.ini", "[Parameter]\r\nA1\r\nB2"), "[Parameter]");
    EXPECT_EQ(tail.text, "A1\rB2\r");
    EXPECT_EQ(tail.end, IniSection::End::EndOfFile);
}

TEST_F(IniSectionFile, KeepMarkerGivesTheCleanedStartLine)
{
    const auto section = read(write("unit.ini", kUnitFile), "[Parameter]", nullptr, nullptr, true);
    EXPECT_EQ(section.marker, "[Parameter]");
    EXPECT_EQ(section.text, kParameterBody);
}

TEST_F(IniSectionFile, StartMarkerMustBeginTheLine)
{
    const auto path = write("late.ini", {"x [Parameter]", "A1", "[Parameter]x", "B2"});
    const auto section = read(path, "[Parameter]");
    EXPECT_EQ(section.found, 1);
    EXPECT_EQ(section.text, "B2\r");
    const auto missing = read(path, "[CN2]");
    EXPECT_EQ(missing.found, 0);
    EXPECT_TRUE(missing.opened);
    EXPECT_EQ(missing.text, "");
    EXPECT_EQ(missing.marker, "");
}

TEST_F(IniSectionFile, MissingFile)
{
    const auto section = read((m_dir / "absent.ini").string(), "[Parameter]");
    EXPECT_FALSE(section.opened);
    EXPECT_EQ(section.found, 0);
    EXPECT_EQ(section.text, "");
    const auto folder = read(m_dir.string(), "[Parameter]");
    EXPECT_EQ(folder.found, 0);
    EXPECT_EQ(folder.text, "");
}

TEST_F(IniSectionFile, WithoutStartMarkerReadsFromTheTop)
{
    const auto section = read(write("doc.txt", {"MM0", "SPD100", "[X]", "Y"}), nullptr);
    EXPECT_EQ(section.found, 0);
    EXPECT_EQ(section.text, "MM0\rSPD100\r");
    EXPECT_EQ(section.end, IniSection::End::Heading);
}

TEST_F(IniSectionFile, EndMarkerLineIsKeptLast)
{
    const auto path = write("doc.zrd", {";- title -", "MM0", "SPD100", "PI0", "CC/AL", "CH0"});
    const auto section = read(path, "MM", "CC/AL", nullptr, true);
    EXPECT_EQ(section.marker, "MM0");
    EXPECT_EQ(section.text, "SPD100\rPI0\rCC/AL");
    EXPECT_EQ(section.end, IniSection::End::Marker);
    // The second marker ends it too; the first one found on a line wins either way.
    const auto second = read(path, "MM", "NOPE", "PI0", true);
    EXPECT_EQ(second.text, "SPD100\rPI0");
    EXPECT_EQ(second.end, IniSection::End::Marker);
}

TEST_F(IniSectionFile, EmptyEndMarkerStopsAtTheFirstEmptyLine)
{
    const auto path = write("doc.zrd", {"CC/AL", "CH0", "SPD500", "END", "", "CH1", ""});
    for (const char* empty : {"", "\r", "\n"}) {
        const auto section = read(path, "CC/AL", empty);
        EXPECT_EQ(section.text, "CH0\rSPD500\rEND\r") << static_cast<int>(empty[0]);
        EXPECT_EQ(section.end, IniSection::End::EmptyLine);
    }
    // An empty second marker matches nothing either.
    const auto second = read(path, "CC/AL", nullptr, "");
    EXPECT_EQ(second.text, "CH0\rSPD500\rEND\rCH1\r");
    EXPECT_EQ(second.end, IniSection::End::EndOfFile);
}

TEST_F(IniSectionFile, EndAfterEmptyLineOnly)
{
    const auto path = write("doc.zrd", {"CC/AL", "CH0", "XY0SPD", "END", "", "XY0", "more"});
    const auto strict = read(path, "CC/AL", "XY0", nullptr, false, true);
    EXPECT_EQ(strict.text, "CH0\rXY0SPD\rEND\rXY0");
    EXPECT_EQ(strict.end, IniSection::End::Marker);
    const auto loose = read(path, "CC/AL", "XY0", nullptr, false, false);
    EXPECT_EQ(loose.text, "CH0\rXY0SPD");
    // A comment between the empty line and the marker line breaks the "after an empty line" rule.
    const auto path2 = write("doc2.zrd", {"CC/AL", "CH0", "", ";note", "XY0", "END"});
    const auto broken = read(path2, "CC/AL", "XY0", nullptr, false, true);
    EXPECT_EQ(broken.text, "CH0\rXY0\rEND\r");
    EXPECT_EQ(broken.end, IniSection::End::EndOfFile);
}

TEST_F(IniSectionFile, HeadingNeedsClosingBracketAtTheEnd)
{
    const auto path = write("unit.ini", {"[CN2]", "PI0/FN1/AB0/NW0", "a[b]c", "x]", "[DataFile] ", "Header=MM0"});
    const auto section = read(path, "[CN2]");
    EXPECT_EQ(section.text, "PI0/FN1/AB0/NW0\ra[b]c\rx]\r");
    EXPECT_EQ(section.end, IniSection::End::Heading);
}

TEST_F(IniSectionFile, NulBytesAndLongLines)
{
    std::string data = "[Parameter]\n";
    data += std::string("W,A") + '\0' + "garbage\n";
    data += std::string(10000, 'L') + "\n";
    data += std::string("\0\0\0", 3) + "\n";
    data += "W,B\n";
    const auto section = read(writeRaw("bad.ini", data), "[Parameter]");
    EXPECT_EQ(section.found, 1);
    EXPECT_EQ(section.text, "W,A\r" + std::string(10000, 'L') + "\rW,B\r");
}

TEST_F(IniSectionFile, ShiftJisFilesReadAsUtf8)
{
    // "[x" + the katakana ZO, whose second byte is ']': not a heading once decoded.
    const std::string sjis = "[Parameter]\r\nW,SPD,0,rpm,100,0,\x83\x58\x83\x73\x81\x5b\x83\x68,0-3000\r\n[x\x83\x5d\r\n[End]\r\n";
    const auto section = read(writeRaw("sjis.ini", sjis), "[Parameter]");
    EXPECT_EQ(section.text, "W,SPD,0,rpm,100,0,\xe3\x82\xb9\xe3\x83\x94\xe3\x83\xbc\xe3\x83\x89,0-3000\r[x\xe3\x82\xbe\r");
    EXPECT_EQ(section.end, IniSection::End::Heading);

    // UTF-8 stays as it is.
    const auto utf8 = read(write("utf8.ini", {"[Parameter]", "W,SPD,0,rpm,100,0,\xe9\x80\x9f\xe5\xba\xa6,0-3000"}), "[Parameter]");
    EXPECT_EQ(utf8.text, "W,SPD,0,rpm,100,0,\xe9\x80\x9f\xe5\xba\xa6,0-3000\r");

    // Bytes valid in neither become U+FFFD; the ASCII structure survives.
    const auto junk = read(writeRaw("junk.ini", "[Parameter]\nA\xff\xfd\n\xc0\xaf" "B\n[X]\n"), "[Parameter]");
    EXPECT_EQ(junk.found, 1);
    EXPECT_EQ(junk.text.substr(0, 1), "A");
    EXPECT_NE(junk.text.find("\xef\xbf\xbd"), std::string::npos);
    EXPECT_NE(junk.text.find("B\r"), std::string::npos);
    EXPECT_EQ(junk.end, IniSection::End::Heading);
}

TEST_F(IniSectionFile, LargeFileHasNoCapacityLimit)
{
    std::string data = "[Parameter]\n";
    for (int i = 0; i < 50000; ++i)
        data += "WRT,P" + std::to_string(i) + ",0,,0,0,Label,0-10,,1,0,0\n";
    const auto section = read(writeRaw("big.ini", data), "[Parameter]");
    EXPECT_EQ(section.found, 1);
    EXPECT_EQ(std::count(section.text.begin(), section.text.end(), '\r'), 50000);
}

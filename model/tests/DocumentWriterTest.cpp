#include "DocumentTestSupport.h"

#include <platform/errors.h>
#include <platform/language.h>
#include <platform/text.h>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using model::CZRParamData;
using model::test::DocumentStore;
using model::test::FolderEntries;
using model::test::ReadBytes;
using model::test::RunInChild;
using model::test::RunUnprivileged;
using model::test::SampleDocumentText;
using model::test::SamplePath;

namespace {

using DocumentWriter = DocumentStore;

std::vector<std::string> lines(const std::string& text)
{
    return plat::SplitLines(text);
}

TEST_F(DocumentWriter, WritesTheSampleDocumentByteForByte)
{
    applySampleEdits();
    const std::string written = save();
    EXPECT_EQ(written, SampleDocumentText());
    // The program folder's sample is this very output.
    EXPECT_EQ(ReadBytes(SamplePath("sample/kvx100_sample.zrd")), written);
}

TEST_F(DocumentWriter, ParameterPartFollowsTheSpecialListThenTheSequence)
{
    // Specials first in their listed order (names compare without case; unknown and
    // non-transferable ones are passed over), then the rest by sequence, equal numbers in list order.
    store.m_specialParameters = {"mode", "NOPE", "VF", "OFS", "MODE"};
    store.FindParameter("SPD")->m_sequence = 9;
    store.FindParameter("ACC")->m_sequence = 9;
    store.FindParameter("GAIN")->m_sequence = 0;
    std::string part;
    store.WriteParameterSection(part);
    EXPECT_EQ(part, "MM0\nMODEAUTO\nOFS0\nGAIN1.00\nDIR0\nSWOFF\nSPD100\nACC50\n");

    // Header lines beginning with KP1 are never written (the download sends its own), and neither
    // are empty ones, which would end the parameter part for every reader.
    store.m_definitionHeader = "kp1x\nMM0\n\nXX1";
    store.m_specialParameters.clear();
    part.clear();
    store.WriteParameterSection(part);
    EXPECT_EQ(lines(part).front(), "MM0");
    EXPECT_EQ(lines(part).at(1), "XX1");
    EXPECT_EQ(part.find("kp1"), std::string::npos);
    EXPECT_EQ(part.find("\n\n"), std::string::npos);
}

TEST_F(DocumentWriter, PinAndChannelPartsFollowTheStore)
{
    // No output pins: no "PO/CL"; each record's I/O number comes from its slot.
    store.GetPinArray()->at(27).reset();
    store.GetPinArray()->at(28).reset();
    store.GetPinArray()->at(2)->m_io = 12;
    std::string part;
    store.WriteIOSection(part);
    EXPECT_EQ(part, "PI0\nFN1\nAB0\nNW0\n\nPI1\nFN2\nAB1\nNW0\n\nPI7\nFN5\nAB0\nNW1\n\n");
    EXPECT_EQ(store.GetPinArray()->at(2)->m_io, 0);

    // A pin that has no input or output number (pin 1) cannot be named in a file.
    store.GetPinArray()->at(0) = std::make_unique<model::CN2PinRecord>();
    part.clear();
    store.WriteIOSection(part);
    EXPECT_EQ(part.find("PI-1"), std::string::npos);

    // Every channel has its header; a program's own number never overrides its slot.
    store.GetChannelProgram(5)->Parse(std::string_view("CH5\rJMP10\rEND\r"));
    store.GetChannelProgram(5)->m_channel = 77;
    part.clear();
    store.WriteChannelSection(part);
    EXPECT_NE(part.find("CH4\n\nCH5\nJMP10\nEND\n\nCH6\n\n"), std::string::npos);
    EXPECT_EQ(std::count(part.begin(), part.end(), '\n'), 2 * 256 + 2);

    // A store that was closed writes no channels and no pins, and does not crash.
    store.Close();
    part.clear();
    store.WriteChannelSection(part);
    store.WriteIOSection(part);
    store.WriteParameterSection(part);
    EXPECT_EQ(part, "MM0\n");
}

TEST_F(DocumentWriter, FooterAndModelInformationLines)
{
    // Footer lines beginning with KP0 are left out; the others follow the channels' blank line.
    store.m_definitionFooter = "Kp0\nXY0";
    // The connected driver's information wins over the document's; blanks go, every kind of line
    // break becomes '/'.
    store.m_driverModelInfo = "KVX100A 1.00\r\nSYS 1.00\rEXT\t2\nX";
    const auto written = lines(save());
    const auto mi = std::find_if(written.begin(), written.end(), [](const std::string& l) { return l.rfind(";MI:", 0) == 0; });
    ASSERT_NE(mi, written.end());
    EXPECT_EQ(*mi, ";MI:KVX100A1.00/SYS1.00/EXT2/X");
    const auto ch255 = std::find(written.begin(), written.end(), "CH255");
    ASSERT_NE(ch255, written.end());
    EXPECT_EQ(std::vector<std::string>(ch255, ch255 + 7),
              (std::vector<std::string>{"CH255", "", "", "XY0", "", ";Alarm:", ";"}));
    EXPECT_EQ(std::count(written.begin(), written.end(), "Kp0"), 0);
}

TEST_F(DocumentWriter, CommentAndAlarmBlocksAreNormalisedSoThatTheyRoundTrip)
{
    // The forms the dialog, the alarm reader and older code leave: "\n;" joins, stray CR LF, a
    // trailing break, empty lines. Each becomes one ';' line per non-empty line, with one closing
    // ";" line: a save of what the check reads back gives the same bytes.
    const struct {
        const char* stored;
        const char* block;
    } cases[] = {
        {"", ";\n;\n"},
        {"one", ";one\n;\n"},
        {"one\n;two\n;", ";one\n;two\n;\n"},
        {"one\r\ntwo\r\n", ";one\n;two\n;\n"},
        {"one\n;\n;two", ";one\n;two\n;\n"},
        {"E01 overheat\r\n;E02 ;x", ";E01 overheat\n;E02 ;x\n;\n"},
    };
    for (const auto& c : cases) {
        store.m_alarmText = c.stored;
        store.m_commentText = c.stored;
        const std::string first = save();
        EXPECT_NE(first.find(std::string(";Comment:\n") + c.block + ";Unit:"), std::string::npos) << c.stored;
        EXPECT_NE(first.find(std::string(";Alarm:\n") + c.block + "\n"), std::string::npos) << c.stored;
        int code = -1;
        ASSERT_EQ(store.CheckDocument(folder.file("doc.zrd"), code), 1) << c.stored;
        EXPECT_EQ(save(), first) << c.stored;
    }
}

TEST_F(DocumentWriter, JapaneseTitleAndNotice)
{
    plat::ScopedLanguage japanese(plat::LANG_JAPANESE);
    const auto written = lines(save());
    EXPECT_EQ(written.at(0), ";- KVX TALVERIN  3.1.1 データファイル -");
    EXPECT_EQ(written.at(1), ";* このコメント行は編集しないでください");
    EXPECT_EQ(written.at(3), ";FileWrite:2024/05/01 10:20:30");
}

TEST_F(DocumentWriter, ASaveThatCannotBeWrittenFailsAndLeavesTheOldDocument)
{
    applySampleEdits();
    ::chmod(folder.path().c_str(), 0755); // reachable for the unprivileged checks below
    const std::string path = folder.file("doc.zrd");
    ASSERT_EQ(store.SaveDocument(path), 1);
    const std::string before = ReadBytes(path);
    store.FindParameter("SPD")->m_currentValue = 2000;
    const auto entries = FolderEntries(folder.path());

    // A read-only document: refused before anything is written.
    ::chmod(path.c_str(), 0444);
    EXPECT_TRUE(RunUnprivileged([&] {
        store.m_lastError = 0;
        return store.SaveDocument() == 0 && store.m_lastError == 0x40000001
               && plat::GetLastError() == plat::ERROR_ACCESS_DENIED;
    }));
    ::chmod(path.c_str(), 0644);

    // A writable document in a read-only folder: the new file cannot be put in place.
    ::chmod(folder.path().c_str(), 0555);
    EXPECT_TRUE(RunUnprivileged([&] { return store.SaveDocument() == 0 && store.m_lastError == 0x40000001; }));
    ::chmod(folder.path().c_str(), 0755);

    // A full disk (the file size limit stands in for it): the write fails part-way.
    EXPECT_TRUE(RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return store.SaveDocument() == 0 && store.m_lastError == 0x40000001;
    }));

    // No folder, a folder in place of the file, no path at all.
    EXPECT_EQ(store.SaveDocument(folder.file("no/such/doc.zrd")), 0);
    EXPECT_EQ(store.SaveDocument(folder.path()), 0);
    model::CDataFile unnamed;
    EXPECT_EQ(unnamed.SaveDocument(), 0);
    EXPECT_EQ(unnamed.m_lastError, 0x40000001u);

    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(FolderEntries(folder.path()), entries) << "no scratch file is left behind";

    // And once the file can be written again, the save goes through.
    EXPECT_EQ(store.SaveDocument(path), 1);
    EXPECT_NE(ReadBytes(path).find("\nSPD2000\n"), std::string::npos);
}

} // namespace

#include "CommaDecimalLocale.h"

namespace {

TEST_F(DocumentWriter, NumbersIgnoreTheUsersLocale)
{
    CommaDecimalLocale german;
    if (!german.active())
        GTEST_SKIP() << german.reason();
    applySampleEdits();
    ASSERT_EQ(save(), SampleDocumentText());
    store.FindParameter("GAIN")->m_currentValue = 0;
    ASSERT_EQ(open(folder.file("doc.zrd")), 0);
    EXPECT_EQ(store.FindParameter("GAIN")->m_currentValue, 1.0);
}

} // namespace

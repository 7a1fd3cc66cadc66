// The upload/download dialog's pure rules: send lists from files, specials left out, block
// grouping, reply reading, the upload file's text, caption, file names and the special label.
#include "transfer/TransferRules.h"

#include <model/DocumentFile.h>
#include <zrcomm/zrcomm.h>

#include <QApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <random>

using namespace talverin;
using Records = std::vector<std::string>;

namespace {

// The name of a line as the data store reads it: the text before its first digit or '-'.
std::string NameOf(std::string_view line)
{
    const std::size_t cut = line.find_first_of("0123456789-");
    return std::string(line.substr(0, cut));
}

} // namespace

TEST(TransferRules, FileSendListsTakeEveryLineEndCommentsAndBlanks)
{
    const Records document = {"KP1\r", "MM0\r", "SPD100\r", "\r", "CH5\r", "JMP10\r", "\r", "KP0\r"};
    struct Case {
        const char* name;
        std::string bytes;
        bool document;
        Records expected;
    };
    const std::vector<Case> cases = {
        {"LF", ";head\nMM0\nSPD 100 ;speed\n\n;only a comment\nCH5\nJMP 10\n\n", true, document},
        {"CR LF", ";head\r\nMM0\r\nSPD 100 ;speed\r\n\r\n;only a comment\r\nCH5\r\nJMP 10\r\n\r\n", true, document},
        {"CR", ";head\rMM0\rSPD 100 ;speed\r\r;only a comment\rCH5\rJMP 10\r\r", true, document},
        {"all comments", ";a\n;b\r\n;c", true, {"KP1\r", "KP0\r"}},
        {"text file keeps ';'", "A;B\n\nC", false, {"A;B\r", "\r", "C\r"}},
        {"NUL bytes and no last line end", std::string("X\0Y", 3), false, {"XY\r"}},
        {"empty", "", false, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildFileSendList(c.bytes, c.document), c.expected) << c.name;
}

TEST(TransferRules, SpecialsLeaveOnlyTheParameterPart)
{
    Records records = {"KP1\r", "MM0\r", "SPD100\r", "ACC50\r", "spd7\r", "CC/AL\r", "SPD100\r", "KP0\r"};
    RemoveSpecialRecords(records, {"SPD"}, NameOf);
    EXPECT_EQ(records, (Records{"KP1\r", "MM0\r", "ACC50\r", "CC/AL\r", "SPD100\r", "KP0\r"}));
    Records kept = records;
    RemoveSpecialRecords(kept, {}, NameOf);
    EXPECT_EQ(kept, records);
}

TEST(TransferRules, OnlyBareHeadersOpenBlocks)
{
    const Records records = {"CH5\r", "JMP10\r", "END\r", "\r", "PI3/RS\r", "KP0\r",
                             "po7\r", "FN1\r", "PI2\r", "FN2\r", "\r", "CH1\r\r", ""};
    struct Step {
        std::size_t at;
        std::string text;
        std::size_t next;
        bool block;
        std::string clear; // before a channel program goes again
    };
    const std::vector<Step> steps = {
        {0, "CH5\rJMP10\rEND\r\r", 4, true, "CC5\r"}, {4, "PI3/RS\r", 5, false, ""}, {5, "KP0\r", 6, false, ""},
        {6, "po7\rFN1\r", 8, true, ""},      {8, "PI2\rFN2\r\r", 11, true, ""},  {11, "CH1\r\r", 12, false, "CC1\r"},
        {12, "\r", 13, false, ""},
    };
    for (const Step& s : steps) {
        const SendBlock block = NextSendBlock(records, s.at);
        EXPECT_EQ(block.text, s.text) << s.at;
        EXPECT_EQ(block.next, s.next) << s.at;
        EXPECT_EQ(block.block, s.block) << s.at;
        EXPECT_EQ(ChannelClearCommand(block.text), s.clear) << s.at;
    }
}

TEST(TransferRules, RepliesGiveTheDriversRefusal)
{
    struct Case {
        std::string reply;
        bool block;
        std::uint32_t code;
    };
    const std::vector<Case> cases = {
        {":", false, 0},
        {"RANGE OVER", false, COMM_REPLY_RANGE_OVER},
        {"X\rCOND. MISMATCH", false, COMM_REPLY_CONDITION_MISMATCH},
        {"PASSWORD REQUIRED\rUNKNOWN OPTION", false, COMM_REPLY_UNKNOWN_OPTION},
        {"DISABLE COMMAND", false, 0},
        {"XYZ?", false, COMM_REPLY_UNKNOWN_COMMAND},
        {"RANGE OVER\r0001?", false, COMM_REPLY_UNKNOWN_COMMAND},
        {"0000\r0001\r0002", true, 0},
        {"0000\rXYZ10?\r0001", true, COMM_REPLY_UNKNOWN_COMMAND},
        {"0000\r 12 ?\rXYZ?\r", true, 0},
        {"0000\rRANGE OVER", true, COMM_REPLY_RANGE_OVER},
        {"XYZ?", true, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyReply(c.reply, c.block), c.code) << c.reply << " block " << c.block;
}

TEST(TransferRules, UploadTextPutsTheSpecialsAfterTheHeaderOnce)
{
    const std::vector<model::SpecialParameterLine> specials = {{"A", "A10"}, {"B", "B20"}, {"N", "N1"}};
    const auto transferable = [](std::string_view name) { return name != "N"; };
    EXPECT_EQ(BuildUploadText("MM0\rX1\rA10\rXA10\rY2\r\rPI/CL\rA10\r", 3, specials, transferable, NameOf),
              "MM0\rB20\rA10\rX1\rXA10\rY2\r\rPI/CL\rA10\r");
    EXPECT_EQ(BuildUploadText("MM0\rX1", 3, {}, transferable, NameOf), "MM0\rX1\r");
}

TEST(TransferRules, CaptionsNamesAndTheSpecialLabel)
{
    EXPECT_EQ(RebuildCaption("Upload(Driver -> PC)-", "COM1"), "Upload(Driver -> PC) - COM1");
    EXPECT_EQ(RebuildCaption("Download(PC -> Driver) - COM1", "COM3"), "Download(PC -> Driver) - COM3");

    const std::vector<std::pair<QString, FileNameCheck>> names = {
        {"  ", FileNameCheck::Empty},          {"/tmp/x.y/ok.txt", FileNameCheck::Ok},
        {" data.zrd ", FileNameCheck::Ok},     {"/tmp/a,b.txt", FileNameCheck::Invalid},
        {"/tmp/dir/", FileNameCheck::Invalid}, {"a|b", FileNameCheck::Invalid},
        {"x;y", FileNameCheck::Invalid},       {"/a*b/c.txt", FileNameCheck::Ok},
    };
    for (const auto& [name, check] : names)
        EXPECT_EQ(CheckTransferFileName(name), check) << name.toStdString();

    const QFontMetrics metrics(QApplication::font());
    const QString prefix = "Download special parameters.";
    EXPECT_EQ(SpecialParametersLabel(prefix, {"A", "B"}, metrics, 10000), prefix + "(A,B)");
    const std::vector<std::string> many(40, "LONGNAME");
    const int width = metrics.horizontalAdvance(prefix + "(LONGNAME,LONG...)WW");
    const QString shortened = SpecialParametersLabel(prefix, many, metrics, width);
    EXPECT_TRUE(shortened.startsWith(prefix + "(LONGNAME,")) << shortened.toStdString();
    EXPECT_TRUE(shortened.endsWith("...)")) << shortened.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shortened), width);
}

TEST(TransferRules, MutatedFilesGiveWholeRecordsSentExactlyOnce)
{
    const std::string seed = ";MI:KVX\nMM0\nSPD100\n\nPI/CL\nPI3\nFN1\n\nCC/AL\nCH5\nJMP10\n\nKP0\r\n";
    std::mt19937 random(20261209);
    const std::string alphabet = std::string("\r\n ;\0?PICHO0123456789/", 23);
    for (int round = 0; round < 10000; ++round) {
        std::string bytes = seed;
        const int edits = 1 + static_cast<int>(random() % 12);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = bytes.empty() ? 0 : random() % bytes.size();
            const char c = random() % 3 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
            if (random() % 2 && !bytes.empty())
                bytes[at] = c;
            else
                bytes.insert(at, 1, c);
        }
        const Records records = BuildFileSendList(bytes, round % 2 == 0);
        std::string joined;
        for (const std::string& r : records) {
            ASSERT_FALSE(r.empty());
            ASSERT_EQ(r.back(), '\r') << round;
            ASSERT_EQ(r.find('\0'), std::string::npos);
            joined += r;
        }
        std::string sent;
        for (std::size_t at = 0; at < records.size();) {
            const SendBlock block = NextSendBlock(records, at);
            ASSERT_GT(block.next, at);
            sent += block.text;
            at = block.next;
        }
        ASSERT_EQ(sent, joined) << round;
    }
}

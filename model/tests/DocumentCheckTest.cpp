#include "DocumentTestSupport.h"

#include "model/DocumentFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using model::CheckDocumentSections;
using model::CompareModelInfo;
using model::ReadDocumentCommentBlock;
using model::test::DocumentStore;
using model::test::RunUnprivileged;
using model::test::SampleDocumentText;

namespace {

using DocumentCheck = DocumentStore;

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

TEST(ModelInfo, ComparesTheModelAndNotTheVersions)
{
    EXPECT_EQ(CompareModelInfo("ABC1.23/X.1/Y", "ABC1.45/X.2/Y"), 0);
    EXPECT_EQ(CompareModelInfo("ABC1.23/X.1/Y", "ABD1.23/X.1/Y"), 1);
    EXPECT_EQ(CompareModelInfo("ABC1.23/X.1/Y", "ABC1.23/Z.1/Y"), 1);
    EXPECT_EQ(CompareModelInfo("ABC1.23/X.1/Y", "ABC1.23/X.1/Q"), 1);
    EXPECT_EQ(CompareModelInfo("ABC1.23/X.1/Y/A", "ABC1.23/X.1/Y/B"), 0) << "three fields at most";
    // Without a point, field 0 drops its last two characters.
    EXPECT_EQ(CompareModelInfo("ABCD12/X", "ABCD99/X"), 0);
    EXPECT_EQ(CompareModelInfo("ABCE12/X", "ABCD12/X"), 1);
    // The KL4C20 family decides on two fields.
    EXPECT_EQ(CompareModelInfo("KL4C20A1.0/P.1/Q.1/R", "KL4C20A1.0/P.1/Z.1/R"), 0);
    EXPECT_EQ(CompareModelInfo("KL4C20A1.0/P.1/Q.1/R", "KL4C20A1.0/Z.1/Q.1/R"), 1);
    // Case counts.
    EXPECT_EQ(CompareModelInfo("abc1.0/x", "abc1.0/X"), 1);
}

TEST(ModelInfo, TheDriversAnswerMatchesTheDocumentItCameFrom)
{
    // The driver answers in lines with blanks inside; the document keeps the text without blanks
    // and with '/' for the line breaks. Both must name the same model, or every connect would
    // report a different driver.
    const std::string reply = "KVX100A 1.00\rSYS 1.00";
    EXPECT_EQ(model::NormaliseModelInfo(reply), "KVX100A1.00/SYS1.00");
    EXPECT_EQ(CompareModelInfo(reply, "KVX100A1.00/SYS1.00"), 0);
    EXPECT_EQ(CompareModelInfo("KVX100A 1.20\r\nSYS 1.50\r\n", "KVX100A1.00/SYS1.00"), 0);
    EXPECT_EQ(CompareModelInfo("KVX100A 1.20\rSYS 2.00", "KVX100A1.00/SYS1.00"), 1) << "only field 0 drops its last digit";
    EXPECT_EQ(CompareModelInfo("KVX100B 1.00\rSYS 1.00", "KVX100A1.00/SYS1.00"), 1);
    EXPECT_EQ(model::NormaliseModelInfo("A\r\nB\nC\rD \t E"), "A/B/C/DE");
}

TEST(ModelInfo, ShortAndLopsidedTextsDoNotReadPastTheirEnds)
{
    EXPECT_EQ(CompareModelInfo("", ""), 0);
    EXPECT_EQ(CompareModelInfo("A", "A"), 0);
    EXPECT_EQ(CompareModelInfo("AB", "ABC"), 1);
    EXPECT_EQ(CompareModelInfo(".", "."), 0);
    EXPECT_EQ(CompareModelInfo("ABC1.0", "ABC1.0/X.1/Y.1"), 0) << "A has fewer fields than B";
    EXPECT_EQ(CompareModelInfo("ABC1.0/X.1/Y.1", "ABC1.0"), 0) << "B has fewer fields than A";
    EXPECT_EQ(CompareModelInfo("ABC/", "ABC/"), 0);
    EXPECT_EQ(CompareModelInfo(std::string("ABC\0DEF", 7), "ABC"), 0);
}

TEST_F(DocumentCheck, CommentBlocksAreFoundByTheirKeyLineOnly)
{
    const std::string path = folder.write("c.zrd",
        ";Comment:\n;Alarm: 3 tested\n;Unit: new motor\n; line3 \n;\n;Unit:KVX-100\n;MI:X\n"
        "MM0\n;Alarm:\n;E1\n;E2\n;\n");
    std::string text;
    EXPECT_EQ(ReadDocumentCommentBlock(path, "Comment:", text), 0);
    EXPECT_EQ(text, "Alarm: 3 tested\r\nUnit: new motor\r\n line3\r\n");
    EXPECT_EQ(ReadDocumentCommentBlock(path, ";Alarm:", text), 0);
    EXPECT_EQ(text, "E1\r\nE2\r\n");
    EXPECT_EQ(ReadDocumentCommentBlock(path, "Nothing:", text), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(ReadDocumentCommentBlock(folder.file("missing.zrd"), "Comment:", text), 3);

    // The unit and model lines are read outside the blocks.
    std::string unit = "before";
    std::string mi = "before";
    EXPECT_EQ(store.ReadDocumentUnit(path, unit, mi), 0);
    EXPECT_EQ(unit, "KVX-100");
    EXPECT_EQ(mi, "X");
}

TEST_F(DocumentCheck, UnitAndModelLinesAreTakenOnlyWhenTheFileHasThem)
{
    std::string unit = "KVX-100";
    std::string mi = "KVX100A1.00/SYS1.00";
    // A driver's read-all reply has neither line: what the store holds stays.
    const std::string reply = folder.write("reply.txt", model::test::SampleReplyText());
    EXPECT_EQ(store.ReadDocumentUnit(reply, unit, mi), 0);
    EXPECT_EQ(unit, "KVX-100");
    EXPECT_EQ(mi, "KVX100A1.00/SYS1.00");

    const std::string other = folder.write("other.zrd", ";MI: KVX200 \n;Unit:  NOPE \n");
    EXPECT_EQ(store.ReadDocumentUnit(other, unit, mi), model::kDocumentUnitUnknown);
    EXPECT_EQ(unit, "NOPE") << "the name is given for the message";
    EXPECT_EQ(mi, " KVX200") << "everything after \";MI:\"";
    EXPECT_EQ(store.ReadDocumentUnit(folder.file("missing.zrd"), unit, mi), 3);
}

TEST_F(DocumentCheck, SectionCodes)
{
    const std::string sample = SampleDocumentText();
    int code = -1;
    auto check = [&](const std::string& text) {
        code = -1;
        return CheckDocumentSections(folder.write("s.zrd", text), code);
    };
    EXPECT_EQ(check(sample), 1);
    EXPECT_EQ(check(withLineEnds(sample, "\r\n")), 1);
    EXPECT_EQ(check(withLineEnds(sample, "\r")), 1);
    EXPECT_EQ(check(model::test::SampleReplyText()), 1) << "the driver's order";

    EXPECT_EQ(check(replaced(sample, "CH17\n", "CH300\n")), 0);
    EXPECT_EQ(code, 4);
    EXPECT_EQ(check(replaced(sample, "CH17\n", "CH-1\n")), 0);
    EXPECT_EQ(code, 4);
    EXPECT_EQ(check(replaced(sample, "CH17\n", "CH99999999999999999999\n")), 0);
    EXPECT_EQ(code, 4);
    // Only a "CH" at the start of a line is a channel header.
    EXPECT_EQ(check(replaced(sample, "MOV+1000\n", "MOVCH300\n")), 1);

    EXPECT_EQ(check(replaced(sample, "PI7\n", "PI17\n")), 0);
    EXPECT_EQ(code, 5);
    EXPECT_EQ(check(replaced(sample, "PO1\n", "PO8\n")), 0);
    EXPECT_EQ(code, 5);
    EXPECT_EQ(check(replaced(sample, "PI7\n", "PI16\n")), 1);
    EXPECT_EQ(check(replaced(sample, "FN5\n", "FNPI99\n")), 1);
    // Pins are checked up to "CC/AL": a channel program line "PO8" after it is no pin.
    EXPECT_EQ(check(replaced(sample, "MOV+1000\n", "PO8\n")), 1);

    for (const char* part : {"CC/AL\n", "PI/CL\n", "MM0\n"}) {
        EXPECT_EQ(check(replaced(sample, part, "\n")), 0) << part;
        EXPECT_EQ(code, 2) << part;
    }
    EXPECT_EQ(check(""), 0);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(check(std::string("\x00\xff\xfe\x01MM\x00CC/AL\x80", 10)), 0);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(CheckDocumentSections(folder.file("missing.zrd"), code), 0);
    EXPECT_EQ(code, 3);
}

TEST_F(DocumentCheck, DocumentCodesAndWhatTheCheckStores)
{
    int code = -1;
    const std::string sample = SampleDocumentText();
    const std::string good = folder.write("good.zrd", replaced(replaced(sample, ";Bench sample\n", ";Bench\n;sample 2\n"),
                                                               ";Alarm:\n;\n", ";Alarm:\n;E10 overcurrent\n"));
    EXPECT_EQ(store.CheckDocument(good, code), 1);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(store.m_commentText, "Bench\n;sample 2");
    EXPECT_EQ(store.m_alarmText, "E10 overcurrent");

    // A missing file, a unit without a definition file (the document class's "definition file"
    // case), a damaged file: the store's texts and unit stay as they were.
    store.m_commentText = "kept";
    store.m_unitName = "KVX-100";
    EXPECT_EQ(store.CheckDocument(folder.file("missing.zrd"), code), 0);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(store.CheckDocument(folder.write("u.zrd", replaced(sample, ";Unit:KVX-100", ";Unit:NOPE")), code), 0);
    EXPECT_EQ(code, model::kDocumentNoDefinition);
    EXPECT_EQ(store.CheckDocument(folder.write("n.zrd", replaced(sample, "CC/AL\n", "")), code), 0);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(store.CheckDocument(folder.write("c.zrd", replaced(sample, "CH9\n", "CH300\n")), code), 0);
    EXPECT_EQ(code, 4);
    EXPECT_EQ(store.CheckDocument(folder.path(), code), 0);
    EXPECT_EQ(code, 3);
    EXPECT_EQ(store.m_commentText, "kept");
    EXPECT_EQ(store.m_unitName, "KVX-100");

    // A file that exists but cannot be read.
    const std::string locked = folder.write("locked.zrd", sample);
    ::chmod(locked.c_str(), 0);
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_TRUE(RunUnprivileged([&] {
        int c = -1;
        return store.CheckDocument(locked, c) == 0 && c == 3;
    }));

    // A comment that reads like the header's own lines does not break the document.
    const std::string tricky = folder.write("t.zrd", replaced(sample, ";Bench sample\n", ";Unit: 3 tested\n;MI: none\n;Alarm: x\n"));
    EXPECT_EQ(store.CheckDocument(tricky, code), 1);
    EXPECT_EQ(store.m_commentText, "Unit: 3 tested\n;MI: none\n;Alarm: x");
    EXPECT_EQ(store.m_alarmText, "");
}

TEST_F(DocumentCheck, TruncatedAndGarbledDocuments)
{
    const std::string sample = SampleDocumentText();
    int code = -1;
    // Cut before the pins: no pin part.
    EXPECT_EQ(store.CheckDocument(folder.write("t1.zrd", sample.substr(0, sample.find("PI/CL"))), code), 0);
    EXPECT_EQ(code, 2);
    // Cut in the channels: every part is there, so it passes; the loader takes what there is.
    EXPECT_EQ(store.CheckDocument(folder.write("t2.zrd", sample.substr(0, sample.find("CH100"))), code), 1);
    // Binary rubbish and an empty file.
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary.push_back(static_cast<char>((i * 131 + 7) & 0xff));
    EXPECT_EQ(store.CheckDocument(folder.write("b.zrd", binary), code), 0);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(store.CheckDocument(folder.write("e.zrd", ""), code), 0);
    EXPECT_EQ(code, 2);
}

} // namespace

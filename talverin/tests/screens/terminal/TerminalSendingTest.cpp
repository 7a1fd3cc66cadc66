// The terminal's sending rules: paste text, dragged rows, record bytes, and a text file read line
// by line with every kind of line end.
#include "screens/terminal/TerminalSending.h"

#include <platform/text.h>

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

using namespace talverin;

TEST(TerminalSendingTest, PasteRowsAndRecordsTakeTheirLineEndsAndFields)
{
    EXPECT_EQ(TerminalPasteText("A\r\nB\nC\rD\n\r\n"), "A\rB\rC\rD\r\r");
    EXPECT_TRUE(ScreenSends('\b') && ScreenSends('\n') && ScreenSends('\r') && ScreenSends(' ') && ScreenSends('~'));
    EXPECT_FALSE(ScreenSends('\t') || ScreenSends(0x7F) || ScreenSends(0x1B) || ScreenSends(0xE9));
    // A paste goes on at the echo; after a CR only when the driver waits again, not at a part of its reply.
    EXPECT_TRUE(PasteCharAnswered('A', "A") && !PasteCharAnswered('A', "") && !PasteCharAnswered('\r', ""));
    for (const char* heard : {"\r\n", "\r\nACC50\r\n", "\r\n:x", "\r\nA>"})
        EXPECT_FALSE(PasteCharAnswered('\r', heard)) << heard;
    for (const char* heard : {"\r\nACC50\r\n:", "\r\n#", "\r\n:>", "\r\n#>", "\r\n0001?"})
        EXPECT_TRUE(PasteCharAnswered('\r', heard)) << heard;

    struct Row {
        const char* text;
        bool shift;
        bool offer;
        const char* comment;
        const char* command;
    };
    const Row rows[] = {
        {"1,AB,2,3,4,5,Text,8,9,10,11,12", true, true, "\r\n;Text\r\n", "AB"},
        {"1,AB,2,3,4,5,Text,8,9,10,11,12", false, true, "", "AB"},
        {"1,AB,2,3,4,5,,8", true, false, "\r\n;\r\n", "AB"},  // offered only with a text to show
        {"1,AB,2,3,4", true, true, "", "AB"},                  // five fields: the name, Shift or not
        {"1,,2", false, false, "", ""},
        {"", false, true, "", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        const DraggedRow row = ParseDraggedRow(r.text, r.shift);
        EXPECT_EQ(row.offer, r.offer);
        EXPECT_EQ(row.comment, r.comment);
        EXPECT_EQ(row.command, r.command);
    }
    EXPECT_EQ(SaveRecordBytes("L1\r\nL2\nL3\r"), "L1\r\nL2\r\nL3\r");
}

TEST(TerminalSendingTest, FilesAreSentLineByLineAndEndWithALoneCarriageReturn)
{
    const auto folder = std::filesystem::temp_directory_path() / ("terminal-send-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "a.txt").string();
    const std::string longLine(10000, 'X');
    ASSERT_TRUE(plat::WriteFileAtomic(path, ";c\r;d\nV" + std::string(1, '\0') + "R\r\r\n" + longLine + "\n;e"));

    TerminalFileSender f;
    ASSERT_TRUE(f.open(path));
    std::filesystem::remove(path); // an open file stays readable
    auto step = f.first(false);
    EXPECT_EQ(step.show, ";c\r\n;d\r\nVR\r\n");
    EXPECT_EQ(step.send, "VR\r");
    step = f.next(false);
    EXPECT_EQ(step.send, "\r");
    EXPECT_EQ(f.next(false).send, longLine + "\r");
    step = f.next(false);
    EXPECT_EQ(step.show, ";e\r\n");
    EXPECT_FALSE(step.send);
    step = f.next(false);
    EXPECT_EQ(step.send, "\r");
    EXPECT_FALSE(f.isOpen());

    // Only comments: ended at once with a lone CR. Escape after a comment waits for the next text.
    ASSERT_TRUE(plat::WriteFileAtomic(path, ";only\n"));
    ASSERT_TRUE(f.open(path));
    step = f.first(false);
    EXPECT_EQ(step.show, ";only\r\n\r\n");
    EXPECT_EQ(step.send, "\r");
    EXPECT_FALSE(f.isOpen());
    ASSERT_TRUE(plat::WriteFileAtomic(path, ";c\nVR\n"));
    ASSERT_TRUE(f.open(path));
    EXPECT_FALSE(f.first(true).send);
    EXPECT_TRUE(f.isOpen());
    EXPECT_EQ(f.next(true).send, "VR\r");
    EXPECT_FALSE(f.isOpen());

    EXPECT_FALSE(f.open((folder / "gone.txt").string()));
    EXPECT_FALSE(f.open(folder.string()));
    std::filesystem::remove_all(folder);
}

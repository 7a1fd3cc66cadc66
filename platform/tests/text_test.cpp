#include "platform/errors.h"
#include "platform/text.h"

#include "atomic_write_faults.h"
#include <testsupport/temp_folder.h>
#include <testsupport/unprivileged.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(TextLines, EveryLineEndCountsOnceAndALastUnendedLineIsKept)
{
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("a"), Lines{"a"});
    EXPECT_EQ(SplitLines("a\n"), Lines{"a"});
    EXPECT_EQ(SplitLines("\n"), Lines{""});
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\r\nb\n\rc"), (Lines{"a", "", "b", "", "c"}));
    EXPECT_EQ(SplitLines("x\0y\n"s), Lines{"x\0y"s});
}

TEST(TextLines, IncrementalReaderJoinsACrLfSplitAcrossPieces)
{
    LineReader r;
    r.feed("one\r");
    std::string line;
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "one");
    EXPECT_FALSE(r.next(line));
    r.feed("\ntwo\rthr"); // the LF belongs to the CR before it
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "two");
    EXPECT_FALSE(r.next(line));
    r.feed("ee\n\n");
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "three");
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "");
    r.feed("tail");
    EXPECT_EQ(r.finish(), std::optional<std::string>("tail"));
    EXPECT_TRUE(r.empty());
    EXPECT_EQ(r.finish(), std::nullopt);

    // Byte by byte gives the same lines as all at once.
    const std::string text = "a\r\nb\rc\n\r\nd\r";
    LineReader bytewise;
    Lines got;
    for (char c : text) {
        bytewise.feed(std::string_view(&c, 1));
        while (bytewise.next(line))
            got.push_back(line);
    }
    EXPECT_EQ(got, SplitLines(text));
}

TEST(TextEncoding, Utf8IsKeptAndShiftJisIsConverted)
{
    TextEncoding enc{};
    EXPECT_EQ(DecodeText("plain ascii", &enc), "plain ascii");
    EXPECT_EQ(enc, TextEncoding::Utf8);
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF\xE3\x83\xA2", &enc), "\xE3\x83\xA2"); // BOM dropped
    EXPECT_EQ(enc, TextEncoding::Utf8);
    // "モータ" and a path with a backslash, in code page 932.
    EXPECT_EQ(DecodeText("\x83\x82\x81\x5B\x83\x5E C:\\dir", &enc),
              "\xE3\x83\xA2\xE3\x83\xBC\xE3\x82\xBF C:\\dir");
    EXPECT_EQ(enc, TextEncoding::ShiftJis);
    // Half-width katakana and a bad lead byte at the end.
    EXPECT_EQ(DecodeText("\xB1\x81"), "\xEF\xBD\xB1\xEF\xBF\xBD");
    EXPECT_EQ(EncodeShiftJis("\xE3\x83\xA2\xE3\x83\xBC\xE3\x82\xBF"),
              std::optional<std::string>("\x83\x82\x81\x5B\x83\x5E"));
    EXPECT_EQ(EncodeShiftJis("\xF0\x9F\x98\x80"), std::nullopt); // no Shift_JIS form
}

TEST(TextEncoding, Utf8ValidityIsStrict)
{
    EXPECT_TRUE(IsValidUtf8("\xE3\x83\xA2\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE3\x83"));         // cut off
    EXPECT_FALSE(IsValidUtf8("\x83\x82"));         // Shift_JIS
}

TEST(TextStrings, TrimAndCaseInsensitiveHelpers)
{
    EXPECT_EQ(Trim(" \t\r\nab c\v\f "), "ab c");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_TRUE(EqualsNoCase("Setting", "SETTING"));
    EXPECT_FALSE(EqualsNoCase("Setting", "Settings"));
    EXPECT_FALSE(EqualsNoCase("\xE3\x83\xA2", "\xE3\x83\xA3"));
    EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(CompareNoCase("b", "A"), 0);
    EXPECT_LT(CompareNoCase("ab", "ABC"), 0);
    EXPECT_TRUE(StartsWithNoCase("COM12", "com"));
    EXPECT_TRUE(EndsWithNoCase("report.HTML", ".html"));
    EXPECT_EQ(FindNoCase("a Unit: X", "unit:"), 2u);
    EXPECT_EQ(FindNoCase("abc", "abcd"), std::string_view::npos);
}

class AtomicWriteTest : public ::testing::Test {
protected:
    test::TempFolder dir;
    std::string path = dir.file("doc.zrd");
};

TEST_F(AtomicWriteTest, ReplacesContentsAndKeepsPermissionsAndLinks)
{
    ASSERT_TRUE(WriteFileAtomic(path, "first\r\n"));
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomic(path, "second"));
    EXPECT_EQ(test::readBytes(path), "second");
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const std::string link = dir.file("link.zrd");
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteFileAtomic(link, "through the link"));
    struct stat lst {};
    ::lstat(link.c_str(), &lst);
    EXPECT_TRUE(S_ISLNK(lst.st_mode));
    EXPECT_EQ(test::readBytes(path), "through the link");
    EXPECT_EQ(test::fileCount(dir.path()), 2u);

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes));
    EXPECT_EQ(bytes, "through the link");
}

TEST_F(AtomicWriteTest, EveryFailingStepKeepsTheOldFileAndReportsTheError)
{
    using detail::AtomicWriteStep;
    ASSERT_TRUE(WriteFileAtomic(path, "old"));
    const std::pair<AtomicWriteStep, int> faults[] = {
        {AtomicWriteStep::Create, EACCES}, {AtomicWriteStep::Write, ENOSPC},
        {AtomicWriteStep::Sync, EIO},      {AtomicWriteStep::Close, EDQUOT},
        {AtomicWriteStep::Rename, EXDEV}};
    for (const auto& [step, err] : faults) {
        detail::SetAtomicWriteFault(step, err);
        EXPECT_FALSE(WriteFileAtomic(path, std::string(100000, 'n')));
        detail::SetAtomicWriteFault(AtomicWriteStep::None, 0);
        EXPECT_EQ(GetLastError(), ErrorFromErrno(err));
        EXPECT_EQ(GetLastErrno(), err) << "the reason is kept apart from its Win32 code";
        EXPECT_EQ(test::readBytes(path), "old");
        EXPECT_EQ(test::fileCount(dir.path()), 1u) << "temporary file left behind";
    }
    EXPECT_EQ(ErrorFromErrno(ENOSPC), ERROR_DISK_FULL);
}

TEST_F(AtomicWriteTest, MissingFolderReadOnlyFolderAndFolderTargetFail)
{
    EXPECT_FALSE(WriteFileAtomic(dir.file("none/x"), "x"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(WriteFileAtomic(dir.path(), "x"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(WriteFileAtomic("", "x"));

    ASSERT_TRUE(WriteFileAtomic(path, "old"));
    ::chmod(path.c_str(), 0666);
    ::chmod(dir.path().c_str(), 0555);
    const std::string p = path;
    EXPECT_TRUE(test::runUnprivileged(
        [&] { return !WriteFileAtomic(p, "new") && GetLastError() == ERROR_ACCESS_DENIED; }));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(test::readBytes(path), "old");
}

TEST_F(AtomicWriteTest, ReadingMissingFileOrFolderFails)
{
    std::string bytes = "stale";
    EXPECT_FALSE(ReadFileBytes(dir.file("none"), bytes));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(ReadFileBytes(dir.path(), bytes));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    test::writeBytes(path, "\x83\x82\r\nline2\rline3");
    Lines lines;
    TextEncoding enc{};
    ASSERT_TRUE(ReadTextLines(path, lines, &enc));
    EXPECT_EQ(lines, (Lines{"\xE3\x83\xA2", "line2", "line3"}));
    EXPECT_EQ(enc, TextEncoding::ShiftJis);
}

TEST(Errors, LastErrorIsPerThreadAndErrnoMapsToWin32Codes)
{
    SetLastError(ERROR_ACCESS_DENIED);
    std::thread([] {
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
        SetLastError(ERROR_FILE_NOT_FOUND);
    }).join();
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ErrorFromErrno(ENOENT), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorFromErrno(ENOTDIR), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(ErrorFromErrno(EACCES), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ErrorFromErrno(EEXIST), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(ErrorFromErrno(EBADF), ERROR_INVALID_HANDLE);
    EXPECT_EQ(ErrorFromErrno(ERANGE), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(SetLastErrorFromErrno(ENOSPC), ERROR_DISK_FULL);
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(ErrorText(ERROR_FILE_NOT_FOUND), "The system cannot find the file specified.");
    EXPECT_EQ(ErrorText(99999), "Error 99999.");
    // A box's reason: the errno's words, the nearest errno's for a bare code, none if not the system's.
    EXPECT_EQ(LastErrorReason(), "No space left on device");
    SetLastError(ERROR_WRITE_PROTECT);
    EXPECT_EQ(GetLastErrno(), EROFS);
    SetLastError(ERROR_INVALID_DATA);
    EXPECT_EQ(LastErrorReason(), "");
}

} // namespace
} // namespace plat

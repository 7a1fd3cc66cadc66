// Snapshots read what the single-key functions read; edits write many changes in one rewrite; a
// rewrite keeps the bytes of every line it does not change and the file's first line end.
#include "platform/errors.h"
#include "platform/profile.h"
#include "platform/text.h"

#include <testsupport/temp_folder.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plat {
namespace {

using namespace std::string_literals;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

class ProfileSnapshotTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string ini = dir.file("Talverin.ini");
};

// The files the single-key tests read, and some worse ones.
const std::vector<std::string> kFiles = {
    "[A]\nx=1\r\ny=2\rz=3\r\r\n[B]\rw=4",
    "junk\r\nstray=before\r\n[Good]\r\nno equals\r\n=blank\r\nbin\x00\x01\xff=\x80\x81\r\n"
    "[Unclosed\r\nk=in unclosed\r\n[]\r\nk=nameless\r\n[good]\r\nlate=yes\r\nkey=first\r\nKEY=second\r\n"
    "[Good] trailing\r\ncr=only\rafter=cr\r"s,
    "[Unit]\r\nName=\x83\x82\x81\x5b\x83\x5e\r\nUtf=\xe3\x83\xa2\r\n",
    " [ S ] \r\n n = ' quoted ' \r\nq=\"x\"\r\nint= -12abc\r\nempty=\r\nbig=99999999999\r\n",
    "\xEF\xBB\xBF[Bom]\r\nk=v\r\n",
    "\x00\x01\x02\xff\xfe\n[\x00]\n=\n"s,
    "",
};

TEST_F(ProfileSnapshotTest, EveryReadEqualsTheSingleKeyReadWithTheSameLastError)
{
    for (const std::string& bytes : kFiles) {
        writeBytes(ini, bytes);
        const profile::Snapshot snap(ini);
        // The file's lines as a reader of many sections has them: split, decoded line by line.
        std::vector<std::string> decoded;
        for (std::string& line : SplitLines(std::string_view(bytes).substr(bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0)))
            decoded.push_back(IsValidUtf8(line) ? line : DecodeText(line));
        const std::vector<std::string_view> lines(decoded.begin(), decoded.end());
        std::vector<std::string> sections = profile::sectionNames(ini);
        EXPECT_EQ(snap.sectionNames(), sections);
        sections.insert(sections.end(), {"Missing", " a ", "GOOD", ""});
        for (const std::string& s : sections) {
            std::vector<std::string> keys = profile::keyNames(ini, s);
            EXPECT_EQ(snap.keyNames(s), keys);
            EXPECT_EQ(snap.hasSection(s), profile::hasSection(ini, s)) << s;
            const auto entries = snap.sectionEntries(s), direct = profile::sectionEntries(ini, s);
            const auto ofLines = profile::sectionEntriesOfLines(lines, s);
            ASSERT_EQ(entries.size(), direct.size());
            ASSERT_EQ(ofLines.size(), direct.size());
            for (std::size_t i = 0; i < entries.size(); ++i) {
                EXPECT_EQ(entries[i].key + "=" + entries[i].value, direct[i].key + "=" + direct[i].value);
                EXPECT_EQ(ofLines[i].key + "=" + ofLines[i].value, direct[i].key + "=" + direct[i].value);
            }
            keys.insert(keys.end(), {"nokey", " X ", "key"});
            for (const std::string& k : keys) {
                const auto direct = profile::find(ini, s, k);
                const DWORD directError = GetLastError();
                EXPECT_EQ(snap.find(s, k), direct) << s << "/" << k;
                EXPECT_EQ(GetLastError(), directError);
                EXPECT_EQ(snap.getInt(s, k, -7), profile::getInt(ini, s, k, -7));
                EXPECT_EQ(snap.getString(s, k, "def  "), profile::getString(ini, s, k, "def  "));
            }
        }
    }
    const profile::Snapshot missing(dir.file("none.ini"));
    EXPECT_EQ(missing.error(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing.getInt("A", "x", 5), 5);
    EXPECT_TRUE(missing.sectionNames().empty());
}

TEST_F(ProfileSnapshotTest, ALargeFileIsReadOnceAndStaysAsTaken)
{
    std::string bytes = "[Big]\r\n";
    for (int i = 0; i < 200000; ++i)
        bytes += "key" + std::to_string(i) + "=" + std::string(40, 'v') + std::to_string(i) + "\r\n";
    ASSERT_GT(bytes.size(), 10u << 20);
    writeBytes(ini, bytes);
    const profile::Snapshot snap(ini);
    EXPECT_EQ(snap.error(), ERROR_SUCCESS);
    EXPECT_EQ(snap.getString("big", "KEY199999"), std::string(40, 'v') + "199999");
    writeBytes(ini, "[Big]\r\nkey1=changed\r\n");
    EXPECT_EQ(snap.getString("Big", "key1"), std::string(40, 'v') + "1"); // a snapshot, not a view
    EXPECT_EQ(snap.keyNames("Big").size(), 200000u);
}

TEST_F(ProfileSnapshotTest, AnEditWritesAllItsChangesAtOnceOrNothing)
{
    writeBytes(ini, "; keep me\r\n[Oscillo]\r\nParam1=a\r\nParam2=b\r\n[Old]\r\nx=1\r\n");
    profile::Edit edit(ini);
    EXPECT_TRUE(edit.setString("Oscillo", "Param1", "A"));
    EXPECT_TRUE(edit.removeKey("Oscillo", "Param2"));
    EXPECT_TRUE(edit.setInt("Setting", "EditChannel", 12));
    EXPECT_TRUE(edit.removeSection("Old"));
    EXPECT_FALSE(edit.setString("Oscillo", "bad", "two\nlines"));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(edit.setString("Bad]", "k", "v"));
    EXPECT_EQ(edit.pending(), 4u);
    EXPECT_EQ(readBytes(ini).find("Param1=A"), std::string::npos); // nothing before commit
    // Another writer meanwhile: its key survives the edit's commit.
    ASSERT_TRUE(profile::setString(ini, "Port", "Connect", "COM3"));
    ASSERT_TRUE(edit.commit());
    EXPECT_EQ(edit.pending(), 0u);
    EXPECT_EQ(readBytes(ini),
              "; keep me\r\n[Oscillo]\r\nParam1=A\r\n[Port]\r\nConnect=COM3\r\n\r\n[Setting]\r\nEditChannel=12\r\n");

    profile::Edit intoNowhere(dir.file("missing/Talverin.ini"));
    EXPECT_TRUE(intoNowhere.removeKey("A", "b"));
    EXPECT_TRUE(intoNowhere.commit()); // nothing to remove: nothing written, no folder needed
    EXPECT_TRUE(intoNowhere.setString("A", "b", "c"));
    EXPECT_FALSE(intoNowhere.commit());
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(intoNowhere.pending(), 1u); // kept for a retry
}

TEST_F(ProfileSnapshotTest, ARewriteKeepsUntouchedBytesAndTheFirstLineEnd)
{
    struct Case {
        std::string before, after;
    };
    const Case cases[] = {
        // A Shift_JIS comment and a line that decodes to nothing keep their bytes.
        {"; \x83\x82\x81\x5b\x83\x5e\r\n[A]\r\nbad=\xff\xfe\r\nk=1\r\n",
         "; \x83\x82\x81\x5b\x83\x5e\r\n[A]\r\nbad=\xff\xfe\r\nk=2\r\n"},
        {"[A]\rk=1\rother=x\r", "[A]\rk=2\rother=x\r"},                 // lone CR stays
        {"[A]\nk=1\r\nz=3\r\n", "[A]\nk=2\nz=3\n"},                      // the first line end wins
        {"\xEF\xBB\xBF[A]\r\nk=1\r\n", "\xEF\xBB\xBF[A]\r\nk=2\r\n"},      // the mark stays
    };
    for (const Case& c : cases) {
        writeBytes(ini, c.before);
        ASSERT_TRUE(profile::setString(ini, "A", "k", "2"));
        EXPECT_EQ(readBytes(ini), c.after);
    }
}

} // namespace
} // namespace plat

#include "platform/errors.h"
#include "platform/profile.h"

#include "atomic_write_faults.h"
#include <testsupport/temp_folder.h>
#include <testsupport/unprivileged.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace plat {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

std::string get(const std::string& file, const char* section, const char* key,
                const char* def = "", DWORD size = 1024, DWORD* result = nullptr)
{
    std::string buf(size, '\x7f');
    const DWORD n = GetPrivateProfileString(section, key, def, buf.data(), size, file.c_str());
    if (result)
        *result = n;
    return buf.substr(0, n);
}

// The raw buffer of a list read (section or key names), up to and including its double NUL.
std::string list(const std::string& file, const char* section, DWORD size, DWORD* result)
{
    std::string buf(size + 8, '\x7f'); // room to see that nothing is written past size
    *result = GetPrivateProfileString(section, nullptr, "", buf.data(), size, file.c_str());
    return buf;
}

class ProfileTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string ini = dir.file("Talverin.ini");
};

// ---- Reading ---------------------------------------------------------------------------------

TEST_F(ProfileTest, NamesIgnoreCaseValuesAreTrimmedAndOnePairOfQuotesGoes)
{
    writeBytes(ini, "[Setting]\r\n  Lang =  1041  \r\nTitle=\"  quoted  \"\r\nOne='x'\r\n"
                    "Odd=\"x'\r\nLone=\"\r\nInner=a\"b\"c\r\nEmpty=\r\n");
    EXPECT_EQ(get(ini, "setting", "LANG"), "1041");
    EXPECT_EQ(get(ini, " SETTING ", " lang "), "1041");
    EXPECT_EQ(get(ini, "Setting", "Title"), "  quoted  ");
    EXPECT_EQ(get(ini, "Setting", "One"), "x");
    EXPECT_EQ(get(ini, "Setting", "Odd"), "\"x'");
    EXPECT_EQ(get(ini, "Setting", "Lone"), "\"");
    EXPECT_EQ(get(ini, "Setting", "Inner"), "a\"b\"c");
    EXPECT_EQ(get(ini, "Setting", "Empty", "dflt"), "");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(profile::getString(ini, "SETTING", "title"), "  quoted  ");
    EXPECT_EQ(profile::find(ini, "Setting", "Empty"), std::optional<std::string>(""));
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefaultWithoutTrailingBlanks)
{
    EXPECT_EQ(get(dir.file("none.ini"), "Setting", "LANG", "dflt  "), "dflt");
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    writeBytes(ini, "[Setting]\nLANG=1\n");
    EXPECT_EQ(get(ini, "Other", "LANG", "  d"), "  d");
    EXPECT_EQ(get(ini, "Setting", "Nope", nullptr), "");
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(profile::getString(ini, "Setting", "Nope", "x "), "x");
    EXPECT_FALSE(profile::find(ini, "Setting", "Nope").has_value());
    EXPECT_TRUE(profile::sectionNames(dir.file("none.ini")).empty());
}

TEST_F(ProfileTest, LfCrLfAndLoneCrAllEndLines)
{
    writeBytes(ini, "[A]\nx=1\r\ny=2\rz=3\r\r\n[B]\rw=4");
    EXPECT_EQ(get(ini, "A", "x"), "1");
    EXPECT_EQ(get(ini, "A", "y"), "2");
    EXPECT_EQ(get(ini, "A", "z"), "3");
    EXPECT_EQ(get(ini, "B", "w"), "4");
    EXPECT_EQ(profile::keyNames(ini, "A"), (std::vector<std::string>{"x", "y", "z"}));
}

TEST_F(ProfileTest, MalformedFileKeepsEveryWellFormedKey)
{
    std::string bytes = "junk before any section\r\nstray=before\r\n[Good]\r\nno equals sign here\r\n"
                        "=blank key\r\n   =also blank\r\n";
    using namespace std::string_literals;
    bytes += "bin\x00\x01\xff\xfe=\x80\x81\r\n"s;
    bytes += "big=" + std::string(1 << 20, 'v') + "\r\n";
    bytes += "[Unclosed\r\nk=in unclosed\r\n[]\r\nk=in nameless\r\n[Good]\r\nlate=yes\r\n";
    bytes += "key=first\r\nkey=second\r\n[Good] trailing text\r\ncr=only\rafter=cr\r";
    writeBytes(ini, bytes);

    EXPECT_EQ(get(ini, "Good", "big", "", 1 << 21).size(), std::size_t(1) << 20);
    EXPECT_EQ(get(ini, "Good", "late"), "yes");
    EXPECT_EQ(get(ini, "Good", "key"), "first"); // first occurrence wins
    EXPECT_EQ(get(ini, "Good", "cr"), "only");
    EXPECT_EQ(get(ini, "Good", "after"), "cr");
    EXPECT_EQ(get(ini, "Unclosed", "k"), "in unclosed");
    EXPECT_EQ(get(ini, "Good", "stray", "none"), "none");
    EXPECT_EQ(get(ini, "Good", "no equals sign here", "none"), "none");
    const auto keys = profile::keyNames(ini, "Good");
    EXPECT_EQ(keys.size(), 6u); // bin..., big, late, key, cr, after
    EXPECT_EQ(profile::sectionNames(ini), (std::vector<std::string>{"Good", "Unclosed"}));

    // A write keeps every line it does not change, the odd ones included.
    ASSERT_TRUE(profile::setString(ini, "Good", "late", "no"));
    const std::string after = readBytes(ini);
    EXPECT_NE(after.find("junk before any section\r\n"), std::string::npos);
    EXPECT_NE(after.find("no equals sign here\r\n"), std::string::npos);
    EXPECT_NE(after.find("=blank key\r\n"), std::string::npos);
    EXPECT_NE(after.find("big=" + std::string(1 << 20, 'v') + "\r\n"), std::string::npos);
    EXPECT_EQ(get(ini, "Good", "late"), "no");
    EXPECT_EQ(get(ini, "Good", "after"), "cr");
    EXPECT_EQ(get(ini, "Unclosed", "k"), "in unclosed");
}

TEST_F(ProfileTest, ShiftJisLinesReadAsUtf8WithoutDisturbingOtherLines)
{
    // "Unit=" + the Japanese for "motor" in Shift_JIS, next to a UTF-8 line.
    writeBytes(ini, "[Unit]\r\nName=\x83\x82\x81\x5b\x83\x5e\r\nUtf=\xe3\x83\xa2\r\n");
    EXPECT_EQ(get(ini, "Unit", "Name"), "\xe3\x83\xa2\xe3\x83\xbc\xe3\x82\xbf");
    EXPECT_EQ(get(ini, "Unit", "Utf"), "\xe3\x83\xa2");
}

TEST_F(ProfileTest, IntegerRules)
{
    writeBytes(ini, "[N]\na=  42xyz\nb=-7\nc=abc\nd=\ne=+12\nf=4294967295\n");
    const char* f = ini.c_str();
    EXPECT_EQ(GetPrivateProfileInt("N", "a", 5, f), 42u);
    EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("N", "b", 5, f)), -7);
    EXPECT_EQ(GetPrivateProfileInt("N", "c", 5, f), 0u);
    EXPECT_EQ(GetPrivateProfileInt("N", "d", 5, f), 5u); // empty value: the default
    EXPECT_EQ(GetPrivateProfileInt("N", "e", 5, f), 12u);
    EXPECT_EQ(GetPrivateProfileInt("N", "f", 5, f), 4294967295u);
    EXPECT_EQ(GetPrivateProfileInt("N", "missing", 5, f), 5u);
    EXPECT_EQ(profile::getInt(ini, "N", "b", 0), -7);
}

// ---- Enumerations and truncation -------------------------------------------------------------

TEST_F(ProfileTest, NullSectionListsSectionsAndNullKeyListsKeys)
{
    writeBytes(ini, "[One]\na=1\nb=2\n;c=3\n[Two]\n[one]\nB=dup\nd=4\n");
    DWORD n = 0;
    std::string buf = list(ini, nullptr, 64, &n);
    EXPECT_EQ(n, 8u);
    EXPECT_EQ(buf.substr(0, n + 1), std::string("One\0Two\0\0", 9));
    buf = list(ini, "ONE", 64, &n);
    EXPECT_EQ(buf.substr(0, n + 1), std::string("a\0b\0d\0\0", 7));
    // A missing section gives the default, double-ended so it also reads as a list.
    std::string def(16, '\x7f');
    n = GetPrivateProfileString("Three", nullptr, "dd", def.data(), 16, ini.c_str());
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(def.substr(0, 4), std::string("dd\0\0", 4));
    // An empty file is an empty list.
    writeBytes(ini, "");
    buf = list(ini, nullptr, 8, &n);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(buf.substr(0, 2), std::string("\0\0", 2));
}

TEST_F(ProfileTest, ListsThatDoNotFitEndCutWithTwoNulsAndSizeMinusTwo)
{
    writeBytes(ini, "[Alpha]\n[Beta]\n[Gamma]\n");
    DWORD n = 0;
    std::string buf = list(ini, nullptr, 9, &n); // "Alpha\0Be\0\0" would need 10
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(buf.substr(0, 9), std::string("Alpha\0B\0\0", 9));
    buf = list(ini, nullptr, 2, &n);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(buf.substr(0, 2), std::string("\0\0", 2));
    EXPECT_EQ(buf[2], '\x7f'); // nothing written past the buffer
    buf = list(ini, nullptr, 1, &n);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(buf[1], '\x7f');
}

TEST_F(ProfileTest, ValuesThatDoNotFitAreCutToSizeMinusOne)
{
    writeBytes(ini, "[S]\nk=abcdef\n");
    DWORD n = 0;
    std::string v = get(ini, "S", "k", "", 4, &n);
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(v, "abc");
    std::string buf(8, '\x7f');
    EXPECT_EQ(GetPrivateProfileString("S", "k", "", buf.data(), 7, ini.c_str()), 6u);
    EXPECT_EQ(buf.substr(0, 8), std::string("abcdef\0\x7f", 8));
    EXPECT_EQ(GetPrivateProfileString("S", "k", "", buf.data(), 0, ini.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileString("S", "k", "", nullptr, 10, ini.c_str()), 0u);
}

TEST_F(ProfileTest, SectionReadGivesKeyEqualsValueLines)
{
    writeBytes(ini, "[Unit]\n\tModelA = /units/a.def \n; old=x\nbroken\nModelB=\"b\"\n[Next]\nz=1\n");
    char buf[64];
    std::memset(buf, 0x7f, sizeof buf);
    const DWORD n = GetPrivateProfileSection("unit", buf, sizeof buf, ini.c_str());
    EXPECT_EQ(std::string(buf, n + 1), std::string("ModelA=/units/a.def\0ModelB=\"b\"\0\0", 32));
    EXPECT_EQ(n, 31u);
    std::memset(buf, 0x7f, sizeof buf);
    EXPECT_EQ(GetPrivateProfileSection("Unit", buf, 10, ini.c_str()), 8u);
    EXPECT_EQ(std::string(buf, 10), std::string("ModelA=/\0\0", 10));
    EXPECT_EQ(GetPrivateProfileSection("None", buf, sizeof buf, ini.c_str()), 0u);

    const auto entries = profile::sectionEntries(ini, "UNIT");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].key, "ModelB");
    EXPECT_EQ(entries[1].value, "\"b\"");
}

// ---- Writing ---------------------------------------------------------------------------------

TEST_F(ProfileTest, WriteCreatesFileAndSectionsWithCrLf)
{
    ASSERT_TRUE(WritePrivateProfileString("Port", "COM1", "96,N,8,1", ini.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("Port", "Connect", "COM1", ini.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("Setting", "LANG", "1041", ini.c_str()));
    EXPECT_EQ(readBytes(ini), "[Port]\r\nCOM1=96,N,8,1\r\nConnect=COM1\r\n\r\n[Setting]\r\nLANG=1041\r\n");
    EXPECT_EQ(get(ini, "port", "com1"), "96,N,8,1");
}

TEST_F(ProfileTest, WriteReplacesTheValueInPlaceAndKeepsCommentsAndLfFiles)
{
    writeBytes(ini, "; settings\n[A]\nKey = old ; not a comment\nother=1\n\n; about B\n[B]\nx=1\n");
    ASSERT_TRUE(profile::setString(ini, "a", "KEY", "new"));
    ASSERT_TRUE(profile::setString(ini, "A", "added", "2"));
    EXPECT_EQ(readBytes(ini),
              "; settings\n[A]\nKey=new\nother=1\nadded=2\n\n; about B\n[B]\nx=1\n");
    // Writing the same value again leaves the file alone (a rewrite would make a new inode).
    struct stat before {};
    ::stat(ini.c_str(), &before);
    ASSERT_TRUE(profile::setString(ini, "A", "key", "new"));
    struct stat after {};
    ::stat(ini.c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST_F(ProfileTest, NullValueDeletesKeyAndNullKeyDeletesSection)
{
    writeBytes(ini, "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[a]\r\nx=again\r\n");
    ASSERT_TRUE(WritePrivateProfileString("A", "X", nullptr, ini.c_str()));
    EXPECT_EQ(readBytes(ini), "[A]\r\ny=2\r\n[B]\r\nz=3\r\n[a]\r\n");
    ASSERT_TRUE(WritePrivateProfileString("a", nullptr, nullptr, ini.c_str()));
    EXPECT_EQ(readBytes(ini), "[B]\r\nz=3\r\n");
    // Deleting what is not there succeeds and does not create the file.
    const std::string none = dir.file("none.ini");
    EXPECT_TRUE(WritePrivateProfileString("A", "x", nullptr, none.c_str()));
    EXPECT_TRUE(WritePrivateProfileString("A", nullptr, nullptr, none.c_str()));
    EXPECT_FALSE(test::fileExists(none));
}

TEST_F(ProfileTest, RefusesNamesAndValuesThatWouldChangeTheFilesMeaning)
{
    writeBytes(ini, "[A]\r\nx=1\r\n");
    const std::string before = readBytes(ini);
    const char* f = ini.c_str();
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "1\r\n[Evil]\r\ny=2", f));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(WritePrivateProfileString("A", "x=y", "1", f));
    EXPECT_FALSE(WritePrivateProfileString("A", "[k", "1", f));
    EXPECT_FALSE(WritePrivateProfileString("A", ";k", "1", f));
    EXPECT_FALSE(WritePrivateProfileString("A", "  ", "1", f));
    EXPECT_FALSE(WritePrivateProfileString("A]", "k", "1", f));
    EXPECT_FALSE(WritePrivateProfileString("", "k", "1", f));
    EXPECT_FALSE(WritePrivateProfileString(nullptr, "k", "1", f));
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "1", nullptr));
    EXPECT_EQ(readBytes(ini), before);
}

TEST_F(ProfileTest, WriteIntoMissingFolderFailsWithPathNotFound)
{
    EXPECT_FALSE(profile::setString(dir.file("no/such/x.ini"), "A", "k", "v"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(ProfileTest, WriteIntoReadOnlyFolderFailsAndKeepsTheOldFile)
{
    writeBytes(ini, "[A]\r\nk=old\r\n");
    ::chmod(ini.c_str(), 0666);
    ::chmod(dir.path().c_str(), 0555);
    const std::string file = ini;
    EXPECT_TRUE(test::runUnprivileged([&] {
        const bool failed = !profile::setString(file, "A", "k", "new") &&
                            GetLastError() == ERROR_ACCESS_DENIED;
        return failed && profile::getString(file, "A", "k") == "old";
    }));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readBytes(ini), "[A]\r\nk=old\r\n");
}

TEST_F(ProfileTest, ReadOnlyFileIsNotReplaced)
{
    writeBytes(ini, "[A]\r\nk=old\r\n");
    ::chmod(ini.c_str(), 0444);
    ::chmod(dir.path().c_str(), 0777);
    const std::string file = ini;
    EXPECT_TRUE(test::runUnprivileged([&] {
        return !profile::setString(file, "A", "k", "new") && GetLastError() == ERROR_ACCESS_DENIED;
    }));
    EXPECT_EQ(readBytes(ini), "[A]\r\nk=old\r\n");
}

TEST_F(ProfileTest, FailureAtAnyStepOfTheRewriteKeepsTheOldFileAndLeavesNoTemporary)
{
    using detail::AtomicWriteStep;
    writeBytes(ini, "[A]\r\nk=old\r\n");
    for (auto [step, err] : {std::pair{AtomicWriteStep::Create, ENOSPC},
                             std::pair{AtomicWriteStep::Write, ENOSPC},
                             std::pair{AtomicWriteStep::Sync, EIO},
                             std::pair{AtomicWriteStep::Close, EIO},
                             std::pair{AtomicWriteStep::Rename, EACCES}}) {
        detail::SetAtomicWriteFault(step, err);
        EXPECT_FALSE(profile::setString(ini, "A", "k", "new"));
        EXPECT_EQ(GetLastError(), ErrorFromErrno(err));
        detail::SetAtomicWriteFault(AtomicWriteStep::None, 0);
        EXPECT_EQ(readBytes(ini), "[A]\r\nk=old\r\n");
        EXPECT_EQ(test::fileCount(dir.path()), 1u);
    }
    EXPECT_TRUE(profile::setString(ini, "A", "k", "new"));
    EXPECT_EQ(profile::getString(ini, "A", "k"), "new");
}

TEST_F(ProfileTest, ConcurrentWritersInOneProcessLoseNoKeys)
{
    constexpr int kThreads = 8;
    constexpr int kKeys = 25;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([this, t] {
            for (int k = 0; k < kKeys; ++k) {
                const std::string key = "k" + std::to_string(t) + "_" + std::to_string(k);
                profile::setString(ini, "S" + std::to_string(t % 3), key, std::to_string(k));
                if (k % 5 == 0)
                    profile::removeKey(ini, "S" + std::to_string(t % 3), "gone");
            }
        });
    }
    for (auto& w : writers)
        w.join();
    for (int t = 0; t < kThreads; ++t) {
        for (int k = 0; k < kKeys; ++k) {
            const std::string key = "k" + std::to_string(t) + "_" + std::to_string(k);
            EXPECT_EQ(profile::getString(ini, "S" + std::to_string(t % 3), key), std::to_string(k))
                << key;
        }
    }
    EXPECT_EQ(profile::keyNames(ini, "S0").size() + profile::keyNames(ini, "S1").size() +
                  profile::keyNames(ini, "S2").size(),
              std::size_t(kThreads * kKeys));
}

} // namespace
} // namespace plat

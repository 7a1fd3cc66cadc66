#include "platform/errors.h"
#include "platform/profile.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace plat {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

std::string get(const std::string& file, const char* section, const char* key,
                const char* def = "", DWORD size = 1024)
{
    std::string buf(size, '\x7f');
    const DWORD n = GetPrivateProfileString(section, key, def, buf.data(), size, file.c_str());
    return buf.substr(0, n);
}

TEST(Profile, ReadsNamesCaseInsensitivelyTrimmedAndUnquoted)
{
    TempFolder dir;
    const std::string ini = dir.file("a.ini");
    writeBytes(ini, "[Setting]\r\n  Lang =  1041  \r\nTitle=\"  quoted  \"\r\nOne='x'\r\nOdd=\"x'\r\n");
    EXPECT_EQ(get(ini, "setting", "LANG"), "1041");
    EXPECT_EQ(get(ini, " SETTING ", "lang"), "1041");
    EXPECT_EQ(get(ini, "Setting", "Title"), "  quoted  ");
    EXPECT_EQ(get(ini, "Setting", "One"), "x");
    EXPECT_EQ(get(ini, "Setting", "Odd"), "\"x'");
    EXPECT_EQ(GetPrivateProfileInt("Setting", "lang", 7, ini.c_str()), 1041u);
}

TEST(Profile, WriteCreatesFileAndSectionAndReadsBack)
{
    TempFolder dir;
    const std::string ini = dir.file("new.ini");
    ASSERT_TRUE(WritePrivateProfileString("Port", "COM1", "96,N,8,1", ini.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("Port", "Connect", "COM1", ini.c_str()));
    EXPECT_EQ(readBytes(ini), "[Port]\r\nCOM1=96,N,8,1\r\nConnect=COM1\r\n");
    EXPECT_EQ(get(ini, "port", "com1"), "96,N,8,1");
}

} // namespace
} // namespace plat

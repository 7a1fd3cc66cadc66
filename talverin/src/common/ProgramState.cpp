#include "common/ProgramState.h"

#include <platform/profile.h>

namespace talverin {

namespace {

constexpr plat::DWORD kProfileValueSize = 1024;

} // namespace

int ProgramState::GetProfileText(std::string_view section, std::string_view key, std::string_view defaultValue,
                                 std::string& text) const
{
    char buffer[kProfileValueSize] = {};
    const std::string s(section);
    const std::string k(key);
    const std::string d(defaultValue);
    const plat::DWORD n = plat::GetPrivateProfileString(s.c_str(), k.c_str(), d.c_str(), buffer, sizeof buffer,
                                                        m_settingsPath.c_str());
    text.assign(buffer, n);
    return static_cast<int>(n);
}

plat::BOOL ProgramState::WriteProfileText(std::string_view section, std::string_view key, std::string_view text) const
{
    return plat::profile::setString(m_settingsPath, section, key, text) ? plat::TRUE : plat::FALSE;
}

} // namespace talverin

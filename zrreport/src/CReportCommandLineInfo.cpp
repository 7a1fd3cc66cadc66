#include "CReportCommandLineInfo.h"

#include <platform/report_viewer_lock.h>

#include <cctype>
#include <cstdint>
#include <limits>

namespace zrreport {

namespace {

bool IsSwitchLead(char c) { return c == '/' || c == '-'; }

// The decimal value of the leading digits, as the C library converts it; 0 when there are none or
// the value does not fit a process id.
plat::DWORD LeadingDecimal(std::string_view text)
{
    std::uint64_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > std::numeric_limits<plat::DWORD>::max()) return 0;
    }
    return static_cast<plat::DWORD>(value);
}

} // namespace

void CReportCommandLineInfo::ParseParam(std::string_view param)
{
    if (param.size() >= 2 && IsSwitchLead(param[0])) {
        const std::string_view flag = param.substr(1);
        if (flag.size() == 1 && (flag[0] == 'p' || flag[0] == 'P')) {
            m_nShellCommand = FilePrint;
            return;
        }
        if (flag.substr(0, 3) == "MOD") {
            m_nOwner = LeadingDecimal(flag.substr(3));
            return;
        }
    }
    if (m_strFileName.empty()) m_strFileName = std::string(param);
}

void CReportCommandLineInfo::Parse(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) ParseParam(argument);
}

std::string CReportCommandLineInfo::LockName() const
{
    std::string name(plat::kReportViewerLockPrefix);
    if (m_nOwner != 0) name += "_" + std::to_string(m_nOwner);
    return name;
}

} // namespace zrreport

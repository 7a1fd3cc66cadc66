// The viewer's command line: [/p] report-file /MODn. Only "/p" and "-p" (any case) and arguments
// that begin with "/MOD" or "-MOD" are switches; every other argument names the file, since a path
// here begins with "/" too. The first file argument wins, as the framework's parser keeps its first.
#pragma once

#include <platform/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace zrreport {

class CReportCommandLineInfo {
public:
    enum ShellCommand { FileOpen, FilePrint };

    // One argument (without the program name).
    void ParseParam(std::string_view param);
    // Every argument in order.
    void Parse(const std::vector<std::string>& arguments);

    // The viewer's lock: the prefix, followed by "_" and the owner when the owner is not 0.
    std::string LockName() const;

    ShellCommand m_nShellCommand = FileOpen;
    std::string m_strFileName;
    // The starting program's process id; 0 when "/MOD" gave no decimal digits (or none was given).
    plat::DWORD m_nOwner = 0;
};

} // namespace zrreport

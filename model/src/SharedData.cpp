#include "model/SharedData.h"

#include <platform/report_viewer_lock.h>

namespace model {

int FormatSharedMutexName(std::string& out)
{
    out = plat::ExpandModuleToken("VEKZR_MEM_MUTEX_%x");
    return 1;
}

int FormatSharedMemoryName(std::string& out)
{
    out = plat::ExpandModuleToken("VEKZR_MEM_%x");
    return 1;
}

int FormatPrintMutexName(std::string& out)
{
    out = std::string(plat::kReportViewerLockPrefix);
    return 1;
}

} // namespace model

#include "model/SharedData.h"

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
    out = "VEKZR_PRINT";
    return 1;
}

} // namespace model

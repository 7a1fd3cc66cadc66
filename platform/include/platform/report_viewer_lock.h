// The name of the report viewer's instance lock, shared by the viewer and the program that starts
// it: the prefix alone, or followed by "_" and the starting program's process id. The viewer holds
// the lock for its life; the starter probes it to know whether its viewer still runs.
#pragma once

#include <string_view>

namespace plat {

inline constexpr std::string_view kReportViewerLockPrefix = "VEKZR_PRINT";

} // namespace plat

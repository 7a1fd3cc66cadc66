// The registration program's work: register or unregister plug-in files through their own entry
// points, and list the registry.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ctl {

// args without the program name:
//   [--registry FILE] register PLUGIN...
//   [--registry FILE] unregister PLUGIN...
//   [--registry FILE] list
// Returns the exit code: 0 when everything succeeded, 1 when a plug-in failed, 2 for a usage error.
int runRegControls(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ctl

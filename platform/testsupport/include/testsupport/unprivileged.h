// Runs a check without the right to override file permissions, so that "read-only" tests mean
// the same when the suite runs as root (containers, CI).
#pragma once

#include <functional>

namespace plat::test {

// check() in a forked child running as nobody when we are root, directly otherwise. Returns
// check()'s result, false when the child could not run it.
bool runUnprivileged(const std::function<bool()>& check);

} // namespace plat::test

// Failure injection for the atomic file writer, so tests can check that every failing step
// leaves the old file in place (a full disk or a failing sync cannot be provoked on demand).
#pragma once

namespace plat::detail {

enum class AtomicWriteStep { None, Create, Write, Sync, Close, Rename };

// The next atomic writes fail at the step with the errno given, until reset with
// AtomicWriteStep::None. Process-wide.
void SetAtomicWriteFault(AtomicWriteStep step, int err);

} // namespace plat::detail

// The pseudo-terminal pair as the simulated driver holds it.
#pragma once

#include <string>

#include "drivesim/DriverSim.h"

namespace drivesim {

struct PtyPair {
    int master = -1;
    int keeper = -1;   // a slave descriptor never read: the master outlives the user's close
    std::string slavePath;
};

// posix_openpt, grantpt, unlockpt, raw mode through the master, the keeper. Empty on failure.
bool openPty(PtyPair& pty, std::string& error);
void closePty(PtyPair& pty);

bool readLineSettings(int master, LineSettings& settings);
// Wire time of one byte in nanoseconds at the line's framing and the given rate.
long long byteTimeNs(const LineSettings& settings, int baud);

} // namespace drivesim

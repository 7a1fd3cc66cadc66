// A pseudo-terminal for tests of serial code: the test holds the master end (non-blocking) and
// opens slave() as the "serial port".
#pragma once

#include <cstddef>
#include <string>

namespace plat::test {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool valid() const { return master >= 0 && !slave.empty(); }
    // What the slave side wrote and the master has not read yet (does not wait).
    std::string readAll();
    // Reads until at least count bytes came or timeoutMs passed; returns what was read.
    std::string readAtLeast(std::size_t count, int timeoutMs = 5000);

    int master = -1;
    std::string slave;
};

} // namespace plat::test

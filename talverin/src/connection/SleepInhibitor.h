// Holding off the system's sleep while the program is connected to the driver unit, when
// [Setting] QUERYSUSPEND=DENY asks for it: the login manager's "sleep" inhibitor in "block" mode,
// taken over the system bus and held as the file descriptor it hands out (closing it lets sleep
// happen again). Without a login manager or a bus nothing is held and nothing is said. Tests
// replace the way it is taken (SetSleepInhibitorTaker).
#pragma once

#include <functional>
#include <string_view>

namespace talverin {

// Takes the inhibitor: a file descriptor the caller owns, or -1 when none could be taken.
using SleepInhibitorTaker = std::function<int()>;

// The login manager's inhibitor (org.freedesktop.login1 Manager.Inhibit), -1 without one.
int TakeLoginManagerSleepInhibitor();
// Replaces the way it is taken (an empty function: the login manager's again); returns the one
// before.
SleepInhibitorTaker SetSleepInhibitorTaker(SleepInhibitorTaker taker);

// Does the [Setting] QUERYSUSPEND value deny sleep while connected ("DENY", in any case)?
bool DeniesSleepWhileConnected(std::string_view setting);

class SleepInhibitor {
public:
    SleepInhibitor() = default;
    ~SleepInhibitor() { Release(); }
    SleepInhibitor(const SleepInhibitor&) = delete;
    SleepInhibitor& operator=(const SleepInhibitor&) = delete;

    // Takes it unless it is held already; true while held.
    bool Hold();
    void Release();
    bool IsHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace talverin

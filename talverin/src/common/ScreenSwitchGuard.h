// The guard around screen switches and command-bar sends. Both run on the user-interface thread
// and pump messages while they wait for the driver, so a second request can arrive while the first
// is still running; it is dropped rather than waited for (a wait there could never end). The hold
// is released on every way out of the scope that took it.
#pragma once

namespace talverin {

class ScreenSwitchGuard {
public:
    class Hold {
    public:
        Hold() = default;
        ~Hold() { release(); }
        Hold(Hold&& other) noexcept : m_guard(other.m_guard) { other.m_guard = nullptr; }
        Hold& operator=(Hold&& other) noexcept
        {
            if (this != &other) {
                release();
                m_guard = other.m_guard;
                other.m_guard = nullptr;
            }
            return *this;
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

        // False when the guard was busy: the request must be dropped.
        explicit operator bool() const { return m_guard != nullptr; }

    private:
        friend class ScreenSwitchGuard;
        explicit Hold(ScreenSwitchGuard* guard) : m_guard(guard) {}
        void release()
        {
            if (m_guard)
                m_guard->m_busy = false;
            m_guard = nullptr;
        }
        ScreenSwitchGuard* m_guard = nullptr;
    };

    Hold TryTake()
    {
        if (m_busy)
            return Hold();
        m_busy = true;
        return Hold(this);
    }
    bool IsBusy() const { return m_busy; }

private:
    bool m_busy = false;
};

} // namespace talverin

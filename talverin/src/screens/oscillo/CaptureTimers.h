// The oscilloscope screen's timers as the capture uses them, by id: 1001 the status poll,
// 1002-1005 the delayed channel source sets, 1006 the data fetch, 1007 the re-arm, 1008 the data
// reply's progress while it comes in. Each expiry
// reaches OscilloCapture::OnTimer(id), which kills the timer first (they are one-shot in use).
#pragma once

#include <platform/types.h>

#include <cstdint>

namespace talverin {

namespace CaptureTimer {
inline constexpr unsigned Poll = 1001;     // IDT_CAPTURE_POLL
inline constexpr unsigned Source1 = 1002;  // IDT_SOURCE_QUERY, channel 1 .. (1005) channel 4
inline constexpr unsigned Fetch = 1006;    // IDT_CAPTURE_FETCH
inline constexpr unsigned Restart = 1007;  // IDT_CAPTURE_RESTART
inline constexpr unsigned FetchProgress = 1008; // the status pane's "Reading data" while a fetch runs
} // namespace CaptureTimer

class CaptureTimers {
public:
    virtual ~CaptureTimers() = default;
    // Sets or restarts the timer.
    virtual void set(unsigned id, unsigned ms) = 0;
    virtual void kill(unsigned id) = 0;
};

// The window timers of the screen's handle (plat::SetTimer); its WM_TIMER goes to OnTimer.
class WindowCaptureTimers final : public CaptureTimers {
public:
    explicit WindowCaptureTimers(plat::HWND window) : m_window(window) {}
    void set(unsigned id, unsigned ms) override;
    void kill(unsigned id) override;

private:
    plat::HWND m_window;
};

} // namespace talverin

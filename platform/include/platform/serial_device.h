// One serial device opened through termios: exclusive open, line settings from a DCB, reads of what
// is queued, writes with a deadline, purge, break and modem lines, and a wait for line events that a
// second file descriptor (an event's eventfd) can cancel.
#pragma once

#include <platform/dcb.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

struct termios;

namespace plat {

enum class SerialOpenError {
    None,
    Missing,          // no such device (or a "COMn" with no device behind it)
    NotATty,          // a directory, a regular file or any other thing that is no terminal
    PermissionDenied, // the device exists but this user may not open it
    InUse,            // another program (or another port object) holds it
    Other,
};

struct SerialOpenResult {
    SerialOpenError error = SerialOpenError::None;
    int sysError = 0;       // errno of the failing call
    std::string devicePath; // the path that was tried
    std::string message;    // a plain English sentence naming the device path
    bool ok() const { return error == SerialOpenError::None; }
};

// The sentence that SerialOpenResult::message holds, for callers that keep only the code.
std::string serialOpenErrorText(SerialOpenError error, int sysError, const std::string& devicePath);

// What SerialDevice::setState had to change because termios cannot do it.
inline constexpr unsigned SERIAL_NOTE_STOPBITS_15_AS_2 = 0x1;

// DCB <-> termios translation, without a device. Returns 0 or EINVAL for a value termios cannot
// take (unknown speed, data bits outside 5-8, parity above 4, stop bits above 2).
int dcbToTermios(const DCB& dcb, ::termios& t, unsigned* notes = nullptr);
void termiosToDcb(const ::termios& t, DCB& dcb);
// Speed constant for a baud rate (0 when termios has none) and back.
unsigned baudToSpeed(DWORD baud);
DWORD speedToBaud(unsigned speed);

struct SerialWriteResult {
    enum Status { Ok, TimedOut, Cancelled, Failed };
    Status status = Ok;
    std::size_t written = 0;
    int sysError = 0;
};

struct SerialWaitResult {
    // HungUp: the device is gone for good (the other side of a pseudo-terminal closed, a USB
    // adapter was unplugged); sysError says which (EIO, or ENODEV when the device node went too).
    enum Status { Events, TimedOut, Cancelled, Failed, HungUp };
    Status status = TimedOut;
    DWORD mask = 0; // EV_* bits that happened (only those of the event mask)
    int sysError = 0;
};

// Whether a read or write error means that the device is gone (hung up, unplugged), not that one
// transfer failed.
bool IsDeviceGoneError(int sysError);

class SerialDevice {
public:
    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens a port by name: "COMn" through the port-name map, an absolute path as given. The open is
    // exclusive (no second open through another SerialDevice of this process or another program that
    // honours the lock), never becomes the controlling terminal and does not block.
    SerialOpenResult open(const std::string& portName);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const std::string& devicePath() const { return m_path; }

    // Applies the settings (raw mode always). 0 or the errno of the failing call; EINVAL when the
    // device did not take a value (for instance an unsupported speed).
    int setState(const DCB& dcb, unsigned* notes = nullptr);
    // The settings as the device has them now (fields termios has no place for are the last set).
    int getState(DCB& dcb) const;

    void setEventMask(DWORD mask) { m_eventMask.store(mask); }
    DWORD eventMask() const { return m_eventMask.load(); }

    // Reads at most max bytes without waiting: the count, 0 when nothing is queued, -1 on an error
    // (errno in *sysError).
    long read(void* buffer, std::size_t max, int* sysError = nullptr);
    std::size_t inputQueueCount() const;
    std::size_t outputQueueCount() const;
    // Writes all bytes or gives up at the deadline (timeoutMs from now) or when cancelFd becomes
    // readable. A failure or time-out is remembered for clearErrors (CE_IOE, CE_TXFULL).
    SerialWriteResult write(const void* bytes, std::size_t n, DWORD timeoutMs, int cancelFd = -1);
    int purge(DWORD flags);
    // CE_* errors since the last call; the queue counts when asked for.
    DWORD clearErrors(std::size_t* inQueue = nullptr, std::size_t* outQueue = nullptr);
    // SETXOFF .. CLRBREAK: 0 or errno (a pseudo-terminal has no modem lines: ENOTTY/EINVAL).
    int escape(DWORD function);
    // MS_* bits. A device without modem lines reports CTS on, so that a clear-to-send check passes.
    DWORD modemStatus() const;
    bool hasModemLines() const;

    // Waits up to timeoutMs for an event of the event mask: bytes arrived, a modem line changed, a
    // break or line error, or an injected event. cancelFd (may be -1) ends the wait when readable.
    // A device that hung up is reported as HungUp at once the first time, then at the end of each
    // wait (which only cancelFd and injected events shorten): a caller cannot spin on it.
    SerialWaitResult waitEvent(int cancelFd, DWORD timeoutMs);
    // Makes the wait under way, or the next one, return these events as if the line had them (a
    // thread that has work for the waiting one; EV_RXCHAR with nothing queued is dropped by readers).
    void injectEvents(DWORD mask);

    // Test hooks, by device path; they also reach devices opened later at that path.
    static void setCtsForcedOff(const std::string& devicePath, bool off);
    static void injectLineEvents(const std::string& devicePath, DWORD mask);

private:
    friend struct SerialHookRegistry;
    DWORD takeLineEvents(bool deviceReadable);
    int hangUpError() const;

    int m_fd = -1;
    int m_hookFd = -1; // eventfd written when a test injects events
    std::string m_path;
    std::atomic<DWORD> m_eventMask{0};
    std::atomic<DWORD> m_injected{0};
    std::atomic<DWORD> m_writeErrors{0};
    mutable std::mutex m_stateMutex; // guards the remembered DCB and line baselines
    DCB m_dcb;
    DWORD m_lastModem = 0;
    bool m_hungUp = false;
    bool m_hangUpReported = false;
    struct Counts {
        int brk = 0, frame = 0, overrun = 0, parity = 0, bufOverrun = 0;
    } m_counts, m_eventCounts;
    bool m_haveCounts = false;
};

} // namespace plat

#include <platform/comm_port_names.h>
#include <platform/serial_device.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <map>
#include <poll.h>
#include <set>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace plat {

// Test hooks live by device path, so a test can reach a device that a library opened for itself.
struct SerialHookRegistry {
    struct Entry {
        bool ctsOff = false;
        std::set<SerialDevice*> devices;
    };
    std::mutex mutex;
    std::map<std::string, Entry> byPath;

    static SerialHookRegistry& get()
    {
        static auto* r = new SerialHookRegistry(); // never destroyed: devices may close at exit
        return *r;
    }
    void attach(SerialDevice* d)
    {
        std::lock_guard lock(mutex);
        byPath[d->m_path].devices.insert(d);
    }
    void detach(SerialDevice* d)
    {
        std::lock_guard lock(mutex);
        auto it = byPath.find(d->m_path);
        if (it != byPath.end())
            it->second.devices.erase(d);
    }
    bool ctsOff(const std::string& path)
    {
        std::lock_guard lock(mutex);
        auto it = byPath.find(path);
        return it != byPath.end() && it->second.ctsOff;
    }
};

namespace {

using SteadyClock = std::chrono::steady_clock;

long long msLeft(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return std::max<long long>(0, left.count());
}

void drainEventFd(int fd)
{
    std::uint64_t v;
    while (::read(fd, &v, sizeof v) == sizeof v) {}
}

SerialOpenError classify(int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return SerialOpenError::Missing;
    case EACCES:
    case EPERM: return SerialOpenError::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK: return SerialOpenError::InUse;
    case ENOTTY:
    case EISDIR:
    case ENOTDIR: return SerialOpenError::NotATty;
    default: return SerialOpenError::Other;
    }
}

} // namespace

std::string serialOpenErrorText(SerialOpenError error, int sysError, const std::string& devicePath)
{
    const std::string dev = devicePath.empty() ? std::string("(no device)") : devicePath;
    switch (error) {
    case SerialOpenError::None: return {};
    case SerialOpenError::Missing: return "Serial device " + dev + " does not exist.";
    case SerialOpenError::NotATty: return dev + " is not a serial device.";
    case SerialOpenError::PermissionDenied:
        return "Permission denied for serial device " + dev +
               " (the user must be a member of the group that owns it, usually \"dialout\").";
    case SerialOpenError::InUse: return "Serial device " + dev + " is in use by another program.";
    case SerialOpenError::Other: break;
    }
    return "Serial device " + dev + " cannot be opened: " + std::strerror(sysError) + ".";
}

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice()
{
    close();
}

SerialOpenResult SerialDevice::open(const std::string& portName)
{
    SerialOpenResult r;
    if (isOpen()) {
        r.error = SerialOpenError::InUse;
        r.sysError = EBUSY;
        r.devicePath = m_path;
        r.message = serialOpenErrorText(r.error, r.sysError, m_path);
        return r;
    }
    const std::string path = CommPortDevicePath(portName);
    r.devicePath = path;
    auto fail = [&](int err, int fd) {
        if (fd >= 0)
            ::close(fd);
        r.sysError = err;
        r.error = classify(err);
        r.message = serialOpenErrorText(r.error, err, path);
        return r;
    };
    if (path.empty())
        return fail(ENOENT, -1);

    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno, -1);
    if (!::isatty(fd))
        return fail(ENOTTY, fd);
    // Exclusive through the advisory lock alone: it keeps out every other opener that honours it
    // (and this process's own second open) and the kernel lets it go with its process. The
    // terminal's own exclusive mode is not used: it belongs to the device, outlives a process that
    // is killed, and then keeps every ordinary user out.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail(errno == EWOULDBLOCK ? EBUSY : errno, fd);
    int hook = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (hook < 0)
        return fail(errno, fd);

    m_fd = fd;
    m_hookFd = hook;
    m_path = path;
    m_injected.store(0);
    m_writeErrors.store(0);
    {
        std::lock_guard lock(m_stateMutex);
        m_dcb = DCB();
        ::termios t{};
        if (::tcgetattr(fd, &t) == 0)
            termiosToDcb(t, m_dcb);
        m_hungUp = m_hangUpReported = false;
        int lines = 0;
        m_lastModem = (::ioctl(fd, TIOCMGET, &lines) == 0) ? static_cast<DWORD>(lines) : 0;
        serial_icounter_struct ic{};
        m_haveCounts = ::ioctl(fd, TIOCGICOUNT, &ic) == 0;
        if (m_haveCounts)
            m_counts = m_eventCounts = {ic.brk, ic.frame, ic.overrun, ic.parity, ic.buf_overrun};
    }
    SerialHookRegistry::get().attach(this);
    return r;
}

void SerialDevice::close()
{
    if (m_fd < 0)
        return;
    SerialHookRegistry::get().detach(this);
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    ::close(m_hookFd);
    m_fd = -1;
    m_hookFd = -1;
}

int SerialDevice::setState(const DCB& dcb, unsigned* notes)
{
    if (m_fd < 0)
        return EBADF;
    ::termios t{};
    if (::tcgetattr(m_fd, &t) != 0)
        return errno;
    if (int err = dcbToTermios(dcb, t, notes))
        return err;
    if (::tcsetattr(m_fd, TCSANOW, &t) != 0)
        return errno;
    // tcsetattr succeeds when any part was taken: check that the line runs at the speed asked for.
    // (Data bits and parity are not checked: a pseudo-terminal always runs 8 bits without parity.)
    ::termios check{};
    if (::tcgetattr(m_fd, &check) != 0)
        return errno;
    if (::cfgetospeed(&check) != ::cfgetospeed(&t))
        return EINVAL;
    std::lock_guard lock(m_stateMutex);
    m_dcb = dcb;
    m_dcb.setFlag(DCB_fParity, dcb.Parity != NOPARITY);
    return 0;
}

int SerialDevice::getState(DCB& dcb) const
{
    if (m_fd < 0)
        return EBADF;
    ::termios t{};
    if (::tcgetattr(m_fd, &t) != 0)
        return errno;
    std::lock_guard lock(m_stateMutex);
    // The speed as the line runs; the rest as last set, since some devices (pseudo-terminals)
    // accept settings they do not keep.
    dcb = m_dcb;
    if (const DWORD baud = speedToBaud(::cfgetospeed(&t)))
        dcb.BaudRate = baud;
    return 0;
}

long SerialDevice::read(void* buffer, std::size_t max, int* sysError)
{
    if (sysError)
        *sysError = 0;
    if (m_fd < 0) {
        if (sysError)
            *sysError = EBADF;
        return -1;
    }
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, max);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return 0;
        if (sysError)
            *sysError = errno;
        return -1;
    }
}

std::size_t SerialDevice::inputQueueCount() const
{
    int n = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &n) != 0 || n < 0)
        return 0;
    return static_cast<std::size_t>(n);
}

std::size_t SerialDevice::outputQueueCount() const
{
    int n = 0;
    if (m_fd < 0 || ::ioctl(m_fd, TIOCOUTQ, &n) != 0 || n < 0)
        return 0;
    return static_cast<std::size_t>(n);
}

SerialWriteResult SerialDevice::write(const void* bytes, std::size_t n, DWORD timeoutMs, int cancelFd)
{
    SerialWriteResult r;
    if (m_fd < 0) {
        r.status = SerialWriteResult::Failed;
        r.sysError = EBADF;
        return r;
    }
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    const auto* p = static_cast<const unsigned char*>(bytes);
    while (r.written < n) {
        const ssize_t w = ::write(m_fd, p + r.written, n - r.written);
        if (w > 0) {
            r.written += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN) {
            r.status = SerialWriteResult::Failed;
            r.sysError = errno;
            if (errno == EIO)
                m_writeErrors.fetch_or(CE_IOE);
            return r;
        }
        const long long left = msLeft(deadline);
        if (left == 0) {
            r.status = SerialWriteResult::TimedOut;
            r.sysError = ETIMEDOUT;
            m_writeErrors.fetch_or(CE_TXFULL);
            return r;
        }
        pollfd fds[2] = {{m_fd, POLLOUT, 0}, {cancelFd, POLLIN, 0}};
        const int rc = ::poll(fds, cancelFd >= 0 ? 2 : 1, static_cast<int>(std::min<long long>(left, 1000)));
        if (rc < 0 && errno != EINTR) {
            r.status = SerialWriteResult::Failed;
            r.sysError = errno;
            return r;
        }
        if (cancelFd >= 0 && (fds[1].revents & POLLIN)) {
            r.status = SerialWriteResult::Cancelled;
            r.sysError = ECANCELED;
            return r;
        }
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            r.status = SerialWriteResult::Failed;
            r.sysError = EIO;
            m_writeErrors.fetch_or(CE_IOE);
            return r;
        }
    }
    return r;
}

int SerialDevice::purge(DWORD flags)
{
    if (m_fd < 0)
        return EBADF;
    const bool tx = flags & (PURGE_TXABORT | PURGE_TXCLEAR);
    const bool rx = flags & (PURGE_RXABORT | PURGE_RXCLEAR);
    const int which = tx && rx ? TCIOFLUSH : tx ? TCOFLUSH : rx ? TCIFLUSH : -1;
    if (which < 0)
        return 0;
    return ::tcflush(m_fd, which) == 0 ? 0 : errno;
}

DWORD SerialDevice::clearErrors(std::size_t* inQueue, std::size_t* outQueue)
{
    if (inQueue)
        *inQueue = inputQueueCount();
    if (outQueue)
        *outQueue = outputQueueCount();
    DWORD errors = m_writeErrors.exchange(0);
    if (m_fd < 0)
        return errors;
    serial_icounter_struct ic{};
    std::lock_guard lock(m_stateMutex);
    if (m_haveCounts && ::ioctl(m_fd, TIOCGICOUNT, &ic) == 0) {
        if (ic.overrun != m_counts.overrun)
            errors |= CE_OVERRUN;
        if (ic.frame != m_counts.frame)
            errors |= CE_FRAME;
        if (ic.parity != m_counts.parity)
            errors |= CE_RXPARITY;
        if (ic.buf_overrun != m_counts.bufOverrun)
            errors |= CE_RXOVER;
        if (ic.brk != m_counts.brk)
            errors |= CE_BREAK;
        m_counts = {ic.brk, ic.frame, ic.overrun, ic.parity, ic.buf_overrun};
    }
    return errors;
}

int SerialDevice::escape(DWORD function)
{
    if (m_fd < 0)
        return EBADF;
    int bits = 0;
    int rc = 0;
    switch (function) {
    case SETXOFF: rc = ::tcflow(m_fd, TCOOFF); break;
    case SETXON: rc = ::tcflow(m_fd, TCOON); break;
    case SETRTS:
        bits = TIOCM_RTS;
        rc = ::ioctl(m_fd, TIOCMBIS, &bits);
        break;
    case CLRRTS:
        bits = TIOCM_RTS;
        rc = ::ioctl(m_fd, TIOCMBIC, &bits);
        break;
    case SETDTR:
        bits = TIOCM_DTR;
        rc = ::ioctl(m_fd, TIOCMBIS, &bits);
        break;
    case CLRDTR:
        bits = TIOCM_DTR;
        rc = ::ioctl(m_fd, TIOCMBIC, &bits);
        break;
    case RESETDEV: return 0; // nothing to reset on this system
    case SETBREAK: rc = ::ioctl(m_fd, TIOCSBRK); break;
    case CLRBREAK: rc = ::ioctl(m_fd, TIOCCBRK); break;
    default: return EINVAL;
    }
    return rc == 0 ? 0 : errno;
}

bool SerialDevice::hasModemLines() const
{
    int lines = 0;
    return m_fd >= 0 && ::ioctl(m_fd, TIOCMGET, &lines) == 0;
}

DWORD SerialDevice::modemStatus() const
{
    DWORD status = 0;
    int lines = 0;
    if (m_fd >= 0 && ::ioctl(m_fd, TIOCMGET, &lines) == 0) {
        if (lines & TIOCM_CTS)
            status |= MS_CTS_ON;
        if (lines & TIOCM_DSR)
            status |= MS_DSR_ON;
        if (lines & TIOCM_RI)
            status |= MS_RING_ON;
        if (lines & TIOCM_CD)
            status |= MS_RLSD_ON;
    } else {
        // No modem lines (a pseudo-terminal): nothing holds the line back, so clear-to-send is on.
        status |= MS_CTS_ON;
    }
    if (SerialHookRegistry::get().ctsOff(m_path))
        status &= ~MS_CTS_ON;
    return status;
}

bool IsDeviceGoneError(int sysError)
{
    return sysError == EIO || sysError == ENODEV || sysError == ENXIO || sysError == EPIPE;
}

int SerialDevice::hangUpError() const
{
    // A device node that is gone too (an unplugged adapter) says more than the I/O error a hung-up
    // terminal gives for everything.
    struct stat st {};
    return !m_path.empty() && ::stat(m_path.c_str(), &st) != 0 ? ENODEV : EIO;
}

DWORD SerialDevice::takeLineEvents(bool deviceReadable)
{
    DWORD events = m_injected.exchange(0);
    if (deviceReadable)
        events |= EV_RXCHAR;
    std::lock_guard lock(m_stateMutex);
    int lines = 0;
    if (::ioctl(m_fd, TIOCMGET, &lines) == 0) {
        const DWORD changed = static_cast<DWORD>(lines) ^ m_lastModem;
        if (changed & TIOCM_CTS)
            events |= EV_CTS;
        if (changed & TIOCM_DSR)
            events |= EV_DSR;
        if (changed & TIOCM_CD)
            events |= EV_RLSD;
        if (changed & TIOCM_RI)
            events |= EV_RING;
        m_lastModem = static_cast<DWORD>(lines);
    }
    serial_icounter_struct ic{};
    if (m_haveCounts && ::ioctl(m_fd, TIOCGICOUNT, &ic) == 0) {
        const Counts& b = m_eventCounts;
        if (ic.brk != b.brk)
            events |= EV_BREAK;
        if (ic.frame != b.frame || ic.overrun != b.overrun || ic.parity != b.parity || ic.buf_overrun != b.bufOverrun)
            events |= EV_ERR;
        // Events and comm errors keep baselines of their own: clearErrors reports the same counts.
        m_eventCounts = {ic.brk, ic.frame, ic.overrun, ic.parity, ic.buf_overrun};
    }
    return events;
}

SerialWaitResult SerialDevice::waitEvent(int cancelFd, DWORD timeoutMs)
{
    SerialWaitResult r;
    if (m_fd < 0) {
        r.status = SerialWaitResult::Failed;
        return r;
    }
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    // Modem lines and line errors have no poll event: look at them every slice.
    const bool slices = hasModemLines() || m_haveCounts;
    for (;;) {
        bool hungUp;
        {
            std::lock_guard lock(m_stateMutex);
            hungUp = m_hungUp;
        }
        pollfd fds[3];
        int nfds = 0;
        fds[nfds++] = {m_hookFd, POLLIN, 0};
        const int cancelIdx = cancelFd >= 0 ? nfds : -1;
        if (cancelFd >= 0)
            fds[nfds++] = {cancelFd, POLLIN, 0};
        const int devIdx = hungUp ? -1 : nfds;
        if (!hungUp)
            fds[nfds++] = {m_fd, POLLIN, 0};

        const long long left = msLeft(deadline);
        const int wait = static_cast<int>(slices ? std::min<long long>(left, 50) : std::min<long long>(left, 1000));
        const int rc = ::poll(fds, static_cast<nfds_t>(nfds), wait);
        if (rc < 0 && errno != EINTR) {
            r.status = SerialWaitResult::Failed;
            return r;
        }
        if (cancelIdx >= 0 && (fds[cancelIdx].revents & POLLIN)) {
            r.status = SerialWaitResult::Cancelled;
            return r;
        }
        if (fds[0].revents & POLLIN)
            drainEventFd(m_hookFd);
        const short rev = devIdx >= 0 ? fds[devIdx].revents : 0;
        // Bytes that came before the hang-up are read first.
        const bool hangup = (rev & (POLLHUP | POLLERR | POLLNVAL)) && inputQueueCount() == 0;
        if (hangup) {
            // From now on the device is left out of the wait, so a dead line cannot spin it.
            std::lock_guard lock(m_stateMutex);
            m_hungUp = true;
        }
        const bool readable = (rev & POLLIN) && !hangup;
        const DWORD events =
            (hungUp || hangup ? m_injected.exchange(0) : takeLineEvents(readable)) & m_eventMask.load();
        if (events) {
            r.status = SerialWaitResult::Events;
            r.mask = events;
            return r;
        }
        bool report = false;
        {
            // At once the first time, afterwards only when the wait is over.
            std::lock_guard lock(m_stateMutex);
            report = m_hungUp && (!m_hangUpReported || msLeft(deadline) == 0);
            if (report)
                m_hangUpReported = true;
        }
        if (report) {
            r.status = SerialWaitResult::HungUp;
            r.sysError = hangUpError();
            return r;
        }
        if (msLeft(deadline) == 0) {
            r.status = SerialWaitResult::TimedOut;
            return r;
        }
        if (readable) {
            // Bytes are waiting but the mask does not ask for them: do not spin on them.
            ::usleep(static_cast<useconds_t>(std::min<long long>(msLeft(deadline), 10) * 1000));
        }
    }
}

void SerialDevice::setCtsForcedOff(const std::string& devicePath, bool off)
{
    auto& reg = SerialHookRegistry::get();
    std::lock_guard lock(reg.mutex);
    reg.byPath[devicePath].ctsOff = off;
}

void SerialDevice::injectLineEvents(const std::string& devicePath, DWORD mask)
{
    auto& reg = SerialHookRegistry::get();
    std::lock_guard lock(reg.mutex);
    auto it = reg.byPath.find(devicePath);
    if (it == reg.byPath.end())
        return;
    for (SerialDevice* d : it->second.devices)
        d->injectEvents(mask);
}

void SerialDevice::injectEvents(DWORD mask)
{
    if (m_hookFd < 0)
        return;
    m_injected.fetch_or(mask);
    const std::uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(m_hookFd, &one, sizeof one);
}

} // namespace plat

#include "SimEngine.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace drivesim {

namespace {
const std::string kProbe = "WWC\r\b\r";

timespec toTimespec(std::chrono::nanoseconds ns)
{
    if (ns.count() < 0)
        ns = std::chrono::nanoseconds(0);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ns.count() / 1'000'000'000LL);
    ts.tv_nsec = static_cast<long>(ns.count() % 1'000'000'000LL);
    return ts;
}

} // namespace

void DriverSim::Impl::wake() const
{
    const std::uint64_t one = 1;
    if (wakeFd >= 0) {
        ssize_t n = ::write(wakeFd, &one, sizeof one);
        (void)n;   // a full counter already wakes the thread
    }
}

void DriverSim::Impl::drainWake()
{
    std::uint64_t v = 0;
    ssize_t n = ::read(wakeFd, &v, sizeof v);
    (void)n;
}

void DriverSim::Impl::run()
{
    try {
        control();
        for (;;) {
            const int b = nextByte(std::nullopt);
            if (b >= 0)
                idleByte(static_cast<unsigned char>(b));
        }
    } catch (const Stopped&) {
        return;
    } catch (const HungUp&) {
    }
    // Hung up: nothing more to do but wait for stop().
    std::unique_lock lock(mu);
    while (!stopRequested) {
        lock.unlock();
        pollfd p{wakeFd, POLLIN, 0};
        ::poll(&p, 1, -1);
        drainWake();
        lock.lock();
    }
}

// ---- input ----

int DriverSim::Impl::nextByte(Deadline deadline)
{
    while (inpos >= inbuf.size()) {
        inbuf.clear();
        inpos = 0;
        if (!pendingEcho.empty()) {
            std::string e;
            e.swap(pendingEcho);
            writeOut(e);
        }
        if (!pump(deadline))
            return -1;
    }
    return static_cast<unsigned char>(inbuf[inpos++]);
}

// One wait for input or the deadline. Serves stop, hang-up and unsolicited output meanwhile.
bool DriverSim::Impl::pump(Deadline deadline)
{
    const std::size_t before = inbuf.size();
    for (;;) {
        control();
        flushUnsolicited();
        if (inbuf.size() > before)
            return true;
        pollfd p[2] = {{wakeFd, POLLIN, 0}, {master, static_cast<short>(stalled ? 0 : POLLIN), 0}};
        int rc;
        if (deadline) {
            const auto left = *deadline - Clock::now();
            if (left <= Clock::duration::zero()) {
                // Still take what already waits, so a zero deadline reads without blocking.
                rc = ::poll(p, 2, 0);
                if (rc <= 0)
                    return false;
            } else {
                const timespec ts = toTimespec(left);
                rc = ::ppoll(p, 2, &ts, nullptr);
            }
        } else {
            rc = ::ppoll(p, 2, nullptr, nullptr);
        }
        if (rc < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (p[0].revents & POLLIN)
            drainWake();
        if (p[1].revents & POLLIN) {
            readChunk();
        } else if (p[1].revents & (POLLHUP | POLLERR)) {
            // Only possible without a keeper; wait for a wake rather than spin.
            pollfd w{wakeFd, POLLIN, 0};
            ::poll(&w, 1, 50);
        }
        if (inbuf.size() > before)
            return true;
        if (deadline && Clock::now() >= *deadline && rc == 0)
            return false;
    }
}

// Options and faults as the API side left them. Also taken with each read, so whatever was set
// before the user wrote applies to what it wrote, even when the wake-up is served later.
void DriverSim::Impl::refreshLocked()
{
    o = opt;
    stalled = std::any_of(faults.begin(), faults.end(), [](const Armed& a) {
        return a.fault.kind == FaultKind::Stall && a.triggered;
    });
    summariseFaults();
    globalSilence = std::any_of(faults.begin(), faults.end(), [](const Armed& a) {
        return a.fault.kind == FaultKind::Silence && !a.fault.command && a.fault.persistent;
    });
}

// Requests from the API side that the thread must act on.
void DriverSim::Impl::control()
{
    std::optional<int> newRate;
    bool hang = false;
    {
        std::lock_guard lock(mu);
        if (stopRequested)
            throw Stopped{};
        if (hangUpRequested) {
            hangUpRequested = false;
            hang = true;
        } else {
            refreshLocked();
            newRate = requestedRate;
            requestedRate.reset();
            if (rate == 0 && o.initialRate > 0) {
                rate = o.initialRate;
                st.currentRate = rate;
            }
        }
    }
    if (hang) {
        doHangUp();
        throw HungUp{};
    }
    if (newRate)
        setSimRate(*newRate);
}

void DriverSim::Impl::flushUnsolicited()
{
    for (;;) {
        std::string bytes;
        {
            std::lock_guard lock(mu);
            if (outQueue.empty())
                return;
            // Options set before these bytes were queued apply to them, even when this loop began
            // before they were set.
            refreshLocked();
            bytes = std::move(outQueue.front());
            outQueue.pop_front();
        }
        writeOut(bytes);
        {
            std::lock_guard lock(mu);
            ++outWritten;
        }
        cv.notify_all();
    }
}

void DriverSim::Impl::readChunk()
{
    char buf[4096];
    ssize_t n;
    {
        // A stall armed after the poll that led here must still hold the bytes back: the faults
        // are looked at again under the lock that arming takes, and the read (which never blocks)
        // is made under it too, so no read can slip in after injectFault returned.
        std::lock_guard lock(mu);
        refreshLocked();
        if (stalled)
            return;
        do {
            n = ::read(master, buf, sizeof buf);
        } while (n < 0 && errno == EINTR);
    }
    if (n > 0)
        onChunk(std::string(buf, static_cast<std::size_t>(n)));
    // Otherwise EAGAIN, or EIO when no slave is open: nothing to take.
}

void DriverSim::Impl::onChunk(std::string bytes)
{
    {
        std::lock_guard lock(mu);
        refreshLocked();
        const std::size_t old = receivedAll.size();
        chunks.push_back({Clock::now(), bytes});
        receivedAll += bytes;
        st.bytesReceived += bytes.size();
        for (std::size_t pos = receivedAll.find(kProbe, old >= 5 ? old - 5 : 0);
             pos != std::string::npos; pos = receivedAll.find(kProbe, pos + 1))
            ++st.probes;
        if (bytes == "\b")
            ++st.loneBackspaces;
        else if (bytes == " ")
            ++st.loneBlanks;
        else if (bytes == "\b\r")
            ++st.backspaceCr;
        else if (bytes == "\r\b")
            ++st.crBackspace;
    }
    cv.notify_all();
    const bool mismatch = rateMismatch();   // also refreshes the line settings pacing uses
    if (o.pacing)
        sleepFor(std::chrono::nanoseconds(byteTimeNs(ls, rate) * static_cast<long long>(bytes.size())));
    if (globalSilence)
        return;
    if (mismatch) {
        {
            std::lock_guard lock(mu);
            st.noiseBytes += bytes.size();
        }
        if (o.noise == NoiseMode::Discard)
            return;
        for (char& c : bytes)
            c = static_cast<char>(0x80 | (static_cast<unsigned char>(c) >> 1));
    }
    inbuf += bytes;
}

bool DriverSim::Impl::rateMismatch()
{
    LineSettings now;
    if (!readLineSettings(master, now))
        return false;
    ls = now;
    bool adopted = false;
    {
        std::lock_guard lock(mu);
        st.lastPtySpeed = now.baud;
        if (rate == 0) {
            rate = now.baud;
            st.currentRate = rate;
            adopted = true;
        }
    }
    if (adopted)
        cv.notify_all();
    return o.speedEmulation && rate != now.baud;
}

void DriverSim::Impl::setSimRate(int baud)
{
    {
        std::lock_guard lock(mu);
        // 0 is the rate at power-up: the configured one, or the line's speed when bytes come.
        rate = baud == 0 ? o.initialRate : baud;
        st.currentRate = rate;
    }
    cv.notify_all();
}

// ---- output ----

// Bytes of the current response: split and slow faults shape them here.
void DriverSim::Impl::respond(const std::string& bytes)
{
    if (bytes.empty())
        return;
    const bool shaped = shape && (shape->byteDelay.count() > 0 || !shape->splitOffsets.empty() ||
                                  !shape->splitAfter.empty());
    if (!shaped) {
        respOffset += bytes.size();
        writeOut(bytes);
        return;
    }
    std::string pending;
    for (char c : bytes) {
        if (shape->byteDelay.count() > 0) {
            if (!pending.empty())
                writeOut(pending);
            pending.clear();
            sleepFor(shape->byteDelay);
        }
        pending += c;
        ++respOffset;
        respHistory += c;
        bool split = std::find(shape->splitOffsets.begin(), shape->splitOffsets.end(), respOffset) !=
                     shape->splitOffsets.end();
        for (const auto& s : shape->splitAfter)
            if (!s.empty() && respHistory.size() >= s.size() &&
                respHistory.compare(respHistory.size() - s.size(), s.size(), s) == 0)
                split = true;
        if (split) {
            writeOut(pending);
            pending.clear();
            sleepFor(shape->splitGap);
        }
    }
    if (!pending.empty())
        writeOut(pending);
}

// The physical path: garbling at a wrong rate, pacing, then the master.
void DriverSim::Impl::writeOut(const std::string& bytes)
{
    if (bytes.empty())
        return;
    std::string out;
    out.reserve(bytes.size());
    if (rateMismatch()) {
        for (char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            switch (o.garble) {
            case GarbleMode::HighBit: out += static_cast<char>(0x80 | (b >> 1)); break;
            case GarbleMode::Zero: out += '\0'; break;
            case GarbleMode::Drop: break;
            }
        }
        std::lock_guard lock(mu);
        st.garbledBytes += bytes.size();
    } else {
        out = bytes;
    }
    if (o.pacing) {
        // Each byte is due one byte time after the previous one, also across writes that follow
        // each other: a wake-up that came late is made up by the next bytes, as a wire keeps its
        // rate. After a pause the line starts afresh.
        const auto perByte = std::chrono::nanoseconds(byteTimeNs(ls, rate));
        auto due = std::max(Clock::now(), paceNext);
        for (char c : out) {
            writeAll(std::string(1, c));
            due += perByte;
            sleepFor(due - Clock::now());
        }
        paceNext = due;
    } else {
        writeAll(out);
    }
}

void DriverSim::Impl::writeAll(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            {
                std::lock_guard lock(mu);
                sentAll.append(bytes, done, static_cast<std::size_t>(n));
                sentWrites.push_back({Clock::now(), bytes.substr(done, static_cast<std::size_t>(n))});
                st.bytesSent += static_cast<std::uint64_t>(n);
            }
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return;   // the line is gone; what was not written is lost, as on a wire
        // The user does not read: keep taking its input meanwhile, so neither side blocks.
        pollfd p[2] = {{wakeFd, POLLIN, 0},
                       {master, static_cast<short>(POLLOUT | (stalled ? 0 : POLLIN)), 0}};
        if (::poll(p, 2, -1) < 0)
            continue;
        if (p[0].revents & POLLIN) {
            drainWake();
            control();
        }
        if (p[1].revents & POLLIN)
            readChunk();
    }
    cv.notify_all();
}

void DriverSim::Impl::sleepFor(std::chrono::nanoseconds ns)
{
    const auto until = Clock::now() + ns;
    for (;;) {
        const auto left = until - Clock::now();
        if (left <= Clock::duration::zero())
            return;
        pollfd p{wakeFd, POLLIN, 0};
        const timespec ts = toTimespec(left);
        if (::ppoll(&p, 1, &ts, nullptr) > 0) {
            drainWake();
            control();
        }
    }
}

void DriverSim::Impl::doHangUp()
{
    {
        std::lock_guard lock(mu);
        closePty(pty);
        master = -1;
        hungUp = true;
    }
    cv.notify_all();
}

} // namespace drivesim

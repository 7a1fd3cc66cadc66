#include "drivesim/DriverSim.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/eventfd.h>
#include <unistd.h>

#include "SimEngine.h"

namespace drivesim {

DriverSim::DriverSim(Options options) : d(std::make_unique<Impl>(std::move(options))) {}

DriverSim::~DriverSim() { stop(); }

bool DriverSim::start(std::string* error)
{
    std::unique_lock lock(d->mu);
    if (d->started) {
        if (error)
            *error = "already started";
        return false;
    }
    std::string why;
    if (!openPty(d->pty, why)) {
        if (error)
            *error = why;
        return false;
    }
    d->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (d->wakeFd < 0) {
        if (error)
            *error = std::string("eventfd: ") + std::strerror(errno);
        closePty(d->pty);
        return false;
    }
    d->master = d->pty.master;
    // A new line: nothing of a previous run's editing or hang-up carries over.
    d->hungUp = false;
    d->hangUpRequested = false;
    d->inbuf.clear();
    d->inpos = 0;
    d->line.clear();
    d->echoedUpTo = 0;
    d->pendingEcho.clear();
    d->held.clear();
    d->o = d->opt;
    d->rate = d->opt.initialRate;
    d->st.currentRate = d->rate;
    readLineSettings(d->master, d->ls);
    d->st.lastPtySpeed = d->ls.baud;
    d->stopRequested = false;
    d->started = true;
    d->thread = std::thread([impl = d.get()] { impl->run(); });
    return true;
}

void DriverSim::stop()
{
    {
        std::lock_guard lock(d->mu);
        if (!d->started)
            return;
        d->stopRequested = true;
    }
    d->wake();
    if (d->thread.joinable())
        d->thread.join();
    std::lock_guard lock(d->mu);
    closePty(d->pty);
    d->master = -1;
    if (d->wakeFd >= 0)
        ::close(d->wakeFd);
    d->wakeFd = -1;
    d->started = false;
    d->cv.notify_all();
}

bool DriverSim::running() const
{
    std::lock_guard lock(d->mu);
    return d->started && !d->hungUp;
}

std::string DriverSim::slavePath() const
{
    std::lock_guard lock(d->mu);
    return d->pty.slavePath;
}

int DriverSim::masterFd() const
{
    std::lock_guard lock(d->mu);
    return d->pty.master;
}

Options DriverSim::options() const
{
    std::lock_guard lock(d->mu);
    return d->opt;
}

void DriverSim::setOptions(const Options& options)
{
    {
        std::lock_guard lock(d->mu);
        d->opt = options;
    }
    d->wake();
}

int DriverSim::addCommand(Match match, Program program)
{
    return addCommand(std::move(match),
                      Responder([p = std::move(program)](const std::string&) { return p; }));
}

int DriverSim::addCommand(Match match, Responder responder)
{
    std::lock_guard lock(d->mu);
    const int id = d->nextId++;
    d->commands.push_back({id, std::move(match), std::move(responder)});
    return id;
}

void DriverSim::removeCommand(int id)
{
    std::lock_guard lock(d->mu);
    std::erase_if(d->commands, [id](const Impl::Command& c) { return c.id == id; });
}

void DriverSim::clearCommands()
{
    std::lock_guard lock(d->mu);
    d->commands.clear();
}

int DriverSim::injectFault(Fault fault)
{
    int id;
    {
        std::lock_guard lock(d->mu);
        id = d->nextId++;
        const bool now = !fault.command;
        if (fault.kind == FaultKind::HangUp && now) {
            d->hangUpRequested = true;
        } else {
            const bool triggered = fault.kind == FaultKind::Stall && now;
            d->faults.push_back({id, std::move(fault), triggered});
        }
    }
    d->wake();
    return id;
}

void DriverSim::clearFault(int id)
{
    {
        std::lock_guard lock(d->mu);
        std::erase_if(d->faults, [id](const Impl::Armed& a) { return a.id == id; });
    }
    d->wake();
}

void DriverSim::clearFaults()
{
    {
        std::lock_guard lock(d->mu);
        d->faults.clear();
    }
    d->wake();
}

void DriverSim::hangUp()
{
    {
        std::lock_guard lock(d->mu);
        d->hangUpRequested = true;
    }
    d->wake();
}

void DriverSim::sendRaw(std::string bytes)
{
    {
        std::lock_guard lock(d->mu);
        d->outQueue.push_back(std::move(bytes));
        ++d->outQueued;
    }
    d->wake();
}

void DriverSim::sendLine(const std::string& text) { sendRaw(text + "\r\n"); }

bool DriverSim::waitOutputDrained(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(d->mu);
    const auto target = d->outQueued;
    return d->cv.wait_for(lock, timeout, [&] { return d->outWritten >= target || !d->started; }) &&
           d->outWritten >= target;
}

void DriverSim::setRate(int baud)
{
    {
        std::lock_guard lock(d->mu);
        d->requestedRate = baud;
    }
    d->wake();
}

std::vector<Chunk> DriverSim::receivedChunks() const
{
    std::lock_guard lock(d->mu);
    return d->chunks;
}

std::string DriverSim::received() const
{
    std::lock_guard lock(d->mu);
    return d->receivedAll;
}

std::string DriverSim::sent() const
{
    std::lock_guard lock(d->mu);
    return d->sentAll;
}

std::vector<Chunk> DriverSim::sentChunks() const
{
    std::lock_guard lock(d->mu);
    return d->sentWrites;
}

std::vector<std::string> DriverSim::receivedLines() const
{
    std::lock_guard lock(d->mu);
    return d->lines;
}

std::vector<std::string> DriverSim::answers() const
{
    std::lock_guard lock(d->mu);
    return d->answerList;
}

std::vector<TranscriptEntry> DriverSim::transcript() const
{
    std::lock_guard lock(d->mu);
    return d->transcriptList;
}

std::string TranscriptEntry::str() const
{
    switch (kind) {
    case Kind::Line: return "L " + text;
    case Kind::Answer: return "A " + text;
    case Kind::Byte: break;
    }
    static const char* const kHex = "0123456789ABCDEF";
    std::string out = "B";
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        out += ' ';
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

Stats DriverSim::stats() const
{
    std::lock_guard lock(d->mu);
    return d->st;
}

int DriverSim::currentRate() const
{
    std::lock_guard lock(d->mu);
    return d->st.currentRate;
}

int DriverSim::lastPtySpeed() const
{
    std::lock_guard lock(d->mu);
    return d->st.lastPtySpeed;
}

LineSettings DriverSim::lineSettings() const
{
    std::lock_guard lock(d->mu);
    LineSettings s;
    readLineSettings(d->pty.master, s);
    return s;
}

bool DriverSim::waitForInput(const std::string& pattern, std::chrono::milliseconds timeout,
                             std::size_t from)
{
    std::unique_lock lock(d->mu);
    return d->cv.wait_for(lock, timeout, [&] {
        return from <= d->receivedAll.size() &&
               d->receivedAll.find(pattern, from) != std::string::npos;
    });
}

bool DriverSim::waitForStats(const std::function<bool(const Stats&)>& pred,
                             std::chrono::milliseconds timeout)
{
    std::unique_lock lock(d->mu);
    return d->cv.wait_for(lock, timeout, [&] { return pred(d->st); });
}

bool DriverSim::waitForLines(std::size_t count, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(d->mu);
    return d->cv.wait_for(lock, timeout, [&] { return d->lines.size() >= count; });
}

bool DriverSim::waitForTranscript(std::size_t count, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(d->mu);
    return d->cv.wait_for(lock, timeout, [&] { return d->transcriptList.size() >= count; });
}

} // namespace drivesim

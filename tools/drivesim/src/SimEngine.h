// The driver thread's side of DriverSim: line editor, response programs, faults, speed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Pty.h"
#include "drivesim/DriverSim.h"

namespace drivesim {

using Clock = std::chrono::steady_clock;
using Deadline = std::optional<Clock::time_point>;   // none: wait for ever

// What the faults armed for one line ask of its response.
struct LineFaults {
    bool drop = false;
    bool echoOnly = false;
    bool dropEchoCr = false;
    bool dropPrompt = false;
    bool promptBlank = false;
    bool stall = false;
    bool hangUp = false;
    bool noSwitch = false;
    bool verifySilence = false;
    std::optional<std::string> testError;
    std::optional<std::string> unlockError;
    std::optional<int> wrongRate;
    std::optional<std::string> mismatch;
    std::chrono::milliseconds echoDelay{0}, byteDelay{0}, promptDelay{0};
    std::vector<Fault> garbage;
    std::vector<int> dropReplyLines;
    std::vector<std::size_t> splitOffsets;
    std::vector<std::string> splitAfter;
    std::chrono::milliseconds splitGap{0};
};

struct DriverSim::Impl {
    struct Stopped {};
    struct HungUp {};

    explicit Impl(Options o) : opt(std::move(o)) {}

    // ---- shared with the API, under mu ----
    mutable std::mutex mu;
    std::condition_variable cv;
    Options opt;
    PtyPair pty;
    int wakeFd = -1;
    std::thread thread;
    bool started = false;
    bool stopRequested = false;
    bool hangUpRequested = false;
    bool hungUp = false;
    std::vector<Chunk> chunks;
    std::string receivedAll;
    std::string sentAll;
    std::vector<Chunk> sentWrites;
    std::vector<std::string> lines;
    std::vector<std::string> answerList;
    std::vector<TranscriptEntry> transcriptList;
    Stats st;
    std::deque<std::string> outQueue;
    std::uint64_t outQueued = 0;
    std::uint64_t outWritten = 0;
    std::optional<int> requestedRate;
    struct Command {
        int id;
        Match match;
        Responder responder;
    };
    std::vector<Command> commands;
    struct Armed {
        int id;
        Fault fault;
        bool triggered;   // Stall: in force
    };
    std::vector<Armed> faults;
    int nextId = 1;

    void wake() const;

    // ---- the driver thread only ----
    Options o;                 // snapshot of opt, refreshed each round
    int master = -1;
    bool stalled = false;
    // The lines of armed faults that shape the echo (none: every line), so the echo of a line
    // that may still become one of them waits for its CR, and only that.
    std::vector<std::optional<Match>> echoShapers;
    bool globalSilence = false;
    std::string inbuf;
    std::size_t inpos = 0;
    std::string line;          // the line being edited
    std::size_t echoedUpTo = 0;
    std::string pendingEcho;
    int rate = 0;
    LineSettings ls;
    // The response being written, for split and slow faults.
    const LineFaults* shape = nullptr;
    std::size_t respOffset = 0;
    std::string respHistory;
    bool garbageInReplyDue = false;
    std::string replyGarbage;
    std::string held;          // input kept while busy (queueInputWhileBusy)
    int replyLineIndex = 0;
    bool noPrompt = false;

    void run();
    void summariseFaults();    // under mu
    bool holdEcho(const std::string& partial) const;
    void note(TranscriptEntry::Kind kind, std::string text);
    void idleByte(unsigned char b);
    void processLine(const std::string& text);
    LineFaults collectFaults(const std::string& text);
    Program resolve(const std::string& text, const LineFaults& f);
    enum class RunEnd { Done, Cancelled };
    RunEnd runProgram(const Program& program);
    bool busyCancelled();
    bool waitBusy(std::chrono::milliseconds ms);
    void cancel();
    bool replyLine(const std::string& bytes);
    void busyByte(unsigned char b);

    int nextByte(Deadline deadline);
    bool pump(Deadline deadline);
    void control();
    void refreshLocked();
    void flushUnsolicited();
    void readChunk();
    void onChunk(std::string bytes);
    bool rateMismatch();
    void setSimRate(int baud);
    void respond(const std::string& bytes);
    void writeOut(const std::string& bytes);
    void writeAll(const std::string& bytes);
    void sleepFor(std::chrono::nanoseconds ns);
    Clock::time_point paceNext{};   // when the next paced byte is due at the earliest
    void drainWake();
    void doHangUp();
};

} // namespace drivesim

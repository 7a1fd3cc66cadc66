// A simulated motor driver on the master side of a pseudo-terminal. The communication library
// (or any serial program) opens slavePath() as its port. The driver runs in its own thread: a
// byte-wise line editor with echo and prompt, the built-in lines the library itself writes,
// scripted commands, line-speed emulation and injected faults. A DriverModel installed into it
// makes it a whole driver (DriverModel.h).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drivesim/Fault.h"
#include "drivesim/Program.h"

namespace drivesim {

enum class EchoTiming { PerByte, WholeLine };   // echo each byte as it comes, or the line at CR
enum class LineEnd { CrLf, Cr };                // what the echo of CR is
enum class GarbleMode { HighBit, Zero, Drop };  // sent bytes at a wrong rate: 0x80|(b>>1), 0x00, lost
enum class NoiseMode { Discard, CorruptLine };  // received bytes at a wrong rate

struct Options {
    std::string prompt = ":";                       // ":", "#", ":>" or "#>"
    EchoTiming echoTiming = EchoTiming::PerByte;
    LineEnd echoLineEnd = LineEnd::CrLf;
    std::string echoMarker;                         // e.g. "@x", between the echoed text and CR
    bool backspaceEcho = false;                     // BS erasing a byte echoes "\b \b"
    std::vector<std::string> identification{"KVX100A 1.00", "SYS 1.00"};   // answer to "MI"
    int initialRate = 0;                            // 0: the line's speed when bytes first come
    bool speedEmulation = true;
    GarbleMode garble = GarbleMode::HighBit;
    NoiseMode noise = NoiseMode::Discard;
    bool pacing = false;                            // take the wire time per byte, both ways
    bool queueInputWhileBusy = false;               // keep bytes that arrive during output
    bool promptAfterRateSwitch = false;             // "BDRn": a prompt at the new rate
    std::string verifyLine;                         // "BDV": a line before the prompt
    std::chrono::milliseconds splitGap{30};         // pause between the pieces of a split write
};

// The line settings the slave's user applied, as the master sees them.
struct LineSettings {
    int baud = 0;
    int dataBits = 8;
    char parity = 'N';          // 'N', 'E', 'O'
    int stopBits = 1;
    bool rtsCts = false;
    bool ixon = false;
    bool ixoff = false;
    // Raw mode: all of these are false.
    bool echo = false, icanon = false, isig = false, icrnl = false, inlcr = false, igncr = false,
         opost = false;
};

struct Stats {
    std::uint64_t probes = 0;            // "WWC\r\b\r" seen in the input
    std::uint64_t loneBackspaces = 0;    // reads that were exactly "\b"
    std::uint64_t loneBlanks = 0;        // exactly " "
    std::uint64_t backspaceCr = 0;       // exactly "\b\r"
    std::uint64_t crBackspace = 0;       // exactly "\r\b"
    std::uint64_t linesReceived = 0;     // lines the editor completed (CR)
    std::uint64_t bytesReceived = 0;
    std::uint64_t bytesSent = 0;
    std::uint64_t noiseBytes = 0;        // received at a wrong rate
    std::uint64_t garbledBytes = 0;      // sent at a wrong rate
    int currentRate = 0;                 // simulated rate (0: not yet taken from the line)
    int lastPtySpeed = 0;                // the line's speed when last looked at
};

struct Chunk {
    std::chrono::steady_clock::time_point time;   // monotonic
    std::string bytes;
};

// The received traffic in the order the driver took it: command lines, the answers to questions
// (block lines), and the direct bytes that were neither: a blank or backspace at a page, a
// backspace that stopped a reply or a question or came on an empty line, bytes during output.
struct TranscriptEntry {
    enum class Kind { Line, Answer, Byte };
    Kind kind = Kind::Line;
    std::string text;                              // without the CR; Byte: the one byte
    std::chrono::steady_clock::time_point time;    // monotonic
    // "L CH5", "A SPD500", "B 20" (the byte in hex): handy for comparing in tests.
    std::string str() const;
};

class DriverSim {
public:
    explicit DriverSim(Options options = {});
    ~DriverSim();   // stop()
    DriverSim(const DriverSim&) = delete;
    DriverSim& operator=(const DriverSim&) = delete;

    // Opens the pseudo-terminal (raw mode set through the master, a keeper slave descriptor
    // held open) and starts the thread. False with a reason when the system refuses.
    bool start(std::string* error = nullptr);
    // Ends the thread and closes everything. Safe to call twice.
    void stop();
    bool running() const;

    std::string slavePath() const;
    int masterFd() const;   // for tests that look at the line; never read it

    Options options() const;
    void setOptions(const Options& options);   // takes effect from the next received byte

    // Scripted commands are looked at before the built-in lines, the newest first.
    int addCommand(Match match, Program program);
    int addCommand(Match match, Responder responder);
    void removeCommand(int id);
    void clearCommands();

    int injectFault(Fault fault);
    void clearFault(int id);
    void clearFaults();
    void hangUp();   // close the keeper and the master now

    // Unsolicited output, written at the next opportunity (between commands or within one).
    void sendRaw(std::string bytes);
    void sendLine(const std::string& text);   // text + "\r\n"
    // Waits until everything given to sendRaw/sendLine so far is written.
    bool waitOutputDrained(std::chrono::milliseconds timeout);
    // Switches the simulated rate as a driver would on its own.
    void setRate(int baud);

    // Observation.
    std::vector<Chunk> receivedChunks() const;
    std::string received() const;                 // every byte read, in order
    std::string sent() const;                     // every byte written, after garbling
    std::vector<Chunk> sentChunks() const;        // each write to the master, as written
    std::vector<std::string> receivedLines() const;
    std::vector<std::string> answers() const;     // answers given to questions
    std::vector<TranscriptEntry> transcript() const;
    Stats stats() const;
    int currentRate() const;
    int lastPtySpeed() const;
    LineSettings lineSettings() const;            // tcgetattr on the master now

    // Block until `pattern` occurs in the received bytes at or after offset `from`; true when it
    // did before the timeout. Woken by the driver thread, never by polling.
    bool waitForInput(const std::string& pattern, std::chrono::milliseconds timeout,
                      std::size_t from = 0);
    // Block until the predicate holds for the counters.
    bool waitForStats(const std::function<bool(const Stats&)>& pred,
                      std::chrono::milliseconds timeout);
    // Block until the driver has completed `count` lines in total.
    bool waitForLines(std::size_t count, std::chrono::milliseconds timeout);
    // Block until the transcript holds `count` entries.
    bool waitForTranscript(std::size_t count, std::chrono::milliseconds timeout);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

// Speed helpers shared with the program and the tests.
int baudFromSpeed(unsigned speed);     // B9600 -> 9600; 0 when unknown
unsigned speedFromBaud(int baud);      // 9600 -> B9600; 0 when unknown

} // namespace drivesim

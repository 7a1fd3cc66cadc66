// Faults the simulated driver can be told to commit, so the library's failure paths can be driven.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "drivesim/Program.h"

namespace drivesim {

enum class FaultKind {
    Silence,           // drop input and answer nothing (global and persistent: every byte)
    EchoOnly,          // echo the line, then nothing
    Garbage,           // invalid bytes before, inside or after the echo, or in the reply
    DropLine,          // ignore the received line: no echo, no answer
    DropReplyLine,     // leave out reply line number `index` (0 = first)
    DropPrompt,        // no prompt at the end of the reply
    DropEchoCr,        // echo the text without its CR (and LF)
    EchoDelay,         // wait `delay` before the echo
    ByteDelay,         // wait `delay` before each byte of the response
    PromptDelay,       // wait `delay` before the prompt
    SplitWrites,       // the response in pieces: at `offsets`, after each of `splitAfter`;
                       // `delay` (else Options::splitGap) between them
    EchoMismatch,      // echo `bytes` (default: the line with its last byte changed) instead
    PromptBlank,       // a blank after the prompt
    Stall,             // stop reading the line until the fault is cleared
    HangUp,            // close the keeper and the master
    BaudTestError,     // "BDT..." answered with the error `bytes` (default "RANGE OVER")
    BaudUnlockError,   // "/TRX ON" answered with the error `bytes` (default "PASSWORD REQUIRED")
    BaudNoSwitch,      // "BDRn" echoed but the rate stays
    BaudWrongRate,     // "BDRn" switches to `rate` instead
    BaudVerifySilence, // "BDV" gets no answer at all
};

enum class GarbagePlace { BeforeEcho, InsideEcho, AfterEcho, InReply };

// A fault is global (no command) or tied to the command lines `command` matches; one-shot faults
// are used up by the first line they apply to (global ones by the next non-empty line).
// Stall and HangUp given without a command act at once.
struct Fault {
    FaultKind kind = FaultKind::Silence;
    std::optional<Match> command;
    bool persistent = false;
    std::chrono::milliseconds delay{0};
    std::string bytes;
    GarbagePlace place = GarbagePlace::AfterEcho;
    std::size_t offset = 0;   // Garbage inside the echo: after this many bytes of it
    int index = 0;            // DropReplyLine
    std::vector<std::size_t> offsets;        // SplitWrites: byte offsets into the response
    std::vector<std::string> splitAfter;     // SplitWrites: split right after each occurrence
    int rate = 0;             // BaudWrongRate

    Fault() = default;
    explicit Fault(FaultKind k) : kind(k) {}

    // Chainable set-up: Fault(FaultKind::EchoOnly).on("?SPD").always()
    Fault& on(Match m) { command = std::move(m); return *this; }
    Fault& on(const std::string& line) { command = Match::exact(line); return *this; }
    Fault& always() { persistent = true; return *this; }
    Fault& after(std::chrono::milliseconds ms) { delay = ms; return *this; }
    Fault& with(std::string b) { bytes = std::move(b); return *this; }
    Fault& at(GarbagePlace p, std::size_t off = 0) { place = p; offset = off; return *this; }
    Fault& line(int i) { index = i; return *this; }
    Fault& splitAt(std::vector<std::size_t> o) { offsets = std::move(o); return *this; }
    Fault& splitAfterText(std::vector<std::string> s) { splitAfter = std::move(s); return *this; }
    Fault& toRate(int r) { rate = r; return *this; }
};

} // namespace drivesim

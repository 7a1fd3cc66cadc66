// One queued record: a driver command, direct text, or one of the library's internal steps.
#pragma once

#include "byte_buffer.h"

#include <zrcomm/zrcomm.h>

#include <cstdint>

namespace zrcomm {

// Internal steps: their id field holds the step code, their param the new baud rate.
inline constexpr std::uint32_t STEP_IDENTIFY = 0x80000001;
inline constexpr std::uint32_t STEP_BAUD_TEST = 0x80000002;
inline constexpr std::uint32_t STEP_BAUD_UNLOCK = 0x80000003;
inline constexpr std::uint32_t STEP_BAUD_SET = 0x80000004;
inline constexpr std::uint32_t STEP_BAUD_VERIFY = 0x80000005;
inline constexpr std::uint32_t STEP_MODE_SYNC = 0x80000006;

struct CCommCommand {
    enum Kind : std::uint32_t {
        KIND_TEXT = 0,    // direct text: written whole, no echo, no id
        KIND_COMMAND = 1, // one or more CR-ended lines, one per driver question
        KIND_STEP = 3,    // internal step of the library (2 is not used)
    };

    std::uint32_t kind = KIND_COMMAND;
    CommandState state = CMD_WAITING;
    CommResult result = COMM_OK;  // valid once the state is CMD_COMPLETED
    plat::HWND window = nullptr;  // none: the notify window (commands) or direct-text window (text)
    std::intptr_t param = 0;      // the caller's tag; the baud rate for internal steps
    std::uint32_t id = 0;         // CommandId of a command, 0 for text, the step code for a step
    std::uint32_t sentTick = 0;   // when the current line began to be written
    std::uint32_t ownTimeout = 0; // ms, 0 = the port's reply time-out applies
    std::uint32_t lastReceiveTick = 0;
    bool topLevel = false;
    std::uint32_t completedPass = 0; // the receive pass that last reported its end; 0 once it runs again
    std::uint32_t sendOffset = 0;    // index in text of the next line to write
    CByteBuffer text;                // never empty
    CByteBuffer reply;               // reply lines collected so far

    virtual ~CCommCommand() = default;

    CommandId commandId() const { return static_cast<CommandId>(id); }
    bool IsCommand() const { return kind == KIND_COMMAND; }
    bool IsText() const { return kind == KIND_TEXT; }
    bool IsStep() const { return kind == KIND_STEP; }

    // Engaged records are never overtaken and never removed by a removal of waiting records. An
    // aborted record counts as engaged on purpose: it stays until its window removes it by id.
    static bool IsEngagedState(CommandState s);
    static bool IsFinalState(CommandState s);
    bool IsEngaged() const { return IsEngagedState(state); }
};

} // namespace zrcomm

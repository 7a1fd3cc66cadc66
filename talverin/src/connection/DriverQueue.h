// The program's one way to the driver: every call it makes into the communication library's
// command queue (queueing, finding, reading a reply, removing, resuming, the line mode and whether
// a driver is connected) goes through DriverQueue, so that each screen's traffic is tested against
// a fake queue without threads or a line. LibraryDriverQueue is the library itself.
//
// Above the calls sit the rules every completion handler shares: one Completion read per command
// event, the retry of a failed transport with its shared counter, and the wait for the line mode.
#pragma once

#include <platform/types.h>
#include <zrcomm/zrcomm_api.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace talverin {

// WM_COMM_ERROR's lParam: what the frame does besides telling the user.
namespace comm_error {
inline constexpr plat::LPARAM kDisconnect = 0x8000; // the line failed: disconnect
inline constexpr plat::LPARAM kNoBox = 0x0001;      // the sender showed its own box already
inline constexpr plat::LPARAM kDisconnectNoBox = kDisconnect | kNoBox;
} // namespace comm_error

// Which records ZRComm_GetCommandCount counts.
enum class QueueRecords { DirectText = 0, Commands = 1, LibrarySteps = 3, All = -1 };

// How a failed transport (write failed, no echo, time-out, garbled reply) is retried.
enum class RetryPolicy {
    // Resumed while the shared count, raised first, stays at most 3 and the library resumes it.
    Standard,
    // The channel editor's: resumed while the raised count stays below 3, whatever the library
    // answers; giving up starts the count again.
    ChannelEditor,
};

// One command event (WM_COMM_COMMAND) with what every handler asks of its record, read once.
struct Completion {
    plat::WPARAM event = 0;
    CommandId id = 0;
    std::intptr_t tag = 0;
    std::uint32_t state = 0; // the state while under way, the result once completed

    bool completed() const { return event == COMM_EVENT_COMPLETED; }
    bool aborted() const { return event == COMM_EVENT_ABORTED; }
    // The line failed under the command: it waits to be resumed or removed.
    bool transportFailed() const
    {
        return event == COMM_EVENT_WRITE_FAILED || event == COMM_EVENT_NO_ECHO || event == COMM_EVENT_TIMEOUT ||
               event == COMM_EVENT_INVALID_DATA;
    }
    // The record went before its notice was handled (removed, or the port closed).
    bool recordGone() const
    {
        return state == COMM_ERR_NO_COMMAND || state == COMM_ERR_NOT_OPEN || state == COMM_ERR_INVALID_ARG;
    }
    // The failure the event stands for (model::GetCommandFailure on the state read): 0 for none.
    std::uint32_t failure() const;
};

class DriverQueue {
public:
    virtual ~DriverQueue() = default;

    // ---- Queueing -------------------------------------------------------------------------------

    // Queues a command for the window with the tag, without any message box (model::SendDriverCommand
    // with SendCommandInfo::kSilent and the title). The id, or 0 with *error set to why.
    virtual std::int32_t queueCommand(plat::HWND window, const std::string& text, std::intptr_t tag, const char* title,
                                      std::uint32_t* error) = 0;
    // Queues at once, no pause and no box: the id, or 0 (lastError() says why).
    virtual CommandId sendCommandText(plat::HWND window, const std::string& text, std::intptr_t tag) = 0;
    // As sendCommandText, ahead of the library's own steps.
    virtual CommandId sendTopLevelCommandText(plat::HWND window, const std::string& text, std::intptr_t tag) = 0;
    // Direct text; `window` (may be null) gets what the driver sends back.
    virtual std::uint32_t sendText(plat::HWND window, const std::string& text) = 0;
    // The direct text received so far, at most `limit` - 1 bytes a call.
    virtual std::string receivedText(unsigned limit) = 0;
    virtual std::uint32_t lastError() = 0;

    // ---- Records --------------------------------------------------------------------------------

    // The state while under way, the result once completed.
    virtual std::uint32_t commandState(CommandId id) = 0;
    virtual std::intptr_t commandTag(CommandId id) = 0;
    // The whole reply without its final CR, read into a buffer of at least `sizeHint` bytes and
    // read again into a larger one while the reply did not fit. None when it cannot be read.
    virtual std::optional<std::string> replyText(CommandId id, unsigned sizeHint) = 0;
    // The command's first line with its CR, at most `size` - 1 bytes.
    virtual std::string commandLine(CommandId id, unsigned size) = 0;
    // The command's whole text, empty for an unknown one.
    virtual std::string commandText(CommandId id) = 0;
    // 0 removes every record that is not under way, -1 every record; the number left.
    virtual int removeCommand(CommandId id) = 0;
    virtual std::uint32_t resumeCommand(CommandId id) = 0;
    virtual std::uint32_t abortCommand(CommandId id) = 0;
    // The records of the kind queued; -1 when no port is open.
    virtual int recordCount(QueueRecords kind) = 0;
    // The first command after `after` (0: from the head) whose text begins with the prefix, or 0.
    virtual CommandId findCommandAfter(CommandId after, const std::string& prefix) = 0;
    // The ids of the queued commands in queue order.
    virtual std::vector<CommandId> commandIds() = 0;

    // ---- The line -------------------------------------------------------------------------------

    // 0 command mode, 1 terminal mode, 2 the capture's; COMM_ERR_COMMANDS_QUEUED while records wait.
    virtual std::uint32_t setCommandMode(int mode) = 0;
    // A port is open and a driver answers on it.
    virtual bool isConnected() = 0;
    // The connected driver's identification, empty when none.
    virtual std::string driverIdentification() = 0;

    // ---- Shared rules ---------------------------------------------------------------------------

    int commandCount() { return recordCount(QueueRecords::Commands); }
    CommandId findCommand(const std::string& prefix) { return findCommandAfter(0, prefix); }
    // The whole reply, empty when it cannot be read.
    std::string reply(CommandId id) { return replyText(id, kReplyHint).value_or(std::string()); }

    // The event's record, read once.
    Completion completion(plat::WPARAM event, CommandId id);

    // A failed transport: resumed under the policy (true), or given up (false). The count is
    // shared by every handler; a completion starts it again.
    bool retry(CommandId id, RetryPolicy policy = RetryPolicy::Standard);
    void resetRetries() { m_retries = 0; }
    // No retry is left until the count starts again.
    void exhaustRetries() { m_retries = kRetryLimit + 1; }
    // Counts one more attempt while any is left (true); the caller does the retrying.
    bool spendRetry();
    // A run that gave up ignores further failures until the count starts again.
    void stopRetrying() { m_retries = -1; }
    bool retryingStopped() const { return m_retries < 0; }
    int retries() const { return m_retries; }

    // Sets the line mode once the queue lets it: while records refuse it, the queued commands drain
    // (the library's notices handled meanwhile) and the mode is asked for again 100 ms later. True
    // once it is set; false when the line is lost, the port closes, the queue empties without the
    // mode taking, the drain stalls, keepWaiting says no more, or after kModeAttempts tries.
    bool setModeWhenDrained(plat::HWND window, int mode, const std::function<bool()>& keepWaiting = {});
    static constexpr int kModeAttempts = 300;

    static constexpr int kRetryLimit = 3;
    static constexpr unsigned kReplyHint = 10240;

private:
    int m_retries = 0;
};

// ZRComm_GetReceiveCommandText's "did not fit" rule applied: `read(buffer, size)` returns what
// the library returns; a result of size - 1 or more means read again with a buffer twice as large,
// up to `limit` bytes. The reply ends at its first NUL. None when read gives 0 and the library's
// last error (asked through `failed`) says the reply could not be read.
std::optional<std::string> ReadWholeReply(const std::function<int(char*, unsigned)>& read,
                                          const std::function<bool()>& failed, unsigned sizeHint,
                                          unsigned limit = 64u << 20);

class LibraryDriverQueue final : public DriverQueue {
public:
    std::int32_t queueCommand(plat::HWND window, const std::string& text, std::intptr_t tag, const char* title,
                              std::uint32_t* error) override;
    CommandId sendCommandText(plat::HWND window, const std::string& text, std::intptr_t tag) override;
    CommandId sendTopLevelCommandText(plat::HWND window, const std::string& text, std::intptr_t tag) override;
    std::uint32_t sendText(plat::HWND window, const std::string& text) override;
    std::string receivedText(unsigned limit) override;
    std::uint32_t lastError() override;
    std::uint32_t commandState(CommandId id) override;
    std::intptr_t commandTag(CommandId id) override;
    std::optional<std::string> replyText(CommandId id, unsigned sizeHint) override;
    std::string commandLine(CommandId id, unsigned size) override;
    std::string commandText(CommandId id) override;
    int removeCommand(CommandId id) override;
    std::uint32_t resumeCommand(CommandId id) override;
    std::uint32_t abortCommand(CommandId id) override;
    int recordCount(QueueRecords kind) override;
    CommandId findCommandAfter(CommandId after, const std::string& prefix) override;
    std::vector<CommandId> commandIds() override;
    std::uint32_t setCommandMode(int mode) override;
    bool isConnected() override;
    std::string driverIdentification() override;
};

// The queue in use: the library's unless a test installed another.
DriverQueue& CurrentDriverQueue();

// Installs a queue for a scope; nests.
class ScopedDriverQueue {
public:
    explicit ScopedDriverQueue(DriverQueue& queue);
    ~ScopedDriverQueue();
    ScopedDriverQueue(const ScopedDriverQueue&) = delete;
    ScopedDriverQueue& operator=(const ScopedDriverQueue&) = delete;

private:
    DriverQueue* m_previous;
};

} // namespace talverin

// What the oscilloscope capture asks of the driver queue: the communication library's calls it
// makes, behind one interface so that the capture's state machine is tested against a fake queue
// without threads. ZRCommCapturePort is the library itself.
#pragma once

#include <platform/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace talverin {

class CapturePort {
public:
    virtual ~CapturePort() = default;

    // Queues a command for the window with the tag, without any message box (model::SendDriverCommand
    // with SendCommandInfo::kSilent and the title). The id, or 0 with *error set to why.
    virtual std::int32_t queueCommand(plat::HWND window, const std::string& text, std::intptr_t tag, const char* title,
                                      std::uint32_t* error) = 0;
    // Direct text with no text window (ZRComm_SendText(NULL, text)).
    virtual std::uint32_t sendText(const char* text) = 0;
    // ZRComm_GetCommandState: the state while under way, the result once completed.
    virtual std::uint32_t commandState(std::int32_t id) = 0;
    virtual std::intptr_t commandTag(std::int32_t id) = 0;
    // The whole reply without its final CR, read into a buffer of at least `sizeHint` bytes and
    // read again into a larger one while the reply did not fit. None when it cannot be read.
    virtual std::optional<std::string> replyText(std::int32_t id, unsigned sizeHint) = 0;
    // The command's first line with its CR, at most `size` - 1 bytes (ZRComm_GetCommand).
    virtual std::string commandLine(std::int32_t id, unsigned size) = 0;
    // ZRComm_RemoveCommand: 0 removes every record that is not under way.
    virtual int removeCommand(std::int32_t id) = 0;
    virtual std::uint32_t resumeCommand(std::int32_t id) = 0;
    virtual std::uint32_t abortCommand(std::int32_t id) = 0;
    // Commands queued (ZRComm_GetCommandCount(1)).
    virtual int commandCount() = 0;
    // The first queued command whose text begins with the prefix, or 0.
    virtual std::int32_t findCommand(const std::string& prefix) = 0;
    virtual bool isConnected() = 0;
};

// ZRComm_GetReceiveCommandText's "did not fit" rule applied: `read(buffer, size)` returns what
// the library returns; a result of size - 1 or more (or a reply longer than the buffer) means
// read again with a buffer twice as large, up to `limit` bytes. None when read gives 0 and the
// library's last error (asked through `failed`) says the reply could not be read.
std::optional<std::string> ReadWholeReply(const std::function<int(char*, unsigned)>& read,
                                          const std::function<bool()>& failed, unsigned sizeHint,
                                          unsigned limit = 64u << 20);

class ZRCommCapturePort final : public CapturePort {
public:
    std::int32_t queueCommand(plat::HWND window, const std::string& text, std::intptr_t tag, const char* title,
                              std::uint32_t* error) override;
    std::uint32_t sendText(const char* text) override;
    std::uint32_t commandState(std::int32_t id) override;
    std::intptr_t commandTag(std::int32_t id) override;
    std::optional<std::string> replyText(std::int32_t id, unsigned sizeHint) override;
    std::string commandLine(std::int32_t id, unsigned size) override;
    int removeCommand(std::int32_t id) override;
    std::uint32_t resumeCommand(std::int32_t id) override;
    std::uint32_t abortCommand(std::int32_t id) override;
    int commandCount() override;
    std::int32_t findCommand(const std::string& prefix) override;
    bool isConnected() override;
};

} // namespace talverin

#include "connection/DriverQueue.h"

#include <model/CommandSupport.h>
#include <platform/clock.h>

#include <zrcomm/zrcomm.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

namespace talverin {

namespace {

std::atomic<DriverQueue*> g_queue{nullptr};

} // namespace

std::uint32_t Completion::failure() const
{
    const std::uint32_t read = state;
    return model::GetCommandFailure(event, id, [read](std::int32_t) { return read; });
}

// ---- Shared rules -------------------------------------------------------------------------------

Completion DriverQueue::completion(plat::WPARAM event, CommandId id)
{
    return Completion{event, id, commandTag(id), commandState(id)};
}

bool DriverQueue::retry(CommandId id, RetryPolicy policy)
{
    switch (policy) {
    case RetryPolicy::Standard:
        return ++m_retries <= kRetryLimit && resumeCommand(id) == COMM_OK;
    case RetryPolicy::ChannelEditor:
        if (++m_retries < kRetryLimit) {
            resumeCommand(id);
            return true;
        }
        m_retries = 0;
        return false;
    }
    return false;
}

bool DriverQueue::spendRetry()
{
    if (m_retries > kRetryLimit)
        return false;
    ++m_retries;
    return true;
}

bool DriverQueue::setModeWhenDrained(plat::HWND window, int mode, const std::function<bool()>& keepWaiting)
{
    // A record left at the head would refuse the mode for ever; a lost or closed line for good.
    for (int attempt = 0; attempt < kModeAttempts; ++attempt) {
        const std::uint32_t code = model::GetCommEventState();
        if (code == COMM_MONITOR_CONNECTION_LOST || code == COMM_MONITOR_PORT_CLOSED)
            return false;
        if (setCommandMode(mode) != COMM_ERR_COMMANDS_QUEUED)
            return true;
        // Any record counts: the library's own mode step may be all that is left.
        if (recordCount(QueueRecords::All) <= 0)
            return false;
        // A wait given up by whoever watches it ends the attempt too.
        if (!model::WaitCommandQueue(window, true, keepWaiting))
            return false;
        // Commands left after the drain stalled (or the driver went): waiting again cannot help.
        if (commandCount() > 0)
            return false;
        plat::Sleep(100);
        if (keepWaiting && !keepWaiting())
            return false;
    }
    return false;
}

std::optional<std::string> ReadWholeReply(const std::function<int(char*, unsigned)>& read,
                                          const std::function<bool()>& failed, unsigned sizeHint, unsigned limit)
{
    unsigned size = std::max(sizeHint, 16u);
    for (;;) {
        std::vector<char> buffer(size, '\0');
        const int n = read(buffer.data(), size);
        if (n <= 0) {
            if (failed())
                return std::nullopt;
            return std::string();
        }
        // The library answers size - 1 when the reply did not fit (and also for one that just
        // fitted): only a larger buffer tells them apart.
        if (static_cast<unsigned>(n) < size - 1 || size >= limit) {
            const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(n) - 1, size - 1);
            return std::string(buffer.data(), strnlen(buffer.data(), length));
        }
        size = size > limit / 2 ? limit : size * 2;
    }
}

// ---- The library ---------------------------------------------------------------------------------

std::int32_t LibraryDriverQueue::queueCommand(plat::HWND window, const std::string& text, std::intptr_t tag,
                                              const char* title, std::uint32_t* error)
{
    model::SendCommandInfo info;
    info.flags = model::SendCommandInfo::kSilent;
    info.title = title ? title : "";
    const std::int32_t id = model::SendDriverCommand(window, text, tag, info);
    if (error)
        *error = id != 0 ? 0 : info.errorCode;
    return id;
}

CommandId LibraryDriverQueue::sendCommandText(plat::HWND window, const std::string& text, std::intptr_t tag)
{
    return ZRComm_SendCommandText(window, text.c_str(), tag);
}

CommandId LibraryDriverQueue::sendTopLevelCommandText(plat::HWND window, const std::string& text, std::intptr_t tag)
{
    return ZRComm_SendTopLevelCommandText(window, text.c_str(), tag);
}

std::uint32_t LibraryDriverQueue::sendText(plat::HWND window, const std::string& text)
{
    return ZRComm_SendText(window, text.c_str());
}

std::string LibraryDriverQueue::receivedText(unsigned limit)
{
    std::vector<char> buffer(std::max(limit, 1u), '\0');
    const int n = ZRComm_GetReceiveText(buffer.data(), static_cast<int>(buffer.size()));
    return n > 0 ? std::string(buffer.data(), std::min<std::size_t>(static_cast<std::size_t>(n), buffer.size() - 1))
                 : std::string();
}

std::uint32_t LibraryDriverQueue::lastError()
{
    return ZRComm_GetLastError();
}

std::uint32_t LibraryDriverQueue::commandState(CommandId id)
{
    return ZRComm_GetCommandState(id);
}

std::intptr_t LibraryDriverQueue::commandTag(CommandId id)
{
    return ZRComm_GetCommandParam(id);
}

std::optional<std::string> LibraryDriverQueue::replyText(CommandId id, unsigned sizeHint)
{
    return ReadWholeReply([id](char* buffer, unsigned size) { return ZRComm_GetReceiveCommandText(id, buffer, size); },
                          [] { return ZRComm_GetLastError() != COMM_OK; }, sizeHint);
}

std::string LibraryDriverQueue::commandLine(CommandId id, unsigned size)
{
    std::vector<char> buffer(std::max(size, 1u), '\0');
    const int n = ZRComm_GetCommand(id, buffer.data(), static_cast<unsigned>(buffer.size()));
    // A closed port answers with its error code, not a length.
    if (n <= 0 || static_cast<unsigned>(n) >= buffer.size())
        return {};
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

std::string LibraryDriverQueue::commandText(CommandId id)
{
    // The library copies at most size - 1 bytes: a full buffer may mean more.
    for (int size = 1024;; size *= 2) {
        std::vector<char> buffer(static_cast<std::size_t>(size), '\0');
        const int n = ZRComm_GetCommandText(id, buffer.data(), size);
        if (n <= 0)
            return {};
        if (n < size - 1 || size >= (64 << 20))
            return std::string(buffer.data(), strnlen(buffer.data(), static_cast<std::size_t>(n)));
    }
}

int LibraryDriverQueue::removeCommand(CommandId id)
{
    return ZRComm_RemoveCommand(id);
}

std::uint32_t LibraryDriverQueue::resumeCommand(CommandId id)
{
    return ZRComm_ResumeCommand(id);
}

std::uint32_t LibraryDriverQueue::abortCommand(CommandId id)
{
    return ZRComm_AbortCommand(id);
}

int LibraryDriverQueue::recordCount(QueueRecords kind)
{
    return ZRComm_GetCommandCount(static_cast<int>(kind));
}

CommandId LibraryDriverQueue::findCommandAfter(CommandId after, const std::string& prefix)
{
    if (prefix.empty())
        return 0;
    const CommandId id = ZRComm_FindCommand(after, prefix.c_str());
    return id > 0 ? id : 0;
}

std::vector<CommandId> LibraryDriverQueue::commandIds()
{
    const int count = ZRComm_GetCommandCount(1);
    if (count <= 0)
        return {};
    // Room for a few more in case commands were queued since the count.
    std::vector<CommandId> ids(static_cast<std::size_t>(count) + 20, 0);
    const int listed = std::clamp(ZRComm_EnumCommand(ids.data()), 0, static_cast<int>(ids.size()));
    ids.resize(static_cast<std::size_t>(listed));
    return ids;
}

std::uint32_t LibraryDriverQueue::setCommandMode(int mode)
{
    return ZRComm_SetCommandMode(mode);
}

bool LibraryDriverQueue::isConnected()
{
    return ZRComm_IsConnected(nullptr, nullptr) == 1;
}

std::string LibraryDriverQueue::driverIdentification()
{
    char id[ZRCOMM_DRIVER_ID_MAX] = {};
    ZRComm_IsConnectedEx(nullptr, 0, id, sizeof id);
    return id;
}

// ---- The queue in use ----------------------------------------------------------------------------

DriverQueue& CurrentDriverQueue()
{
    static LibraryDriverQueue library;
    DriverQueue* queue = g_queue.load(std::memory_order_acquire);
    return queue ? *queue : library;
}

ScopedDriverQueue::ScopedDriverQueue(DriverQueue& queue)
    : m_previous(g_queue.exchange(&queue, std::memory_order_acq_rel))
{
}

ScopedDriverQueue::~ScopedDriverQueue()
{
    g_queue.store(m_previous, std::memory_order_release);
}

} // namespace talverin

#include "connection/CapturePort.h"

#include <model/CommandSupport.h>

#include <zrcomm/zrcomm_api.h>

#include <algorithm>
#include <vector>

namespace talverin {

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
        if (static_cast<unsigned>(n) < size - 1 || size >= limit)
            return std::string(buffer.data(), std::min<std::size_t>(static_cast<std::size_t>(n) - 1, size - 1));
        size = size > limit / 2 ? limit : size * 2;
    }
}

std::int32_t ZRCommCapturePort::queueCommand(plat::HWND window, const std::string& text, std::intptr_t tag,
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

std::uint32_t ZRCommCapturePort::sendText(const char* text)
{
    return ZRComm_SendText(nullptr, text);
}

std::uint32_t ZRCommCapturePort::commandState(std::int32_t id)
{
    return ZRComm_GetCommandState(id);
}

std::intptr_t ZRCommCapturePort::commandTag(std::int32_t id)
{
    return ZRComm_GetCommandParam(id);
}

std::optional<std::string> ZRCommCapturePort::replyText(std::int32_t id, unsigned sizeHint)
{
    return ReadWholeReply([id](char* buffer, unsigned size) { return ZRComm_GetReceiveCommandText(id, buffer, size); },
                          [] { return ZRComm_GetLastError() != COMM_OK; }, sizeHint);
}

std::string ZRCommCapturePort::commandLine(std::int32_t id, unsigned size)
{
    std::vector<char> buffer(std::max(size, 1u), '\0');
    const int n = ZRComm_GetCommand(id, buffer.data(), static_cast<unsigned>(buffer.size()));
    // A closed port answers with its error code, not a length.
    if (n <= 0 || static_cast<unsigned>(n) >= buffer.size())
        return {};
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

int ZRCommCapturePort::removeCommand(std::int32_t id)
{
    return ZRComm_RemoveCommand(id);
}

std::uint32_t ZRCommCapturePort::resumeCommand(std::int32_t id)
{
    return ZRComm_ResumeCommand(id);
}

std::uint32_t ZRCommCapturePort::abortCommand(std::int32_t id)
{
    return ZRComm_AbortCommand(id);
}

int ZRCommCapturePort::commandCount()
{
    return ZRComm_GetCommandCount(1);
}

std::int32_t ZRCommCapturePort::findCommand(const std::string& prefix)
{
    if (prefix.empty())
        return 0;
    const std::int32_t id = ZRComm_FindCommand(0, prefix.c_str());
    return id > 0 ? id : 0;
}

bool ZRCommCapturePort::isConnected()
{
    return ZRComm_IsConnected(nullptr, nullptr) == 1;
}

} // namespace talverin

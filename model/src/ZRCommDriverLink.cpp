// The communication library's exported functions as the command helpers' link.
#include "DriverLinkInternal.h"

#include <zrcomm/zrcomm_api.h>

namespace model::detail {

namespace {

class LibraryLink final : public DriverLink {
public:
    bool isConnected() override { return ZRComm_IsConnected(nullptr, nullptr) != 0; }
    std::int32_t sendCommandText(plat::HWND replyWindow, const std::string& text, std::intptr_t tag) override
    {
        return ZRComm_SendCommandText(replyWindow, text.c_str(), tag);
    }
    std::uint32_t lastError() override { return ZRComm_GetLastError(); }
    int commandCount() override { return ZRComm_GetCommandCount(1); }
    int removeCommand(std::int32_t id) override { return ZRComm_RemoveCommand(id); }
    std::uint32_t commandState(std::int32_t id) override { return ZRComm_GetCommandState(id); }
};

} // namespace

DriverLink& LibraryDriverLink()
{
    static LibraryLink link;
    return link;
}

} // namespace model::detail

#include "connection/ConnectionRules.h"

#include "common/CommandIds.h"

#include <zrcomm/zrcomm_api.h>

#include <algorithm>
#include <cctype>

namespace talverin {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

} // namespace

bool IsReadAllTag(int tag)
{
    return tag == ConnectionTag::ReadAll || tag == ConnectionTag::ReadAllTerminal ||
           tag == ConnectionTag::ReadAllOscillo || tag == ConnectionTag::SaveReadAll ||
           tag == ConnectionTag::CloseReadAll;
}

std::string ReadAllCommandText(const std::vector<std::string>& specials, int tag)
{
    std::string text;
    if (tag != ConnectionTag::ReadAllOscillo) {
        // Each name is a query of its own.
        for (const std::string& name : specials) {
            if (!name.empty())
                text += "?" + name + ",";
        }
    }
    return text + "TX0\r";
}

bool ConnectReadsAllData(int currentView)
{
    return currentView != VIEW_TERMINAL;
}

std::optional<int> LockStateFromReply(std::string_view reply)
{
    const std::string_view text = trimmed(reply);
    if (text == "KP0")
        return 0;
    if (text == "KP1")
        return 1;
    return std::nullopt;
}

std::uint32_t CtsCheckFromSetting(std::string_view setting, const plat::DCB& dcb)
{
    if (equalNoCase(setting, "AUTO"))
        return (dcb.Flags & plat::DCB_fOutxCtsFlow) ? 1u : 0u;
    if (equalNoCase(setting, "OFF"))
        return 0;
    return 1;
}

bool IsDriverErrorResult(std::uint32_t result)
{
    // Up to READ ONLY: a refusal the driver names is an error, whichever it is.
    return result >= 0x4000000Bu && result <= 0x40000015u;
}

bool IsLineFailureState(std::uint32_t state)
{
    return state == CMD_SEND_FAILED || state == CMD_NO_ECHO || state == CMD_WAIT_REPLY ||
           state == CMD_ANSWER_FAILED || state == CMD_REPLY_TIMEOUT;
}

} // namespace talverin

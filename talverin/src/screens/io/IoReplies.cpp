#include "screens/io/IoReplies.h"

#include <model/NumberText.h>
#include <model/ReplyErrorText.h>

#include <array>
#include <cctype>

namespace talverin::io {

namespace {

constexpr std::size_t kReplyLines = 7;
constexpr int kOutputBits = 8;
constexpr int kInputBits = 17;

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

bool AllDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

std::vector<std::string_view> SplitReplyLines(std::string_view reply, std::size_t maxLines)
{
    std::vector<std::string_view> lines;
    while (!reply.empty() && lines.size() < maxLines) {
        const std::size_t cr = reply.find('\r');
        lines.push_back(reply.substr(0, cr));
        if (cr == std::string_view::npos)
            break;
        reply.remove_prefix(cr + 1);
    }
    return lines;
}

bool IsStateReply(std::string_view reply)
{
    return reply.find("GFEDCBA") != std::string_view::npos;
}

std::vector<PinBit> DecodeStateReply(std::string_view reply)
{
    std::vector<PinBit> bits;
    if (!IsStateReply(reply))
        return bits;
    const auto lines = SplitReplyLines(reply, kReplyLines);
    if (lines.size() <= 3)
        return bits;
    std::string_view outputs = Trim(lines[3]);
    if (outputs.size() > static_cast<std::size_t>(kOutputBits))
        outputs = outputs.substr(outputs.size() - kOutputBits);
    const std::string text = std::string(outputs) + std::string(Trim(lines[2]));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int position = static_cast<int>(i);
        const bool input = position >= kOutputBits;
        const int io = input ? kInputBits - 1 - (position - kOutputBits) : kOutputBits - 1 - position;
        const int pin = model::CN2PinRecord::BitIndexToPin(input ? 1 : 0, io);
        if (pin > 0)
            bits.push_back({pin, text[i] != '0'});
    }
    return bits;
}

bool IsQueryReply(std::string_view reply)
{
    return reply.find("FN") != std::string_view::npos;
}

void ApplyQueryReply(std::string_view reply, int pin, model::CN2PinRecord& record)
{
    const bool input = pin <= model::CN2PinRecord::kLastInputPin;
    const std::array<std::string_view, 4> keywords =
        input ? std::array<std::string_view, 4>{"PI", "FN", "AB", "NW"} : std::array<std::string_view, 4>{"PO", "FN", "GC", "ST"};
    if (record.m_pin != pin) {
        record.m_pin = pin;
        record.m_io = model::CN2PinRecord::PinToBitIndex(pin);
    }
    for (std::string_view line : SplitReplyLines(reply, kReplyLines)) {
        for (std::size_t k = 0; k < keywords.size(); ++k) {
            if (!StartsWith(line, keywords[k]))
                continue;
            std::string_view text = line.substr(keywords[k].size());
            if (const std::size_t semicolon = text.rfind(';'); semicolon != std::string_view::npos)
                text = text.substr(0, semicolon);
            switch (k) {
            case 0: {
                // A number that is not this pin's keeps the record's, so no row shows pin -1.
                const std::string_view digits = Trim(text);
                const int io = AllDigits(digits) && digits.size() < 4 ? model::ParseLeadingInt(digits) : -1;
                if (model::CN2PinRecord::BitIndexToPin(input ? 1 : 0, io) == pin)
                    record.m_io = io;
                break;
            }
            case 1: record.m_function = text; break;
            case 2: record.m_logic = text == "0" ? (input ? "A" : "P") : (input ? "B" : "N"); break;
            default: record.m_value = record.m_readValue = text; break;
            }
            break;
        }
    }
    record.m_status = 0;
    record.m_reserved2 = 0;
}

Refusal DecodeRefusal(std::string_view reply, bool hadError)
{
    Refusal r;
    const auto lines = SplitReplyLines(reply, std::string_view::npos);
    for (std::size_t i = 3; i < lines.size(); ++i) {
        if (lines[i].find('?') == std::string_view::npos)
            continue;
        r.status |= StartsWith(lines[i], "FN") ? kFunctionRefused : kValueRefused;
    }
    if (hadError)
        r.status |= kRowError;
    r.error = model::FindDriverErrorText(reply);
    // A refusal the driver gives no text for is still an error the user sees and a resend retries.
    if (r.error == 0)
        r.error = kUnknownCommand;
    return r;
}

std::string ToggleLogic(std::string_view current, bool input)
{
    if (input)
        return current == "A" ? "B" : "A";
    return current == "P" ? "N" : "P";
}

bool DropAccepts(std::string_view letters, bool inputPin)
{
    return letters.find(inputPin ? 'I' : 'O') != std::string_view::npos;
}

PinMenuRules MenuRules(std::uint32_t mask, bool connected)
{
    using R = model::CN2PinRecord;
    const std::uint32_t all = R::kDisableLogic | R::kDisableFunction | R::kDisableValue;
    return {!(mask & R::kDisableLogic), (mask & all) != all, connected};
}

} // namespace talverin::io

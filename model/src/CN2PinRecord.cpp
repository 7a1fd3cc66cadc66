#include "model/CN2PinRecord.h"

#include "model/NumberText.h"
#include "model/StringSplitter.h"

#include <array>

namespace model {

namespace {

// Pins in order of the driver's input and output numbers (pin 10 has no input).
constexpr std::array<int, 17> kInputPins = {3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
constexpr std::array<int, 8> kOutputPins = {28, 29, 30, 31, 32, 33, 34, 35};

template <std::size_t N>
int indexOf(const std::array<int, N>& table, int pin)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (table[i] == pin)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

void CN2PinRecord::Reset()
{
    m_pin = 0;
    m_io = 0;
    m_logic.clear();
    m_function.clear();
    m_readValue.clear();
    m_value.clear();
    m_status = 0;
    m_disabled = 0;
    m_reserved2 = 0;
}

int CN2PinRecord::Parse(std::string_view text, int withNumbers)
{
    const int pin = m_pin;
    const int io = m_io;
    Reset();
    m_pin = pin;
    m_io = io;

    StringSplitter splitter;
    const int count = splitter.Split(text, ',', StringSplitter::kAll);
    int next = 0;
    if (withNumbers == 1) {
        if (count < 2)
            return 1;
        m_pin = ParseLeadingInt(splitter.Token(0));
        m_io = ParseLeadingInt(splitter.Token(1));
        next = 2;
    }
    if (next < count)
        m_logic = splitter.Token(next);
    if (next + 1 < count)
        m_function = splitter.Token(next + 1);
    if (next + 2 < count)
        m_value = m_readValue = splitter.Token(next + 2);
    if (next + 3 < count)
        m_status = ParseLeadingHex(splitter.Token(next + 3));
    if (withNumbers == 1) {
        if (m_logic == "0")
            m_logic = IsOutput() ? "P" : "A";
        else if (m_logic == "1")
            m_logic = IsOutput() ? "N" : "B";
    }
    return 1;
}

std::string CN2PinRecord::Format(int withNumbers) const
{
    std::string out;
    if (withNumbers == 1)
        out = FormatInt(m_pin) + "," + FormatInt(m_io) + ",";
    out += m_logic + "," + m_function + "," + m_value + "," + FormatHex(m_status);
    return out;
}

int CN2PinRecord::PinToBitIndex(int pin)
{
    return pin > kLastInputPin ? indexOf(kOutputPins, pin) : indexOf(kInputPins, pin);
}

int CN2PinRecord::BitIndexToPin(int input, int io)
{
    if (input == 1)
        return io >= 0 && io < static_cast<int>(kInputPins.size()) ? kInputPins[static_cast<std::size_t>(io)] : -1;
    return io >= 0 && io < static_cast<int>(kOutputPins.size()) ? kOutputPins[static_cast<std::size_t>(io)] : -1;
}

std::string CN2PinRecord::BuildSetCommand() const
{
    const bool complete = !m_function.empty() && !m_logic.empty() && !m_value.empty();
    const std::string io = FormatInt(m_io);
    if (IsOutput()) {
        if (!complete)
            return "PO" + io + "/RS\r";
        return "PO" + io + "\rFN" + m_function + "\rGC" + (m_logic == "P" ? "0" : "1") + "\rST" + m_value + "\r\r";
    }
    if (!complete)
        return "PI" + io + "/RS\r";
    return "PI" + io + "\rFN" + m_function + "\rAB" + (m_logic == "A" ? "0" : "1") + "\rNW" + m_value + "\r\r";
}

std::string CN2PinRecord::BuildQueryCommand() const
{
    return (IsOutput() ? "TPO" : "TPI") + FormatInt(m_io) + "\r";
}

} // namespace model

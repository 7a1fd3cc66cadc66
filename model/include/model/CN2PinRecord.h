// The function assignment of one pin of the driver's 50-pin CN2 connector (pins 1-25 inputs,
// 26-50 outputs), its comma text (also the pin row control's export and import form) and the
// driver commands that set and query it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace model {

class CN2PinRecord {
public:
    static constexpr int kKind = 4;
    static constexpr int kLastInputPin = 25;

    // Disabled-field bits (fields the user may not edit).
    enum : std::uint32_t {
        kDisableLogic = 2,
        kDisableFunction = 4,
        kDisableValue = 8,
    };

    CN2PinRecord() { Reset(); }

    // Numbers, texts (except the definition text), status and mask back to 0/empty.
    void Reset();

    // Reads "logic,function,value,status" (status in hex), or with `withNumbers` 1
    // "pin,io,logic,function,value,status" where a logic "0"/"1" becomes "A"/"B" for an input pin
    // and "P"/"N" for an output pin. Missing trailing fields stay empty; the pin and I/O numbers
    // survive when the text does not give them. Returns 1.
    int Parse(std::string_view text, int withNumbers);
    // "%d,%d,%s,%s,%s,%x" with numbers, else "%s,%s,%s,%x".
    std::string Format(int withNumbers) const;

    // The driver's I/O number of a pin (inputs for pins up to 25, outputs above), or -1.
    static int PinToBitIndex(int pin);
    // The pin of input (`input` 1) or output (else) number `io`, or -1.
    static int BitIndexToPin(int input, int io);

    bool IsOutput() const { return m_pin > kLastInputPin; }

    // "PO%d\rFN%s\rGC%s\rST%s\r\r" / "PI%d\rFN%s\rAB%s\rNW%s\r\r" for a complete assignment,
    // else the reset command "PO%d/RS\r" / "PI%d/RS\r".
    std::string BuildSetCommand() const;
    // "TPO%d\r" / "TPI%d\r".
    std::string BuildQueryCommand() const;

    int m_kind = kKind;
    int m_reserved = 0;
    int m_pin = 0;                   // CN2 pin 1..50
    int m_io = 0;                    // input 0..16 or output 0..7
    std::string m_logic;             // "A"/"B" for inputs, "P"/"N" for outputs
    std::string m_function;
    std::string m_readValue;         // as last read or loaded
    std::string m_value;             // as edited and sent
    std::string m_definitionText;    // "logic,function,value" as first read
    std::uint32_t m_disabled = 0;
    std::uint32_t m_status = 0;      // written in hex in the pin text
    int m_reserved2 = 0;
};

} // namespace model

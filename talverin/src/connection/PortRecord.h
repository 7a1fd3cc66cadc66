// One serial port the program may use: its "COMn" name and its line settings, read from and
// written back to the settings file's [Port] section ("COM1=96,n,8,2,p").
#pragma once

#include <platform/dcb.h>

#include <string>
#include <string_view>

namespace talverin {

// The line settings of a port nobody configured: 9600 baud, no parity, 8 data bits, 2 stop bits,
// hardware handshake.
inline constexpr const char* kDefaultPortMode = "96,n,8,2,p";

struct PortRecord {
    int m_configured = 0; // 1 once the port's default configuration was set by this program
    std::string m_name;   // "COMn"
    plat::COMMCONFIG m_config;

    // A record with the default line settings.
    explicit PortRecord(std::string name = {});
    plat::DCB& Dcb() { return m_config.dcb; }
    const plat::DCB& Dcb() const { return m_config.dcb; }
};

// Applies a [Port] value over the record's settings: the mode string's fields (an unreadable one
// keeps what the record had), then the flow flags by the suffix: ",p" hardware handshake, ",x"
// XON/XOFF, anything else none.
void ApplyPortValue(plat::DCB& dcb, std::string_view value);

// The [Port] value of the settings: "%d,%s,%d,%s%s" with the rate divided by 100, the parity
// letter (n o e m s), the data bits, the stop bits (1, 1.5 or 2) and the flow suffix (",p" when DTR
// and RTS both use the handshake and neither XON/XOFF direction is on, ",x" when both are on).
std::string FormatPortValue(const plat::DCB& dcb);

} // namespace talverin

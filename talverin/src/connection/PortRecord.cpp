#include "connection/PortRecord.h"

#include <platform/comm_mode.h>

#include <cctype>

namespace talverin {

PortRecord::PortRecord(std::string name) : m_name(std::move(name))
{
    plat::BuildCommDCB(kDefaultPortMode, &m_config.dcb);
}

void ApplyPortValue(plat::DCB& dcb, std::string_view value)
{
    const std::string text(value);
    plat::BuildCommDCB(text.c_str(), &dcb);
    // The flow suffix decides alone, also when a field before it could not be read.
    plat::CommFlow flow = plat::CommFlow::None;
    for (std::size_t i = 0; i + 1 < value.size(); ++i) {
        if (value[i] != ',')
            continue;
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(value[i + 1])));
        if (c == 'p')
            flow = plat::CommFlow::Hardware;
        else if (c == 'x')
            flow = plat::CommFlow::XonXoff;
    }
    plat::SetCommFlow(dcb, flow);
}

std::string FormatPortValue(const plat::DCB& dcb)
{
    static constexpr const char* kParity[] = {"n", "o", "e", "m", "s"};
    static constexpr const char* kStop[] = {"1", "1.5", "2"};
    const char* parity = dcb.Parity < 5 ? kParity[dcb.Parity] : "n";
    const char* stop = dcb.StopBits < 3 ? kStop[dcb.StopBits] : "1";
    std::string suffix;
    const bool xonxoff = dcb.flag(plat::DCB_fOutX) && dcb.flag(plat::DCB_fInX);
    if (dcb.dtrControl() == plat::DTR_CONTROL_HANDSHAKE && dcb.rtsControl() == plat::RTS_CONTROL_HANDSHAKE &&
        !dcb.flag(plat::DCB_fOutX) && !dcb.flag(plat::DCB_fInX))
        suffix = ",p";
    else if (xonxoff)
        suffix = ",x";
    return std::to_string(dcb.BaudRate / 100) + "," + parity + "," + std::to_string(dcb.ByteSize) + "," + stop + suffix;
}

} // namespace talverin

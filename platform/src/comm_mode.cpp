#include <platform/comm_mode.h>

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace plat {
namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> fields(std::string_view mode)
{
    std::vector<std::string_view> out;
    for (;;) {
        const auto comma = mode.find(',');
        out.push_back(trimmed(mode.substr(0, comma)));
        if (comma == std::string_view::npos)
            return out;
        mode.remove_prefix(comma + 1);
    }
}

// Digits only, at most nine of them; 0 for anything else.
DWORD number(std::string_view s)
{
    if (s.empty() || s.size() > 9)
        return 0;
    DWORD n = 0;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return 0;
        n = n * 10 + static_cast<DWORD>(c - '0');
    }
    return n;
}

DWORD baudRate(std::string_view s)
{
    struct Short {
        DWORD written, rate;
    };
    static constexpr Short kShort[] = {
        {11, 110},  {15, 150},   {30, 300},    {60, 600},    {12, 1200},   {24, 2400},     {48, 4800},
        {96, 9600}, {19, 19200}, {192, 19200}, {384, 38400}, {576, 57600}, {1152, 115200},
    };
    const DWORD n = number(s);
    for (const auto& e : kShort)
        if (e.written == n)
            return e.rate;
    return n;
}

} // namespace

void SetCommFlow(DCB& dcb, CommFlow flow)
{
    const bool hardware = flow == CommFlow::Hardware;
    const bool xonxoff = flow == CommFlow::XonXoff;
    dcb.setFlag(DCB_fOutxCtsFlow, hardware);
    dcb.setFlag(DCB_fOutxDsrFlow, hardware);
    dcb.setDtrControl(hardware ? DTR_CONTROL_HANDSHAKE : DTR_CONTROL_ENABLE);
    dcb.setRtsControl(hardware ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE);
    dcb.setFlag(DCB_fOutX, xonxoff);
    dcb.setFlag(DCB_fInX, xonxoff);
}

BOOL BuildCommDCB(const char* mode, DCB* dcb)
{
    if (!mode || !dcb)
        return FALSE;
    const std::vector<std::string_view> f = fields(mode);
    bool ok = f.size() <= 5;
    auto field = [&](std::size_t i) { return i < f.size() ? f[i] : std::string_view(); };
    auto present = [&](std::size_t i) { return i < f.size() && !f[i].empty(); };

    if (const DWORD baud = baudRate(field(0)))
        dcb->BaudRate = baud;
    else
        ok = false;

    if (present(1)) {
        static constexpr char kLetters[] = "noems";
        const std::string_view p = field(1);
        const auto at =
            p.size() == 1
                ? std::string_view(kLetters).find(static_cast<char>(std::tolower(static_cast<unsigned char>(p[0]))))
                : std::string_view::npos;
        if (at != std::string_view::npos) {
            dcb->Parity = static_cast<BYTE>(at);
            dcb->setFlag(DCB_fParity, at != NOPARITY);
        } else {
            ok = false;
        }
    }
    if (present(2)) {
        const DWORD bits = number(field(2));
        if (bits >= 5 && bits <= 8)
            dcb->ByteSize = static_cast<BYTE>(bits);
        else
            ok = false;
    }
    if (present(3)) {
        const std::string_view s = field(3);
        if (s == "1")
            dcb->StopBits = ONESTOPBIT;
        else if (s == "1.5")
            dcb->StopBits = ONE5STOPBITS;
        else if (s == "2")
            dcb->StopBits = TWOSTOPBITS;
        else
            ok = false;
    }
    CommFlow flow = CommFlow::None;
    if (present(4)) {
        const std::string_view s = field(4);
        const char c = s.size() == 1 ? static_cast<char>(std::tolower(static_cast<unsigned char>(s[0]))) : 0;
        if (c == 'p')
            flow = CommFlow::Hardware;
        else if (c == 'x')
            flow = CommFlow::XonXoff;
        else
            ok = false;
    }
    SetCommFlow(*dcb, flow);
    dcb->DCBlength = sizeof(DCB);
    dcb->setFlag(DCB_fBinary, true);
    return ok ? TRUE : FALSE;
}

} // namespace plat

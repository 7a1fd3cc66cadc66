// Mode strings to line settings: every form a settings file holds, and what an unreadable field
// leaves alone.
#include <platform/comm_mode.h>

#include <gtest/gtest.h>

#include <string>

using namespace plat;

namespace {

// "<baud> <parity> <bits> <stop> <flow>", flow h(ardware), x(on/xoff), n(one) or ? (mixed flags).
std::string summary(const DCB& d)
{
    const bool hw = d.flag(DCB_fOutxCtsFlow) && d.flag(DCB_fOutxDsrFlow) && d.dtrControl() == DTR_CONTROL_HANDSHAKE &&
                    d.rtsControl() == RTS_CONTROL_HANDSHAKE && !d.flag(DCB_fOutX) && !d.flag(DCB_fInX);
    const bool soft = !d.flag(DCB_fOutxCtsFlow) && !d.flag(DCB_fOutxDsrFlow) && d.dtrControl() == DTR_CONTROL_ENABLE &&
                      d.rtsControl() == RTS_CONTROL_ENABLE && d.flag(DCB_fOutX) == d.flag(DCB_fInX);
    const char flow = hw ? 'h' : !soft ? '?' : d.flag(DCB_fOutX) ? 'x' : 'n';
    return std::to_string(d.BaudRate) + " " + "noems"[d.Parity % 5] + " " + std::to_string(d.ByteSize) + " " +
           "1h2"[d.StopBits % 3] + " " + flow + (d.flag(DCB_fParity) == (d.Parity != NOPARITY) ? "" : " parity flag!");
}

} // namespace

TEST(CommMode, ReadsEveryFormAndKeepsWhatItCannotRead)
{
    // Each case starts from 4800 baud, odd parity, 7 data bits, 1.5 stop bits, half a flow set.
    const std::tuple<const char*, BOOL, const char*> cases[] = {
        {"96,n,8,2,p", TRUE, "9600 n 8 2 h"},
        {"384,n,8,2,p", TRUE, "38400 n 8 2 h"},
        {"96,e,7,1,x", TRUE, "9600 e 7 1 x"},
        {"96,n,8,2", TRUE, "9600 n 8 2 n"},
        {"192,n,8,1", TRUE, "19200 n 8 1 n"},
        {"19,N,8,1,P", TRUE, "19200 n 8 1 h"},
        {"576,o,8,1", TRUE, "57600 o 8 1 n"},
        {"1152, s ,5,1.5,X", TRUE, "115200 s 5 h x"},
        {"12,m,6,2", TRUE, "1200 m 6 2 n"},
        {"250000,n,8,1", TRUE, "250000 n 8 1 n"},
        {"96", TRUE, "9600 o 7 h n"},
        {"96,,,2", TRUE, "9600 o 7 2 n"},
        // Unreadable fields keep the starting value; the others still apply.
        {"", FALSE, "4800 o 7 h n"},
        {"fast,e,8,2,p", FALSE, "4800 e 8 2 h"},
        {"0,n", FALSE, "4800 n 7 h n"},
        {"96,q,9,3,z", FALSE, "9600 o 7 h n"},
        {"-96,n,8,1", FALSE, "4800 n 8 1 n"},
        {"96,n,8,2,p,extra", FALSE, "9600 n 8 2 h"},
    };
    for (const auto& [mode, ok, expected] : cases) {
        DCB dcb;
        dcb.BaudRate = 4800, dcb.Parity = ODDPARITY, dcb.ByteSize = 7, dcb.StopBits = ONE5STOPBITS;
        dcb.Flags = DCB_fParity | DCB_fOutX;
        EXPECT_EQ(BuildCommDCB(mode, &dcb), ok) << mode;
        EXPECT_EQ(summary(dcb), expected) << mode;
    }
    DCB dcb;
    EXPECT_FALSE(BuildCommDCB(nullptr, &dcb) || BuildCommDCB("96", nullptr));
    EXPECT_EQ(COMMCONFIG().dwSize, 52u);
}

// The port list: names from devices and [ExtPort] lines, the records' settings from [Port], the
// Connect choice, the [Port] value form and the write-back.
#include "AppFixture.h"

#include "connection/PortList.h"

#include <platform/comm_mode.h>
#include <platform/comm_port_names.h>

#include <cstring>

using namespace talverin;
using Entries = std::vector<plat::profile::Entry>;

TEST(PortList, NamesFromDevicesAndExtraPorts)
{
    struct Case {
        const char* what;
        std::vector<std::string> devices;
        Entries extPorts;
        std::vector<std::string> names;
        std::vector<std::pair<std::string, std::string>> devicesOf; // name -> device afterwards
    };
    const Case cases[] = {
        {"bad lines", {}, {{"com7", "x"}, {"COM0", "x"}, {"COM300", "x"}, {"COMx", "y"}, {"COM", "z"}, {"PORT3", "/dev/a"}},
         {"COM7"}, {{"COM7", "x"}}},
        {"a moved default device gets a free number", {"/dev/ttyS0", "/dev/ttyS1"}, {{"COM2", "/dev/pts/5"}},
         {"COM1", "COM2", "COM37"}, {{"COM1", "/dev/ttyS0"}, {"COM2", "/dev/pts/5"}, {"COM37", "/dev/ttyS1"}}},
        {"free numbers in device order, first line wins",
         {"/dev/ttyXR1", "/dev/ttyUSB5", "/dev/ttyXR0", "/dev/ttyXR1"},
         {{"COM37", "/dev/pts/3"}, {"com10", "\"/dev/first\""}, {"COM10", "/dev/second"}},
         {"COM10", "COM37", "COM38", "COM39", "COM40"},
         {{"COM10", "/dev/first"}, {"COM38", "/dev/ttyUSB5"}, {"COM39", "/dev/ttyXR0"}, {"COM40", "/dev/ttyXR1"}}},
        {"sorted by number, a device listed once", {"/dev/pts/4"}, {{"COM10", "a"}, {"COM9", "b"}, {"Com40", "/dev/pts/4"}, {"COM2", "c"}},
         {"COM2", "COM9", "COM10", "COM40"}, {{"COM40", "/dev/pts/4"}}},
        {"an empty value still lists the name", {}, {{"COM3", ""}}, {"COM3"}, {{"COM3", "/dev/ttyS2"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PortList::PortNames(c.devices, c.extPorts), c.names);
        for (const auto& [name, device] : c.devicesOf)
            EXPECT_EQ(plat::CommPortDevicePath(name), device) << name;
    }
    // Nothing left from one list to the next.
    EXPECT_TRUE(PortList::PortNames({}, {}).empty() && plat::ExtPorts().empty());
    EXPECT_EQ(std::vector<plat::UINT>({PortMenuId("COM1"), PortMenuId("com10"), PortMenuId("COM256"), PortMenuId("COM257")}),
              std::vector<plat::UINT>({15000, 15009, 15255, 0}));
}

TEST(PortList, RecordsConnectChoiceAndWriteBack)
{
    apptest::TempFolder folder;
    const std::string ini = folder.file("Talverin.ini");
    ASSERT_TRUE(plat::WriteFileAtomic(ini, "[Port]\r\nCOM1=384,n,8,2,p\r\nCOM2=96,e,7,1,x\r\nCOM3=96,n,8,2\r\n"
                                          "COM4=fast,q,9\r\nCOM6=\r\n[ExtPort]\r\nCOM1=/dev/a\r\nCOM2=/dev/b\r\n"
                                          "COM3=/dev/c\r\nCOM4=/dev/d\r\nCOM5=/dev/e\r\nCOM6=/dev/f\r\n"));
    std::vector<std::string> defaultsAsked;
    PortList list;
    list.Build({}, ini, [&](const std::string& name, plat::DCB& dcb) {
        defaultsAsked.push_back(name);
        dcb.BaudRate = 57600;
        return name == "COM5"; // false: the record's own defaults stay
    });
    ASSERT_EQ(list.Records().size(), 6u);
    EXPECT_EQ(defaultsAsked, (std::vector<std::string>{"COM5", "COM6"}));
    // The values as written back (the round trip below shows the form reads back as written).
    const char* expected[] = {"384,n,8,2,p", "96,e,7,1,x", "96,n,8,2", "96,n,8,2", "576,n,8,2,p", "96,n,8,2,p"};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(FormatPortValue(list.Records()[i]->Dcb()), expected[i]) << list.Records()[i]->m_name;
    EXPECT_TRUE(list.ConnectRecord("com3")->m_name == "COM3" && list.ConnectRecord("COM9")->m_name == "COM1");
    EXPECT_EQ(&list.FindOrAdd("com2"), list.Find("COM2"));
    EXPECT_EQ(list.FindOrAdd("COM12").m_name, "COM12");
    EXPECT_EQ(PortList().ConnectRecord("COM1"), nullptr);

    list.Find("COM12")->Dcb().BaudRate = 0; // a rate of 0 is not written
    EXPECT_TRUE(list.WriteBack(ini) && list.IsEmpty());
    EXPECT_EQ(plat::profile::getString(ini, "Port", "COM4"), "96,n,8,2");
    EXPECT_EQ(plat::profile::getString(ini, "Port", "COM5"), "576,n,8,2,p");
    EXPECT_FALSE(plat::profile::find(ini, "Port", "COM12"));
}

TEST(PortList, EverySettingTheDialogOffersReadsBackAsWritten)
{
    EXPECT_EQ(FormatPortValue(PortRecord().Dcb()), "96,n,8,2,p");
    for (const plat::DWORD baud : {9600u, 19200u, 38400u, 57600u, 115200u}) {
        for (int n = 0; n < 5 * 3 * 3; ++n) { // parity x stop bits x flow
            plat::DCB written = PortRecord().Dcb();
            written.BaudRate = baud;
            written.Parity = static_cast<plat::BYTE>(n % 5);
            written.setFlag(plat::DCB_fParity, n % 5 != 0);
            written.StopBits = static_cast<plat::BYTE>(n / 5 % 3);
            written.ByteSize = static_cast<plat::BYTE>(7 + n % 2);
            plat::SetCommFlow(written, static_cast<plat::CommFlow>(n / 15));
            const std::string value = FormatPortValue(written);
            plat::DCB read = PortRecord().Dcb();
            ApplyPortValue(read, value);
            EXPECT_TRUE(std::memcmp(&read, &written, sizeof read) == 0) << value;
        }
    }
    plat::DCB dcb = PortRecord().Dcb();
    ApplyPortValue(dcb, "96,n,8,1");
    EXPECT_EQ(FormatPortValue(dcb), "96,n,8,1");
    dcb.StopBits = plat::ONE5STOPBITS;
    EXPECT_EQ(FormatPortValue(dcb), "96,n,8,1.5");
}

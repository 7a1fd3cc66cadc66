// The exported functions: results and last errors with no port open, with bad arguments, and with a
// port open on a pseudo-terminal (records put into the states the threads would bring them to).
#include "comm_app.h"
#include "comm_log.h"
#include "port_settings.h"
#include "port_test_access.h"
#include "timings.h"

#include "test_support.h"

#include <zrcomm/zrcomm_api.h>

#include <platform/errors.h>
#include <platform/language.h>

#include <testsupport/pty_pair.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

using namespace zrcomm;
using Access = CCommPortTestAccess;
using zrtest::Message;
using zrtest::RecordingWindow;

extern "C" {
extern const uint32_t zrcomm_c_codes[];
extern const unsigned zrcomm_c_code_count;
extern const size_t zrcomm_c_dcb_size;
extern const size_t zrcomm_c_dcb_byte_size_offset;
extern const size_t zrcomm_c_external_data_size;
extern void (*const zrcomm_c_functions[])(void);
extern const unsigned zrcomm_c_function_count;
}

namespace {

// Marks the last error so a test can see whether a call stored one.
void MarkLastError()
{
    ZRComm_SetMonitorWnd(nullptr);
} // stores COMM_ERR_NOT_OPEN without a port

using Pty = plat::test::PtyPair;

plat::DCB Settings(plat::DWORD baud = 9600)
{
    plat::DCB d;
    d.BaudRate = baud;
    d.ByteSize = 8;
    d.Parity = plat::NOPARITY;
    d.StopBits = plat::TWOSTOPBITS;
    return d;
}

class ExportsNoPort : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CCommApp::Get().Port(), nullptr); }
};

using ExportsOpenPty = ExportsNoPort;

} // namespace

TEST(ExportsHeader, TheCDeclarationsMatchTheLibrary)
{
    const std::vector<std::uint32_t> cpp = {
        COMM_OK,
        COMM_ERR_ALREADY_OPEN,
        COMM_ERR_OPEN_FAILED,
        COMM_ERR_SETUP_FAILED,
        COMM_ERR_NOT_OPEN,
        COMM_ERR_NOT_CONNECTED,
        COMM_ERR_BUSY,
        COMM_ERR_NO_COMMAND,
        COMM_ERR_COMMANDS_QUEUED,
        COMM_ERR_PROMPT_TIMEOUT,
        COMM_ERR_INVALID_ARG,
        COMM_ERR_LINE_GONE,
        COMM_ERR_IDENTIFY_FAILED,
        COMM_REPLY_UNKNOWN_COMMAND,
        COMM_REPLY_UNKNOWN_OPTION,
        COMM_REPLY_WRITE_INHIBIT,
        COMM_REPLY_READ_INHIBIT,
        COMM_REPLY_RANGE_OVER,
        COMM_REPLY_CONDITION_MISMATCH,
        COMM_REPLY_NOT_OMISSIBLE,
        COMM_REPLY_PASSWORD_REQUIRED,
        COMM_REPLY_DISABLE_COMMAND,
        COMM_REPLY_READ_ONLY,
        CMD_WAITING,
        CMD_SENDING,
        CMD_WAIT_ECHO,
        CMD_SEND_FAILED,
        CMD_NO_ECHO,
        CMD_WAIT_REPLY,
        CMD_RECEIVING,
        CMD_QUESTION,
        CMD_SENDING_ANSWER,
        CMD_ANSWER_SENT,
        CMD_ANSWER_FAILED,
        CMD_REPLY_TIMEOUT,
        CMD_INVALID_DATA,
        CMD_COMPLETED,
        CMD_ABORTING,
        CMD_ABORTED,
        CONN_NONE,
        CONN_CHECKING,
        CONN_CONNECTED,
        COMM_EVENT_SENDING,
        COMM_EVENT_WRITTEN,
        COMM_EVENT_WRITE_FAILED,
        COMM_EVENT_NO_ECHO,
        COMM_EVENT_REPLY_BEGINS,
        COMM_EVENT_TIMEOUT,
        COMM_EVENT_INVALID_DATA,
        COMM_EVENT_COMPLETED,
        COMM_EVENT_ABORTED,
        COMM_EVENT_TEXT_RECEIVED,
        COMM_MONITOR_CONNECTED,
        COMM_MONITOR_WRITE_ACTIVITY,
        COMM_MONITOR_READ_ACTIVITY,
        COMM_MONITOR_LINE_EVENT,
        COMM_MONITOR_CONNECTION_LOST,
        COMM_MONITOR_NOT_CONNECTED,
        COMM_MONITOR_PORT_CLOSED,
        COMM_MONITOR_BAUD_STARTED,
        COMM_MONITOR_BAUD_DONE,
        COMM_MONITOR_BAUD_FAILED,
        COMM_MONITOR_RECORDS_REMOVED,
        WM_COMM_COMMAND,
        WM_COMM_TEXT,
        WM_COMM_MONITOR,
        ZRCOMM_PORT_NAME_MAX,
        ZRCOMM_DRIVER_ID_MAX,
    };
    ASSERT_EQ(zrcomm_c_code_count, cpp.size());
    for (std::size_t i = 0; i < cpp.size(); ++i)
        EXPECT_EQ(zrcomm_c_codes[i], cpp[i]) << "code " << i;
    EXPECT_EQ(zrcomm_c_dcb_size, sizeof(plat::DCB));
    EXPECT_EQ(zrcomm_c_dcb_byte_size_offset, offsetof(plat::DCB, ByteSize));
    EXPECT_EQ(zrcomm_c_external_data_size, 32u);
    static_assert(sizeof(CommExternalData) == 32);
    static_assert(sizeof(intptr_t) == sizeof(void*), "command tags carry addresses");
    ASSERT_EQ(zrcomm_c_function_count, 29u);
    EXPECT_EQ(zrcomm_c_functions[0], reinterpret_cast<void (*)(void)>(&ZRComm_InitFromDCB));
    EXPECT_EQ(zrcomm_c_functions[26], reinterpret_cast<void (*)(void)>(&ZRComm_CommConfigDialog));
}

TEST_F(ExportsNoPort, EveryFunctionReportsTheClosedPort)
{
    char buf[16] = "untouched";
    CommandId ids[4] = {7, 7, 7, 7};
    const auto notOpen = static_cast<int>(COMM_ERR_NOT_OPEN);

    EXPECT_EQ(ZRComm_Term(), COMM_ERR_NOT_OPEN);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_NOT_OPEN);
    EXPECT_EQ(ZRComm_EscapeCommFunction(plat::SETDTR), COMM_ERR_NOT_OPEN);
    EXPECT_EQ(ZRComm_SetCommandMode(1), COMM_ERR_NOT_OPEN);
    EXPECT_EQ(ZRComm_SendText(nullptr, "x"), COMM_ERR_NOT_OPEN);
    EXPECT_EQ(ZRComm_SetBaudRate(19200), COMM_ERR_NOT_OPEN);
    EXPECT_EQ(ZRComm_ResumeCommand(1), COMM_ERR_NOT_OPEN);
    EXPECT_EQ(ZRComm_AbortCommand(1), COMM_ERR_NOT_OPEN);
    EXPECT_EQ(ZRComm_GetCommandState(1), COMM_ERR_NOT_OPEN);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_NOT_OPEN);

    // Functions whose failure value is not the code: the code goes to the last error.
    struct Case {
        const char* name;
        long long value;
        long long expected;
    };
    const Case cases[] = {
        {"GetReceiveText", ZRComm_GetReceiveText(buf, 16), 0},
        {"SendCommandText", ZRComm_SendCommandText(nullptr, "A\r", 5), 0},
        {"SendTopLevelCommandText", ZRComm_SendTopLevelCommandText(nullptr, "A\r", 5), 0},
        {"GetReceiveCommandText", ZRComm_GetReceiveCommandText(1, buf, 16), 0},
        {"RemoveCommand", ZRComm_RemoveCommand(1), notOpen},
        {"RemoveCommand all", ZRComm_RemoveCommand(-1), notOpen},
        {"GetCommandCount", ZRComm_GetCommandCount(1), -1},
        {"GetCommand", ZRComm_GetCommand(1, buf, 16), notOpen},
        {"GetCommandText", ZRComm_GetCommandText(1, buf, 16), 0},
        {"GetCommandParam", ZRComm_GetCommandParam(1), 0},
        {"FindCommand", ZRComm_FindCommand(0, "A"), 0},
        {"EnumCommand", ZRComm_EnumCommand(ids), 0},
        {"IsConnected", ZRComm_IsConnected(buf, buf), 0},
        {"IsConnectedEx", ZRComm_IsConnectedEx(buf, 16, buf, 16), 0},
        {"SetMonitorWnd", ZRComm_SetMonitorWnd(nullptr), 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, c.expected) << c.name;
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_NOT_OPEN);
    EXPECT_STREQ(buf, "untouched");
    EXPECT_EQ(ids[0], 7);
}

TEST_F(ExportsNoPort, BadArgumentsAreReportedBeforeTheClosedPort)
{
    char buf[8] = "keep";
    const auto invalid = static_cast<int>(COMM_ERR_INVALID_ARG);
    auto expectInvalid = [](long long got, long long want, const char* what) {
        EXPECT_EQ(got, want) << what;
        EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_INVALID_ARG) << what;
        MarkLastError();
    };
    plat::DCB dcb = Settings();
    MarkLastError();
    expectInvalid(ZRComm_InitFromDCB(nullptr, nullptr, &dcb), invalid, "InitFromDCB name");
    expectInvalid(ZRComm_InitFromDCB(nullptr, "COM1", nullptr), invalid, "InitFromDCB settings");
    expectInvalid(ZRComm_SetCommandMode(3), invalid, "SetCommandMode 3");
    expectInvalid(ZRComm_SetCommandMode(-1), invalid, "SetCommandMode -1");
    expectInvalid(ZRComm_SendText(nullptr, nullptr), invalid, "SendText");
    expectInvalid(ZRComm_GetReceiveText(nullptr, 8), 0, "GetReceiveText NULL");
    expectInvalid(ZRComm_GetReceiveText(buf, 0), 0, "GetReceiveText 0");
    expectInvalid(ZRComm_GetReceiveText(buf, -5), 0, "GetReceiveText negative");
    expectInvalid(ZRComm_SendCommandText(nullptr, nullptr, 0), 0, "SendCommandText");
    expectInvalid(ZRComm_SendTopLevelCommandText(nullptr, nullptr, 0), 0, "SendTopLevelCommandText");
    expectInvalid(ZRComm_GetCommandState(0), invalid, "GetCommandState");
    expectInvalid(ZRComm_GetReceiveCommandText(0, buf, 8), 0, "GetReceiveCommandText id");
    expectInvalid(ZRComm_GetReceiveCommandText(1, nullptr, 8), 0, "GetReceiveCommandText NULL");
    expectInvalid(ZRComm_GetReceiveCommandText(1, buf, 0), 0, "GetReceiveCommandText 0");
    expectInvalid(ZRComm_GetCommand(0, buf, 8), invalid, "GetCommand id");
    expectInvalid(ZRComm_GetCommand(1, nullptr, 8), invalid, "GetCommand NULL");
    expectInvalid(ZRComm_GetCommand(1, buf, 0), invalid, "GetCommand 0");
    expectInvalid(ZRComm_GetCommandText(0, buf, 8), 0, "GetCommandText id");
    expectInvalid(ZRComm_GetCommandText(1, nullptr, 8), 0, "GetCommandText NULL");
    expectInvalid(ZRComm_GetCommandText(1, buf, 0), 0, "GetCommandText 0");
    expectInvalid(ZRComm_GetCommandParam(0), 0, "GetCommandParam");
    expectInvalid(ZRComm_ResumeCommand(0), invalid, "ResumeCommand");
    expectInvalid(ZRComm_AbortCommand(0), invalid, "AbortCommand");
    expectInvalid(ZRComm_FindCommand(0, nullptr), 0, "FindCommand");
    expectInvalid(ZRComm_EnumCommand(nullptr), 0, "EnumCommand");
    expectInvalid(ZRComm_SetBaudRate(115200), invalid, "SetBaudRate 115200");
    expectInvalid(ZRComm_SetBaudRate(0), invalid, "SetBaudRate 0");
    expectInvalid(ZRComm_GetDefaultCommConfig(nullptr, &dcb), 0, "GetDefaultCommConfig name");
    expectInvalid(ZRComm_GetDefaultCommConfig("COM1", nullptr), 0, "GetDefaultCommConfig settings");
    expectInvalid(ZRComm_CommConfigDialog(nullptr, nullptr, &dcb), 0, "CommConfigDialog name");
    expectInvalid(ZRComm_CommConfigDialog("COM1", nullptr, nullptr), 0, "CommConfigDialog settings");
    EXPECT_STREQ(buf, "keep");
}

TEST_F(ExportsNoPort, InitExternalDataAndGetLastErrorStoreNothing)
{
    CommExternalData d{};
    d.size = 32;
    d.replyTimeoutMs = 1000;
    ZRComm_GetCommandState(0);                 // stores COMM_ERR_INVALID_ARG
    EXPECT_EQ(ZRComm_InitExternalData(&d), 0); // no port
    EXPECT_EQ(ZRComm_InitExternalData(nullptr), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_INVALID_ARG);
}

TEST_F(ExportsOpenPty, OpenFailuresLeaveNoPort)
{
    plat::DCB dcb = Settings();
    EXPECT_EQ(ZRComm_InitFromDCB(nullptr, "/nonexistent/tty", &dcb), COMM_ERR_OPEN_FAILED);
    EXPECT_EQ(ZRComm_InitFromDCB(nullptr, "", &dcb), COMM_ERR_OPEN_FAILED); // an empty name fails at open
    EXPECT_EQ(CCommApp::Get().Port(), nullptr);

    Pty pty;
    plat::DCB odd = Settings(12345); // a speed the line cannot take
    EXPECT_EQ(ZRComm_InitFromDCB(nullptr, pty.slave.c_str(), &odd), COMM_ERR_SETUP_FAILED);
    EXPECT_EQ(CCommApp::Get().Port(), nullptr);

    const detail::ScopedTestHooks noReceiveThread({.failThreadStart = 2}); // off however the test ends
    const CommResult r = ZRComm_InitFromDCB(nullptr, pty.slave.c_str(), &dcb);
    detail::testHooks().failThreadStart = 0;
    EXPECT_EQ(r, plat::ErrorFromErrno(EAGAIN));
    EXPECT_EQ(ZRComm_GetLastError(), r);
    EXPECT_EQ(CCommApp::Get().Port(), nullptr);
    // The device was let go: it opens again.
    ASSERT_EQ(ZRComm_InitFromDCB(nullptr, pty.slave.c_str(), &dcb), COMM_OK);
    EXPECT_EQ(ZRComm_Term(), COMM_OK);
}

TEST_F(ExportsOpenPty, DefaultSettingsForAnExistingDevice)
{
    Pty pty;
    plat::DCB dcb;
    dcb.BaudRate = 1;
    EXPECT_EQ(ZRComm_GetDefaultCommConfig(pty.slave.c_str(), &dcb), 1);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, plat::NOPARITY);
    EXPECT_EQ(dcb.StopBits, plat::TWOSTOPBITS);
    EXPECT_EQ(dcb.Flags & 0x333E, 0x202Cu); // CTS/DSR flow, DTR and RTS handshakes, nothing else
    EXPECT_TRUE(dcb.flag(plat::DCB_fBinary));
    EXPECT_EQ(dcb.XonLim, 2048);
    EXPECT_EQ(dcb.XoffLim, 512);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
}

TEST_F(ExportsNoPort, DefaultSettingsLookupFailureStoresAnError)
{
    plat::DCB dcb;
    const plat::DCB before = dcb;
    EXPECT_EQ(ZRComm_GetDefaultCommConfig("/nonexistent/ttyS9", &dcb), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_OPEN_FAILED);
    // A file that is no device is no port either.
    zrtest::TempDir dir;
    zrtest::writeFile(dir.file("plain"), "x");
    EXPECT_EQ(ZRComm_GetDefaultCommConfig(dir.file("plain").c_str(), &dcb), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_OPEN_FAILED);
    EXPECT_EQ(std::memcmp(&dcb, &before, sizeof dcb), 0);
}

TEST(ExportsDefaults, ForcingKeepsTheUnrelatedFlags)
{
    plat::DCB dcb;
    dcb.Flags = 0xFFFFFFFFu;
    dcb.BaudRate = 115200;
    dcb.ByteSize = 7;
    dcb.Parity = plat::ODDPARITY;
    dcb.StopBits = plat::ONE5STOPBITS;
    ForceDefaultSettings(dcb);
    EXPECT_EQ(dcb.Flags, (0xFFFFFFFFu & ~0x1312u) | 0x202Cu);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, plat::NOPARITY);
    EXPECT_EQ(dcb.StopBits, plat::TWOSTOPBITS);
}

// ---------------------------------------------------------------------------------------------
// With a port open on a pseudo-terminal that nothing answers.

namespace {

class ExportsPty : public ::testing::Test {
protected:
    Pty pty;
    RecordingWindow notify;
    RecordingWindow monitor;

    void SetUp() override
    {
        ASSERT_FALSE(pty.slave.empty());
        ZRComm_SetMonitorWnd(monitor.hwnd());
        plat::DCB dcb = Settings();
        ASSERT_EQ(ZRComm_InitFromDCB(notify.hwnd(), pty.slave.c_str(), &dcb), COMM_OK);
        ASSERT_NE(port(), nullptr);
    }
    void TearDown() override
    {
        if (port()) {
            EXPECT_EQ(ZRComm_Term(), COMM_OK);
        }
        ZRComm_SetMonitorWnd(nullptr);
    }
    static CCommPort* port() { return CCommApp::Get().Port(); }
    static CCommCommand* record(CommandId id) { return port()->GetRecord(id); }
    static void connect() { Access::SetConnection(*port(), CONN_CONNECTED); }
    static void setState(CommandId id, CommandState s)
    {
        PortLock lock(*port());
        record(id)->state = s;
    }
};

} // namespace

TEST_F(ExportsPty, OpenTwiceAndCloseTwice)
{
    plat::DCB dcb = Settings();
    EXPECT_EQ(ZRComm_InitFromDCB(nullptr, pty.slave.c_str(), &dcb), COMM_ERR_ALREADY_OPEN);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_ALREADY_OPEN);
    EXPECT_EQ(port()->NotifyWindow(), notify.hwnd());
    EXPECT_EQ(port()->MonitorWindow(), monitor.hwnd()); // the library's monitor window
    EXPECT_EQ(ZRComm_Term(), COMM_OK);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    EXPECT_EQ(ZRComm_Term(), COMM_ERR_NOT_OPEN);
    monitor.pump();
    EXPECT_EQ(monitor.of(WM_COMM_MONITOR).back(), (Message{WM_COMM_MONITOR, COMM_MONITOR_PORT_CLOSED, 0}));
}

TEST_F(ExportsPty, CommandsAreQueuedWithoutAConnectionAndKeepPointerTags)
{
    int object = 0;
    const auto tag = reinterpret_cast<intptr_t>(&object);
    const CommandId a = ZRComm_SendCommandText(nullptr, "?AB\r", tag);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    const CommandId b = ZRComm_SendCommandText(nullptr, "?CD\r", -1);
    const CommandId top = ZRComm_SendTopLevelCommandText(nullptr, "KP0\r", 0);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(top, 3);
    EXPECT_EQ(ZRComm_SendCommandText(nullptr, "", 0), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_INVALID_ARG);

    EXPECT_EQ(ZRComm_GetCommandParam(a), tag);
    EXPECT_EQ(reinterpret_cast<int*>(ZRComm_GetCommandParam(a)), &object);
    EXPECT_EQ(ZRComm_GetCommandParam(b), -1);
    EXPECT_EQ(ZRComm_GetCommandParam(99), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_NO_COMMAND);

    EXPECT_EQ(ZRComm_GetCommandCount(1), 3);
    EXPECT_EQ(ZRComm_GetCommandCount(0), 0);
    EXPECT_GE(ZRComm_GetCommandCount(-1), 3);
    CommandId ids[3] = {};
    EXPECT_EQ(ZRComm_EnumCommand(ids), 3);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    EXPECT_EQ(ids[0], a);
    EXPECT_EQ(ids[1], b);
    EXPECT_EQ(ids[2], top); // top-level goes ahead of waiting text and steps only
    EXPECT_EQ(ZRComm_GetCommandState(a), CMD_WAITING);
    EXPECT_EQ(ZRComm_GetCommandState(1234), COMM_ERR_NO_COMMAND);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_NO_COMMAND);
}

TEST_F(ExportsPty, CopyOutArithmetic)
{
    const CommandId id = ZRComm_SendCommandText(nullptr, "AB\rCD\r", 0);
    char buf[16];

    // First line with its CR, cut to size-1.
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(ZRComm_GetCommand(id, buf, 3), 2);
    EXPECT_EQ(std::string(buf, 3), std::string("AB\0", 3));
    EXPECT_EQ(ZRComm_GetCommand(id, buf, 16), 3);
    EXPECT_STREQ(buf, "AB\r");
    EXPECT_EQ(ZRComm_GetCommand(id, buf, 1), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(ZRComm_GetCommand(4321, buf, 16), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_NO_COMMAND);
    const CommandId single = ZRComm_SendCommandText(nullptr, "NOCR", 0);
    EXPECT_EQ(ZRComm_GetCommand(single, buf, 16), 4);
    EXPECT_STREQ(buf, "NOCR");

    // The whole text, at most size-1 bytes.
    EXPECT_EQ(ZRComm_GetCommandText(id, buf, 16), 6);
    EXPECT_STREQ(buf, "AB\rCD\r");
    EXPECT_EQ(ZRComm_GetCommandText(id, buf, 4), 3);
    EXPECT_STREQ(buf, "AB\r");
    EXPECT_EQ(ZRComm_GetCommandText(id, buf, 1), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);

    // The reply: n = min(length, size) bytes, the n-th replaced by NUL.
    {
        PortLock lock(*port());
        record(id)->reply.Assign("ABC\r", 4);
        record(id)->state = CMD_COMPLETED;
    }
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(ZRComm_GetReceiveCommandText(id, buf, 16), 4);
    EXPECT_STREQ(buf, "ABC");
    EXPECT_EQ(ZRComm_GetReceiveCommandText(id, buf, 4), 4);
    EXPECT_STREQ(buf, "ABC");
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(ZRComm_GetReceiveCommandText(id, buf, 3), 2);
    EXPECT_STREQ(buf, "AB");
    EXPECT_EQ(ZRComm_GetReceiveCommandText(id, buf, 1), 0);
    EXPECT_STREQ(buf, "");
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(ZRComm_GetReceiveCommandText(single, buf, 16), 0); // empty reply: nothing copied
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
}

TEST_F(ExportsPty, StateIsTheResultOnceCompleted)
{
    const CommandId id = ZRComm_SendCommandText(nullptr, "?X\r", 0);
    setState(id, CMD_WAIT_REPLY);
    EXPECT_EQ(ZRComm_GetCommandState(id), CMD_WAIT_REPLY);
    {
        PortLock lock(*port());
        record(id)->state = CMD_COMPLETED;
        record(id)->result = COMM_REPLY_RANGE_OVER;
    }
    EXPECT_EQ(ZRComm_GetCommandState(id), COMM_REPLY_RANGE_OVER);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    // Step records carry ids of their own that no caller can reach.
    {
        PortLock lock(*port());
        port()->QueueCommand(Access::Step(*port(), STEP_MODE_SYNC, 0));
    }
    EXPECT_EQ(ZRComm_GetCommandState(static_cast<CommandId>(STEP_MODE_SYNC)), COMM_ERR_NO_COMMAND);
    EXPECT_EQ(ZRComm_RemoveCommand(static_cast<CommandId>(STEP_MODE_SYNC)), -1);
}

TEST_F(ExportsPty, FindCommandFromTheHeadAndAfterAnId)
{
    const CommandId a = ZRComm_SendCommandText(nullptr, "?WL1\r", 0);
    const CommandId b = ZRComm_SendCommandText(nullptr, "?XX\r", 0);
    const CommandId c = ZRComm_SendCommandText(nullptr, "?WL2\r", 0);
    EXPECT_EQ(ZRComm_FindCommand(0, "?WL"), a);
    EXPECT_EQ(ZRComm_FindCommand(a, "?WL"), c);
    EXPECT_EQ(ZRComm_FindCommand(c, "?WL"), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    EXPECT_EQ(ZRComm_FindCommand(0, "?wl"), 0); // exact bytes
    EXPECT_EQ(ZRComm_FindCommand(999, "?WL"), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_NO_COMMAND);
    EXPECT_EQ(ZRComm_FindCommand(0, ""), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(ZRComm_FindCommand(b, "?XX"), 0);
}

TEST_F(ExportsPty, RemoveOneWaitingOrAll)
{
    const CommandId a = ZRComm_SendCommandText(nullptr, "A\r", 0);
    const CommandId b = ZRComm_SendCommandText(nullptr, "B\r", 0);
    const CommandId c = ZRComm_SendCommandText(nullptr, "C\r", 0);
    const CommandId d = ZRComm_SendCommandText(nullptr, "D\r", 0);
    setState(a, CMD_WAIT_REPLY); // under way
    setState(b, CMD_NO_ECHO);    // ended, not under way
    setState(c, CMD_ABORTED);    // aborted counts as under way
    EXPECT_EQ(ZRComm_RemoveCommand(12345), -1);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_NO_COMMAND);

    EXPECT_EQ(ZRComm_RemoveCommand(0), 2); // b and d go
    EXPECT_EQ(ZRComm_GetCommandState(a), CMD_WAIT_REPLY);
    EXPECT_EQ(ZRComm_GetCommandState(c), CMD_ABORTED);
    EXPECT_EQ(ZRComm_GetCommandState(d), COMM_ERR_NO_COMMAND);

    EXPECT_EQ(ZRComm_RemoveCommand(a), 1); // one id goes whatever its state
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    ZRComm_SendCommandText(nullptr, "E\r", 0);
    ZRComm_SendCommandText(nullptr, "F\r", 0);
    EXPECT_EQ(ZRComm_RemoveCommand(-1), 0);
    EXPECT_EQ(ZRComm_GetCommandCount(1), 0);

    ASSERT_TRUE(monitor.pumpUntil([](const std::vector<Message>& seen) {
        int n = 0;
        for (const auto& m : seen)
            n += m.wParam == COMM_MONITOR_RECORDS_REMOVED;
        return n == 2;
    }));
    std::vector<Message> removed;
    for (const auto& m : monitor.seen())
        if (m.wParam == COMM_MONITOR_RECORDS_REMOVED)
            removed.push_back(m);
    EXPECT_EQ(removed[0].lParam, plat::MAKELPARAM(4, 2));
    EXPECT_EQ(removed[1].lParam, plat::MAKELPARAM(3, 0));
}

TEST_F(ExportsPty, ResumeOnlyFailedCommands)
{
    const CommandId id = ZRComm_SendCommandText(nullptr, "?A\r", 0);
    EXPECT_EQ(ZRComm_ResumeCommand(id), COMM_ERR_NO_COMMAND); // waiting
    EXPECT_EQ(ZRComm_ResumeCommand(777), COMM_ERR_NO_COMMAND);
    for (CommandState s : {CMD_SEND_FAILED, CMD_NO_ECHO, CMD_ANSWER_FAILED, CMD_REPLY_TIMEOUT, CMD_INVALID_DATA}) {
        {
            PortLock lock(*port());
            record(id)->state = s;
            record(id)->reply.Assign("partial", 7);
        }
        EXPECT_EQ(ZRComm_ResumeCommand(id), COMM_OK) << std::hex << s;
        PortLock lock(*port());
        EXPECT_EQ(record(id)->state, CMD_WAITING);
        EXPECT_TRUE(record(id)->reply.IsEmpty());
    }
    for (CommandState s : {CMD_WAIT_ECHO, CMD_COMPLETED, CMD_ABORTING, CMD_ABORTED}) {
        setState(id, s);
        EXPECT_EQ(ZRComm_ResumeCommand(id), COMM_ERR_NO_COMMAND) << std::hex << s;
        EXPECT_EQ(ZRComm_GetCommandState(id) == s || s == CMD_COMPLETED, true);
    }
}

TEST_F(ExportsPty, AbortEndsIdleCommandsAtOnceAndLeavesAbortedOnesAlone)
{
    RecordingWindow own;
    for (CommandState s : {CMD_WAITING, CMD_SEND_FAILED, CMD_NO_ECHO, CMD_ANSWER_FAILED, CMD_REPLY_TIMEOUT,
                           CMD_INVALID_DATA, CMD_COMPLETED}) {
        const CommandId id = ZRComm_SendCommandText(own.hwnd(), "?A\r", 0);
        setState(id, s);
        own.clear();
        EXPECT_EQ(ZRComm_AbortCommand(id), COMM_OK) << std::hex << s;
        EXPECT_EQ(ZRComm_GetCommandState(id), CMD_ABORTED) << std::hex << s;
        own.pump();
        EXPECT_EQ(own.of(WM_COMM_COMMAND), (std::vector<Message>{{WM_COMM_COMMAND, COMM_EVENT_ABORTED, id}}))
            << std::hex << s;
        // Aborting it again changes nothing and reports nothing.
        EXPECT_EQ(ZRComm_AbortCommand(id), COMM_OK);
        EXPECT_EQ(ZRComm_GetCommandState(id), CMD_ABORTED);
        own.clear();
        own.pump();
        EXPECT_TRUE(own.of(WM_COMM_COMMAND).empty());
        EXPECT_EQ(ZRComm_RemoveCommand(id), 0);
    }
    // Without a window of its own the notify window hears of it.
    const CommandId plain = ZRComm_SendCommandText(nullptr, "?B\r", 0);
    EXPECT_EQ(ZRComm_AbortCommand(plain), COMM_OK);
    notify.pump();
    EXPECT_EQ(notify.of(WM_COMM_COMMAND).back(), (Message{WM_COMM_COMMAND, COMM_EVENT_ABORTED, plain}));
    EXPECT_EQ(ZRComm_AbortCommand(4444), COMM_ERR_NO_COMMAND);
}

TEST_F(ExportsPty, AbortCancelsACommandUnderWayOnTheLine)
{
    const CommandId id = ZRComm_SendCommandText(nullptr, "?A\r", 0);
    {
        PortLock lock(*port());
        record(id)->state = CMD_WAIT_REPLY;
        record(id)->sentTick = port()->Now() - 500;
        record(id)->ownTimeout = 0;
    }
    EXPECT_EQ(ZRComm_AbortCommand(id), COMM_OK);
    EXPECT_EQ(ZRComm_GetCommandState(id), CMD_ABORTING);
    PortLock lock(*port());
    // The prompt wait counts from now: 500 ms already gone plus the whole wait.
    EXPECT_GE(record(id)->ownTimeout, 500u + port()->PromptWait());
    EXPECT_LT(record(id)->ownTimeout, 500u + port()->PromptWait() + 1000u);
}

TEST_F(ExportsPty, DirectTextChecksInOrder)
{
    EXPECT_EQ(ZRComm_SendText(nullptr, nullptr), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(ZRComm_SendText(nullptr, "x"), COMM_ERR_NOT_CONNECTED);
    EXPECT_EQ(ZRComm_SendText(nullptr, ""), COMM_ERR_NOT_CONNECTED); // the connection is checked first
    connect();
    EXPECT_EQ(ZRComm_SendText(nullptr, ""), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(ZRComm_GetCommandCount(0), 0);
    // The window hears of the text once it is written; only then is it looked for on the line.
    RecordingWindow text;
    plat::Event written(true, false);
    text.m_onMessage = [&](plat::UINT m, plat::WPARAM w, plat::LPARAM) {
        if (m == WM_COMM_TEXT && w == COMM_EVENT_WRITTEN)
            written.set();
    };
    EXPECT_EQ(ZRComm_SendText(text.hwnd(), "abc"), COMM_OK);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    // The bounds only keep a broken build from hanging; the waits end with their events.
    ASSERT_TRUE(plat::WaitServicingSends(written, 60000));
    // The text reaches the line as it is.
    std::string line;
    while (line.find("abc") == std::string::npos) {
        pollfd readable{pty.master, POLLIN, 0};
        if (::poll(&readable, 1, 60000) != 1)
            break;
        char chunk[256];
        const ssize_t n = ::read(pty.master, chunk, sizeof chunk);
        if (n > 0)
            line.append(chunk, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EAGAIN)
            break;
    }
    EXPECT_NE(line.find("abc"), std::string::npos) << line;
}

TEST_F(ExportsPty, ReceivedTextIsTakenInPiecesAndNulBytesDoNotJamIt)
{
    {
        PortLock lock(*port());
        port()->DirectTextBuffer().Assign("\0\0AB\0CDEF\0", 10);
    }
    char buf[4];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(ZRComm_GetReceiveText(buf, 4), 3);
    EXPECT_STREQ(buf, "ABC");
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    EXPECT_EQ(ZRComm_GetReceiveText(buf, 4), 3);
    EXPECT_STREQ(buf, "DEF");
    {
        PortLock lock(*port());
        // A NUL left at the front would stop every later copy: the trailing one went with the copy
        // or goes now.
        EXPECT_LE(port()->DirectTextBuffer().GetLength(), 1u);
    }
    EXPECT_EQ(ZRComm_GetReceiveText(buf, 4), 0);
    {
        PortLock lock(*port());
        EXPECT_TRUE(port()->DirectTextBuffer().IsEmpty());
        port()->DirectTextBuffer().Append("\0G", 2);
    }
    EXPECT_EQ(ZRComm_GetReceiveText(buf, 1), 0); // room for the NUL only; the G stays
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(ZRComm_GetReceiveText(buf, 4), 1);
    EXPECT_STREQ(buf, "G");
}

TEST_F(ExportsPty, IsConnectedCopiesOnlyWhenConnectedAndCutsToTheMaxima)
{
    char name[ZRCOMM_PORT_NAME_MAX + 8];
    char id[ZRCOMM_DRIVER_ID_MAX + 8];
    std::memset(name, 'x', sizeof name);
    std::memset(id, 'x', sizeof id);
    EXPECT_EQ(ZRComm_IsConnected(name, id), 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    EXPECT_EQ(name[0], 'x');
    EXPECT_EQ(id[0], 'x');

    connect();
    // An identification longer than the documented maximum.
    const std::string longId(400, 'I');
    {
        PortLock lock(*port());
        auto step = Access::Step(*port(), STEP_IDENTIFY, 0);
        step->state = CMD_COMPLETED;
        step->reply.Assign(longId.data(), static_cast<std::uint32_t>(longId.size()));
        step->result = COMM_OK;
        port()->OnInternalCommand(step.get(), true);
    }
    ASSERT_EQ(port()->Identification(), longId);
    EXPECT_EQ(ZRComm_IsConnected(name, id), 1);
    EXPECT_EQ(std::string(name), pty.slave);
    EXPECT_EQ(std::strlen(id), std::size_t(ZRCOMM_DRIVER_ID_MAX - 1));
    EXPECT_EQ(id[ZRCOMM_DRIVER_ID_MAX], 'x'); // nothing written past the maximum
    EXPECT_EQ(ZRComm_IsConnected(nullptr, nullptr), 1);
    EXPECT_EQ(ZRComm_IsConnected(nullptr, id), 1);

    char small[5];
    EXPECT_EQ(ZRComm_IsConnectedEx(small, sizeof small, nullptr, 0), 1);
    EXPECT_EQ(std::string(small), pty.slave.substr(0, 4));
    char one[1] = {'z'};
    EXPECT_EQ(ZRComm_IsConnectedEx(nullptr, 0, one, 1), 1);
    EXPECT_EQ(one[0], 0);
    char untouched[2] = {'u', 'u'};
    EXPECT_EQ(ZRComm_IsConnectedEx(untouched, 0, nullptr, 0), 1);
    EXPECT_EQ(untouched[0], 'u');
}

TEST_F(ExportsPty, BaudRateNeedsADriverAndAnEmptyQueue)
{
    EXPECT_EQ(ZRComm_SetBaudRate(19201), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(ZRComm_SetBaudRate(19200), COMM_ERR_NOT_CONNECTED);
    EXPECT_FALSE(port()->BaudChangeRunning());
    connect();
    const CommandId id = ZRComm_SendCommandText(nullptr, "A\r", 0);
    setState(id, CMD_COMPLETED);
    EXPECT_EQ(ZRComm_SetBaudRate(19200), COMM_ERR_BUSY); // even an ended command blocks it
    EXPECT_EQ(ZRComm_RemoveCommand(id), 0);
    EXPECT_EQ(ZRComm_SetBaudRate(57600), COMM_OK);
    EXPECT_TRUE(port()->BaudChangeRunning());
    EXPECT_EQ(ZRComm_GetCommandCount(3), 1);
    EXPECT_EQ(ZRComm_SetBaudRate(9600), COMM_ERR_BUSY);
}

TEST_F(ExportsPty, CommandModeNeedsAnEmptyQueueExceptForModeZero)
{
    const CommandId id = ZRComm_SendCommandText(nullptr, "A\r", 0);
    EXPECT_EQ(ZRComm_SetCommandMode(1), COMM_ERR_COMMANDS_QUEUED);
    EXPECT_EQ(ZRComm_SetCommandMode(0), COMM_OK);
    EXPECT_EQ(ZRComm_RemoveCommand(id), 0);
    EXPECT_EQ(ZRComm_SetCommandMode(1), COMM_OK);
    EXPECT_EQ(port()->CommandMode(), 1);
    EXPECT_EQ(ZRComm_SetCommandMode(0), COMM_OK);
    EXPECT_EQ(port()->CommandMode(), 0);
}

TEST_F(ExportsPty, ExternalDataOnlyWithTheRightSize)
{
    plat::ScopedLanguage keep(plat::GetLanguage());
    const plat::LANGID libraryLanguage = CCommApp::Get().Language();
    CommExternalData d{};
    d.size = 31;
    d.replyTimeoutMs = 2000;
    d.ctsCheck = 0;
    d.languageId = 1041;
    ZRComm_GetCommandState(0);
    EXPECT_EQ(ZRComm_InitExternalData(&d), 0);
    EXPECT_EQ(port()->ReplyTimeout(), 30000u);
    EXPECT_TRUE(port()->CtsCheck());
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_INVALID_ARG);

    d.size = 32;
    EXPECT_EQ(ZRComm_InitExternalData(&d), 1);
    EXPECT_EQ(port()->ReplyTimeout(), 2000u);
    EXPECT_FALSE(port()->CtsCheck());
    EXPECT_EQ(CCommApp::Get().Language(), plat::LANG_JAPANESE);
    EXPECT_EQ(plat::GetThreadLocale(), plat::LANG_JAPANESE);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_INVALID_ARG); // stores nothing

    // A time-out of 0 would end every command at once: it keeps the current one.
    d.replyTimeoutMs = 0;
    d.ctsCheck = 7;
    d.languageId = 0xFFFF0409; // only the low 16 bits count
    EXPECT_EQ(ZRComm_InitExternalData(&d), 1);
    EXPECT_EQ(port()->ReplyTimeout(), 2000u);
    EXPECT_TRUE(port()->CtsCheck());
    EXPECT_EQ(CCommApp::Get().Language(), 0x0409);
    CCommApp::Get().SetLanguage(libraryLanguage);
}

TEST_F(ExportsPty, MonitorWindowChangesAndIsKeptForTheNextPort)
{
    RecordingWindow other;
    EXPECT_EQ(ZRComm_SetMonitorWnd(monitor.hwnd()), 1);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    connect();
    EXPECT_EQ(ZRComm_SetMonitorWnd(other.hwnd()), 1); // a new window while connected hears so
    EXPECT_EQ(port()->MonitorWindow(), other.hwnd());
    // The threads go on meanwhile: activity and line notices may come before or after it.
    const Message connected{WM_COMM_MONITOR, COMM_MONITOR_CONNECTED, 0};
    const auto connectedCount = [&] { return std::count(other.seen().begin(), other.seen().end(), connected); };
    ASSERT_TRUE(other.pumpUntil([&](const std::vector<Message>&) { return connectedCount() > 0; }));
    other.clear();
    EXPECT_EQ(ZRComm_SetMonitorWnd(other.hwnd()), 1); // the same window again: nothing
    other.pump();                                     // a notice would have been posted within the call
    EXPECT_EQ(connectedCount(), 0);

    EXPECT_EQ(ZRComm_Term(), COMM_OK);
    EXPECT_EQ(ZRComm_SetMonitorWnd(monitor.hwnd()), 1);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_NOT_OPEN);
    plat::DCB dcb = Settings();
    ASSERT_EQ(ZRComm_InitFromDCB(nullptr, pty.slave.c_str(), &dcb), COMM_OK);
    EXPECT_EQ(port()->MonitorWindow(), monitor.hwnd());
    EXPECT_EQ(port()->NotifyWindow(), nullptr);
}

TEST_F(ExportsPty, EscapeFunctionsReachTheLine)
{
    EXPECT_EQ(ZRComm_EscapeCommFunction(plat::RESETDEV), 0u);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    const plat::DWORD bad = ZRComm_EscapeCommFunction(99);
    EXPECT_EQ(bad, plat::ErrorFromErrno(EINVAL));
    EXPECT_EQ(ZRComm_GetLastError(), bad);
}

TEST_F(ExportsPty, OpenAndCloseAreLogged)
{
    ASSERT_EQ(ZRComm_Term(), COMM_OK);
    zrtest::TempDir dir;
    CCommLog& log = CCommLog::Get();
    const std::string saved = log.FileName();
    log.SetFile(dir.file("x.log").c_str(), CCommLog::kDefaultMask);
    plat::DCB dcb = Settings();
    ASSERT_EQ(ZRComm_InitFromDCB(nullptr, pty.slave.c_str(), &dcb), COMM_OK);
    EXPECT_TRUE(log.WriterRunning());
    ASSERT_EQ(ZRComm_Term(), COMM_OK);
    EXPECT_FALSE(log.WriterRunning());
    const std::string text = zrtest::readFile(dir.file("x.log"));
    const auto init = text.find("Initialize communication");
    const auto term = text.find("Terminate communication");
    EXPECT_NE(init, std::string::npos);
    EXPECT_NE(term, std::string::npos);
    EXPECT_LT(init, term);
    log.SetFile(saved.c_str(), CCommLog::kDefaultMask);
}

// The exported functions: thin layers over the library state and the open port. Each checks its
// arguments, then that a port is open, then the record; holds the port's lock for its whole run;
// and stores its result as the library's last error.
#include "comm_app.h"
#include "comm_log.h"
#include "comm_strings.h"
#include "port_settings.h"

#include <zrcomm/zrcomm_api.h>

#include <platform/language.h>
#include <platform/messages.h>

#include <algorithm>
#include <cstring>

using namespace zrcomm;
using plat::DWORD;
using plat::HWND;

namespace {

CCommApp& App()
{
    return CCommApp::Get();
}
CCommPort* Port()
{
    return App().Port();
}

CommResult Store(CommResult r)
{
    return App().SetLastError(r);
}

// Fails with value after storing the code.
template <typename T>
T Fail(T value, CommResult code)
{
    Store(code);
    return value;
}

// Commands only: the records of other kinds have no id a caller may use.
CCommCommand* FindCommandRecord(CCommPort& port, CommandId id)
{
    CCommCommand* r = port.GetRecord(id);
    if (r && !r->IsCommand()) {
        port.SetPortError(COMM_ERR_NO_COMMAND);
        return nullptr;
    }
    return r;
}

// Copies text cut to size-1 bytes and a NUL; nothing for a NULL buffer or size 0.
void CopyCut(char* buffer, unsigned size, const std::string& text)
{
    if (!buffer || size == 0)
        return;
    const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
}

void FinishTerm()
{
    LogInfo(IDS_TERM_COMM);
    CCommLog::Get().Flush();
}

CommandId Queue(HWND replyWnd, const char* text, intptr_t param, bool topLevel)
{
    if (!text)
        return Fail(0, COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Fail(0, COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    CCommPort::Record r = port->NewCommand(CCommCommand::KIND_COMMAND, text, replyWnd, param);
    if (!r)
        return Fail(0, COMM_ERR_INVALID_ARG);
    if (port->DeviceGone())
        return Fail(0, COMM_ERR_NOT_CONNECTED); // it would wait for ever
    CCommCommand* queued = topLevel ? port->QueueTopLevelCommand(std::move(r)) : port->QueueCommand(std::move(r));
    port->WakeSender();
    Store(COMM_OK);
    return queued->commandId();
}

} // namespace

extern "C" {

CommResult ZRComm_InitFromDCB(HWND notifyWnd, const char* portName, const plat::DCB* settings)
{
    if (!portName || !settings)
        return Store(COMM_ERR_INVALID_ARG);
    App().FinishPendingCloses(); // a port closed from a text handler lets go of its device first
    if (Port())
        return Store(COMM_ERR_ALREADY_OPEN);
    App().KeepLineError(COMM_OK, {});
    auto port = std::make_unique<CCommPort>();
    const CommResult opened = port->Open(portName);
    App().SetOpenErrorText(port->OpenErrorText());
    if (opened)
        return Store(opened);
    if (port->Configure(*settings) != COMM_OK)
        return Store(COMM_ERR_SETUP_FAILED);
    port->SetNotifyWindow(notifyWnd);
    port->SetMonitorWindow(App().MonitorWindow());
    if (const DWORD err = port->StartThreads())
        return Store(err); // the port closes as it goes
    App().SetPort(std::move(port));
    CCommLog::Get().StartWriter();
    LogInfo(IDS_INIT_COMM);
    return Store(COMM_OK);
}

CommResult ZRComm_GetLineError(char* buffer, unsigned size)
{
    std::string text;
    CommResult code;
    if (CCommPort* port = Port()) {
        code = port->LineError(&text);
    } else {
        code = App().LineError();
        text = App().LineErrorText();
    }
    CopyCut(buffer, size, text);
    Store(COMM_OK);
    return code;
}

int ZRComm_GetOpenErrorText(char* buffer, unsigned size)
{
    if (!buffer || size == 0)
        return Fail(0, COMM_ERR_INVALID_ARG);
    const std::string& text = App().OpenErrorText();
    CopyCut(buffer, size, text);
    Store(COMM_OK);
    return static_cast<int>(std::min<std::size_t>(text.size(), size - 1));
}

CommResult ZRComm_Term(void)
{
    // From here on log entries are written at once or at the flush.
    CCommLog::Get().StopWriter();
    CCommPort* port = Port();
    if (!port)
        return Store(COMM_ERR_NOT_OPEN);
    std::string lineErrorText;
    const CommResult lineError = port->LineError(&lineErrorText);
    App().KeepLineError(lineError, lineErrorText); // the caller may ask after the close
    if (port->DeliversTextToCurrentThread()) {
        // Called from the text handler the receive thread is waiting for: the threads can only end
        // after it returns, so the close goes on without the caller.
        App().CloseLater(App().TakePort(), FinishTerm);
        return Store(COMM_OK);
    }
    if (const CommResult r = port->Close())
        return Store(r);
    App().TakePort().reset();
    FinishTerm();
    return Store(COMM_OK);
}

DWORD ZRComm_EscapeCommFunction(DWORD function)
{
    CCommPort* port = Port();
    if (!port)
        return Store(COMM_ERR_NOT_OPEN);
    return Store(port->Escape(function));
}

CommResult ZRComm_SetCommandMode(int mode)
{
    if (mode < 0 || mode > 2)
        return Store(COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Store(COMM_ERR_NOT_OPEN);
    return Store(port->SetCommandMode(mode));
}

CommResult ZRComm_SendText(HWND textWnd, const char* text)
{
    if (!text)
        return Store(COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Store(COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    if (!port->IsConnected())
        return Store(COMM_ERR_NOT_CONNECTED);
    if (const CommResult r = port->QueueText(textWnd, text))
        return Store(r);
    port->WakeSender();
    return Store(COMM_OK);
}

int ZRComm_GetReceiveText(char* buffer, int size)
{
    if (!buffer || size < 1)
        return Fail(0, COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Fail(0, COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    CByteBuffer& text = port->DirectTextBuffer();
    const std::uint8_t* bytes = text.GetData();
    const std::uint32_t length = text.GetLength();
    // NUL bytes from the line are taken out as they come: one left at the front would end every
    // later copy before it began.
    std::uint32_t taken = 0;
    int copied = 0;
    while (taken < length) {
        const std::uint8_t b = bytes[taken];
        if (b != 0) {
            if (copied >= size - 1)
                break;
            buffer[copied++] = static_cast<char>(b);
        }
        ++taken;
    }
    buffer[copied] = 0;
    text.Mid(taken);
    Store(COMM_OK);
    return copied;
}

CommandId ZRComm_SendCommandText(HWND replyWnd, const char* text, intptr_t param)
{
    return Queue(replyWnd, text, param, false);
}

CommandId ZRComm_SendTopLevelCommandText(HWND replyWnd, const char* text, intptr_t param)
{
    return Queue(replyWnd, text, param, true);
}

CommandStatus ZRComm_GetCommandState(CommandId id)
{
    if (id == 0)
        return Store(COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Store(COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    const CCommCommand* r = FindCommandRecord(*port, id);
    if (!r)
        return Store(COMM_ERR_NO_COMMAND);
    Store(COMM_OK);
    return r->state == CMD_COMPLETED ? r->result : r->state;
}

int ZRComm_GetReceiveCommandText(CommandId id, char* buffer, unsigned size)
{
    if (id == 0 || !buffer || size == 0)
        return Fail(0, COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Fail(0, COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    const CCommCommand* r = FindCommandRecord(*port, id);
    if (!r)
        return Fail(0, COMM_ERR_NO_COMMAND);
    const std::uint32_t length = r->reply.GetLength();
    r->reply.CopyOutReply(buffer, size);
    Store(COMM_OK);
    return static_cast<int>(length <= size ? length : size - 1);
}

int ZRComm_RemoveCommand(CommandId id)
{
    CCommPort* port = Port();
    if (!port)
        return static_cast<int>(Store(COMM_ERR_NOT_OPEN));
    PortLock lock(*port);
    if (id == -1 || id == 0) {
        const int before = port->CountRecords(CCommCommand::KIND_COMMAND);
        port->RemoveRecords(id == -1);
        const int after = port->CountRecords(CCommCommand::KIND_COMMAND);
        port->NotifyMonitor(COMM_MONITOR_RECORDS_REMOVED,
                            plat::MAKELPARAM(static_cast<plat::WORD>(before), static_cast<plat::WORD>(after)));
    } else {
        CCommCommand* r = FindCommandRecord(*port, id);
        if (!r)
            return Fail(-1, COMM_ERR_NO_COMMAND);
        port->RemoveRecord(r);
    }
    const int left = port->CountRecords(CCommCommand::KIND_COMMAND);
    // Any record left may now be at the head: a step or direct text behind the removed command
    // would otherwise wait for whatever wakes the sender next.
    if (port->CountRecords(-1) > 0)
        port->WakeSender();
    Store(port->GetPortError());
    return left;
}

int ZRComm_GetCommandCount(int kind)
{
    CCommPort* port = Port();
    if (!port)
        return Fail(-1, COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    const int n = port->CountRecords(kind);
    Store(port->GetPortError());
    return n;
}

int ZRComm_GetCommand(CommandId id, char* buffer, unsigned size)
{
    if (id == 0 || !buffer || size == 0)
        return static_cast<int>(Store(COMM_ERR_INVALID_ARG));
    CCommPort* port = Port();
    if (!port)
        return static_cast<int>(Store(COMM_ERR_NOT_OPEN));
    PortLock lock(*port);
    const CCommCommand* r = FindCommandRecord(*port, id);
    if (!r)
        return Fail(0, COMM_ERR_NO_COMMAND);
    const std::int32_t cr = r->text.Find(0, "\r", 1);
    std::uint32_t n = cr >= 0 ? static_cast<std::uint32_t>(cr) + 1 : r->text.GetLength();
    if (n >= size)
        n = size - 1;
    if (n)
        std::memcpy(buffer, r->text.GetData(), n);
    buffer[n] = 0;
    Store(COMM_OK);
    return static_cast<int>(n);
}

int ZRComm_GetCommandText(CommandId id, char* buffer, int size)
{
    if (id == 0 || !buffer || size < 1)
        return Fail(0, COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Fail(0, COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    const CCommCommand* r = FindCommandRecord(*port, id);
    if (!r)
        return Fail(0, COMM_ERR_NO_COMMAND);
    const std::uint32_t n = std::min(r->text.GetLength(), static_cast<std::uint32_t>(size - 1));
    if (n)
        std::memcpy(buffer, r->text.GetData(), n);
    buffer[n] = 0;
    Store(COMM_OK);
    return static_cast<int>(n);
}

intptr_t ZRComm_GetCommandParam(CommandId id)
{
    if (id == 0)
        return Fail<intptr_t>(0, COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Fail<intptr_t>(0, COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    const CCommCommand* r = FindCommandRecord(*port, id);
    if (!r)
        return Fail<intptr_t>(0, COMM_ERR_NO_COMMAND);
    Store(COMM_OK);
    return r->param;
}

CommResult ZRComm_ResumeCommand(CommandId id)
{
    if (id == 0)
        return Store(COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Store(COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    CCommCommand* r = FindCommandRecord(*port, id);
    if (!r)
        return Store(COMM_ERR_NO_COMMAND);
    return Store(port->ResumeRecord(r));
}

CommResult ZRComm_AbortCommand(CommandId id)
{
    if (id == 0)
        return Store(COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Store(COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    CCommCommand* r = FindCommandRecord(*port, id);
    if (!r)
        return Store(COMM_ERR_NO_COMMAND);
    return Store(port->AbortRecord(r));
}

CommandId ZRComm_FindCommand(CommandId after, const char* prefix)
{
    if (!prefix)
        return Fail(0, COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Fail(0, COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    const CommandId id = port->FindCommand(after, prefix); // an empty prefix or unknown id fails there
    Store(port->GetPortError());
    return id;
}

int ZRComm_EnumCommand(CommandId* ids)
{
    if (!ids)
        return Fail(0, COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Fail(0, COMM_ERR_NOT_OPEN);
    const std::vector<CommandId> all = port->EnumCommands();
    std::copy(all.begin(), all.end(), ids);
    Store(COMM_OK);
    return static_cast<int>(all.size());
}

int ZRComm_IsConnectedEx(char* portName, unsigned portNameSize, char* driverId, unsigned driverIdSize)
{
    CCommPort* port = Port();
    if (!port)
        return Fail(0, COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    const bool connected = port->IsConnected();
    if (connected) {
        CopyCut(portName, portNameSize, port->PortName());
        CopyCut(driverId, driverIdSize, port->Identification());
    }
    Store(COMM_OK);
    return connected ? 1 : 0;
}

int ZRComm_IsConnected(char* portName, char* driverId)
{
    return ZRComm_IsConnectedEx(portName, ZRCOMM_PORT_NAME_MAX, driverId, ZRCOMM_DRIVER_ID_MAX);
}

int ZRComm_SetMonitorWnd(HWND monitorWnd)
{
    App().SetMonitorWindow(monitorWnd);
    CCommPort* port = Port();
    if (!port)
        return Fail(1, COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    if (port->MonitorWindow() != monitorWnd) {
        port->SetMonitorWindow(monitorWnd);
        if (port->IsConnected())
            port->NotifyMonitor(COMM_MONITOR_CONNECTED, 0);
    }
    Store(COMM_OK);
    return 1;
}

CommResult ZRComm_GetLastError(void)
{
    return App().LastError();
}

CommResult ZRComm_SetBaudRate(DWORD rate)
{
    if (rate != 9600 && rate != 19200 && rate != 38400 && rate != 57600)
        return Store(COMM_ERR_INVALID_ARG);
    CCommPort* port = Port();
    if (!port)
        return Store(COMM_ERR_NOT_OPEN);
    PortLock lock(*port);
    // Without a driver the change would wait in the queue for a connection that a lost line never
    // makes again, and every later change would be refused as busy.
    if (!port->IsConnected())
        return Store(COMM_ERR_NOT_CONNECTED);
    return Store(port->StartBaudChange(rate));
}

plat::BOOL ZRComm_GetDefaultCommConfig(const char* portName, plat::DCB* settings)
{
    if (!portName || !settings)
        return Fail(plat::FALSE, COMM_ERR_INVALID_ARG);
    plat::DCB dcb;
    if (!DefaultPortSettings(portName, dcb))
        return Fail(plat::FALSE, COMM_ERR_OPEN_FAILED);
    *settings = dcb;
    Store(COMM_OK);
    return plat::TRUE;
}

plat::BOOL ZRComm_CommConfigDialog(const char* portName, HWND parent, plat::DCB* settings)
{
    if (!portName || !settings)
        return Fail(plat::FALSE, COMM_ERR_INVALID_ARG);
    DWORD error = 0;
    const bool ok = RunPortSettingsDialog(portName, parent, *settings, plat::GetThreadLocale(), error);
    Store(error);
    return ok ? plat::TRUE : plat::FALSE;
}

int ZRComm_InitExternalData(const CommExternalData* data)
{
    CCommPort* port = Port();
    if (!port || !data || data->size != sizeof(CommExternalData))
        return 0;
    // A time-out of 0 would end every command at its first check: it keeps the current one.
    const std::uint32_t timeout = data->replyTimeoutMs ? data->replyTimeoutMs : port->ReplyTimeout();
    port->SetExternalData(timeout, data->ctsCheck != 0);
    const auto language = static_cast<plat::LANGID>(data->languageId & 0xFFFF);
    App().SetLanguage(language);
    plat::SetThreadLocale(language);
    return 1;
}

} // extern "C"

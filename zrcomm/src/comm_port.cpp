#include "comm_port.h"

#include "comm_log.h"
#include "comm_strings.h"

#include <platform/clock.h>
#include <platform/errors.h>
#include <platform/messages.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

namespace zrcomm {

using namespace plat;

CCommPort::CCommPort()
    : m_t(detail::PortTimings()), m_promptWait(m_t.promptWaitMs), m_probeNoticeInterval(m_t.probeNoticeIntervalMs),
      m_writeFailureLimit(m_t.writeFailureLimit), m_echoWatchdog(m_t.echoWatchdogMs),
      m_replyWatchdog(m_t.replyWatchdogMs), m_promptTries(m_t.promptTries ? m_t.promptTries : 1),
      m_verifyTryLimit(m_t.verifyTryLimit), m_replyTimeout(m_t.replyTimeoutMs)
{
}

CCommPort::~CCommPort()
{
    if (IsOpen())
        Close();
    StopThreads(); // threads of a port whose device already went
    {
        // The stop ended any wait such a call was in: it is on its way out.
        std::unique_lock<std::mutex> calls(m_callsMutex);
        m_callsLeft.wait(calls, [this] { return m_callsInside == 0; });
    }
    PortLock lock(*this);
    m_queue.clear();
}

std::uint32_t CCommPort::Now() const
{
    return GetTickCount();
}

void CCommPort::Sleep(std::uint32_t ms) const
{
    if (ms)
        plat::Sleep(ms);
}

void CCommPort::PassPause() const
{
    if (!m_t.passSleepMs)
        return;
    // A clock that moves only when told to is a test's: there the threads only must not spin,
    // and a program's wait that moves that clock 10 ms a step must not outrun the line.
    const bool realTime = plat::CurrentClock().movesByItself();
    std::this_thread::sleep_for(std::chrono::milliseconds(realTime ? m_t.passSleepMs : 1));
}

int CCommPort::Lock()
{
    return m_mutex.lock();
}
int CCommPort::Unlock()
{
    return m_mutex.unlock();
}

bool CCommPort::IsOpen() const
{
    return m_device.isOpen();
}

bool CCommPort::ThreadsRunning() const
{
    return m_threadsStarted;
}

// ---------------------------------------------------------------------------------------------
// Opening, configuring, closing

CommResult CCommPort::Open(const std::string& name)
{
    PortLock lock(*this);
    if (m_device.isOpen())
        return COMM_ERR_ALREADY_OPEN;
    const SerialOpenResult r = m_device.open(name);
    if (!r.ok()) {
        m_portError = ErrorFromErrno(r.sysError);
        m_openError = r.message;
        return COMM_ERR_OPEN_FAILED;
    }
    m_openError.clear();
    m_device.escape(CLRBREAK);
    m_device.clearErrors();
    m_device.purge(PURGE_ALL);
    m_device.escape(CLRDTR); // fails quietly on a device without modem lines
    m_name = name;
    m_device.getState(m_dcb);
    m_modemStatus = m_device.modemStatus();
    m_notifyWnd = m_monitorWnd = m_directTextWnd = nullptr;
    return COMM_OK;
}

void CCommPort::ResetConfiguredTimeouts()
{
    m_timeouts = m_configuredTimeouts;
    m_timeouts.ReadIntervalTimeout = MAXDWORD;
    m_timeouts.ReadTotalTimeoutMultiplier = 0;
    m_timeouts.ReadTotalTimeoutConstant = 0;
}

CommResult CCommPort::Configure(const DCB& dcb)
{
    PortLock lock(*this);
    if (!m_device.isOpen())
        return COMM_ERR_NOT_OPEN;
    m_device.setEventMask(m_eventMask);

    DCB applied = dcb;
    applied.DCBlength = sizeof(DCB);
    applied.setFlag(DCB_fParity, applied.Parity != NOPARITY);
    unsigned notes = 0;
    // A device that does not take the settings (not a terminal, a speed it has not) fails the set-up
    // here rather than at the first write.
    if (const int err = m_device.setState(applied, &notes)) {
        m_portError = ErrorFromErrno(err);
        return COMM_ERR_SETUP_FAILED;
    }
    if (notes & SERIAL_NOTE_STOPBITS_15_AS_2)
        LogInfo(IDS_STOPBITS_15_AS_2);
    m_dcb = applied;

    m_configuredTimeouts.ReadIntervalTimeout = m_t.readIntervalMs;
    m_configuredTimeouts.ReadTotalTimeoutMultiplier = 0;
    m_configuredTimeouts.ReadTotalTimeoutConstant = 0;
    m_configuredTimeouts.WriteTotalTimeoutMultiplier = m_t.writeTotalMultiplierMs;
    m_configuredTimeouts.WriteTotalTimeoutConstant = m_t.writeTotalConstantMs;
    m_timeouts = m_configuredTimeouts;

    m_probeTick = 0;
    m_probeNoticeInterval = m_t.probeNoticeIntervalMs;
    m_writeFailureLimit = m_t.writeFailureLimit;
    m_writeFailures = 0;
    m_echoWatchdog = m_t.echoWatchdogMs;
    m_replyWatchdog = m_t.replyWatchdogMs;
    m_promptTries = m_t.promptTries ? m_t.promptTries : 1;
    m_verifyTryLimit = m_t.verifyTryLimit;
    m_verifyTries = 0;
    m_baudChangeRunning = false;
    m_lineSentTick = 0;
    m_lastReplyTick = 0;
    m_connectionState = CONN_NONE;
    m_probing = true;
    m_commandMode = 0;
    m_directExchange = false;
    m_lineState = CMD_WAITING;

    m_queue.clear();
    m_directBytes.Clear();
    m_lastWritten.Clear();
    m_receive.Clear();
    m_directText.Clear();
    m_invalidData = false;
    m_stopEvent.reset();
    m_wakeEvent.reset();
    return COMM_OK;
}

DWORD CCommPort::StartThreads()
{
    PortLock lock(*this);
    if (m_threadsStarted)
        return 0;
    m_stopEvent.reset();
    m_probeTick = Now();
    DWORD error = 0;
    bool sendStarted = false;
    bool receiveStarted = false;
    try {
        if (detail::testHooks().failThreadStart == 1)
            throw std::system_error(EAGAIN, std::generic_category());
        sendStarted = m_sendThread.start([this] { SendThreadMain(); });
        if (detail::testHooks().failThreadStart == 2)
            throw std::system_error(EAGAIN, std::generic_category());
        if (sendStarted)
            receiveStarted = m_receiveThread.start([this] { ReceiveThreadMain(); });
        if (!sendStarted || !receiveStarted)
            error = ErrorFromErrno(EAGAIN);
    } catch (const std::system_error& e) {
        error = ErrorFromErrno(e.code().value() ? e.code().value() : EAGAIN);
    }
    if (error) {
        // No thread is left running: the one that started sees the stop event and ends.
        m_stopEvent.set();
        ScopedReleaseAll unlocked(m_mutex);
        if (sendStarted)
            m_sendThread.join();
        if (receiveStarted)
            m_receiveThread.join();
        return error;
    }
    m_threadsStarted = true;
    m_device.escape(SETDTR);
    return 0;
}

void CCommPort::StopThreads()
{
    // Set before anything else, the lock too: a write or wait in progress gives up on it at once,
    // and a call waiting for the prompt returns.
    m_stopEvent.set();
    m_promptEvent.set();
    {
        PortLock lock(*this);
        if (!m_threadsStarted)
            return;
        m_device.escape(CLRDTR);
        m_device.purge(PURGE_TXABORT | PURGE_RXABORT);
    }
    {
        // The threads take the lock for each pass: give it up completely while they end.
        ScopedReleaseAll unlocked(m_mutex);
        Sleep(m_t.stopSettleMs);
        m_sendThread.join();
        m_receiveThread.join();
    }
    PortLock lock(*this);
    m_threadsStarted = false;
    std::vector<CCommCommand*> underWay;
    for (auto& r : m_queue)
        if (r->IsEngaged() && r->state != CMD_ABORTED)
            underWay.push_back(r.get());
    for (CCommCommand* r : underWay) {
        if (Find(r) == m_queue.end())
            continue; // a handler removed it meanwhile
        r->state = CMD_ABORTED;
        CompleteCommand(r);
    }
    const bool wasConnected = m_connectionState == CONN_CONNECTED;
    m_connectionState = CONN_NONE;
    if (wasConnected)
        NotifyMonitor(COMM_MONITOR_CONNECTION_LOST, 0);
}

CommResult CCommPort::Close()
{
    {
        PortLock lock(*this);
        if (!m_device.isOpen())
            return COMM_ERR_NOT_OPEN;
    }
    StopThreads();
    {
        // The device is closed whether or not threads ran.
        PortLock lock(*this);
        m_device.close();
    }
    NotifyMonitor(COMM_MONITOR_PORT_CLOSED, 0);
    return COMM_OK;
}

DWORD CCommPort::Escape(DWORD function)
{
    PortLock lock(*this);
    if (!m_device.isOpen())
        return COMM_ERR_NOT_OPEN;
    return ErrorFromErrno(m_device.escape(function));
}

// ---------------------------------------------------------------------------------------------
// Modes

CommResult CCommPort::SetCommandMode(int mode)
{
    struct Inside {
        CCommPort& port;
        explicit Inside(CCommPort& p) : port(p)
        {
            std::lock_guard<std::mutex> l(port.m_callsMutex);
            ++port.m_callsInside;
        }
        ~Inside()
        {
            std::lock_guard<std::mutex> l(port.m_callsMutex);
            if (--port.m_callsInside == 0)
                port.m_callsLeft.notify_all();
        }
    } inside(*this); // left after the lock below
    PortLock lock(*this);
    if (mode == m_commandMode)
        return COMM_OK;
    if (mode < 0 || mode > 2)
        return COMM_ERR_INVALID_ARG;
    if (mode != 0 && !m_queue.empty())
        return COMM_ERR_COMMANDS_QUEUED;
    m_commandMode = mode;
    if (mode != 1 && m_directExchange)
        WaitForPrompt(); // its result does not matter here
    m_directTextWnd = nullptr;
    m_directText.Clear();
    if (m_connectionState == CONN_CONNECTED) {
        QueueCommand(MakeStep(STEP_MODE_SYNC, 0, 0));
        WakeSender();
    }
    return COMM_OK;
}

CommResult CCommPort::StartBaudChange(DWORD rate)
{
    PortLock lock(*this);
    if (rate != 9600 && rate != 19200 && rate != 38400 && rate != 57600)
        return COMM_ERR_INVALID_ARG;
    if (!m_device.isOpen())
        return COMM_ERR_NOT_OPEN;
    // Busy includes records still queued, ended ones too: the caller removes those first.
    if (m_baudChangeRunning || m_directExchange || !m_queue.empty())
        return COMM_ERR_BUSY;
    m_verifyTries = 0;
    m_baudChangeRunning = true;
    QueueCommand(MakeStep(STEP_BAUD_TEST, rate, 0));
    WakeSender();
    return COMM_OK;
}

// ---------------------------------------------------------------------------------------------
// Signalling

void CCommPort::WakeSender(bool force)
{
    PortLock lock(*this);
    if (!m_device.isOpen())
        return;
    if (force || !m_queue.empty() || !m_directBytes.IsEmpty())
        m_wakeEvent.set();
}

CommResult CCommPort::WaitForPrompt()
{
    PortLock lock(*this);
    CCommCommand* head = Head();
    const bool engagedHead = IsEngaged(head);
    if (m_connectionState == CONN_NONE || !(m_directExchange || engagedHead))
        return COMM_OK;
    // An aborted head has ended already; aborting it again would report it twice.
    if (engagedHead && head->state != CMD_ABORTED)
        head->state = CMD_ABORTING;
    // A signal left from an earlier record end must not end the first wait at once.
    m_promptEvent.reset();
    const std::uint32_t perTry = (m_promptWait + m_promptTries - 1) / m_promptTries;
    // A stop of the port ends the wait: nothing will answer any more.
    for (std::uint32_t i = 0; i < m_promptTries && !m_stopEvent.isSet(); ++i) {
        static const std::uint8_t kFreshPrompt[] = {0x0D, 0x08};
        m_directBytes.Assign(kFreshPrompt, sizeof kFreshPrompt);
        m_wakeEvent.set();
        bool prompt;
        {
            ScopedReleaseAll unlocked(m_mutex);
            prompt = WaitServicingSends(m_promptEvent, perTry);
        }
        if (prompt)
            return COMM_OK;
    }
    return COMM_ERR_PROMPT_TIMEOUT;
}

void CCommPort::Notify(bool toTextWindow, HWND window, WPARAM event, LPARAM value)
{
    HWND target = window;
    if (!target) {
        PortLock lock(*this);
        target = toTextWindow ? m_directTextWnd : m_notifyWnd;
    }
    if (!target || !IsWindow(target))
        return;
    if (!toTextWindow) {
        PostMessage(target, WM_COMM_COMMAND, event, value);
        return;
    }
    // Sent, and with the lock given up completely: the window reads the text and may send more from
    // its handler. A stop of the port ends a send that another thread has not taken up yet.
    ScopedReleaseAll unlocked(m_mutex);
    {
        std::lock_guard<std::mutex> lock(m_deliveryMutex);
        m_textTargets.push_back(target);
    }
    if (IsWindowOfCurrentThread(target))
        SendMessage(target, WM_COMM_TEXT, event, value);
    else
        SendMessageCancellable(target, WM_COMM_TEXT, event, value, m_stopEvent);
    std::lock_guard<std::mutex> lock(m_deliveryMutex);
    m_textTargets.erase(std::find(m_textTargets.begin(), m_textTargets.end(), target));
}

std::vector<HWND> CCommPort::TextDeliveryTargets() const
{
    std::lock_guard<std::mutex> lock(m_deliveryMutex);
    return m_textTargets;
}

bool CCommPort::DeliversTextToCurrentThread() const
{
    std::lock_guard<std::mutex> lock(m_deliveryMutex);
    return std::any_of(m_textTargets.begin(), m_textTargets.end(), IsWindowOfCurrentThread);
}

void CCommPort::NotifyMonitor(WPARAM code, LPARAM value)
{
    PortLock lock(*this);
    if (m_monitorWnd && IsWindow(m_monitorWnd))
        PostMessage(m_monitorWnd, WM_COMM_MONITOR, code, value);
}

// ---------------------------------------------------------------------------------------------
// Fields

DWORD CCommPort::GetPortError()
{
    PortLock lock(*this);
    return m_portError;
}
void CCommPort::SetPortError(DWORD code)
{
    PortLock lock(*this);
    m_portError = code;
}
std::string CCommPort::PortName()
{
    PortLock lock(*this);
    return m_name;
}
std::string CCommPort::OpenErrorText()
{
    PortLock lock(*this);
    return m_openError;
}
std::string CCommPort::Identification()
{
    PortLock lock(*this);
    return m_identification;
}
std::uint32_t CCommPort::ConnectionState()
{
    PortLock lock(*this);
    return m_connectionState;
}
int CCommPort::CommandMode()
{
    PortLock lock(*this);
    return m_commandMode;
}
bool CCommPort::DirectExchange()
{
    PortLock lock(*this);
    return m_directExchange;
}
bool CCommPort::BaudChangeRunning()
{
    PortLock lock(*this);
    return m_baudChangeRunning;
}
void CCommPort::SetNotifyWindow(HWND w)
{
    PortLock lock(*this);
    m_notifyWnd = w;
}
HWND CCommPort::NotifyWindow()
{
    PortLock lock(*this);
    return m_notifyWnd;
}
void CCommPort::SetMonitorWindow(HWND w)
{
    PortLock lock(*this);
    m_monitorWnd = w;
}
HWND CCommPort::MonitorWindow()
{
    PortLock lock(*this);
    return m_monitorWnd;
}
HWND CCommPort::DirectTextWindow()
{
    PortLock lock(*this);
    return m_directTextWnd;
}
void CCommPort::SetExternalData(std::uint32_t replyTimeoutMs, bool ctsCheck)
{
    PortLock lock(*this);
    m_replyTimeout = replyTimeoutMs;
    m_ctsCheck = ctsCheck;
}
std::uint32_t CCommPort::ReplyTimeout()
{
    PortLock lock(*this);
    return m_replyTimeout;
}
bool CCommPort::CtsCheck()
{
    PortLock lock(*this);
    return m_ctsCheck;
}
DCB CCommPort::StoredDcb()
{
    PortLock lock(*this);
    return m_dcb;
}
void CCommPort::SetDirectBytes(const void* bytes, std::uint32_t n)
{
    PortLock lock(*this);
    m_directBytes.Assign(bytes, n);
}

} // namespace zrcomm

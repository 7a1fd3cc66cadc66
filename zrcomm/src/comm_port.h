// The open serial port: its device and settings, the queue of records waiting for the line, the
// connection state toward the driver, the buffers the send and receive threads share, and the
// recursive lock that guards all of it. Every operation takes the lock itself; the lock is recursive,
// so operations may be called with it held.
#pragma once

#include "byte_buffer.h"
#include "comm_command.h"
#include "timings.h"

#include <platform/dcb.h>
#include <platform/serial_device.h>
#include <platform/sync.h>

#include <zrcomm/zrcomm.h>

#include <atomic>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zrcomm {

// The bytes read and not yet consumed, with two marks that let framing go on where it stopped
// instead of starting over at every read, so that a long line costs its length once: how far the
// reply scan has looked into the unfinished line at the front, and from where an echo may still
// begin. Taking bytes away (or a new echo to look for) forgets both.
class ReceiveBuffer : public CByteBuffer {
public:
    void Clear()
    {
        CByteBuffer::Clear();
        ForgetMarks();
    }
    void Mid(std::uint32_t start, std::uint32_t count = kAll)
    {
        if (start == 0 && count >= GetLength())
            return;
        CByteBuffer::Mid(start, count);
        ForgetMarks();
    }
    ReceiveBuffer& operator=(CByteBuffer&& bytes)
    {
        CByteBuffer::operator=(std::move(bytes));
        ForgetMarks();
        return *this;
    }
    void ForgetMarks() { m_scanned = m_echoFrom = 0; }
    std::uint32_t Scanned() const { return m_scanned; }
    void SetScanned(std::uint32_t n) { m_scanned = n; }
    std::uint32_t EchoFrom() const { return m_echoFrom; }
    void SetEchoFrom(std::uint32_t n) { m_echoFrom = n; }

private:
    std::uint32_t m_scanned = 0;
    std::uint32_t m_echoFrom = 0;
};

class CCommPort {
public:
    using Record = std::unique_ptr<CCommCommand>;

    static constexpr plat::DWORD kEventMask =
        plat::EV_RXCHAR | plat::EV_CTS | plat::EV_DSR | plat::EV_RLSD | plat::EV_BREAK | plat::EV_ERR; // 0xF9
    static constexpr std::uint32_t kBaudTestValue = 10000;

    CCommPort();
    ~CCommPort();
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    // --- Opening, configuring, closing ---
    CommResult Open(const std::string& name);
    CommResult Configure(const plat::DCB& dcb);
    // System errors are the platform's Win32 last-error codes (plat::ErrorFromErrno).
    plat::DWORD StartThreads(); // 0 or a system error
    CommResult Close();
    void StopThreads();
    plat::DWORD Escape(plat::DWORD function); // 0, a system error, or COMM_ERR_NOT_OPEN
    bool IsOpen() const;
    bool ThreadsRunning() const;

    // --- Modes ---
    // Leaving a direct exchange waits for the driver's prompt with the lock given up; a close from a
    // text handler run meanwhile (on a thread of its own) deletes the port only after this returned.
    CommResult SetCommandMode(int mode);
    CommResult StartBaudChange(plat::DWORD rate);

    // --- Records ---
    // A kind above 3 or a missing or empty text gives none (port error COMM_ERR_INVALID_ARG).
    Record NewCommand(std::uint32_t kind, const char* text, plat::HWND window, std::intptr_t param);
    // Commands go to the tail with a new id; direct text and steps overtake waiting records of the
    // other kinds. Returns the queued record (owned by the queue).
    CCommCommand* QueueCommand(Record record);
    CCommCommand* QueueTopLevelCommand(Record record);
    CommResult QueueText(plat::HWND window, const char* text);
    CommandId NextCommandId();

    CCommCommand* GetRecord(CommandId id);
    CCommCommand* FindRecord(CommandId id) { return GetRecord(id); }
    CommandId FindCommand(CommandId afterId, const char* prefix);
    std::vector<CommandId> EnumCommands();
    int CountRecords(int kind); // -1: all records
    // Removes and deletes one record whatever its state; false when it is not queued.
    bool RemoveRecord(CCommCommand* record);
    // all: every record; else every record that is not engaged.
    void RemoveRecords(bool all);
    CCommCommand* Head();

    // --- Signalling ---
    void WakeSender(bool force = false);
    CommResult WaitForPrompt();
    // toTextWindow: WM_COMM_TEXT, sent with the lock released completely; else WM_COMM_COMMAND,
    // posted. window none: the direct-text window or the notify window.
    void Notify(bool toTextWindow, plat::HWND window, plat::WPARAM event, plat::LPARAM value);
    void NotifyMonitor(plat::WPARAM code, plat::LPARAM value);
    // The windows WM_COMM_TEXT is being sent to right now, one entry per delivery under way: the
    // send thread's "written" and the receive thread's text may both wait for the same window.
    std::vector<plat::HWND> TextDeliveryTargets() const;
    // Whether one of them belongs to the calling thread. A close asked for by that thread cannot
    // wait for the port's threads: the sender waits for it.
    bool DeliversTextToCurrentThread() const;

    // --- Record ends (also used by the threads) ---
    void CompleteCommand(CCommCommand* record);
    void OnInternalCommand(CCommCommand* record, bool finished);
    // A record in a waiting or failed state ends as aborted at once; one under way is asked to stop
    // (a backspace) and ends when the driver's prompt comes back or the prompt wait runs out.
    CommResult AbortRecord(CCommCommand* record);
    // A failed record goes back to waiting with its reply cleared; the driver gets a backspace first.
    // Refused (COMM_ERR_NOT_CONNECTED) once the device is gone.
    CommResult ResumeRecord(CCommCommand* record);

    // --- The line itself failing ---
    // The device hung up or went away: the connection is lost at once (monitor 15 with
    // COMM_ERR_LINE_GONE), every record not ended yet ends with the failure of where it stood, and
    // nothing is written or probed any more. Once.
    void LoseDevice();
    bool DeviceGone();
    // Why the line failed: 0, COMM_ERR_LINE_GONE or COMM_ERR_IDENTIFY_FAILED, with its text.
    CommResult LineError(std::string* text = nullptr);

    // --- Classifiers ---
    bool IsConnected();
    static bool IsEngaged(const CCommCommand* record) { return record && record->IsEngaged(); }
    static bool IsPrompt(const std::uint8_t* bytes, std::uint32_t i);
    static bool IsPrompt(const CByteBuffer& b, std::uint32_t i)
    {
        return b.GetLength() > i && IsPrompt(b.GetData(), i);
    }
    static bool IsValidByte(std::uint8_t b);
    static bool IsValidData(const std::uint8_t* bytes, std::uint32_t n);

    // --- Lock ---
    int Lock();   // -> new depth
    int Unlock(); // -> new depth
    plat::RecursiveMutex& Mutex() { return m_mutex; }

    // --- Fields the exported functions read and set (each takes the lock) ---
    plat::DWORD GetPortError();
    void SetPortError(plat::DWORD code);
    std::string PortName();
    std::string OpenErrorText(); // why the last Open failed, naming the device path
    std::string Identification();
    std::uint32_t ConnectionState();
    int CommandMode();
    bool DirectExchange();
    bool BaudChangeRunning();
    void SetNotifyWindow(plat::HWND w);
    plat::HWND NotifyWindow();
    void SetMonitorWindow(plat::HWND w);
    plat::HWND MonitorWindow();
    plat::HWND DirectTextWindow();
    void SetExternalData(std::uint32_t replyTimeoutMs, bool ctsCheck);
    std::uint32_t ReplyTimeout();
    std::uint32_t PromptWait() const { return m_promptWait; }
    bool CtsCheck();
    plat::DCB StoredDcb();
    // Direct text received so far; hold the lock while using it.
    CByteBuffer& DirectTextBuffer() { return m_directText; }
    void SetDirectBytes(const void* bytes, std::uint32_t n);
    plat::SerialDevice& Device() { return m_device; }

    std::uint32_t Now() const; // tick count (ms)
    void Sleep(std::uint32_t ms) const;
    // The pause each pass of either thread begins with, on real time: on a clock that moves only
    // when told to, sleeping would pace nothing (there it is a short real pause).
    void PassPause() const;

private:
    friend struct CCommPortTestAccess;
    using Queue = std::list<Record>;

    Queue::iterator Find(const CCommCommand* record);
    Record Detach(CCommCommand* record);
    CCommCommand* InsertBefore(Queue::iterator pos, Record record);
    // Finishes a step that leaves the queue without running to its end, so the connection or a baud
    // change it belongs to is not left half-way.
    void AbandonSteps(std::vector<Record>& removed);
    void ChangeFails(plat::DWORD status);
    Record MakeStep(std::uint32_t code, std::uint32_t rate, std::uint32_t ownTimeout);
    void ResetConfiguredTimeouts();

    // Thread bodies, one file each.
    void SendThreadMain();
    void ReceiveThreadMain();

    // Send side (send_thread.cpp): what is due on the line, and writing it.
    struct Outgoing;
    bool ChooseOutgoing(Outgoing& out);
    void WriteOutgoing(Outgoing& out);
    void WriteFailed(Outgoing& out);
    // Receive side: reading (receive_thread.cpp), time-out checks (receive_checks.cpp), framing and
    // delivery of direct text (receive_scan.cpp).
    void ReadQueued(plat::DWORD mask, std::size_t queued);
    // How long the next wait for the line may last: up to the receive wait, and no longer than a
    // framing decision that waits for silence.
    std::uint32_t ReceiveWaitMs();
    // After a wait that ended for such a decision: the port's clock is brought to its moment.
    void ReachDecisionTime();
    void CheckTimeouts();
    void Frame();
    void FrameRecord();
    bool SearchEcho(CCommCommand* head, std::uint32_t& consumed);
    void ScanReply(CCommCommand* head, std::uint32_t consumed);
    void DeliverDirectText();
    // CompleteCommand at most once per record and receive pass.
    void CompleteInPass(CCommCommand* record);
    void LoseLine(); // purge and forget what was read, after the connection is lost
    // An identification step that ended unreadable: the next probe waits for the probe interval,
    // and after the reply time-out of such answers the port stops probing (monitor 16 with
    // COMM_ERR_IDENTIFY_FAILED). GiveUpIdentifying is that check, also made while no answer comes.
    void IdentifyUnreadable();
    void GiveUpIdentifying();
    bool ProbeDue();
    // The head record no longer waits for the line: an echo still due is not awaited any more.
    void HeadLeavesLine(const CCommCommand* record);

    detail::Timings m_t; // copied when the port is made

    // 1-5: device, names, buffers.
    plat::SerialDevice m_device;
    std::string m_name;
    std::string m_openError;
    std::string m_identification;
    CByteBuffer m_directText;  // driver output that belongs to no command
    CByteBuffer m_directBytes; // control bytes the send thread writes ahead of any record
    // 6-9: prompt wait and windows.
    std::uint32_t m_promptWait;
    plat::HWND m_notifyWnd = nullptr;
    plat::HWND m_monitorWnd = nullptr;
    plat::HWND m_directTextWnd = nullptr;
    // Calls that wait with the lock given up; the destructor waits until none is inside.
    std::mutex m_callsMutex;
    std::condition_variable m_callsLeft;
    int m_callsInside = 0;
    mutable std::mutex m_deliveryMutex;
    std::vector<plat::HWND> m_textTargets; // guarded by m_deliveryMutex
    // 10-11: threads and ids.
    plat::Thread m_sendThread;
    plat::Thread m_receiveThread;
    bool m_threadsStarted = false;
    std::uint32_t m_lastId = 0;
    // 12-15: line settings and status.
    plat::DCB m_dcb;
    plat::COMMTIMEOUTS m_configuredTimeouts;
    plat::COMMTIMEOUTS m_timeouts; // what the next write uses
    plat::DWORD m_eventMask = kEventMask;
    plat::DWORD m_modemStatus = 0;
    std::uint32_t m_probeTick = 0;
    // 16-24: protocol state.
    std::uint32_t m_probeNoticeInterval;
    std::uint32_t m_writeFailureLimit;
    std::uint32_t m_writeFailures = 0;
    std::uint32_t m_echoWatchdog;
    std::uint32_t m_replyWatchdog;
    std::uint32_t m_promptTries;
    bool m_baudChangeRunning = false;
    std::uint32_t m_verifyTryLimit;
    std::uint32_t m_verifyTries = 0;
    std::uint32_t m_connectionState = CONN_NONE;
    bool m_probing = true;
    int m_commandMode = 0;
    bool m_directExchange = false;
    // 25-31: queue and line.
    Queue m_queue;
    CommandState m_lineState = CMD_WAITING;
    bool m_writing = false; // the send thread writes with the lock given up
    std::uint32_t m_lineSentTick = 0;
    CByteBuffer m_lastWritten;
    std::uint32_t m_lastReplyTick = 0;
    bool m_invalidData = false;
    ReceiveBuffer m_receive;
    // The line failing (comm_port_line.cpp).
    bool m_deviceGone = false;
    CommResult m_lineError = COMM_OK;
    std::string m_lineErrorText;
    bool m_identifyUnreadable = false; // since m_identifyUnreadableTick, no readable answer
    std::uint32_t m_identifyUnreadableTick = 0;
    CByteBuffer m_identifyReceived; // what the last unreadable answer held
    bool m_probeHeld = false;       // no probe before m_probeHeldTick + the probe interval
    std::uint32_t m_probeHeldTick = 0;
    std::uint8_t m_lastConsumed = 0;     // the last byte the reply scan consumed (split prompts)
    std::uint32_t m_lastArrivalTick = 0; // when bytes were last read from the line
    bool m_decisionPending = false;      // a '?' or ';' ends what was read: decide at m_decideAt
    std::uint32_t m_decideAt = 0;
    std::uint32_t m_receivePass = 0;     // counts the receive thread's passes
    std::uint32_t m_writeNoticeTick = 0; // activity notices, at most one per activityNoticeMs each
    std::uint32_t m_readNoticeTick = 0;
    bool m_writeNoticed = false;
    bool m_readNoticed = false;
    // 32-37: lock, events, errors, external data.
    plat::RecursiveMutex m_mutex;
    plat::Event m_stopEvent{true, false};
    plat::Event m_wakeEvent{true, false};
    plat::Event m_promptEvent{false, false};
    plat::Event m_wakeTaken{false, false}; // the send thread took the work the wake event announced
    plat::DWORD m_portError = 0;
    std::uint32_t m_replyTimeout;
    bool m_ctsCheck = true;
};

// Holds the port's lock for a scope.
class PortLock {
public:
    explicit PortLock(CCommPort& port) : m_port(port) { m_port.Lock(); }
    ~PortLock() { m_port.Unlock(); }
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

private:
    CCommPort& m_port;
};

} // namespace zrcomm

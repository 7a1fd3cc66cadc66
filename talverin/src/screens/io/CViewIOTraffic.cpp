// CViewIO: everything sent to and answered by the driver. Settings go as PI/PO blocks (tag pin +
// 200), queries as TPI/TPO (pin + 300), state requests as IO0/IO1 (400/500); the replies come
// back as WM_COMM_COMMAND and are told apart by tag and content.
#include "screens/io/CViewIO.h"

#include "screens/ScreenHost.h"
#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "common/WidgetHelpers.h"
#include "connection/DriverQueue.h"
#include "controlhost/CZRCN2.h"
#include "connection/ConnectionRules.h"
#include "screens/io/IoReplies.h"

#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <model/ReplyErrorText.h>
#include <model/SharedData.h>

#include <platform/language.h>
#include <platform/message_box.h>
#include <platform/messages.h>
#include <zrcomm/zrcomm_api.h>

#include <QCoreApplication>

#include <algorithm>
#include <vector>

namespace talverin {

namespace {

constexpr int kExportBuffer = 1024;

std::string Title(const char* text)
{
    return QCoreApplication::translate("talverin::CViewIO", text).toStdString();
}

int PinOfTag(std::intptr_t tag, std::intptr_t base)
{
    const std::intptr_t pin = tag - base;
    return pin >= 1 && pin <= CViewIO::kPinCount ? static_cast<int>(pin) : 0;
}

// The record keeps what only the store knows: the unit's disabled fields and the last error.
void ParseKeeping(model::CN2PinRecord& record, std::string_view line, int withNumbers)
{
    const std::uint32_t mask = record.m_disabled;
    const int error = record.m_reserved2;
    record.Parse(line, withNumbers);
    record.m_disabled = mask;
    record.m_reserved2 = error;
}

} // namespace

model::CDataFile& CViewIO::Store() const
{
    return m_host.Store();
}

model::CN2PinRecord* CViewIO::PinRecord(int pin, bool make)
{
    model::CDataFile::PinArray* pins = Store().GetPinArray();
    if (!pins || pin < 1 || pin > static_cast<int>(pins->size()))
        return nullptr;
    auto& slot = (*pins)[static_cast<std::size_t>(pin - 1)];
    if (!slot && make) {
        slot = std::make_unique<model::CN2PinRecord>();
        slot->m_pin = pin;
        slot->m_io = model::CN2PinRecord::PinToBitIndex(pin);
    }
    return slot.get();
}

bool CViewIO::IsCurrentView() const
{
    const plat::HWND frame = model::GetMainWindow();
    return frame && plat::SendMessage(frame, WM_GET_CURRENT_VIEW, 0, 0) == VIEW_IO;
}

bool CViewIO::IsConnected() const
{
    return CurrentDriverQueue().isConnected();
}

bool CViewIO::IsLocked() const
{
    return m_host.LockState() == 0;
}

std::int32_t CViewIO::Send(const std::string& text, std::intptr_t tag, const char* title)
{
    std::uint32_t error = 0;
    const std::int32_t id = CurrentDriverQueue().queueCommand(GetSafeHwnd(), text, tag, Title(title).c_str(), &error);
    if (id != 0) {
        m_lastCommand = id;
        if (const int pin = PinOfTag(tag, io::kSettingTag))
            m_lastSent[static_cast<std::size_t>(pin)] = text;
    } else if (tag >= io::kSettingTag && tag < io::kQueryTag) {
        // A setting that could not be queued keeps the reason in its record.
        model::SharedLock lock(Store().GetDataMutex());
        if (model::CN2PinRecord* r = PinRecord(PinOfTag(tag, io::kSettingTag), false))
            r->m_status = error;
    }
    return id;
}

bool CViewIO::IsQueued(const std::string& text)
{
    DriverQueue& queue = CurrentDriverQueue();
    CommandId id = queue.findCommand(text);
    for (int guard = 0; id > 0 && guard < 100000; ++guard) {
        // The search matches a prefix: only the same whole text counts.
        if (queue.commandText(id) == text)
            return true;
        const CommandId next = queue.findCommandAfter(id, text);
        if (next == id)
            break;
        id = next;
    }
    return false;
}

// ---- Sending -------------------------------------------------------------------------------------

bool CViewIO::SendPinSetting(int pin, const char* title, bool reset)
{
    CZRCN2 row = Row(pin);
    if (!row.isValid())
        return true;
    char line[kExportBuffer] = {};
    if (row.Export(line, kExportBuffer, plat::TRUE) != 0)
        return true;
    std::string command;
    unsigned missing = io::kMissingNone;
    std::string fields;
    {
        model::SharedLock lock(Store().GetDataMutex());
        model::CN2PinRecord* r = PinRecord(pin, true);
        if (!r)
            return true;
        ParseKeeping(*r, line, 1);
        command = r->BuildSetCommand();
        if (command.empty())
            return true;
        // The driver would reset the pin and the typed function would be lost: it waits.
        missing = reset ? io::kMissingNone : io::MissingFields(*r);
        fields = r->m_logic + '\t' + r->m_function + '\t' + r->m_value;
        if (missing != io::kMissingNone || !IsConnected()) {
            r->m_status = 1; // pending: sent on the next connection
            if (missing == io::kMissingNone)
                return true;
        }
    }
    if (missing != io::kMissingNone) {
        row.SetStatus(1);
        tellIncomplete(pin, missing, fields);
        return true;
    }
    m_toldIncomplete[static_cast<std::size_t>(pin)].clear();
    if (IsQueued(command))
        return true;
    const std::size_t slot = static_cast<std::size_t>(pin - 1);
    const auto& defaults = Store().m_pinDefaultTexts;
    if (command.find("/RS") != std::string::npos && slot < defaults.size() && defaults[slot] != ",,,") {
        // The unit's own line for the pin instead of the driver's reset.
        const std::string fallback = defaults[slot];
        {
            model::SharedLock lock(Store().GetDataMutex());
            model::CN2PinRecord* r = PinRecord(pin, true);
            ParseKeeping(*r, fallback, 0);
            command = r->BuildSetCommand();
        }
        row.Import(fallback.c_str(), plat::FALSE);
    }
    return Send(command, io::kSettingTag + pin, title ? title : "Send I/O setting command") != 0;
}

void CViewIO::tellIncomplete(int pin, unsigned missing, const std::string& setting)
{
    // Once per row as it stands, and only where the user sees the row.
    std::string& told = m_toldIncomplete[static_cast<std::size_t>(pin)];
    if (told == setting || !IsCurrentView())
        return;
    told = setting;
    const QString fields = missing == (io::kMissingLogic | io::kMissingValue) ? tr("logic and value")
                           : missing == io::kMissingLogic                     ? tr("logic")
                                                                              : tr("value");
    AppMessageBox(model::GetMainWindow(),
                  tr("The setting of %1 is not complete: %2 is empty.\nIt is sent to the driver unit when "
                     "function, logic and value are all set.")
                      .arg(QString::number(pin), fields), // the number the row's badge shows
                  tr("Error during I/O setting"), plat::MB_OK | plat::MB_ICONWARNING);
}

std::string CViewIO::RowSetting(int pin)
{
    CZRCN2 row = Row(pin);
    char line[kExportBuffer] = {};
    if (!row.isValid() || row.Export(line, kExportBuffer, plat::TRUE) != 0)
        return {};
    model::CN2PinRecord record;
    record.Parse(line, 1);
    return record.BuildSetCommand();
}

bool CViewIO::ChangedSinceSent(int pin)
{
    CZRCN2 row = Row(pin);
    return row.isValid() && row.GetModifyFlg() && RowSetting(pin) != m_lastSent[static_cast<std::size_t>(pin)];
}

bool CViewIO::QueryPin(int pin)
{
    const int io = model::CN2PinRecord::PinToBitIndex(pin);
    if (io < 0)
        return true;
    const std::string text = (IsInputPin(pin) ? "TPI" : "TPO") + std::to_string(io) + "\r";
    return Send(text, io::kQueryTag + pin, "Send I/O info monitoring command") != 0;
}

bool CViewIO::IsInputPin(int pin)
{
    return pin <= model::CN2PinRecord::kLastInputPin;
}

void CViewIO::StoreRow(int pin)
{
    CZRCN2 row = Row(pin);
    char line[kExportBuffer] = {};
    if (!row.isValid() || row.Export(line, kExportBuffer, plat::TRUE) != 0)
        return;
    model::SharedLock lock(Store().GetDataMutex());
    if (model::CN2PinRecord* r = PinRecord(pin, true))
        ParseKeeping(*r, line, 1);
}

// ---- Monitoring -----------------------------------------------------------------------------------

void CViewIO::OnMonitorTimer()
{
    plat::KillTimer(GetSafeHwnd(), kMonitorTimer);
    if (m_state == 0 || !IsCurrentView() || !IsConnected())
        return;
    m_state = m_state == io::kStateElectrical ? io::kStateLogical : io::kStateElectrical;
    const char* text = m_state == io::kStateLogical ? "IO1\r" : "IO0\r";
    if (Send(text, m_state, "Send I/O status") == 0)
        m_state = 0;
}

void CViewIO::RestartMonitoring()
{
    if (m_state != 0 && IsCurrentView() && IsConnected())
        plat::SetTimer(GetSafeHwnd(), kMonitorTimer, kMonitorPeriodMs);
}

// ---- Replies --------------------------------------------------------------------------------------

plat::LRESULT CViewIO::OnCommCommand(plat::WPARAM event, plat::LPARAM commandId)
{
    DriverQueue& queue = CurrentDriverQueue();
    const Completion done = queue.completion(event, static_cast<CommandId>(commandId));
    const CommandId id = done.id;
    const std::intptr_t tag = done.tag;
    const bool stateRequest = tag == io::kStateElectrical || tag == io::kStateLogical;
    if (done.aborted()) {
        queue.removeCommand(id);
        if (stateRequest)
            RestartMonitoring();
        return 0;
    }
    if (done.transportFailed()) {
        if (queue.retry(id))
            return 0;
        queue.removeCommand(0);
        plat::KillTimer(GetSafeHwnd(), kMonitorTimer);
        m_state = 0;
        plat::PostMessage(model::GetMainWindow(), WM_COMM_ERROR, event, comm_error::kDisconnect);
        return 0;
    }
    if (!done.completed())
        return 0;

    const std::uint32_t result = done.state;
    if (IsDriverErrorResult(result)) {
        const std::string reply = queue.reply(id);
        // Removed before any box, so the queue behind it goes on meanwhile.
        queue.removeCommand(id);
        OnDriverError(tag, result, reply);
        if (stateRequest)
            RestartMonitoring();
        return 0;
    }
    const std::string reply = queue.reply(id);
    queue.removeCommand(id);
    if (const int pin = PinOfTag(tag, io::kSettingTag))
        OnSettingReply(pin, reply);
    else if (stateRequest) {
        if (io::IsStateReply(reply))
            OnStateReply(tag, reply);
        RestartMonitoring();
    } else if (const int queried = PinOfTag(tag, io::kQueryTag)) {
        if (io::IsQueryReply(reply))
            OnQueryReply(queried, reply);
    }
    return 0;
}

void CViewIO::OnDriverError(std::intptr_t tag, std::uint32_t code, const std::string& reply)
{
    // State requests name no pin.
    int pin = PinOfTag(tag, io::kSettingTag);
    if (!pin)
        pin = PinOfTag(tag, io::kQueryTag);
    if (!pin)
        return;
    bool changed = false;
    {
        model::SharedLock lock(Store().GetDataMutex());
        model::CN2PinRecord* r = PinRecord(pin, true);
        if (!r)
            return;
        changed = r->m_reserved2 != static_cast<int>(code);
        r->m_reserved2 = static_cast<int>(code);
    }
    Row(pin).SetStatus(static_cast<plat::LONG>(io::kRowError));
    const QString text = QString::fromStdString(model::GetCommErrorText(code, plat::GetLanguage()));
    SetStatusText(this, text);
    if (m_collectRefusals && PinOfTag(tag, io::kSettingTag)) {
        NoteRefusal(pin, model::DriverReplyForUser(reply, code, plat::GetLanguage()));
        return;
    }
    if (!changed || m_errorBoxOpen || !IsCurrentView())
        return;
    m_errorBoxOpen = true;
    const QPointer<CViewIO> self(this);
    AppMessageBox(model::GetMainWindow(),
                  tr("Error during I/O setting.\nPlease check driver unit") + tr("\nError:") + text,
                  tr("Error during I/O setting"), plat::MB_OK | plat::MB_ICONWARNING);
    if (self)
        m_errorBoxOpen = false;
}

void CViewIO::OnSettingReply(int pin, const std::string& reply)
{
    CZRCN2 row = Row(pin);
    if (reply.find('?') != std::string::npos) {
        io::Refusal refusal;
        {
            model::SharedLock lock(Store().GetDataMutex());
            model::CN2PinRecord* r = PinRecord(pin, true);
            if (!r)
                return;
            refusal = io::DecodeRefusal(reply, r->m_reserved2 != 0);
            r->m_reserved2 = static_cast<int>(refusal.error);
        }
        row.SetModifyFlg(plat::FALSE);
        row.SetStatus(static_cast<plat::LONG>(refusal.status));
        SetStatusText(this, QString::fromStdString(model::GetCommErrorText(refusal.error, plat::GetLanguage())));
        if (m_collectRefusals)
            NoteRefusal(pin, model::DriverReplyForUser(reply, refusal.error, plat::GetLanguage()));
    } else {
        QueryPin(pin);
        model::SharedLock lock(Store().GetDataMutex());
        if (model::CN2PinRecord* r = PinRecord(pin, false))
            r->m_reserved2 = 0;
    }
    if (row.isValid() && row.GetViewMode() == 1)
        StoreRow(pin);
}

void CViewIO::OnStateReply(std::intptr_t tag, const std::string& reply)
{
    if (m_state == 0)
        return; // the screen was left meanwhile
    for (const io::PinBit& bit : io::DecodeStateReply(reply)) {
        CZRCN2 row = Row(bit.pin);
        if (!row.isValid())
            continue;
        if (tag == io::kStateElectrical) {
            const plat::LONG colour = static_cast<plat::LONG>(bit.on ? io::kBadgeOn : io::kBadgeOff);
            if (row.GetNumberBackColor() != colour)
                row.SetNumberBackColor(colour);
        } else {
            const plat::LONG colour = static_cast<plat::LONG>(bit.on ? io::kValueOn : io::kValueOff);
            if (row.GetDataBackColor() != colour)
                row.SetDataBackColor(colour);
        }
    }
}

void CViewIO::OnQueryReply(int pin, const std::string& reply)
{
    std::string line;
    {
        model::SharedLock lock(Store().GetDataMutex());
        model::CN2PinRecord* r = PinRecord(pin, true);
        if (!r)
            return;
        io::ApplyQueryReply(reply, pin, *r);
        line = r->Format(1);
    }
    CZRCN2 row = Row(pin);
    row.Import(line.c_str(), plat::TRUE);
    row.SetModifyFlg(plat::FALSE);
    row.SetStatus(0);
    // What the driver holds now is the row's new starting point.
    m_lastSent[static_cast<std::size_t>(pin)] = RowSetting(pin);
}

void CViewIO::NoteRefusal(int pin, const std::string& reply)
{
    if (std::find(m_refusedPins.begin(), m_refusedPins.end(), pin) == m_refusedPins.end())
        m_refusedPins.push_back(pin);
    if (std::find(m_refusedReplies.begin(), m_refusedReplies.end(), reply) == m_refusedReplies.end())
        m_refusedReplies.push_back(reply);
}

void CViewIO::ShowRefusedOnLeave()
{
    m_collectRefusals = false;
    if (m_refusedPins.empty())
        return;
    std::sort(m_refusedPins.begin(), m_refusedPins.end());
    QStringList pins;
    for (const int pin : m_refusedPins)
        pins << QString::number(pin);
    QStringList replies;
    for (const std::string& reply : m_refusedReplies)
        replies << QString::fromStdString(reply);
    m_refusedPins.clear();
    m_refusedReplies.clear();
    // Over the please-wait dialog while the program closes.
    const plat::LRESULT dialog = plat::SendMessage(model::GetMainWindow(), WM_WAIT_DIALOG, WaitDialog::Query, 0);
    AppMessageBox(dialog ? reinterpret_cast<plat::HWND>(dialog) : model::GetMainWindow(),
                  tr("Error during I/O setting.\nThe settings of these pins were not written to the driver unit: "
                     "%1\nError: %2")
                      .arg(pins.join(QStringLiteral(", ")), replies.join(QStringLiteral(", "))),
                  tr("Error during I/O setting"), plat::MB_OK | plat::MB_ICONWARNING);
}

// ---- Connection and lock ------------------------------------------------------------------------

plat::LRESULT CViewIO::OnCommStateChanged(plat::WPARAM connected, plat::LPARAM reason)
{
    const bool current = IsCurrentView();
    if (connected == 1 && reason == CommState::Restored) {
        if (current)
            plat::SetTimer(GetSafeHwnd(), kMonitorTimer, kMonitorPeriodMs);
    } else if (connected == 1) {
        if (Store().GetPinArray()) {
            for (int pin = 1; pin <= kPinCount; ++pin) {
                bool pending = false;
                {
                    model::SharedLock lock(Store().GetDataMutex());
                    const model::CN2PinRecord* r = PinRecord(pin, false);
                    if (!r)
                        continue;
                    pending = r->m_status == 1;
                }
                CZRCN2 row = Row(pin);
                if (reason != CommState::Entered && !pending && row.isValid() && row.GetModifyFlg()) {
                    StoreRow(pin);
                    model::SharedLock lock(Store().GetDataMutex());
                    if (model::CN2PinRecord* r = PinRecord(pin, false))
                        r->m_status = 1;
                    pending = true;
                }
                bool queued = true;
                if (pending)
                    queued = SendPinSetting(pin, "Send I/O info setting command");
                else if (current && !IsLocked())
                    queued = QueryPin(pin);
                if (!queued) {
                    m_refresh = false;
                    return 0;
                }
            }
        }
        m_state = io::kStateElectrical;
        if (current)
            plat::SetTimer(GetSafeHwnd(), kMonitorTimer, kMonitorPeriodMs);
    } else {
        plat::KillTimer(GetSafeHwnd(), kMonitorTimer);
        // Only what the user changed goes out with the line, and a refusal of it is told once.
        m_collectRefusals = true;
        LeaveHandling();
        m_state = 0;
        if (IsConnected() && reason == 0) {
            for (int pin = 1; pin <= kPinCount; ++pin) {
                if (ChangedSinceSent(pin))
                    SendPinSetting(pin);
            }
            model::WaitCommandQueue(GetSafeHwnd());
        }
        ShowRefusedOnLeave();
    }
    m_refresh = false;
    return 1;
}

void CViewIO::LeaveHandling()
{
    m_state = 0;
    plat::KillTimer(GetSafeHwnd(), kMonitorTimer);
    if (IsConnected()) {
        const int pin = focusedPin();
        if (pin && ChangedSinceSent(pin))
            SendPinSetting(pin);
    }
    model::WaitCommandQueue(GetSafeHwnd());
    for (int pin = 1; pin <= kPinCount; ++pin) {
        CZRCN2 row = Row(pin);
        if (!row.isValid())
            continue;
        if (row.GetViewMode() == 1) {
            StoreRow(pin);
            continue;
        }
        model::SharedLock lock(Store().GetDataMutex());
        if (model::CDataFile::PinArray* pins = Store().GetPinArray();
            pins && pin <= static_cast<int>(pins->size()))
            (*pins)[static_cast<std::size_t>(pin - 1)].reset();
    }
}

plat::LRESULT CViewIO::OnLockStateChanged(plat::WPARAM disabled, plat::LPARAM resumed)
{
    if (disabled != 1 || resumed == 1)
        return 1;
    for (int pin = 1; pin <= kPinCount; ++pin) {
        bool resend = false;
        {
            model::SharedLock lock(Store().GetDataMutex());
            const model::CN2PinRecord* r = PinRecord(pin, false);
            resend = r && (r->m_status == 1 || r->m_reserved2 != 0);
        }
        if (resend)
            SendPinSetting(pin);
    }
    return 1;
}

} // namespace talverin

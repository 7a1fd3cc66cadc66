// The channel editor's traffic with the driver: reads ("TC"), the write-back of a changed channel
// ("CC", then the channel text), channel insert/delete/clear ("CI", "CD", "CC/AL"), background
// reads of every unread channel, and the behaviour on view switches, connection changes and saves.
#include "screens/channel/CViewChannel.h"

#include "common/AppMessages.h"
#include "common/WidgetHelpers.h"
#include "connection/DriverQueue.h"
#include "screens/channel/ChannelListView.h"
#include "screens/channel/ChannelMessages.h"
#include "screens/channel/ChannelTable.h"
#include "screens/channel/ChannelText.h"

#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <model/ReplyErrorText.h>
#include <model/SharedData.h>
#include <platform/language.h>
#include <platform/message_box.h>
#include <platform/messages.h>
#include <platform/qt/window_bridge.h>
#include <platform/qt/window_timers.h>
#include <zrcomm/zrcomm.h>

#include <QApplication>
#include <QLineEdit>

#include <algorithm>
#include <utility>

namespace talverin {

namespace {

constexpr unsigned kStateNotOpen = 0x40000004;
constexpr unsigned kStateUnknownCommand = 0x40000007;
constexpr unsigned kStateAborted = 0x2000000f;

// The channel text is queued by the data store, which keeps its id: a busy period waiting on it
// is keyed by its tag instead (negative, so never a command id).
CommandId writeBusyKey(int channel) { return -(channel + kKindWrite); }

bool isFailureState(unsigned state)
{
    return state == 0x20000003 || state == 0x20000004 || state == 0x2000000a || state == 0x2000000b ||
           (state >= 0x4000000b && state <= 0x40000015);
}

// What the user is told the driver answered to a write that failed.
QString DriverReply(std::string_view reply, unsigned state)
{
    return QString::fromStdString(model::DriverReplyForUser(reply, state, plat::GetLanguage()));
}

} // namespace

bool CViewChannel::connected() const
{
    return CurrentDriverQueue().isConnected();
}

int CViewChannel::readState(int channel)
{
    model::SharedLock lock(m_store.GetDataMutex());
    const model::CChannelProgram* program = m_store.GetChannelProgram(channel);
    return program ? program->m_lineCount : 0;
}

int CViewChannel::writeState(int channel)
{
    model::SharedLock lock(m_store.GetDataMutex());
    const model::CChannelProgram* program = m_store.GetChannelProgram(channel);
    return program ? program->m_currentLine : 0;
}

void CViewChannel::setReadState(int channel, int state)
{
    model::SharedLock lock(m_store.GetDataMutex());
    if (model::CChannelProgram* program = m_store.GetChannelProgram(channel))
        program->m_lineCount = state;
}

// ---- Busy periods -------------------------------------------------------------------------------

void CViewChannel::SetBusy(int enable)
{
    const bool busy = enable == 0;
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (QWidget* main = plat::qt::WidgetFromHandle(model::GetMainWindow()))
        main->setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CViewChannel::endBusyFor(CommandId id)
{
    if (m_busyCommands.erase(id) && m_busyCommands.empty())
        SetBusy(1);
}

void CViewChannel::endAllBusy()
{
    m_busyCommands.clear();
    SetBusy(1);
}

CommandId CViewChannel::queueCommand(int kind, int channel, bool busy)
{
    const std::string text = ChannelCommandText(kind, channel);
    const CommandId id = CurrentDriverQueue().sendCommandText(GetSafeHwnd(), text, kind + channel);
    if (id == 0)
        return 0;
    if (kind == kKindRead)
        m_readCommands[channel] = id;
    if (kind == kKindClear)
        m_writesUnderWay.insert(channel);
    if (busy) {
        m_busyCommands.insert(id);
        SetBusy(0);
    }
    return id;
}

int CViewChannel::StartChannelWrite(int channel)
{
    return queueCommand(kKindClear, channel, false) != 0 ? 0 : static_cast<int>(CurrentDriverQueue().lastError());
}

// ---- Reading and switching ----------------------------------------------------------------------

void CViewChannel::ShowChannel(int channel, int read)
{
    channel = std::clamp(channel, 0, kChannelCount - 1);
    // A channel changed here and not written (or not wholly) is never read over.
    if (read == 1 && readState(channel) == -1 && writeState(channel) == 0 && connected()) {
        const auto queued = m_readCommands.find(channel);
        const CommandId id = queued != m_readCommands.end() ? queued->second : queueCommand(kKindRead, channel, false);
        if (id != 0) {
            // The read's channel is the current one from now on, so that its reply lists it.
            OpenCellEditor(-1, 0);
            m_store.m_editChannel = channel;
            m_core.rows().clear();
            m_core.setListModified(false);
            selectChannelInBox(channel);
            m_waiting = true;
            m_busyCommands.insert(id);
            SetBusy(0);
            return;
        }
    }
    listChannel(channel);
}

void CViewChannel::SelectChannel(int channel, int write)
{
    CommitCellEdit();
    OpenCellEditor(-1, 0);
    selectChannelInBox(CurrentChannel());
    if (m_core.listModified())
        StoreEdits();
    if (write == 1 && connected() && writeState(CurrentChannel()) != 0) {
        m_pendingSwitch = channel;
        if (queueCommand(kKindClear, CurrentChannel(), true) != 0)
            return;
        m_pendingSwitch = -1;
    }
    ShowChannel(channel, 1);
    RecountRemaining();
}

void CViewChannel::queueBackgroundRead()
{
    for (const auto& [channel, id] : m_readCommands) {
        if (channel != CurrentChannel())
            return; // one read of another channel at a time
    }
    int next = -1;
    {
        model::SharedLock lock(m_store.GetDataMutex());
        const model::CDataFile::ChannelArray* channels = m_store.GetChannelArray();
        for (int channel = 0; channel < kChannelCount && channels && next < 0; ++channel) {
            const model::CChannelProgram* program = (*channels)[static_cast<std::size_t>(channel)].get();
            const bool unread = !program || (program->m_lineCount == -1 && program->m_currentLine == 0);
            if (channel != CurrentChannel() && unread && !m_readCommands.count(channel))
                next = channel;
        }
    }
    if (next >= 0)
        queueCommand(kKindRead, next, false);
}

void CViewChannel::abortBackgroundReads()
{
    for (int channel = kChannelCount - 1; channel >= 0; --channel) {
        if (channel == CurrentChannel())
            continue;
        const std::string text = ChannelCommandText(kKindRead, channel);
        if (const CommandId id = CurrentDriverQueue().findCommand(text); id > 0)
            CurrentDriverQueue().abortCommand(id);
    }
}

// ---- Completions --------------------------------------------------------------------------------

plat::LRESULT CViewChannel::OnCommCommand(plat::WPARAM event, CommandId id)
{
    // A switch dropped by this command's line failure concerns only this command's write.
    struct Forget {
        bool& dropped;
        ~Forget() { dropped = false; }
    } forgetDroppedSwitch{m_switchDropped};
    DriverQueue& queue = CurrentDriverQueue();
    const Completion done = queue.completion(event, id);
    // A failed write and a garbled reply are tried again (the garbled one no longer without end);
    // no echo and a time-out are not.
    const bool lineFailed = done.transportFailed();
    if (event == COMM_EVENT_WRITE_FAILED || event == COMM_EVENT_INVALID_DATA) {
        if (queue.retry(id, RetryPolicy::ChannelEditor))
            return 0;
        dropPendingSwitch();
    } else if (lineFailed) {
        dropPendingSwitch();
    } else if (event == COMM_EVENT_SENDING || event == COMM_EVENT_WRITTEN || event == COMM_EVENT_REPLY_BEGINS) {
        // The data store queued the channel text: its first event names it.
        if (m_writeProgress.channel >= 0 && m_writeProgress.id == 0) {
            const ChannelTag sent = SplitChannelTag(done.tag);
            if (sent.kind == kKindWrite && sent.channel == m_writeProgress.channel)
                m_writeProgress.id = id;
        }
        return 0;
    } else if (!done.completed() && !done.aborted()) {
        return 0;
    }

    const unsigned state = done.state;
    const std::intptr_t tag = done.tag;
    const ChannelTag split = SplitChannelTag(tag);
    if (split.kind == kKindWrite && split.channel == m_writeProgress.channel)
        endWriteProgress();
    const bool waitedRead = split.kind == kKindRead && m_waiting && split.channel == CurrentChannel();
    // The record is done with once its state, tag and reply are read: nothing below (boxes,
    // nested loops, a disconnection sent back) can meet it again.
    const auto forget = [&] {
        for (auto it = m_readCommands.begin(); it != m_readCommands.end(); ++it) {
            if (it->second == id) {
                m_readCommands.erase(it);
                break;
            }
        }
    };
    if (state == kStateNotOpen || state == kStateUnknownCommand) {
        forget();
        if (waitedRead)
            m_waiting = false;
        endBusyFor(id);
        return 0;
    }
    m_lastCommandState = state;
    // A failed write's reply is what the user is told the driver said.
    const std::string reply = queue.reply(id);
    queue.removeCommand(id);
    forget();
    // A continued write keeps the busy period going; it ends with the last command it waits on.
    const bool busy = m_busyCommands.count(id) != 0;

    if (state == 0) {
        ClearStatusError(this); // the last failure is over once a command goes through
        switch (split.kind) {
        case kKindRead:
            endBusyFor(id);
            onReadDone(split.channel, reply);
            break;
        case kKindClear: {
            bool empty = true;
            {
                model::SharedLock lock(m_store.GetDataMutex());
                if (const model::CChannelProgram* program = m_store.GetChannelProgram(split.channel))
                    empty = program->m_lines.empty();
            }
            if (empty) {
                endBusyFor(id);
                completeWrite(split.channel, WriteEnd::Written);
                break;
            }
            const std::uint32_t error = m_store.SendChannelProgram(GetSafeHwnd(), split.channel);
            if (error == 0) {
                startWriteProgress(split.channel);
                if (busy)
                    m_busyCommands.insert(writeBusyKey(split.channel));
                endBusyFor(id);
            } else {
                endBusyFor(id);
                completeWrite(split.channel, WriteEnd::NotWritten, DriverReply({}, error));
            }
            break;
        }
        case kKindWrite:
            endBusyFor(writeBusyKey(split.channel));
            onWriteReplied(split.channel, reply);
            break;
        case kKindInsert:
        case kKindDelete:
        case kKindClearAll:
            endBusyFor(id);
            makeLocalChange(split.kind, false);
            break;
        default:
            endBusyFor(id);
            break;
        }
    } else {
        if (split.kind == kKindWrite)
            endBusyFor(writeBusyKey(split.channel));
        endBusyFor(id);
        if (isFailureState(state))
            OnCommandFailed(state, tag);
        if (isFailureState(state) || state == kStateAborted || event != COMM_EVENT_COMPLETED)
            onAborted(split.kind, split.channel, DriverReply(reply, state));
    }
    if (waitedRead && m_waiting) {
        // The read the list waits for ended without a reply: the record as it is.
        m_waiting = false;
        if (split.channel == CurrentChannel())
            listChannel(split.channel);
    }

    if (lineFailed) {
        // Every command not under way goes with the line, the busy periods waiting on them too.
        queue.removeCommand(0);
        m_readCommands.clear();
        m_waiting = false;
        endAllBusy();
        plat::SendMessage(model::GetMainWindow(), WM_COMM_ERROR, event, comm_error::kDisconnect);
    }
    return 0;
}

void CViewChannel::onReadDone(int channel, const std::string& reply)
{
    {
        model::SharedLock lock(m_store.GetDataMutex());
        model::CChannelProgram* program = m_store.GetChannelProgram(channel);
        // A channel changed here meanwhile, or not written, keeps its lines: they are written,
        // not read over.
        if (program && program->m_currentLine == 0) {
            program->Clear();
            program->Parse(ReadReplyToProgramText(channel, reply));
        }
    }
    m_core.RecountRemaining();
    if (!m_viewCurrent)
        return;
    showRemaining();
    if (channel == CurrentChannel()) {
        if (!m_waiting)
            messageBox(channel_messages::ReadUnderEditText(m_core.listModified()),
                       channel_messages::ReadUnderEditTitle(), plat::MB_ICONWARNING);
        m_waiting = false;
        listChannel(channel);
    }
    if (m_core.budget().mustDeleteLines())
        messageBox(channel_messages::OverLimitText(), channel_messages::InformationTitle(), plat::MB_ICONSTOP);
    plat::qt::SetTimer(this, kBackgroundReadTimer, 0);
}

void CViewChannel::onWriteReplied(int channel, const std::string& reply)
{
    int emptyLine = 0;
    {
        model::SharedLock lock(m_store.GetDataMutex());
        if (const model::CChannelProgram* program = m_store.GetChannelProgram(channel))
            emptyLine = program->m_emptyLineFlag;
    }
    const bool rejected = IsChannelWriteRejected(reply, emptyLine);
    if (channel == CurrentChannel()) {
        m_core.MarkRows(reply);
        m_list->viewport()->update();
    }
    completeWrite(channel, rejected ? WriteEnd::Rejected : WriteEnd::Written);
}

void CViewChannel::completeWrite(int channel, WriteEnd end, const QString& reply)
{
    if (const auto underWay = m_writesUnderWay.find(channel); underWay != m_writesUnderWay.end())
        m_writesUnderWay.erase(underWay);
    {
        model::SharedLock lock(m_store.GetDataMutex());
        if (model::CChannelProgram* program = m_store.GetChannelProgram(channel))
            program->m_currentLine = end == WriteEnd::Written ? 0 : -1;
    }
    m_lastWrite = LastWrite{channel, end, reply};
    documentModified();
    const bool switchDropped = std::exchange(m_switchDropped, false);
    if (channel == CurrentChannel() && (m_pendingSwitch >= 0 || switchDropped)) {
        if (end != WriteEnd::Written && m_viewCurrent) {
            const bool stay = end == WriteEnd::NotWritten ? askUnwritten(channel, reply, m_pendingSwitch >= 0, nullptr)
                                                          : askRejectedLines(nullptr);
            if (stay)
                m_pendingSwitch = -1;
        }
        if (m_pendingSwitch >= 0) {
            const int target = std::exchange(m_pendingSwitch, -1);
            SelectChannel(target, 0);
        }
    }
    if (channel == m_chainChannel) {
        // A write that did not reach the driver ends the chain; the next unlock or connection
        // starts it again.
        m_chainChannel = -1;
        if (end != WriteEnd::NotWritten)
            startWriteChain(channel + 1);
    }
}

void CViewChannel::startWriteChain(int from)
{
    for (int channel = std::max(from, 0); channel < kChannelCount; ++channel) {
        if (writeState(channel) == 0)
            continue;
        // A write of it under way already (a switch's) is not doubled.
        if (CurrentDriverQueue().findCommand(ChannelCommandText(kKindClear, channel)) > 0)
            continue;
        if (StartChannelWrite(channel) == 0) {
            m_chainChannel = channel;
            return;
        }
    }
}

void CViewChannel::dropPendingSwitch()
{
    if (m_pendingSwitch >= 0)
        m_switchDropped = true;
    m_pendingSwitch = -1;
}

void CViewChannel::onAborted(int kind, int channel, const QString& reply)
{
    switch (kind) {
    case kKindRead:
        if (channel == CurrentChannel() && m_viewCurrent) {
            m_waiting = false;
            listChannel(channel);
        }
        break;
    case kKindWrite:
    case kKindClear:
        // Refused before it was written, or ended without the driver's word: what the driver
        // holds now is unknown, so the program stays here to be written again.
        completeWrite(channel, WriteEnd::NotWritten, reply);
        break;
    case kKindInsert:
    case kKindDelete:
    case kKindClearAll:
        makeLocalChange(kind, true);
        break;
    default:
        break;
    }
}

// Yes: resume editing here (true). No: the channel is read again later and its rejected lines go.
bool CViewChannel::askRejectedLines(plat::HWND owner)
{
    const int answer = messageBox(channel_messages::RejectedLinesText(), channel_messages::RejectedLinesTitle(),
                                  plat::MB_ICONWARNING | plat::MB_YESNO, owner);
    if (answer == plat::IDYES)
        return true;
    setReadState(CurrentChannel(), -1);
    {
        // What the driver kept is read again over it.
        model::SharedLock lock(m_store.GetDataMutex());
        if (model::CChannelProgram* program = m_store.GetChannelProgram(CurrentChannel()))
            program->m_currentLine = 0;
    }
    dropRejectedLines();
    return false;
}

bool CViewChannel::askUnwritten(int channel, const QString& reply, bool question, plat::HWND owner)
{
    const unsigned buttons = question ? plat::MB_ICONWARNING | plat::MB_YESNO : plat::MB_ICONWARNING | plat::MB_OK;
    return messageBox(channel_messages::UnwrittenText(channel, reply, question), channel_messages::RejectedLinesTitle(),
                      buttons, owner) == plat::IDYES;
}

bool CViewChannel::lastWriteUnwritten() const
{
    return m_lastWrite.channel == CurrentChannel() && m_lastWrite.end == WriteEnd::NotWritten;
}

void CViewChannel::dropRejectedLines()
{
    bool dropped = false;
    {
        model::SharedLock lock(m_store.GetDataMutex());
        if (model::CChannelProgram* program = m_store.GetChannelProgram(CurrentChannel()))
            dropped = m_core.DropRejectedLines(*program);
    }
    if (dropped)
        ShowChannel(CurrentChannel(), 0);
}

// ---- Channel commands ---------------------------------------------------------------------------

void CViewChannel::startChannelCommand(int kind)
{
    QString question;
    QString title;
    if (kind == kKindInsert) {
        bool lines255 = false;
        {
            model::SharedLock lock(m_store.GetDataMutex());
            if (const model::CChannelProgram* program = m_store.GetChannelProgram(kChannelCount - 1))
                lines255 = !program->m_lines.empty();
        }
        question = channel_messages::InsertQuestion(lines255);
        title = channel_messages::InsertTitle();
    } else if (kind == kKindDelete) {
        question = channel_messages::DeleteQuestion();
        title = channel_messages::DeleteTitle();
    } else {
        question = channel_messages::DeleteAllQuestion();
        title = channel_messages::DeleteAllTitle();
    }
    if (messageBox(question, title, plat::MB_ICONQUESTION | plat::MB_YESNO | plat::MB_DEFBUTTON2) != plat::IDYES)
        return;
    OpenCellEditor(-1, 0);
    documentModified();
    if (kind == kKindInsert && m_core.listModified())
        StoreEdits();
    else
        m_core.setListModified(false);
    if (connected() && queueCommand(kind, kind == kKindClearAll ? 0 : CurrentChannel(), true) != 0)
        return;
    makeLocalChange(kind, true);
}

void CViewChannel::makeLocalChange(int kind, bool marking)
{
    {
        model::SharedLock lock(m_store.GetDataMutex());
        model::CDataFile::ChannelArray* channels = m_store.GetChannelArray();
        if (!channels)
            return;
        if (kind == kKindDelete)
            DeleteChannelLocal(*channels, CurrentChannel(), marking);
        else if (kind == kKindInsert)
            InsertChannelLocal(*channels, CurrentChannel(), marking);
        else
            ClearAllChannelsLocal(*channels, marking);
    }
    RecountRemaining();
    ShowChannel(kind == kKindClearAll ? 0 : CurrentChannel(), 1);
}

// ---- Write progress -----------------------------------------------------------------------------

void CViewChannel::startWriteProgress(int channel)
{
    int lines = 0;
    {
        model::SharedLock lock(m_store.GetDataMutex());
        if (model::CChannelProgram* program = m_store.GetChannelProgram(channel)) {
            // The text as it went: a CR per line, besides the header's and the closing one.
            const std::string text = program->BuildText();
            lines = static_cast<int>(std::count(text.begin(), text.end(), '\r')) - 2;
        }
    }
    m_writeProgress = WriteProgress{channel, std::max(lines, 0), 0};
    showWriteProgress();
    plat::qt::SetTimer(this, kWriteProgressTimer, kWriteProgressMs);
}

void CViewChannel::showWriteProgress()
{
    if (m_writeProgress.channel < 0)
        return;
    const int written =
        m_writeProgress.id != 0 ? WrittenLineCount(CurrentDriverQueue().reply(m_writeProgress.id), m_writeProgress.lines) : 0;
    SetStatusText(this, channel_messages::WritingChannelText(m_writeProgress.channel, written, m_writeProgress.lines));
}

void CViewChannel::endWriteProgress()
{
    plat::qt::KillTimer(this, kWriteProgressTimer);
    if (std::exchange(m_writeProgress, WriteProgress{}).channel >= 0)
        SetStatusText(this, static_cast<const char*>(nullptr));
}

// ---- Failures -----------------------------------------------------------------------------------

void CViewChannel::OnCommandFailed(unsigned state, std::intptr_t tag)
{
    if (state == 0) {
        SetStatusText(this, static_cast<const char*>(nullptr));
        return;
    }
    const QString text = QString::fromStdString(model::GetCommErrorText(state, plat::GetLanguage())) +
                         channel_messages::FailureSuffix(SplitChannelTag(tag).kind);
    SetStatusError(this, text);
}

// ---- View switches, connection and saves ---------------------------------------------------------

bool CViewChannel::OnViewSwitch(bool entered, int)
{
    if (entered) {
        m_viewCurrent = true;
        RecountRemaining();
        SelectChannel(CurrentChannel(), 0);
        if (m_core.budget().mustDeleteLines())
            messageBox(channel_messages::OverLimitText(), channel_messages::InformationTitle(), plat::MB_ICONSTOP);
        if (connected() && !m_waiting)
            queueBackgroundRead();
        return true;
    }
    m_viewCurrent = false;
    CommitCellEdit();
    OpenCellEditor(-1, 0);
    if (connected())
        abortBackgroundReads();
    if (m_core.listModified())
        StoreEdits();
    if (!connected() || writeState(CurrentChannel()) == 0)
        return true;
    m_lastWrite = LastWrite{};
    StartChannelWrite(CurrentChannel());
    model::WaitCommandQueue(GetSafeHwnd(), false);
    if (writeState(CurrentChannel()) != -1)
        return true;
    if (lastWriteUnwritten()) {
        // Nothing to resume: the program stays here, to be written again.
        askUnwritten(CurrentChannel(), m_lastWrite.reply, false, nullptr);
        return true;
    }
    if (!connected() || !askRejectedLines(nullptr))
        return true;
    m_viewCurrent = true;
    if (connected() && !m_waiting)
        queueBackgroundRead();
    return false;
}

plat::LRESULT CViewChannel::OnCommStateChanged(plat::WPARAM state, plat::LPARAM reason)
{
    if (state == 1) {
        // A connection that merely went on (a refused disconnection) brings nothing new.
        if (reason == CommState::Restored && !m_viewCurrent)
            return 1;
        m_chainChannel = -1;
        m_refusalDone = false;
        const bool listModified = m_core.listModified();
        if (listModified)
            StoreEdits();
        // Every channel not in step is written, whichever screen is current.
        startWriteChain(0);
        if (!m_viewCurrent)
            return 1;
        const int current = CurrentChannel();
        if (listModified || readState(current) != -1 || writeState(current) != 0)
            queueBackgroundRead();
        else if (!m_readCommands.count(current))
            queueCommand(kKindRead, current, true);
        return 1;
    }

    // The line goes: nothing waits on a busy period any longer.
    endAllBusy();
    m_waiting = false;
    if (connected()) {
        abortBackgroundReads();
        model::WaitCommandQueue(GetSafeHwnd(), true);
    }
    if (m_core.listModified())
        StoreEdits();
    if ((reason != DisconnectReason::Plain && reason != CommState::CloseRequest) || !connected())
        return 1;
    if (writeState(CurrentChannel()) != 0) {
        const bool wasModified = m_host.isDocumentModified ? m_host.isDocumentModified() : false;
        m_lastWrite = LastWrite{};
        StartChannelWrite(CurrentChannel());
        model::WaitCommandQueue(GetSafeHwnd(), true);
        const bool unwritten = writeState(CurrentChannel()) == -1 && lastWriteUnwritten();
        if (m_lastCommandState != 0 && !connected() && !unwritten)
            m_refusalDone = true;
        if (m_viewCurrent && !m_refusalDone && writeState(CurrentChannel()) == -1) {
            const plat::LRESULT dialog = plat::SendMessage(model::GetMainWindow(), WM_WAIT_DIALOG, WaitDialog::Query, 0);
            const auto owner = dialog ? reinterpret_cast<plat::HWND>(dialog) : nullptr;
            if (unwritten)
                askUnwritten(CurrentChannel(), m_lastWrite.reply, false, owner);
            else if (askRejectedLines(owner))
                return 0;
            m_refusalDone = true;
        }
        // A channel left not written keeps the document modified: its program is only here.
        if (m_host.setDocumentModified && writeState(CurrentChannel()) == 0)
            m_host.setDocumentModified(wasModified);
    }
    return 1;
}

int CViewChannel::WriteBackChannel(int question)
{
    if (m_core.listModified())
        StoreEdits();
    if (!connected())
        return -1;
    if (writeState(CurrentChannel()) == 0)
        return 0;
    m_lastWrite = LastWrite{};
    StartChannelWrite(CurrentChannel());
    model::WaitCommandQueue(GetSafeHwnd(), false);
    if (writeState(CurrentChannel()) != -1)
        return 0;
    if (lastWriteUnwritten()) {
        // No read-all replaces the program: the save or print goes on with it.
        if (question != 0)
            askUnwritten(CurrentChannel(), m_lastWrite.reply, false, nullptr);
        return 0;
    }
    if (!connected() || question == 0)
        return -1;
    return askRejectedLines(nullptr) ? -1 : 1;
}

void CViewChannel::OnPortClosed()
{
    // Writes that went with the queue never complete: what the driver holds of them is unknown.
    endAllBusy();
    endWriteProgress();
    const std::multiset<int> cut = std::exchange(m_writesUnderWay, {});
    for (auto channel = cut.begin(); channel != cut.end(); channel = cut.upper_bound(*channel))
        completeWrite(*channel, WriteEnd::NotWritten, DriverReply({}, COMM_ERR_NOT_CONNECTED));
}

plat::LRESULT CViewChannel::OnLockStateChanged(plat::WPARAM unlocked)
{
    if (unlocked != 1 || !connected())
        return 1;
    // Writes refused while the driver was locked go now.
    if (m_viewCurrent && m_core.listModified())
        StoreEdits();
    if (m_chainChannel < 0)
        startWriteChain(0);
    return 1;
}

plat::LRESULT CViewChannel::OnTimer(plat::WPARAM id)
{
    if (id == kStepPanelTimer) {
        plat::qt::KillTimer(this, kStepPanelTimer);
        showStepPanel();
    } else if (id == kBackgroundReadTimer) {
        plat::qt::KillTimer(this, kBackgroundReadTimer);
        if (m_viewCurrent && connected())
            queueBackgroundRead();
    } else if (id == kWriteProgressTimer) {
        showWriteProgress();
    }
    return 0;
}

plat::LRESULT CViewChannel::WindowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam)
{
    switch (message) {
    case WM_COMM_COMMAND:
        return OnCommCommand(wParam, static_cast<CommandId>(lParam));
    case WM_COMM_STATE_CHANGED:
        return OnCommStateChanged(wParam, lParam);
    case WM_LOCK_STATE_CHANGED:
        return OnLockStateChanged(wParam);
    case plat::WM_TIMER:
        return OnTimer(wParam);
    default:
        return CViewBase::WindowProc(message, wParam, lParam);
    }
}

} // namespace talverin

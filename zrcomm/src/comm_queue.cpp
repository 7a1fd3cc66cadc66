// The port's queue: making records, the insertion rules, lookups and removal.
#include "comm_port.h"

#include <cstring>

namespace zrcomm {

using namespace plat;

CCommPort::Record CCommPort::NewCommand(std::uint32_t kind, const char* text, HWND window, std::intptr_t param)
{
    if (kind > CCommCommand::KIND_STEP || !text || !text[0]) {
        SetPortError(COMM_ERR_INVALID_ARG);
        return nullptr;
    }
    auto r = std::make_unique<CCommCommand>();
    r->kind = kind;
    r->text.Assign(text, static_cast<std::uint32_t>(std::strlen(text)));
    r->window = window;
    r->param = param;
    return r;
}

CommandId CCommPort::NextCommandId()
{
    PortLock lock(*this);
    m_lastId = (m_lastId + 1) & 0x7FFFFFFFu;
    if (m_lastId == 0)
        m_lastId = 1; // 0 means "no command"
    return static_cast<CommandId>(m_lastId);
}

CCommCommand* CCommPort::InsertBefore(Queue::iterator pos, Record record)
{
    CCommCommand* raw = record.get();
    m_queue.insert(pos, std::move(record));
    return raw;
}

CCommCommand* CCommPort::QueueCommand(Record record)
{
    if (!record)
        return nullptr;
    PortLock lock(*this);
    if (record->IsCommand()) {
        // Commands keep the order in which they were queued.
        record->id = static_cast<std::uint32_t>(NextCommandId());
        return InsertBefore(m_queue.end(), std::move(record));
    }
    // Direct text and internal steps overtake waiting records of the other kinds, but never a record
    // under way, a top-level command, or an earlier record of their own kind. A text that begins with
    // a backspace (a cancel) also goes ahead of direct text being written.
    const bool cancel = record->IsText() && record->text.ByteAt(0) == 0x08;
    auto it = m_queue.begin();
    for (; it != m_queue.end(); ++it) {
        const CCommCommand& r = **it;
        if (cancel && r.IsText() && r.IsEngaged())
            break;
        if (r.kind != record->kind && !r.IsEngaged() && !r.topLevel)
            break;
    }
    return InsertBefore(it, std::move(record));
}

CCommCommand* CCommPort::QueueTopLevelCommand(Record record)
{
    if (!record)
        return nullptr;
    PortLock lock(*this);
    record->topLevel = true;
    record->id = static_cast<std::uint32_t>(NextCommandId());
    // Kept exactly as the rule reads: ahead of the first waiting record that is neither top-level nor
    // a command. Waiting direct text and steps sit ahead of waiting commands, so this may also put the
    // new command ahead of ordinary commands queued before it; the command bar, its one caller, relies
    // on the rule as it is.
    auto it = m_queue.begin();
    for (; it != m_queue.end(); ++it) {
        const CCommCommand& r = **it;
        if (!r.topLevel && r.kind != record->kind && !r.IsEngaged())
            break;
    }
    return InsertBefore(it, std::move(record));
}

CommResult CCommPort::QueueText(HWND window, const char* text)
{
    Record r = NewCommand(CCommCommand::KIND_TEXT, text, window, 0);
    if (!r)
        return COMM_ERR_INVALID_ARG;
    QueueCommand(std::move(r));
    return COMM_OK;
}

CCommCommand* CCommPort::Head()
{
    PortLock lock(*this);
    return m_queue.empty() ? nullptr : m_queue.front().get();
}

CCommPort::Queue::iterator CCommPort::Find(const CCommCommand* record)
{
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it)
        if (it->get() == record)
            return it;
    return m_queue.end();
}

CCommPort::Record CCommPort::Detach(CCommCommand* record)
{
    PortLock lock(*this);
    auto it = Find(record);
    if (it == m_queue.end())
        return nullptr;
    Record r = std::move(*it);
    m_queue.erase(it);
    return r;
}

CCommCommand* CCommPort::GetRecord(CommandId id)
{
    PortLock lock(*this);
    for (auto& r : m_queue)
        if (r->id == static_cast<std::uint32_t>(id)) {
            m_portError = COMM_OK;
            return r.get();
        }
    m_portError = COMM_ERR_NO_COMMAND;
    return nullptr;
}

CommandId CCommPort::FindCommand(CommandId afterId, const char* prefix)
{
    PortLock lock(*this);
    if (!prefix || !prefix[0]) {
        m_portError = COMM_ERR_INVALID_ARG;
        return 0;
    }
    auto it = m_queue.begin();
    if (afterId != 0) {
        for (; it != m_queue.end(); ++it)
            if ((*it)->id == static_cast<std::uint32_t>(afterId))
                break;
        if (it == m_queue.end()) {
            m_portError = COMM_ERR_NO_COMMAND;
            return 0;
        }
        ++it;
    }
    m_portError = COMM_OK;
    const auto n = static_cast<std::uint32_t>(std::strlen(prefix));
    for (; it != m_queue.end(); ++it)
        if ((*it)->IsCommand() && (*it)->text.CompareAt(0, prefix, n))
            return (*it)->commandId();
    return 0;
}

std::vector<CommandId> CCommPort::EnumCommands()
{
    PortLock lock(*this);
    std::vector<CommandId> ids;
    for (auto& r : m_queue)
        if (r->IsCommand())
            ids.push_back(r->commandId());
    return ids;
}

int CCommPort::CountRecords(int kind)
{
    PortLock lock(*this);
    int n = 0;
    for (auto& r : m_queue)
        if (kind == -1 || r->kind == static_cast<std::uint32_t>(kind))
            ++n;
    return n;
}

bool CCommPort::RemoveRecord(CCommCommand* record)
{
    PortLock lock(*this);
    if (Find(record) == m_queue.end())
        return false;
    HeadLeavesLine(record);
    Record r = Detach(record);
    if (!r)
        return false;
    std::vector<Record> removed;
    removed.push_back(std::move(r));
    AbandonSteps(removed);
    return true;
}

void CCommPort::RemoveRecords(bool all)
{
    PortLock lock(*this);
    std::vector<Record> removed;
    if (!m_queue.empty() && (all || !m_queue.front()->IsEngaged()))
        HeadLeavesLine(m_queue.front().get());
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (all || !(*it)->IsEngaged()) {
            removed.push_back(std::move(*it));
            it = m_queue.erase(it);
        } else {
            ++it;
        }
    }
    AbandonSteps(removed);
}

void CCommPort::AbandonSteps(std::vector<Record>& removed)
{
    // A step that leaves the queue unfinished ends as aborted through the step handler: an
    // identification goes back to "not connected" (probing goes on), a baud change fails and is
    // reported. Without this the port would stay "checking" or "changing baud rate" for ever.
    for (auto& r : removed) {
        if (!r->IsStep())
            continue;
        r->state = CMD_ABORTED;
        OnInternalCommand(r.get(), true);
    }
}

bool CCommPort::IsPrompt(const std::uint8_t* bytes, std::uint32_t i)
{
    if (!bytes)
        return false;
    const std::uint8_t b = bytes[i];
    if (b == ':' || b == '#')
        return true;
    return b == '>' && i > 0 && (bytes[i - 1] == ':' || bytes[i - 1] == '#');
}

bool CCommPort::IsValidByte(std::uint8_t b)
{
    return b == 0x08 || b == 0x0A || b == 0x0D || (b >= 0x20 && b <= 0x7E);
}

bool CCommPort::IsValidData(const std::uint8_t* bytes, std::uint32_t n)
{
    for (std::uint32_t i = 0; i < n; ++i)
        if (!IsValidByte(bytes[i]))
            return false;
    return true;
}

bool CCommPort::IsConnected()
{
    PortLock lock(*this);
    m_portError = COMM_OK;
    return m_connectionState == CONN_CONNECTED;
}

} // namespace zrcomm

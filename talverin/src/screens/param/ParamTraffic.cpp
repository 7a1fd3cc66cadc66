#include "screens/param/ParamTraffic.h"

#include "common/AppMessages.h"
#include "common/WidgetHelpers.h"
#include "connection/ConnectionRules.h"

#include <controls/HelpInfo.h>
#include <controls/ZRPARAMMembers.h>
#include <model/CommandSupport.h>
#include <model/SharedData.h>
#include <platform/language.h>
#include <platform/messages.h>

#include <QCoreApplication>

namespace talverin {

ParamTraffic::ParamTraffic(model::CDataFile& store, ParamWindowKind kind, ParamTrafficHost host)
    : m_store(store), m_kind(kind), m_host(std::move(host))
{
}

// ---- Control events -----------------------------------------------------------------------------

bool ParamTraffic::isTransferable(const model::CZRParamClass* node) const
{
    // The record's letters: document loads add and remove its 'T'; the node's never change.
    return node && node->m_record && node->m_record->m_attributes.find('T') != std::string::npos;
}

void ParamTraffic::OnParamChange(model::CZRParamClass* node)
{
    if (!node)
        return;
    if (m_kind == ParamWindowKind::Screen && m_host.markDocumentModified) {
        bool mark = false;
        {
            model::SharedLock lock(m_store.GetDataMutex());
            mark = isTransferable(node);
        }
        if (mark)
            m_host.markDocumentModified();
    }
    m_store.SendParameterData(m_window, node, 1);
}

void ParamTraffic::OnQueryUpdate(model::CZRParamClass* node)
{
    if (node)
        m_store.SendParameterData(m_window, node, 0);
}

void ParamTraffic::OnSetStrChange(const std::string& text, model::CZRParamData* record)
{
    if (!record)
        return;
    model::SharedLock lock(m_store.GetDataMutex());
    record->m_currentText = model::CapValueText(
        m_kind == ParamWindowKind::Screen ? QString::fromStdString(text).trimmed().toStdString() : text);
}

void ParamTraffic::OnIsConnected(std::int32_t* connected)
{
    if (connected)
        *connected = m_queue.isConnected() ? 1 : 0;
}

QString ParamTraffic::CommandErrorText(const std::string& name, int status)
{
    return QCoreApplication::translate("CViewParam", "%1 Command Error: %2")
        .arg(QString::fromStdString(name),
             QString::fromStdString(model::GetCommErrorText(static_cast<std::uint32_t>(status), plat::GetLanguage())));
}

void ParamTraffic::OnItemSelect(model::CZRParamClass* node)
{
    int status = 0;
    std::string name;
    bool transferable = false;
    {
        model::SharedLock lock(m_store.GetDataMutex());
        if (node && node->m_record) {
            status = node->m_record->m_status;
            name = node->m_record->m_name;
            transferable = isTransferable(node);
        }
    }
    if (!ShowsCommandError(status, m_kind)) {
        SetStatusText(nullptr, static_cast<const char*>(nullptr));
        return;
    }
    SetStatusText(nullptr, CommandErrorText(name, status));
    // A value the driver does not hold differs from it: the document has something to keep.
    if (m_kind == ParamWindowKind::Screen && transferable && m_host.markDocumentModified)
        m_host.markDocumentModified();
}

EventSinkMap ParamTraffic::MakeSinkMap(std::span<const EventSubscription> table, HelpHandler help)
{
    namespace p = ctl::zrparam;
    const auto node = [](std::span<const comp::Variant> args, std::size_t i) {
        return i < args.size() ? static_cast<model::CZRParamClass*>(args[i].toUnknown()) : nullptr;
    };
    return MakeEventSinkMap(table, [this, help, node](const EventSubscription& e, int, std::span<const comp::Variant> args) {
        switch (e.eventId) {
        case p::OnParamChange:
            OnParamChange(node(args, 0));
            break;
        case p::QueryUpdate:
            OnQueryUpdate(node(args, 0));
            break;
        case p::CtrlHelp:
            if (help && args.size() >= 2)
                help(static_cast<const ctl::HelpInfo*>(args[0].toUnknown()), args[1].toPtrBool());
            break;
        case p::ItemSelect:
            OnItemSelect(node(args, 3));
            break;
        case p::SetStrChange:
            if (args.size() >= 4)
                OnSetStrChange(args[1].toString(), static_cast<model::CZRParamData*>(args[3].toUnknown()));
            break;
        case p::IsConnected:
            if (!args.empty())
                OnIsConnected(args[0].toPtrBool());
            break;
        default:
            break;
        }
    });
}

// ---- Completions --------------------------------------------------------------------------------

model::CZRParamClass* ParamTraffic::commandNode(std::intptr_t tag, const std::string& command) const
{
    // The tag is the node the command was queued for; after a reload the address may be free or
    // another node's, so the node must be one of the current tree's and its parameter the command's.
    const model::CDataFile::ParamTreeList* tree = m_store.GetTreeList();
    if (tag == 0 || !tree)
        return nullptr;
    for (const auto& node : *tree) {
        if (reinterpret_cast<std::intptr_t>(node.get()) == tag)
            return node->m_record && CommandNamesParameter(command, node->m_record->m_name) ? node.get() : nullptr;
    }
    return nullptr;
}

void ParamTraffic::OnCommCommand(plat::WPARAM event, CommandId id)
{
    const Completion done = m_queue.completion(event, id);
    if (done.transportFailed())
        onFailure(done);
    else if (done.completed())
        onCompleted(done);
    else if (done.aborted())
        onAborted(done);
}

void ParamTraffic::onAborted(const Completion& done)
{
    {
        // A record left queued (1) would be drawn as waiting for an answer that never comes.
        model::SharedLock lock(m_store.GetDataMutex());
        model::CZRParamClass* node = commandNode(done.tag, m_queue.commandText(done.id));
        if (node && node->m_record->m_status == 1)
            node->m_record->m_status = static_cast<int>(CMD_ABORTED);
    }
    // An ended command holds back every one behind it until it is removed.
    m_queue.removeCommand(done.id);
}

void ParamTraffic::onFailure(const Completion& done)
{
    if (m_kind == ParamWindowKind::Screen) {
        model::SharedLock lock(m_store.GetDataMutex());
        if (model::CZRParamClass* node = commandNode(done.tag, m_queue.commandText(done.id)))
            node->m_record->m_status = static_cast<int>(done.state);
    }
    // The count is shared with the other windows' handlers; the connection logic resets it.
    if (m_queue.retry(done.id))
        return;
    m_queue.removeCommand(0);
    plat::PostMessage(model::GetMainWindow(), WM_COMM_ERROR, done.event, comm_error::kDisconnect);
}

void ParamTraffic::onCompleted(const Completion& done)
{
    const CommandId id = done.id;
    const std::uint32_t state = done.state;
    const std::string command = m_queue.commandText(id);
    model::CZRParamClass* node = nullptr;
    {
        model::SharedLock lock(m_store.GetDataMutex());
        node = commandNode(done.tag, command);
        if (node)
            node->m_commandHandle = 0;
    }
    if (node && !IsLibraryError(state)) {
        model::CZRParamData& record = *node->m_record;
        if (IsDriverErrorResult(state)) {
            {
                model::SharedLock lock(m_store.GetDataMutex());
                record.m_status = static_cast<int>(state);
                if (m_kind == ParamWindowKind::Screen)
                    record.m_dependencyMark = 0;
            }
            updateRow(*node);
            model::SharedLock lock(m_store.GetDataMutex());
            if (record.m_status == 0)
                record.m_status = static_cast<int>(state);
        } else {
            const std::string reply = m_queue.reply(id);
            {
                model::SharedLock lock(m_store.GetDataMutex());
                if (command[0] == '?') {
                    StoreReadValue(record, ChooseReadValue(record.m_name, reply), m_kind);
                } else {
                    StoreWrittenValue(record, m_kind);
                    readDependents(record);
                }
            }
            updateRow(*node);
        }
        OnItemSelect(node);
    }
    m_queue.removeCommand(id);
}

void ParamTraffic::readDependents(model::CZRParamData& written)
{
    const DependentReads reads = ChooseDependents(written, m_store.GetTreeList(), m_kind);
    if (reads.clearMarkOnly) {
        written.m_dependencyMark = 0;
        return;
    }
    if (reads.everyParameter) {
        const std::string ownRead = "?" + written.m_name + "\r";
        if (m_queue.findCommand(ownRead) != 0)
            return;
    }
    for (model::CZRParamClass* dependent : reads.nodes) {
        // A single-node send answers 0 even when the command could not be queued: only a record
        // left queued (status 1) was sent.
        const std::uint32_t sent = m_store.SendParameterData(m_window, dependent, 0);
        if (sent != 0 || !dependent->m_record || dependent->m_record->m_status != 1)
            break;
        if (m_kind == ParamWindowKind::Screen)
            dependent->m_record->m_dependencyMark = 1;
    }
}

void ParamTraffic::updateRow(model::CZRParamClass& node)
{
    bool mark = false;
    {
        model::SharedLock lock(m_store.GetDataMutex());
        mark = m_kind == ParamWindowKind::Screen && isTransferable(&node);
    }
    if (mark && m_host.markDocumentModified)
        m_host.markDocumentModified();
    if (m_host.setDataChange)
        m_host.setDataChange(&node);
}

} // namespace talverin

// What the parameter screen and the command window share around their parameter editor: the
// control's events that become driver commands or record changes, and the completions of those
// commands (the value of a read, the reference of a write and the parameters it makes stale, the
// driver's refusals, retries and the give-up). The window owns one and hands it its reply handle,
// its control's SetDataChange and, for the screen, how the document is marked modified.
#pragma once

#include "connection/DriverQueue.h"
#include "controlhost/EventSinkMap.h"
#include "controlhost/ScreenEvents.h"
#include "screens/param/ParamReplyRules.h"

#include <platform/types.h>
#include <zrcomm/zrcomm_api.h>

#include <QString>

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace ctl {
struct HelpInfo;
}

namespace talverin {

struct ParamTrafficHost {
    // The control's SetDataChange(node): redraws the row and the tree's marks.
    std::function<void(model::CZRParamClass* node)> setDataChange;
    // Marks the document modified; null for a window that never does.
    std::function<void()> markDocumentModified;
};

class ParamTraffic {
public:
    ParamTraffic(model::CDataFile& store, ParamWindowKind kind, ParamTrafficHost host);

    // The window the commands are queued for (their completions come back to it).
    void SetWindow(plat::HWND window) { m_window = window; }
    plat::HWND Window() const { return m_window; }
    ParamWindowKind Kind() const { return m_kind; }

    // ---- Control events -----------------------------------------------------------------------

    // A value the user committed: written to the driver (the screen marks the document modified
    // for a transferable parameter first).
    void OnParamChange(model::CZRParamClass* node);
    // Refresh, or Space on a write-only command: the read (or the bare command) is queued.
    void OnQueryUpdate(model::CZRParamClass* node);
    // Fired with the data mutex held: only stores the text (the screen trims it).
    void OnSetStrChange(const std::string& text, model::CZRParamData* record);
    void OnIsConnected(std::int32_t* connected);
    // The status bar: the row's command error, or the idle text.
    void OnItemSelect(model::CZRParamClass* node);

    // Binds the table's events of the control to the handlers above; CtrlHelp goes to `help`
    // with the control's help-info record and its handled flag.
    using HelpHandler = std::function<void(const ctl::HelpInfo* info, std::int32_t* handled)>;
    EventSinkMap MakeSinkMap(std::span<const EventSubscription> table, HelpHandler help);

    // ---- Completions (WM_COMM_COMMAND) --------------------------------------------------------

    void OnCommCommand(plat::WPARAM event, CommandId id);

    // "<name> Command Error: <text of the status>".
    static QString CommandErrorText(const std::string& name, int status);

private:
    void onFailure(const Completion& done);
    void onAborted(const Completion& done);
    void onCompleted(const Completion& done);
    void readDependents(model::CZRParamData& written);
    void updateRow(model::CZRParamClass& node);
    // The command's node in the store's current tree, else null (no tag, a reloaded tree).
    model::CZRParamClass* commandNode(std::intptr_t tag, const std::string& command) const;
    bool isTransferable(const model::CZRParamClass* node) const;

    DriverQueue& m_queue = CurrentDriverQueue();
    model::CDataFile& m_store;
    ParamWindowKind m_kind;
    ParamTrafficHost m_host;
    plat::HWND m_window = nullptr;
};

} // namespace talverin

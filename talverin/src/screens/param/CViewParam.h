// The parameter screen (view 131): the parameter editor control 1234 on form 131, over the data
// store's parameter tree. Reads, writes and the re-reads a write causes go to the driver through
// ParamTraffic; the screen also follows the frame's connection, lock and screen-switch messages.
#pragma once

#include "controlhost/CZRPARAM.h"
#include "controlhost/EventSinkMap.h"
#include "screens/CViewBase.h"
#include "screens/param/ParamTraffic.h"

#include <platform/qt/keyboard_hook.h>

#include <QString>

#include <functional>

namespace ctl {
struct HelpInfo;
}

namespace talverin {

// What the screen needs of the program around it.
struct ParamScreenHost {
    std::function<void()> markDocumentModified;
    std::function<void(const QString& page, const QString& anchor)> showHelp;
    // The frame's Command Window item (ID_COMMAND_WINDOW) is checked.
    std::function<bool()> isCommandWindowChecked;
};

class CViewParam : public CViewBase {
    Q_OBJECT

public:
    static constexpr int IDC_PARAM = 1234;
    static constexpr int kShowStyle = 64;

    CViewParam(model::CDataFile& store, ParamScreenHost host, QWidget* parent = nullptr);
    ~CViewParam() override;

    // Why the form could not be made (its control is missing); empty when it was.
    const QString& BuildError() const { return m_buildError; }

    // ---- Called by the main frame -------------------------------------------------------------

    // (Re)fills the control from the data store: at the first activation and after every load.
    void LoadParamControl();
    // Empties the control before a New or a load (the store frees the nodes its rows show).
    void ResetParamControl();
    // The keyboard hook while this screen is current: a Tab release moves the focus among the
    // control's panes (Shift: backwards). True when consumed.
    bool HandleHookKey(const plat::qt::KeyInput& key) override;

    bool OnViewSwitch(bool entered, int target) override;
    void OnNewDocumentStarting() override;
    void OnNewDocumentDone() override;
    void OnDataReloaded(bool keepSamples) override;

    // WM_LOCK_STATE_CHANGED: the lock became disabled, so every changed parameter is written.
    plat::LRESULT OnLockStateChanged(plat::WPARAM lockState, plat::LPARAM resumed);
    // WM_COMM_STATE_CHANGED: before a disconnection an open edit is committed and written.
    plat::LRESULT OnCommStateChanged(plat::WPARAM wParam, plat::LPARAM lParam);
    // The control's CtrlHelp: the topic of the pane the focus is in.
    void OnCtrlHelp(const ctl::HelpInfo* info, std::int32_t* handled);
    // WM_HELP: the screen's topic.
    void OnHelp();

    // ---- State, for the frame and the tests ---------------------------------------------------

    bool IsInitialised() const { return m_initialised; }
    CZRPARAM Control() const { return CZRPARAM(m_site); }
    ParamTraffic& Traffic() { return m_traffic; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab traversal belongs to the hook (on the key's release), not to the form.
    bool focusNextPrevChild(bool next) override;

private:
    void showTopic(const QString& anchor);
    bool commandWindowChecked() const;

    model::CDataFile& m_store;
    ParamScreenHost m_host;
    ParamTraffic m_traffic;
    EventSinkMap m_sinks;
    ControlSite* m_site = nullptr;
    QString m_buildError;
    bool m_initialised = false;
};

} // namespace talverin

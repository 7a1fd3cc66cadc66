// The base of every screen the main frame shows: a widget with a window handle (for the driver
// queue's replies and the frame's messages) and its view id. The frame talks to a screen with the
// messages of AppMessages.h; the base turns the frame's own ones into the hooks below, and the
// screen registers any other message it answers in Messages().
//
// The blank screen (VIEW_BLANK) is a CViewBase itself.
#pragma once

#include "talverin/MessageMap.h"

#include <platform/types.h>

#include <QSize>
#include <QWidget>

#include <memory>

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CViewBase : public QWidget {
    Q_OBJECT

public:
    explicit CViewBase(int viewId, QWidget* parent = nullptr);
    ~CViewBase() override;

    int ViewId() const { return m_viewId; }
    plat::HWND GetSafeHwnd() const;
    MessageMap& Messages() { return m_messages; }

    // WM_VIEW_SWITCH: the screen is left for (entered = false) or was entered from a switch to
    // target. Leaving, false vetoes the switch.
    virtual bool OnViewSwitch(bool entered, int target);
    // WM_COLLECT_VIEW_DATA: store pending edits into the data store before a save; false
    // refuses the save.
    virtual bool OnCollectViewData();
    // WM_DATA_RELOADED: re-read the data store (keepSamples: wParam 1).
    virtual void OnDataReloaded(bool keepSamples);
    // New document: before the unit changes (drop selections into the old lists), and after the
    // new document was made (reset and reload).
    virtual void OnNewDocumentStarting();
    virtual void OnNewDocumentDone();
    // Before Save, Save As, Print and Print Preview while connected: the screen writes its
    // pending changes to the driver first. -1 drops the command, 0 nothing to write or written,
    // 1 written after the user dropped what the driver refused. `question` 0: no question may be
    // asked (the answer would be -1).
    virtual int WriteBack(int question);
    // The client size the frame must leave the screen; an empty size for none.
    virtual QSize MinimumClientSize() const;

protected:
    // Every message to the handle; the base answers the frame's messages above and then the
    // message map. Unknown messages give 0.
    virtual plat::LRESULT WindowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);

private:
    int m_viewId;
    MessageMap m_messages;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
};

} // namespace talverin

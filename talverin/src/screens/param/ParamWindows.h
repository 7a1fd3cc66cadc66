// The parameter screen and the command window in the main frame. Made once with the frame
// (RegisterParamScreen), it registers view 131 ("Edit parameter", command 32777 / Ctrl+3, made on
// the first switch, its Tab filter on the keyboard hook while it is current) and the command
// window (32773 / Ctrl+W, made on first show with its placement [Setting] CommandWindow, written
// back when the frame goes). Before a New or a load both controls drop their rows (the store frees
// the nodes they point to); after it the screen loads again and the window runs its command 1002.
// A screen switch sets what the window may send for the screen it goes to.
#pragma once

#include "screens/param/CCommandWnd.h"

#include <platform/qt/keyboard_hook.h>

#include <QObject>

#include <memory>

namespace talverin {

class CViewParam;
class ScreenHost;

class ParamWindows : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kPlacementKey = "CommandWindow";

    explicit ParamWindows(ScreenHost& host);
    ~ParamWindows() override;

    // The screen once the frame made it, else null.
    CViewParam* Screen() const;
    // Null until first shown.
    CCommandWnd* CommandWindow() const { return m_window.get(); }

    // The frame's Command Window item: the user asked for the window (it is hidden while the
    // parameter screen is current, which shows the same tree).
    bool IsCommandWindowChecked() const { return m_checked; }
    // 32773: toggles the item and shows or hides the window.
    void ToggleCommandWindow();
    // WM_SHOW_COMMAND_WINDOW: 1 shows the window (at the tree path `text` when one is given),
    // 0 hides it; the item keeps its check either way.
    void ShowCommandWindow(bool show, const char* text);

private:
    CCommandWnd& commandWindow();
    CViewParam* makeScreen(QWidget* parent);
    void beforeLoad();
    void afterLoad();
    void beforeReload();
    void afterReload(bool keepSamples);
    void prepareForScreen(int target);
    void savePlacement();
    bool filterKey(const plat::qt::KeyInput& key);

    ScreenHost& m_frame;
    std::unique_ptr<CCommandWnd> m_window;
    bool m_checked = false;
    // While the screens reload: the window's enabled state and whether its control showed.
    bool m_reloading = false;
    bool m_reloadEnabled = false;
    bool m_reloadControlShown = false;
    plat::qt::KeyboardHookHandle m_hook;
};

// The parameter screen and its command window, kept with the frame.
void RegisterParamScreen(ScreenHost& host);

} // namespace talverin

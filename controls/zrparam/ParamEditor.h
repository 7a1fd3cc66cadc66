// The in-place value editor over the value cell of a list row, with its keyboard hook (installed
// exactly while the editor is open) and the preset popup that shows 200 ms after it for a record
// with distinct steps. Tab and Enter commit, Escape leaves without commit, the navigation keys
// commit and move on, Ctrl with them steps through the popup.
#pragma once

#include <platform/qt/keyboard_hook.h>
#include <platform/timers.h>
#include <zrparam/NodeAccess.h>

#include <QLineEdit>
#include <QPoint>

class CPresetStepDlg;
class ParamWindow;

class ParamEditor {
public:
    explicit ParamEditor(ParamWindow& window);
    ~ParamEditor();

    QLineEdit& edit() { return *m_edit; }
    CPresetStepDlg& popup() { return *m_popup; }

    // ShowEditor: opens the editor on row (row < 0 closes it, as does a row without node).
    void show(int row);
    void hide() { show(-1); }
    bool isOpen() const;
    int editedRow() const { return m_row; }
    // The editor's text as a commit takes it (UTF-8).
    std::string typedText() const;
    void setText(const QString& text);

    // The Edit command: the editor opens on the selected row (timer 1001).
    void editCommand();
    // Enter on the list: no pending opening; the selection moves one row down.
    void returnPressed();
    void onTimer(plat::UINT_PTR id);
    void listScrolled();
    void columnResized();
    // Forgets the rows and nodes it served (a reload of the host's lists).
    void dropNodes();

private:
    bool onKey(const plat::qt::KeyInput& key);
    // Commits the typed text; false when it was refused, the editor then keeping it.
    bool commitOrKeep();
    void placePopup(const QRect& cell);
    void focusLeft(QWidget* now);

    ParamWindow& m_window;
    QLineEdit* m_edit;
    CPresetStepDlg* m_popup;
    plat::qt::KeyboardHookHandle m_hook;
    int m_row = -1;
    bool m_follow = false;
    QPoint m_lastRow0{-999, -999};
    QMetaObject::Connection m_focusWatch;
};

// The please-wait dialog (dialog 159): a message (static 1049) and Cancel (button 2), modeless,
// shown by the main frame for long driver operations (WM_WAIT_DIALOG). Cancel, or closing the
// window, sets the cancel event when there is one; otherwise it sends the cancel message (wParam
// 2, lParam the cancel tag) to the window to notify and ends only when that answers 1. Destroyed
// without a Cancel, it posts WM_WAIT_CANCEL (2, -1) to the main window.
//
// It has no Qt parent of its own (a disabled frame would disable its Cancel); the frame gives it
// the running modal dialog as parent while one runs, so that it is not hidden behind it.
#pragma once

#include "connection/WaitDialogInfo.h"

#include <platform/types.h>

#include <QDialog>
#include <QString>

#include <memory>

class QLabel;
class QPushButton;

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CBusyDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 159;
    static constexpr int IDC_MESSAGE = 1049;
    static constexpr int IDC_CANCEL = 2;
    static constexpr int kResultCancelled = 2;

    // mainWindow: where the destroy notice goes.
    explicit CBusyDlg(plat::HWND mainWindow, QWidget* parent = nullptr);
    ~CBusyDlg() override;

    plat::HWND GetSafeHwnd() const;
    // Takes the text, the window to notify, the cancel message, tag and event.
    void SetInfo(const WaitDialogInfo& info);
    QString Text() const;
    plat::LPARAM CancelTag() const { return m_info.cancelTag; }
    QPushButton* CancelButton() const { return m_cancel; }
    // 1 while open, 2 once ended by Cancel.
    int Result() const { return m_result; }
    bool Cancelled() const { return m_cancelled; }

    // Cancel (the button, the close box, Escape, a posted WM_COMMAND IDCANCEL).
    void reject() override;

private:
    plat::LRESULT windowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);

    plat::HWND m_mainWindow;
    WaitDialogInfo m_info;
    QLabel* m_text = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_result = 1;
    bool m_cancelled = false;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
};

} // namespace talverin

// The terminal screen (view 183): a plain terminal to the driver in its box 1005. Every typed
// character goes to the driver as direct text (backspace, line feed, carriage return and
// 0x20-0x7E only) and the driver's echo and replies are shown. It also pastes the clipboard one
// character per echo, sends a dropped text file line by line, sends the command name of a
// parameter row dragged from the parameter editor, and saves its text to a file.
//
// The driver traffic and the form are in CViewTerminal.cpp, the file, row and record transfers in
// CViewTerminalTransfer.cpp.
#pragma once

#include "controlhost/EventSinkMap.h"
#include "screens/CViewBase.h"
#include "screens/terminal/TerminalLink.h"
#include "screens/terminal/TerminalSending.h"

#include <platform/qt/command_table.h>

#include <QList>

#include <functional>

class QAction;
class QMenu;
class QMimeData;
class QPlainTextEdit;
class QUrl;

namespace talverin {

// What the terminal screen and window need of the program around them.
struct TerminalHost {
    std::function<void(const QString& page, const QString& anchor)> showHelp;
    // The program-wide line-clean flag (the terminal window sets it).
    std::function<void(bool clean)> setLineClean;
    // The terminal window was hidden by its Cancel: the frame's menu item follows.
    std::function<void()> windowHidden;
};

class CViewTerminal : public CViewBase {
    Q_OBJECT

public:
    static constexpr int IDC_TERMINAL = 1005;
    // The "Terminal" popup the frame merges before Print, beside the Edit items.
    static constexpr int IDR_TERMINAL_MENU = 141;
    enum Command : plat::UINT {
        ID_SAVE_RECORD = 32823,
        ID_TERMINAL_CLEAR = 32853,
        ID_EDIT_COPY = 57634,
        ID_EDIT_CUT = 57635,
        ID_EDIT_PASTE = 57637,
    };

    explicit CViewTerminal(TerminalHost host, QWidget* parent = nullptr);
    ~CViewTerminal() override;

    // ---- Called by the main frame -------------------------------------------------------------

    // The screen's commands (the clipboard's, Clear and Save record) with their update rules.
    plat::qt::CommandTable& Commands() override { return m_commands; }
    // Clear and Save record, for the Edit menu, and the "Terminal" popup that holds them.
    const QList<QAction*>& MenuActions() const override { return m_menuActions; }
    QMenu* PopupMenu() const override { return m_popup; }
    // Files dropped on the screen or passed on by the main frame.
    void OnDropFiles(const QList<QUrl>& urls) override;
    void FocusTerminal();
    void SetTerminalReadOnly(bool readOnly);

    bool OnViewSwitch(bool entered, int target) override;

    // ---- State, for the tests ---------------------------------------------------------------

    CZRTERMED Terminal() const { return m_link.Box(); }
    QPlainTextEdit* TerminalEdit() const;
    bool IsPasting() const { return m_link.IsPasting(); }
    bool IsSendingFile() const { return m_file.isOpen(); }
    const QString& FormError() const { return m_formError; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // ---- Form and traffic (CViewTerminal.cpp) ----
    void buildCommands();
    plat::LRESULT OnCommText(plat::WPARAM event);
    plat::LRESULT OnCommStateChanged(plat::WPARAM connected);
    void onSaveRecord();
    void onHelp();

    // ---- Transfers (CViewTerminalTransfer.cpp) ----
    // Sends a line of the file; a failed send ends the transfer with a line in the box.
    void sendFileLine(const std::string& text);
    void showFileStep(const TerminalFileSender::Step& step);
    void closeFile();
    bool offersDrag(const QMimeData* data) const;
    void dropRow(const QString& text, bool shift);
    int messageBox(const QString& text, const QString& title, plat::UINT type) const;

    TerminalHost m_host;
    TerminalLink m_link;
    EventSinkMap m_sinks;
    QString m_formError;
    plat::qt::CommandTable m_commands;
    QList<QAction*> m_menuActions;
    QMenu* m_popup = nullptr;
    TerminalFileSender m_file;
    bool m_initialised = false;
};

} // namespace talverin

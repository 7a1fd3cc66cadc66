// The viewer's main window: menus, tool bar, status bar with its message pane, and the report
// view. Commands go through the platform's command table by their framework ids.
#pragma once

#include <platform/qt/command_table.h>
#include <platform/types.h>

#include <QCoreApplication>
#include <QMainWindow>

class QLabel;
class QPrinter;
class QToolBar;

namespace zrreport {

class CZRREPORTDoc;
class CZRREPORTView;

class CMainFrame : public QMainWindow {
    Q_DECLARE_TR_FUNCTIONS(zrreport::CMainFrame)

public:
    CMainFrame(plat::LANGID language, QPrinter& printer, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Shows the document in the view and the title.
    void OpenDocument(const CZRREPORTDoc& document);
    // WM_COMMAND: runs the command when it is known and enabled.
    bool SendCommand(plat::UINT id) { return m_commands.execute(id); }

    CZRREPORTView* view() const { return m_view; }
    QToolBar* toolBar() const { return m_toolBar; }
    plat::qt::CommandTable& commands() { return m_commands; }

private:
    void buildCommands();
    void buildMenus();
    void OnAppAbout();
    void OnFilePrintSetup();

    QPrinter& m_printer;
    CZRREPORTView* m_view = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_messagePane = nullptr;
    plat::qt::CommandTable m_commands;
};

} // namespace zrreport

#include "CMainFrame.h"

#include "CZRREPORTDoc.h"
#include "CZRREPORTView.h"
#include "ReportCommands.h"

#include <platform/qt/modal_dialog.h>

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#ifndef TALVERIN_VERSION_TEXT
#define TALVERIN_VERSION_TEXT ""
#endif

namespace zrreport {

CMainFrame::CMainFrame(plat::LANGID language, QPrinter& printer, QWidget* parent)
    : QMainWindow(parent), m_printer(printer)
{
    setObjectName(QStringLiteral("ReportFrame"));
    m_view = new CZRREPORTView(language, printer, this);
    setCentralWidget(m_view);

    m_toolBar = new QToolBar(tr("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("128"));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    m_messagePane = new QLabel(tr("Ready"), this);
    statusBar()->addWidget(m_messagePane, 1); // fly-by help hides it while a prompt shows

    buildCommands();
    buildMenus();
    setWindowTitle(tr("Talverin Report"));
    resize(800, 600);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::OpenDocument(const CZRREPORTDoc& document)
{
    setWindowTitle(tr("%1 - Talverin Report").arg(document.GetTitle()));
    m_view->OnInitialUpdate(document.GetPathName());
}

void CMainFrame::buildCommands()
{
    plat::qt::CommandTable& t = m_commands;
    t.add(ID_FILE_OPEN, [] {}); // the viewer shows the one file it was started with
    t.add(ID_FILE_PRINT, [this] { m_view->OnFilePrint(); });
    t.add(ID_FILE_PRINT_DIRECT, [this] { m_view->OnFilePrint(); });
    t.add(ID_FILE_PRINT_PREVIEW, [this] { m_view->OnFilePrintPreview(); });
    t.add(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    t.add(ID_APP_EXIT, [this] { close(); });
    t.add(ID_APP_ABOUT, [this] { OnAppAbout(); });
    t.add(ID_VIEW_TOOLBAR, [this] { m_toolBar->setHidden(!m_toolBar->isHidden()); },
          [this](plat::qt::CommandUpdate& u) { u.SetCheck(!m_toolBar->isHidden()); });
    t.add(ID_VIEW_STATUS_BAR, [this] { statusBar()->setHidden(!statusBar()->isHidden()); },
          [this](plat::qt::CommandUpdate& u) { u.SetCheck(!statusBar()->isHidden()); });
}

void CMainFrame::buildMenus()
{
    const auto action = [this](plat::UINT id, const QString& text, const QString& prompt,
                               const QKeySequence& key = {}) {
        auto* a = new QAction(text, this);
        a->setStatusTip(prompt);
        if (!key.isEmpty()) a->setShortcut(key);
        m_commands.bind(id, a);
        return a;
    };
    QAction* print = action(ID_FILE_PRINT, tr("&Print..."), tr("Print the active document"),
                            QKeySequence(Qt::CTRL | Qt::Key_P));
    QAction* printSetup = action(ID_FILE_PRINT_SETUP, tr("P&rint Setup..."), tr("Change the printer and printing options"));
    QAction* exit = action(ID_APP_EXIT, tr("E&xit"), tr("Quit the application"));
    QAction* toolBar = action(ID_VIEW_TOOLBAR, tr("&Toolbar"), tr("Show or hide the toolbar"));
    QAction* status = action(ID_VIEW_STATUS_BAR, tr("&Status Bar"), tr("Show or hide the status bar"));
    QAction* about = action(ID_APP_ABOUT, tr("&About Talverin Report..."),
                            tr("Display program information, version number and copyright"));

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(print);
    file->addAction(printSetup);
    file->addSeparator();
    file->addAction(exit);
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(toolBar);
    view->addAction(status);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(about);
    for (QMenu* menu : {file, view, help}) m_commands.attach(menu);

    m_toolBar->addAction(print);
    m_toolBar->addSeparator();
    m_toolBar->addAction(about);
    m_commands.attach(m_toolBar);
}

void CMainFrame::OnFilePrintSetup()
{
    ReportPrinter(m_printer, m_view->printTexts()).pageSetup(this);
}

void CMainFrame::OnAppAbout()
{
    QDialog about(this);
    about.setObjectName(QStringLiteral("100"));
    about.setWindowTitle(tr("About Talverin Report"));
    auto* layout = new QVBoxLayout(&about);
    layout->addWidget(new QLabel(tr("Talverin Report Version %1").arg(QStringLiteral(TALVERIN_VERSION_TEXT)), &about));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
    connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
    layout->addWidget(buttons);
    plat::qt::RunModal(about);
}

} // namespace zrreport

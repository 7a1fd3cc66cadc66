#include "transfer/CTransferDlg.h"

#include "common/ProgramState.h"
#include "common/DocumentAccess.h"
#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "connection/DriverQueue.h"
#include "connection/PortList.h"
#include "transfer/CPortSelectDlg.h"
#include "transfer/TransferRules.h"

#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <platform/file_dialog.h>
#include <platform/message_box.h>
#include <platform/qt/modal_dialog.h>
#include <platform/qt/window_bridge.h>
#include <zrcomm/zrcomm_api.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace talverin {

namespace {

constexpr plat::UINT kWarning = plat::MB_OK | plat::MB_ICONWARNING;
constexpr int kSpecialWidth = 300; // the check box's width on the form

QString ToDisplay(const std::string& command)
{
    QString text = QString::fromStdString(command).trimmed();
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

} // namespace

CTransferDlg::CTransferDlg(TransferHost host, ProgramState& app, int direction, QWidget* parent)
    : QDialog(parent), m_host(std::move(host)), m_app(app), m_direction(direction)
{
    setObjectName(QString::number(IDD));
    m_portName = m_app.m_dataFile.m_connectPort;
    m_connectionBar = m_host.monitorWindow;
    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT message, plat::WPARAM w, plat::LPARAM l) -> plat::LRESULT {
            if (message == WM_COMM_COMMAND)
                return onCommCommand(w, static_cast<CommandId>(l));
            if (message == WM_COMM_STATE_CHANGED)
                return onCommStateChanged(w, l);
            return 0;
        });
    buildControls();
    showStartLook(false);
}

CTransferDlg::~CTransferDlg() = default;

plat::HWND CTransferDlg::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

void CTransferDlg::buildControls()
{
    auto named = [](QWidget* widget, int id) {
        widget->setObjectName(QString::number(id));
        return widget;
    };
    m_instruction = new QLabel(this);
    named(m_instruction, IDC_INSTRUCTION);
    m_instruction->setWordWrap(true);
    m_current = new QCheckBox(this);
    named(m_current, IDC_CURRENT);
    m_fileLabel = new QLabel(tr("&File:"), this);
    named(m_fileLabel, IDC_FILE_LABEL);
    m_file = new QLineEdit(this);
    named(m_file, IDC_FILE);
    m_fileLabel->setBuddy(m_file);
    m_browse = new QPushButton(QStringLiteral("..."), this);
    named(m_browse, IDC_BROWSE);
    m_special = new QCheckBox(this);
    named(m_special, IDC_SPECIAL);
    m_special->setFixedWidth(kSpecialWidth);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_list = new QTableWidget(this);
    named(m_list, IDC_ERRORS);
    m_port = new QPushButton(tr("Connection port"), this);
    named(m_port, IDC_PORT);
    m_run = new QPushButton(tr("Run"), this);
    named(m_run, IDC_RUN);
    m_run->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    named(m_cancel, IDC_CANCEL);
    m_running = new QPushButton(this);
    named(m_running, IDC_RUNNING);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fileLabel);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_port);
    buttons->addStretch(1);
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_running);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_instruction, 0, 0);
    layout->addWidget(m_current, 1, 0);
    layout->addLayout(fileRow, 2, 0);
    layout->addWidget(m_special, 3, 0);
    layout->addWidget(m_progress, 4, 0);
    layout->addWidget(m_list, 5, 0);
    layout->addLayout(buttons, 6, 0);

    connect(m_current, &QCheckBox::toggled, this, [this] { updateInputs(); });
    connect(m_browse, &QPushButton::clicked, this, &CTransferDlg::OnBrowse);
    connect(m_port, &QPushButton::clicked, this, &CTransferDlg::OnPortButton);
    connect(m_run, &QPushButton::clicked, this, &CTransferDlg::OnOK);
    connect(m_cancel, &QPushButton::clicked, this, &CTransferDlg::reject);
    connect(m_running, &QPushButton::clicked, this, &CTransferDlg::OnRunningButton);
}

void CTransferDlg::updateCaption()
{
    const QString base = m_direction == kUpload ? tr("Upload(Driver -> PC)-") : tr("Download(PC -> Driver)-");
    setWindowTitle(RebuildCaption(base, QString::fromStdString(m_portName)));
}

QString CTransferDlg::specialLabel() const
{
    return SpecialParametersLabel(tr("Download special parameters."), m_app.m_dataFile.m_specialParameters,
                                  QFontMetrics(m_special->font()), m_special->width());
}

void CTransferDlg::showStartLook(bool returning)
{
    updateCaption();
    const bool connected = CurrentDriverQueue().isConnected();
    if (m_direction == kUpload) {
        m_instruction->setText(tr("Select new or select file to upload, and click OK"));
        m_current->setText(tr("New (will overwrite current data)"));
    } else {
        m_current->setText(tr("Current data"));
        m_instruction->setText(connected ? tr("Specify the file to download, and click OK")
                                         : tr("Select current data or select file to download, and click OK"));
    }
    const bool specials = m_direction == kDownload && !m_app.m_dataFile.m_specialParameters.empty();
    m_special->setVisible(specials);
    if (specials)
        m_special->setText(specialLabel());
    for (QWidget* w : std::initializer_list<QWidget*>{m_current, m_fileLabel, m_file, m_browse, m_run, m_cancel})
        w->setVisible(true);
    m_port->setVisible(!returning || m_host.ports->Records().size() > 1);
    m_running->setVisible(false);
    m_list->setVisible(false);
    m_progress->setVisible(false);
    setStartControlsEnabled(true);
    m_current->setEnabled(!(m_direction == kDownload && connected));
}

void CTransferDlg::setStartControlsEnabled(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*>{m_run, m_cancel, m_port, m_current, m_special})
        w->setEnabled(on);
    if (on)
        updateInputs();
    else {
        m_file->setEnabled(false);
        m_browse->setEnabled(false);
    }
}

void CTransferDlg::updateInputs()
{
    const bool file = !m_current->isChecked();
    m_file->setEnabled(file);
    m_browse->setEnabled(file);
}

void CTransferDlg::showRunningLook()
{
    m_instruction->setText(m_direction == kUpload ? tr("Uploading.\r\n   Please wait.")
                                                  : tr("Downloading.\r\n   Please wait"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_run, m_cancel, m_port, m_special}) {
        w->setEnabled(false);
        w->setVisible(false);
    }
    m_running->setText(tr("&Cancel"));
    m_running->setEnabled(true);
    m_running->setVisible(true);
    // Download: records sent of the list; upload: busy until the reply is in.
    if (m_direction == kDownload)
        m_progress->setRange(0, static_cast<int>(m_sendList.size()));
    else
        m_progress->setRange(0, 0);
    m_progress->setValue(0);
    m_progress->setVisible(true);
}

void CTransferDlg::showEndLook(int result)
{
    if (result == 2) {
        m_instruction->setText(tr("Action cancelled"));
    } else if (result == -1) {
        m_instruction->setText(tr("Terminated with Error"));
    } else if (!m_errors.empty()) {
        if (!m_columnsMade) {
            m_columnsMade = true;
            m_list->setColumnCount(2);
            m_list->setHorizontalHeaderLabels({tr("COMAND"), tr("The contents of the error")});
            m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
            m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
            m_list->setShowGrid(true);
            m_list->verticalHeader()->setVisible(false);
            m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            m_list->setColumnWidth(0, QFontMetrics(m_list->font()).horizontalAdvance(QStringLiteral("_COMMAND_")));
            m_list->horizontalHeader()->setStretchLastSection(true);
        }
        m_list->setRowCount(static_cast<int>(m_errors.size()));
        for (int row = 0; row < static_cast<int>(m_errors.size()); ++row) {
            const ErrorRecord& error = m_errors[static_cast<std::size_t>(row)];
            m_list->setItem(row, 0, new QTableWidgetItem(ToDisplay(error.command)));
            m_list->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(
                                        model::GetCommErrorText(error.code, m_app.m_language))));
        }
        m_list->setVisible(true);
        m_instruction->setText(tr("Error on following commands."));
    } else {
        m_instruction->setText(tr("Completed without error"));
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_fileLabel, m_file, m_browse, m_current, m_special, m_run,
                                                      m_cancel, m_port, m_progress})
        w->setVisible(false);
    m_running->setText(tr("&OK"));
    m_running->setEnabled(true);
    m_running->setVisible(true);
}

QString CTransferDlg::filePath() const
{
    return m_file->text().trimmed();
}

int CTransferDlg::box(const QString& text, const QString& title)
{
    return AppMessageBox(GetSafeHwnd(), text, title, kWarning);
}

bool CTransferDlg::checkInputs()
{
    if (m_current->isChecked())
        return true;
    const FileNameCheck check = CheckTransferFileName(m_file->text());
    bool ok = true;
    if (check == FileNameCheck::Empty) {
        box(tr("Specify the correct file."), tr("File select error"));
        ok = false;
    } else if (check == FileNameCheck::Invalid) {
        box(tr("The above file name is invalid."), tr("File name error"));
        ok = false;
    } else if (m_direction == kDownload && !QFileInfo(filePath()).isFile()) {
        box(tr("Specified file does not exist\nSpecify the correct file."), tr("File select error"));
        ok = false;
    }
    if (!ok)
        m_file->setFocus();
    return ok;
}

void CTransferDlg::OnBrowse()
{
    plat::FileDialogRequest request;
    request.owner = GetSafeHwnd();
    request.save = m_direction == kUpload;
    request.initialPath = filePath().toStdString();
    if (request.save) {
        request.filter = tr("Text Documents(*.txt)|*.txt|All Files(*.*)|*.*|").toStdString();
        request.defaultExtension = "txt";
        request.flags = plat::OFN_HIDEREADONLY | plat::OFN_OVERWRITEPROMPT;
    } else {
        request.filter =
            tr("Talverin data(*.zrd)|*.zrd|Text Documents(*.txt)|*.txt|All Files(*.*)|*.*|").toStdString();
        request.flags = plat::OFN_HIDEREADONLY | plat::OFN_FILEMUSTEXIST;
    }
    const plat::FileDialogResult chosen = plat::PromptFileName(request);
    if (chosen.accepted)
        m_file->setText(QString::fromStdString(chosen.path));
}

void CTransferDlg::OnPortButton()
{
    CPortSelectDlg dialog(*m_host.ports, m_portName, m_host.configurePort, this);
    if (plat::qt::RunModal(dialog) != QDialog::Accepted || dialog.m_portName.empty())
        return;
    m_portName = dialog.m_portName;
    // The menu's radio check, the store's Connect name and the Connect item's text follow.
    m_host.checkPort(m_portName);
    m_app.m_dataFile.m_connectPort = m_portName;
    updateCaption();
}

void CTransferDlg::reject()
{
    switch (m_runState) {
    case kIdle:
    case kFinished:
        QDialog::reject();
        break;
    default:
        // A run under way is cancelled, never left behind.
        cancelRun();
        break;
    }
}

void CTransferDlg::closeEvent(QCloseEvent* event)
{
    if (m_runState == kIdle || m_runState == kFinished) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    cancelRun();
}

void CTransferDlg::OnRunningButton()
{
    if (m_runState != kIdle && m_runState != kFinished) {
        cancelRun();
        return;
    }
    if (m_current->isChecked() && m_finishedResult == 1) {
        if (m_direction == kUpload) {
            m_app.m_dataFile.m_newDocument = 0;
            if (DocumentAccess* doc = m_app.GetDocument())
                doc->SetModifiedFlag(true);
        }
        accept();
        return;
    }
    m_runState = kIdle;
    showStartLook(true);
}

} // namespace talverin

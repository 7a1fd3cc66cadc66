#include "screens/terminal/CViewTerminal.h"

#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/ClipboardHelpers.h"
#include "common/CommandIds.h"
#include "connection/DriverQueue.h"
#include "controlhost/ControlSite.h"
#include "controlhost/FormBuilder.h"
#include "controlhost/ScreenEvents.h"

#include <controls/ZRTERMEDMembers.h>
#include <model/CommandSupport.h>
#include <platform/file_dialog.h>
#include <platform/language.h>
#include <platform/messages.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/text.h>
#include <zrcomm/zrcomm_api.h>

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>

namespace talverin {

namespace {

bool Connected()
{
    return CurrentDriverQueue().isConnected();
}

} // namespace

CViewTerminal::CViewTerminal(TerminalHost host, QWidget* parent)
    : CViewBase(VIEW_TERMINAL, parent), m_host(std::move(host)), m_link([](int ch) { return ScreenSends(ch); })
{
    m_sinks = MakeEventSinkMap(ViewTerminalEvents(), [this](const EventSubscription& e, int, std::span<const comp::Variant> args) {
        if (e.eventId == ctl::zrtermed::KeyEnter)
            m_link.SendChar('\r');
        else if (e.eventId == ctl::zrtermed::OnChar && !args.empty())
            m_link.SendChar(args[0].toI4());
    });
    const FormBuildResult form = BuildForm(this, VIEW_TERMINAL, &m_sinks);
    m_formError = form.error;
    m_link.Attach(GetSafeHwnd(), ControlSite::find(this, IDC_TERMINAL));

    Messages().Set(WM_COMM_TEXT, [this](plat::WPARAM w, plat::LPARAM) { return OnCommText(w); });
    Messages().Set(WM_COMM_STATE_CHANGED, [this](plat::WPARAM w, plat::LPARAM) { return OnCommStateChanged(w); });
    buildCommands();
}

CViewTerminal::~CViewTerminal()
{
    // The file being sent is closed, never removed.
    m_file.close();
}

QPlainTextEdit* CViewTerminal::TerminalEdit() const
{
    ControlSite* site = m_link.BoxSite();
    return site && site->control() ? qobject_cast<QPlainTextEdit*>(site->control()->widget()) : nullptr;
}

void CViewTerminal::buildCommands()
{
    m_commands.add(ID_TERMINAL_CLEAR, [this] { Terminal().Clear(plat::TRUE, plat::TRUE); });
    m_commands.add(ID_SAVE_RECORD, [this] { onSaveRecord(); },
                   [this](plat::qt::CommandUpdate& u) { u.Enable(Terminal().GetTextLength() > 0); });
    m_commands.add(ID_EDIT_PASTE, [this] { m_link.StartPaste(); }, [this](plat::qt::CommandUpdate& u) {
        u.Enable(!m_link.IsPasting() && Connected() && !GetClipboardText().empty());
    });
    m_commands.add(ID_EDIT_COPY, [this] { if (QPlainTextEdit* e = TerminalEdit()) e->copy(); },
                   [this](plat::qt::CommandUpdate& u) {
                       QPlainTextEdit* e = TerminalEdit();
                       u.Enable(Connected() && e && e->textCursor().hasSelection());
                   });
    // The screen's text comes from the driver: nothing to cut.
    m_commands.add(ID_EDIT_CUT, [this] { if (QPlainTextEdit* e = TerminalEdit()) e->cut(); },
                   [](plat::qt::CommandUpdate& u) { u.Enable(false); });

    auto* clear = new QAction(tr("Clear"), this);
    auto* save = new QAction(tr("Save record"), this);
    m_commands.bind(ID_TERMINAL_CLEAR, clear);
    m_commands.bind(ID_SAVE_RECORD, save);
    m_menuActions = {clear, save};
    m_popup = new QMenu(tr("Terminal"), this);
    m_popup->setObjectName(QString::number(IDR_TERMINAL_MENU));
    m_popup->addActions(m_menuActions);
    m_commands.attach(m_popup);
}

// ---- Window -------------------------------------------------------------------------------------

void CViewTerminal::resizeEvent(QResizeEvent* event)
{
    CViewBase::resizeEvent(event);
    ControlSite* box = m_link.BoxSite();
    if (!box || width() == 0 || height() == 0)
        return;
    // The box's left offset is its margin on every side.
    const int d = box->x();
    box->place(QRect(d, box->y(), std::max(0, width() - 2 * d), std::max(0, height() - 2 * d)));
}

void CViewTerminal::showEvent(QShowEvent* event)
{
    if (!m_initialised) {
        m_initialised = true;
        setAcceptDrops(true);
    }
    Terminal().Refresh();
    CViewBase::showEvent(event);
}

void CViewTerminal::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        onHelp();
        return;
    }
    CViewBase::keyPressEvent(event);
}

void CViewTerminal::onHelp()
{
    if (!m_host.showHelp)
        return;
    m_host.showHelp(plat::IsJapanese() ? QStringLiteral("_RESOURCE/3_A_1_terminal_screen_j.htm")
                                       : QStringLiteral("_RESOURCE/3_A_1_terminal_screen.htm"),
                    QStringLiteral("D_TERMINAL"));
}

void CViewTerminal::FocusTerminal()
{
    if (QPlainTextEdit* e = TerminalEdit())
        e->setFocus(Qt::OtherFocusReason);
}

void CViewTerminal::SetTerminalReadOnly(bool readOnly)
{
    Terminal().SetReadOnly(readOnly ? plat::TRUE : plat::FALSE);
}

// ---- Driver traffic -----------------------------------------------------------------------------

bool CViewTerminal::OnViewSwitch(bool entered, int)
{
    if (entered)
        SetTerminalReadOnly(!Connected());
    // A transfer ends with every switch: the command mode changes under it.
    closeFile();
    return true;
}

plat::LRESULT CViewTerminal::OnCommText(plat::WPARAM event)
{
    switch (event) {
    case COMM_EVENT_WRITE_FAILED:
        m_link.Show(tr("Talverin: communication time out").toStdString() + "\r\n");
        // Nothing more can be paced by an echo that will not come.
        m_link.StopPaste();
        closeFile();
        break;
    case COMM_EVENT_TEXT_RECEIVED:
        m_link.ShowReceived();
        if (m_file.isOpen())
            showFileStep(m_file.next(plat::qt::GetAsyncKeyState(plat::qt::VK_ESCAPE) < 0));
        else
            m_link.PasteStep();
        break;
    default:
        break;
    }
    return 0;
}

plat::LRESULT CViewTerminal::OnCommStateChanged(plat::WPARAM connected)
{
    if (connected == 1) {
        m_link.StopPaste();
        if (ControlSite* box = m_link.BoxSite())
            box->setEnabled(true);
        SetTerminalReadOnly(false);
        FocusTerminal();
        if (plat::SendMessage(model::GetMainWindow(), WM_GET_CURRENT_VIEW, 0, 0) == VIEW_TERMINAL)
            CurrentDriverQueue().setCommandMode(1);
    } else if (connected == 0) {
        closeFile();
        SetTerminalReadOnly(true);
    }
    return 1;
}

// ---- Save record --------------------------------------------------------------------------------

void CViewTerminal::onSaveRecord()
{
    const int length = Terminal().GetTextLength();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    Terminal().GetText(text.data(), length);
    text.resize(static_cast<std::size_t>(length));

    plat::FileDialogRequest request;
    request.owner = model::GetMainWindow();
    request.save = true;
    request.filter = tr("Text Documents(*.txt)|*.txt|All Files(*.*)|*.*|").toStdString();
    request.defaultExtension = "txt";
    request.flags = plat::OFN_HIDEREADONLY | plat::OFN_OVERWRITEPROMPT;
    const plat::FileDialogResult chosen = plat::PromptFileName(request);
    if (!chosen.accepted)
        return;
    // Written whole or not at all: a failed save leaves no partial file.
    if (!plat::WriteFileAtomic(plat::AddDefaultExtension(chosen.path, "txt"), SaveRecordBytes(text)))
        messageBox(WithLastReason(tr("Failed to open file.\nSpecified file cannot be made, or is set read-only by "
                                     "another application.")),
                   tr("File save error"), plat::MB_ICONWARNING);
}

int CViewTerminal::messageBox(const QString& text, const QString& title, plat::UINT type) const
{
    return AppMessageBox(model::GetMainWindow(), text, title, type);
}

} // namespace talverin

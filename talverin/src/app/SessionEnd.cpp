#include "app/SessionEnd.h"

#include "app/DocumentHost.h"
#include "common/AppMessageBox.h"
#include "common/DocumentAccess.h"
#include "connection/ConnectionRules.h"
#include "connection/DriverConnection.h"
#include "frame/CMainFrame.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QSessionManager>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <cstdio>

#include <unistd.h>

namespace talverin {

namespace {

// An open dialog is asked to go every so often, this many times, before the end goes on anyway.
constexpr int kDeferralMs = 100;
constexpr int kMaxDeferrals = 20;

const char* signalName(int signalNumber)
{
    switch (signalNumber) {
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    case SIGINT: return "SIGINT";
    default: return "a signal";
    }
}

} // namespace

int SessionEnd::LoggedBoxes::show(plat::HWND, const std::string& text, const std::string& caption, plat::UINT type)
{
    qWarning("Talverin: %s: %s", caption.c_str(), text.c_str());
    if (plat::MessageBoxOffers(type, plat::IDCANCEL))
        return plat::IDCANCEL;
    if (plat::MessageBoxOffers(type, plat::IDNO))
        return plat::IDNO;
    return plat::MessageBoxButtons(type).front();
}

SessionEnd::SessionEnd(DocumentHost& app) : m_app(app)
{
    connect(&m_signals, &TerminationSignals::received, this, &SessionEnd::OnTerminationSignal);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!CommitData(manager.allowsInteraction()))
            manager.cancel();
        manager.release();
    });
}

SessionEnd::~SessionEnd()
{
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_finished.notify_all();
    if (m_watchdog.joinable())
        m_watchdog.join();
}

bool SessionEnd::CommitData(bool interactionAllowed)
{
    CMainFrame* frame = m_app.GetMainFrame();
    if (!frame || frame->IsDestroyed())
        return true;
    DocumentAccess* doc = m_app.GetDocument();
    if (doc && doc->IsModified() && interactionAllowed) {
        // The document's own question, in the words File > Exit uses.
        const bool connected = frame->Connection().m_connectionPhase != Phase::Idle;
        const int answer = AppMessageBox(frame->GetSafeHwnd(), connected ? doc->CloseSaveQuestion() : doc->SaveQuestion(),
                                         QCoreApplication::translate("CTalverinDoc", "Verify Save"),
                                         plat::MB_YESNOCANCEL | plat::MB_ICONQUESTION);
        if (answer == plat::IDCANCEL)
            return false;
        // The document as the program holds it; a save that fails or is cancelled keeps the
        // session, and No keeps the changes marked until the program really ends.
        if (answer == plat::IDYES && (!doc->OnFileSave() || doc->IsModified()))
            return false;
    }
    if (!m_sessionAnswered) {
        m_sessionAnswered = true;
        qApp->installEventFilter(this);
    }
    return true;
}

void SessionEnd::OnTerminationSignal(int signalNumber)
{
    qWarning("Talverin: %s received: closing without questions.", signalName(signalNumber));
    if (m_ending)
        return;
    m_ending = true;
    m_useLoggedBoxes.emplace(m_loggedBoxes);
    startWatchdog();
    QTimer::singleShot(0, this, &SessionEnd::endWhenReady);
}

void SessionEnd::endWhenReady()
{
    // A dialog's own event loop ends first, as if it were closed; the end comes back here.
    QWidget* modal = QApplication::activeModalWidget();
    if ((modal || QThread::currentThread()->loopLevel() > 1) && ++m_deferrals <= kMaxDeferrals) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else if (modal)
            modal->close();
        QTimer::singleShot(kDeferralMs, this, &SessionEnd::endWhenReady);
        return;
    }
    EndNow();
}

void SessionEnd::EndNow()
{
    m_ending = true;
    if (!m_useLoggedBoxes)
        m_useLoggedBoxes.emplace(m_loggedBoxes);
    CMainFrame* frame = m_app.GetMainFrame();
    if (!frame || frame->IsDestroyed()) {
        if (QThread::currentThread()->loopLevel() > 0)
            QCoreApplication::exit(0);
        return;
    }
    // Nothing the user does may start anything while the line winds down.
    frame->setEnabled(false);
    DocumentAccess* doc = m_app.GetDocument();
    if (doc && doc->IsModified()) {
        qWarning("Talverin: the changes to '%s' were not saved: the program was ended without asking.",
                 doc->GetTitle().c_str());
        doc->SetModifiedFlag(false);
    }
    frame->Connection().EndWithoutQuestions();
    frame->SavePlacements();
    frame->DestroyFrame(); // which ends the event loop
}

bool SessionEnd::eventFilter(QObject* watched, QEvent* event)
{
    if (m_sessionAnswered) {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
            // The session went on after all: closing asks again.
            m_sessionAnswered = false;
            qApp->removeEventFilter(this);
        } else if (type == QEvent::Close && watched == m_app.GetMainFrame()) {
            EndNow();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void SessionEnd::startWatchdog()
{
    if (m_limitMs <= 0 || m_watchdog.joinable())
        return;
    m_watchdog = std::thread([this, limit = std::chrono::milliseconds(m_limitMs)] {
        std::unique_lock lock(m_mutex);
        if (m_finished.wait_for(lock, limit, [this] { return m_done; }))
            return;
        std::fputs("Talverin: the close did not end in time; the program ends now.\n", stderr);
        ::_exit(1);
    });
}

} // namespace talverin

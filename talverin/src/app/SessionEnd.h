// How the program ends when the system or the desktop ends it.
//
// SIGTERM, SIGHUP and SIGINT close it without a question once it is back in its main loop (an
// open dialog is sent away first, as if closed): a modified document is not saved (the log says
// so), the connection ends (the alarm read only when the driver answers in time), the settings
// are written, the report viewer ends with its file, and the program exits with 0, all within
// kLimitMs; past that it ends at once with status 1 and says so.
//
// The session manager's end-of-session request asks the save question as File > Exit does,
// where the session allows it: Cancel, or a save that did not happen, keeps the session. A close
// that follows before the user does anything else is the session's: it asks nothing.
//
// While the program ends, every box goes to the log and is answered as if it were closed.
#pragma once

#include "app/TerminationSignals.h"

#include <platform/message_box.h>

#include <QObject>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace talverin {

class DocumentHost;

class SessionEnd : public QObject {
    Q_OBJECT

public:
    static constexpr int kLimitMs = 10000;

    explicit SessionEnd(DocumentHost& app);
    ~SessionEnd() override;

    // The end-of-session request: false when the session must not end.
    bool CommitData(bool interactionAllowed);
    // A termination signal arrived (the relay's received()).
    void OnTerminationSignal(int signalNumber);
    // The close without questions, now (also when the event loop was ended from outside): a
    // modified document is not saved, the connection ends (DriverConnection::EndWithoutQuestions),
    // then the placements and the frame's destroy path.
    void EndNow();
    bool IsEnding() const { return m_ending; }
    bool SignalsInstalled() const { return m_signals.IsInstalled(); }

    // How long an end started by a signal may take before the process ends at once; 0: no limit.
    int m_limitMs = kLimitMs;

private:
    class LoggedBoxes : public plat::MessageBoxService {
    public:
        int show(plat::HWND owner, const std::string& text, const std::string& caption, plat::UINT type) override;
    };

    bool eventFilter(QObject* watched, QEvent* event) override;
    void endWhenReady();
    void startWatchdog();

    DocumentHost& m_app;
    TerminationSignals m_signals;
    bool m_ending = false;
    bool m_sessionAnswered = false; // the session's request was answered; no input since
    int m_deferrals = 0;
    LoggedBoxes m_loggedBoxes;
    std::optional<plat::ScopedMessageBoxService> m_useLoggedBoxes;
    std::thread m_watchdog;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
};

} // namespace talverin

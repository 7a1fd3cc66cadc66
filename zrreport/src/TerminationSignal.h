// SIGTERM as a request to end: the starting program asks its viewer to exit this way. The signal
// handler only writes to a pipe; the handler given here runs in the event loop, also while a
// modal dialog runs its own loop.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace zrreport {

class TerminationSignal : public QObject {
public:
    // One object at a time; false from installed() when the pipe or the handler could not be set.
    explicit TerminationSignal(std::function<void()> onTerminate, QObject* parent = nullptr);
    ~TerminationSignal() override; // restores the default action

    bool installed() const { return m_notifier != nullptr; }

private:
    void onReadable();

    std::function<void()> m_onTerminate;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace zrreport

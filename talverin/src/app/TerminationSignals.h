// SIGTERM, SIGHUP and SIGINT brought into the Qt event loop: the handler only writes the
// signal's number into a pipe, whose reading end wakes a socket notifier in the loop, which emits
// received(). One object at a time; the handlers that were there before come back when it goes.
#pragma once

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

namespace talverin {

class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the pipe could not be made (the signals then end the program as before).
    bool IsInstalled() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void onReadable();

    std::array<int, 2> m_pipe{-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    std::array<struct sigaction, 3> m_previous{};
};

} // namespace talverin

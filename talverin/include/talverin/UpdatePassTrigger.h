// When the main frame's update pass (its commands' states: tool bar, bar buttons, menu items)
// runs: after whatever can change what its rules read, never on a clock of its own, so that an
// idle program does not wake up for it. What counts: the program's messages, sent messages and
// window timers (the platform delivers each as an event of a registered type, as it does any
// event of the program's own), input, focus, and windows shown, hidden, activated or closed.
// Painting, mouse moves and Qt's own timers do not. A burst of them gives one pass, and passes
// follow each other at least `spacingMs` apart.
#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>

class QTimer;

namespace talverin {

class UpdatePassTrigger : public QObject {
public:
    // Starts the single-shot `pass` timer (whose timeout runs the pass) when something counts;
    // watches every object of the application's thread. Lives as the timer's child.
    UpdatePassTrigger(QTimer* pass, int spacingMs);
    ~UpdatePassTrigger() override;

    static bool Counts(QEvent::Type type);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer* m_pass;
    int m_spacingMs;
    QElapsedTimer m_lastPass;
};

} // namespace talverin

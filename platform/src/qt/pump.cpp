#include "platform/qt/pump.h"

#include "platform/messages.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace plat::qt {

int PumpAllPending(unsigned flags, int maxRounds)
{
    int total = 0;
    for (int round = 0; round < maxRounds; ++round) {
        int ran = PumpSentMessages();
        MSG msg;
        bool quit = false;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam)); // not ours to take
                quit = true;
                break;
            }
            DispatchMessage(&msg);
            ++ran;
        }
        total += ran;
        if (quit)
            break;
        bool qtRan = false;
        if (QCoreApplication::instance()) {
            QCoreApplication::sendPostedEvents();
            if (QAbstractEventDispatcher* dispatcher = QThread::currentThread()->eventDispatcher())
                qtRan = dispatcher->processEvents(QEventLoop::AllEvents);
            if (flags & PumpDeferredDeletes)
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        if (ran == 0 && !qtRan)
            break;
    }
    return total;
}

} // namespace plat::qt

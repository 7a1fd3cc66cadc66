// The terminal edit plug-in's module. Its one extra is the semaphore (count 1, maximum 1) that
// every instance takes around AddString. Everything runs on one thread, so a wait would never
// end: an AddString that finds it taken (a call made from inside another one) is queued and
// applied by the call that holds it, right after its own text.
#pragma once

#include <skeleton/ControlModule.h>

#include <platform/named_objects.h>

#include <deque>
#include <string>

class CZRTERMEDCtrl;

class CZRTERMEDApp : public ctl::ControlModule {
public:
    CZRTERMEDApp();

    struct PendingText {
        CZRTERMEDCtrl* control;
        std::string text;
        bool isNull;
        bool bufferAdd;
    };

    // Takes the semaphore without waiting; false when an AddString holds it.
    bool beginAddString();
    // The next text queued meanwhile, if any, else releases the semaphore (false).
    bool nextPending(PendingText& out);
    void queue(PendingText pending) { m_pending.push_back(std::move(pending)); }
    // A control that goes drops what it had queued.
    void forget(const CZRTERMEDCtrl* control);

protected:
    bool initInstance() override;
    void exitInstance() override;

private:
    plat::NamedSemaphore m_addStringSemaphore;
    bool m_held = false; // without the semaphore (a module not started) the flag alone guards
    std::deque<PendingText> m_pending;
};

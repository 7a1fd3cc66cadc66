// The parameter editor module: the data store's mutex (opened by name, or made when the host has
// not made it), the paint semaphore (count 1, maximum 1) and the hidden window that hosts the
// help browser.
#pragma once

#include <skeleton/ControlModule.h>

#include <platform/named_objects.h>

#include <QPointer>
#include <QWidget>

class CZRPARAMApp : public ctl::ControlModule {
public:
    CZRPARAMApp();

    plat::NamedMutex m_dataMutex;
    plat::NamedSemaphore m_paintSemaphore;
    QPointer<QWidget> m_helpHost;

protected:
    bool initInstance() override;
    void exitInstance() override;
};

CZRPARAMApp& paramModule();

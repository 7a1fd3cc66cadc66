// The oscilloscope module: the data store's two mutexes (only the oscilloscope one is ever taken)
// and the shared block, attached again whenever a control window is made.
#pragma once

#include <skeleton/ControlModule.h>

#include <model/OscilloData.h>
#include <platform/named_objects.h>

#include <span>

class CZROSCILLOApp : public ctl::ControlModule {
public:
    CZROSCILLOApp();

    // Drops the view of the block and opens it again by name; absent when the host has none.
    void attachSharedBlock();
    // The host's sample rows through the block; empty without a block, an oscilloscope address
    // or rows. The caller holds the oscilloscope mutex.
    std::span<const model::CaptureSample> sampleRows() const;

    const plat::NamedMutex& oscilloMutex() const { return m_oscilloMutex; }

protected:
    bool initInstance() override;
    void exitInstance() override;

private:
    plat::NamedMutex m_dataMutex;
    plat::NamedMutex m_oscilloMutex;
    plat::NamedMemory m_block;
};

CZROSCILLOApp& oscilloModule();

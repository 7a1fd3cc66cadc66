// The parameter editor module: the data store's mutex (opened by name, or made when the host has
// not made it), the paint semaphore (count 1, maximum 1), and the shared block through which the
// editor finds the host's tree nodes. Without a host block the module makes its own block and an
// empty node list, so the editor shows an empty tree; a data store made later takes that block
// over (it is a whole SharedDataHeader) and the next rebuild finds the store's nodes.
#pragma once

#include <skeleton/ControlModule.h>

#include <model/SharedData.h>
#include <platform/named_objects.h>
#include <zrparam/NodeAccess.h>

#include <memory>

class CZRPARAMApp : public ctl::ControlModule {
public:
    CZRPARAMApp();

    // Opens the block by name (or makes the module's own when there is none) and reads the
    // language from it; called when a control is made and by every rebuilding LoadFile.
    void AttachSharedBlock();

    // The host's node list as the block gives it now (the module's own empty list when the module
    // made the block); null when the host closed its store. Take the data mutex first.
    const zrparam::NodeList* nodeList() const;
    // IsCommomMemoryParent: the module made the block itself.
    bool ownsBlock() const { return m_owner; }
    plat::LANGID language() const { return m_language; }

    plat::NamedMutex m_dataMutex;
    plat::NamedSemaphore m_paintSemaphore;

protected:
    bool initInstance() override;
    void exitInstance() override;

private:
    const model::SharedDataHeader* header() const;

    plat::NamedMemory m_block;
    std::unique_ptr<zrparam::NodeList> m_ownList;
    bool m_owner = false;
    plat::LANGID m_language = 0;
};

CZRPARAMApp& paramModule();

// The data mutex held for a scope, and the node list under it.
class DataAccess {
public:
    explicit DataAccess(CZRPARAMApp& module = paramModule()) : m_module(module), m_lock(&module.m_dataMutex) {}
    // Read anew at every call: an event fired meanwhile may have let the host replace its lists.
    const zrparam::NodeList* list() const { return m_module.nodeList(); }
    zrparam::CZRParamClass* node(const zrparam::NodeRef& ref) const
    {
        return zrparam::NodeResolver::Resolve(list(), ref);
    }

private:
    CZRPARAMApp& m_module;
    model::SharedLock m_lock;
};

// The paint semaphore taken without waiting: the one user-interface thread never blocks on it.
// Whoever does not get it draws nothing now and asks for a repaint later.
class PaintGuard {
public:
    explicit PaintGuard(CZRPARAMApp& module = paramModule());
    ~PaintGuard();
    PaintGuard(const PaintGuard&) = delete;
    PaintGuard& operator=(const PaintGuard&) = delete;
    bool held() const { return m_held; }

private:
    plat::NamedSemaphore& m_semaphore;
    bool m_held = false;
};

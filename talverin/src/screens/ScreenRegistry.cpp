#include "screens/ScreenRegistry.h"

namespace talverin {

void ScreenRegistry::Register(ScreenEntry entry)
{
    for (ScreenEntry& existing : m_entries) {
        if (existing.viewId == entry.viewId) {
            existing = std::move(entry);
            return;
        }
    }
    m_entries.push_back(std::move(entry));
}

bool ScreenRegistry::SetFactory(int viewId, ScreenEntry::Factory factory)
{
    for (ScreenEntry& existing : m_entries) {
        if (existing.viewId == viewId) {
            existing.create = std::move(factory);
            return true;
        }
    }
    return false;
}

const ScreenEntry* ScreenRegistry::Find(int viewId) const
{
    for (const ScreenEntry& entry : m_entries) {
        if (entry.viewId == viewId)
            return &entry;
    }
    return nullptr;
}

const ScreenEntry* ScreenRegistry::FindByCommand(plat::UINT command) const
{
    if (command == 0)
        return nullptr;
    for (const ScreenEntry& entry : m_entries) {
        if (entry.command == command)
            return &entry;
    }
    return nullptr;
}

int ScreenRegistry::CommandMode(int viewId) const
{
    const ScreenEntry* entry = Find(viewId);
    return entry ? entry->commandMode : 0;
}

} // namespace talverin

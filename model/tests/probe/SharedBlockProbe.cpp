// A stand-in for a control plug-in: it knows nothing of the data store object and finds its lists
// only by name, through the shared block and the data mutex, as the parameter editor and the
// oscilloscope controls do.
#include "model/DataFile.h"
#include "model/SharedData.h"

#include <platform/named_objects.h>

#include <cstdint>
#include <string>

namespace {

plat::NamedMemory openBlock()
{
    std::string name;
    model::FormatSharedMemoryName(name);
    return plat::NamedMemory::open(name);
}

plat::NamedMutex openDataMutex()
{
    std::string name;
    model::FormatSharedMutexName(name);
    return plat::NamedMutex::open(name);
}

} // namespace

extern "C" {

// Copies the block's fields; 0 when there is no block.
__attribute__((visibility("default"))) int ProbeReadHeader(model::SharedDataHeader* out)
{
    const plat::NamedMemory block = openBlock();
    if (!block.valid() || block.size() < sizeof(model::SharedDataHeader))
        return 0;
    *out = *static_cast<const model::SharedDataHeader*>(block.data());
    return 1;
}

// Under the data mutex: the number of tree nodes, or -1 when no tree list is published.
__attribute__((visibility("default"))) int ProbeTreeNodeCount()
{
    const plat::NamedMemory block = openBlock();
    if (!block.valid())
        return -1;
    plat::NamedMutex mutex = openDataMutex();
    const model::SharedLock lock(&mutex);
    const auto* header = static_cast<const model::SharedDataHeader*>(block.data());
    const auto* tree = reinterpret_cast<const model::CDataFile::ParamTreeList*>(header->m_treeList);
    return tree ? static_cast<int>(tree->size()) : -1;
}

// Under the data mutex: the command name of node `index`'s record ("" for none).
__attribute__((visibility("default"))) const char* ProbeNodeName(int index)
{
    const plat::NamedMemory block = openBlock();
    if (!block.valid())
        return "";
    plat::NamedMutex mutex = openDataMutex();
    const model::SharedLock lock(&mutex);
    const auto* header = static_cast<const model::SharedDataHeader*>(block.data());
    const auto* tree = reinterpret_cast<const model::CDataFile::ParamTreeList*>(header->m_treeList);
    if (!tree || index < 0 || index >= static_cast<int>(tree->size()))
        return "";
    const model::CZRParamClass& node = *(*tree)[static_cast<std::size_t>(index)];
    return node.m_record ? node.m_record->m_name.c_str() : "";
}

// How deep the calling thread holds the data mutex, seen through the plug-in's own handle.
__attribute__((visibility("default"))) int ProbeDataMutexDepth()
{
    const plat::NamedMutex mutex = openDataMutex();
    return mutex.valid() ? mutex.depth() : -1;
}

// The number of filled pin slots, or -1 when no pin array is published.
__attribute__((visibility("default"))) int ProbeFilledPinCount()
{
    const plat::NamedMemory block = openBlock();
    if (!block.valid())
        return -1;
    plat::NamedMutex mutex = openDataMutex();
    const model::SharedLock lock(&mutex);
    const auto* header = static_cast<const model::SharedDataHeader*>(block.data());
    const auto* pins = reinterpret_cast<const model::CDataFile::PinArray*>(header->m_pinArray);
    if (!pins)
        return -1;
    int filled = 0;
    for (const auto& slot : *pins)
        filled += slot ? 1 : 0;
    return filled;
}

} // extern "C"

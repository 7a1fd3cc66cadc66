// What the main program shares with the controls it hosts: the names of the data and
// oscilloscope mutexes and of the shared block, and the block's layout. The controls live in
// plug-ins loaded into the same process; they find the data store's lists through the block and
// take the same mutexes (by name) while they read them.
#pragma once

#include <platform/named_objects.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace model {

// "VEKZR_MEM_MUTEX_<token>": the data mutex, guarding the parameter, tree, pin and channel lists.
// Returns 1.
int FormatSharedMutexName(std::string& out);
// "VEKZR_MEM_<token>": the shared block. Returns 1.
int FormatSharedMemoryName(std::string& out);
// "VEKZR_PRINT": the report viewer's instance mutex prefix; the viewer and the print code add "_"
// and the main program's process id. Returns 1.
int FormatPrintMutexName(std::string& out);

// Appended to the data mutex's name for the mutex that guards the oscilloscope's sample rows.
inline constexpr char kOscilloMutexSuffix[] = "OSCILLO";

// The shared block: eight pointer-sized fields (addresses are only valid inside this process).
// The field order is fixed: controls read the fields by position.
struct SharedDataHeader {
    std::uintptr_t m_reserved0;    // never written (0)
    std::uintptr_t m_treeList;     // CDataFile::ParamTreeList*
    std::uintptr_t m_channelArray; // CDataFile::ChannelArray* (256 slots)
    std::uintptr_t m_pinArray;     // CDataFile::PinArray* (50 slots)
    std::uintptr_t m_oscilloData;  // OscilloDataBlock*
    std::uintptr_t m_language;     // the user-interface language id, zero-extended
    std::uintptr_t m_reserved6;    // never written (0)
    std::uintptr_t m_dataFile;     // CDataFile*
};
static_assert(sizeof(SharedDataHeader) == 8 * sizeof(std::uintptr_t));
static_assert(offsetof(SharedDataHeader, m_treeList) == 1 * sizeof(std::uintptr_t));
static_assert(offsetof(SharedDataHeader, m_language) == 5 * sizeof(std::uintptr_t));
static_assert(offsetof(SharedDataHeader, m_dataFile) == 7 * sizeof(std::uintptr_t));

// Holds a named mutex for a scope. A null pointer or a closed handle is not taken: the data store
// deletes its data mutex when it closes, and the code that runs after that (controls painting
// while the program shuts down) must go on without it. The lock keeps its own handle, so a mutex
// deleted by its owner while the lock is held is still released correctly.
class SharedLock {
public:
    explicit SharedLock(const plat::NamedMutex* mutex)
    {
        if (mutex && mutex->valid()) {
            m_handle = *mutex;
            const plat::DWORD r = m_handle.wait(plat::INFINITE);
            if (r != plat::WAIT_OBJECT_0 && r != plat::WAIT_ABANDONED)
                m_handle.close();
        }
    }
    ~SharedLock()
    {
        if (m_handle.valid())
            m_handle.release();
    }
    SharedLock(const SharedLock&) = delete;
    SharedLock& operator=(const SharedLock&) = delete;

    bool owns() const { return m_handle.valid(); }

private:
    plat::NamedMutex m_handle;
};

} // namespace model

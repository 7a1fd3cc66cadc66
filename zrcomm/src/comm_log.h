// The communication log: every byte written to and read from the driver and the library's own events,
// one text line each, through a bounded queue and a writer thread of the lowest priority so that
// logging never holds up the serial threads. A file that cannot be written loses lines, nothing more.
#pragma once

#include "byte_buffer.h"

#include <platform/clock.h>
#include <platform/types.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace zrcomm {

struct CCommLogEntry {
    enum Type : std::uint32_t { Send = 1, Receive = 2, Info = 4, Trace = 16 };
    std::uint32_t type = Info;
    plat::SYSTEMTIME time; // local time when the entry was made
    std::string text;
    CByteBuffer data;
};

// One entry as its line: "hh:mm:ss.mmm L text+data\r\n", data bytes escaped (\n \r \s, printable
// bytes as they are, others \xhh).
std::string FormatLogLine(const CCommLogEntry& entry);
std::string EscapeLogData(const std::uint8_t* bytes, std::uint32_t n);

class CCommLog {
public:
    static constexpr std::size_t kQueueBound = 128;
    static constexpr std::uint16_t kAllTypes = 0xFFFF;
    static constexpr std::uint16_t kDefaultMask = 7; // trace entries are made but not written
    // A log that would grow past this is copied to "<name>.1" (replacing the copy before) and
    // started again empty, so a babbling driver cannot fill the disk.
    static constexpr std::uint64_t kRotateBytes = 8u << 20;

    // The process's log, made on first use, deleted by Destroy at library unload.
    static CCommLog& Get();
    static void Destroy();

    CCommLog() = default;
    ~CCommLog();
    CCommLog(const CCommLog&) = delete;
    CCommLog& operator=(const CCommLog&) = delete;

    void SetFile(const char* name, std::uint16_t mask);
    std::string FileName() const;
    bool OpenFile();
    void CloseFile();
    void StartWriter();
    void StopWriter();
    bool WriterRunning() const;
    void AddEntry(std::unique_ptr<CCommLogEntry> entry);
    // Writes the entry, or with none the oldest queued one.
    void WriteEntry(std::unique_ptr<CCommLogEntry> entry);
    void Flush();
    // Copies the log (empty name: this log's file) over its ".bak" copy (empty backup name).
    bool Backup(const std::string& name = {}, const std::string& backupName = {});

    // The language of the texts the entries carry: the library's, whichever thread makes the entry.
    void SetLanguage(plat::LANGID language) { m_language.store(language); }
    plat::LANGID Language() const { return m_language.load(); }

    // Entry makers: stamp the local time and hand the entry on.
    void Send(const void* bytes, std::uint32_t n) { Data(CCommLogEntry::Send, bytes, n); }
    void Receive(const void* bytes, std::uint32_t n) { Data(CCommLogEntry::Receive, bytes, n); }
    void Info(unsigned stringId) { Text(CCommLogEntry::Info, stringId); }
    void Trace(unsigned stringId) { Text(CCommLogEntry::Trace, stringId); }

    std::size_t QueuedCount() const;
    // Runs on the writer thread before it takes each entry, outside every lock (tests block it).
    void SetWriterHookForTest(std::function<void()> hook);
    // Replaces kRotateBytes (0: back to it), so tests need not write megabytes.
    void SetRotateBytesForTest(std::uint64_t bytes);

private:
    void Data(std::uint32_t type, const void* bytes, std::uint32_t n);
    void Text(std::uint32_t type, unsigned stringId);
    bool OpenFileLocked();  // m_fileMutex held
    void CloseFileLocked(); // m_fileMutex held
    // Writes the text, first rotating a file it would take past the limit. m_fileMutex held, file open.
    void WriteLocked(const std::string& text);
    void WriterMain(std::uint32_t idleCloseMs);

    mutable std::mutex m_mutex; // queue, settings and the writer's state
    std::condition_variable m_queueEvent;
    std::deque<std::unique_ptr<CCommLogEntry>> m_queue;
    std::string m_name;
    bool m_firstOpen = false;
    std::uint16_t m_mask = kAllTypes;
    std::uint32_t m_dropped = 0;
    bool m_stop = false;
    bool m_writerRunning = false;
    std::thread m_writer;
    std::function<void()> m_writerHook;
    std::atomic<plat::LANGID> m_language{plat::LANG_ENGLISH_US};

    std::mutex m_fileMutex; // the open file; never held while waiting for m_mutex's users
    int m_fd = -1;
    std::uint64_t m_size = 0; // of the open file
    std::uint64_t m_rotateBytes = kRotateBytes;
};

// The entry makers of the process's log.
void LogSend(const void* bytes, std::uint32_t n);
void LogReceive(const void* bytes, std::uint32_t n);
void LogInfo(unsigned stringId);
void LogTrace(unsigned stringId);

// Where the log goes: ZRCOMM.log in the given folder (the program folder), or, when that folder is
// not writable, in $XDG_STATE_HOME/talverin/ (~/.local/state/talverin/ without it). "" when
// neither works.
std::string ChooseLogFile(const std::string& folder);
// Takes this process's lock on the log file name (made when missing) and returns it; when another
// process holds it, the first free numbered name beside it (ZRCOMM.1.log, ZRCOMM.2.log, ...), so
// two programs never truncate or interleave one file. "" for "".
std::string ClaimLogFile(const std::string& name);

} // namespace zrcomm

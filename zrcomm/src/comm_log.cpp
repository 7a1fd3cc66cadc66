#include "comm_log.h"

#include "comm_strings.h"
#include "timings.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zrcomm {
namespace {

plat::SYSTEMTIME nowLocal()
{
    plat::SYSTEMTIME t;
    plat::GetLocalTime(&t);
    return t;
}

char typeLetter(std::uint32_t type)
{
    switch (type) {
    case CCommLogEntry::Send: return 'S';
    case CCommLogEntry::Receive: return 'R';
    case CCommLogEntry::Info: return 'I';
    case CCommLogEntry::Trace: return 'T';
    default: return '?';
    }
}

// Whole writes; a full or failing disk loses the line and nothing else. The bytes written.
std::size_t writeAll(int fd, const std::string& s)
{
    const char* p = s.data();
    std::size_t left = s.size();
    while (left > 0) {
        const ssize_t w = ::write(fd, p, left);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            break;
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    return s.size() - left;
}

std::mutex g_instanceMutex;
CCommLog* g_instance = nullptr;

} // namespace

std::string EscapeLogData(const std::uint8_t* bytes, std::uint32_t n)
{
    std::string out;
    out.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint8_t b = bytes[i];
        if (b == '\n')
            out += "\\n";
        else if (b == '\r')
            out += "\\r";
        else if (b == ' ')
            out += "\\s";
        else if (b > 0x20 && b < 0x7F) // the C library's printable bytes in the "C" locale
            out += static_cast<char>(b);
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", b);
            out += hex;
        }
    }
    return out;
}

std::string FormatLogLine(const CCommLogEntry& e)
{
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d.%03d", e.time.wHour, e.time.wMinute, e.time.wSecond,
                  e.time.wMilliseconds);
    std::string line = time;
    line += ' ';
    line += typeLetter(e.type);
    line += ' ';
    line += e.text;
    if (!e.data.IsEmpty())
        line += EscapeLogData(e.data.GetData(), e.data.GetLength());
    // CR LF as the log has always had, whatever the system: tools compare these files.
    line += "\r\n";
    return line;
}

CCommLog& CCommLog::Get()
{
    std::lock_guard lock(g_instanceMutex);
    if (!g_instance)
        g_instance = new CCommLog();
    return *g_instance;
}

void CCommLog::Destroy()
{
    CCommLog* log;
    {
        std::lock_guard lock(g_instanceMutex);
        log = g_instance;
        g_instance = nullptr;
    }
    delete log;
}

CCommLog::~CCommLog()
{
    StopWriter();
    std::lock_guard file(m_fileMutex);
    CloseFileLocked();
}

void CCommLog::SetFile(const char* name, std::uint16_t mask)
{
    if (!name)
        return;
    std::lock_guard file(m_fileMutex);
    CloseFileLocked();
    std::lock_guard lock(m_mutex);
    m_name = name;
    m_firstOpen = true;
    m_mask = mask;
}

std::string CCommLog::FileName() const
{
    std::lock_guard lock(m_mutex);
    return m_name;
}

bool CCommLog::OpenFileLocked()
{
    if (m_fd >= 0)
        return true;
    std::string name;
    bool truncate;
    {
        std::lock_guard lock(m_mutex);
        name = m_name;
        truncate = m_firstOpen;
    }
    if (name.empty())
        return false;
    // The first opening after the name was set empties the file; later ones append.
    int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC;
    if (truncate)
        flags |= O_TRUNC;
    m_fd = ::open(name.c_str(), flags, 0644);
    if (m_fd < 0)
        return false;
    struct stat st {};
    m_size = ::fstat(m_fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (truncate) {
        std::lock_guard lock(m_mutex);
        if (m_name == name)
            m_firstOpen = false;
    }
    return true;
}

void CCommLog::CloseFileLocked()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void CCommLog::WriteLocked(const std::string& text)
{
    if (m_size > 0 && m_size + text.size() > m_rotateBytes) {
        // Copied and emptied in place rather than renamed: the file keeps the lock that claims its
        // name for this process. A copy that fails still empties it; the bound matters more.
        Backup(FileName(), FileName() + ".1");
        if (::ftruncate(m_fd, 0) == 0)
            m_size = 0;
    }
    m_size += writeAll(m_fd, text);
}

void CCommLog::SetRotateBytesForTest(std::uint64_t bytes)
{
    std::lock_guard file(m_fileMutex);
    m_rotateBytes = bytes ? bytes : kRotateBytes;
}

bool CCommLog::OpenFile()
{
    std::lock_guard file(m_fileMutex);
    return OpenFileLocked();
}

void CCommLog::CloseFile()
{
    std::lock_guard file(m_fileMutex);
    CloseFileLocked();
}

void CCommLog::StartWriter()
{
    std::lock_guard lock(m_mutex);
    m_stop = false;
    if (m_writer.joinable())
        return;
    try {
        m_writerRunning = true;
        m_writer = std::thread(&CCommLog::WriterMain, this, detail::timings().logIdleCloseMs);
    } catch (const std::system_error&) {
        // No writer: entries are then written at once, as while no port is open.
        m_writerRunning = false;
    }
}

void CCommLog::StopWriter()
{
    std::thread writer;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        writer = std::move(m_writer);
    }
    m_queueEvent.notify_all();
    if (writer.joinable())
        writer.join();
    std::lock_guard lock(m_mutex);
    m_writerRunning = false;
}

bool CCommLog::WriterRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_writerRunning;
}

std::size_t CCommLog::QueuedCount() const
{
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

void CCommLog::SetWriterHookForTest(std::function<void()> hook)
{
    std::lock_guard lock(m_mutex);
    m_writerHook = std::move(hook);
}

void CCommLog::AddEntry(std::unique_ptr<CCommLogEntry> entry)
{
    if (!entry)
        return;
    {
        std::lock_guard lock(m_mutex);
        if (m_name.empty() || m_writerRunning || !m_queue.empty()) {
            while (m_queue.size() >= kQueueBound) {
                m_queue.pop_front();
                ++m_dropped;
            }
            m_queue.push_back(std::move(entry));
            m_queueEvent.notify_all();
            return;
        }
    }
    WriteEntry(std::move(entry));
}

void CCommLog::WriteEntry(std::unique_ptr<CCommLogEntry> entry)
{
    std::lock_guard file(m_fileMutex);
    std::uint32_t dropped = 0;
    bool keepOpen;
    {
        std::lock_guard lock(m_mutex);
        if (!entry) {
            if (m_queue.empty())
                return;
            entry = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (!(entry->type & m_mask))
            return;
        dropped = m_dropped;
        m_dropped = 0;
        keepOpen = m_writerRunning;
    }
    const bool wasOpen = m_fd >= 0;
    if (!OpenFileLocked())
        return; // the line is lost; the log goes on
    if (dropped > 0) {
        char text[160];
        std::snprintf(text, sizeof text, CommString(IDS_DATA_DELETED, Language()), static_cast<int>(dropped));
        WriteLocked(text);
    }
    WriteLocked(FormatLogLine(*entry));
    if (!wasOpen && !keepOpen)
        CloseFileLocked();
}

void CCommLog::Flush()
{
    std::lock_guard file(m_fileMutex);
    const bool wasOpen = m_fd >= 0;
    for (;;) {
        std::unique_ptr<CCommLogEntry> entry;
        std::uint32_t dropped = 0;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty())
                break;
            entry = std::move(m_queue.front());
            m_queue.pop_front();
            if (!(entry->type & m_mask))
                continue;
            dropped = m_dropped;
            m_dropped = 0;
        }
        if (!OpenFileLocked())
            continue;
        if (dropped > 0) {
            char text[160];
            std::snprintf(text, sizeof text, CommString(IDS_DATA_DELETED, Language()), static_cast<int>(dropped));
            WriteLocked(text);
        }
        WriteLocked(FormatLogLine(*entry));
    }
    bool keepOpen;
    {
        std::lock_guard lock(m_mutex);
        keepOpen = m_writerRunning;
    }
    if (!wasOpen && !keepOpen)
        CloseFileLocked();
}

void CCommLog::WriterMain(std::uint32_t idleCloseMs)
{
    // Lowest priority: file writing waits behind the serial threads.
    const pid_t tid = static_cast<pid_t>(::syscall(SYS_gettid));
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice + 10 > 19 ? 19 : nice + 10);

    bool limited = false; // true while entries flow: the file stays open until an idle spell
    std::unique_lock lock(m_mutex);
    for (;;) {
        auto ready = [this] { return m_stop || !m_queue.empty(); };
        if (!limited) {
            m_queueEvent.wait(lock, ready);
        } else if (!m_queueEvent.wait_for(lock, std::chrono::milliseconds(idleCloseMs), ready)) {
            lock.unlock();
            CloseFile();
            lock.lock();
            limited = false;
            continue;
        }
        // Stop wins over waiting entries: the flush that follows a stop writes them.
        if (m_stop)
            break;
        auto hook = m_writerHook;
        lock.unlock();
        if (hook)
            hook();
        WriteEntry(nullptr);
        limited = true;
        lock.lock();
    }
    lock.unlock();
    CloseFile();
}

bool CCommLog::Backup(const std::string& nameIn, const std::string& backupIn)
{
    const std::string name = nameIn.empty() ? FileName() : nameIn;
    if (name.empty())
        return false;
    const std::string backup = backupIn.empty() ? name + ".bak" : backupIn;

    // Copy into a fresh file and rename it over the old copy, so that a copy that fails half-way
    // leaves the old ".bak" as it was.
    auto copyOnce = [&]() -> bool {
        const int in = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0)
            return false;
        struct stat st {};
        if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) { // only a log file is copied
            ::close(in);
            return false;
        }
        const std::string temp = backup + ".tmp" + std::to_string(::getpid());
        const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (out < 0) {
            ::close(in);
            return false;
        }
        bool ok = true;
        char buf[65536];
        for (;;) {
            const ssize_t r = ::read(in, buf, sizeof buf);
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0) {
                ok = false;
                break;
            }
            if (r == 0)
                break;
            for (ssize_t done = 0; done < r;) {
                const ssize_t w = ::write(out, buf + done, static_cast<std::size_t>(r - done));
                if (w < 0 && errno == EINTR)
                    continue;
                if (w <= 0) {
                    ok = false;
                    break;
                }
                done += w;
            }
            if (!ok)
                break;
        }
        ::close(in);
        if (::close(out) != 0)
            ok = false;
        if (ok && ::rename(temp.c_str(), backup.c_str()) != 0)
            ok = false;
        if (!ok)
            ::unlink(temp.c_str());
        return ok;
    };
    if (copyOnce())
        return true;
    // A write-protected copy is made writable once and the copy tried again.
    if (::chmod(backup.c_str(), 0644) == 0)
        return copyOnce();
    return false;
}

void CCommLog::Data(std::uint32_t type, const void* bytes, std::uint32_t n)
{
    auto e = std::make_unique<CCommLogEntry>();
    e->type = type;
    e->time = nowLocal();
    e->data.Assign(bytes, n);
    AddEntry(std::move(e));
}

void CCommLog::Text(std::uint32_t type, unsigned stringId)
{
    auto e = std::make_unique<CCommLogEntry>();
    e->type = type;
    e->time = nowLocal();
    e->text = CommString(stringId, Language());
    AddEntry(std::move(e));
}

void LogSend(const void* bytes, std::uint32_t n)
{
    CCommLog::Get().Send(bytes, n);
}
void LogReceive(const void* bytes, std::uint32_t n)
{
    CCommLog::Get().Receive(bytes, n);
}
void LogInfo(unsigned stringId)
{
    CCommLog::Get().Info(stringId);
}
void LogTrace(unsigned stringId)
{
    CCommLog::Get().Trace(stringId);
}

} // namespace zrcomm

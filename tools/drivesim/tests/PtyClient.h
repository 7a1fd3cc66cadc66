// A minimal raw-termios user of the slave side, standing in for a serial program in tests.
#pragma once

#include <chrono>
#include <string>

class PtyClient {
public:
    // Opens the slave, sets raw mode and the speed (0: leave the speed alone).
    explicit PtyClient(const std::string& path, int baud = 9600, bool raw = true);
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    void close();
    bool setSpeed(int baud);

    bool write(const std::string& bytes);
    // Everything up to and including the first `pattern`; on time-out all that came, so a
    // failed expectation shows what did arrive.
    std::string readUntil(const std::string& pattern,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
    // What arrives within the given time.
    std::string readFor(std::chrono::milliseconds time);
    // Sends a line and reads up to the prompt that ends its reply.
    std::string exchange(const std::string& bytes, const std::string& prompt = ":");

    // The errno and poll events of the last failed read (EIO and POLLHUP after a hang-up).
    int lastErrno() const { return m_errno; }
    short lastEvents() const { return m_events; }

private:
    bool fill(std::chrono::steady_clock::time_point deadline);

    int m_fd = -1;
    std::string m_buffer;
    int m_errno = 0;
    short m_events = 0;
};

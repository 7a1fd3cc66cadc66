#include "PtyClient.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "drivesim/DriverSim.h"

PtyClient::PtyClient(const std::string& path, int baud, bool raw)
{
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    termios tio{};
    if (tcgetattr(m_fd, &tio) == 0 && raw) {
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    if (baud > 0)
        setSpeed(baud);
}

PtyClient::~PtyClient() { close(); }

void PtyClient::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool PtyClient::setSpeed(int baud)
{
    termios tio{};
    if (tcgetattr(m_fd, &tio) != 0)
        return false;
    const speed_t s = drivesim::speedFromBaud(baud);
    cfsetispeed(&tio, s);
    cfsetospeed(&tio, s);
    return tcsetattr(m_fd, TCSANOW, &tio) == 0;
}

bool PtyClient::write(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0)
                return false;
        } else if (n < 0 && errno != EINTR) {
            m_errno = errno;
            return false;
        }
    }
    return true;
}

bool PtyClient::fill(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
        return false;
    pollfd p{m_fd, POLLIN, 0};
    const int rc = ::poll(&p, 1, static_cast<int>(left.count()));
    if (rc <= 0)
        return false;
    m_events = p.revents;
    char buf[4096];
    const ssize_t n = ::read(m_fd, buf, sizeof buf);
    if (n > 0) {
        m_buffer.append(buf, static_cast<std::size_t>(n));
        return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return true;
    m_errno = n < 0 ? errno : 0;
    return false;   // EIO or end of file: the other side is gone
}

std::string PtyClient::readUntil(const std::string& pattern, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto pos = m_buffer.find(pattern);
        if (pos != std::string::npos) {
            std::string out = m_buffer.substr(0, pos + pattern.size());
            m_buffer.erase(0, pos + pattern.size());
            return out;
        }
        if (!fill(deadline)) {
            std::string out;
            out.swap(m_buffer);
            return out;
        }
    }
}

std::string PtyClient::readFor(std::chrono::milliseconds time)
{
    const auto deadline = std::chrono::steady_clock::now() + time;
    while (fill(deadline)) {
    }
    std::string out;
    out.swap(m_buffer);
    return out;
}

std::string PtyClient::exchange(const std::string& bytes, const std::string& prompt)
{
    write(bytes);
    // The prompt is the last byte of a reply; an echo or line that merely contains the prompt
    // byte would stop early, so look for it after a line end.
    const std::string end = "\n" + prompt;
    std::string out = readUntil(end);
    return out;
}

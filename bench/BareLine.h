// The bare loop the benchmarks compare the library with: raw termios on the simulated driver's
// line, one command at a time: write its first line, read to its echo, then replies up to a
// prompt at the start of a line; a page (';' last) gets a blank and a question ('?' last) the next
// line, each once nothing more came for the silence. The rules say which of the library's and the
// program's fixed waits it keeps too: the pause each read pass begins with, and a pause before
// each command.
#pragma once

#include <drivesim/DriverSim.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace bench {

struct BareRules {
    int silenceMs = 50;     // after a final '?' or ';'
    int passPauseMs = 0;    // before each read, as the library's receive passes
    int commandPauseMs = 0; // before each command, as the program's queueing
};

class BareLine {
public:
    using Rules = BareRules;

    explicit BareLine(Rules rules = {}) : m_rules(rules) {}
    BareLine(const BareLine&) = delete;
    BareLine& operator=(const BareLine&) = delete;
    ~BareLine() {
        if (m_fd >= 0) ::close(m_fd);
    }

    // 8N2 at the rate, raw.
    bool open(const std::string& path, int baud) {
        m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0) return false;
        termios t{};
        tcgetattr(m_fd, &t);
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD | CSTOPB;
        const speed_t s = drivesim::speedFromBaud(baud);
        cfsetispeed(&t, s);
        cfsetospeed(&t, s);
        return tcsetattr(m_fd, TCSANOW, &t) == 0;
    }

    // Runs the command (its first line, then further lines as answers); the reply text.
    std::string exchange(const std::string& text) {
        pause(m_rules.commandPauseMs);
        std::vector<std::string> lines;
        for (std::size_t from = 0; from < text.size();) {
            const auto cr = text.find('\r', from);
            lines.push_back(text.substr(from, cr - from));
            from = cr == std::string::npos ? text.size() : cr + 1;
        }
        std::size_t nextLine = 0;
        send(lines[nextLine++] + "\r");
        std::string in;
        const std::string echo = lines[0] + "\r\n";
        while (in.find(echo) == std::string::npos) readSome(in, 1000);
        in.erase(0, in.find(echo) + echo.size());
        std::string reply;
        for (;;) {
            if (in.empty() && !readSome(in, 1000)) continue;
            reply += in;
            in.clear();
            const char last = reply.empty() ? 0 : reply.back();
            // A prompt closes the reply at the start of a line, or right after the last page.
            const char before = reply.size() > 1 ? reply[reply.size() - 2] : '\n';
            if ((last == ':' || last == '#') && (before == '\n' || before == ';')) break;
            if ((last == ';' || last == '?') && !poll(in, m_rules.silenceMs)) {
                if (last == ';')
                    send(" ");
                else
                    send(nextLine < lines.size() ? lines[nextLine++] + "\r" : std::string("\r"));
            }
        }
        reply.pop_back(); // the prompt
        return reply;
    }

private:
    static void pause(int ms) {
        if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    void send(const std::string& s) {
        std::size_t done = 0;
        while (done < s.size()) {
            const ssize_t n = ::write(m_fd, s.data() + done, s.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
            else
                pause(1);
        }
    }
    bool readSome(std::string& into, int ms) {
        pause(m_rules.passPauseMs);
        return poll(into, ms);
    }
    // Appends what arrives within ms; false when nothing did.
    bool poll(std::string& into, int ms) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0) return false;
        char buf[4096];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n <= 0) return false;
        into.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    Rules m_rules;
    int m_fd = -1;
};

} // namespace bench

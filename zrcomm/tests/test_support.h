// Helpers shared by the library's tests: temporary folders and files (from the shared test
// support), and a window that records what the library posts and sends to it.
#pragma once

#include <platform/messages.h>

#include <testsupport/temp_folder.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace zrtest {

// Folders and files come from the shared test support.
using TempDir = plat::test::TempFolder;

inline std::string readFile(const std::string& name)
{
    return plat::test::readBytes(name);
}
inline void writeFile(const std::string& name, const std::string& text)
{
    plat::test::writeBytes(name, text);
}

// Lines of a log file, each without its CR LF.
inline std::vector<std::string> logLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

struct Message {
    plat::UINT msg;
    plat::WPARAM wParam;
    plat::LPARAM lParam;
    bool operator==(const Message&) const = default;
};

// A message-only window of the calling thread that records every message it handles.
class RecordingWindow {
public:
    RecordingWindow()
    {
        m_hwnd = plat::CreateMessageWindow([this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
            m_seen.push_back({m, w, l});
            if (m_onMessage)
                m_onMessage(m, w, l);
            return plat::LRESULT{0};
        });
    }
    ~RecordingWindow() { plat::DestroyWindow(m_hwnd); }
    plat::HWND hwnd() const { return m_hwnd; }
    // Dispatches what was posted (and runs what was sent) until nothing is left.
    const std::vector<Message>& pump()
    {
        plat::MSG m;
        while (plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE))
            plat::DispatchMessage(&m);
        return m_seen;
    }
    // Pumps until pred holds or the time is up.
    bool pumpUntil(const std::function<bool(const std::vector<Message>&)>& pred, int ms = 5000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            if (pred(pump()))
                return true;
            plat::PumpSentMessages();
            ::usleep(2000);
        }
        return pred(pump());
    }
    const std::vector<Message>& seen() const { return m_seen; }
    std::vector<Message> of(plat::UINT msg) const
    {
        std::vector<Message> out;
        for (const auto& m : m_seen)
            if (m.msg == msg)
                out.push_back(m);
        return out;
    }
    void clear() { m_seen.clear(); }
    std::function<void(plat::UINT, plat::WPARAM, plat::LPARAM)> m_onMessage;

private:
    plat::HWND m_hwnd = nullptr;
    std::vector<Message> m_seen;
};

} // namespace zrtest

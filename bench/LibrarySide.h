// The communication library's side of a benchmark: a message window on the calling thread that
// connects to a port through the exported functions, queues commands and removes each on its final
// event, keeping the end times (and, when asked, the reply texts).
#pragma once

#include <zrcomm/zrcomm_api.h>

#include <platform/messages.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace bench {

class LibrarySide {
public:
    using Clock = std::chrono::steady_clock;

    bool open(const std::string& path, int baud) {
        m_window = plat::CreateMessageWindow([this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
            if (m == WM_COMM_MONITOR && w == COMM_MONITOR_CONNECTED) m_connected = true;
            if (m == WM_COMM_COMMAND && IsFinal(w)) {
                const auto id = static_cast<CommandId>(l);
                m_ended[id] = Clock::now();
                if (m_keepReplies) {
                    std::vector<char> buf(1 << 20);
                    ZRComm_GetReceiveCommandText(id, buf.data(), static_cast<unsigned>(buf.size()));
                    m_reply = buf.data();
                }
                if (w != COMM_EVENT_COMPLETED) ++m_failures;
                ZRComm_RemoveCommand(id);
            }
            return plat::LRESULT{0};
        });
        ZRComm_SetMonitorWnd(m_window);
        plat::DCB dcb;
        if (!ZRComm_GetDefaultCommConfig(path.c_str(), &dcb)) return false;
        dcb.BaudRate = static_cast<plat::DWORD>(baud);
        if (ZRComm_InitFromDCB(m_window, path.c_str(), &dcb) != COMM_OK) return false;
        return pumpUntil([this] { return m_connected; }, std::chrono::seconds(10));
    }
    ~LibrarySide() {
        ZRComm_Term();
        ZRComm_SetMonitorWnd(nullptr);
        plat::DestroyWindow(m_window);
    }
    CommandId queue(const std::string& text) {
        return ZRComm_SendCommandText(m_window, text.c_str(), 0);
    }
    bool pumpUntil(const std::function<bool()>& done, Clock::duration limit = std::chrono::seconds(600)) {
        const auto end = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() > end) return false;
            plat::MSG m;
            if (plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE))
                plat::DispatchMessage(&m);
            else
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return true;
    }
    bool ended(CommandId id) const { return m_ended.count(id) != 0; }
    Clock::time_point endTime(CommandId id) const { return m_ended.at(id); }
    std::size_t endedCount() const { return m_ended.size(); }
    void clear() { m_ended.clear(); }
    int failures() const { return m_failures; }
    void keepReplies(bool on) { m_keepReplies = on; }
    const std::string& lastReply() const { return m_reply; }

private:
    static bool IsFinal(plat::WPARAM e) {
        return e == COMM_EVENT_WRITE_FAILED || e == COMM_EVENT_NO_ECHO || e == COMM_EVENT_TIMEOUT ||
               e == COMM_EVENT_INVALID_DATA || e == COMM_EVENT_COMPLETED || e == COMM_EVENT_ABORTED;
    }
    plat::HWND m_window = nullptr;
    bool m_connected = false;
    bool m_keepReplies = false;
    int m_failures = 0;
    std::string m_reply;
    std::map<CommandId, Clock::time_point> m_ended;
};

} // namespace bench

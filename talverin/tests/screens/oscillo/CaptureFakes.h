// Stand-ins around OscilloCapture for its tests: a screen of plain values that logs the rule calls,
// a driver queue that completes commands when the test says so, a timer table the test fires by
// id, and a main window that records what reaches it and answers the line-speed requests.
#pragma once

#include "../../connection/FakeDriverQueue.h"
#include "screens/oscillo/CaptureScreen.h"
#include "screens/oscillo/CaptureTimers.h"

#include "common/AppMessages.h"

#include <model/CommandSupport.h>

#include <platform/messages.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace capture_test {

using namespace talverin;

struct RecordingScreen : CaptureScreen {
    std::map<int, std::string> text;
    std::map<int, int> selection;
    std::set<int> checked, disabled, modified;
    std::map<std::pair<int, plat::LONG>, plat::LONG> slider;
    std::vector<std::string> log; // the rule and scope calls, as "name args"
    bool sourceChanges = false;   // what ApplyChannelSource answers

    // TIME 10 ms, RES 10 (200 samples), CH1 "VF" as trigger, DOWN, the mode given.
    explicit RecordingScreen(int mode = OscilloId::Sing)
    {
        using namespace OscilloId;
        text = {{Time, "10.0"}, {Resolution, "10"}, {HorizontalPosition, "0.0"}, {TriggerPosition, "50.0"},
                {Level, "0.00"}, {Source1, "VF"}, {Scale1, "2.5"}};
        selection[Source1] = 1;
        checked = {Trigger1, EdgeDown, mode};
    }
    void note(std::string s) { log.push_back(std::move(s)); }

    std::string controlText(int id) const override { auto i = text.find(id); return i == text.end() ? "" : i->second; }
    void setControlText(int id, const std::string& t) override { text[id] = t; }
    int comboSelection(int id) const override { auto i = selection.find(id); return i == selection.end() ? 0 : i->second; }
    bool isChecked(int id) const override { return checked.count(id) != 0; }
    void setChecked(int id, bool on) override { on ? (void)checked.insert(id) : (void)checked.erase(id); }
    bool isControlEnabled(int id) const override { return disabled.count(id) == 0; }
    void enableControl(int id, bool on) override { on ? (void)disabled.erase(id) : (void)disabled.insert(id); }
    void setModified(int id, bool on) override { on ? (void)modified.insert(id) : (void)modified.erase(id); }
    plat::LONG sliderValue(int s, plat::LONG c) override { return slider[{s, c}]; }
    void setSliderValue(int s, plat::LONG c, plat::LONG v) override { slider[{s, c}] = v; }
    void showSliderCursor(int, plat::LONG, plat::LONG) override {}
    void enableSlider(int, bool) override {}
    void scopeLockPaint(bool) override {}
    void scopeSetZoom(int channel, float zoom) override { note("zoom " + std::to_string(channel) + " " + std::to_string(zoom)); }
    void scopeDrawMode(plat::LONG mode) override { note("draw " + std::to_string(mode)); }
    void scopeUpdateData(plat::LONG n, plat::LONG length, plat::LONG res) override
    {
        note("update " + std::to_string(n) + " " + std::to_string(length) + " " + std::to_string(res));
    }
    std::string SettingsSummary() override { return "T=10.0,R=10"; }
    void AddViewRecord(const std::string& s) override { note("record " + s); }
    void RunRangeCheck(int id) override { note("range " + std::to_string(id)); }
    bool ApplyChannelSource(int c, const std::string& s) override { note("source " + std::to_string(c) + " " + s); return sourceChanges; }
    void ShowChannelWithoutSource(int c) override { note("nosource " + std::to_string(c)); }
    void ApplySourceLevelReply(int c, const std::string& v) override { note("level " + std::to_string(c) + " " + v); }
    void ReapplyZeroPosition(int c) override { note("zero " + std::to_string(c)); }
    void ReapplyChannelScale(int c) override { note("scale " + std::to_string(c)); }
    void RefreshChannels() override {}
    void FocusScopeIfLost() override {}
    std::vector<std::string> activity; // what the status pane said, each change: "wait", "read 40", "none"
    void ShowCaptureActivity(CaptureActivity a, int percent) override
    { activity.push_back(a == CaptureActivity::None ? "none" : a == CaptureActivity::WaitingForTrigger ? "wait" : "read " + std::to_string(percent)); }
};

using FakePort = talverin_test::FakeDriverQueue;

struct FakeTimers : CaptureTimers {
    std::map<unsigned, unsigned> armed;
    void set(unsigned id, unsigned ms) override { armed[id] = ms; }
    void kill(unsigned id) override { armed.erase(id); }
};

// The main window: records messages; a line-speed request is answered with `changed` and
// `refused`, after running `duringSwitch` (the frame pumps the queue's notices meanwhile).
struct FakeFrame {
    struct Message { plat::UINT msg; plat::WPARAM w; plat::LPARAM l; };
    std::vector<Message> got;
    int changed = 0;
    plat::LRESULT refused = 0;
    std::function<void()> duringSwitch;
    plat::HWND hwnd;

    FakeFrame()
    {
        hwnd = plat::CreateMessageWindow([this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) -> plat::LRESULT {
            got.push_back({m, w, l});
            if (m != WM_CHANGE_BAUD_RATE)
                return 0;
            if (duringSwitch)
                duringSwitch();
            *reinterpret_cast<int*>(l) = changed;
            return refused;
        });
        model::SetMainWindow(hwnd);
    }
    ~FakeFrame() { model::SetMainWindow(nullptr); plat::DestroyWindow(hwnd); }
    // Delivers what was posted; returns "msg:w:l" of every message so far, rate requests as "rate:w".
    std::vector<std::string> seen()
    {
        plat::PumpMessageRange(hwnd, 0, 0, 1000);
        std::vector<std::string> s;
        for (const Message& m : got)
            s.push_back(m.msg == WM_CHANGE_BAUD_RATE ? "rate:" + std::to_string(m.w)
                                                     : std::to_string(m.msg) + ":" + std::to_string(m.w) + ":" + std::to_string(m.l));
        return s;
    }
};

// WM_COMM_ERROR and Disconnect as FakeFrame::seen() writes them.
inline std::string commError(int w, int l) { return std::to_string(WM_COMM_ERROR) + ":" + std::to_string(w) + ":" + std::to_string(l); }
inline std::string disconnect() { return std::to_string(plat::WM_COMMAND) + ":" + std::to_string(model::kDisconnectCommand) + ":0"; }

} // namespace capture_test

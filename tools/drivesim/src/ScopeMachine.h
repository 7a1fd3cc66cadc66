// The driver's oscilloscope: four channels with a source and a trigger level each, the trigger,
// position, record time and sample count, and the capture: WTR arms it with a snapshot of the
// settings, it triggers at once (WTR1, or WTR0 when the level lies within the trigger source's
// signal), fills for the record time times a time scale, and then holds the rows of the test
// signals until the next arming. A status script overrides what the polls of an armed capture see.
#pragma once

#include <array>
#include <chrono>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "drivesim/ModelTypes.h"

namespace drivesim {

class UnitDefinition;

class ScopeMachine {
public:
    using Clock = std::chrono::steady_clock;

    // The sources come from the unit's [WV] lines; their decimals and ranges from the unit's
    // parameters of the same names. Settings and capture go back to the factory state.
    void configure(const UnitDefinition& unit);
    void factoryReset();
    void powerCycle();   // the capture is gone; settings stay

    // One oscilloscope command (without blanks, upper-cased): true when it is one, with the
    // reply lines (or the error text) in `reply`.
    bool command(const std::string& c, Clock::time_point now, std::vector<std::string>& reply);

    int status(Clock::time_point now);
    ScopeSettings settings() const;
    // Applies every field through the commands; false (nothing changed) with the error text of
    // the first field refused.
    bool setSettings(const ScopeSettings& s, std::string& error);
    void setStatusScript(std::vector<int> statuses, bool holdLast);
    void setTimeScale(double scale) { m_timeScale = scale < 0 ? 0 : scale; }
    double timeScale() const { return m_timeScale; }
    // False when the source is not one of the unit's.
    bool setSignal(const std::string& source, Signal signal);

private:
    struct Source {
        std::string name;
        int decimals = 0;
        bool bounded = false;
        long long low = 0, high = 0;
        Signal signal;
    };
    struct Settings {
        std::array<int, 4> source{0, 1, -1, -1};   // index into m_sources, -1 none
        std::array<long long, 4> level{};          // scaled by the source's decimals
        int trigger = 0;
        int edge = 0;
        long long position = 500;                  // tenths of a percent
        long long recordTime = 2000;               // tenths of a ms
        int samples = 201;
    };

    std::string query(const std::string& c) const;
    std::string set(const std::string& c, Clock::time_point now, std::vector<std::string>& reply);
    std::string arm(bool immediate, Clock::time_point now);
    int sourceIndex(const std::string& name) const;
    std::string levelText(int channel) const;
    void complete();
    long long sample(int source, int i, int n) const;

    std::vector<Source> m_sources;
    Settings m_set;
    Settings m_snapshot;
    int m_status = 0;            // 0 idle, 1 armed, 2 filling, 3 ready
    bool m_triggered = false;
    Clock::time_point m_fillEnd{};
    bool m_hasData = false;
    std::vector<std::string> m_data;   // header and rows of the last capture
    std::deque<int> m_script;
    bool m_holdLast = false;
    double m_timeScale = 1.0;
};

} // namespace drivesim

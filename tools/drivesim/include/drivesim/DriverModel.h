// A whole simulated driver: the KVX-100 (or any unit definition file) with a real driver's state,
// answering every command family the workbench sends, consistently. It sits in a DriverSim as one
// predicate-matched responder, so the line editor, the built-in lines (probe, MI, WWC, the baud
// steps, the empty line), scripted commands (a test's own command still wins, newest first),
// pacing and faults all keep working on top of it.
//
//   drivesim::DriverSim sim;              drivesim::DriverModel model;
//   model.load("model/data/unit/kvx100.ini", &error);
//   model.install(sim);  sim.start();     // the factory state: locked ("KP0")
//
// Test interface (every call takes the model's own mutex; safe from any thread):
//   load(path) / loadText(text)   the unit file, read by the simulator's own reader; then the
//                                 factory state. loadState(path) applies a document (.zrd) on top.
//   factoryReset()                values to their defaults, no channel programs, the [CN2] pins,
//                                 no alarms, the scope's factory settings; then powerCycle().
//   powerCycle()                  locked again, no active alarm, no capture, and the line rate
//                                 back to the power-up rate (through DriverSim::setRate); values,
//                                 channels, pins, alarm history and scope settings are kept.
//   value / setValue              any parameter by name, monitors (VF, TRQ) and ALM included, in
//                                 the reply form ("1.00", "AUTO"); setValue checks as a write
//                                 does, without the lock.
//   channel / setChannel          a program's lines; lines are checked as the CH dialog does.
//   pin / setPin                  a CN2 pin's setting; setInputLevel, setOutputState for the
//                                 electrical level of an input and the state of an output.
//   raiseAlarm / activeAlarm / alarmHistory / clearAlarmHistory
//   locked / setLocked            the password lock ("?KP" answers KP0 when locked).
//   scope / setScope              the oscilloscope settings (ScopeSettings, checked as the
//                                 commands do); scopeStatus() the status a poll would see.
//   setStatusScript({1,2}, hold)  the statuses the next polls of an armed capture see (a 3
//                                 completes it); with hold the last one stays for ever. Polls
//                                 before arming (idle) are not scripted.
//   setCaptureTimeScale(x)        record time x this: 0 makes a capture ready at once.
//   setSignal(source, fn)         the test signal of a source, in its scaled units; the first
//                                 source defaults to a triangle 1000..-1000..1000, the others to
//                                 a ramp over their range.
//   setPageLines(n)               a lone ';' page every n lines of long replies (TX0, TC, TA/HI,
//                                 WCD); 0, the default, never pages.
//   dumpText()                    the read-all body, each line ending in CR LF.
//
// Lock: while locked every setting is refused with "PASSWORD REQUIRED": parameter writes
// (actions such as RESET and MOV excepted), pin blocks, "/RS", PI/CL, PO/CL and the channel
// commands CC, CH, CI, CD, CC/AL. Reads, KP0/KP1 and the oscilloscope never are.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drivesim/ModelTypes.h"

namespace drivesim {

class DriverSim;
class ModelState;

class DriverModel {
public:
    DriverModel();
    ~DriverModel();
    DriverModel(const DriverModel&) = delete;
    DriverModel& operator=(const DriverModel&) = delete;

    // False with a reason (the state is left as it was) when the file or text cannot be used.
    bool load(const std::string& unitPath, std::string* error = nullptr);
    bool loadText(const std::string& unitText, std::string* error = nullptr);
    // Applies a document's values, pins and channel programs as a download would (the lock not
    // asked); false with "line N: ..." at the first record the driver refuses (what came before
    // it stays applied).
    bool loadState(const std::string& documentPath, std::string* error = nullptr);
    bool loadStateText(const std::string& documentText, std::string* error = nullptr);
    bool loaded() const;

    // Adds the model's responder to the driver (before or after start) and takes its
    // identification lines for case-free "mi". The responder holds the model's state, so either
    // may be destroyed first; powerCycle() must not be called after the driver is gone.
    int install(DriverSim& sim);

    void factoryReset();
    void powerCycle();

    std::optional<std::string> value(const std::string& name) const;
    bool setValue(const std::string& name, const std::string& value, std::string* error = nullptr);

    std::vector<std::string> channel(int channel) const;
    bool setChannel(int channel, const std::vector<std::string>& lines, std::string* error = nullptr);
    int channelLineTotal() const;

    PinState pin(PinSide side, int io) const;
    // The setting's function, logic and value; its level stays.
    bool setPin(PinSide side, int io, const PinState& pin, std::string* error = nullptr);
    void setInputLevel(int io, bool high);
    void setOutputState(int io, bool on);

    bool raiseAlarm(int code, const std::string& text);
    int activeAlarm() const;
    std::vector<AlarmEntry> alarmHistory() const;
    void clearAlarmHistory();

    bool locked() const;
    void setLocked(bool locked);

    ScopeSettings scope() const;
    bool setScope(const ScopeSettings& settings, std::string* error = nullptr);
    int scopeStatus() const;
    void setStatusScript(std::vector<int> statuses, bool holdLast = false);
    void setCaptureTimeScale(double scale);
    bool setSignal(const std::string& source, Signal signal);

    void setPageLines(int lines);
    std::string dumpText() const;

private:
    std::shared_ptr<ModelState> m_state;
    DriverSim* m_sim = nullptr;
};

} // namespace drivesim

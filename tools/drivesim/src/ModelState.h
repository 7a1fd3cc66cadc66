// Everything the simulated driver model keeps, under one mutex, and the commands that read and
// change it. DriverModel is its public face; the installed responder and the block dialogs'
// question handlers hold it by shared pointer, so it lives as long as any of them.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ChannelStore.h"
#include "PinBank.h"
#include "ScopeMachine.h"
#include "UnitDefinition.h"
#include "drivesim/ModelTypes.h"
#include "drivesim/Program.h"

namespace drivesim {

class ModelState : public std::enable_shared_from_this<ModelState> {
public:
    static constexpr std::size_t kAlarmHistory = 8;

    // What one command does, before it becomes a response program.
    struct Reply {
        enum class Block { None, Channel, Input, Output };
        std::vector<std::string> lines;
        bool pageable = false;            // a long reply, paged when page lines are set
        Block block = Block::None;        // a valid, allowed block header: the dialog follows
        int index = 0;                    // its channel or io
    };

    // ---- under mu ----
    mutable std::mutex mu;
    UnitDefinition unit;
    bool loaded = false;
    std::vector<ParamValue> values;       // parallel to unit.parameters()
    bool locked = true;
    long long alarmWithoutParameter = 0;  // the active alarm when the unit has no ALM
    std::deque<AlarmEntry> history;       // newest first
    ChannelStore channels;
    PinBank pins;
    ScopeMachine scope;
    std::vector<std::string> identification{"KVX100A 1.00", "SYS 1.00"};
    int pageLines = 0;

    // All of these expect mu held.
    bool load(UnitDefinition def, std::string& error);
    void factoryReset();
    void powerCycle();
    std::size_t indexOf(const ParamDef& p) const;
    long long& activeAlarm();
    std::string paramLine(const ParamDef& p) const;   // "SPD100"
    // A write of `value` to p as the driver takes it: the error text or "".
    std::string write(const ParamDef& p, const std::string& value);
    // A channel program line as a channel takes it: the error text or "".
    std::string checkChannelLine(const std::string& line) const;
    // The end of a pin block: the refusal lines (none when every field was taken).
    std::vector<std::string> applyPinFields(PinSide side, int io, const std::vector<std::string>& fields);
    std::vector<std::string> dump() const;
    // One command line as received (raw) and without blanks, upper-cased (c).
    Reply execute(const std::string& raw, const std::string& c);

    // Takes mu: the response program for a received line.
    Program respond(const std::string& raw);

private:
    Reply numbered(const std::string& word, const std::string& rest);
    Reply readAll(const std::string& c) const;
    Program toProgram(const Reply& reply) const;
};

} // namespace drivesim

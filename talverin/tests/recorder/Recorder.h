// A control plug-in for the wrapper tests: registered under the real class ids, it takes the real
// member tables (so calls are checked as the real controls check them), records every call and
// fires events on request.
#pragma once

#include <component/control.h>

#include <string>
#include <vector>

struct RecordedCall {
    std::string control; // "ZRCN2" ...
    comp::DISPID id;
    comp::InvokeKind kind;
    std::vector<comp::Variant> args;
};

using RecorderCallsFn = const std::vector<RecordedCall>* (*)();
using RecorderClearFn = void (*)();
using RecorderFireFn = void (*)(comp::Control* control, comp::DISPID eventId, const comp::Variant* args, int count);

// A recorded member answers 1000 + dispid for I4, 7 for I2, TRUE, "<name> value" for a string and
// 0x7f0000000000 + dispid for a pointer-sized value; a property put is kept and read back.

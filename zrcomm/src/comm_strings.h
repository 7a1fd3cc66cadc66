// The library's own texts (log lines), in English (1033) and Japanese (1041), by string id.
#pragma once

#include <platform/types.h>

namespace zrcomm {

enum CommStringId : unsigned {
    IDS_DLL_START = 17,
    IDS_DLL_END = 18,
    IDS_DATA_DELETED = 19, // format: one %d, ends with CR LF
    IDS_INIT_COMM = 20,
    IDS_TERM_COMM = 21,
    IDS_CHECKING = 22,
    IDS_CHECKING_ANSWERED = 23,
    IDS_START_CONNECTION = 24,
    IDS_STOP_CONNECTION = 25,
    IDS_SEND_DIRECT = 26,
    IDS_FAIL_SEND_TIMEOUT = 27,
    IDS_FAIL_NO_ECHO = 28,
    IDS_FAIL_RECEIVE_TIMEOUT = 29,
    IDS_NO_REPLY = 30,
    IDS_BAUD_START = 31,
    IDS_BAUD_SET = 32,
    IDS_BAUD_FAILED = 33,
    IDS_STOPBITS_15_AS_2 = 34,    // this system has no 1.5 stop bits
    IDS_FAIL_LINE_GONE = 35,      // the device hung up or went away
    IDS_IDENTIFY_UNREADABLE = 36, // identification given up: its replies could not be read
};

// The text of an id in the given language (1041 Japanese, anything else English); "" for an
// unknown id.
const char* CommString(unsigned id, plat::LANGID language);

} // namespace zrcomm

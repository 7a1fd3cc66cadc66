// What WM_WAIT_DIALOG 5 hands the main frame for its please-wait dialog (CBusyDlg): the text, who
// is told of Cancel and how. The frame copies it, so the record need live only for the send.
#pragma once

#include "common/AppMessages.h"

#include <platform/types.h>

namespace plat {
class Event;
}

namespace talverin {

struct WaitDialogInfo {
    const char* text = nullptr;              // UTF-8; null shows no text
    plat::HWND notify = nullptr;             // gets the cancel message; null: nobody
    plat::UINT cancelMessage = WM_WAIT_CANCEL;
    plat::LPARAM cancelTag = 0;              // the cancel message's lParam
    plat::Event* cancelEvent = nullptr;      // when given, Cancel only sets it
    int reserved[2] = {0, 0};
};

} // namespace talverin

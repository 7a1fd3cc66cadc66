// The message a failed oscilloscope command shows: a prefix chosen by the command's tag, to which
// the caller appends the communication library's text of the error, and the box title.
#pragma once

#include <QString>

namespace talverin {

struct CaptureErrorText {
    QString prefix;
    QString title;
};

// Tags 20-33 (a start step), 40-43 (a channel source), 70 (arming) and every other tag.
CaptureErrorText CaptureErrorTexts(int tag);

} // namespace talverin

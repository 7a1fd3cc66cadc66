// The program's message boxes take Qt texts (tr()) and go to the platform's box seam, so tests
// answer them with plat::ScriptedMessageBoxes.
#pragma once

#include <platform/message_box.h>

#include <QString>

namespace talverin {

inline int AppMessageBox(plat::HWND owner, const QString& text, const QString& caption, plat::UINT type)
{
    return plat::MessageBox(owner, text.toStdString(), caption.toStdString(), type);
}

} // namespace talverin

// The program's message boxes take Qt texts (tr()) and go to the platform's box seam, so tests
// answer them with plat::ScriptedMessageBoxes.
#pragma once

#include <platform/errors.h>
#include <platform/message_box.h>

#include <QString>

#include <string>

namespace talverin {

inline int AppMessageBox(plat::HWND owner, const QString& text, const QString& caption, plat::UINT type)
{
    return plat::MessageBox(owner, text.toStdString(), caption.toStdString(), type);
}

// A file box's text with the system's reason for the failure ("No space left on device") as one
// more line; the text alone when the failure was not the system's.
inline QString WithReason(const QString& text, const QString& reason)
{
    if (reason.isEmpty())
        return text;
    return text + (text.endsWith(u'\n') ? QString() : QStringLiteral("\n")) + reason;
}
inline QString WithReason(const QString& text, const std::string& reason)
{
    return WithReason(text, QString::fromLocal8Bit(reason));
}

// The same with the reason of the calling thread's last failed platform call: read it right after
// the call, before anything else can set another.
inline QString WithLastReason(const QString& text)
{
    return WithReason(text, plat::LastErrorReason());
}

} // namespace talverin

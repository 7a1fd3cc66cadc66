#include "frame/SwitchWait.h"

#include "common/AppMessages.h"
#include "connection/WaitDialogInfo.h"

#include <platform/clock.h>
#include <platform/messages.h>

#include <QCoreApplication>
#include <QEventLoop>

namespace talverin {

SwitchWait::SwitchWait(plat::HWND frame) : m_frame(frame), m_start(plat::GetTickCount()) {}

SwitchWait::~SwitchWait()
{
    if (m_shown)
        plat::SendMessage(m_frame, WM_WAIT_DIALOG, 0, 0);
}

bool SwitchWait::keepWaiting()
{
    if (m_cancel.isSet())
        return false;
    // A dialog someone else shows (a connection step) is theirs: this wait only repaints.
    if (!m_shown && plat::TicksSince(m_start) >= kDialogAfterMs
        && plat::SendMessage(m_frame, WM_WAIT_DIALOG, 255, 0) == 0) {
        const QByteArray text =
            QCoreApplication::translate("talverin::CMainFrame", "Switching screens.\n\nPlease wait.").toUtf8();
        WaitDialogInfo info;
        info.text = text.constData();
        info.cancelEvent = &m_cancel;
        plat::SendMessage(m_frame, WM_WAIT_DIALOG, 5, reinterpret_cast<plat::LPARAM>(&info));
        m_shown = true;
    }
    // The frame is disabled while the dialog shows, so only its Cancel takes input; before that
    // the window only repaints.
    QCoreApplication::processEvents(m_shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return !m_cancel.isSet();
}

} // namespace talverin

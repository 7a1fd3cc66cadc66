#include "common/SettingsSaveReport.h"

#include "common/AppMessageBox.h"

#include <platform/errors.h>

namespace talverin {

bool SettingsSaveReport::Note(bool written, const std::string& file)
{
    // The first failure tells why; the ones after it almost always share the cause.
    if (!written && !m_file && !file.empty()) {
        m_file = file;
        m_reason = plat::LastErrorReason();
        if (m_reason.empty())
            m_reason = plat::ErrorText(plat::GetLastError());
    }
    return written;
}

void SettingsSaveReport::Show(plat::HWND owner)
{
    if (!m_file)
        return;
    AppMessageBox(owner,
                  tr("The settings could not be saved to '%1'.\n%2")
                      .arg(QString::fromStdString(*m_file), QString::fromLocal8Bit(m_reason)),
                  QStringLiteral("Talverin"), plat::MB_OK | plat::MB_ICONWARNING);
    m_file.reset();
    m_reason.clear();
}

} // namespace talverin

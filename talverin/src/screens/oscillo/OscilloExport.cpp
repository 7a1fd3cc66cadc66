#include "screens/oscillo/OscilloExport.h"

#include "common/AppMessageBox.h"
#include "screens/oscillo/OscilloCsv.h"
#include "screens/oscillo/OscilloPanelBitmap.h"

#include <platform/clock.h>
#include <platform/file_dialog.h>
#include <platform/text.h>

#include <QCoreApplication>

#include <cstdio>

namespace talverin {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("CViewOscillo", text);
}

plat::FileDialogResult askPath(plat::HWND owner, const char* extension, const QString& filter)
{
    plat::FileDialogRequest request;
    request.owner = owner;
    request.save = true;
    request.defaultExtension = extension;
    request.filter = filter.toStdString();
    request.flags = plat::OFN_HIDEREADONLY | plat::OFN_OVERWRITEPROMPT;
    return plat::PromptFileName(request);
}

} // namespace

std::string PanelDateNow()
{
    plat::SYSTEMTIME t{};
    plat::GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u/%02u/%02u %02u:%02u:%02u", unsigned(t.wYear) % 10000u, unsigned(t.wMonth) % 100u,
                  unsigned(t.wDay) % 100u, unsigned(t.wHour) % 100u, unsigned(t.wMinute) % 100u,
                  unsigned(t.wSecond) % 100u);
    return text;
}

bool RunSaveBitmap(plat::HWND owner, const PanelValues& values, const SaveScopeBitmap& save)
{
    const plat::FileDialogResult chosen =
        askPath(owner, "bmp", tr("Bitmap Files(*.bmp)|*.bmp|All Files(*.*)|*.*|"));
    if (!chosen.accepted || chosen.path.empty())
        return false;
    const std::vector<std::uint8_t> panel = PackPanelBitmap(DrawPanel(PanelTemplate(), PanelLines(values)));
    // A bitmap the control refuses to make fails without a system reason.
    plat::SetLastError(plat::ERROR_SUCCESS);
    const long size = panel.empty() ? 0 : save(chosen.path, reinterpret_cast<std::intptr_t>(panel.data()));
    if (size == 0) {
        AppMessageBox(owner,
                      WithLastReason(tr("Failed to save file.\nCannot create specified file, or file may be set "
                                        "read-only by another application.")),
                      tr("File save error"), plat::MB_OK | plat::MB_ICONWARNING);
        return false;
    }
    return true;
}

bool RunSaveCsv(plat::HWND owner, std::string& reply)
{
    const plat::FileDialogResult chosen = askPath(owner, "csv", tr("CSV Files(*.csv)|*.csv|All Files(*.*)|*.*|"));
    if (!chosen.accepted || chosen.path.empty())
        return false;
    NormaliseCaptureReply(reply);
    if (!plat::WriteFileAtomic(chosen.path, CsvFileBytes(reply))) {
        AppMessageBox(owner,
                      WithLastReason(tr("Cannot open file.\nSpecified file does not exist, or the file is used by "
                                        "another application.")),
                      tr("Cannot open file"), plat::MB_OK | plat::MB_ICONWARNING);
        return false;
    }
    return true;
}

} // namespace talverin

// The oscilloscope screen's two exports (menu 190): Save Bitmap, the scope's face with the settings
// panel beside it, written by the scope control's picture writer; and Save CSV, the driver's last
// data reply. Each asks for a file name, writes through a temporary file renamed at the end, and
// on any failure shows its own box and leaves an existing file as it was.
#pragma once

#include "screens/oscillo/OscilloPanel.h"

#include <platform/types.h>

#include <cstdint>
#include <functional>
#include <string>

namespace talverin {

// The scope's SaveBitmapFile(path, 641, 641, panel address): the file size, 0 on failure.
using SaveScopeBitmap = std::function<long(const std::string& path, std::intptr_t panel)>;

// Dialog, panel drawn and packed, the scope's writer; false when cancelled or failed (box shown).
bool RunSaveBitmap(plat::HWND owner, const PanelValues& values, const SaveScopeBitmap& save);
// Dialog, the reply normalised in place and written; false when cancelled or failed (box shown).
bool RunSaveCsv(plat::HWND owner, std::string& reply);

// The date of the panel: local time as "%Y/%m/%d %H:%M:%S".
std::string PanelDateNow();

} // namespace talverin

// Port settings before a port is opened: the defaults for a named port, and the settings dialog,
// which lives in the Qt companion library (libzrcomm-qt.so beside this one) so that this library
// does not depend on Qt. The companion is loaded on first use.
#pragma once

#include <platform/dcb.h>

#include <string>

namespace zrcomm {

// The settings a port starts from: the device defaults forced to 9600 baud, 8 data bits, no
// parity, 2 stop bits and hardware flow control. False when the name maps to no serial device.
bool DefaultPortSettings(const std::string& portName, plat::DCB& dcb);

// The forcing part of DefaultPortSettings, on any settings.
void ForceDefaultSettings(plat::DCB& dcb);

// Runs the modal settings dialog of the companion library. True when the user pressed OK (dcb
// changed); error is 0 or, when the dialog could not be shown, a system error code.
bool RunPortSettingsDialog(const char* portName, plat::HWND parent, plat::DCB& dcb, plat::LANGID language,
                           plat::DWORD& error);

// The companion library's file name and entry point.
inline constexpr const char* kDialogLibrary = "libzrcomm-qt.so";
inline constexpr const char* kDialogEntry = "ZRCommQt_PortSettingsDialog";
// int entry(const char* portName, HWND parent, DCB* dcb, LANGID language, DWORD* error):
// 1 OK, 0 cancelled or failed (error set when failed).
using DialogEntry = int (*)(const char*, plat::HWND, plat::DCB*, plat::LANGID, plat::DWORD*);

} // namespace zrcomm

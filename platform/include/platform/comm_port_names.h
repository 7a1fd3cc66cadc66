// Serial port names. The program and its settings speak of ports as "COMn" (menus depend on the
// number); this maps a name to a device path: first the extra ports the program read from the
// [ExtPort] section of its settings file, then the default table
//   COM1-COM4  -> /dev/ttyS0-3
//   COM5-COM20 -> /dev/ttyUSB0-15
//   COM21-COM36 -> /dev/ttyACM0-15.
// An absolute path is a device path already and is used as given.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace plat {

// Sets (or, with an empty path, removes) the device of one "COMn" name; names compare without
// regard to case. Thread-safe.
void SetExtPort(const std::string& comName, const std::string& devicePath);
void ClearExtPorts();
std::vector<std::pair<std::string, std::string>> ExtPorts(); // ("COMn", path), by number

// The number n of a "COMn" name (any case, n from 1 to 256), or 0.
int CommPortNumber(const std::string& name);

// The device path of a port name: an absolute path as given, a "COMn" through the map or the
// default table, a name with the Win32 device prefix "\\.\" without it; "" when nothing maps.
std::string CommPortDevicePath(const std::string& portName);

// The "COMn" name of a device path: the extra ports first, then the default table; "" when none.
std::string CommPortNameForDevice(const std::string& devicePath);

} // namespace plat

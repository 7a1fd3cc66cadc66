// The serial devices of the machine, for the port list: QSerialPortInfo's devices (it never lists
// pseudo-terminals: scanning /dev/pts would offer every shell's terminal; a pseudo-terminal
// becomes a port through an [ExtPort] line). Tests replace the enumeration with a list.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace talverin {

// Device paths ("/dev/ttyS0", "/dev/ttyUSB0" ...) in the order the system lists them.
using SerialDeviceEnumerator = std::function<std::vector<std::string>()>;

std::vector<std::string> EnumerateSerialDevices();
// Replaces the enumeration (an empty function: the system's again); returns the one before.
SerialDeviceEnumerator SetSerialDeviceEnumerator(SerialDeviceEnumerator enumerator);

} // namespace talverin

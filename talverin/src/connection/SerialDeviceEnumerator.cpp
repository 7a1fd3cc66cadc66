#include "connection/SerialDeviceEnumerator.h"

#include <QSerialPortInfo>

namespace talverin {

namespace {

SerialDeviceEnumerator& current()
{
    static SerialDeviceEnumerator enumerator;
    return enumerator;
}

std::vector<std::string> systemDevices()
{
    std::vector<std::string> devices;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        devices.push_back(port.systemLocation().toStdString());
    return devices;
}

} // namespace

std::vector<std::string> EnumerateSerialDevices()
{
    return current() ? current()() : systemDevices();
}

SerialDeviceEnumerator SetSerialDeviceEnumerator(SerialDeviceEnumerator enumerator)
{
    SerialDeviceEnumerator previous = std::move(current());
    current() = std::move(enumerator);
    return previous;
}

} // namespace talverin

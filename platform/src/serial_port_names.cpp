#include <platform/comm_port_names.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace plat {
namespace {

std::mutex g_mutex;
std::map<int, std::string>& extPorts()
{
    static auto* ports = new std::map<int, std::string>(); // outlives every static destructor
    return *ports;
}

struct DefaultRange {
    int first, last;
    const char* prefix;
};
constexpr DefaultRange kDefaults[] = {
    {1, 4, "/dev/ttyS"},
    {5, 20, "/dev/ttyUSB"},
    {21, 36, "/dev/ttyACM"},
};

std::string defaultDevice(int n)
{
    for (const auto& r : kDefaults)
        if (n >= r.first && n <= r.last)
            return r.prefix + std::to_string(n - r.first);
    return {};
}

} // namespace

int CommPortNumber(const std::string& name)
{
    if (name.size() < 4 || name.size() > 6)
        return 0;
    if (std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
        std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
        std::toupper(static_cast<unsigned char>(name[2])) != 'M')
        return 0;
    if (name[3] == '0')
        return 0; // "COM01" is not a port name
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return 0;
        n = n * 10 + (name[i] - '0');
    }
    return (n >= 1 && n <= 256) ? n : 0;
}

void SetExtPort(const std::string& comName, const std::string& devicePath)
{
    const int n = CommPortNumber(comName);
    if (n == 0)
        return;
    std::lock_guard lock(g_mutex);
    if (devicePath.empty())
        extPorts().erase(n);
    else
        extPorts()[n] = devicePath;
}

void ClearExtPorts()
{
    std::lock_guard lock(g_mutex);
    extPorts().clear();
}

std::vector<std::pair<std::string, std::string>> ExtPorts()
{
    std::lock_guard lock(g_mutex);
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& [n, path] : extPorts())
        out.emplace_back("COM" + std::to_string(n), path);
    return out;
}

std::string CommPortDevicePath(const std::string& portName)
{
    std::string name = portName;
    if (name.rfind("\\\\.\\", 0) == 0)
        name.erase(0, 4);
    if (!name.empty() && name[0] == '/')
        return name;
    const int n = CommPortNumber(name);
    if (n == 0)
        return {};
    {
        std::lock_guard lock(g_mutex);
        auto it = extPorts().find(n);
        if (it != extPorts().end())
            return it->second;
    }
    return defaultDevice(n);
}

std::string CommPortNameForDevice(const std::string& devicePath)
{
    if (devicePath.empty())
        return {};
    {
        std::lock_guard lock(g_mutex);
        for (const auto& [n, path] : extPorts())
            if (path == devicePath)
                return "COM" + std::to_string(n);
    }
    for (const auto& r : kDefaults) {
        const std::string prefix = r.prefix;
        if (devicePath.rfind(prefix, 0) != 0)
            continue;
        const std::string rest = devicePath.substr(prefix.size());
        if (rest.empty() || rest.size() > 2 ||
            !std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        if (rest.size() == 2 && rest[0] == '0')
            continue;
        const int n = r.first + std::stoi(rest);
        if (n > r.last)
            continue;
        // A port that [ExtPort] moved elsewhere no longer owns its default device.
        std::lock_guard lock(g_mutex);
        if (extPorts().count(n))
            continue;
        return "COM" + std::to_string(n);
    }
    return {};
}

} // namespace plat

#include "connection/PortList.h"

#include <platform/comm_port_names.h>
#include <platform/profile.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace talverin {

namespace {

// A device path as written in the settings file: one pair of enclosing quotes removed.
std::string unquoted(std::string value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

std::string comName(int n)
{
    return "COM" + std::to_string(n);
}

} // namespace

int ExtPortNumber(std::string_view key)
{
    if (key.size() < 4)
        return 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(key[i])) != "COM"[i])
            return 0;
    }
    int n = 0;
    std::size_t i = 3;
    for (; i < key.size() && std::isdigit(static_cast<unsigned char>(key[i])) && n <= 256; ++i)
        n = n * 10 + (key[i] - '0');
    return i > 3 && n >= 1 && n <= 256 ? n : 0;
}

plat::UINT PortMenuId(std::string_view name)
{
    const int n = ExtPortNumber(name);
    return n ? static_cast<plat::UINT>(ID_PORT_FIRST - 1 + n) : 0;
}

bool SamePortName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> PortList::PortNames(const std::vector<std::string>& devices,
                                             const std::vector<plat::profile::Entry>& extPorts)
{
    plat::ClearExtPorts();
    std::set<int> extNumbers;
    for (const plat::profile::Entry& line : extPorts) {
        const int n = ExtPortNumber(line.key);
        // The first line of a name wins, as a lookup by key would find it.
        if (n && extNumbers.insert(n).second)
            plat::SetExtPort(comName(n), unquoted(line.value));
    }

    std::vector<int> numbers;
    auto listed = [&](int n) { return std::find(numbers.begin(), numbers.end(), n) != numbers.end(); };
    std::vector<std::string> unnamed;
    for (const std::string& device : devices) {
        const int n = ExtPortNumber(plat::CommPortNameForDevice(device));
        if (n == 0)
            unnamed.push_back(device);
        else if (!listed(n))
            numbers.push_back(n);
    }
    std::sort(unnamed.begin(), unnamed.end());
    unnamed.erase(std::unique(unnamed.begin(), unnamed.end()), unnamed.end());
    int next = kFirstFreePortNumber;
    for (const std::string& device : unnamed) {
        while (next <= 256 && (listed(next) || extNumbers.count(next)))
            ++next;
        if (next > 256)
            break;
        plat::SetExtPort(comName(next), device);
        numbers.push_back(next);
    }
    for (const int n : extNumbers) {
        if (!listed(n))
            numbers.push_back(n);
    }
    std::stable_sort(numbers.begin(), numbers.end());
    std::vector<std::string> names;
    names.reserve(numbers.size());
    for (const int n : numbers)
        names.push_back(comName(n));
    return names;
}

void PortList::Build(const std::vector<std::string>& devices, const std::string& settingsPath,
                     const DefaultConfig& defaults)
{
    m_records.clear();
    for (const std::string& name : PortNames(devices, plat::profile::sectionEntries(settingsPath, "ExtPort"))) {
        auto record = std::make_unique<PortRecord>(name);
        const std::optional<std::string> value = plat::profile::find(settingsPath, "Port", name);
        if (value && !value->empty()) {
            ApplyPortValue(record->Dcb(), *value);
        } else if (defaults) {
            plat::DCB dcb = record->Dcb();
            if (defaults(name, dcb))
                record->Dcb() = dcb;
        }
        m_records.push_back(std::move(record));
    }
}

PortRecord* PortList::Find(std::string_view name) const
{
    for (const auto& record : m_records) {
        if (SamePortName(record->m_name, name))
            return record.get();
    }
    return nullptr;
}

PortRecord& PortList::FindOrAdd(std::string_view name)
{
    if (PortRecord* record = Find(name))
        return *record;
    m_records.push_back(std::make_unique<PortRecord>(std::string(name)));
    return *m_records.back();
}

PortRecord* PortList::ConnectRecord(std::string_view connectName) const
{
    if (PortRecord* record = Find(connectName))
        return record;
    return m_records.empty() ? nullptr : m_records.front().get();
}

bool PortList::WriteBack(const std::string& settingsPath)
{
    // Every port in one rewrite: one failure, and the file is never left with half of them.
    plat::profile::Edit edit(settingsPath);
    bool ok = true;
    for (const auto& record : m_records) {
        if (record->Dcb().BaudRate != 0)
            ok = edit.setString("Port", record->m_name, FormatPortValue(record->Dcb())) && ok;
    }
    m_records.clear();
    return edit.commit() && ok;
}

} // namespace talverin

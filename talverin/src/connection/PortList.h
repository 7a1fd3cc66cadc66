// The frame's serial port records: which ports exist (the system's serial devices plus the
// settings file's [ExtPort] lines), each one's line settings from [Port], which one Connect opens,
// and the write-back of the settings when the frame goes.
//
// Port names are "COMn" everywhere, and a name reaches its device through the platform's port map
// (comm_port_names.h). Building the list fills that map: every [ExtPort] line COMn=<device> maps
// the name (so a pseudo-terminal such as the simulated driver's becomes a port), and a system
// device that no name covers gets the lowest free number from 37 up, in device-path order, for
// this run only.
#pragma once

#include "connection/PortRecord.h"

#include <platform/dcb.h>
#include <platform/profile.h>
#include <platform/types.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace talverin {

// Menu ids of the port items: "COMn" is 14999 + n.
inline constexpr plat::UINT ID_PORT_FIRST = 15000;
inline constexpr plat::UINT ID_PORT_LAST = 15255;
// The first number an unnamed system device may get.
inline constexpr int kFirstFreePortNumber = 37;

// The number of an [ExtPort] key: "COM" (any case) and a number from 1 to 256 right after it;
// 0 for any other key.
int ExtPortNumber(std::string_view key);
// The menu id of a port name: 14999 + its number; 0 when the name has no number.
plat::UINT PortMenuId(std::string_view name);
// Names compare without regard to case.
bool SamePortName(std::string_view a, std::string_view b);

class PortList {
public:
    // The defaults of a port without a [Port] value; false leaves the record's own defaults.
    using DefaultConfig = std::function<bool(const std::string& name, plat::DCB& dcb)>;

    // The port names, sorted by number: the devices (system paths, discovery order) named through
    // the port map after the [ExtPort] lines were put into it, then every [ExtPort] name not listed
    // yet. Replaces the platform's port map.
    static std::vector<std::string> PortNames(const std::vector<std::string>& devices,
                                              const std::vector<plat::profile::Entry>& extPorts);

    // Makes the records for the devices and the settings file (replacing any made before).
    void Build(const std::vector<std::string>& devices, const std::string& settingsPath, const DefaultConfig& defaults);

    const std::vector<std::unique_ptr<PortRecord>>& Records() const { return m_records; }
    bool IsEmpty() const { return m_records.empty(); }
    PortRecord* Find(std::string_view name) const;
    // The record of the name; one with the default settings is appended when there is none.
    PortRecord& FindOrAdd(std::string_view name);
    // The record whose name is the Connect name (without regard to case), else the first; null
    // without records.
    PortRecord* ConnectRecord(std::string_view connectName) const;

    // Writes the [Port] value of every record whose rate is not 0 and empties the list. False when
    // a value could not be written (the others are written all the same).
    bool WriteBack(const std::string& settingsPath);

private:
    std::vector<std::unique_ptr<PortRecord>> m_records;
};

} // namespace talverin

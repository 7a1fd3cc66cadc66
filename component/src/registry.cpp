#include "component/registry.h"

#include <platform/paths.h>
#include <platform/profile.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace comp {

namespace profile = plat::profile;

namespace {

std::mutex& overrideMutex()
{
    static std::mutex m;
    return m;
}

std::string& overridePath()
{
    static std::string path;
    return path;
}

std::string classSection(const Guid& clsid) { return "CLSID\\" + clsid.toString(); }
std::string progIdSection(const std::string& progId) { return "ProgID\\" + progId; }
std::string typeLibSection(const Guid& libId) { return "TypeLib\\" + libId.toString(); }
std::string interfaceSection(const Guid& iid) { return "Interface\\" + iid.toString(); }

// Removing what is not there succeeds without touching the file (which may not exist).
bool removeIfPresent(const std::string& file, const std::string& section)
{
    return !profile::hasSection(file, section) || profile::removeSection(file, section);
}

std::string hex(std::uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%05X", v);
    return buf;
}

std::uint32_t parseNumber(const std::string& text)
{
    return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 0));
}

} // namespace

std::string Registry::defaultPath()
{
    {
        std::lock_guard lock(overrideMutex());
        if (!overridePath().empty())
            return overridePath();
    }
    if (const char* env = std::getenv("TALVERIN_COMPONENTS"); env && *env)
        return env;
    return plat::JoinPath(plat::GetProgramFolder(), "components.ini");
}

void Registry::setDefaultPath(std::string path)
{
    std::lock_guard lock(overrideMutex());
    overridePath() = std::move(path);
}

bool Registry::writeClass(const ClassEntry& e)
{
    const std::string section = classSection(e.clsid);
    // A previous registration of the class may have named another ProgID.
    if (auto old = findClass(e.clsid); old && old->progId != e.progId && !old->progId.empty())
        profile::removeSection(m_path, progIdSection(old->progId));
    if (!removeIfPresent(m_path, section))
        return false;
    bool ok = profile::setString(m_path, section, "ProgID", e.progId)
              && profile::setString(m_path, section, "TypeName", e.typeName)
              && profile::setString(m_path, section, "Path", e.path)
              && profile::setString(m_path, section, "ThreadingModel", e.threadingModel)
              && profile::setString(m_path, section, "MiscStatus", hex(e.miscStatus))
              && profile::setString(m_path, section, "Control", "1")
              && profile::setString(m_path, section, "ToolboxBitmap", e.path + ",1")
              && profile::setString(m_path, section, "Verbs", e.verbs);
    if (ok && e.insertable)
        ok = profile::setString(m_path, section, "Insertable", "1");
    if (ok && e.typeLib)
        ok = profile::setString(m_path, section, "TypeLib", e.typeLib->toString())
             && profile::setString(m_path, section, "Version", e.typeLibVersion);
    if (ok && !e.progId.empty())
        ok = removeIfPresent(m_path, progIdSection(e.progId))
             && profile::setString(m_path, progIdSection(e.progId), "CLSID", e.clsid.toString())
             && profile::setString(m_path, progIdSection(e.progId), "TypeName", e.typeName);
    if (!ok) {
        profile::removeSection(m_path, section);
        if (!e.progId.empty())
            profile::removeSection(m_path, progIdSection(e.progId));
    }
    return ok;
}

bool Registry::removeClass(const Guid& clsid)
{
    bool ok = true;
    if (auto old = findClass(clsid); old && !old->progId.empty())
        ok = removeIfPresent(m_path, progIdSection(old->progId));
    return removeIfPresent(m_path, classSection(clsid)) && ok;
}

bool Registry::writeTypeLib(const TypeLibEntry& e)
{
    if (!removeTypeLib(e.libId))
        return false;
    const std::string section = typeLibSection(e.libId);
    bool ok = profile::setString(m_path, section, "Name", e.name)
              && profile::setString(m_path, section, "Version", e.version)
              && profile::setInt(m_path, section, "Lcid", e.lcid)
              && profile::setString(m_path, section, "HelpFile", e.helpFile)
              && profile::setString(m_path, section, "Path", e.path);
    for (const InterfaceEntry& i : e.interfaces) {
        if (!ok)
            break;
        const std::string is = interfaceSection(i.iid);
        ok = removeIfPresent(m_path, is) && profile::setString(m_path, is, "Name", i.name)
             && profile::setString(m_path, is, "TypeLib", e.libId.toString())
             && profile::setString(m_path, is, "Version", e.version)
             && profile::setString(m_path, is, "Role", i.role);
    }
    if (!ok)
        removeTypeLib(e.libId);
    return ok;
}

bool Registry::removeTypeLib(const Guid& libId)
{
    bool ok = true;
    const std::string lib = libId.toString();
    for (const std::string& s : profile::sectionNames(m_path)) {
        if (s.rfind("Interface\\", 0) == 0 && profile::getString(m_path, s, "TypeLib") == lib)
            ok = profile::removeSection(m_path, s) && ok;
    }
    return removeIfPresent(m_path, typeLibSection(libId)) && ok;
}

std::optional<ClassEntry> Registry::findClass(const Guid& clsid) const
{
    // One read of the file for the whole entry: a form creates dozens of controls. A class
    // section without values registers nothing.
    const std::vector<profile::Entry> entries = profile::sectionEntries(m_path, classSection(clsid));
    if (entries.empty())
        return std::nullopt;
    auto find = [&entries](std::string_view key) -> std::optional<std::string> {
        for (const profile::Entry& entry : entries) {
            if (entry.key.size() != key.size()
                || !std::equal(key.begin(), key.end(), entry.key.begin(), [](char a, char b) {
                       return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                   }))
                continue;
            std::string v = entry.value;
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
                v = v.substr(1, v.size() - 2);
            return v;
        }
        return std::nullopt;
    };
    auto get = [&find](std::string_view key, const char* fallback = "") { return find(key).value_or(fallback); };
    ClassEntry e;
    e.clsid = clsid;
    e.progId = get("ProgID");
    e.typeName = get("TypeName");
    e.path = get("Path");
    e.threadingModel = get("ThreadingModel");
    e.miscStatus = parseNumber(get("MiscStatus", "0"));
    e.insertable = find("Insertable").has_value();
    e.verbs = get("Verbs");
    if (auto lib = find("TypeLib"))
        e.typeLib = Guid::fromString(*lib);
    e.typeLibVersion = get("Version");
    return e;
}

std::optional<Guid> Registry::clsidFromProgId(const std::string& progId) const
{
    auto text = profile::find(m_path, progIdSection(progId), "CLSID");
    if (!text)
        return std::nullopt;
    return Guid::fromString(*text);
}

std::optional<TypeLibEntry> Registry::findTypeLib(const Guid& libId) const
{
    const std::string section = typeLibSection(libId);
    if (!profile::hasSection(m_path, section))
        return std::nullopt;
    TypeLibEntry e;
    e.libId = libId;
    e.name = profile::getString(m_path, section, "Name");
    e.version = profile::getString(m_path, section, "Version");
    e.lcid = profile::getInt(m_path, section, "Lcid", 0);
    e.helpFile = profile::getString(m_path, section, "HelpFile");
    e.path = profile::getString(m_path, section, "Path");
    const std::string lib = libId.toString();
    for (const std::string& s : profile::sectionNames(m_path)) {
        if (s.rfind("Interface\\", 0) != 0 || profile::getString(m_path, s, "TypeLib") != lib)
            continue;
        if (auto iid = Guid::fromString(s.substr(10)))
            e.interfaces.push_back({*iid, profile::getString(m_path, s, "Name"),
                                    profile::getString(m_path, s, "Role")});
    }
    return e;
}

std::vector<ClassEntry> Registry::classes() const
{
    std::vector<ClassEntry> out;
    for (const std::string& s : profile::sectionNames(m_path)) {
        if (s.rfind("CLSID\\", 0) != 0)
            continue;
        if (auto clsid = Guid::fromString(s.substr(6)))
            if (auto e = findClass(*clsid))
                out.push_back(std::move(*e));
    }
    return out;
}

} // namespace comp

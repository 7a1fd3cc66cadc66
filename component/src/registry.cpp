#include "component/registry.h"

#include <platform/paths.h>
#include <platform/profile.h>

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
    return plat::JoinPath(plat::GetPluginFolder(), "components.ini");
}

void Registry::setDefaultPath(std::string path)
{
    std::lock_guard lock(overrideMutex());
    overridePath() = std::move(path);
}

// Plug-ins below the registry's folder are stored relative to it, so a copied program folder
// still finds its controls; others keep their absolute path.
std::string Registry::storedPath(const std::string& path) const
{
    const std::string folder = plat::FolderOf(m_path);
    if (folder.empty() || path.empty() || path.front() != '/')
        return path;
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0)
        return path.substr(prefix.size());
    return path;
}

std::string Registry::resolvedPath(const std::string& stored) const
{
    if (stored.empty() || stored.front() == '/')
        return stored;
    const std::string folder = plat::FolderOf(m_path);
    return folder.empty() ? stored : plat::JoinPath(folder, stored);
}

bool Registry::writeClass(const ClassEntry& e)
{
    const std::string section = classSection(e.clsid);
    const std::string path = storedPath(e.path);
    // All of it in one rewrite: a class is never left half registered.
    profile::Edit edit(m_path);
    // A previous registration of the class may have named another ProgID.
    if (auto old = findClass(e.clsid); old && old->progId != e.progId && !old->progId.empty())
        edit.removeSection(progIdSection(old->progId));
    edit.removeSection(section);
    edit.setString(section, "ProgID", e.progId);
    edit.setString(section, "TypeName", e.typeName);
    edit.setString(section, "Path", path);
    edit.setString(section, "ThreadingModel", e.threadingModel);
    edit.setString(section, "MiscStatus", hex(e.miscStatus));
    edit.setString(section, "Control", "1");
    edit.setString(section, "ToolboxBitmap", path + ",1");
    edit.setString(section, "Verbs", e.verbs);
    if (e.insertable)
        edit.setString(section, "Insertable", "1");
    if (e.typeLib) {
        edit.setString(section, "TypeLib", e.typeLib->toString());
        edit.setString(section, "Version", e.typeLibVersion);
    }
    if (!e.progId.empty()) {
        const std::string ps = progIdSection(e.progId);
        edit.removeSection(ps);
        edit.setString(ps, "CLSID", e.clsid.toString());
        edit.setString(ps, "TypeName", e.typeName);
    }
    return edit.commit();
}

bool Registry::removeClass(const Guid& clsid)
{
    profile::Edit edit(m_path);
    if (auto old = findClass(clsid); old && !old->progId.empty())
        edit.removeSection(progIdSection(old->progId));
    edit.removeSection(classSection(clsid));
    return edit.commit();
}

bool Registry::writeTypeLib(const TypeLibEntry& e)
{
    profile::Edit edit(m_path);
    removeTypeLib(e.libId, edit);
    const std::string section = typeLibSection(e.libId);
    edit.setString(section, "Name", e.name);
    edit.setString(section, "Version", e.version);
    edit.setInt(section, "Lcid", e.lcid);
    edit.setString(section, "HelpFile", e.helpFile);
    edit.setString(section, "Path", storedPath(e.path));
    for (const InterfaceEntry& i : e.interfaces) {
        const std::string is = interfaceSection(i.iid);
        edit.removeSection(is);
        edit.setString(is, "Name", i.name);
        edit.setString(is, "TypeLib", e.libId.toString());
        edit.setString(is, "Version", e.version);
        edit.setString(is, "Role", i.role);
    }
    return edit.commit();
}

void Registry::removeTypeLib(const Guid& libId, profile::Edit& edit) const
{
    const std::string lib = libId.toString();
    const profile::Snapshot snap(m_path);
    for (const std::string& s : snap.sectionNames()) {
        if (s.rfind("Interface\\", 0) == 0 && snap.getString(s, "TypeLib") == lib)
            edit.removeSection(s);
    }
    edit.removeSection(typeLibSection(libId));
}

bool Registry::removeTypeLib(const Guid& libId)
{
    profile::Edit edit(m_path);
    removeTypeLib(libId, edit);
    return edit.commit();
}

std::optional<ClassEntry> Registry::findClass(const Guid& clsid) const
{
    // One read of the file for the whole entry: a form creates dozens of controls.
    return readClass(profile::Snapshot(m_path), clsid);
}

std::optional<ClassEntry> Registry::readClass(const profile::Snapshot& snap, const Guid& clsid) const
{
    const std::string section = classSection(clsid);
    // A class section without values registers nothing.
    if (snap.sectionEntries(section).empty())
        return std::nullopt;
    ClassEntry e;
    e.clsid = clsid;
    e.progId = snap.getString(section, "ProgID");
    e.typeName = snap.getString(section, "TypeName");
    e.path = resolvedPath(snap.getString(section, "Path"));
    e.threadingModel = snap.getString(section, "ThreadingModel");
    e.miscStatus = parseNumber(snap.getString(section, "MiscStatus", "0"));
    e.insertable = snap.find(section, "Insertable").has_value();
    e.verbs = snap.getString(section, "Verbs");
    if (auto lib = snap.find(section, "TypeLib"))
        e.typeLib = Guid::fromString(*lib);
    e.typeLibVersion = snap.getString(section, "Version");
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
    const profile::Snapshot snap(m_path);
    const std::string section = typeLibSection(libId);
    if (!snap.hasSection(section))
        return std::nullopt;
    TypeLibEntry e;
    e.libId = libId;
    e.name = snap.getString(section, "Name");
    e.version = snap.getString(section, "Version");
    e.lcid = snap.getInt(section, "Lcid", 0);
    e.helpFile = snap.getString(section, "HelpFile");
    e.path = resolvedPath(snap.getString(section, "Path"));
    const std::string lib = libId.toString();
    for (const std::string& s : snap.sectionNames()) {
        if (s.rfind("Interface\\", 0) != 0 || snap.getString(s, "TypeLib") != lib)
            continue;
        if (auto iid = Guid::fromString(s.substr(10)))
            e.interfaces.push_back({*iid, snap.getString(s, "Name"), snap.getString(s, "Role")});
    }
    return e;
}

std::vector<ClassEntry> Registry::classes() const
{
    const profile::Snapshot snap(m_path);
    std::vector<ClassEntry> out;
    for (const std::string& s : snap.sectionNames()) {
        if (s.rfind("CLSID\\", 0) != 0)
            continue;
        if (auto clsid = Guid::fromString(s.substr(6)))
            if (auto e = readClass(snap, *clsid))
                out.push_back(std::move(*e));
    }
    return out;
}

} // namespace comp

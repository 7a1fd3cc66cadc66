// The component registry: which plug-in file provides which class, under which ProgID, with which
// type library. A settings file in the profile-string format, written through the platform's
// profile functions:
//
//   [CLSID\{...}]      ProgID, TypeName, Path, ThreadingModel, MiscStatus, Insertable (only when
//                      insertable), Control, ToolboxBitmap, Verbs, TypeLib, Version
//   [ProgID\<progid>]  CLSID, TypeName
//   [TypeLib\{...}]    Name, Version, Lcid, HelpFile, Path
//   [Interface\{...}]  Name, TypeLib, Version, Role (dispatch or events)
//
// The file is $TALVERIN_COMPONENTS, or components.ini in the plug-in folder. A Path below the
// file's folder is stored relative to it and read back absolute, so a copied program folder finds
// its controls; every write is one atomic rewrite.
#pragma once

#include "component/guid.h"

#include <platform/profile.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace comp {

struct ClassEntry {
    Guid clsid;
    std::string progId;
    std::string typeName;
    std::string path; // the plug-in file
    std::string threadingModel = "Apartment";
    std::uint32_t miscStatus = 0;
    bool insertable = false;
    std::string verbs;
    std::optional<Guid> typeLib;
    std::string typeLibVersion = "1.0";
};

struct InterfaceEntry {
    Guid iid;
    std::string name;
    std::string role; // "dispatch" or "events"
};

struct TypeLibEntry {
    Guid libId;
    std::string name;
    std::string version = "1.0";
    int lcid = 0;
    std::string helpFile;
    std::string path;
    std::vector<InterfaceEntry> interfaces;
};

class Registry {
public:
    explicit Registry(std::string path) : m_path(std::move(path)) {}

    // The override set for this process, else $TALVERIN_COMPONENTS, else
    // <plug-in folder>/components.ini.
    static std::string defaultPath();
    // Overrides the location for this process (the registration program's option, tests); an
    // empty path drops the override.
    static void setDefaultPath(std::string path);

    const std::string& path() const { return m_path; }

    // Writes replace any earlier entry of the same class or library, each in one atomic rewrite.
    // false (with the platform's last error) when the file cannot be written; it is then as it
    // was.
    bool writeClass(const ClassEntry& entry);
    bool removeClass(const Guid& clsid);
    bool writeTypeLib(const TypeLibEntry& entry);
    bool removeTypeLib(const Guid& libId);

    std::optional<ClassEntry> findClass(const Guid& clsid) const;
    std::optional<Guid> clsidFromProgId(const std::string& progId) const;
    std::optional<TypeLibEntry> findTypeLib(const Guid& libId) const;
    std::vector<ClassEntry> classes() const;

private:
    std::string storedPath(const std::string& path) const;
    std::string resolvedPath(const std::string& stored) const;
    std::optional<ClassEntry> readClass(const plat::profile::Snapshot& snap, const Guid& clsid) const;
    void removeTypeLib(const Guid& libId, plat::profile::Edit& edit) const;

    std::string m_path;
};

} // namespace comp

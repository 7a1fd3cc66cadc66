// Where the program and its libraries live, and temporary file names. Paths use '/'; folder
// results carry no trailing '/' (except the root "/").
#pragma once

#include "platform/types.h"

#include <string>
#include <string_view>

namespace plat {

// GetModuleFileName: module == nullptr gives the executable (/proc/self/exe); otherwise the
// absolute path of the executable or shared object that contains the address, so a plug-in can
// find its own file by passing the address of one of its functions or objects. "" with the last
// error set when it cannot be found.
std::string GetModuleFileName(const void* addressInModule = nullptr);

// The program folder, where the settings file and the unit files live: the folder of the
// executable, or, for a program installed under a prefix (the executable in <prefix>/bin without a
// settings file beside it), <prefix>/share/talverin. It can be overridden (tests, or a program
// started from a copy elsewhere); an empty path drops the override.
std::string GetProgramFolder();
void SetProgramFolder(std::string folder);
// Where the control plug-ins and their registry are: the program folder, or, installed,
// <prefix>/lib/talverin (the overridden program folder when there is one).
std::string GetPluginFolder();

// The folder part of a path (up to, not including, the last '/'; "." when there is none) and
// the part after it. Backslashes count as separators too, since settings and documents may hold
// Windows-style paths.
std::string FolderOf(std::string_view path);
std::string FileNameOf(std::string_view path);
// folder + '/' + name, without doubling the separator; an absolute name is returned as it is.
std::string JoinPath(std::string_view folder, std::string_view name);
// The path with its extension (from the last '.' of the file name) replaced; an empty extension
// removes it. ReplaceExtension("/a/Talverin", ".ini") == "/a/Talverin.ini".
std::string ReplaceExtension(std::string_view path, std::string_view extension);

bool FileExists(const std::string& path);      // a regular file (links followed)
bool DirectoryExists(const std::string& path);

// GetTempPath: $TMPDIR when it is a folder, else /tmp.
std::string GetTempPath();
// GetTempFileName with unique 0: creates a new empty file "<folder>/<prefix up to 3
// characters><random>.tmp" and returns its path; "" with the last error set on failure. An empty
// folder means GetTempPath().
std::string GetTempFileName(std::string_view folder, std::string_view prefix);

} // namespace plat

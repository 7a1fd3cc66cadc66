// Makes the desktop know the document type at every start: the MIME package (".zrd" files are
// application/x-talverin-document) and a desktop entry that opens them with this program, under
// $XDG_DATA_HOME (unset: ~/.local/share). A file is rewritten only when it is missing or differs,
// always atomically; then the MIME database is rebuilt by a detached update-mime-database.
// Nothing here ever reports a failure: a desktop that cannot be told is no reason not to start.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace talverin {

inline constexpr const char* kDocumentMimeType = "application/x-talverin-document";

// The user's data folder: $XDG_DATA_HOME when set and absolute, else $HOME/.local/share; empty
// when neither can be told.
std::string DataHomeFolder();

// An argument of a desktop entry's Exec line, always quoted: '"', '`', '$' and '\' escaped inside
// the quotes, then every '\' doubled again for the file's string syntax, and '%' written "%%".
std::string DesktopExecArgument(std::string_view argument);

std::string MimePackageText();
std::string DesktopEntryText(std::string_view programPath);

// Writes <data home>/mime/packages/talverin.xml and <data home>/applications/talverin.desktop
// as needed and runs the updater when one of them was written. True when something was written.
bool RegisterShellFileTypes(const std::string& programPath);

// What rebuilds the MIME database (given <data home>/mime). The default starts
// update-mime-database detached; tests install their own. Returns the previous one.
using MimeDatabaseUpdater = std::function<void(const std::string& mimeFolder)>;
MimeDatabaseUpdater SetMimeDatabaseUpdater(MimeDatabaseUpdater updater);

} // namespace talverin

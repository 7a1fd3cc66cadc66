#include "app/ShellRegistration.h"

#include <platform/paths.h>
#include <platform/process.h>
#include <platform/text.h>

#include <cstdlib>
#include <filesystem>

namespace talverin {

namespace {

void startUpdateMimeDatabase(const std::string& mimeFolder)
{
    // Left to run on its own: the child is reaped whenever it ends.
    plat::Process process;
    process.start({"update-mime-database", mimeFolder});
}

MimeDatabaseUpdater& updater()
{
    static MimeDatabaseUpdater current = startUpdateMimeDatabase;
    return current;
}

// True when the file had to be (and could be) written.
bool writeWhenDifferent(const std::string& path, const std::string& text)
{
    std::string existing;
    if (plat::ReadFileBytes(path, existing) && existing == text)
        return false;
    std::error_code ec;
    std::filesystem::create_directories(plat::FolderOf(path), ec);
    return !ec && plat::WriteFileAtomic(path, text);
}

} // namespace

std::string DataHomeFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return plat::JoinPath(home, ".local/share");
    return {};
}

std::string DesktopExecArgument(std::string_view argument)
{
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted.push_back('\\');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    std::string out;
    for (const char c : quoted) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '%')
            out += "%%";
        else
            out.push_back(c);
    }
    return out;
}

std::string MimePackageText()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                       "  <mime-type type=\"") + kDocumentMimeType + "\">\n"
           "    <comment>Talverin Document</comment>\n"
           "    <glob pattern=\"*.zrd\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

std::string DesktopEntryText(std::string_view programPath)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=KVX TALVERIN\n"
           "Exec=" + DesktopExecArgument(programPath) + " %f\n"
           "MimeType=" + kDocumentMimeType + ";\n"
           "Terminal=false\n";
}

bool RegisterShellFileTypes(const std::string& programPath)
{
    const std::string home = DataHomeFolder();
    if (home.empty() || programPath.empty())
        return false;
    const std::string mimeFolder = plat::JoinPath(home, "mime");
    const bool mime = writeWhenDifferent(plat::JoinPath(mimeFolder, "packages/talverin.xml"), MimePackageText());
    const bool desktop = writeWhenDifferent(plat::JoinPath(home, "applications/talverin.desktop"),
                                            DesktopEntryText(programPath));
    if ((mime || desktop) && updater())
        updater()(mimeFolder);
    return mime || desktop;
}

MimeDatabaseUpdater SetMimeDatabaseUpdater(MimeDatabaseUpdater replacement)
{
    MimeDatabaseUpdater previous = std::move(updater());
    updater() = std::move(replacement);
    return previous;
}

} // namespace talverin

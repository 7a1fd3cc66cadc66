// The data store's keys of the settings file, and the profile helpers the rest of the program
// uses for its own keys.
#include "model/DataFile.h"

#include "model/NumberText.h"

#include <platform/errors.h>
#include <platform/language.h>
#include <platform/paths.h>
#include <platform/profile.h>
#include <platform/text.h>

#include <algorithm>

#include <unistd.h>

namespace model {

namespace {

constexpr std::size_t kProfileBufferSize = 1024;

std::string numbered(const char* prefix, int n)
{
    return prefix + std::to_string(n);
}

// Values are single lines in the settings file; a line break in a value would make the writer
// refuse the whole save.
std::string singleLine(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return out;
}

// A scratch copy of the settings file in the temporary folder, removed when it goes out of scope.
class ScratchFile {
public:
    ScratchFile() : m_path(plat::GetTempFileName({}, "tvs")) {}
    ~ScratchFile()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

std::string CDataFile::programFolder() const
{
    return m_programFolder.empty() ? plat::GetProgramFolder() : m_programFolder;
}

std::string CDataFile::GetProfileString(std::string_view section, std::string_view key,
                                        std::string_view defaultValue, const std::string& file) const
{
    char buffer[kProfileBufferSize] = {};
    const std::string s(section);
    const std::string k(key);
    const std::string d(defaultValue);
    plat::GetPrivateProfileString(s.c_str(), k.c_str(), d.c_str(), buffer, sizeof buffer, file.c_str());
    return plat::Trim(buffer);
}

int CDataFile::MakeAbsolutePath(std::string& path) const
{
    if (path.size() < 2 || path[0] != '.' || (path[1] != '\\' && path[1] != '/'))
        return 0;
    std::string rest = path.substr(2);
    for (char& c : rest) {
        if (c == '\\')
            c = '/';
    }
    std::string folder = programFolder();
    if (folder.empty() || folder.back() != '/')
        folder.push_back('/');
    path = folder + rest;
    return 1;
}

std::string CDataFile::GetProfilePath(std::string_view section, std::string_view key,
                                      std::string_view defaultValue, const std::string& file) const
{
    std::string path = GetProfileString(section, key, defaultValue, file);
    MakeAbsolutePath(path);
    return path;
}

double CDataFile::GetProfileDouble(std::string_view section, std::string_view key, double defaultValue,
                                   const std::string& file) const
{
    const std::string text = GetProfileString(section, key, {}, file);
    return text.empty() ? defaultValue : ParseLeadingDouble(text);
}

int CDataFile::WriteProfileInt(std::string_view section, std::string_view key, int value,
                               const std::string& file) const
{
    return plat::profile::setString(file, section, key, FormatInt(value)) ? 1 : 0;
}

int CDataFile::WriteProfileString(std::string_view section, std::string_view key, std::string_view text,
                                  const std::string& file) const
{
    return plat::profile::setString(file, section, key, text) ? 1 : 0;
}

int CDataFile::LoadSettings(std::string_view path)
{
    if (!path.empty())
        m_settingsPath = std::string(path);
    const std::string& file = m_settingsPath;
    const bool japanese = plat::GetLanguage() == plat::LANG_JAPANESE;
    auto readInt = [&](const char* section, const char* key, int defaultValue) {
        return plat::profile::getInt(file, section, key, defaultValue);
    };

    m_helpFolder = GetProfilePath("Setting", "HelpFolder", japanese ? ".\\Help" : ".\\Help_en", file);
    m_editChannel = readInt("Setting", "EditChannel", 0);
    // The channel editor shows this channel at once; a garbled value must not point outside 0-255.
    if (m_editChannel < 0 || m_editChannel >= kChannelCount)
        m_editChannel = 0;

    m_startBitmap = GetProfilePath("StartMenu", "Bitmap", "", file);
    // Replaced, never appended: the settings are read again on every Open.
    m_startMenu.clear();
    for (int i = 1; i <= kStartMenuCount; ++i) {
        StartMenuItem item;
        item.m_index = i;
        item.Parse(GetProfileString("StartMenu", std::to_string(i), "", file));
        m_startMenu.push_back(std::move(item));
    }

    const int baudRate = readInt("Oscillo", "BaudRate", 0);
    m_captureBaudRate = baudRate > 0 ? baudRate : kDefaultBaudRate;
    m_baudRateSet = baudRate > 0 ? 1 : 0;
    m_drawMode = readInt("Oscillo", "DrawMode", 1);
    m_oscillo.m_lastDate = GetProfileString("Oscillo", "LastDate", "", file);
    m_oscillo.m_horzInfo.Parse(GetProfileString("Oscillo", "HorzInfo", "", file));
    m_oscillo.m_channels.clear();
    for (int i = 0; i < kOscilloChannelKeys; ++i) {
        const std::string value = GetProfileString("Oscillo", numbered("CH", i), "", file);
        if (value.empty())
            continue;
        OscilloChannelInfo info;
        info.Parse(value);
        m_oscillo.m_channels.push_back(std::move(info));
    }
    m_oscillo.m_cursorTH = GetProfileDouble("Oscillo", "CursorPosTH", 0.0, file);
    m_oscillo.m_cursorTV = GetProfileDouble("Oscillo", "CursorPosTV", 0.0, file);
    m_oscillo.m_triggerChannel = readInt("Oscillo", "TorggerChannel", 1);
    m_oscillo.m_slope = readInt("Oscillo", "Slope", 1);
    m_oscillo.m_cursorA = GetProfileDouble("Oscillo", "CursorPosA", 0.0, file);
    m_oscillo.m_cursorB = GetProfileDouble("Oscillo", "CursorPosB", 0.0, file);
    m_oscillo.m_zoom = readInt("Oscillo", "Zoom", 1);
    m_oscillo.m_captureInfo.Parse(GetProfileString("Oscillo", "HorzLogInfo", "", file));
    m_viewHistory.clear();
    for (int i = 1; i <= kViewHistoryCount; ++i) {
        std::string value = GetProfileString("Oscillo", numbered("Param", i), "", file);
        if (!value.empty())
            m_viewHistory.push_back(std::move(value));
    }

    const char* reports = japanese ? ".\\report\\" : ".\\report_en\\";
    m_reportParameter = GetProfilePath("PrintFile", "Parameter", std::string(reports) + "report_Parameter.html", file);
    m_reportIO = GetProfilePath("PrintFile", "IO", std::string(reports) + "report_io.html", file);
    m_reportChannel = GetProfilePath("PrintFile", "Channel", std::string(reports) + "report_channel.html", file);

    m_debug = readInt("Debug", "Debug", 0);
    return 1;
}

int CDataFile::SaveSettings(std::string_view path)
{
    if (!path.empty())
        m_settingsPath = std::string(path);
    if (m_settingsPath.empty()) {
        plat::SetLastError(plat::ERROR_INVALID_PARAMETER);
        return 0;
    }

    // The keys go into a scratch copy first and the file is replaced once, atomically, with the
    // result: a failure on the way leaves the old file exactly as it was.
    std::string bytes;
    if (plat::FileExists(m_settingsPath) && !plat::ReadFileBytes(m_settingsPath, bytes))
        return 0;
    const ScratchFile scratch;
    if (scratch.path().empty() || !plat::WriteFileAtomic(scratch.path(), bytes))
        return 0;
    const std::string& file = scratch.path();

    bool ok = WriteProfileInt("Setting", "EditChannel", m_editChannel, file) != 0;
    if (ok && m_baudRateSet == 1)
        ok = WriteProfileInt("Oscillo", "BaudRate", m_captureBaudRate, file) != 0;
    const int historyCount = static_cast<int>(std::min<std::size_t>(m_viewHistory.size(), kViewHistoryCount));
    for (int i = 1; ok && i <= kViewHistoryCount; ++i) {
        const std::string key = numbered("Param", i);
        // Keys past the end of the list go, so that no older entry comes back on the next load.
        ok = i <= historyCount
                 ? WriteProfileString("Oscillo", key, singleLine(m_viewHistory[static_cast<std::size_t>(i - 1)]), file) != 0
                 : plat::profile::removeKey(file, "Oscillo", key);
    }
    // An empty port name means the port list was never built; it must not wipe the user's choice.
    if (ok && !m_connectPort.empty())
        ok = WriteProfileString("Port", "Connect", singleLine(m_connectPort), file) != 0;

    std::string result;
    if (!ok || !plat::ReadFileBytes(file, result))
        return 0;
    return plat::WriteFileAtomic(m_settingsPath, result) ? 1 : 0;
}

} // namespace model

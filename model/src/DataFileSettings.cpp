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

// GetProfileString's reading, from a snapshot: the value cut as the fixed buffer cuts it, trimmed.
std::string snapshotString(const plat::profile::Snapshot& snap, std::string_view section,
                           std::string_view key, std::string_view defaultValue)
{
    std::string v = snap.getString(section, key, defaultValue);
    const std::size_t nul = v.find('\0');
    v.resize(std::min({v.size(), nul, kProfileBufferSize - 1}));
    return plat::Trim(v);
}

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
    // The file is parsed once for all its keys.
    const plat::profile::Snapshot snap(m_settingsPath);
    const bool japanese = plat::GetLanguage() == plat::LANG_JAPANESE;
    auto readInt = [&](const char* section, const char* key, int defaultValue) {
        return snap.getInt(section, key, defaultValue);
    };
    auto readString = [&](std::string_view section, std::string_view key, std::string_view def) {
        return snapshotString(snap, section, key, def);
    };
    auto readPath = [&](std::string_view section, std::string_view key, std::string_view def) {
        std::string value = snapshotString(snap, section, key, def);
        MakeAbsolutePath(value);
        return value;
    };
    auto readDouble = [&](std::string_view section, std::string_view key, double def) {
        const std::string text = snapshotString(snap, section, key, {});
        return text.empty() ? def : ParseLeadingDouble(text);
    };

    m_helpFolder = readPath("Setting", "HelpFolder", japanese ? ".\\Help" : ".\\Help_en");
    m_editChannel = readInt("Setting", "EditChannel", 0);
    // The channel editor shows this channel at once; a garbled value must not point outside 0-255.
    if (m_editChannel < 0 || m_editChannel >= kChannelCount)
        m_editChannel = 0;

    m_startBitmap = readPath("StartMenu", "Bitmap", "");
    // Replaced, never appended: the settings are read again on every Open.
    m_startMenu.clear();
    for (int i = 1; i <= kStartMenuCount; ++i) {
        StartMenuItem item;
        item.m_index = i;
        item.Parse(readString("StartMenu", std::to_string(i), ""));
        m_startMenu.push_back(std::move(item));
    }

    const int baudRate = readInt("Oscillo", "BaudRate", 0);
    m_captureBaudRate = baudRate > 0 ? baudRate : kDefaultBaudRate;
    m_baudRateSet = baudRate > 0 ? 1 : 0;
    m_drawMode = readInt("Oscillo", "DrawMode", 1);
    m_oscillo.m_lastDate = readString("Oscillo", "LastDate", "");
    m_oscillo.m_horzInfo.Parse(readString("Oscillo", "HorzInfo", ""));
    m_oscillo.m_channels.clear();
    for (int i = 0; i < kOscilloChannelKeys; ++i) {
        const std::string value = readString("Oscillo", numbered("CH", i), "");
        if (value.empty())
            continue;
        OscilloChannelInfo info;
        info.Parse(value);
        m_oscillo.m_channels.push_back(std::move(info));
    }
    m_oscillo.m_cursorTH = readDouble("Oscillo", "CursorPosTH", 0.0);
    m_oscillo.m_cursorTV = readDouble("Oscillo", "CursorPosTV", 0.0);
    m_oscillo.m_triggerChannel = readInt("Oscillo", "TorggerChannel", 1);
    m_oscillo.m_slope = readInt("Oscillo", "Slope", 1);
    m_oscillo.m_cursorA = readDouble("Oscillo", "CursorPosA", 0.0);
    m_oscillo.m_cursorB = readDouble("Oscillo", "CursorPosB", 0.0);
    m_oscillo.m_zoom = readInt("Oscillo", "Zoom", 1);
    m_oscillo.m_captureInfo.Parse(readString("Oscillo", "HorzLogInfo", ""));
    m_viewHistory.clear();
    for (int i = 1; i <= kViewHistoryCount; ++i) {
        std::string value = readString("Oscillo", numbered("Param", i), "");
        if (!value.empty())
            m_viewHistory.push_back(std::move(value));
    }

    const char* reports = japanese ? ".\\report\\" : ".\\report_en\\";
    m_reportParameter = readPath("PrintFile", "Parameter", std::string(reports) + "report_Parameter.html");
    m_reportIO = readPath("PrintFile", "IO", std::string(reports) + "report_io.html");
    m_reportChannel = readPath("PrintFile", "Channel", std::string(reports) + "report_channel.html");

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

    // All the keys in one rewrite, replacing the file atomically: a failure on the way leaves the
    // old file exactly as it was, and every line the data store does not own keeps its bytes.
    plat::profile::Edit edit(m_settingsPath);
    bool ok = edit.setString("Setting", "EditChannel", FormatInt(m_editChannel));
    if (ok && m_baudRateSet == 1)
        ok = edit.setString("Oscillo", "BaudRate", FormatInt(m_captureBaudRate));
    const int historyCount = static_cast<int>(std::min<std::size_t>(m_viewHistory.size(), kViewHistoryCount));
    for (int i = 1; ok && i <= kViewHistoryCount; ++i) {
        const std::string key = numbered("Param", i);
        // Keys past the end of the list go, so that no older entry comes back on the next load.
        ok = i <= historyCount
                 ? edit.setString("Oscillo", key, singleLine(m_viewHistory[static_cast<std::size_t>(i - 1)]))
                 : edit.removeKey("Oscillo", key);
    }
    // An empty port name means the port list was never built; it must not wipe the user's choice.
    if (ok && !m_connectPort.empty())
        ok = edit.setString("Port", "Connect", singleLine(m_connectPort));
    return ok && edit.commit() ? 1 : 0;
}

} // namespace model

#include "frame/RecentFileList.h"

#include <platform/profile.h>

#include <QStringList>

#include <algorithm>

namespace talverin {

namespace {

constexpr const char* kSection = "Recent File List";

std::string keyOf(int index)
{
    return "File" + std::to_string(index + 1);
}

} // namespace

RecentFileList::RecentFileList(int size) : m_size(size) {}

void RecentFileList::Add(const std::string& path)
{
    if (path.empty())
        return;
    m_paths.erase(std::remove(m_paths.begin(), m_paths.end(), path), m_paths.end());
    m_paths.insert(m_paths.begin(), path);
    if (static_cast<int>(m_paths.size()) > m_size)
        m_paths.resize(m_size);
    changed();
}

void RecentFileList::Remove(int index)
{
    if (index < 0 || index >= static_cast<int>(m_paths.size()))
        return;
    m_paths.erase(m_paths.begin() + index);
    changed();
}

void RecentFileList::ReadList(const std::string& settingsFile)
{
    m_paths.clear();
    for (int i = 0; i < m_size; ++i) {
        const std::string path = plat::profile::getString(settingsFile, kSection, keyOf(i));
        if (!path.empty() && std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end())
            m_paths.push_back(path);
    }
    changed();
}

bool RecentFileList::WriteList(const std::string& settingsFile) const
{
    bool ok = true;
    for (int i = 0; i < m_size; ++i) {
        if (i < static_cast<int>(m_paths.size()))
            ok = plat::profile::setString(settingsFile, kSection, keyOf(i), m_paths[i]) && ok;
        else
            ok = plat::profile::removeKey(settingsFile, kSection, keyOf(i)) && ok;
    }
    return ok;
}

void RecentFileList::changed()
{
    if (m_onChanged)
        m_onChanged();
}

QString ShortRecentFileName(const QString& path, const QString& home, int folderLength)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return path;
    QString folder = path.left(slash);
    const QString name = path.mid(slash + 1);
    const QString homeFolder = home.endsWith(QLatin1Char('/')) ? home.chopped(1) : home;
    if (!homeFolder.isEmpty() && (folder == homeFolder || folder.startsWith(homeFolder + QLatin1Char('/'))))
        folder = QLatin1Char('~') + folder.mid(homeFolder.size());
    if (folder.size() > folderLength) {
        // The first named folder (after the root's empty part) and the last one stay.
        const QStringList parts = folder.split(QLatin1Char('/'));
        const int first = parts.size() > 1 && parts.front().isEmpty() ? 1 : 0;
        if (parts.size() - first > 2)
            folder = QStringList(parts.mid(0, first + 1)).join(QLatin1Char('/')) + QStringLiteral("/\u2026/") +
                     parts.back();
    }
    return folder + QLatin1Char('/') + name;
}

} // namespace talverin

#include "frame/RecentFileList.h"

#include <platform/profile.h>

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

} // namespace talverin

// The recent-file list of the File menu: the newest document first, at most `size` paths, kept in
// the settings file's [Recent File List] as File1, File2, ...
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace talverin {

class RecentFileList {
public:
    explicit RecentFileList(int size);

    // Puts the path first (moving it up when it is there already). Empty paths are ignored.
    void Add(const std::string& path);
    void Remove(int index);
    int GetSize() const { return m_size; }
    const std::vector<std::string>& Paths() const { return m_paths; }

    // Replaces the list with File1..File<size> of the section (missing and empty keys skipped).
    void ReadList(const std::string& settingsFile);
    // Writes File1..File<n> and removes the keys of the slots that are empty. False when a key
    // could not be written (an unwritable settings file): the list is simply not remembered.
    bool WriteList(const std::string& settingsFile) const;

    // Called after every change of the list (the frame rebuilds its menu items).
    void SetOnChanged(std::function<void()> onChanged) { m_onChanged = std::move(onChanged); }

private:
    void changed();

    int m_size;
    std::vector<std::string> m_paths;
    std::function<void()> m_onChanged;
};

// A recent file as its menu item shows it: the home folder as "~", and a folder longer than
// `folderLength` characters cut to its first and last folder ("/srv/…/bench/drive.zrd"); the
// file name is always shown whole.
QString ShortRecentFileName(const QString& path, const QString& home, int folderLength = 32);

} // namespace talverin

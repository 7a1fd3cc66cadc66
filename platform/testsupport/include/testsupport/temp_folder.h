// Test support shared by every module's tests: a fresh folder per test, removed afterwards with
// everything in it (read-only leftovers included), and whole-file byte helpers.
#pragma once

#include <cstddef>
#include <string>

namespace plat::test {

class TempFolder {
public:
    TempFolder(); // under the system's temporary folder; path() is empty when it could not be made
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // Writes the file (its folders made as needed) and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    // Copies a file into the folder and returns the copy's path.
    std::string copy(const std::string& from, const std::string& name) const;

private:
    std::string m_path;
};

void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path); // empty when unreadable
bool fileExists(const std::string& path);
std::size_t fileCount(const std::string& folder);

} // namespace plat::test

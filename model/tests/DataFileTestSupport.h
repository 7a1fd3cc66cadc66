// Shared by the data store's tests: a scratch folder, file helpers, the sample and fixture paths,
// and a way to run a check without root's right to ignore file permissions.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace model::test {

inline std::string SamplePath(const std::string& name)
{
    return std::string(TALVERIN_SAMPLE_DATA_DIR) + "/" + name;
}

inline std::string FixturePath(const std::string& name)
{
    return std::string(TALVERIN_TEST_DATA_DIR) + "/" + name;
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "talverin-store-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // Writes the file (folders created) and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const
    {
        const std::string path = file(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteBytes(path, bytes);
        return path;
    }
    // Copies a file into the folder and returns the copy's path.
    std::string copy(const std::string& from, const std::string& name) const
    {
        return write(name, ReadBytes(from));
    }

private:
    std::string m_path;
};

// Runs check() in a forked child as an ordinary user (nobody) when we are root, so that
// read-only files and folders mean the same in a container; directly otherwise. Returns
// check()'s result, false when the child could not run it.
inline bool RunUnprivileged(const std::function<bool()>& check)
{
    if (::geteuid() != 0)
        return check();
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace model::test

// What the benchmarks with generated data share: a scratch folder of their own, and one fixture per
// size made when first asked for.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <unistd.h>

namespace bench {

// A new folder under the temp folder ("<prefix>-XXXXXX"), removed with everything in it.
struct ScratchFolder {
    std::string path;

    explicit ScratchFolder(const char* prefix)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
};

// The fixture of each size, made on first use. clear() before main ends: a data store outliving
// the platform's own statics crashes at exit.
template <typename Fixture>
class FixturesBySize {
public:
    Fixture& get(int count)
    {
        auto& slot = m_fixtures[count];
        if (!slot)
            slot = std::make_unique<Fixture>(count);
        return *slot;
    }
    void clear() { m_fixtures.clear(); }

private:
    std::map<int, std::unique_ptr<Fixture>> m_fixtures;
};

} // namespace bench

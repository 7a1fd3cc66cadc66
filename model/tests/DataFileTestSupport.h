// Shared by the data store's tests: a scratch folder, file helpers, the sample and fixture paths,
// and a way to run a check without root's right to ignore file permissions.
#pragma once

#include <testsupport/temp_folder.h>
#include <testsupport/unprivileged.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace model::test {

inline std::string SamplePath(const std::string& name)
{
    return std::string(TALVERIN_SAMPLE_DATA_DIR) + "/" + name;
}

inline std::string FixturePath(const std::string& name)
{
    return std::string(TALVERIN_TEST_DATA_DIR) + "/" + name;
}

// Folders, files and the unprivileged run come from the shared test support.
using plat::test::TempFolder;

inline void WriteBytes(const std::string& path, const std::string& bytes) { plat::test::writeBytes(path, bytes); }
inline std::string ReadBytes(const std::string& path) { return plat::test::readBytes(path); }
inline bool RunUnprivileged(const std::function<bool()>& check) { return plat::test::runUnprivileged(check); }

} // namespace model::test

// Registers the recording plug-in under the five real class ids in a registry of the test's own.
#pragma once

#include "Recorder.h"

#include <component/loader.h>
#include <component/registry.h>
#include <controls/ids.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>

class RecorderFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() / ("talverin-rec-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        m_registry = (m_dir / "components.ini").string();
        std::filesystem::remove(m_registry);
        comp::Registry reg(m_registry);
        for (const ctl::Identity* id : ctl::kAllIdentities)
            registerAs(*id, RECORDER_PLUGIN);
        comp::Registry::setDefaultPath(m_registry);
        void* h = dlopen(RECORDER_PLUGIN, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(h, nullptr);
        m_calls = reinterpret_cast<RecorderCallsFn>(dlsym(h, "RecorderCalls"));
        m_clear = reinterpret_cast<RecorderClearFn>(dlsym(h, "RecorderClear"));
        m_fire = reinterpret_cast<RecorderFireFn>(dlsym(h, "RecorderFire"));
        ASSERT_TRUE(m_calls && m_clear && m_fire);
        m_clear();
    }
    void TearDown() override
    {
        comp::Registry::setDefaultPath("");
        std::filesystem::remove_all(m_dir);
    }

    void registerAs(const ctl::Identity& id, const std::string& plugin)
    {
        comp::ClassEntry e;
        e.clsid = *comp::Guid::fromString(id.clsid);
        e.progId = std::string(id.progId);
        e.path = plugin;
        ASSERT_TRUE(comp::Registry(m_registry).writeClass(e));
    }

    const std::vector<RecordedCall>& calls() const { return *m_calls(); }
    void fire(comp::Control* c, comp::DISPID id, std::vector<comp::Variant> args)
    {
        m_fire(c, id, args.data(), static_cast<int>(args.size()));
    }

    std::filesystem::path m_dir;
    std::string m_registry;
    RecorderCallsFn m_calls = nullptr;
    RecorderClearFn m_clear = nullptr;
    RecorderFireFn m_fire = nullptr;
};

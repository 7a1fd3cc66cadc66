#include "DataFileTestSupport.h"

#include "model/DataFile.h"
#include "model/SharedData.h"

#include <platform/language.h>
#include <platform/named_objects.h>
#include <platform/process.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <dlfcn.h>

using model::CDataFile;
using model::SharedDataHeader;
using model::test::SamplePath;

namespace {

std::string hexPid()
{
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(plat::GetCurrentProcessId()));
    return text;
}

std::uintptr_t address(const void* p)
{
    return reinterpret_cast<std::uintptr_t>(p);
}

std::size_t filledSlots(const auto& array)
{
    std::size_t n = 0;
    for (const auto& slot : array)
        n += slot ? 1 : 0;
    return n;
}

class Store : public ::testing::Test {
protected:
    void loadSample() { ASSERT_EQ(store.LoadDefinition(SamplePath("unit/kvx100.ini")), 1); }
    CDataFile store;
};

TEST(SharedNames, AreBuiltFromTheProcessIdAndGiveTheStoresObjects)
{
    std::string name;
    EXPECT_EQ(model::FormatSharedMutexName(name), 1);
    EXPECT_EQ(name, "VEKZR_MEM_MUTEX_" + hexPid());
    EXPECT_EQ(model::FormatSharedMemoryName(name), 1);
    EXPECT_EQ(name, "VEKZR_MEM_" + hexPid());
    EXPECT_EQ(model::FormatPrintMutexName(name), 1);
    EXPECT_EQ(name, "VEKZR_PRINT");

    CDataFile store;
    ASSERT_NE(store.GetDataMutex(), nullptr);
    EXPECT_EQ(store.GetDataMutex()->name(), "VEKZR_MEM_MUTEX_" + hexPid());
    EXPECT_EQ(store.GetOscilloMutex()->name(), "VEKZR_MEM_MUTEX_" + hexPid() + "OSCILLO");
    const plat::NamedMemory block = plat::NamedMemory::open("VEKZR_MEM_" + hexPid());
    ASSERT_TRUE(block.valid());
    EXPECT_EQ(block.size(), sizeof(SharedDataHeader));
    EXPECT_EQ(sizeof(SharedDataHeader), 8 * sizeof(void*)) << "addresses are pointer-sized";
    EXPECT_EQ(block.data(), store.GetSharedHeader());
}

TEST_F(Store, StartsWithFullSizeArraysAndGivesChannelProgramsForChannelsZeroTo255Only)
{
    EXPECT_EQ(store.GetChannelArray()->size(), 256u);
    EXPECT_EQ(store.GetPinArray()->size(), 50u);
    EXPECT_EQ(filledSlots(*store.GetChannelArray()) + filledSlots(*store.GetPinArray()), 0u);
    EXPECT_EQ(store.m_pinDefaultTexts, std::vector<std::string>(50, ",,,"));
    EXPECT_EQ(store.m_captureBaudRate, 9600);
    EXPECT_EQ(store.m_oscillo.m_kind, 5);
    EXPECT_EQ(store.GetSharedHeader()->m_treeList, 0u) << "nothing published before a load";

    model::CChannelProgram* last = store.GetChannelProgram(255);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->m_channel, 255);
    EXPECT_EQ(store.GetChannelProgram(255), last) << "the same record again";
    EXPECT_EQ(store.GetChannelProgram(0)->m_channel, 0);
    for (const int outside : {-1, 256, -2147483647 - 1})
        EXPECT_EQ(store.GetChannelProgram(outside), nullptr) << outside;
    EXPECT_EQ(store.GetPinRecord(0), nullptr);
    EXPECT_EQ(store.GetPinRecord(51), nullptr);

    last->AddLine("SPD\t500");
    EXPECT_EQ(store.ClearChannelPrograms(), 1);
    EXPECT_EQ(store.GetChannelArray()->size(), 256u) << "cleared to empty slots, never shrunk";
    EXPECT_EQ(filledSlots(*store.GetChannelArray()), 0u);
}

TEST_F(Store, ClearAllKeepsOrDropsTheParametersButNeverTheStartMenu)
{
    loadSample();
    store.LoadSettings(SamplePath("Talverin.ini"));
    ASSERT_EQ(store.m_startMenu[0].m_caption, "Parameter edit");
    store.GetChannelProgram(7)->AddLine("END");
    ASSERT_EQ(filledSlots(*store.GetPinArray()), 5u);
    EXPECT_EQ(store.FindParameter("spd"), nullptr) << "names are exact";
    EXPECT_EQ(store.FindTreeItem("MOV"), nullptr) << "a parameter the tree does not show";

    EXPECT_EQ(store.ClearAll(1), 1);
    EXPECT_EQ(store.GetParameterList()->size(), 14u);
    EXPECT_EQ(store.GetTreeList()->size(), 16u);
    EXPECT_EQ(store.FindTreeItem("SPD")->m_record, store.FindParameter("SPD"));
    EXPECT_EQ(store.GetPinArray()->size(), 50u);
    EXPECT_EQ(store.GetChannelArray()->size(), 256u);
    EXPECT_EQ(filledSlots(*store.GetPinArray()) + filledSlots(*store.GetChannelArray()), 0u);
    EXPECT_EQ(store.m_startMenu[4].m_caption, "Terminal");

    EXPECT_EQ(store.ClearAll(0), 1);
    EXPECT_TRUE(store.GetParameterList()->empty());
    EXPECT_TRUE(store.GetTreeList()->empty());
    EXPECT_EQ(store.FindParameter("SPD"), nullptr);
    EXPECT_EQ(store.FindTreeItem("SPD"), nullptr);
    EXPECT_EQ(store.m_startMenu.size(), 10u);
}

TEST_F(Store, ResetToDefaultsRestoresEveryRecordAndEmptiesTheChannels)
{
    loadSample();
    model::CZRParamData* spd = store.FindParameter("SPD");
    model::CZRParamData* mode = store.FindParameter("MODE");
    model::CZRParamData* extra = store.FindTreeItem("EXTRA")->m_record;
    spd->m_currentValue = spd->m_referenceValue = 1234;
    spd->m_treeUseCount = 3;
    mode->m_currentText = mode->m_referenceText = "MANUAL";
    extra->m_currentValue = 9;
    store.GetChannelProgram(3)->AddLine("MOV\t+1000");

    EXPECT_EQ(store.ResetToDefaults("NewDocument.zrd"), 1);
    EXPECT_EQ(spd->m_currentValue, 100.0);
    EXPECT_EQ(spd->m_referenceValue, 100.0);
    EXPECT_EQ(spd->m_treeUseCount, 0);
    EXPECT_EQ(mode->m_currentText, "AUTO");
    EXPECT_EQ(mode->m_referenceText, "AUTO");
    EXPECT_TRUE(model::IsNoValue(mode->m_currentValue));
    EXPECT_EQ(extra->m_currentValue, 5.0) << "records owned by tree nodes too";
    EXPECT_EQ(store.GetChannelArray()->size(), 256u);
    EXPECT_EQ(filledSlots(*store.GetChannelArray()), 0u);
    EXPECT_EQ(store.m_documentPath, "NewDocument.zrd");
    EXPECT_EQ(store.GetSharedHeader()->m_channelArray, address(store.GetChannelArray()));
}

TEST_F(Store, PublishesItsListsWithTheLanguage)
{
    const plat::ScopedLanguage japanese(plat::LANG_JAPANESE);
    loadSample();
    const SharedDataHeader* header = store.GetSharedHeader();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->m_reserved0, 0u);
    EXPECT_EQ(header->m_treeList, address(store.GetTreeList()));
    EXPECT_EQ(header->m_channelArray, address(store.GetChannelArray()));
    EXPECT_EQ(header->m_pinArray, address(store.GetPinArray()));
    EXPECT_EQ(header->m_oscilloData, address(&store.m_oscillo));
    EXPECT_EQ(header->m_language, 1041u);
    EXPECT_EQ(header->m_reserved6, 0u);
    EXPECT_EQ(header->m_dataFile, address(&store));
}

TEST_F(Store, ABlockThatExistsIsSharedAndOneOfTheWrongSizeIsLeftAlone)
{
    CDataFile second; // opens the first store's block
    ASSERT_TRUE(second.HasSharedBlock());
    EXPECT_EQ(second.GetSharedHeader(), store.GetSharedHeader());
    loadSample();
    ASSERT_EQ(second.LoadDefinition(SamplePath("unit/kvx100.ini")), 1);
    EXPECT_EQ(store.GetSharedHeader()->m_treeList, address(second.GetTreeList())) << "the last to publish";
    store.Close();
    EXPECT_EQ(second.GetSharedHeader()->m_treeList, address(second.GetTreeList()))
        << "closing one store must not null another store's addresses";
    second.Close();

    // A block of that name that is too small for the header is not written into.
    std::string name;
    model::FormatSharedMemoryName(name);
    plat::NamedMemory small = plat::NamedMemory::create(name, 8);
    ASSERT_TRUE(small.valid());
    CDataFile third;
    EXPECT_FALSE(third.HasSharedBlock());
    EXPECT_EQ(third.PublishSharedBlock(), 0);
    EXPECT_EQ(third.LoadDefinition(SamplePath("unit/kvx100.ini")), 1) << "the lists load without a block";
    EXPECT_EQ(*static_cast<std::uint64_t*>(small.data()), 0u);
}

TEST_F(Store, CloseTwiceThenDestroyAndEveryUserToleratesTheMissingLists)
{
    loadSample();
    store.GetChannelProgram(4)->AddLine("END");
    std::string name;
    model::FormatSharedMemoryName(name);
    const plat::NamedMemory keptByAControl = plat::NamedMemory::open(name);
    ASSERT_TRUE(keptByAControl.valid());

    store.Close();
    const auto* header = static_cast<const SharedDataHeader*>(keptByAControl.data());
    EXPECT_EQ(header->m_treeList, 0u) << "a control painting during shut-down must find null addresses";
    EXPECT_EQ(header->m_channelArray, 0u);
    EXPECT_EQ(header->m_pinArray, 0u);
    EXPECT_EQ(header->m_oscilloData, 0u);
    EXPECT_EQ(header->m_dataFile, 0u);
    EXPECT_EQ(store.GetDataMutex(), nullptr);
    EXPECT_NE(store.GetOscilloMutex(), nullptr) << "the oscilloscope mutex lives until the end";
    EXPECT_EQ(store.GetTreeList(), nullptr);
    EXPECT_FALSE(store.HasSharedBlock());
    EXPECT_TRUE(store.m_unitFilePath.empty());

    store.Close();
    EXPECT_EQ(store.ClearAll(0), 1);
    EXPECT_EQ(store.ClearIOData(), 1);
    EXPECT_EQ(store.GetChannelProgram(4), nullptr);
    EXPECT_EQ(store.GetPinRecord(3), nullptr);
    EXPECT_EQ(store.FindTreeItem("SPD"), nullptr);
    EXPECT_EQ(store.FindParameter("SPD"), nullptr);
    EXPECT_EQ(store.ResetToDefaults(), 1);
    EXPECT_EQ(store.PublishSharedBlock(), 0);
    EXPECT_EQ(store.ApplyPinDisableMasks(), 1);
    model::SharedLock none(store.GetDataMutex());
    EXPECT_FALSE(none.owns());
}

// The controls are plug-ins: they see the store only through the names of the block and mutex.
class ProbePlugin : public Store {
protected:
    void SetUp() override
    {
        m_handle = ::dlopen(TALVERIN_PROBE_PLUGIN, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_handle, nullptr) << ::dlerror();
        readHeader = reinterpret_cast<int (*)(SharedDataHeader*)>(::dlsym(m_handle, "ProbeReadHeader"));
        treeNodeCount = reinterpret_cast<int (*)()>(::dlsym(m_handle, "ProbeTreeNodeCount"));
        nodeName = reinterpret_cast<const char* (*)(int)>(::dlsym(m_handle, "ProbeNodeName"));
        mutexDepth = reinterpret_cast<int (*)()>(::dlsym(m_handle, "ProbeDataMutexDepth"));
        filledPins = reinterpret_cast<int (*)()>(::dlsym(m_handle, "ProbeFilledPinCount"));
        ASSERT_TRUE(readHeader && treeNodeCount && nodeName && mutexDepth && filledPins);
    }
    void TearDown() override
    {
        if (m_handle)
            ::dlclose(m_handle);
    }

    int (*readHeader)(SharedDataHeader*) = nullptr;
    int (*treeNodeCount)() = nullptr;
    const char* (*nodeName)(int) = nullptr;
    int (*mutexDepth)() = nullptr;
    int (*filledPins)() = nullptr;

private:
    void* m_handle = nullptr;
};

TEST_F(ProbePlugin, SeesTheSameListsAndMutexThroughTheBlock)
{
    EXPECT_EQ(treeNodeCount(), -1) << "nothing published yet";
    loadSample();
    SharedDataHeader seen{};
    ASSERT_EQ(readHeader(&seen), 1);
    EXPECT_EQ(seen.m_treeList, address(store.GetTreeList()));
    EXPECT_EQ(seen.m_pinArray, address(store.GetPinArray()));
    EXPECT_EQ(seen.m_oscilloData, address(&store.m_oscillo));
    EXPECT_EQ(seen.m_dataFile, address(&store));
    EXPECT_EQ(treeNodeCount(), static_cast<int>(store.GetTreeList()->size()));
    EXPECT_STREQ(nodeName(1), "SPD");
    EXPECT_EQ(filledPins(), 5);

    EXPECT_EQ(mutexDepth(), 0);
    {
        model::SharedLock lock(store.GetDataMutex());
        EXPECT_EQ(mutexDepth(), 1) << "the plug-in's handle names the store's mutex";
    }

    // A reload is seen at once, through the same addresses.
    ASSERT_EQ(store.LoadDefinition(model::test::FixturePath("unit/seqnum.ini")), 1);
    EXPECT_EQ(treeNodeCount(), 0);
    EXPECT_EQ(filledPins(), 0);

    std::string name;
    model::FormatSharedMemoryName(name);
    const plat::NamedMemory keep = plat::NamedMemory::open(name);
    store.Close();
    EXPECT_EQ(treeNodeCount(), -1);
    EXPECT_EQ(filledPins(), -1);
    EXPECT_EQ(mutexDepth(), -1) << "the data mutex is gone with the store";
}

} // namespace

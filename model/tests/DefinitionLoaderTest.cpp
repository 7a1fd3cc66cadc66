#include "DataFileTestSupport.h"

#include "model/DataFile.h"

#include <platform/errors.h>
#include <platform/language.h>
#include <platform/profile.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

using model::CDataFile;
using model::CZRParamClass;
using model::CZRParamData;
using model::test::FixturePath;
using model::test::SamplePath;
using model::test::TempFolder;

namespace {

class Definition : public ::testing::Test {
protected:
    int load(const std::string& path) { return store.LoadDefinition(path); }
    int loadSample() { return load(SamplePath("unit/kvx100.ini")); }
    const CDataFile::ParamTreeList& tree() { return *store.GetTreeList(); }
    const CDataFile::ParamDataList& parameters() { return *store.GetParameterList(); }
    CZRParamClass* node(std::size_t i) { return tree().at(i).get(); }
    std::vector<std::string> dependents(const char* name)
    {
        std::vector<std::string> names;
        if (const CZRParamData* record = store.FindParameter(name); record && record->m_dependents) {
            for (const CZRParamClass* n : *record->m_dependents)
                names.push_back(n->m_record->m_name);
        }
        return names;
    }
    // The [Parameter] records: "name#sequence", space-separated.
    std::string parametersText()
    {
        std::string out;
        for (const auto& r : parameters())
            out += r->m_name + "#" + std::to_string(r->m_sequence) + " ";
        return out;
    }
    // One node per line, indented by depth: its letters, its record's name, the label shown, and
    // where the record comes from ("=n": [Parameter] record n, "own": the node's own).
    std::string treeText()
    {
        std::string out;
        for (const auto& n : tree()) {
            for (const CZRParamClass* p = n->m_parent; p; p = p->m_parent)
                out += "  ";
            out += n->m_attributes + " " + n->m_record->m_name + " [" + (n->m_borrowed ? n->m_label : n->m_record->m_label) + "] ";
            if (n->m_borrowed) {
                for (std::size_t i = 0; i < parameters().size(); ++i)
                    out += parameters()[i].get() == n->m_record ? "=" + std::to_string(i) : "";
            } else {
                out += "own";
            }
            out += "\n";
        }
        return out;
    }
    // Filled pin slots: "pin,io,logic,function,value,status" with the definition text and mask.
    std::string pinsText()
    {
        std::string out;
        for (const auto& slot : *store.GetPinArray()) {
            if (slot)
                out += slot->Format(1) + " " + slot->m_definitionText + " " + std::to_string(slot->m_disabled) + "\n";
        }
        return out;
    }
    // Everything a reload must reproduce.
    std::string snapshot()
    {
        std::string out = parametersText() + treeText() + pinsText();
        for (const char* name : {"GAIN", "MODE", "SPD"}) {
            for (const auto& d : dependents(name))
                out += d + ",";
        }
        for (const auto& text : store.m_pinDefaultTexts)
            out += text + "|";
        for (const auto& name : store.m_specialParameters)
            out += name + "!";
        return out + store.m_definitionHeader + store.m_definitionFooter + store.m_definitionModelInfo;
    }

    TempFolder folder;
    CDataFile store;
};

TEST_F(Definition, TheSampleUnitLoadsEverySection)
{
    ASSERT_EQ(loadSample(), 1);
    EXPECT_EQ(plat::GetLastError(), plat::ERROR_SUCCESS);
    EXPECT_EQ(store.m_unitFilePath, SamplePath("unit/kvx100.ini"));
    EXPECT_EQ(parametersText(), "SPD#1 ACC#2 GAIN#3 DIR#4 SW#5 MODE#6 OFS#7 MM#8 VF#9 TRQ#10 ALM#11 RESET#12 MOV#13 END#14 ");
    // Nodes borrow the [Parameter] records (ALM's R matches RL: L does not count), keep their own
    // letters and labels; EXTRA is known to the tree only.
    EXPECT_EQ(treeText(),
              "*  [Motor] own\n"
              "  WR SPD [Speed] =0\n  WR ACC [Acceleration] =1\n  WR GAIN [Gain] =2\n  WR DIR [Direction] =3\n"
              "  WR OFS [Offset] =6\n"
              "*  [Switches] own\n"
              "  WR SW [Servo] =4\n  WR MODE [Mode] =5\n  WR MM [Memory mode] =7\n  W RESET [Alarm reset] =11\n"
              "  WR EXTRA [Tree-only value] own\n"
              "#  [Monitor] own\n"
              "  R VF [Speed feedback] =8\n  R TRQ [Torque] =9\n  R ALM [Alarm] =10\n");
    EXPECT_EQ(store.FindTreeItem("EXTRA")->m_record->m_defaultValue, 5.0);

    EXPECT_EQ(dependents("GAIN"), (std::vector<std::string>{"SPD", "ACC"})) << "\"SPD, ACC\" is trimmed";
    EXPECT_EQ(store.FindParameter("GAIN")->m_dependents->front(), store.FindTreeItem("SPD"));
    EXPECT_EQ(store.FindParameter("MODE")->m_allDependents, 1);
    EXPECT_EQ(store.FindParameter("MODE")->m_dependents, nullptr);
    EXPECT_EQ(store.FindParameter("SPD")->m_dependents, nullptr);

    // Input 7 sits on pin 11; pin 3 may not have its function and logic edited, pin 28 its value.
    EXPECT_EQ(pinsText(), "3,0,A,1,0,0 A,1,0 6\n4,1,B,2,0,0 B,2,0 0\n11,7,A,5,1,0 A,5,1 0\n"
                          "28,0,P,1,0,0 P,1,0 8\n29,1,N,3,1,0 N,3,1 0\n");
    EXPECT_EQ(store.GetPinRecord(11)->m_readValue, "1");
    ASSERT_EQ(store.m_pinDefaultTexts.size(), 50u);
    EXPECT_EQ(store.m_pinDefaultTexts[2], "A,1,0");
    EXPECT_EQ(store.m_pinDefaultTexts[0], ",,,");

    EXPECT_EQ(store.m_definitionHeader, "MM0");
    EXPECT_EQ(store.m_definitionFooter, "");
    EXPECT_EQ(store.m_definitionModelInfo, "KVX100A1.00/SYS1.00");
    EXPECT_EQ(store.m_documentModelInfo, "KVX100A1.00/SYS1.00");
    EXPECT_EQ(store.m_waveSources, (std::vector<std::string>{"VF", "TRQ"}));
    EXPECT_EQ(store.GetSharedHeader()->m_treeList, reinterpret_cast<std::uintptr_t>(store.GetTreeList()));
}

TEST_F(Definition, LoadingTwiceGivesTheSameListsInTheSamePlaces)
{
    store.m_settingsPath = folder.write("Talverin.ini", "[DOWNLOAD]\nSpecial=MODE, SW,, OFS \n");
    ASSERT_EQ(loadSample(), 1);
    EXPECT_EQ(store.m_specialParameters, (std::vector<std::string>{"MODE", "SW", "OFS"}));
    const std::string first = snapshot();
    const void* treeList = store.GetTreeList();
    ASSERT_EQ(store.LoadDefinition(), 1) << "no path: the stored one";
    EXPECT_EQ(snapshot(), first);
    EXPECT_EQ(store.GetTreeList(), treeList) << "the controls keep following the published address";

    plat::profile::setString(store.m_settingsPath, "DOWNLOAD", "Special", "");
    ASSERT_EQ(loadSample(), 1);
    EXPECT_TRUE(store.m_specialParameters.empty()) << "replaced, not appended";
}

TEST_F(Definition, TreeLinesBorrowByNameAndLettersAndIoItemsLoseToPlainOnes)
{
    // spd=0 POS(WR)=1 POS(R)=2 DUP=3 DUP=4 IOX=5. "{" before any node and "}" at the top level
    // change nothing; lines without letters, or without name and label, are skipped.
    ASSERT_EQ(load(FixturePath("unit/tree_rules.ini")), 1);
    EXPECT_EQ(treeText(),
              "*  [Group A] own\n"
              "  W SPD [Speed as W only] own\n" // W is not WR (the letters of WRT without T)
              "  WR spd [Speed as WR] =0\n"     // names compare without case
              "  T spd [Speed by name] =0\n"
              "  R POS [Read-only position] =2\n"
              "  WRL POS [Read-write position] =1\n"
              "  T DUP [Last DUP] =4\n"         // by name only: the last of that name
              "  WRI IOX [Input item] =5\n  WR IOX [Plain item] =5\n  WRO IOX [Output item] =5\n"
              "*  [Group B] own\n"
              "  WRI ONLYIO [Only I/O in] own\n  WRO ONLYIO [Only I/O out] own\n");

    EXPECT_EQ(store.FindTreeItem("IOX"), node(8)) << "the plain item wins over the I and O items around it";
    EXPECT_EQ(store.FindTreeItem("ONLYIO"), node(12)) << "among I/O items the last";
    EXPECT_EQ(store.FindTreeItem("SPD"), node(1));
    EXPECT_EQ(store.FindTreeItem("spd"), node(2)) << "FindTreeItem itself is case-sensitive";
    EXPECT_EQ(store.FindTreeItem("NOLETTERS"), nullptr);

    EXPECT_EQ(store.ClearParameterLists(), 1); // private records go with their nodes (ASan checks)
    EXPECT_TRUE(tree().empty());
}

TEST_F(Definition, IndirectItemsAreTrimmedAndUnknownOnesSkipped)
{
    ASSERT_EQ(loadSample(), 1);
    store.ParseIndirect(" GAIN = SPD ,NOPE, ACC,,\rSW=DIR\rSW=  MODE , OFS\rNOSUCH=SPD\rspd=ACC\r"
                        "MM=\rno equals sign\rALM=*\rALM=VF\r");
    EXPECT_EQ(dependents("GAIN"), (std::vector<std::string>{"SPD", "ACC"}));
    EXPECT_EQ(dependents("SW"), (std::vector<std::string>{"MODE", "OFS"})) << "a second line replaces the first";
    EXPECT_TRUE(dependents("SPD").empty()) << "record names are exact";
    EXPECT_EQ(store.FindParameter("ALM")->m_allDependents, 0);
    EXPECT_EQ(dependents("ALM"), (std::vector<std::string>{"VF"}));
    EXPECT_EQ(store.FindParameter("GAIN")->m_dependents->at(0), store.FindTreeItem("SPD"));

    store.ParseIndirect("GAIN= * \rMODE=\r");
    EXPECT_EQ(store.FindParameter("GAIN")->m_allDependents, 1);
    EXPECT_EQ(store.FindParameter("GAIN")->m_dependents, nullptr);
    EXPECT_EQ(store.FindParameter("MODE")->m_allDependents, 1) << "an empty value leaves the record alone";
}

TEST_F(Definition, PinBlocksNeedADigitAfterTheirTwoLetters)
{
    store.ParseIOData("PI3\rFN1\rAB0\rNW2\r");
    const model::CN2PinRecord* pin6 = store.GetPinRecord(6);
    EXPECT_EQ(pinsText(), "6,3,A,1,2,0 A,1,2 0\n") << "input 3 sits on pin 6";
    EXPECT_EQ(pin6->m_readValue, "2");

    // A document's pin part: the "/CL" lines are no pins, PI20 has no pin, PI2 stops after two
    // fields, and a second PI3 reuses the record but keeps its first definition text.
    store.ParseIOData("PI/CL\rFN7\rAB1\rNW7\r\rPI20\rFN1\rAB0\rNW0\r\rPI2\rFN1\rAB0\r\r"
                      "PO/CL\rPO7\rFN 4 \rGC1\rST3\r\rPI3\rFN9\rAB1\rNW5");
    EXPECT_EQ(pinsText(), "6,3,B,9,5,0 A,1,2 0\n35,7,N,4,3,0 N,4,3 0\n");
    EXPECT_EQ(store.GetPinRecord(6), pin6);
}

TEST_F(Definition, DisabledFieldsAndDocumentLines)
{
    const std::string unit = folder.write("unit.ini",
        "[Parameter]\nWRT,SPD,0,rpm,100,0,Speed,0-3000,,10,100,0\n"
        "[CN2]\nPI16/FN1/AB0/NW0\nPO7/FN2/GC0/ST1\n"
        "[CN2-Disable]\nPI16=fn, nw\nPO7=gc,XX\nPI5=FN\nPO7x=ST\n"
        "[DataFile]\nHeader=KP1,MM0\nFooter=XY0,KP0\nMI=ABC1.00\n");
    ASSERT_EQ(load(unit), 1);
    EXPECT_EQ(store.GetPinRecord(20)->m_disabled, model::CN2PinRecord::kDisableFunction | model::CN2PinRecord::kDisableValue);
    EXPECT_EQ(store.GetPinRecord(35)->m_disabled, model::CN2PinRecord::kDisableLogic);
    EXPECT_EQ(store.GetPinRecord(8), nullptr) << "input 5 has no record to mark";
    EXPECT_EQ(store.m_definitionHeader, "KP1\nMM0");
    EXPECT_EQ(store.m_definitionFooter, "XY0\nKP0");
    EXPECT_EQ(store.m_definitionModelInfo, "ABC1.00");

    // No Header key: "MM0". A Header key that is present but empty: no header at all.
    folder.write("unit.ini", "[Parameter]\nWRT,SPD,0,rpm,100,0,Speed,0-3000,,10,100,0\n");
    ASSERT_EQ(load(unit), 1);
    EXPECT_EQ(store.m_definitionHeader, "MM0");
    EXPECT_EQ(store.m_definitionModelInfo, "");
    EXPECT_EQ(store.GetPinRecord(20), nullptr) << "pins of the earlier unit are gone";
    ASSERT_EQ(load(FixturePath("unit/emptyparam.ini")), 1);
    EXPECT_EQ(store.m_definitionHeader, "");
    EXPECT_EQ(store.m_documentModelInfo, "EMPTY1.00");
}

TEST_F(Definition, SequenceNumbersStayWhenAnyIsGivenAndAnEmptyParameterSectionLoads)
{
    ASSERT_EQ(load(FixturePath("unit/seqnum.ini")), 1);
    EXPECT_EQ(parametersText(), "AAA#0 BBB#5 CCC#0 ");
    EXPECT_EQ(treeText(), "") << "no [ParameterTree]: no nodes";

    ASSERT_EQ(load(FixturePath("unit/emptyparam.ini")), 1);
    EXPECT_EQ(parametersText(), "");
    EXPECT_EQ(treeText(), "*  [Motor] own\n  #  [Monitor] own\n");
}

TEST_F(Definition, FilesThatCannotBeLoadedLeaveTheListsAlone)
{
    ASSERT_EQ(loadSample(), 1);
    const auto expectUnchanged = [this](const char* what) {
        EXPECT_EQ(parameters().size(), 14u) << what;
        EXPECT_EQ(tree().size(), 16u) << what;
        EXPECT_NE(store.GetPinRecord(3), nullptr) << what;
        EXPECT_EQ(store.m_definitionHeader, "MM0") << what;
    };

    EXPECT_EQ(load(folder.file("missing.ini")), 0);
    EXPECT_EQ(plat::GetLastError(), plat::ERROR_FILE_NOT_FOUND);
    expectUnchanged("missing");
    EXPECT_EQ(load(folder.file("no/folder/x.ini")), 0);
    EXPECT_EQ(plat::GetLastError(), plat::ERROR_FILE_NOT_FOUND);
    CDataFile noPath;
    EXPECT_EQ(noPath.LoadDefinition(), 0);
    EXPECT_EQ(plat::GetLastError(), plat::ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(load(folder.write("empty.ini", "")), 0);
    EXPECT_EQ(plat::GetLastError(), plat::ERROR_INVALID_DATA);
    expectUnchanged("empty");
    EXPECT_EQ(load(FixturePath("unit/noparam.ini")), 0);
    EXPECT_EQ(plat::GetLastError(), plat::ERROR_INVALID_DATA);
    expectUnchanged("no [Parameter]");
    EXPECT_EQ(load(folder.path()), 0);
    EXPECT_EQ(plat::GetLastError(), plat::ERROR_ACCESS_DENIED);
    expectUnchanged("folder");

    const std::string locked = folder.copy(SamplePath("unit/kvx100.ini"), "locked.ini");
    ::chmod(locked.c_str(), 0);
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_TRUE(model::test::RunUnprivileged([&] {
        return store.LoadDefinition(locked) == 0 && plat::GetLastError() == plat::ERROR_ACCESS_DENIED &&
               store.GetParameterList()->size() == 14u;
    }));
}

TEST_F(Definition, MalformedFilesLoadWhatTheyCanWithoutHarm)
{
    // Duplicate names: the first record is the one found; a tree line with letters takes the first
    // of equal letters, a line with only T the last.
    ASSERT_EQ(load(folder.write("dup.ini",
        "[Parameter]\nWRT,SPD,0,,100,0,One,0-9,,1,1,0\nWRT,SPD,0,,200,0,Two,0-9,,1,2,0\n"
        "[ParameterTree]\nWR,SPD,,,,,a\nT,SPD,,,,,b\n[Indirect]\nSPD=SPD\n")), 1);
    EXPECT_EQ(store.FindParameter("SPD")->m_label, "One");
    EXPECT_EQ(node(0)->m_record->m_label, "One");
    EXPECT_EQ(node(1)->m_record->m_label, "Two");
    EXPECT_EQ(dependents("SPD"), (std::vector<std::string>{"SPD"}));

    // Braces that do not pair, unknown sections, binary bytes, NULs, CR LF and a byte-order mark.
    const auto bytes = [](const auto& literal) { return std::string(literal, sizeof literal - 1); };
    std::string text = "\xEF\xBB\xBF[Parameter]\r\nWRT,SPD,0,rpm,100,0,Speed,0-3000,,10,100,0\r\n";
    text += bytes("\x80\xFF\xFE,\x01\x02,3,\x9F\x40,x\0yz,,,,,,,,,,,,,,\r\n");
    text += "W" + std::string(100000, ',') + "\r\n";
    text += "[Unknown section]\r\nWRT,NOPE,0,,0,0,Not a parameter,0-1,,1,0,0\r\n";
    text += "[ParameterTree]\r\n}\r\n}\r\n{\r\n*,,,,,,G\r\n{\r\n{\r\nWR,SPD,,,,,s\r\n}\r\n}\r\n}\r\n}\r\nWR,SPD,,,,,top\r\n";
    text += bytes("\0\0\0garbage\xC3\x28\r\n");
    text += "[CN2]\r\nPI0/FN1/AB0/NW0/PI99999999999/FN1/AB1/NW1/P\r\nPI-1/FN/AB/NW\r\n";
    text += "[Indirect]\r\n=SPD\r\nSPD=\xFF\xFE\r\n";
    ASSERT_EQ(load(folder.write("binary.ini", text)), 1);
    EXPECT_EQ(parameters().size(), 3u) << "SPD, the binary line and the line of commas";
    EXPECT_EQ(store.FindParameter("NOPE"), nullptr) << "lines of an unknown section are not parameters";
    EXPECT_EQ(treeText(), "*  [G] own\n  WR SPD [s] =0\nWR SPD [top] =0\n");
    EXPECT_EQ(pinsText(), "3,0,A,1,0,0 A,1,0 0\n");
    EXPECT_EQ(store.FindParameter("SPD")->m_dependents, nullptr);
}

TEST(ProgramFolder, TheSampleSettingsLeadToTheSampleUnit)
{
    // What start-up does with the copy the build put next to the programs.
    CDataFile store;
    store.m_programFolder = TALVERIN_BIN_DIR;
    const std::string settings = std::string(TALVERIN_BIN_DIR) + "/Talverin.ini";
    ASSERT_EQ(store.LoadSettings(settings), 1);
    const auto units = plat::profile::sectionEntries(settings, "Unit");
    ASSERT_FALSE(units.empty());
    EXPECT_EQ(units[0].key, "KVX-100");
    const std::string unit = store.GetProfilePath("Unit", units[0].key, "", settings);
    EXPECT_EQ(unit, std::string(TALVERIN_BIN_DIR) + "/unit/kvx100.ini");
    ASSERT_EQ(store.LoadDefinition(unit), 1);
    EXPECT_EQ(store.GetParameterList()->size(), 14u);
    EXPECT_EQ(store.m_startMenu[3].m_number, 400);
    EXPECT_EQ(store.m_helpFolder, std::string(TALVERIN_BIN_DIR) + "/Help_en");
    EXPECT_EQ(store.m_reportIO, std::string(TALVERIN_BIN_DIR) + "/report_en/report_io.html");
    const plat::ScopedLanguage japanese(plat::LANG_JAPANESE); // the sample pins neither help nor reports
    ASSERT_EQ(store.LoadSettings(settings), 1);
    EXPECT_EQ(store.m_helpFolder + ' ' + store.m_reportIO, TALVERIN_BIN_DIR "/Help " TALVERIN_BIN_DIR "/report/report_io.html");
}

} // namespace

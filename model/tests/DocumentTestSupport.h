// Shared by the document tests: a store with the sample unit loaded from a scratch program folder,
// a fixed clock, the sample edits, the exact text the writer must produce from them, and a message
// box service that records every box.
#pragma once

#include "DataFileTestSupport.h"

#include "model/DataFile.h"

#include <platform/clock.h>
#include <platform/message_box.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace model::test {

// Answers every box with its default button and keeps what it showed.
class RecordedBoxes : public plat::MessageBoxService {
public:
    int show(plat::HWND owner, const std::string& text, const std::string& caption, plat::UINT type) override
    {
        shown.push_back({owner, text, caption, type, plat::MessageBoxDefaultButton(type)});
        return shown.back().answer;
    }
    std::vector<plat::ScriptedMessageBoxes::Shown> shown;
};

// The body of channel lines 1..255 as the writer gives them: "CH%d" and a blank line each.
inline std::string emptyChannels(int from, int to = 255)
{
    std::string out;
    for (int ch = from; ch <= to; ++ch)
        out += "CH" + std::to_string(ch) + "\n\n";
    return out;
}

// What the writer produces from the sample unit after the sample edits.
inline std::string SampleDocumentText()
{
    return ";- KVX TALVERIN  3.1.1 -\n"
           ";* do not edit this comment\n"
           ";\n"
           ";FileWrite:2024/05/01 10:20:30\n"
           ";\n"
           ";Comment:\n"
           ";Bench sample\n"
           ";\n"
           ";Unit:KVX-100\n"
           ";\n"
           ";MI:KVX100A1.00/SYS1.00\n"
           "MM0\nSPD100\nACC50\nGAIN1.00\nDIR0\nSWOFF\nMODEAUTO\nOFS-100\n"
           "\n\n"
           "PI/CL\n"
           "PI0\nFN1\nAB0\nNW0\n\n"
           "PI1\nFN2\nAB1\nNW0\n\n"
           "PI7\nFN5\nAB0\nNW1\n\n"
           "PO/CL\n"
           "PO0\nFN1\nGC0\nST0\n\n"
           "PO1\nFN3\nGC1\nST1\n\n"
           "\n"
           "CC/AL\n"
           "CH0\nSPD500\nMOV+1000\nEND\n\n"
           + emptyChannels(1) +
           "\n"
           "\n"
           ";Alarm:\n;\n;\n"
           "\n";
}

// The same data in the order the driver sends it for a read-all command (lines ended by CR).
inline std::string SampleReplyText()
{
    std::string out = "MM0\rSPD100\rACC50\rGAIN1.00\rDIR0\rSWOFF\rMODEAUTO\rOFS-100\r\r"
                      "CC/AL\rCH0\rSPD500\rMOV+1000\rEND\r\r";
    for (int ch = 1; ch <= 255; ++ch)
        out += "CH" + std::to_string(ch) + "\r\r";
    out += "\rPI/CL\rPI0\rFN1\rAB0\rNW0\r\rPI1\rFN2\rAB1\rNW0\r\rPI7\rFN5\rAB0\rNW1\r\r"
           "PO/CL\rPO0\rFN1\rGC0\rST0\r\rPO1\rFN3\rGC1\rST1\r\r";
    return out;
}

// A program folder with the sample settings file and unit, the store loaded from it, the clock at
// 2024/05/01 10:20:30 local time, and every box recorded.
class DocumentStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SYSTEMTIME when;
        when.wYear = 2024;
        when.wMonth = 5;
        when.wDay = 1;
        when.wHour = 10;
        when.wMinute = 20;
        when.wSecond = 30;
        clock.setLocalTime(when);
        settings = folder.copy(SamplePath("Talverin.ini"), "Talverin.ini");
        unitFile = folder.copy(SamplePath("unit/kvx100.ini"), "unit/kvx100.ini");
        store.m_programFolder = folder.path();
        ASSERT_EQ(store.LoadSettings(settings), 1);
        ASSERT_EQ(store.LoadDefinition(unitFile), 1);
        ASSERT_EQ(store.ResetToDefaults(), 1);
        store.m_unitName = "KVX-100";
    }

    // The sample's edits: OFS -100, channel 0's program, the comment.
    void applySampleEdits()
    {
        store.FindParameter("SPD")->m_currentValue = 100;
        store.FindParameter("OFS")->m_currentValue = -100;
        store.GetChannelProgram(0)->Parse(std::string_view("CH0\rSPD500\rMOV+1000\rEND\r"));
        store.m_commentText = "Bench sample";
    }

    // Saves into the folder and returns the bytes written ("" when the save failed).
    std::string save(const std::string& name = "doc.zrd")
    {
        const std::string path = folder.file(name);
        return store.SaveDocument(path) == 1 ? ReadBytes(path) : std::string();
    }

    // What the document class does to open a document: check, clear, reload the unit, load.
    int open(const std::string& path)
    {
        int code = -1;
        if (store.CheckDocument(path, code) != 1)
            return code;
        store.ClearAll(1);
        if (store.LoadDefinition(unitFile) != 1)
            return -2;
        return store.LoadDocument(path, code) == 1 ? 0 : code;
    }

    TempFolder folder;
    plat::ManualClock clock;
    plat::ScopedClock scopedClock{clock};
    RecordedBoxes boxes;
    plat::ScopedMessageBoxService scopedBoxes{boxes};
    CDataFile store;
    std::string settings;
    std::string unitFile;
};

// Runs check() in a forked child (for process limits that must not reach the test process);
// returns its result.
inline bool RunInChild(const std::function<bool()>& check)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0)
        ::_exit(check() ? 0 : 1);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The files of a folder (names only), to see that a failed save leaves no scratch file behind.
inline std::vector<std::string> FolderEntries(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace model::test

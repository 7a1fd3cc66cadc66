// The message-box and file-dialog seams without Qt.
#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plat {
namespace {

TEST(MessageBoxSeam, ButtonsAndDefaultFollowTheFlags)
{
    EXPECT_EQ(MessageBoxButtons(MB_OK), std::vector<int>{IDOK});
    EXPECT_EQ(MessageBoxButtons(MB_YESNOCANCEL | MB_ICONWARNING), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(MessageBoxDefaultButton(MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBoxDefaultButton(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxDefaultButton(MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    EXPECT_EQ(MessageBoxDefaultButton(MB_OK | MB_DEFBUTTON2), IDOK); // past the last button
    EXPECT_TRUE(MessageBoxOffers(MB_OKCANCEL, IDCANCEL));
    EXPECT_FALSE(MessageBoxOffers(MB_YESNO, IDCANCEL));
    EXPECT_EQ(MB_ICONSTOP, MB_ICONHAND);
    EXPECT_EQ(MB_ICONWARNING, MB_ICONEXCLAMATION);
}

TEST(MessageBoxSeam, ScriptedBoxesAreRecordedAndAnsweredInOrder)
{
    ScriptedMessageBoxes boxes;
    boxes.answer(IDYES).answerWith([](const ScriptedMessageBoxes::Shown& box) {
        return box.text.find("save") != std::string::npos ? IDNO : IDCANCEL;
    });
    ScopedMessageBoxService installed(boxes);
    auto owner = reinterpret_cast<HWND>(std::uintptr_t{0x1234});
    EXPECT_EQ(MessageBox(owner, "Disconnect?", "Talverin", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBox(nullptr, std::string("Do you save changes?"), "Talverin",
                         MB_YESNOCANCEL | MB_ICONWARNING),
              IDNO);
    EXPECT_EQ(boxes.pending(), 0u);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].owner, owner);
    EXPECT_EQ(shown[0].text, "Disconnect?");
    EXPECT_EQ(shown[0].caption, "Talverin");
    EXPECT_EQ(shown[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(shown[0].answer, IDYES);
    EXPECT_EQ(boxes.last().answer, IDNO);
}

TEST(MessageBoxSeam, UnscriptedBoxesAndImpossibleAnswersAreFailures)
{
    std::vector<std::string> failures;
    ScriptedMessageBoxes boxes([&](const std::string& what) { failures.push_back(what); });
    ScopedMessageBoxService installed(boxes);
    EXPECT_EQ(MessageBox(nullptr, "Port not found", "Error", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("unscripted"), std::string::npos);
    EXPECT_NE(failures[0].find("Port not found"), std::string::npos);
    EXPECT_NE(failures[0].find("OK/Cancel"), std::string::npos);

    boxes.answer(IDCANCEL);
    EXPECT_EQ(MessageBox(nullptr, "Range error", "Error", MB_OK | MB_ICONSTOP), IDOK);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[1].find("not a button"), std::string::npos);
    EXPECT_EQ(boxes.count(), 2u);
    boxes.clear();
    EXPECT_EQ(boxes.count(), 0u);
}

TEST(MessageBoxSeamDeathTest, UnscriptedBoxWithoutAHandlerStopsTheTest)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            ScriptedMessageBoxes boxes;
            boxes.show(nullptr, "Nobody scripted me", "Talverin", MB_OK);
        },
        "unscripted message box .*Nobody scripted me");
}

TEST(MessageBoxSeam, WithoutAServiceTheDefaultButtonAnswers)
{
    SetMessageBoxService(nullptr);
    EXPECT_EQ(MessageBox(nullptr, "headless", "t", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "headless", "t", MB_OKCANCEL), IDOK);
    ScriptedMessageBoxes boxes;
    {
        ScopedMessageBoxService a(boxes);
        EXPECT_EQ(&CurrentMessageBoxService(), &boxes);
    }
    EXPECT_NE(&CurrentMessageBoxService(), &boxes);
}

TEST(MessageBoxSeam, BeepsAreRecordedPerScopeAndNest)
{
    std::vector<UINT> outside;
    plat::SetBeepHandler([&](UINT type) { outside.push_back(type); });
    {
        plat::ScopedBeepRecorder outer;
        plat::MessageBeep(plat::MB_OK);
        {
            plat::ScopedBeepRecorder inner;
            plat::MessageBeep(plat::MB_ICONWARNING);
            EXPECT_EQ(inner.types(), std::vector<UINT>{plat::MB_ICONWARNING});
        }
        plat::MessageBeep(plat::MB_ICONSTOP);
        EXPECT_EQ(outer.types(), (std::vector<UINT>{plat::MB_OK, plat::MB_ICONSTOP}));
    }
    plat::MessageBeep(plat::MB_OK);
    plat::SetBeepHandler({});
    EXPECT_TRUE(plat::MessageBeep(plat::MB_OK)); // silent without a handler
    EXPECT_EQ(outside, std::vector<UINT>{plat::MB_OK});
}

TEST(FileDialogSeam, MfcFiltersBecomeQtFilters)
{
    EXPECT_EQ(MfcFilterToQt("Text (*.txt)|*.txt||"), "Text (*.txt)");
    EXPECT_EQ(MfcFilterToQt("Document(*.zrd)|*.zrd|All files (*.*)|*.*||"),
              "Document (*.zrd);;All files (*)");
    EXPECT_EQ(MfcFilterToQt("Pictures|*.bmp; *.dib|CSV (*.csv)|*.csv"), "Pictures (*.bmp *.dib);;CSV (*.csv)");
    EXPECT_EQ(MfcFilterToQt("Loose|"), "Loose (*)");
    EXPECT_EQ(MfcFilterToQt(""), "");
    EXPECT_EQ(MfcFilterToQt("||garbage after the end"), "");
    const auto filters = ParseMfcFilter("A|*.a;*.b|B|*.c||");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.a", "*.b"}));
    EXPECT_EQ(AddDefaultExtension("/d/name", "zrd"), "/d/name.zrd");
    EXPECT_EQ(AddDefaultExtension("/d/name.txt", ".zrd"), "/d/name.txt");
    EXPECT_EQ(AddDefaultExtension("/d.x/name", ".zrd"), "/d.x/name.zrd");
    EXPECT_EQ(AddDefaultExtension("/d/name", ""), "/d/name");
}

TEST(FileDialogSeam, ScriptedDialogsRecordRequestsAndAnswerInOrder)
{
    std::vector<std::string> failures;
    ScriptedFileDialogs dialogs([&](const std::string& what) { failures.push_back(what); });
    dialogs.accept("/tmp/a.zrd").cancel().accept("/tmp/b.csv", 2);
    ScopedFileDialogService installed(dialogs);

    FileDialogRequest open;
    open.title = "Open";
    open.filter = "Document (*.zrd)|*.zrd||";
    open.filterIndex = 1;
    FileDialogResult r = PromptFileName(open);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.path, "/tmp/a.zrd");
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_FALSE(PromptFileName(open).accepted);
    FileDialogRequest save = open;
    save.save = true;
    r = PromptFileName(save);
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_TRUE(failures.empty());
    EXPECT_FALSE(PromptFileName(save).accepted);
    EXPECT_EQ(failures.size(), 1u);
    ASSERT_EQ(dialogs.count(), 4u);
    EXPECT_TRUE(dialogs.requests()[2].save);
    EXPECT_EQ(dialogs.requests()[0].filter, "Document (*.zrd)|*.zrd||");
}

} // namespace
} // namespace plat

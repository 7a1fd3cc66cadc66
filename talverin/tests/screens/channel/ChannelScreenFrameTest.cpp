// The channel editor as the program registers it: made on the first switch by its command, its
// title, real keys taken by its hook before the widgets, the store step before a save, and New.
#include "AppFixture.h"

#include "app/CNewDlg.h"
#include "common/ClipboardHelpers.h"
#include "common/CommandIds.h"
#include "screens/channel/CViewChannel.h"
#include "screens/channel/ChannelListView.h"

#include <model/DataFile.h>
#include <platform/messages.h>

#include <QTest>

using talverin::CViewChannel;
using talverin::CopyTextToClipboard;
using talverin::GetClipboardText;

namespace {

class ChannelScreenFrame : public apptest::AppFixture {};

} // namespace

TEST_F(ChannelScreenFrame, RegisteredSwitchedKeyedCollectedAndReset)
{
    ASSERT_TRUE(Start());
    for (int ch = 0; ch < 256; ++ch) {
        model::CChannelProgram* p = store().GetChannelProgram(ch);
        p->Clear();
        p->m_lineCount = p->m_currentLine = 0;
    }
    store().GetChannelProgram(4)->AddLine("SPD\t10\t");
    store().GetChannelProgram(4)->m_lineCount = 1;
    store().m_editChannel = 4;
    frame().show();
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));

    EXPECT_EQ(frame().GetView(talverin::VIEW_CHANNEL), nullptr);
    ASSERT_TRUE(frame().Commands().execute(talverin::ID_VIEW_CHANNEL));
    EXPECT_EQ(frame().GetCurrentViewId(), talverin::VIEW_CHANNEL);
    auto* view = dynamic_cast<CViewChannel*>(frame().GetView(talverin::VIEW_CHANNEL));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(app().m_viewTitle, "Edit channel programs");
    EXPECT_EQ(view->Core().rows().at(0).command, "SPD");

    // Real keys: the screen's hook takes them before the widgets see them.
    view->List()->setFocus();
    QTest::keyClick(view->List(), Qt::Key_F2);
    ASSERT_TRUE(view->IsEditorOpen());
    QTest::keyClicks(view->CellEditor(), "MOV");
    QTest::keyClick(view->CellEditor(), Qt::Key_Return);
    EXPECT_EQ(view->Core().editColumn(), 3);
    EXPECT_EQ(view->Core().rows().at(0).command, "MOV");
    EXPECT_TRUE(doc().IsModified());
    ASSERT_EQ(plat::SendMessage(frame().GetSafeHwnd(), talverin::WM_COLLECT_VIEW_DATA, 0, 0), 1);
    EXPECT_EQ(store().GetChannelProgram(4)->m_lines.at(0).text.rfind("MOV\t10\t", 0), 0u);
    EXPECT_EQ(store().GetChannelProgram(4)->m_currentLine, 1);

    // The frame's Edit keys are the screen's Edit commands: Ctrl+C copies the selected rows' lines
    // (not the current cell's text, as the list itself would), Ctrl+V pastes them, Ctrl+X cuts.
    CopyTextToClipboard("before");
    QTest::keyClick(view->CellEditor(), Qt::Key_Escape); // with the editor open both copy its text
    ASSERT_FALSE(view->IsEditorOpen());
    view->List()->setFocus();
    view->List()->selectionModel()->select(view->List()->model()->index(0, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QTest::keyClick(view->List(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(GetClipboardText(), view->Core().CopyText({0}));
    EXPECT_EQ(GetClipboardText().rfind("0\tMOV\t10\t", 0), 0u) << GetClipboardText();
    QTest::keyClick(view->List(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(view->Core().rows().usedCount(), 2);
    QTest::keyClick(view->List(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(view->Core().rows().usedCount(), 1);

    // New makes channel 0 current and lists it.
    m_boxes.answer(plat::IDNO); // the old document's changes are not saved
    AnswerDialog([](QDialog& d) { d.accept(); return d.result(); });
    EXPECT_TRUE(frame().Commands().execute(talverin::ID_FILE_NEW));
    EXPECT_EQ(view->CurrentChannel(), 0);
    EXPECT_FALSE(view->Core().listModified());
}

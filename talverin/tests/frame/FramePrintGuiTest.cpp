// The frame's print commands: only on the screens with a report and outside the connection steps of a switch,
// the channel report on the stored edit channel when no channel editor exists, each preview
// replacing the last viewer, and the frame's end closing the viewer and deleting its report.
#include "AppFixture.h"

#include "common/CommandIds.h"
#include "report/ReportPrinting.h"
#include "screens/CViewBase.h"

#include <platform/messages.h>
#include <platform/process_lock.h>

#include <QProcess>

namespace {

using namespace talverin;
namespace fs = std::filesystem;

class FramePrint : public apptest::AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        const fs::path bin = TALVERIN_BIN_DIR;
        fs::copy(fs::path(TALVERIN_SAMPLE_DATA_DIR) / "report_en", m_folder.path / "report_en");
        fs::create_symlink(bin / "zrreport", m_folder.path / "zrreport");
        ASSERT_TRUE(Start());
        for (const int id : {VIEW_PARAM, VIEW_CHANNEL})
            frame().Screens().SetFactory(id, [id](QWidget* p) { return new CViewBase(id, p); });
    }
    bool command(plat::UINT id) { return plat::SendMessage(frame().GetSafeHwnd(), plat::WM_COMMAND, id, 0) != 0; }
    std::string report(int view) const { return m_folder.file("report" + std::to_string(view) + ".html"); }
};

TEST_F(FramePrint, PreviewsReplaceTheViewerAndTheFrameEndClosesIt)
{
    const std::string lock = ReportPrinting::ViewerLockName();
    EXPECT_FALSE(command(ID_FILE_PRINT_PREVIEW)); // the blank screen has no report
    EXPECT_FALSE(command(ID_FILE_PRINT));

    ASSERT_TRUE(frame().SwitchView(VIEW_PARAM));
    using talverin::Phase;
    for (const Phase phase : {Phase::EnteringTerminal, Phase::LeavingTerminal, Phase::SwitchReadAll}) {
        frame().Connection().m_connectionPhase = phase;
        EXPECT_FALSE(command(ID_FILE_PRINT_PREVIEW)) << static_cast<int>(phase);
    }
    frame().Connection().m_connectionPhase = talverin::Phase::Idle;
    ASSERT_TRUE(command(ID_FILE_PRINT_PREVIEW));
    ASSERT_NE(frame().Reports().viewerProcess(), nullptr);
    EXPECT_NE(frame().Reports().viewerWindow(), 0);
    EXPECT_TRUE(fs::exists(report(VIEW_PARAM)));

    store().m_editChannel = 5;
    ASSERT_TRUE(frame().SwitchView(VIEW_CHANNEL));
    ASSERT_TRUE(command(ID_FILE_PRINT_PREVIEW));
    EXPECT_NE(frame().Reports().viewerWindow(), 0);
    EXPECT_FALSE(fs::exists(report(VIEW_PARAM)));
    EXPECT_NE(apptest::ReadText(report(VIEW_CHANNEL)).find("channel program 5<"), std::string::npos);
    EXPECT_TRUE(plat::ProcessLock::isHeld(lock));

    frame().DestroyFrame();
    EXPECT_EQ(frame().Reports().viewerProcess(), nullptr);
    EXPECT_FALSE(plat::ProcessLock::isHeld(lock));
    EXPECT_FALSE(fs::exists(report(VIEW_CHANNEL)));
}

} // namespace

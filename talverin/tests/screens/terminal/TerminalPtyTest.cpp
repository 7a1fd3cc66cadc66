// The terminal screen and the terminal window against the simulated KVX-100 on a
// pseudo-terminal, echoing each byte: typing, the paced paste, a dropped file, a dragged row, the
// drop and save boxes, the saved bytes, a failed write and the read-only rules.
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "screens/terminal/CTerminalDlg.h"
#include "screens/terminal/CViewTerminal.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <model/CommandSupport.h>
#include <platform/errors.h>
#include <platform/file_dialog.h>
#include <platform/message_box.h>
#include <platform/qt/clipboard.h>
#include <platform/qt/pump.h>
#include <platform/qt/window_bridge.h>
#include <platform/text.h>
#include <zrcomm/zrcomm_api.h>

#include <QMainWindow>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include <unistd.h>
#include <thread>

using namespace talverin;

namespace {

struct TerminalPty : ::testing::Test {
    void SetUp() override
    {
        mainBridge = std::make_unique<plat::qt::WindowBridge>(&main, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
            if (m == WM_GET_CURRENT_VIEW)
                return plat::LRESULT{VIEW_TERMINAL};
            mainMessages.push_back({m, w, l});
            return plat::LRESULT{0};
        });
        model::SetMainWindow(mainBridge->hwnd());
        host.setLineClean = [this](bool clean) { lineClean = clean; };
        host.windowHidden = [this] { ++hidden; };
        std::string error;
        ASSERT_TRUE(driver.load(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/unit/kvx100.ini", &error)) << error;
        driver.install(sim);
        ASSERT_TRUE(sim.start(&error)) << error;
        plat::DCB dcb;
        ASSERT_EQ(ZRComm_GetDefaultCommConfig(sim.slavePath().c_str(), &dcb), 1);
        ASSERT_EQ(ZRComm_InitFromDCB(mainBridge->hwnd(), sim.slavePath().c_str(), &dcb), COMM_OK);
        ASSERT_TRUE(waitFor([] { return ZRComm_IsConnected(nullptr, nullptr) != 0; }));
        main.resize(600, 400);
        main.show();
        folder = std::filesystem::temp_directory_path() / ("terminal-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override
    {
        ZRComm_Term();
        plat::qt::PumpAllPending();
        model::SetMainWindow(nullptr);
        std::filesystem::remove_all(folder);
    }
    bool waitFor(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            plat::qt::PumpAllPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    static std::string text(const CZRTERMED& box)
    {
        const int n = box.GetTextLength();
        std::string s(static_cast<std::size_t>(n) + 1, '\0');
        box.GetText(s.data(), n);
        s.resize(static_cast<std::size_t>(n));
        return s;
    }
    // Waits until the driver has read `bytes` after `from` and the box shows its prompt again.
    bool driverGot(const std::string& bytes, std::size_t from, const CZRTERMED& box)
    {
        // The library hands the echo to this thread: it is pumped while waiting.
        const bool ok = waitFor([&] { return sim.received().substr(from) == bytes && !text(box).empty() && text(box).back() == ':'; });
        if (!ok)
            ADD_FAILURE() << "driver read \"" << sim.received().substr(from) << "\", the box shows \"" << text(box) << "\"";
        return ok;
    }
    std::string file(const char* name, const std::string& bytes)
    {
        const std::string path = (folder / name).string();
        EXPECT_TRUE(plat::WriteFileAtomic(path, bytes));
        return path;
    }

    struct Message {
        plat::UINT id;
        plat::WPARAM w;
        plat::LPARAM l;
    };
    QMainWindow main;
    std::unique_ptr<plat::qt::WindowBridge> mainBridge;
    std::vector<Message> mainMessages;
    TerminalHost host;
    bool lineClean = true;
    int hidden = 0;
    drivesim::DriverSim sim;
    drivesim::DriverModel driver;
    plat::ScriptedMessageBoxes boxes;
    plat::ScopedMessageBoxService scopedBoxes{boxes};
    plat::ScriptedFileDialogs dialogs;
    plat::ScopedFileDialogService scopedDialogs{dialogs};
    std::filesystem::path folder;
};

} // namespace

TEST_F(TerminalPty, ScreenTypesPastesSendsFilesAndRowsAndSavesItsRecord)
{
    auto* view = new CViewTerminal(host);
    main.setCentralWidget(view);
    ASSERT_TRUE(view->FormError().isEmpty()) << view->FormError().toStdString();
    CZRTERMED box = view->Terminal();
    EXPECT_TRUE(view->OnViewSwitch(true, VIEW_TERMINAL));
    EXPECT_EQ(plat::SendMessage(view->GetSafeHwnd(), WM_COMM_STATE_CHANGED, 1, 0), 1);
    EXPECT_FALSE(view->TerminalEdit()->isReadOnly());
    // The mode change tells the driver first.
    ASSERT_TRUE(waitFor([] { return ZRComm_GetCommandCount(-1) == 0; }));

    // Typed: upper-cased by the box, a tab not sent, the echo and the reply shown.
    std::size_t mark = sim.received().size();
    QTest::keyClicks(view->TerminalEdit(), "?s\tpd");
    QTest::keyClick(view->TerminalEdit(), Qt::Key_Return);
    ASSERT_TRUE(driverGot("?SPD\r", mark, box));
    EXPECT_NE(text(box).find("?SPD\r\n"), std::string::npos);

    // Pasted: one character per echo (each its own write), the tab passed over, CR LF as CR.
    ASSERT_TRUE(plat::qt::SetClipboardText("?ACC\r\n\t?SPD\n"));
    mark = sim.received().size();
    const std::size_t chunks = sim.receivedChunks().size();
    ASSERT_TRUE(view->Commands().execute(CViewTerminal::ID_EDIT_PASTE));
    ASSERT_TRUE(driverGot("?ACC\r?SPD\r", mark, box));
    EXPECT_TRUE(waitFor([&] { return !view->IsPasting(); }));
    for (std::size_t i = chunks; i < sim.receivedChunks().size(); ++i)
        EXPECT_EQ(sim.receivedChunks()[i].bytes.size(), 1u) << i;

    // A dropped file: the comment shown, the command sent, the empty line and the end as CRs.
    box.Clear(plat::TRUE, plat::TRUE);
    mark = sim.received().size();
    view->OnDropFiles({QUrl::fromLocalFile(QString::fromStdString(file("x.TXT", ";c\n?SPD\r\n\n")))});
    ASSERT_TRUE(waitFor([&] { return !view->IsSendingFile(); }));
    ASSERT_TRUE(driverGot("?SPD\r\r\r", mark, box));
    EXPECT_EQ(text(box).rfind(";c\r\n?SPD\r\n", 0), 0u) << text(box);

    // Refused drops.
    boxes.answer(plat::IDOK).answer(plat::IDOK).answer(plat::IDOK);
    view->OnDropFiles({QUrl::fromLocalFile(QString::fromStdString(file("x.bin", "?SPD\n")))});
    view->OnDropFiles({QUrl::fromLocalFile(QString::fromStdString((folder / "gone.txt").string()))});
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.shown()[0].text, "File format mismatch.\nYou can drop text format (*.txt) file only.");
    EXPECT_EQ(boxes.shown()[0].caption, "File drop error");
    EXPECT_EQ(boxes.shown()[1].text, "Failed to open file.\nThe specified file may not exist, or is read-only by other "
                                     "applicaton.\n" + plat::SystemErrorText(ENOENT));
    EXPECT_EQ(boxes.shown()[1].caption, "Cannot open file");

    // A parameter row dropped with Shift: its text shown as a comment, its name sent without CR.
    box.Clear(plat::TRUE, plat::TRUE);
    mark = sim.received().size();
    QMimeData row;
    row.setText("1,SPD,2,3,4,5,Speed,8,9,10,11,12");
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &row, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &row, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(view, &drop);
    EXPECT_TRUE(waitFor([&] { return text(box) == "\r\n;Speed\r\nSPD"; })) << text(box);
    view->TerminalEdit()->setFocus();
    QTest::keyClick(view->TerminalEdit(), Qt::Key_Return);
    ASSERT_TRUE(driverGot("SPD\r", mark, box));

    // Saved as CR LF lines; a file that cannot be made shows the box and leaves nothing.
    box.Clear(plat::TRUE, plat::TRUE);
    box.AddString("L1\r\nL2\nL3", plat::FALSE);
    dialogs.accept((folder / "record").string()).accept((folder / "missing" / "r.txt").string());
    ASSERT_TRUE(view->Commands().execute(CViewTerminal::ID_SAVE_RECORD));
    std::string saved;
    ASSERT_TRUE(plat::ReadFileBytes((folder / "record.txt").string(), saved));
    EXPECT_EQ(saved, "L1\r\nL2\r\nL3");
    EXPECT_EQ(dialogs.requests()[0].filter, "Text Documents(*.txt)|*.txt|All Files(*.*)|*.*|");
    EXPECT_EQ(dialogs.requests()[0].defaultExtension, "txt");
    ASSERT_TRUE(view->Commands().execute(CViewTerminal::ID_SAVE_RECORD));
    EXPECT_EQ(boxes.last().caption, "File save error");
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));

    // A failed write is shown; disconnecting makes the box read-only, Cut never offered.
    box.Clear(plat::TRUE, plat::TRUE);
    plat::SendMessage(view->GetSafeHwnd(), WM_COMM_TEXT, COMM_EVENT_WRITE_FAILED, 0);
    EXPECT_EQ(text(box), "Talverin: communication time out\r\n");
    plat::SendMessage(view->GetSafeHwnd(), WM_COMM_STATE_CHANGED, 0, 0);
    EXPECT_TRUE(view->TerminalEdit()->isReadOnly());
    EXPECT_FALSE(view->Commands().isEnabled(CViewTerminal::ID_EDIT_CUT));
    ZRComm_Term();
    EXPECT_TRUE(view->OnViewSwitch(true, VIEW_TERMINAL));
    EXPECT_TRUE(view->TerminalEdit()->isReadOnly());
    EXPECT_FALSE(view->Commands().isEnabled(CViewTerminal::ID_EDIT_PASTE));
}

TEST_F(TerminalPty, WindowSendsEveryCharacterKeepsTheLineCleanFlagAndHidesOnCancel)
{
    CTerminalDlg window(host, &main);
    window.show();
    CZRTERMED box = window.Terminal();
    EXPECT_EQ(window.windowTitle(), "Terminal window");
    EXPECT_EQ(text(box), "Warning: Cannot measure when using terminal window.\r\n");
    window.resize(50, 50);
    EXPECT_GE(window.width(), 160);
    EXPECT_GE(window.height(), 160);
    ASSERT_EQ(ZRComm_SetCommandMode(1), COMM_OK);
    ASSERT_TRUE(waitFor([] { return ZRComm_GetCommandCount(-1) == 0; }));

    // Tab goes too; each character sets or clears the line-clean flag, Enter included.
    std::size_t mark = sim.received().size();
    QTest::keyClicks(window.TerminalEdit(), "\t?spd");
    EXPECT_FALSE(lineClean);
    QTest::keyClick(window.TerminalEdit(), Qt::Key_Return);
    ASSERT_TRUE(driverGot("\t?SPD\r", mark, box));
    EXPECT_TRUE(lineClean);

    ASSERT_TRUE(plat::qt::SetClipboardText("?ACC\r\n"));
    mark = sim.received().size();
    ASSERT_TRUE(window.Commands().execute(CViewTerminal::ID_EDIT_PASTE));
    ASSERT_TRUE(driverGot("?ACC\r", mark, box));
    EXPECT_TRUE(waitFor([&] { return !window.IsPasting(); }));
    EXPECT_TRUE(lineClean);

    box.Clear(plat::TRUE, plat::TRUE);
    plat::SendMessage(window.GetSafeHwnd(), WM_COMM_TEXT, COMM_EVENT_WRITE_FAILED, 0);
    EXPECT_EQ(text(box), "Talverin:Send Timeout.\r\n");
    ASSERT_TRUE(waitFor([&] { return !mainMessages.empty(); }));
    EXPECT_EQ(mainMessages.back().id, WM_COMM_ERROR);
    EXPECT_EQ(mainMessages.back().w, 3u);
    EXPECT_EQ(mainMessages.back().l, 0x8000);

    ASSERT_TRUE(plat::qt::SetClipboardText("?ACC?ACC") && window.Commands().execute(CViewTerminal::ID_EDIT_PASTE));
    window.SetTerminalReadOnly(true); // the line went mid-paste: the paste ends
    EXPECT_TRUE(window.TerminalEdit()->isReadOnly());
    EXPECT_FALSE(window.IsPasting());
    window.reject();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(hidden, 1);
}

// The viewer program as the starter runs it: one viewer per owner, no viewer without its file,
// /p printing without a preview and ending, SIGTERM ending a viewer that shows its preview.
#include <platform/process.h>
#include <platform/process_lock.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <unistd.h>

namespace {

constexpr plat::DWORD kWait = 20000;

class ViewerProcess : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QFile file(QString::fromStdString(report()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html><body><table><tr><td>SPD</td><td>1500</td></tr></table></body></html>");
    }
    void TearDown() override { ::unsetenv("ZRREPORT_TEST_PDF"); }

    std::string report() const { return m_dir.filePath("report 131.html").toStdString(); }
    // Owners no other test run uses.
    static plat::DWORD owner(int n) { return 3000000000u + static_cast<plat::DWORD>(::getpid()) * 4 + n; }
    static std::string mod(plat::DWORD owner) { return "/MOD" + std::to_string(owner); }
    static std::string lock(plat::DWORD owner) { return "VEKZR_PRINT_" + std::to_string(owner); }

    static void start(plat::Process& process, std::vector<std::string> args)
    {
        args.insert(args.begin(), ZRREPORT_PROGRAM);
        ASSERT_TRUE(process.start(args));
    }
    // Until the viewer holds its lock (or has ended).
    static bool waitForLock(plat::Process& process, const std::string& name)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWait);
        while (std::chrono::steady_clock::now() < end) {
            if (plat::ProcessLock::isHeld(name)) return true;
            if (!process.isRunning()) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    QTemporaryDir m_dir;
};

TEST_F(ViewerProcess, OneViewerPerOwnerAndSigtermEndsItAsExitDoes)
{
    plat::Process first;
    start(first, {report(), mod(owner(0))});
    ASSERT_TRUE(waitForLock(first, lock(owner(0))));

    plat::Process second;
    start(second, {report(), mod(owner(0))});
    ASSERT_TRUE(second.wait(kWait));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(first.isRunning());

    // The first shows its preview (a modal dialog); the request ends it normally.
    ASSERT_TRUE(first.stop(kWait));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_FALSE(plat::ProcessLock::isHeld(lock(owner(0))));
}

TEST_F(ViewerProcess, WithoutItsFileTheViewerEndsAndLeavesNoLock)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{m_dir.filePath("none.html").toStdString(), mod(owner(1))},
          std::vector<std::string>{"/p", mod(owner(1))},
          std::vector<std::string>{m_dir.path().toStdString(), mod(owner(1))}}) {
        plat::Process viewer;
        start(viewer, args);
        ASSERT_TRUE(viewer.wait(kWait));
        EXPECT_EQ(viewer.exitCode(), 1) << args.front();
        EXPECT_FALSE(plat::ProcessLock::isHeld(lock(owner(1))));
    }
}

TEST_F(ViewerProcess, PrintSwitchPrintsWithoutPreviewAndEnds)
{
    const std::string pdf = m_dir.filePath("out.pdf").toStdString();
    ::setenv("ZRREPORT_TEST_PDF", pdf.c_str(), 1);
    plat::Process viewer;
    start(viewer, {"/p", report(), mod(owner(2))});
    ASSERT_TRUE(viewer.wait(kWait)); // a preview would keep it running
    EXPECT_EQ(viewer.exitCode(), 0);
    EXPECT_GT(QFile(QString::fromStdString(pdf)).size(), 0);
}

} // namespace

// Report printing on the program's side: the fill into the report file, and the viewer started,
// replaced and closed (the real zrreport, run offscreen from a scratch program folder).
#include "talverin/ReportPrinting.h"

#include <model/DataFile.h>
#include <model/ReportFill.h>

#include <platform/message_box.h>
#include <platform/process_lock.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace talverin {
namespace {

std::string Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class ReportPrintingTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QDir bin(QStringLiteral(TALVERIN_BIN_DIR));
        for (const char* name : {"Talverin.ini", "unit/kvx100.ini", "report_en/report_Parameter.html",
                                 "report_en/report_io.html", "report_en/report_channel.html"}) {
            QDir().mkpath(QFileInfo(m_dir.filePath(name)).path());
            ASSERT_TRUE(QFile::copy(bin.filePath(name), m_dir.filePath(name))) << name;
        }
        QFile::link(bin.filePath("zrreport"), m_dir.filePath("zrreport"));
        m_store.m_programFolder = folder();
        ASSERT_EQ(m_store.LoadSettings(folder() + "/Talverin.ini"), 1);
        ASSERT_EQ(m_store.LoadDefinition(folder() + "/unit/kvx100.ini"), 1);
        ASSERT_EQ(m_store.ResetToDefaults(), 1);
    }

    std::string folder() const { return m_dir.path().toStdString(); }
    std::string report(int view) const { return folder() + "/report" + std::to_string(view) + ".html"; }
    static bool exists(const std::string& path) { return QFile::exists(QString::fromStdString(path)); }

    QTemporaryDir m_dir;
    model::CDataFile m_store;
    plat::ScriptedMessageBoxes m_boxes;
    plat::ScopedMessageBoxService m_service{m_boxes};
};

TEST_F(ReportPrintingTest, FillGrowsToTheResultOfOneLargeFill)
{
    ReportPrinting printing(m_store);
    // A label 80 times as long as its token: the report is far longer than the template.
    m_store.FindParameter("SPD")->m_label = std::string(1000, 'L');
    std::string text = "<p>##YEAR##</p>";
    for (int i = 0; i < 400; ++i) text += "##SPD-NAME##|##ZZ##|##PI7-NW##|";
    model::ReportText unlimited{text, model::ReportText::kUnlimited};
    ASSERT_EQ(m_store.WriteParameterReport(unlimited), 0);
    ASSERT_EQ(model::FillReportDate(unlimited), 0);
    ASSERT_EQ(model::ReplaceLeftoverTokens(unlimited, "-"), 0);
    EXPECT_GT(unlimited.text.size(), 22 * text.size()); // more than one retry
    EXPECT_EQ(printing.FillReportText(text, kReportViewParameter, 0), unlimited.text);

    // An empty template fills to an empty report; the channel report keeps unknown tokens.
    EXPECT_EQ(printing.FillReportText("", kReportViewIO, 0), "");
    EXPECT_EQ(printing.FillReportText("CH ##CH-NO## ##ZZ##", kReportViewChannel, 7), "CH 7 ##ZZ##");
}

TEST_F(ReportPrintingTest, FailuresAreShownAndStartNoViewer)
{
    ReportPrinting printing(m_store);
    m_store.m_reportParameter = folder() + "/none.html";
    m_boxes.answer(plat::IDOK).answer(plat::IDOK).answer(plat::IDOK);
    EXPECT_FALSE(printing.PrintReport(kReportViewParameter, false, 0, folder(), nullptr));
    EXPECT_NE(m_boxes.last().text.find("none.html cannot be read"), std::string::npos);
    EXPECT_FALSE(exists(report(kReportViewParameter)));

    EXPECT_FALSE(printing.PrintReport(kReportViewIO, false, 0, folder() + "/missing", nullptr));
    EXPECT_NE(m_boxes.last().text.find("missing/report132.html cannot be written"), std::string::npos);

    QFile::remove(m_dir.filePath("zrreport"));
    EXPECT_FALSE(printing.PrintReport(kReportViewIO, true, 0, folder(), nullptr));
    EXPECT_NE(m_boxes.last().text.find("zrreport cannot be started"), std::string::npos);
    EXPECT_EQ(printing.viewerProcess(), nullptr);
    EXPECT_EQ(m_boxes.count(), 3u);
    EXPECT_FALSE(printing.PrintReport(203, false, 0, folder(), nullptr)); // the blank screen has no report
    EXPECT_EQ(m_boxes.count(), 3u);
}

TEST_F(ReportPrintingTest, EachPreviewReplacesTheLastViewerAndTheEndClosesIt)
{
    const std::string lock = ReportPrinting::ViewerLockName();
    {
        ReportPrinting printing(m_store);
        ASSERT_TRUE(printing.PrintReport(kReportViewParameter, false, 0, folder(), nullptr));
        const qint64 first = printing.viewerWindow();
        ASSERT_NE(first, 0); // it holds its lock
        EXPECT_TRUE(exists(report(kReportViewParameter)));
        EXPECT_EQ(printing.lastReportFile(), report(kReportViewParameter));

        ASSERT_TRUE(printing.PrintReport(kReportViewChannel, false, 3, folder(), nullptr));
        EXPECT_NE(printing.viewerWindow(), 0);
        EXPECT_NE(printing.viewerWindow(), first);
        EXPECT_NE(::kill(static_cast<pid_t>(first), 0), 0); // the first viewer has ended
        EXPECT_FALSE(exists(report(kReportViewParameter)));
        EXPECT_NE(Bytes(QString::fromStdString(report(kReportViewChannel))).find("3"), std::string::npos);

        // A viewer killed from outside: the next print starts a new one all the same.
        ::kill(static_cast<pid_t>(printing.viewerWindow()), SIGKILL);
        printing.viewerProcess()->waitForFinished(5000);
        ASSERT_TRUE(printing.PrintReport(kReportViewIO, false, 0, folder(), nullptr));
        EXPECT_NE(printing.viewerWindow(), 0);
        EXPECT_FALSE(exists(report(kReportViewChannel)));
        EXPECT_TRUE(plat::ProcessLock::isHeld(lock));
    }
    EXPECT_FALSE(plat::ProcessLock::isHeld(lock));
    EXPECT_FALSE(exists(report(kReportViewIO)));
    EXPECT_EQ(m_boxes.count(), 0u);
}

} // namespace
} // namespace talverin

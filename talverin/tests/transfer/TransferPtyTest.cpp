// The upload/download dialog on the simulated KVX-100: the sample document into the driver, a
// second run with a refused line, uploads to a file and into the current document and the current
// data back into the driver, Cancel in the middle, a driver that stops answering, Browse and the
// port choice, and failed uploads that leave the file alone.
#include "FrameFixture.h"

#include "common/CommandIds.h"
#include "frame/PortMenu.h"
#include "transfer/CPortSelectDlg.h"
#include "transfer/CTransferDlg.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <drivesim/Fault.h>
#include <model/CommandSupport.h>
#include <model/ZRParamData.h>
#include <platform/text.h>
#include <testsupport/wait.h>
#include <zrcomm/zrcomm_api.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace talverin;
using drivesim::Fault;
using drivesim::FaultKind;
using Lines = std::vector<std::string>;

namespace {

const std::string kUnit = std::string(TALVERIN_SAMPLE_DATA_DIR) + "/unit/kvx100.ini";
const std::string kSample = std::string(TALVERIN_SAMPLE_DATA_DIR) + "/sample/kvx100_sample.zrd";

// A whole download waits for the driver's 256 channel questions (about 50 ms each).
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 90000)
{
    return plat::test::waitUntil(
        [&] {
            plat::qt::PumpAllPending();
            return done();
        },
        timeoutMs);
}

template <typename W>
W* Control(CTransferDlg& t, int id)
{
    return t.findChild<W*>(QString::number(id));
}

class TransferPty : public apptest::FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        ::setenv("ZRCOMM_TEST_WATCHDOG_MS", "1500", 1);
        ASSERT_TRUE(m_model.load(kUnit));
        m_model.install(m_sim);
        if (m_baud) {
            drivesim::Options paced = m_sim.options();
            paced.pacing = true;
            m_sim.setOptions(paced);
            SetSetting("Port", "COM7", (std::to_string(m_baud / 100) + ",n,8,1").c_str());
        }
        ASSERT_TRUE(m_sim.start());
        SetSetting("ExtPort", "COM7", m_sim.slavePath().c_str());
        SetSetting("Port", "Connect", "COM7");
        SetSetting("Port", "CommandTimeout", "5000");
        ASSERT_TRUE(Start());
    }
    void TearDown() override
    {
        m_sim.clearFaults();
        ZRComm_RemoveCommand(-1);
        ZRComm_Term();
        plat::qt::PumpAllPending();
        ::unsetenv("ZRCOMM_TEST_WATCHDOG_MS");
        FrameFixture::TearDown();
    }
    // Opens the dialog of the command; `script` drives it while it is shown modally.
    void RunDialog(plat::UINT command, std::function<void(CTransferDlg&)> script)
    {
        AnswerDialog([script](QDialog& dialog) {
            auto& transfer = dynamic_cast<CTransferDlg&>(dialog);
            dialog.setWindowModality(Qt::ApplicationModal);
            dialog.show();
            script(transfer);
            dialog.hide();
            return dialog.result();
        });
        frame().Commands().execute(command);
        EXPECT_FALSE(frame().IsTransferDialogOpen());
        EXPECT_EQ(app().m_transferRunning, 0);
    }
    bool portClosed() { return ZRComm_GetCommandCount(-1) == -1; }
    bool Ended(CTransferDlg& t)
    {
        // A second notice of the closed port may already have put the ended run back to idle.
        const bool ended = PumpUntil([&] {
            return (t.State() == CTransferDlg::kFinished || t.State() == CTransferDlg::kIdle) && t.FinishedResult() != 0 &&
                   portClosed();
        });
        if (!ended)
            ADD_FAILURE() << "state " << t.State() << ", " << Wire().size() << " lines, last "
                          << (Wire().empty() ? "" : Wire().back());
        return ended;
    }
    bool Run(CTransferDlg& t)
    {
        t.OnOK();
        return Ended(t);
    }
    QString Instruction(CTransferDlg& t) { return Control<QLabel>(t, CTransferDlg::IDC_INSTRUCTION)->text(); }
    void SetFile(CTransferDlg& t, const std::string& path)
    {
        Control<QLineEdit>(t, CTransferDlg::IDC_FILE)->setText(QString::fromStdString(path));
    }
    Lines Wire()
    {
        Lines lines;
        for (const std::string& line : m_sim.receivedLines())
            if (!line.empty() && line != "WWC")
                lines.push_back(line);
        return lines;
    }
    Lines WireSince(std::size_t from)
    {
        const Lines lines = Wire();
        return {lines.begin() + static_cast<long>(std::min(from, lines.size())), lines.end()};
    }
    bool Sent(const std::string& line)
    {
        const Lines lines = Wire();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    plat::SystemClock m_realClock; // the library's threads and time-outs run on real time
    plat::ScopedClock m_useRealClock{m_realClock};
    drivesim::DriverModel m_model;
    drivesim::DriverSim m_sim;
    int m_baud = 0; // set before SetUp: the port's rate, the driver paced byte by byte at it
};

class TransferRatesPty : public TransferPty, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        m_baud = GetParam();
        TransferPty::SetUp();
    }
};

} // namespace

TEST_F(TransferPty, DownloadsTheSampleDocumentAndThenAFileWithARefusedLine)
{
    drivesim::DriverModel expected;
    ASSERT_TRUE(expected.load(kUnit));
    ASSERT_TRUE(expected.loadState(kSample));
    m_model.setValue("SPD", "777");
    RunDialog(ID_DOWNLOAD, [&](CTransferDlg& t) {
        // A name the driver's files cannot have is refused before any connection.
        SetFile(t, m_folder.file("a,b.zrd"));
        m_boxes.answer(plat::IDOK);
        t.OnOK();
        EXPECT_EQ(m_boxes.last().caption, "File name error");
        EXPECT_EQ(t.State(), CTransferDlg::kIdle);
        EXPECT_TRUE(m_sim.receivedLines().empty());

        SetFile(t, kSample);
        ASSERT_TRUE(Run(t));
        EXPECT_EQ(t.FinishedResult(), 1);
        EXPECT_EQ(Instruction(t), "Completed without error");
        const Lines wire = Wire();
        ASSERT_GE(wire.size(), 3u);
        EXPECT_EQ(wire[0], "MI");
        EXPECT_EQ(wire[1], "KP1");
        EXPECT_EQ(wire.back(), "KP0");
        EXPECT_FALSE(Sent("TA/HI"));
        EXPECT_EQ(m_model.dumpText(), expected.dumpText());
        EXPECT_TRUE(m_model.locked());

        // OK starts over; the second run's results are its own.
        t.OnRunningButton();
        ASSERT_EQ(t.State(), CTransferDlg::kIdle);
        const std::string text = m_folder.file("values.txt");
        ASSERT_TRUE(plat::WriteFileAtomic(text, "KP1\nSPD 200\r\nSPD 5000\rACC 60\nKP0"));
        SetFile(t, text);
        const std::size_t from = Wire().size();
        ASSERT_TRUE(Run(t));
        EXPECT_EQ(WireSince(from), (Lines{"MI", "KP1", "SPD200", "SPD5000", "ACC60", "KP0"}));
        EXPECT_EQ(t.FinishedResult(), 1);
        ASSERT_EQ(t.Errors().size(), 1u);
        EXPECT_EQ(t.Errors()[0].command, "SPD5000\r");
        EXPECT_EQ(t.Errors()[0].code, COMM_REPLY_RANGE_OVER);
        EXPECT_EQ(Instruction(t), "Error on following commands.");
        auto* list = Control<QTableWidget>(t, CTransferDlg::IDC_ERRORS);
        ASSERT_EQ(list->rowCount(), 1);
        EXPECT_EQ(list->item(0, 1)->text().toStdString(), model::GetCommErrorText(COMM_REPLY_RANGE_OVER, 1033));
        EXPECT_EQ(m_model.value("ACC"), "60") << "the run went on";
        t.reject();
    });
}

TEST_F(TransferPty, UploadsToAFileAndIntoTheCurrentDocumentThenDownloadsItBack)
{
    m_model.setValue("SPD", "321");
    m_model.raiseAlarm(31, "OVER CURRENT");
    const std::string path = m_folder.file("upload.txt");
    RunDialog(ID_UPLOAD, [&](CTransferDlg& t) {
        EXPECT_TRUE(Control<QCheckBox>(t, CTransferDlg::IDC_SPECIAL)->isHidden());
        SetFile(t, path);
        ASSERT_TRUE(Run(t));
        EXPECT_EQ(t.FinishedResult(), 1);
        EXPECT_EQ(Wire(), (Lines{"MI", "TX0"}));
        std::string written = apptest::ReadText(path);
        EXPECT_EQ(written, m_model.dumpText());

        // A file that cannot be made: the run fails and nothing is left half-written.
        t.OnRunningButton();
        SetFile(t, m_folder.file("missing/upload.txt"));
        m_boxes.answer(plat::IDOK);
        ASSERT_TRUE(Run(t));
        EXPECT_EQ(t.FinishedResult(), -1);
        EXPECT_EQ(m_boxes.last().caption, "File save error");
        EXPECT_EQ(m_boxes.last().text, "Failed to create file\nCheck that the file is not read-only" + apptest::Reason(ENOENT));
        EXPECT_EQ(Instruction(t), "Terminated with Error");

        // Into the current document: the alarm history first, then everything.
        t.OnRunningButton();
        Control<QCheckBox>(t, CTransferDlg::IDC_CURRENT)->setChecked(true);
        const std::size_t from = Wire().size();
        doc().SetModifiedFlag(false);
        ASSERT_TRUE(Run(t));
        EXPECT_EQ(WireSince(from), (Lines{"MI", "TA/HI", "TX0"}));
        EXPECT_EQ(store().FindParameter("SPD")->m_currentValue, 321);
        EXPECT_NE(store().m_alarmText.find("31"), std::string::npos) << store().m_alarmText;
        EXPECT_TRUE(doc().IsModified()) << "marked once loaded, however the dialog closes";
        EXPECT_EQ(store().m_newDocument, 0);
        t.OnRunningButton();
        EXPECT_EQ(t.result(), QDialog::Accepted);
    });

    // The current data back into a changed driver leaves it as it was read.
    const std::string read = m_model.dumpText();
    m_model.setLocked(false);
    m_model.setValue("SPD", "999");
    ASSERT_TRUE(m_model.setChannel(3, {"SPD500", "END"}));
    RunDialog(ID_DOWNLOAD, [&](CTransferDlg& t) {
        Control<QCheckBox>(t, CTransferDlg::IDC_CURRENT)->setChecked(true);
        ASSERT_TRUE(Run(t));
        EXPECT_EQ(t.FinishedResult(), 1);
        EXPECT_TRUE(t.Errors().empty()) << t.Errors().front().command;
        EXPECT_EQ(m_model.dumpText(), read);
        t.reject();
    });
}

TEST_F(TransferPty, CancelRestoresTheLockAndAStoppedDriverEndsWithAnError)
{
    m_sim.injectFault(Fault(FaultKind::PromptDelay).on("ACC50").after(std::chrono::milliseconds(2000)));
    RunDialog(ID_DOWNLOAD, [&](CTransferDlg& t) {
        SetFile(t, kSample);
        t.OnOK();
        ASSERT_TRUE(PumpUntil([&] { return Sent("ACC50"); }));
        // Esc while running is Cancel.
        t.reject();
        ASSERT_TRUE(Ended(t));
        EXPECT_EQ(t.FinishedResult(), 2);
        EXPECT_EQ(Instruction(t), "Action cancelled");
        EXPECT_EQ(Wire().back(), "KP0") << "the lock as it was read last";
        EXPECT_FALSE(Sent("GAIN1.00"));
        EXPECT_TRUE(m_model.locked());

        t.OnRunningButton();
        SetFile(t, kSample);
        const std::size_t from = Wire().size();
        t.OnOK();
        ASSERT_TRUE(PumpUntil([&] {
            const Lines since = WireSince(from);
            return std::find(since.begin(), since.end(), "SPD100") != since.end();
        }));
        // The frame may name the line's failure in a box, or the run's end says it alone.
        m_boxes.answer(plat::IDOK).answer(plat::IDOK);
        m_sim.injectFault(Fault(FaultKind::Silence).always());
        ASSERT_TRUE(Ended(t));
        EXPECT_EQ(t.FinishedResult(), -1);
        m_boxes.clear();
        EXPECT_EQ(Instruction(t), "Terminated with Error");
        EXPECT_TRUE(Control<QPushButton>(t, CTransferDlg::IDC_RUNNING)->isEnabled());
        t.reject();
    });
}

TEST_F(TransferPty, AChannelProgramThatFailedGoesAgainIntoAClearedChannel)
{
    SetSetting("Port", "CommandTimeout", "1000"); // the lost prompt ends the first try on it
    const std::string path = m_folder.file("channel.txt");
    ASSERT_TRUE(plat::WriteFileAtomic(path, "KP1\nCH5\nSPD500\nMOV+1000\nEND\n\nKP0\n"));
    RunDialog(ID_DOWNLOAD, [&](CTransferDlg& t) {
        for (const bool refused : {false, true}) { // a refused clear ends the run before a second try
            if (refused)
                m_sim.addCommand(drivesim::Match::exact("CC5"), drivesim::Program{drivesim::Error("PASSWORD REQUIRED")});
            m_sim.injectFault(Fault(FaultKind::DropPrompt).on("CH5"));
            ASSERT_TRUE(m_model.setChannel(5, {}));
            SetFile(t, path);
            const std::size_t from = Wire().size();
            m_boxes.answer(plat::IDOK).answer(plat::IDOK);
            ASSERT_TRUE(Run(t));
            EXPECT_EQ(t.FinishedResult(), refused ? -1 : 1);
            EXPECT_EQ(WireSince(from).back(), refused ? "CC5" : "KP0");
            EXPECT_EQ(m_model.channel(5), (Lines{"SPD500", "MOV+1000", "END"}));
            EXPECT_EQ(m_boxes.shown().empty() ? "" : m_boxes.shown().at(0).caption, refused ? "Communication error" : "");
            m_boxes.clear();
            t.OnRunningButton();
        }
        t.reject();
    });
}

TEST_F(TransferPty, BrowseAndThePortChoiceFeedTheDialogAndTheFrame)
{
    SetSetting("ExtPort", "COM9", m_sim.slavePath().c_str());
    ASSERT_TRUE(Restart());
    RunDialog(ID_UPLOAD, [&](CTransferDlg& t) {
        EXPECT_EQ(t.windowTitle().toStdString(), "Upload(Driver -> PC) - COM7");
        m_files.accept(m_folder.file("chosen.txt"));
        t.OnBrowse();
        ASSERT_EQ(m_files.requests().size(), 1u);
        EXPECT_TRUE(m_files.requests()[0].save);
        EXPECT_EQ(m_files.requests()[0].defaultExtension, "txt");
        EXPECT_EQ(Control<QLineEdit>(t, CTransferDlg::IDC_FILE)->text().toStdString(), m_folder.file("chosen.txt"));

        AnswerDialog([](QDialog& dialog) {
            auto& ports = dynamic_cast<CPortSelectDlg&>(dialog);
            ports.Ports()->setCurrentIndex(ports.Ports()->findText("COM9"));
            ports.accept();
            return ports.result();
        });
        t.OnPortButton();
        EXPECT_EQ(t.PortName(), "COM9");
        EXPECT_EQ(store().m_connectPort, "COM9");
        EXPECT_EQ(frame().Ports().CheckedName().toStdString(), "COM9");
        EXPECT_EQ(t.windowTitle().toStdString(), "Upload(Driver -> PC) - COM9");
        // The upload runs on the chosen port.
        ASSERT_TRUE(Run(t));
        EXPECT_EQ(t.FinishedResult(), 1);
        t.reject();
    });
}

TEST_F(TransferPty, AnUploadThatFailsLeavesTheFileAsItWas)
{
    const std::string path = m_folder.file("kept.txt");
    ASSERT_TRUE(plat::WriteFileAtomic(path, "old\r\n"));
    SetSetting("DOWNLOAD", "Special", "NOPE");
    ASSERT_TRUE(Restart());
    RunDialog(ID_UPLOAD, [&](CTransferDlg& t) {
        SetFile(t, path);
        struct Case {
            const char* name;
            std::function<void()> arm;
            const char* box; // the last box's caption
        };
        const std::vector<Case> cases = {
            // The driver answers "?NOPE?" for the unknown special: the reply holds a '?'.
            {"refused special", [] {}, "Upload Error"},
            {"error reply", [&] { m_sim.addCommand(drivesim::Match::exact("?NOPE,TX0"), drivesim::Program{drivesim::Error("UNKNOWN OPTION")}); },
             "Communication error"},
            {"hang-up", [&] { m_sim.injectFault(Fault(FaultKind::HangUp).on("?NOPE,TX0")); }, nullptr},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            c.arm();
            m_boxes.answer(plat::IDOK).answer(plat::IDOK);
            ASSERT_TRUE(Run(t));
            EXPECT_EQ(t.FinishedResult(), -1);
            EXPECT_EQ(Instruction(t), "Terminated with Error");
            if (c.box) {
                EXPECT_EQ(m_boxes.shown().at(0).caption, c.box);
            }
            m_boxes.clear();
            EXPECT_EQ(apptest::ReadText(path), "old\r\n");
            t.OnRunningButton();
        }
        t.reject();
    });
}

// Byte by byte at the wire's pace, with replies that stall on the way (each gap shorter than the
// silence that makes a final '?' or ';' a question or a page): nothing the driver sends or is sent
// may be lost or misread, at any of its rates.
TEST_P(TransferRatesPty, TheWholeDownloadAndTheReadAllArriveIntact)
{
    using std::chrono::milliseconds;
    drivesim::DriverModel expected;
    ASSERT_TRUE(expected.load(kUnit));
    ASSERT_TRUE(expected.loadState(kSample));
    m_sim.injectFault(Fault(FaultKind::EchoDelay).on("SPD100").after(milliseconds(40)));
    m_sim.injectFault(Fault(FaultKind::PromptDelay).on("KP1").after(milliseconds(40)));
    m_sim.injectFault(Fault(FaultKind::ByteDelay).on("CH0").after(milliseconds(15)));
    m_sim.injectFault(Fault(FaultKind::SplitWrites).on("PI0").splitAfterText({"000"}).after(milliseconds(30)));
    RunDialog(ID_DOWNLOAD, [&](CTransferDlg& t) {
        SetFile(t, kSample);
        ASSERT_TRUE(Run(t));
        EXPECT_EQ(t.FinishedResult(), 1);
        EXPECT_TRUE(t.Errors().empty()) << t.Errors().front().command;
        EXPECT_EQ(plat::SplitLines(m_model.dumpText()), plat::SplitLines(expected.dumpText()));
        t.reject();
    });

    // The read-all in pages, its reply split where a line ends and inside one.
    m_model.setPageLines(40);
    m_sim.injectFault(Fault(FaultKind::SplitWrites).on("TX0").splitAt({40, 400, 401, 1200}).after(milliseconds(30)));
    const std::string path = m_folder.file("upload.txt");
    RunDialog(ID_UPLOAD, [&](CTransferDlg& t) {
        SetFile(t, path);
        ASSERT_TRUE(Run(t));
        EXPECT_EQ(t.FinishedResult(), 1);
        EXPECT_EQ(plat::SplitLines(apptest::ReadText(path)), plat::SplitLines(m_model.dumpText()));
        EXPECT_GT(m_sim.stats().loneBlanks, 10u) << "paged";
        t.reject();
    });
}

INSTANTIATE_TEST_SUITE_P(Rates, TransferRatesPty, ::testing::Values(9600, 19200, 38400, 57600));

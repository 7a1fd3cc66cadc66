// The upload/download dialog (202): moves all of a driver's settings into the current document or
// a text file (upload), or writes a document, a text file of driver commands or the current data
// into the driver (download), one command or block at a time, listing what the driver refused. A
// run connects through the frame's Connect, is driven by the command events and the frame's
// connection notices, and ends through the frame's Disconnect with one of four end texts. What it
// needs of the frame it is given (TransferHost).
// CTransferDlg.cpp: the looks, the inputs, Browse and the port; CTransferDlgRun.cpp: the run.
#pragma once

#include <platform/types.h>
#include <zrcomm/zrcomm.h>

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class DriverConnection;
struct Completion;
class PortList;
class PortRecord;
class ProgramState;

// What the dialog asks of the frame it runs over.
struct TransferHost {
    // The frame: Connect, Disconnect and the connection's messages go to its handle.
    plat::HWND frame = nullptr;
    DriverConnection* connection = nullptr;
    // The connection bar, the line's monitor window (null: none).
    plat::HWND monitorWindow = nullptr;
    // The frame's port records; a port's settings dialog over `parent` (true: OK), and the port
    // made the one Connect opens (the menu's check, the Connect caption).
    PortList* ports = nullptr;
    std::function<bool(PortRecord& record, plat::HWND parent)> configurePort;
    std::function<void(const std::string& name)> checkPort;
};

class CTransferDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 202;
    enum ControlId : int {
        IDC_INSTRUCTION = 1000,
        IDC_CURRENT = 1013,
        IDC_FILE = 1014,
        IDC_PORT = 1016,
        IDC_SPECIAL = 1017,
        IDC_BROWSE = 1018,
        IDC_FILE_LABEL = 1019,
        IDC_RUNNING = 1020,
        IDC_ERRORS = 1074,
        IDC_RUN = 1,
        IDC_CANCEL = 2,
    };
    enum RunState : int {
        kIdle = 0,
        kConnecting = 1,
        kTransferring = 2,
        kCancelling = 3,
        kFinishing = 4,
        kFinished = 5,
        kRetrying = 6,
        kFailed = 7,
    };
    enum Direction : int { kDownload = 0, kUpload = 1 };

    struct ErrorRecord {
        std::string command;
        std::uint32_t code = 0;
    };

    // The port is the data store's Connect name; the connection bar becomes the line's monitor.
    CTransferDlg(TransferHost host, ProgramState& app, int direction, QWidget* parent = nullptr);
    ~CTransferDlg() override;

    plat::HWND GetSafeHwnd() const;
    int GetDirection() const { return m_direction; }
    int State() const { return m_runState; }
    int FinalResult() const { return m_finalResult; }
    int FinishedResult() const { return m_finishedResult; }
    const std::vector<ErrorRecord>& Errors() const { return m_errors; }
    const std::string& PortName() const { return m_portName; }

    // Run (1): checks the inputs, connects, and once connected starts the transfer.
    void OnOK();
    // 1020: Cancel while running, OK at the end.
    void OnRunningButton();
    void OnBrowse();
    void OnPortButton();
    // Esc and the close box act as Cancel while a run is under way.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // ---- Looks (CTransferDlg.cpp) ----
    void buildControls();
    void showStartLook(bool returning);
    void showRunningLook();
    void showEndLook(int result);
    void updateInputs();
    void updateCaption();
    QString specialLabel() const;
    QString filePath() const;
    bool checkInputs();
    void setStartControlsEnabled(bool on);
    int box(const QString& text, const QString& title);

    // ---- The run (CTransferDlgRun.cpp) ----
    plat::LRESULT onCommCommand(plat::WPARAM event, CommandId id);
    plat::LRESULT onCommStateChanged(plat::WPARAM connected, plat::LPARAM reason);
    void startConnected();
    bool checkDocumentFile(bool connected, std::string* bytes);
    bool queue(const std::string& text, std::intptr_t tag, const QString& title);
    void queueReadAll();
    void sendFrom(std::size_t position);
    void finishUpload(CommandId id, const std::string& reply);
    bool writeUploadFile(const std::string& reply);
    void addError(std::uint32_t code);
    bool withdrawChannelProgram(CommandId id);
    void finishChannelClear(const Completion& done);
    // The run ends with the frame's error box and disconnection for `reason` (an event or a code).
    void giveUp(CommandId id, plat::WPARAM reason);
    void cancelRun();
    // Through the frame's Disconnect: the commands removed, then run state `state` with `result`.
    void disconnectRun(int result, int state = kFinishing);
    void endRun(int result);
    void postToFrame(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);
    bool isCurrentData() const;
    QString commandTitle() const;

    TransferHost m_host;
    ProgramState& m_app;
    const int m_direction;
    std::string m_portName;
    plat::HWND m_connectionBar = nullptr;

    int m_runState = kIdle;
    int m_finalResult = 0;
    int m_finishedResult = 0;
    int m_uploadPhase = 2;
    bool m_blockFlag = false;
    bool m_specialFlag = false;
    CommandId m_currentCommand = 0;
    std::string m_currentText;
    std::size_t m_nextRecord = 0;
    std::size_t m_blockStart = 0; // the position of the command in flight
    // A channel program that failed goes again only once its channel is cleared: first the failed
    // command is withdrawn, then the clear runs, then the program is sent anew.
    enum ResendStep : int { kNoResend = 0, kWithdrawing = 1, kClearing = 2 };
    int m_resendStep = kNoResend;
    CommandId m_lockCommand = 0; // the lock restore a Cancel queues
    std::vector<std::string> m_sendList;
    std::vector<ErrorRecord> m_errors;
    bool m_columnsMade = false;

    QLabel* m_instruction = nullptr;
    QCheckBox* m_current = nullptr;
    QLabel* m_fileLabel = nullptr;
    QLineEdit* m_file = nullptr;
    QPushButton* m_browse = nullptr;
    QCheckBox* m_special = nullptr;
    QProgressBar* m_progress = nullptr;
    QTableWidget* m_list = nullptr;
    QPushButton* m_port = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_running = nullptr;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
};

} // namespace talverin

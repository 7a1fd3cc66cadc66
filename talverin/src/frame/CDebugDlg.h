// The debug window (View > Debug Window when [Debug] Debug=1): lists the communication
// library's queued commands, shows one's text and removes one, by hand or every second. Made once
// and shown again; it works on whatever port the program has open.
#pragma once

#include <platform/types.h>

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CDebugDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 164;
    static constexpr int IDC_LOG = 1059;
    static constexpr int IDC_IDS = 1051;
    static constexpr int IDC_AUTO = 1061;
    static constexpr int IDC_LIST = 1062;
    static constexpr int IDC_REMOVE = 1063;
    static constexpr int IDC_SHOW = 1065;
    static constexpr plat::UINT kTimerId = 1000;
    static constexpr plat::UINT kTimerMs = 1000;
    static constexpr unsigned kCommandTextSize = 8191;

    explicit CDebugDlg(QWidget* parent = nullptr);
    ~CDebugDlg() override;

    plat::HWND GetSafeHwnd() const;

    // 1062: the queued commands into the combo box (id as item data) and the log.
    void OnList();
    // 1065: the selected command's text into the log.
    void OnShow();
    // 1063: removes the selected command.
    void OnRemove();
    // 1061: list every second while checked.
    void OnAutoToggled(bool checked);

    QPlainTextEdit* Log() const { return m_log; }
    QComboBox* Ids() const { return m_ids; }
    QCheckBox* AutoList() const { return m_auto; }

private:
    void appendLog(const QString& text);

    QPlainTextEdit* m_log = nullptr;
    QComboBox* m_ids = nullptr;
    QCheckBox* m_auto = nullptr;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
};

} // namespace talverin

// The I/O editor (view 132): the 50 pins of the driver's CN2 connector as pin rows 2901-2950
// (row 2900 + n shows pin n; 1-25 inputs, 26-50 outputs), kept in the data store's pin records.
// While the screen is current and a driver is connected it watches the pins' states ("IO0",
// "IO1" every 200 ms) and colours the rows; every edit of a row is sent to the driver at once as a
// PI/PO setting, and a pin can be read back ("TPI"/"TPO"). Replies come back to the screen's
// handle as WM_COMM_COMMAND and are told apart by their tags.
//
// CViewIO.cpp holds the form, entering and leaving, the rows' events, the menus, keys and drops;
// CViewIOTraffic.cpp everything sent to and answered by the driver.
#pragma once

#include "common/AppMessages.h"
#include "controlhost/EventSinkMap.h"
#include "screens/CViewBase.h"

#include <platform/qt/command_table.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/timers.h>

#include <QPointer>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QMimeData;
class QScrollArea;

namespace model {
class CDataFile;
class CN2PinRecord;
}

namespace talverin {

class ScreenHost;
class CZRCN2;

class CViewIO : public CViewBase {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 132;
    static constexpr int kFirstRow = 2900; // + pin
    static constexpr int kPinCount = 50;
    static constexpr int kLegendFirst = 1070;
    static constexpr int kExtentStatic = 1078;
    static constexpr plat::UINT_PTR kMonitorTimer = 1001;
    static constexpr plat::UINT kMonitorPeriodMs = 200;

    // Commands of menus 203 (inputs) and 151 (outputs).
    enum MenuCommand : plat::UINT {
        ID_IO_COMMAND_WINDOW = 32841,
        ID_IO_LOGIC_A = 32842,
        ID_IO_LOGIC_B = 32843,
        ID_IO_LOGIC_NEGATIVE = 32880,
        ID_IO_LOGIC_POSITIVE = 32881,
        ID_IO_REFRESH = 32899,
        ID_IO_RESET = 57632,
    };

    explicit CViewIO(ScreenHost& host, QWidget* parent = nullptr);
    ~CViewIO() override;

    bool OnViewSwitch(bool entered, int target) override;
    bool OnCollectViewData() override;
    void OnDataReloaded(bool keepSamples) override;
    void OnNewDocumentDone() override;

    // The frame's keyboard hook while this screen is current and no pin menu is open: Enter typed
    // in a pin row moves the focus on (Tab) and is consumed.
    bool HandleHookKey(const plat::qt::KeyInput& key) override;

    // The form holding the rows (GetDlgItem by id on it) and the pin row of pin n (1-50).
    QWidget* Form() const { return m_form; }
    CZRCN2 Row(int pin) const;
    plat::qt::CommandTable& Commands() override { return m_commands; }
    int MonitoringState() const { return m_state; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ---- CViewIO.cpp: form, screen, events, menus, keys, drops --------------------------------
    void buildForm();
    void buildLegend();
    void firstActivation();
    void addCommands();
    void onRowEvent(int controlId, comp::DISPID eventId, std::span<const comp::Variant> args);
    void onContextMenu(int controlId);
    void onLogicCommand(const char* logic);
    void onResetCommand();
    void onRefreshCommand();
    void onCommandWindow();
    void showHelp(const char* anchor);
    void showPinError(int pin);
    // Every row takes its record, as on entering (no traffic).
    void loadRows();
    void markDocumentModified();
    int focusedPin() const;
    bool dropAllowed(int pin, const QMimeData* data, bool entering) const;
    void drop(int pin, const QMimeData* data);
    int pinAt(const QPoint& formPos) const;

    // ---- CViewIOTraffic.cpp: commands and replies -----------------------------------------------
    // Export the row into its record and send its PI/PO setting (or mark it pending). A row with
    // a function but no logic or value is held back (pending, the user told once), except for a
    // Reset, whose reset goes whatever the row holds.
    bool SendPinSetting(int pin, const char* title = nullptr, bool reset = false);
    void tellIncomplete(int pin, unsigned missing, const std::string& setting);
    // "TPI%d\r" / "TPO%d\r" for a pin with an I/O number.
    bool QueryPin(int pin);
    void OnMonitorTimer();
    plat::LRESULT OnCommCommand(plat::WPARAM event, plat::LPARAM commandId);
    plat::LRESULT OnCommStateChanged(plat::WPARAM connected, plat::LPARAM reason);
    // The screen was entered while connected: pending rows are sent, the others read.
    void OnEnteredConnected() { OnCommStateChanged(1, CommState::Entered); }
    plat::LRESULT OnLockStateChanged(plat::WPARAM disabled, plat::LPARAM resumed);
    void LeaveHandling();
    // The row of a full-mode pin into its record (made when missing); mask and last error kept.
    void StoreRow(int pin);
    void OnSettingReply(int pin, const std::string& reply);
    void OnStateReply(std::intptr_t tag, const std::string& reply);
    void OnQueryReply(int pin, const std::string& reply);
    void OnDriverError(std::intptr_t tag, std::uint32_t code, const std::string& reply);
    // The setting command the row would send now (empty when it would send none).
    std::string RowSetting(int pin);
    // The user changed the row since its setting last went to the driver, came from it or was
    // loaded: its texts would send something else. A modified flag alone is no change.
    bool ChangedSinceSent(int pin);
    // A setting refused by the driver: collected while the connection ends, else told at once.
    void NoteRefusal(int pin, const std::string& reply);
    // The settings refused while the connection ended, in one box.
    void ShowRefusedOnLeave();
    void RestartMonitoring();
    bool IsCurrentView() const;
    bool IsConnected() const;
    bool IsLocked() const;
    static bool IsInputPin(int pin);
    std::int32_t Send(const std::string& text, std::intptr_t tag, const char* title);
    static bool IsQueued(const std::string& text);
    model::CDataFile& Store() const;
    model::CN2PinRecord* PinRecord(int pin, bool make);

    QScrollArea* m_scroll = nullptr;
    ScreenHost& m_host;
    QWidget* m_form = nullptr;
    QLabel* m_extent = nullptr;
    EventSinkMap m_sinks;
    plat::qt::CommandTable m_commands;
    int m_state = 0;           // 0 off, 400 "IO0" out, 500 "IO1" out
    int m_menuRow = 0;         // the row whose menu was opened last
    bool m_menuFlag = false;   // set while the screen is current and no pin menu is open
    std::int32_t m_lastCommand = 0;
    bool m_refresh = false;    // entered while locked: pending settings are not sent
    bool m_firstActivation = true;
    bool m_errorBoxOpen = false;
    std::array<std::string, kPinCount + 1> m_toldIncomplete; // per pin: the held-back row last told of
    QSize m_extentSeen;
    std::array<std::string, kPinCount + 1> m_lastSent; // per pin: the setting last sent, read or loaded
    bool m_collectRefusals = false;                     // the connection is ending
    std::vector<int> m_refusedPins;
    std::vector<std::string> m_refusedReplies;
    QPointer<QWidget> m_lastFocus;
};

// Registers the screen with the frame as view 132 ("Edit control I/O"), made on its first switch.
void RegisterIoScreen(ScreenHost& host);

} // namespace talverin

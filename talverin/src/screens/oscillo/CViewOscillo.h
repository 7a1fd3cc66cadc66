// The oscilloscope screen (view 130, dialog 130), the frame's first screen: the driver records up
// to four channels (OscilloCapture, which this screen owns and serves as its CaptureScreen), and
// the screen shows them on the scope 1003 with its time cursors, channel zero lines, trigger
// position and level cursors, zoom and scroll, value edits, the View record history and the two
// exports.
//
// CViewOscillo.cpp        form, first activation, frame messages, screen switch, keys, help
// CViewOscilloCommands.cpp menus 160, 140 and 190 with their commands; the controls by id
// CViewOscilloLayout.cpp  layout on resize, timer 1000, zoom, scroll, TIME/RES sliders, A/B cursors
// CViewOscilloChannels.cpp channel records, sources, scales, zero lines, trigger cursors, read-outs
// CViewOscilloEdits.cpp   kill-focus checks, trigger/slope/mode buttons, settings summary, View
//                         record, exports
#pragma once

#include "connection/DriverQueue.h"
#include "controlhost/CZROSCILLO.h"
#include "controlhost/CZRSLIDER.h"
#include "controlhost/EventSinkMap.h"
#include "screens/CViewBase.h"
#include "screens/oscillo/CaptureScreen.h"
#include "screens/oscillo/CaptureTimers.h"
#include "screens/oscillo/OscilloChannelRules.h"
#include "screens/oscillo/OscilloLayout.h"

#include <platform/qt/command_table.h>
#include <platform/qt/keyboard_hook.h>

#include <QPoint>
#include <QPointer>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class QScrollArea;

namespace model {
class CDataFile;
class CZRParamData;
}

namespace talverin {

class OscilloCapture;
class ScreenHost;

class CViewOscillo : public CViewBase, public CaptureScreen {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 130;

    explicit CViewOscillo(ScreenHost& host, QWidget* parent = nullptr);
    ~CViewOscillo() override;

    // ---- The frame's calls -------------------------------------------------------------------
    bool OnViewSwitch(bool entered, int target) override;
    QSize MinimumClientSize() const override;
    void OnNewDocumentDone() override;
    // A document opened or the driver's data read: the source lists follow the unit's [WV].
    void OnDataReloaded(bool keepSamples) override;
    // Set-up again: at once when the screen is current, else on entering it.
    void ResetView();
    // The frame's keyboard hook: Enter in a value edit moves on like Tab (its check runs); the
    // release is swallowed too. True when the key was taken.
    bool HandleHookKey(const plat::qt::KeyInput& key) override;
    CapturePhase CaptureState() const override;
    // After a read-all: the four channel records cleared; `full` (leaving the terminal screen)
    // also the sources kept at Run, the sample rows and the scope's picture.
    void ClearChannelRecords(bool full);
    // Menus 160 "Function(&W)", 140 "Execute(&S)" and 190 (the exports) for the frame to merge;
    // their commands run through Commands().
    QMenu* FunctionMenu() const override { return m_functionMenu; }
    QMenu* ExecuteMenu() const override { return m_executeMenu; }
    QMenu* ExportMenu() const override { return m_exportMenu; }
    plat::qt::CommandTable& Commands() override { return m_commands; }

    QWidget* Form() const { return m_form; }
    OscilloCapture& Capture() { return *m_capture; }
    // Whether an arrow key is held (the source lists' delayed choice); the kit's key state unless
    // a test says otherwise.
    void SetArrowKeyState(std::function<bool()> held) { m_arrowHeld = std::move(held); }

    // The channel's controls for its source and record (CViewOscillo::RefreshChannel).
    void RefreshChannel(int channel, bool fromReply, bool keepScale);
    void EnableChannel(int channel);
    void InitTimeCursors();

    // ---- CaptureScreen -------------------------------------------------------------------------
    std::string controlText(int id) const override;
    void setControlText(int id, const std::string& text) override;
    int comboSelection(int id) const override;
    bool isChecked(int id) const override;
    void setChecked(int id, bool checked) override;
    bool isControlEnabled(int id) const override;
    void enableControl(int id, bool enabled) override;
    void setModified(int id, bool modified) override;
    plat::LONG sliderValue(int slider, plat::LONG cursor) override;
    void setSliderValue(int slider, plat::LONG cursor, plat::LONG value) override;
    void showSliderCursor(int slider, plat::LONG cursor, plat::LONG mode) override;
    void enableSlider(int slider, bool enabled) override;
    void scopeLockPaint(bool locked) override;
    void scopeSetZoom(int channel, float zoom) override;
    void scopeDrawMode(plat::LONG mode) override;
    void scopeUpdateData(plat::LONG count, plat::LONG recordLength, plat::LONG resolution) override;
    std::string SettingsSummary() override;
    void AddViewRecord(const std::string& summary) override;
    void RunRangeCheck(int editId) override;
    bool ApplyChannelSource(int channel, const std::string& source) override;
    void ShowChannelWithoutSource(int channel) override;
    void ApplySourceLevelReply(int channel, const std::string& value) override;
    void ReapplyZeroPosition(int channel) override;
    void ReapplyChannelScale(int channel) override;
    void RefreshChannels() override;
    void FocusScopeIfLost() override;
    void ShowCaptureActivity(CaptureActivity activity, int percent) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Channel {
        std::unique_ptr<model::CZRParamData> record; // a copy of the source's parameter, or none
        ChannelScale scale;
        std::string scaleAtFocus;
    };

    // ---- CViewOscillo.cpp -------------------------------------------------------------------
    void buildForm();
    void buildMenus();
    void addCommands();
    void connectWidgets();
    void firstActivation();
    void setUpSliders();
    void setUpScope();
    // The four source lists: an empty entry, the unit's [WV] lines, then what driver replies
    // added; `keepSelection` keeps each list's chosen text (added when the new lines lack it).
    void fillSources(bool keepSelection);
    // Refilled, choices kept, when the unit's [WV] lines are not the ones the lists hold.
    void followWaveSources();
    void onEvent(int controlId, comp::DISPID eventId, std::span<const comp::Variant> args);
    void onNotify(int code);
    void showActivityText();
    void onBaudCommand(unsigned id);
    void showHelpFor(QWidget* widget);
    bool isCurrentScreen() const;
    bool isEditable() const; // CaptureState 0, 1 or 9
    model::CDataFile& store() const;

    // ---- CViewOscilloLayout.cpp -------------------------------------------------------------
    void buildLayoutList();
    void onFormResized(QSize size);
    void layOut(QSize client);
    void onLayoutTimer();
    void onZoom(int id);
    void onScroll(std::int64_t v);
    void onScrollEnded();
    // Cursor 13 ranged over the visible part (a scroll of `scroll` pixels of a scope drawn
    // `bitmapWidth` wide) at the kept trigger position.
    void placeTriggerCursor(std::int64_t scroll, std::int64_t bitmapWidth);
    void onResolutionSlider(std::int64_t r);
    void onTimeSlider(std::int64_t t);
    void onTimeCursor(int cursor, std::int64_t value);
    void onTimeCursorDoubleClick(int cursor);
    // TIME or zoom changed: the A/B ranges follow the visible time.
    void rerangeTimeCursors(double oldVisibleMs);
    void setTimeCursorRanges();
    // The POS. text rescaled to the time base once per change, whoever reports it first.
    void rescalePositionForTime(double newTime);
    void syncGuideLines();
    void syncGuideLine(int slider, int cursor);
    void toggleGuideLine(int slider, int cursor);
    double timePerDivision() const;
    double positionMs() const;
    int scopeWidth() const;

    // ---- CViewOscilloChannels.cpp -----------------------------------------------------------
    void onZeroCursor(int channel, std::int64_t value);
    void onScaleSlider(int channel, std::int64_t value);
    // The SCALE edit's rules; `unchangedCounts`: an unchanged text does nothing (kill-focus).
    void applyScaleText(int channel, bool unchangedCounts);
    void onSourceChosen(int channel);
    void replaceRecord(int channel, const std::string& name);
    void disableChannel(int channel);
    std::vector<std::string> sourceItems(int channel) const;
    std::string sourceOfCaptureOnDisplay(int channel) const;
    void onTriggerCursor(std::int64_t value);
    void onLevelCursor(std::int64_t value);
    void onLevelCursorEnded();
    void placeLevelCursor(int channel);
    void onSelectChannel(int channel);
    void refreshReadouts();
    void onShowChannel(int channel, bool fromMenu);
    bool dropAllowed(QComboBox* combo, const QMimeData* data) const;
    void drop(int channel, const QMimeData* data);

    // ---- CViewOscilloEdits.cpp --------------------------------------------------------------
    void onEditFocusIn(int id);
    void onEditFocusOut(int id, Qt::FocusReason reason);
    void checkEdit(int id);
    void rangeError(int id, const QString& text, const QString& caption);
    void checkTime();
    void checkResolution();
    void checkPosition();
    void checkCursor(int id);
    void checkTriggerPosition();
    void checkLevel();
    void checkChannelPosition(int channel);
    void onTriggerSource(int channel);
    void onSlope(int id);
    void onMode(int id);
    void onRestoreRecord(unsigned id);
    QString recordText(int index) const;
    void refreshRecordMenu();
    void onSaveBitmap();
    void onSaveCsv();

    // ---- Widgets -------------------------------------------------------------------------------
    QWidget* item(int id) const;
    QLineEdit* edit(int id) const;
    QPushButton* button(int id) const;
    QComboBox* combo(int id) const;
    CZRSLIDER slider(int id) const { return CZRSLIDER(m_form, id); }
    CZROSCILLO scope() const { return CZROSCILLO(m_form, 1003); }
    void setEditValue(int id, const std::string& text, double value);
    // Checks `id` among first..last and unchecks the others.
    void checkOnly(int first, int last, int id);
    int checkedAmong(int first, int last) const; // the checked id, 0 for none
    Channel& channel(int n) { return m_channels[static_cast<std::size_t>(n - 1)]; }

    QScrollArea* m_scroll = nullptr;
    QWidget* m_form = nullptr;
    std::map<int, QPointer<QWidget>> m_items;
    EventSinkMap m_sinks;
    plat::qt::CommandTable m_commands;
    QMenu* m_functionMenu = nullptr;
    QMenu* m_executeMenu = nullptr;
    QMenu* m_exportMenu = nullptr;

    DriverQueue& m_port = CurrentDriverQueue();
    std::unique_ptr<WindowCaptureTimers> m_timers;
    ScreenHost& m_host;
    std::unique_ptr<OscilloCapture> m_capture;

    std::array<Channel, 4> m_channels;
    std::vector<std::string> m_filledSources; // the [WV] lines the source lists were filled from
    std::array<std::vector<std::string>, 4> m_reportedSources; // entries driver replies added
    std::array<int, 16> m_guideShown{};
    int m_zoom = 1;
    int m_previousZoom = 1;
    std::int64_t m_scrollValue = 0; // the POS. slider's value (pixels of the zoomed scope)
    double m_triggerPosition = 50.0; // percent of the whole record: what the driver gets
    bool m_triggerOnScreen = true;   // it lies in the visible part
    double m_timeA = 0.0;           // kept cursor times (ms)
    double m_timeB = 0.0;
    bool m_timesAbsolute = false;
    double m_positionTime = 0.1;    // the time base the POS. text was last scaled for
    std::map<int, std::string> m_savedText; // edits' texts when they got the focus
    std::vector<LayoutItem> m_layout;
    std::vector<QPointer<QWidget>> m_layoutWidgets; // by LayoutItem::key
    QPoint m_formOrigin;
    QSize m_formSize;
    bool m_layoutInProgress = false;
    bool m_setupDone = false;
    bool m_currentScreen = false;
    bool m_checking = false;        // a range error box is open
    bool m_refocusing = false;      // the focus is on its way back to a refused value
    double m_timeBase = 0.1;        // the TIME (ms per division) last applied
    bool m_slopeChanged = false;    // a slope was checked before a slope click (kept, not read)
    int m_checkedRecord = -1;       // the View record entry marked in the menu
    QString m_activityText;         // the capture's text in the status pane, empty for none
    bool m_memoryLowShown = false;  // the scope's memory text is in the status pane
    std::function<bool()> m_arrowHeld;
};

// Registers view 130 with the frame (its CaptureState is the frame's through CViewBase) and lends
// the frame's connection the clearing of its channel records after a read-all.
void RegisterOscilloScreen(ScreenHost& host);

} // namespace talverin

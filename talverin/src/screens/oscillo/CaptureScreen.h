// What the oscilloscope capture needs of its screen (dialog 130): the controls it reads and sets
// by id, the calls it makes on the sliders and the scope, and the screen's own rules for channels,
// range checks and the View record, which the capture triggers but the screen owns. The
// oscilloscope screen implements it on its widgets; tests implement it on plain values.
#pragma once

#include <platform/types.h>

#include <string>

namespace talverin {

// Control ids of dialog 130 that the capture uses.
namespace OscilloId {
inline constexpr int Scope = 1003;
inline constexpr int TriggerPosition = 1010; // edit, percent
inline constexpr int Scale1 = 1017;          // SCALE edits of channels 1 .. (1020) 4
inline constexpr int Source1 = 1029;         // SRC combo boxes of channels 1 .. (1032) 4
inline constexpr int ResolutionSlider = 1033;
inline constexpr int Resolution = 1034;      // RES. edit, samples per division
inline constexpr int Level = 1035;           // trigger level edit
inline constexpr int TimeSlider = 1036;
inline constexpr int Time = 1037;            // TIME(ms) edit, milliseconds per division
inline constexpr int HorizontalPosition = 1039; // POS. edit of the HORIZONAL group
inline constexpr int PositionSlider = 1128;  // trigger position cursor 13
inline constexpr int LevelSlider = 1129;     // trigger level cursor 14
inline constexpr int Trigger1 = 1205;        // trigger-source buttons CH1 .. (1208) CH4
inline constexpr int EdgeDown = 1209;
inline constexpr int EdgeUp = 1210;
inline constexpr int Cont = 1211;
inline constexpr int Sing = 1212;
inline constexpr int Auto = 1213;
inline constexpr int Run = 1263;
inline constexpr int Stop = 1264;
} // namespace OscilloId

// What a capture is doing, for the status pane.
enum class CaptureActivity { None, WaitingForTrigger, ReadingData };

class CaptureScreen {
public:
    virtual ~CaptureScreen() = default;

    // ---- Controls by id ----
    // The text of an edit or combo box as shown.
    virtual std::string controlText(int id) const = 0;
    virtual void setControlText(int id, const std::string& text) = 0;
    // The selected entry of a combo box; -1 for none. Entry 0 is the empty "no source" entry.
    virtual int comboSelection(int id) const = 0;
    virtual bool isChecked(int id) const = 0;
    // A button that has a menu item of the same id takes the item's check along.
    virtual void setChecked(int id, bool checked) = 0;
    virtual bool isControlEnabled(int id) const = 0;
    virtual void enableControl(int id, bool enabled) = 0;
    // The edit's modified mark (a change typed here that the driver has not confirmed).
    virtual void setModified(int id, bool modified) = 0;

    // ---- Sliders (1033, 1036, 1128, 1129) ----
    virtual plat::LONG sliderValue(int slider, plat::LONG cursor) = 0;
    virtual void setSliderValue(int slider, plat::LONG cursor, plat::LONG value) = 0;
    virtual void showSliderCursor(int slider, plat::LONG cursor, plat::LONG mode) = 0;
    virtual void enableSlider(int slider, bool enabled) = 0;

    // ---- The scope (1003) ----
    virtual void scopeLockPaint(bool locked) = 0;
    virtual void scopeSetZoom(int channel, float zoom) = 0;
    virtual void scopeDrawMode(plat::LONG mode) = 0;
    // UpdateOscilloData without a data pointer: the scope reads the data store's rows.
    virtual void scopeUpdateData(plat::LONG count, plat::LONG recordLength, plat::LONG resolution) = 0;

    // ---- The screen's rules ----
    // The text that names the current settings (the View record's entries).
    virtual std::string SettingsSummary() = 0;
    // Adds the summary to the View record history (or checks its entry when present).
    virtual void AddViewRecord(const std::string& summary) = 0;
    // The range check an edit runs when it loses the focus (1010, 1035, 1037).
    virtual void RunRangeCheck(int editId) = 0;
    // A source the driver reported for the channel: selected in the channel's list (added when
    // missing), the channel set up for it. True when the selection changed.
    virtual bool ApplyChannelSource(int channel, const std::string& source) = 0;
    // The driver does not know the channel's source: the channel is shown as without one.
    virtual void ShowChannelWithoutSource(int channel) = 0;
    // The level the driver reported after a source set of the channel: scale and level taken from it.
    virtual void ApplySourceLevelReply(int channel, const std::string& value) = 0;
    // The channel's zero-position handling again at its cursor's value (re-places the level cursor).
    virtual void ReapplyZeroPosition(int channel) = 0;
    // The channel's scale applied again (the trigger channel changed to it).
    virtual void ReapplyChannelScale(int channel) = 0;
    // Every channel's controls enabled or disabled for the capture state.
    virtual void RefreshChannels() = 0;
    // When the control with the focus is gone or disabled, the focus goes to the scope.
    virtual void FocusScopeIfLost() = 0;
    // The status pane says what the capture is doing (`percent` of the data read so far).
    virtual void ShowCaptureActivity(CaptureActivity activity, int percent) = 0;
};

} // namespace talverin

// When a hosted control cannot be made, the user is told once per control, in a box that names
// the control and why, with what to do about it; the form shows a plain note where the control
// belongs; and calls the screens make on the missing control are logged once, not once per call.
#pragma once

#include <component/loader.h>

#include <QString>

#include <string_view>

class QRect;
class QWidget;

namespace talverin {

// The control's name as users know it ("oscilloscope"), translated; the class id when the class
// is none of the five.
QString ControlDisplayName(std::string_view clsid);

// One sentence naming the control and what stood in its way, e.g. "The oscilloscope control could
// not be loaded: /opt/talverin/zroscillo.so is missing."
QString ControlFailureText(std::string_view clsid, const comp::CreateResult& failure);

// Logs the failure and queues its box, once per control class. The box comes when the event loop
// next runs, never inside the screen that is being built, and tells of every control that failed
// since the last box.
void ReportControlFailure(std::string_view clsid, const comp::CreateResult& failure);

// The plain note in `form` at `rect` in place of the control of `clsid`.
QWidget* PlaceMissingControlNote(QWidget* form, const QRect& rect, std::string_view clsid);

// A call by dispatch id on a control that is not there: logged the first time for each control id.
void LogMissingControlCall(int controlId, int dispid);

// A new application object tells its user again.
void ForgetControlFailures();

} // namespace talverin

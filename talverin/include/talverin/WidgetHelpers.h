// Small helpers every window of the main program uses: the status bar's message and finding a
// menu item by its text. (The flat owner-drawn cells are plat::qt::DrawFlatCell, flat_cell.h.)
#pragma once

#include <QString>

class QWidget;

namespace talverin {

// Shows `text` in the message pane of the main window's status bar; a null text shows the idle
// text "For Help, press F1". `window` is the caller and is not used. Does nothing when the program
// has no main window yet.
void SetStatusText(QWidget* window, const char* text);
void SetStatusText(QWidget* window, const QString& text);

// Position of the first item of a menu or menu bar whose text equals `text` exactly (separators
// count as positions and have an empty text); -1 when no item matches or there is no menu.
int FindMenuItemByText(const QWidget* menu, const QString& text);

} // namespace talverin

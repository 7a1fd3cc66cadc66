// Small helpers every window of the main program uses: the status bar's message and finding a
// menu item by its text. (The flat owner-drawn cells are plat::qt::DrawFlatCell, flat_cell.h.)
#pragma once

#include <QString>

#include <cstdint>

class QWidget;

namespace talverin {

// WM_SET_STATUS_TEXT's lParam: the caller's value and the text (UTF-8; null: the idle text).
struct StatusTextRecord {
    std::intptr_t value = 0;
    const char* text = nullptr;
};

// Shows `text` in the message pane of the main window's status bar (WM_SET_STATUS_TEXT, pane 0,
// sent to the main window); a null text shows the idle text "For Help, press F1". `window` is the
// caller, passed as the record's value. Does nothing when the program has no main window yet.
void SetStatusText(QWidget* window, const char* text);
void SetStatusText(QWidget* window, const QString& text);
// A failure that `window` reports there: it stands until another text replaces it or until
// ClearStatusError, when the window's next command has gone through.
void SetStatusError(QWidget* window, const QString& text);
// The idle text again when the pane still shows a failure of `window`'s.
void ClearStatusError(QWidget* window);
// The idle text again when the pane still shows `text` (a notice that no longer holds).
void ClearStatusText(QWidget* window, const QString& text);

// Position of the first item of a menu or menu bar whose text equals `text` exactly (separators
// count as positions and have an empty text); -1 when no item matches or there is no menu.
int FindMenuItemByText(const QWidget* menu, const QString& text);

} // namespace talverin

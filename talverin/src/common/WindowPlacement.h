// A window's saved placement as the settings file keeps it ([Setting] WinPos, CommandWindow,
// TerminalWindow): ten integers "flags,show,minX,minY,maxX,maxY,left,top,right,bottom".
#pragma once

#include <QPoint>
#include <QRect>

#include <optional>
#include <string>
#include <string_view>

namespace talverin {

// The show states a placement keeps.
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOW = 5;

struct WindowPlacement {
    int flags = 0;
    int showCmd = 0;
    QPoint minPosition;
    QPoint maxPosition;
    QRect normalRect;
};

// The placement when all ten numbers read (decimal, or 0x.. / 0.. as C reads "%i"; text after the
// tenth is ignored); nullopt for fewer numbers, anything else between them or a number out of
// range. A rectangle whose right or bottom lies before its left or top is refused too.
std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text);
std::string FormatWindowPlacement(const WindowPlacement& placement);

// The rectangle moved (and, when larger, cut) so that it lies on `screen`: a window saved on a
// screen that is gone must not come back out of reach.
QRect FitOnScreen(const QRect& rect, const QRect& screen);

} // namespace talverin

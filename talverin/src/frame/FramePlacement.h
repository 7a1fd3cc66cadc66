// Where the frame's windows go: saved placements (WindowPlacement.h, [Setting] WinPos and
// TerminalWindow) brought onto a screen, the terminal window's default place, and the bar layout,
// Qt's main-window state in base64 under [DockState-Summary] QtState.
#pragma once

#include "common/WindowPlacement.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace talverin {

inline constexpr const char* kPlacementSection = "Setting";
inline constexpr const char* kBarStateSection = "DockState-Summary";
inline constexpr const char* kBarStateKey = "QtState";
// Raised when the bars change so that an older layout no longer fits: it is then ignored.
inline constexpr int kBarStateVersion = 1;

// The rectangle grown to the minimum size and brought onto the work area it overlaps most (the
// first area when it overlaps none); never larger than that area unless the minimum is.
QRect BringOntoScreen(QRect rect, const std::vector<QRect>& workAreas, QSize minimum = {});

// The terminal window's place without a saved one: at the frame's right edge but at least two
// window widths before the right end of the virtual desktop, `width` wide, as high as the frame.
QRect DefaultTerminalWindowRect(const QRect& frame, int virtualRight, int width = 180);

// The bar state's text and back (null for text that is not ours).
std::string EncodeBarState(const QByteArray& state);
std::optional<QByteArray> DecodeBarState(const std::string& text);

} // namespace talverin

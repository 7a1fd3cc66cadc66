#include "common/WindowPlacement.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace talverin {

std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text)
{
    const std::string copy(text); // strtol needs the terminator
    const char* at = copy.c_str();
    int values[10];
    for (int i = 0; i < 10; ++i) {
        if (i > 0) {
            while (*at == ' ' || *at == '\t')
                ++at;
            if (*at != ',')
                return std::nullopt;
            ++at;
        }
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(at, &end, 0);
        if (end == at || errno == ERANGE || value < std::numeric_limits<int>::min()
            || value > std::numeric_limits<int>::max())
            return std::nullopt;
        values[i] = static_cast<int>(value);
        at = end;
    }
    if (values[8] < values[6] || values[9] < values[7])
        return std::nullopt;
    WindowPlacement placement;
    placement.flags = values[0];
    placement.showCmd = values[1];
    placement.minPosition = QPoint(values[2], values[3]);
    placement.maxPosition = QPoint(values[4], values[5]);
    // right and bottom lie just outside the rectangle, as the settings file has always kept them.
    placement.normalRect = QRect(QPoint(values[6], values[7]), QPoint(values[8] - 1, values[9] - 1));
    return placement;
}

std::string FormatWindowPlacement(const WindowPlacement& p)
{
    const QRect& r = p.normalRect;
    std::string out;
    for (const int value : {p.flags, p.showCmd, p.minPosition.x(), p.minPosition.y(), p.maxPosition.x(),
                            p.maxPosition.y(), r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}) {
        if (!out.empty())
            out += ',';
        out += std::to_string(value);
    }
    return out;
}

QRect FitOnScreen(const QRect& rect, const QRect& screen)
{
    if (screen.isEmpty())
        return rect;
    QRect fitted(rect.topLeft(), rect.size().boundedTo(screen.size()));
    if (fitted.right() > screen.right())
        fitted.moveRight(screen.right());
    if (fitted.bottom() > screen.bottom())
        fitted.moveBottom(screen.bottom());
    if (fitted.left() < screen.left())
        fitted.moveLeft(screen.left());
    if (fitted.top() < screen.top())
        fitted.moveTop(screen.top());
    return fitted;
}

} // namespace talverin

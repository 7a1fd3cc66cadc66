#include "frame/FramePlacement.h"

#include <QByteArray>

#include <algorithm>

namespace talverin {

QRect BringOntoScreen(QRect rect, const std::vector<QRect>& workAreas, QSize minimum)
{
    rect.setSize(rect.size().expandedTo(minimum));
    if (workAreas.empty())
        return rect;
    const QRect* best = &workAreas.front();
    long long bestArea = 0;
    for (const QRect& area : workAreas) {
        const QRect overlap = area.intersected(rect);
        const long long size = overlap.isEmpty() ? 0 : static_cast<long long>(overlap.width()) * overlap.height();
        if (size > bestArea) {
            bestArea = size;
            best = &area;
        }
    }
    const QRect& area = *best;
    const QSize fit = rect.size().boundedTo(area.size()).expandedTo(minimum);
    rect.setSize(fit);
    const int maxLeft = std::max(area.left(), area.left() + area.width() - rect.width());
    const int maxTop = std::max(area.top(), area.top() + area.height() - rect.height());
    rect.moveTo(std::clamp(rect.left(), area.left(), maxLeft), std::clamp(rect.top(), area.top(), maxTop));
    return rect;
}

QRect DefaultTerminalWindowRect(const QRect& frame, int virtualRight, int width)
{
    const int left = std::min(frame.left() + frame.width(), virtualRight - 2 * width);
    return QRect(left, frame.top(), width, frame.height());
}

std::string EncodeBarState(const QByteArray& state)
{
    return state.toBase64().toStdString();
}

std::optional<QByteArray> DecodeBarState(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(text),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return std::nullopt;
    return decoded.decoded;
}

} // namespace talverin

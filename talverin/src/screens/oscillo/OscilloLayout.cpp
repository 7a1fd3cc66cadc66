#include "screens/oscillo/OscilloLayout.h"

#include <algorithm>

namespace talverin {

namespace {

constexpr int kScope = 1003;
constexpr int kZoomLabel = 1047;
constexpr int kZoomFirst = 1101;
constexpr int kZoomLast = 1105;

bool isIn(int id, std::initializer_list<int> ids)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

} // namespace

int SnapScopeSize(int size)
{
    size = std::max(size, 1);
    return size + 1 - size % 20;
}

std::vector<LayoutItem> OrderLayoutList(std::vector<LayoutItem> list)
{
    for (int id : {kZoomLabel, 1101, 1102, 1103, 1104, 1105, 1126, 1127, 1128, 1129, kScope}) {
        auto it = std::find_if(list.begin(), list.end(), [id](const LayoutItem& i) { return i.id == id; });
        if (it != list.end())
            std::rotate(list.begin(), it, it + 1);
    }
    return list;
}

LayoutResult LayOutScreen(const std::vector<LayoutItem>& list, QPoint origin, QSize client)
{
    LayoutResult result;
    auto scopeRecord = std::find_if(list.begin(), list.end(), [](const LayoutItem& i) { return i.id == kScope; });
    if (scopeRecord == list.end())
        return result;
    const QRect initial = scopeRecord->rect;
    const int width = SnapScopeSize(initial.width() + std::max(0, client.width() - origin.x()));
    const int height = SnapScopeSize(initial.height() + std::max(0, client.height() - origin.y()));
    result.scope = QRect(initial.topLeft(), QSize(width, height));
    result.dx = width - initial.width();
    result.dy = height - initial.height();
    result.ok = true;

    const int left = result.scope.left();
    const int top = result.scope.top();
    const int right = left + width;
    const int bottom = top + height;
    const int dx = result.dx;
    const int dy = result.dy;
    QRect firstZoomButton;

    result.placed.reserve(list.size());
    for (const LayoutItem& item : list) {
        const QRect r = item.rect;
        QRect placed;
        if (item.id == kScope) {
            placed = result.scope;
        } else if (isIn(item.id, {1033, 1036, 1038, 1215})) {
            placed = QRect(r.left(), r.top() + dy, r.width() + dx, r.height());
        } else if (isIn(item.id, {1034, 1037, 1039})) {
            placed = r.translated(dx, dy);
        } else if (item.id == kZoomLabel) {
            placed = firstZoomButton.isNull() ? r.translated(dx, 0)
                                              : QRect(QPoint(firstZoomButton.left() - r.width(), firstZoomButton.top()),
                                                      r.size());
        } else if (item.id >= kZoomFirst && item.id <= kZoomLast) {
            placed = QRect(QPoint(right - r.width() * (kZoomLast + 1 - item.id), bottom + 18), r.size());
            if (item.id == kZoomFirst)
                firstZoomButton = placed;
        } else if (item.id == 1126) {
            placed = QRect(left - 6, top - 12, width + 12, 12);
        } else if (item.id == 1127) {
            placed = QRect(left - 12, top - 6, 12, height + 12);
        } else if (item.id == 1128) {
            placed = QRect(left - 6, bottom, width + 12, 12);
        } else if (item.id == 1129) {
            placed = QRect(right, top - 6, 12, height + 12);
        } else if (isIn(item.id, {1241, 1242, 1243})) {
            placed = r.translated(0, dy);
        } else {
            placed = r.translated(dx, 0);
        }
        result.placed.push_back({item.id, placed, item.key});
    }
    return result;
}

} // namespace talverin

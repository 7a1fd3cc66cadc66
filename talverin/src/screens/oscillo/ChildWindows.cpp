#include "screens/oscillo/ChildWindows.h"

#include <QWidget>

namespace talverin {

bool EnumChildProc(QWidget* window, std::vector<ChildWindowRecord>& list)
{
    if (!window)
        return true;
    bool numeric = false;
    const int id = window->objectName().toInt(&numeric);
    if (!numeric || id == 0)
        return true;
    const QPoint topLeft = window->mapToGlobal(QPoint(0, 0));
    list.push_back({window, id, topLeft.x(), topLeft.y(), topLeft.x() + window->width(), topLeft.y() + window->height()});
    return true;
}

void EnumChildWindows(QWidget* parent, std::vector<ChildWindowRecord>& list)
{
    if (!parent)
        return;
    for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        if (!EnumChildProc(child, list))
            return;
        EnumChildWindows(child, list);
    }
}

int OffsetRectsToWindow(QWidget* window, std::vector<ChildWindowRecord>& list)
{
    const QPoint origin = window ? window->mapToGlobal(QPoint(0, 0)) : QPoint();
    for (ChildWindowRecord& record : list) {
        record.left -= origin.x();
        record.right -= origin.x();
        record.top -= origin.y();
        record.bottom -= origin.y();
    }
    return 1;
}

} // namespace talverin

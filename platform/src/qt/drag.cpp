#include "platform/qt/drag.h"

#include <QDrag>

namespace plat::qt {

namespace {
ScopedDragRunner* g_runner = nullptr; // GUI thread only
} // namespace

ScopedDragRunner::ScopedDragRunner(DragRunner runner) : m_runner(std::move(runner)), m_previous(g_runner)
{
    g_runner = this;
}

ScopedDragRunner::~ScopedDragRunner() { g_runner = m_previous; }

Qt::DropAction RunDrag(QDrag& drag, Qt::DropActions supported, Qt::DropAction defaultAction)
{
    ScopedDragRunner* runner = g_runner;
    if (!runner || !runner->m_runner)
        return drag.exec(supported, defaultAction);
    ++runner->m_drags;
    const Qt::DropAction answer = runner->m_runner(drag, supported);
    return answer != Qt::IgnoreAction && (supported & answer) ? answer : Qt::IgnoreAction;
}

} // namespace plat::qt

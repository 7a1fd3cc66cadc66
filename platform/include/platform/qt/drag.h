// Every drag-and-drop a widget starts runs through RunDrag, so that tests can answer it (a
// QDrag::exec offscreen would wait for a mouse that never moves). Like RunModal.
//
//     plat::qt::ScopedDragRunner drop([&](QDrag& d, Qt::DropActions) {
//         target.acceptDrop(*d.mimeData()); return Qt::CopyAction; });
#pragma once

#include <Qt>

#include <functional>
#include <vector>

class QDrag;
class QMimeData;

namespace plat::qt {

// drag.exec(supported, defaultAction), or the installed runner's answer (Qt::IgnoreAction: not
// dropped). An answer outside supported counts as Qt::IgnoreAction.
Qt::DropAction RunDrag(QDrag& drag, Qt::DropActions supported,
                       Qt::DropAction defaultAction = Qt::IgnoreAction);

using DragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions supported)>;

// Installs a runner for a scope and counts the drags it answered; nests.
class ScopedDragRunner {
public:
    explicit ScopedDragRunner(DragRunner runner);
    ~ScopedDragRunner();
    ScopedDragRunner(const ScopedDragRunner&) = delete;
    ScopedDragRunner& operator=(const ScopedDragRunner&) = delete;

    int drags() const { return m_drags; }

private:
    friend Qt::DropAction RunDrag(QDrag&, Qt::DropActions, Qt::DropAction);
    DragRunner m_runner;
    ScopedDragRunner* m_previous;
    int m_drags = 0;
};

} // namespace plat::qt

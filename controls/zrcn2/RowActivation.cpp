#include "RowActivation.h"

#include "PinRowWidget.h"

#include <QApplication>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace {

struct Rows {
    std::vector<PinRowWidget*> rows;
    // The connection's context: made with the first row and gone with the last, so no focus
    // notice reaches this module once it holds no rows (it may then be unloaded).
    QObject* context = nullptr;
};

Rows& rows()
{
    static Rows r;
    return r;
}

} // namespace

void RowActivation::add(PinRowWidget* row)
{
    Rows& r = rows();
    r.rows.push_back(row);
    if (!r.context && qApp) {
        r.context = new QObject;
        QObject::connect(qApp, &QApplication::focusChanged, r.context, [] { RowActivation::update(); });
    }
}

void RowActivation::remove(PinRowWidget* row)
{
    Rows& r = rows();
    r.rows.erase(std::remove(r.rows.begin(), r.rows.end(), row), r.rows.end());
    if (r.rows.empty()) {
        delete r.context;
        r.context = nullptr;
    }
}

void RowActivation::update()
{
    const QPointer<QWidget> focus = QApplication::focusWidget();
    if (!focus)
        return;
    const QPointer<PinRowWidget> holder = PinRowWidget::rowOf(focus);
    // Handlers may move the focus or destroy rows: work on guarded copies.
    std::vector<QPointer<PinRowWidget>> active;
    for (PinRowWidget* row : rows().rows)
        if (row->isActiveRow() && row != holder)
            active.emplace_back(row);
    for (const QPointer<PinRowWidget>& row : active)
        if (row && focus && row->isActiveRow() && row->window() == focus->window())
            row->setActiveRow(false);
    if (holder && focus && QApplication::focusWidget() == focus)
        holder->setActiveRow(true);
}

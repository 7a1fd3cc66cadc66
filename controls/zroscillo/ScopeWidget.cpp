#include "ScopeWidget.h"

#include "CZROSCILLOCtrl.h"

#include <QResizeEvent>

ScopeWidget::ScopeWidget(CZROSCILLOCtrl& control, QWidget* parent) : QWidget(parent), m_control(control) {}

void ScopeWidget::paintEvent(QPaintEvent*)
{
    m_control.paint(*this);
}

void ScopeWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_control.resized(event->size());
}

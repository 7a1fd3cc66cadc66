#include "SliderWidget.h"

#include "CZRSLIDERCtrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>

namespace {

// The key flags of a mouse message: left button 1, right 2, shift 4, control 8, middle 16.
int keyFlags(const QMouseEvent& e)
{
    int flags = 0;
    if (e.buttons() & Qt::LeftButton)
        flags |= 0x1;
    if (e.buttons() & Qt::RightButton)
        flags |= 0x2;
    if (e.modifiers() & Qt::ShiftModifier)
        flags |= 0x4;
    if (e.modifiers() & Qt::ControlModifier)
        flags |= 0x8;
    if (e.buttons() & Qt::MiddleButton)
        flags |= 0x10;
    return flags;
}

} // namespace

SliderWidget::SliderWidget(CZRSLIDERCtrl& control, QWidget* parent) : QWidget(parent), m_control(control)
{
    setFocusPolicy(Qt::ClickFocus);
}

void SliderWidget::paintEvent(QPaintEvent*)
{
    m_control.paint(*this);
}

void SliderWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_control.resized(event->size());
}

void SliderWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_control.press(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void SliderWidget::mouseMoveEvent(QMouseEvent* event)
{
    m_control.move(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void SliderWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_control.release(event->position().toPoint());
    QWidget::mouseReleaseEvent(event);
}

void SliderWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_control.doubleClick(event->position().toPoint(), keyFlags(*event)))
        QWidget::mouseDoubleClickEvent(event);
}

void SliderWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_control.escape())
        return;
    QWidget::keyPressEvent(event);
}

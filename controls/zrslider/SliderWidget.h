// The slider control's window: mouse, Escape while dragging, paints and size changes go to the
// control.
#pragma once

#include <QWidget>

class CZRSLIDERCtrl;

class SliderWidget : public QWidget {
public:
    SliderWidget(CZRSLIDERCtrl& control, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CZRSLIDERCtrl& m_control;
};

// The oscilloscope control's window: it hands its paints and size changes to the control.
#pragma once

#include <QWidget>

class CZROSCILLOCtrl;

class ScopeWidget : public QWidget {
public:
    ScopeWidget(CZROSCILLOCtrl& control, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CZROSCILLOCtrl& m_control;
};

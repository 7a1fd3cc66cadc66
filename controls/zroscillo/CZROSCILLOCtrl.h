// The oscilloscope control: the face of 20 x 20 divisions with up to four traces read from the
// host's sample rows through the shared block, guide lines, the picture file, and the size rule
// (20n + 1, nothing while LockPosition is set).
#pragma once

#include <skeleton/SkeletonControl.h>

#include <zroscillo/ScopeModel.h>

#include <QImage>

class CZROSCILLOCtrl : public ctl::SkeletonControl {
public:
    explicit CZROSCILLOCtrl(ctl::ControlModule& module);
    ~CZROSCILLOCtrl() override;

    QRect filterGeometry(const QRect& requested, const QRect& current) override;

    // From the window.
    void paint(QWidget& window);
    void resized(const QSize& size);

protected:
    comp::Result callMethod(const comp::MemberInfo& member, std::span<const comp::Variant> args) override;
    void propertyChanged(comp::DISPID id) override;
    QWidget* makeWidget(QWidget* parent) override;

private:
    int clientWidth() const;
    void setBitmapWidth(std::int64_t width);
    // Paints at once unless LockPaint is set.
    void repaint();
    void repaintAlways();

    zroscillo::ScopeModel m_scope;
    bool m_lockPosition = true;
    bool m_lockPaint = false;
    QImage m_face;
};

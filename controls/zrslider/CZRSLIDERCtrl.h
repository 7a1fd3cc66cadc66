// The slider control: cursors with 64-bit ranges on one bar, dragged with the mouse (Escape
// restores), stepped by a click on the bar, placed by the host; the window takes the outline of
// the thumbs' track, and neither moves nor resizes while dragging or while LockPosition is set.
#pragma once

#include <skeleton/SkeletonControl.h>

#include <zrslider/SliderModel.h>

#include <QPolygon>

#include <optional>

class CZRSLIDERCtrl : public ctl::SkeletonControl {
public:
    explicit CZRSLIDERCtrl(ctl::ControlModule& module);
    ~CZRSLIDERCtrl() override;

    QRect filterGeometry(const QRect& requested, const QRect& current) override;

    // From the window.
    void paint(QWidget& window);
    void resized(const QSize& size);
    void press(const QPoint& at);
    void move(const QPoint& at);
    void release(const QPoint& at);
    bool doubleClick(const QPoint& at, int flags);
    bool escape();

protected:
    comp::Result callMethod(const comp::MemberInfo& member, std::span<const comp::Variant> args) override;
    void propertyChanged(comp::DISPID id) override;
    void propertiesChanged() override;
    QWidget* makeWidget(QWidget* parent) override;

private:
    void onModelEvent(const zrslider::SliderEvent& e);
    void takeProperties();
    void updateRegion();
    void repaint();
    void invalidate();
    comp::Result setValue(const comp::Variant& id, std::int64_t value, std::optional<std::int32_t> pixel,
                          bool previousResult);
    comp::Result changeRange(const comp::Variant& id, std::int64_t minimum, std::int64_t maximum, std::int64_t value,
                             std::optional<std::int32_t> pixel);

    zrslider::SliderModel m_model;
    std::int32_t m_lockPosition = 0;
    bool m_rangeShown = false;
    std::int32_t m_rangeFirst = 0;
    std::int32_t m_rangeSecond = 0;
    std::int32_t m_eventType = 0;
    std::optional<QPolygon> m_region;
    bool m_regionSet = false;
};

#include "talverin/ControlSite.h"

#include "talverin/EventSinkMap.h"

#include <component/log.h>

#include <QResizeEvent>

namespace talverin {

ControlSite::ControlSite(QWidget* parent, int controlId, std::unique_ptr<comp::Control> control)
    : QWidget(parent), m_controlId(controlId), m_control(std::move(control))
{
    setObjectName(QString::number(controlId));
    if (m_control) {
        m_control->setEventSink(this);
        if (QWidget* w = m_control->createWidget(this))
            w->setGeometry(rect());
    }
}

ControlSite::~ControlSite()
{
    // The control and its window go before the site's other children.
    if (m_control)
        m_control->setEventSink(nullptr);
    m_control.reset();
}

comp::Result ControlSite::invoke(comp::DISPID id, comp::InvokeKind kind, std::span<const comp::Variant> args)
{
    if (!m_control) {
        comp::logLine("control " + std::to_string(m_controlId) + " has no control object; dispid "
                      + std::to_string(id) + " not called");
        m_lastStatus = comp::E_POINTER;
        return comp::Result::error(comp::E_POINTER);
    }
    comp::Result r = m_control->invoke(id, kind, args);
    m_lastStatus = r.status;
    return r;
}

void ControlSite::place(const QRect& requested)
{
    const QRect r = m_placed && m_control ? m_control->filterGeometry(requested, geometry()) : requested;
    m_placed = true;
    setGeometry(r);
    if (m_control && m_control->widget())
        m_control->widget()->setGeometry(rect());
}

ControlSite* ControlSite::find(const QWidget* form, int id)
{
    return form ? form->findChild<ControlSite*>(QString::number(id)) : nullptr;
}

void ControlSite::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_control && m_control->widget())
        m_control->widget()->setGeometry(rect());
}

void ControlSite::onEvent(comp::Control&, comp::DISPID eventId, std::span<const comp::Variant> args)
{
    if (m_sinkMap)
        m_sinkMap->dispatch(m_controlId, eventId, args);
}

} // namespace talverin

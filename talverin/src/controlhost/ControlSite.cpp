#include "controlhost/ControlSite.h"

#include "controlhost/EventSinkMap.h"

#include <component/log.h>

#include <QCoreApplication>
#include <QPointer>
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
    if (m_firing > 0 && m_control) {
        // Destroyed by a handler of the control's own event: the control's code is still on the
        // stack. Its window leaves the site (which would delete it now) and both go later.
        if (QWidget* w = m_control->widget()) {
            w->hide();
            w->setParent(nullptr);
        }
        comp::Control* control = m_control.release();
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [control] { delete control; }, Qt::QueuedConnection);
        return;
    }
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
    if (!m_sinkMap)
        return;
    const QPointer<ControlSite> self(this);
    ++m_firing;
    m_sinkMap->dispatch(m_controlId, eventId, args);
    if (self)
        --m_firing;
}

} // namespace talverin

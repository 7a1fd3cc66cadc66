#include "talverin/UpdatePassTrigger.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

namespace talverin {

UpdatePassTrigger::UpdatePassTrigger(QTimer* pass, int spacingMs)
    : QObject(pass), m_pass(pass), m_spacingMs(spacingMs)
{
    m_pass->setSingleShot(true);
    connect(m_pass, &QTimer::timeout, this, [this] { m_lastPass.start(); });
    QCoreApplication::instance()->installEventFilter(this);
}

UpdatePassTrigger::~UpdatePassTrigger()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool UpdatePassTrigger::Counts(QEvent::Type type)
{
    if (type >= QEvent::User)
        return true;
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::FocusIn:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Close:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::WindowStateChange:
    case QEvent::ApplicationStateChange:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool UpdatePassTrigger::eventFilter(QObject*, QEvent* event)
{
    if (!m_pass->isActive() && Counts(event->type())) {
        const qint64 since = m_lastPass.isValid() ? m_lastPass.elapsed() : m_spacingMs;
        m_pass->start(static_cast<int>(std::max<qint64>(0, m_spacingMs - since)));
    }
    return false;
}

} // namespace talverin

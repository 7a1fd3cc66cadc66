// A hosted control as the host sees it. The host reaches members only by dispatch id through
// invoke(); the control answers with a value or an error status and never lets an exception out.
// Every call is checked against the control's member table first, so a control's own dispatch
// only ever sees well-formed calls.
#pragma once

#include "component/event_sink.h"
#include "component/member_info.h"
#include "component/prop_exchange.h"
#include "component/status.h"
#include "component/variant.h"

#include <QPointer>
#include <QWidget>

#include <initializer_list>
#include <span>
#include <string>

namespace comp {

struct Result {
    HRESULT status = S_OK;
    Variant value;

    bool ok() const { return SUCCEEDED(status); }
    static Result of(Variant v) { return {S_OK, std::move(v)}; }
    static Result error(HRESULT hr) { return {hr, {}}; }
};

class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual const ClassInfo& classInfo() const = 0;

    Result invoke(DISPID id, InvokeKind kind, std::span<const Variant> args = {}) noexcept;
    Result invoke(DISPID id, InvokeKind kind, std::initializer_list<Variant> args) noexcept
    {
        return invoke(id, kind, std::span<const Variant>(args.begin(), args.size()));
    }

    // Persistence. Loading takes every property the bag holds and gives the others their
    // defaults; values of the wrong kind are reported (E_INVALIDARG, logged) and defaulted.
    HRESULT loadProperties(const PropertyBag& bag) noexcept;
    HRESULT saveProperties(PropertyBag& bag) noexcept;
    // OnResetState: every persisted property takes its default; the control is repainted.
    void resetState() noexcept;
    // The version the last load read (kPersistVersion after a reset).
    std::uint32_t loadedVersion() const { return m_version; }

    // The control's window, made once under `parent`; nullptr when it cannot be made. The
    // control owns it: destroying the control destroys its window.
    QWidget* createWidget(QWidget* parent) noexcept;
    QWidget* widget() const { return m_widget; }

    // A move or resize of the control's window that the host asks for after placing it the first
    // time, in the parent's coordinates: the control answers the geometry it takes, `current` to
    // refuse. The default takes what is asked.
    virtual QRect filterGeometry(const QRect& requested, const QRect& current);

    void setEventSink(EventSink* sink) { m_sink = sink; }
    EventSink* eventSink() const { return m_sink; }

protected:
    // A checked call: the member exists, the kind fits it and the arguments have the declared
    // kinds. Property puts carry the new value as the one argument.
    virtual Result dispatch(const MemberInfo& member, InvokeKind kind,
                            std::span<const Variant> args) = 0;
    // The control's persisted properties, after the version and the stock properties.
    virtual void exchangeProperties(PropExchange& px) = 0;
    // The control's window; the default is an empty widget.
    virtual QWidget* makeWidget(QWidget* parent);
    // After a load or a reset.
    virtual void propertiesChanged();

    // Sends an event to the sink; the arguments must match the event table (a mismatch is logged
    // and the event dropped, since the host would misread it).
    void fireEvent(DISPID eventId, std::span<const Variant> args);
    void fireEvent(DISPID eventId, std::initializer_list<Variant> args)
    {
        fireEvent(eventId, std::span<const Variant>(args.begin(), args.size()));
    }
    // Repaints the control's window, if it has one.
    void invalidateControl();

private:
    void doPropExchange(PropExchange& px);
    void logFailure(DISPID id, InvokeKind kind, HRESULT hr, const std::string& detail) const;

    QPointer<QWidget> m_widget;
    EventSink* m_sink = nullptr;
    std::uint32_t m_version = kPersistVersion;
};

} // namespace comp

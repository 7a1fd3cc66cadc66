#include "component/control.h"

#include "component/log.h"

#include <exception>

namespace comp {

Control::~Control()
{
    // The window may call back into the control: it never outlives it.
    delete m_widget.data();
}

void Control::logFailure(DISPID id, InvokeKind kind, HRESULT hr, const std::string& detail) const
{
    std::string line = std::string(classInfo().name) + ": " + invokeKindName(kind) + " of dispid "
                       + std::to_string(id) + " failed: " + statusText(hr);
    if (!detail.empty())
        line += ": " + detail;
    logLine(line);
}

Result Control::invoke(DISPID id, InvokeKind kind, std::span<const Variant> args) noexcept
{
    try {
        const MemberInfo* member = classInfo().findMember(id);
        if (!member) {
            logFailure(id, kind, DISP_E_MEMBERNOTFOUND, {});
            return Result::error(DISP_E_MEMBERNOTFOUND);
        }
        std::span<const VarType> expected;
        VarType putType = member->type;
        if (member->kind == MemberKind::Property) {
            if (kind == InvokeKind::PropertyPut)
                expected = std::span<const VarType>(&putType, 1);
            else if (kind != InvokeKind::PropertyGet) {
                logFailure(id, kind, DISP_E_MEMBERNOTFOUND, std::string(member->name) + " is a property");
                return Result::error(DISP_E_MEMBERNOTFOUND);
            }
        } else {
            if (kind != InvokeKind::Method) {
                logFailure(id, kind, DISP_E_MEMBERNOTFOUND, std::string(member->name) + " is a method");
                return Result::error(DISP_E_MEMBERNOTFOUND);
            }
            expected = member->params.span();
        }
        if (args.size() != expected.size()) {
            logFailure(id, kind, DISP_E_BADPARAMCOUNT,
                       std::string(member->name) + " takes " + std::to_string(expected.size())
                           + " arguments, got " + std::to_string(args.size()));
            return Result::error(DISP_E_BADPARAMCOUNT);
        }
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i].type() != expected[i]) {
                logFailure(id, kind, DISP_E_TYPEMISMATCH,
                           std::string(member->name) + " argument " + std::to_string(i + 1) + " must be "
                               + varTypeName(expected[i]) + ", got " + args[i].describe());
                return Result::error(DISP_E_TYPEMISMATCH);
            }
        }
        Result r = dispatch(*member, kind, args);
        if (!r.ok()) {
            logFailure(id, kind, r.status, std::string(member->name));
            return Result::error(r.status);
        }
        const VarType resultType = kind == InvokeKind::PropertyPut ? VarType::Empty : member->type;
        if (r.value.type() != resultType) {
            logFailure(id, kind, E_UNEXPECTED,
                       std::string(member->name) + " answered " + r.value.describe() + " instead of "
                           + varTypeName(resultType));
            return Result::error(E_UNEXPECTED);
        }
        return r;
    } catch (const std::exception& e) {
        logFailure(id, kind, DISP_E_EXCEPTION, e.what());
    } catch (...) {
        logFailure(id, kind, DISP_E_EXCEPTION, "unknown exception");
    }
    return Result::error(DISP_E_EXCEPTION);
}

void Control::doPropExchange(PropExchange& px)
{
    px.exchangeVersion(m_version, kPersistVersion);
    // The stock properties come next; none of our controls exposes one that persists.
    exchangeProperties(px);
}

HRESULT Control::loadProperties(const PropertyBag& bag) noexcept
{
    try {
        PropertyBag copy = bag;
        PropExchange px(PropExchange::Mode::Load, &copy);
        doPropExchange(px);
        propertiesChanged();
        if (!px.rejected().empty()) {
            std::string names;
            for (const std::string& n : px.rejected())
                names += (names.empty() ? "" : ", ") + n;
            logLine(std::string(classInfo().name) + ": properties of the wrong kind took their defaults: "
                    + names);
            return E_INVALIDARG;
        }
        return S_OK;
    } catch (const std::exception& e) {
        logLine(std::string(classInfo().name) + ": loading properties failed: " + e.what());
    } catch (...) {
        logLine(std::string(classInfo().name) + ": loading properties failed");
    }
    return E_FAIL;
}

HRESULT Control::saveProperties(PropertyBag& bag) noexcept
{
    try {
        PropExchange px(PropExchange::Mode::Save, &bag);
        doPropExchange(px);
        return S_OK;
    } catch (...) {
        logLine(std::string(classInfo().name) + ": saving properties failed");
    }
    return E_FAIL;
}

void Control::resetState() noexcept
{
    try {
        PropExchange px(PropExchange::Mode::Reset, nullptr);
        doPropExchange(px);
        propertiesChanged();
        invalidateControl();
    } catch (...) {
        logLine(std::string(classInfo().name) + ": reset failed");
    }
}

QWidget* Control::createWidget(QWidget* parent) noexcept
{
    if (m_widget)
        return m_widget;
    try {
        m_widget = makeWidget(parent);
    } catch (...) {
        m_widget = nullptr;
    }
    if (!m_widget)
        logLine(std::string(classInfo().name) + ": the control's window cannot be made");
    return m_widget;
}

QWidget* Control::makeWidget(QWidget* parent)
{
    return new QWidget(parent);
}

void Control::propertiesChanged() {}

QRect Control::filterGeometry(const QRect& requested, const QRect&)
{
    return requested;
}

void Control::fireEvent(DISPID eventId, std::span<const Variant> args)
{
    const EventInfo* event = classInfo().findEvent(eventId);
    if (!event) {
        logLine(std::string(classInfo().name) + ": event " + std::to_string(eventId) + " is not declared");
        return;
    }
    const auto expected = event->params.span();
    bool fits = expected.size() == args.size();
    for (std::size_t i = 0; fits && i < args.size(); ++i)
        fits = args[i].type() == expected[i];
    if (!fits) {
        logLine(std::string(classInfo().name) + ": event " + std::string(event->name)
                + " fired with arguments that do not match its declaration");
        return;
    }
    if (m_sink)
        m_sink->onEvent(*this, eventId, args);
}

void Control::invalidateControl()
{
    if (m_widget)
        m_widget->update();
}

} // namespace comp

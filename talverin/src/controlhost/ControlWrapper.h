// What the five wrapper classes share: a call by dispatch id with the member's argument kinds on
// the control of one site. A wrapper holds nothing but a guarded pointer to the site it was
// pointed at: once the site is gone the wrapper is a wrapper of nothing (calls answer 0; the first
// call on each missing control is logged). A failed call
// (no site, no control, wrong kind, a member the control lacks) was logged where it failed; the
// wrapper answers 0, FALSE or an empty string and the site keeps the status.
#pragma once

#include "controlhost/ControlSite.h"

#include <platform/types.h>

#include <QPointer>
#include <QRect>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace talverin {

class ControlWrapper {
public:
    explicit ControlWrapper(ControlSite* site = nullptr) : m_site(site), m_controlId(site ? site->controlId() : 0) {}
    ControlWrapper(const QWidget* form, int controlId)
        : m_site(ControlSite::find(form, controlId)), m_controlId(controlId)
    {
    }

    ControlSite* site() const { return m_site.data(); }
    bool isValid() const { return m_site != nullptr && m_site->control() != nullptr; }
    // The status of the last call made through the site.
    comp::HRESULT lastStatus() const;

protected:
    comp::Variant invokeHelper(comp::DISPID id, comp::InvokeKind kind, std::initializer_list<comp::Variant> args = {}) const;
    comp::Variant call(comp::DISPID id, std::initializer_list<comp::Variant> args = {}) const
    {
        return invokeHelper(id, comp::InvokeKind::Method, args);
    }
    comp::Variant get(comp::DISPID id) const { return invokeHelper(id, comp::InvokeKind::PropertyGet); }
    void put(comp::DISPID id, comp::Variant value) const { invokeHelper(id, comp::InvokeKind::PropertyPut, {value}); }

    static comp::Variant b(plat::BOOL v) { return comp::Variant::fromBool(v != 0); }
    static comp::Variant i2(short v) { return comp::Variant::fromI2(v); }
    static comp::Variant i4(plat::LONG v) { return comp::Variant::fromI4(v); }
    static comp::Variant r4(float v) { return comp::Variant::fromR4(v); }
    static comp::Variant str(const char* v) { return comp::Variant::fromString(v ? v : ""); }
    static comp::Variant unk(void* p) { return comp::Variant::fromUnknown(p); }
    static comp::Variant iptr(std::intptr_t v) { return comp::Variant::fromIntPtr(v); }
    static plat::BOOL toBOOL(const comp::Variant& v) { return v.toBool() ? plat::TRUE : plat::FALSE; }

    // Create: a control of `clsid` in a new site at `rect` (pixels) under `parent`; nullptr and
    // the reason in `error` when it cannot be made.
    static ControlSite* createSite(std::string_view clsid, QWidget* parent, const QRect& rect, int id, QString* error);

private:
    QPointer<ControlSite> m_site;
    int m_controlId; // the control asked for, 0 when unknown
};

} // namespace talverin

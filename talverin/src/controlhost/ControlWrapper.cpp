#include "controlhost/ControlWrapper.h"

#include "controlhost/ControlFailures.h"

#include <component/loader.h>

namespace talverin {

comp::HRESULT ControlWrapper::lastStatus() const
{
    return m_site ? m_site->lastStatus() : comp::E_POINTER;
}

comp::Variant ControlWrapper::invokeHelper(comp::DISPID id, comp::InvokeKind kind,
                                           std::initializer_list<comp::Variant> args) const
{
    if (!m_site) {
        LogMissingControlCall(m_controlId, id);
        return {};
    }
    comp::Result r = m_site->invoke(id, kind, args);
    return r.ok() ? r.value : comp::Variant();
}

ControlSite* ControlWrapper::createSite(std::string_view clsid, QWidget* parent, const QRect& rect, int id,
                                        QString* error)
{
    comp::CreateResult r = comp::Loader::instance().create(clsid);
    if (!r.ok()) {
        ReportControlFailure(clsid, r);
        if (error)
            *error = QString::fromStdString(r.error);
        return nullptr;
    }
    auto* site = new ControlSite(parent, id, std::move(r.control));
    site->place(rect);
    site->show();
    return site;
}

} // namespace talverin

#include "CZRSLIDERApp.h"

#include "CZRSLIDERCtrl.h"

#include <controls/ZRSLIDERMembers.h>
#include <skeleton/ModuleExports.h>

#include <platform/language.h>

namespace {

CZRSLIDERApp theApp;

} // namespace

CZRSLIDERApp::CZRSLIDERApp()
    : ControlModule(ctl::zrslider::kClass, [](ControlModule& m) { return new CZRSLIDERCtrl(m); })
{
}

bool CZRSLIDERApp::initInstance()
{
    m_languageId = static_cast<plat::LANGID>(plat::GetThreadLocale() & 0xFFFF);
    return true;
}

QString CZRSLIDERApp::textFontName() const
{
    return m_languageId == plat::LANG_JAPANESE ? QStringLiteral("MS Gothic") : QStringLiteral("Arial");
}

CZRSLIDERApp& sliderModule()
{
    return theApp;
}

TALVERIN_CONTROL_MODULE(theApp)

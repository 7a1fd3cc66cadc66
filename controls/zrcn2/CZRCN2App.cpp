// The CN2 pin row plug-in. The module has no extras; any number of rows may live at once.
#include "CZRCN2Ctrl.h"

#include <controls/ZRCN2Members.h>
#include <skeleton/ModuleExports.h>

namespace {

class CZRCN2App : public ctl::ControlModule {
public:
    CZRCN2App() : ControlModule(ctl::zrcn2::kClass, [](ControlModule& m) { return new CZRCN2Ctrl(m); }) {}
};

CZRCN2App theApp;

} // namespace

TALVERIN_CONTROL_MODULE(theApp)

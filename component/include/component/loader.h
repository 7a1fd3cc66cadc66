// Creates controls by CLSID: looks the class up in the component registry, loads its plug-in file
// once, runs the module's initialisation once (the application object must exist by then) and
// asks the module's class factory for a new control. Plug-ins stay loaded until the process ends;
// shutdown() runs the modules' exits, last loaded first. Shut-down order: destroy every form (and
// so every control) first, then call shutdown(); a module that still answers DllCanUnloadNow with
// S_FALSE keeps its state (its exit is not run, and a line is logged).
//
// Every failure (unknown CLSID, missing file, missing entry point, failed module start) comes
// back as a status with a one-line explanation that is also logged, and the kind of problem with
// the file concerned, so a host can tell its user what to do; nothing throws.
#pragma once

#include "component/control.h"
#include "component/guid.h"
#include "component/status.h"

#include <memory>
#include <string>
#include <string_view>

namespace comp {

// What stood in the way of a control, in the terms a user can act on.
enum class CreateProblem {
    None,
    NotRegistered, // no usable entry for the class in the registry (or no class id at all)
    FileMissing,   // the registered plug-in file does not exist
    CannotLoad,    // the file exists but the dynamic loader refused it (detail: its words)
    BadPlugin,     // loaded, but no working control plug-in for the class (detail: what failed)
    NoApplication, // asked before the application object exists
};

struct CreateResult {
    HRESULT status = E_FAIL;
    std::unique_ptr<Control> control;
    std::string error; // empty on success
    CreateProblem problem = CreateProblem::None;
    std::string file;   // the plug-in file concerned, when the registry names one
    std::string detail; // the loader's or the plug-in's own words, for CannotLoad and BadPlugin

    bool ok() const { return control != nullptr; }
};

class Loader {
public:
    static Loader& instance();

    // Uses Registry::defaultPath() as it stands at the time of the call.
    CreateResult create(const Guid& clsid);
    CreateResult create(std::string_view clsidText);

    // Runs every initialised module's exit, in reverse order of initialisation, except for the
    // modules that still have live objects (DllCanUnloadNow not S_OK): those stay initialised for
    // a later call. True when every module could be shut down. The files stay mapped. Idempotent.
    bool shutdown();

    struct Impl;

private:
    Loader();
    ~Loader();
    std::unique_ptr<Impl> m_impl;
};

} // namespace comp

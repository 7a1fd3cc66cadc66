#include "RegControls.h"

#include <component/plugin_api.h>
#include <component/registry.h>

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>

namespace ctl {

namespace {

const char* kUsage =
    "usage: talverin-regcontrols [--registry FILE] register PLUGIN...\n"
    "       talverin-regcontrols [--registry FILE] unregister PLUGIN...\n"
    "       talverin-regcontrols [--registry FILE] list\n";

std::string hex(std::uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%05X", v);
    return buf;
}

// Plug-ins stay loaded: their code may be referenced by what they registered in this process.
bool callEntry(const std::string& plugin, const char* entry, std::ostream& out, std::ostream& err)
{
    std::error_code ec;
    const std::string path = std::filesystem::absolute(plugin, ec).string();
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        err << plugin << ": cannot be loaded: " << (why ? why : "?") << '\n';
        return false;
    }
    auto fn = reinterpret_cast<comp::DllRegisterServerFn>(dlsym(handle, entry));
    if (!fn) {
        err << plugin << ": not a control plug-in (no " << entry << ")\n";
        return false;
    }
    const comp::HRESULT hr = fn();
    if (comp::FAILED(hr)) {
        err << plugin << ": " << entry << " failed: " << comp::statusText(hr) << '\n';
        return false;
    }
    out << plugin << ": " << (entry == std::string(comp::kDllRegisterServer) ? "registered" : "unregistered")
        << '\n';
    return true;
}

} // namespace

int runRegControls(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::size_t i = 0;
    if (i + 1 < args.size() && args[i] == "--registry") {
        std::error_code ec;
        comp::Registry::setDefaultPath(std::filesystem::absolute(args[i + 1], ec).string());
        i += 2;
    }
    if (i >= args.size()) {
        err << kUsage;
        return 2;
    }
    const std::string command = args[i++];
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());

    if (command == "list" && rest.empty()) {
        const comp::Registry registry(comp::Registry::defaultPath());
        out << "registry: " << registry.path() << '\n';
        for (const comp::ClassEntry& c : registry.classes()) {
            out << c.clsid.toString() << "  " << c.progId << "  \"" << c.typeName << "\"  misc "
                << hex(c.miscStatus) << (c.insertable ? "  insertable" : "") << "\n    " << c.path << '\n';
        }
        return 0;
    }
    const char* entry = command == "register"     ? comp::kDllRegisterServer
                        : command == "unregister" ? comp::kDllUnregisterServer
                                                  : nullptr;
    if (!entry || rest.empty()) {
        err << kUsage;
        return 2;
    }
    bool ok = true;
    for (const std::string& plugin : rest)
        ok = callEntry(plugin, entry, out, err) && ok;
    return ok ? 0 : 1;
}

} // namespace ctl

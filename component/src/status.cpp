#include "component/status.h"

#include <cstdio>

namespace comp {

namespace {

const char* meaning(HRESULT hr)
{
    switch (hr) {
    case S_OK: return "success";
    case S_FALSE: return "false";
    case E_NOTIMPL: return "member not implemented";
    case E_POINTER: return "null pointer";
    case E_UNEXPECTED: return "unexpected failure";
    case E_FAIL: return "failure";
    case E_OUTOFMEMORY: return "out of memory";
    case E_INVALIDARG: return "invalid argument";
    case DISP_E_MEMBERNOTFOUND: return "member not found";
    case DISP_E_TYPEMISMATCH: return "wrong argument kind";
    case DISP_E_BADPARAMCOUNT: return "wrong number of arguments";
    case DISP_E_EXCEPTION: return "the control failed inside the call";
    case CLASS_E_CLASSNOTAVAILABLE: return "the plug-in does not provide this class";
    case REGDB_E_CLASSNOTREG: return "class not registered";
    case CO_E_DLLNOTFOUND: return "plug-in file cannot be loaded";
    case CO_E_ERRORINDLL: return "plug-in file lacks its entry points";
    case CO_E_NOTINITIALIZED: return "no application object yet";
    case SELFREG_E_TYPELIB: return "type library registration failed";
    case SELFREG_E_CLASS: return "class registration failed";
    default: return nullptr;
    }
}

} // namespace

std::string statusText(HRESULT hr)
{
    char number[16];
    std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(hr));
    const char* text = meaning(hr);
    return text ? std::string(number) + " (" + text + ")" : std::string(number);
}

} // namespace comp

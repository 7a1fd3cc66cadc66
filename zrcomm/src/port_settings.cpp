#include "port_settings.h"

#include "comm_app.h"

#include <platform/comm_port_names.h>
#include <platform/errors.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <mutex>

namespace zrcomm {

using namespace plat;

void ForceDefaultSettings(DCB& dcb)
{
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = TWOSTOPBITS;
    // Clear parity checking, DTR enable, XON/XOFF both ways and RTS enable; set CTS and DSR output
    // flow and the DTR and RTS handshakes.
    constexpr DWORD kClear =
        DCB_fParity | (DTR_CONTROL_ENABLE << 4) | DCB_fOutX | DCB_fInX | (RTS_CONTROL_ENABLE << 12);
    constexpr DWORD kSet =
        DCB_fOutxCtsFlow | DCB_fOutxDsrFlow | (DTR_CONTROL_HANDSHAKE << 4) | (RTS_CONTROL_HANDSHAKE << 12);
    static_assert(kClear == 0x1312 && kSet == 0x202C);
    dcb.Flags = (dcb.Flags & ~kClear) | kSet;
}

bool DefaultPortSettings(const std::string& portName, DCB& dcb)
{
    const std::string path = CommPortDevicePath(portName);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    // What a serial driver reports for a port nobody has configured.
    DCB d;
    d.DCBlength = sizeof(DCB);
    d.BaudRate = 9600;
    d.Flags = DCB_fBinary;
    d.XonLim = 2048;
    d.XoffLim = 512;
    d.ByteSize = 8;
    d.Parity = NOPARITY;
    d.StopBits = ONESTOPBIT;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    ForceDefaultSettings(d);
    dcb = d;
    return true;
}

namespace {

DialogEntry LoadDialogEntry()
{
    static std::once_flag once;
    static DialogEntry entry = nullptr;
    std::call_once(once, [] {
        // Beside this library first (the program folder), then wherever the loader looks. Kept
        // loaded: Qt does not take being unloaded.
        void* handle = nullptr;
        const std::string folder = LibraryFolder();
        if (!folder.empty())
            handle = ::dlopen((folder + "/" + kDialogLibrary).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            handle = ::dlopen(kDialogLibrary, RTLD_NOW | RTLD_LOCAL);
        if (handle)
            entry = reinterpret_cast<DialogEntry>(::dlsym(handle, kDialogEntry));
    });
    return entry;
}

} // namespace

bool RunPortSettingsDialog(const char* portName, HWND parent, DCB& dcb, LANGID language, DWORD& error)
{
    error = 0;
    const DialogEntry entry = LoadDialogEntry();
    if (!entry) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    return entry(portName, parent, &dcb, language, &error) == 1;
}

} // namespace zrcomm

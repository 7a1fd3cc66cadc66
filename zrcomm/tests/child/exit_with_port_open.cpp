// A program that opens a port through the exports and ends without closing it: by returning from
// main, by calling exit(), or by calling exit() from a thread other than the one that opened it.
// The library closes the port at unload; the process must still end cleanly.
#include <zrcomm/zrcomm_api.h>

#include <platform/messages.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <port> return|exit|exit-from-thread\n", argv[0]);
        return 64;
    }
    const char* mode = argv[2];
    ZRCommDcb dcb{};
    if (!ZRComm_GetDefaultCommConfig(argv[1], &dcb)) {
        std::fprintf(stderr, "no settings for %s\n", argv[1]);
        return 65;
    }
    // A message window makes this thread's message state exist, as in a real program.
    const plat::HWND window =
        plat::CreateMessageWindow([](plat::HWND, plat::UINT, plat::WPARAM, plat::LPARAM) { return plat::LRESULT{0}; });
    if (const CommResult r = ZRComm_InitFromDCB(window, argv[1], &dcb)) {
        std::fprintf(stderr, "open failed: %d\n", static_cast<int>(r));
        return 66;
    }
    // Queue a command so the threads are busy with the driver when the process ends.
    ZRComm_SendCommandText(window, "?P7", 0);
    std::printf("open\n");
    std::fflush(stdout);
    if (std::strcmp(mode, "exit") == 0)
        std::exit(0);
    if (std::strcmp(mode, "exit-from-thread") == 0) {
        std::thread([] { std::exit(0); }).join();
    }
    return 0;
}

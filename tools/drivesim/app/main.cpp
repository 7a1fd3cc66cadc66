// talverin-drivesim: a simulated motor driver on a pseudo-terminal. Prints the slave device path
// as its first line, then answers on it until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <pthread.h>
#include <string>

#include "drivesim/DriverSim.h"

namespace {

void usage(std::FILE* to)
{
    std::fputs(
        "Usage: talverin-drivesim [options]\n"
        "  --prompt P        prompt: \":\" (default), \"#\", \":>\" or \"#>\"\n"
        "  --echo MODE       byte (each byte at once, default) or line (the whole line at CR)\n"
        "  --echo-end END    crlf (default) or cr: what the echo of CR is\n"
        "  --marker          echo the marker \"@x\" before the CR\n"
        "  --bs-echo         a backspace that erases a byte echoes \"\\b \\b\"\n"
        "  --pace            take the wire time of every byte, both ways\n"
        "  --id TEXT         identification line answered to \"MI\"; repeat for more lines\n"
        "                    (default \"KVX100A 1.00\" and \"SYS 1.00\")\n"
        "  --rate BAUD       the driver's starting rate (default: the line's speed)\n"
        "  --no-speed-check  answer whatever speed the line is set to\n"
        "  --help            this text\n",
        to);
}

bool parse(int argc, char** argv, drivesim::Options& o, std::string& error)
{
    bool idGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--prompt") {
            if (!value(v))
                return false;
            if (v != ":" && v != "#" && v != ":>" && v != "#>") {
                error = "the prompt must be \":\", \"#\", \":>\" or \"#>\"";
                return false;
            }
            o.prompt = v;
        } else if (a == "--echo") {
            if (!value(v))
                return false;
            if (v == "byte")
                o.echoTiming = drivesim::EchoTiming::PerByte;
            else if (v == "line")
                o.echoTiming = drivesim::EchoTiming::WholeLine;
            else {
                error = "--echo takes byte or line";
                return false;
            }
        } else if (a == "--echo-end") {
            if (!value(v))
                return false;
            if (v == "crlf")
                o.echoLineEnd = drivesim::LineEnd::CrLf;
            else if (v == "cr")
                o.echoLineEnd = drivesim::LineEnd::Cr;
            else {
                error = "--echo-end takes crlf or cr";
                return false;
            }
        } else if (a == "--marker") {
            o.echoMarker = "@x";
        } else if (a == "--bs-echo") {
            o.backspaceEcho = true;
        } else if (a == "--pace") {
            o.pacing = true;
        } else if (a == "--id") {
            if (!value(v))
                return false;
            if (!idGiven)
                o.identification.clear();
            idGiven = true;
            o.identification.push_back(v);
        } else if (a == "--rate") {
            if (!value(v))
                return false;
            const int r = std::atoi(v.c_str());
            if (drivesim::speedFromBaud(r) == 0) {
                error = "unknown rate " + v;
                return false;
            }
            o.initialRate = r;
        } else if (a == "--no-speed-check") {
            o.speedEmulation = false;
        } else if (a == "--help" || a == "-h") {
            usage(stdout);
            std::exit(0);
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    drivesim::Options options;
    std::string error;
    if (!parse(argc, argv, options, error)) {
        std::fprintf(stderr, "talverin-drivesim: %s\n", error.c_str());
        usage(stderr);
        return 2;
    }
    // Block the signals before the driver thread starts, so only sigwait below takes them.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);

    drivesim::DriverSim sim(options);
    if (!sim.start(&error)) {
        std::fprintf(stderr, "talverin-drivesim: cannot open a pseudo-terminal: %s\n", error.c_str());
        return 1;
    }
    std::cout << sim.slavePath() << std::endl;
    int sig = 0;
    sigwait(&set, &sig);
    sim.stop();
    return 0;
}

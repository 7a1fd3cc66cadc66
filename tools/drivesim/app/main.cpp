// talverin-drivesim: a simulated motor driver on a pseudo-terminal. Prints the slave device path
// as its first line, then answers on it until SIGINT or SIGTERM. With --unit it is a whole driver
// of that unit (DriverModel); without, the line-protocol driver of the built-in lines.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <pthread.h>
#include <string>

#include "drivesim/DriverModel.h"
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
        "  --unit FILE       be a whole driver of this unit definition file\n"
        "  --lock 0|1        with --unit: 0 locked (\"KP0\", the factory state), 1 unlocked\n"
        "  --state FILE      with --unit: initial values, pins and channel programs from a document\n"
        "  --capture-time-scale X  with --unit: the oscilloscope records for its record time x X\n"
        "  --page-lines N    with --unit: a lone ';' page every N lines of long replies\n"
        "  --help            this text\n",
        to);
}

struct ModelOptions {
    std::string unit;
    std::string state;
    int lock = 0;
    double timeScale = 1.0;
    int pageLines = 0;
    bool modelOnly = false;   // an option that needs --unit was given
};

// A whole number or a decimal of the option's value, refused when anything else follows.
bool number(const std::string& text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

bool parse(int argc, char** argv, drivesim::Options& o, ModelOptions& m, std::string& error)
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
        } else if (a == "--unit") {
            if (!value(m.unit))
                return false;
        } else if (a == "--state") {
            if (!value(m.state))
                return false;
            m.modelOnly = true;
        } else if (a == "--lock") {
            if (!value(v))
                return false;
            if (v != "0" && v != "1") {
                error = "--lock takes 0 (locked) or 1 (unlocked)";
                return false;
            }
            m.lock = v == "1";
            m.modelOnly = true;
        } else if (a == "--capture-time-scale") {
            if (!value(v))
                return false;
            if (!number(v, m.timeScale) || m.timeScale < 0) {
                error = "--capture-time-scale takes a number of 0 or more";
                return false;
            }
            m.modelOnly = true;
        } else if (a == "--page-lines") {
            if (!value(v))
                return false;
            double n = 0;
            if (!number(v, n) || n < 1 || n > 100000 || n != static_cast<int>(n)) {
                error = "--page-lines takes a whole number from 1";
                return false;
            }
            m.pageLines = static_cast<int>(n);
            m.modelOnly = true;
        } else if (a == "--help" || a == "-h") {
            usage(stdout);
            std::exit(0);
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    if (m.modelOnly && m.unit.empty()) {
        error = "--lock, --state, --capture-time-scale and --page-lines need --unit";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    drivesim::Options options;
    ModelOptions modelOptions;
    std::string error;
    if (!parse(argc, argv, options, modelOptions, error)) {
        std::fprintf(stderr, "talverin-drivesim: %s\n", error.c_str());
        usage(stderr);
        return 2;
    }
    drivesim::DriverModel model;
    if (!modelOptions.unit.empty()) {
        if (!model.load(modelOptions.unit, &error) ||
            (!modelOptions.state.empty() && !model.loadState(modelOptions.state, &error))) {
            std::fprintf(stderr, "talverin-drivesim: %s\n", error.c_str());
            return 2;
        }
        model.setLocked(modelOptions.lock == 0);
        model.setCaptureTimeScale(modelOptions.timeScale);
        model.setPageLines(modelOptions.pageLines);
    }
    // Block the signals before the driver thread starts, so only sigwait below takes them.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);

    drivesim::DriverSim sim(options);
    if (model.loaded())
        model.install(sim);
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

// The communication library against a bare termios loop, both talking to the simulated driver on a
// pseudo-terminal in the same process, with the same script, pacing and framing:
//   B1 sequential round trip: one read at a time, the next queued after the previous ended;
//   B2 queued batch: every command queued at once, each removed on its final event;
//   B3 a long paged reply (a) and a command answered line by line after questions (b);
//   B4 one over-long reply line (100 kB to 1 MB, unpaced): the time grows with the length, not
//      with its square.
// Each runs unpaced and paced at 9600 and 57600 baud (8N2); the wire floor is the time the bytes
// counted on the line take at that speed (both ways, though the echo overlaps the line it echoes).
// B1 at 9600 shows one round trip against that wire time. Prints medians and the ratios.
//   zrcomm_bench [--full] [--runs N] [--only B1|B2|B3|B4]
// --full uses the sizes 1000 / 500 / 2000 lines / 200 lines and 5 runs; the default is smaller.
#include <zrcomm/zrcomm_api.h>

#include <drivesim/DriverSim.h>

#include "BareLine.h"
#include "LibrarySide.h"

#include <platform/messages.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using bench::BareLine;
using bench::LibrarySide;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double CpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * (v.size() - 1) + 0.5))];
}

struct Sizes {
    int b1 = 200, b2 = 200, b3Lines = 400, b3Questions = 50, runs = 3, warmUp = 20;
};

struct Speed {
    const char* name;
    int baud;
    bool paced;
};

// ---------------------------------------------------------------------------------------------
// The driver's script, the same for both sides.

std::string Pad(int n, int width) {
    char b[32];
    std::snprintf(b, sizeof b, "%0*d", width, n);
    return b;
}

drivesim::Program AskLines() {
    return drivesim::Program{drivesim::Question("LINE", [](const std::string& answer) -> drivesim::Program {
        return answer == "END" ? drivesim::Program{} : AskLines();
    })};
}

void Script(drivesim::DriverSim& sim, int pagedLines) {
    using namespace drivesim;
    // ?Pnnn: one line; ?Qnnn: five lines; ?Ennn: an error reply. 1 ms of driver work each.
    sim.addCommand(Match::prefix("?P"), Responder([](const std::string& line) {
        return Program{Delay(1ms), Line(line.substr(1) + " " + std::string("123456"))};
    }));
    sim.addCommand(Match::prefix("?Q"), Responder([](const std::string& line) {
        Program p{Delay(1ms)};
        for (int i = 0; i < 5; ++i) p.push_back(Line(line.substr(1) + " " + Pad(i, 6)));
        return p;
    }));
    sim.addCommand(Match::prefix("?E"), Program{Delay(1ms), Error("RANGE OVER")});
    // TX0: a long reply of 40-byte lines, a page every 20 lines.
    sim.addCommand(Match::exact("TX0"), Responder([pagedLines](const std::string&) {
        Program p{Delay(1ms)};
        for (int i = 0; i < pagedLines; ++i) {
            std::string text = "L" + Pad(i, 5) + std::string(33, 'x');
            p.push_back((i + 1) % 20 == 0 ? Page(text) : Line(text));
        }
        return p;
    }));
    // DL: a channel text, one line after each question, up to END.
    sim.addCommand(Match::exact("DL"), Responder([](const std::string&) {
        Program p{Delay(1ms)};
        const Program q = AskLines();
        p.insert(p.end(), q.begin(), q.end());
        return p;
    }));
}

std::string ChannelText(int lines) {
    std::string t = "DL\r";
    for (int i = 0; i < lines; ++i) t += "N" + Pad(i, 3) + " MOV 1000 2000\r";
    return t + "END\r";
}

// ---------------------------------------------------------------------------------------------
// The bare loop follows the library's line rules: the 50 ms silence after a final '?' or ';' and
// the 10 ms pause each receive pass begins with.

BareLine Bare() { return BareLine(BareLine::Rules{50, 10, 0}); }

// One driver per side, started with the speed's options.
std::unique_ptr<drivesim::DriverSim> StartDriver(const Speed& speed, int pagedLines) {
    drivesim::Options o;
    o.pacing = speed.paced;
    auto sim = std::make_unique<drivesim::DriverSim>(o);
    std::string error;
    if (!sim->start(&error)) {
        std::fprintf(stderr, "cannot start the simulated driver: %s\n", error.c_str());
        std::exit(1);
    }
    Script(*sim, pagedLines);
    return sim;
}

std::uint64_t LineBytes(const drivesim::DriverSim& sim) {
    const auto s = sim.stats();
    return s.bytesReceived + s.bytesSent;
}

double WireMs(std::uint64_t bytes, const Speed& speed) {
    return speed.paced ? bytes * 11.0 * 1000.0 / speed.baud : 0.0; // 8N2: 11 bits a byte
}

std::string Command(int kind, int i) {
    const char* prefix = kind == 0 ? "?P" : kind == 1 ? "?Q" : "?E";
    return prefix + Pad(i % 1000, 3) + "\r";
}

int MixKind(int i) { return i % 20 == 0 ? 2 : (i % 10 < 3 ? 1 : 0); }

void Ratio(const char* what, double lib, double bare, double wire) {
    std::printf("  %-34s library %9.1f ms   bare loop %9.1f ms   wire floor %8.1f ms   library/bare %6.2f",
                what, lib, bare, wire, bare > 0 ? lib / bare : 0.0);
    if (wire > 0) std::printf("   library/wire %6.2f   bare/wire %5.2f", lib / wire, bare / wire);
    std::printf("\n");
}

// ---------------------------------------------------------------------------------------------

void B1(const Speed& speed, const Sizes& z) {
    std::vector<double> libRuns, bareRuns, libP95, wireRuns;
    for (int run = 0; run < z.runs; ++run) {
        {
            auto sim = StartDriver(speed, 0);
            LibrarySide lib;
            if (!lib.open(sim->slavePath(), speed.baud)) { std::fprintf(stderr, "B1: no connection\n"); return; }
            for (int i = 0; i < z.warmUp; ++i) {
                const CommandId id = lib.queue(Command(0, i));
                lib.pumpUntil([&] { return lib.ended(id); });
            }
            const std::uint64_t bytes0 = LineBytes(*sim);
            std::vector<double> lat;
            for (int i = 0; i < z.b1; ++i) {
                const auto t0 = Clock::now();
                const CommandId id = lib.queue(Command(0, i));
                lib.pumpUntil([&] { return lib.ended(id); });
                lat.push_back(Ms(lib.endTime(id) - t0));
            }
            libRuns.push_back(Median(lat));
            libP95.push_back(Percentile(lat, 0.95));
            wireRuns.push_back(WireMs(LineBytes(*sim) - bytes0, speed) / z.b1);
        }
        {
            auto sim = StartDriver(speed, 0);
            BareLine bare = Bare();
            bare.open(sim->slavePath(), speed.baud);
            for (int i = 0; i < z.warmUp; ++i) bare.exchange(Command(0, i));
            std::vector<double> lat;
            for (int i = 0; i < z.b1; ++i) {
                const auto t0 = Clock::now();
                bare.exchange(Command(0, i));
                lat.push_back(Ms(Clock::now() - t0));
            }
            bareRuns.push_back(Median(lat));
        }
    }
    const double lib = Median(libRuns), bare = Median(bareRuns), wire = Median(wireRuns);
    std::printf("B1 sequential round trip, %s, %d reads x %d runs\n", speed.name, z.b1, z.runs);
    Ratio("median per command", lib, bare, wire);
    std::printf("  %-34s library p95 %.1f ms, %.1f commands/s; overhead over bare %.1f ms%s\n", "", Median(libP95),
                lib > 0 ? 1000.0 / lib : 0.0, lib - bare,
                wire > 0 ? (", over wire " + std::to_string(lib - wire).substr(0, 6) + " ms").c_str() : "");
}

void B2(const Speed& speed, const Sizes& z) {
    std::vector<double> libRuns, bareRuns, wireRuns;
    int failures = 0;
    for (int run = 0; run < z.runs; ++run) {
        {
            auto sim = StartDriver(speed, 0);
            LibrarySide lib;
            if (!lib.open(sim->slavePath(), speed.baud)) { std::fprintf(stderr, "B2: no connection\n"); return; }
            const std::uint64_t bytes0 = LineBytes(*sim);
            const auto t0 = Clock::now();
            for (int i = 0; i < z.b2; ++i) lib.queue(Command(MixKind(i), i));
            lib.pumpUntil([&] { return lib.endedCount() >= static_cast<std::size_t>(z.b2); });
            libRuns.push_back(Ms(Clock::now() - t0));
            wireRuns.push_back(WireMs(LineBytes(*sim) - bytes0, speed));
            failures += lib.failures();
        }
        {
            auto sim = StartDriver(speed, 0);
            BareLine bare = Bare();
            bare.open(sim->slavePath(), speed.baud);
            const auto t0 = Clock::now();
            for (int i = 0; i < z.b2; ++i) bare.exchange(Command(MixKind(i), i));
            bareRuns.push_back(Ms(Clock::now() - t0));
        }
    }
    const double lib = Median(libRuns), bare = Median(bareRuns), wire = Median(wireRuns);
    std::printf("B2 queued batch, %s, %d commands (70%% one line, 30%% five lines, 5%% errors) x %d runs\n",
                speed.name, z.b2, z.runs);
    Ratio("total", lib, bare, wire);
    std::printf("  %-34s library %.1f commands/s, bare %.1f commands/s%s; failed commands %d\n", "",
                z.b2 * 1000.0 / lib, z.b2 * 1000.0 / bare,
                wire > 0 ? (", efficiency wire/library " + std::to_string(wire / lib).substr(0, 5)).c_str() : "",
                failures);
}

void B3(const Speed& speed, const Sizes& z) {
    struct Case {
        const char* name;
        std::string text;
    } cases[] = {{"(a) paged reply", "TX0\r"}, {"(b) line per question", ChannelText(z.b3Questions)}};
    for (const Case& c : cases) {
        std::vector<double> libRuns, bareRuns, wireRuns, libCpu, bareCpu;
        std::size_t payload = 0;
        bool same = true;
        for (int run = 0; run < z.runs; ++run) {
            std::string libReply, bareReply;
            {
                auto sim = StartDriver(speed, z.b3Lines);
                LibrarySide lib;
                lib.keepReplies(true);
                if (!lib.open(sim->slavePath(), speed.baud)) { std::fprintf(stderr, "B3: no connection\n"); return; }
                const std::uint64_t bytes0 = LineBytes(*sim);
                const double cpu0 = CpuMs();
                const auto t0 = Clock::now();
                const CommandId id = lib.queue(c.text);
                lib.pumpUntil([&] { return lib.ended(id); });
                libRuns.push_back(Ms(lib.endTime(id) - t0));
                libCpu.push_back(CpuMs() - cpu0);
                wireRuns.push_back(WireMs(LineBytes(*sim) - bytes0, speed));
                libReply = lib.lastReply();
            }
            {
                auto sim = StartDriver(speed, z.b3Lines);
                BareLine bare = Bare();
                bare.open(sim->slavePath(), speed.baud);
                const double cpu0 = CpuMs();
                const auto t0 = Clock::now();
                bareReply = bare.exchange(c.text);
                bareRuns.push_back(Ms(Clock::now() - t0));
                bareCpu.push_back(CpuMs() - cpu0);
            }
            payload = bareReply.size();
            // The paged reply, line ends and page marks aside, must be exactly the script's text.
            if (c.text == "TX0\r") {
                std::string script;
                for (int i = 0; i < z.b3Lines; ++i) script += "L" + Pad(i, 5) + std::string(33, 'x');
                auto text = [](const std::string& r) {
                    std::string out;
                    for (char ch : r)
                        if (ch != '\r' && ch != '\n' && ch != ';') out += ch;
                    return out;
                };
                // The reply copy ends one byte early by design (it is meant to drop a final CR; a
                // reply ending in a page has none), so the library's text may lack the last byte.
                const std::string lt = text(libReply);
                const bool libOk = lt == script || (lt.size() + 1 == script.size() && script.compare(0, lt.size(), lt) == 0);
                if (!libOk || text(bareReply) != script) same = false;
            }
        }
        const double lib = Median(libRuns), bare = Median(bareRuns), wire = Median(wireRuns);
        std::printf("B3 %s, %s, %s x %d runs\n", c.name, speed.name,
                    c.text == "TX0\r" ? (std::to_string(z.b3Lines) + " lines of 40 bytes, a page every 20").c_str()
                                      : (std::to_string(z.b3Questions) + " lines after questions").c_str(),
                    z.runs);
        Ratio("to completion", lib, bare, wire);
        std::printf("  %-34s payload %zu bytes: library %.0f B/s, bare %.0f B/s; process CPU library %.1f ms, bare "
                    "%.1f ms%s\n",
                    "", payload, payload * 1000.0 / lib, payload * 1000.0 / bare, Median(libCpu), Median(bareCpu),
                    c.text == "TX0\r" ? (same ? "; reply complete and identical" : "; REPLY DIFFERS") : "");
    }
}

void B4(const Sizes& z) {
    std::printf("B4 one long reply line, unpaced, %d runs each\n", z.runs);
    for (const std::size_t length : {std::size_t{100000}, std::size_t{400000}, std::size_t{1000000}}) {
        std::vector<double> runs;
        int failures = 0;
        for (int run = 0; run < z.runs; ++run) {
            auto sim = StartDriver(Speed{"unpaced", 9600, false}, 0);
            sim->addCommand(drivesim::Match::exact("LONG"), drivesim::Program{drivesim::Line(std::string(length, 'x'))});
            LibrarySide lib;
            if (!lib.open(sim->slavePath(), 9600)) { std::fprintf(stderr, "B4: no connection\n"); return; }
            const auto t0 = Clock::now();
            const CommandId id = lib.queue("LONG\r");
            lib.pumpUntil([&] { return lib.ended(id); });
            runs.push_back(Ms(lib.endTime(id) - t0));
            failures += lib.failures();
        }
        const double ms = Median(runs);
        std::printf("  %7zu bytes: %9.1f ms to completion, %6.2f ms per 100 kB%s\n", length, ms, ms * 100000.0 / length,
                    failures ? "; COMMAND FAILED" : "");
    }
}

} // namespace

int main(int argc, char** argv) {
    Sizes z;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--full") {
            z = Sizes{1000, 500, 2000, 200, 5, 20};
        } else if (a == "--runs" && i + 1 < argc) {
            z.runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::fprintf(stderr, "usage: zrcomm_bench [--full] [--runs N] [--only B1|B2|B3|B4]\n");
            return 2;
        }
    }
    const Speed speeds[] = {{"unpaced", 9600, false}, {"paced 9600 8N2", 9600, true}, {"paced 57600 8N2", 57600, true}};
    for (const Speed& s : speeds) {
        if (only.empty() || only == "B1") B1(s, z);
        if (only.empty() || only == "B2") {
            if (s.paced) B2(s, z); // the batch is measured paced only
        }
        if (only.empty() || only == "B3") {
            if (s.baud == 9600) B3(s, z); // unpaced and 9600
        }
        std::fflush(stdout);
    }
    if (only.empty() || only == "B4") B4(z);
    return 0;
}

// Many commands through several ports at once against simulated drivers that commit random faults:
// every command ends with exactly one final report, nothing hangs, nothing is left queued.
#include "line_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

using namespace zrcomm;
using namespace zrtest;
using drivesim::Fault;
using drivesim::FaultKind;
using drivesim::Line;
using drivesim::Match;
using drivesim::Program;

namespace {

#if defined(__SANITIZE_THREAD__)
constexpr int kCommands = 2000; // the race detector makes every step many times slower
#else
constexpr int kCommands = 10000;
#endif
constexpr int kPorts = 8;
// A healthy reply may come late on a loaded machine: its time-out is far beyond any delay the
// scheduler makes. Only the commands the driver is told to fail end by a short time-out of their
// own, and the wait for any end is a guard against a hang, never reached by a working library.
constexpr std::uint32_t kHealthyReplyMs = 20000;
constexpr std::uint32_t kFaultReplyMs = 500;
constexpr int kHangMs = 60000;

bool IsFinal(plat::WPARAM e)
{
    return e == 3 || e == 4 || e == 6 || e == 7 || e == 8 || e == 9;
}

struct Outcome {
    int completed = 0, faulted = 0, aborted = 0;
    std::vector<std::string> problems;
};

// One port and its driver, run on the calling thread, which owns the port's windows.
void Soak(int seed, int count, Outcome& out)
{
    std::mt19937 rng(static_cast<unsigned>(seed));
    drivesim::Options o;
    o.echoTiming = drivesim::EchoTiming::WholeLine;
    o.echoMarker = seed % 2 ? "@x" : "";
    o.splitGap = std::chrono::milliseconds(3);
    drivesim::DriverSim sim(o);
    std::string error;
    if (!sim.start(&error)) {
        out.problems.push_back("driver: " + error);
        return;
    }
    // "?Sn": one line; "PGn": two pages; "QSn": a question answered by the command's second line.
    sim.addCommand(Match::prefix("?S"),
                   drivesim::Responder([](const std::string& l) { return Program{Line("V " + l.substr(2))}; }));
    sim.addCommand(Match::prefix("PG"), drivesim::Responder([](const std::string& l) {
                       return Program{drivesim::Page("A" + l.substr(2)), Line("B")};
                   }));
    sim.addCommand(Match::prefix("QS"), Program{drivesim::Question("VAL"), Line("OK")});

    RecordingWindow notify;
    CCommPort port;
    plat::DCB dcb;
    dcb.BaudRate = 38400;
    if (port.Open(sim.slavePath()) != COMM_OK || port.Configure(dcb) != COMM_OK) {
        out.problems.push_back("open");
        return;
    }
    port.SetNotifyWindow(notify.hwnd());
    port.SetExternalData(kHealthyReplyMs, true);
    port.StartThreads();
    const auto pumpUntil = [&](const std::function<bool()>& pred, int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            notify.pump();
            if (pred())
                return true;
            ::usleep(200);
        }
        notify.pump();
        return pred();
    };
    const auto queue = [&](const std::string& text, bool short_) {
        PortLock lock(port);
        CCommCommand* r = port.QueueCommand(port.NewCommand(1, text.c_str(), nullptr, 0));
        if (short_)
            r->ownTimeout = kFaultReplyMs;
        port.WakeSender();
        return r;
    };
    const auto collectFinals = [&](plat::LPARAM id, std::vector<plat::WPARAM>& finals) {
        finals.clear();
        for (const Message& m : notify.seen())
            if (m.msg == WM_COMM_COMMAND && m.lParam == id && IsFinal(m.wParam))
                finals.push_back(m.wParam);
        return !finals.empty();
    };
    const auto describe = [&](CCommCommand* r) {
        PortLock lock(port);
        char b[96];
        std::snprintf(b, sizeof b, " (state %x, line %x, connection %u)", r->state,
                      CCommPortTestAccess::LineState(port), port.ConnectionState());
        return std::string(b);
    };
    // After a failure the driver may still be talking, or busy and dropping what comes meanwhile.
    // Lines go out, each with a short time-out, until one is answered in full: the driver is back at
    // its prompt and all it still had to say came before that answer.
    const auto resync = [&](int i) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            const std::string n = std::to_string(i) + "." + std::to_string(attempt);
            CCommCommand* r = queue("?S" + n + "\r", true);
            std::vector<plat::WPARAM> finals;
            if (!pumpUntil([&] { return collectFinals(static_cast<plat::LPARAM>(r->id), finals); }, kHangMs)) {
                out.problems.push_back("no end for ?S" + n + describe(r));
                return false;
            }
            bool answered;
            {
                PortLock lock(port);
                answered = r->state == CMD_COMPLETED && r->reply.ToString() == "V " + n + "\r";
            }
            port.RemoveRecord(r);
            notify.clear();
            if (answered)
                return true;
        }
        out.problems.push_back("the driver never answered again after the failure of command " + std::to_string(i));
        return false;
    };
    if (!pumpUntil([&] { return port.ConnectionState() == CONN_CONNECTED; }, kHangMs)) {
        out.problems.push_back("never connected");
        return;
    }

    std::uniform_int_distribution<int> pct(0, 99);
    std::uniform_int_distribution<int> permille(0, 999);
    for (int i = 0; i < count && out.problems.size() < 5; ++i) {
        const int kind = pct(rng) % 3;
        std::string text, expected;
        if (kind == 0) {
            text = "?S" + std::to_string(i) + "\r";
            expected = "V " + std::to_string(i) + "\r";
        } else if (kind == 1) {
            text = "PG" + std::to_string(i) + "\r";
            expected = "A" + std::to_string(i) + "B\r";
        } else {
            text = "QS" + std::to_string(i) + "\r" + std::to_string(i) + "\r";
            expected = "VAL\rOK\r";
        }
        const std::string line = text.substr(0, text.find('\r'));
        const int roll = permille(rng) / 10;
        bool fault = false;
        if (permille(rng) < 8) {
            const FaultKind kinds[] = {FaultKind::DropPrompt, FaultKind::DropLine, FaultKind::Garbage,
                                       FaultKind::EchoOnly};
            sim.injectFault(Fault(kinds[pct(rng) % 4]).on(line));
            fault = true;
        } else if (roll < 12) {
            // Harmless to the result: the response in pieces, or late.
            const std::size_t at = 1 + static_cast<std::size_t>(pct(rng)) % (line.size() + 6);
            if (pct(rng) % 2)
                sim.injectFault(Fault(FaultKind::SplitWrites).on(line).splitAt({at, at + 2}));
            else
                sim.injectFault(Fault(FaultKind::EchoDelay).on(line).after(std::chrono::milliseconds(5)));
        }
        const bool abort = !fault && roll >= 12 && roll < 14;

        CCommCommand* r = queue(text, fault);
        const auto id = static_cast<plat::LPARAM>(r->id);
        std::vector<plat::WPARAM> finals;
        const auto collect = [&] { return collectFinals(id, finals); };
        if (abort) {
            pumpUntil(
                [&] {
                    return collect() || std::any_of(notify.seen().begin(), notify.seen().end(), [&](const Message& m) {
                               return m.lParam == id && m.wParam == COMM_EVENT_WRITTEN;
                           });
                },
                kHangMs);
            port.AbortRecord(r);
        }
        if (!pumpUntil(collect, kHangMs)) {
            out.problems.push_back("no end for " + line + describe(r));
            break;
        }
        // A timed-out record is reported again on later passes until removed; take the first.
        std::string reply;
        CommandState state;
        {
            PortLock lock(port);
            reply = r->reply.ToString();
            state = r->state;
        }
        const plat::WPARAM first = finals.front();
        if (state == CMD_REPLY_TIMEOUT) {
            // An ended record left queued is reported again as timed out; its first end may differ.
            for (std::size_t k = 1; k < finals.size(); ++k)
                if (finals[k] != COMM_EVENT_TIMEOUT)
                    out.problems.push_back(line + ": mixed ends");
        } else if (abort && finals == std::vector<plat::WPARAM>{COMM_EVENT_COMPLETED, COMM_EVENT_ABORTED}) {
            // Done before the abort came: an ended command is aborted at once, and says so.
        } else if (finals.size() != 1) {
            std::string seq;
            for (const Message& m : notify.seen())
                if (m.lParam == id)
                    seq += std::to_string(m.wParam) + ",";
            out.problems.push_back(line + ": ends " + seq + (fault ? " fault" : "") + (abort ? " abort" : ""));
        }
        if (abort) {
            if (first == COMM_EVENT_ABORTED)
                ++out.aborted;
            else if (first == COMM_EVENT_COMPLETED && reply == expected)
                ++out.completed;
            else
                out.problems.push_back(line + ": abort ended with " + std::to_string(first));
        } else if (!fault) {
            if (first != COMM_EVENT_COMPLETED || reply != expected || r->result != COMM_OK)
                out.problems.push_back(line + ": event " + std::to_string(first) + " reply '" + reply + "'");
            else
                ++out.completed;
        } else {
            ++out.faulted;
        }
        port.RemoveRecord(r);
        notify.clear();
        sim.clearFaults();
        if ((fault || abort) && !resync(i))
            break;
        if (port.ConnectionState() != CONN_CONNECTED) {
            out.problems.push_back("connection lost after " + line);
            break;
        }
    }
    if (port.CountRecords(-1) != 0)
        out.problems.push_back("records left");
    port.Close();
}

} // namespace

TEST(LineSoakPty, ManyCommandsWithRandomFaultsAllEndOnceAndNothingHangs)
{
    auto t = ShortTimings();
    t.passSleepMs = 1;
    t.decisionSilenceMs = 10;
    t.receiveWaitMs = 50;
    t.promptWaitMs = 300;
    // Beyond a healthy reply's time-out: a slow line is not taken for a lost one.
    t.echoWatchdogMs = 2 * kHealthyReplyMs;
    t.replyWatchdogMs = 2 * kHealthyReplyMs;
    detail::ScopedTimings scoped(t);
    const std::string savedLog = CCommLog::Get().FileName();
    CCommLog::Get().SetFile("", CCommLog::kDefaultMask); // lines are queued and dropped, never written

    std::vector<Outcome> outcomes(kPorts);
    std::vector<std::thread> workers;
    for (int p = 0; p < kPorts; ++p)
        workers.emplace_back([&, p] { Soak(1234 + p, kCommands / kPorts, outcomes[static_cast<std::size_t>(p)]); });
    for (auto& w : workers)
        w.join();
    CCommLog::Get().SetFile(savedLog.c_str(), CCommLog::kDefaultMask);

    int completed = 0, faulted = 0, aborted = 0;
    for (const Outcome& o : outcomes) {
        for (const std::string& p : o.problems)
            ADD_FAILURE() << p;
        completed += o.completed;
        faulted += o.faulted;
        aborted += o.aborted;
    }
    EXPECT_EQ(completed + faulted + aborted, kCommands);
    EXPECT_GT(faulted, 0);
    EXPECT_GT(aborted, 0);
    std::printf("soak: %d completed, %d faulted, %d aborted\n", completed, faulted, aborted);
}

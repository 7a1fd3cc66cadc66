// The driver thread's line editor, built-in lines, response programs and per-line faults.
#include "SimEngine.h"

#include <algorithm>

namespace drivesim {

namespace {
constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kBs = 0x08;
const std::string kDefaultGarbage("\x00\x07\x80\xff", 4);

bool printable(unsigned char b) { return b >= 0x20 && b <= 0x7E; }

std::string mismatchOf(const std::string& text)
{
    if (text.empty())
        return "X";
    std::string m = text;
    m.back() = m.back() == 'X' ? 'Y' : 'X';
    return m;
}

// Baud faults given without a command apply to their own lines.
bool ownLine(FaultKind kind, const std::string& text)
{
    switch (kind) {
    case FaultKind::BaudTestError: return text.rfind("BDT", 0) == 0;
    case FaultKind::BaudUnlockError: return text == "/TRX ON";
    case FaultKind::BaudNoSwitch:
    case FaultKind::BaudWrongRate: return text.size() == 4 && text.rfind("BDR", 0) == 0;
    case FaultKind::BaudVerifySilence: return text == "BDV";
    default: return false;
    }
}

bool isBaudFault(FaultKind kind) { return kind >= FaultKind::BaudTestError; }
} // namespace

void DriverSim::Impl::idleByte(unsigned char b)
{
    // Bytes from 0x80 up are noise taken in at a wrong rate: they spoil the line and are
    // echoed like any other byte.
    if (printable(b) || b >= 0x80) {
        line += static_cast<char>(b);
        // While the line may still become one a fault shapes the echo of, the echo waits for
        // the CR, so the fault can shape all of it; then what was held goes out at once.
        if (o.echoTiming == EchoTiming::PerByte && !holdEcho(line)) {
            pendingEcho += line.substr(echoedUpTo);
            echoedUpTo = line.size();
        }
    } else if (b == kCr) {
        std::string text;
        text.swap(line);
        processLine(text);
    } else if (b == kBs) {
        if (line.empty()) {
            note(TranscriptEntry::Kind::Byte, "\b");
            return;
        }
        const bool wasEchoed = echoedUpTo >= line.size();
        line.pop_back();
        echoedUpTo = std::min(echoedUpTo, line.size());
        if (o.backspaceEcho && wasEchoed)
            pendingEcho += "\b \b";
    }
}

LineFaults DriverSim::Impl::collectFaults(const std::string& text)
{
    std::vector<Armed> armed;
    {
        std::lock_guard lock(mu);
        armed = faults;
    }
    LineFaults f;
    std::vector<int> usedUp;
    std::vector<int> triggered;
    for (const Armed& a : armed) {
        const Fault& ft = a.fault;
        bool applies;
        if (ft.command)
            applies = ft.command->matches(text);
        else if (isBaudFault(ft.kind))
            applies = ownLine(ft.kind, text);
        else if (ft.kind == FaultKind::Stall || ft.kind == FaultKind::HangUp)
            applies = false;   // given without a command they act at once
        else
            applies = ft.persistent || !text.empty();
        if (!applies)
            continue;
        switch (ft.kind) {
        case FaultKind::Silence:
        case FaultKind::DropLine: f.drop = true; break;
        case FaultKind::EchoOnly: f.echoOnly = true; break;
        case FaultKind::Garbage: f.garbage.push_back(ft); break;
        case FaultKind::DropReplyLine: f.dropReplyLines.push_back(ft.index); break;
        case FaultKind::DropPrompt: f.dropPrompt = true; break;
        case FaultKind::DropEchoCr: f.dropEchoCr = true; break;
        case FaultKind::EchoDelay: f.echoDelay = ft.delay; break;
        case FaultKind::ByteDelay: f.byteDelay = ft.delay; break;
        case FaultKind::PromptDelay: f.promptDelay = ft.delay; break;
        case FaultKind::SplitWrites:
            f.splitOffsets.insert(f.splitOffsets.end(), ft.offsets.begin(), ft.offsets.end());
            f.splitAfter.insert(f.splitAfter.end(), ft.splitAfter.begin(), ft.splitAfter.end());
            f.splitGap = ft.delay.count() > 0 ? ft.delay : o.splitGap;
            break;
        case FaultKind::EchoMismatch: f.mismatch = ft.bytes.empty() ? mismatchOf(text) : ft.bytes; break;
        case FaultKind::PromptBlank: f.promptBlank = true; break;
        case FaultKind::Stall:
            f.stall = true;
            triggered.push_back(a.id);
            break;
        case FaultKind::HangUp: f.hangUp = true; break;
        case FaultKind::BaudTestError: f.testError = ft.bytes.empty() ? "RANGE OVER" : ft.bytes; break;
        case FaultKind::BaudUnlockError:
            f.unlockError = ft.bytes.empty() ? "PASSWORD REQUIRED" : ft.bytes;
            break;
        case FaultKind::BaudNoSwitch: f.noSwitch = true; break;
        case FaultKind::BaudWrongRate: f.wrongRate = ft.rate; break;
        case FaultKind::BaudVerifySilence: f.verifySilence = true; break;
        }
        // A stall lasts until it is cleared.
        if (!ft.persistent && ft.kind != FaultKind::Stall)
            usedUp.push_back(a.id);
    }
    if (!usedUp.empty() || !triggered.empty()) {
        std::lock_guard lock(mu);
        std::erase_if(faults, [&](const Armed& a) {
            return std::find(usedUp.begin(), usedUp.end(), a.id) != usedUp.end();
        });
        for (Armed& a : faults)
            if (std::find(triggered.begin(), triggered.end(), a.id) != triggered.end())
                a.triggered = true;
        summariseFaults();
    }
    return f;
}

void DriverSim::Impl::summariseFaults()
{
    echoShapers.clear();
    for (const Armed& a : faults) {
        const Fault& ft = a.fault;
        bool shapes = false;
        switch (ft.kind) {
        case FaultKind::Silence:
        case FaultKind::DropLine:
        case FaultKind::EchoDelay:
        case FaultKind::ByteDelay:
        case FaultKind::SplitWrites:
        case FaultKind::EchoMismatch: shapes = true; break;
        case FaultKind::Garbage:
            shapes = ft.place == GarbagePlace::BeforeEcho || ft.place == GarbagePlace::InsideEcho;
            break;
        // Given without a line these act at once, not on the echo.
        case FaultKind::Stall:
        case FaultKind::HangUp: shapes = ft.command.has_value() && !a.triggered; break;
        default: break;
        }
        if (shapes)
            echoShapers.push_back(ft.command);
    }
}

bool DriverSim::Impl::holdEcho(const std::string& partial) const
{
    for (const auto& m : echoShapers) {
        if (!m)
            return true;
        switch (m->kind()) {
        case Match::Kind::Exact:
            if (m->text().compare(0, partial.size(), partial) == 0)
                return true;
            break;
        case Match::Kind::Prefix:
            if (partial.compare(0, m->text().size(), m->text()) == 0 ||
                m->text().compare(0, partial.size(), partial) == 0)
                return true;
            break;
        case Match::Kind::Predicate: return true;   // cannot tell before the line is whole
        }
    }
    return false;
}

void DriverSim::Impl::note(TranscriptEntry::Kind kind, std::string text)
{
    {
        std::lock_guard lock(mu);
        transcriptList.push_back({kind, std::move(text), Clock::now()});
    }
    cv.notify_all();
}

void DriverSim::Impl::processLine(const std::string& text)
{
    const std::size_t echoed = std::min(echoedUpTo, text.size());
    echoedUpTo = 0;
    {
        std::lock_guard lock(mu);
        lines.push_back(text);
        transcriptList.push_back({TranscriptEntry::Kind::Line, text, Clock::now()});
        ++st.linesReceived;
    }
    cv.notify_all();

    const LineFaults f = collectFaults(text);
    if (f.hangUp) {
        doHangUp();
        throw HungUp{};
    }
    if (f.stall) {
        stalled = true;
        pendingEcho.clear();
        return;
    }
    if (f.drop) {
        pendingEcho.clear();
        return;
    }

    shape = &f;
    respOffset = 0;
    respHistory.clear();
    replyLineIndex = 0;
    noPrompt = false;
    garbageInReplyDue = false;

    std::string body = f.mismatch ? *f.mismatch : text.substr(echoed);
    std::string before, after;
    for (const Fault& g : f.garbage) {
        const std::string bytes = g.bytes.empty() ? kDefaultGarbage : g.bytes;
        switch (g.place) {
        case GarbagePlace::BeforeEcho: before += bytes; break;
        case GarbagePlace::InsideEcho: body.insert(std::min(g.offset, body.size()), bytes); break;
        case GarbagePlace::AfterEcho: after += bytes; break;
        case GarbagePlace::InReply:
            garbageInReplyDue = true;
            replyGarbage = bytes;
            break;
        }
    }
    std::string echo = before + pendingEcho + body;
    pendingEcho.clear();
    if (!f.dropEchoCr)
        echo += o.echoMarker + (o.echoLineEnd == LineEnd::CrLf ? "\r\n" : "\r");
    echo += after;
    if (f.echoDelay.count() > 0)
        sleepFor(f.echoDelay);
    respond(echo);

    if (!f.echoOnly) {
        const Program program = resolve(text, f);
        if (runProgram(program) == RunEnd::Done) {
            if (garbageInReplyDue) {
                garbageInReplyDue = false;
                respond(replyGarbage);
            }
            if (!noPrompt && !f.dropPrompt) {
                if (f.promptDelay.count() > 0)
                    sleepFor(f.promptDelay);
                respond(o.prompt + (f.promptBlank ? " " : ""));
            }
        }
    }
    shape = nullptr;
    if (!held.empty()) {
        inbuf.insert(inpos, held);
        held.clear();
    }
}

Program DriverSim::Impl::resolve(const std::string& text, const LineFaults& f)
{
    Responder responder;
    {
        std::vector<Command> copy;
        {
            std::lock_guard lock(mu);
            copy = commands;
        }
        for (auto it = copy.rbegin(); it != copy.rend(); ++it)
            if (it->match.matches(text)) {
                responder = it->responder;
                break;
            }
    }
    if (responder)
        return responder(text);

    if (text.empty() || text == "WWC")
        return {};
    if (text == "MI") {
        Program p;
        for (const auto& l : o.identification)
            p.push_back(Line(l));
        return p;
    }
    if (text.rfind("BDT", 0) == 0)
        return f.testError ? Program{Error(*f.testError)} : Program{};
    if (text == "/TRX ON")
        return f.unlockError ? Program{Error(*f.unlockError)} : Program{};
    if (text.size() == 4 && text.rfind("BDR", 0) == 0 && text[3] >= '0' && text[3] <= '3') {
        static const int kRates[] = {9600, 19200, 38400, 57600};
        Program p;
        if (!o.promptAfterRateSwitch)
            p.push_back(NoPrompt());
        if (!f.noSwitch)
            p.push_back(SetRate(f.wrongRate ? *f.wrongRate : kRates[text[3] - '0']));
        return p;
    }
    if (text == "BDV") {
        if (f.verifySilence)
            return {NoPrompt()};
        Program p;
        if (!o.verifyLine.empty())
            p.push_back(Line(o.verifyLine));
        return p;
    }
    return {Line(text + "?")};
}

DriverSim::Impl::RunEnd DriverSim::Impl::runProgram(const Program& program)
{
    // The answer of a question runs its branch in a frame of its own. A question that is the
    // last step of its program is replaced by its branch, so a long block dialog (a question
    // per line) keeps one frame however many lines it takes.
    struct Frame {
        Program steps;
        std::size_t next = 0;
        bool first = true;
    };
    std::vector<Frame> stack;
    stack.push_back({program, 0, true});
    while (!stack.empty()) {
        if (stack.back().next >= stack.back().steps.size()) {
            stack.pop_back();
            continue;
        }
        const Step s = stack.back().steps[stack.back().next++];
        // Only output can be cut short: a step that writes nothing must not take the input that
        // arrives after the command is done (the next line after a rate switch, say).
        const bool quiet = s.kind == Step::Kind::NoPrompt || s.kind == Step::Kind::SetRate;
        if (!quiet) {
            if (!stack.back().first && busyCancelled())
                return RunEnd::Cancelled;
            stack.back().first = false;
        }
        switch (s.kind) {
        case Step::Kind::Line: replyLine(s.text + "\r\n"); break;
        case Step::Kind::Error: {
            const std::string t = s.text + (s.mark ? "?" : "");
            if (s.delay.count() > 0) {
                if (replyLine(t)) {
                    if (waitBusy(s.delay))
                        return RunEnd::Cancelled;
                    respond("\r\n");
                }
            } else {
                replyLine(t + "\r\n");
            }
            break;
        }
        case Step::Kind::Page:
            replyLine(s.text + ";");
            for (;;) {
                const int b = nextByte(std::nullopt);
                if (b < 0)
                    continue;
                note(TranscriptEntry::Kind::Byte, std::string(1, static_cast<char>(b)));
                if (b == ' ')
                    break;
                if (b == kBs) {
                    cancel();
                    return RunEnd::Cancelled;
                }
            }
            break;
        case Step::Kind::Question: {
            replyLine(s.text + "?");
            // No fault shapes an answer's echo, so it follows the echo style alone.
            const bool perByte = o.echoTiming == EchoTiming::PerByte;
            std::string answer, echo;
            for (;;) {
                if (inpos >= inbuf.size() && !echo.empty()) {
                    respond(echo);
                    echo.clear();
                }
                const int b = nextByte(std::nullopt);
                if (b < 0)
                    continue;
                if (printable(static_cast<unsigned char>(b))) {
                    answer += static_cast<char>(b);
                    if (perByte)
                        echo += static_cast<char>(b);
                } else if (b == kCr) {
                    if (!perByte)
                        echo += answer;
                    echo += o.echoMarker + (o.echoLineEnd == LineEnd::CrLf ? "\r\n" : "\r");
                    respond(echo);
                    break;
                } else if (b == kBs) {
                    respond(echo);
                    note(TranscriptEntry::Kind::Byte, "\b");
                    cancel();
                    return RunEnd::Cancelled;
                }
            }
            {
                std::lock_guard lock(mu);
                answerList.push_back(answer);
                transcriptList.push_back({TranscriptEntry::Kind::Answer, answer, Clock::now()});
            }
            cv.notify_all();
            if (s.onAnswer) {
                Program branch = s.onAnswer(answer);
                if (stack.back().next >= stack.back().steps.size())
                    stack.pop_back();
                stack.push_back({std::move(branch), 0, true});
            }
            break;
        }
        case Step::Kind::Delay:
            if (waitBusy(s.delay))
                return RunEnd::Cancelled;
            break;
        case Step::Kind::Raw: respond(s.text); break;
        case Step::Kind::NoPrompt: noPrompt = true; break;
        case Step::Kind::SetRate: setSimRate(s.rate); break;
        }
    }
    return RunEnd::Done;
}

// Input while output runs: a backspace cancels the command, anything else is ignored or kept.
void DriverSim::Impl::busyByte(unsigned char b)
{
    if (o.queueInputWhileBusy)
        held += static_cast<char>(b);
}

bool DriverSim::Impl::busyCancelled()
{
    pump(Clock::now());
    while (inpos < inbuf.size()) {
        const auto b = static_cast<unsigned char>(inbuf[inpos++]);
        if (b == kBs || !o.queueInputWhileBusy)   // kept bytes become a line of their own
            note(TranscriptEntry::Kind::Byte, std::string(1, static_cast<char>(b)));
        if (b == kBs) {
            cancel();
            return true;
        }
        busyByte(b);
    }
    return false;
}

bool DriverSim::Impl::waitBusy(std::chrono::milliseconds ms)
{
    const auto deadline = Clock::now() + ms;
    for (;;) {
        while (inpos < inbuf.size()) {
            const auto b = static_cast<unsigned char>(inbuf[inpos++]);
            if (b == kBs || !o.queueInputWhileBusy)
                note(TranscriptEntry::Kind::Byte, std::string(1, static_cast<char>(b)));
            if (b == kBs) {
                cancel();
                return true;
            }
            busyByte(b);
        }
        if (Clock::now() >= deadline)
            return false;
        pump(deadline);
    }
}

void DriverSim::Impl::cancel()
{
    respond("\r\n" + o.prompt);
    noPrompt = true;
}

bool DriverSim::Impl::replyLine(const std::string& bytes)
{
    const int index = replyLineIndex++;
    if (garbageInReplyDue) {
        garbageInReplyDue = false;
        respond(replyGarbage);
    }
    if (shape && std::find(shape->dropReplyLines.begin(), shape->dropReplyLines.end(), index) !=
                     shape->dropReplyLines.end())
        return false;
    respond(bytes);
    return true;
}

} // namespace drivesim

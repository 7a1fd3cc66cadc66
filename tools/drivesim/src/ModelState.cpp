#include "ModelState.h"

#include "BlockDialog.h"
#include "ErrorTexts.h"
#include "ScaledNumber.h"

#include <chrono>

namespace drivesim {

namespace {
bool startsWith(const std::string& s, const char* word) { return s.rfind(word, 0) == 0; }

ModelState::Reply lines(std::vector<std::string> l, bool pageable = false)
{
    ModelState::Reply r;
    r.lines = std::move(l);
    r.pageable = pageable;
    return r;
}

ModelState::Reply error(const char* text) { return lines({text}); }
} // namespace

bool ModelState::load(UnitDefinition def, std::string& error)
{
    PinBank nextPins;
    if (!nextPins.setFactory(def.factoryPins(), error))
        return false;
    unit = std::move(def);
    pins = nextPins;
    scope.configure(unit);
    loaded = true;
    factoryReset();
    return true;
}

void ModelState::factoryReset()
{
    values.clear();
    for (const ParamDef& p : unit.parameters())
        values.push_back(p.initial());
    history.clear();
    channels.clearAll();
    pins.factoryReset();
    for (int io = 0; io < PinBank::kInputs; ++io)
        pins.pin(PinSide::Input, io).level = false;
    for (int io = 0; io < PinBank::kOutputs; ++io)
        pins.pin(PinSide::Output, io).level = false;
    scope.factoryReset();
    powerCycle();
}

void ModelState::powerCycle()
{
    locked = true;
    activeAlarm() = 0;
    scope.powerCycle();
}

std::size_t ModelState::indexOf(const ParamDef& p) const
{
    return static_cast<std::size_t>(&p - unit.parameters().data());
}

long long& ModelState::activeAlarm()
{
    const ParamDef* alm = unit.find("ALM");
    return alm && indexOf(*alm) < values.size() ? values[indexOf(*alm)].scaled : alarmWithoutParameter;
}

std::string ModelState::paramLine(const ParamDef& p) const
{
    return p.name() + p.format(values[indexOf(p)]);
}

std::string ModelState::write(const ParamDef& p, const std::string& value)
{
    if (!p.writable())
        return errors::kReadOnly;
    ParamValue v = values[indexOf(p)];
    const std::string why = p.check(value, v);
    if (!why.empty())
        return why;
    // Actions (alarm reset, moves) are operation, not setting: the lock lets them through.
    if (p.isAction()) {
        if (p.name() == "RESET")
            activeAlarm() = 0;
        return {};
    }
    if (locked)
        return errors::kPasswordRequired;
    values[indexOf(p)] = v;
    return {};
}

std::string ModelState::checkChannelLine(const std::string& line) const
{
    const ParamDef* p = unit.longestPrefix(line);
    if (!p || !p->writable())
        return errors::kUnknownOption;
    ParamValue ignored;
    return p->check(line.substr(p->name().size()), ignored);
}

std::vector<std::string> ModelState::applyPinFields(PinSide side, int io, const std::vector<std::string>& fields)
{
    PinState next = pins.pin(side, io);
    std::vector<std::string> out;
    std::string first;
    for (const std::string& f : fields) {
        PinState trial = next;
        const std::string why = PinBank::applyField(side, trial, f);
        if (why.empty()) {
            next = trial;
            continue;
        }
        out.push_back(quoted(f) + "?");
        if (first.empty())
            first = why;
    }
    PinBank::settle(next);
    pins.pin(side, io) = next;
    if (!first.empty())
        out.push_back(first);
    return out;
}

std::vector<std::string> ModelState::dump() const
{
    std::vector<std::string> out = unit.header();
    for (const ParamDef& p : unit.parameters())
        if (p.transferable())
            out.push_back(paramLine(p));
    out.emplace_back();
    out.emplace_back("CC/AL");
    for (int ch = 0; ch < ChannelStore::kChannels; ++ch) {
        out.push_back("CH" + std::to_string(ch));
        for (const std::string& l : channels.lines(ch))
            out.push_back(l);
        out.emplace_back();
    }
    out.emplace_back("PI/CL");
    pins.dump(PinSide::Input, out);
    if (pins.anyAssigned(PinSide::Output)) {
        out.emplace_back("PO/CL");
        pins.dump(PinSide::Output, out);
    }
    for (const std::string& l : unit.footer())
        out.push_back(l);
    return out;
}

ModelState::Reply ModelState::readAll(const std::string& c) const
{
    Reply r;
    r.pageable = true;
    // "?S1,?S2,TX0" (or "?S1,S2,TX0"): the special parameters' answers come first.
    for (const std::string& item : split(c.substr(0, c.size() - 3), ',')) {
        const std::string name = item.empty() || item[0] != '?' ? item : item.substr(1);
        if (name.empty())
            continue;
        const ParamDef* p = unit.find(name);
        if (!p)
            r.lines.push_back("?" + quoted(name) + "?");
        else if (!p->readable())
            r.lines.emplace_back(errors::kReadHibit);
        else
            r.lines.push_back(paramLine(*p));
    }
    for (std::string& l : dump())
        r.lines.push_back(std::move(l));
    return r;
}

ModelState::Reply ModelState::numbered(const std::string& word, const std::string& rest)
{
    std::string number = rest;
    bool pinReset = false;
    if ((word == "PI" || word == "PO") && rest.size() > 3 && rest.compare(rest.size() - 3, 3, "/RS") == 0) {
        number = rest.substr(0, rest.size() - 3);
        pinReset = true;
    }
    if (number.empty())
        return error(errors::kNotOmissible);
    int n = 0;
    if (!parseIndex(number, n))
        return error(errors::kUnknownOption);
    const bool pinWord = word == "PI" || word == "PO" || word == "TPI" || word == "TPO";
    const PinSide side = word == "PI" || word == "TPI" ? PinSide::Input : PinSide::Output;
    const bool valid = word == "IO" ? n <= 1 : pinWord ? PinBank::valid(side, n) : ChannelStore::valid(n);
    if (!valid)
        return error(errors::kRangeOver);
    if (word == "TC") {
        Reply r;
        r.pageable = true;
        const auto& program = channels.lines(n);
        for (std::size_t i = 0; i < program.size(); ++i)
            r.lines.push_back(lineNumber(static_cast<int>(i)) + ">" + program[i]);
        return r;
    }
    if (word == "TPI" || word == "TPO")
        return lines(pins.query(side, n));
    if (word == "IO")
        return lines(pins.monitor(n == 1));
    // The rest are settings.
    if (locked)
        return error(errors::kPasswordRequired);
    Reply r;
    if (pinReset) {
        pins.reset(side, n);
    } else if (word == "PI" || word == "PO") {
        r.block = side == PinSide::Input ? Reply::Block::Input : Reply::Block::Output;
        r.index = n;
    } else if (word == "CH") {
        r.block = Reply::Block::Channel;
        r.index = n;
    } else if (word == "CC") {
        channels.clear(n);
    } else if (word == "CI") {
        channels.insert(n);
    } else if (word == "CD") {
        channels.remove(n);
    }
    return r;
}

ModelState::Reply ModelState::execute(const std::string& raw, const std::string& c)
{
    const ParamDef* named = unit.longestPrefix(c);
    if (c == "MI")
        return lines(identification);
    if (c == "WWC")
        return {};
    if (c == "?KP")
        return lines({locked ? "KP0" : "KP1"});
    if (startsWith(c, "KP") && !(named && named->name().size() > 2)) {
        const std::string rest = c.substr(2);
        int n = 0;
        if (rest.empty())
            return error(errors::kNotOmissible);
        if (!parseIndex(rest, n))
            return error(errors::kUnknownOption);
        if (n > 1)
            return error(errors::kRangeOver);
        locked = n == 0;
        return {};
    }
    if (c == "TX0" || (c.size() > 4 && c.compare(c.size() - 4, 4, ",TX0") == 0))
        return readAll(c);
    if (c == "TA/HI") {
        Reply r;
        r.pageable = true;
        int i = 0;
        for (const AlarmEntry& a : history) {
            std::string code = std::to_string(a.code);
            code.insert(0, code.size() < 3 ? 3 - code.size() : 0, '0');
            r.lines.push_back(std::to_string(++i) + " AL" + code + (a.text.empty() ? "" : " " + a.text));
        }
        return r;
    }
    if (c == "CC/AL" || c == "PI/CL" || c == "PO/CL") {
        if (locked)
            return error(errors::kPasswordRequired);
        if (c == "CC/AL")
            channels.clearAll();
        else
            pins.clear(c == "PI/CL" ? PinSide::Input : PinSide::Output);
        return {};
    }
    static const char* const kWords[] = {"TPI", "TPO", "TC", "CC", "CH", "CI", "CD", "PI", "PO", "IO"};
    for (const char* word : kWords) {
        const std::string w = word;
        // A parameter with a longer name than the keyword is that parameter.
        if (startsWith(c, word) && !(named && named->name().size() > w.size()))
            return numbered(w, c.substr(w.size()));
    }
    Reply r;
    if (scope.command(c, std::chrono::steady_clock::now(), r.lines)) {
        r.pageable = startsWith(c, "WCD");
        return r;
    }
    if (!c.empty() && c[0] == '?') {
        const ParamDef* p = unit.find(c.substr(1));
        if (p && !p->readable())
            return error(errors::kReadHibit);
        if (p)
            return lines({paramLine(*p)});
    } else if (named) {
        const std::string why = write(*named, c.substr(named->name().size()));
        return why.empty() ? Reply{} : lines({why});
    }
    return lines({quoted(raw) + "?"});
}

Program ModelState::toProgram(const Reply& reply) const
{
    Program p;
    for (std::size_t i = 0; i < reply.lines.size(); ++i) {
        // A lone ';' between pages, never after the last line.
        if (reply.pageable && pageLines > 0 && i > 0 && i % static_cast<std::size_t>(pageLines) == 0)
            p.push_back(Page(""));
        p.push_back(Line(reply.lines[i]));
    }
    return p;
}

Program ModelState::respond(const std::string& raw)
{
    std::lock_guard lock(mu);
    const Reply r = execute(raw, normalised(raw));
    switch (r.block) {
    case Reply::Block::Channel: return channelBlock(shared_from_this(), r.index);
    case Reply::Block::Input: return pinBlock(shared_from_this(), PinSide::Input, r.index, {});
    case Reply::Block::Output: return pinBlock(shared_from_this(), PinSide::Output, r.index, {});
    case Reply::Block::None: break;
    }
    return toProgram(r);
}

} // namespace drivesim

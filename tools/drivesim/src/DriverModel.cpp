#include "drivesim/DriverModel.h"

#include "ModelState.h"
#include "ScaledNumber.h"
#include "StateDocument.h"
#include "drivesim/DriverSim.h"

#include <fstream>
#include <iterator>

namespace drivesim {

namespace {
bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

// The built-in lines of the driver, which the model leaves to it.
bool builtIn(const std::string& line)
{
    return line.empty() || line == "WWC" || line == "MI" || line.rfind("BDT", 0) == 0 || line == "/TRX ON" ||
           line == "BDV" || (line.size() == 4 && line.rfind("BDR", 0) == 0 && line[3] >= '0' && line[3] <= '3');
}
} // namespace

DriverModel::DriverModel() : m_state(std::make_shared<ModelState>()) {}

DriverModel::~DriverModel() = default;

bool DriverModel::load(const std::string& unitPath, std::string* error)
{
    UnitDefinition def;
    std::string why;
    if (!def.readFile(unitPath, why))
        return fail(error, why);
    std::lock_guard lock(m_state->mu);
    return m_state->load(std::move(def), why) || fail(error, unitPath + ": " + why);
}

bool DriverModel::loadText(const std::string& unitText, std::string* error)
{
    UnitDefinition def;
    std::string why;
    if (!def.readText(unitText, why))
        return fail(error, why);
    std::lock_guard lock(m_state->mu);
    return m_state->load(std::move(def), why) || fail(error, why);
}

bool DriverModel::loadState(const std::string& documentPath, std::string* error)
{
    std::ifstream in(documentPath, std::ios::binary);
    if (!in)
        return fail(error, documentPath + ": cannot be opened");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string why;
    if (!loadStateText(text, &why))
        return fail(error, documentPath + ": " + why);
    return true;
}

bool DriverModel::loadStateText(const std::string& documentText, std::string* error)
{
    std::lock_guard lock(m_state->mu);
    if (!m_state->loaded)
        return fail(error, "no unit loaded");
    std::string why;
    return StateDocument::apply(*m_state, documentText, why) || fail(error, why);
}

bool DriverModel::loaded() const
{
    std::lock_guard lock(m_state->mu);
    return m_state->loaded;
}

int DriverModel::install(DriverSim& sim)
{
    {
        std::lock_guard lock(m_state->mu);
        m_state->identification = sim.options().identification;
    }
    m_sim = &sim;
    auto state = m_state;
    return sim.addCommand(Match::predicate([state](const std::string& line) {
                              if (builtIn(line))
                                  return false;
                              std::lock_guard lock(state->mu);
                              return state->loaded;
                          }),
                          Responder([state](const std::string& line) { return state->respond(line); }));
}

void DriverModel::factoryReset()
{
    {
        std::lock_guard lock(m_state->mu);
        m_state->factoryReset();
    }
    if (m_sim)
        m_sim->setRate(0);
}

void DriverModel::powerCycle()
{
    {
        std::lock_guard lock(m_state->mu);
        m_state->powerCycle();
    }
    if (m_sim)
        m_sim->setRate(0);
}

std::optional<std::string> DriverModel::value(const std::string& name) const
{
    std::lock_guard lock(m_state->mu);
    const ParamDef* p = m_state->unit.find(normalised(name));
    if (!p || p->isAction())
        return std::nullopt;
    return p->format(m_state->values[m_state->indexOf(*p)]);
}

bool DriverModel::setValue(const std::string& name, const std::string& value, std::string* error)
{
    std::lock_guard lock(m_state->mu);
    const ParamDef* p = m_state->unit.find(normalised(name));
    if (!p || p->isAction())
        return fail(error, name + ": no such parameter");
    ParamValue v = m_state->values[m_state->indexOf(*p)];
    const std::string why = p->check(normalised(value), v);
    if (!why.empty())
        return fail(error, name + value + ": " + why);
    m_state->values[m_state->indexOf(*p)] = v;
    return true;
}

std::vector<std::string> DriverModel::channel(int channel) const
{
    std::lock_guard lock(m_state->mu);
    return ChannelStore::valid(channel) ? m_state->channels.lines(channel) : std::vector<std::string>{};
}

bool DriverModel::setChannel(int channel, const std::vector<std::string>& lines, std::string* error)
{
    std::lock_guard lock(m_state->mu);
    if (!ChannelStore::valid(channel))
        return fail(error, "no channel " + std::to_string(channel));
    std::vector<std::string> program;
    for (const std::string& l : lines) {
        const std::string line = normalised(l);
        const std::string why = m_state->checkChannelLine(line);
        if (!why.empty())
            return fail(error, l + ": " + why);
        program.push_back(line);
    }
    return m_state->channels.replace(channel, std::move(program)) ||
           fail(error, "more than " + std::to_string(ChannelStore::kMaxLines) + " lines in all channels");
}

int DriverModel::channelLineTotal() const
{
    std::lock_guard lock(m_state->mu);
    return m_state->channels.total();
}

PinState DriverModel::pin(PinSide side, int io) const
{
    std::lock_guard lock(m_state->mu);
    return PinBank::valid(side, io) ? m_state->pins.pin(side, io) : PinState{};
}

bool DriverModel::setPin(PinSide side, int io, const PinState& pin, std::string* error)
{
    std::lock_guard lock(m_state->mu);
    if (!PinBank::valid(side, io))
        return fail(error, std::string(PinBank::word(side)) + std::to_string(io) + ": no such pin");
    const bool output = side == PinSide::Output;
    const std::vector<std::string> fields{"FN" + pin.function, std::string(output ? "GC" : "AB") + (pin.logic ? "1" : "0"),
                                          std::string(output ? "ST" : "NW") + pin.value};
    PinState next = m_state->pins.pin(side, io);
    for (const std::string& f : fields) {
        const std::string why = PinBank::applyField(side, next, normalised(f));
        if (!why.empty())
            return fail(error, f + ": " + why);
    }
    PinBank::settle(next);
    m_state->pins.pin(side, io) = next;
    return true;
}

void DriverModel::setInputLevel(int io, bool high)
{
    std::lock_guard lock(m_state->mu);
    if (PinBank::valid(PinSide::Input, io))
        m_state->pins.pin(PinSide::Input, io).level = high;
}

void DriverModel::setOutputState(int io, bool on)
{
    std::lock_guard lock(m_state->mu);
    if (PinBank::valid(PinSide::Output, io))
        m_state->pins.pin(PinSide::Output, io).level = on;
}

bool DriverModel::raiseAlarm(int code, const std::string& text)
{
    if (code < 1 || code > 255 || quoted(text) != text)
        return false;
    std::lock_guard lock(m_state->mu);
    m_state->activeAlarm() = code;
    m_state->history.push_front({code, text});
    if (m_state->history.size() > ModelState::kAlarmHistory)
        m_state->history.pop_back();
    return true;
}

int DriverModel::activeAlarm() const
{
    std::lock_guard lock(m_state->mu);
    return static_cast<int>(m_state->activeAlarm());
}

std::vector<AlarmEntry> DriverModel::alarmHistory() const
{
    std::lock_guard lock(m_state->mu);
    return {m_state->history.begin(), m_state->history.end()};
}

void DriverModel::clearAlarmHistory()
{
    std::lock_guard lock(m_state->mu);
    m_state->history.clear();
}

bool DriverModel::locked() const
{
    std::lock_guard lock(m_state->mu);
    return m_state->locked;
}

void DriverModel::setLocked(bool locked)
{
    std::lock_guard lock(m_state->mu);
    m_state->locked = locked;
}

ScopeSettings DriverModel::scope() const
{
    std::lock_guard lock(m_state->mu);
    return m_state->scope.settings();
}

bool DriverModel::setScope(const ScopeSettings& settings, std::string* error)
{
    std::lock_guard lock(m_state->mu);
    std::string why;
    return m_state->scope.setSettings(settings, why) || fail(error, why);
}

int DriverModel::scopeStatus() const
{
    std::lock_guard lock(m_state->mu);
    return m_state->scope.status(std::chrono::steady_clock::now());
}

void DriverModel::setStatusScript(std::vector<int> statuses, bool holdLast)
{
    std::lock_guard lock(m_state->mu);
    m_state->scope.setStatusScript(std::move(statuses), holdLast);
}

void DriverModel::setCaptureTimeScale(double scale)
{
    std::lock_guard lock(m_state->mu);
    m_state->scope.setTimeScale(scale);
}

bool DriverModel::setSignal(const std::string& source, Signal signal)
{
    std::lock_guard lock(m_state->mu);
    return m_state->scope.setSignal(normalised(source), std::move(signal));
}

void DriverModel::setPageLines(int lines)
{
    std::lock_guard lock(m_state->mu);
    m_state->pageLines = lines < 0 ? 0 : lines;
}

std::string DriverModel::dumpText() const
{
    std::lock_guard lock(m_state->mu);
    std::string out;
    for (const std::string& l : m_state->dump())
        out += l + "\r\n";
    return out;
}

} // namespace drivesim

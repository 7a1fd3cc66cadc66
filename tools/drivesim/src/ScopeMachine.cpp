#include "ScopeMachine.h"

#include "ErrorTexts.h"
#include "ScaledNumber.h"
#include "UnitDefinition.h"

#include <algorithm>

namespace drivesim {

namespace {
constexpr const char* kLetters = "ABCD";

// The channel of a letter 'A'..'D', or -1.
int channelOf(char c) { return c >= 'A' && c <= 'D' ? c - 'A' : -1; }

bool startsWith(const std::string& s, const char* word) { return s.rfind(word, 0) == 0; }

// A number with `decimals` decimals within low..high (scaled), as the error text or "".
std::string bounded(const std::string& text, int decimals, long long low, long long high, long long& out)
{
    if (text.empty())
        return errors::kNotOmissible;
    long long v = 0;
    if (!parseScaled(text, decimals, v) || v < low || v > high)
        return errors::kRangeOver;
    out = v;
    return {};
}
} // namespace

void ScopeMachine::configure(const UnitDefinition& unit)
{
    m_sources.clear();
    for (const std::string& name : unit.scopeSources()) {
        Source s;
        s.name = name;
        if (const ParamDef* p = unit.find(name)) {
            s.decimals = p->decimals();
            s.bounded = p->bounds(s.low, s.high);
        }
        // The first source shows a triangle, the others a ramp over their range.
        if (m_sources.empty()) {
            s.signal = [](int i, int n) {
                return 1000 - (4000LL * std::min(i, n - 1 - i)) / std::max(1, n - 1);
            };
        } else if (s.bounded) {
            s.signal = [low = s.low, high = s.high](int i, int n) {
                return low + ((high - low) * i) / std::max(1, n - 1);
            };
        }
        m_sources.push_back(std::move(s));
    }
    factoryReset();
}

void ScopeMachine::factoryReset()
{
    m_set = Settings{};
    for (int ch = 0; ch < 4; ++ch)
        if (m_set.source[ch] >= static_cast<int>(m_sources.size()))
            m_set.source[ch] = -1;
    powerCycle();
}

void ScopeMachine::powerCycle()
{
    m_status = 0;
    m_triggered = false;
    m_hasData = false;
    m_data.clear();
}

int ScopeMachine::sourceIndex(const std::string& name) const
{
    for (std::size_t i = 0; i < m_sources.size(); ++i)
        if (m_sources[i].name == name)
            return static_cast<int>(i);
    return -1;
}

std::string ScopeMachine::levelText(int channel) const
{
    const int src = m_set.source[channel];
    if (src < 0)
        return {};
    const long long v = m_set.level[channel];
    return v == 0 ? "0" : formatScaled(v, m_sources[src].decimals);
}

bool ScopeMachine::command(const std::string& c, Clock::time_point now, std::vector<std::string>& reply)
{
    static const char* const kWords[] = {"WTA", "WTC", "WTV", "WTH", "WTR", "WTS", "WCD", "WHL", "WHR", "WV", "WL"};
    const bool isQuery = !c.empty() && c[0] == '?';
    const std::string body = isQuery ? c.substr(1) : c;
    if (!std::any_of(std::begin(kWords), std::end(kWords), [&](const char* w) { return startsWith(body, w); }))
        return false;
    if (isQuery) {
        if (startsWith(body, "WTS") && body.size() == 3) {
            // While a capture runs, what the script says is what the program sees; a 3
            // completes the capture.
            int v = 0;
            if ((m_status == 1 || m_status == 2) && !m_script.empty()) {
                v = m_script.front();
                if (!(m_holdLast && m_script.size() == 1))
                    m_script.pop_front();
                if (v == 3)
                    complete();
            } else {
                v = status(now);
            }
            reply = {"WTS" + std::to_string(v)};
            return true;
        }
        const std::string line = query(body);
        reply = {line};
        return true;
    }
    const std::string error = set(body, now, reply);
    if (!error.empty())
        reply = {error};
    return true;
}

std::string ScopeMachine::query(const std::string& q) const
{
    if (startsWith(q, "WTA") || startsWith(q, "WTR") || startsWith(q, "WCD"))
        return errors::kReadHibit;
    auto letter = [&](const char* word) {
        const std::size_t n = std::char_traits<char>::length(word);
        return q.size() == n + 1 ? channelOf(q[n]) : (q.size() == n ? -2 : -1);
    };
    if (startsWith(q, "WV") || startsWith(q, "WL")) {
        const int ch = letter("WV");
        if (ch == -2)
            return errors::kNotOmissible;
        if (ch < 0)
            return errors::kUnknownOption;
        if (startsWith(q, "WL"))
            return "WL" + std::string(1, kLetters[ch]) + levelText(ch);
        const int src = m_set.source[ch];
        return "WV" + std::string(1, kLetters[ch]) + (src < 0 ? std::string("-1") : m_sources[src].name);
    }
    if (q.size() != 3)
        return errors::kUnknownOption;
    if (q == "WTC")
        return "WTC" + std::string(1, kLetters[m_set.trigger]);
    if (q == "WHL")
        return "WHL" + formatScaled(m_set.recordTime, 1);
    if (q == "WHR")
        return "WHR" + std::to_string(m_set.samples);
    if (q == "WTV")
        return "WTV" + std::to_string(m_set.edge);
    return "WTH" + formatScaled(m_set.position, 1);
}

std::string ScopeMachine::set(const std::string& c, Clock::time_point now, std::vector<std::string>& reply)
{
    reply.clear();
    const std::string word = startsWith(c, "WV") || startsWith(c, "WL") ? c.substr(0, 2) : c.substr(0, 3);
    const std::string rest = c.substr(word.size());
    if (word == "WTS")
        return errors::kReadOnly;
    if (word == "WTA" || word == "WCD") {
        if (!rest.empty())
            return errors::kUnknownOption;
        if (word == "WTA") {
            m_status = 0;
            m_triggered = false;
            return {};
        }
        if (status(now) != 3 && !m_hasData)
            return errors::kConditionMismatch;
        reply = m_data;
        return {};
    }
    if (word == "WV" || word == "WL" || word == "WTC") {
        if (rest.empty())
            return errors::kNotOmissible;
        const int ch = channelOf(rest[0]);
        if (ch < 0 || (word == "WTC" && rest.size() > 1))
            return errors::kUnknownOption;
        if (word == "WTC") {
            m_set.trigger = ch;
            return {};
        }
        const std::string value = rest.substr(1);
        if (value.empty())
            return errors::kNotOmissible;
        if (word == "WV") {
            const int src = value == "-1" ? -1 : sourceIndex(value);
            if (src < 0 && value != "-1")
                return errors::kUnknownOption;
            if (src != m_set.source[ch])
                m_set.level[ch] = 0;
            m_set.source[ch] = src;
            reply = {"WL" + std::string(1, kLetters[ch]) + levelText(ch)};
            return {};
        }
        const int src = m_set.source[ch];
        if (src < 0)
            return errors::kConditionMismatch;
        const Source& s = m_sources[src];
        long long v = 0;
        const std::string error = bounded(value, s.decimals, s.bounded ? s.low : -999'999'999LL,
                                          s.bounded ? s.high : 999'999'999LL, v);
        if (error.empty())
            m_set.level[ch] = v;
        return error;
    }
    long long v = 0;
    std::string error;
    if (word == "WHL") {
        error = bounded(rest, 1, 20, 100000, v);
        if (error.empty())
            m_set.recordTime = v;
    } else if (word == "WHR") {
        int n = 0;
        error = rest.empty() ? errors::kNotOmissible : (!parseIndex(rest, n) || n < 2 || n > 4081) ? errors::kRangeOver : "";
        if (error.empty())
            m_set.samples = n;
    } else if (word == "WTH") {
        error = bounded(rest, 1, 0, 1000, v);
        if (error.empty())
            m_set.position = v;
    } else if (word == "WTV" || word == "WTR") {
        error = rest.empty() ? errors::kNotOmissible : (rest != "0" && rest != "1") ? errors::kRangeOver : "";
        if (error.empty() && word == "WTV")
            m_set.edge = rest == "1";
        else if (error.empty())
            error = arm(rest == "1", now);
    }
    return error;
}

std::string ScopeMachine::arm(bool immediate, Clock::time_point now)
{
    const bool anySource = std::any_of(m_set.source.begin(), m_set.source.end(), [](int s) { return s >= 0; });
    const int trigSource = m_set.source[m_set.trigger];
    if (!anySource || (!immediate && trigSource < 0))
        return errors::kConditionMismatch;
    m_snapshot = m_set;
    m_triggered = immediate;
    if (!immediate) {
        // The level must be crossed by the trigger source's signal.
        const int n = m_snapshot.samples;
        long long low = sample(trigSource, 0, n), high = low;
        for (int i = 1; i < n; ++i) {
            const long long v = sample(trigSource, i, n);
            low = std::min(low, v);
            high = std::max(high, v);
        }
        const long long level = m_snapshot.level[m_snapshot.trigger];
        m_triggered = level >= low && level <= high;
    }
    m_status = m_triggered ? 2 : 1;
    const double ms = static_cast<double>(m_snapshot.recordTime) / 10.0 * m_timeScale;
    m_fillEnd = now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(ms));
    return {};
}

int ScopeMachine::status(Clock::time_point now)
{
    if (m_status == 2 && now >= m_fillEnd)
        complete();
    return m_status;
}

long long ScopeMachine::sample(int source, int i, int n) const
{
    const Signal& s = m_sources[source].signal;
    return s ? s(i, n) : 0;
}

void ScopeMachine::complete()
{
    m_status = 3;
    m_hasData = true;
    m_data.clear();
    std::string head;
    for (int ch = 0; ch < 4; ++ch) {
        const int src = m_snapshot.source[ch];
        head += (ch ? "," : "") + (src < 0 ? std::string() : m_sources[src].name);
    }
    m_data.push_back(head);
    const int n = m_snapshot.samples;
    for (int i = 0; i < n; ++i) {
        std::string row;
        for (int ch = 0; ch < 4; ++ch) {
            const int src = m_snapshot.source[ch];
            if (ch)
                row += ',';
            if (src >= 0)
                row += formatScaled(sample(src, i, n), m_sources[src].decimals);
        }
        m_data.push_back(std::move(row));
    }
}

ScopeSettings ScopeMachine::settings() const
{
    ScopeSettings s;
    for (int ch = 0; ch < 4; ++ch) {
        const int src = m_set.source[ch];
        s.sources[ch] = src < 0 ? std::string() : m_sources[src].name;
        s.levels[ch] = levelText(ch);
    }
    s.trigger = kLetters[m_set.trigger];
    s.edge = m_set.edge;
    s.position = formatScaled(m_set.position, 1);
    s.recordTime = formatScaled(m_set.recordTime, 1);
    s.samples = m_set.samples;
    return s;
}

bool ScopeMachine::setSettings(const ScopeSettings& s, std::string& error)
{
    ScopeMachine next = *this;
    std::vector<std::string> commands;
    for (int ch = 0; ch < 4; ++ch) {
        const std::string letter(1, kLetters[ch]);
        commands.push_back("WV" + letter + (s.sources[ch].empty() ? std::string("-1") : s.sources[ch]));
        if (!s.sources[ch].empty())
            commands.push_back("WL" + letter + (s.levels[ch].empty() ? std::string("0") : s.levels[ch]));
    }
    commands.push_back("WTC" + std::string(1, s.trigger));
    commands.push_back("WTV" + std::to_string(s.edge));
    commands.push_back("WTH" + s.position);
    commands.push_back("WHL" + s.recordTime);
    commands.push_back("WHR" + std::to_string(s.samples));
    std::vector<std::string> ignored;
    for (const std::string& c : commands) {
        error = next.set(normalised(c), Clock::now(), ignored);
        if (!error.empty()) {
            error = c + ": " + error;
            return false;
        }
    }
    m_set = next.m_set;
    return true;
}

void ScopeMachine::setStatusScript(std::vector<int> statuses, bool holdLast)
{
    m_script.clear();
    for (const int s : statuses)
        if (s >= 0 && s <= 3)
            m_script.push_back(s);
    m_holdLast = holdLast;
}

bool ScopeMachine::setSignal(const std::string& source, Signal signal)
{
    const int i = sourceIndex(source);
    if (i < 0)
        return false;
    m_sources[static_cast<std::size_t>(i)].signal = std::move(signal);
    return true;
}

} // namespace drivesim

#include "drivesim/Program.h"

namespace drivesim {

namespace {
Step make(Step::Kind kind, std::string text)
{
    Step s;
    s.kind = kind;
    s.text = std::move(text);
    return s;
}
} // namespace

Step Line(std::string text) { return make(Step::Kind::Line, std::move(text)); }
Step Page(std::string text) { return make(Step::Kind::Page, std::move(text)); }

Step Question(std::string text, AnswerHandler onAnswer)
{
    Step s = make(Step::Kind::Question, std::move(text));
    s.onAnswer = std::move(onAnswer);
    return s;
}

Step Error(std::string text) { return make(Step::Kind::Error, std::move(text)); }

Step ErrorMarked(std::string text)
{
    Step s = make(Step::Kind::Error, std::move(text));
    s.mark = true;
    return s;
}

Step ErrorSplit(std::string text, std::chrono::milliseconds gap)
{
    Step s = ErrorMarked(std::move(text));
    s.delay = gap;
    return s;
}

Step Delay(std::chrono::milliseconds ms)
{
    Step s = make(Step::Kind::Delay, {});
    s.delay = ms;
    return s;
}

Step Raw(std::string bytes) { return make(Step::Kind::Raw, std::move(bytes)); }
Step NoPrompt() { return make(Step::Kind::NoPrompt, {}); }

Step SetRate(int baud)
{
    Step s = make(Step::Kind::SetRate, {});
    s.rate = baud;
    return s;
}

Match Match::exact(std::string line)
{
    Match m;
    m.m_kind = Kind::Exact;
    m.m_text = std::move(line);
    return m;
}

Match Match::prefix(std::string start)
{
    Match m;
    m.m_kind = Kind::Prefix;
    m.m_text = std::move(start);
    return m;
}

Match Match::predicate(std::function<bool(const std::string&)> test)
{
    Match m;
    m.m_kind = Kind::Predicate;
    m.m_test = std::move(test);
    return m;
}

bool Match::matches(const std::string& line) const
{
    switch (m_kind) {
    case Kind::Exact: return line == m_text;
    case Kind::Prefix: return line.compare(0, m_text.size(), m_text) == 0;
    case Kind::Predicate: return m_test && m_test(line);
    }
    return false;
}

} // namespace drivesim

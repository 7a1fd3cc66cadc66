// Response programs: what the simulated driver writes after the echo of a command line.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace drivesim {

struct Step;
using Program = std::vector<Step>;

// Called with the answer line a Question received; the program it returns runs before the
// steps that follow the question, so an answer can choose the next branch.
using AnswerHandler = std::function<Program(const std::string& answer)>;

// Builds the response to a matched command line. Handlers may keep state of their own (a
// parameter table, a capture buffer) so command vocabularies are plain scripted commands.
using Responder = std::function<Program(const std::string& line)>;

struct Step {
    enum class Kind { Line, Page, Question, Error, Delay, Raw, NoPrompt, SetRate };
    Kind kind = Kind::Line;
    std::string text;
    std::chrono::milliseconds delay{0};   // Delay; for Error the gap of the split form
    int rate = 0;                         // SetRate
    bool mark = false;                    // Error: "TEXT?" rather than "TEXT"
    AnswerHandler onAnswer;               // Question
};

// "text\r\n" in one write.
Step Line(std::string text);
// "text;" in one write, then waits for a blank (next page) or a backspace (stop).
Step Page(std::string text);
// "text?" in one write, then reads an answer line with echo; BS cancels.
Step Question(std::string text, AnswerHandler onAnswer = {});
// "TEXT\r\n" in one write.
Step Error(std::string text);
// "TEXT?\r\n" in one write.
Step ErrorMarked(std::string text);
// "TEXT?" first, "\r\n" after the gap: the line end arriving late.
Step ErrorSplit(std::string text, std::chrono::milliseconds gap);
// Silence of the given length; a backspace meanwhile cancels the command.
Step Delay(std::chrono::milliseconds ms);
// The bytes as they are, in one write.
Step Raw(std::string bytes);
// No prompt after this program.
Step NoPrompt();
// Switches the simulated line rate from here on.
Step SetRate(int baud);

// Which command lines a scripted command answers.
class Match {
public:
    enum class Kind { Exact, Prefix, Predicate };
    static Match exact(std::string line);
    static Match prefix(std::string start);
    static Match predicate(std::function<bool(const std::string&)> test);

    bool matches(const std::string& line) const;
    Kind kind() const { return m_kind; }
    const std::string& text() const { return m_text; }

private:
    Kind m_kind = Kind::Exact;
    std::string m_text;
    std::function<bool(const std::string&)> m_test;
};

} // namespace drivesim

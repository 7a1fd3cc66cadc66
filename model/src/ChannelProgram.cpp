#include "model/ChannelProgram.h"

#include "model/NumberText.h"
#include "model/StringSplitter.h"
#include "DocumentLines.h"
#include "TextUtil.h"

namespace model {

namespace {

constexpr unsigned kProgramFlags = StringSplitter::kRemoveSpaces | StringSplitter::kCollapseSpaces;

// "CH3", "CH+3", "CH 3": "CH" and a number (blanks and a sign may stand before its first digit),
// the line that a program's text begins with. "CHK5" is a program line.
bool isChannelLine(std::string_view line)
{
    if (!StartsWith(line, "CH"))
        return false;
    std::size_t digit = 2;
    while (digit < line.size() && (line[digit] == ' ' || line[digit] == '\t'))
        ++digit;
    if (digit < line.size() && (line[digit] == '+' || line[digit] == '-'))
        ++digit;
    return digit < line.size() && line[digit] >= '0' && line[digit] <= '9';
}

} // namespace

void CChannelProgram::Clear()
{
    m_lines.clear();
}

void CChannelProgram::AddLine(std::string text, int value)
{
    m_lines.push_back(Line{std::move(text), value});
}

int CChannelProgram::Parse(const char* text)
{
    if (!text) {
        m_lineCount = 0;
        return 1;
    }
    return Parse(std::string_view(text));
}

int CChannelProgram::Parse(std::string_view text)
{
    StringSplitter splitter;
    const int count = splitter.Split(text, '\r', kProgramFlags);
    int i = 0;
    for (; i < count; ++i) {
        const std::string& line = splitter.Token(i);
        // Only the part marker "CC/AL" and a channel line "CH" + number are passed over: a first
        // program line "CCW10" or "CHK5" is a program line like any other.
        if (line.empty() || line == "\n" || StartsWith(line, "CC/AL"))
            continue;
        if (isChannelLine(line)) {
            // The number belongs to this line, whatever came before it.
            m_channel = ParseLeadingInt(std::string_view(line).substr(2));
            continue;
        }
        break;
    }
    for (; i < count; ++i) {
        const std::string& line = splitter.Token(i);
        const auto cut = line.find_first_of("0123456789-+");
        const std::string_view whole(line);
        const std::string_view mnemonic = TrimSpace(whole.substr(0, cut));
        const std::string_view argument = cut == std::string::npos ? std::string_view() : TrimSpace(whole.substr(cut));
        if (mnemonic.empty())
            continue;
        std::string stored(mnemonic);
        stored.push_back('\t');
        stored.append(argument);
        AddLine(std::move(stored), 0);
    }
    m_lineCount = static_cast<int>(m_lines.size());
    m_currentLine = 0;
    return 1;
}

std::string CChannelProgram::DriverLine(std::string_view text)
{
    StringSplitter splitter;
    const int n = splitter.Split(text, '\t', kProgramFlags);
    // Mnemonic and argument only; a third field is the editor's comment.
    return n > 1 ? splitter.Token(0) + splitter.Token(1) : (n == 1 ? splitter.Token(0) : std::string());
}

std::string CChannelProgram::BuildText()
{
    std::string out = "CH" + FormatInt(m_channel) + "\r";
    m_emptyLineFlag = 0;
    for (const auto& line : m_lines) {
        const std::string joined = DriverLine(line.text);
        if (joined.empty()) {
            m_emptyLineFlag = 1;
            continue;
        }
        out += joined;
        out.push_back('\r');
    }
    out.push_back('\r');
    return out;
}

bool ReadsAsChannelHeader(std::string_view line, int* number)
{
    int found = 0;
    if (!detail::NumberAfterPrefix(plat::TrimView(line), "CH", found))
        return false;
    if (number)
        *number = found;
    return true;
}

} // namespace model

#include "screens/oscillo/OscilloPanel.h"

#include "screens/oscillo/OscilloText.h"

#include <platform/text.h>

#include <utility>

namespace talverin {

namespace {

constexpr std::string_view kBlank = "                                                 ";
constexpr std::string_view kBoxSpacer = "|                 | |                           |@";
constexpr std::string_view kWideSpacer = "|                                               |@";

void replaceAll(std::string& line, std::string_view placeholder, std::string_view value)
{
    for (std::size_t at = line.find(placeholder); at != std::string::npos;
         at = line.find(placeholder, at + value.size()))
        line.replace(at, placeholder.size(), value);
}

std::string channelName(int channel)
{
    return "CH" + std::to_string(channel);
}

bool isChannelName(std::string_view text)
{
    return text.size() == 3 && text.substr(0, 2) == "CH" && text[2] >= '1' && text[2] <= '4';
}

std::string slopeCell(const char* name, bool checked)
{
    std::string cell = AlignLeft(name, 5);
    return (checked ? "*" : " ") + cell;
}

} // namespace

const std::array<std::string_view, kPanelLineCount>& PanelTemplate()
{
    static const std::array<std::string_view, kPanelLineCount> lines = {
        "DATE: [YYYY/MM/DD hh:mm:ss]                     ",
        kBlank,
        "+ CURSOR ---------+ + TRIGGER ------------------+",
        kBoxSpacer,
        "|       Horizonal | |              SRC   SLOPE  |",
        kBoxSpacer,
        "| A    [CUS____A] | |[TRG____P]%  [CH_1] [DOWN] |",
        "| B    [CUS____B] | |[TRG____L][U][CH_2] [UP  ] |",
        "| AtoB [CUS___AB] | |[TRG_______U][CH_3] [CONT] |",
        "|       Vertical  | |             [CH_4] [SING] |",
        "| [CA] [CH_____A] | |                    [AUTO] |",
        "| B    [CH_____B] | |                           |",
        "| AtoB [CH____AB] | |                           |",
        kBoxSpacer,
        "+-----------------+ +---------------------------+",
        kBlank,
        "+ VERTICAL -------------------------------------+",
        kWideSpacer,
        "|      [___CH1__][___CH2__][___CH3__][___CH4__] |",
        kWideSpacer,
        "| POS  [POS__CH1][POS__CH2][POS__CH3][POS__CH4] |",
        "| SCALE[SCL__CH1][SCL__CH2][SCL__CH3][SCL__CH4] |",
        "| SRC  [SRC__CH1][SRC__CH2][SRC__CH3][SRC__CH4] |",
        kWideSpacer,
        "+-----------------------------------------------+",
        kBlank,
        "+ HORIZONAL ------------------------------------+",
        kWideSpacer,
        "| TIME(ms)  [HORZ_TIM]                          |",
        "| RES       [HORZ_RES]                          |",
        kWideSpacer,
        "+-----------------------------------------------+",
    };
    return lines;
}

std::string PanelSourceCell(std::string_view source, int channel, bool trigger)
{
    std::string text = plat::Trim(source);
    if (text.empty())
        text = channelName(channel);
    if (trigger)
        return AlignLeft("*" + text, 6);
    if (text.size() > 6)
        return " " + text;
    std::string cell = " " + AlignLeft(text, 6);
    cell.resize(6);
    return cell;
}

PanelLine FillPanelLine(std::string_view templateLine, const PanelValues& v)
{
    PanelLine out;
    std::string line(templateLine);
    replaceAll(line, "[YYYY/MM/DD hh:mm:ss]", v.date);
    for (char& c : line)
        if (c == '-' || c == '+' || c == '|')
            c = ' ';

    replaceAll(line, "[CUS____A]", AlignRight(v.cursorA, 10));
    replaceAll(line, "[CUS____B]", AlignRight(v.cursorB, 10));
    replaceAll(line, "[CUS___AB]", AlignRight(v.cursorAB, 10));
    replaceAll(line, "[CH_____A]", AlignRight(v.readoutA, 10));
    replaceAll(line, "[CH_____B]", AlignRight(v.readoutB, 10));
    replaceAll(line, "[CH____AB]", AlignRight(v.readoutAB, 10));
    replaceAll(line, "[CA]", v.activeChannel >= 1 && v.activeChannel <= 4 ? "A(" + std::to_string(v.activeChannel) + ")"
                                                                           : std::string("A   "));
    replaceAll(line, "[TRG____P]", AlignRight(v.triggerPosition, 10));
    replaceAll(line, "[TRG____L]", AlignRight(v.triggerLevel, 10));

    const std::string unit = plat::Trim(v.unit);
    std::string unitWide(13, ' ');
    std::string unitShort(3, ' ');
    if (unit.size() > 3)
        unitWide = AlignRight(unit, 13);
    else if (!unit.empty())
        unitShort = AlignLeft(unit, 3);
    replaceAll(line, "[TRG_______U]", unitWide);
    replaceAll(line, "[U]", unitShort);

    for (int ch = 1; ch <= 4; ++ch) {
        const std::size_t i = static_cast<std::size_t>(ch - 1);
        const std::string n = std::to_string(ch);
        replaceAll(line, "[CH_" + n + "]", PanelSourceCell(v.sources[i], ch, ch == v.triggerChannel));
        replaceAll(line, "[___CH" + n + "__]", (ch == v.activeChannel ? "   *CH" : "    CH") + n + "   ");
        replaceAll(line, "[POS__CH" + n + "]", AlignRight(v.positions[i], 10));
        replaceAll(line, "[SCL__CH" + n + "]", AlignRight(v.scales[i], 10));
        const std::string source = plat::Trim(v.sources[i]);
        replaceAll(line, "[SRC__CH" + n + "]",
                   source.empty() || isChannelName(source) ? std::string(10, ' ') : AlignCentre(source, 10));
    }

    replaceAll(line, "[DOWN]", slopeCell("DOWN", v.slopeDown == true));
    replaceAll(line, "[UP  ]", slopeCell("UP", v.slopeDown == false));
    replaceAll(line, "[CONT]", slopeCell("CONT", v.mode == CaptureMode::Cont));
    replaceAll(line, "[SING]", slopeCell("SING", v.mode == CaptureMode::Sing));
    replaceAll(line, "[AUTO]", slopeCell("AUTO", v.mode == CaptureMode::Auto));
    replaceAll(line, "[HORZ_TIM]", AlignRight(v.time, 10));
    replaceAll(line, "[HORZ_RES]", AlignRight(v.resolution, 10));

    if (!line.empty() && line.back() == '@') {
        line.pop_back();
        out.spacer = true;
    }
    out.text = std::move(line);
    return out;
}

std::vector<PanelLine> PanelLines(const PanelValues& values)
{
    std::vector<PanelLine> lines;
    lines.reserve(kPanelLineCount);
    for (std::string_view t : PanelTemplate())
        lines.push_back(FillPanelLine(t, values));
    return lines;
}

} // namespace talverin

// A generated unit definition of any size, shared by the benchmarks: letters-only names of one
// length ("QAAAA", "QAAAB", ...); integer, two-decimal, ON/OFF and free-text parameters in turn;
// every one in the tree, in groups of 50; an [Indirect] entry for every tenth. Also the report
// template with one row per parameter (value, initial value, unit, name) that the report bench
// fills.
#pragma once

#include <string>

namespace bench {

// "QAAAA", "QAAAB", ...: letters only, all of one length, so that no name begins another.
inline std::string parameterName(int index)
{
    std::string name = "Q";
    for (int i = 0; i < 4; ++i) {
        name.insert(name.begin() + 1, static_cast<char>('A' + index % 26));
        index /= 26;
    }
    return name;
}

inline std::string definitionLine(int index)
{
    const std::string name = parameterName(index);
    switch (index % 4) {
    case 0:
        return "WRT," + name + ",0,rpm,100,0,Integer,0-3000,,10,100,0";
    case 1:
        return "WRT," + name + ",0,,1.00,2,Decimal,0.01-99.99,,0.01,1.00,0";
    case 2:
        return "WRT," + name + ",0,,OFF,0,Switch,ON/OFF,,,OFF,0";
    default:
        return "WRT," + name + ",0,,AUTO,0,Text,*,,,AUTO,0";
    }
}

inline std::string unitText(int count)
{
    std::string out = "[Parameter]\n";
    for (int i = 0; i < count; ++i)
        out += definitionLine(i) + "\n";
    out += "\n[ParameterTree]\n";
    for (int i = 0; i < count; ++i) {
        if (i % 50 == 0)
            out += (i ? "}\n" : "") + std::string("*,,,,,,Group ") + std::to_string(i / 50) + "\n{\n";
        out += "WR," + parameterName(i) + ",,,,,Label\n";
    }
    out += "}\n\n[Indirect]\n";
    for (int i = 0; i + 2 < count; i += 10)
        out += parameterName(i) + "=" + parameterName(i + 1) + "," + parameterName(i + 2) + "\n";
    out += "\n[CN2]\nPI3/FN1/AB0/NW2\nPO0/FN2/GC0/ST0\n\n[DataFile]\nHeader=MM0\nFooter=\nMI=GEN1.00\n";
    return out;
}

// A parameter report template: the date, one table row per parameter, and a token no parameter
// has.
inline std::string reportTemplate(int count)
{
    std::string text = "<html><body><p>##YEAR##/##MONTH##/##DAY##</p><table>\n";
    for (int i = 0; i < count; ++i) {
        const std::string name = parameterName(i);
        text += "<tr><td>##" + name + "-NAME##</td><td>##" + name + "##</td><td>##" + name + "-INIT##</td><td>##"
                + name + "-UNIT##</td></tr>\n";
    }
    text += "</table><p>##ZZ##</p></body></html>\n";
    return text;
}

} // namespace bench

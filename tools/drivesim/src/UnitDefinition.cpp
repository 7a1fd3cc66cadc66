#include "UnitDefinition.h"

#include "ScaledNumber.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace drivesim {

namespace {
std::string trimmed(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// "MM0,KP1" -> two lines; an empty value -> none.
std::vector<std::string> lines(const std::string& value)
{
    std::vector<std::string> out;
    for (const std::string& item : split(value, ','))
        if (!trimmed(item).empty())
            out.push_back(normalised(item));
    return out;
}
} // namespace

bool UnitDefinition::readFile(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = path + ": cannot be read";
        return false;
    }
    if (!readText(text, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool UnitDefinition::readText(const std::string& text, std::string& error)
{
    UnitDefinition next;
    std::string section;
    bool sawParameters = false;
    int number = 0;
    for (const std::string& raw : split(text, '\n')) {
        ++number;
        const std::string line = trimmed(raw);
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            if (line.back() != ']')
                return fail("a section name needs its ']'");
            section = normalised(line.substr(1, line.size() - 2));
            sawParameters = sawParameters || section == "PARAMETER";
            continue;
        }
        if (section == "PARAMETER") {
            ParamDef def;
            std::string why;
            if (!def.define(split(line, ','), why))
                return fail(why);
            if (next.find(def.name()))
                return fail("the parameter " + def.name() + " is defined twice");
            next.m_parameters.push_back(std::move(def));
        } else if (section == "DATAFILE") {
            const auto eq = line.find('=');
            const std::string key = normalised(line.substr(0, eq));
            const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
            if (key != "HEADER" && key != "FOOTER")
                continue;
            // The driver writes these as reply lines: none may look like a prompt or a marker.
            std::vector<std::string> given = lines(value);
            for (const std::string& l : given)
                if (quoted(l) != l)
                    return fail("the " + key + " line \"" + l + "\" cannot be a reply line");
            (key == "HEADER" ? next.m_header : next.m_footer) = std::move(given);
        } else if (section == "CN2") {
            next.m_pins.push_back(normalised(line));
        } else if (section == "WV") {
            const std::string name = normalised(line);
            if (name == "-1" || name.find(',') != std::string::npos || quoted(name) != name)
                return fail("\"" + line + "\" cannot name an oscilloscope source");
            next.m_sources.push_back(name);
        }
    }
    if (!sawParameters || next.m_parameters.empty()) {
        error = "no [Parameter] section with parameters";
        return false;
    }
    *this = std::move(next);
    return true;
}

const ParamDef* UnitDefinition::find(const std::string& name) const
{
    for (const ParamDef& p : m_parameters)
        if (p.name() == name)
            return &p;
    return nullptr;
}

const ParamDef* UnitDefinition::longestPrefix(const std::string& command) const
{
    const ParamDef* best = nullptr;
    for (const ParamDef& p : m_parameters)
        if (command.compare(0, p.name().size(), p.name()) == 0 &&
            (!best || p.name().size() > best->name().size()))
            best = &p;
    return best;
}

} // namespace drivesim

// The unit definition file as the simulated driver reads it, with a reader of its own (the
// simulator must not share the parser it helps to test): [Parameter] (letters, name, unit,
// default, decimals, range), [DataFile] Header and Footer, the factory pins of [CN2] and the
// oscilloscope sources of [WV]. Everything else in the file is the program's business.
#pragma once

#include <string>
#include <vector>

#include "ParamDef.h"

namespace drivesim {

class UnitDefinition {
public:
    // False with "line N: reason" (or the file's error) when the text cannot be used; the
    // definition is left as it was then.
    bool readFile(const std::string& path, std::string& error);
    bool readText(const std::string& text, std::string& error);

    const std::vector<ParamDef>& parameters() const { return m_parameters; }
    // The parameter of that (upper-case) name, or null.
    const ParamDef* find(const std::string& name) const;
    // The parameter whose name is the longest prefix of `command`, or null.
    const ParamDef* longestPrefix(const std::string& command) const;
    const std::vector<std::string>& header() const { return m_header; }
    const std::vector<std::string>& footer() const { return m_footer; }
    // "[CN2]" lines, "PI0/FN1/AB0/NW0"; checked by the pin bank that takes them.
    const std::vector<std::string>& factoryPins() const { return m_pins; }
    const std::vector<std::string>& scopeSources() const { return m_sources; }
    bool empty() const { return m_parameters.empty(); }

private:
    std::vector<ParamDef> m_parameters;
    std::vector<std::string> m_header{"MM0"};
    std::vector<std::string> m_footer;
    std::vector<std::string> m_pins;
    std::vector<std::string> m_sources;
};

} // namespace drivesim

// The parameter records of one load looked up by command name without regard to case, built once
// per load: reading a document, a reply or a parameter tree then costs a few look-ups per line
// instead of a walk over every record.
#pragma once

#include "model/DataFile.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace model {

class ParameterIndex {
public:
    struct Entry {
        CZRParamData* record = nullptr;
        // The range's items that are no numbers ("ON", "OFF", "*"); empty for a numeric range.
        std::vector<std::string> textItems;
        bool freeText = false; // range "*": any text
    };

    // Every record of the list, in list order. Without `readTextItems` the entries carry no items
    // (for look-ups by name only).
    explicit ParameterIndex(const CDataFile::ParamDataList& list, bool readTextItems = true);

    // A record appended to the list after the index was built.
    void Add(CZRParamData& record);

    // The records of that name (compared without case) in list order, or null.
    const std::vector<Entry>* Find(std::string_view name) const;

    // ParseReplyLine on the indexed records: the same record, name and value.
    CZRParamData* ParseLine(std::string_view line, std::string& name, std::string& value) const;

    // The record a load gives a line, after ParseLine gave `record`, `name` and `value`: the
    // free-text ("*") record with the longest name (at least two characters) that begins the
    // trimmed line takes it when ParseLine found no record or only a free-text one with a shorter
    // name, whatever is left for the value: "MODEA", "MODEAB12" and "MODE" are MODE's, also beside
    // a parameter MO. Name and value are then that record's name and the rest of the line.
    CZRParamData* PreferFreeText(std::string_view line, CZRParamData* record, std::string& name,
                                 std::string& value) const;

private:
    struct NoCaseHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const;
    };
    struct NoCaseEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };

    static void addLength(std::vector<std::size_t>& lengths, std::size_t length);

    bool m_readTextItems;
    std::unordered_map<std::string, std::vector<Entry>, NoCaseHash, NoCaseEqual> m_byName;
    std::vector<std::size_t> m_textNameLengths;     // ascending, of records with text items
    std::vector<std::size_t> m_freeTextNameLengths; // ascending, of "*" records
};

// The range's items that are no numbers ("ON", "OFF", "*"), or none.
std::vector<std::string> RangeTextItems(const std::string& range);

} // namespace model

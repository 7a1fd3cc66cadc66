// One parameter line of a document or a driver reply: which record it belongs to, and its name
// and value.
#include "model/DataFile.h"
#include "model/DocumentFile.h"

#include "model/NumberText.h"
#include "model/StringSplitter.h"

#include <platform/text.h>

namespace model {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The range's items that are no numbers ("ON", "OFF", "*"), or none.
std::vector<std::string> textItems(const std::string& range)
{
    StringSplitter splitter;
    if (!(splitter.ClassifyItems(range) & StringSplitter::kItemsText))
        return {};
    std::string items;
    splitter.FilterItems(range, 2, items);
    StringSplitter parts;
    parts.Split(items, '/', StringSplitter::kAll);
    return parts.Tokens();
}

} // namespace

CZRParamData* ParseReplyLine(CDataFile& store, std::string_view line, std::string& name, std::string& value)
{
    const std::string_view text = plat::TrimView(CutAtNul(line));
    name.clear();
    value.clear();
    if (text.empty())
        return nullptr;

    std::size_t cut = 0;
    while (cut < text.size() && !isDigit(text[cut]) && text[cut] != '-')
        ++cut;
    name = std::string(text.substr(0, cut));
    value = std::string(text.substr(cut));

    SharedLock lock(store.GetDataMutex());
    CDataFile::ParamDataList* list = store.GetParameterList();
    if (!list)
        return nullptr;

    // A text value written straight after the command name ("SWON"): try every record whose name
    // is a prefix of the line, leaving at least two characters for the value. A match at a longer
    // prefix wins; among records of one prefix length the first in list order. Records whose range
    // is "*" take any text and only count when no item matches.
    if (value.empty() && text.size() > 3) {
        CZRParamData* match = nullptr;
        std::size_t matchLength = 0;
        std::string matchItem;
        CZRParamData* fallback = nullptr;
        std::size_t fallbackLength = 0;
        for (const auto& record : *list) {
            const std::size_t m = record->m_name.size();
            if (m < 2 || m > text.size() - 2 || !plat::StartsWithNoCase(text, record->m_name))
                continue;
            const auto items = textItems(record->m_range);
            if (items.empty())
                continue;
            if (record->m_range == "*") {
                if (!fallback || m < fallbackLength) {
                    fallback = record.get();
                    fallbackLength = m;
                }
                continue;
            }
            if (match && m <= matchLength)
                continue;
            for (const auto& item : items) {
                if (plat::EqualsNoCase(record->m_name + item, text)) {
                    match = record.get();
                    matchLength = m;
                    matchItem = item;
                    break;
                }
            }
        }
        if (match) {
            name = match->m_name + matchItem;
            value = std::string(text.substr(matchLength));
            return match;
        }
        if (fallback) {
            name = fallback->m_name;
            value = std::string(text.substr(fallback->m_name.size()));
            return fallback;
        }
    }

    for (const auto& record : *list) {
        if (plat::EqualsNoCase(record->m_name, name))
            return record.get();
    }
    return nullptr;
}

} // namespace model

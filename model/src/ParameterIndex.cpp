#include "ParameterIndex.h"

#include "model/StringSplitter.h"

#include <platform/text.h>

#include <algorithm>

namespace model {

std::vector<std::string> RangeTextItems(const std::string& range)
{
    // Most ranges are numbers ("0-3000", "(-10)-10", "0/1"): no item of them can be text.
    const bool numbersOnly = std::all_of(range.begin(), range.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '(' || c == ')' || c == '+' || c == '-' || c == '.' || c == '/';
    });
    if (numbersOnly)
        return {};
    StringSplitter splitter;
    if (!(splitter.ClassifyItems(range) & StringSplitter::kItemsText))
        return {};
    std::string items;
    splitter.FilterItems(range, 2, items);
    StringSplitter parts;
    parts.Split(items, '/', StringSplitter::kAll);
    return parts.Tokens();
}

std::size_t ParameterIndex::NoCaseHash::operator()(std::string_view text) const
{
    std::size_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(plat::ToLowerAscii(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

bool ParameterIndex::NoCaseEqual::operator()(std::string_view a, std::string_view b) const
{
    return plat::EqualsNoCase(a, b);
}

ParameterIndex::ParameterIndex(const CDataFile::ParamDataList& list, bool readTextItems)
    : m_readTextItems(readTextItems)
{
    m_byName.reserve(list.size());
    for (const auto& record : list)
        Add(*record);
}

void ParameterIndex::addLength(std::vector<std::size_t>& lengths, std::size_t length)
{
    const auto at = std::lower_bound(lengths.begin(), lengths.end(), length);
    if (at == lengths.end() || *at != length)
        lengths.insert(at, length);
}

void ParameterIndex::Add(CZRParamData& record)
{
    Entry entry;
    entry.record = &record;
    if (m_readTextItems) {
        entry.textItems = RangeTextItems(record.m_range);
        entry.freeText = record.m_range == "*";
        if (!entry.textItems.empty())
            addLength(m_textNameLengths, record.m_name.size());
        if (!entry.textItems.empty() && entry.freeText)
            addLength(m_freeTextNameLengths, record.m_name.size());
    }
    auto found = m_byName.find(std::string_view(record.m_name));
    if (found == m_byName.end())
        found = m_byName.emplace(record.m_name, std::vector<Entry>()).first;
    found->second.push_back(std::move(entry));
}

const std::vector<ParameterIndex::Entry>* ParameterIndex::Find(std::string_view name) const
{
    const auto found = m_byName.find(name);
    return found == m_byName.end() ? nullptr : &found->second;
}

} // namespace model

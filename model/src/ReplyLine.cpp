// One parameter line of a document or a driver reply: which record it belongs to, and its name
// and value.
#include "model/DataFile.h"
#include "model/DocumentFile.h"

#include "model/NumberText.h"
#include "ParameterIndex.h"

#include <platform/text.h>

namespace model {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The line trimmed and cut at a NUL byte.
std::string_view lineText(std::string_view line)
{
    return plat::TrimView(CutAtNul(line));
}

// The records a single call looks at: the whole list, in list order.
class ListCandidates {
public:
    explicit ListCandidates(const CDataFile::ParamDataList& list) : m_list(list) {}

    // Calls fn(record, textItems, freeText) for every record with text items whose name (at least
    // two characters) begins `text` and leaves at least two characters after it.
    template <typename Fn>
    void forEachPrefix(std::string_view text, Fn fn) const
    {
        for (const auto& record : m_list) {
            const std::size_t m = record->m_name.size();
            if (m < 2 || m > text.size() - 2 || !plat::StartsWithNoCase(text, record->m_name))
                continue;
            const auto items = RangeTextItems(record->m_range);
            if (!items.empty())
                fn(record.get(), items, record->m_range == "*");
        }
    }

    CZRParamData* exact(std::string_view name) const
    {
        for (const auto& record : m_list) {
            if (plat::EqualsNoCase(record->m_name, name))
                return record.get();
        }
        return nullptr;
    }

private:
    const CDataFile::ParamDataList& m_list;
};

// The records a load looks at: only those whose name can begin the line, by name length.
class IndexCandidates {
public:
    IndexCandidates(const ParameterIndex& index, const std::vector<std::size_t>& textLengths)
        : m_index(index), m_textLengths(textLengths)
    {
    }

    template <typename Fn>
    void forEachPrefix(std::string_view text, Fn fn) const
    {
        for (const std::size_t m : m_textLengths) {
            if (m < 2)
                continue;
            if (m > text.size() - 2)
                break;
            const auto* entries = m_index.Find(text.substr(0, m));
            if (!entries)
                continue;
            for (const auto& entry : *entries) {
                if (!entry.textItems.empty())
                    fn(entry.record, entry.textItems, entry.freeText);
            }
        }
    }

    CZRParamData* exact(std::string_view name) const
    {
        const auto* entries = m_index.Find(name);
        return entries ? entries->front().record : nullptr;
    }

private:
    const ParameterIndex& m_index;
    const std::vector<std::size_t>& m_textLengths;
};

template <typename Candidates>
CZRParamData* parseLine(const Candidates& candidates, std::string_view line, std::string& name, std::string& value)
{
    const std::string_view text = lineText(line);
    name.clear();
    value.clear();
    if (text.empty())
        return nullptr;

    std::size_t cut = 0;
    while (cut < text.size() && !isDigit(text[cut]) && text[cut] != '-')
        ++cut;
    name = std::string(text.substr(0, cut));
    value = std::string(text.substr(cut));

    // A text value written straight after the command name ("SWON"): try every record whose name
    // is a prefix of the line, leaving at least two characters for the value. A match at a longer
    // prefix wins; among records of one prefix length the first in list order. Records whose range
    // is "*" take any text and only count when no item matches; of those the longest name wins,
    // so that "MODEAUTO" goes to MODE and not to a parameter MO.
    if (value.empty() && text.size() > 3) {
        CZRParamData* match = nullptr;
        std::size_t matchLength = 0;
        std::string matchItem;
        CZRParamData* fallback = nullptr;
        std::size_t fallbackLength = 0;
        candidates.forEachPrefix(text, [&](CZRParamData* record, const std::vector<std::string>& items, bool freeText) {
            const std::size_t m = record->m_name.size();
            if (freeText) {
                if (!fallback || m > fallbackLength) {
                    fallback = record;
                    fallbackLength = m;
                }
                return;
            }
            if (match && m <= matchLength)
                return;
            for (const auto& item : items) {
                if (m + item.size() == text.size() && plat::EqualsNoCase(item, text.substr(m))) {
                    match = record;
                    matchLength = m;
                    matchItem = item;
                    break;
                }
            }
        });
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
    return candidates.exact(name);
}

} // namespace

CZRParamData* ParseReplyLine(CDataFile& store, std::string_view line, std::string& name, std::string& value)
{
    SharedLock lock(store.GetDataMutex());
    // Without lists (a closed store) name and value are still those the line gives.
    static const CDataFile::ParamDataList kNoRecords;
    const CDataFile::ParamDataList* list = store.GetParameterList();
    return parseLine(ListCandidates(list ? *list : kNoRecords), line, name, value);
}

struct ReplyLineParser::Index {
    explicit Index(CDataFile& store) : lock(store.GetDataMutex()), index(listOf(store)) {}
    static const CDataFile::ParamDataList& listOf(CDataFile& store)
    {
        static const CDataFile::ParamDataList kNoRecords;
        return store.GetParameterList() ? *store.GetParameterList() : kNoRecords;
    }
    SharedLock lock;
    ParameterIndex index;
};

ReplyLineParser::ReplyLineParser(CDataFile& store) : m_index(std::make_unique<Index>(store)) {}

ReplyLineParser::~ReplyLineParser() = default;

CZRParamData* ReplyLineParser::Parse(std::string_view line, std::string& name, std::string& value) const
{
    return m_index->index.ParseLine(line, name, value);
}

CZRParamData* ParameterIndex::ParseLine(std::string_view line, std::string& name, std::string& value) const
{
    return parseLine(IndexCandidates(*this, m_textNameLengths), line, name, value);
}

CZRParamData* ParameterIndex::PreferFreeText(std::string_view line, CZRParamData* record, std::string& name,
                                             std::string& value) const
{
    if (record && record->m_range != "*")
        return record;
    const std::size_t found = record ? record->m_name.size() : 0;
    const std::string_view text = lineText(line);
    for (auto m = m_freeTextNameLengths.rbegin(); m != m_freeTextNameLengths.rend() && *m > found; ++m) {
        if (*m < 2 || *m > text.size())
            continue;
        const auto* entries = Find(text.substr(0, *m));
        if (!entries)
            continue;
        for (const auto& entry : *entries) {
            if (entry.freeText) {
                name = entry.record->m_name;
                value = std::string(text.substr(*m));
                return entry.record;
            }
        }
    }
    return record;
}

} // namespace model

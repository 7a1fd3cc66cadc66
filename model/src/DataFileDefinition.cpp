// The unit definition file: one driver model's parameters, parameter tree, dependents, CN2 pin
// assignment, disabled pin fields and document header and footer.
#include "model/DataFile.h"

#include "model/IniSection.h"
#include "model/NumberText.h"
#include "model/StringSplitter.h"

#include "DocumentLines.h"
#include "ParameterIndex.h"
#include "TextUtil.h"

#include <platform/errors.h>
#include <platform/profile.h>
#include <platform/text.h>

#include <algorithm>
#include <unordered_map>
#include <cerrno>
#include <sys/stat.h>

namespace model {

namespace {

constexpr unsigned kLettersWithoutTL = ~static_cast<unsigned>(kAttrTransfer | kAttrL);
constexpr int kInputCount = 17;
constexpr int kOutputCount = 8;
constexpr std::size_t kProfileValueLength = 1023; // what GetProfileString's buffer holds

// Calls fn for every line of a text whose lines end with CR (LF is accepted too), trimmed.
template <typename Fn>
void forEachLine(std::string_view text, Fn fn)
{
    text = CutAtNul(text);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = FindLineEnd(text, start);
        const std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        fn(plat::TrimView(line));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
}

// The comma-separated items of a list value, each trimmed; empty items are left out. Authors write
// "MODE, SW" as readily as "MODE,SW".
std::vector<std::string> listItems(std::string_view value)
{
    StringSplitter splitter;
    splitter.Split(value, ',', StringSplitter::kAll);
    std::vector<std::string> items;
    for (const auto& token : splitter.Tokens()) {
        std::string item = plat::Trim(token);
        if (!item.empty())
            items.push_back(std::move(item));
    }
    return items;
}

// A profile value as the key lookup gives it: one pair of enclosing quotes removed.
std::string unquoted(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return plat::Trim(std::string_view(value).substr(1, value.size() - 2));
    return value;
}

// The value of a key among a section's entries as GetProfileString reads it: the first entry of
// that key, one pair of enclosing quotes removed, cut to 1023 characters, trimmed; the default
// when the key is missing.
std::string profileValue(const std::vector<plat::profile::Entry>& entries, std::string_view key,
                         std::string_view defaultValue)
{
    for (const auto& entry : entries) {
        if (!plat::EqualsNoCase(entry.key, key))
            continue;
        std::string_view value = entry.value;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return plat::Trim(value.substr(0, kProfileValueLength));
    }
    return plat::Trim(defaultValue.substr(0, kProfileValueLength));
}

std::string commasToLineFeeds(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '\n');
    return text;
}

// The letters of a definition line without 'T' and 'L'.
std::string lettersWithoutTL(std::string_view letters)
{
    std::string out;
    for (const char c : letters) {
        if (c != 'T' && c != 'L')
            out.push_back(c);
    }
    return out;
}

// A pin block being read by ParseIOData.
struct PinBlock {
    bool started = false;
    bool input = false;
    int io = 0;
    int fields = 0;
    std::string function;
    std::string logic;
    std::string value;
};

} // namespace

int CDataFile::LoadDefinition(std::string_view path)
{
    if (!path.empty())
        m_unitFilePath = std::string(path);
    const std::string file = m_unitFilePath;

    struct stat info {};
    if (file.empty() || ::stat(file.c_str(), &info) != 0) {
        plat::SetLastErrorFromErrno(file.empty() ? ENOENT : errno);
        return 0;
    }
    // Stamped before it is read: a change meanwhile makes the next document load read it again.
    FileStamp stamp;
    readFileStamp(file, stamp);
    std::string bytes;
    if (!plat::ReadFileBytes(file, bytes))
        return 0;

    const IniText text(bytes); // decoded and split once for every section
    auto section = [&text](const char* marker, IniSection& out) {
        IniSectionRequest request;
        request.startMarker = marker;
        return text.Read(request, out);
    };
    // Read and not used: its meaning belongs to the driver's tools, not to this program.
    IniSection unused;
    section("[TX0DataChange]", unused);

    // Checked before anything is cleared: a file without parameters leaves the lists as they were.
    IniSection parameters;
    if (!section("[Parameter]", parameters)) {
        plat::SetLastError(plat::ERROR_INVALID_DATA);
        return 0;
    }

    {
        SharedLock lock(m_dataMutex.get());
        ClearParameterLists();
        ensureArrays();
        ParseParameterDefinitions(parameters.text);

        IniSection tree;
        section("[ParameterTree]", tree);
        ParseParameterTree(tree.text);

        IniSection indirect;
        section("[Indirect]", indirect);
        ParseIndirect(indirect.text);

        IniSection pins;
        section("[CN2]", pins);
        ClearIOData();
        if (!pins.text.empty()) {
            std::replace(pins.text.begin(), pins.text.end(), '/', '\r');
            ParseIOData(pins.text);
        }
        m_pinDisableCache = {file, stamp, plat::profile::sectionEntriesOfLines(text.Lines(), "CN2-Disable")};
        m_pinDefaultTexts.assign(kPinCount, ",,,");
        for (std::size_t slot = 0; slot < m_pinArray->size() && slot < kPinCount; ++slot) {
            if (const auto& record = (*m_pinArray)[slot])
                m_pinDefaultTexts[slot] = record->m_definitionText;
        }
        ApplyPinDisableMasks();
    }

    // The oscilloscope's sources: one parameter name per line.
    IniSection sources;
    section("[WV]", sources);
    m_waveSources.clear();
    for (const std::string_view line : detail::TrimmedLines(sources.text)) {
        if (!line.empty())
            m_waveSources.emplace_back(line);
    }

    const std::vector<plat::profile::Entry> dataFile = plat::profile::sectionEntriesOfLines(text.Lines(), "DataFile");
    m_definitionHeader = commasToLineFeeds(profileValue(dataFile, "Header", "MM0"));
    m_definitionFooter = commasToLineFeeds(profileValue(dataFile, "Footer", ""));
    m_definitionModelInfo = profileValue(dataFile, "MI", "");
    m_documentModelInfo = m_definitionModelInfo;
    m_specialParameters = listItems(GetProfileString("DOWNLOAD", "Special", "", m_settingsPath));

    if (m_mapping.valid())
        PublishSharedBlock();
    plat::SetLastError(plat::ERROR_SUCCESS);
    return 1;
}

int CDataFile::ParseParameterDefinitions(std::string_view text)
{
    SharedLock lock(m_dataMutex.get());
    ensureArrays();
    ParamDataList& list = *m_parameterList;
    forEachLine(text, [&list](std::string_view line) {
        if (line.empty())
            return;
        auto record = std::make_unique<CZRParamData>();
        record->ParseDefinitionLine(line);
        list.push_back(std::move(record));
    });
    const bool numbered = std::any_of(list.begin(), list.end(), [](const auto& r) { return r->m_sequence != 0; });
    if (!numbered) {
        int sequence = 1;
        for (const auto& record : list)
            record->m_sequence = sequence++;
    }
    return 1;
}

int CDataFile::ParseParameterTree(std::string_view text)
{
    SharedLock lock(m_dataMutex.get());
    ensureArrays();
    CZRParamClass* parent = nullptr;
    CZRParamClass* last = nullptr;
    const ParameterIndex index(*m_parameterList, false);
    forEachLine(text, [&](std::string_view line) {
        if (line.size() == 1) {
            if (line[0] == '{')
                parent = last;
            else if (line[0] == '}' && parent)
                parent = parent->m_parent;
            return;
        }
        if (line.empty())
            return;
        std::string lineLetters;
        std::string name;
        std::string label;
        CZRParamData::ReadKeyFields(line, lineLetters, name, label);
        if (lineLetters.empty())
            return;
        auto node = std::make_unique<CZRParamClass>();
        if (name.empty()) {
            if (label.empty())
                return;
            node->SetFromText(line); // a group
        } else {
            const std::string letters = lettersWithoutTL(lineLetters);
            const unsigned wanted = GetAttributeBits(letters);
            CZRParamData* match = nullptr;
            static const std::vector<ParameterIndex::Entry> kNone;
            const auto* named = index.Find(name);
            for (const auto& entry : named ? *named : kNone) {
                CZRParamData* record = entry.record;
                if (letters.empty()) {
                    match = record; // the last of that name
                } else if ((GetAttributeBits(record->m_attributes) & kLettersWithoutTL) == wanted) {
                    match = record;
                    break;
                }
            }
            if (match) {
                node->SetRecord(match, true);
                node->m_attributes = lineLetters;
                node->m_label = label;
            } else {
                node->SetFromText(line); // a parameter only the tree knows
            }
        }
        node->m_parent = parent;
        last = node.get();
        m_treeList->push_back(std::move(node));
    });
    return 1;
}

int CDataFile::ParseIndirect(std::string_view text)
{
    SharedLock lock(m_dataMutex.get());
    if (!m_parameterList || CutAtNul(text).find('=') == std::string_view::npos)
        return 1;
    // The records and tree items by exact name, as FindParameter and FindTreeItem choose them: the
    // first record of a name; the first plain node, else the last I/O node.
    std::unordered_map<std::string_view, CZRParamData*> records;
    for (const auto& record : *m_parameterList)
        records.emplace(record->m_name, record.get());
    struct TreeChoice {
        CZRParamClass* plain = nullptr;
        CZRParamClass* io = nullptr;
    };
    std::unordered_map<std::string_view, TreeChoice> treeItems;
    if (m_treeList) {
        for (const auto& node : *m_treeList) {
            if (!node->m_record)
                continue;
            TreeChoice& choice = treeItems[node->m_record->m_name];
            if (!node->IsIoItem())
                choice.plain = choice.plain ? choice.plain : node.get();
            else
                choice.io = node.get();
        }
    }
    auto findTreeItem = [&treeItems](std::string_view name) -> CZRParamClass* {
        const auto found = treeItems.find(name);
        if (found == treeItems.end())
            return nullptr;
        return found->second.plain ? found->second.plain : found->second.io;
    };

    forEachLine(text, [&](std::string_view line) {
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return;
        const std::string_view name = plat::TrimView(line.substr(0, equals));
        const std::string_view value = plat::TrimView(line.substr(equals + 1));
        if (name.empty() || value.empty())
            return;
        const auto found = records.find(name);
        if (found == records.end())
            return;
        CZRParamData* record = found->second;
        record->m_dependents.reset();
        record->m_allDependents = 0;
        if (value == "*") {
            record->m_allDependents = 1;
            return;
        }
        for (const auto& item : listItems(value)) {
            CZRParamClass* node = findTreeItem(item);
            if (!node)
                continue;
            if (!record->m_dependents)
                record->m_dependents = std::make_unique<std::vector<CZRParamClass*>>();
            record->m_dependents->push_back(node);
        }
    });
    return 1;
}

int CDataFile::ParseIOData(std::string_view text)
{
    SharedLock lock(m_dataMutex.get());
    ensureArrays();
    PinArray& pins = *m_pinArray;
    PinBlock block;

    auto store = [&pins, &block] {
        const int pin = CN2PinRecord::BitIndexToPin(block.input ? 1 : 0, block.io);
        if (pin >= 1 && pin <= kPinCount) {
            auto& slot = pins[static_cast<std::size_t>(pin - 1)];
            if (slot)
                slot->Reset();
            else
                slot = std::make_unique<CN2PinRecord>();
            slot->m_function = block.function;
            slot->m_logic = block.logic;
            slot->m_value = block.value;
            slot->m_readValue = block.value;
            if (slot->m_definitionText.empty())
                slot->m_definitionText = block.logic + "," + block.function + "," + block.value;
            slot->m_pin = pin;
            slot->m_io = block.io;
            slot->m_status = 0;
            slot->m_reserved2 = 0;
        }
        block = PinBlock();
    };
    auto storeWhenComplete = [&] {
        if (block.started && block.fields >= 3)
            store();
    };

    forEachLine(text, [&](std::string_view line) {
        storeWhenComplete();
        if (line.empty())
            return;
        const auto digitAt = [&line](std::size_t i) { return i < line.size() && line[i] >= '0' && line[i] <= '9'; };
        if (line[0] == 'P') {
            // "PI/CL" and "PO/CL" open the pin parts of a document; they are no pin.
            if (!digitAt(2))
                return;
            block = PinBlock();
            block.started = true;
            block.input = line[1] == 'I';
            block.io = ParseLeadingInt(line.substr(2));
            return;
        }
        const std::string_view head = line.substr(0, 2);
        const std::string_view rest = line.size() > 2 ? line.substr(2) : std::string_view();
        if (head == "FN") {
            block.function = plat::Trim(rest);
        } else if (head == "AB" && !rest.empty()) {
            block.logic = rest[0] == '0' ? "A" : "B";
        } else if (head == "GC" && !rest.empty()) {
            block.logic = rest[0] == '0' ? "P" : "N";
        } else if (head == "NW" || head == "ST") {
            block.value = plat::Trim(rest);
        } else {
            return;
        }
        ++block.fields;
    });
    storeWhenComplete();
    return 1;
}

bool CDataFile::readFileStamp(const std::string& path, FileStamp& stamp)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return false;
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changed = static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return true;
}

const std::vector<plat::profile::Entry>& CDataFile::pinDisableEntries()
{
    FileStamp stamp;
    const bool present = readFileStamp(m_unitFilePath, stamp);
    PinDisableCache& cache = m_pinDisableCache;
    if (!present || cache.path != m_unitFilePath || !(cache.stamp == stamp)) {
        cache.entries = plat::profile::sectionEntries(m_unitFilePath, "CN2-Disable");
        cache.path = present ? m_unitFilePath : std::string();
        cache.stamp = stamp;
    }
    return cache.entries;
}

int CDataFile::ApplyPinDisableMasks()
{
    SharedLock lock(m_dataMutex.get());
    if (!m_pinArray)
        return 1;
    // Every document load applies the masks again: the section is read again only when the unit
    // file changed since.
    const std::vector<plat::profile::Entry>& entries = pinDisableEntries();
    auto valueOf = [&entries](const std::string& key) {
        for (const auto& entry : entries) {
            if (plat::EqualsNoCase(entry.key, key))
                return unquoted(entry.value);
        }
        return std::string();
    };
    auto apply = [&](bool input, int io) {
        const std::string value = valueOf((input ? "PI" : "PO") + std::to_string(io));
        if (value.empty())
            return;
        const int pin = CN2PinRecord::BitIndexToPin(input ? 1 : 0, io);
        if (pin < 1 || static_cast<std::size_t>(pin) > m_pinArray->size())
            return;
        CN2PinRecord* record = (*m_pinArray)[static_cast<std::size_t>(pin - 1)].get();
        if (!record)
            return;
        for (const auto& field : listItems(value)) {
            if (plat::EqualsNoCase(field, "FN"))
                record->m_disabled |= CN2PinRecord::kDisableFunction;
            else if (plat::EqualsNoCase(field, input ? "AB" : "GC"))
                record->m_disabled |= CN2PinRecord::kDisableLogic;
            else if (plat::EqualsNoCase(field, input ? "NW" : "ST"))
                record->m_disabled |= CN2PinRecord::kDisableValue;
        }
    };
    for (int io = 0; io < kInputCount; ++io)
        apply(true, io);
    for (int io = 0; io < kOutputCount; ++io)
        apply(false, io);
    return 1;
}

} // namespace model

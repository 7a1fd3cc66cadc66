// The document and read-all reply reader: parameter values with their transfer bookkeeping,
// channel programs and pins.
#include "model/ChannelProgram.h"
#include "model/CommandSupport.h"
#include "model/DataFile.h"
#include "model/DriverText.h"
#include "model/IniSection.h"
#include "model/NumberChecks.h"

#include "DocumentLines.h"
#include "ParameterIndex.h"
#include "TextUtil.h"

#include <platform/errors.h>
#include <platform/language.h>
#include <platform/message_box.h>
#include <platform/text.h>
#include <zrcomm/zrcomm.h>

#include <algorithm>

namespace model {

namespace {

// The section without the line that ended it: the end marker ("CC/AL", "PI/CL", a footer line)
// belongs to the next part, never to this one.
std::string withoutEndMarker(const IniSection& part)
{
    if (part.end != IniSection::End::Marker)
        return part.text;
    const std::size_t lastBreak = part.text.rfind('\r');
    return lastBreak == std::string::npos ? std::string() : part.text.substr(0, lastBreak + 1);
}

void addTransferLetter(CZRParamData& record)
{
    if (record.m_attributes.find('T') == std::string::npos)
        record.m_attributes.push_back('T');
}

void setTextValue(CZRParamData& record, std::string_view text)
{
    const std::string value(CapChars(text, kMaxTextValue));
    record.m_currentText = value;
    record.m_referenceText = value;
    record.m_currentValue = kNoValue;
    record.m_referenceValue = kNoValue;
}

void setNumberValue(CZRParamData& record, std::string_view text)
{
    const double value = text.empty() ? kNoValue : ParseLeadingDouble(text);
    record.m_currentValue = value;
    record.m_referenceValue = value;
}

bool hasTextItems(const std::string& range)
{
    StringSplitter splitter;
    return (splitter.ClassifyItems(range) & StringSplitter::kItemsText) != 0;
}

// The digits written after the point ("1.50" has 2), so that a value the definition does not
// know is written back as it came.
int decimalsOf(std::string_view value)
{
    const std::size_t point = value.find('.');
    if (point == std::string_view::npos)
        return 0;
    int digits = 0;
    for (std::size_t i = point + 1; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        ++digits;
    return std::min(digits, kMaxDecimals);
}

// Calls fn for every non-empty line, trimmed. The text may come from the driver: it is made UTF-8
// first.
template <typename Fn>
void forEachLine(std::string_view text, Fn fn)
{
    const std::string decoded = DriverTextToUtf8(text);
    for (const std::string_view line : detail::TrimmedLines(decoded)) {
        if (!line.empty())
            fn(line);
    }
}

// `reason`: the system's, when the file could not be read at all.
void showFormatMismatch(const std::string& reason)
{
    const bool japanese = plat::IsJapanese();
    std::string text = japanese ? "ファイル形式が一致しません\nTalverinのファイルでないか、ファイルが壊れています"
                                : "File format mismatch\nNot a talverin file, file damaged";
    if (!reason.empty())
        text += "\n" + reason;
    const char* caption = japanese ? "ファイルエラー" : "File error";
    plat::MessageBox(GetMainWindow(), text, caption, plat::MB_OK | plat::MB_ICONSTOP);
}

} // namespace

int CDataFile::LoadDocument(std::string_view path, int& code)
{
    if (!path.empty())
        m_documentPath = std::string(path);
    const std::string file = m_documentPath;

    std::string bytes;
    bool ok = plat::ReadFileBytes(file, bytes);
    const int readErrno = ok ? 0 : plat::GetLastErrno();
    const IniText text(ok ? std::string_view(bytes) : std::string_view());
    // A driver's read-all reply has no ";Unit:" and ";MI:" lines: what the store holds then stays.
    if (ok)
        documentUnitFromLines(text.Lines(), m_unitName, m_documentModelInfo);

    if (ok) {
        // Parameters: the header line "MM..." and the lines after it, up to a blank line or
        // "CC/AL".
        IniSectionRequest request;
        request.startMarker = "MM";
        request.endMarker = "";
        request.secondEndMarker = "CC/AL";
        request.keepMarker = true;
        request.headingMustStartWithBracket = true;
        IniSection part;
        ok = text.Read(request, part) == 1;
        if (ok)
            LoadParameterValues(part.marker + "\r" + withoutEndMarker(part));
    }

    if (ok) {
        // Channels: after "CC/AL", up to "PI/CL" (the driver's order) or the unit's first footer
        // line (the document's order), either only after a blank line.
        ClearChannelPrograms();
        IniSectionRequest request;
        request.startMarker = "CC/AL";
        request.endMarker = "PI/CL";
        const auto footer = detail::WrittenFooterLines(m_definitionFooter);
        if (!footer.empty())
            request.secondEndMarker = footer.front();
        request.endAfterEmptyLine = true;
        request.headingMustStartWithBracket = true;
        IniSection part;
        ok = text.Read(request, part) == 1;
        if (ok)
            ParseChannelData(withoutEndMarker(part));
    }

    if (ok) {
        // Pins: after "PI/CL", up to "CC/AL".
        ClearIOData();
        IniSectionRequest request;
        request.startMarker = "PI/CL";
        request.endMarker = "CC/AL";
        request.headingMustStartWithBracket = true;
        IniSection part;
        ok = text.Read(request, part) == 1;
        if (ok) {
            ParseIOData(withoutEndMarker(part));
            ApplyPinDisableMasks();
        }
    }

    if (!ok) {
        code = kDocumentNoSection;
        showFormatMismatch(plat::SystemErrorText(readErrno));
        // What the caller's own box adds: the system's reason, or none for a file that was read.
        if (readErrno != 0)
            plat::SetLastErrorFromErrno(readErrno);
        else
            plat::SetLastError(plat::ERROR_INVALID_DATA);
        return 0;
    }
    PublishSharedBlock();
    code = kDocumentOk;
    return 1;
}

int CDataFile::LoadReadAllReply(std::string_view path, int& code, KeptChannels kept)
{
    const auto keeps = [kept](const CChannelProgram& program) {
        return program.m_currentLine == -1 || (kept == KeptChannels::NotInStep && program.m_currentLine != 0);
    };
    // Taken out while the reply replaces the rest; the lock is not held across the load, whose
    // failure shows a box.
    ChannelArray keptPrograms;
    {
        SharedLock lock(m_dataMutex.get());
        if (m_channelArray) {
            keptPrograms.resize(m_channelArray->size());
            for (std::size_t channel = 0; channel < m_channelArray->size(); ++channel) {
                std::unique_ptr<CChannelProgram>& slot = (*m_channelArray)[channel];
                if (slot && keeps(*slot))
                    keptPrograms[channel] = std::move(slot);
            }
        }
    }
    ClearAll(1);
    const int loaded = LoadDocument(path, code);
    SharedLock lock(m_dataMutex.get());
    for (std::size_t channel = 0; channel < keptPrograms.size(); ++channel) {
        if (keptPrograms[channel] && m_channelArray && channel < m_channelArray->size())
            (*m_channelArray)[channel] = std::move(keptPrograms[channel]);
    }
    return loaded;
}

int CDataFile::LoadParameterValues(std::string_view text)
{
    SharedLock lock(m_dataMutex.get());
    if (!m_parameterList)
        return 1;
    // Exactly what the text names becomes transferable again.
    for (const auto& record : *m_parameterList) {
        if (record->m_attributes.find('T') != std::string::npos) {
            record->m_treeUseCount = 0;
            record->m_status = 0;
        }
        record->m_attributes.erase(std::remove(record->m_attributes.begin(), record->m_attributes.end(), 'T'),
                                   record->m_attributes.end());
        record->m_sequence = 0;
    }

    const auto header = detail::DefinitionLines(m_definitionHeader);
    // The unit's header lines ("MM0") are written by the unit, not as parameters: a parameter they
    // name is not made transferable, and no parameter is made up for them.
    auto isHeaderName = [&header](const std::string& name) {
        return std::any_of(header.begin(), header.end(),
                           [&name](const std::string& line) { return plat::StartsWithNoCase(line, name); });
    };
    int counter = static_cast<int>(m_specialParameters.size()) + 1;
    ParameterIndex index(*m_parameterList);

    forEachLine(text, [&](std::string_view line) {
        std::string name;
        std::string value;
        CZRParamData* record = index.ParseLine(line, name, value);
        if (name.empty())
            return;
        if (!record && isHeaderName(name))
            return;
        record = index.PreferFreeText(line, record, name, value);
        if (!record) {
            auto created = std::make_unique<CZRParamData>();
            created->ParseDefinitionLine("T");
            created->m_name = name;
            created->m_decimals = decimalsOf(value);
            setNumberValue(*created, value);
            created->m_sequence = counter++;
            index.Add(*created);
            m_parameterList->push_back(std::move(created));
            return;
        }
        record->m_sequence = counter++;
        record->m_treeUseCount = 0;
        record->m_status = 0;
        if (hasTextItems(record->m_range)) {
            if (record->m_range == "*") {
                setTextValue(*record, value);
            } else if (!plat::EqualsNoCase(name, record->m_name)) {
                StringSplitter splitter;
                std::string items;
                splitter.FilterItems(record->m_range, 2, items);
                splitter.Split(items, '/', StringSplitter::kAll);
                for (const auto& item : splitter.Tokens()) {
                    if (plat::EqualsNoCase(record->m_name + item, name)) {
                        setTextValue(*record, item);
                        break;
                    }
                }
            }
        }
        if (plat::EqualsNoCase(name, record->m_name) && record->m_range != "*") {
            setNumberValue(*record, value);
            // Kept as the file says, but shown as the driver would answer it.
            if (record->IsOutOfRange(record->m_currentValue))
                record->m_status = static_cast<int>(COMM_REPLY_RANGE_OVER);
        }
        if (!isHeaderName(name))
            addTransferLetter(*record);
    });
    return 1;
}

int CDataFile::ParseReceivedParameters(std::string_view reply)
{
    SharedLock lock(m_dataMutex.get());
    if (!m_parameterList)
        return 1;
    int counter = 1;
    const ParameterIndex index(*m_parameterList);
    forEachLine(reply, [&](std::string_view line) {
        std::string name;
        std::string value;
        CZRParamData* record = index.PreferFreeText(line, index.ParseLine(line, name, value), name, value);
        // A special name the definition does not know has no record to take the value.
        if (!record)
            return;
        // The record's own name decides: a text value matched as an item ("SWON") is the special
        // parameter SW all the same.
        const bool special = std::any_of(m_specialParameters.begin(), m_specialParameters.end(),
                                         [record](const std::string& s) { return plat::EqualsNoCase(s, record->m_name); });
        if (!special)
            return;
        if (value.empty()) {
            record->m_currentValue = kNoValue;
            record->m_referenceValue = kNoValue;
        } else if (!IsNumberText(value) && hasTextItems(record->m_range)) {
            setTextValue(*record, value);
        } else {
            setNumberValue(*record, value);
        }
        record->m_sequence = counter++;
        record->m_treeUseCount = 0;
        record->m_status = 0;
        addTransferLetter(*record);
    });
    return 1;
}

std::string CDataFile::ExtractSpecialParameters(std::string_view reply, std::vector<SpecialParameterLine>& list)
{
    SharedLock lock(m_dataMutex.get());
    static const ParamDataList kNoRecords;
    const ParameterIndex index(m_parameterList ? *m_parameterList : kNoRecords);
    forEachLine(reply, [&](std::string_view line) {
        std::string name;
        std::string value;
        const CZRParamData* record = index.ParseLine(line, name, value);
        const std::string& key = record ? record->m_name : name;
        if (std::find(m_specialParameters.begin(), m_specialParameters.end(), key) == m_specialParameters.end())
            return;
        // The line as the driver sent it: name and value joined would double a text value that
        // the name already ends with ("SWON" + "ON").
        auto entry = std::find_if(list.begin(), list.end(), [&key](const SpecialParameterLine& e) { return e.name == key; });
        if (entry == list.end())
            list.push_back({key, std::string(line)});
        else
            entry->line = std::string(line);
    });
    std::string out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i)
            out.push_back('\n');
        out += list[i].line;
    }
    return out;
}

int CDataFile::ParseChannelData(std::string_view text)
{
    SharedLock lock(m_dataMutex.get());
    int channel = -1;
    bool started = false;
    std::string block;
    auto flush = [&] {
        if (started && channel >= 0 && channel < kChannelCount) {
            if (CChannelProgram* program = GetChannelProgram(channel)) {
                program->Parse(std::string_view(block));
                program->m_channel = channel;
            }
        }
        block.clear();
    };
    // Blocks start at "CH" + number at the start of a line; text before the first is passed over.
    forEachLine(text, [&](std::string_view line) {
        int number = 0;
        if (ReadsAsChannelHeader(line, &number)) {
            flush();
            started = true;
            channel = number;
        } else if (!started) {
            return;
        }
        block.append(line);
        block.push_back('\r');
    });
    flush();
    return 1;
}

} // namespace model

// The send list of a download of the current data (TransferRules.h).
#include "talverin/TransferRules.h"

#include <model/ChannelProgram.h>
#include <model/CN2PinRecord.h>
#include <model/DataFile.h>
#include <model/DocumentFile.h>
#include <model/SharedData.h>
#include <model/ZRParamData.h>
#include <platform/text.h>

#include <algorithm>
#include <memory>

namespace talverin {

namespace {

void AppendTextLines(std::vector<std::string>& records, std::string_view text)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        if (!line.empty())
            records.push_back(line + '\r');
        start = end + 1;
    }
}

} // namespace

ParameterNameOf StoreParameterNameOf(model::CDataFile& store)
{
    auto parser = std::make_shared<const model::ReplyLineParser>(store);
    return [parser](std::string_view line) {
        std::string name;
        std::string value;
        const model::CZRParamData* record = parser->Parse(line, name, value);
        return record ? record->m_name : name;
    };
}

std::vector<std::string> BuildDataSendList(model::CDataFile& store, bool withSpecials)
{
    std::vector<std::string> records;
    AppendTextLines(records, store.m_definitionHeader);
    model::SharedLock lock(store.GetDataMutex());
    const std::vector<std::string>& specials = store.m_specialParameters;
    if (withSpecials) {
        for (const std::string& name : specials) {
            const model::CZRParamData* record = store.FindParameter(name);
            records.push_back(record ? name + record->GetValueText() + '\r' : name + '\r');
        }
    }
    if (const auto* parameters = store.GetParameterList()) {
        for (const auto& record : *parameters) {
            if (!record || record->m_attributes.find('T') == std::string::npos || record->m_sequence <= 0)
                continue;
            if (std::any_of(specials.begin(), specials.end(),
                            [&](const std::string& s) { return plat::EqualsNoCase(s, record->m_name); }))
                continue;
            records.push_back(record->m_name + record->GetValueText() + '\r');
        }
    }
    records.emplace_back("\r");
    records.emplace_back("CC/AL\r");
    model::CDataFile::ChannelArray* channels = store.GetChannelArray();
    for (int channel = 0; channel < model::CDataFile::kChannelCount; ++channel) {
        model::CChannelProgram* program =
            channels && channel < static_cast<int>(channels->size()) ? (*channels)[channel].get() : nullptr;
        if (!program || program->m_lines.empty()) {
            records.push_back("CH" + std::to_string(channel) + "\r\r");
            continue;
        }
        // The slot decides the number, whatever a parse left in the record.
        program->m_channel = channel;
        records.push_back(program->BuildText());
    }
    records.emplace_back("\r");
    records.emplace_back("PI/CL\r");
    if (model::CDataFile::PinArray* pins = store.GetPinArray()) {
        bool outputsCleared = false;
        for (std::size_t slot = 0; slot < pins->size() && slot < static_cast<std::size_t>(model::CDataFile::kPinCount); ++slot) {
            model::CN2PinRecord* pin = (*pins)[slot].get();
            const int io = model::CN2PinRecord::PinToBitIndex(static_cast<int>(slot) + 1);
            if (!pin || io < 0)
                continue;
            if (slot >= static_cast<std::size_t>(model::CN2PinRecord::kLastInputPin) && !outputsCleared) {
                records.emplace_back("PO/CL\r");
                outputsCleared = true;
            }
            pin->m_io = io;
            records.push_back(pin->BuildSetCommand());
        }
    }
    AppendTextLines(records, store.m_definitionFooter);
    return records;
}

} // namespace talverin

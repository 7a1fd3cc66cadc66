// Queueing parameter reads and writes and channel programs to the driver.
#include "model/CommandSupport.h"
#include "model/DataFile.h"

#include "model/NumberText.h"

#include <platform/language.h>

#include <zrcomm/zrcomm.h>

#include <unordered_map>

namespace model {

namespace {

SendCommandInfo parameterInfo()
{
    SendCommandInfo info;
    info.flags = SendCommandInfo::kSilent;
    info.title = plat::IsJapanese() ? "パラメータデータ送信" : "Send parameter data";
    return info;
}

std::intptr_t nodeTag(const CZRParamClass* node)
{
    return reinterpret_cast<std::intptr_t>(node);
}

} // namespace

bool CDataFile::IsChangedForTransfer(const CZRParamData& record)
{
    if (record.m_currentValue != record.m_referenceValue)
        return true;
    // Text values hold the no-value mark in both doubles; their texts tell.
    return IsNoValue(record.m_currentValue) && record.m_currentText != record.m_referenceText;
}

std::uint32_t CDataFile::SendParameterData(plat::HWND owner, CZRParamClass* node, int write)
{
    if (!CurrentDriverLink().isConnected())
        return COMM_ERR_NOT_OPEN;
    SendCommandInfo info = parameterInfo();

    // Queues one node's command; the record counts as in flight only once the command is queued.
    auto queue = [&](CZRParamClass& target) -> bool {
        std::string text;
        CZRParamData* record = nullptr;
        {
            SharedLock lock(m_dataMutex.get());
            record = target.m_record;
            const bool built = write ? target.GetWriteCommand(text) : target.GetReadCommand(text);
            if (!built || text.empty())
                return true; // nothing to send
        }
        const std::int32_t id = SendDriverCommand(owner, text, nodeTag(&target), info);
        SharedLock lock(m_dataMutex.get());
        if (id != 0) {
            target.m_commandHandle = static_cast<std::uint32_t>(id);
            record->m_status = 1;
            return true;
        }
        record->m_status = static_cast<int>(info.errorCode);
        return false;
    };

    if (node) {
        queue(*node);
        return 0;
    }

    std::vector<std::pair<CZRParamData*, CZRParamClass*>> pending;
    {
        SharedLock lock(m_dataMutex.get());
        if (!m_parameterList)
            return 0;
        for (const auto& record : *m_parameterList) {
            if (IsChangedForTransfer(*record))
                record->m_status = 0;
        }
        // The first tree node that shows each record.
        std::unordered_map<const CZRParamData*, CZRParamClass*> shownBy;
        if (m_treeList) {
            for (const auto& treeNode : *m_treeList) {
                if (treeNode->m_record)
                    shownBy.emplace(treeNode->m_record, treeNode.get());
            }
        }
        for (const auto& record : *m_parameterList) {
            if (!IsChangedForTransfer(*record) || record->m_status == 1)
                continue;
            const auto node = shownBy.find(record.get());
            if (node != shownBy.end())
                pending.emplace_back(record.get(), node->second);
        }
    }
    for (const auto& [record, shownBy] : pending) {
        if (!queue(*shownBy))
            return info.errorCode;
    }
    return 0;
}

std::uint32_t CDataFile::SendChannelProgram(plat::HWND owner, int channel)
{
    if (channel < 0 || channel >= kChannelCount)
        return COMM_ERR_INVALID_ARG;
    SendCommandInfo info;
    info.flags = SendCommandInfo::kSilent;
    const bool japanese = plat::IsJapanese();
    info.title = japanese ? "チャンネルプログラムデータ送信" : "Send channel program data";
    info.description = (japanese ? "チャンネル " : "Channel ") + FormatInt(channel);

    std::string text;
    {
        SharedLock lock(m_dataMutex.get());
        CChannelProgram* program = GetChannelProgram(channel);
        if (!program)
            return COMM_ERR_INVALID_ARG;
        if (!program->m_lines.empty()) {
            program->m_channel = channel;
            text = program->BuildText();
        }
    }
    const std::int32_t id = SendDriverCommand(owner, text, channel + 1000, info);
    return id != 0 ? 0 : info.errorCode;
}

} // namespace model

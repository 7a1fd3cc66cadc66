// The document writer.
#include "model/DataFile.h"
#include "model/DriverText.h"

#include "DocumentLines.h"

#include <platform/errors.h>
#include <platform/language.h>
#include <platform/clock.h>
#include <platform/text.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace model {

namespace {

std::string titleLine()
{
    const std::string version = GetProgramVersionText();
    if (plat::IsJapanese())
        return ";- KVX TALVERIN  " + version + " データファイル -";
    return ";- KVX TALVERIN  " + version + " -";
}

std::string doNotEditLine()
{
    return plat::IsJapanese() ? ";* このコメント行は編集しないでください" : ";* do not edit this comment";
}

std::string timeText()
{
    const std::tm now = plat::CurrentLocalTm();
    char text[64] = {};
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &now);
    return text;
}

void appendLine(std::string& out, std::string_view line)
{
    out.append(line);
    out.push_back('\n');
}

// ";Comment:" / ";Alarm:", the text's lines each behind ';' (one empty ';' line for no text),
// and the closing ";".
void appendCommentBlock(std::string& out, std::string_view key, std::string_view text)
{
    appendLine(out, key);
    const auto lines = detail::CommentLines(text);
    if (lines.empty())
        appendLine(out, ";");
    for (const auto& line : lines)
        appendLine(out, ";" + line);
    appendLine(out, ";");
}

// An existing document must be writable before anything is prepared: the caller then reports
// "cannot open file", not a half-done save.
bool existingFileWritable(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT;
    if (S_ISDIR(info.st_mode)) {
        plat::SetLastError(plat::ERROR_ACCESS_DENIED);
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        plat::SetLastErrorFromErrno(errno);
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

std::vector<CZRParamData*> CDataFile::transferOrder()
{
    std::vector<CZRParamData*> order;
    if (!m_parameterList)
        return order;
    auto transferable = [](const CZRParamData* record) { return record->m_attributes.find('T') != std::string::npos; };
    // The special parameters first, in the order the settings file lists them.
    for (const auto& special : m_specialParameters) {
        CZRParamData* record = FindParameter(special);
        if (!record) {
            for (const auto& candidate : *m_parameterList) {
                if (plat::EqualsNoCase(candidate->m_name, special)) {
                    record = candidate.get();
                    break;
                }
            }
        }
        if (record && transferable(record) && std::find(order.begin(), order.end(), record) == order.end())
            order.push_back(record);
    }
    const std::size_t specials = order.size();
    for (const auto& record : *m_parameterList) {
        const auto firstOthers = order.begin() + static_cast<std::ptrdiff_t>(specials);
        if (transferable(record.get()) && std::find(order.begin(), firstOthers, record.get()) == firstOthers)
            order.push_back(record.get());
    }
    // Then by sequence number; records numbered alike keep their list order.
    std::stable_sort(order.begin() + static_cast<std::ptrdiff_t>(specials), order.end(),
                     [](const CZRParamData* a, const CZRParamData* b) { return a->m_sequence < b->m_sequence; });
    return order;
}

void CDataFile::WriteParameterSection(std::string& out)
{
    SharedLock lock(m_dataMutex.get());
    for (const auto& line : detail::WrittenHeaderLines(m_definitionHeader))
        appendLine(out, line);
    for (const CZRParamData* record : transferOrder())
        appendLine(out, record->m_name + record->GetValueText());
}

void CDataFile::WriteIOSection(std::string& out)
{
    SharedLock lock(m_dataMutex.get());
    if (!m_pinArray)
        return;
    const std::size_t slots = std::min<std::size_t>(m_pinArray->size(), kPinCount);
    for (std::size_t slot = 0; slot < slots && slot < CN2PinRecord::kLastInputPin; ++slot) {
        CN2PinRecord* record = (*m_pinArray)[slot].get();
        const int io = CN2PinRecord::PinToBitIndex(static_cast<int>(slot) + 1);
        // A pin without an input number cannot be named in the file.
        if (!record || io < 0)
            continue;
        record->m_io = io;
        appendLine(out, "PI" + FormatInt(io));
        appendLine(out, "FN" + record->m_function);
        appendLine(out, record->m_logic == "A" ? "AB0" : "AB1");
        appendLine(out, "NW" + record->m_value);
        appendLine(out, "");
    }
    bool outputsOpened = false;
    for (std::size_t slot = CN2PinRecord::kLastInputPin; slot < slots; ++slot) {
        CN2PinRecord* record = (*m_pinArray)[slot].get();
        const int io = CN2PinRecord::PinToBitIndex(static_cast<int>(slot) + 1);
        if (!record || io < 0)
            continue;
        if (!outputsOpened) {
            appendLine(out, "PO/CL");
            outputsOpened = true;
        }
        record->m_io = io;
        appendLine(out, "PO" + FormatInt(io));
        appendLine(out, "FN" + record->m_function);
        appendLine(out, record->m_logic == "P" ? "GC0" : "GC1");
        appendLine(out, "ST" + record->m_value);
        appendLine(out, "");
    }
}

void CDataFile::WriteChannelSection(std::string& out)
{
    SharedLock lock(m_dataMutex.get());
    if (!m_channelArray)
        return;
    const std::size_t count = std::min<std::size_t>(m_channelArray->size(), kChannelCount);
    for (std::size_t channel = 0; channel < count; ++channel) {
        CChannelProgram* program = (*m_channelArray)[channel].get();
        if (!program || program->m_lines.empty()) {
            appendLine(out, "CH" + FormatInt(static_cast<long long>(channel)));
            appendLine(out, "");
            continue;
        }
        // The slot decides the number, whatever a parse left in the record.
        program->m_channel = static_cast<int>(channel);
        std::string text = program->BuildText();
        std::replace(text.begin(), text.end(), '\r', '\n');
        out += text;
    }
}

int CDataFile::SaveDocument(std::string_view path)
{
    if (!path.empty())
        m_documentPath = std::string(path);
    if (m_documentPath.empty()) {
        plat::SetLastError(plat::ERROR_INVALID_NAME);
        m_lastError = kErrorDocumentWrite;
        return 0;
    }
    if (!existingFileWritable(m_documentPath)) {
        m_lastError = kErrorDocumentWrite;
        return 0;
    }

    std::string out;
    appendLine(out, titleLine());
    appendLine(out, doNotEditLine());
    appendLine(out, ";");
    appendLine(out, ";FileWrite:" + timeText());
    appendLine(out, ";");
    appendCommentBlock(out, ";Comment:", m_commentText);
    appendLine(out, ";Unit:" + m_unitName);
    appendLine(out, ";");
    appendLine(out, ";MI:" + NormaliseModelInfo(m_driverModelInfo.empty() ? m_documentModelInfo : m_driverModelInfo));
    WriteParameterSection(out);
    appendLine(out, "");
    appendLine(out, "");
    appendLine(out, "PI/CL");
    WriteIOSection(out);
    appendLine(out, "");
    appendLine(out, "CC/AL");
    WriteChannelSection(out);
    appendLine(out, "");
    for (const auto& line : detail::WrittenFooterLines(m_definitionFooter))
        appendLine(out, line);
    appendLine(out, "");
    appendCommentBlock(out, ";Alarm:", m_alarmText);
    appendLine(out, "");

    // The store holds UTF-8; a line that is not (a text set around the setters) is converted as
    // driver text is, so that the file never mixes encodings within a line.
    if (!plat::IsValidUtf8(out))
        out = DriverTextToUtf8(out);

    // All or nothing: the old document stays whole until the new one is completely on disk.
    if (!plat::WriteFileAtomic(m_documentPath, out)) {
        m_lastError = kErrorDocumentWrite;
        return 0;
    }
    return 1;
}

} // namespace model

#include "transfer/TransferRules.h"

#include <model/DocumentFile.h>
#include <platform/text.h>
#include <zrcomm/zrcomm.h>

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cctype>

namespace talverin {

namespace {

std::string WithoutCr(std::string_view record)
{
    std::string text;
    for (const char c : record)
        if (c != '\r')
            text.push_back(c);
    return text;
}

// The first record (or line) of the channel or pin part ends the parameter part.
bool EndsParameterPart(std::string_view line)
{
    return line == "PI/CL" || line == "CC/AL" || line == "CH0";
}

struct ReplyText {
    std::string_view text;
    std::uint32_t code;
};

// The driver's refusals as a download reads them, in the order they are tried.
constexpr ReplyText kReplyTexts[] = {
    {"UNKNOWN OPTION", COMM_REPLY_UNKNOWN_OPTION},
    {"WRITE/EXEC.INHIBIT", COMM_REPLY_WRITE_INHIBIT},
    {"READ HIBIT", COMM_REPLY_READ_INHIBIT},
    {"RANGE OVER", COMM_REPLY_RANGE_OVER},
    {"CONDITION MISMATCH", COMM_REPLY_CONDITION_MISMATCH},
    {"COND. MISMATCH", COMM_REPLY_CONDITION_MISMATCH},
    {"NOT OMISSIBLE", COMM_REPLY_NOT_OMISSIBLE},
    {"PASSWORD REQUIRED", COMM_REPLY_PASSWORD_REQUIRED},
};

bool IsDigitOrBlank(char c)
{
    return (c >= '0' && c <= '9') || c == ' ';
}

// Splits CR-ended text into its lines (a last line without CR counts too).
std::vector<std::string_view> CrLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\r', start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace

std::vector<std::string> BuildFileSendList(std::string_view bytes, bool document)
{
    std::vector<std::string> records;
    if (document)
        records.emplace_back("KP1\r");
    std::string line;
    bool comment = false;
    bool hadComment = false;
    auto endLine = [&] {
        if (!line.empty())
            records.push_back(line + '\r');
        else if (!hadComment)
            records.emplace_back("\r");
        line.clear();
        comment = hadComment = false;
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            endLine();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            continue;
        }
        if (comment || c == ' ' || c == '\0')
            continue;
        if (document && c == ';') {
            comment = hadComment = true;
            continue;
        }
        line.push_back(c);
    }
    if (!line.empty())
        records.push_back(line + '\r');
    if (document)
        records.emplace_back("KP0\r");
    return records;
}

void RemoveSpecialRecords(std::vector<std::string>& records, const std::vector<std::string>& specials,
                          const ParameterNameOf& nameOf)
{
    if (specials.empty())
        return;
    std::size_t end = 0;
    while (end < records.size() && !EndsParameterPart(WithoutCr(records[end])))
        ++end;
    const auto special = [&](const std::string& record) {
        const std::string name = nameOf(WithoutCr(record));
        return !name.empty() && std::any_of(specials.begin(), specials.end(), [&](const std::string& s) {
                   return plat::EqualsNoCase(s, name);
               });
    };
    const auto kept = std::remove_if(records.begin(), records.begin() + static_cast<long>(end), special);
    records.erase(kept, records.begin() + static_cast<long>(end));
}

bool IsBlockHeader(std::string_view record)
{
    if (record.size() < 4 || record.back() != '\r')
        return false;
    const std::string head = plat::ToUpperAscii(record.substr(0, 2));
    if (head != "CH" && head != "PI" && head != "PO")
        return false;
    const std::string_view number = record.substr(2, record.size() - 3);
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

SendBlock NextSendBlock(const std::vector<std::string>& records, std::size_t position)
{
    SendBlock block;
    block.text = records[position].empty() ? std::string("\r") : records[position];
    block.next = position + 1;
    if (!IsBlockHeader(block.text))
        return block;
    block.block = true;
    while (block.next < records.size()) {
        const std::string& record = records[block.next];
        if (IsBlockHeader(record))
            break;
        block.text += record.empty() ? std::string("\r") : record;
        ++block.next;
        if (record == "\r" || record.empty())
            break;
    }
    return block;
}

std::string ChannelClearCommand(std::string_view command)
{
    const std::size_t cr = command.find('\r');
    if (cr == std::string_view::npos)
        return {};
    const std::string_view header = command.substr(0, cr + 1);
    if (!IsBlockHeader(header) || plat::ToUpperAscii(header.substr(0, 2)) != "CH")
        return {};
    return "CC" + std::string(header.substr(2));
}

std::uint32_t ClassifyReply(std::string_view reply, bool blockFlag)
{
    std::uint32_t code = 0;
    for (const ReplyText& row : kReplyTexts) {
        if (reply.find(row.text) != std::string_view::npos) {
            code = row.code;
            break;
        }
    }
    const std::size_t mark = reply.find('?');
    if (mark == std::string_view::npos)
        return code;
    if (!blockFlag)
        return COMM_REPLY_UNKNOWN_COMMAND;
    if (mark + 1 >= reply.size() || reply[mark + 1] != '\r')
        return code;
    const std::size_t lineStart = reply.rfind('\r', mark) == std::string_view::npos ? 0 : reply.rfind('\r', mark) + 1;
    const std::string_view before = reply.substr(lineStart, mark - lineStart);
    if (std::all_of(before.begin(), before.end(), IsDigitOrBlank))
        return code;
    return COMM_REPLY_UNKNOWN_COMMAND;
}

std::string BuildUploadText(std::string_view data, std::size_t headerLength,
                            const std::vector<model::SpecialParameterLine>& specials,
                            const IsTransferable& transferable, const ParameterNameOf& nameOf)
{
    // The header's line ends at the first CR from the header's last byte on.
    std::size_t headerEnd = std::min(headerLength, data.size());
    if (headerEnd == 0 || data[headerEnd - 1] != '\r') {
        const std::size_t cr = data.find('\r', headerEnd);
        headerEnd = cr == std::string_view::npos ? data.size() : cr + 1;
    }
    std::vector<const model::SpecialParameterLine*> used;
    for (const model::SpecialParameterLine& special : specials)
        if (transferable(special.name))
            used.push_back(&special);

    std::string text(data.substr(0, headerEnd));
    if (!text.empty() && text.back() != '\r')
        text.push_back('\r');
    for (auto it = used.rbegin(); it != used.rend(); ++it)
        text += WithoutCr((*it)->line) + '\r';

    bool parameterPart = true;
    for (const std::string_view line : CrLines(data.substr(headerEnd))) {
        if (parameterPart && EndsParameterPart(line))
            parameterPart = false;
        if (parameterPart && !used.empty()) {
            const std::string name = nameOf(line);
            const bool special = !name.empty() && std::any_of(used.begin(), used.end(), [&](const auto* s) {
                                     return plat::EqualsNoCase(s->name, name);
                                 });
            if (special)
                continue;
        }
        text.append(line);
        text.push_back('\r');
    }
    return text;
}

QString RebuildCaption(const QString& caption, const QString& portName)
{
    const int dash = caption.lastIndexOf(QLatin1Char('-'));
    const QString text = (dash < 0 ? caption : caption.left(dash)).trimmed();
    return text + QStringLiteral(" - ") + portName;
}

FileNameCheck CheckTransferFileName(const QString& name)
{
    const QString path = name.trimmed();
    if (path.isEmpty())
        return FileNameCheck::Empty;
    const QString base = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    static const QString kRefused = QStringLiteral(",;*?\"<>|");
    if (base.isEmpty() || std::any_of(base.begin(), base.end(), [](QChar c) { return kRefused.contains(c); }))
        return FileNameCheck::Invalid;
    return FileNameCheck::Ok;
}

QString SpecialParametersLabel(const QString& prefix, const std::vector<std::string>& names,
                               const QFontMetrics& metrics, int width)
{
    QString joined;
    for (const std::string& name : names) {
        if (!joined.isEmpty())
            joined += QLatin1Char(',');
        joined += QString::fromStdString(name);
    }
    const QString full = prefix + QLatin1Char('(') + joined + QLatin1Char(')');
    if (metrics.horizontalAdvance(full) <= width)
        return full;
    int keep = static_cast<int>(joined.size());
    while (keep > 0 && metrics.horizontalAdvance(prefix + QLatin1Char('(') + joined.left(keep) +
                                                 QStringLiteral("...)WW")) > width)
        --keep;
    return prefix + QLatin1Char('(') + joined.left(keep) + QStringLiteral("...)");
}

} // namespace talverin

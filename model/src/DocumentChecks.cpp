// The checks run on a document before it is opened, its header lines and comment blocks, and the
// model comparison.
#include "model/ChannelProgram.h"
#include "model/DataFile.h"
#include "model/DocumentFile.h"
#include "model/DriverText.h"
#include "model/IniSection.h"

#include "DocumentLines.h"

#include <platform/errors.h>
#include <platform/text.h>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace model {

namespace {

constexpr std::string_view kCommentKey = ";Comment:";
constexpr std::string_view kAlarmKey = ";Alarm:";

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

enum class LineKind {
    Plain,     // a line outside the comment blocks
    BlockKey,  // the key line that opens a block
    BlockLine, // a comment line inside a block
    BlockEnd,  // the block ends before this line (the line is given; empty at the end of the text)
};

// The header walk shared by the unit reader and the block reader: calls fn(line, blockKey, kind)
// for every line. A block runs from its key line (";Comment:", ";Alarm:" or `extraKey`) over the
// ';' lines after it; a line ";" ends it, and so does any line that is no comment (that line is
// then given again as a plain line). fn returns false to stop.
template <typename Fn>
void walkDocumentLines(const std::vector<std::string_view>& lines, std::string_view extraKey, Fn fn)
{
    std::string_view block;
    for (const std::string_view line : lines) {
        if (!block.empty()) {
            if (!line.empty() && line.front() == ';' && line != ";") {
                if (!fn(line, block, LineKind::BlockLine))
                    return;
                continue;
            }
            const std::string_view ended = block;
            block = {};
            if (!fn(line, ended, LineKind::BlockEnd))
                return;
            if (line == ";")
                continue;
        }
        for (const std::string_view key : {kCommentKey, kAlarmKey, extraKey}) {
            if (!key.empty() && startsWith(line, key)) {
                block = key;
                break;
            }
        }
        if (!fn(line, block, block.empty() ? LineKind::Plain : LineKind::BlockKey))
            return;
    }
    if (!block.empty())
        fn(std::string_view(), block, LineKind::BlockEnd);
}

// The block of comment lines after `key`, its lines without the ';'.
std::vector<std::string> commentBlock(const std::vector<std::string_view>& lines, std::string_view key)
{
    std::vector<std::string> out;
    bool inside = false;
    walkDocumentLines(lines, key, [&](std::string_view line, std::string_view block, LineKind kind) {
        if (block != key)
            return true;
        if (kind == LineKind::BlockKey)
            inside = true;
        else if (kind == LineKind::BlockLine)
            out.emplace_back(line.substr(1));
        return kind != LineKind::BlockEnd; // the first block of that key only
    });
    if (!inside)
        out.clear();
    return out;
}

std::string fullKey(std::string_view key)
{
    return !key.empty() && key.front() == ';' ? std::string(key) : ";" + std::string(key);
}

// Block lines in the store's form: joined by "\n;".
std::string storeText(const std::vector<std::string>& lines)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += "\n;";
        out += lines[i];
    }
    return out;
}

// The lines of a section text as the section reader joins them (CR between lines).
std::vector<std::string_view> sectionLines(std::string_view text)
{
    return detail::TrimmedLines(text);
}

IniSection readPart(const IniText& bytes, const char* start, const char* end, bool afterEmpty)
{
    IniSectionRequest request;
    request.startMarker = start;
    if (end)
        request.endMarker = end;
    request.endAfterEmptyLine = afterEmpty;
    request.headingMustStartWithBracket = true;
    IniSection part;
    bytes.Read(request, part);
    return part;
}

std::string cutField(const std::string& field, bool first)
{
    const std::size_t dot = field.rfind('.');
    if (first) {
        if (dot != std::string::npos)
            return field.substr(0, dot == 0 ? 0 : dot - 1);
        return field.size() >= 2 ? field.substr(0, field.size() - 2) : std::string();
    }
    return dot != std::string::npos ? field.substr(0, dot) : field;
}

// A text of plain lines (CR, LF, CR LF) in the store's block form, as a save and a reload give it
// back: UTF-8, each line cut at a NUL byte and without trailing blanks, blank lines left out.
std::string blockTextFromLines(std::string_view text)
{
    const std::string decoded = DriverTextToUtf8(text);
    std::vector<std::string> lines;
    std::size_t start = 0;
    const std::string_view all(decoded);
    while (start <= all.size()) {
        std::size_t end = all.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view line = plat::TrimRightView(CutAtNul(all.substr(start, end - start)));
        if (!plat::TrimView(line).empty())
            lines.emplace_back(line);
        start = end + 1;
    }
    return storeText(lines);
}

} // namespace

void CDataFile::SetAlarmText(std::string_view driverText)
{
    m_alarmText = blockTextFromLines(driverText);
}

void CDataFile::SetCommentText(std::string_view text)
{
    m_commentText = blockTextFromLines(text);
}

std::string GetProgramVersionText()
{
    // The project's version, major.minor.patch, handed in by the build.
    return TALVERIN_VERSION_TEXT;
}

std::string NormaliseModelInfo(std::string_view text)
{
    text = CutAtNul(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t')
            continue;
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out.push_back('/');
            continue;
        }
        out.push_back(c);
    }
    return out;
}

int CompareModelInfo(std::string_view aText, std::string_view bText)
{
    // The driver answers with blanks inside its lines ("KVX100A 1.00"), the document stores the
    // text without them: both sides are compared without.
    const std::string a = NormaliseModelInfo(aText);
    const std::string b = NormaliseModelInfo(bText);
    if (a.substr(0, 3) != b.substr(0, 3))
        return 1;
    StringSplitter fieldsA;
    StringSplitter fieldsB;
    fieldsA.Split(a, '/', StringSplitter::kRemoveSpaces | StringSplitter::kRemoveTabs | StringSplitter::kCollapseSpaces);
    fieldsB.Split(b, '/', StringSplitter::kRemoveSpaces | StringSplitter::kRemoveTabs | StringSplitter::kCollapseSpaces);
    int limit = startsWith(fieldsA.Token(0), "KL4C20") ? 2 : 3;
    limit = std::min({limit, fieldsA.Count(), fieldsB.Count()});
    for (int i = 0; i < limit; ++i) {
        if (cutField(fieldsA.Token(i), i == 0) != cutField(fieldsB.Token(i), i == 0))
            return 1;
    }
    return 0;
}

int ReadDocumentCommentBlock(const std::string& path, std::string_view key, std::string& text)
{
    text.clear();
    std::string bytes;
    if (!plat::ReadFileBytes(path, bytes))
        return kDocumentUnreadable;
    const IniText decoded(bytes);
    for (const auto& line : commentBlock(detail::Trimmed(decoded.Lines()), fullKey(key)))
        text += line + "\r\n";
    return kDocumentOk;
}

int CheckDocumentSectionsText(std::string_view bytes, int& code)
{
    const IniText text(bytes);
    return detail::CheckSections(text, code);
}

int detail::CheckSections(const IniText& bytes, int& code)
{
    // Parameters: from the header line "MM..." on.
    if (!readPart(bytes, "MM", "CC/AL", false).found) {
        code = kDocumentNoSection;
        return 0;
    }
    // Channels: only "CH" at the start of a line is a channel header.
    const IniSection channels = readPart(bytes, "CC/AL", "PI/CL", true);
    if (!channels.found) {
        code = kDocumentNoSection;
        return 0;
    }
    for (const std::string_view line : sectionLines(channels.text)) {
        int number = 0;
        if (ReadsAsChannelHeader(line, &number) && (number < 0 || number > 255)) {
            code = kDocumentBadChannel;
            return 0;
        }
    }
    // Pins: inputs 0..16, outputs 0..7. Only up to "CC/AL", where the loader stops too: a
    // channel program line such as "PO8" after it is no pin.
    const IniSection pins = readPart(bytes, "PI/CL", "CC/AL", false);
    if (!pins.found) {
        code = kDocumentNoSection;
        return 0;
    }
    for (const std::string_view line : sectionLines(pins.text)) {
        int number = 0;
        if ((detail::NumberAfterPrefix(line, "PI", number) && (number < 0 || number > 16))
            || (detail::NumberAfterPrefix(line, "PO", number) && (number < 0 || number > 7))) {
            code = kDocumentBadPin;
            return 0;
        }
    }
    return 1;
}

int CheckDocumentSections(const std::string& path, int& code)
{
    std::string bytes;
    if (!plat::ReadFileBytes(path, bytes)) {
        code = kDocumentUnreadable;
        return 0;
    }
    return CheckDocumentSectionsText(bytes, code);
}

int CDataFile::ReadDocumentUnit(const std::string& path, std::string& unitName, std::string& modelInfo)
{
    std::string bytes;
    if (!plat::ReadFileBytes(path, bytes))
        return kDocumentUnreadable;
    const IniText text(bytes);
    return documentUnitFromLines(text.Lines(), unitName, modelInfo);
}

int CDataFile::documentUnitFromLines(const std::vector<std::string_view>& lines, std::string& unitName,
                                     std::string& modelInfo)
{
    bool haveUnit = false;
    bool haveModel = false;
    int result = kDocumentOk;
    // Only header lines outside the comment blocks count: a comment reading "Unit: 3 tested" is
    // the user's text, not the document's unit.
    walkDocumentLines(detail::Trimmed(lines), {}, [&](std::string_view line, std::string_view, LineKind kind) {
        if (kind != LineKind::Plain)
            return true;
        if (!haveUnit && startsWith(line, ";Unit:")) {
            haveUnit = true;
            unitName = plat::Trim(line.substr(6));
            if (GetProfileString("Unit", unitName, "", m_settingsPath).empty()) {
                result = kDocumentUnitUnknown;
                return false;
            }
        } else if (!haveModel && startsWith(line, ";MI:")) {
            haveModel = true;
            modelInfo = std::string(line.substr(4));
        }
        return !(haveUnit && haveModel);
    });
    return result;
}

int CDataFile::CheckDocument(const std::string& path, int& code)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        plat::SetLastErrorFromErrno(path.empty() ? ENOENT : errno);
        code = kDocumentMissing;
        return 0;
    }
    std::string bytes;
    if (!S_ISREG(info.st_mode) || !plat::ReadFileBytes(path, bytes)) {
        if (!S_ISREG(info.st_mode))
            plat::SetLastErrorFromErrno(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        code = kDocumentUnreadable;
        return 0;
    }
    const IniText text(bytes);
    // Read into scratch copies: a document that fails the check must leave the store as it was.
    std::string unit;
    std::string modelInfo;
    const int unitResult = documentUnitFromLines(text.Lines(), unit, modelInfo);
    if (unitResult != kDocumentOk) {
        code = unitResult == kDocumentUnitUnknown ? kDocumentNoDefinition : unitResult;
        return 0;
    }
    if (!detail::CheckSections(text, code))
        return 0;
    const auto lines = detail::Trimmed(text.Lines());
    m_commentText = storeText(commentBlock(lines, kCommentKey));
    m_alarmText = storeText(commentBlock(lines, kAlarmKey));
    code = kDocumentOk;
    return 1;
}

} // namespace model

// The document file (".zrd") as text: the checks run before a document is opened or a driver's
// read-all reply is loaded, the header's comment blocks, the model comparison that tells whether a
// document came from the connected driver, and the parser of one parameter line (the document's
// parameter lines and the driver's replies have the same form: the command name directly followed
// by the value).
//
// Layout, top to bottom (lines end with LF; readers accept CR LF and lone CR as well):
//   ";- KVX TALVERIN  3.1.1 -", ";* do not edit this comment", ";", ";FileWrite:<time>", ";",
//   ";Comment:", ";<comment lines>", ";", ";Unit:<unit>", ";", ";MI:<model information>",
//   the unit's header lines ("MM0"), one line per transferable parameter ("SPD100"), two blank
//   lines, "PI/CL" and the input pin blocks, "PO/CL" and the output pin blocks, a blank line,
//   "CC/AL" and the 256 channel blocks, a blank line, the unit's footer lines, a blank line,
//   ";Alarm:", ";<alarm lines>", ";", a blank line.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace model {

class CDataFile;
class CZRParamData;

// The program's version as the document title shows it.
std::string GetProgramVersionText();

// Out codes of CDataFile::CheckDocument, CheckDocumentSections and CDataFile::ReadDocumentUnit.
enum DocumentCheckCode : int {
    kDocumentOk = 0,
    kDocumentMissing = 1,        // the file does not exist
    // A part (parameters, channels, pins) is missing; from CheckDocument also: the unit the
    // document names has no definition file in the settings file (the document class shows its
    // "definition file" message for this code; ReadDocumentUnit tells the two cases apart).
    kDocumentNoSection = 2,
    kDocumentNoDefinition = 2,
    kDocumentUnreadable = 3,     // the file cannot be opened or read
    kDocumentBadChannel = 4,     // a "CH" line with a number outside 0..255
    kDocumentBadPin = 5,         // a "PI" line outside 0..16 or a "PO" line outside 0..7
};
// ReadDocumentUnit's result when the unit is not in the settings file's [Unit] section.
inline constexpr int kDocumentUnitUnknown = 1;

// The block of comment lines that follows the header line ";" + key (key "Comment:" or
// "Alarm:"; a key given with its ';' is taken as it is): each following ';' line other than ";"
// adds its text without the ';' plus CR LF, and a line ";" ends the block. Only a line that
// begins with the key counts, and never one inside another block, so a comment reading
// "Alarm: 3" is not taken for the alarm history. Returns 0 (text empty when there is no such
// block), or kDocumentUnreadable when the file cannot be read.
int ReadDocumentCommentBlock(const std::string& path, std::string_view key, std::string& text);

// The three parts of a document or read-all reply: from the first line that begins with "MM";
// after the first line that begins with "CC/AL" (up to "PI/CL" after a blank line), where every
// "CH" line must carry a number 0..255; after the first line that begins with "PI/CL" (up to
// "CC/AL"), where every "PI" line must carry 0..16 and every "PO" line 0..7. Returns 1 when all hold, else 0 with `code`
// kDocumentNoSection, kDocumentBadChannel, kDocumentBadPin or kDocumentUnreadable.
int CheckDocumentSections(const std::string& path, int& code);
// The same on the bytes of a file read before.
int CheckDocumentSectionsText(std::string_view fileBytes, int& code);

// Whether two model information texts (a driver's MI reply, lines separated by CR, or a
// document's ";MI:" text, fields separated by '/') name the same model: 0 the same, 1 different.
// Blanks are ignored; line breaks count as '/'. The first three characters must agree; then up to
// three fields (two when A begins with "KL4C20", and never more than either side has) are
// compared without their version digits: field 0 without its last '.' and the character before
// it (or without its last two characters when it has no '.'), later fields cut at their last '.'.
int CompareModelInfo(std::string_view a, std::string_view b);

// The model information as a document stores it: blanks removed, CR LF, LF and CR each "/".
std::string NormaliseModelInfo(std::string_view text);

// The record a parameter line belongs to, or null. The line is cut at its first digit or '-':
// `name` is the text before, `value` the rest. A line without either may be a text value written
// straight after the command name ("SWON" for SW with the range "ON/OFF", "MODEAUTO" for MODE
// with the range "*"): then `name` is the record's name plus the item matched ("SWON", value
// "ON"), or for a "*" range the record's name ("MODE", value "AUTO"). Names compare without case.
// An empty line gives null and empty texts.
CZRParamData* ParseReplyLine(CDataFile& store, std::string_view line, std::string& name, std::string& value);

// ParseReplyLine for the many lines of one text: the store's records are indexed once, so a line
// costs a few look-ups instead of a walk over every record. Holds the data mutex while it lives;
// the store's lists must not change meanwhile.
class ReplyLineParser {
public:
    explicit ReplyLineParser(CDataFile& store);
    ~ReplyLineParser();
    ReplyLineParser(const ReplyLineParser&) = delete;
    ReplyLineParser& operator=(const ReplyLineParser&) = delete;

    CZRParamData* Parse(std::string_view line, std::string& name, std::string& value) const;

private:
    struct Index;
    std::unique_ptr<Index> m_index;
};

// One [DOWNLOAD] Special parameter's line as a read-all reply carried it (the transfer dialog).
struct SpecialParameterLine {
    std::string name;
    std::string line;
};

} // namespace model

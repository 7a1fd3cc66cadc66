// The upload/download dialog's rules that need neither a window nor the line: the send list of a
// file, the special parameters left out of it, the grouping of block records into one command,
// the reading of the driver's refusals in a reply, the text an upload writes to a file, the
// caption, the file-name check and the special check box's label.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QFontMetrics;
class QString;

namespace model {
class CDataFile;
struct SpecialParameterLine;
} // namespace model

namespace talverin {

// The records of a file to download, each ended by CR. Blanks and NUL bytes are dropped; LF, CR LF
// and CR each end a line; a non-empty line gives its text and a CR, an empty line a lone CR. A
// document (`document` true) adds "KP1\r" first and "KP0\r" last, and there ';' starts a comment
// that lasts to the end of the line: a line holding nothing but a comment gives no record.
std::vector<std::string> BuildFileSendList(std::string_view bytes, bool document);

// The records of a download of the current data: the data header's lines; with `withSpecials`
// each special parameter's name and value (its bare name when the store has none); every other
// transferable parameter with a positive sequence number, in parameter-list order; a lone CR;
// "CC/AL" and the 256 channels ("CH<n>\r\r" for an empty one); a lone CR; "PI/CL" and the input
// pins' set commands, "PO/CL" and the output pins' (as documents carry them, so the driver drops
// outputs the data leaves unassigned); the data footer's lines.
std::vector<std::string> BuildDataSendList(model::CDataFile& store, bool withSpecials);

// The parameter name of a record line (the data store's reading of it), empty when none.
using ParameterNameOf = std::function<std::string(std::string_view line)>;

// The store's reading of a line's parameter name (model::ParseReplyLine): the record's name, else
// the name the line gives. The records are indexed once for as long as the function lives, which
// holds the data mutex meanwhile: make it for one pass over a list.
ParameterNameOf StoreParameterNameOf(model::CDataFile& store);

// Removes from the parameter part (the records before the first that reads "PI/CL", "CC/AL" or
// "CH0" once its CRs are removed) every record whose parameter name equals one of the special
// names without regard to case.
void RemoveSpecialRecords(std::vector<std::string>& records, const std::vector<std::string>& specials,
                          const ParameterNameOf& nameOf);

// A bare block header: "CH", "PI" or "PO" (any case), one or more digits and a CR.
bool IsBlockHeader(std::string_view record);

// One command of the send list.
struct SendBlock {
    std::string text;
    std::size_t next = 0; // the position of the record after it
    bool block = false;   // a channel or pin block
};
// The command that starts at `position` (< records.size()): a block header takes the records that
// follow up to and including a lone CR, or up to (not including) the next block header; any other
// record goes alone. An empty record is sent as a lone CR.
SendBlock NextSendBlock(const std::vector<std::string>& records, std::size_t position);

// The driver's clear of the channel a channel program command writes: "CC", the digits of its
// first line "CH<n>" (any case) and a CR; empty for any other command. The driver appends a
// program's lines to what the channel holds, so a program sent again after a failure must find
// its channel cleared or it stores the lines the first try got through twice.
std::string ChannelClearCommand(std::string_view command);

// The driver's refusal a completed command's reply holds: the code of the first row of the reply
// table whose text occurs in it, replaced by 0x4000000b (not supported) when a '?' says so: any
// '?' for a single command; in a block only the first '?', when a CR follows it directly and its
// line holds something other than digits and blanks before it (the driver's line prompt is a
// number and a '?'). 0 when the reply holds none.
std::uint32_t ClassifyReply(std::string_view reply, bool blockFlag);

// Whether a parameter name is transferable (a definition of that name with the letter 'T').
using IsTransferable = std::function<bool(std::string_view name)>;

// The text an upload writes to a file, from the read-all reply's data (CR LF and LF already CR)
// that starts at the data header, `headerLength` bytes long: the answers of the transferable
// special parameters (`specials`, found before the header) go right after the header's line, the
// last one first, and the dump's own lines of those parameters leave the parameter part (the
// lines before the first "CC/AL", "CH0" or "PI/CL"). Whole lines only; lines end with CR.
std::string BuildUploadText(std::string_view data, std::size_t headerLength,
                            const std::vector<model::SpecialParameterLine>& specials,
                            const IsTransferable& transferable, const ParameterNameOf& nameOf);

// "Upload(Driver -> PC)-" + "COM1" -> "Upload(Driver -> PC) - COM1": the text up to its last '-',
// trimmed, then " - " and the port name.
QString RebuildCaption(const QString& caption, const QString& portName);

// The trimmed file name is usable: not empty, and its base name (after the last '/') holds none of
// , ; * ? " < > | (nor a '/' of its own).
enum class FileNameCheck { Ok, Empty, Invalid };
FileNameCheck CheckTransferFileName(const QString& name);

// "Download special parameters.(A,B)", or when wider than `width` in the metrics the longest run
// of the names that still fits when followed by "...)WW", then "..." and ")".
QString SpecialParametersLabel(const QString& prefix, const std::vector<std::string>& names,
                               const QFontMetrics& metrics, int width);

} // namespace talverin

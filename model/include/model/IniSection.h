// Reads one section of an INI-shaped text file (unit definition files, documents) as its raw
// lines, for the sections whose lines are not key=value pairs: parameter definitions, the tree,
// pin blocks, document parts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace model {

struct IniSectionRequest {
    std::string path;
    // The section starts after the first line that begins with this marker once spaces, tabs and
    // line feeds are removed from it ("[ Parameter ]" matches "[Parameter]"). Without a marker
    // reading starts at the first line.
    std::optional<std::string> startMarker;
    // A line containing this marker (or else the second one) ends the section and is kept as its
    // last line. An empty marker instead makes an empty line end the section.
    std::optional<std::string> endMarker;
    std::optional<std::string> secondEndMarker;
    // Keep the cleaned start line in IniSection::marker.
    bool keepMarker = false;
    // An end-marker line ends the section only when the line before it was empty.
    bool endAfterEmptyLine = false;
    // Document parts: only a line that begins with '[' and ends with ']' is a heading, so that a
    // text value "MODE[X]" or a program line "JMP[1]" stays data. Unit files keep the wider rule:
    // any line holding '[' whose last character is ']'.
    bool headingMustStartWithBracket = false;
};

struct IniSection {
    enum class End {
        EndOfFile, // the file ended (or could not be opened)
        EmptyLine, // an empty line, with an empty end marker
        Heading,   // a "[...]" line; it is not stored
        Marker,    // an end-marker line; it is the last line of `text`, without CR
    };

    bool opened = false; // the file could be opened
    int found = 0;       // 1 when the start marker was found
    std::string marker;  // the cleaned start line, when asked for
    // The section's lines, trimmed, each followed by CR; an end-marker line last, without CR.
    // Empty lines and comment lines (";...") are not stored.
    std::string text;
    End end = End::EndOfFile;
};

// Reads the file (LF, CR LF or lone CR line ends; a NUL byte ends its line; each line UTF-8, or
// Shift_JIS as older settings files hold it, returned as UTF-8) and returns the section. Returns `found`: 1 when the start marker was found, else 0 (also without a marker,
// and when the file cannot be opened).
int ReadIniSection(const IniSectionRequest& request, IniSection& out);

// The same on the bytes of a file read before (request.path is not used; `opened` is set).
int ReadIniSectionText(std::string_view fileBytes, const IniSectionRequest& request, IniSection& out);

// A file's bytes decoded and split into lines once, for readers that take several sections (and
// header lines) from one file.
class IniText {
public:
    explicit IniText(std::string_view fileBytes);
    IniText(const IniText&) = delete;
    IniText& operator=(const IniText&) = delete;

    // ReadIniSection on these lines (request.path is not used; `opened` is set).
    int Read(const IniSectionRequest& request, IniSection& out) const;
    // The decoded text's lines (LF, CR LF, lone CR), each cut at a NUL byte, not trimmed.
    const std::vector<std::string_view>& Lines() const { return m_lines; }

private:
    std::string m_text;
    std::vector<std::string_view> m_lines;
};

} // namespace model

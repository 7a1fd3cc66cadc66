// Text and file helpers shared by every module: line splitting that accepts LF, CR LF and lone CR,
// decoding of files (UTF-8, else Shift_JIS), atomic file writes,
// trimming and case-insensitive comparison (ASCII letters; other bytes compare as they are).
#pragma once

#include "platform/types.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// ---- Lines -----------------------------------------------------------------------------------

// Splits at LF, CR LF and lone CR; line ends are not included. A last line without an end is
// included when it is not empty, so "a\n" gives {"a"} and "a\nb" gives {"a", "b"}.
std::vector<std::string> SplitLines(std::string_view text);

// Incremental form for data that arrives in pieces (a CR at the end of one piece may be the first
// half of a CR LF): feed the pieces, take complete lines with next(), and the rest with finish().
class LineReader {
public:
    void feed(std::string_view bytes);
    // The next complete line (without its end) when there is one.
    bool next(std::string& line);
    // The unterminated rest, if any; resets the reader.
    std::optional<std::string> finish();
    bool empty() const { return m_lines.empty() && m_partial.empty(); }

private:
    std::vector<std::string> m_lines;
    std::size_t m_nextLine = 0;
    std::string m_partial;
    bool m_pendingCr = false; // the last piece ended in CR: skip a leading LF of the next
};

// ---- Encoding --------------------------------------------------------------------------------

bool IsValidUtf8(std::string_view bytes);

enum class TextEncoding { Utf8, ShiftJis };

// Text as UTF-8: a leading UTF-8 byte-order mark is dropped; bytes that are not valid UTF-8 are
// decoded as Shift_JIS (Windows code page 932), and whatever is not valid there either becomes
// U+FFFD. *encoding (when given) tells which way was taken.
std::string DecodeText(std::string_view bytes, TextEncoding* encoding = nullptr);

// UTF-8 to Shift_JIS (code page 932); nullopt when a character has no Shift_JIS form.
std::optional<std::string> EncodeShiftJis(std::string_view utf8);

// ---- Files -----------------------------------------------------------------------------------

// The whole file as bytes; false with the last error set (ERROR_FILE_NOT_FOUND ...) on failure.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// The file decoded with DecodeText and split with SplitLines.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines,
                   TextEncoding* encoding = nullptr);

// Replaces the file's contents all at once: writes a temporary file in the same folder, flushes
// and syncs it, checks its size, and renames it over the target (an existing target keeps its
// permission bits; a symbolic link is followed). On failure the old file is untouched, the
// temporary file is removed, and false is returned with the last error set (ERROR_ACCESS_DENIED,
// ERROR_PATH_NOT_FOUND, ERROR_DISK_FULL ...).
bool WriteFileAtomic(const std::string& path, std::string_view bytes);

// ---- Strings ---------------------------------------------------------------------------------

// Blanks are space, tab, CR, LF, vertical tab and form feed.
bool IsBlank(char c);
std::string_view TrimView(std::string_view s);
std::string_view TrimLeftView(std::string_view s);
std::string_view TrimRightView(std::string_view s);
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

char ToLowerAscii(char c);
char ToUpperAscii(char c);
std::string ToLowerAscii(std::string_view s);
std::string ToUpperAscii(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
// <0, 0, >0 like strcmp, ignoring the case of ASCII letters.
int CompareNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool EndsWithNoCase(std::string_view s, std::string_view suffix);
// Position of needle in s ignoring case, or std::string_view::npos.
std::size_t FindNoCase(std::string_view s, std::string_view needle, std::size_t from = 0);

} // namespace plat

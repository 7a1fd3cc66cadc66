// One settings file in memory, line by line, so that a rewrite keeps every line it does not
// change byte for byte as it was (comments, blank lines, malformed lines, Shift_JIS text, bytes
// that decode to nothing), with the file's first line end (CR LF, LF or lone CR) for every line.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plat::detail {

class ProfileDocument {
public:
    // Lines that are not valid UTF-8 are decoded as Shift_JIS, one line at a time, so one bad
    // line cannot garble the others.
    static ProfileDocument parse(std::string_view bytes);
    // Lines joined with the file's line end, the last one ended too; a leading byte-order mark
    // is kept.
    std::string serialize() const;

    // The trimmed value of the first matching key, quotes kept; null when missing.
    const std::string* findValue(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;
    // entries() on lines split and decoded before, without a document of them.
    static std::vector<std::pair<std::string, std::string>> entriesOfLines(
        const std::vector<std::string_view>& lines, std::string_view section);

    // Each returns whether the document changed.
    bool set(std::string_view section, std::string_view key, std::string_view value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);

    const std::string& lineEnd() const { return m_eol; }
    std::size_t lineCount() const { return m_lines.size(); }

private:
    enum class Kind { Other, Section, Entry };
    struct Line {
        Kind kind = Kind::Other;
        std::string raw;   // the line's bytes in the file; empty and unused for lines we made
        bool original = false;
        std::string text;  // the line decoded (UTF-8)
        std::string name;  // section name or key, trimmed
        std::string value; // entry value, trimmed
    };
    static Line classify(std::string text);
    // What a line is, with its trimmed name and value as views into it.
    struct LineView {
        Kind kind = Kind::Other;
        std::string_view name;
        std::string_view value;
    };
    static LineView classifyView(std::string_view text);
    // Calls f(index) for every line inside a section of that name (headers not included).
    template <typename F> void forEachLineIn(std::string_view section, F f) const;

    std::vector<Line> m_lines;
    std::string m_eol = "\r\n";
    bool m_bom = false;

public:
    // For the snapshot's index: calls f(name) for every section header, nameless ones included.
    template <typename F> void forEachSection(F f) const
    {
        for (const Line& l : m_lines) {
            if (l.kind == Kind::Section)
                f(l.name);
        }
    }
    // For the snapshot's index: calls f(section, key, value) for every entry inside a section,
    // in file order.
    template <typename F> void forEachEntry(F f) const
    {
        const std::string* section = nullptr;
        for (const Line& l : m_lines) {
            if (l.kind == Kind::Section)
                section = &l.name;
            else if (l.kind == Kind::Entry && section)
                f(*section, l.name, l.value);
        }
    }
};

} // namespace plat::detail

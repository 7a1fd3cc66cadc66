// Filters a text by a set of flags and cuts it at one separator character into tokens. Every
// comma-, slash-, CR- and tab-separated text of the definition file, the documents, the settings
// file and the driver's replies goes through here, in the program and in the controls alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace model {

class StringSplitter {
public:
    // Filter flags.
    enum : unsigned {
        kRemoveSpaces = 0x01,   // drop every space (unless kCollapseSpaces)
        kRemoveTabs = 0x02,     // drop every TAB
        kCollapseSpaces = 0x04, // one space for each inner run, none at either end
        kRemoveParens = 0x08,   // drop '(' and ')'
        kAll = 0xFF,
    };

    // Kinds returned by ClassifyItems.
    enum : int {
        kItemsNumeric = 1,
        kItemsText = 2,
        kItemsMixed = 3,
        kItemsNone = 128,
    };

    StringSplitter() = default;

    // Back to the empty state: no tokens, count 0.
    void Init();
    void Free();

    // The filtered copy of the text (never longer than the text). A NUL byte ends the text.
    static std::string Filter(std::string_view text, unsigned flags);

    // Splits the filtered text at `separator`: returns separators + 1, empty tokens included (two
    // separators in a row or one at either end). An empty text returns 0 and keeps the tokens of
    // the previous split readable. There is no quoting or escaping.
    int Split(std::string_view text, char separator, unsigned flags);

    // Whether the '/'-separated items hold digit-like characters (digits and ( ) + - .), others,
    // or both: kItemsNumeric, kItemsText, kItemsMixed, or kItemsNone when no item holds anything.
    int ClassifyItems(std::string_view text);

    // Copies to `out` ('/'-joined) the items that hold a character of a selected kind: bit 0 of
    // `mode` selects digit-like characters, bit 1 the others. Returns the number of items taken.
    int FilterItems(std::string_view text, unsigned mode, std::string& out);

    int Count() const { return static_cast<int>(m_tokens.size()); }
    const std::vector<std::string>& Tokens() const { return m_tokens; }
    // The token at `index`, or an empty text for an index outside the tokens.
    const std::string& Token(int index) const;

private:
    std::vector<std::string> m_tokens;
};

} // namespace model

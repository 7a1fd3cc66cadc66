// The terminal box's text: the bytes shown, the output cursor where received text is written, the
// caret, and the line the user has typed since the last Enter. Received text overwrites as a
// terminal does (backspace, carriage return and line feed move the cursor; only a line feed
// writes a line end, always as CR LF) and the text stays below 32767 characters by dropping the
// oldest 16384 at once, so trimming is rare and in large steps.
//
// The text is bytes as the driver sent them (a view decodes them, TerminalDecoding.h).
// viewIndex() maps positions for a view that shows each byte as one character and a CR LF pair
// as one line break; addString() tells from which position the text may have changed, so a view
// replaces only that tail.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zrtermed {

class TerminalText {
public:
    static constexpr int kMaxLength = 0x7FFF;   // the text never passes this
    static constexpr int kTrimLength = 0x4000;  // dropped from the front at once
    static constexpr int kSpare = 1024;         // room kept for the string when deciding to trim
    static constexpr int kTypingLimit = 32766;  // what the user may type into the box himself

    // What addString() changed: from `from` on (a position in the text as it is now; -1: nothing)
    // the text may differ from before; `whole`: the front moved too (trimmed), so a view rebuilds
    // everything.
    struct Change {
        int from = -1;
        bool whole = false;
        bool any() const { return whole || from >= 0; }
    };

    // What one typed character fires: KeyEnter with the line (Enter), then or else OnChar.
    struct Typed {
        int ch = 0; // the character after upper-casing
        std::optional<std::string> keyEnterLine;
        std::optional<int> onChar;
    };

    const std::string& text() const { return m_text; }
    int length() const { return static_cast<int>(m_text.size()); }
    int cursor() const { return m_cursor; }
    int caret() const { return m_caret; }
    const std::string& typedLine() const { return m_typed; }

    // Terminal output. NUL bytes are passed over (they would end the text for every C caller).
    // With bufferAdd the string also joins the typed line. Never drops new text: when the text
    // would pass kMaxLength the oldest kTrimLength characters go, as often as needed.
    Change addString(std::string_view s, bool bufferAdd);
    // AddString with no string at all: text, typed line, cursor and caret emptied.
    void reset();
    // Clear: the text (cursor and caret to 0) and/or the typed line.
    void clear(bool text, bool typedLine);

    // Typing one character (WM_CHAR): letters upper-cased, Enter (13) gives KeyEnter with the
    // typed line and empties it, then OnChar(13) only when enterOnCharEnabled; anything else
    // joins the typed line and gives OnChar.
    Typed type(int ch, bool enterOnCharEnabled);
    static int upperCased(int ch) { return ch >= 'a' && ch <= 'z' ? ch - 32 : ch; }

    // The box was made writable: the output cursor and the caret go to the end.
    void moveToEnd();
    // The user edited the text in the box (local echo, cut, paste): [from, to) becomes `bytes`.
    // The output cursor stays where it was, within the text.
    void replace(int from, int to, std::string_view bytes);

    // Where text position `index` stands in a view that shows every CR LF pair as one character
    // (a position between CR and LF maps before the pair). Costs the length of the tail after
    // index, so it is cheap near the end of the text, where output happens.
    int viewIndex(int index) const;
    // The text position at a view position (past the end: the length); walks the text.
    int textIndex(int viewIndex) const;
    // The view's length of the whole text.
    int viewLength() const { return length() - m_pairs; }

private:
    bool pairAt(int i) const
    {
        return i >= 0 && i + 1 < length() && m_text[i] == '\r' && m_text[i + 1] == '\n';
    }
    // Writes one character at i (at most the length: appends), keeping the pair count; false
    // when the same character stood there.
    bool put(int i, char c);
    // Drops the oldest kTrimLength characters (all, when there are fewer); how many went.
    int trimFront();
    void countPairs();

    std::string m_text;
    int m_cursor = 0;
    int m_caret = 0;
    int m_pairs = 0; // CR LF pairs in the text
    std::string m_typed;
};

} // namespace zrtermed

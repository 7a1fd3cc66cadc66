// The terminal's text model: overwriting output, the bound on its length, typing, and the
// position map a view that shows CR LF as one line break relies on.
#include <zrtermed/TerminalText.h>

#include <gtest/gtest.h>

#include <random>

using zrtermed::TerminalText;

namespace {

struct OutputCase {
    const char* name;
    std::vector<std::string> outputs;
    std::string text;
    int cursor;
    int caret;
};

// The view's length and position of every index, counted the slow way.
int slowViewIndex(const std::string& t, int index)
{
    if (index > 0 && index < static_cast<int>(t.size()) && t[index - 1] == '\r' && t[index] == '\n')
        --index;
    int v = 0;
    for (int i = 0; i < index; ++i, ++v)
        if (t[i] == '\r' && i + 1 < index && t[i + 1] == '\n')
            ++i;
    return v;
}

} // namespace

TEST(TerminalTextTest, OutputOverwritesAsATerminalDoes)
{
    const std::vector<OutputCase> cases = {
        {"carriage return overwrites the line", {"AB\rC"}, "CB", 1, 2},
        {"line feed goes to the line end", {"AB\rC", "\n"}, "CB\r\n", 4, 4},
        {"backspace over a line end", {"X\r\n\b"}, "X\r\n", 1, 3},
        {"blanks before a non-blank stay", {"ABC", "\r  "}, "  C", 2, 3},
        {"blanks after the cursor are cut", {"AB   ", "\rAB"}, "AB", 2, 2},
        {"backspace at the start stays", {"\b\bA"}, "A", 1, 1},
        {"a line feed over a lone one takes the next character", {"A\nB\b\bX\n"}, "AX\r\n", 4, 4},
        {"NUL bytes are passed over", {std::string("A\0B", 3)}, "AB", 2, 2},
        {"carriage return after a line end", {"L1\r\nL2\r", "X"}, "L1\r\nX2", 5, 6},
        {"a carriage return over blanks only cuts them", {"    ", "\r"}, "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TerminalText t;
        for (const auto& s : c.outputs)
            t.addString(s, false);
        EXPECT_EQ(t.text(), c.text);
        EXPECT_EQ(t.cursor(), c.cursor);
        EXPECT_EQ(t.caret(), c.caret);
        EXPECT_EQ(t.typedLine(), "");
    }
}

TEST(TerminalTextTest, TheTextStaysBoundedAndOnlyTheOldestIsLost)
{
    std::string first;
    for (int i = 0; i < 31000; ++i)
        first += static_cast<char>('A' + i % 26);
    TerminalText t;
    t.addString(first, false);
    ASSERT_EQ(t.length(), 31000);
    const auto change = t.addString(std::string(800, '#'), false);
    EXPECT_TRUE(change.whole);
    EXPECT_EQ(t.length(), 14616 + 800);
    EXPECT_EQ(t.text().substr(0, 14616), first.substr(16384));
    EXPECT_EQ(t.cursor(), t.length());

    // One string longer than the bound: trimmed as often as needed, the newest all kept.
    std::string big;
    for (int i = 0; i < 40000; ++i)
        big += static_cast<char>('a' + i % 26);
    TerminalText u;
    u.addString("old", false);
    u.addString(big, false);
    EXPECT_LE(u.length(), TerminalText::kMaxLength);
    EXPECT_EQ(u.text(), big.substr(big.size() - static_cast<std::size_t>(u.length())));
    EXPECT_EQ(u.length(), 40000 - 16384);

    // Bare line feeds write two characters each and outgrow any spare room.
    TerminalText v;
    v.addString(std::string(20000, '\n') + "END", false);
    EXPECT_LE(v.length(), TerminalText::kMaxLength);
    EXPECT_EQ(v.text().substr(static_cast<std::size_t>(v.length()) - 5), "\r\nEND");
    EXPECT_EQ(v.viewLength(), slowViewIndex(v.text(), v.length()));
}

TEST(TerminalTextTest, ClearAndNullKeepWhatTheySayTheyKeep)
{
    TerminalText t;
    t.type('x', false);
    t.type('y', false);
    t.addString("TEXT", true);
    EXPECT_EQ(t.typedLine(), "XYTEXT");
    t.clear(true, false);
    t.addString("Q", false);
    EXPECT_EQ(t.text(), "Q");
    EXPECT_EQ(t.cursor(), 1);
    EXPECT_EQ(*t.type('\r', false).keyEnterLine, "XYTEXT");
    t.addString("ABC", false);
    t.type('z', false);
    t.reset();
    EXPECT_EQ(t.text(), "");
    EXPECT_EQ(t.typedLine(), "");
    EXPECT_EQ(t.cursor(), 0);
}

TEST(TerminalTextTest, TypingFiresEnterAndCharactersWithoutTouchingTheText)
{
    TerminalText t;
    t.addString("PROMPT>", false);
    std::vector<int> chars;
    for (int ch : {int('l'), int('s'), 8, 9, 27, 1})
        chars.push_back(*t.type(ch, false).onChar);
    EXPECT_EQ(chars, (std::vector<int>{'L', 'S', 8, 9, 27, 1}));
    auto enter = t.type('\r', false);
    EXPECT_EQ(*enter.keyEnterLine, "LS\b\t\x1b\x01");
    EXPECT_FALSE(enter.onChar);
    t.type('a', true);
    enter = t.type('\r', true);
    EXPECT_EQ(*enter.keyEnterLine, "A");
    EXPECT_EQ(enter.onChar, 13);
    EXPECT_EQ(t.text(), "PROMPT>");
}

TEST(TerminalTextTest, ViewPositionsAndChangedTailsFollowEveryEdit)
{
    // Random output and user edits; after each, the pair count behind the view map and the
    // reported change agree with a slow recount of the text.
    std::mt19937 rng(7);
    const char alphabet[] = {'A', 'B', ' ', '\r', '\n', '\b'};
    TerminalText t;
    for (int round = 0; round < 3000; ++round) {
        const std::string before = t.text();
        if (round % 50 == 49) {
            const int from = static_cast<int>(rng() % static_cast<unsigned>(t.length() + 1));
            t.replace(from, from + static_cast<int>(rng() % 3), round % 100 == 99 ? "\r\n" : "Z");
        } else {
            std::string s;
            for (unsigned n = rng() % (round % 200 == 0 ? 9000 : 12); n > 0; --n)
                s += alphabet[rng() % sizeof alphabet];
            const auto change = t.addString(s, false);
            if (!change.whole) {
                const std::size_t unchanged = change.from < 0 ? t.text().size() : static_cast<std::size_t>(change.from);
                ASSERT_EQ(t.text().substr(0, unchanged), before.substr(0, unchanged)) << round;
            }
        }
        ASSERT_LE(t.length(), TerminalText::kMaxLength);
        ASSERT_LE(t.cursor(), t.length());
        ASSERT_EQ(t.viewLength(), slowViewIndex(t.text(), t.length())) << round;
        const int probe = static_cast<int>(rng() % static_cast<unsigned>(t.length() + 1));
        ASSERT_EQ(t.viewIndex(probe), slowViewIndex(t.text(), probe)) << round;
        ASSERT_EQ(t.viewIndex(t.textIndex(t.viewIndex(probe))), t.viewIndex(probe));
    }
}

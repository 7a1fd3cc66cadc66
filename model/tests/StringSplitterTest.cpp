#include "model/RangeList.h"
#include "model/StringSplitter.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <string>

using model::CRangeList;
using model::StringSplitter;

namespace {

std::vector<std::string> splitAll(std::string_view text, char sep, unsigned flags)
{
    StringSplitter s;
    s.Split(text, sep, flags);
    return s.Tokens();
}

} // namespace

TEST(StringSplitterFilter, SpacesTabsAndParentheses)
{
    EXPECT_EQ(StringSplitter::Filter("a b  c", 1), "abc");
    EXPECT_EQ(StringSplitter::Filter("a b  c", 4), "a b c");
    EXPECT_EQ(StringSplitter::Filter("  a   b  ", 4), "a b");
    EXPECT_EQ(StringSplitter::Filter("(-5)", 8), "-5");
    EXPECT_EQ(StringSplitter::Filter("a\tb  c", 5), "a\tb c");
    EXPECT_EQ(StringSplitter::Filter("a\tb  c", 7), "ab c");
    // A dropped TAB or parenthesis does not end a pending run of spaces.
    EXPECT_EQ(StringSplitter::Filter("a \t b", 6), "a b");
    EXPECT_EQ(StringSplitter::Filter("a ( b", 12), "a b");
    // Without either space flag spaces are ordinary characters.
    EXPECT_EQ(StringSplitter::Filter(" a  b ", 0), " a  b ");
}

TEST(StringSplitterSplit, EmptyTokensCount)
{
    EXPECT_EQ(splitAll("a,,b", ',', 255), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(splitAll("a,b,", ',', 255), (std::vector<std::string>{"a", "b", ""}));
    EXPECT_EQ(splitAll(",", ',', 255), (std::vector<std::string>{"", ""}));
    // Only white space: filtered to nothing, still one (empty) token.
    EXPECT_EQ(splitAll("   ", ',', 7), (std::vector<std::string>{""}));
}

TEST(StringSplitterSplit, SpaceSeparatorKeepsSingleSpaces)
{
    StringSplitter s;
    EXPECT_EQ(s.Split("  a   b  ", ' ', 255), 2);
    EXPECT_EQ(s.Token(0), "a");
    EXPECT_EQ(s.Token(1), "b");
    // With flags 255 parentheses vanish too.
    EXPECT_EQ(splitAll("f(x),y", ',', 255), (std::vector<std::string>{"fx", "y"}));
}

TEST(StringSplitterSplit, EmptyTextKeepsEarlierTokens)
{
    StringSplitter s;
    ASSERT_EQ(s.Split("x/y", '/', 7), 2);
    EXPECT_EQ(s.Split("", '/', 7), 0);
    EXPECT_EQ(s.Token(0), "x");
    EXPECT_EQ(s.Token(1), "y");
    // Out-of-range indexes read as empty instead of past the array.
    EXPECT_EQ(s.Token(2), "");
    EXPECT_EQ(s.Token(-1), "");
}

TEST(StringSplitterSplit, NulEndsTheText)
{
    const std::string text("a,b\0,c,d", 8);
    EXPECT_EQ(splitAll(text, ',', 7), (std::vector<std::string>{"a", "b"}));
    StringSplitter s;
    EXPECT_EQ(s.Split(std::string("\0a,b", 4), ',', 7), 0);
}

TEST(StringSplitterSplit, LongAndNonUtf8TextsStayIntact)
{
    std::string longText(10000, 'x');
    longText[5000] = ',';
    const auto tokens = splitAll(longText, ',', 7);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].size(), 5000u);
    EXPECT_EQ(tokens[1].size(), 4999u);

    const std::string bytes = "\x83\x58\x83\x73\x81\x5b\x83\x68,\xff\xfe";
    const auto raw = splitAll(bytes, ',', 7);
    ASSERT_EQ(raw.size(), 2u);
    EXPECT_EQ(raw[0], "\x83\x58\x83\x73\x81\x5b\x83\x68");
    EXPECT_EQ(raw[1], "\xff\xfe");
}

TEST(StringSplitterClassify, ItemKinds)
{
    StringSplitter s;
    EXPECT_EQ(s.ClassifyItems("ON/OFF"), StringSplitter::kItemsText);
    EXPECT_EQ(s.ClassifyItems("0-10"), StringSplitter::kItemsNumeric);
    EXPECT_EQ(s.ClassifyItems("(-10)-(-5)"), StringSplitter::kItemsNumeric);
    EXPECT_EQ(s.ClassifyItems("0/ON"), StringSplitter::kItemsMixed);
    EXPECT_EQ(s.ClassifyItems("*"), StringSplitter::kItemsText);
    EXPECT_EQ(s.ClassifyItems("/"), StringSplitter::kItemsNone);
    EXPECT_EQ(s.ClassifyItems(""), StringSplitter::kItemsNone);
    // Bytes above 0x7F are text, whichever way char is signed.
    EXPECT_EQ(s.ClassifyItems("\xe9"), StringSplitter::kItemsText);
}

TEST(StringSplitterClassify, FilterItemsByKind)
{
    StringSplitter s;
    std::string out = "stale";
    EXPECT_EQ(s.FilterItems("0/ON/1/OFF", 2, out), 2);
    EXPECT_EQ(out, "ON/OFF");
    EXPECT_EQ(s.FilterItems("0/ON/1/OFF", 1, out), 2);
    EXPECT_EQ(out, "0/1");
    EXPECT_EQ(s.FilterItems("0/ON//1/OFF", 3, out), 4);
    EXPECT_EQ(out, "0/ON/1/OFF");
    // An empty text takes nothing, even though the splitter still holds the last items.
    EXPECT_EQ(s.FilterItems("", 3, out), 0);
    EXPECT_EQ(out, "");
}

TEST(RangeListParse, ExamplesOfTheRangeField)
{
    struct Case {
        const char* text;
        int interval;
        double low;
        double high;
        int descending;
    };
    const Case cases[] = {
        {"0-1", 1, 0, 1, 0},
        {"5", 0, 5, 5, 0},
        {"-5", 0, -5, -5, 0},
        {"(-10)-(-5)", 1, -10, -5, 0},
        {"(-10)-5", 1, -10, 5, 0},
        {"10-0", 1, 0, 10, 1},
        {"0.01-99.99", 1, 0.01, 99.99, 0},
        {"(-300.0)-300.0", 1, -300, 300, 0},
        // A negative upper bound needs parentheses: the second number reads as 0.
        {"-10--5", 1, -10, 0, 0},
        // A lone parenthesized number is that single value.
        {"(5)", 0, 5, 5, 0},
        {"(-5)", 0, -5, -5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CRangeList list;
        EXPECT_EQ(list.Parse(c.text), 1);
        ASSERT_EQ(list.Entries().size(), 1u);
        EXPECT_EQ(list.Entries()[0].interval, c.interval);
        EXPECT_DOUBLE_EQ(list.Entries()[0].low, c.low);
        EXPECT_DOUBLE_EQ(list.Entries()[0].high, c.high);
        EXPECT_EQ(list.Descending(), c.descending);
    }
}

TEST(RangeListParse, MinimumAndMaximumAcrossItems)
{
    CRangeList list;
    list.Parse("0/1");
    ASSERT_EQ(list.Entries().size(), 2u);
    EXPECT_EQ(list.Entries()[0].interval, 0);
    EXPECT_EQ(list.Minimum(), 0.0);
    EXPECT_EQ(list.Maximum(), 1.0);

    list.Parse("(-1000)-1000/5000");
    EXPECT_EQ(list.Minimum(), -1000.0);
    EXPECT_EQ(list.Maximum(), 5000.0);
}

TEST(RangeListParse, NegativeOnlyRangeReportsItsTrueMaximum)
{
    CRangeList list;
    list.Parse("(-10)-(-5)");
    EXPECT_EQ(list.Minimum(), -10.0);
    EXPECT_EQ(list.Maximum(), -5.0);
    list.Parse("-7/(-20)-(-9)");
    EXPECT_EQ(list.Minimum(), -20.0);
    EXPECT_EQ(list.Maximum(), -7.0);
}

TEST(RangeListParse, EmptyAndGarbledTexts)
{
    CRangeList list;
    list.Parse("0-1");
    list.Parse("");
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.Minimum(), DBL_MAX);
    EXPECT_EQ(list.Maximum(), std::numeric_limits<double>::lowest());
    EXPECT_EQ(list.Contains(0), 0);

    // Text items read as 0, as the C conversion does; nothing crashes on junk.
    list.Parse("ON/OFF");
    ASSERT_EQ(list.Entries().size(), 2u);
    EXPECT_EQ(list.Contains(0), 1);
    for (const char* junk : {"((((", "))))", "----", "(-", "-(", ")-(", "1e999-2", "(1)(2)(3)", "\xff\xfe-\x80"}) {
        SCOPED_TRACE(junk);
        EXPECT_EQ(list.Parse(junk), 1);
        EXPECT_LE(list.Entries().size(), 1u);
    }
    list.Parse("1e999-2");
    EXPECT_EQ(list.Maximum(), DBL_MAX);
    list.Parse(std::string(10000, '-'));
    EXPECT_EQ(list.Entries().size(), 1u);
}

TEST(RangeListContains, BoundsAndSingleValues)
{
    CRangeList singles;
    singles.Parse("0/1");
    EXPECT_EQ(singles.Contains(0.5), 0);
    EXPECT_EQ(singles.Contains(1), 1);
    CRangeList interval;
    interval.Parse("0-1");
    EXPECT_EQ(interval.Contains(0.5), 1);
    EXPECT_EQ(interval.Contains(0), 1);
    EXPECT_EQ(interval.Contains(1), 1);
    EXPECT_EQ(interval.Contains(1.0000001), 0);
    EXPECT_EQ(interval.Contains(std::numeric_limits<double>::quiet_NaN()), 0);
    CRangeList negative;
    negative.Parse("(-10)-(-5)");
    EXPECT_EQ(negative.Contains(-7), 1);
    EXPECT_EQ(negative.Contains(0), 0);
}

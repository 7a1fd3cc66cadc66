#include "model/CommandSupport.h"
#include "model/NumberChecks.h"
#include <platform/text.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

using model::GetCommErrorText;
using model::GetCommandFailure;

namespace {

struct TextCase {
    std::uint32_t code;
    const char* english;
};

const std::vector<TextCase>& errorTable()
{
    static const std::vector<TextCase> table = {
        {7, "Unauthorized data received"},
        {0x2000000c, "Unauthorized data received"},
        {0x20000003, "Failed to send"},
        {0x20000004, "No response"},
        {0x2000000b, "Failed to recceive"},
        {0x40000001, "COM port already open"},
        {0x40000002, "COM port failed to open"},
        {0x40000003, "COM port setting failed"},
        {0x40000004, "COM port not open"},
        {0x40000005, "No connection / No response"},
        {0x40000006, "Cannot send new message during communication"},
        {0x40000007, "Communication data does not exist"},
        {0x40000008, "Communication data remains"},
        {0x40000009, "Communication time out"},
        {0x4000000b, "Command not supported"},
        {0x4000000c, "Option not supported"},
        {0x4000000d, "Command cannot be set"},
        {0x4000000e, "Command cannot be read"},
        {0x4000000f, "Data out of range"},
        {0x40000010, "Condition mismatch"},
        {0x40000011, "Data cannot be omitted"},
        {0x40000012, "Password is not disabled"},
        {0x40000013, "Unknown error"},
        {0x41000001, "Specified communication data does not exist. Unknown command received."},
    };
    return table;
}

} // namespace

TEST(CommErrorText, EnglishTextsAreExact)
{
    for (const auto& c : errorTable()) {
        EXPECT_EQ(GetCommErrorText(c.code, 1033), c.english) << std::hex << c.code;
        // Every language but Japanese reads English.
        EXPECT_EQ(GetCommErrorText(c.code, 0), c.english) << std::hex << c.code;
        EXPECT_EQ(GetCommErrorText(c.code, 1031), c.english) << std::hex << c.code;
    }
}

TEST(CommErrorText, JapaneseTextsArePresentAndDifferent)
{
    std::set<std::string> seen;
    for (const auto& c : errorTable()) {
        const std::string japanese = GetCommErrorText(c.code, 1041);
        EXPECT_FALSE(japanese.empty()) << std::hex << c.code;
        EXPECT_NE(japanese, c.english) << std::hex << c.code;
        EXPECT_TRUE(plat::IsValidUtf8(japanese)) << std::hex << c.code;
        seen.insert(japanese);
    }
    // 7 and 0x2000000c share a meaning; every other code has its own text.
    EXPECT_EQ(seen.size(), errorTable().size() - 1);
}

TEST(CommErrorText, CodesWithoutTextAreEmpty)
{
    for (const std::uint32_t code : {0x4000000au, 0x40000014u, 0x40000015u, 0u, 5u, 0x20000000u, 0x2000000du,
                                     0x2000000fu, 0x40000000u, 0x41000002u, 0xFFFFFFFFu}) {
        EXPECT_EQ(GetCommErrorText(code, 1033), "") << std::hex << code;
        EXPECT_EQ(GetCommErrorText(code, 1041), "") << std::hex << code;
    }
}

TEST(CommandFailure, EventsAndStates)
{
    int asked = 0;
    std::uint32_t state = 0;
    const auto query = [&](std::int32_t id) {
        ++asked;
        EXPECT_EQ(id, 42);
        return state;
    };
    EXPECT_EQ(GetCommandFailure(3, 42, query), 3u);
    EXPECT_EQ(GetCommandFailure(6, 42, query), 6u);
    for (const plat::WPARAM event : {0u, 1u, 2u, 4u, 5u, 7u, 9u, 10u, 11u})
        EXPECT_EQ(GetCommandFailure(event, 42, query), 0u) << event;
    EXPECT_EQ(asked, 0);

    // Completed: the command's state tells.
    for (const std::uint32_t fine : {0u, 0x20000000u, 0x20000001u, 0x20000002u, 0x20000005u}) {
        state = fine;
        EXPECT_EQ(GetCommandFailure(8, 42, query), 0u) << std::hex << fine;
    }
    for (const std::uint32_t bad : {0x4000000fu, 0x4000000bu, 0x20000003u, 0x2000000bu, 0x40000007u}) {
        state = bad;
        EXPECT_EQ(GetCommandFailure(8, 42, query), bad) << std::hex << bad;
    }
    EXPECT_EQ(asked, 10);
    // No way to ask: never reported as success.
    EXPECT_NE(GetCommandFailure(8, 42, nullptr), 0u);
}

TEST(CommEventState, KeepsTheLastMonitorCode)
{
    model::SetCommEventState(0);
    EXPECT_EQ(model::GetCommEventState(), 0u);
    model::SetCommEventState(15);
    EXPECT_EQ(model::GetCommEventState(), 15u);
    model::SetCommEventState(11);
    EXPECT_EQ(model::GetCommEventState(), 11u);
    model::SetCommEventState(0);
}

TEST(NumberChecks, IsNumberText)
{
    for (const char* yes : {"-1.5", "+3", ".", "", "0", "123.", ".5", "-", "+"})
        EXPECT_EQ(model::IsNumberText(yes), 1) << yes;
    for (const char* no : {"1-2", "1.2.3", " 1", "1 ", "+-1", "--1", "1e5", "1,5", "abc"})
        EXPECT_EQ(model::IsNumberText(no), 0) << no;
    EXPECT_EQ(model::IsNumberText(std::string("1\0" "2", 3)), 0);
    EXPECT_EQ(model::IsNumberText(std::string(10000, '7')), 1);
    EXPECT_EQ(model::IsNumberText("\xef\xbc\x91"), 0); // a full-width digit
}

TEST(NumberChecks, StepValuesAndPowers)
{
    for (const int v : {1, 2, 5})
        EXPECT_EQ(model::IsStepValue(v), 1) << v;
    for (const int v : {0, 3, 4, 10, -1, 20})
        EXPECT_EQ(model::IsStepValue(v), 0) << v;
    EXPECT_EQ(model::PowerOfTen(0), 1);
    EXPECT_EQ(model::PowerOfTen(-2), 1);
    EXPECT_EQ(model::PowerOfTen(3), 1000);
    EXPECT_EQ(model::PowerOfTen(10), 10000000000LL);
    EXPECT_EQ(model::PowerOfTen(18), 1000000000000000000LL);
    EXPECT_EQ(model::PowerOfTen(19), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(model::PowerOfTen(1000), std::numeric_limits<std::int64_t>::max());
}

#include "byte_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

using zrcomm::CByteBuffer;

TEST(ByteBuffer, AssignAppendKeepANulAfterTheBytes)
{
    CByteBuffer b;
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.GetData(), nullptr);
    b.Assign("AB\0C", 4); // any byte value is kept and counted
    ASSERT_EQ(b.GetLength(), 4u);
    EXPECT_EQ(b.ByteAt(2), 0);
    EXPECT_EQ(b.GetData()[4], 0);
    b.Append("DE", 2);
    EXPECT_EQ(b.ToString(), std::string("AB\0CDE", 6));
    EXPECT_EQ(b.GetData()[6], 0);
    b.Append(std::uint8_t{'!'});
    EXPECT_EQ(b.GetLength(), 7u);
    b.Append(nullptr, 3);
    b.Append("x", 0);
    EXPECT_EQ(b.GetLength(), 7u);
    b.Assign(nullptr, 5); // clears
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_GE(b.GetCapacity(), 7u);
}

TEST(ByteBuffer, GrowsByWhatIsAppendedOrByHalfAndResizeOnlyKeepsWhatFits)
{
    CByteBuffer b("abc");
    EXPECT_EQ(b.GetCapacity(), 3u);
    b.Append("de", 2);
    EXPECT_EQ(b.GetCapacity(), 5u); // capacity plus n
    b.Append("f", 1);
    EXPECT_EQ(b.GetCapacity(), 7u); // half again: small appends do not copy the block each time
    b.Resize(2);
    EXPECT_EQ(b.ToString(), "ab");
    EXPECT_EQ(b.GetData()[2], 0);
}

TEST(ByteBuffer, SelfAppendAndAssignFromOwnBytes)
{
    CByteBuffer b("xyz");
    b.Append(b);
    EXPECT_EQ(b.ToString(), "xyzxyz");
    b.Assign(b.GetData() + 1, 4);
    EXPECT_EQ(b.ToString(), "yzxy");
}

TEST(ByteBuffer, MidAndClearKeepTheCapacity)
{
    CByteBuffer b("hello world");
    const auto cap = b.GetCapacity();
    b.Mid(6);
    EXPECT_EQ(b.ToString(), "world");
    b.Mid(1, 2);
    EXPECT_EQ(b.ToString(), "or");
    b.Mid(0, 100);
    EXPECT_EQ(b.ToString(), "or");
    b.Mid(b.GetLength()); // a start equal to the length leaves an empty buffer
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.GetCapacity(), cap);
    b.Assign("abc", 3);
    b.Clear();
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.GetCapacity(), cap);
    b.Mid(5); // on an empty buffer
    EXPECT_TRUE(b.IsEmpty());
}

TEST(ByteBuffer, FindAndCompareRefuseWhatDoesNotFit)
{
    CByteBuffer b("ABC:>ABC\r");
    EXPECT_EQ(b.Find(0, "ABC", 3), 0);
    EXPECT_EQ(b.Find(1, "ABC", 3), 5);
    EXPECT_EQ(b.Find(6, "ABC", 3), -1);
    EXPECT_EQ(b.Find(7, "C\r\n", 3), -1); // longer than the bytes from start
    EXPECT_EQ(b.Find(0, nullptr, 1), -1);
    EXPECT_EQ(b.Find(0, "A", 0), -1);
    EXPECT_EQ(b.Find(9, "\r", 1), -1);
    EXPECT_EQ(b.Find(8, "\r", 1), 8);
    EXPECT_EQ(b.Find(0, CByteBuffer(":>")), 3);

    EXPECT_TRUE(b.CompareAt(3, ":>", 2));
    EXPECT_FALSE(b.CompareAt(8, "\r\n", 2));
    EXPECT_FALSE(b.CompareAt(9, "", 0));
    EXPECT_TRUE(b.StartsWith("ABC:"));
    EXPECT_FALSE(b.StartsWith(""));
    EXPECT_FALSE(b.StartsWith(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(b.StartsWith(CByteBuffer("AB")));
    EXPECT_FALSE(CByteBuffer("A").StartsWith("AB"));
    EXPECT_EQ(b.ByteAt(100), 0);
}

TEST(ByteBuffer, ReplyCopyDropsTheLastCopiedByte)
{
    CByteBuffer reply("ABC\r");
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(reply.CopyOutReply(buf, 16), 4u);
    EXPECT_STREQ(buf, "ABC");
    EXPECT_EQ(reply.CopyOutReply(buf, 4), 4u);
    EXPECT_STREQ(buf, "ABC");
    EXPECT_EQ(reply.CopyOutReply(buf, 3), 3u);
    EXPECT_STREQ(buf, "AB");
    EXPECT_EQ(CByteBuffer().CopyOutReply(buf, 16), 0u);
    EXPECT_EQ(reply.CopyOutReply(buf, 0), 0u);
}

TEST(ByteBuffer, CopiesAndMovesAreIndependent)
{
    CByteBuffer a("one");
    CByteBuffer b = a;
    b.Append("!", 1);
    EXPECT_EQ(a.ToString(), "one");
    CByteBuffer c = std::move(b);
    EXPECT_EQ(c.ToString(), "one!");
    EXPECT_TRUE(b.IsEmpty()); // NOLINT(bugprone-use-after-move): moved-from is empty by design
    b = c;
    EXPECT_EQ(b.ToString(), "one!");
}

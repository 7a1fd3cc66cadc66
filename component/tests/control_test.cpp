#include "log_capture.h"
#include "sample_control.h"

#include <component/guid.h>

#include <gtest/gtest.h>

using comp::InvokeKind;
using comp::Variant;

TEST(ClassIdTest, ParsesWithAndWithoutBracesInAnyCaseAndFormatsUpperCase)
{
    auto a = comp::Guid::fromString("{d1aa4539-6a83-4396-8ff9-2c353052b00f}");
    auto b = comp::Guid::fromString("D1AA4539-6A83-4396-8FF9-2C353052B00F");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(*a, *b);
    EXPECT_EQ(a->toString(), "{D1AA4539-6A83-4396-8FF9-2C353052B00F}");
    for (const char* bad : {"", "{D1AA4539-6A83-4396-8FF9-2C353052B00F", "D1AA4539-6A83-4396-8FF9-2C353052B00",
                            "{D1AA4539-6A83-4396-8FF9+2C353052B00F}", "{G1AA4539-6A83-4396-8FF9-2C353052B00F}"})
        EXPECT_FALSE(comp::Guid::fromString(bad)) << bad;
}

TEST(VariantTest, BoolIsNormalisedAndKindsDoNotLeak)
{
    EXPECT_EQ(Variant::fromBool(true), Variant::fromBool(static_cast<bool>(5)));
    EXPECT_EQ(Variant::fromBool(true).describe(), "BOOL 1");
    // A value of another kind never reads through as a number.
    EXPECT_EQ(Variant::fromI2(7).toI4(), 0);
    EXPECT_EQ(Variant::fromI4(7).toI2(), 0);
    EXPECT_FALSE(Variant::fromI4(1).toBool());
    EXPECT_NE(Variant::fromI2(7), Variant::fromI4(7));
    std::int32_t slot = 0;
    EXPECT_EQ(Variant::fromPtrI4(&slot).toPtrBool(), nullptr);
    EXPECT_EQ(Variant::fromPtrI4(&slot).toPtrI4(), &slot);
    // A pointer-sized value keeps all its bits.
    const std::intptr_t big = static_cast<std::intptr_t>(0x7fff12345678LL);
    EXPECT_EQ(Variant::fromIntPtr(big).toIntPtr(), big);
}

TEST(ControlDispatchTest, ChecksMemberKindAndArgumentsBeforeTheControlSeesTheCall)
{
    LogCapture log;
    sample::SampleControl c;
    int dummy = 0;
    auto r = c.invoke(5, InvokeKind::Method,
                      {Variant::fromI2(2), Variant::fromR4(3.5f), Variant::fromBool(true), Variant::fromUnknown(&dummy)});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value, Variant::fromI4(1005));

    // The reserved position and unknown ids: member not found.
    EXPECT_EQ(c.invoke(4, InvokeKind::Method).status, comp::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(c.invoke(4, InvokeKind::PropertyGet).status, comp::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(c.invoke(-550, InvokeKind::Method).status, comp::DISP_E_MEMBERNOTFOUND);
    // A property called as a method and a method read as a property.
    EXPECT_EQ(c.invoke(1, InvokeKind::Method).status, comp::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(c.invoke(6, InvokeKind::PropertyGet).status, comp::DISP_E_MEMBERNOTFOUND);
    // Wrong count, wrong kind: an I4 where an I2 belongs is refused, not narrowed.
    EXPECT_EQ(c.invoke(5, InvokeKind::Method, {Variant::fromI2(2)}).status, comp::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(c.invoke(5, InvokeKind::Method,
                       {Variant::fromI4(2), Variant::fromR4(1), Variant::fromBool(false), Variant::fromUnknown(nullptr)})
                  .status,
              comp::DISP_E_TYPEMISMATCH);
    EXPECT_EQ(c.invoke(3, InvokeKind::PropertyPut, {Variant::fromI4(9)}).status, comp::DISP_E_TYPEMISMATCH);
    EXPECT_EQ(c.invoke(3, InvokeKind::PropertyPut, {}).status, comp::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(c.width, 0);
    EXPECT_TRUE(log.contains("argument 1 must be I2, got I4 2"));

    // A control that throws or answers the wrong kind gives a status, not a crash.
    EXPECT_EQ(c.invoke(6, InvokeKind::Method).status, comp::DISP_E_EXCEPTION);
    EXPECT_TRUE(log.contains("boom"));
    EXPECT_EQ(c.invoke(7, InvokeKind::Method).status, comp::E_UNEXPECTED);
    EXPECT_TRUE(log.contains("SAMPLE: method of dispid 4 failed: 0x80020003 (member not found)"));
}

TEST(ControlDispatchTest, PropertiesPutAndGetThroughTheirIds)
{
    sample::SampleControl c;
    ASSERT_TRUE(c.invoke(2, InvokeKind::PropertyPut, {Variant::fromString("pin")}).ok());
    auto r = c.invoke(2, InvokeKind::PropertyGet);
    EXPECT_EQ(r.value, Variant::fromString("pin"));
    // A put answers nothing.
    EXPECT_TRUE(c.invoke(1, InvokeKind::PropertyPut, {Variant::fromI4(4)}).value.isEmpty());
}

namespace {

struct Recorder : comp::EventSink {
    std::vector<std::pair<comp::DISPID, std::vector<Variant>>> events;
    void onEvent(comp::Control&, comp::DISPID id, std::span<const Variant> args) override
    {
        events.emplace_back(id, std::vector<Variant>(args.begin(), args.end()));
    }
};

} // namespace

TEST(ControlEventTest, EventsReachTheSinkOnlyInTheirDeclaredShape)
{
    LogCapture log;
    sample::SampleControl c;
    Recorder sink;
    // No sink: firing is harmless.
    ASSERT_TRUE(c.invoke(8, InvokeKind::Method, {Variant::fromI4(1)}).ok());
    c.setEventSink(&sink);
    ASSERT_TRUE(c.invoke(8, InvokeKind::Method, {Variant::fromI4(66)}).ok());
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(sink.events[0].first, 1);
    EXPECT_EQ(sink.events[0].second, (std::vector<Variant>{Variant::fromI4(66), Variant::fromString("changed")}));
    EXPECT_TRUE(log.contains("Changed fired with arguments that do not match"));
}

TEST(PersistenceTest, BagStartsWithTheVersionAndRoundTripsBetweenInstances)
{
    sample::SampleControl a;
    a.resetState();
    EXPECT_EQ(a.count, 7);
    EXPECT_EQ(a.title, "untitled");
    EXPECT_EQ(a.width, 3);
    a.count = -5;
    a.title = "row 17";
    a.width = 300;
    comp::PropertyBag bag;
    ASSERT_EQ(a.saveProperties(bag), comp::S_OK);
    ASSERT_EQ(bag.entries().size(), 4u);
    EXPECT_EQ(bag.entries()[0].first, "_Version");
    EXPECT_EQ(bag.entries()[0].second, Variant::fromI4(0x10000));
    EXPECT_EQ(bag.entries()[1].first, "Count");
    EXPECT_EQ(bag.entries()[3].second, Variant::fromI2(300));

    sample::SampleControl b;
    ASSERT_EQ(b.loadProperties(bag), comp::S_OK);
    EXPECT_EQ(b.count, -5);
    EXPECT_EQ(b.title, "row 17");
    EXPECT_EQ(b.width, 300);
    EXPECT_EQ(b.loadedVersion(), 0x10000u);
}

TEST(PersistenceTest, MissingPropertiesTakeDefaultsAndWrongKindsAreReported)
{
    LogCapture log;
    sample::SampleControl c;
    c.count = 1;
    // Names compare without case; an I2 fits a long; an I4 fits a short when in range.
    EXPECT_EQ(c.loadProperties({{"count", Variant::fromI2(12)}, {"Width", Variant::fromI4(-2)}}), comp::S_OK);
    EXPECT_EQ(c.count, 12);
    EXPECT_EQ(c.width, -2);
    EXPECT_EQ(c.title, "untitled");

    EXPECT_EQ(c.loadProperties({{"Count", Variant::fromString("12")},
                                {"Title", Variant::fromI4(3)},
                                {"Width", Variant::fromI4(70000)}}),
              comp::E_INVALIDARG);
    EXPECT_EQ(c.count, 7);
    EXPECT_EQ(c.title, "untitled");
    EXPECT_EQ(c.width, 3);
    EXPECT_TRUE(log.contains("Count, Title, Width"));
}

// The oscilloscope created by class id and called by dispatch id, its face read back from the
// picture files it writes.
#include "event_recorder.h"

#include <component/loader.h>
#include <component/property_bag.h>
#include <controls/ZROSCILLOMembers.h>
#include <model/OscilloData.h>
#include <model/SharedData.h>
#include <platform/text.h>

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using comp::InvokeKind;
using comp::Variant;
using namespace ctl::zroscillo;

namespace {

Variant I2(int v) { return Variant::fromI2(static_cast<std::int16_t>(v)); }
Variant I4(std::int64_t v) { return Variant::fromI4(static_cast<std::int32_t>(v)); }
Variant B(bool v) { return Variant::fromBool(v); }
Variant R4(float v) { return Variant::fromR4(v); }

// A scope on a 641 x 441 window over a shared block that holds `data`.
struct Scope {
    explicit Scope(bool withBlock = true, const comp::PropertyBag* bag = nullptr)
    {
        if (withBlock) {
            std::string name;
            model::FormatSharedMemoryName(name);
            block = plat::NamedMemory::create(name, sizeof(model::SharedDataHeader));
            header()->m_oscilloData = reinterpret_cast<std::uintptr_t>(&data);
        }
        auto made = comp::Loader::instance().create(ctl::kZROSCILLOIdentity.clsid);
        control = std::move(made.control);
        EXPECT_TRUE(control) << made.error;
        if (bag)
            control->loadProperties(*bag);
        control->setEventSink(&events);
        window = control->createWidget(&parent);
        parent.resize(641, 441);
        if (window)
            window->setGeometry(0, 0, 641, 441);
    }
    ~Scope()
    {
        control.reset();
        if (block.valid())
            header()->m_oscilloData = 0; // as the data store does when it closes
    }
    model::SharedDataHeader* header() { return static_cast<model::SharedDataHeader*>(block.data()); }
    Variant call(comp::DISPID id, std::initializer_list<Variant> args = {})
    {
        auto r = control->invoke(id, InvokeKind::Method, args);
        EXPECT_TRUE(r.ok()) << id;
        return r.value;
    }
    std::int32_t save(const std::string& path, int w, int h, std::intptr_t panel = 0)
    {
        return call(SaveBitmapFile, {Variant::fromString(path), I4(w), I4(h), Variant::fromIntPtr(panel)}).toI4();
    }
    // One line from row 0 (value 0) to row 1 (value 1) on channel 1.
    void twoRowTrace(std::uint32_t color)
    {
        data.m_samples = {{{0.0, 0, 0, 0}}, {{1.0, 0, 0, 0}}};
        call(UpdateOscilloData, {Variant::fromUnknown(nullptr), I4(2), I4(20), I4(100)});
        call(SetChannelData, {I2(1), R4(1.0f), I4(0), I4(color)});
        call(ShowChannel, {I2(1), B(true)});
    }

    plat::NamedMemory block;
    model::OscilloDataBlock data;
    QWidget parent;
    EventRecorder events;
    std::unique_ptr<comp::Control> control;
    QWidget* window = nullptr;
};

struct Picture {
    std::string bytes;
    std::uint32_t u32(std::size_t at) const
    {
        std::uint32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    }
    // The COLORREF at (x, y), y from the top.
    std::uint32_t pixel(int x, int y) const
    {
        const auto w = static_cast<std::int64_t>(u32(18));
        const auto h = static_cast<std::int64_t>(u32(22));
        const std::int64_t row = (w * 3 + 3) / 4 * 4;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + 54 + row * (h - 1 - y) + 3 * x);
        return p[2] | (p[1] << 8) | (p[0] << 16);
    }
};

Picture read(const std::string& path)
{
    Picture p;
    EXPECT_TRUE(plat::ReadFileBytes(path, p.bytes)) << path;
    return p;
}

std::string tempPath(const char* name)
{
    const fs::path dir = fs::temp_directory_path() / ("scope-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return (dir / name).string();
}

std::vector<std::uint8_t> panelBitmap(int w, int h, std::uint32_t colorRef, std::uint32_t headerSize = 40,
                                      std::uint16_t bits = 24)
{
    const int row = (w * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> dib(40 + 64 + static_cast<std::size_t>(row) * h, 0);
    const std::int32_t fields[] = {static_cast<std::int32_t>(headerSize), w, h};
    std::memcpy(dib.data(), fields, sizeof fields);
    dib[12] = 1;
    std::memcpy(dib.data() + 14, &bits, 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = dib.data() + 104 + row * y + 3 * x;
            p[0] = static_cast<std::uint8_t>(colorRef >> 16);
            p[1] = static_cast<std::uint8_t>(colorRef >> 8);
            p[2] = static_cast<std::uint8_t>(colorRef);
        }
    return dib;
}

} // namespace

TEST(ScopeControlTest, TheFaceInThePictureFile)
{
    Scope scope;
    const std::string path = tempPath("face.bmp");
    ASSERT_EQ(scope.save(path, 641, 641), 54 + 1924 * 641);
    Picture face = read(path);
    ASSERT_EQ(face.bytes.size(), 1233338u);
    EXPECT_EQ(face.bytes.substr(0, 2), "BM");
    EXPECT_EQ(face.u32(2), 1233338u);
    EXPECT_EQ(face.u32(6), 0u);
    EXPECT_EQ(face.u32(10), 54u);
    EXPECT_EQ(face.u32(14), 40u);
    EXPECT_EQ(face.u32(18), 641u);
    EXPECT_EQ(face.u32(22), 641u);
    EXPECT_EQ(face.u32(26), 1u | (24u << 16));
    for (std::size_t at = 30; at < 54; at += 4)
        EXPECT_EQ(face.u32(at), 0u) << at;
    EXPECT_EQ(face.pixel(10, 10), 0x400000u);  // background
    EXPECT_EQ(face.pixel(10, 32), 0x404040u);  // grid row: (641 - 1) / 20 = 32
    EXPECT_EQ(face.pixel(32, 10), 0x404040u);  // grid column: 641 / 20
    EXPECT_EQ(face.pixel(640, 10), 0x404040u); // the last column
    EXPECT_EQ(face.pixel(100, 320), 0xFFFF00u); // the cross over the grid
    EXPECT_EQ(face.pixel(320, 100), 0xFFFF00u);
    EXPECT_EQ(face.pixel(0, 320), 0x404040u);   // the cross starts at 1

    // A trace pixel is the channel colour OR what lies beneath; guide lines scale to the picture.
    scope.twoRowTrace(0x0000FF);
    scope.call(AddGuideLine, {I4(7), B(true), I4(0x00FF00), I4(100), B(true)});
    scope.call(AddGuideLine, {I4(8), B(false), I4(0xFF00FF), I4(50), B(true)});
    ASSERT_EQ(scope.save(path, 641, 441), 54 + 1924 * 441);
    face = read(path);
    EXPECT_EQ(face.pixel(3, 209), 0x4000FFu);
    EXPECT_EQ(face.pixel(0, 220), 0x4040FFu);  // over the grid column
    EXPECT_EQ(face.pixel(3, 205), 0x400000u);
    EXPECT_EQ(face.pixel(6, 198), 0x404040u);  // the line's last point is not drawn
    EXPECT_EQ(face.pixel(200, 100), 0x00FF00u);
    EXPECT_EQ(face.pixel(50, 300), 0xFF00FFu);
    ASSERT_GT(scope.save(path, 641, 882), 0);
    face = read(path);
    EXPECT_EQ(face.pixel(200, 200), 0x00FF00u); // 100 / 441 x 882 + 0.5
    EXPECT_EQ(face.pixel(200, 100), 0x400000u);

    // A cached trace ignores new channel data until its cache is made again.
    scope.call(SetChannelData, {I2(1), R4(1.0f), I4(0), I4(0x00FF00)});
    ASSERT_GT(scope.save(path, 641, 441), 0); // saving renders afresh
    EXPECT_EQ(read(path).pixel(3, 209), 0x40FF00u);

    // Indices outside the records change nothing and answer 0.
    EXPECT_EQ(scope.call(SetGuidLine, {I4(16), I4(5), B(true)}).toI4(), 0);
    EXPECT_EQ(scope.call(SetGuidLine, {I4(3), I4(5), B(true)}).toI4(), 0);
    EXPECT_EQ(scope.call(SetGuidLine, {I4(7), I4(5), B(true)}).toI4(), 1);
    EXPECT_EQ(scope.call(AddGuideLine, {I4(-1), B(true), I4(0), I4(0), B(true)}).toI4(), 0);
    EXPECT_EQ(scope.call(SetChannelData, {I2(5), R4(1.0f), I4(0), I4(0)}).toI4(), 0);
    scope.call(ShowChannel, {I2(-3), B(true)});

    // Without the host's rows (store closed) the traces are empty.
    scope.header()->m_oscilloData = 0;
    ASSERT_GT(scope.save(path, 641, 441), 0);
    EXPECT_EQ(read(path).pixel(3, 209), 0x400000u);
}

TEST(ScopeControlTest, PictureFileFailuresWriteNothing)
{
    Scope scope;
    fs::remove_all(fs::path(tempPath("x")).parent_path());
    const std::string path = tempPath("kept.bmp");
    ASSERT_GT(scope.save(path, 100, 100), 0);
    std::string before;
    ASSERT_TRUE(plat::ReadFileBytes(path, before));

    const auto bad8 = panelBitmap(10, 5, 0, 40, 8);
    const auto bad12 = panelBitmap(10, 5, 0, 12, 24);
    auto flat = panelBitmap(10, 5, 0);
    const std::int32_t negative = -5;
    std::memcpy(flat.data() + 8, &negative, 4);
    struct Case {
        const char* what;
        int w, h;
        const void* panel;
    } cases[] = {
        {"zero width", 0, 100, nullptr}, {"negative height", 100, -1, nullptr}, {"absurd", 40000, 40000, nullptr},
        {"8-bit panel", 100, 100, bad8.data()}, {"small header", 100, 100, bad12.data()},
        {"top-down panel", 100, 100, flat.data()},
    };
    scope.call(LockPaint, {B(true)});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(scope.save(path, c.w, c.h, reinterpret_cast<std::intptr_t>(c.panel)), 0);
        std::string now;
        ASSERT_TRUE(plat::ReadFileBytes(path, now));
        EXPECT_EQ(now, before);
    }
    const fs::path dir = fs::path(path).parent_path();
    EXPECT_EQ(scope.save((dir / "missing" / "x.bmp").string(), 100, 100), 0);
    EXPECT_FALSE(fs::exists(dir / "missing"));
    fs::create_directories(dir / "folder");
    EXPECT_EQ(scope.save((dir / "folder").string(), 100, 100), 0);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2); // no temporary left

    // A good panel lies right of the face, unscaled.
    const auto panel = panelBitmap(10, 5, 0x123456);
    ASSERT_EQ(scope.save(path, 100, 100, reinterpret_cast<std::intptr_t>(panel.data())), 54 + 332 * 100);
    const Picture p = read(path);
    EXPECT_EQ(p.u32(18), 110u);
    EXPECT_EQ(p.pixel(105, 2), 0x123456u);
    EXPECT_EQ(p.pixel(105, 50), 0u);
    fs::remove_all(dir);
}

TEST(ScopeControlGuiTest, PaintsNotifyLockPaintAndTheSizeRule)
{
    Scope scope;
    scope.twoRowTrace(0x0000FF);
    scope.parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&scope.parent));
    auto notices = [&] {
        std::vector<std::int32_t> codes;
        for (const auto& e : scope.events.events)
            if (e.id == Notify)
                codes.push_back(e.args[0].toI4());
        scope.events.events.clear();
        return codes;
    };
    notices();
    scope.call(Redraw, {B(true)});
    EXPECT_EQ(notices(), std::vector<std::int32_t>{0});
    EXPECT_TRUE(scope.call(LockPaint, {B(true)}).toBool());
    scope.call(Redraw, {B(true)});
    EXPECT_TRUE(notices().empty());
    // Saving ends LockPaint and draws again.
    ASSERT_EQ(scope.save(tempPath("unlock.bmp"), 30, 30), 54 + 92 * 30);
    EXPECT_EQ(notices(), std::vector<std::int32_t>{0});
    // A trace too wide to make: reported, the rest drawn.
    EXPECT_EQ(scope.call(SetHorzZoom, {I4(1000000000), I4(0)}).toI4(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(notices().back(), 8);
    EXPECT_EQ(scope.call(SetHorzZoom, {I4(200), I4(0)}).toI4(), 1282);
    EXPECT_EQ(notices().back(), 0);
    // 20 pixels high: nothing drawn, still a notice.
    scope.window->setGeometry(0, 0, 641, 20);
    scope.call(Redraw, {B(true)});
    EXPECT_EQ(notices(), std::vector<std::int32_t>{0});
    fs::remove_all(fs::path(tempPath("x")).parent_path());

    // LockPosition is set at first: nothing moves or sizes; then sizes become 20n + 1, and a pure
    // move stays refused.
    const QRect at(5, 5, 641, 441);
    EXPECT_EQ(scope.control->filterGeometry(QRect(0, 0, 300, 450), at), at);
    scope.call(LockPosition, {B(false)});
    EXPECT_EQ(scope.control->filterGeometry(QRect(0, 0, 300, 450), at), QRect(0, 0, 301, 441));
    EXPECT_EQ(scope.control->filterGeometry(QRect(0, 0, 301, 441), at), QRect(0, 0, 301, 441));
    EXPECT_EQ(scope.control->filterGeometry(QRect(9, 9, 641, 441), at), at);
}

TEST(ScopeControlTest, NoChannelsFailsTheWindow)
{
    comp::PropertyBag bag;
    bag.set("ChannelCount", Variant::fromI4(0));
    Scope none(false, &bag);
    EXPECT_EQ(none.window, nullptr);
}

// Each wrapper member reaches its control by the right dispatch id with the right argument kinds,
// and hands back what the control answered.
#include "recorder_fixture.h"

#include "controlhost/CZRCN2.h"
#include "controlhost/CZROSCILLO.h"
#include "controlhost/CZRPARAM.h"
#include "controlhost/CZRSLIDER.h"
#include "controlhost/CZRTERMED.h"

#include <QWidget>

#include <functional>

using comp::InvokeKind;
using comp::Variant;
using namespace talverin;

namespace {

Variant I2(short v) { return Variant::fromI2(v); }
Variant I4(plat::LONG v) { return Variant::fromI4(v); }
Variant R4(float v) { return Variant::fromR4(v); }
Variant B(bool v) { return Variant::fromBool(v); }
Variant S(const char* v) { return Variant::fromString(v); }
Variant U(void* p) { return Variant::fromUnknown(p); }
Variant P(std::intptr_t v) { return Variant::fromIntPtr(v); }

const InvokeKind M = InvokeKind::Method;
const InvokeKind G = InvokeKind::PropertyGet;
const InvokeKind PUT = InvokeKind::PropertyPut;

struct Expected {
    std::function<void()> call;
    comp::DISPID id;
    InvokeKind kind;
    std::vector<Variant> args;
};

class WrapperGuiTest : public RecorderFixture {
protected:
    void check(const char* control, const std::vector<Expected>& cases)
    {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE(std::string(control) + " case " + std::to_string(i) + ", dispid " + std::to_string(cases[i].id));
            const std::size_t before = calls().size();
            cases[i].call();
            ASSERT_EQ(calls().size(), before + 1) << "the call did not reach the control";
            const RecordedCall& c = calls().back();
            EXPECT_EQ(c.control, control);
            EXPECT_EQ(c.id, cases[i].id);
            EXPECT_EQ(c.kind, cases[i].kind);
            ASSERT_EQ(c.args.size(), cases[i].args.size());
            for (std::size_t a = 0; a < c.args.size(); ++a)
                EXPECT_EQ(c.args[a], cases[i].args[a]) << "argument " << a + 1 << ": " << c.args[a].describe()
                                                       << " instead of " << cases[i].args[a].describe();
        }
    }

    QWidget m_form;
};

} // namespace

TEST_F(WrapperGuiTest, ZRPARAM)
{
    ASSERT_NE(CZRPARAM::Create(&m_form, {0, 0, 100, 100}, 1234), nullptr);
    CZRPARAM w(&m_form, 1234);
    int node = 0;
    check("ZRPARAM", {
        {[&] { w.SetShowStyle(0xC0); }, 3, PUT, {I4(0xC0)}},
        {[&] { w.SetStrHelpFolder("/help"); }, 4, PUT, {S("/help")}},
        {[&] { EXPECT_EQ(w.LoadFile("a.def", "Param"), 1015); }, 15, M, {S("a.def"), S("Param")}},
        {[&] { EXPECT_EQ(w.IsCommomMemoryParent(), plat::TRUE); }, 26, M, {}},
        {[&] { EXPECT_EQ(w.SetDataChange(&node), 1028); }, 28, M, {U(&node)}},
        {[&] { EXPECT_EQ(w.ShowTreeItem(0, "A\\B"), 0x7f0000000000 + 29); }, 29, M, {I4(0), S("A\\B")}},
        {[&] { EXPECT_EQ(w.SetNextFocus(1001), plat::TRUE); }, 30, M, {I4(1001)}},
        {[&] { EXPECT_EQ(w.SetReadOnly(1), 1032); }, 32, M, {I4(1)}},
        {[&] { EXPECT_EQ(w.AddEnableCmdType("Pn"), 1033); }, 33, M, {S("Pn")}},
        {[&] { w.InitControl(0); }, 34, M, {I4(0)}},
        {[&] { w.UpdateTreeIcon(0x7fff00001234); }, 35, M, {P(0x7fff00001234)}},
    });
}

TEST_F(WrapperGuiTest, ZRCN2)
{
    ASSERT_NE(CZRCN2::Create(&m_form, {0, 0, 100, 20}, 2917), nullptr);
    CZRCN2 w(&m_form, 2917);
    char buffer[64] = {};
    check("ZRCN2", {
        {[&] { EXPECT_EQ(w.GetViewMode(), 1001); }, 1, G, {}},
        {[&] { w.SetSetten("B"); }, 3, PUT, {S("B")}},
        {[&] { EXPECT_EQ(w.GetSetten(), "B"); }, 3, G, {}},
        {[&] { w.SetData("12"); }, 4, PUT, {S("12")}},
        {[&] { EXPECT_EQ(w.GetName(), "Name value"); }, 5, G, {}},
        {[&] { w.SetName("SON"); }, 5, PUT, {S("SON")}},
        {[&] { w.SetNumberBackColor(0xFF6060); }, 6, PUT, {I4(0xFF6060)}},
        {[&] { EXPECT_EQ(w.GetNumberBackColor(), 0xFF6060); }, 6, G, {}},
        {[&] { w.SetNameBackColor(0xFFFF00); }, 13, PUT, {I4(0xFFFF00)}},
        {[&] { EXPECT_EQ(w.GetNameBackColor(), 0xFFFF00); }, 13, G, {}},
        {[&] { w.SetDataBackColor(0x00FFFF); }, 14, PUT, {I4(0x00FFFF)}},
        {[&] { EXPECT_EQ(w.GetDataBackColor(), 0x00FFFF); }, 14, G, {}},
        {[&] { EXPECT_EQ(w.Export(buffer, 64, plat::TRUE), 1018); }, 18, M, {U(buffer), I4(64), B(true)}},
        {[&] { EXPECT_EQ(w.Import("17,A,SON,0,0", 5), 1019); }, 19, M, {S("17,A,SON,0,0"), B(true)}},
        {[&] { w.SetModifyFlg(plat::FALSE); }, 20, M, {B(false)}},
        {[&] { EXPECT_EQ(w.GetModifyFlg(), plat::TRUE); }, 21, M, {}},
        {[&] { w.SetStatus(0x80010000); }, 23, M, {I4(static_cast<plat::LONG>(0x80010000u))}},
        {[&] { EXPECT_EQ(w.DisableControl(14), 1024); }, 24, M, {I4(14)}},
        {[&] { EXPECT_EQ(w.GetState(), 1025); }, 25, M, {}},
    });
}

TEST_F(WrapperGuiTest, ZROSCILLO)
{
    ASSERT_NE(CZROSCILLO::Create(&m_form, {0, 0, 100, 100}, 1003), nullptr);
    CZROSCILLO w(&m_form, 1003);
    int samples = 0;
    unsigned char panel[128] = {};
    const auto panelAddress = reinterpret_cast<std::intptr_t>(panel);
    check("ZROSCILLO", {
        {[&] { w.SetBackColor(0x400000); }, 1, PUT, {I4(0x400000)}},
        {[&] { w.SetGraphColorNormalLine(0x404040); }, 2, PUT, {I4(0x404040)}},
        {[&] { EXPECT_EQ(w.GetBitmapWidth(), 1005); }, 5, G, {}},
        {[&] { w.SetZoomLineColor(0x402020); }, 7, PUT, {I4(0x402020)}},
        {[&] { EXPECT_EQ(w.SetScopeMode(10, 20), 1008); }, 8, M, {I4(10), I4(20)}},
        {[&] { w.SetChannelData(2, 1.5f, -5000, 0xFF); }, 9, M, {I2(2), R4(1.5f), I4(-5000), I4(0xFF)}},
        {[&] { w.ShowChannel(3, plat::TRUE); }, 10, M, {I2(3), B(true)}},
        {[&] { w.AddGuideLine(9, plat::FALSE, 255, 40, plat::FALSE); }, 11, M, {I4(9), B(false), I4(255), I4(40), B(false)}},
        {[&] { w.LockPosition(plat::TRUE); }, 12, M, {B(true)}},
        {[&] { w.ScrollPosition(100, 0); }, 13, M, {I4(100), I4(0)}},
        {[&] { w.SetZoom(4, 0.25f); }, 14, M, {I4(4), R4(0.25f)}},
        {[&] { w.MoveChannelPos(1, 0, 2500); }, 15, M, {I2(1), I4(0), I4(2500)}},
        {[&] { EXPECT_EQ(w.SetHorzZoom(200, 0), 1018); }, 18, M, {I4(200), I4(0)}},
        {[&] { w.UpdateOscilloData(&samples, 2000, 20, 1); }, 19, M, {U(&samples), I4(2000), I4(20), I4(1)}},
        {[&] { w.UpdateOscilloData(nullptr, -1, 0, 0); }, 19, M, {U(nullptr), I4(-1), I4(0), I4(0)}},
        {[&] { w.SetGuidLine(13, 120, plat::TRUE); }, 20, M, {I4(13), I4(120), B(true)}},
        {[&] { w.SaveBitmapFile("/tmp/x.bmp", 641, 641, panelAddress); }, 21, M,
         {S("/tmp/x.bmp"), I4(641), I4(641), P(panelAddress)}},
        {[&] { EXPECT_EQ(w.LockPaint(plat::FALSE), plat::TRUE); }, 22, M, {B(false)}},
        {[&] { w.Redraw(plat::TRUE); }, 23, M, {B(true)}},
        {[&] { EXPECT_EQ(w.DrawMode(1), 1024); }, 24, M, {I4(1)}},
    });
}

TEST_F(WrapperGuiTest, ZRSLIDER)
{
    ASSERT_NE(CZRSLIDER::Create(&m_form, {0, 0, 100, 20}, 1126), nullptr);
    CZRSLIDER w(&m_form, 1126);
    plat::LONG lo = 0, hi = 0;
    std::int64_t a = 0, b = 0, c = 0;
    check("ZRSLIDER", {
        {[&] { EXPECT_EQ(w.GetViewMode(), 1001); }, 1, G, {}},
        {[&] { w.SetBorderStyle(0); }, 2, PUT, {I2(0)}},
        {[&] { EXPECT_EQ(w.GetBorderStyle(), 0); }, 2, G, {}},
        {[&] { w.SetRangeBar(1); }, 3, PUT, {I4(1)}},
        {[&] { EXPECT_EQ(w.GetRangeBar(), 1); }, 3, G, {}},
        {[&] { w.SetArrow(255); }, 5, PUT, {I4(255)}},
        {[&] { w.SetBackColor(static_cast<plat::LONG>(0x8000000Fu)); }, 6, PUT, {I4(static_cast<plat::LONG>(0x8000000Fu))}},
        {[&] { EXPECT_EQ(w.GetBackColor(), static_cast<plat::LONG>(0x8000000Fu)); }, 6, G, {}},
        {[&] { w.AddCursor(9, 100, 0, 400, 255); }, 7, M, {I4(9), I4(100), I4(0), I4(400), I4(255)}},
        {[&] { EXPECT_EQ(w.GetValue(9), 1008); }, 8, M, {I4(9)}},
        {[&] { w.ShowCursor(9, 5); }, 9, M, {I4(9), I4(5)}},
        {[&] { w.SetValue(9, 50); }, 10, M, {I4(9), I4(50)}},
        {[&] { w.LockPosition(plat::TRUE); }, 11, M, {B(true)}},
        {[&] { w.ShowRange(plat::TRUE, 9, 10); }, 12, M, {B(true), I4(9), I4(10)}},
        {[&] { w.ChangeRange(9, 0, 800, 200); }, 13, M, {I4(9), I4(0), I4(800), I4(200)}},
        {[&] { EXPECT_EQ(w.GetCursorSize(), 1015); }, 15, M, {}},
        {[&] { w.GetGraphPos(9); }, 16, M, {I4(9)}},
        {[&] { w.Enabled(plat::FALSE); }, 17, M, {B(false)}},
        {[&] { w.GetRangeValue(9, &lo, &hi); }, 18, M, {I4(9), Variant::fromPtrI4(&lo), Variant::fromPtrI4(&hi)}},
        {[&] { w.SetGraphPos(9, 33); }, 22, M, {I2(9), I4(33)}},
        {[&] { w.GetRangeValueI64(9, &a, &b); }, 26, M, {I4(9), U(&a), U(&b)}},
        {[&] { w.GetValueI64(9, &a); }, 28, M, {I4(9), U(&a)}},
        {[&] { w.ChangeRange2I64(9, &a, &b, &c, 12); }, 29, M, {I4(9), U(&a), U(&b), U(&c), I4(12)}},
    });
}

TEST_F(WrapperGuiTest, ZRTERMED)
{
    ASSERT_NE(CZRTERMED::Create(&m_form, {0, 0, 100, 100}, 1005), nullptr);
    CZRTERMED w(&m_form, 1005);
    char buffer[16] = {};
    check("ZRTERMED", {
        {[&] { w.SetReadOnly(plat::TRUE); }, 4, PUT, {B(true)}},
        {[&] { EXPECT_EQ(w.AddString("OK\r\n>", plat::TRUE), 1006); }, 6, M, {S("OK\r\n>"), B(true)}},
        {[&] { w.Clear(plat::TRUE, plat::FALSE); }, 7, M, {B(true), B(false)}},
        {[&] { EXPECT_EQ(w.GetTextLength(), 1008); }, 8, M, {}},
        {[&] { w.GetText(buffer, 15); }, 9, M, {U(buffer), I4(15)}},
        {[&] { w.Refresh(); }, -550, M, {}},
    });
}

TEST_F(WrapperGuiTest, MissingItemsAndFailedCallsAnswerZeroWithAStatus)
{
    CZRCN2 missing(&m_form, 2999);
    EXPECT_FALSE(missing.isValid());
    EXPECT_EQ(missing.GetState(), 0);
    EXPECT_EQ(missing.GetSetten(), "");
    EXPECT_EQ(missing.lastStatus(), comp::E_POINTER);

    // A wrapper pointed at another control's site: the member is missing or of another kind.
    ASSERT_NE(CZRTERMED::Create(&m_form, {0, 0, 10, 10}, 1005), nullptr);
    CZRSLIDER wrong(&m_form, 1005);
    EXPECT_EQ(wrong.SetGraphPos(1, 2), 0); // dispid 22 does not exist on the terminal
    EXPECT_EQ(wrong.lastStatus(), comp::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(wrong.GetValue(1), 0); // dispid 8 is GetTextLength(): no arguments
    EXPECT_EQ(wrong.lastStatus(), comp::DISP_E_BADPARAMCOUNT);

    // Creating a class nobody registered says why.
    std::filesystem::remove(m_registry);
    QString error;
    EXPECT_EQ(CZRCN2::Create(&m_form, {0, 0, 10, 10}, 2901, &error), nullptr);
    EXPECT_TRUE(error.contains("{D1AA4539-6A83-4396-8FF9-2C353052B00F} is not registered")) << error.toStdString();
}

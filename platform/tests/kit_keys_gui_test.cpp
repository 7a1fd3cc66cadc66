// The keyboard hook chain on real key events: order, swallowing (shortcuts included), removal by
// owner and from inside a hook, a throwing hook, key data bits and the key-state table.
#include "platform/qt/keyboard_hook.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

using namespace plat;
using namespace plat::qt;

namespace {

class HookGuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit.show();
        edit.setFocus();
        QApplication::setActiveWindow(&edit);
    }
    QLineEdit edit;
    KeyboardHookChain& chain = KeyboardHookChain::instance();
};

} // namespace

TEST_F(HookGuiTest, LastInstalledRunsFirstAndASwallowedKeyReachesNothingElse)
{
    std::vector<int> calls;
    auto outer = chain.install([&](const KeyInput& k) { calls.push_back(1); return k.vk == 'B'; });
    auto inner = chain.install([&](const KeyInput& k) { calls.push_back(2); return k.down && k.vk == 'A'; });
    QTest::keyClick(&edit, Qt::Key_A);
    EXPECT_EQ(calls, (std::vector<int>{2, 2, 1})); // press swallowed by inner; release passed on
    EXPECT_EQ(edit.text(), QString());
    calls.clear();
    QTest::keyClick(&edit, Qt::Key_B);
    EXPECT_EQ(calls, (std::vector<int>{2, 1, 2, 1}));
    QTest::keyClick(&edit, Qt::Key_C);
    EXPECT_EQ(edit.text(), QStringLiteral("c"));
    inner.reset();
    outer.reset();
    EXPECT_EQ(chain.hookCount(), 0);
}

TEST_F(HookGuiTest, ASwallowedPressTriggersNoShortcut)
{
    QAction action(&edit);
    action.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_3));
    edit.addAction(&action);
    int triggered = 0;
    QObject::connect(&action, &QAction::triggered, [&] { ++triggered; });
    std::vector<UINT> seen;
    {
        auto hook = chain.install([&](const KeyInput& k) {
            if (k.vk != VK_CONTROL) // QTest presses and releases the modifier keys too
                seen.push_back(k.vk);
            return k.down && (k.modifiers & Qt::ControlModifier) && (k.vk == '3' || k.vk == VK_NUMPAD(3));
        });
        QTest::keyClick(&edit, Qt::Key_3, Qt::ControlModifier);
        QTest::keyClick(&edit, Qt::Key_3, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_EQ(triggered, 0);
    }
    // Offered once per press even though Qt sends a shortcut override first; the keypad digit is
    // a key of its own.
    EXPECT_EQ(seen, (std::vector<UINT>{'3', '3', VK_NUMPAD(3), VK_NUMPAD(3)}));
    QTest::keyClick(&edit, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(triggered, 1);
}

TEST_F(HookGuiTest, OwnerGoneThrowingHookAndRemovalFromInsideLeaveNothingBehind)
{
    auto owner = std::make_unique<QObject>();
    int ownerCalls = 0;
    KeyboardHookHandle owned = chain.install(owner.get(), [&](const KeyInput&) { ++ownerCalls; return false; });
    KeyboardHookHandle thrower = chain.install([](const KeyInput&) -> bool { throw std::runtime_error("bad hook"); });
    KeyboardHookHandle self;
    int selfCalls = 0;
    self = chain.install([&](const KeyInput&) { ++selfCalls; self.reset(); return false; });
    QTest::keyClick(&edit, Qt::Key_X);
    EXPECT_EQ(selfCalls, 1);          // removed itself during the press
    EXPECT_EQ(ownerCalls, 2);         // reached past the thrower, for press and release
    EXPECT_EQ(edit.text(), QStringLiteral("x"));
    owner.reset();
    EXPECT_FALSE(owned.installed());
    thrower.reset();
    EXPECT_EQ(chain.hookCount(), 0);
    owned.reset(); // after its owner took it: harmless
}

TEST_F(HookGuiTest, KeyDataAndKeyStateFollowTheKeys)
{
    std::vector<KeyInput> keys;
    SHORT ctrlDuringHook = 0, keyDuringHook = 0;
    auto hook = chain.install([&](const KeyInput& k) {
        if (k.vk == VK_CONTROL)
            return false;
        keys.push_back(k);
        ctrlDuringHook = GetKeyState(VK_CONTROL);
        keyDuringHook = GetKeyState(k.vk);
        return false;
    });
    QTest::keyPress(&edit, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_LT(ctrlDuringHook, 0);
    EXPECT_EQ(keyDuringHook & 0x8000, 0); // the key's own state changes after the hooks
    EXPECT_LT(GetKeyState(VK_DOWN), 0);
    QTest::keyPress(&edit, Qt::Key_Down, Qt::ControlModifier, -1); // held: previous state down
    QTest::keyRelease(&edit, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_GE(GetKeyState(VK_DOWN), 0);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].vk, VK_DOWN);
    EXPECT_EQ(keys[0].keyData & 0xFFFF, 1);
    EXPECT_TRUE(keys[0].keyData & KEYDATA_EXTENDED);
    EXPECT_FALSE(keys[0].previousDown());
    EXPECT_TRUE(keys[1].previousDown());
    EXPECT_TRUE(keys[2].released());
    EXPECT_TRUE(keys[2].keyData & KEYDATA_RELEASED);
    EXPECT_TRUE(keys[2].keyData & KEYDATA_PREVIOUS_DOWN);

    // A synthetic key goes through the chain; a posted one can be flushed before it arrives.
    keys.clear();
    EXPECT_TRUE(SendKeyEvent(&edit, VK_NUMPAD(7), true));
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].vk, VK_NUMPAD(7));
    PostKeyEvent(&edit, 'Q', true);
    FlushPendingKeyInput(&edit);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(keys.size(), 1u);
}

TEST(VirtualKeyTest, QtKeysMapToWin32CodesBothWays)
{
    struct Case { int qt; Qt::KeyboardModifiers mods; UINT vk; };
    const Case cases[] = {
        {Qt::Key_A, {}, 'A'}, {Qt::Key_5, {}, '5'}, {Qt::Key_5, Qt::KeypadModifier, VK_NUMPAD(5)},
        {Qt::Key_Return, {}, VK_RETURN}, {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN},
        {Qt::Key_F12, {}, VK_F(12)}, {Qt::Key_PageUp, {}, VK_PRIOR}, {Qt::Key_Exclam, Qt::ShiftModifier, '1'},
        {Qt::Key_Minus, Qt::KeypadModifier, VK_SUBTRACT}, {Qt::Key_Minus, {}, VK_OEM_MINUS},
        {Qt::Key_Question, Qt::ShiftModifier, VK_OEM_2}, {Qt::Key_unknown, {}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VirtualKeyFromQt(c.qt, c.mods), c.vk) << c.qt;
        if (c.vk && c.qt != Qt::Key_Enter && c.qt != Qt::Key_Exclam && c.qt != Qt::Key_Question) {
            bool keypad = false;
            EXPECT_EQ(QtKeyFromVirtualKey(c.vk, &keypad), c.qt) << c.vk;
            EXPECT_EQ(keypad, bool(c.mods & Qt::KeypadModifier)) << c.vk;
        }
    }
}

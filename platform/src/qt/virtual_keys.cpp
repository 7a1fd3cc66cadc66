#include "platform/qt/virtual_keys.h"

#include <utility>

namespace plat::qt {

namespace {

struct KeyPair {
    int qt;
    UINT vk;
};

// Keys whose virtual key does not follow from a letter, a digit or a function-key number.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB}, {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Clear, VK_CLEAR}, {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT}, {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE}, {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE}, {Qt::Key_PageUp, VK_PRIOR}, {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END}, {Qt::Key_Home, VK_HOME}, {Qt::Key_Left, VK_LEFT}, {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT}, {Qt::Key_Down, VK_DOWN}, {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Help, VK_HELP},
    {Qt::Key_Meta, VK_LWIN}, {Qt::Key_Menu, VK_APPS}, {Qt::Key_NumLock, VK_NUMLOCK},
    {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Semicolon, VK_OEM_1}, {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Comma, VK_OEM_COMMA}, {Qt::Key_Minus, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Slash, VK_OEM_2}, {Qt::Key_QuoteLeft, VK_OEM_3}, {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_Backslash, VK_OEM_5}, {Qt::Key_BracketRight, VK_OEM_6},
    {Qt::Key_Apostrophe, VK_OEM_7}, {Qt::Key_AltGr, VK_MENU},
};

// Shifted symbols of a US keyboard and the key that carries them.
constexpr KeyPair kShifted[] = {
    {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'}, {Qt::Key_Underscore, VK_OEM_MINUS},
    {Qt::Key_Colon, VK_OEM_1}, {Qt::Key_Less, VK_OEM_COMMA}, {Qt::Key_Greater, VK_OEM_PERIOD},
    {Qt::Key_Question, VK_OEM_2}, {Qt::Key_AsciiTilde, VK_OEM_3}, {Qt::Key_BraceLeft, VK_OEM_4},
    {Qt::Key_Bar, VK_OEM_5}, {Qt::Key_BraceRight, VK_OEM_6}, {Qt::Key_QuoteDbl, VK_OEM_7},
    {Qt::Key_Asterisk, '8'}, {Qt::Key_Plus, VK_OEM_PLUS},
};

} // namespace

UINT VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? VK_NUMPAD(key - Qt::Key_0) : static_cast<UINT>(key);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<UINT>(key); // Qt's letter keys are the upper-case characters
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F(key - Qt::Key_F1 + 1);
    if (keypad) {
        switch (key) {
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Period: case Qt::Key_Comma: return VK_DECIMAL;
        case Qt::Key_Slash: return VK_DIVIDE;
        default: break;
        }
    }
    for (const KeyPair& p : kKeys) {
        if (p.qt == key)
            return p.vk;
    }
    for (const KeyPair& p : kShifted) {
        if (p.qt == key)
            return p.vk;
    }
    return 0;
}

int QtKeyFromVirtualKey(UINT vk, bool* keypad)
{
    if (keypad)
        *keypad = false;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return static_cast<int>(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
        if (keypad)
            *keypad = true;
        return Qt::Key_0 + static_cast<int>(vk - VK_NUMPAD0);
    }
    if (vk >= VK_F1 && vk < VK_F1 + 24)
        return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    const std::pair<UINT, int> keypadKeys[] = {{VK_MULTIPLY, Qt::Key_Asterisk}, {VK_ADD, Qt::Key_Plus},
        {VK_SUBTRACT, Qt::Key_Minus}, {VK_DECIMAL, Qt::Key_Period}, {VK_DIVIDE, Qt::Key_Slash}};
    for (const auto& [v, q] : keypadKeys) {
        if (v == vk) {
            if (keypad)
                *keypad = true;
            return q;
        }
    }
    for (const KeyPair& p : kKeys) {
        if (p.vk == vk)
            return p.qt;
    }
    return Qt::Key_unknown;
}

bool IsExtendedKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Insert: case Qt::Key_Delete: case Qt::Key_Home: case Qt::Key_End:
    case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Left: case Qt::Key_Right:
    case Qt::Key_Up: case Qt::Key_Down:
        return !keypad;
    case Qt::Key_Enter:
        return true;
    case Qt::Key_Slash:
        return keypad;
    case Qt::Key_AltGr:
        return true;
    default:
        return false;
    }
}

} // namespace plat::qt

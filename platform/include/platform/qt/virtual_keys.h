// Virtual-key codes with their Win32 values, and the mapping from Qt keys. Letters are 'A'-'Z'
// and the main-row digits '0'-'9' (as characters); the keypad digits are VK_NUMPAD0-VK_NUMPAD9,
// told apart through Qt::KeypadModifier. Shifted symbols map to the key that carries them on a US
// keyboard ('!' -> '1', '?' -> VK_OEM_2 ...), so a hook sees one key whatever the shift state.
#pragma once

#include "platform/types.h"

#include <Qt>

namespace plat::qt {

inline constexpr UINT VK_BACK = 0x08;
inline constexpr UINT VK_TAB = 0x09;
inline constexpr UINT VK_CLEAR = 0x0C;
inline constexpr UINT VK_RETURN = 0x0D;
inline constexpr UINT VK_SHIFT = 0x10;
inline constexpr UINT VK_CONTROL = 0x11;
inline constexpr UINT VK_MENU = 0x12; // Alt
inline constexpr UINT VK_PAUSE = 0x13;
inline constexpr UINT VK_CAPITAL = 0x14;
inline constexpr UINT VK_ESCAPE = 0x1B;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_PRIOR = 0x21; // Page Up
inline constexpr UINT VK_NEXT = 0x22;  // Page Down
inline constexpr UINT VK_END = 0x23;
inline constexpr UINT VK_HOME = 0x24;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;
inline constexpr UINT VK_SNAPSHOT = 0x2C;
inline constexpr UINT VK_INSERT = 0x2D;
inline constexpr UINT VK_DELETE = 0x2E;
inline constexpr UINT VK_HELP = 0x2F;
inline constexpr UINT VK_LWIN = 0x5B;
inline constexpr UINT VK_APPS = 0x5D;
inline constexpr UINT VK_NUMPAD0 = 0x60; // VK_NUMPAD0 + n for keypad digit n
inline constexpr UINT VK_MULTIPLY = 0x6A;
inline constexpr UINT VK_ADD = 0x6B;
inline constexpr UINT VK_SEPARATOR = 0x6C;
inline constexpr UINT VK_SUBTRACT = 0x6D;
inline constexpr UINT VK_DECIMAL = 0x6E;
inline constexpr UINT VK_DIVIDE = 0x6F;
inline constexpr UINT VK_F1 = 0x70; // VK_F1 + n - 1 for Fn, up to F24
inline constexpr UINT VK_NUMLOCK = 0x90;
inline constexpr UINT VK_SCROLL = 0x91;
inline constexpr UINT VK_OEM_1 = 0xBA;      // ; :
inline constexpr UINT VK_OEM_PLUS = 0xBB;   // = +
inline constexpr UINT VK_OEM_COMMA = 0xBC;  // , <
inline constexpr UINT VK_OEM_MINUS = 0xBD;  // - _
inline constexpr UINT VK_OEM_PERIOD = 0xBE; // . >
inline constexpr UINT VK_OEM_2 = 0xBF;      // / ?
inline constexpr UINT VK_OEM_3 = 0xC0;      // ` ~
inline constexpr UINT VK_OEM_4 = 0xDB;      // [ {
inline constexpr UINT VK_OEM_5 = 0xDC;      // \ |
inline constexpr UINT VK_OEM_6 = 0xDD;      // ] }
inline constexpr UINT VK_OEM_7 = 0xDE;      // ' "

inline constexpr UINT VK_NUMPAD(int digit) { return VK_NUMPAD0 + static_cast<UINT>(digit); }
inline constexpr UINT VK_F(int n) { return VK_F1 + static_cast<UINT>(n - 1); }

// The virtual key of a Qt key (Qt::Key) with the event's modifiers; 0 for keys without one.
UINT VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);
// The Qt key and whether it is a keypad key, for synthesising events; Qt::Key_unknown for none.
int QtKeyFromVirtualKey(UINT vk, bool* keypad = nullptr);
// True for keys marked "extended" in the key data (arrows, Insert, Delete,
// Home, End, Page Up/Down off the keypad, keypad Enter and '/', right-hand Ctrl and Alt).
bool IsExtendedKey(int qtKey, Qt::KeyboardModifiers modifiers);

} // namespace plat::qt

// The key-name table and the conversions between key codes and key list
// positions. Codes are DirectInput keyboard offsets: the PC set-1 scan code,
// with 0x80 added for the extended keys (arrows, right Ctrl, Num Enter...).

#include "input/input.h"

// ---- globals --------------------------------------------------------------

const char* const gc_KeyNames[256] = {
    /* 0x00 */ nullptr, "Esc", "1", "2",
    /* 0x04 */ "3", "4", "5", "6",
    /* 0x08 */ "7", "8", "9", "0",
    /* 0x0C */ "-", "=", "Backspace", "Tab",
    /* 0x10 */ "Q", "W", "E", "R",
    /* 0x14 */ "T", "Y", "U", "I",
    /* 0x18 */ "O", "P", "[", "]",
    /* 0x1C */ "Enter", "Left Ctrl", "A", "S",
    /* 0x20 */ "D", "F", "G", "H",
    /* 0x24 */ "J", "K", "L", ";",
    /* 0x28 */ "'", "`", "Left Shift", "\\",
    /* 0x2C */ "Z", "X", "C", "V",
    /* 0x30 */ "B", "N", "M", ",",
    /* 0x34 */ ".", "/", "Right Shift", "Num *",
    /* 0x38 */ "Left Alt", "Space", "Caps Lock", "F1",
    /* 0x3C */ "F2", "F3", "F4", "F5",
    /* 0x40 */ "F6", "F7", "F8", "F9",
    /* 0x44 */ "F10", "Num Lock", "Scroll Lock", "Num 7",
    /* 0x48 */ "Num 8", "Num 9", "Num -", "Num 4",
    /* 0x4C */ "Num 5", "Num 6", "Num +", "Num 1",
    /* 0x50 */ "Num 2", "Num 3", "Num 0", "Num Del",
    /* 0x54 */ nullptr, nullptr, "< >", "F11",
    /* 0x58 */ "F12", nullptr, nullptr, nullptr,
    /* 0x5C */ nullptr, nullptr, nullptr, nullptr,
    /* 0x60 */ nullptr, nullptr, nullptr, nullptr,
    /* 0x64 */ "F13", "F14", "F15", nullptr,
    /* 0x68 */ nullptr, nullptr, nullptr, nullptr,
    /* 0x6C */ nullptr, nullptr, nullptr, nullptr,
    /* 0x70 */ "Kana", nullptr, nullptr, "Ro",
    /* 0x74 */ nullptr, nullptr, nullptr, nullptr,
    /* 0x78 */ nullptr, "Henkan", nullptr, "Muhenkan",
    /* 0x7C */ nullptr, "Yen", "Num . (ABNT)", nullptr,
    /* 0x80 */ nullptr, nullptr, nullptr, nullptr,
    /* 0x84 */ nullptr, nullptr, nullptr, nullptr,
    /* 0x88 */ nullptr, nullptr, nullptr, nullptr,
    /* 0x8C */ nullptr, "Num =", nullptr, nullptr,
    /* 0x90 */ nullptr, nullptr, nullptr, nullptr,
    /* 0x94 */ nullptr, nullptr, nullptr, nullptr,
    /* 0x98 */ nullptr, nullptr, nullptr, nullptr,
    /* 0x9C */ "Num Enter", "Right Ctrl", nullptr, nullptr,
    /* 0xA0 */ "Mute", "Calculator", "Play/Pause", nullptr,
    /* 0xA4 */ "Media Stop", nullptr, nullptr, nullptr,
    /* 0xA8 */ nullptr, nullptr, nullptr, nullptr,
    /* 0xAC */ nullptr, nullptr, "Volume Down", nullptr,
    /* 0xB0 */ "Volume Up", nullptr, "Web Home", "Num ,",
    /* 0xB4 */ nullptr, "Num /", nullptr, "Print Screen",
    /* 0xB8 */ "Right Alt", nullptr, nullptr, nullptr,
    /* 0xBC */ nullptr, nullptr, nullptr, nullptr,
    /* 0xC0 */ nullptr, nullptr, nullptr, nullptr,
    /* 0xC4 */ nullptr, "Pause", nullptr, "Home",
    /* 0xC8 */ "Up Arrow", "Page Up", nullptr, "Left Arrow",
    /* 0xCC */ nullptr, "Right Arrow", nullptr, "End",
    /* 0xD0 */ "Down Arrow", "Page Down", "Insert", "Delete",
    /* 0xD4 */ nullptr, nullptr, nullptr, nullptr,
    /* 0xD8 */ nullptr, nullptr, nullptr, "Left Windows",
    /* 0xDC */ "Right Windows", "Application", "Power", "Sleep",
    /* 0xE0 */ nullptr, nullptr, nullptr, "Wake",
    /* 0xE4 */ nullptr, nullptr, nullptr, nullptr,
    /* 0xE8 */ nullptr, nullptr, nullptr, nullptr,
    /* 0xEC */ nullptr, nullptr, nullptr, nullptr,
    /* 0xF0 */ nullptr, nullptr, nullptr, nullptr,
    /* 0xF4 */ nullptr, nullptr, nullptr, nullptr,
    /* 0xF8 */ nullptr, nullptr, nullptr, nullptr,
    /* 0xFC */ nullptr, nullptr, nullptr, nullptr,
};

const char* g_lpszKeyNames[256] = {};

// ---- functions ------------------------------------------------------------

// A code above 255 has no list position and shows as no key.
int KeyToListIndex(UINT uKey) {
  if (uKey == KEY_NONE || uKey > 255) return 0;
  int nIndex = 0;
  for (UINT c = 0; c <= uKey; ++c)
    if (g_lpszKeyNames[c] != nullptr) ++nIndex;
  return nIndex;
}

// Counts the named codes upwards; a position past the last is no key.
UINT ListIndexToKey(int nIndex) {
  if (nIndex <= 0) return KEY_NONE;
  for (UINT c = 0; c < 256; ++c)
    if (g_lpszKeyNames[c] != nullptr && --nIndex == 0) return c;
  return KEY_NONE;
}

// From the window system's scan codes to DirectInput key offsets. Under X11
// and Wayland a key event's native scan code is the Linux input code plus 8;
// the input codes 1 to 88 are the PC set-1 scan codes themselves, and the
// rest (arrows, the right-hand modifiers, the editing block, the keypad's
// Enter and divide...) sit elsewhere than DirectInput's extended offsets.

#include "platform/dinput.h"
#include "platform/dinput_hooks.h"

// ---- constants --------------------------------------------------------------

namespace {

// Linux input codes are this much below the X keycodes.
constexpr uint32_t kXKeycodeBase = 8;
// The input codes that equal their set-1 scan codes run up to F12, except
// two that set 1 has no key for (84 is unused, 85 is the Japanese
// half-width key, which set 1 puts elsewhere).
constexpr uint32_t kLastPlainCode = 88;
constexpr uint32_t kNoSet1Code[] = {84, 85};

struct CodePair {
  uint16_t inputCode;  // Linux input code (KEY_*)
  BYTE dik;
};

// The input codes above the plain range that DirectInput has an offset for.
constexpr CodePair kExtendedKeys[] = {
    {89, DIK_ABNT_C1},       // KEY_RO
    {92, DIK_CONVERT},       // KEY_HENKAN
    {93, DIK_KANA},          // KEY_KATAKANAHIRAGANA
    {94, DIK_NOCONVERT},     // KEY_MUHENKAN
    {95, DIK_NUMPADCOMMA},   // KEY_KPJPCOMMA
    {96, DIK_NUMPADENTER},   // KEY_KPENTER
    {97, DIK_RCONTROL},      // KEY_RIGHTCTRL
    {98, DIK_DIVIDE},        // KEY_KPSLASH
    {99, DIK_SYSRQ},         // KEY_SYSRQ (Print Screen)
    {100, DIK_RMENU},        // KEY_RIGHTALT
    {102, DIK_HOME},         // KEY_HOME
    {103, DIK_UP},           // KEY_UP
    {104, DIK_PRIOR},        // KEY_PAGEUP
    {105, DIK_LEFT},         // KEY_LEFT
    {106, DIK_RIGHT},        // KEY_RIGHT
    {107, DIK_END},          // KEY_END
    {108, DIK_DOWN},         // KEY_DOWN
    {109, DIK_NEXT},         // KEY_PAGEDOWN
    {110, DIK_INSERT},       // KEY_INSERT
    {111, DIK_DELETE},       // KEY_DELETE
    {113, DIK_MUTE},         // KEY_MUTE
    {114, DIK_VOLUMEDOWN},   // KEY_VOLUMEDOWN
    {115, DIK_VOLUMEUP},     // KEY_VOLUMEUP
    {116, DIK_POWER},        // KEY_POWER
    {117, DIK_NUMPADEQUALS}, // KEY_KPEQUAL
    {119, DIK_PAUSE},        // KEY_PAUSE
    {121, DIK_ABNT_C2},      // KEY_KPCOMMA (the keypad point of the Brazilian layout)
    {124, DIK_YEN},          // KEY_YEN
    {125, DIK_LWIN},         // KEY_LEFTMETA
    {126, DIK_RWIN},         // KEY_RIGHTMETA
    {127, DIK_APPS},         // KEY_COMPOSE (the Menu key)
    {139, DIK_APPS},         // KEY_MENU
    {140, DIK_CALCULATOR},   // KEY_CALC
    {142, DIK_SLEEP},        // KEY_SLEEP
    {143, DIK_WAKE},         // KEY_WAKEUP
    {164, DIK_PLAYPAUSE},    // KEY_PLAYPAUSE
    {166, DIK_MEDIASTOP},    // KEY_STOPCD
    {172, DIK_WEBHOME},      // KEY_HOMEPAGE
    {183, DIK_F13},          // KEY_F13
    {184, DIK_F14},          // KEY_F14
    {185, DIK_F15},          // KEY_F15
};

}  // namespace

// ---- functions --------------------------------------------------------------

namespace platform {

// Plain codes map straight through; the others by the table.
BYTE KeyOffsetOfScanCode(uint32_t nativeScanCode) {
  if (nativeScanCode <= kXKeycodeBase) return 0;
  const uint32_t inputCode = nativeScanCode - kXKeycodeBase;
  for (uint32_t code : kNoSet1Code)
    if (inputCode == code) return 0;
  if (inputCode <= kLastPlainCode) return static_cast<BYTE>(inputCode);
  for (const CodePair& pair : kExtendedKeys)
    if (pair.inputCode == inputCode) return pair.dik;
  return 0;
}

}  // namespace platform

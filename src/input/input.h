// The keyboard: the DirectInput device read once per frame, key codes, the
// names of the keys, and the conversions between key codes and the positions
// of the key lists in the options dialog.
#pragma once

#include "options/options.h"
#include "platform/dinput.h"
#include "platform/win32.h"

// ---- constants ------------------------------------------------------------

// Events taken from the device in one read.
#define KEY_EVENTS 32
// Events the device keeps between two reads.
#define KEY_BUFFER_SIZE 256

// ---- globals --------------------------------------------------------------

extern LPDIRECTINPUT g_DI;
extern LPDIRECTINPUTDEVICE g_Keyboard;
// One read's worth of key events.
extern DIDEVICEOBJECTDATA g_KeyEvents[KEY_EVENTS];
// The keys down at the last state read, one byte per key code (0x80 down).
extern BYTE g_KeyState[256];

// Our own key names, one or none for each scan code (PC set 1, extended keys
// with 0x80 added), in the style a keyboard driver reports them.
extern const char* const gc_KeyNames[256];
// The name of the key at each code as the keyboard reports it; null where
// there is no key. Filled when the keyboard is set up.
extern const char* g_lpszKeyNames[256];

// ---- functions ------------------------------------------------------------

// Opens the system keyboard for the main window and fills g_lpszKeyNames.
void InitInput(void);
// Lets go of the keyboard and DirectInput.
void ReleaseInput(void);
// Applies the key events since the last frame and the Down key's held state.
void ReadKeyboard(void);
// Drops the key events the keyboard holds, unplayed.
void DiscardKeyEvents(void);

// Key list position of a key code: 0 for KEY_NONE, else the number of named
// codes from 0 up to and including it.
int KeyToListIndex(UINT uKey);
// Key code at a key list position: KEY_NONE for 0, else the index-th named code.
UINT ListIndexToKey(int nIndex);

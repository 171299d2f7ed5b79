// The keyboard: key codes, the names of the keys, and the conversions between
// key codes and the positions of the key lists in the options dialog.
#pragma once

#include "options/options.h"
#include "platform/win32.h"

// ---- globals --------------------------------------------------------------

// Our own key names, one or none for each scan code (PC set 1, extended keys
// with 0x80 added), in the style a keyboard driver reports them.
extern const char* const gc_KeyNames[256];
// The name of the key at each code as the keyboard reports it; null where
// there is no key. Filled when the keyboard is set up.
extern const char* g_lpszKeyNames[256];

// ---- functions ------------------------------------------------------------

// Key list position of a key code: 0 for KEY_NONE, else the number of named
// codes from 0 up to and including it.
int KeyToListIndex(UINT uKey);
// Key code at a key list position: KEY_NONE for 0, else the index-th named code.
UINT ListIndexToKey(int nIndex);

// ---- PENDING MERGE: the keyboard's lifetime -------------------------------
// Declared here for the view window until the keyboard reader lands on its
// own branch (which defines them); input_pending.cpp stands in meanwhile.

// Creates the keyboard device (with the view window).
void InitInput(void);
// Releases the keyboard device (with the view window).
void ReleaseInput(void);

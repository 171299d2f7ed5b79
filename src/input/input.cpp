// The keyboard reader: opens the system keyboard through DirectInput in
// buffered mode when the view window is made, and once per frame of a
// running game turns the key events since the last frame into moves of the
// falling block and the held state of the Down key.
//
// The device is set to the foreground level: it hears the keyboard only
// while the main window is in front. When the window loses the foreground
// the device is lost; the next read takes it back (dropping what happened
// meanwhile), and a frame in which that cannot be done simply has no keys.

#include "input/input.h"

#include <cstdlib>
#include <cstring>

#include "main/fatal.h"
#include "main/main.h"
#include "rules/rules.h"
#include "window/window.h"

// ---- globals --------------------------------------------------------------

LPDIRECTINPUT g_DI = NULL;
LPDIRECTINPUTDEVICE g_Keyboard = NULL;
DIDEVICEOBJECTDATA g_KeyEvents[KEY_EVENTS];
BYTE g_KeyState[256];

// Which names in g_lpszKeyNames are our own heap copies, so that a second
// set-up replaces only what it made.
static BOOL s_bKeyNameOwned[256];

// ---- functions: set-up and release ------------------------------------------

// Keeps the device's name for a key code; an unchanged name keeps its copy.
static void KeepKeyName(int nCode, const char* lpszName) {
  if (lpszName != NULL && g_lpszKeyNames[nCode] != NULL && strcmp(g_lpszKeyNames[nCode], lpszName) == 0)
    return;
  if (s_bKeyNameOwned[nCode]) free((void*)g_lpszKeyNames[nCode]);
  g_lpszKeyNames[nCode] = NULL;
  s_bKeyNameOwned[nCode] = FALSE;
  if (lpszName == NULL) return;

  size_t cbName = strlen(lpszName) + 1;
  char* lpszCopy = (char*)malloc(cbName);
  if (lpszCopy == NULL) Fatal("Error: out of memory in function InitInput();");
  memcpy(lpszCopy, lpszName, cbName);
  g_lpszKeyNames[nCode] = lpszCopy;
  s_bKeyNameOwned[nCode] = TRUE;
}

// The device is not acquired here: the first read finds it so and takes it.
void InitInput(void) {
  CHECK_DI(DirectInputCreate(g_hInstance, DIRECTINPUT_VERSION, &g_DI, NULL));

  CHECK_DI(IDirectInput_CreateDevice(g_DI, &GUID_SysKeyboard, &g_Keyboard, NULL));

  // Foreground: keys only while the main window is in front. Non-exclusive:
  // the menu accelerators and other programs still get the keyboard.
  CHECK_DI(IDirectInputDevice_SetCooperativeLevel(g_Keyboard, g_hwndMain, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE));

  CHECK_DI(IDirectInputDevice_SetDataFormat(g_Keyboard, &c_dfDIKeyboard));

  // The key lists of the options dialog show the names the keyboard itself
  // gives its keys; a code with no key there is left out of the lists.
  for (int nCode = 0; nCode < 256; nCode++) {
    DIDEVICEOBJECTINSTANCE didoi;
    memset(&didoi, 0, sizeof(didoi));
    didoi.dwSize = sizeof(didoi);
    g_hr = IDirectInputDevice_GetObjectInfo(g_Keyboard, &didoi, nCode, DIPH_BYOFFSET);
    if (SUCCEEDED(g_hr)) {
      didoi.tszName[sizeof(didoi.tszName) - 1] = '\0';
      KeepKeyName(nCode, didoi.tszName);
    } else if (g_hr == DIERR_OBJECTNOTFOUND) {
      KeepKeyName(nCode, NULL);
    } else {
      FatalDI("Unable to enumerate the system keyboard.");
    }
  }

  DIPROPDWORD prop;
  prop.diph.dwSize = sizeof(DIPROPDWORD);
  prop.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  prop.diph.dwObj = 0;
  prop.diph.dwHow = DIPH_DEVICE;
  prop.dwData = KEY_BUFFER_SIZE;
  CHECK_DI(IDirectInputDevice_SetProperty(g_Keyboard, DIPROP_BUFFERSIZE, &prop.diph));
}

// Keyboard first, then DirectInput; each reference is cleared once let go.
void ReleaseInput(void) {
  if (g_Keyboard != NULL) {
    IDirectInputDevice_Unacquire(g_Keyboard);
    IDirectInputDevice_Release(g_Keyboard);
    g_Keyboard = NULL;
  }
  if (g_DI != NULL) {
    IDirectInput_Release(g_DI);
    g_DI = NULL;
  }
}

// ---- functions: reading -----------------------------------------------------

// Takes the lost keyboard back and drops the events of the time it was gone.
// A second loss within one read cannot be worked round. Answers FALSE when
// the keyboard cannot be had this frame (the window is not in front).
static BOOL Reacquire(BOOL* pbReacquired) {
  if (*pbReacquired) FatalDI("Continuously unable to read keyboard data.");
  if (FAILED(IDirectInputDevice_Acquire(g_Keyboard))) return FALSE;
  *pbReacquired = TRUE;
  DWORD dwItems = KEY_EVENTS;
  IDirectInputDevice_GetDeviceData(g_Keyboard, sizeof(DIDEVICEOBJECTDATA), NULL, &dwItems, 0);
  return TRUE;
}

// True for the two results that mean the keyboard has to be taken back.
static BOOL IsKeyboardLost(HRESULT hr) { return hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED; }

// A key going down makes the first move bound to it; Down is a held key
// besides, whatever else it is bound to.
static void ApplyKeyEvent(const DIDEVICEOBJECTDATA* pEvent) {
  const UINT uKey = pEvent->dwOfs;
  const BOOL bDown = (pEvent->dwData & 0x80) != 0;
  if (bDown) {
    if (uKey == g_uKeyLeft)
      MoveBlock(-1);
    else if (uKey == g_uKeyRotate)
      MoveBlock(0);
    else if (uKey == g_uKeyRight)
      MoveBlock(+1);
    else if (uKey == g_uKeyDrop)
      DropBlock();
  }
  if (uKey == g_uKeyDown) g_bDownHeld = bDown;
}

// Between two games nothing reads the keyboard, so it keeps the keys of that
// time (pressed at the final well, say) for the next read. A keyboard that
// is lost or not yet taken holds nothing that would be played: the read
// after this takes it back and drops what it had.
void DiscardKeyEvents(void) {
  if (g_Keyboard == NULL) return;
  DWORD dwItems = KEY_BUFFER_SIZE;
  IDirectInputDevice_GetDeviceData(g_Keyboard, sizeof(DIDEVICEOBJECTDATA), NULL, &dwItems, 0);
}

// Every event since the last frame is applied, in order, 32 at a time; then
// the state of the Down key is read, so that a release the buffer never
// delivered (while the window was behind another) does not leave the block
// dropping fast.
void ReadKeyboard(void) {
  BOOL bReacquired = FALSE;

  // No keyboard (the view window is gone): no keys.
  if (g_Keyboard == NULL) return;

  for (;;) {
    DWORD dwItems = KEY_EVENTS;
    g_hr = IDirectInputDevice_GetDeviceData(g_Keyboard, sizeof(DIDEVICEOBJECTDATA), g_KeyEvents, &dwItems, 0);
    if (IsKeyboardLost(g_hr)) {
      if (!Reacquire(&bReacquired)) return;
      break;
    }
    if (FAILED(g_hr)) FatalDI("Unable to read keyboard data.");
    if (dwItems == 0) break;
    // The device never hands out more than asked; the count is kept to the
    // array all the same.
    if (dwItems > KEY_EVENTS) dwItems = KEY_EVENTS;
    for (DWORD i = 0; i < dwItems; i++) ApplyKeyEvent(&g_KeyEvents[i]);
  }

  if (g_uKeyDown == KEY_NONE) return;

  // A state that could not be read says nothing about the Down key now: the
  // previous one is kept and not judged by.
  g_hr = IDirectInputDevice_GetDeviceState(g_Keyboard, sizeof(g_KeyState), g_KeyState);
  if (IsKeyboardLost(g_hr)) {
    Reacquire(&bReacquired);
    return;
  }
  if (FAILED(g_hr)) FatalDI("Unable to read keyboard data.");

  // A code beyond the state table is never seen down.
  if (g_bDownHeld && (g_uKeyDown > 255 || g_KeyState[g_uKeyDown] == 0)) g_bDownHeld = 0;
}

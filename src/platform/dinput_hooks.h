// The keyboard layer's link to Qt's key events and its test hooks. Injected
// failures and call counts of the DirectInput calls go through the common
// hooks of dx_hooks.h under the call macro names ("DirectInputCreate",
// "IDirectInput_CreateDevice", "IDirectInputDevice_GetDeviceData", ...).
#pragma once

#include <cstdint>

#include "platform/win_types.h"

class QKeyEvent;

// ---- scan codes -----------------------------------------------------------------

namespace platform {
// The DirectInput key offset of a key event's native scan code (the X
// keycode: the Linux input code plus 8), or 0 for a key DirectInput has no
// offset for.
BYTE KeyOffsetOfScanCode(uint32_t nativeScanCode);

// Whether a key press repeats a key that is already down rather than
// pressing it anew. The window layer asks this of a press being delivered,
// after the keyboard layer has seen it.
bool IsRepeatedKeyPress(const QKeyEvent* event);
}  // namespace platform

// ---- test hooks -----------------------------------------------------------------

namespace platform_test {
// A key going down or up, as if it came from the window system: every
// keyboard device sees it, under the same rules as a real key event.
void InjectKey(BYTE dik, bool bDown);

// Which window is in the foreground for the keyboard devices: whatever Qt
// says is the active window (the default), or forced either way.
enum class KeyboardForeground { FollowActiveWindow, Always, Never };
void SetKeyboardForeground(KeyboardForeground mode);

// Number of keyboard devices that exist, and whether the application-wide
// key event filter is installed.
int LiveKeyboardCount();
bool KeyFilterInstalled();

// Puts the keyboard hooks back to their defaults.
void ResetDIHooks();
}  // namespace platform_test

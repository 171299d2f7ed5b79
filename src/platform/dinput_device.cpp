// The DirectInput object and the system keyboard device on Qt's key events.
// An application-wide event filter, installed while a keyboard device
// exists, turns each physical key press and release into an event for every
// device. A device set to the foreground level buffers events only while its
// window is Qt's active window and no popup menu is open; when the window
// loses the foreground an acquired device is lost, and what happened
// meanwhile is not delivered.

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <new>
#include <vector>

#include "input/input.h"
#include "platform/dinput.h"
#include "platform/dinput_hooks.h"
#include "platform/dx_internal.h"
#include "platform/qt_app.h"
#include "platform/win_time.h"
#include "platform/win_window.h"

// ---- identifiers and formats --------------------------------------------------

const GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_Key = {0x55728220, 0xD33C, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

// One optional push button per offset, its state in the byte at the offset.
DIOBJECTDATAFORMAT* KeyboardObjects() {
  static DIOBJECTDATAFORMAT objects[256];
  for (DWORD i = 0; i < 256; ++i)
    objects[i] = {&GUID_Key, i, DIDFT_BUTTON | DIDFT_OPTIONAL | DIDFT_MAKEINSTANCE(i), 0};
  return objects;
}

}  // namespace

const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 256,
                                     KeyboardObjects()};

// ---- types ----------------------------------------------------------------

namespace {

using dx::Face;
using dx::OwnerOf;

// The size of the object record before DirectX 5 added its last fields.
constexpr DWORD kOldObjectInstanceSize = offsetof(DIDEVICEOBJECTINSTANCEA, dwFFMaxForce);
static_assert(sizeof(DIDEVICEOBJECTINSTANCEA) == 316, "the DirectX 5 object record");
static_assert(kOldObjectInstanceSize == 292, "the DirectX 3 object record");
static_assert(sizeof(DIDEVICEOBJECTDATA) == 16, "one buffered event");
static_assert(sizeof(DIPROPHEADER) == 16 && sizeof(DIPROPDWORD) == 20, "the property records");

struct DirectInputObj : dx::Object {
  Face<IDirectInputA, DirectInputObj> face;
  DirectInputObj();
  IDirectInputA* Iface() { return &face.iface; }
};

enum class Acquisition { Unacquired, Acquired, Lost };

// The system keyboard: its settings, its event buffer and the keys it
// knows to be down.
struct KeyboardObj : dx::Object {
  Face<IDirectInputDeviceA, KeyboardObj> face;
  DirectInputObj* parent;  // holds a reference
  HWND hwnd = nullptr;
  bool bForegroundLevel = false;
  bool bFormatSet = false;
  DWORD dwBufferSize = 0;
  Acquisition state = Acquisition::Unacquired;
  std::deque<DIDEVICEOBJECTDATA> events;
  bool bOverflow = false;
  BYTE held[256] = {};

  explicit KeyboardObj(DirectInputObj* owner);
  ~KeyboardObj() override;
  IDirectInputDeviceA* Iface() { return &face.iface; }
  bool InForeground() const;
  bool Check();
  void Take(BYTE dik, bool bDown, DWORD dwTime, DWORD dwSequence);
};

// Sees every key event and activation change of the application.
class KeyEventFilter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// The last key event taken, to know the same event when it comes again.
struct TakenKey {
  bool valid = false;
  bool bDown = false;
  uint32_t scanCode = 0;
  uint64_t timestamp = 0;
};

struct KeyboardLayer {
  std::vector<KeyboardObj*> devices;
  KeyEventFilter* filter = nullptr;
  TakenKey lastTaken;
  DWORD dwSequence = 0;
  platform_test::KeyboardForeground foreground = platform_test::KeyboardForeground::FollowActiveWindow;
};

// ---- globals --------------------------------------------------------------

// The one keyboard layer of the program.
KeyboardLayer& Layer() {
  static KeyboardLayer layer;
  return layer;
}

// ---- functions: devices and events -------------------------------------------

// Hands one key event to every device.
void Deliver(BYTE dik, bool bDown) {
  KeyboardLayer& layer = Layer();
  const DWORD dwTime = GetTickCount();
  const DWORD dwSequence = ++layer.dwSequence;
  for (KeyboardObj* device : layer.devices) device->Take(dik, bDown, dwTime, dwSequence);
}

// Lets every device notice a change of the foreground window at once.
void CheckAll() {
  for (KeyboardObj* device : Layer().devices) device->Check();
}

// A key event is taken once, however many objects it is delivered to: the
// window, the focus widget, each parent it propagates to, and as the
// shortcut check before the press itself. Auto-repeats are no new presses.
void TakeKeyEvent(const QKeyEvent* event, bool bDown) {
  if (event->isAutoRepeat()) return;
  const BYTE dik = platform::KeyOffsetOfScanCode(event->nativeScanCode());
  if (dik == 0) return;
  TakenKey& last = Layer().lastTaken;
  const TakenKey key = {true, bDown, event->nativeScanCode(), event->timestamp()};
  if (last.valid && last.bDown == key.bDown && last.scanCode == key.scanCode && last.timestamp == key.timestamp)
    return;
  last = key;
  Deliver(dik, bDown);
}

// Key events become device events; activation changes may lose devices.
bool KeyEventFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
      TakeKeyEvent(static_cast<const QKeyEvent*>(event), true);
      break;
    case QEvent::KeyRelease:
      TakeKeyEvent(static_cast<const QKeyEvent*>(event), false);
      break;
    case QEvent::WindowDeactivate:
    case QEvent::ApplicationDeactivate:
    case QEvent::ActivationChange:
      CheckAll();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

// The DirectInput object counts as one more object of the layer.
DirectInputObj::DirectInputObj() : face{{nullptr}, this} {}

// A new device joins the layer; the first one installs the key filter.
KeyboardObj::KeyboardObj(DirectInputObj* owner) : face{{nullptr}, this}, parent(owner) {
  parent->AddRef();
  KeyboardLayer& layer = Layer();
  layer.devices.push_back(this);
  if (layer.filter == nullptr) {
    platform::EnsureApplication();
    layer.filter = new KeyEventFilter;
    QCoreApplication::instance()->installEventFilter(layer.filter);
  }
}

// The last device to go takes the key filter with it.
KeyboardObj::~KeyboardObj() {
  KeyboardLayer& layer = Layer();
  layer.devices.erase(std::remove(layer.devices.begin(), layer.devices.end(), this), layer.devices.end());
  if (layer.devices.empty() && layer.filter != nullptr) {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeEventFilter(layer.filter);
    delete layer.filter;
    layer.filter = nullptr;
    layer.lastTaken = {};
  }
  parent->Release();
}

// A background device always hears the keyboard; a foreground one only
// while the top-level window of its window is the active one and no popup
// menu is open.
bool KeyboardObj::InForeground() const {
  if (!bForegroundLevel) return true;
  switch (Layer().foreground) {
    case platform_test::KeyboardForeground::Always:
      return true;
    case platform_test::KeyboardForeground::Never:
      return false;
    case platform_test::KeyboardForeground::FollowActiveWindow:
      break;
  }
  // An open popup menu takes the keys without taking the active window: the
  // keys that choose from it are the menu's, not the game's, and must not
  // be played once it closes.
  if (QApplication::activePopupWidget() != nullptr) return false;
  QWidget* widget = platform::WidgetOf(hwnd);
  return widget != nullptr && QApplication::activeWindow() == widget->window();
}

// Out of the foreground no key is known to be down, and an acquired device
// is lost together with what it had buffered.
bool KeyboardObj::Check() {
  if (InForeground()) return true;
  std::memset(held, 0, sizeof(held));
  if (state == Acquisition::Acquired) {
    state = Acquisition::Lost;
    events.clear();
    bOverflow = false;
  }
  return false;
}

// Records one key event; a full buffer drops the newest.
void KeyboardObj::Take(BYTE dik, bool bDown, DWORD dwTime, DWORD dwSequence) {
  if (!Check()) return;
  held[dik] = bDown ? 0x80 : 0;
  if (state != Acquisition::Acquired) return;
  if (events.size() >= dwBufferSize) {
    bOverflow = true;
    return;
  }
  events.push_back({dik, bDown ? 0x80u : 0u, dwTime, dwSequence});
}

// ---- functions: IDirectInputDevice --------------------------------------------

// Adds a reference to the device.
ULONG Dev_AddRef(IDirectInputDeviceA* This) {
  DX_COUNT("IDirectInputDevice_AddRef");
  return OwnerOf<KeyboardObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the device.
ULONG Dev_Release(IDirectInputDeviceA* This) {
  DX_COUNT("IDirectInputDevice_Release");
  return OwnerOf<KeyboardObj>(This)->Release();
}

// Only the buffer size is a property here, for the whole device.
HRESULT Dev_SetProperty(IDirectInputDeviceA* This, const GUID* rguidProp, LPCDIPROPHEADER pdiph) {
  DX_ENTER("IDirectInputDevice_SetProperty");
  KeyboardObj* kb = OwnerOf<KeyboardObj>(This);
  if (pdiph == nullptr || pdiph->dwHeaderSize != sizeof(DIPROPHEADER)) return DIERR_INVALIDPARAM;
  if (rguidProp != DIPROP_BUFFERSIZE) return DIERR_UNSUPPORTED;
  if (pdiph->dwSize != sizeof(DIPROPDWORD) || pdiph->dwHow != DIPH_DEVICE || pdiph->dwObj != 0)
    return DIERR_INVALIDPARAM;
  if (kb->state == Acquisition::Acquired) return DIERR_ACQUIRED;
  kb->dwBufferSize = reinterpret_cast<const DIPROPDWORD*>(pdiph)->dwData;
  return DI_OK;
}

// Starts delivering events, from an empty buffer; only in the foreground.
HRESULT Dev_Acquire(IDirectInputDeviceA* This) {
  DX_ENTER("IDirectInputDevice_Acquire");
  KeyboardObj* kb = OwnerOf<KeyboardObj>(This);
  if (!kb->bFormatSet) return DIERR_INVALIDPARAM;
  if (!kb->Check()) return DIERR_OTHERAPPHASPRIO;
  if (kb->state == Acquisition::Acquired) return DI_NOEFFECT;
  kb->state = Acquisition::Acquired;
  kb->events.clear();
  kb->bOverflow = false;
  return DI_OK;
}

// Stops delivering events and forgets the buffered ones.
HRESULT Dev_Unacquire(IDirectInputDeviceA* This) {
  DX_ENTER("IDirectInputDevice_Unacquire");
  KeyboardObj* kb = OwnerOf<KeyboardObj>(This);
  if (kb->state == Acquisition::Unacquired) return DI_NOEFFECT;
  kb->state = Acquisition::Unacquired;
  kb->events.clear();
  kb->bOverflow = false;
  return DI_OK;
}

// Why an unacquired or lost device cannot be read, or DI_OK.
HRESULT ReadableState(KeyboardObj* kb) {
  kb->Check();
  if (kb->state == Acquisition::Lost) return DIERR_INPUTLOST;
  if (kb->state == Acquisition::Unacquired) return DIERR_NOTACQUIRED;
  return DI_OK;
}

// The keys down now, one byte per offset (0x80 down).
HRESULT Dev_GetDeviceState(IDirectInputDeviceA* This, DWORD cbData, LPVOID lpvData) {
  DX_ENTER("IDirectInputDevice_GetDeviceState");
  KeyboardObj* kb = OwnerOf<KeyboardObj>(This);
  if (lpvData == nullptr || cbData != sizeof(kb->held)) return DIERR_INVALIDPARAM;
  if (HRESULT hr = ReadableState(kb); FAILED(hr)) return hr;
  std::memcpy(lpvData, kb->held, sizeof(kb->held));
  return DI_OK;
}

// Hands out up to *pdwInOut buffered events, oldest first, and removes them
// unless peeking; with no record array they are only removed (or counted).
HRESULT Dev_GetDeviceData(IDirectInputDeviceA* This, DWORD cbObjectData, LPDIDEVICEOBJECTDATA rgdod,
                          LPDWORD pdwInOut, DWORD dwFlags) {
  DX_ENTER("IDirectInputDevice_GetDeviceData");
  KeyboardObj* kb = OwnerOf<KeyboardObj>(This);
  if (pdwInOut == nullptr || cbObjectData != sizeof(DIDEVICEOBJECTDATA) || (dwFlags & ~DIGDD_PEEK) != 0)
    return DIERR_INVALIDPARAM;
  const DWORD dwWanted = *pdwInOut;
  *pdwInOut = 0;
  if (HRESULT hr = ReadableState(kb); FAILED(hr)) return hr;
  if (kb->dwBufferSize == 0) return DIERR_NOTBUFFERED;
  const DWORD n = static_cast<DWORD>(std::min<size_t>(dwWanted, kb->events.size()));
  if (rgdod != nullptr) std::copy_n(kb->events.begin(), n, rgdod);
  const HRESULT hr = kb->bOverflow ? DI_BUFFEROVERFLOW : DI_OK;
  if ((dwFlags & DIGDD_PEEK) == 0) {
    kb->events.erase(kb->events.begin(), kb->events.begin() + n);
    kb->bOverflow = false;
  }
  *pdwInOut = n;
  return hr;
}

// The keyboard speaks only the standard keyboard format.
HRESULT Dev_SetDataFormat(IDirectInputDeviceA* This, LPCDIDATAFORMAT lpdf) {
  DX_ENTER("IDirectInputDevice_SetDataFormat");
  KeyboardObj* kb = OwnerOf<KeyboardObj>(This);
  if (kb->state == Acquisition::Acquired) return DIERR_ACQUIRED;
  if (lpdf != &c_dfDIKeyboard) return DIERR_INVALIDPARAM;
  kb->bFormatSet = true;
  return DI_OK;
}

// Foreground or background, exclusive or not (the same here: the keyboard
// is never taken from the rest of the desktop).
HRESULT Dev_SetCooperativeLevel(IDirectInputDeviceA* This, HWND hwnd, DWORD dwFlags) {
  DX_ENTER("IDirectInputDevice_SetCooperativeLevel");
  KeyboardObj* kb = OwnerOf<KeyboardObj>(This);
  const DWORD dwShare = dwFlags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
  const DWORD dwPlace = dwFlags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
  if ((dwFlags & ~0xFu) != 0 || dwShare == (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE) || dwShare == 0 ||
      dwPlace == (DISCL_FOREGROUND | DISCL_BACKGROUND) || dwPlace == 0)
    return DIERR_INVALIDPARAM;
  if (dwPlace == DISCL_FOREGROUND && !IsWindow(hwnd)) return DIERR_INVALIDPARAM;
  if (kb->state == Acquisition::Acquired) return DIERR_ACQUIRED;
  kb->hwnd = hwnd;
  kb->bForegroundLevel = dwPlace == DISCL_FOREGROUND;
  return DI_OK;
}

// Describes the key at an offset of the data format, named from our own
// key-name table; an offset without a key is not found.
HRESULT Dev_GetObjectInfo(IDirectInputDeviceA* This, LPDIDEVICEOBJECTINSTANCEA pdidoi, DWORD dwObj, DWORD dwHow) {
  DX_ENTER("IDirectInputDevice_GetObjectInfo");
  KeyboardObj* kb = OwnerOf<KeyboardObj>(This);
  if (pdidoi == nullptr || (pdidoi->dwSize != sizeof(DIDEVICEOBJECTINSTANCEA) && pdidoi->dwSize != kOldObjectInstanceSize))
    return DIERR_INVALIDPARAM;
  if (dwHow != DIPH_BYOFFSET || !kb->bFormatSet) return DIERR_INVALIDPARAM;
  if (dwObj > 255 || gc_KeyNames[dwObj] == nullptr) return DIERR_OBJECTNOTFOUND;
  const DWORD dwSize = pdidoi->dwSize;
  std::memset(reinterpret_cast<BYTE*>(pdidoi) + sizeof(DWORD), 0, dwSize - sizeof(DWORD));
  pdidoi->guidType = GUID_Key;
  pdidoi->dwOfs = dwObj;
  pdidoi->dwType = DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(dwObj);
  std::snprintf(pdidoi->tszName, sizeof(pdidoi->tszName), "%s", gc_KeyNames[dwObj]);
  return DI_OK;
}

const IDirectInputDeviceAVtbl kDeviceVtbl = {Dev_AddRef,         Dev_Release,         Dev_SetProperty,
                                             Dev_Acquire,        Dev_Unacquire,       Dev_GetDeviceState,
                                             Dev_GetDeviceData,  Dev_SetDataFormat,   Dev_SetCooperativeLevel,
                                             Dev_GetObjectInfo};

// ---- functions: IDirectInput ----------------------------------------------------

// Adds a reference to the object.
ULONG DI_AddRef(IDirectInputA* This) {
  DX_COUNT("IDirectInput_AddRef");
  return OwnerOf<DirectInputObj>(This)->AddRef();
}
// Drops a reference; the last one (devices hold one each) deletes it.
ULONG DI_Release(IDirectInputA* This) {
  DX_COUNT("IDirectInput_Release");
  return OwnerOf<DirectInputObj>(This)->Release();
}

// Makes the system keyboard; there is no other device here.
HRESULT DI_CreateDevice(IDirectInputA* This, const GUID* rguid, LPDIRECTINPUTDEVICEA* lplpDirectInputDevice,
                        LPUNKNOWN pUnkOuter) {
  if (lplpDirectInputDevice == nullptr) return DIERR_INVALIDPARAM;
  *lplpDirectInputDevice = nullptr;
  DX_ENTER("IDirectInput_CreateDevice");
  if (pUnkOuter != nullptr) return DIERR_NOAGGREGATION;
  if (rguid == nullptr || !IsEqualGUID(*rguid, GUID_SysKeyboard)) return DIERR_DEVICENOTREG;
  KeyboardObj* kb = new (std::nothrow) KeyboardObj(OwnerOf<DirectInputObj>(This));
  if (kb == nullptr) return DIERR_OUTOFMEMORY;
  kb->face.iface.lpVtbl = &kDeviceVtbl;
  *lplpDirectInputDevice = kb->Iface();
  return DI_OK;
}

const IDirectInputAVtbl kDirectInputVtbl = {DI_AddRef, DI_Release, DI_CreateDevice};

}  // namespace

// ---- functions: creation and hooks -----------------------------------------------

// Makes the DirectInput object for the versions whose interfaces we provide.
HRESULT DirectInputCreateA(HINSTANCE, DWORD dwVersion, LPDIRECTINPUTA* lplpDirectInput, LPUNKNOWN punkOuter) {
  if (lplpDirectInput == nullptr) return DIERR_INVALIDPARAM;
  *lplpDirectInput = nullptr;
  DX_ENTER("DirectInputCreate");
  if (punkOuter != nullptr) return DIERR_NOAGGREGATION;
  if (dwVersion < 0x0300) return DIERR_BETADIRECTINPUTVERSION;
  if (dwVersion > DIRECTINPUT_VERSION) return DIERR_OLDDIRECTINPUTVERSION;
  DirectInputObj* di = new (std::nothrow) DirectInputObj;
  if (di == nullptr) return DIERR_OUTOFMEMORY;
  di->face.iface.lpVtbl = &kDirectInputVtbl;
  *lplpDirectInput = di->Iface();
  return DI_OK;
}

namespace platform_test {

// A key event as the window system would bring it.
void InjectKey(BYTE dik, bool bDown) { Deliver(dik, bDown); }

// Forces the foreground either way, or hands it back to Qt; devices notice
// a loss at once.
void SetKeyboardForeground(KeyboardForeground mode) {
  Layer().foreground = mode;
  CheckAll();
}

// Keyboard devices alive.
int LiveKeyboardCount() { return static_cast<int>(Layer().devices.size()); }

// Whether the key filter is in place.
bool KeyFilterInstalled() { return Layer().filter != nullptr; }

// The foreground follows Qt again and the next event is new.
void ResetDIHooks() {
  Layer().foreground = KeyboardForeground::FollowActiveWindow;
  Layer().lastTaken = {};
}

}  // namespace platform_test

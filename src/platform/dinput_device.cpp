// The DirectInput object and the system keyboard device on Qt's key events.
// An application-wide event filter, installed while a keyboard device
// exists, turns each physical key press and release into an event for every
// device. A device set to the foreground level buffers events only while its
// window is Qt's active window and no popup menu is open; when the window
// loses the foreground an acquired device is lost, and what happened
// meanwhile is not delivered.
//
// A held key goes down once and up once. The window system repeats it: X
// sends a release and a press with the same time stamp for each repeat, and
// Qt marks such a pair as a repeat only when the press had already arrived
// as it read the release, which on a busy machine it often had not. So a
// release is held back until the next key event or a read of a device shows
// whether its press follows, and a press of a key that is already down is
// no new press, whatever Qt says. Repeats of a key that went down in another
// window (a dialog that opened while it was held) do not reach that window.

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>

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
  DWORD dwAcquiredAfter = 0;  // the last event sequence before the acquire
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

// The last key event taken, to know the same event when it comes again,
// and whether it was a repeat.
struct TakenKey {
  bool valid = false;
  bool bDown = false;
  uint32_t scanCode = 0;
  uint64_t timestamp = 0;
  bool bRepeat = false;
};

// A key known to be down, and the window it went down in (null: not one of
// ours, or not known).
struct DownKey {
  uint32_t scanCode = 0;
  QPointer<QWindow> window;
};

// A release not yet handed to the devices. Its time and sequence are those
// of the moment it was taken, so that a device acquired since then does not
// buffer it.
struct HeldRelease {
  bool valid = false;
  uint32_t scanCode = 0;
  uint64_t timestamp = 0;  // the window system's, in milliseconds
  DWORD dwTime = 0;
  DWORD dwSequence = 0;
};

// The last release handed out, to know its press should it come late.
struct GivenRelease {
  bool valid = false;
  uint32_t scanCode = 0;
  uint64_t timestamp = 0;
  QPointer<QWindow> window;
};

struct KeyboardLayer {
  std::vector<KeyboardObj*> devices;
  KeyEventFilter* filter = nullptr;
  TakenKey lastTaken;
  std::vector<DownKey> down;
  HeldRelease held;
  GivenRelease given;
  DWORD dwSequence = 0;
  platform_test::KeyboardForeground foreground = platform_test::KeyboardForeground::FollowActiveWindow;
};

// How long a read leaves a release waiting for the press of its repeat: the
// pair comes together, but a busy machine can keep them apart for some
// milliseconds. A released Down key thus ends its fall a frame or two late.
constexpr DWORD kReleaseWaitMs = 30;

// ---- globals --------------------------------------------------------------

// The one keyboard layer of the program.
KeyboardLayer& Layer() {
  static KeyboardLayer layer;
  return layer;
}

// ---- functions: devices and events -------------------------------------------

// Hands one key event to every device.
void DeliverAs(BYTE dik, bool bDown, DWORD dwTime, DWORD dwSequence) {
  for (KeyboardObj* device : Layer().devices) device->Take(dik, bDown, dwTime, dwSequence);
}

// Hands one key event, happening now, to every device.
void Deliver(BYTE dik, bool bDown) {
  const DWORD dwTime = GetTickCount();
  DeliverAs(dik, bDown, dwTime, ++Layer().dwSequence);
}

// Lets every device notice a change of the foreground window at once.
void CheckAll() {
  for (KeyboardObj* device : Layer().devices) device->Check();
}

// The top-level window an event was sent to, or null.
QWindow* WindowOf(QObject* receiver) {
  if (auto* widget = qobject_cast<QWidget*>(receiver)) return widget->window()->windowHandle();
  return qobject_cast<QWindow*>(receiver);
}

// The record of a key that is down, or null.
DownKey* FindDown(uint32_t scanCode) {
  for (DownKey& key : Layer().down)
    if (key.scanCode == scanCode) return &key;
  return nullptr;
}

// The key is up: the devices hear it with the time it happened.
void GiveRelease(uint32_t scanCode, uint64_t timestamp, DWORD dwTime, DWORD dwSequence) {
  KeyboardLayer& layer = Layer();
  DownKey* key = FindDown(scanCode);
  layer.given = {true, scanCode, timestamp, key != nullptr ? key->window : nullptr};
  if (key != nullptr) layer.down.erase(layer.down.begin() + (key - layer.down.data()));
  if (const BYTE dik = platform::KeyOffsetOfScanCode(scanCode)) DeliverAs(dik, false, dwTime, dwSequence);
}

// No press followed the held release at once: it was a real one.
void GiveHeldRelease() {
  HeldRelease& held = Layer().held;
  if (!held.valid) return;
  const HeldRelease release = held;
  held = {};
  GiveRelease(release.scanCode, release.timestamp, release.dwTime, release.dwSequence);
}

// A read settles a release that has waited long enough for its press.
void SettleHeldRelease() {
  const HeldRelease& held = Layer().held;
  if (held.valid && GetTickCount() - held.dwTime >= kReleaseWaitMs) GiveHeldRelease();
}

// Nothing is known of the keys once the application is in the background:
// they may go up where we cannot see it.
void ForgetKeys() {
  GiveHeldRelease();
  Layer().down.clear();
}

// A press: new, or the repeat of a key that is down. Answers true for a
// repeat.
bool TakePress(uint32_t scanCode, uint64_t timestamp, bool bFlagged, QWindow* window) {
  KeyboardLayer& layer = Layer();
  if (layer.held.valid) {
    if (timestamp != 0 && layer.held.scanCode == scanCode && layer.held.timestamp == timestamp) {
      // Its release and this press are one repeat: the key stayed down.
      layer.held = {};
      if (FindDown(scanCode) == nullptr) layer.down.push_back({scanCode, nullptr});
      return true;
    }
    GiveHeldRelease();
  }
  if (FindDown(scanCode) != nullptr) return true;
  const GivenRelease& given = layer.given;
  if (given.valid && timestamp != 0 && given.scanCode == scanCode && given.timestamp == timestamp) {
    // The press of a repeat whose release a read gave out before it came:
    // the key is down again, but the devices have heard the last of it.
    layer.down.push_back({scanCode, given.window});
    return true;
  }
  if (bFlagged) {
    // Held since before we could see it go down.
    layer.down.push_back({scanCode, nullptr});
    return true;
  }
  layer.down.push_back({scanCode, window});
  if (const BYTE dik = platform::KeyOffsetOfScanCode(scanCode)) Deliver(dik, true);
  return false;
}

// A release: held back until it is known not to be half of a repeat; one
// Qt already knows for half of a repeat is nothing. An event without a time
// stamp cannot be paired and is taken at once.
void TakeRelease(uint32_t scanCode, uint64_t timestamp, bool bFlagged) {
  KeyboardLayer& layer = Layer();
  GiveHeldRelease();
  if (bFlagged) return;
  const DWORD dwTime = GetTickCount();
  const DWORD dwSequence = ++layer.dwSequence;
  if (timestamp == 0) {
    GiveRelease(scanCode, timestamp, dwTime, dwSequence);
    return;
  }
  // A device that is not in the foreground now would not have heard it.
  CheckAll();
  layer.held = {true, scanCode, timestamp, dwTime, dwSequence};
}

// A key event is taken once, however many objects it is delivered to: the
// window, the focus widget, each parent it propagates to, and as the
// shortcut check before the press itself. Answers whether the receiver is
// to be kept from it: the repeats of a key that went down elsewhere.
bool TakeKeyEvent(QObject* receiver, const QKeyEvent* event, bool bDown) {
  const uint32_t scanCode = event->nativeScanCode();
  if (scanCode == 0) return false;
  TakenKey& last = Layer().lastTaken;
  const uint64_t timestamp = event->timestamp();
  if (!(last.valid && last.bDown == bDown && last.scanCode == scanCode && last.timestamp == timestamp)) {
    last = {true, bDown, scanCode, timestamp, false};
    if (bDown)
      last.bRepeat = TakePress(scanCode, timestamp, event->isAutoRepeat(), WindowOf(receiver));
    else
      TakeRelease(scanCode, timestamp, event->isAutoRepeat());
  }
  if (!bDown || !last.bRepeat) return false;
  const DownKey* key = FindDown(scanCode);
  return key != nullptr && (key->window == nullptr || key->window != WindowOf(receiver));
}

// Key events become device events; activation changes may lose devices.
bool KeyEventFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
      if (TakeKeyEvent(watched, static_cast<const QKeyEvent*>(event), true)) {
        // Taken as the window's own, so that no shortcut acts on it either.
        event->accept();
        return true;
      }
      break;
    case QEvent::KeyRelease:
      TakeKeyEvent(watched, static_cast<const QKeyEvent*>(event), false);
      break;
    case QEvent::ApplicationDeactivate:
      ForgetKeys();
      CheckAll();
      break;
    case QEvent::ApplicationStateChange:
      if (QGuiApplication::applicationState() != Qt::ApplicationActive) ForgetKeys();
      CheckAll();
      break;
    case QEvent::WindowDeactivate:
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
    layer.down.clear();
    layer.held = {};
    layer.given = {};
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

// Records one key event; a full buffer drops the newest, and an event from
// before the acquire is not buffered.
void KeyboardObj::Take(BYTE dik, bool bDown, DWORD dwTime, DWORD dwSequence) {
  if (!Check()) return;
  held[dik] = bDown ? 0x80 : 0;
  if (state != Acquisition::Acquired || static_cast<LONG>(dwSequence - dwAcquiredAfter) <= 0) return;
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
  kb->dwAcquiredAfter = Layer().dwSequence;
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

// Why an unacquired or lost device cannot be read, or DI_OK. A read is
// also when a held release that has waited long enough is given out.
HRESULT ReadableState(KeyboardObj* kb) {
  SettleHeldRelease();
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

namespace platform {

// The layer's judgement of the press it took last, while it listens; Qt's
// flag for anything else.
bool IsRepeatedKeyPress(const QKeyEvent* event) {
  const KeyboardLayer& layer = Layer();
  const TakenKey& last = layer.lastTaken;
  if (layer.filter != nullptr && event->nativeScanCode() != 0 && last.valid && last.bDown &&
      last.scanCode == event->nativeScanCode() && last.timestamp == event->timestamp())
    return last.bRepeat;
  return event->isAutoRepeat();
}

}  // namespace platform

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

// The foreground follows Qt again, the next event is new and no key is
// known to be down.
void ResetDIHooks() {
  KeyboardLayer& layer = Layer();
  layer.foreground = KeyboardForeground::FollowActiveWindow;
  layer.lastTaken = {};
  layer.down.clear();
  layer.held = {};
  layer.given = {};
}

}  // namespace platform_test

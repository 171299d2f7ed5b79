// The keyboard device: what it buffers and when, the foreground rules, the
// state of the keys, the object names, the scan-code table, and real Qt key
// events arriving once each.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QWidget>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "input/input.h"
#include "platform/dinput.h"
#include "platform/dinput_hooks.h"
#include "platform/dx_hooks.h"
#include "platform/win_time.h"
#include "platform/win_window.h"

namespace {

using platform_test::InjectKey;
using platform_test::KeyboardForeground;

#define STR2(x) #x
#define STR(x) STR2(x)

// A DirectInput object and a keyboard set up as the game sets it up, in the
// foreground level for a window of its own; the foreground is forced on.
class KeyboardDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::ResetDXHooks();
    platform_test::ResetDIHooks();
    platform_test::UseManualClock(5'000'000'000ull);
    baseline_ = platform_test::LiveObjectCount();
    window_ = std::make_unique<QWidget>();
    ASSERT_EQ(DirectInputCreate(nullptr, DIRECTINPUT_VERSION, &di_, nullptr), DI_OK);
    ASSERT_EQ(IDirectInput_CreateDevice(di_, &GUID_SysKeyboard, &kb_, nullptr), DI_OK);
    ASSERT_EQ(IDirectInputDevice_SetCooperativeLevel(kb_, platform::HandleOf(window_.get()),
                                                     DISCL_FOREGROUND | DISCL_NONEXCLUSIVE),
              DI_OK);
    ASSERT_EQ(IDirectInputDevice_SetDataFormat(kb_, &c_dfDIKeyboard), DI_OK);
    SetBufferSize(256);
    platform_test::SetKeyboardForeground(KeyboardForeground::Always);
  }
  void TearDown() override {
    if (kb_ != nullptr) IDirectInputDevice_Release(kb_);
    if (di_ != nullptr) IDirectInput_Release(di_);
    window_.reset();
    EXPECT_EQ(platform_test::LiveObjectCount(), baseline_) << "objects leaked";
    EXPECT_FALSE(platform_test::KeyFilterInstalled());
    platform_test::ResetDIHooks();
    platform_test::ResetDXHooks();
    platform_test::UseRealClock();
  }

  HRESULT SetBufferSize(DWORD n) {
    DIPROPDWORD prop = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, n};
    return IDirectInputDevice_SetProperty(kb_, DIPROP_BUFFERSIZE, &prop.diph);
  }

  // Reads up to n events; the result code goes to hr_.
  std::vector<DIDEVICEOBJECTDATA> Read(DWORD n = 1000, DWORD dwFlags = 0) {
    std::vector<DIDEVICEOBJECTDATA> buf(n);
    DWORD count = n;
    hr_ = IDirectInputDevice_GetDeviceData(kb_, sizeof(DIDEVICEOBJECTDATA), buf.data(), &count, dwFlags);
    buf.resize(count);
    return buf;
  }

  std::vector<BYTE> State() {
    std::vector<BYTE> state(256, 0xEE);
    hr_ = IDirectInputDevice_GetDeviceState(kb_, 256, state.data());
    return state;
  }

  std::unique_ptr<QWidget> window_;
  LPDIRECTINPUT di_ = nullptr;
  LPDIRECTINPUTDEVICE kb_ = nullptr;
  HRESULT hr_ = DI_OK;
  int baseline_ = 0;
};

}  // namespace

TEST(DInputHeaders, RecordSizesAndPublishedValues) {
  EXPECT_EQ(sizeof(DIDEVICEOBJECTDATA), 16u);
  EXPECT_EQ(sizeof(DIDEVICEOBJECTINSTANCEA), 316u);
  EXPECT_EQ(offsetof(DIDEVICEOBJECTINSTANCEA, tszName), 32u);
  EXPECT_EQ(sizeof(DIPROPHEADER), 16u);
  EXPECT_EQ(sizeof(DIPROPDWORD), 20u);
  EXPECT_EQ(DIRECTINPUT_VERSION, 0x0500);
  EXPECT_EQ(DISCL_FOREGROUND | DISCL_NONEXCLUSIVE, 6);
  EXPECT_EQ((uint32_t)DIERR_INPUTLOST, 0x8007001Eu);
  EXPECT_EQ((uint32_t)DIERR_NOTACQUIRED, 0x8007000Cu);
  EXPECT_EQ((uint32_t)DIERR_OBJECTNOTFOUND, 0x80070002u);
  EXPECT_EQ(DIK_NUMPAD7, 0x47);
  EXPECT_EQ(DIK_LSHIFT, 0x2A);
  EXPECT_EQ(DIK_SPACE, 0x39);
  EXPECT_EQ(DIK_LEFT, 0xCB);
  EXPECT_EQ(DIK_UP, 0xC8);
  EXPECT_EQ(DIK_RIGHT, 0xCD);
  EXPECT_EQ(DIK_DOWN, 0xD0);
  EXPECT_EQ(GUID_SysKeyboard.Data1, 0x6F1D2B61u);
  // The reader's statements quote these texts; the failed-call report shows
  // them as written.
  EXPECT_STREQ(STR(IDirectInputDevice_GetDeviceData(g_Keyboard, a, b, c, d)),
               "(g_Keyboard)->lpVtbl->GetDeviceData(g_Keyboard,a,b,c,d)");
  EXPECT_STREQ(STR(IDirectInput_CreateDevice(g_DI, &GUID_SysKeyboard, &g_Keyboard, NULL)),
               "(g_DI)->lpVtbl->CreateDevice(g_DI,&GUID_SysKeyboard,&g_Keyboard,__null)");
}

TEST(DInputCreate, VersionsAggregationAndDevices) {
  platform_test::ResetDXHooks();
  LPDIRECTINPUT di = reinterpret_cast<LPDIRECTINPUT>(1);
  EXPECT_EQ(DirectInputCreate(nullptr, 0x0700, &di, nullptr), DIERR_OLDDIRECTINPUTVERSION);
  EXPECT_EQ(di, nullptr);
  EXPECT_EQ(DirectInputCreate(nullptr, 0x0200, &di, nullptr), DIERR_BETADIRECTINPUTVERSION);
  EXPECT_EQ(DirectInputCreate(nullptr, 0x0300, &di, reinterpret_cast<LPUNKNOWN>(&di)), DIERR_NOAGGREGATION);
  platform_test::FailCall("DirectInputCreate", DIERR_OUTOFMEMORY);
  EXPECT_EQ(DirectInputCreate(nullptr, 0x0500, &di, nullptr), DIERR_OUTOFMEMORY);
  EXPECT_EQ(di, nullptr);
  ASSERT_EQ(DirectInputCreate(nullptr, 0x0500, &di, nullptr), DI_OK);

  LPDIRECTINPUTDEVICE kb = reinterpret_cast<LPDIRECTINPUTDEVICE>(1);
  EXPECT_EQ(IDirectInput_CreateDevice(di, &GUID_Key, &kb, nullptr), DIERR_DEVICENOTREG);
  EXPECT_EQ(kb, nullptr);
  EXPECT_FALSE(platform_test::KeyFilterInstalled());
  ASSERT_EQ(IDirectInput_CreateDevice(di, &GUID_SysKeyboard, &kb, nullptr), DI_OK);
  const int live = platform_test::LiveObjectCount();
  EXPECT_EQ(platform_test::LiveKeyboardCount(), 1);
  EXPECT_TRUE(platform_test::KeyFilterInstalled());
  // The device keeps DirectInput alive until it goes itself.
  EXPECT_EQ(IDirectInput_Release(di), 1u);
  EXPECT_EQ(platform_test::LiveObjectCount(), live);
  EXPECT_EQ(IDirectInputDevice_Release(kb), 0u);
  EXPECT_EQ(platform_test::LiveObjectCount(), live - 2);
  EXPECT_EQ(platform_test::LiveKeyboardCount(), 0);
  EXPECT_FALSE(platform_test::KeyFilterInstalled());
}

// Nothing is buffered before the device is acquired; afterwards every
// event arrives once, in order, with its time and sequence.
TEST_F(KeyboardDevice, BuffersOnlyWhileAcquiredInOrder) {
  InjectKey(DIK_A, true);
  Read();
  EXPECT_EQ(hr_, DIERR_NOTACQUIRED);
  State();
  EXPECT_EQ(hr_, DIERR_NOTACQUIRED);

  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  EXPECT_EQ(IDirectInputDevice_Acquire(kb_), DI_NOEFFECT);
  EXPECT_TRUE(Read().empty()) << "the press before the acquire";
  EXPECT_EQ(hr_, DI_OK);

  InjectKey(DIK_LEFT, true);
  platform_test::AdvanceClock(20'000'000);
  InjectKey(DIK_LEFT, false);
  InjectKey(DIK_SPACE, true);
  std::vector<DIDEVICEOBJECTDATA> events = Read();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].dwOfs, (DWORD)DIK_LEFT);
  EXPECT_EQ(events[0].dwData, 0x80u);
  EXPECT_EQ(events[1].dwOfs, (DWORD)DIK_LEFT);
  EXPECT_EQ(events[1].dwData, 0u);
  EXPECT_EQ(events[2].dwOfs, (DWORD)DIK_SPACE);
  EXPECT_EQ(events[1].dwTimeStamp - events[0].dwTimeStamp, 20u);
  EXPECT_LT(events[0].dwSequence, events[1].dwSequence);
  EXPECT_LT(events[1].dwSequence, events[2].dwSequence);
  EXPECT_TRUE(Read().empty());
}

// Reading a few at a time, peeking, and the record-less form that only
// removes as many as asked.
TEST_F(KeyboardDevice, PartialReadsPeekAndFlush) {
  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  for (BYTE k = DIK_1; k <= DIK_0; ++k) InjectKey(k, true);  // ten events
  std::vector<DIDEVICEOBJECTDATA> peeked = Read(2, DIGDD_PEEK);
  ASSERT_EQ(peeked.size(), 2u);
  std::vector<DIDEVICEOBJECTDATA> first = Read(3);
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[0].dwOfs, (DWORD)DIK_1);
  EXPECT_EQ(first[0].dwSequence, peeked[0].dwSequence);
  EXPECT_EQ(first[2].dwOfs, (DWORD)DIK_3);

  DWORD n = 4;
  EXPECT_EQ(IDirectInputDevice_GetDeviceData(kb_, sizeof(DIDEVICEOBJECTDATA), nullptr, &n, 0), DI_OK);
  EXPECT_EQ(n, 4u);
  std::vector<DIDEVICEOBJECTDATA> rest = Read();
  ASSERT_EQ(rest.size(), 3u);
  EXPECT_EQ(rest[0].dwOfs, (DWORD)DIK_8);

  for (int i = 0; i < 5; ++i) InjectKey(DIK_Q, i % 2 == 0);
  n = INFINITE;
  EXPECT_EQ(IDirectInputDevice_GetDeviceData(kb_, sizeof(DIDEVICEOBJECTDATA), nullptr, &n, 0), DI_OK);
  EXPECT_EQ(n, 5u);
  EXPECT_TRUE(Read().empty());

  n = 1;
  EXPECT_EQ(IDirectInputDevice_GetDeviceData(kb_, 20, nullptr, &n, 0), DIERR_INVALIDPARAM);
  EXPECT_EQ(IDirectInputDevice_GetDeviceData(kb_, 16, nullptr, nullptr, 0), DIERR_INVALIDPARAM);
}

// A full buffer keeps the oldest events and says once that some were lost.
TEST_F(KeyboardDevice, FullBufferDropsTheNewest) {
  ASSERT_EQ(SetBufferSize(4), DI_OK);
  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  EXPECT_EQ(SetBufferSize(8), DIERR_ACQUIRED);
  const BYTE keys[] = {DIK_A, DIK_B, DIK_C, DIK_D, DIK_E, DIK_F};
  for (BYTE k : keys) InjectKey(k, true);
  std::vector<DIDEVICEOBJECTDATA> events = Read(2);
  EXPECT_EQ(hr_, DI_BUFFEROVERFLOW);
  EXPECT_TRUE(SUCCEEDED(hr_));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].dwOfs, (DWORD)DIK_A);
  events = Read();
  EXPECT_EQ(hr_, DI_OK);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].dwOfs, (DWORD)DIK_D);
}

TEST_F(KeyboardDevice, UnbufferedDeviceCannotBeRead) {
  ASSERT_EQ(SetBufferSize(0), DI_OK);
  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  InjectKey(DIK_A, true);
  Read();
  EXPECT_EQ(hr_, DIERR_NOTBUFFERED);
  EXPECT_EQ(State()[DIK_A], 0x80) << "the state is there all the same";
}

// Out of the foreground the device cannot be acquired; an acquired one is
// lost, forgets what it held, hears nothing meanwhile, and starts afresh
// once taken back.
TEST_F(KeyboardDevice, ForegroundLossDropsEventsAndHeldKeys) {
  platform_test::SetKeyboardForeground(KeyboardForeground::Never);
  EXPECT_EQ(IDirectInputDevice_Acquire(kb_), DIERR_OTHERAPPHASPRIO);
  platform_test::SetKeyboardForeground(KeyboardForeground::Always);
  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);

  InjectKey(DIK_LSHIFT, true);
  InjectKey(DIK_A, true);
  EXPECT_EQ(State()[DIK_LSHIFT], 0x80);
  platform_test::SetKeyboardForeground(KeyboardForeground::Never);
  InjectKey(DIK_B, true);
  Read();
  EXPECT_EQ(hr_, DIERR_INPUTLOST);
  State();
  EXPECT_EQ(hr_, DIERR_INPUTLOST);

  platform_test::SetKeyboardForeground(KeyboardForeground::Always);
  InjectKey(DIK_C, true);  // before the device is taken back
  Read();
  EXPECT_EQ(hr_, DIERR_INPUTLOST) << "still lost until acquired again";
  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  EXPECT_TRUE(Read().empty());
  std::vector<BYTE> state = State();
  EXPECT_EQ(hr_, DI_OK);
  EXPECT_EQ(state[DIK_LSHIFT], 0) << "held before the loss";
  EXPECT_EQ(state[DIK_B], 0) << "pressed in the background";
  EXPECT_EQ(state[DIK_C], 0x80) << "pressed in the foreground";
  InjectKey(DIK_D, true);
  ASSERT_EQ(Read().size(), 1u);

  EXPECT_EQ(IDirectInputDevice_Unacquire(kb_), DI_OK);
  EXPECT_EQ(IDirectInputDevice_Unacquire(kb_), DI_NOEFFECT);
  Read();
  EXPECT_EQ(hr_, DIERR_NOTACQUIRED);
}

// The foreground is the device window's top-level widget being Qt's active
// window; a background device hears the keys whatever is in front.
TEST_F(KeyboardDevice, ForegroundFollowsTheActiveWindow) {
  platform_test::SetKeyboardForeground(KeyboardForeground::FollowActiveWindow);
  QWidget* child = new QWidget(window_.get());
  ASSERT_EQ(IDirectInputDevice_SetCooperativeLevel(kb_, platform::HandleOf(child),
                                                   DISCL_FOREGROUND | DISCL_NONEXCLUSIVE),
            DI_OK);
  QWidget other;
  other.show();
  other.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &other);
  EXPECT_EQ(IDirectInputDevice_Acquire(kb_), DIERR_OTHERAPPHASPRIO);

  window_->show();
  window_->activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), window_.get());
  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  InjectKey(DIK_A, true);
  other.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &other);
  window_->activateWindow();
  QApplication::processEvents();
  // Back in front before the next read: the loss in between still counts.
  Read();
  EXPECT_EQ(hr_, DIERR_INPUTLOST);

  ASSERT_EQ(IDirectInputDevice_Unacquire(kb_), DI_OK);
  ASSERT_EQ(IDirectInputDevice_SetCooperativeLevel(kb_, nullptr, DISCL_BACKGROUND | DISCL_NONEXCLUSIVE), DI_OK);
  other.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  InjectKey(DIK_B, true);
  EXPECT_EQ(Read().size(), 1u);
  IDirectInputDevice_Unacquire(kb_);
}

TEST_F(KeyboardDevice, SettingsAreCheckedAndFixedWhileAcquired) {
  HWND hwnd = platform::HandleOf(window_.get());
  EXPECT_EQ(IDirectInputDevice_SetCooperativeLevel(kb_, hwnd, DISCL_FOREGROUND), DIERR_INVALIDPARAM);
  EXPECT_EQ(IDirectInputDevice_SetCooperativeLevel(kb_, hwnd, DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_EXCLUSIVE),
            DIERR_INVALIDPARAM);
  EXPECT_EQ(IDirectInputDevice_SetCooperativeLevel(kb_, nullptr, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE),
            DIERR_INVALIDPARAM);
  DIDATAFORMAT copy = c_dfDIKeyboard;
  EXPECT_EQ(IDirectInputDevice_SetDataFormat(kb_, &copy), DIERR_INVALIDPARAM);
  DIPROPDWORD prop = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), DIK_A, DIPH_BYOFFSET}, 8};
  EXPECT_EQ(IDirectInputDevice_SetProperty(kb_, DIPROP_BUFFERSIZE, &prop.diph), DIERR_INVALIDPARAM);
  prop.diph = {sizeof(DIPROPDWORD), sizeof(DIPROPDWORD), 0, DIPH_DEVICE};
  EXPECT_EQ(IDirectInputDevice_SetProperty(kb_, DIPROP_BUFFERSIZE, &prop.diph), DIERR_INVALIDPARAM);

  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  EXPECT_EQ(IDirectInputDevice_SetDataFormat(kb_, &c_dfDIKeyboard), DIERR_ACQUIRED);
  EXPECT_EQ(IDirectInputDevice_SetCooperativeLevel(kb_, hwnd, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE), DIERR_ACQUIRED);
  IDirectInputDevice_Unacquire(kb_);

  // A device without a data format cannot be acquired.
  LPDIRECTINPUTDEVICE bare = nullptr;
  ASSERT_EQ(IDirectInput_CreateDevice(di_, &GUID_SysKeyboard, &bare, nullptr), DI_OK);
  EXPECT_EQ(IDirectInputDevice_Acquire(bare), DIERR_INVALIDPARAM);
  IDirectInputDevice_Release(bare);
}

// The state follows presses and releases; a wrong size is refused.
TEST_F(KeyboardDevice, StateHoldsTheKeysDownNow) {
  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  InjectKey(DIK_NUMPAD7, true);
  InjectKey(DIK_DOWN, true);
  InjectKey(DIK_NUMPAD7, false);
  std::vector<BYTE> state = State();
  EXPECT_EQ(hr_, DI_OK);
  for (int k = 0; k < 256; ++k) EXPECT_EQ(state[k], k == DIK_DOWN ? 0x80 : 0) << k;
  BYTE small[128];
  EXPECT_EQ(IDirectInputDevice_GetDeviceState(kb_, sizeof(small), small), DIERR_INVALIDPARAM);
}

// Each key is described under its offset with our own name; offsets with
// no key are not found; the older, shorter record is filled only so far.
TEST_F(KeyboardDevice, ObjectInfoByOffset) {
  for (DWORD c = 0; c < 256; ++c) {
    DIDEVICEOBJECTINSTANCEA info;
    std::memset(&info, 0xCC, sizeof(info));
    info.dwSize = sizeof(info);
    HRESULT hr = IDirectInputDevice_GetObjectInfo(kb_, &info, c, DIPH_BYOFFSET);
    if (gc_KeyNames[c] == nullptr) {
      EXPECT_EQ(hr, DIERR_OBJECTNOTFOUND) << c;
      continue;
    }
    ASSERT_EQ(hr, DI_OK) << c;
    EXPECT_STREQ(info.tszName, gc_KeyNames[c]);
    EXPECT_EQ(info.dwOfs, c);
    EXPECT_TRUE(IsEqualGUID(info.guidType, GUID_Key));
    EXPECT_EQ(info.dwType & DIDFT_BUTTON, (DWORD)DIDFT_PSHBUTTON);
    EXPECT_EQ(info.wReserved, 0);
  }
  DIDEVICEOBJECTINSTANCEA info;
  std::memset(&info, 0xCC, sizeof(info));
  info.dwSize = 292;
  ASSERT_EQ(IDirectInputDevice_GetObjectInfo(kb_, &info, DIK_SPACE, DIPH_BYOFFSET), DI_OK);
  EXPECT_STREQ(info.tszName, "Space");
  EXPECT_EQ(info.dwFFMaxForce, 0xCCCCCCCCu) << "past the older record";
  EXPECT_EQ(IDirectInputDevice_GetObjectInfo(kb_, &info, 300, DIPH_BYOFFSET), DIERR_OBJECTNOTFOUND);
  info.dwSize = 100;
  EXPECT_EQ(IDirectInputDevice_GetObjectInfo(kb_, &info, DIK_SPACE, DIPH_BYOFFSET), DIERR_INVALIDPARAM);
  info.dwSize = sizeof(info);
  EXPECT_EQ(IDirectInputDevice_GetObjectInfo(kb_, &info, DIK_SPACE, DIPH_DEVICE), DIERR_INVALIDPARAM);
}

// X keycodes (Linux input code + 8) as measured under X: the plain block
// maps straight, the extended keys to their 0x80 offsets, the Brazilian
// keypad point to its own offset, and every offset the table gives has a
// key name.
TEST(DInputScanCodes, XKeycodesToKeyOffsets) {
  struct {
    uint32_t x;
    BYTE dik;
  } const known[] = {
      {9, DIK_ESCAPE},        {79, DIK_NUMPAD7},     {80, DIK_NUMPAD8},   {81, DIK_NUMPAD9},
      {65, DIK_SPACE},        {50, DIK_LSHIFT},      {62, DIK_RSHIFT},    {37, DIK_LCONTROL},
      {96, DIK_F12},          {113, DIK_LEFT},       {111, DIK_UP},       {114, DIK_RIGHT},
      {116, DIK_DOWN},        {104, DIK_NUMPADENTER}, {105, DIK_RCONTROL}, {106, DIK_DIVIDE},
      {107, DIK_SYSRQ},       {108, DIK_RMENU},      {110, DIK_HOME},     {112, DIK_PRIOR},
      {115, DIK_END},         {117, DIK_NEXT},       {118, DIK_INSERT},   {119, DIK_DELETE},
      {127, DIK_PAUSE},       {133, DIK_LWIN},       {134, DIK_RWIN},     {135, DIK_APPS},
      {91, DIK_DECIMAL},      {94, DIK_OEM_102},     {129, DIK_ABNT_C2},  {103, DIK_NUMPADCOMMA},
  };
  for (const auto& k : known) EXPECT_EQ(platform::KeyOffsetOfScanCode(k.x), k.dik) << k.x;
  EXPECT_EQ(platform::KeyOffsetOfScanCode(0), 0);
  EXPECT_EQ(platform::KeyOffsetOfScanCode(8), 0);
  EXPECT_EQ(platform::KeyOffsetOfScanCode(84 + 8), 0);
  EXPECT_EQ(platform::KeyOffsetOfScanCode(0x10000), 0);

  std::vector<int> seen(256, 0);
  for (uint32_t x = 0; x < 600; ++x) {
    const BYTE dik = platform::KeyOffsetOfScanCode(x);
    if (dik == 0) continue;
    EXPECT_NE(gc_KeyNames[dik], nullptr) << "X keycode " << x << " gives offset " << int(dik);
    ++seen[dik];
  }
  // One key per offset (the Menu key has two input codes), and every key
  // the key lists offer can be pressed.
  for (int c = 0; c < 256; ++c) {
    if (c != DIK_APPS) {
      EXPECT_LE(seen[c], 1) << c;
    }
    if (gc_KeyNames[c] != nullptr) {
      EXPECT_GE(seen[c], 1) << "no key gives the named offset " << c;
    }
  }
}

namespace {

// A top-level window in front with a child that has the focus; key events
// the child ignores go on to the window.
class RealKeyEvents : public KeyboardDevice {
 protected:
  void SetUp() override {
    KeyboardDevice::SetUp();
    platform_test::SetKeyboardForeground(KeyboardForeground::FollowActiveWindow);
    child_ = new QWidget(window_.get());
    window_->show();
    window_->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), window_.get());
    ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  }

  // Sends a key event as Qt brings it from the window system; for a press,
  // answers whether the layer took it for a repeat.
  bool Send(QEvent::Type type, Qt::Key key, quint32 scanCode, bool bRepeat = false, quint64 timestamp = 0,
            QWidget* to = nullptr, const QString& text = QString()) {
    QKeyEvent event(type, key, Qt::NoModifier, scanCode, 0, 0, text, bRepeat);
    event.setTimestamp(timestamp);
    QApplication::sendEvent(to != nullptr ? to : child_, &event);
    return type != QEvent::KeyRelease && platform::IsRepeatedKeyPress(&event);
  }
  // One repeat of a held key as X sends it: a release and a press with the
  // same time stamp, which Qt may or may not mark as a repeat.
  void SendRepeat(Qt::Key key, quint32 scanCode, bool bMarked, quint64 timestamp, QWidget* to = nullptr,
                  const QString& text = QString()) {
    Send(QEvent::KeyRelease, key, scanCode, bMarked, timestamp, to, text);
    EXPECT_TRUE(Send(QEvent::KeyPress, key, scanCode, bMarked, timestamp, to, text)) << timestamp;
  }

  QWidget* child_ = nullptr;
};

}  // namespace

// However the window system repeats a held key, the devices hear one press
// and one release; a quick real release and press are both heard, and a
// release is held back no longer than a read's short wait.
TEST_F(RealKeyEvents, EachPhysicalHoldIsOnePressAndOneRelease) {
  auto expect = [this](std::vector<std::pair<BYTE, DWORD>> want, const char* what) {
    std::vector<DIDEVICEOBJECTDATA> events = Read();
    ASSERT_EQ(events.size(), want.size()) << what;
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(events[i].dwOfs, (DWORD)want[i].first) << what << " " << i;
      EXPECT_EQ(events[i].dwData, want[i].second) << what << " " << i;
    }
  };
  // Left arrow under X: keycode 113. The child ignores it, so it also
  // reaches the window; the shortcut check comes first for a press.
  Send(QEvent::ShortcutOverride, Qt::Key_Left, 113, false, 1000);
  EXPECT_FALSE(Send(QEvent::KeyPress, Qt::Key_Left, 113, false, 1000));
  SendRepeat(Qt::Key_Left, 113, true, 1400);
  SendRepeat(Qt::Key_Left, 113, false, 1440);
  EXPECT_TRUE(Send(QEvent::KeyPress, Qt::Key_Left, 113, false, 1480)) << "a repeat without a release";
  // A read between the halves of a repeat: the release waits for its press.
  Send(QEvent::KeyRelease, Qt::Key_Left, 113, false, 1520);
  expect({{DIK_LEFT, 0x80}}, "one press for the hold so far");
  EXPECT_TRUE(Send(QEvent::KeyPress, Qt::Key_Left, 113, false, 1520));
  EXPECT_EQ(State()[DIK_LEFT], 0x80);
  Send(QEvent::KeyPress, Qt::Key_unknown, 0, false, 1530);  // no scan code

  // The real release, then a quick real press: another time stamp.
  Send(QEvent::KeyRelease, Qt::Key_Left, 113, false, 1600);
  EXPECT_FALSE(Send(QEvent::KeyPress, Qt::Key_Left, 113, false, 1601));
  expect({{DIK_LEFT, 0}, {DIK_LEFT, 0x80}}, "a quick second press");

  // A release nothing follows reaches the next read that comes late enough,
  // with the time it happened.
  const DWORD dwReleased = GetTickCount();
  Send(QEvent::KeyRelease, Qt::Key_Left, 113, false, 1700);
  expect({}, "too soon to tell");
  EXPECT_EQ(State()[DIK_LEFT], 0x80);
  platform_test::AdvanceClock(30'000'000);
  std::vector<DIDEVICEOBJECTDATA> events = Read();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].dwData, 0u);
  EXPECT_EQ(events[0].dwTimeStamp, dwReleased);
  EXPECT_EQ(State()[DIK_LEFT], 0);

  // The press of a repeat that comes only after its release was read is no
  // new press either.
  EXPECT_FALSE(Send(QEvent::KeyPress, Qt::Key_Left, 113, false, 1800));
  Send(QEvent::KeyRelease, Qt::Key_Left, 113, false, 2200);
  platform_test::AdvanceClock(30'000'000);
  expect({{DIK_LEFT, 0x80}, {DIK_LEFT, 0}}, "a press and its release");
  EXPECT_TRUE(Send(QEvent::KeyPress, Qt::Key_Left, 113, false, 2200));
  expect({}, "the late half of a repeat");
  Send(QEvent::KeyRelease, Qt::Key_Left, 113, false, 2300);
  EXPECT_FALSE(Send(QEvent::KeyPress, Qt::Key_Left, 113, false, 2400));
  expect({{DIK_LEFT, 0}, {DIK_LEFT, 0x80}}, "pressed again after all");
}

// A key held while another window opens (a dialog at game over) does not
// type there until it is released and pressed again; a key that went down
// in that window repeats there as usual.
TEST_F(RealKeyEvents, KeysHeldIntoAnotherWindowDoNotTypeThere) {
  Send(QEvent::KeyPress, Qt::Key_Space, 65, false, 1000);
  QWidget dialog;
  auto* edit = new QLineEdit(&dialog);
  dialog.show();
  dialog.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &dialog);
  edit->setFocus();
  const QString space(" ");
  SendRepeat(Qt::Key_Space, 65, false, 1700, edit, space);
  SendRepeat(Qt::Key_Space, 65, true, 1740, edit, space);
  Send(QEvent::KeyPress, Qt::Key_Space, 65, false, 1780, edit, space);
  EXPECT_EQ(edit->text(), "");

  Send(QEvent::KeyRelease, Qt::Key_Space, 65, false, 1900, edit, space);
  EXPECT_FALSE(Send(QEvent::KeyPress, Qt::Key_Space, 65, false, 2000, edit, space));
  EXPECT_EQ(edit->text(), " ");
  SendRepeat(Qt::Key_Space, 65, false, 2500, edit, space);
  EXPECT_EQ(edit->text(), "  ");
}

TEST_F(RealKeyEvents, KeysToAnotherWindowAreNotHeard) {
  QWidget other;
  other.show();
  other.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &other);
  QKeyEvent event(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, 65, 0, 0);
  QApplication::sendEvent(&other, &event);
  window_->activateWindow();
  QApplication::processEvents();
  Read();
  EXPECT_EQ(hr_, DIERR_INPUTLOST);
  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  EXPECT_TRUE(Read().empty());
  EXPECT_EQ(State()[DIK_SPACE], 0);
}

// Keys that choose from an open popup menu (Space, the arrows: the keys the
// game may be bound to) are not played when the menu closes, though the
// window stays the active one: the device is lost as when another window
// takes the foreground, and no key stays held.
TEST_F(RealKeyEvents, KeysToAnOpenPopupMenuAreNotHeard) {
  Send(QEvent::KeyPress, Qt::Key_Shift, 50, false, 900);  // held into the menu
  QMenu menu(window_.get());
  menu.addAction("First");
  menu.addAction("Second");
  menu.popup(window_->mapToGlobal(QPoint(0, 0)));
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activePopupWidget(), &menu);
  ASSERT_EQ(QApplication::activeWindow(), window_.get());
  quint64 timestamp = 1000;
  for (auto [key, scan] : {std::pair{Qt::Key_Down, 116u}, std::pair{Qt::Key_Left, 113u}}) {
    Send(QEvent::KeyPress, key, scan, false, timestamp += 100, &menu);
    Send(QEvent::KeyRelease, key, scan, false, timestamp += 100, &menu);
  }
  menu.close();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activePopupWidget(), nullptr);

  Read();
  EXPECT_EQ(hr_, DIERR_INPUTLOST);
  ASSERT_EQ(IDirectInputDevice_Acquire(kb_), DI_OK);
  EXPECT_TRUE(Read().empty());
  EXPECT_EQ(State()[DIK_LSHIFT], 0) << "its release may have gone to the menu";
  // The last release, still waiting for a press of its own, happened before
  // the acquire: it is not heard.
  Send(QEvent::KeyPress, Qt::Key_Left, 113, false, 2000);
  EXPECT_EQ(Read().size(), 1u) << "heard again once the menu is gone";
}

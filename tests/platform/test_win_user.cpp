// The window layer on Qt: the messages of creation and destruction and their
// order, the queue and the quit message, accelerators with their modifier
// keys, strings, menus, the status bar and the help file.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>
#include <QEvent>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "platform/win_icon.h"
#include "platform/win_user_internal.h"
#include "resources/resource.h"
#include "temp_dir.h"

namespace {

// What the test procedures saw, in order, with the parent or child they
// belong to.
std::vector<std::pair<std::string, UINT>> s_Seen;
LRESULT s_CreateAnswer = 0;
UINT s_LastCommand = 0;
HWND s_ChildMadeInCreate = nullptr;

// Records every message that matters here.
LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE || msg == WM_DESTROY || msg == WM_SIZE || msg == WM_MOVE || msg == WM_COMMAND)
    s_Seen.push_back({"parent", msg});
  if (msg == WM_COMMAND) s_LastCommand = LOWORD(wParam);
  if (msg == WM_CREATE && s_CreateAnswer == 0)
    s_ChildMadeInCreate = CreateWindowExA(0, "TestChild", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 40, hwnd,
                                          NULL, NULL, NULL);
  if (msg == WM_CREATE) return s_CreateAnswer;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE || msg == WM_DESTROY || msg == WM_SIZE || msg == WM_MOVE) s_Seen.push_back({"child", msg});
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class WinUserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::UnregisterAllClasses();
    platform_test::ClearMessageQueue();
    platform_test::IgnoreSystemActivation(true);
    s_Seen.clear();
    s_CreateAnswer = 0;
    s_ChildMadeInCreate = nullptr;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.lpszClassName = "TestParent";
    ASSERT_NE(RegisterClassA(&wc), 0);
    wc.lpfnWndProc = ChildProc;
    wc.lpszClassName = "TestChild";
    ASSERT_NE(RegisterClassA(&wc), 0);
  }
  void TearDown() override {
    if (IsWindow(parent_)) DestroyWindow(parent_);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform_test::ClearMessageQueue();
    platform_test::IgnoreSystemActivation(false);
  }
  HWND MakeParent() {
    parent_ = CreateWindowExA(0, "TestParent", "Test", WS_POPUP | WS_CAPTION, 10, 10, 240, 210, NULL, NULL,
                              NULL, NULL);
    return parent_;
  }
  HWND parent_ = nullptr;
};

}  // namespace

// Creation: WM_CREATE first (children made inside it come whole, with their
// own size and move), then WM_SIZE and WM_MOVE. Destruction: WM_DESTROY to
// the parent before its children, and then no handle names a window.
TEST_F(WinUserTest, CreationAndDestructionOrder) {
  ASSERT_NE(MakeParent(), nullptr);
  std::vector<std::pair<std::string, UINT>> expected = {
      {"parent", WM_CREATE}, {"child", WM_CREATE}, {"child", WM_SIZE},
      {"child", WM_MOVE},    {"parent", WM_SIZE},  {"parent", WM_MOVE}};
  EXPECT_EQ(s_Seen, expected);
  ASSERT_TRUE(IsWindow(s_ChildMadeInCreate));
  RECT r;
  GetClientRect(parent_, &r);
  EXPECT_EQ(r.right, 240);
  EXPECT_EQ(r.bottom, 210);
  GetClientRect(s_ChildMadeInCreate, &r);
  EXPECT_EQ(r.right, 50);

  s_Seen.clear();
  HWND child = s_ChildMadeInCreate;
  EXPECT_TRUE(DestroyWindow(parent_));
  expected = {{"parent", WM_DESTROY}, {"child", WM_DESTROY}};
  EXPECT_EQ(s_Seen, expected);
  EXPECT_FALSE(IsWindow(parent_));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(DestroyWindow(parent_));
  EXPECT_EQ(SendMessageA(parent_, WM_COMMAND, 1, 0), 0);
}

// A creation message that answers -1 makes no window; so does an unknown
// class or a child without a parent.
TEST_F(WinUserTest, FailedCreations) {
  s_CreateAnswer = -1;
  EXPECT_EQ(MakeParent(), nullptr);
  ASSERT_EQ(s_Seen.size(), 2u);
  EXPECT_EQ(s_Seen[1].second, (UINT)WM_DESTROY);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, NULL, NULL, NULL, NULL), nullptr);
  EXPECT_EQ(CreateWindowExA(0, "TestChild", "", WS_CHILD, 0, 0, 10, 10, NULL, NULL, NULL, NULL), nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ChildProc;
  wc.lpszClassName = "TestChild";
  EXPECT_EQ(RegisterClassA(&wc), 0) << "a class registered twice";
}

// Sizes the window system cannot show are brought into range, never passed
// on as they are.
TEST_F(WinUserTest, OddSizesAreClamped) {
  ASSERT_NE(MakeParent(), nullptr);
  MoveWindow(parent_, -100000, 100000, -5, 1 << 30, TRUE);
  RECT r;
  GetClientRect(parent_, &r);
  EXPECT_EQ(r.right, 0);
  EXPECT_LE(r.bottom, 16384);
  GetWindowRect(parent_, &r);
  EXPECT_GE(r.left, -16384);
  EXPECT_LE(r.top, 16384);
}

// The queue hands out messages oldest first, never waits when it is empty,
// and gives the quit message only after what was queued before it.
TEST_F(WinUserTest, QueueAndQuit) {
  ASSERT_NE(MakeParent(), nullptr);
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
  }
  platform_test::PressKey(parent_, 'A', false);
  PostQuitMessage(3);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_KEYDOWN);
  EXPECT_EQ(msg.wParam, (WPARAM)'A');
  EXPECT_EQ(msg.hwnd, parent_);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_KEYUP);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_QUIT);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_QUIT);
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.wParam, (WPARAM)3);
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));

  // Messages of a window that is destroyed go with it.
  platform_test::PressKey(parent_, 'B', false);
  DestroyWindow(parent_);
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

// An accelerator needs exactly its modifier keys; a match becomes the
// command, sent at once, and the key goes no further.
TEST_F(WinUserTest, AcceleratorsMatchKeyAndModifiers) {
  ASSERT_NE(MakeParent(), nullptr);
  HACCEL accel = LoadAcceleratorsA(NULL, MAKEINTRESOURCE(IDR_ACCELERATOR));
  ASSERT_NE(accel, nullptr);
  EXPECT_EQ(LoadAcceleratorsA(NULL, MAKEINTRESOURCE(999)), nullptr);
  MSG msg;
  struct Case {
    UINT vk;
    bool ctrl, shift, alt;
    int command;  // 0: none
  } cases[] = {{'G', true, false, false, ID_GAME_NEWGAME}, {'G', false, false, false, 0},
               {'G', true, true, false, 0},                {'G', true, false, true, 0},
               {'7', true, false, false, 40019},           {'F', true, false, false, ID_VIEW_FRAMERATE},
               {'X', true, false, false, 0}};
  for (const Case& c : cases) {
    s_Seen.clear();
    platform_test::PressKey(parent_, c.vk, c.ctrl, c.shift, c.alt);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    const int translated = TranslateAcceleratorA(parent_, accel, &msg);
    EXPECT_EQ(translated != 0, c.command != 0) << c.vk;
    if (c.command != 0) {
      ASSERT_EQ(s_Seen.size(), 1u);
      EXPECT_EQ(s_Seen[0].second, (UINT)WM_COMMAND);
    }
    // The release is no accelerator.
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(TranslateAcceleratorA(parent_, accel, &msg), 0);
  }
  EXPECT_EQ(TranslateAcceleratorA(NULL, accel, &msg), 0);
  // A held key's repeats are no new command: Ctrl+G held asks once.
  s_Seen.clear();
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_G, Qt::ControlModifier, 34 + 8, 0, 0, QString(), true);
  QCoreApplication::sendEvent(platform::DataOf(parent_)->client, &repeat);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_KEYDOWN);
  EXPECT_NE(msg.lParam & 0x40000000, 0) << "the key was down before";
  EXPECT_EQ(TranslateAcceleratorA(parent_, accel, &msg), 0);
  EXPECT_TRUE(s_Seen.empty());
}

// A layout that types no Latin letter or no digit on a key (Cyrillic letters,
// digits only with Shift) still gives the key's letter or digit, by its place:
// Ctrl+G and Ctrl+1 work on every keyboard.
TEST_F(WinUserTest, AcceleratorsWorkOnEveryLayout) {
  ASSERT_NE(MakeParent(), nullptr);
  HACCEL accel = LoadAcceleratorsA(NULL, MAKEINTRESOURCE(IDR_ACCELERATOR));
  QWidget* client = platform::DataOf(parent_)->client;
  // X keycodes: the Linux input code plus 8 (KEY_G 34, KEY_1 2, KEY_SPACE 57).
  struct Case {
    int qtKey;
    quint32 keycode;
    int command;
  } cases[] = {{0x041F, 34 + 8, ID_GAME_NEWGAME},  // Cyrillic PE, on the G key
               {Qt::Key_Ampersand, 2 + 8, 40013},   // "&", on the 1 key
               {Qt::Key_G, 0, ID_GAME_NEWGAME},
               {Qt::Key_Space, 57 + 8, 0}};
  for (const Case& c : cases) {
    s_Seen.clear();
    QKeyEvent press(QEvent::KeyPress, c.qtKey, Qt::ControlModifier, c.keycode, 0, 0);
    QCoreApplication::sendEvent(client, &press);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) << c.qtKey;
    EXPECT_EQ(TranslateAcceleratorA(parent_, accel, &msg) != 0, c.command != 0) << c.qtKey;
    if (c.command != 0) {
      ASSERT_EQ(s_Seen.size(), 1u);
      EXPECT_EQ(s_LastCommand, (UINT)c.command) << c.qtKey;
    }
  }
}

// Strings are cut to the buffer and terminated; a missing one is empty.
TEST_F(WinUserTest, StringsAreCutToTheBuffer) {
  char buf[8] = "xxxxxxx";
  EXPECT_EQ(LoadStringA(NULL, ID_GAME_NEWGAME, buf, 6), 5);
  EXPECT_STREQ(buf, "Start");
  EXPECT_EQ(LoadStringA(NULL, 12345, buf, 8), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(LoadStringA(NULL, ID_GAME_NEWGAME, buf, 0), 0);
  char hint[128];
  EXPECT_EQ(LoadStringA(NULL, 61456, hint, 128), (int)std::strlen("Move this window around the screen"));
  EXPECT_NE(LoadIconA(NULL, MAKEINTRESOURCE(IDI_MAINICON)), nullptr);
  EXPECT_EQ(LoadIconA(NULL, MAKEINTRESOURCE(7)), nullptr);
}

// The program's icon at every size it is drawn at: the well stands in the
// middle, and every pixel is one of the icon's own colours or transparent,
// so that no size comes out blurred; every cube shows its dark face.
TEST_F(WinUserTest, IconIsSharpAndCentredAtEverySize) {
  const platform::IconPicture* picture = platform::FindIconPicture(IDI_MAINICON);
  ASSERT_NE(picture, nullptr);
  std::set<QRgb> colours = {0, 0xff000000u | picture->wall, 0xff000000u | picture->edge};
  for (size_t i = 0; i < picture->count; ++i) {
    colours.insert(0xff000000u | picture->cubes[i].light);
    colours.insert(0xff000000u | picture->cubes[i].dark);
  }
  for (int side : {16, 24, 32, 48, 64, 96, 128, 256}) {
    QImage image = platform::DrawIconPicture(*picture, side).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(side, side));
    int left = side, right = -1, top = side, bottom = -1;
    std::map<QRgb, int> counts;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        QRgb c = image.pixel(x, y);
        if (c == 0) continue;
        ASSERT_TRUE(colours.count(c)) << side << ": blended pixel at " << x << "," << y;
        ++counts[c];
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    EXPECT_LE(std::abs(left - (side - 1 - right)), 1) << side << ": not centred across";
    EXPECT_LE(std::abs(top - (side - 1 - bottom)), 1) << side << ": not centred up and down";
    EXPECT_GE(right - left + 1, side * 3 / 4) << side << ": the well fills too little";
    for (size_t i = 0; i < picture->count; ++i)
      EXPECT_GT(counts[0xff000000u | picture->cubes[i].dark], 0) << side << ": cube " << i;
  }
}

// The menu of the class, item by item as the resource gives it: ids by
// position, submenus as -1, separators as 0; checking by command id reaches
// into submenus.
TEST_F(WinUserTest, MenuItemsByPositionAndCheckMarks) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ParentProc;
  wc.lpszClassName = "TestMenu";
  wc.lpszMenuName = MAKEINTRESOURCE(IDR_MAINMENU);
  ASSERT_NE(RegisterClassA(&wc), 0);
  parent_ = CreateWindowExA(0, "TestMenu", "Test", WS_POPUP, 0, 0, 300, 200, NULL, NULL, NULL, NULL);
  HMENU bar = GetMenu(parent_);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_EQ(GetMenuItemID(bar, 0), (UINT)-1);
  EXPECT_EQ(GetMenuItemID(bar, 7), (UINT)-1);
  EXPECT_EQ(GetMenuItemCount(nullptr), -1);
  EXPECT_STREQ(platform_test::MenuItemText(parent_, ID_GAME_NEWGAME), "&New Game\tCtrl+G");
  EXPECT_STREQ(platform_test::MenuItemText(parent_, 40021), "Level 9\tCtrl+9");

  MENUITEMINFOA mii = {};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_STATE;
  mii.fState = MFS_CHECKED;
  EXPECT_TRUE(SetMenuItemInfoA(bar, ID_VIEW_NEXTBLOCK, FALSE, &mii));
  EXPECT_TRUE(platform_test::IsMenuItemChecked(parent_, ID_VIEW_NEXTBLOCK));
  mii.fState = MFS_UNCHECKED;
  EXPECT_TRUE(SetMenuItemInfoA(bar, ID_VIEW_NEXTBLOCK, FALSE, &mii));
  EXPECT_FALSE(platform_test::IsMenuItemChecked(parent_, ID_VIEW_NEXTBLOCK));
  EXPECT_FALSE(SetMenuItemInfoA(bar, 99, FALSE, &mii));
  EXPECT_FALSE(SetMenuItemInfoA(bar, ID_VIEW_NEXTBLOCK, FALSE, nullptr));

  // The Game popup as WM_INITMENUPOPUP hands it over.
  HMENU game = nullptr;
  platform_test::RecordMessages(true);
  platform_test::OpenMenu(parent_, 0);
  for (const auto& rec : platform_test::Records())
    if (rec.message == WM_INITMENUPOPUP) game = (HMENU)rec.wParam;
  platform_test::RecordMessages(false);
  platform_test::CloseMenus();
  ASSERT_NE(game, nullptr);
  std::vector<UINT> ids;
  for (int i = 0; i < GetMenuItemCount(game); ++i) ids.push_back(GetMenuItemID(game, i));
  std::vector<UINT> expected = {ID_GAME_NEWGAME, (UINT)-1, 0, ID_GAME_OPTIONS, 0, ID_GAME_EXIT};
  EXPECT_EQ(ids, expected);
}

// A menu loop: entered once, the popup initialised, the item highlighted, and
// at the end the "nothing highlighted" notice before the loop's end; the
// chosen command comes through the queue after.
TEST_F(WinUserTest, MenuLoopMessagesInOrder) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ParentProc;
  wc.lpszClassName = "TestMenu";
  wc.lpszMenuName = MAKEINTRESOURCE(IDR_MAINMENU);
  ASSERT_NE(RegisterClassA(&wc), 0);
  parent_ = CreateWindowExA(0, "TestMenu", "Test", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL, NULL, NULL);
  platform_test::RecordMessages(true);
  platform_test::OpenMenu(parent_, 2);
  platform_test::HighlightMenuItem(parent_, ID_HELP_ABOUT);
  platform_test::ChooseMenuItem(parent_, ID_HELP_ABOUT);
  std::vector<UINT> seen;
  // Paints may come between, as the popup uncovers the window.
  for (const auto& rec : platform_test::Records())
    if (rec.hwnd == parent_ && rec.message != WM_PAINT) seen.push_back(rec.message);
  platform_test::RecordMessages(false);
  std::vector<UINT> expected = {WM_ENTERMENULOOP, WM_MENUSELECT, WM_INITMENUPOPUP, WM_MENUSELECT,
                                WM_MENUSELECT, WM_EXITMENULOOP};
  EXPECT_EQ(seen, expected);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_COMMAND);
  EXPECT_EQ(LOWORD(msg.wParam), ID_HELP_ABOUT);
}

// The status bar takes at most its parts, refuses texts for parts it does not
// have, and lies along its parent's bottom edge after a size message.
TEST_F(WinUserTest, StatusBarParts) {
  ASSERT_NE(MakeParent(), nullptr);
  HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "first", parent_, 104);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(platform_test::StatusBarText(bar, 0), "first");
  int edges[2] = {50, -1};
  EXPECT_TRUE(SendMessageA(bar, SB_SETPARTS, 2, (LPARAM)edges));
  EXPECT_FALSE(SendMessageA(bar, SB_SETPARTS, 0, (LPARAM)edges));
  EXPECT_FALSE(SendMessageA(bar, SB_SETPARTS, 2, 0));
  EXPECT_TRUE(SendMessageA(bar, SB_SETTEXTA, 1, (LPARAM) "second"));
  EXPECT_FALSE(SendMessageA(bar, SB_SETTEXTA, 2, (LPARAM) "third"));
  EXPECT_EQ(platform_test::StatusBarText(bar, 1), "second");
  EXPECT_EQ(platform_test::StatusBarParts(bar), std::vector<int>({50, -1}));
  SendMessageA(bar, WM_SIZE, SIZE_RESTORED, 0);
  RECT r, client;
  GetWindowRect(bar, &r);
  GetClientRect(parent_, &client);
  POINT origin = {0, 0};
  ClientToScreen(parent_, &origin);
  EXPECT_EQ(r.bottom, origin.y + client.bottom);
  EXPECT_EQ(r.right - r.left, client.right);
  EXPECT_GT(r.bottom - r.top, 10);
  EXPECT_NE(SendMessageA(bar, WM_GETFONT, 0, 0), 0);
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&icc));
  icc.dwSize = 12;
  EXPECT_FALSE(InitCommonControlsEx(&icc));
}

// The help file's topics by name; a missing topic, a missing file, a file of
// another kind or another command shows nothing.
TEST_F(WinUserTest, HelpFileTopics) {
  TempDir dir;
  const std::string file = dir.path() + "/help.chm";
  WriteBytes(file, "QN3D-HELP 1\n== One.htm\n<p>first page</p>\n== two.htm\n<p>second page</p>\n");
  EXPECT_NE(HtmlHelpA(NULL, (file + "::/two.htm").c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
  EXPECT_EQ(platform_test::HelpViewerTopic(), "two.htm");
  EXPECT_NE(platform_test::HelpViewerText().find("second page"), std::string::npos);
  EXPECT_NE(HtmlHelpA(NULL, (file + "::/one.htm").c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
  EXPECT_NE(platform_test::HelpViewerText().find("first page"), std::string::npos);
  EXPECT_EQ(HtmlHelpA(NULL, (file + "::/three.htm").c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
  EXPECT_EQ(HtmlHelpA(NULL, (file + "::/one.htm").c_str(), 1, 0), nullptr);
  EXPECT_EQ(HtmlHelpA(NULL, (dir.path() + "/none.chm::/one.htm").c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
  WriteBytes(dir.path() + "/other.chm", "ITSF\x03\0\0\0binary");
  EXPECT_EQ(HtmlHelpA(NULL, (dir.path() + "/other.chm::/one.htm").c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
  EXPECT_EQ(HtmlHelpA(NULL, NULL, HH_DISPLAY_TOPIC, 0), nullptr);
  // A folder with "::" in its name still holds the file.
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.path() + "/a::b")));
  WriteBytes(dir.path() + "/a::b/help.chm", "QN3D-HELP 1\n== welcome.htm\n<p>welcome page</p>\n");
  EXPECT_NE(HtmlHelpA(NULL, (dir.path() + "/a::b/help.chm::/welcome.htm").c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
  EXPECT_EQ(platform_test::HelpViewerTopic(), "welcome.htm");
  platform_test::CloseHelpViewer();
  EXPECT_EQ(platform_test::HelpViewerTopic(), "");
}

// The menu and its accelerators: new games with the question, the view
// switches implying each other, the frame-rate key, the dialogs and the time
// spent in them, the check marks, the menu hints, help and the About box.

#include "window_fixture.h"

#include "high_scores/high_scores.h"
#include "platform/win_icon.h"
#include "platform/win_window.h"
#include "resources/dialog_ids.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <string>

namespace {

// A well with one locked cube, so that a new game shows.
void MarkWell() {
  g_Well[0][19] = 3;
  g_uScore = 1234;
}

}  // namespace

// Ctrl+5 during a game asks first; No leaves the game as it was and the time
// spent answering is not played; Yes starts level 5 afresh.
TEST_F(WindowTest, NewGameAtALevelAsksWhileAGameRuns) {
  Launch();
  Activate();
  Pass();
  MarkWell();
  const INT y = g_nShapeY;
  const float fall = g_fFallTimer;
  answer_ = [](const platform_test::MessageBoxCall&) {
    platform_test::AdvanceClock(30000000000ull);  // thirty seconds of thought
    return IDNO;
  };
  CtrlKey('5');
  ASSERT_EQ(boxes_, 1);
  EXPECT_EQ(lastBox_.owner, g_hwndMain);
  EXPECT_EQ(lastBox_.text, "Abandon current game and start a new game?");
  EXPECT_EQ(lastBox_.caption, "Quandrel 3D");
  EXPECT_EQ(lastBox_.type, (UINT)(MB_ICONQUESTION | MB_YESNO));
  EXPECT_EQ(g_uScore, 1234u);
  EXPECT_EQ(g_Well[0][19], 3);
  EXPECT_EQ(g_nLevel, 0);
  // The next frame plays only the time after the question.
  platform_test::AdvanceClock(20000000ull);
  Pass();
  EXPECT_NEAR(g_fFrameTime, 0.02f, 1e-4f);
  EXPECT_EQ(g_nShapeY, y);
  EXPECT_LT(g_fFallTimer - fall, 0.5f);

  answer_ = [](const platform_test::MessageBoxCall&) { return IDYES; };
  CtrlKey('5');
  EXPECT_EQ(boxes_, 2);
  EXPECT_EQ(g_nLevel, 5);
  EXPECT_EQ(g_uScore, 0u);
  EXPECT_EQ(g_Well[0][19], -1);
  EXPECT_TRUE(g_bGameRunning);
  EXPECT_EQ(Part(1), "Level 5");
}

// After game over Ctrl+G starts a level-0 game without a question; so does
// the menu item; Ctrl with a key of no accelerator does nothing.
TEST_F(WindowTest, NewGameAfterGameOverStartsAtOnce) {
  Launch();
  g_bGameRunning = FALSE;
  g_nLevel = 4;
  MarkWell();
  CtrlKey('G');
  EXPECT_EQ(boxes_, 0);
  EXPECT_TRUE(g_bGameRunning);
  EXPECT_EQ(g_nLevel, 0);
  EXPECT_EQ(g_uScore, 0u);

  g_bGameRunning = FALSE;
  platform_test::ChooseMenuItem(g_hwndMain, 40021);
  Pass();
  EXPECT_EQ(boxes_, 0);
  EXPECT_EQ(g_nLevel, 9);

  // Without Ctrl the key is no accelerator.
  g_bGameRunning = FALSE;
  platform_test::PressKey(g_hwndMain, 'G', false);
  Pass();
  EXPECT_FALSE(g_bGameRunning);
}

// Next Block implies Statistics: Ctrl+N with both off turns both on, Ctrl+S
// then turns both off; each re-frames the camera.
TEST_F(WindowTest, ViewSwitchesImplyEachOther) {
  Launch();
  // A tall view, where the width of the scene decides the frame.
  RECT r;
  GetWindowRect(g_hwndMain, &r);
  platform_test::DragWindow(g_hwndMain, r.left, r.top, 300, 700);
  Pass();
  D3DMATRIX narrow = g_matView;
  CtrlKey('N');
  EXPECT_TRUE(g_bViewNext);
  EXPECT_TRUE(g_bViewStats);
  EXPECT_NE(std::memcmp(&narrow, &g_matView, sizeof(D3DMATRIX)), 0) << "the camera did not move";
  CtrlKey('S');
  EXPECT_FALSE(g_bViewStats);
  EXPECT_FALSE(g_bViewNext);
  EXPECT_EQ(std::memcmp(&narrow, &g_matView, sizeof(D3DMATRIX)), 0);
  CtrlKey('S');
  EXPECT_TRUE(g_bViewStats);
  EXPECT_FALSE(g_bViewNext);
  CtrlKey('N');
  CtrlKey('N');
  EXPECT_TRUE(g_bViewStats);
  EXPECT_FALSE(g_bViewNext);
}

// Ctrl+F switches the frame rate although no menu item shows it; ids beside
// the commands are ignored.
TEST_F(WindowTest, FrameRateKeyAndUnknownCommands) {
  Launch();
  CtrlKey('F');
  EXPECT_TRUE(g_bShowFPS);
  CtrlKey('F');
  EXPECT_FALSE(g_bShowFPS);
  EXPECT_STREQ(platform_test::MenuItemText(g_hwndMain, ID_VIEW_FRAMERATE), "");
  SendMessage(g_hwndMain, WM_COMMAND, 40001, 0);
  SendMessage(g_hwndMain, WM_COMMAND, 40023, 0);
  EXPECT_EQ(dialogs_.size(), 0u);
  EXPECT_EQ(boxes_, 0);
  EXPECT_EQ(platform_test::QueuedMessageCount(), 0);
  EXPECT_NE(g_hwndMain, nullptr);
}

// Each dialog command opens its template modally over the main window, and
// the time spent in the dialog is not played.
TEST_F(WindowTest, DialogCommandsOpenTheirTemplatesAndSkipTheirTime) {
  Launch();
  Activate();
  Pass();
  dialog_ = [](const platform_test::DialogCall&) {
    platform_test::AdvanceClock(60000000000ull);
    return (INT_PTR)IDOK;
  };
  const UINT commands[] = {ID_GAME_OPTIONS, ID_VIEW_3DOPTIONS, ID_VIEW_HIGHSCORES, ID_HELP_ABOUT};
  const int templates[] = {106, 107, 108, 103};
  for (int i = 0; i < 4; ++i) {
    platform_test::ChooseMenuItem(g_hwndMain, commands[i]);
    Pass();
    ASSERT_EQ(dialogs_.size(), (size_t)i + 1);
    EXPECT_EQ(dialogs_[(size_t)i].templateId, templates[i]);
    EXPECT_EQ(dialogs_[(size_t)i].owner, g_hwndMain);
    EXPECT_EQ(dialogs_[(size_t)i].param, 0);
    platform_test::AdvanceClock(5000000ull);
    Pass();
    EXPECT_NEAR(g_fFrameTime, 0.005f, 1e-4f) << "command " << commands[i];
  }
  EXPECT_EQ(dialogs_[0].proc, &GameOptionsDlgProc);
  EXPECT_EQ(dialogs_[1].proc, &RenderOptionsDlgProc);
  EXPECT_EQ(dialogs_[2].proc, &HighScoreDlgProc);
  EXPECT_EQ(dialogs_[3].proc, &AboutDlgProc);
}

// The About box puts the version and date into its placeholders, shows the
// program's icon, and ends with 1 on OK; Escape and the close box end it as
// well.
TEST_F(WindowTest, AboutBoxTextsAndEnd) {
  platform_test::SetDialogHandler(nullptr);
  std::string version, date;
  QImage shown;
  platform_test::SetDialogScript([&](HWND hDlg, int templateId) {
    ASSERT_EQ(templateId, IDD_ABOUT);
    char sz[64];
    GetDlgItemTextA(hDlg, IDC_ABOUT_VERSION, sz, sizeof(sz));
    version = sz;
    GetDlgItemTextA(hDlg, IDC_ABOUT_DATE, sz, sizeof(sz));
    date = sz;
    for (QLabel* label : platform::WidgetOf(hDlg)->findChildren<QLabel*>())
      if (!label->pixmap().isNull()) shown = label->pixmap().toImage();
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  EXPECT_EQ(DialogBoxParamA(g_hInstance, MAKEINTRESOURCE(IDD_ABOUT), nullptr, AboutDlgProc, 0), 1);
  EXPECT_EQ(version, "Version: 0.9.03");
  EXPECT_EQ(date, "Date: Dec  9 2000");
  ASSERT_FALSE(shown.isNull()) << "no icon in the About box";
  const QImage icon = platform::DrawIconPicture(*platform::FindIconPicture(IDI_MAINICON), shown.width());
  EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32), icon.convertToFormat(QImage::Format_ARGB32))
      << "the About box shows another icon than the program's";
  platform_test::SetDialogScript([](HWND hDlg, int) { platform_test::PressDlgKey(hDlg, Qt::Key_Escape); });
  EXPECT_EQ(DialogBoxParamA(g_hInstance, MAKEINTRESOURCE(IDD_ABOUT), nullptr, AboutDlgProc, 0), IDCANCEL);
  platform_test::SetDialogScript([](HWND hDlg, int) { platform_test::CloseDlg(hDlg); });
  EXPECT_EQ(DialogBoxParamA(g_hInstance, MAKEINTRESOURCE(IDD_ABOUT), nullptr, AboutDlgProc, 0), IDCANCEL);
  platform_test::SetDialogScript(nullptr);
}

// Opening the View menu shows check marks that match the switches, also
// after something else changed them; nothing else is checked.
TEST_F(WindowTest, ViewMenuCheckMarksFollowTheSwitches) {
  Launch();
  g_bViewStats = 1;
  g_bViewNext = 0;
  platform_test::OpenMenu(g_hwndMain, 1);
  EXPECT_TRUE(platform_test::IsMenuItemChecked(g_hwndMain, ID_VIEW_STATISTICS));
  EXPECT_FALSE(platform_test::IsMenuItemChecked(g_hwndMain, ID_VIEW_NEXTBLOCK));
  platform_test::CloseMenus();
  // As if the Game Options dialog had changed them.
  g_bViewStats = 1;
  g_bViewNext = 1;
  platform_test::OpenMenu(g_hwndMain, 1);
  EXPECT_TRUE(platform_test::IsMenuItemChecked(g_hwndMain, ID_VIEW_STATISTICS));
  EXPECT_TRUE(platform_test::IsMenuItemChecked(g_hwndMain, ID_VIEW_NEXTBLOCK));
  platform_test::CloseMenus();
  g_bViewStats = 0;
  g_bViewNext = 0;
  platform_test::OpenMenu(g_hwndMain, 1);
  EXPECT_FALSE(platform_test::IsMenuItemChecked(g_hwndMain, ID_VIEW_STATISTICS));
  EXPECT_FALSE(platform_test::IsMenuItemChecked(g_hwndMain, ID_VIEW_NEXTBLOCK));
  platform_test::CloseMenus();
  platform_test::OpenMenu(g_hwndMain, 0);
  for (UINT id = ID_GAME_LEVEL0; id <= ID_GAME_LEVEL9; ++id)
    EXPECT_FALSE(platform_test::IsMenuItemChecked(g_hwndMain, id)) << id;
  platform_test::CloseMenus();
}

// While an item is highlighted the first part shows its hint; a submenu title
// blanks it; closing the menu brings the message back.
TEST_F(WindowTest, MenuHintsInTheStatusBar) {
  Launch();
  platform_test::OpenMenu(g_hwndMain, 0);
  EXPECT_EQ(Part(0), " ");
  platform_test::HighlightMenuItem(g_hwndMain, ID_GAME_NEWGAME);
  EXPECT_EQ(Part(0), "Start a new game");
  platform_test::HighlightMenuItem(g_hwndMain, 40017, true);
  EXPECT_EQ(Part(0), " ");
  platform_test::HighlightMenuItem(g_hwndMain, 40017);
  EXPECT_EQ(Part(0), "Start a new game at level 5");
  platform_test::HighlightMenuItem(g_hwndMain, ID_VIEW_HIGHSCORES);
  EXPECT_EQ(Part(0), "View previous high scores and cower in shame (or gloat in triumph)");
  platform_test::CloseMenus();
  EXPECT_EQ(Part(0), "Play the game!");

  // The system menu's items have hints too; an id without a string blanks
  // the part.
  SendMessage(g_hwndMain, WM_MENUSELECT, MAKEWPARAM(61536, MF_HILITE), (LPARAM)GetMenu(g_hwndMain));
  EXPECT_EQ(Part(0), "Close the window");
  SendMessage(g_hwndMain, WM_MENUSELECT, MAKEWPARAM(61728, MF_HILITE), (LPARAM)GetMenu(g_hwndMain));
  EXPECT_EQ(Part(0), "Restores this window to its default size");
  SendMessage(g_hwndMain, WM_MENUSELECT, MAKEWPARAM(ID_VIEW_FRAMERATE, MF_HILITE), (LPARAM)GetMenu(g_hwndMain));
  EXPECT_EQ(Part(0), " ");
  SetStatusText("Game over");
  EXPECT_EQ(Part(0), " ");
  SendMessage(g_hwndMain, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(Part(0), "Game over");
}

// Exit closes the main window and ends the loop.
TEST_F(WindowTest, ExitEndsTheLoop) {
  Launch();
  platform_test::ChooseMenuItem(g_hwndMain, ID_GAME_EXIT);
  EXPECT_FALSE(Pass());
  EXPECT_EQ(g_hwndMain, nullptr);
  EXPECT_EQ(g_hwndView, nullptr);
}

// Help and the licence page open their topics of the help file; without the
// file they do nothing; a help path as long as the buffer is no problem.
TEST_F(WindowTest, HelpAndLicenceOpenTheirTopics) {
  Launch();
  std::snprintf(g_szHelpFile, MAX_PATH, "%s", QUANDREL_TEST_DATA "/../src/resources/help/Quandrel3D.chm");
  platform_test::ChooseMenuItem(g_hwndMain, ID_HELP_HELP);
  Pass();
  EXPECT_EQ(platform_test::HelpViewerTopic(), "welcome.htm");
  EXPECT_TRUE(platform_test::IsHelpViewerVisible());
  platform_test::ChooseMenuItem(g_hwndMain, ID_HELP_LICENSE);
  Pass();
  EXPECT_EQ(platform_test::HelpViewerTopic(), "license.htm");
  EXPECT_NE(platform_test::HelpViewerText().find("MIT License"), std::string::npos);
  platform_test::CloseHelpViewer();

  std::snprintf(g_szHelpFile, MAX_PATH, "%s", "/nonexistent/Quandrel3D.chm");
  platform_test::ChooseMenuItem(g_hwndMain, ID_HELP_HELP);
  Pass();
  EXPECT_FALSE(platform_test::IsHelpViewerVisible());
  std::string longPath(MAX_PATH - 1, 'a');
  longPath[0] = '/';
  std::snprintf(g_szHelpFile, MAX_PATH, "%s", longPath.c_str());
  platform_test::ChooseMenuItem(g_hwndMain, ID_HELP_LICENSE);
  Pass();
  EXPECT_FALSE(platform_test::IsHelpViewerVisible());
  EXPECT_NE(g_hwndMain, nullptr);
}

// The close box pressed while the question is open: the window goes once the
// question is answered, the game's loop ends, and nothing of the window is
// used after it went.
TEST_F(WindowTest, ClosedWhileTheQuestionIsOpen) {
  Launch();
  platform_test::SetMessageBoxHandler(nullptr);
  bool answered = false;
  // Inside the question's own loop: the close box, then Yes.
  std::function<void()> answer = [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      QTimer::singleShot(1, answer);
      return;
    }
    platform_test::CloseWindowBox(g_hwndMain);
    EXPECT_EQ(g_hwndMain, nullptr);
    box->button(QMessageBox::Yes)->click();
    answered = true;
  };
  QTimer::singleShot(0, answer);
  platform_test::PressKey(g_hwndMain, '3', true);
  EXPECT_FALSE(Pass());
  EXPECT_TRUE(answered);
  EXPECT_EQ(g_nLevel, 3);
  EXPECT_EQ(g_hwndView, nullptr);
}

// Every command item of the menu shows its text and, while highlighted, its
// hint; every accelerator reaches its command.
TEST_F(WindowTest, EveryMenuItemHasItsTextAndHintAndEveryKeyItsCommand) {
  Launch();
  struct Item {
    UINT id;
    int popup;  // position of its popup on the menu bar
    const char* text;
    const char* hint;
  } items[] = {
      {40004, 0, "&New Game\tCtrl+G", "Start a new game"},
      {40010, 0, "&Game Options...", "Select game options"},
      {40005, 0, "E&xit", "Exit the game"},
      {40006, 1, "&Statistics\tCtrl+S", "View statistics on the number of blocks you have had"},
      {40007, 1, "&Next Block\tCtrl+N", "See the next block before it appears"},
      {40008, 1, "3D &Options...", "Alter options affecting the way the graphics are drawn"},
      {40009, 1, "&High Scores...", "View previous high scores and cower in shame (or gloat in triumph)"},
      {40022, 2, "&Help...", "Display the Plumbo help file"},
      {40002, 2, "&License...", nullptr},
      {40003, 2, "&About...", "About Quandrel 3D"},
  };
  for (const Item& item : items) {
    platform_test::OpenMenu(g_hwndMain, item.popup);
    EXPECT_STREQ(platform_test::MenuItemText(g_hwndMain, item.id), item.text);
    platform_test::HighlightMenuItem(g_hwndMain, item.id);
    if (item.hint != nullptr)
      EXPECT_EQ(Part(0), item.hint) << item.id;
    else
      EXPECT_NE(Part(0).find("License"), std::string::npos) << Part(0);
    platform_test::CloseMenus();
  }
  platform_test::OpenMenu(g_hwndMain, 0);
  for (UINT n = 0; n <= 9; ++n) {
    const std::string text = "Level " + std::to_string(n) + "\tCtrl+" + std::to_string(n);
    EXPECT_EQ(platform_test::MenuItemText(g_hwndMain, 40012 + n), text);
    platform_test::HighlightMenuItem(g_hwndMain, 40012 + n);
    EXPECT_EQ(Part(0), "Start a new game at level " + std::to_string(n));
  }
  platform_test::CloseMenus();

  // The keys, with no game running so that no question comes between.
  std::vector<std::pair<UINT, UINT>> keys = {{'G', 40004}, {'S', 40006}, {'N', 40007}, {'F', 40011}};
  for (UINT n = 0; n <= 9; ++n) keys.push_back({'0' + n, 40012 + n});
  for (const auto& key : keys) {
    g_bGameRunning = FALSE;
    platform_test::RecordMessages(true);
    CtrlKey(key.first);
    std::vector<UINT> commands;
    for (const auto& r : platform_test::Records())
      if (r.hwnd == g_hwndMain && r.message == WM_COMMAND) commands.push_back(LOWORD(r.wParam));
    EXPECT_EQ(commands, std::vector<UINT>({key.second})) << "Ctrl+" << (char)key.first;
  }
  platform_test::RecordMessages(false);
}

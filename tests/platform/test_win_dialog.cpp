// The dialog layer run for real off-screen: templates realised at their
// dialog-unit places, the messages a procedure receives and in which order,
// Enter, Escape and the close box, the control messages, and the open-file
// dialog's question and answer.

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QWidget>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "dialog_rig.h"
#include "platform/win_window.h"
#include "resources/dialogs.h"
#include "temp_dir.h"

namespace {

struct Message {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// The procedure under test is a function object behind a plain function.
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> g_proc;
std::vector<Message> g_messages;

INT_PTR CALLBACK RecordingProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  g_messages.push_back({msg, wParam, lParam});
  return g_proc ? g_proc(hDlg, msg, wParam, lParam) : FALSE;
}

// Ends the dialog on OK or Cancel with their ids.
INT_PTR EndOnCommand(HWND hDlg, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
    EndDialog(hDlg, LOWORD(wParam));
  return msg == WM_COMMAND;
}

class DialogLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    g_messages.clear();
    g_proc = nullptr;
  }
  void TearDown() override { g_proc = nullptr; }

  INT_PTR Run(int id, LPARAM param = 0) {
    return DialogBoxParamA(nullptr, MAKEINTRESOURCE(id), nullptr, RecordingProc, param);
  }

  std::vector<Message> Commands() const {
    std::vector<Message> v;
    for (const Message& m : g_messages)
      if (m.msg == WM_COMMAND) v.push_back(m);
    return v;
  }

  DialogRig rig_;
};

}  // namespace

// ---- making and ending a dialog -------------------------------------------------

TEST_F(DialogLayer, UnknownTemplateOrNoProcedureFails) {
  rig_.Play(nullptr);
  EXPECT_EQ(Run(999), -1);
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCE(IDD_RENDEROPTIONS), nullptr, nullptr, 0), -1);
  EXPECT_TRUE(g_messages.empty());
  EXPECT_EQ(rig_.shown, 0);
}

TEST_F(DialogLayer, InitDialogGetsParameterAndFirstTabStopThenClickEnds) {
  int firstTabStop = 0;
  std::vector<int> senders;
  g_proc = [&](HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) -> INT_PTR {
    if (msg == WM_INITDIALOG) firstTabStop = platform::ControlId(platform::WidgetOf((HWND)wParam));
    if (msg == WM_COMMAND) senders.push_back(platform::ControlId(platform::WidgetOf((HWND)lParam)));
    return EndOnCommand(hDlg, msg, wParam, lParam);
  };
  HWND hSeen = nullptr;
  rig_.Play([&](HWND hDlg) {
    hSeen = hDlg;
    QWidget* dialog = platform::WidgetOf(hDlg);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle().toStdString(), "3D Rendering Options");
    EXPECT_TRUE(platform_test::ClickDlgItem(hDlg, IDC_GOURAUD));
    EXPECT_FALSE(platform_test::DialogEnded(hDlg));  // a box click is no end
    EXPECT_TRUE(platform_test::ClickDlgItem(hDlg, IDCANCEL));
    EXPECT_TRUE(platform_test::DialogEnded(hDlg));
  });
  EXPECT_EQ(Run(IDD_RENDEROPTIONS, 0x1234), IDCANCEL);
  EXPECT_EQ(rig_.lastTemplate, IDD_RENDEROPTIONS);
  ASSERT_GE(g_messages.size(), 3u);
  EXPECT_EQ(g_messages[0].msg, WM_INITDIALOG);
  EXPECT_EQ(g_messages[0].lParam, 0x1234);
  // The first control with a tab stop is OK; each command names its sender.
  EXPECT_EQ(firstTabStop, IDOK);
  auto commands = Commands();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(IDC_GOURAUD, BN_CLICKED));
  EXPECT_EQ(commands[1].wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
  EXPECT_EQ(senders, (std::vector<int>{IDC_GOURAUD, IDCANCEL}));
  // Once the call returns the dialog is gone and its handle names nothing.
  EXPECT_FALSE(IsWindow(hSeen));
}

// When a dialog closes its owner's window is the active one again, as the
// window system makes it; without that the game would stay suspended after a
// dialog where no window manager hands the activation back.
TEST_F(DialogLayer, OwnerIsActiveAgainAfterTheDialog) {
  QWidget owner;
  owner.resize(200, 150);
  owner.show();
  owner.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &owner);
  g_proc = EndOnCommand;
  platform_test::SetDialogScript([](HWND hDlg, int) {
    EXPECT_NE(QApplication::activeWindow(), nullptr);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCE(IDD_ABOUT), platform::HandleOf(&owner), RecordingProc, 0), IDOK);
  platform_test::SetDialogScript(nullptr);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), &owner);
}

TEST_F(DialogLayer, EndDialogDuringInitReturnsAtOnceWithoutShowing) {
  g_proc = [](HWND hDlg, UINT msg, WPARAM, LPARAM) -> INT_PTR {
    if (msg == WM_INITDIALOG) EndDialog(hDlg, 42);
    return TRUE;
  };
  rig_.Play(nullptr);
  EXPECT_EQ(Run(IDD_ABOUT), 42);
  EXPECT_EQ(rig_.shown, 0);
}

TEST_F(DialogLayer, InitialFocusFollowsTheInitDialogResult) {
  // TRUE: the first tab stop; FALSE after SetFocus: the procedure's choice.
  g_proc = [](HWND hDlg, UINT msg, WPARAM, LPARAM) -> INT_PTR {
    if (msg != WM_INITDIALOG) return FALSE;
    SetFocus(GetDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT));
    return FALSE;
  };
  int focused = 0;
  rig_.Play([&](HWND hDlg) { focused = platform_test::FocusedDlgItem(hDlg); });
  Run(IDD_HIGHSCORES);
  EXPECT_EQ(focused, IDC_HIGHSCORE_NAMEEDIT);

  g_proc = [](HWND, UINT msg, WPARAM, LPARAM) -> INT_PTR { return msg == WM_INITDIALOG; };
  Run(IDD_HIGHSCORES);
  EXPECT_EQ(focused, IDOK);
}

TEST_F(DialogLayer, ScriptThatLeavesTheDialogOpenEndsItWithMinusOne) {
  rig_.Play([](HWND) {});
  EXPECT_EQ(Run(IDD_ABOUT), -1);
}

// ---- keyboard and close box ------------------------------------------------------

TEST_F(DialogLayer, EnterEscapeAndCloseBoxSendTheirCommands) {
  // The procedure never ends the dialog: each key is seen as a command and
  // the dialog stays.
  g_proc = [](HWND, UINT msg, WPARAM, LPARAM) -> INT_PTR { return msg == WM_COMMAND; };
  bool stillOpen = false;
  rig_.Play([&](HWND hDlg) {
    SetFocus(GetDlgItem(hDlg, IDC_ROW_BURST));
    platform_test::PressDlgKey(hDlg, Qt::Key_Return);  // default button: OK
    SetFocus(GetDlgItem(hDlg, IDCANCEL));
    platform_test::PressDlgKey(hDlg, Qt::Key_Enter);  // the focused push button
    platform_test::PressDlgKey(hDlg, Qt::Key_Escape);
    platform_test::CloseDlg(hDlg);
    stillOpen = !platform_test::DialogEnded(hDlg) && platform::WidgetOf(hDlg)->isVisible();
  });
  EXPECT_EQ(Run(IDD_RENDEROPTIONS), -1);
  EXPECT_TRUE(stillOpen);
  auto commands = Commands();
  ASSERT_EQ(commands.size(), 4u);
  EXPECT_EQ(LOWORD(commands[0].wParam), IDOK);
  EXPECT_EQ(LOWORD(commands[1].wParam), IDCANCEL);
  EXPECT_EQ(LOWORD(commands[2].wParam), IDCANCEL);
  EXPECT_EQ(LOWORD(commands[3].wParam), IDCANCEL);
}

TEST_F(DialogLayer, EnterInAnEditPressesTheDefaultButtonAndEscapeWorksWithoutCancel) {
  g_proc = EndOnCommand;
  rig_.Play([](HWND hDlg) {
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT, "Ann");
    platform_test::PressDlgKey(hDlg, Qt::Key_Return);
  });
  EXPECT_EQ(Run(IDD_HIGHSCORES), IDOK);

  // About has no Cancel button; Escape still sends IDCANCEL.
  rig_.Play([](HWND hDlg) { platform_test::PressDlgKey(hDlg, Qt::Key_Escape); });
  EXPECT_EQ(Run(IDD_ABOUT), IDCANCEL);
}

// ---- controls --------------------------------------------------------------------

TEST_F(DialogLayer, CheckBoxesAndRadioGroups) {
  g_proc = EndOnCommand;
  std::vector<LRESULT> seen;
  std::vector<LRESULT> checkedAtClick;
  g_proc = [&](HWND hDlg, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_ROW_BURST)
      checkedAtClick.push_back(SendDlgItemMessageA(hDlg, IDC_ROW_BURST, BM_GETCHECK, 0, 0));
    return FALSE;
  };
  rig_.Play([&](HWND hDlg) {
    auto check = [&](int id) { return SendDlgItemMessageA(hDlg, id, BM_GETCHECK, 0, 0); };
    // An automatic box has toggled itself when its notification arrives.
    platform_test::ClickDlgItem(hDlg, IDC_ROW_BURST);
    platform_test::ClickDlgItem(hDlg, IDC_ROW_BURST);
    // Radio buttons check each other off, but not the box of the next group.
    SendDlgItemMessageA(hDlg, IDC_ROW_BURST, BM_SETCHECK, BST_CHECKED, 0);
    platform_test::ClickDlgItem(hDlg, IDC_BLOCKS_DEFAULT);
    seen = {check(IDC_BLOCKS_DEFAULT), check(IDC_BLOCKS_SIMPLE), check(IDC_ROW_BURST)};
    platform_test::ClickDlgItem(hDlg, IDC_BLOCKS_SIMPLE);
    platform_test::ClickDlgItem(hDlg, IDC_BLOCKS_SIMPLE);  // a checked radio stays checked
    seen.push_back(check(IDC_BLOCKS_DEFAULT));
    seen.push_back(check(IDC_BLOCKS_SIMPLE));
    seen.push_back(check(IDC_ROW_BURST));
    // The program may uncheck both radios.
    SendDlgItemMessageA(hDlg, IDC_BLOCKS_SIMPLE, BM_SETCHECK, BST_UNCHECKED, 0);
    seen.push_back(check(IDC_BLOCKS_DEFAULT) + check(IDC_BLOCKS_SIMPLE));
    EndDialog(hDlg, 7);
  });
  EXPECT_EQ(Run(IDD_RENDEROPTIONS), 7);
  EXPECT_EQ(checkedAtClick, (std::vector<LRESULT>{BST_CHECKED, BST_UNCHECKED}));
  EXPECT_EQ(seen, (std::vector<LRESULT>{1, 0, 1, 0, 1, 1, 0}));
}

TEST_F(DialogLayer, DropDownListMessagesAndSelection) {
  std::vector<LRESULT> results;
  rig_.Play([&](HWND hDlg) {
    auto send = [&](UINT msg, WPARAM w, LPARAM l) {
      results.push_back(SendDlgItemMessageA(hDlg, IDC_KEY_LEFT, msg, w, l));
    };
    send(CB_ADDSTRING, 0, (LPARAM) "");
    send(CB_ADDSTRING, 0, (LPARAM) "Esc");
    send(CB_ADDSTRING, 0, (LPARAM) "Num 7");
    send(CB_GETCOUNT, 0, 0);
    send(CB_SETCURSEL, 2, 0);
    send(CB_GETCURSEL, 0, 0);
    send(CB_SETCURSEL, 3, 0);  // outside: no selection
    send(CB_GETCURSEL, 0, 0);
    platform_test::PickDlgItem(hDlg, IDC_KEY_LEFT, 1);  // the player's pick notifies
    send(CB_GETCURSEL, 0, 0);
    send(CB_RESETCONTENT, 0, 0);
    send(CB_GETCOUNT, 0, 0);
    EndDialog(hDlg, 1);
  });
  Run(IDD_GAMEOPTIONS);
  EXPECT_EQ(results, (std::vector<LRESULT>{0, 1, 2, 3, 2, 2, CB_ERR, CB_ERR, 1, TRUE, 0}));
  auto commands = Commands();
  ASSERT_EQ(commands.size(), 1u);  // CB_SETCURSEL does not notify
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(IDC_KEY_LEFT, CBN_SELCHANGE));
}

TEST_F(DialogLayer, TextsLimitsAndShowing) {
  std::string full, cut, utf8Cut, typed, afterSet;
  int length = -1;
  BOOL wasShown = FALSE, again = TRUE;
  bool clickHidden = true;
  rig_.Play([&](HWND hDlg) {
    char buf[8];
    SetDlgItemTextA(hDlg, IDC_HIGHSCORE_NAMEEDIT, "abcdefghij");
    GetDlgItemTextA(hDlg, IDC_HIGHSCORE_NAMEEDIT, buf, 5);
    cut = buf;
    // "aé" then "ü": a cut never leaves half a character.
    SetDlgItemTextA(hDlg, IDC_HIGHSCORE_NAMEEDIT, "a\xC3\xA9\xC3\xBC");
    GetDlgItemTextA(hDlg, IDC_HIGHSCORE_NAMEEDIT, buf, 5);
    utf8Cut = buf;
    length = GetWindowTextLengthA(GetDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT));
    // The limit counts bytes and stops typing, not the program's own text.
    SendDlgItemMessageA(hDlg, IDC_HIGHSCORE_NAMEEDIT, EM_LIMITTEXT, 4, 0);
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT, "x\xC3\xA9\xC3\xA9yz");
    char big[64];
    GetWindowTextA(GetDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT), big, sizeof(big));
    typed = big;
    SetDlgItemTextA(hDlg, IDC_HIGHSCORE_NAMEEDIT, "longer than four");
    GetDlgItemTextA(hDlg, IDC_HIGHSCORE_NAMEEDIT, big, sizeof(big));
    afterSet = big;
    SetDlgItemTextA(hDlg, IDC_HIGHSCORE_MESSAGE, "Quandrel 3D\n\nH I G H S C O R E S");
    GetDlgItemTextA(hDlg, IDC_HIGHSCORE_MESSAGE, big, sizeof(big));
    full = big;
    wasShown = ShowWindow(GetDlgItem(hDlg, IDCANCEL), SW_HIDE);
    again = ShowWindow(GetDlgItem(hDlg, IDCANCEL), SW_HIDE);
    clickHidden = platform_test::ClickDlgItem(hDlg, IDCANCEL);
    EndDialog(hDlg, 1);
  });
  Run(IDD_HIGHSCORES);
  EXPECT_EQ(cut, "abcd");
  EXPECT_EQ(utf8Cut, "a\xC3\xA9");
  EXPECT_EQ(length, 5);
  EXPECT_EQ(typed, "x\xC3\xA9y");  // the second "\xC3\xA9" and the "z" would not fit
  EXPECT_EQ(afterSet, "longer than four");
  EXPECT_EQ(full, "Quandrel 3D\n\nH I G H S C O R E S");
  EXPECT_TRUE(wasShown);
  EXPECT_FALSE(again);
  EXPECT_FALSE(clickHidden);
  EXPECT_TRUE(Commands().empty());
}

// ---- dialog units ------------------------------------------------------------------

TEST(DialogUnits, PixelsFromBaseUnitsRoundToNearest) {
  SIZE base{6, 13};
  EXPECT_EQ(platform::DialogUnitsToPixelsX(322, base), 483);
  EXPECT_EQ(platform::DialogUnitsToPixelsX(7, base), 11);     // 10.5 rounds up
  EXPECT_EQ(platform::DialogUnitsToPixelsY(164, base), 267);  // 266.5 rounds up
  EXPECT_EQ(platform::DialogUnitsToPixelsY(14, base), 23);    // 22.75
  EXPECT_EQ(platform::DialogUnitsToPixelsY(7, base), 11);     // 11.375
  QFont font("MS Sans Serif", 8);
  SIZE units = platform::DialogBaseUnits(font);
  QFontMetrics metrics(font);
  EXPECT_EQ(units.cy, metrics.height());
  EXPECT_NEAR(units.cx * 52.0,
              metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
              52.0);
}

TEST_F(DialogLayer, TemplatePlacesControlsInDialogUnits) {
  QSize client;
  QRect ok, edit;
  SIZE base{};
  rig_.Play([&](HWND hDlg) {
    QWidget* dialog = platform::WidgetOf(hDlg);
    base = platform::DialogBaseUnits(dialog->font());
    client = dialog->size();
    ok = platform::WidgetOf(GetDlgItem(hDlg, IDOK))->geometry();
    edit = platform::WidgetOf(GetDlgItem(hDlg, IDC_HIGHSCORE_FILE))->geometry();
    EndDialog(hDlg, 1);
  });
  Run(IDD_GAMEOPTIONS);
  auto X = [&](int u) { return platform::DialogUnitsToPixelsX(u, base); };
  auto Y = [&](int u) { return platform::DialogUnitsToPixelsY(u, base); };
  ASSERT_GT(base.cx, 0);
  EXPECT_EQ(client, QSize(X(322), Y(164)));
  EXPECT_EQ(ok, QRect(X(265), Y(7), X(50), Y(14)));
  EXPECT_EQ(edit, QRect(X(57), Y(143), X(203), Y(14)));
}

TEST_F(DialogLayer, AboutTemplateHasItsCaptionSizeAndControls) {
  const DLGRESOURCE* res = platform::FindDialogResource(IDD_ABOUT);
  ASSERT_NE(res, nullptr);
  EXPECT_STREQ(res->caption, "About Quandrel 3D");
  EXPECT_EQ(res->cx, 160);
  EXPECT_EQ(res->cy, 113);
  std::string version, date, title;
  bool okIsDefault = false;
  rig_.Play([&](HWND hDlg) {
    char buf[64];
    GetDlgItemTextA(hDlg, IDC_ABOUT_VERSION, buf, sizeof(buf));
    version = buf;
    GetDlgItemTextA(hDlg, IDC_ABOUT_DATE, buf, sizeof(buf));
    date = buf;
    okIsDefault = GetDlgItem(hDlg, IDOK) != nullptr;
    SetFocus(GetDlgItem(hDlg, IDC_ABOUT_DATE));  // a static takes no focus
    platform_test::PressDlgKey(hDlg, Qt::Key_Return);
  });
  g_proc = EndOnCommand;
  EXPECT_EQ(Run(IDD_ABOUT), IDOK);
  EXPECT_TRUE(okIsDefault);
  EXPECT_FALSE(version.empty());
  EXPECT_FALSE(date.empty());
}

// ---- open-file dialog ----------------------------------------------------------------

TEST(OpenFileDialog, QuestionAndAnswerPassThroughTheBuffer) {
  DialogRig rig;
  platform_test::OpenFileCall seen{};
  std::optional<std::string> answer = "/tmp/scores/Quandrel3DHiScores";
  platform_test::SetOpenFileHandler([&](const platform_test::OpenFileCall& call) {
    seen = call;
    return answer;
  });
  char file[32] = "old.dat";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.lpstrFilter = "High score files\0Quandrel3DHiScores\0All files (*.*)\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof(file);
  ofn.lpstrTitle = "Select Highscore File";
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(seen.title, "Select Highscore File");
  EXPECT_EQ(seen.initialFile, "old.dat");
  EXPECT_EQ(seen.flags, 0x8804u);
  ASSERT_EQ(seen.filters.size(), 2u);
  EXPECT_EQ(seen.filters[0],
            (std::pair<std::string, std::string>{"High score files", "Quandrel3DHiScores"}));
  EXPECT_EQ(seen.filters[1], (std::pair<std::string, std::string>{"All files (*.*)", "*.*"}));
  EXPECT_STREQ(file, "/tmp/scores/Quandrel3DHiScores");
  EXPECT_EQ(ofn.nFileOffset, 12);
  EXPECT_EQ(ofn.nFileExtension, std::strlen(file));  // no extension

  // Cancel, and a path that does not fit, leave the buffer alone.
  answer = std::nullopt;
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  answer = "/a/path/that/is/far/too/long/for/the/buffer";
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_STREQ(file, "/tmp/scores/Quandrel3DHiScores");
}

TEST(OpenFileDialog, ChosenFileChecksFollowTheFlags) {
  TempDir dir;
  std::string readOnly = dir / "locked";
  WriteBytes(readOnly, "x");
  chmod(readOnly.c_str(), 0444);
  const DWORD flags = OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  EXPECT_EQ(platform::CheckChosenFile(dir / "new-file", flags), "");
  EXPECT_NE(platform::CheckChosenFile(dir / "missing/new-file", flags), "");
  EXPECT_EQ(platform::CheckChosenFile(dir / "missing/new-file", 0), "");
  EXPECT_NE(platform::CheckChosenFile(dir.path(), flags), "");
  if (geteuid() != 0) {
    EXPECT_NE(platform::CheckChosenFile(readOnly, flags), "");
  }
  EXPECT_EQ(platform::CheckChosenFile(readOnly, OFN_PATHMUSTEXIST), "");
}

// The Game Options dialog run for real off-screen and played from inside:
// what it shows of the options, the preset buttons, the coupled view boxes,
// the high-score file with its browse and its question, and that only OK
// changes anything.

#include <cstdlib>
#include <string>
#include <vector>

#include "high_scores/high_scores.h"
#include "input/input.h"
#include "maths/maths.h"
#include "options_fixture.h"
#include "platform/dialog_rig.h"
#include "platform/win_window.h"
#include "render/render.h"
#include "resources/dialog_ids.h"

namespace {

class GameOptionsDialog : public OptionsTest {
 protected:
  void SetUp() override {
    OptionsTest::SetUp();
    std::memcpy(savedNames_, g_lpszKeyNames, sizeof(savedNames_));
    for (int c = 0; c < 256; ++c) g_lpszKeyNames[c] = gc_KeyNames[c];
    ClearTable();
    g_nHighScoreFileState = 0;
    savedAspect_ = g_fAspect;
    savedView_ = g_matView;
    platform_test::SetMessageBoxHandler([this](const platform_test::MessageBoxCall& call) {
      boxes_.push_back(call);
      return answer_;
    });
    g_uKeyLeft = 0x47;
    g_uKeyRight = 0x49;
    g_uKeyRotate = 0x48;
    g_uKeyDown = 0x2A;
    g_uKeyDrop = 0x39;
    g_bViewStats = 1;
    g_bViewNext = 1;
    current_ = dir_ / "Quandrel3DHiScores";
    std::snprintf(g_szHighScoreFile, MAX_PATH, "%s", current_.c_str());
  }
  void TearDown() override {
    platform_test::SetMessageBoxHandler(nullptr);
    ClearTable();
    g_nHighScoreFileState = 0;
    g_fAspect = savedAspect_;
    g_matView = savedView_;
    std::memcpy(g_lpszKeyNames, savedNames_, sizeof(savedNames_));
    OptionsTest::TearDown();
  }

  static void ClearTable() {
    for (UINT i = 0; i < g_uNumHighScores; ++i) std::free(g_HighScores[i].lpszName);
    g_uNumHighScores = 0;
  }
  static void SetTable(const std::vector<UINT>& scores) {
    ClearTable();
    for (UINT s : scores) {
      g_HighScores[g_uNumHighScores].uScore = s;
      g_HighScores[g_uNumHighScores++].lpszName = strdup(("p" + std::to_string(s)).c_str());
    }
  }
  static std::vector<UINT> Table() {
    std::vector<UINT> v;
    for (UINT i = 0; i < g_uNumHighScores; ++i) v.push_back(g_HighScores[i].uScore);
    return v;
  }
  // Writes a valid high-score file holding the scores; the table in memory
  // stays as it was.
  static void WriteTableFile(const std::string& path, const std::vector<UINT>& scores) {
    std::vector<UINT> keep = Table();
    SetTable(scores);
    size_t size;
    BYTE* image = MakeHighScoreImage(&size);
    WriteBytes(path, std::string((const char*)image, size));
    std::free(image);
    SetTable(keep);
  }

  INT_PTR Run() {
    return DialogBoxParamA(nullptr, MAKEINTRESOURCE(IDD_GAMEOPTIONS), nullptr, GameOptionsDlgProc,
                           0);
  }
  std::vector<UINT> Keys() const {
    return {g_uKeyLeft, g_uKeyRight, g_uKeyRotate, g_uKeyDown, g_uKeyDrop};
  }

  static LRESULT Sel(HWND hDlg, int id) {
    return SendDlgItemMessageA(hDlg, id, CB_GETCURSEL, 0, 0);
  }
  static bool Checked(HWND hDlg, int id) {
    return SendDlgItemMessageA(hDlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  static std::string FileText(HWND hDlg) {
    char buf[MAX_PATH];
    GetDlgItemTextA(hDlg, IDC_HIGHSCORE_FILE, buf, MAX_PATH);
    return buf;
  }

  DialogRig rig_;
  std::vector<platform_test::MessageBoxCall> boxes_;
  int answer_ = IDNO;
  std::string current_;

 private:
  const char* savedNames_[256];
  float savedAspect_ = 0;
  D3DMATRIX savedView_{};
};

}  // namespace

// ---- opening ---------------------------------------------------------------------

TEST_F(GameOptionsDialog, OpensWithTheCurrentOptions) {
  g_uKeyLeft = 0x4B;    // Num 4
  g_uKeyRotate = 0xC8;  // Up Arrow
  g_uKeyDrop = KEY_NONE;
  g_uKeyDown = 0x54;  // no name: shows the named code below it
  g_bViewNext = 0;
  int named = 0;
  for (int c = 0; c < 256; ++c) named += gc_KeyNames[c] != nullptr;
  std::vector<LRESULT> sel;
  LRESULT count = 0;
  std::string first, itemOfLeft, file;
  bool stats = false, next = true;
  rig_.Play([&](HWND hDlg) {
    for (int id : {IDC_KEY_LEFT, IDC_KEY_ROTATE, IDC_KEY_RIGHT, IDC_KEY_DROP, IDC_KEY_DOWN})
      sel.push_back(Sel(hDlg, id));
    count = SendDlgItemMessageA(hDlg, IDC_KEY_DOWN, CB_GETCOUNT, 0, 0);
    char buf[32];
    GetDlgItemTextA(hDlg, IDC_KEY_LEFT, buf, sizeof(buf));
    itemOfLeft = buf;
    SendDlgItemMessageA(hDlg, IDC_KEY_LEFT, CB_SETCURSEL, 0, 0);
    GetDlgItemTextA(hDlg, IDC_KEY_LEFT, buf, sizeof(buf));
    first = buf;
    stats = Checked(hDlg, IDC_VIEW_STATS);
    next = Checked(hDlg, IDC_VIEW_NEXT);
    file = FileText(hDlg);
    platform_test::ClickDlgItem(hDlg, IDCANCEL);
  });
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_EQ(sel, (std::vector<LRESULT>{KeyToListIndex(0x4B), KeyToListIndex(0xC8),
                                       KeyToListIndex(0x49), 0, KeyToListIndex(0x53)}));
  EXPECT_EQ(count, named + 1);
  EXPECT_EQ(itemOfLeft, "Num 4");
  EXPECT_EQ(first, "");
  EXPECT_TRUE(stats);
  EXPECT_FALSE(next);
  EXPECT_EQ(file, current_);
  EXPECT_EQ(g_uKeyDown, 0x54u);  // Cancel keeps even an unnamed code
}

// ---- keys ------------------------------------------------------------------------

TEST_F(GameOptionsDialog, PresetsSelectLayoutsButOnlyOkStoresThem) {
  std::vector<LRESULT> arrows;
  rig_.Play([&](HWND hDlg) {
    platform_test::ClickDlgItem(hDlg, IDC_KEYS_ARROWS);
    for (int id : {IDC_KEY_LEFT, IDC_KEY_RIGHT, IDC_KEY_ROTATE, IDC_KEY_DOWN, IDC_KEY_DROP})
      arrows.push_back(Sel(hDlg, id));
    platform_test::ClickDlgItem(hDlg, IDCANCEL);
  });
  Run();
  EXPECT_EQ(arrows,
            (std::vector<LRESULT>{KeyToListIndex(0xCB), KeyToListIndex(0xCD), KeyToListIndex(0xC8),
                                  KeyToListIndex(0xD0), KeyToListIndex(0x39)}));
  EXPECT_EQ(Keys(), (std::vector<UINT>{0x47, 0x49, 0x48, 0x2A, 0x39}));

  rig_.Play([](HWND hDlg) {
    platform_test::ClickDlgItem(hDlg, IDC_KEYS_ARROWS);
    platform_test::PickDlgItem(hDlg, IDC_KEY_DROP, 0);  // the empty item: no key
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(Keys(), (std::vector<UINT>{0xCB, 0xCD, 0xC8, 0xD0, KEY_NONE}));

  rig_.Play([](HWND hDlg) {
    platform_test::ClickDlgItem(hDlg, IDC_KEYS_DEFAULT);
    platform_test::PickDlgItem(hDlg, IDC_KEY_RIGHT, KeyToListIndex(0x20));  // D
    platform_test::PressDlgKey(hDlg, Qt::Key_Return);
  });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(Keys(), (std::vector<UINT>{0x47, 0x20, 0x48, 0x2A, 0x39}));
}

TEST_F(GameOptionsDialog, UnnamedCodeIsStoredAsTheNamedCodeShown) {
  g_uKeyDown = 0x54;
  rig_.Play([](HWND hDlg) { platform_test::ClickDlgItem(hDlg, IDOK); });
  Run();
  EXPECT_EQ(g_uKeyDown, 0x53u);
}

// ---- view switches -------------------------------------------------------------

TEST_F(GameOptionsDialog, NextBlockNeverShownWithoutStatistics) {
  struct Case {
    bool stats, next;
    int click;
    bool wantStats, wantNext;
  };
  const Case cases[] = {
      {true, true, IDC_VIEW_STATS, false, false},   // unchecking Statistics drops the next block
      {false, false, IDC_VIEW_NEXT, true, true},    // checking the next block brings Statistics
      {false, false, IDC_VIEW_STATS, true, false},  // checking Statistics alone
      {true, true, IDC_VIEW_NEXT, true, false},     // unchecking the next block alone
  };
  for (const Case& c : cases) {
    g_bViewStats = c.stats;
    g_bViewNext = c.next;
    bool stats = false, next = false;
    rig_.Play([&](HWND hDlg) {
      platform_test::ClickDlgItem(hDlg, c.click);
      stats = Checked(hDlg, IDC_VIEW_STATS);
      next = Checked(hDlg, IDC_VIEW_NEXT);
      platform_test::ClickDlgItem(hDlg, IDOK);
    });
    Run();
    SCOPED_TRACE(c.click);
    EXPECT_EQ(stats, c.wantStats);
    EXPECT_EQ(next, c.wantNext);
    EXPECT_EQ(g_bViewStats, (BOOL)c.wantStats);
    EXPECT_EQ(g_bViewNext, (BOOL)c.wantNext);
  }
}

TEST_F(GameOptionsDialog, StatisticsChangeReframesTheView) {
  g_fAspect = 2.0f;
  g_bViewStats = 1;
  UpdateView();
  float wide = g_matView._43;
  rig_.Play([](HWND hDlg) {
    platform_test::ClickDlgItem(hDlg, IDC_VIEW_STATS);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  Run();
  EXPECT_EQ(g_bViewStats, 0);
  EXPECT_LT(g_matView._43, wide);  // closer: no room for the statistics column
}

TEST_F(GameOptionsDialog, EscapeAndCloseBoxApplyNothing) {
  for (int way = 0; way < 2; ++way) {
    rig_.Play([way](HWND hDlg) {
      platform_test::ClickDlgItem(hDlg, IDC_KEYS_ARROWS);
      platform_test::ClickDlgItem(hDlg, IDC_VIEW_STATS);
      platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_FILE, "/tmp/elsewhere");
      if (way == 0)
        platform_test::PressDlgKey(hDlg, Qt::Key_Escape);
      else
        platform_test::CloseDlg(hDlg);
    });
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(Keys(), (std::vector<UINT>{0x47, 0x49, 0x48, 0x2A, 0x39}));
    EXPECT_EQ(g_bViewStats, 1);
    EXPECT_EQ(std::string(g_szHighScoreFile), current_);
  }
}

// ---- high-score file --------------------------------------------------------------

TEST_F(GameOptionsDialog, BrowseAsksWithTheEditTextAndPutsTheChoiceIntoIt) {
  platform_test::OpenFileCall asked{};
  std::optional<std::string> choice = dir_ / "picked";
  platform_test::SetOpenFileHandler([&](const platform_test::OpenFileCall& call) {
    asked = call;
    return choice;
  });
  std::string afterPick, afterCancel;
  HWND owner = nullptr, dialog = nullptr;
  rig_.Play([&](HWND hDlg) {
    dialog = hDlg;
    platform_test::ClickDlgItem(hDlg, IDC_HIGHSCORE_BROWSE);
    owner = asked.owner;
    afterPick = FileText(hDlg);
    choice = std::nullopt;
    platform_test::ClickDlgItem(hDlg, IDC_HIGHSCORE_BROWSE);
    afterCancel = FileText(hDlg);
    platform_test::ClickDlgItem(hDlg, IDCANCEL);
  });
  Run();
  EXPECT_EQ(owner, dialog);
  EXPECT_EQ(asked.title, "Select Highscore File");
  EXPECT_EQ(asked.initialFile, dir_ / "picked");  // the second time: the edit's text
  EXPECT_EQ(asked.flags, 0x8804u);
  ASSERT_EQ(asked.filters.size(), 2u);
  EXPECT_EQ(asked.filters[0].first, "High score files");
  EXPECT_EQ(asked.filters[0].second, "Quandrel3DHiScores");
  EXPECT_EQ(asked.filters[1].first, "All files (*.*)");
  EXPECT_EQ(asked.filters[1].second, "*.*");
  EXPECT_EQ(afterPick, dir_ / "picked");
  EXPECT_EQ(afterCancel, dir_ / "picked");
  EXPECT_EQ(std::string(g_szHighScoreFile), current_);  // Cancel: nothing loaded or stored
}

TEST_F(GameOptionsDialog, ValidFileReplacesTheTableBeforeTheDialogCloses) {
  SetTable({50});
  std::string other = dir_ / "other";
  WriteTableFile(other, {800, 400});
  rig_.Play([&](HWND hDlg) {
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_FILE, other);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(Table(), (std::vector<UINT>{800, 400}));
  EXPECT_EQ(g_nHighScoreFileState, 1);
  EXPECT_EQ(std::string(g_szHighScoreFile), other);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(GameOptionsDialog, MissingFileIsTakenSilentlyAndTheTableCarriesOver) {
  SetTable({70});
  g_nHighScoreFileState = 1;
  std::string fresh = dir_ / "fresh";
  rig_.Play([&](HWND hDlg) {
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_FILE, fresh);
    platform_test::ClickDlgItem(hDlg, IDC_KEYS_ARROWS);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(std::string(g_szHighScoreFile), fresh);
  EXPECT_EQ(Table(), (std::vector<UINT>{70}));
  EXPECT_EQ(g_nHighScoreFileState, 0);
  EXPECT_EQ(g_uKeyLeft, 0xCBu);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(GameOptionsDialog, InvalidFileRefusedKeepsTheDialogOpenWithNothingApplied) {
  SetTable({70});
  g_nHighScoreFileState = 1;
  std::string junk = dir_ / "notes.txt";
  WriteBytes(junk, "shopping list");
  answer_ = IDNO;
  bool open = false;
  std::string shown;
  std::vector<UINT> keysWhileOpen;
  rig_.Play([&](HWND hDlg) {
    platform_test::ClickDlgItem(hDlg, IDC_KEYS_ARROWS);
    platform_test::ClickDlgItem(hDlg, IDC_VIEW_STATS);
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_FILE, junk);
    platform_test::ClickDlgItem(hDlg, IDOK);
    open = !platform_test::DialogEnded(hDlg);
    shown = FileText(hDlg);
    keysWhileOpen = Keys();
    platform_test::ClickDlgItem(hDlg, IDCANCEL);
  });
  EXPECT_EQ(Run(), IDCANCEL);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "\"" + junk +
                                "\" is not a valid Quandrel 3D high score file. Do you really want "
                                "Quandrel 3D to overwrite thsi file with the high score table?");
  EXPECT_EQ(boxes_[0].caption, "Quandrel 3D");
  EXPECT_EQ(boxes_[0].type, (UINT)(MB_ICONWARNING | MB_YESNO));
  EXPECT_TRUE(open);
  EXPECT_EQ(shown, junk);
  EXPECT_EQ(keysWhileOpen, (std::vector<UINT>{0x47, 0x49, 0x48, 0x2A, 0x39}));
  EXPECT_EQ(g_bViewStats, 1);
  EXPECT_EQ(std::string(g_szHighScoreFile), current_);
  EXPECT_EQ(g_nHighScoreFileState, 1);
  EXPECT_EQ(Table(), (std::vector<UINT>{70}));
  EXPECT_EQ(ReadBytes(junk), "shopping list");
}

TEST_F(GameOptionsDialog, InvalidFileAgreedIsOverwrittenAtTheNextSaveWithoutAskingAgain) {
  SetTable({70});
  std::string junk = dir_ / "notes.txt";
  WriteBytes(junk, "shopping list");
  answer_ = IDYES;
  rig_.Play([&](HWND hDlg) {
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_FILE, junk);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(std::string(g_szHighScoreFile), junk);
  EXPECT_EQ(g_nHighScoreFileState, -1);
  EXPECT_EQ(Table(), (std::vector<UINT>{70}));
  EXPECT_EQ(ReadBytes(junk), "shopping list");
  SaveHighScores();
  EXPECT_EQ(boxes_.size(), 1u);
  ClearTable();
  LoadHighScores();
  EXPECT_EQ(Table(), (std::vector<UINT>{70}));
}

TEST_F(GameOptionsDialog, SameNameLoadsNothingAndEmptyNameKeepsTheFile) {
  // A file in the other letter case is another file here; the same name, or
  // an emptied edit, changes nothing and loads nothing.
  std::string upper = dir_ / "QUANDREL3DHISCORES";
  WriteTableFile(upper, {999});
  WriteTableFile(current_, {123});
  SetTable({5});
  for (std::string text : {current_, std::string()}) {
    rig_.Play([&](HWND hDlg) {
      platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_FILE, text);
      platform_test::ClickDlgItem(hDlg, IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(std::string(g_szHighScoreFile), current_);
    EXPECT_EQ(Table(), (std::vector<UINT>{5}));
    EXPECT_EQ(g_nHighScoreFileState, 0);
  }
  rig_.Play([&](HWND hDlg) {
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_FILE, upper);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(std::string(g_szHighScoreFile), upper);
  EXPECT_EQ(Table(), (std::vector<UINT>{999}));
}

TEST_F(GameOptionsDialog, FileNameThatIsNoUtf8SurvivesAnUntouchedEdit) {
  // A folder named in an old 8-bit encoding: OK without touching the edit
  // must keep the very same bytes, not switch to a mangled name that no
  // save could ever open.
  std::string odd = dir_ / "jos\xE9";
  std::filesystem::create_directory(odd);
  std::string file = odd + "/Quandrel3DHiScores";
  WriteTableFile(file, {321});
  std::snprintf(g_szHighScoreFile, MAX_PATH, "%s", file.c_str());
  SetTable({5});
  g_nHighScoreFileState = 1;
  rig_.Play([](HWND hDlg) { platform_test::ClickDlgItem(hDlg, IDOK); });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(std::string(g_szHighScoreFile), file);
  EXPECT_EQ(g_nHighScoreFileState, 1);
  EXPECT_EQ(Table(), (std::vector<UINT>{5}));  // nothing loaded

  // Typed over, the edit gives what was typed.
  std::string typed = dir_ / "typed";
  rig_.Play([&](HWND hDlg) {
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_FILE, typed);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(std::string(g_szHighScoreFile), typed);
}

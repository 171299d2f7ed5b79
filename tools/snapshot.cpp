// Snapshot: runs the game's own start-up pieces without a window, plays a
// seeded game with a simple scripted player for a while, and writes the
// frame the game presents as a PNG picture. A game that ends is followed by
// a new one, so that a long time doubles as a soak run: the games played,
// the frames drawn and the resident memory at the start and the end are
// reported.
//
//   snapshot [--out FILE] [--size WxH] [--set 0|1] [--shade 1|2]
//            [--stats 0|1] [--next 0|1] [--burst 0|1] [--seed N]
//            [--seconds S] [--fps N]
//
// The player drives the same moves a player's keys drive (MoveBlock,
// DropBlock), one key at a time, and the frame runs GameTick with a fixed
// frame time, so that a seed and a time always give the same picture.
//
// The tool is headless and leaves the player's things alone: it never reads
// or writes the settings or the high-score table, and a game over offers no
// place in the table, so no dialog or message box ever waits for an answer.

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/game.h"
#include "main/timer.h"
#include "maths/maths.h"
#include "options/options.h"
#include "platform/dx_hooks.h"
#include "platform/win_dialog.h"
#include "platform/win_msgbox.h"
#include "platform/win_registry.h"
#include "render/render.h"
#include "rules/rules.h"
#include "video_main/video_main.h"
#include "window/window.h"

// ---- types ----------------------------------------------------------------

// What the command line asks for.
struct SNAPSHOTARGS {
  std::string out = "snapshot.png";
  int nWidth = 480;
  int nHeight = 480;
  UINT uBlockType = 1;
  DWORD dwShadeMode = 2;
  BOOL bStats = 1;
  BOOL bNext = 1;
  BOOL bBurst = 1;
  unsigned uSeed = 1;
  double dSeconds = 60.0;
  int nFPS = 60;
};

// Where the player means to put the falling block.
struct PLAN {
  INT nRot;
  INT nX;
};

// ---- command line ---------------------------------------------------------

// Shows how the tool is called.
static void Usage(void) {
  fprintf(stderr,
          "usage: snapshot [--out FILE] [--size WxH] [--set 0|1] [--shade 1|2] [--stats 0|1]\n"
          "                [--next 0|1] [--burst 0|1] [--seed N] [--seconds S] [--fps N]\n");
}

// Reads a whole number within limits; false for anything else.
static bool ReadInt(const char* lpsz, long nMin, long nMax, long* lpn) {
  char* end = nullptr;
  const long n = strtol(lpsz, &end, 10);
  if (end == lpsz || *end != '\0' || n < nMin || n > nMax) return false;
  *lpn = n;
  return true;
}

// Fills the arguments; false on anything it does not understand.
static bool ParseArgs(int argc, char** argv, SNAPSHOTARGS* a) {
  for (int i = 1; i < argc; i++) {
    const char* key = argv[i];
    if (i + 1 >= argc) return false;
    const char* val = argv[++i];
    long n = 0;
    if (!strcmp(key, "--out")) {
      a->out = val;
    } else if (!strcmp(key, "--size")) {
      int w = 0, h = 0;
      char extra = 0;
      if (sscanf(val, "%dx%d%c", &w, &h, &extra) != 2 || w < 16 || h < 16 || w > 4096 || h > 4096)
        return false;
      a->nWidth = w;
      a->nHeight = h;
    } else if (!strcmp(key, "--set") && ReadInt(val, 0, 1, &n)) {
      a->uBlockType = (UINT)n;
    } else if (!strcmp(key, "--shade") && ReadInt(val, 1, 2, &n)) {
      a->dwShadeMode = (DWORD)n;
    } else if (!strcmp(key, "--stats") && ReadInt(val, 0, 1, &n)) {
      a->bStats = (BOOL)n;
    } else if (!strcmp(key, "--next") && ReadInt(val, 0, 1, &n)) {
      a->bNext = (BOOL)n;
    } else if (!strcmp(key, "--burst") && ReadInt(val, 0, 1, &n)) {
      a->bBurst = (BOOL)n;
    } else if (!strcmp(key, "--seed") && ReadInt(val, 0, INT_MAX, &n)) {
      a->uSeed = (unsigned)n;
    } else if (!strcmp(key, "--fps") && ReadInt(val, 1, 1000, &n)) {
      a->nFPS = (int)n;
    } else if (!strcmp(key, "--seconds")) {
      char* end = nullptr;
      a->dSeconds = strtod(val, &end);
      if (end == val || *end != '\0' || !(a->dSeconds >= 0.0 && a->dSeconds <= 3600.0)) return false;
    } else {
      return false;
    }
  }
  return true;
}

// ---- the scripted player --------------------------------------------------

// Height of each column, holes under the tops, and full rows: the measures
// the player weighs a placement by.
static double RateWell(void) {
  int nHoles = 0, nFull = 0, nAggregate = 0, nBumps = 0, nPrev = -1;
  for (INT i = 0; i < WELL_COLUMNS; i++) {
    INT nTop = WELL_ROWS;
    for (INT j = 0; j < WELL_ROWS; j++)
      if (g_Well[i][j] >= 0) {
        nTop = j;
        break;
      }
    for (INT j = nTop; j < WELL_ROWS; j++)
      if (g_Well[i][j] < 0) nHoles++;
    const int nHeight = WELL_ROWS - nTop;
    nAggregate += nHeight;
    if (nPrev >= 0) nBumps += abs(nHeight - nPrev);
    nPrev = nHeight;
  }
  for (INT j = 0; j < WELL_ROWS; j++) {
    INT n = 0;
    for (INT i = 0; i < WELL_COLUMNS; i++) n += g_Well[i][j] >= 0;
    nFull += n == WELL_COLUMNS;
  }
  return -0.51 * nAggregate + 0.76 * nFull - 0.36 * nHoles - 0.18 * nBumps;
}

// Tries every turn and column of the falling block where it lands and keeps
// the best; the well is left as it was.
static PLAN PlanBlock(void) {
  PLAN best = {g_nShapeRot, g_nShapeX};
  double dBest = -1e30;
  EraseBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  for (INT nRot = 0; nRot < 4; nRot++) {
    for (INT nX = -2; nX < WELL_COLUMNS + 2; nX++) {
      // A turned block may not fit yet at the top of the well; it can be
      // turned once it has fallen a row or two.
      INT nY = g_nShapeY;
      while (nY < g_nShapeY + 3 && !BlockFits(g_nShape, nX, nY, nRot)) nY++;
      if (!BlockFits(g_nShape, nX, nY, nRot)) continue;
      while (BlockFits(g_nShape, nX, nY + 1, nRot)) nY++;
      PaintBlock(g_nShape, nX, nY, nRot);
      const double d = RateWell();
      EraseBlock(g_nShape, nX, nY, nRot);
      if (d > dBest) {
        dBest = d;
        best = {nRot, nX};
      }
    }
  }
  PaintBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  g_bWellChanged = 1;
  return best;
}

// What the player is doing with the current block.
struct PLAYER {
  PLAN plan;
  BOOL bPlanned;      // a plan exists for the falling block
  BOOL bDropped;      // dropped; waiting for it to lock
  INT nPlaced;        // blocks locked when it was dropped
  float fSinceKey;    // seconds since the last key press
  INT nBlocked;       // key presses in a row that did nothing
};

// A key press every 0.15 seconds, as a quick but human player would: turn,
// then slide, then drop, then wait for the block to lock. A move that does
// nothing (the top of the well, another block) is tried again after the
// block has fallen a little; after a few such tries the block is dropped
// where it is.
static void PlayerMove(PLAYER* p, float dt) {
  static const float fKeyInterval = 0.15f;
  p->fSinceKey += dt;
  if (p->bDropped) {
    if (g_nBlocksPlaced == p->nPlaced && g_nShape >= 0) return;
    p->bDropped = FALSE;
    p->bPlanned = FALSE;
  }
  if (g_nShape < 0 || p->fSinceKey < fKeyInterval) return;
  if (!p->bPlanned) {
    p->plan = PlanBlock();
    p->bPlanned = TRUE;
    p->nBlocked = 0;
  }
  p->fSinceKey = 0.0f;
  const INT nRot = g_nShapeRot, nX = g_nShapeX;
  const BOOL bAligned = g_nShapeRot == p->plan.nRot && g_nShapeX == p->plan.nX;
  if (g_nShapeRot != p->plan.nRot)
    MoveBlock(0);
  else if (g_nShapeX != p->plan.nX)
    MoveBlock(p->plan.nX < g_nShapeX ? -1 : 1);
  if (!bAligned && g_nShapeRot == nRot && g_nShapeX == nX && ++p->nBlocked < 8) return;
  if (bAligned || p->nBlocked >= 8) {
    DropBlock();
    p->bDropped = TRUE;
    p->nPlaced = g_nBlocksPlaced;
  }
}

// ---- the soak figures -----------------------------------------------------

// Resident memory of this process in kB, from the kernel's own account; 0
// where it cannot be read.
static long ResidentKB(void) {
  FILE* f = fopen("/proc/self/status", "r");
  if (f == nullptr) return 0;
  char line[256];
  long nKB = 0;
  while (fgets(line, sizeof(line), f) != nullptr)
    if (sscanf(line, "VmRSS: %ld kB", &nKB) == 1) break;
  fclose(f);
  return nKB;
}

// Nobody is there to answer: a game over is no high score (nothing to save),
// and a message box is answered at once after its text has been shown.
static void AnswerForThePlayer(void) {
  platform_test::SetDialogHandler([](const platform_test::DialogCall&) { return (INT_PTR)IDCANCEL; });
  platform_test::SetMessageBoxHandler([](const platform_test::MessageBoxCall& c) {
    fprintf(stderr, "snapshot: %s\n", c.text.c_str());
    const UINT uButtons = c.type & 0xF;
    return uButtons == MB_OK ? IDOK : uButtons == MB_YESNO ? IDNO : IDCANCEL;
  });
}

// The settings store and the high-score file point into the tool's own
// folder, so that not even a mistake reaches the player's.
static void KeepAwayFromThePlayersFiles(const QString& folder) {
  platform_test::SetConfigHome(folder.toStdString());
  snprintf(g_szHighScoreFile, sizeof(g_szHighScoreFile), "%s/Quandrel3DHiScores", folder.toLocal8Bit().constData());
}

// ---- main -----------------------------------------------------------------

// Start-up as the game does it, minus the windows; then play and take the
// last frame.
int main(int argc, char** argv) {
  SNAPSHOTARGS args;
  if (!ParseArgs(argc, argv, &args)) {
    Usage();
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  AnswerForThePlayer();
  QTemporaryDir scratch;
  if (!scratch.isValid()) {
    fprintf(stderr, "snapshot: cannot make a temporary folder\n");
    return 1;
  }
  KeepAwayFromThePlayersFiles(scratch.path());
  const auto tStart = std::chrono::steady_clock::now();

  g_uBlockType = args.uBlockType;
  g_dwShadeMode = args.dwShadeMode;
  g_bViewStats = args.bStats;
  g_bViewNext = args.bNext;
  g_bRowBurst = args.bBurst;
  g_bShowFPS = 0;

  InitSinTable();
  InitRender();
  srand(args.uSeed);
  g_bRandomSeeded = 1;
  NewGame(0);
  platform::SetPresentHandler(nullptr);
  InitGraph();
  for (INT i = LIGHT_POINT1; i <= LIGHT_POINT3; i++) EnableLight(i, TRUE);
  g_nViewW = args.nWidth;
  g_nViewH = args.nHeight;
  g_nViewScreenX = 0;
  g_nViewScreenY = 0;
  RebuildSurfaces();

  const long nFrames = (long)(args.dSeconds * args.nFPS + 0.5);
  const long nStartKB = ResidentKB();
  PLAYER player = {};
  long nGames = 1, nGamesOver = 0, nDrawn = 0;
  for (long f = 0; f < nFrames || f == 0; f++) {
    g_fFrameTime = 1.0f / (float)args.nFPS;
    // The finished game has had its last frame; the next one starts.
    if (!g_bGameRunning) {
      NewGame(0);
      player = {};
      nGames++;
    }
    PlayerMove(&player, g_fFrameTime);
    GameFrame();
    nDrawn++;
    if (!g_bGameRunning) nGamesOver++;
  }
  PresentFrame();
  const long nEndKB = ResidentKB();
  const double dWall = std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();

  const QImage& img = platform_test::LastPresentedImage();
  if (img.isNull() || !img.save(QString::fromStdString(args.out), "PNG")) {
    fprintf(stderr, "snapshot: cannot write %s\n", args.out.c_str());
    FreeGraph();
    return 1;
  }
  int nCubes = 0;
  for (INT i = 0; i < WELL_COLUMNS; i++)
    for (INT j = 0; j < WELL_ROWS; j++) nCubes += g_Well[i][j] >= 0;
  printf("%s: %dx%d, %ld frames, %s, score %u, level %d, %d cubes in the well, %u flying\n",
         args.out.c_str(), img.width(), img.height(), nFrames, g_bGameRunning ? "running" : "game over",
         g_uScore, g_nLevel, nCubes, g_uBurstCount);
  printf("games played: %ld, %ld of them to game over\n", nGames, nGamesOver);
  printf("frames drawn: %ld\n", nDrawn);
  printf("resident memory at the start: %ld kB\n", nStartKB);
  printf("resident memory at the end: %ld kB\n", nEndKB);
  printf("wall time: %.1f s\n", dWall);
  FreeGraph();
  return 0;
}

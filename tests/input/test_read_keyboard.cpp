// Reading the keyboard each frame: the moves bound to the keys, in order and
// once per press, the held Down key and its check against the key state,
// and the lost keyboard taken back once per read.

#include <cstdlib>

#include "input_fixture.h"
#include "rules/rules.h"

namespace {

using platform_test::InjectKey;
using platform_test::KeyboardForeground;

// The T shape: every turn of it fits in the middle of an empty well.
constexpr INT kShape = 6;

// A running game with the block in the middle of an empty well and the
// keyboard set up and already read once (so acquired).
class KeyboardReader : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    g_bRandomSeeded = 1;
    srand(5);
    NewGame(0);
    PlaceBlock();
    g_bDownHeld = 0;
    InitInput();
    ReadKeyboard();
    platform_test::ResetPlatformCallCounts();
  }
  void TearDown() override {
    g_bGameRunning = 0;
    g_bDownHeld = 0;
    InputTest::TearDown();
  }

  // Puts the falling block back at its starting place.
  static void PlaceBlock() {
    if (g_nShape >= 0) EraseBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
    g_nShape = kShape;
    g_nShapeX = 3;
    g_nShapeY = 5;
    g_nShapeRot = 0;
    PaintBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  }

  static uint64_t Calls(const char* name) { return platform_test::PlatformCallCount(name); }
};

}  // namespace

// 78 events between two frames: read 32, 32 and 14, then an empty read;
// applied in order (all the lefts to the wall, then three rights).
TEST_F(KeyboardReader, ManyEventsAreAppliedInOrder32AtATime) {
  for (int i = 0; i < 20; ++i) MoveBlock(-1);
  const INT nWall = g_nShapeX;
  PlaceBlock();
  for (int i = 0; i < 36; ++i) Tap(DIK_NUMPAD7);
  for (int i = 0; i < 3; ++i) Tap(DIK_NUMPAD9);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, nWall + 3);
  EXPECT_EQ(Calls("IDirectInputDevice_GetDeviceData"), 4u);
}

// Each action on its own key, once per press however long it is held; key
// releases and unbound keys do nothing.
TEST_F(KeyboardReader, EachPressMakesItsMoveOnce) {
  const INT x0 = g_nShapeX, y0 = g_nShapeY;
  InjectKey(DIK_NUMPAD7, true);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0 - 1);
  ReadKeyboard();
  InjectKey(DIK_NUMPAD7, false);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0 - 1) << "held and let go: still one move";

  Tap(DIK_NUMPAD9);
  Tap(DIK_NUMPAD9);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0 + 1);

  Tap(DIK_NUMPAD8);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeRot, 3);
  EXPECT_EQ(g_nShapeY, y0);

  Tap(DIK_A);
  Tap(DIK_LEFT);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0 + 1);
  EXPECT_EQ(g_nShapeRot, 3);

  Tap(DIK_SPACE);
  ReadKeyboard();
  EXPECT_GE(g_nShapeY, WELL_ROWS - 3) << "dropped to the floor";
  EXPECT_EQ(g_nShapeX, x0 + 1);
}

// A key bound to several moves makes only the first of Left, Rotate, Right,
// Drop; it can be Down besides.
TEST_F(KeyboardReader, SharedKeyMakesOnlyTheFirstMove) {
  const INT x0 = g_nShapeX, y0 = g_nShapeY;
  g_uKeyRotate = g_uKeyLeft;
  Tap(DIK_NUMPAD7);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0 - 1);
  EXPECT_EQ(g_nShapeRot, 0);

  g_uKeyDrop = g_uKeyRight = DIK_NUMPAD9;
  Tap(DIK_NUMPAD9);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0);
  EXPECT_EQ(g_nShapeY, y0);

  g_uKeyDrop = g_uKeyDown = DIK_SPACE;
  InjectKey(DIK_SPACE, true);
  ReadKeyboard();
  EXPECT_GT(g_nShapeY, y0);
  EXPECT_TRUE(g_bDownHeld);
}

// Down is held from its press to its release; pressed and let go between
// two frames it is not held at all.
TEST_F(KeyboardReader, DownIsHeldUntilItsRelease) {
  Tap(DIK_LSHIFT);
  ReadKeyboard();
  EXPECT_FALSE(g_bDownHeld);

  InjectKey(DIK_LSHIFT, true);
  ReadKeyboard();
  EXPECT_TRUE(g_bDownHeld);
  ReadKeyboard();
  EXPECT_TRUE(g_bDownHeld) << "the key is still down";
  InjectKey(DIK_LSHIFT, false);
  ReadKeyboard();
  EXPECT_FALSE(g_bDownHeld);
  EXPECT_EQ(g_KeyState[DIK_LSHIFT], 0);
}

// A release the buffer never delivered (the window was behind another)
// still ends the held state: the key state says the key is up.
TEST_F(KeyboardReader, StateCheckEndsAMissedRelease) {
  InjectKey(DIK_LSHIFT, true);
  ReadKeyboard();
  ASSERT_TRUE(g_bDownHeld);
  platform_test::SetKeyboardForeground(KeyboardForeground::Never);
  InjectKey(DIK_LSHIFT, false);
  platform_test::SetKeyboardForeground(KeyboardForeground::Always);
  ReadKeyboard();
  EXPECT_FALSE(g_bDownHeld);
  EXPECT_EQ(Calls("IDirectInputDevice_Acquire"), 1u);
}

// With Down bound to no key the state is never read, and the held state is
// left alone.
TEST_F(KeyboardReader, DownUnboundNeverReadsTheState) {
  g_uKeyDown = KEY_NONE;
  g_bDownHeld = 1;
  Tap(DIK_LSHIFT);
  ReadKeyboard();
  EXPECT_TRUE(g_bDownHeld);
  g_bDownHeld = 0;
  InjectKey(DIK_LSHIFT, true);
  ReadKeyboard();
  EXPECT_FALSE(g_bDownHeld);
  EXPECT_EQ(Calls("IDirectInputDevice_GetDeviceState"), 0u);
}

// The first read takes the keyboard; keys from before it are not played.
// A keyboard lost with events in its buffer drops them when taken back.
TEST_F(KeyboardReader, TakingTheKeyboardDropsEarlierEvents) {
  const INT x0 = g_nShapeX;
  ReleaseInput();
  InitInput();
  platform_test::ResetPlatformCallCounts();
  Tap(DIK_NUMPAD7);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0);
  EXPECT_EQ(Calls("IDirectInputDevice_Acquire"), 1u);
  Tap(DIK_NUMPAD7);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0 - 1);

  Tap(DIK_NUMPAD9);
  Tap(DIK_NUMPAD9);
  platform_test::FailCall("IDirectInputDevice_GetDeviceData", DIERR_INPUTLOST);
  ReadKeyboard();
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0 - 1);
}

// Out of the foreground the keyboard cannot be taken back: each frame
// simply has no keys, and nothing is judged from the state.
TEST_F(KeyboardReader, NoKeysWhileTheWindowIsBehind) {
  const INT x0 = g_nShapeX;
  platform_test::SetKeyboardForeground(KeyboardForeground::Never);
  g_bDownHeld = 1;
  Tap(DIK_NUMPAD7);
  for (int i = 0; i < 3; ++i) ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0);
  EXPECT_TRUE(g_bDownHeld);
  EXPECT_EQ(Calls("IDirectInputDevice_Acquire"), 3u);
  EXPECT_EQ(Calls("IDirectInputDevice_GetDeviceState"), 0u);

  platform_test::SetKeyboardForeground(KeyboardForeground::Always);
  ReadKeyboard();
  EXPECT_FALSE(g_bDownHeld);
  Tap(DIK_NUMPAD7);
  ReadKeyboard();
  EXPECT_EQ(g_nShapeX, x0 - 1);
}

// A loss at the state read is taken back too; the state of before is kept
// and not judged by.
TEST_F(KeyboardReader, LossAtTheStateReadKeepsThePreviousState) {
  InjectKey(DIK_LSHIFT, true);
  platform_test::FailCall("IDirectInputDevice_GetDeviceState", DIERR_NOTACQUIRED);
  ReadKeyboard();
  EXPECT_TRUE(g_bDownHeld) << "pressed in this read";
  EXPECT_EQ(g_KeyState[DIK_LSHIFT], 0);
  ReadKeyboard();
  EXPECT_TRUE(g_bDownHeld);
  EXPECT_EQ(g_KeyState[DIK_LSHIFT], 0x80);
}

// Lost twice in one read, or any other read failure: the game ends with
// the report.
TEST_F(KeyboardReader, FailuresThatCannotBeWorkedRound) {
  EXPECT_INPUT_FATAL("Continuously unable to read keyboard data." + DISuffix(DIERR_NOTACQUIRED), {
    platform_test::FailCall("IDirectInputDevice_GetDeviceData", DIERR_INPUTLOST);
    platform_test::FailCall("IDirectInputDevice_GetDeviceState", DIERR_NOTACQUIRED);
    ReadKeyboard();
  });
  EXPECT_INPUT_FATAL("Unable to read keyboard data." + DISuffix(DIERR_INVALIDPARAM), {
    platform_test::FailCall("IDirectInputDevice_GetDeviceData", DIERR_INVALIDPARAM);
    ReadKeyboard();
  });
  EXPECT_INPUT_FATAL("Unable to read keyboard data." + DISuffix(DIERR_GENERIC), {
    platform_test::FailCall("IDirectInputDevice_GetDeviceState", DIERR_GENERIC);
    ReadKeyboard();
  });
  // Part-way through many events: those read so far have been played.
  EXPECT_INPUT_REPORT(
      [&](const std::string& t) {
        return t == "Unable to read keyboard data." + DISuffix(DIERR_GENERIC) && g_nShapeX == 3 - 1;
      },
      {
        Tap(DIK_NUMPAD7);
        for (int i = 0; i < 20; ++i) Tap(DIK_A);
        platform_test::FailCall("IDirectInputDevice_GetDeviceData", DIERR_GENERIC, 2);
        ReadKeyboard();
      });
}

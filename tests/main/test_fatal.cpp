// The fatal report and the checking rules: what the box says, where it is
// shown, and that the process ends with code 1 after it.

#include <gtest/gtest.h>

#include <QObject>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>

#include "main/fatal.h"
#include "window/window.h"

// ---- a scripted surface with the call macros of a COM interface ----------

struct TestSurface;
struct TestSurfaceVtbl {
  HRESULT (*Blt)(TestSurface*, RECT*, TestSurface*, RECT*, DWORD, void*);
};
struct TestSurface {
  const TestSurfaceVtbl* lpVtbl;
};
// Written without blanks, as the platform's call macros are: the expanded
// statement text keeps the spacing of the macro's definition.
#define ITestSurface_Blt(p,a,b,c,d,e) (p)->lpVtbl->Blt(p,a,b,c,d,e)
#define TEST_BLT_COLORFILL 0x01000000l

static std::deque<HRESULT> s_BltResults;
static int s_nBltCalls = 0;

// Answers each blit with the next scripted result.
static HRESULT ScriptedBlt(TestSurface*, RECT*, TestSurface*, RECT*, DWORD, void*) {
  ++s_nBltCalls;
  HRESULT hr = s_BltResults.empty() ? DD_OK : s_BltResults.front();
  if (!s_BltResults.empty()) s_BltResults.pop_front();
  return hr;
}

// The results of the next two blits.
static void ScriptBlts(HRESULT hrFirst, HRESULT hrSecond) { s_BltResults = {hrFirst, hrSecond}; }

static const TestSurfaceVtbl s_Vtbl = {ScriptedBlt};
static TestSurface s_Surface = {&s_Vtbl};
static TestSurface* g_TestSurface = &s_Surface;
static TestSurface* g_TestBack = &s_Surface;

static unsigned s_uCheckLine = 0;

// A blit checked as a frame checks its drawing calls.
static void BlitChecked(void) {
  RECT rDest = {0, 0, 4, 4};
  s_uCheckLine = __LINE__ + 1;
  CHECK_DX_RETRY(ITestSurface_Blt(g_TestSurface, &rDest, g_TestBack, NULL, TEST_BLT_COLORFILL, NULL));
}

// ---- helpers ----------------------------------------------------------------

// Answers the report's box in the child: says on stderr whether the box is the
// expected one, so the death test can match it.
static void ExpectBox(std::function<std::string()> expectedText) {
  platform_test::SetMessageBoxHandler([expectedText](const platform_test::MessageBoxCall& call) {
    std::string want = expectedText();
    if (call.text == want && call.caption == "Quandrel 3D" && call.owner == nullptr &&
        call.type == (MB_OK | MB_TASKMODAL | MB_ICONERROR))
      std::fputs("box as expected\n", stderr);
    else
      std::fprintf(stderr, "unexpected box: owner %p caption [%s] type %#x\ntext [%s]\nwant [%s]\n",
                   (void*)call.owner, call.caption.c_str(), call.type, call.text.c_str(),
                   want.c_str());
    return IDOK;
  });
}

// Runs the statement in a child whose report must show exactly the expected
// text (computed when the box opens) and then end the process with code 1.
#define EXPECT_FATAL_BOX(expected, ...)                                       \
  EXPECT_EXIT(                                                                \
      {                                                                       \
        ExpectBox([&] { return std::string(expected); });                     \
        __VA_ARGS__;                                                          \
      },                                                                      \
      ::testing::ExitedWithCode(1), "box as expected")

// The place and statement as the checking rules spell them.
static std::string Place(unsigned uLine, const std::string& statement) {
  return std::string(__FILE__) + ":" + std::to_string(uLine) + " { " + statement + " }";
}

class FatalReport : public ::testing::Test {
 protected:
  // A report in this process would end the run; say why first.
  void SetUp() override {
    s_BltResults.clear();
    s_nBltCalls = 0;
    platform_test::SetMessageBoxHandler([](const platform_test::MessageBoxCall& call) {
      std::fprintf(stderr, "unexpected fatal report: %s\n", call.text.c_str());
      return IDOK;
    });
  }
  void TearDown() override { platform_test::SetMessageBoxHandler(nullptr); }
};

// ---- the report -------------------------------------------------------------

TEST_F(FatalReport, BeforeAnyWindowShowsTheBoxAndEndsWithCodeOne) {
  EXPECT_FATAL_BOX("Error: level 7 of 3.", g_hwndMain = nullptr;
                   Fatal("Error: level %d of %u.", 7, 3u));
}

// The end is the runtime's normal exit: the exit handlers run after the
// window has gone, and the code still says failure.
TEST_F(FatalReport, ShowsTheBoxFirstThenDestroysTheMainWindowThenExits) {
  EXPECT_EXIT(
      {
        std::atexit([] { std::fputs("exit handlers ran\n", stderr); });
        QWidget* main = new QWidget;
        g_hwndMain = platform::HandleOf(main);
        QObject::connect(main, &QObject::destroyed,
                         [] { std::fputs("main window destroyed\n", stderr); });
        ExpectBox([] { return std::string("gone"); });
        Fatal("gone");
      },
      ::testing::ExitedWithCode(1), "box as expected\nmain window destroyed\nexit handlers ran");
}

TEST_F(FatalReport, LongTextsAreCutAt1023Characters) {
  const std::string longText(2000, 'x');
  EXPECT_FATAL_BOX(std::string(1023, 'x'), Fatal("%s", longText.c_str()));
  // The caller's text of FatalDX is cut in its own buffer, then the whole
  // report again: the suffix falls off the end.
  EXPECT_FATAL_BOX(std::string(1023, 'x'), g_hr = DDERR_GENERIC; FatalDX("%s", longText.c_str()));
}

// ---- the checking rules -------------------------------------------------------

TEST_F(FatalReport, DirectXFailuresAppendTheTextOfTheCode) {
  unsigned uLine = 0;
  EXPECT_FATAL_BOX(Place(uLine, "(HRESULT)0x88760999u") +
                       "\n\nDirectDraw or Direct3D error: Unknown error code.",
                   uLine = __LINE__; CHECK_DX((HRESULT)0x88760999u));
  EXPECT_FATAL_BOX(Place(uLine, "DDERR_OUTOFVIDEOMEMORY") +
                       "\n\nDirectDraw or Direct3D error: DDERR_OUTOFVIDEOMEMORY - DirectDraw "
                       "does not have enough display memory to perform the operation.",
                   uLine = __LINE__; CHECK_DX(DDERR_OUTOFVIDEOMEMORY));
  EXPECT_FATAL_BOX(Place(uLine, "DIERR_INPUTLOST") +
                       "\n\nDirectInput error: DIERR_INPUTLOST: Access to the input device has "
                       "been lost. It must be reacquired.",
                   uLine = __LINE__; CHECK_DI(DIERR_INPUTLOST));
}

TEST_F(FatalReport, SuccessCodesPassAndAreKeptInTheResult) {
  CHECK_DI(DI_BUFFEROVERFLOW);
  EXPECT_EQ(g_hr, 1);
  CHECK_DX((HRESULT)2);
  EXPECT_EQ(g_hr, 2);
  CHECK_DX(DD_OK);
  EXPECT_EQ(g_hr, DD_OK);
}

TEST_F(FatalReport, LostSurfaceThatRestoresGoesOnSilently) {
  ScriptBlts(DDERR_SURFACELOST, DD_OK);
  BlitChecked();
  EXPECT_EQ(s_nBltCalls, 2);
  EXPECT_EQ(g_hr, DD_OK);
}

TEST_F(FatalReport, RetryThatFailsReportsTheExpandedStatement) {
  EXPECT_FATAL_BOX(Place(s_uCheckLine,
                         "(g_TestSurface)->lpVtbl->Blt(g_TestSurface,&rDest,g_TestBack,((void *)0),"
                         "0x01000000l,((void *)0))") +
                       "\n\nDirectDraw or Direct3D error: " + DXErrorText(DDERR_SURFACELOST),
                   ScriptBlts(DDERR_SURFACELOST, DDERR_SURFACELOST); BlitChecked());
  // Any other first failure is reported with the statement as written.
  EXPECT_FATAL_BOX(Place(s_uCheckLine,
                         "ITestSurface_Blt(g_TestSurface, &rDest, g_TestBack, NULL, "
                         "TEST_BLT_COLORFILL, NULL)") +
                       "\n\nDirectDraw or Direct3D error: " + DXErrorText(DDERR_SURFACEBUSY),
                   ScriptBlts(DDERR_SURFACEBUSY, DD_OK); BlitChecked());
}

TEST_F(FatalReport, NullFalseAndTrueChecks) {
  unsigned uLine = 0;
  void* pNothing = nullptr;
  int nZero = 0;
  EXPECT_FATAL_BOX(
      Place(uLine, "pNothing") + "\n\nThe statement evaluated to NULL, which signals an error",
      uLine = __LINE__; CHECK_NULL(pNothing));
  EXPECT_FATAL_BOX(
      Place(uLine, "nZero == 1") + "\n\nThe statement evaluated to FALSE, which signals an error",
      uLine = __LINE__; CHECK_FALSE(nZero == 1));
  EXPECT_FATAL_BOX(
      Place(uLine, "nZero == 0") + "\n\nThe statement evaluated to TRUE, which signals an error",
      uLine = __LINE__; CHECK_TRUE(nZero == 0));
  // The passing forms go on.
  CHECK_NULL(&nZero);
  CHECK_FALSE(nZero == 0);
  CHECK_TRUE(nZero == 1);
}

TEST(FatalExpandedText, RespellsOnlyTheCompilersNullAndStaysInItsBuffer) {
  EXPECT_STREQ(FatalExpandedText("f(__null,x__null,__nullx,__null)"),
               "f(((void *)0),x__null,__nullx,((void *)0))");
  EXPECT_STREQ(FatalExpandedText("__null"), "((void *)0)");
  std::string many;
  for (int i = 0; i < 300; ++i) many += "__null,";
  const char* lpszCut = FatalExpandedText(many.c_str());
  EXPECT_EQ(std::string(lpszCut).size(), 1023u);
  EXPECT_EQ(std::string(lpszCut).substr(0, 12), "((void *)0),");
}

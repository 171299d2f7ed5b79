// Failures of the drawing calls: each reports its own statement, and the
// expanded statement when the repeat after a lost surface fails too.

#include <cstdio>
#include <string>

#include "main/fatal.h"
#include "platform/dx_results.h"
#include "platform/win_msgbox.h"
#include "render_fixture.h"

namespace {

class DrawFailureTest : public RenderTest {};

struct DrawCall {
  const char* lpszCall;  // the platform call that fails
  int nth;               // which of the frame's calls of that name
  bool bRetry;           // lost twice rather than failing outright
  const char* lpszText;
};

const char* const gc_CubeText =
    "IDirect3DDevice2_DrawIndexedPrimitive(g_3DD, D3DPT_TRIANGLELIST, D3DVT_VERTEX, "
    "g_BlockTypes[g_uBlockType].vertices[n], g_BlockTypes[g_uBlockType].numvertices[n], "
    "g_BlockTypes[g_uBlockType].indices[n], g_BlockTypes[g_uBlockType].numindices[n], 0)";

// In a frame with one cube, one flying cube and the statistics on, the draws
// come in this order: outline, guide points, the cube, the flying cube, then
// the 28 cubes of the seven shapes.
const DrawCall gc_DrawCalls[] = {
    {"IDirect3DDevice2_SetTransform", 1, false,
     "src/render/scene.cpp:%u { IDirect3DDevice2_SetTransform(g_3DD, D3DTRANSFORMSTATE_WORLD, &(g_matIdentity)) }"},
    {"IDirect3DDevice2_DrawIndexedPrimitive", 1, false,
     "{ IDirect3DDevice2_DrawIndexedPrimitive(g_3DD, D3DPT_LINELIST, D3DVT_LVERTEX, g_WellVerts, "
     "LVERTEX_COUNT(g_WellVerts), g_WellIndices, INDEX_COUNT(g_WellIndices), 0) }"},
    {"IDirect3DDevice2_DrawIndexedPrimitive", 1, true,
     "{ (g_3DD)->lpVtbl->DrawIndexedPrimitive(g_3DD, D3DPT_LINELIST, D3DVT_LVERTEX, g_WellVerts, "
     "(sizeof(g_WellVerts) / sizeof(D3DLVERTEX)), g_WellIndices, (sizeof(g_WellIndices) / sizeof(WORD)), 0) }"},
    {"IDirect3DDevice2_DrawPrimitive", 1, false,
     "{ IDirect3DDevice2_DrawPrimitive(g_3DD, D3DPT_POINTLIST, D3DVT_LVERTEX, g_WellGuides, "
     "LVERTEX_COUNT(g_WellGuides), 0) }"},
    {"IDirect3DDevice2_DrawPrimitive", 1, true,
     "{ (g_3DD)->lpVtbl->DrawPrimitive(g_3DD, D3DPT_POINTLIST, D3DVT_LVERTEX, g_WellGuides, "
     "(sizeof(g_WellGuides) / sizeof(D3DLVERTEX)), 0) }"},
    {"IDirect3DDevice2_SetTransform", 2, false,
     "{ IDirect3DDevice2_SetTransform(g_3DD, D3DTRANSFORMSTATE_WORLD, &(g_matBlocks[x][y])) }"},
    {"IDirect3DDevice2_DrawIndexedPrimitive", 2, false, nullptr},  // the cube: gc_CubeText
    {"IDirect3DDevice2_SetTransform", 3, false,
     "src/render/burst.cpp:%u { IDirect3DDevice2_SetTransform(g_3DD, D3DTRANSFORMSTATE_WORLD, &(mat)) }"},
    {"IDirect3DDevice2_DrawIndexedPrimitive", 3, true,
     "{ (g_3DD)->lpVtbl->DrawIndexedPrimitive(g_3DD, D3DPT_TRIANGLELIST, D3DVT_VERTEX, "
     "g_BlockTypes[g_uBlockType].vertices[0x0], g_BlockTypes[g_uBlockType].numvertices[0x0], "
     "g_BlockTypes[g_uBlockType].indices[0x0], g_BlockTypes[g_uBlockType].numindices[0x0], 0) }"},
    {"IDirect3DDevice2_DrawIndexedPrimitive", 4, false,
     "src/render/stats.cpp:%u { IDirect3DDevice2_DrawIndexedPrimitive(g_3DD, D3DPT_TRIANGLELIST, D3DVT_VERTEX, "
     "g_BlockTypes[g_uBlockType].vertices[BN_NONE], g_BlockTypes[g_uBlockType].numvertices[BN_NONE], "
     "g_BlockTypes[g_uBlockType].indices[BN_NONE], g_BlockTypes[g_uBlockType].numindices[BN_NONE], 0) }"},
    {"IDirectDrawSurface3_GetDC", 1, false, "{ IDirectDrawSurface3_GetDC(g_BackBuffer, &hdc) }"},
    {"IDirectDrawSurface3_GetDC", 1, true, "{ (g_BackBuffer)->lpVtbl->GetDC(g_BackBuffer,&hdc) }"},
    {"IDirectDrawSurface3_ReleaseDC", 1, false, "{ IDirectDrawSurface3_ReleaseDC(g_BackBuffer, hdc) }"},
    {"IDirectDrawSurface3_ReleaseDC", 1, true, "{ (g_BackBuffer)->lpVtbl->ReleaseDC(g_BackBuffer,hdc) }"},
};

// Runs in the child: the frame meets the failure; the box tells whether its
// text holds the expected statement (a line number, where given, may be any).
void FrameWithFailure(const DrawCall& call) {
  std::string expected = call.lpszText ? call.lpszText : std::string("{ ") + gc_CubeText + " }";
  std::string prefix, suffix = expected;
  const size_t at = expected.find("%u");
  if (at != std::string::npos) {
    prefix = expected.substr(0, at);
    suffix = expected.substr(at + 2);
  }
  platform_test::SetMessageBoxHandler([prefix, suffix](const platform_test::MessageBoxCall& box) {
    const size_t p = box.text.find(prefix);
    const size_t s = box.text.find(suffix);
    if (p != std::string::npos && s != std::string::npos && s >= p + prefix.size() &&
        box.text.find("\n\nDirectDraw or Direct3D error: ") != std::string::npos)
      fprintf(stderr, "EXPECTED BOX\n");
    else
      fprintf(stderr, "OTHER BOX %s\n", box.text.c_str());
    return IDOK;
  });
  g_bViewStats = 1;
  g_Well[3][12] = 2;
  g_bWellChanged = 1;
  g_Well[0][0] = 5;
  BurstRow(0);
  g_Well[0][0] = -1;
  if (call.bRetry) {
    // The call and its repeat after the restore both find the surface lost.
    platform_test::FailCall(call.lpszCall, DDERR_SURFACELOST, call.nth);
    platform_test::FailCall(call.lpszCall, DDERR_SURFACELOST, call.nth + 1);
  } else {
    platform_test::FailCall(call.lpszCall, DDERR_GENERIC, call.nth);
  }
  GameFrame();
  fprintf(stderr, "NO REPORT\n");
}

}  // namespace

TEST_F(DrawFailureTest, EachDrawingCallReportsItsStatement) {
  for (const DrawCall& call : gc_DrawCalls)
    EXPECT_EXIT(FrameWithFailure(call), ::testing::ExitedWithCode(1), "EXPECTED BOX")
        << call.lpszCall << " #" << call.nth << (call.bRetry ? " (retry)" : "");
}

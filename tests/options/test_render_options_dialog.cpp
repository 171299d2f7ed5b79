// The 3D Rendering Options dialog run for real off-screen over a real
// device: what it shows, and that OK reaches the device, the row burst and
// the block set at once while Cancel changes nothing.

#include <vector>

#include "platform/dialog_rig.h"
#include "options/options.h"
#include "render/render.h"
#include "resources/dialog_ids.h"
#include "video_main/video_fixture.h"

namespace {

class RenderOptionsDialog : public VideoTest {
 protected:
  void SetUp() override {
    VideoTest::SetUp();
    savedBurst_ = g_bRowBurst;
    savedBlocks_ = g_uBlockType;
    savedShade_ = g_dwShadeMode;
    g_bRowBurst = 1;
    g_uBlockType = 1;
    g_uBurstCount = 0;
  }
  void TearDown() override {
    g_uBurstCount = 0;
    g_bRowBurst = savedBurst_;
    g_uBlockType = savedBlocks_;
    VideoTest::TearDown();
    g_dwShadeMode = savedShade_;
  }

  INT_PTR Run() {
    return DialogBoxParamA(nullptr, MAKEINTRESOURCE(IDD_RENDEROPTIONS), nullptr,
                           RenderOptionsDlgProc, 0);
  }
  static bool Checked(HWND hDlg, int id) {
    return SendDlgItemMessageA(hDlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  // Gouraud, Default, Simple, row burst.
  std::vector<bool> LookAtOpening() {
    std::vector<bool> seen;
    rig_.Play([&](HWND hDlg) {
      seen = {Checked(hDlg, IDC_GOURAUD), Checked(hDlg, IDC_BLOCKS_DEFAULT),
              Checked(hDlg, IDC_BLOCKS_SIMPLE), Checked(hDlg, IDC_ROW_BURST)};
      platform_test::ClickDlgItem(hDlg, IDCANCEL);
    });
    Run();
    return seen;
  }
  static DWORD DeviceShadeMode() {
    DWORD dw = 0;
    EXPECT_EQ(IDirect3DDevice2_GetRenderState(g_3DD, D3DRENDERSTATE_SHADEMODE, &dw), DD_OK);
    return dw;
  }

  DialogRig rig_;

 private:
  BOOL savedBurst_ = 0;
  UINT savedBlocks_ = 0;
  DWORD savedShade_ = 0;
};

}  // namespace

TEST_F(RenderOptionsDialog, OpensWithTheCurrentOptions) {
  g_dwShadeMode = D3DSHADE_GOURAUD;
  EXPECT_EQ(LookAtOpening(), (std::vector<bool>{true, true, false, true}));
  g_dwShadeMode = D3DSHADE_FLAT;
  g_uBlockType = 0;
  g_bRowBurst = 0;
  EXPECT_EQ(LookAtOpening(), (std::vector<bool>{false, false, true, false}));
  g_uBlockType = 5;  // a set from elsewhere: neither button
  EXPECT_EQ(LookAtOpening(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(RenderOptionsDialog, OkReachesTheDeviceAndTheDrawingAtOnce) {
  CreateViewOfSize(400, 300);
  ASSERT_NE(g_3DD, nullptr);
  ASSERT_EQ(DeviceShadeMode(), (DWORD)D3DSHADE_GOURAUD);
  g_uBurstCount = 3;  // cubes flying
  rig_.Play([](HWND hDlg) {
    platform_test::ClickDlgItem(hDlg, IDC_GOURAUD);
    platform_test::ClickDlgItem(hDlg, IDC_BLOCKS_SIMPLE);
    platform_test::ClickDlgItem(hDlg, IDC_ROW_BURST);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(g_dwShadeMode, (DWORD)D3DSHADE_FLAT);
  EXPECT_EQ(DeviceShadeMode(), (DWORD)D3DSHADE_FLAT);
  EXPECT_EQ(g_uBlockType, 0u);
  EXPECT_EQ(g_bRowBurst, 0);
  EXPECT_EQ(g_uBurstCount, 0u);  // the flying cubes are gone

  // OK without a change leaves the device alone.
  platform_test::ResetPlatformCallCounts();
  rig_.Play([](HWND hDlg) { platform_test::PressDlgKey(hDlg, Qt::Key_Return); });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(Calls("IDirect3DDevice2_SetRenderState"), 0u);
  EXPECT_EQ(g_uBlockType, 0u);
}

TEST_F(RenderOptionsDialog, OkWithoutABlockChoiceKeepsAnOddSet) {
  g_uBlockType = 5;
  rig_.Play([](HWND hDlg) { platform_test::ClickDlgItem(hDlg, IDOK); });
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(g_uBlockType, 5u);
}

TEST_F(RenderOptionsDialog, CancelEscapeAndCloseBoxChangeNothing) {
  CreateViewOfSize(400, 300);
  g_uBurstCount = 2;
  for (int way = 0; way < 3; ++way) {
    rig_.Play([way](HWND hDlg) {
      platform_test::ClickDlgItem(hDlg, IDC_GOURAUD);
      platform_test::ClickDlgItem(hDlg, IDC_BLOCKS_SIMPLE);
      platform_test::ClickDlgItem(hDlg, IDC_ROW_BURST);
      if (way == 0) platform_test::ClickDlgItem(hDlg, IDCANCEL);
      if (way == 1) platform_test::PressDlgKey(hDlg, Qt::Key_Escape);
      if (way == 2) platform_test::CloseDlg(hDlg);
    });
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(DeviceShadeMode(), (DWORD)D3DSHADE_GOURAUD);
    EXPECT_EQ(g_dwShadeMode, (DWORD)D3DSHADE_GOURAUD);
    EXPECT_EQ(g_uBlockType, 1u);
    EXPECT_EQ(g_bRowBurst, 1);
    EXPECT_EQ(g_uBurstCount, 2u);
  }
}

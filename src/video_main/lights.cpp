// Lights, materials and the camera of the graphics device: the creators of
// the point lights and matt materials, the switches the drawing uses while a
// frame is drawn, the view matrix that frames a rectangle of the scene plane,
// and the shading mode.

#include <algorithm>
#include <cstring>

#include "main/fatal.h"
#include "maths/maths.h"
#include "options/options.h"
#include "video_main/video_main.h"

// ---- functions ----------------------------------------------------------------

// A white point light of the given strength at the position, falling off with
// the square of the distance up to the range; null if the platform refuses.
LPDIRECT3DLIGHT CreateInvSqrPointLight(float fIntensity, const D3DVECTOR* lpPos, float fRange) {
  if (g_D3D == NULL) return NULL;
  LPDIRECT3DLIGHT lpLight = NULL;
  g_hr = IDirect3D2_CreateLight(g_D3D, &lpLight, NULL);
  if (FAILED(g_hr)) return NULL;

  D3DLIGHT2 light;
  std::memset(&light, 0, sizeof(light));
  light.dwSize = sizeof(light);
  light.dltType = D3DLIGHT_POINT;
  light.dcvColor = {fIntensity, fIntensity, fIntensity, 1.0f};
  light.dvPosition = *lpPos;
  light.dvDirection = {0.0f, 0.0f, 0.0f};
  light.dvRange = fRange;
  light.dvFalloff = 0.0f;
  light.dvAttenuation0 = 0.0f;
  light.dvAttenuation1 = 0.0f;
  light.dvAttenuation2 = 1.0f;
  light.dvTheta = 0.0f;
  light.dvPhi = 0.0f;
  light.dwFlags = D3DLIGHT_ACTIVE;
  g_hr = IDirect3DLight_SetLight(lpLight, (LPD3DLIGHT)&light);
  if (FAILED(g_hr)) {
    IDirect3DLight_Release(lpLight);
    return NULL;
  }
  return lpLight;
}

// A material that is the colour in diffuse, ambient and specular light, with
// no highlight; null if the platform refuses.
LPDIRECT3DMATERIAL2 CreateMattMaterial(const D3DCOLORVALUE* lpColor) {
  if (g_D3D == NULL) return NULL;
  LPDIRECT3DMATERIAL2 lpMaterial = NULL;
  g_hr = IDirect3D2_CreateMaterial(g_D3D, &lpMaterial, NULL);
  if (FAILED(g_hr)) return NULL;

  D3DMATERIAL mat;
  std::memset(&mat, 0, sizeof(mat));
  mat.dwSize = sizeof(mat);
  mat.diffuse = *lpColor;
  mat.ambient = *lpColor;
  mat.specular = *lpColor;
  mat.emissive = {0.0f, 0.0f, 0.0f, 0.0f};
  mat.power = 0.0f;
  mat.hTexture = 0;
  mat.dwRampSize = 16;
  g_hr = IDirect3DMaterial2_SetMaterial(lpMaterial, &mat);
  if (FAILED(g_hr)) {
    IDirect3DMaterial2_Release(lpMaterial);
    return NULL;
  }
  return lpMaterial;
}

// Adds the light to the viewport or takes it out; without a viewport the
// next rebuild applies the state.
void EnableLight(INT light, BOOL bOn) {
  bOn = bOn ? TRUE : FALSE;
  if (light < 0 || light >= NUM_LIGHTS || g_bLightOn[light] == bOn) return;
  if (g_Viewport != NULL) {
    if (bOn) {
      CHECK_DX(IDirect3DViewport2_AddLight(g_Viewport, g_Lights[light]));
      g_bLightAdded[light] = TRUE;
    } else if (g_bLightAdded[light]) {
      CHECK_DX(IDirect3DViewport2_DeleteLight(g_Viewport, g_Lights[light]));
      g_bLightAdded[light] = FALSE;
    }
  }
  g_bLightOn[light] = bOn;
}

// The material of the next lit triangles.
void SetMaterial(INT mat) {
  CHECK_DX(IDirect3DDevice2_SetLightState(g_3DD, D3DLIGHTSTATE_MATERIAL, g_hMaterials[mat]));
}

// Looks along +z at (cx, cy, 0) from just far enough for the rectangle to
// fill the view in both directions.
void SetViewMatrix(float fLeft, float fBottom, float fRight, float fTop, float fCX, float fCY) {
  float h = std::max(fCX - fLeft, fRight - fCX);
  float v = std::max(fCY - fBottom, fTop - fCY);
  // Before the first rebuild there is no proportion yet; the rebuild frames
  // the camera again.
  if (g_fAspect > 0.0f) v /= g_fAspect;
  float m = std::max(h, v);
  float d = 0.5f + 0.6f * m;
  D3DVECTOR t = {-fCX, -fCY, d};
  TranslateMatrix(&g_matView, &t);
  if (g_3DD != NULL)
    CHECK_DX(IDirect3DDevice2_SetTransform(g_3DD, D3DTRANSFORMSTATE_VIEW, &(g_matView)));
}

// Flat or Gouraud; without a device the next rebuild applies it.
void SetShadeMode(DWORD dwShadeMode) {
  if (dwShadeMode == g_dwShadeMode) return;
  g_dwShadeMode = dwShadeMode;
  if (g_3DD != NULL)
    CHECK_DX(IDirect3DDevice2_SetRenderState(g_3DD, D3DRENDERSTATE_SHADEMODE, g_dwShadeMode));
}

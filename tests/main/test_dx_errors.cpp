// The result-code texts: the quoted rows, the shape of every row, the number
// of codes each table knows, and that each code's text names that code.

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "main/fatal.h"

static const std::string kUnknown = "Unknown error code.";

// Every code of the ranges where DirectX, DirectInput and COM results live
// that the lookup knows, with its text.
static std::vector<std::pair<HRESULT, std::string>> KnownCodes(const char* (*lookUp)(HRESULT)) {
  static const uint32_t kRangeStarts[] = {0x00000000u, 0x80000000u, 0x80040000u, 0x80070000u,
                                          0x88760000u};
  std::vector<std::pair<HRESULT, std::string>> known;
  for (uint32_t start : kRangeStarts)
    for (uint32_t code = start; code < start + 0x10000u; ++code) {
      const char* lpszText = lookUp((HRESULT)code);
      if (lpszText == nullptr) ADD_FAILURE() << "null text for " << std::hex << code;
      else if (kUnknown != lpszText) known.emplace_back((HRESULT)code, lpszText);
    }
  return known;
}

TEST(DXErrorText, QuotedRows) {
  EXPECT_STREQ(DXErrorText(DD_OK), "DD_OK - The request completed successfully.");
  EXPECT_STREQ(DXErrorText(DDERR_SURFACELOST),
               "DDERR_SURFACELOST - Access to the surface is refused because the surface memory "
               "is gone. The DirectDrawSurface object representing this surface should have the "
               "IDirectDrawSurface3::Restore method called on it.");
  EXPECT_STREQ(DXErrorText(DDERR_OUTOFMEMORY),
               "DDERR_OUTOFMEMORY - DirectDraw does not have enough memory to perform the "
               "operation.");
  EXPECT_STREQ(DXErrorText(DDERR_OUTOFVIDEOMEMORY),
               "DDERR_OUTOFVIDEOMEMORY - DirectDraw does not have enough display memory to "
               "perform the operation.");
  EXPECT_STREQ(DXErrorText(DDERR_MOREDATA),
               "DDERR_MOREDATA  - There is more data available than the specified buffer size "
               "can hold.");
  EXPECT_STREQ(DXErrorText(D3DERR_SCENE_IN_SCENE), "D3DERR_SCENE_IN_SCENE");
  EXPECT_STREQ(DXErrorText((HRESULT)0x88760999u), "Unknown error code.");
  EXPECT_STREQ(DXErrorText(S_FALSE), "Unknown error code.");
  EXPECT_STREQ(DXErrorText(E_PENDING), "Unknown error code.");
}

TEST(DXErrorText, NamesKeyedByTheirGenericComCodes) {
  EXPECT_EQ(std::string(DXErrorText(E_FAIL)).rfind("DDERR_GENERIC - ", 0), 0u);
  EXPECT_EQ(std::string(DXErrorText(E_INVALIDARG)).rfind("DDERR_INVALIDPARAMS - ", 0), 0u);
  EXPECT_EQ(std::string(DXErrorText(E_OUTOFMEMORY)).rfind("DDERR_OUTOFMEMORY - ", 0), 0u);
  EXPECT_EQ(std::string(DXErrorText(E_NOTIMPL)).rfind("DDERR_UNSUPPORTED - ", 0), 0u);
  EXPECT_EQ(std::string(DXErrorText(CO_E_NOTINITIALIZED)).rfind("DDERR_NOTINITIALIZED - ", 0),
            0u);
}

TEST(DXErrorText, Exactly162CodesEachWithAWellFormedText) {
  auto known = KnownCodes(DXErrorText);
  EXPECT_EQ(known.size(), 162u);
  std::set<std::string> names, doubleSpaced;
  for (const auto& [hr, text] : known) {
    if (text.rfind("D3DERR_", 0) == 0) {
      EXPECT_EQ(text.find(' '), std::string::npos) << text;
      names.insert(text);
      continue;
    }
    size_t dash = text.find(" - ");
    ASSERT_NE(dash, std::string::npos) << text;
    std::string name = text.substr(0, dash);
    if (!name.empty() && name.back() == ' ') {
      name.pop_back();
      doubleSpaced.insert(name);
    }
    EXPECT_EQ(name.find(' '), std::string::npos) << text;
    EXPECT_TRUE(name == "DD_OK" || name.rfind("DDERR_", 0) == 0) << text;
    EXPECT_GT(text.size(), dash + 4) << text;
    EXPECT_EQ(text.back(), '.') << text;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 162u);
  EXPECT_EQ(doubleSpaced,
            (std::set<std::string>{"DDERR_DEVICEDOESNTOWNSURFACE", "DDERR_MOREDATA",
                                   "DDERR_NOFOCUSWINDOW", "DDERR_NONONLOCALVIDMEM",
                                   "DDERR_NOOPTIMIZEHW", "DDERR_NOTLOADED",
                                   "DDERR_VIDEONOTACTIVE"}));
}

TEST(DIErrorText, QuotedRows) {
  EXPECT_STREQ(DIErrorText(DI_OK),
               "DI_OK: The operation completed successfully. This value is equal to the S_OK "
               "standard COM return value.");
  EXPECT_STREQ(DIErrorText(1),
               "DI_BUFFEROVERFLOW/DI_NOEFFECT/DI_NOTATTACHED/DI_PROPNOEFFECT: The device buffer "
               "overflowed and some input was lost/The operation had no effect/The device exists "
               "but is not currently attached/The change in device properties had no effect. This "
               "value is equal to the S_FALSE standard COM return value.");
  EXPECT_STREQ(DIErrorText(DIERR_INPUTLOST),
               "DIERR_INPUTLOST: Access to the input device has been lost. It must be "
               "reacquired.");
  EXPECT_STREQ(DIErrorText(DIERR_NOTACQUIRED),
               "DIERR_NOTACQUIRED: The operation cannot be performed unless the device is "
               "acquired.");
  EXPECT_STREQ(DIErrorText(E_PENDING), "E_PENDING: Data is not yet available.");
  EXPECT_STREQ(DIErrorText(DIERR_ALREADYINITIALIZED),
               "DIERR_ALREADYINITIALIZED: This object is already initialized");
  EXPECT_STREQ(DIErrorText(DDERR_SURFACELOST), "Unknown error code.");
  EXPECT_STREQ(DIErrorText(-1), "Unknown error code.");
}

TEST(DIErrorText, Exactly35CodesAndTheSharedValues) {
  auto known = KnownCodes(DIErrorText);
  EXPECT_EQ(known.size(), 35u);
  int nComSentences = 0;
  for (const auto& [hr, text] : known) {
    size_t colon = text.find(": ");
    ASSERT_NE(colon, std::string::npos) << text;
    EXPECT_EQ(text.substr(0, colon).find(' '), std::string::npos) << text;
    if (text.find(" standard COM return value.") != std::string::npos) ++nComSentences;
  }
  EXPECT_EQ(nComSentences, 9);
  std::string access = DIErrorText(E_ACCESSDENIED);
  EXPECT_EQ(access.rfind("DIERR_HANDLEEXISTS/DIERR_OTHERAPPHASPRIO/DIERR_READONLY: ", 0), 0u);
  const std::string comSentence =
      " This value is equal to the E_ACCESSDENIED standard COM return value.";
  size_t com = access.find(comSentence);
  ASSERT_NE(com, std::string::npos);
  EXPECT_GT(access.size(), com + comSentence.size() + 2) << "one more sentence follows";
  EXPECT_EQ(std::string(DIErrorText(DIERR_OBJECTNOTFOUND))
                .rfind("DIERR_NOTFOUND/DIERR_OBJECTNOTFOUND: ", 0),
            0u);
  EXPECT_NE(std::string(DIErrorText(DIERR_GENERIC)).find("the E_FAIL standard COM return value."),
            std::string::npos);
}

// Every row under its own code: a text filed under the wrong code would keep
// the count and the form right and still name the wrong failure.
#define ROW(name) {name, #name}
static const std::pair<HRESULT, const char*> kDXRows[] = {
    ROW(DD_OK), ROW(DDERR_ALREADYINITIALIZED), ROW(DDERR_BLTFASTCANTCLIP),
    ROW(DDERR_CANNOTATTACHSURFACE), ROW(DDERR_CANNOTDETACHSURFACE), ROW(DDERR_CANTCREATEDC),
    ROW(DDERR_CANTDUPLICATE), ROW(DDERR_CANTLOCKSURFACE), ROW(DDERR_CANTPAGELOCK),
    ROW(DDERR_CANTPAGEUNLOCK), ROW(DDERR_CLIPPERISUSINGHWND), ROW(DDERR_COLORKEYNOTSET),
    ROW(DDERR_CURRENTLYNOTAVAIL), ROW(DDERR_DCALREADYCREATED), ROW(DDERR_DEVICEDOESNTOWNSURFACE),
    ROW(DDERR_DIRECTDRAWALREADYCREATED), ROW(DDERR_EXCEPTION), ROW(DDERR_EXCLUSIVEMODEALREADYSET),
    ROW(DDERR_GENERIC), ROW(DDERR_HEIGHTALIGN), ROW(DDERR_HWNDALREADYSET),
    ROW(DDERR_HWNDSUBCLASSED), ROW(DDERR_IMPLICITLYCREATED), ROW(DDERR_INCOMPATIBLEPRIMARY),
    ROW(DDERR_INVALIDCAPS), ROW(DDERR_INVALIDCLIPLIST), ROW(DDERR_INVALIDDIRECTDRAWGUID),
    ROW(DDERR_INVALIDMODE), ROW(DDERR_INVALIDOBJECT), ROW(DDERR_INVALIDPARAMS),
    ROW(DDERR_INVALIDPIXELFORMAT), ROW(DDERR_INVALIDPOSITION), ROW(DDERR_INVALIDRECT),
    ROW(DDERR_INVALIDSURFACETYPE), ROW(DDERR_LOCKEDSURFACES), ROW(DDERR_MOREDATA), ROW(DDERR_NO3D),
    ROW(DDERR_NOALPHAHW), ROW(DDERR_NOBLTHW), ROW(DDERR_NOCLIPLIST), ROW(DDERR_NOCLIPPERATTACHED),
    ROW(DDERR_NOCOLORCONVHW), ROW(DDERR_NOCOLORKEY), ROW(DDERR_NOCOLORKEYHW),
    ROW(DDERR_NOCOOPERATIVELEVELSET), ROW(DDERR_NODC), ROW(DDERR_NODDROPSHW),
    ROW(DDERR_NODIRECTDRAWHW), ROW(DDERR_NODIRECTDRAWSUPPORT), ROW(DDERR_NOEMULATION),
    ROW(DDERR_NOEXCLUSIVEMODE), ROW(DDERR_NOFLIPHW), ROW(DDERR_NOFOCUSWINDOW), ROW(DDERR_NOGDI),
    ROW(DDERR_NOHWND), ROW(DDERR_NOMIPMAPHW), ROW(DDERR_NOMIRRORHW), ROW(DDERR_NONONLOCALVIDMEM),
    ROW(DDERR_NOOPTIMIZEHW), ROW(DDERR_NOOVERLAYDEST), ROW(DDERR_NOOVERLAYHW),
    ROW(DDERR_NOPALETTEATTACHED), ROW(DDERR_NOPALETTEHW), ROW(DDERR_NORASTEROPHW),
    ROW(DDERR_NOROTATIONHW), ROW(DDERR_NOSTRETCHHW), ROW(DDERR_NOT4BITCOLOR),
    ROW(DDERR_NOT4BITCOLORINDEX), ROW(DDERR_NOT8BITCOLOR), ROW(DDERR_NOTAOVERLAYSURFACE),
    ROW(DDERR_NOTEXTUREHW), ROW(DDERR_NOTFLIPPABLE), ROW(DDERR_NOTFOUND), ROW(DDERR_NOTINITIALIZED),
    ROW(DDERR_NOTLOADED), ROW(DDERR_NOTLOCKED), ROW(DDERR_NOTPAGELOCKED), ROW(DDERR_NOTPALETTIZED),
    ROW(DDERR_NOVSYNCHW), ROW(DDERR_NOZBUFFERHW), ROW(DDERR_NOZOVERLAYHW), ROW(DDERR_OUTOFCAPS),
    ROW(DDERR_OUTOFMEMORY), ROW(DDERR_OUTOFVIDEOMEMORY), ROW(DDERR_OVERLAYCANTCLIP),
    ROW(DDERR_OVERLAYCOLORKEYONLYONEACTIVE), ROW(DDERR_OVERLAYNOTVISIBLE), ROW(DDERR_PALETTEBUSY),
    ROW(DDERR_PRIMARYSURFACEALREADYEXISTS), ROW(DDERR_REGIONTOOSMALL),
    ROW(DDERR_SURFACEALREADYATTACHED), ROW(DDERR_SURFACEALREADYDEPENDENT), ROW(DDERR_SURFACEBUSY),
    ROW(DDERR_SURFACEISOBSCURED), ROW(DDERR_SURFACELOST), ROW(DDERR_SURFACENOTATTACHED),
    ROW(DDERR_TOOBIGHEIGHT), ROW(DDERR_TOOBIGSIZE), ROW(DDERR_TOOBIGWIDTH), ROW(DDERR_UNSUPPORTED),
    ROW(DDERR_UNSUPPORTEDFORMAT), ROW(DDERR_UNSUPPORTEDMASK), ROW(DDERR_UNSUPPORTEDMODE),
    ROW(DDERR_VERTICALBLANKINPROGRESS), ROW(DDERR_VIDEONOTACTIVE), ROW(DDERR_WASSTILLDRAWING),
    ROW(DDERR_WRONGMODE), ROW(DDERR_XALIGN), ROW(D3DERR_BADMAJORVERSION),
    ROW(D3DERR_BADMINORVERSION), ROW(D3DERR_DEVICEAGGREGATED), ROW(D3DERR_EXECUTE_CLIPPED_FAILED),
    ROW(D3DERR_EXECUTE_CREATE_FAILED), ROW(D3DERR_EXECUTE_DESTROY_FAILED),
    ROW(D3DERR_EXECUTE_FAILED), ROW(D3DERR_EXECUTE_LOCK_FAILED), ROW(D3DERR_EXECUTE_LOCKED),
    ROW(D3DERR_EXECUTE_NOT_LOCKED), ROW(D3DERR_EXECUTE_UNLOCK_FAILED), ROW(D3DERR_INITFAILED),
    ROW(D3DERR_INBEGIN), ROW(D3DERR_INVALID_DEVICE), ROW(D3DERR_INVALIDCURRENTVIEWPORT),
    ROW(D3DERR_INVALIDPALETTE), ROW(D3DERR_INVALIDPRIMITIVETYPE), ROW(D3DERR_INVALIDRAMPTEXTURE),
    ROW(D3DERR_INVALIDVERTEXTYPE), ROW(D3DERR_LIGHT_SET_FAILED), ROW(D3DERR_LIGHTHASVIEWPORT),
    ROW(D3DERR_LIGHTNOTINTHISVIEWPORT), ROW(D3DERR_MATERIAL_CREATE_FAILED),
    ROW(D3DERR_MATERIAL_DESTROY_FAILED), ROW(D3DERR_MATERIAL_GETDATA_FAILED),
    ROW(D3DERR_MATERIAL_SETDATA_FAILED), ROW(D3DERR_MATRIX_CREATE_FAILED),
    ROW(D3DERR_MATRIX_DESTROY_FAILED), ROW(D3DERR_MATRIX_GETDATA_FAILED),
    ROW(D3DERR_MATRIX_SETDATA_FAILED), ROW(D3DERR_NOCURRENTVIEWPORT), ROW(D3DERR_NOTINBEGIN),
    ROW(D3DERR_NOVIEWPORTS), ROW(D3DERR_SCENE_BEGIN_FAILED), ROW(D3DERR_SCENE_END_FAILED),
    ROW(D3DERR_SCENE_IN_SCENE), ROW(D3DERR_SCENE_NOT_IN_SCENE), ROW(D3DERR_SETVIEWPORTDATA_FAILED),
    ROW(D3DERR_SURFACENOTINVIDMEM), ROW(D3DERR_TEXTURE_BADSIZE), ROW(D3DERR_TEXTURE_CREATE_FAILED),
    ROW(D3DERR_TEXTURE_DESTROY_FAILED), ROW(D3DERR_TEXTURE_GETSURF_FAILED),
    ROW(D3DERR_TEXTURE_LOAD_FAILED), ROW(D3DERR_TEXTURE_LOCK_FAILED), ROW(D3DERR_TEXTURE_LOCKED),
    ROW(D3DERR_TEXTURE_NO_SUPPORT), ROW(D3DERR_TEXTURE_NOT_LOCKED), ROW(D3DERR_TEXTURE_SWAP_FAILED),
    ROW(D3DERR_TEXTURE_UNLOCK_FAILED), ROW(D3DERR_VIEWPORTDATANOTSET),
    ROW(D3DERR_VIEWPORTHASNODEVICE), ROW(D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY),
    ROW(D3DERR_ZBUFF_NEEDS_VIDEOMEMORY),
};
#undef ROW

TEST(DXErrorText, EachCodeNamesItself) {
  ASSERT_EQ(std::size(kDXRows), 162u);
  for (const auto& [hr, name] : kDXRows) {
    const std::string text = DXErrorText(hr);
    const std::string n = name;
    if (n.rfind("D3DERR_", 0) == 0)
      EXPECT_EQ(text, n);
    else
      EXPECT_TRUE(text.rfind(n + " - ", 0) == 0 || text.rfind(n + "  - ", 0) == 0)
          << n << " has the text [" << text << "]";
  }
}

// The rows of DirectInput by the first of their names; shared values list all.
static const std::pair<HRESULT, const char*> kDIRows[] = {
    {DI_OK, "DI_OK"},
    {DI_BUFFEROVERFLOW, "DI_BUFFEROVERFLOW/DI_NOEFFECT/DI_NOTATTACHED/DI_PROPNOEFFECT"},
    {DI_POLLEDDEVICE, "DI_POLLEDDEVICE"},
    {DI_DOWNLOADSKIPPED, "DI_DOWNLOADSKIPPED"},
    {DI_EFFECTRESTARTED, "DI_EFFECTRESTARTED"},
    {DI_TRUNCATED, "DI_TRUNCATED"},
    {DI_TRUNCATEDANDRESTARTED, "DI_TRUNCATEDANDRESTARTED"},
    {E_PENDING, "E_PENDING"},
    {DIERR_UNSUPPORTED, "DIERR_UNSUPPORTED"},
    {DIERR_NOINTERFACE, "DIERR_NOINTERFACE"},
    {DIERR_GENERIC, "DIERR_GENERIC"},
    {DIERR_NOAGGREGATION, "DIERR_NOAGGREGATION"},
    {DIERR_DEVICENOTREG, "DIERR_DEVICENOTREG"},
    {DIERR_DEVICEFULL, "DIERR_DEVICEFULL"},
    {DIERR_MOREDATA, "DIERR_MOREDATA"},
    {DIERR_NOTDOWNLOADED, "DIERR_NOTDOWNLOADED"},
    {DIERR_HASEFFECTS, "DIERR_HASEFFECTS"},
    {DIERR_NOTEXCLUSIVEACQUIRED, "DIERR_NOTEXCLUSIVEACQUIRED"},
    {DIERR_INCOMPLETEEFFECT, "DIERR_INCOMPLETEEFFECT"},
    {DIERR_NOTBUFFERED, "DIERR_NOTBUFFERED"},
    {DIERR_EFFECTPLAYING, "DIERR_EFFECTPLAYING"},
    {DIERR_UNPLUGGED, "DIERR_UNPLUGGED"},
    {DIERR_REPORTFULL, "DIERR_REPORTFULL"},
    {DIERR_NOTFOUND, "DIERR_NOTFOUND/DIERR_OBJECTNOTFOUND"},
    {DIERR_HANDLEEXISTS, "DIERR_HANDLEEXISTS/DIERR_OTHERAPPHASPRIO/DIERR_READONLY"},
    {DIERR_NOTACQUIRED, "DIERR_NOTACQUIRED"},
    {DIERR_OUTOFMEMORY, "DIERR_OUTOFMEMORY"},
    {DIERR_NOTINITIALIZED, "DIERR_NOTINITIALIZED"},
    {DIERR_INPUTLOST, "DIERR_INPUTLOST"},
    {DIERR_INVALIDPARAM, "DIERR_INVALIDPARAM"},
    {DIERR_BADDRIVERVER, "DIERR_BADDRIVERVER"},
    {DIERR_ACQUIRED, "DIERR_ACQUIRED"},
    {DIERR_OLDDIRECTINPUTVERSION, "DIERR_OLDDIRECTINPUTVERSION"},
    {DIERR_BETADIRECTINPUTVERSION, "DIERR_BETADIRECTINPUTVERSION"},
    {DIERR_ALREADYINITIALIZED, "DIERR_ALREADYINITIALIZED"},
};

TEST(DIErrorText, EachCodeNamesItself) {
  ASSERT_EQ(std::size(kDIRows), 35u);
  for (const auto& [hr, names] : kDIRows) {
    const std::string text = DIErrorText(hr);
    EXPECT_EQ(text.rfind(std::string(names) + ": ", 0), 0u)
        << names << " has the text [" << text << "]";
  }
}

// The result-code texts: the quoted rows, the shape of every row, and the
// number of codes each table knows.

#include <gtest/gtest.h>

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

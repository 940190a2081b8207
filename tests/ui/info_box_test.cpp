// Readout boxes: measuring, placing, blinking, the palette and the readout menus; info-box requests and fonts.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "golden.h"
#include "draw/string.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "readout_test_env.h"
#include "ui/menu/fonts.h"
#include "ui/info/info_request.h"
#include "ui/menu/menu.h"
#include "ui/menu/palette.h"
#include "ui_test_env.h"

namespace {

// A font whose every character is u32Width pixels wide and one row of pixels high.
struct FixedFont {
  std::vector<U8> vRow;
  CHAR_DESC desc{};
  std::array<const CHAR_DESC *, 256> apChars{};
  FONT_DEF font{};
  explicit FixedFont(U32 u32Width) : vRow((u32Width + 7) / 8, 0xFF) {
    desc = CHAR_DESC{vRow.data(), u32Width};
    apChars.fill(&desc);
    font.ppCharDesc = apChars.data();
    font.u32Height = 1;
    font.u32Ascender = 1;
    font.u32MaxWidth = u32Width;
  }
};

class InfoBoxTest : public ReadoutTest {};

TEST_F(InfoBoxTest, MeasureAddsTheStyleMarginToValueAndUnits) {
  const FixedFont ten(10);
  setU32("YUDP", U_METRES, D_UNITS);
  setFloat("IDEP", 150.2f, D_DEPTH);  // "150" and "m": 30 + 10 pixels
  // The border styles take (value + units) + 13: 53 (not 43).
  EXPECT_EQ(T_INFO_nMeasureInfoBox(0, FCID("IDEP"), &ten.font, &ten.font, IBS_GRAY_ROUNDED_BORDER, 0), 53);
  EXPECT_EQ(T_INFO_nMeasureInfoBox(0, FCID("IDEP"), &ten.font, &ten.font, IBS_SEMITRANSPARENT_GRAY_ROUNDED_BORDER, 0),
            53);
  EXPECT_EQ(T_INFO_nMeasureInfoBox(0, FCID("IDEP"), &ten.font, &ten.font, IBS_WHITE_BAR, 0), 41);
  EXPECT_EQ(T_INFO_nMeasureInfoBox(60, FCID("IDEP"), &ten.font, &ten.font, IBS_GRAY_ROUNDED_BORDER, 0), 60);
  EXPECT_EQ(T_INFO_nMeasureInfoBox(60, FCID("NONE"), &ten.font, &ten.font, IBS_GRAY_ROUNDED_BORDER, 0), 0);
  // The digits format of the setting, or the forced one.
  setFloat("IDEP", 12.34f, D_DEPTH);
  setU32("SFMT", NO_TENTHS);
  EXPECT_EQ(T_INFO_nMeasureInfoBox(0, FCID("IDEP"), &ten.font, &ten.font, IBS_WHITE_BAR, 0), 31);
  EXPECT_EQ(T_INFO_nMeasureDigitsInfoBox(0, FCID("IDEP"), &ten.font, &ten.font, &ten.font, LARGE_TENTHS,
                                         IBS_WHITE_BAR, 0),
            51);
}

TEST_F(InfoBoxTest, NegativeXCountsFromTheRightEdge) {
  TestBitmap bmp(300, 100, 0x1234);
  setFloat("IDEP", 5.0f, D_DEPTH);
  const S32 W = T_INFO_nDrawInfoBox(bmp.p(), 60, 30, -100, 10, FCID("IDEP"), std_11x14_font_def_ptr,
                                    std_11x14_font_def_ptr, IBS_WHITE_BAR, JUSTIFY_LEFT, 0);
  EXPECT_EQ(W, 60);
  const COLOR colBackground = gCOLOR_pcolColorTable[INFO_COLOR_BACKGROUND];
  EXPECT_EQ(bmp.at(200, 10), colBackground);
  EXPECT_EQ(bmp.at(259, 39), colBackground);
  EXPECT_EQ(bmp.at(199, 10), 0x1234);
  EXPECT_EQ(bmp.at(260, 10), 0x1234);
  // A negative y counts from the top.
  TestBitmap top(300, 100, 0x1234);
  T_INFO_nDrawInfoBox(top.p(), 60, 30, 0, -30, FCID("IDEP"), std_11x14_font_def_ptr, std_11x14_font_def_ptr,
                      IBS_WHITE_BAR, JUSTIFY_LEFT, 0);
  EXPECT_EQ(top.at(0, 70), colBackground);
  EXPECT_EQ(top.at(0, 69), 0x1234);
}

TEST_F(InfoBoxTest, InvalidValueBlinks) {
  REQUIRE_UI_TEST_CLOCK();
  setU32("YUDP", U_METRES, D_UNITS);
  H_DATABASE_bUpdateEverythingFloat(FCID("IDEP"), 12.3f, P_NORMAL, D_DEPTH, nullptr, 1);
  PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
  auto draw = [](TestBitmap *pBmp) {
    return T_INFO_nDrawDigitsInfoBox(pBmp->p(), 156, 94, 0, 0, FCID("IDEP"), f34x62_font_def_ptr,
                                     std_16x17_font_def_ptr, f18x32_font_def_ptr, DONT_FORCE, IBS_WHITE_BAR,
                                     INSTRUMENTATION_JUSTIFY_RIGHT, 0);
  };
  const COLOR colText = gCOLOR_pcolColorTable[INFO_COLOR_FOREGROUND];
  TestBitmap on(160, 100), off(160, 100), bar(160, 100);
  INFO_vSetBlinkState(TRUE);
  EXPECT_EQ(draw(&on), 156);
  EXPECT_FALSE(on.points(colText).empty());
  INFO_vSetBlinkState(FALSE);
  EXPECT_EQ(draw(&off), 156);
  T_INFO_vDrawInfoBar(bar.p(), 156, 94, 0, 0, IBS_WHITE_BAR);
  EXPECT_EQ(off.vWords, bar.vWords);
  // The one-second tick flips the phase.
  INFO_vAdvanceBlink();
  EXPECT_TRUE(T_INFO_bBlinkState());
}

TEST_F(InfoBoxTest, MissingItemDrawsNothingAndNoValueShowsDashes) {
  TestBitmap bmp(200, 100, 0x1234), untouched(200, 100, 0x1234);
  EXPECT_EQ(T_INFO_nDrawInfoBox(bmp.p(), 60, 30, 0, 0, FCID("NONE"), std_11x14_font_def_ptr, std_11x14_font_def_ptr,
                                IBS_WHITE_BAR, JUSTIFY_LEFT, 0),
            0);
  EXPECT_EQ(bmp.vWords, untouched.vWords);
  EXPECT_EQ(T_INFO_nDrawInfoBox(bmp.p(), 1, 30, 0, 0, FCID("INVL"), std_11x14_font_def_ptr, std_11x14_font_def_ptr,
                                IBS_WHITE_BAR, JUSTIFY_LEFT, 0),
            static_cast<S32>(std::max<U32>(4, G_STRING_u32GetWidth(std_11x14_font_def_ptr, "---"))));
}

TEST_F(InfoBoxTest, NavigationValuesShowDashesWhileTheAutopilotHoldsThem) {
  setU32("SUDS", U_NAUT_MILES, D_UNITS);
  setFloat("IDTG", 1852.0f * 12, D_DISTANCE);
  auto width = [] {
    TestBitmap bmp(300, 100);
    return T_INFO_nDrawInfoBox(bmp.p(), 1, 30, 0, 0, FCID("IDTG"),
                               std_16x17_font_def_ptr, std_16x17_font_def_ptr, IBS_NONE, JUSTIFY_LEFT, 0);
  };
  EXPECT_EQ(width(), static_cast<S32>(G_STRING_u32GetWidth(std_16x17_font_def_ptr, "12.0")));
  H_DATABASE_bUpdateEverythingBoolean(FCID("IPUF"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  setU32("IPMD", 3);  // electronic anchor
  EXPECT_EQ(width(), static_cast<S32>(G_STRING_u32GetWidth(std_16x17_font_def_ptr, "---")));
}

TEST_F(InfoBoxTest, AlphaVectorFollowsThePalette) {
  const U32 u32Vector = 0x00302010;
  INFO_vApplyPalette(PALETTE1);
  EXPECT_EQ(T_INFO_u8ConvertAlphaVector(u32Vector), 0x10);
  INFO_vApplyPalette(PALETTE2);
  EXPECT_EQ(T_INFO_u8ConvertAlphaVector(u32Vector), 0x20);
  INFO_vApplyPalette(PALETTE3);
  EXPECT_EQ(T_INFO_u8ConvertAlphaVector(u32Vector), 0x30);
  INFO_vApplyPalette(PALETTE4);
  EXPECT_EQ(T_INFO_u8ConvertAlphaVector(u32Vector), 0x10);
}

TEST_F(InfoBoxTest, SelectionChecks) {
  setKey("SIS1", "BDEP");
  setKey("BDEP", "IDEP");
  setFloat("IDEP", 3.0f, D_DEPTH);
  setU32("SIS2", FCID("BDEP"));  // not of type D_FCID
  setKey("SIS3", "BXXX");
  setU32("SIS4", 0, D_FCID);
  EXPECT_TRUE(T_INFO_bFCIDIsValidSelection(FCID("SIS1")));
  EXPECT_FALSE(T_INFO_bFCIDIsValidSelection(FCID("SIS2")));
  EXPECT_FALSE(T_INFO_bFCIDIsValidSelection(FCID("SIS3")));
  EXPECT_FALSE(T_INFO_bFCIDIsValidSelection(FCID("SIS4")));
  EXPECT_TRUE(T_INFO_bFCIDNonZero(FCID("SIS1")));
  EXPECT_FALSE(T_INFO_bFCIDNonZero(FCID("SIS4")));
  EXPECT_FALSE(T_INFO_bFCIDNonZero(FCID("NONE")));
}

// The info task on the test thread, with the menu task's mailbox collected.
class InfoTaskTest : public ReadoutTest {
 protected:
  void SetUp() override {
    REQUIRE_UI_TEST_CLOCK();
    ReadoutTest::SetUp();
    L_MBOX_DefineSema(M_INFO, SEMA_MBOX_INFO);
    setU32("TMNU", M_MENU, D_MAILBOX);
  }
  void TearDown() override {
    while (void *pv = L_MBOX_Receive(M_MENU)) H_MEMORY_vDumpMail(pv);
    while (void *pv = L_MBOX_Receive(M_INFO)) H_MEMORY_vDumpMail(pv);
  }
  static void send(CMD_ID u32Cmd) {
    auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
    pMsg->Cmd = u32Cmd;
    L_MBOX_Send(M_INFO, pMsg, NORMAL_PRIORITY, 0);
  }
  static void serve() {
    for (SEMA sema : {SEMA_MBOX_INFO, SEMA_INFOBOX_UPDATE}) {
      if (UI_bTakeSignal(sema)) T_INFO_vHandleSema(sema);
    }
  }
  // The readout selectors registered since the last call.
  static std::vector<M_SELECTION_BOX_PARAMETERS> readoutSelectors() {
    std::vector<M_SELECTION_BOX_PARAMETERS> v;
    while (void *pv = L_MBOX_Receive(M_MENU)) {
      const auto *pMsg = static_cast<const MSG_ADD_MENU_ITEM *>(pv);
      if (pMsg->header.Cmd == CMD_ID_REGISTER_MENU_ITEM && pMsg->pSubMenuName == &Select_Readouts) {
        v.push_back(pMsg->descriptor.parameters.selector);
      }
      H_MEMORY_vDumpMail(pv);
    }
    return v;
  }
};

TEST_F(InfoTaskTest, PaletteThreeTurnsTheReadoutsWhiteOnBlack) {
  setU32("SPAL", 3);
  T_INFO_vInit();
  COLOR acol[4];
  COLOR_vFetchColorTableSection(INFO_COLOR_BACKGROUND, 4, acol);
  EXPECT_EQ(std::vector<COLOR>(acol, acol + 4), (std::vector<COLOR>{0x0000, 0x5AF5, 0x424A, 0xFFFF}));
  // A change while running takes the blue set.
  send(CMD_ID_RUN_SYSTEM);
  serve();
  H_DATABASE_bUpdateValueU32(FCID("SPAL"), 2, P_NORMAL);
  serve();
  COLOR_vFetchColorTableSection(INFO_COLOR_BACKGROUND, 4, acol);
  EXPECT_EQ(std::vector<COLOR>(acol, acol + 4), (std::vector<COLOR>{0x2815, 0x7BFF, 0x8C94, 0xFFFF}));
  H_DATABASE_bUpdateValueU32(FCID("SPAL"), 7, P_NORMAL);
  serve();
  COLOR_vFetchColorTableSection(INFO_COLOR_BACKGROUND, 4, acol);
  EXPECT_EQ(std::vector<COLOR>(acol, acol + 4), (std::vector<COLOR>{0xFFFF, 0xB5B4, 0x424A, 0x0000}));
}

TEST_F(InfoTaskTest, StartWritesDefaultsTheTimerItemsAndTheMailbox) {
  setKey("SIS2", "BSPD");  // a stored choice wins over the default
  T_INFO_vInit();
  U32 u32 = 0;
  EXPECT_TRUE(H_DATABASE_bFetchU32(FCID("TINF"), &u32, nullptr, nullptr));
  EXPECT_EQ(u32, static_cast<U32>(M_INFO));
  H_DATABASE_bFetchU32(FCID("SIS1"), &u32, nullptr, nullptr);
  EXPECT_EQ(u32, FCID("BDEP"));
  H_DATABASE_bFetchU32(FCID("SIS2"), &u32, nullptr, nullptr);
  EXPECT_EQ(u32, FCID("BSPD"));
  H_DATABASE_bFetchU32(FCID("CIS2"), &u32, nullptr, nullptr);
  EXPECT_EQ(u32, FCID("BTSP"));
  H_DATABASE_bFetchU32(FCID("SFMT"), &u32, nullptr, nullptr);
  EXPECT_EQ(u32, static_cast<U32>(SMALL_TENTHS));
  EXPECT_TRUE(T_INFO_bFCIDIsValidSelection(FCID("BTAW")));
  H_DATABASE_bFetchU32(FCID("BTAW"), &u32, nullptr, nullptr);
  EXPECT_EQ(u32, FCID("ITAW"));
  // A factory reset puts the default back.
  send(CMD_ID_RESET_POS);
  serve();
  H_DATABASE_bFetchU32(FCID("SIS2"), &u32, nullptr, nullptr);
  EXPECT_EQ(u32, FCID("BTMP"));
}

TEST_F(InfoTaskTest, SixtyReadoutItemsGiveFortyNineChoicesAndOff) {
  static std::vector<std::array<std::string, NUMBER_OF_LANGUAGES>> s_names(60);
  static std::vector<std::array<const char *, NUMBER_OF_LANGUAGES>> s_ptrs(60);
  for (int i = 0; i < 60; ++i) {
    // Names out of order, and two that agree on their first ten characters.
    const std::string sName = i == 7 ? "Water Temperature 2" : i == 8 ? "Water Temperature 1" : "Item " + std::to_string(97 - i);
    s_names[i].fill(sName);
    for (U32 l = 0; l < NUMBER_OF_LANGUAGES; ++l) s_ptrs[i][l] = s_names[i][l].c_str();
    const char acKey[5] = {'B', static_cast<char>('A' + i / 26), static_cast<char>('A' + i % 26), 'Q', '\0'};
    setU32(acKey, FCID("IDEP"), D_FCID, s_ptrs[i].data());
  }
  setU32("BNON", FCID("IDEP"), D_FCID);  // no name: never a choice
  T_INFO_vUpdateInfoboxChoices(FALSE);
  const auto v = readoutSelectors();
  ASSERT_EQ(v.size(), 5u);
  for (const M_SELECTION_BOX_PARAMETERS &s : v) {
    ASSERT_EQ(s.numberSelections, 50u);
    EXPECT_EQ(std::count(s.pSelectionValueArray, s.pSelectionValueArray + 50, 0u), 1);
    for (U32 i = 1; i < 50; ++i) {
      EXPECT_LE(strncmp((*s.pSelectionList[i - 1])[0], (*s.pSelectionList[i])[0], 10), 0) << i;
    }
  }
  EXPECT_EQ(v[0].FourCharId, FCID("SIS1"));
  EXPECT_EQ(v[4].FourCharId, FCID("SIS5"));
  // Equal names keep the order in which they were found.
  const M_SELECTION_BOX_PARAMETERS &s = v[0];
  auto at = [&](const char *pcName) {
    for (U32 i = 0; i < s.numberSelections; ++i) {
      if (strcmp((*s.pSelectionList[i])[0], pcName) == 0) return static_cast<int>(i);
    }
    return -1;
  };
  std::vector<std::string> vFound;
  MULTI_FETCH_CONTROL_STRUCTURE control{};
  control.cMatch = 'B';
  while (H_DATABASE_bFetchNextBeginningWith(&control) && vFound.size() < 49) {
    if (control.extras.ppcText != nullptr) vFound.push_back(control.extras.ppcText[0]);
  }
  const auto first = std::find(vFound.begin(), vFound.end(), "Water Temperature 1");
  const auto second = std::find(vFound.begin(), vFound.end(), "Water Temperature 2");
  if (first != vFound.end() && second != vFound.end()) {
    EXPECT_EQ(at("Water Temperature 1") < at("Water Temperature 2"), first < second);
  }
}

TEST_F(InfoTaskTest, NoReadoutChoicesInTheGaugeViews) {
  setU32("CVEW", NMEA2K_ENGINE_VIEW, D_UNKNOWN);
  T_INFO_vUpdateInfoboxChoices(FALSE);
  EXPECT_TRUE(readoutSelectors().empty());
  T_INFO_vUpdateInfoboxChoices(FALSE);
  EXPECT_TRUE(readoutSelectors().empty());
  setU32("CVEW", CHART_VIEW_PRIORITY, D_UNKNOWN);
  T_INFO_vUpdateInfoboxChoices(FALSE);
  EXPECT_EQ(readoutSelectors().size(), 5u);
}

class InfoRequestTest : public ReadoutTest {
 protected:
  void SetUp() override {
    ReadoutTest::SetUp();
    U_INFO_vResetForTest();
  }
  static void boxes(std::array<U32, 5> au32) {
    const char *apcKeys[5] = {"SIS1", "SIS2", "SIS3", "SIS4", "SIS5"};
    for (int i = 0; i < 5; ++i) {
      const char *k = apcKeys[i];
      H_DATABASE_bUpdateEverythingU32(static_cast<FOURCHARID>(k[0] | k[1] << 8 | k[2] << 16 | k[3] << 24), au32[i],
                                      P_NORMAL, D_FCID, nullptr, DB_NO_TIMEOUT);
    }
  }
  static std::array<U32, 5> read() {
    std::array<U32, 5> a{};
    const FOURCHARID afcid[5] = {FCID("SIS1"), FCID("SIS2"), FCID("SIS3"), FCID("SIS4"), FCID("SIS5")};
    for (int i = 0; i < 5; ++i) H_DATABASE_bFetchU32(afcid[i], &a[i], nullptr, nullptr);
    return a;
  }
};

TEST_F(InfoRequestTest, PlacesFromTheDesiredBoxUpThenFromTheFirst) {
  const U32 A = FCID("BAAA"), B = FCID("BBBB"), C = FCID("BCCC"), X = FCID("BSTW");
  boxes({0, A, B, 0, C});
  EXPECT_TRUE(U_INFO_bDisplayInInfoBox(X, 3));
  EXPECT_EQ(read(), (std::array<U32, 5>{0, A, B, X, C}));
  // Already shown: nothing written.
  EXPECT_TRUE(U_INFO_bDisplayInInfoBox(B, 1));
  EXPECT_EQ(read(), (std::array<U32, 5>{0, A, B, X, C}));
  // Only box 1 is empty.
  EXPECT_TRUE(U_INFO_bDisplayInInfoBox(FCID("BTMS"), 4));
  EXPECT_EQ(read(), (std::array<U32, 5>{FCID("BTMS"), A, B, X, C}));
  // No empty box.
  EXPECT_FALSE(U_INFO_bDisplayInInfoBox(FCID("BBAR"), 2));
  // Box 6 is refused but uses up a record; the sixth request is refused even with room.
  EXPECT_FALSE(U_INFO_bDisplayInInfoBox(FCID("BVLT"), 6));
  boxes({0, 0, 0, 0, 0});
  EXPECT_FALSE(U_INFO_bDisplayInInfoBox(FCID("BVLT"), 1));
  EXPECT_EQ(read(), (std::array<U32, 5>{0, 0, 0, 0, 0}));
  // The recorded requests are placed again, in order; the one for box 6 is skipped.
  U_INFO_vReinitializeInfoBoxes();
  EXPECT_EQ(read(), (std::array<U32, 5>{B, FCID("BBAR"), X, FCID("BTMS"), 0}));
}

TEST(FontSetTest, LanguagesPickTheirFontSet) {
  U_FONTS_vSelectFontSet(LANGUAGE_RUSSIAN);
  EXPECT_EQ(std_16x17_font_def_ptr, &corvan_16x17_Cro_Rus_font_def);
  EXPECT_EQ(std_11x14_font_def_ptr, &corvan_11x14_Cro_Rus_font_def);
  U_FONTS_vSelectFontSet(LANGUAGE_GREEK);
  EXPECT_EQ(std_16x17_font_def_ptr, &corvan_16x17_font_def);
  EXPECT_EQ(std_11x14_font_def_ptr, &corvan_11x14_font_def);
  U_FONTS_vSelectFontSet(LANGUAGE_CROATIAN);
  EXPECT_EQ(std_16x17_font_def_ptr, &corvan_16x17_Cro_Rus_font_def);
  U_FONTS_vSelectFontSet(static_cast<LANGUAGE>(40));
  EXPECT_EQ(std_16x17_font_def_ptr, &corvan_16x17_font_def);
}

}  // namespace

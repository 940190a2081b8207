// The start-up screens (splash, start-up menu, chart disclaimer, the missing-transducer box, the self-test view)
// and the keys that the start-up task holds before the system runs and in the system-status state.
#include <cstdio>
#include <cstring>
#include <string>

#include "card/movinand_standin.h"
#include "draw/box.h"
#include "draw/color.h"
#include "draw/fonts.h"
#include "draw/icon.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "settings/database.h"
#include "settings/model.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "settings/version.h"
#include "net/ethernet_standin.h"
#include "ui/menu/dialog.h"
#include "ui/editors/ipedit.h"
#include "ui/menu/menu_draw_controls.h"
#include "ui/startup/startup_internal.h"
#include "view/view.h"

const ARRAY_OF_STRING_PTRS STARTUP_Normal = SAME22("Normal");
const ARRAY_OF_STRING_PTRS STARTUP_Simulator = SAME22("Simulator");
const ARRAY_OF_STRING_PTRS STARTUP_System_Status = SAME22("System Status");
const ARRAY_OF_STRING_PTRS STARTUP_PC_Connect = SAME22("PC Connect");

namespace {

const ARRAY_OF_STRING_PTRS Press_MENU_for_Startup_Options = SAME22("Press MENU for Startup Options");
const ARRAY_OF_STRING_PTRS Startup_Options = SAME22("Start-Up Options");
const ARRAY_OF_STRING_PTRS Press_Right_Cursor_Arrow_to_Select = SAME22("Press Right Cursor Arrow to Select");
const ARRAY_OF_STRING_PTRS Transducer_not_connected = SAME22("Transducer not connected");
const ARRAY_OF_STRING_PTRS Disclaimer_Paragraph_1 = SAME22(
    "WARNING:  This electronic chart is an aid to navigation designed to facilitate the use of authorized "
    "government charts, not to replace them.");
const ARRAY_OF_STRING_PTRS Disclaimer_Paragraph_2 = SAME22(
    "Only official government charts and notices to mariners contain all of the current information needed for "
    "the safety of navigation, and the captain is responsible for their prudent use.");
const ARRAY_OF_STRING_PTRS Disclaimer_Paragraph_3 = SAME22(
    "WARNING:  All electronic chart data and features, from memory or third party digital media, are an aid to "
    "navigation designed to facilitate the use of authorized government charts, not to replace them.");
const ARRAY_OF_STRING_PTRS Update_Daravazos =
    SAME22("Periodically check with Daravazos to assure your electronic charts are current.");
const ARRAY_OF_STRING_PTRS Press_EXIT_to_continue = SAME22("Press EXIT to continue");
const ARRAY_OF_STRING_PTRS UC_SYSTEM_STATUS = SAME22("SYSTEM STATUS");
const ARRAY_OF_STRING_PTRS Press_VIEW_for_Next_Screen = SAME22("Press VIEW for Next Screen");
const ARRAY_OF_STRING_PTRS VOLTAGE_UC = SAME22("VOLTAGE");
const ARRAY_OF_STRING_PTRS V_Text = SAME22("V");
const ARRAY_OF_STRING_PTRS TOTAL_TIME = SAME22("TOTAL TIME");
const ARRAY_OF_STRING_PTRS hrs = SAME22("hrs");
const ARRAY_OF_STRING_PTRS UC_SOFTWARE_VERSION = SAME22("SOFTWARE VERSION");
const ARRAY_OF_STRING_PTRS Model_Text = SAME22("MODEL");
const ARRAY_OF_STRING_PTRS Self_Test_Text = SAME22("Self Test");
const ARRAY_OF_STRING_PTRS PASSED = SAME22("PASSED");

const LAYER_ID layerSequence[3] = {DIAGNOSTIC_SELF_TEST, DIAGNOSTIC_ACCESSORY_CATALOG, DIAGNOSTIC_GPS_CARTOGRAPHY};

// Only the start-up task handles keys.
BOOLEAN viewKeyDown = FALSE;

// The super-user sequence: five presses up, then right switches the super-user menus on, left switches them off.
constexpr CURSOR_POSITION kCountingDirection = CURSOR_NORTH;
constexpr CURSOR_POSITION kSetDirection = CURSOR_EAST;
constexpr CURSOR_POSITION kClearDirection = CURSOR_WEST;
constexpr U32 kSuperUserRun = 5;

const char *text(const ARRAY_OF_STRING_PTRS &array) { return array[nCurrentLanguage()]; }
COLOR color(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

STARTUP_STATUS status(void) {
  STARTUP_STATUS st;
  T_STARTUP_vGetStatus(&st);
  return st;
}

void fill(BITMAP *pBitmap, COLOR c) {
  POINT origin = {0, 0};
  G_BOX_vDrawFilled(pBitmap, c, &origin, static_cast<U32>(pBitmap->pixels_wide), static_cast<U32>(pBitmap->pixels_high));
}

void putCentred(BITMAP *pBitmap, const FONT_DEF *pFont, COLOR c, S32 s32Y, const char *pcText, S32 s32Left = 0,
                S32 s32Width = -1) {
  if (s32Width < 0) s32Width = pBitmap->pixels_wide - s32Left;
  POINT at = {s32Left + (s32Width - static_cast<S32>(G_STRING_u32GetWidth(pFont, pcText))) / 2, s32Y};
  G_STRING_vPut(pBitmap, c, &at, pFont, pcText);
}

void click(bool bGood) { L_SEMA_Signal(bGood ? SEMA_KEYCLICK_GOOD : SEMA_KEYCLICK_BAD); }

bool fetchU32(FOURCHARID key, U32 *pu32) { return H_DATABASE_bFetchU32(key, pu32, nullptr, nullptr); }

// A key on the disclaimer or EXIT before 6 s of running time waits until then, at most 3 s.
void waitForDisclaimerTime(U32 u32Now) {
  if (status().eState == STATE_NORMAL_RUN) return;
  const S64 s64Remaining = 6000 - static_cast<S64>(u32Now);
  if (s64Remaining > 0) L_CLOCK_Sleep(static_cast<TICKS>(s64Remaining < 3000 ? s64Remaining : 3000));
}

void handleCursor(const MSG_KEY_CHANGE *pMsg) {
  const STARTUP_STATUS st = status();
  if (!st.bInMenu) return;
  STARTUP_vRestartMenuTimer();
  switch (pMsg->cursor) {
    case CURSOR_EAST:
      click(true);
      T_STARTUP_vStartSystem();
      break;
    case CURSOR_SOUTH:
      if (st.s32MenuLine != 2) {
        STARTUP_vSetMenuLine(st.s32MenuLine + 1);
        click(true);
        L_SEMA_Signal(SEMA_VIEW_UPDATE);
      } else {
        click(false);
      }
      break;
    case CURSOR_NORTH:
      if (st.s32MenuLine != 0) {
        STARTUP_vSetMenuLine(st.s32MenuLine - 1);
        click(true);
        L_SEMA_Signal(SEMA_VIEW_UPDATE);
      } else {
        click(false);
      }
      break;
    default: click(false); break;
  }
}

// The next system-status page in the given direction; the chart page only with its data, and a page whose owner
// has not registered it is passed over (the view task would show another view in its place).
void stepPage(S32 s32Direction) {
  U32 u32Page = status().u32Page;
  BOOLEAN bChart = FALSE;
  const bool bHaveChart = H_DATABASE_bFetchBoolean(FCID("IPFI"), &bChart, nullptr, nullptr) && bChart;
  for (int i = 0; i < 3; ++i) {
    u32Page = (u32Page + (s32Direction > 0 ? 1 : 2)) % 3;
    if ((u32Page != 2 || bHaveChart) && T_VIEW_bIsLayerActive(layerSequence[u32Page])) break;
  }
  STARTUP_vSetPage(u32Page);
  H_DATABASE_bUpdateValueU32(FCID("CVEW"), static_cast<U32>(layerSequence[u32Page]), P_NORMAL);
  click(true);
}

void handleDiagnosticModeKeys(const MSG_KEY_CHANGE *pMsg) {
  const bool bPress = pMsg->state != KEY_UP;
  switch (pMsg->key) {
    case KEY_BIT_VIEW:
    case KEY_BIT_EXIT:
      STARTUP_vSetSuperUserCount(0);
      if (bPress) {
        if (pMsg->key == KEY_BIT_VIEW) viewKeyDown = TRUE;
        stepPage(pMsg->key == KEY_BIT_VIEW ? 1 : -1);
      } else {
        viewKeyDown = FALSE;
      }
      break;
    case KEY_BIT_MENU:
      STARTUP_vSetSuperUserCount(0);
      if (bPress) click(true);
      break;
    case KEY_BIT_CURSOR: {
      if (!bPress) break;
      const U32 u32Count = status().u32SuperUserCount;
      if (pMsg->cursor == kCountingDirection) {
        click(false);
        STARTUP_vSetSuperUserCount(u32Count < kSuperUserRun ? u32Count + 1 : kSuperUserRun);
      } else if ((pMsg->cursor == kSetDirection || pMsg->cursor == kClearDirection) && u32Count == kSuperUserRun) {
        const bool bSet = pMsg->cursor == kSetDirection;
        H_DATABASE_bUpdateValueU32(FCID("SMSU"), bSet ? TRUE : FALSE, P_NORMAL);
        L_SEMA_Signal(SEMA_NVRAM_UPDATE);
        L_CLOCK_Sleep(500);
        L_SEMA_Signal(bSet ? SEMA_FISH_ALARM_LARGE : SEMA_FISH_ALARM_SMALL);
        STARTUP_vSetSuperUserCount(0);
      } else {
        click(false);
        STARTUP_vSetSuperUserCount(0);
      }
      viewKeyDown = FALSE;
      break;
    }
    default:
      if (bPress) click(false);
      break;
  }
}

}  // namespace

void T_STARTUP_vHandleKey(const MSG_KEY_CHANGE *pMsg) {
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  if (T_STARTUP_EDIT_bHandleConfKeys(pMsg) || T_STARTUP_EDIT_bHandleKeys(pMsg)) return;
  const STARTUP_STATUS st = status();
  if (st.bSystemStarted) {
    // Only the system-status pages keep their keys; in any other state the running unit's owners have them.
    if (st.eState == STATE_DIAGNOSTIC) handleDiagnosticModeKeys(pMsg);
    return;
  }
  if (st.eDisclaimerState == DISCLAIMER_ACTIVE) {
    if (st.eState == STATE_PRE_POINT_OF_SALE) {
      STARTUP_vSetState(STATE_NORMAL_RUN);
    } else {
      waitForDisclaimerTime(u32Now);
    }
    STARTUP_vFinishDisclaimer();
    click(true);
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
    T_STARTUP_vStartSystem();
    return;
  }
  switch (pMsg->key) {
    case KEY_BIT_EXIT:
      click(true);
      waitForDisclaimerTime(u32Now);
      T_STARTUP_vStartSystem();
      break;
    case KEY_BIT_CURSOR: handleCursor(pMsg); break;
    case KEY_BIT_MENU:
      if (st.bInMenu) {
        click(false);
        STARTUP_vRestartMenuTimer();
      } else {
        STARTUP_vOpenMenu();
      }
      break;
    default: click(false); break;
  }
}

void T_STARTUP_vDisplaySplashScreen(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  fill(pBitmap, color(32));
  if (!H_DATABASE_bFetch(FCID("SLNG"), nullptr, nullptr, nullptr)) return;
  const S32 s32W = pBitmap->pixels_wide, s32H = pBitmap->pixels_high;
  POINT bottom = {0, 0};
  const S32 s32Prompt = static_cast<S32>(U_DIALOG_u32DrawMessageBlock(
      pBitmap, text(Press_MENU_for_Startup_Options), std_11x14_font_def_ptr, 0, JUSTIFICATION_CENTER,
      JUSTIFICATION_BOTTOM, &bottom, static_cast<U32>(s32W), color(32), color(35)));
  // The maker's name stands for its logo, the model's name for its picture.
  U32 u32Model = 513;
  fetchU32(FCID("SMDL"), &u32Model);
  const FONT_DEF *pBig = std_16x17_font_def_ptr;
  const S32 s32Text = static_cast<S32>(G_STRING_u32GetHeight(pBig));
  putCentred(pBitmap, pBig, color(35), s32H - 46 - s32Text, "CORVAN");
  putCentred(pBitmap, pBig, color(35), s32H - 161 - s32Text,
             MODEL_pcFetchModelText(static_cast<MODEL_TYPE>(u32Model)));
  // The personal text: up to four lines, byte 3 an empty line.
  std::string asLines[4];
  int nLines = 0;
  std::string sPiece;
  const char *pc = STARTUP_acPersonalString;
  for (size_t i = 0; i <= 252 && nLines < 4; ++i) {
    const char c = i < 252 ? pc[i] : '\0';
    if (c == '\0' || c == '\n') {
      if (!sPiece.empty()) asLines[nLines++] = sPiece.substr(0, 120);
      sPiece.clear();
      if (c == '\0') break;
    } else if (c == 3) {
      if (!sPiece.empty() && nLines < 4) asLines[nLines++] = sPiece.substr(0, 120);
      sPiece.clear();
      if (nLines < 4) asLines[nLines++] = "";
    } else {
      sPiece += c;
    }
  }
  const S32 s32Top = s32H - 46 - s32Text;
  const S32 s32Middle = (s32Prompt + s32Top) / 2;
  S32 s32Y = s32Middle + nLines * s32Text / 2 - s32Text;
  for (int i = 0; i < nLines; ++i, s32Y -= s32Text) putCentred(pBitmap, pBig, 0xFEC0, s32Y, asLines[i].c_str());
  if (MODEL_bInternationalModel2()) {
    POINT at = {s32W - static_cast<S32>(G_STRING_u32GetWidth(pBig, "B")), s32Prompt + 1};
    G_STRING_vPut(pBitmap, color(32), &at, pBig, "B");
  }
}

void T_STARTUP_vDisplayStartupMenu(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const STARTUP_STATUS st = status();
  const S32 s32W = pBitmap->pixels_wide, s32H = pBitmap->pixels_high;
  fill(pBitmap, color(77));
  const FONT_DEF *pSmall = std_11x14_font_def_ptr;
  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  const S32 s32Small = static_cast<S32>(G_STRING_u32GetHeight(pSmall));
  POINT top = {0, s32H - 1};
  const S32 s32Title = static_cast<S32>(U_DIALOG_u32DrawMessageBlock(pBitmap, text(Startup_Options), pSmall, 0,
                                                                     JUSTIFICATION_CENTER, JUSTIFICATION_TOP, &top,
                                                                     static_cast<U32>(s32W), color(78), color(77)));
  // The hint beside the cursor-key picture, centred as a group when it fits.
  const char *pcHint = text(Press_Right_Cursor_Arrow_to_Select);
  const S32 s32Icon = static_cast<S32>(G_ICON_u32GetWidth(&Cursor_icon));
  const S32 s32Group = s32Icon + 6 + static_cast<S32>(G_STRING_u32GetWidth(pSmall, pcHint));
  const S32 s32HintY = s32H - s32Title - 6 - static_cast<S32>(G_ICON_u32GetHeight(&Cursor_icon));
  S32 s32X = s32Group < s32W ? (s32W - s32Group) / 2 : 0;
  POINT icon = {s32X, s32HintY};
  G_ICON_vPut(pBitmap, &Cursor_icon, &icon);
  POINT hint = {s32X + s32Icon + 6, s32HintY + 4};
  G_STRING_vPut(pBitmap, color(78), &hint, pSmall, pcHint);
  S32 s32Bottom = 0;
  if (!st.bTransducerConnected) {
    putCentred(pBitmap, pSmall, color(78), 6, text(Transducer_not_connected));
    s32Bottom = s32Small + 12;
  }
  // Lines 0 to 2, centred in the space left.
  const S32 s32Font = static_cast<S32>(G_STRING_u32GetHeight(pFont));
  const S32 s32BoxH = s32Font + 16, s32Step = s32Font + 26;
  S32 s32BoxW = 0;
  for (int i = 0; i < 3; ++i) {
    const S32 s32Width = static_cast<S32>(G_STRING_u32GetWidth(pFont, text(*s_structStartupMenu[i].pString))) + 72;
    if (s32Width > s32BoxW) s32BoxW = s32Width;
  }
  if (s32BoxW > s32W) s32BoxW = s32W;
  const S32 s32Space = s32HintY - s32Bottom;
  const S32 s32Block = 2 * s32Step + s32BoxH;
  const S32 s32FirstY = s32Bottom + (s32Space + s32Block) / 2 - s32BoxH;
  for (int i = 0; i < 3; ++i) {
    POINT box = {(s32W - s32BoxW) / 2, s32FirstY - i * s32Step};
    const bool bActive = i == st.s32MenuLine;
    G_BOX_vDrawRoundedFilled(pBitmap, color(bActive ? 64 : 65), &box, static_cast<U32>(s32BoxW),
                             static_cast<U32>(s32BoxH), 6);
    if (!bActive) G_BOX_vDrawRounded(pBitmap, color(67), &box, static_cast<U32>(s32BoxW), static_cast<U32>(s32BoxH), 6);
    POINT label = {box.x + 12, box.y + 8};
    G_STRING_vPut(pBitmap, color(bActive ? 68 : 67), &label, pFont, text(*s_structStartupMenu[i].pString));
    if (bActive) U_MENU_vDrawControlAction(pBitmap, box, 0, static_cast<U32>(s32BoxW), static_cast<U32>(s32BoxH));
  }
}

void T_STARTUP_vDisplayDisclaimer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  fill(pBitmap, color(76));
  if (status().eDisclaimerState == DISCLAIMER_FINISHED) return;
  const S32 s32W = pBitmap->pixels_wide, s32H = pBitmap->pixels_high;
  POINT origin = {0, 0};
  G_BOX_vDrawRounded(pBitmap, color(199), &origin, static_cast<U32>(s32W), static_cast<U32>(s32H), 3);
  POINT inset = {4, 4};
  G_BOX_vDrawRounded(pBitmap, color(199), &inset, static_cast<U32>(s32W - 8), static_cast<U32>(s32H - 8), 2);
  const bool bBic = U_MOVINAND_eGetMovinandState(0) == MOVINAND_STATE_BIC;
  POINT first = {16, s32H * 3 / 4};
  U_DIALOG_u32DrawMessageBlock(pBitmap, text(MODEL_bDomesticModel() ? Disclaimer_Paragraph_3 : Disclaimer_Paragraph_1),
                               std_16x17_font_def_ptr, 0, JUSTIFICATION_LEFT, JUSTIFICATION_CENTER, &first,
                               static_cast<U32>(s32W - 24), color(152), color(156));
  char acText[512];
  std::snprintf(acText, sizeof acText, "     %s%s%s", text(Disclaimer_Paragraph_2), bBic ? " " : "",
                bBic ? text(Update_Daravazos) : "");
  POINT second = {16, s32H / 3 - 10};
  U_DIALOG_u32DrawMessageBlock(pBitmap, acText, std_16x17_font_def_ptr, 0, JUSTIFICATION_LEFT, JUSTIFICATION_CENTER,
                               &second, static_cast<U32>(s32W - 24), color(76), color(78));
  POINT bottom = {0, 8};
  U_DIALOG_u32DrawMessageBlock(pBitmap, text(Press_EXIT_to_continue), std_11x14_font_def_ptr, 0,
                               JUSTIFICATION_CENTER, JUSTIFICATION_BOTTOM, &bottom, static_cast<U32>(s32W), color(199),
                               color(196));
}

void T_STARTUP_vDrawTransducerNotDetected(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const STARTUP_STATUS st = status();
  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  char acText[46];
  U32 u32Width;
  U32 u32State = 0;
  fetchU32(FCID("CCST"), &u32State);
  if (u32State == STATE_BURN_IN) {
    std::snprintf(acText, sizeof acText, "Burn-In %s", U_MOVINAND_pcGetMovinandStateText(U_MOVINAND_eGetMovinandState(0)));
    u32Width = G_STRING_u32GetWidth(pFont, acText) + 20;
  } else {
    std::snprintf(acText, sizeof acText, "%s", text(Transducer_not_connected));
    u32Width = G_STRING_u32GetWidth(pFont, acText) + 9;
  }
  const U32 u32Max = pBitmap->pixels_wide > 10 ? static_cast<U32>(pBitmap->pixels_wide - 10) : 0;
  if (u32Width > u32Max) u32Width = u32Max;
  U_DIALOG_vDrawDialog(pBitmap, acText, pFont, 0, static_cast<U16>(u32Width), nullptr, nullptr, JUSTIFICATION_CENTER,
                       st.bSystemStarted ? JUSTIFICATION_CENTER : JUSTIFICATION_SCREEN_CENTER);
}

void T_STARTUP_vDrawSelfTestView(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const S32 s32Left = 160, s32W = 640, s32H = pBitmap->pixels_high;
  // The whole page, the info column at the left included: nothing of the previous screen may show through.
  POINT panel = {0, 0};
  G_BOX_vDrawFilled(pBitmap, color(196), &panel, static_cast<U32>(pBitmap->pixels_wide), static_cast<U32>(s32H));
  POINT band = {s32Left, s32H - 34};
  G_BOX_vDrawFilled(pBitmap, color(199), &band, static_cast<U32>(s32W), 34);
  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  const FONT_DEF *pSmall = std_11x14_font_def_ptr;
  putCentred(pBitmap, pFont, color(196), s32H - 26, text(UC_SYSTEM_STATUS), s32Left, s32W);
  POINT bottom = {s32Left, 0};
  const S32 s32Hint = static_cast<S32>(U_DIALOG_u32DrawMessageBlock(
      pBitmap, text(Press_VIEW_for_Next_Screen), pSmall, 0, JUSTIFICATION_CENTER, JUSTIFICATION_BOTTOM, &bottom,
      static_cast<U32>(s32W), color(199), color(196)));

  char aacValue[9][48] = {};
  U32 u32 = 0;
  if (T_ETHERNET_bIsDynamic()) {
    if (!T_ETHERNET_bIsAddressReady() || !T_ETHERNET_vGetIPAddress(aacValue[0])) std::strcpy(aacValue[0], "-----");
  } else {
    T_STARTUP_EDIT_vFormatAddress(FCID("SIPA"), aacValue[0]);
  }
  T_STARTUP_EDIT_vFormatMACAddress(aacValue[1]);
  U32 u32A = 0, u32B = 0, u32C = 0;
  if (fetchU32(FCID("SEDB"), &u32B)) {
    fetchU32(FCID("SEIB"), &u32A);
    fetchU32(FCID("SETB"), &u32C);
    std::snprintf(aacValue[2], 48, "%02d%05d%04d", static_cast<int>(u32A), static_cast<int>(u32B), static_cast<int>(u32C));
  } else {
    std::strcpy(aacValue[2], "-----");
  }
  float fVolts = 0.0f;
  BOOLEAN bValid = FALSE;
  if (H_DATABASE_bFetchFloat(FCID("IVLT"), &fVolts, &bValid, nullptr) && bValid) {
    std::snprintf(aacValue[3], 48, "%4.1f%s", static_cast<double>(fVolts), text(V_Text));
  } else {
    std::strcpy(aacValue[3], "-----");
  }
  if (fetchU32(FCID("SAGE"), &u32)) {
    std::snprintf(aacValue[4], 48, "%4d%s", static_cast<int>(u32 / 3600), text(hrs));
  } else {
    std::strcpy(aacValue[4], "-----");
  }
  std::snprintf(aacValue[5], 48, "%s", reinterpret_cast<const char *>(VERSION_pversion_infoGetCurrentVersion()->version));
  if (fetchU32(FCID("SEDU"), &u32A)) {
    fetchU32(FCID("SEIU"), &u32B);
    fetchU32(FCID("SENU"), &u32C);
    std::snprintf(aacValue[6], 48, "%d%02d%04d", static_cast<int>(u32A), static_cast<int>(u32B), static_cast<int>(u32C));
  } else {
    std::strcpy(aacValue[6], "-----");
  }
  U32 u32Model = MODEL_DEFAULT;
  fetchU32(FCID("SMDL"), &u32Model);
  std::snprintf(aacValue[7], 48, "%s%s", MODEL_pcFetchModelText(static_cast<MODEL_TYPE>(u32Model)),
                U_MOVINAND_eGetMovinandState(0) == MOVINAND_STATE_BIC ? " BIC" : "");
  std::snprintf(aacValue[8], 48, "%s", text(PASSED));
  const char *apcLabel[9] = {"IP ADDRESS", "MAC ADDRESS",          "PCB S/N", text(VOLTAGE_UC), text(TOTAL_TIME),
                             text(UC_SOFTWARE_VERSION), "S/N", text(Model_Text), text(Self_Test_Text)};
  // Two columns of boxes between the title band and the hint.
  const S32 s32BoxW = 300, s32Gap = 8;
  const S32 s32Rows = 5;
  const S32 s32BoxH = (s32H - 34 - s32Hint - (s32Rows + 1) * s32Gap) / s32Rows;
  for (int i = 0; i < 9; ++i) {
    const S32 s32Col = i / s32Rows, s32Row = i % s32Rows;
    POINT box = {s32Left + 12 + s32Col * (s32BoxW + 16), s32H - 34 - (s32Row + 1) * (s32BoxH + s32Gap)};
    G_BOX_vDrawRoundedFilled(pBitmap, color(199), &box, static_cast<U32>(s32BoxW), static_cast<U32>(s32BoxH), 4);
    POINT label = {box.x + 8, box.y + s32BoxH - 4 - static_cast<S32>(G_STRING_u32GetHeight(pSmall))};
    G_STRING_vPut(pBitmap, color(196), &label, pSmall, apcLabel[i]);
    const char *pcValue = aacValue[i];
    if (static_cast<S32>(G_STRING_u32GetWidth(pFont, pcValue)) > s32BoxW - 8) pcValue = "+++++";
    putCentred(pBitmap, pFont, color(196), box.y + 4, pcValue, box.x, s32BoxW);
  }
}

#include "view/display.h"

#include <cmath>
#include <cstdio>

#include "autopilot/vantrel_motor_standin.h"
#include "draw/box.h"
#include "view/buffers.h"
#include "draw/color.h"
#include "draw/fonts.h"
#include "draw/icon.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "settings/database.h"
#include "kernel/error.h"
#include "kernel/memory.h"
#include "settings/model.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "platform/backlight.h"
#include "platform/lcd.h"
#include "ui/menu/dialog.h"
#include "ui/keys/keyboard.h"
#include "ui/menu/menu.h"
#include "ui/menu/menu_draw_arrows.h"
#include "ui/menu/menu_draw_controls.h"
#include "ui/menu/palette.h"

namespace {

constexpr U32 kRowHeight = 62;
constexpr U32 kMenuKeys = 0xFFEE;  // every key but POWER and CURSOR
constexpr U32 kAllButPower = 0xFFFE;
constexpr float kThrustMinimum = 0.0f, kThrustMaximum = 10.0f, kThrustStep = 0.5f;

constexpr FOURCHARID kTDSP = FCID("TDSP"), kDSFB = FCID("DSFB"), kSPAL = FCID("SPAL"), kCBAK = FCID("CBAK"),
                     kCCST = FCID("CCST"), kCREV = FCID("CREV"), kSVOM = FCID("SVOM"), kSQCD = FCID("SQCD"),
                     kIPNE = FCID("IPNE"), kIPPL = FCID("IPPL"), kIPMS = FCID("IPMS"), kIPPT = FCID("IPPT"),
                     kIPRP = FCID("IPRP"), kIPCA = FCID("IPCA"), kSSEN = FCID("SSEN");

const ARRAY_OF_STRING_PTRS Color_Palette = SAME22("Color Palette");
const ARRAY_OF_STRING_PTRS Video_Out = SAME22("Video Out");
const ARRAY_OF_STRING_PTRS Off_Text = SAME22("Off");
const ARRAY_OF_STRING_PTRS On_Text = SAME22("On");
const ARRAY_OF_STRING_PTRS White_Text = SAME22("White");
const ARRAY_OF_STRING_PTRS Blue_Text = SAME22("Blue");
const ARRAY_OF_STRING_PTRS Black_Text = SAME22("Black");
const ARRAY_OF_STRING_PTRS NTSC_Text = SAME22("NTSC");
const ARRAY_OF_STRING_PTRS NTSC_J_Text = SAME22("NTSC-J");
const ARRAY_OF_STRING_PTRS PAL_Text = SAME22("PAL");
const ARRAY_OF_STRING_PTRS PAL_M_Text = SAME22("PAL-M");
const ARRAY_OF_STRING_PTRS Dim_Text = SAME22("Dim");
const ARRAY_OF_STRING_PTRS Press_Power_Off = SAME22("Press and hold POWER to turn unit Off");
const ARRAY_OF_STRING_PTRS Prop_Title = SAME22("Prop");
const ARRAY_OF_STRING_PTRS Prop_Speed_Title = SAME22("Prop Speed");
const ARRAY_OF_STRING_PTRS Stow_Title = SAME22("Stow Oskarne");
const ARRAY_OF_STRING_PTRS Deploy_Title = SAME22("Deploy Oskarne");
const ARRAY_OF_STRING_PTRS Pause_Title = SAME22("Pause Oskarne");
const ARRAY_OF_STRING_PTRS Sonar_Title = SAME22("Sonar");
const ARRAY_OF_STRING_PTRS Background_Title = SAME22("Background");

const MENU_TITLE kOnOffList[] = {&Off_Text, &On_Text};
const U32 kOnOffValues[] = {0, 1};
const MENU_TITLE kPaletteList[] = {&White_Text, &Blue_Text, &Black_Text};
const U32 kPaletteValues[] = {1, 2, 3};

struct ITEM_LOOK {
  const ICON *pIcon;
  const ARRAY_OF_STRING_PTRS *pTitle;
};
const ITEM_LOOK kItems[PwrMnu_Last_Item] = {
    {&prop_menu, &Prop_Title},           {&PropSpeed_icon, &Prop_Speed_Title}, {&Oskarne_Stow_menu, &Stow_Title},
    {&Oskarne_Deploy_menu, &Deploy_Title}, {&Oskarne_Pause_menu, &Pause_Title}, {&SonarTab_icon, &Sonar_Title},
    {&Light_icon, &Backlight_Text},       {&BackgroundColor_icon, &Background_Title},
};

// Only this task changes these; the view task reads them while drawing the layer.
struct STATE {
  BOOLEAN s_bContrastMenuDisplayed = FALSE;
  POWER_KEY_MENU_ITEMS s_bActiveMenuItem = PwrMnu_Sonar_Control;
  BOOLEAN s_bBacklightChanged = FALSE;
  BOOLEAN s_bPropMenuEnabled = FALSE;
  BOOLEAN s_bPropLockedOut = FALSE;
  BOOLEAN s_bPropMenuActive = FALSE;
  VANTREL_NG_STATE s_eMotorState = NG_UNKNOWN;
  BOOLEAN s_bVideoOutConnected = FALSE;
  BOOLEAN bKeysRegistered = FALSE;
  BOOLEAN bStateRegistered = FALSE;
  TIMER_INFO *pRetryTimer = nullptr;
  TIMER_INFO *pVideoTimer = nullptr;
  const ARRAY_OF_STRING_PTRS *apVideoList[5] = {};
  U32 au32VideoValues[5] = {};
  U32 u32VideoChoices = 0;
};
STATE s;

const char *text(const ARRAY_OF_STRING_PTRS &array) { return array[nCurrentLanguage()]; }

U32 fetchU32(FOURCHARID key, U32 u32Default) {
  U32 u32 = u32Default;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(key, &u32, &bValid, nullptr) || !bValid) return u32Default;
  return u32;
}

void click(bool bGood) { L_SEMA_Signal(bGood ? SEMA_KEYCLICK_GOOD : SEMA_KEYCLICK_BAD); }
void viewUpdate(void) { L_SEMA_Signal(SEMA_VIEW_UPDATE); }

// The motor item that the motor state offers first, or PwrMnu_Last_Item for none.
POWER_KEY_MENU_ITEMS motorItem(VANTREL_NG_STATE eState) {
  switch (eState) {
    case NG_STOWED: return PwrMnu_Motor_Deploy;
    case NG_DEPLOYING:
    case NG_STOWING:
    case NG_ERROR: return PwrMnu_Motor_Pause;
    case NG_DEPLOYED:
    case NG_PAUSED: return PwrMnu_Motor_Stow;
    default: return PwrMnu_Last_Item;
  }
}

bool visible(POWER_KEY_MENU_ITEMS eItem) {
  switch (eItem) {
    case PwrMnu_Prop_Control: return s.s_bPropMenuActive;
    case PwrMnu_Prop_Thrust: return s.s_bPropMenuActive && fetchU32(kIPCA, 0) == 0;
    case PwrMnu_Motor_Stow: return s.s_eMotorState == NG_DEPLOYED || s.s_eMotorState == NG_PAUSED;
    case PwrMnu_Motor_Deploy: return s.s_eMotorState == NG_STOWED || s.s_eMotorState == NG_PAUSED;
    case PwrMnu_Motor_Pause:
      return s.s_eMotorState == NG_DEPLOYING || s.s_eMotorState == NG_STOWING || s.s_eMotorState == NG_ERROR;
    default: return true;
  }
}

POWER_KEY_MENU_ITEMS firstItem(void) {
  if (s.s_bPropMenuActive) return PwrMnu_Prop_Control;
  const POWER_KEY_MENU_ITEMS eMotor = motorItem(s.s_eMotorState);
  return eMotor != PwrMnu_Last_Item ? eMotor : PwrMnu_Sonar_Control;
}

void recomputePropActive(void) { s.s_bPropMenuActive = s.s_bPropMenuEnabled && !s.s_bPropLockedOut; }

void stopRetryTimer(void) {
  if (s.pRetryTimer == nullptr) return;
  L_TIMER_Stop(s.pRetryTimer);
  L_TIMER_Release(s.pRetryTimer);
  s.pRetryTimer = nullptr;
}

void startRetryTimer(void) {
  if (s.pRetryTimer != nullptr) return;
  s.pRetryTimer = L_TIMER_Start(nullptr, 100, 100, SEMA_TIMER_DISPLAY1);
}

bool registerPowerKey(void) {
  s.bKeysRegistered =
      U_KEYBOARD_bRegisterKeys(M_DISPLAY, KEY_BIT_POWER, KEY_DOWN, FALSE, FALSE, CURSOR_4, REGISTER_CONTRAST);
  return s.bKeysRegistered;
}

bool registerState(void) {
  s.bStateRegistered = H_DATABASE_bRegisterForDataWithConditions(kCCST, M_DISPLAY, TRUE, FALSE, FALSE);
  if (s.bStateRegistered) {
    U32 u32State = 0;
    if (H_DATABASE_bFetchU32(kCCST, &u32State, nullptr, nullptr)) {
      T_DISPLAY_vHandleOperatingMode(static_cast<SYSTEM_STATE>(u32State));
    }
  }
  return s.bStateRegistered;
}

void stopVideoTimer(void) {
  if (s.pVideoTimer == nullptr) return;
  L_TIMER_Stop(s.pVideoTimer);
  L_TIMER_Release(s.pVideoTimer);
  s.pVideoTimer = nullptr;
}

void startVideoOutCheck(void) {
  if (s.pVideoTimer != nullptr) return;
  // The encoder must run for the monitor to be detected, whatever mode is wanted.
  H_DISPLAY_vChangeVideoOutMode(M_VIDEO_MODE_NTSC);
  s.pVideoTimer = L_TIMER_Start(nullptr, 1000, 1000, SEMA_TIMER_CHECK_VIDEO_OUT);
}

void openMenu(void) {
  click(true);
  H_BACKLIGHT_vSave();
  s.s_bActiveMenuItem = firstItem();
  BOOLEAN bQuickSetupDone = FALSE;
  BOOLEAN bValid = FALSE;
  if (H_DATABASE_bFetchBoolean(kSQCD, &bQuickSetupDone, &bValid, nullptr) && bValid && bQuickSetupDone) {
    U_KEYBOARD_bRegisterKeys(M_DISPLAY, kMenuKeys, KEY_DOWN, FALSE, FALSE, CURSOR_4, REGISTER_CONTRAST);
    U_KEYBOARD_bRegisterKeys(M_DISPLAY, KEY_BIT_CURSOR, KEY_DOWN, TRUE, FALSE, CURSOR_4, REGISTER_CONTRAST);
    U_VIEW_bRegisterLayer(T_DISPLAY_vDrawLayer, CONTRAST_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                          nullptr);
    s.s_bContrastMenuDisplayed = TRUE;
    viewUpdate();
  }
  s.s_bBacklightChanged = FALSE;
}

void removeMenu(void) {
  U_KEYBOARD_bUnregisterKeys(M_DISPLAY, kAllButPower);
  U_VIEW_bUnRegisterLayer(CONTRAST_LAYER);
  s.s_bContrastMenuDisplayed = FALSE;
  viewUpdate();
}

void closeMenu(void) {
  click(true);
  removeMenu();
  if (!s.s_bBacklightChanged) H_BACKLIGHT_vRestore();
}

// The value a choice item stands at while its key is missing: the sonar counts as on (it runs unless switched
// off), every other item at its first choice. The row, the box and the step all use it.
constexpr U32 kSonarMissing = 1;
U32 u32Missing(FOURCHARID key, const U32 *pu32Values) { return key == kSSEN ? kSonarMissing : pu32Values[0]; }

// A choice list bound to a key: one step right (+1) or left (-1); false when it cannot move.
bool stepChoice(FOURCHARID key, const U32 *pu32Values, U32 u32Count, S32 s32Step) {
  const U32 u32Value = fetchU32(key, u32Missing(key, pu32Values));
  U32 u32Index = 0;
  for (U32 i = 0; i < u32Count; ++i) {
    if (pu32Values[i] == u32Value) u32Index = i;
  }
  if (s32Step > 0 && u32Index + 1 >= u32Count) return false;
  if (s32Step < 0 && u32Index == 0) return false;
  H_DATABASE_bUpdateValueU32(key, pu32Values[s32Step > 0 ? u32Index + 1 : u32Index - 1], P_NORMAL);
  return true;
}

// The propeller speed slider: whole steps, kept within its limits.
void stepThrust(S32 s32Step) {
  float fValue = 0.0f;
  H_DATABASE_bFetchFloat(kIPPT, &fValue, nullptr, nullptr);
  const float fMax = kThrustMaximum, fMin = kThrustMinimum, fStep = kThrustStep;
  float fNew;
  if (s32Step > 0) {
    fNew = fValue < fMax ? std::fmin((std::round(fValue / fStep) + 1.0f) * fStep, fMax) : fMax;
  } else if (fValue > fMin) {
    const float fCount = std::round(fValue / fStep) - 1.0f;
    fNew = fCount == 0.0f ? 0.0f : fCount * fStep;
    if (fNew < fMin) fNew = fMin;
  } else {
    fNew = fMin;
  }
  H_DATABASE_bUpdateValueFloat(kIPPT, fNew, P_NORMAL);
}

void handleCursor(CURSOR_POSITION eCursor) {
  const POWER_KEY_MENU_ITEMS eItem = s.s_bActiveMenuItem;
  bool bGood = true;
  switch (eCursor) {
    case CURSOR_NORTH: {
      if (eItem == firstItem()) {
        s.s_bActiveMenuItem = PwrMnu_Contrast_Adj;
      } else {
        S32 i = eItem - 1;
        while (i > 0 && !visible(static_cast<POWER_KEY_MENU_ITEMS>(i))) --i;
        s.s_bActiveMenuItem = static_cast<POWER_KEY_MENU_ITEMS>(i);
      }
      break;
    }
    case CURSOR_SOUTH: {
      if (eItem == PwrMnu_Contrast_Adj) {
        s.s_bActiveMenuItem = firstItem();
      } else {
        S32 i = eItem + 1;
        while (i < PwrMnu_Contrast_Adj && !visible(static_cast<POWER_KEY_MENU_ITEMS>(i))) ++i;
        s.s_bActiveMenuItem = static_cast<POWER_KEY_MENU_ITEMS>(i);
      }
      break;
    }
    case CURSOR_EAST:
    case CURSOR_WEST: {
      const S32 s32Step = eCursor == CURSOR_EAST ? 1 : -1;
      switch (eItem) {
        case PwrMnu_Prop_Control: bGood = stepChoice(kIPRP, kOnOffValues, 2, s32Step); break;
        case PwrMnu_Prop_Thrust: stepThrust(s32Step); break;
        case PwrMnu_Motor_Stow:
        case PwrMnu_Motor_Deploy:
        case PwrMnu_Motor_Pause:
          if (s32Step < 0) {
            bGood = false;
          } else if (eItem == PwrMnu_Motor_Stow) {
            U_VANTREL_vStowMotor();
          } else if (eItem == PwrMnu_Motor_Deploy) {
            U_VANTREL_vDeployMotor();
          } else {
            U_VANTREL_vPauseMotor();
          }
          break;
        case PwrMnu_Sonar_Control: bGood = stepChoice(kSSEN, kOnOffValues, 2, s32Step); break;
        case PwrMnu_Backlight_Adj:
          bGood = H_BACKLIGHT_bChange(s32Step);
          if (bGood) s.s_bBacklightChanged = TRUE;
          break;
        case PwrMnu_Contrast_Adj: bGood = stepChoice(kSPAL, kPaletteValues, 3, s32Step); break;
        default: bGood = false; break;
      }
      break;
    }
    default: bGood = false; break;
  }
  click(bGood);
  if (bGood) viewUpdate();
}

void handleKey(const MSG_KEY_CHANGE *pMsg) {
  if (!s.s_bContrastMenuDisplayed) {
    openMenu();
  } else if (pMsg->key == KEY_BIT_POWER || pMsg->key == KEY_BIT_EXIT) {
    closeMenu();
  } else if (pMsg->key == KEY_BIT_CURSOR) {
    handleCursor(pMsg->cursor);
  } else {
    click(false);
  }
}

// The highlight follows the motor state while a motor item is highlighted.
void followMotorState(void) {
  if (s.s_bActiveMenuItem < PwrMnu_Motor_Stow || s.s_bActiveMenuItem > PwrMnu_Motor_Pause) return;
  switch (s.s_eMotorState) {
    case NG_DEPLOYING:
    case NG_STOWING:
    case NG_ERROR: s.s_bActiveMenuItem = PwrMnu_Motor_Pause; break;
    case NG_DEPLOYED:
    case NG_PAUSED: s.s_bActiveMenuItem = PwrMnu_Motor_Stow; break;
    case NG_STOWED: s.s_bActiveMenuItem = PwrMnu_Motor_Deploy; break;
    default: break;
  }
}

void handleVideoOutMode(const MESSAGE_NEW_DATA *pMsg) {
  if (s.s_bVideoOutConnected) {
    const U32 u32Mode = pMsg->bValid ? pMsg->dbValue.u32Val : 0;
    H_DISPLAY_vChangeVideoOutMode(static_cast<VIDEO_MODE>(u32Mode));
    if (u32Mode == 0) s.s_bVideoOutConnected = FALSE;
  } else {
    startVideoOutCheck();
  }
}

void handleNewData(const MESSAGE_NEW_DATA *pMsg) {
  const FOURCHARID key = pMsg->FourCharId;
  if (key == kCBAK) {
    H_BACKLIGHT_vChangeIntensity(static_cast<DISPLAY_BACKLIGHT>(pMsg->dbValue.s32Val));
  } else if (key == kCCST) {
    T_DISPLAY_vHandleOperatingMode(static_cast<SYSTEM_STATE>(pMsg->dbValue.u32Val));
  } else if (key == kCREV) {
    H_BACKLIGHT_vProcessRevisionBits(pMsg->dbValue.u32Val);
    H_BACKLIGHT_vChangeIntensity(DISPLAY_BACKLIGHT_MAX);
  } else if (key == kSVOM) {
    handleVideoOutMode(pMsg);
  } else if (key == kIPNE) {
    s.s_bPropMenuEnabled = pMsg->dbValue.u32Val != 0 ? TRUE : FALSE;
    recomputePropActive();
    if (s.s_bActiveMenuItem <= PwrMnu_Prop_Thrust) s.s_bActiveMenuItem = PwrMnu_Motor_Stow;
  } else if (key == kIPPL) {
    s.s_bPropLockedOut = pMsg->dbValue.u32Val != 0 ? TRUE : FALSE;
    recomputePropActive();
    if (s.s_bPropLockedOut && s.s_bActiveMenuItem <= PwrMnu_Prop_Thrust) {
      const POWER_KEY_MENU_ITEMS eMotor = motorItem(s.s_eMotorState);
      s.s_bActiveMenuItem = eMotor != PwrMnu_Last_Item ? eMotor : PwrMnu_Motor_Stow;
    }
  } else if (key == kIPMS) {
    s.s_eMotorState = static_cast<VANTREL_NG_STATE>(pMsg->dbValue.u32Val);
    followMotorState();
  }
}

void handleResetPos(void) {
  if (fetchU32(kCCST, 0) == STATE_POINT_OF_SALE) {
    H_DATABASE_bUpdateValueS32(kCBAK, DISPLAY_BACKLIGHT_MAX, P_NORMAL);
  }
  if (s.s_bContrastMenuDisplayed) removeMenu();
  H_DATABASE_bUpdateValueU32(kSPAL, 1, P_NORMAL);
  H_DATABASE_bUpdateValueU32(kSVOM, 0, P_NORMAL);
}

// An autopilot item without a valid value is created as 0.
U32 readOrCreateZero(FOURCHARID key) {
  U32 u32 = 0;
  BOOLEAN bValid = FALSE;
  if (H_DATABASE_bFetchU32(key, &u32, &bValid, nullptr) && bValid) return u32;
  H_DATABASE_bUpdateValueU32(key, 0, P_NORMAL);
  return 0;
}

void handleRunSystem(void) {
  U32 u32Model = MODEL_DEFAULT;
  H_DATABASE_bFetchU32(FCID("SMDL"), &u32Model, nullptr, nullptr);
  H_DISPLAY_vNameModel(MODEL_pcFetchModelText(static_cast<MODEL_TYPE>(u32Model)));
  U_PALETTE_vRegisterMenuItem();
  s.u32VideoChoices = 0;
  auto add = [](const ARRAY_OF_STRING_PTRS *pText, U32 u32Value) {
    s.apVideoList[s.u32VideoChoices] = pText;
    s.au32VideoValues[s.u32VideoChoices++] = u32Value;
  };
  const bool bI1 = MODEL_bInternationalModel1(), bI2 = MODEL_bInternationalModel2();
  const bool bI3 = MODEL_bInternationalModel3(), bI4 = MODEL_bInternationalModel4();
  add(&Off_Text, M_VIDEO_MODE_LCD);
  if (MODEL_bDomesticModel() || bI1 || bI2 || bI4) add(&NTSC_Text, M_VIDEO_MODE_NTSC);
  if (bI3) add(&NTSC_J_Text, M_VIDEO_MODE_NTSC_J);
  if (bI1 || bI2 || bI4) add(&PAL_Text, M_VIDEO_MODE_PAL);
  if (bI1 || bI2) add(&PAL_M_Text, M_VIDEO_MODE_PAL_M);
  H_DATABASE_bUpdateValueU32(kSVOM, 0, P_DEFAULT_SETTING);
  U_MENU_bRegisterMainSelectorMenu(&Video_Out, &Setup, MENU_VIDEO_OUT, kSVOM, s.u32VideoChoices, s.apVideoList,
                                   s.au32VideoValues, M_ADVANCED);
  H_DATABASE_bRegisterForDataWithConditions(kSVOM, M_DISPLAY, TRUE, FALSE, FALSE);

  float fThrust = 0.0f;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchFloat(kIPPT, &fThrust, &bValid, nullptr) || !bValid) {
    H_DATABASE_bUpdateValueFloat(kIPPT, 0.0f, P_NORMAL);
  }
  s.s_bPropMenuEnabled = readOrCreateZero(kIPNE) != 0 ? TRUE : FALSE;
  s.s_bPropLockedOut = readOrCreateZero(kIPPL) != 0 ? TRUE : FALSE;
  s.s_eMotorState = static_cast<VANTREL_NG_STATE>(readOrCreateZero(kIPMS));
  for (FOURCHARID key : {kIPNE, kIPPL, kIPMS}) {
    H_DATABASE_bRegisterForDataWithConditions(key, M_DISPLAY, TRUE, FALSE, FALSE);
  }
  recomputePropActive();
}

// The text of an item's current value, empty for the motor items.
void valueText(POWER_KEY_MENU_ITEMS eItem, char *pcText, size_t size) {
  pcText[0] = '\0';
  switch (eItem) {
    case PwrMnu_Prop_Control: {
      U32 u32 = fetchU32(kIPRP, 0);
      if (u32 > 1) {
        H_DATABASE_bUpdateValueU32(kIPRP, 0, P_NORMAL);
        u32 = 0;
      }
      std::snprintf(pcText, size, "%s", text(*kOnOffList[u32]));
      break;
    }
    case PwrMnu_Prop_Thrust: {
      float fValue = 0.0f;
      H_DATABASE_bFetchFloat(kIPPT, &fValue, nullptr, nullptr);
      if (fValue <= kThrustMinimum) {
        std::snprintf(pcText, size, "0");
      } else if (fValue >= kThrustMaximum) {
        std::snprintf(pcText, size, "10");
      } else {
        std::snprintf(pcText, size, "%.1f", static_cast<double>(fValue));
      }
      break;
    }
    case PwrMnu_Sonar_Control: {
      U32 u32 = fetchU32(kSSEN, kSonarMissing);
      if (u32 > 1) {
        H_DATABASE_bUpdateValueU32(kSSEN, 1, P_NORMAL);
        u32 = 1;
      }
      std::snprintf(pcText, size, "%s", text(*kOnOffList[u32]));
      break;
    }
    case PwrMnu_Backlight_Adj: {
      S32 s32Level = DISPLAY_BACKLIGHT_MAX;
      H_DATABASE_bFetchS32(kCBAK, &s32Level, nullptr, nullptr);
      if (s32Level == 0) {
        std::snprintf(pcText, size, "%s", text(Dim_Text));
      } else {
        std::snprintf(pcText, size, "%2d", static_cast<int>(s32Level));
      }
      break;
    }
    case PwrMnu_Contrast_Adj: {
      U32 u32 = fetchU32(kSPAL, 1);
      if (u32 < 1 || u32 > 3) u32 = 1;
      std::snprintf(pcText, size, "%s", text(*kPaletteList[u32 - 1]));
      break;
    }
    default: break;
  }
}

// The control records of the menu's items, filled while the layer is drawn.
M_SELECTION_BOX_PARAMETERS s_sPropOnOffParams;
M_SELECTION_BOX_PARAMETERS s_sSonarOnOffParams;
M_SELECTION_BOX_PARAMETERS s_sBoxParameters;
M_SLIDER_PARAMETERS s_sPropThrustParams;
const MENU_LIMITS kThrustLimits[1] = {{U_NONE, kThrustMinimum, kThrustMaximum, kThrustStep}};
constexpr U32 kControlWidth = 148, kControlHeight = 24;

void fillSelection(M_SELECTION_BOX_PARAMETERS *pParams, FOURCHARID key, MENU_TITLE_LIST pList, const U32 *pu32Values,
                   U32 u32Count) {
  *pParams = M_SELECTION_BOX_PARAMETERS{};
  pParams->FourCharId = key;
  pParams->pSelectionList = pList;
  pParams->pSelectionValueArray = pu32Values;
  pParams->numberSelections = u32Count;
  const U32 u32Value = fetchU32(key, u32Missing(key, pu32Values));
  for (U32 i = 0; i < u32Count; ++i) {
    if (pu32Values[i] == u32Value) pParams->CurSelection = static_cast<U8>(i);
  }
}

void fillControlRecords(void) {
  fillSelection(&s_sPropOnOffParams, kIPRP, kOnOffList, kOnOffValues, 2);
  fillSelection(&s_sSonarOnOffParams, kSSEN, kOnOffList, kOnOffValues, 2);
  fillSelection(&s_sBoxParameters, kSPAL, kPaletteList, kPaletteValues, 3);
  if (fetchU32(kIPCA, 0) != 0) return;
  s_sPropThrustParams = M_SLIDER_PARAMETERS{};
  s_sPropThrustParams.FourCharId = kIPPT;
  s_sPropThrustParams.minValue.fVal = kThrustMinimum;
  s_sPropThrustParams.maxValue.fVal = kThrustMaximum;
  s_sPropThrustParams.stepValue.fVal = kThrustStep;
  std::snprintf(s_sPropThrustParams.minString, sizeof s_sPropThrustParams.minString, "0");
  std::snprintf(s_sPropThrustParams.maxString, sizeof s_sPropThrustParams.maxString, "10");
  s_sPropThrustParams.pLimits = kThrustLimits;
  s_sPropThrustParams.u8precision = 1;
}

// The control of the highlighted item, centred in its row.
void drawControl(BITMAP *pBitmap, POWER_KEY_MENU_ITEMS eItem, POINT row, U32 u32RowWidth) {
  const COLOR *pcol = gCOLOR_pcolColorTable;
  // Below the title, centred across the row.
  const POINT at = {row.x + (static_cast<S32>(u32RowWidth) - static_cast<S32>(kControlWidth)) / 2, row.y + 3};
  switch (eItem) {
    case PwrMnu_Prop_Control:
      U_MENU_vDrawControlSelectionBox(pBitmap, at, s_sPropOnOffParams.CurSelection, &s_sPropOnOffParams,
                                      kControlWidth, kControlHeight, pcol[65]);
      break;
    case PwrMnu_Sonar_Control:
      U_MENU_vDrawControlSelectionBox(pBitmap, at, s_sSonarOnOffParams.CurSelection, &s_sSonarOnOffParams,
                                      kControlWidth, kControlHeight, pcol[65]);
      break;
    case PwrMnu_Contrast_Adj:
      U_MENU_vDrawControlSelectionBox(pBitmap, at, s_sBoxParameters.CurSelection, &s_sBoxParameters, kControlWidth,
                                      kControlHeight, pcol[65]);
      break;
    case PwrMnu_Prop_Thrust: {
      DB_DATA_TYPE value{};
      H_DATABASE_bFetchFloat(kIPPT, &value.fVal, nullptr, nullptr);
      U_MENU_vDrawControlSlider(pBitmap, at, value, &s_sPropThrustParams, DF_FLOAT, kControlWidth, kControlHeight);
      break;
    }
    case PwrMnu_Backlight_Adj: {
      M_PROGRESS_BAR_PARAMETERS bar{};
      bar.FourCharId = kCBAK;
      bar.minValue.s32Val = DISPLAY_BACKLIGHT_OFF;
      bar.maxValue.s32Val = DISPLAY_BACKLIGHT_MAX;
      bar.stepValue.s32Val = 1;
      DB_DATA_TYPE value{};
      value.s32Val = DISPLAY_BACKLIGHT_MAX;
      H_DATABASE_bFetchS32(kCBAK, &value.s32Val, nullptr, nullptr);
      U_MENU_vDrawControlProgressBar(pBitmap, at, value, &bar, DF_SIGNED32, kControlWidth, kControlHeight);
      break;
    }
    default: {
      const POINT arrow = {row.x + static_cast<S32>(u32RowWidth) / 2, at.y};
      U_MENU_vDrawArrowRight(pBitmap, arrow, kControlHeight, pcol[67]);
      break;
    }
  }
}

}  // namespace

void T_DISPLAY_vHandleOperatingMode(SYSTEM_STATE state) {
  switch (state) {
    case STATE_BURN_IN:
    case STATE_INLINE_TEST:
      H_DATABASE_bUpdateValueS32(kCBAK, DISPLAY_BACKLIGHT_MAX, P_NORMAL);
      COLOR_vSetStandardPalette();
      H_DATABASE_bUpdateValueU32(kSPAL, 1, P_NORMAL);
      break;
    case STATE_POINT_OF_SALE:
      H_DATABASE_bUpdateValueS32(kCBAK, DISPLAY_BACKLIGHT_MAX, P_NORMAL);
      H_DATABASE_bUpdateValueU32(kSPAL, 1, P_NORMAL);
      COLOR_vSetPOSPalette();
      break;
    default: COLOR_vSetStandardPalette(); break;
  }
}

void T_DISPLAY_vInit(void) {
  H_DISPLAY_vInitScreen(M_DISPLAY);
  H_BACKLIGHT_vSetup(M_DISPLAY);
  if (H_DATABASE_bUpdateEverythingU32(kTDSP, M_DISPLAY, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the Display Task Maibox");
    U_RESET_vReset();
  }
  if (!registerPowerKey()) startRetryTimer();
  if (!registerState()) startRetryTimer();
  if (H_DATABASE_bUpdateEverythingVoidPointer(kDSFB, H_DISPLAY_psbGetFrameBufferPointer(), P_NORMAL, D_POINTER,
                                              nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the Screen Frame Buffer Pointer");
    U_RESET_vReset();
  }
  DB_DATA_TYPE value{};
  value.u32Val = 1;
  H_DATABASE_bUpdateEverything(kSPAL, value, P_DEFAULT_SETTING, D_UNKNOWN, Color_Palette, 0);
  L_SEMA_Signal(SEMA_DISPINIT_COMPLETE);
}

void T_DISPLAY_vHandleRetryTimer(void) {
  if (!s.bKeysRegistered) registerPowerKey();
  if (!s.bStateRegistered) registerState();
  if (!s.bKeysRegistered || !s.bStateRegistered) return;
  U_VIEW_bUnRegisterLayer(PRESS_POWER_LAYER);
  stopRetryTimer();
}

void T_DISPLAY_vHandleVideoOutTimer(void) {
  U32 u32Mode = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(kSVOM, &u32Mode, &bValid, nullptr) || !bValid || u32Mode == 0) {
    H_DISPLAY_vChangeVideoOutMode(M_VIDEO_MODE_LCD);
    s.s_bVideoOutConnected = FALSE;
    stopVideoTimer();
  } else if (s.s_bVideoOutConnected) {
    stopVideoTimer();
  } else if (H_DISPLAY_bCheckVideoOutPort()) {
    H_DISPLAY_vChangeVideoOutMode(static_cast<VIDEO_MODE>(u32Mode));
    stopVideoTimer();
    s.s_bVideoOutConnected = TRUE;
  }
}

void T_DISPLAY_vHandleMessage(void *pvMsg) {
  auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
  switch (pHeader->Cmd) {
    case CMD_ID_SHUTDOWN: H_DISPLAY_vPowerDown(); break;
    case CMD_ID_DISPLAY_SCREEN: {
      BITMAP *pBitmap = static_cast<MSG_DISPLAY_SCREEN *>(pvMsg)->pBitmap;
      if (pBitmap != nullptr) {
        H_DISPLAY_vDisplayBitmap(pBitmap);
        // The pixels are a page or belong to the sender.
        G_BUFFERS_vFreeFullScreenBitmapHeader(pBitmap);
      }
      break;
    }
    case CMD_ID_NEW_DATA: handleNewData(static_cast<MESSAGE_NEW_DATA *>(pvMsg)); break;
    case CMD_ID_RESET_POS: handleResetPos(); break;
    case CMD_ID_START_VIDEO_OUT_CHECK: startVideoOutCheck(); break;
    case CMD_ID_KEY_CHANGE: handleKey(static_cast<MSG_KEY_CHANGE *>(pvMsg)); break;
    case CMD_ID_RUN_SYSTEM: handleRunSystem(); break;
    default: break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

void T_DISPLAY_vMain(void) {
  T_DISPLAY_vInit();
  static const SEMA kWaitList[] = {SEMA_MBOX_DISPLAY, SEMA_TIMER_DISPLAY1, SEMA_TIMER_DISPLAY2,
                                   SEMA_TIMER_CHECK_VIDEO_OUT, 0};
  for (;;) {
    switch (L_SEMA_WaitMultiple(kWaitList)) {
      case SEMA_MBOX_DISPLAY:
        while (void *pvMsg = L_MBOX_Receive(M_DISPLAY)) T_DISPLAY_vHandleMessage(pvMsg);
        break;
      case SEMA_TIMER_DISPLAY1: T_DISPLAY_vHandleRetryTimer(); break;
      case SEMA_TIMER_CHECK_VIDEO_OUT: T_DISPLAY_vHandleVideoOutTimer(); break;
      default: break;
    }
  }
}

BOOLEAN T_DISPLAY_bMenuShown(void) { return s.s_bContrastMenuDisplayed; }
POWER_KEY_MENU_ITEMS T_DISPLAY_eActiveItem(void) { return s.s_bActiveMenuItem; }
BOOLEAN T_DISPLAY_bVideoOutConnected(void) { return s.s_bVideoOutConnected; }
BOOLEAN T_DISPLAY_bVideoOutCheckRunning(void) { return s.pVideoTimer != nullptr ? TRUE : FALSE; }

void T_DISPLAY_vResetForTest(void) {
  stopRetryTimer();
  stopVideoTimer();
  s = STATE{};
}

void T_DISPLAY_vMenuLayout(const BITMAP *pBitmap, DISPLAY_MENU_LAYOUT *pLayout) {
  *pLayout = DISPLAY_MENU_LAYOUT{};
  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  U32 u32Widest = 224;
  const U32 u32DimWidth = 2 * G_STRING_u32GetWidth(pFont, text(Dim_Text)) + 156;
  if (u32DimWidth > u32Widest) u32Widest = u32DimWidth;
  for (int i = 0; i < PwrMnu_Last_Item; ++i) {
    const auto eItem = static_cast<POWER_KEY_MENU_ITEMS>(i);
    if (!visible(eItem)) continue;
    pLayout->aeItems[pLayout->u32Items++] = eItem;
    const U32 u32Title = 4 + G_ICON_u32GetWidth(kItems[i].pIcon) + 6 + G_STRING_u32GetWidth(pFont, text(*kItems[i].pTitle)) + 4;
    if (u32Title > u32Widest) u32Widest = u32Title;
    char acValue[32];
    valueText(eItem, acValue, sizeof acValue);
    const U32 u32Value = G_STRING_u32GetWidth(pFont, acValue) + 12;
    if (u32Value > u32Widest) u32Widest = u32Value;
  }
  const S32 s32W = pBitmap->pixels_wide;
  const S32 s32H = pBitmap->pixels_high;
  pLayout->u32MenuWidth = u32Widest;
  pLayout->u32ItemsHeight = kRowHeight * pLayout->u32Items;
  pLayout->u32FrameHeight = pLayout->u32ItemsHeight + 12;
  pLayout->s32FrameY = s32H - static_cast<S32>(pLayout->u32ItemsHeight) - 18;
  if (s32W < static_cast<S32>(u32Widest)) {
    pLayout->s32FrameX = 80;
    pLayout->u32FrameWidth = s32W > 6 ? static_cast<U32>(s32W - 6) : 0;
  } else {
    pLayout->s32FrameX = 80 + (s32W - static_cast<S32>(u32Widest) - 16) / 2;
    pLayout->u32FrameWidth = u32Widest + 10;
  }
}

void T_DISPLAY_vDrawLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const COLOR *pcol = gCOLOR_pcolColorTable;
  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  fillControlRecords();
  DISPLAY_MENU_LAYOUT layout;
  T_DISPLAY_vMenuLayout(pBitmap, &layout);
  POINT frame = {layout.s32FrameX, layout.s32FrameY};
  G_BOX_vDrawRoundedFilled(pBitmap, pcol[64], &frame, layout.u32FrameWidth, layout.u32FrameHeight, 6);
  POINT inner = {frame.x + 1, frame.y + 1};
  G_BOX_vDrawRoundedFilled(pBitmap, pcol[67], &inner, layout.u32FrameWidth - 2, layout.u32FrameHeight - 2, 6);
  const S32 s32RowX = frame.x + 5;
  const U32 u32RowWidth = layout.u32FrameWidth - 10;
  const S32 s32Top = frame.y + static_cast<S32>(layout.u32FrameHeight) - 6;
  const U32 u32TextHeight = G_STRING_u32GetHeight(pFont);
  for (U32 i = 0; i < layout.u32Items; ++i) {
    const POWER_KEY_MENU_ITEMS eItem = layout.aeItems[i];
    const bool bActive = eItem == s.s_bActiveMenuItem;
    POINT row = {s32RowX, s32Top - static_cast<S32>(kRowHeight * (i + 1))};
    G_BOX_vDrawRoundedFilled(pBitmap, pcol[bActive ? 64 : 65], &row, u32RowWidth, kRowHeight, 4);
    POINT line = {row.x + 4, row.y + static_cast<S32>(kRowHeight) - 1};
    G_BOX_vDrawFilled(pBitmap, pcol[bActive ? 65 : 66], &line, u32RowWidth - 8, 1);
    if (!bActive) {
      POINT bottom = {row.x + 4, row.y};
      G_BOX_vDrawFilled(pBitmap, pcol[64], &bottom, u32RowWidth - 8, 1);
    }
    const ICON *pIcon = kItems[eItem].pIcon;
    POINT icon = {row.x + 4, row.y + (static_cast<S32>(kRowHeight) - static_cast<S32>(G_ICON_u32GetHeight(pIcon))) / 2};
    G_ICON_vPut(pBitmap, pIcon, &icon);
    POINT title = {icon.x + static_cast<S32>(G_ICON_u32GetWidth(pIcon)) + 6,
                   row.y + static_cast<S32>(kRowHeight) - 4 - static_cast<S32>(u32TextHeight)};
    G_STRING_vPut(pBitmap, pcol[bActive ? 68 : 69], &title, pFont, text(*kItems[eItem].pTitle));
    char acValue[32];
    valueText(eItem, acValue, sizeof acValue);
    if (bActive) {
      drawControl(pBitmap, eItem, row, u32RowWidth);
    } else if (acValue[0] != '\0') {
      POINT value = {row.x + static_cast<S32>(u32RowWidth) - 4 - static_cast<S32>(G_STRING_u32GetWidth(pFont, acValue)),
                     row.y + 6};
      G_STRING_vPut(pBitmap, pcol[69], &value, pFont, acValue);
    }
  }
  POINT bottom = {0, 0};
  U_DIALOG_u32DrawMessageBlock(pBitmap, text(Press_Power_Off), pFont, 0, JUSTIFICATION_CENTER, JUSTIFICATION_BOTTOM,
                               &bottom, static_cast<U32>(pBitmap->pixels_wide), pcol[64], pcol[68]);
}

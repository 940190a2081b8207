// The blinking banner at the top of the screen (layer 267): the current view's own title in simulation,
// playback and the point-of-sale demonstration, or "Recording" and the autopilot path while recording.
#include <algorithm>
#include <cstring>

#include "autopilot/autopilot_standin.h"
#include "draw/fonts.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "view/view_task.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "n2k/gui_standin.h"
#include "ui/menu/menu_priority.h"
#include "ui/menu/dialog.h"
#include "ui/menu/menu.h"

namespace {

constexpr U32 kStateSimulation = 4;
constexpr U32 kStatePointOfSale = 6;
constexpr U32 kStatePlayback = 11;
constexpr U32 kPlaybackPaused = 6;
constexpr U32 kPlaybackPausedBegin = 15;
constexpr U32 kPlaybackPausedEnd = 16;
constexpr U32 kBlinkMs = 1000;
// Seconds shown and hidden: the banner of the states, and while recording.
constexpr U32 kShownTicks = 3, kHiddenTicks = 8, kRecShownTicks = 2, kRecHiddenTicks = 3;
constexpr size_t kPathNameBytes = 12;

const ARRAY_OF_STRING_PTRS Simulation_Playback_Messages = SAME22("/Simulation Playback Messages");
const ARRAY_OF_STRING_PTRS Playback_Paused = SAME22("Playback Paused");
const ARRAY_OF_STRING_PTRS Recording = SAME22("Recording");
const ARRAY_OF_STRING_PTRS Off = SAME22("Off");
const ARRAY_OF_STRING_PTRS On = SAME22("On");

struct BANNER_STATE {
  BOOLEAN bDisplaySimMessage = FALSE;
  BOOLEAN bSimPlaybackMsgEnabled = TRUE;
  U32 state = 0;
  BOOLEAN bSonarRecordDispInProgress = FALSE;
  BOOLEAN bWndxRecordDispInProgress = FALSE;
  BOOLEAN bShowSonarRecMsg = FALSE;
  BOOLEAN bShowWndxRecMsg = FALSE;
  TIMER_INFO *pSimMessageTimer = nullptr;
  U32 u32Ticks = 0;
};

BANNER_STATE &bs() {
  static BANNER_STATE s;
  return s;
}

bool bBannerState(U32 state) {
  return state == kStatePointOfSale || state == kStateSimulation || state == kStatePlayback;
}

bool bRecording() { return bs().bSonarRecordDispInProgress || bs().bWndxRecordDispInProgress; }

void vStartTimer() {
  BANNER_STATE &s = bs();
  if (s.pSimMessageTimer == nullptr) s.pSimMessageTimer = L_TIMER_Allocate();
  s.u32Ticks = 0;
  s.pSimMessageTimer = L_TIMER_Start(s.pSimMessageTimer, kBlinkMs, kBlinkMs, SEMA_TIMER_SIM_MSG);
}

void vStopTimer() {
  if (bs().pSimMessageTimer != nullptr) L_TIMER_Stop(bs().pSimMessageTimer);
}

BOOLEAN bFetchFlag(FOURCHARID key, BOOLEAN *pbValue) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchBoolean(key, pbValue, &bValid, nullptr);
}

// The banner box: the text centred at the top, at most the bitmap's width - 10 wide.
void vDrawBanner(BITMAP *pBitmap, const char *pcText, const ICON *pIcon, U32 u32Extra) {
  const U32 u32Width = std::min<U32>(G_STRING_u32GetWidth(std_16x17_font_def_ptr, pcText) + u32Extra,
                                     static_cast<U32>(pBitmap->pixels_wide - 10));
  U_DIALOG_vDrawDialog(pBitmap, pcText, std_16x17_font_def_ptr, 0, static_cast<U16>(u32Width), pIcon, nullptr,
                       JUSTIFICATION_CENTER, JUSTIFICATION_TOP);
}

void vSetState(U32 newState) {
  BANNER_STATE &s = bs();
  if (bBannerState(s.state)) {
    s.state = newState;
    if (!bBannerState(newState) && s.bSimPlaybackMsgEnabled) T_VIEW_vStopSimDisplay();
  } else {
    s.state = newState;
    if (bBannerState(newState) && s.bSimPlaybackMsgEnabled) T_VIEW_vStartSimDisplay();
  }
}

}  // namespace

void T_VIEW_vStartSimDisplay(void) {
  vStartTimer();
  U_VIEW_bRegisterLayer(T_VIEW_vDrawSimMessage, SIMULATION_MESSAGE_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                        nullptr);
  bs().bDisplaySimMessage = TRUE;
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_VIEW_vStopSimDisplay(void) {
  vStopTimer();
  U_VIEW_bUnRegisterLayer(SIMULATION_MESSAGE_LAYER);
  bs().bDisplaySimMessage = FALSE;
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_VIEW_vStartRecordingDisplay(void) {
  BANNER_STATE &s = bs();
  if (bRecording()) return;
  if (s.pSimMessageTimer != nullptr) T_VIEW_vStopSimDisplay();
  vStartTimer();
  U_VIEW_bRegisterLayer(T_VIEW_vDrawRecordingMessage, SIMULATION_MESSAGE_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr,
                        nullptr, nullptr);
  s.bDisplaySimMessage = TRUE;
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_VIEW_vStopRecordingDisplay(void) {
  BANNER_STATE &s = bs();
  if (bRecording()) return;
  vStopTimer();
  U_VIEW_bUnRegisterLayer(SIMULATION_MESSAGE_LAYER);
  s.bDisplaySimMessage = FALSE;
  if (bBannerState(s.state) && s.bSimPlaybackMsgEnabled) T_VIEW_vStartSimDisplay();
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_VIEW_vHandleSimTimer(void) {
  BANNER_STATE &s = bs();
  const bool bRec = bRecording();
  const U32 u32Shown = bRec ? kRecShownTicks : kShownTicks;
  const U32 u32Hidden = bRec ? kRecHiddenTicks : kHiddenTicks;
  ++s.u32Ticks;
  if (s.bDisplaySimMessage) {
    if (s.u32Ticks < u32Shown) return;
    s.bDisplaySimMessage = FALSE;
    s.u32Ticks = 0;
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
    return;
  }
  if (s.u32Ticks < u32Hidden) return;
  s.u32Ticks = 0;
  if (s.bSonarRecordDispInProgress && s.bWndxRecordDispInProgress) {
    const BOOLEAN bSonarNext = s.bShowSonarRecMsg ? FALSE : TRUE;
    s.bShowSonarRecMsg = bSonarNext;
    s.bShowWndxRecMsg = bSonarNext ? FALSE : TRUE;
  } else {
    s.bShowSonarRecMsg = s.bSonarRecordDispInProgress;
    s.bShowWndxRecMsg = s.bWndxRecordDispInProgress;
  }
  s.bDisplaySimMessage = TRUE;
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

const char *T_VIEW_pcSimMessageText(void) {
  BANNER_STATE &s = bs();
  BOOLEAN bSuppressed = FALSE;
  if ((bFetchFlag(FCID("CDSM"), &bSuppressed) && bSuppressed) || !s.bDisplaySimMessage) return nullptr;
  const LAYER_ITEM *pView = T_VIEW_pLayerLocateBackgroundLayer(T_VIEW_eCurrentLayer());
  if (pView == nullptr) return nullptr;
  const ARRAY_OF_STRING_PTRS *pText = nullptr;
  if (s.state == kStatePointOfSale) {
    pText = pView->pPOSString;
  } else if (s.state == kStatePlayback) {
    U32 u32Mode = 0;
    BOOLEAN bValid = FALSE;
    H_DATABASE_bFetchU32(FCID("CPSP"), &u32Mode, &bValid, nullptr);
    const bool bPaused = u32Mode == kPlaybackPaused || u32Mode == kPlaybackPausedBegin ||
                         u32Mode == kPlaybackPausedEnd;
    pText = bPaused ? &Playback_Paused : pView->pPlaybackString;
  } else if (s.state == kStateSimulation) {
    pText = pView->pSimString;
  }
  return pText == nullptr ? nullptr : (*pText)[nCurrentLanguage()];
}

void T_VIEW_vDrawSimMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  if (const char *pcText = T_VIEW_pcSimMessageText()) vDrawBanner(pBitmap, pcText, nullptr, 9);
}

const char *T_VIEW_pcRecordingMessageText(char *pacPath) {
  BANNER_STATE &s = bs();
  if (!s.bDisplaySimMessage || T_VIEW_pLayerLocateBackgroundLayer(T_VIEW_eCurrentLayer()) == nullptr) {
    return nullptr;
  }
  if (s.bShowWndxRecMsg) {
    T_VANTREL_vGetActiveStr(pacPath);
    pacPath[kPathNameBytes] = '\0';
    return pacPath;
  }
  return s.bShowSonarRecMsg ? Recording[nCurrentLanguage()] : nullptr;
}

void T_VIEW_vDrawRecordingMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  char acPath[kPathNameBytes + 1] = {};
  if (const char *pcText = T_VIEW_pcRecordingMessageText(acPath)) {
    vDrawBanner(pBitmap, pcText, &remind_rec_icon, static_cast<U32>(rec_active_icon.nWidth) + 15);
  }
}

void T_VIEW_vBannerRunSystem(void) {
  BANNER_STATE &s = bs();
  GUI_bRunStart();
  BOOLEAN bSuperUser = FALSE;
  if (bFetchFlag(FCID("SMSU"), &bSuperUser) && bSuperUser) {
    BOOLEAN bEnabled = TRUE;
    if (!bFetchFlag(FCID("SMSG"), &bEnabled)) {
      bEnabled = TRUE;
      H_DATABASE_bUpdateEverythingBoolean(FCID("SMSG"), TRUE, P_NORMAL, D_UNKNOWN, Simulation_Playback_Messages,
                                          DB_NO_TIMEOUT);
    }
    s.bSimPlaybackMsgEnabled = bEnabled;
    static const ARRAY_OF_STRING_PTRS *const s_apChoices[] = {&Off, &On};
    static const U32 s_au32Values[] = {0, 1};
    U_MENU_bRegisterMainSelectorMenu(&Simulation_Playback_Messages, &Setup, MENU_SIM_MSG_MODE, FCID("SMSG"), 2,
                                     s_apChoices, s_au32Values, M_BASIC);
    H_DATABASE_bRegisterForDataWithConditions(FCID("SMSG"), M_VIEW, TRUE, FALSE, FALSE);
  } else {
    s.bSimPlaybackMsgEnabled = TRUE;
  }
  if (H_DATABASE_bRegisterForDataWithConditions(FCID("CCST"), M_VIEW, TRUE, FALSE, FALSE)) {
    U32 u32State = 0;
    BOOLEAN bValid = FALSE;
    if (H_DATABASE_bFetchU32(FCID("CCST"), &u32State, &bValid, nullptr)) s.state = u32State;
    if (bBannerState(s.state) && s.bSimPlaybackMsgEnabled) T_VIEW_vStartSimDisplay();
  }
}

BOOLEAN T_VIEW_bBannerNewData(const MESSAGE_NEW_DATA *pMsg) {
  BANNER_STATE &s = bs();
  const FOURCHARID key = pMsg->FourCharId;
  const U32 u32Value = pMsg->dbValue.u32Val;
  if (key == FCID("SMSG")) {
    s.bSimPlaybackMsgEnabled = static_cast<BOOLEAN>(u32Value & 0xFF);
    if (bBannerState(s.state)) {
      if (s.bSimPlaybackMsgEnabled) {
        T_VIEW_vStartSimDisplay();
      } else {
        T_VIEW_vStopSimDisplay();
      }
    }
  } else if (key == FCID("CCST")) {
    vSetState(u32Value);
  } else if (key == FCID("CSRE")) {
    if ((u32Value & 0xFF) != 0) {
      T_VIEW_vStartRecordingDisplay();
      s.bSonarRecordDispInProgress = TRUE;
      if (!s.bWndxRecordDispInProgress) {
        s.bShowSonarRecMsg = TRUE;
        s.bShowWndxRecMsg = FALSE;
      }
    } else {
      T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
      s.bSonarRecordDispInProgress = FALSE;
      T_VIEW_vStopRecordingDisplay();
    }
  } else if (key == FCID("IPRA")) {
    if (u32Value == 1) {
      T_VIEW_vStartRecordingDisplay();
      s.bWndxRecordDispInProgress = TRUE;
      if (!s.bSonarRecordDispInProgress) {
        s.bShowWndxRecMsg = TRUE;
        s.bShowSonarRecMsg = FALSE;
      }
    } else {
      s.bWndxRecordDispInProgress = FALSE;
      T_VIEW_vStopRecordingDisplay();
    }
  } else {
    return FALSE;
  }
  return TRUE;
}

void T_VIEW_vResetBannersForTest(void) {
  BANNER_STATE &s = bs();
  if (s.pSimMessageTimer != nullptr) {
    L_TIMER_Stop(s.pSimMessageTimer);
    L_TIMER_Release(s.pSimMessageTimer);
  }
  s = BANNER_STATE{};
}

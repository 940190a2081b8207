// What the remote's PLUS, MINUS and MENU buttons and a MARK hold do: the view class, the action tables and the
// single-centred menus through which the menu task steps the chosen setting.
#include <cstddef>

#include "autopilot/vantrel_remote_standin.h"
#include "chart/chart_remote_standin.h"
#include "view/capture.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "radar/radar_transmit_standin.h"
#include "ui/menu/menu.h"
#include "ui/remote/remote_internal.h"

namespace {

// Titles of the settings the remote steps; they name the single-centred menus.
const ARRAY_OF_STRING_PTRS Sensitivity = SAME22("Sensitivity");
const ARRAY_OF_STRING_PTRS Chart_Speed = SAME22("Chart Speed");
const ARRAY_OF_STRING_PTRS Surface_Clutter = SAME22("Surface Clutter");
const ARRAY_OF_STRING_PTRS Lower_Range = SAME22("Lower Range");
const ARRAY_OF_STRING_PTRS Noise_Filter = SAME22("Noise Filter");
const ARRAY_OF_STRING_PTRS Beam_Select = SAME22("Beam Select");
const ARRAY_OF_STRING_PTRS Sonar_Recording = SAME22("Sonar Recording");
const ARRAY_OF_STRING_PTRS Live_Window = SAME22("Live Window");
const ARRAY_OF_STRING_PTRS Dazzart = SAME22("Dazzart");
const ARRAY_OF_STRING_PTRS Sonar_Colors = SAME22("Sonar Colors");
const ARRAY_OF_STRING_PTRS Fish_Symbols = SAME22("Fish Symbols");
const ARRAY_OF_STRING_PTRS Zoom = SAME22("Zoom");
const ARRAY_OF_STRING_PTRS Casting_Rings = SAME22("Casting Rings");
const ARRAY_OF_STRING_PTRS Depth_Colors = SAME22("Depth Colors");
const ARRAY_OF_STRING_PTRS Safety_Depth = SAME22("Shallow Water Highlight");
const ARRAY_OF_STRING_PTRS Highlight_Depth = SAME22("Depth Highlight");
const ARRAY_OF_STRING_PTRS Vessel_Offset = SAME22("Vessel Offset");
const ARRAY_OF_STRING_PTRS Chart_Orientation = SAME22("Chart Orientation");
const ARRAY_OF_STRING_PTRS Waypoint_Proximity = SAME22("Waypoint Proximity Flags");
const ARRAY_OF_STRING_PTRS Shaded_Depth = SAME22("Shaded Depth");
const ARRAY_OF_STRING_PTRS Chart_Detail_Level = SAME22("Chart Detail Level");
const ARRAY_OF_STRING_PTRS Chart_Declutter = SAME22("Chart Declutter");
const ARRAY_OF_STRING_PTRS Chart_Aerial_Overlay = SAME22("Chart Aerial Overlay");
const ARRAY_OF_STRING_PTRS Range = SAME22("Range");
const ARRAY_OF_STRING_PTRS Gain = SAME22("Gain");
const ARRAY_OF_STRING_PTRS STC = SAME22("STC");
const ARRAY_OF_STRING_PTRS FTC = SAME22("FTC");
const ARRAY_OF_STRING_PTRS Transmit = SAME22("Transmit");
const ARRAY_OF_STRING_PTRS Timed_Transmit = SAME22("Timed Transmit");
const ARRAY_OF_STRING_PTRS Interference_Rejection = SAME22("Interference Rejection");
const ARRAY_OF_STRING_PTRS Radar_Colors = SAME22("Radar Colors");
const ARRAY_OF_STRING_PTRS Range_Rings = SAME22("Range Rings");
const ARRAY_OF_STRING_PTRS Power_Off = SAME22("Power Off");
const ARRAY_OF_STRING_PTRS MOB = SAME22("MOB");
const ARRAY_OF_STRING_PTRS Strelloq = SAME22("Strelloq");
// Menu locations that belong to tasks not written yet.
const ARRAY_OF_STRING_PTRS Nav = SAME22("Nav");
const ARRAY_OF_STRING_PTRS Summit = SAME22("Summit");
const ARRAY_OF_STRING_PTRS Radar = SAME22("Radar");
// Choices of the single-centred menus that only the remote offers.
const ARRAY_OF_STRING_PTRS Off = SAME22("Off");
const ARRAY_OF_STRING_PTRS On = SAME22("On");
const ARRAY_OF_STRING_PTRS Land = SAME22("Land");
const ARRAY_OF_STRING_PTRS Land_and_Water = SAME22("Land+Water");
const ARRAY_OF_STRING_PTRS Low = SAME22("Low");
const ARRAY_OF_STRING_PTRS Medium = SAME22("Medium");
const ARRAY_OF_STRING_PTRS High1 = SAME22("High 1");
const ARRAY_OF_STRING_PTRS High2 = SAME22("High 2");
const ARRAY_OF_STRING_PTRS High3 = SAME22("High 3");
const ARRAY_OF_STRING_PTRS Visible = SAME22("Visible");

struct REMOTE_KEY_ACTION {
  BOOLEAN bAction;
  void (*pfn)(void);
  FOURCHARID fcid;
  VISUAL_CONFIRMATION_TYPE eConf;
  const ARRAY_OF_STRING_PTRS *pString;
  const ARRAY_OF_STRING_PTRS *pLocationMenuString;
  U32 u32AddMenuIndex;
};

struct ActionTable {
  const REMOTE_KEY_ACTION *pRows;
  U32 u32Rows;
};

constexpr VISUAL_CONFIRMATION_TYPE kNone = VISUAL_CONF_NONE, kMenu = VISUAL_CONF_MENU,
                                   kBox = VISUAL_CONF_MESSAGEBOX;

// clang-format off
const REMOTE_KEY_ACTION s_KeyActionSonar2D_PlusMinus[] = {
    {FALSE, nullptr, FCID("SSS2"), kMenu, &Sensitivity, nullptr, 0},
    {FALSE, nullptr, FCID("SSSP"), kMenu, &Chart_Speed, nullptr, 13},
    {FALSE, nullptr, FCID("SSCL"), kMenu, &Surface_Clutter, &Sonar, 0},
    {FALSE, nullptr, FCID("SSMD"), kMenu, &Lower_Range, nullptr, 0},
    {FALSE, nullptr, FCID("YSNF"), kMenu, &Noise_Filter, &Sonar, 8},
};
const REMOTE_KEY_ACTION s_KeyActionSonar2D_Menu[] = {
    {FALSE, nullptr, FCID("SSSV"), kBox, &Beam_Select, &Sonar, 0},
    {TRUE, T_VIEW_vToggleRecordingState, FCID("CSRE"), kBox, &Sonar_Recording, nullptr, 1},
    {FALSE, nullptr, FCID("SSRW"), kBox, &Live_Window, &Sonar, 0},
    {FALSE, nullptr, FCID("STVG"), kBox, &Dazzart, &Sonar, 0},
    {FALSE, nullptr, FCID("SSEN"), kBox, &Sonar, nullptr, 1},
    {FALSE, nullptr, FCID("SSPL"), kBox, &Sonar_Colors, &Sonar, 0},
    {FALSE, nullptr, FCID("SSFI"), kBox, &Fish_Symbols, &Sonar, 0},
};
const REMOTE_KEY_ACTION s_KeyActionChartQuorvalent_PlusMinus[] = {
    {TRUE, T_BTREMOTE_vChartZoom, 0, kNone, &Zoom, &Chart, 0},
    {FALSE, nullptr, FCID("SNCR"), kMenu, &Casting_Rings, &Nav, 0},
    {FALSE, nullptr, FCID("SCDC"), kMenu, &Depth_Colors, &Chart, 0},
    {FALSE, nullptr, FCID("SCHZ"), kMenu, &Safety_Depth, &Chart, 0},
    {FALSE, nullptr, FCID("SCHD"), kMenu, &Highlight_Depth, &Chart, 0},
};
const REMOTE_KEY_ACTION s_KeyActionChartQuorvalent_Menu[] = {
    {FALSE, nullptr, FCID("SVOS"), kBox, &Vessel_Offset, &Chart, 1},
    {FALSE, nullptr, FCID("SCOR"), kBox, &Chart_Orientation, &Nav, 0},
    {FALSE, nullptr, FCID("SNWP"), kBox, &Waypoint_Proximity, &Nav, 9},
};
const REMOTE_KEY_ACTION s_KeyActionChartNav_PlusMinus[] = {
    {TRUE, T_BTREMOTE_vChartZoom, 0, kNone, &Zoom, &Chart, 0},
    {FALSE, nullptr, FCID("SNCR"), kMenu, &Casting_Rings, &Nav, 0},
    {FALSE, nullptr, FCID("SCSD"), kMenu, &Shaded_Depth, &Chart, 0},
};
const REMOTE_KEY_ACTION s_KeyActionChartNav_Menu[] = {
    {FALSE, nullptr, FCID("SCDL"), kBox, &Chart_Detail_Level, &Chart, 0},
    {TRUE, T_CHART_vChartDeclutter, 0, kBox, &Chart_Declutter, nullptr, 0},
    {FALSE, nullptr, FCID("SCOR"), kBox, &Chart_Orientation, &Nav, 0},
    {FALSE, nullptr, FCID("SPCO"), kBox, &Chart_Aerial_Overlay, &Summit, 3},
    {FALSE, nullptr, FCID("SNWP"), kBox, &Waypoint_Proximity, &Nav, 9},
};
const REMOTE_KEY_ACTION s_KeyActionRadar_PlusMinus[] = {
    {FALSE, nullptr, FCID("CRRG"), kBox, &Range, nullptr, 0},
    {FALSE, nullptr, FCID("CRGN"), kMenu, &Gain, nullptr, 0},
    {FALSE, nullptr, FCID("CRSC"), kMenu, &STC, nullptr, 0},
    {FALSE, nullptr, FCID("SRFC"), kMenu, &FTC, nullptr, 0},
};
const REMOTE_KEY_ACTION s_KeyActionRadar_Menu[] = {
    {TRUE, T_BTREMOTE_vRadarTransmission, FCID("CRXM"), kBox, &Transmit, nullptr, 1},
    {TRUE, T_BTREMOTE_vRadarTimedTransmission, FCID("CRXT"), kBox, &Timed_Transmit, nullptr, 1},
    {FALSE, nullptr, FCID("SRIR"), kBox, &Interference_Rejection, &Radar, 0},
    {FALSE, nullptr, FCID("SRRC"), kBox, &Radar_Colors, &Radar, 0},
    {FALSE, nullptr, FCID("SRRR"), kBox, &Range_Rings, &Radar, 0},
};
const REMOTE_KEY_ACTION s_KeyAction_MarkHold[] = {
    {TRUE, T_BTREMOTE_vPowerOff, 0, kNone, &Power_Off, nullptr, 0},
    {TRUE, T_BTREMOTE_vMOB, 0, kNone, &MOB, nullptr, 0},
    {TRUE, T_VANTREL_vBluetoothRemoteStrelloq, 0, kNone, &Strelloq, nullptr, 0},
    {FALSE, nullptr, FCID("SSEN"), kBox, &Sonar, nullptr, 1},
};
// clang-format on

template <size_t N>
constexpr ActionTable table(const REMOTE_KEY_ACTION (&rows)[N]) {
  return {rows, static_cast<U32>(N)};
}

// By remote view: the PLUS/MINUS table and the MENU table; views 1 to 3 have none.
const ActionTable kPlusMinus[REMOTE_VIEW_COUNT] = {
    table(s_KeyActionSonar2D_PlusMinus), {}, {}, {}, table(s_KeyActionChartNav_PlusMinus),
    table(s_KeyActionChartQuorvalent_PlusMinus), table(s_KeyActionRadar_PlusMinus)};
const ActionTable kMenuKey[REMOTE_VIEW_COUNT] = {
    table(s_KeyActionSonar2D_Menu), {}, {}, {}, table(s_KeyActionChartNav_Menu),
    table(s_KeyActionChartQuorvalent_Menu), table(s_KeyActionRadar_Menu)};

// The row of a table, NULL for an option beyond it (the options are settings anyone can write).
const REMOTE_KEY_ACTION *row(const ActionTable &t, U32 u32Option) {
  if (t.pRows == nullptr) return nullptr;
  if (u32Option >= t.u32Rows) {
    log_me("BTR option %u is not in the action table", u32Option);
    return nullptr;
  }
  return &t.pRows[u32Option];
}

const ARRAY_OF_STRING_PTRS *const kBooleanChoices[] = {&Off, &On};
const U32 kBooleanValues[] = {0, 1};
const ARRAY_OF_STRING_PTRS *const kSummitChoices[] = {&Hidden, &Land, &Land_and_Water};
const U32 kSummitValues[] = {0, 1, 2};
const ARRAY_OF_STRING_PTRS *const kNoiseChoices[] = {&Off, &Low, &Medium, &High1, &High2, &High3};
const U32 kNoiseValues[] = {0, 25, 50, 75, 100, 125};
const ARRAY_OF_STRING_PTRS *const kProximityChoices[] = {&Hidden, &Visible};
const U32 kProximityValues[] = {0, 1};
const MENU_LIMITS kChartSpeedLimits[] = {{U_NONE, 1.0f, 10.0f, 1.0f}};

// The single-centred menus no other task offers.
void addUnhandledMenu(const REMOTE_KEY_ACTION &r, BOOLEAN bDisplay, BOOLEAN bLoop) {
  switch (r.u32AddMenuIndex) {
    case 1:
      U_MENU_bRegisterSingleCenteredMenuSelectorMenu(r.pString, r.fcid, 2, kBooleanChoices, kBooleanValues, bDisplay,
                                                     bLoop);
      break;
    case 3:
      U_MENU_bRegisterSingleCenteredMenuSelectorMenu(r.pString, r.fcid, 3, kSummitChoices, kSummitValues, bDisplay,
                                                     bLoop);
      break;
    case 8:
      U_MENU_bRegisterSingleCenteredMenuSelectorMenu(r.pString, r.fcid, 6, kNoiseChoices, kNoiseValues, bDisplay,
                                                     bLoop);
      break;
    case 9:
      U_MENU_bRegisterSingleCenteredMenuSelectorMenu(r.pString, r.fcid, 2, kProximityChoices, kProximityValues,
                                                     bDisplay, bLoop);
      break;
    case 13:
      U_MENU_bRegisterSingleCenteredMenuSliderMenu(r.pString, r.fcid, kChartSpeedLimits, nullptr, nullptr, nullptr,
                                                   bDisplay, bLoop);
      break;
    default:
      break;
  }
}

// Shows the row's setting: its own single-centred menu or the existing item, drawn or hidden.
void showSetting(const REMOTE_KEY_ACTION &r, BOOLEAN bDisplay, BOOLEAN bLoop) {
  if (r.u32AddMenuIndex != 0) {
    addUnhandledMenu(r, bDisplay, bLoop);
  } else {
    U_MENU_vActivateSingleCenteredMenu(r.pString, BTREMOTE_state().eCurrentView, bDisplay, bLoop,
                                       r.pLocationMenuString);
  }
}

BOOLEAN menuTaskPublished() { return H_DATABASE_bFetchU32(FCID("TMNU"), nullptr, nullptr, nullptr); }

// One full step of the shown setting to its next value.
void stepNext() {
  if (!menuTaskPublished()) return;
  BTREMOTE_vPostKey(M_MENU, KEY_BIT_CURSOR, KEY_DOWN, CURSOR_EAST);
  BTREMOTE_vPostKey(M_MENU, KEY_BIT_CURSOR, KEY_UP, CURSOR_EAST);
}

// The MENU key and the MARK hold: shows the row's confirmation, then runs or steps it.
void carryOut(const REMOTE_KEY_ACTION &r, BOOLEAN bLoop, BOOLEAN bMarkHold) {
  BTREMOTE_STATE &s = BTREMOTE_state();
  if (r.eConf == VISUAL_CONF_MENU) s.pMenuString = r.pString;
  if (r.eConf == VISUAL_CONF_MESSAGEBOX) s.pMessageBoxString = r.pString;
  if (s.pMenuString != nullptr && !s.bMenuActive) {
    showSetting(r, TRUE, bLoop);
    s.bMenuActive = TRUE;
  } else if (s.pMessageBoxString != nullptr && s.pMessageBox == nullptr) {
    log_me("BTR T_BTREMOTE_vKeyMenu 2  s_pMessageBoxString=%d s_pMessageBox=%d",
           static_cast<int>(s.pMessageBoxString != nullptr), static_cast<int>(s.pMessageBox != nullptr));
    showSetting(r, FALSE, bLoop);
    T_BTREMOTE_vShowMessageBox(r.pString);
  }
  if (r.bAction) {
    log_me("BTR T_BTREMOTE_vKeyMenu call action");
    r.pfn();
  } else {
    stepNext();
  }
  if (!bMarkHold || r.eConf == VISUAL_CONF_MESSAGEBOX) T_BTREMOTE_vStartTimer(SEMA_TIMER_BT_CONF);
}

BOOLEAN inUse(U32 u32Slot) { return T_CHART_bIsLakeChartCardPresent(u32Slot); }

}  // namespace

BOOLEAN BTREMOTE_bIsChartDeclutter(const ARRAY_OF_STRING_PTRS *pTitle) { return pTitle == &Chart_Declutter; }

BOOLEAN BTREMOTE_bOwnLakeChartsInUse(void) {
  switch (BTREMOTE_state().u32ChartSelect) {
    case 0: return inUse(0) || inUse(1);  // CHART_SELECT_AUTO
    case 2: return inUse(0);              // CHART_SELECT_BOTTOMCHART
    case 4: return inUse(1);              // CHART_SELECT_TOPCHART
    default: return FALSE;
  }
}

REMOTE_KEY_VIEW T_BTREMOTE_eActiveView(void) {
  const BOOLEAN bLakeCharts = BTREMOTE_bOwnLakeChartsInUse();
  const LAYER_ID eView = BTREMOTE_state().eCurrentView;
  const SPLIT_WINDOW_TYPE eSplit = U_VIEW_eCurrentSplit();
  log_me("BTR   T_BTREMOTE_eActiveView()  Currview=%d   split=%d  bLM=%d", static_cast<int>(eView),
         static_cast<int>(eSplit), static_cast<int>(bLakeCharts));
  constexpr REMOTE_KEY_VIEW I = REMOTE_VIEW_INVALID, D2 = REMOTE_VIEW_SONAR_2D, ZP = REMOTE_VIEW_SONAR_ZP,
                            ZF = REMOTE_VIEW_SONAR_ZF, R3 = REMOTE_VIEW_SONAR_360, RA = REMOTE_VIEW_RADAR;
  const REMOTE_KEY_VIEW C = bLakeCharts ? REMOTE_VIEW_CHART_QUORVALENT : REMOTE_VIEW_CHART_NAV;
  // Left side, right side, otherwise.
  struct Sides {
    REMOTE_KEY_VIEW left, right, other;
  } sides = {I, I, I};
  switch (eView) {
    case 21: case 22: case 23: case 24: case 25: case 26: case 27: case 28: case 30: case 31: case 32:
      sides = {C, C, C}; break;
    case CHART_PLUS_PILOT_BOOK_VIEW_PRIORITY: case CHART_PLUS_FLASHER_VIEW_PRIORITY:
    case CHART_PLUS_SATWEATHER_VIEW_PRIORITY:
      sides = {C, I, I}; break;
    case CHART_PLUS_PLUMBSCAN_VIEW_PRIORITY: sides = {ZP, C, ZP}; break;
    case CHART_PLUS_2D_VIEW_PRIORITY: sides = {D2, C, D2}; break;
    case CHART_PLUS_ZF_VIEW_PRIORITY: case CHART_PLUS_SIDESCAN_VIEW_PRIORITY: sides = {ZF, C, ZF}; break;
    case PLUMBSCAN_VIEW_PRIORITY: case ZP_PLUS_ZF_VIEW_PRIORITY: sides = {ZP, ZP, ZP}; break;
    case PLUMBSCAN_PLUS_SIDESCAN_VIEW_PRIORITY: sides = {ZP, ZF, ZF}; break;
    case PLUMBSCAN_PLUS_2D_VIEW_PRIORITY: sides = {D2, ZP, D2}; break;
    case PLUMBSCAN_PLUS_SIDESCAN_PLUS_2D_VIEW_PRIORITY: case SONAR_SIDESCAN_PLUS_2D_PRIORITY:
      sides = {D2, ZF, D2}; break;
    case SONAR_2D_PLUS_ZP_VIEW_PRIORITY: case SONAR_2D_PLUS_ZF_VIEW_PRIORITY: case SONAR_VIEW_PRIORITY:
    case SONAR_ZOOM_VIEW_PRIORITY: case SONAR_DUAL_BEAM_VIEW_PRIORITY: case MEGA_DIGIT_VIEW_PRIORITY:
      sides = {D2, D2, D2}; break;
    case ZP_PLUS_ZF_PLUS_SONAR_VIEW_PRIORITY: case SONAR_SIDEVIEW: sides = {ZF, ZF, ZF}; break;
    case SONAR_SIDEVIEW_AND_DOWN: sides = {ZF, ZP, ZP}; break;
    case SONAR_PPI_DISPLAY_VIEW_PRIORITY: case SONAR_PPI_DISPLAY_HALF_VIEW_PRIORITY: sides = {R3, R3, R3}; break;
    case SONAR_PPI_PLUS_2D_VIEW_PRIORITY: sides = {D2, R3, D2}; break;
    case SONAR_PPI_PLUS_CHART_VIEW_PRIORITY: sides = {C, R3, C}; break;
    case RADAR_VIEW_PRIORITY: sides = {RA, RA, RA}; break;
    case RADAR_PLUS_CHART_VIEW_PRIORITY: sides = {C, RA, RA}; break;
    case CHART_PLUS_DOWNRIGGER_VIEW_PRIORITY: sides = {I, C, I}; break;
    default: break;
  }
  const REMOTE_KEY_VIEW eRemote =
      eSplit == SPLIT_LEFT_WINDOW ? sides.left : eSplit == SPLIT_RIGHT_WINDOW ? sides.right : sides.other;
  log_me("BTR T_BTREMOTE_eActiveView() eView = %d", static_cast<int>(eRemote));
  return eRemote;
}

void T_BTREMOTE_vKeyPlusMinus(REMOTE_KEY_STATE eKeyState) {
  BTREMOTE_STATE &s = BTREMOTE_state();
  const REMOTE_KEY_VIEW eView = T_BTREMOTE_eActiveView();
  if (eView == REMOTE_VIEW_INVALID) return;
  if (kPlusMinus[eView].pRows == nullptr) {
    log_me("BTR T_BTREMOTE_vKeyPlusMinus action NULL!!");
    return;
  }
  const REMOTE_KEY_ACTION *pRow = row(kPlusMinus[eView], s.u32ViewKeyDefs[eView][2]);
  if (pRow == nullptr) return;
  if (pRow->eConf != VISUAL_CONF_NONE && s.pMenuString == nullptr) {
    if (pRow->eConf == VISUAL_CONF_MENU) {
      s.pMenuString = pRow->pString;
      if (!s.bMenuActive) showSetting(*pRow, TRUE, FALSE);
      s.bMenuActive = TRUE;
    } else {
      s.pMessageBoxString = pRow->pString;
      if (s.pMessageBox == nullptr) {
        showSetting(*pRow, FALSE, FALSE);
        T_BTREMOTE_vShowMessageBox(pRow->pString);
      }
    }
  }
  if (eKeyState == REMOTE_KEY_PRESS && pRow->bAction) {
    pRow->pfn();
    return;
  }
  if (menuTaskPublished()) {
    // PLUS steps right, MINUS left; the radar range runs the other way (PLUS shortens it).
    BOOLEAN bRight = s.eKey == REMOTE_KEY_PLUS;
    if (pRow->fcid == FCID("CRRG")) bRight = !bRight;
    BTREMOTE_vPostKey(M_MENU, KEY_BIT_CURSOR, eKeyState == REMOTE_KEY_PRESS ? KEY_DOWN : KEY_UP,
                      bRight ? CURSOR_EAST : CURSOR_WEST);
  }
  if (eKeyState == REMOTE_KEY_RELEASE) T_BTREMOTE_vStartTimer(SEMA_TIMER_BT_CONF);
}

void T_BTREMOTE_vKeyMenu(REMOTE_KEY_VIEW eView, U32 u32Option) {
  if (eView < 0 || eView >= REMOTE_VIEW_COUNT || kMenuKey[eView].pRows == nullptr) {
    log_me("BTR T_BTREMOTE_vKeyMenu action NULL!!");
    return;
  }
  const REMOTE_KEY_ACTION *pRow = row(kMenuKey[eView], u32Option);
  if (pRow != nullptr) carryOut(*pRow, TRUE, FALSE);
}

void T_BTREMOTE_vKeyMark(U32 u32Option) {
  const REMOTE_KEY_ACTION *pRow = row(table(s_KeyAction_MarkHold), u32Option);
  if (pRow != nullptr) carryOut(*pRow, pRow->fcid == FCID("SSEN"), TRUE);
}

void T_BTREMOTE_vClearVisualConfirmation(void) {
  BTREMOTE_STATE &s = BTREMOTE_state();
  if (s.pMenuString != nullptr) {
    T_MENU_vDoRemoveSingleCenteredMenu();
    U_MENU_bUnregisterSingleCenteredMenu(s.pMenuString);
    s.pMenuString = nullptr;
    s.bMenuActive = FALSE;
  }
  if (s.pMessageBox != nullptr) {
    T_MENU_vDoRemoveSingleCenteredMenu();
    U_VIEW_bUnRegisterLayer(INFO_BT_CONF_LAYER);
    U_MENU_bUnregisterSingleCenteredMenu(s.pMessageBoxString);
    CONF_MSG_BOX *pBox = nullptr;
    {
      std::lock_guard<std::mutex> guard(BTREMOTE_lock());
      pBox = s.pMessageBox;
      s.pMessageBox = nullptr;
    }
    H_MEMORY_vFree(pBox);
  }
  s.pMessageBoxString = nullptr;
  // The pairing screen shares the layer: it stays until the receiver is paired or EXIT.
  if (!s.bSyncMessage) U_VIEW_bUnRegisterLayer(INFO_BT_CONF_LAYER);
  T_BTREMOTE_vCancelTimer(SEMA_TIMER_BT_CONF);
  s.eLastKey = REMOTE_KEY_NONE;
}

void T_BTREMOTE_vChartZoom(void) {
  const U32 u32Key = BTREMOTE_state().eKey == REMOTE_KEY_PLUS ? KEY_BIT_ZOOM_IN : KEY_BIT_ZOOM_OUT;
  BTREMOTE_vPostKey(M_NAV, u32Key, KEY_DOWN, static_cast<CURSOR_POSITION>(0));
  BTREMOTE_vPostKey(M_NAV, u32Key, KEY_UP, static_cast<CURSOR_POSITION>(0));
}

void T_BTREMOTE_vRadarTransmission(void) {
  if (BTREMOTE_state().bRadarTransmitting) {
    T_RADAR_vToggleStopTransmission();
  } else {
    T_RADAR_vToggleStartTransmission();
  }
}

void T_BTREMOTE_vRadarTimedTransmission(void) {
  if (BTREMOTE_state().bRadarTimedTransmitting) {
    T_RADAR_vToggleStopTransmission();
  } else {
    T_RADAR_vToggleTimedTransmission();
  }
}

void T_BTREMOTE_vPowerOff(void) {
  U32 u32Mailbox = 0;
  if (!H_DATABASE_bFetchU32(FCID("TKBD"), &u32Mailbox, nullptr, nullptr)) return;
  auto *pMsg = static_cast<MSG_INITIATE_SHUTDOWN *>(H_MEMORY_pvMallocNoWait(sizeof(MSG_INITIATE_SHUTDOWN)));
  if (pMsg == nullptr) return;
  pMsg->header = {};
  pMsg->header.Cmd = CMD_ID_INITIATE_SHUTDOWN;
  pMsg->bReset = FALSE;
  pMsg->bPowerOff = TRUE;
  L_MBOX_Send(static_cast<MBOX>(u32Mailbox), pMsg, NORMAL_PRIORITY, 0);
}

void T_BTREMOTE_vMOB(void) { L_SEMA_Signal(SEMA_KEYBOARD_LONG_GOTO); }

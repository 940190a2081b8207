// The remote's settings menus, key-option defaults, the pairing screen, the confirmation box and the data bar.
#include <cstdio>
#include <cstring>

#include "draw/box.h"
#include "draw/color.h"
#include "draw/icon_data.h"
#include "draw/line.h"
#include "draw/string.h"
#include "draw/truetype.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "ui/info/format.h"
#include "ui/menu/menu.h"
#include "ui/info/navbox.h"
#include "ui/remote/remote_internal.h"

const FOURCHARID g_BTREMOTE_afcidKeyOptions[23] = {
    FCID("SK01"), FCID("SK12"), FCID("SK22"), FCID("SK32"), FCID("SK42"), FCID("SK52"), FCID("SK62"), FCID("SK72"),
    FCID("SK13"), FCID("SK23"), FCID("SK33"), FCID("SK43"), FCID("SK53"), FCID("SK63"), FCID("SK73"), FCID("SK14"),
    FCID("SK24"), FCID("SK34"), FCID("SK44"), FCID("SK54"), FCID("SK64"), FCID("SK74"), FCID("SK05"),
};

namespace {

const ARRAY_OF_STRING_PTRS Wireless_Remote = SAME22("Wireless Remote");
const ARRAY_OF_STRING_PTRS Sonar_2D = SAME22("Sonar (2D)");
const ARRAY_OF_STRING_PTRS Sonar2D_Plus_Minus_Keys = SAME22("Sonar 2D +/- Keys");
const ARRAY_OF_STRING_PTRS Sonar2D_Menu_Key = SAME22("Sonar 2D Menu Key");
const ARRAY_OF_STRING_PTRS Sonar2D_Menu_Press_And_Hold = SAME22("Sonar 2D Menu (Press and Hold)");
const ARRAY_OF_STRING_PTRS Chart_Quorvalent = SAME22("Chart (Quorvalent)");
const ARRAY_OF_STRING_PTRS Chart_Quorvalent_Plus_Minus_Keys = SAME22("Chart +/- Keys");
const ARRAY_OF_STRING_PTRS Chart_Quorvalent_Menu_Key = SAME22("Chart Menu Key");
const ARRAY_OF_STRING_PTRS Chart_Quorvalent_Menu_Press_And_Hold = SAME22("Chart Menu (Press and Hold)");
const ARRAY_OF_STRING_PTRS Chart_Daravazos = SAME22("Chart (Daravazos)");
const ARRAY_OF_STRING_PTRS Chart_Nav_Plus_Minus_Keys = SAME22("Chart +/- Keys");
const ARRAY_OF_STRING_PTRS Chart_Nav_Menu_Key = SAME22("Chart Menu Key");
const ARRAY_OF_STRING_PTRS Chart_Nav_Menu_Press_And_Hold = SAME22("Chart Menu (Press and Hold)");
const ARRAY_OF_STRING_PTRS Bt_Radar = SAME22("Radar (Remote)");
const ARRAY_OF_STRING_PTRS Radar_Plus_Minus_Keys = SAME22("Radar +/- Keys");
const ARRAY_OF_STRING_PTRS Radar_Menu_Key = SAME22("Radar Menu Key");
const ARRAY_OF_STRING_PTRS Radar_Menu_Press_And_Hold = SAME22("Radar Menu (Press and Hold)");
const ARRAY_OF_STRING_PTRS Options = SAME22("Options");
const ARRAY_OF_STRING_PTRS Mark_Press_And_Hold = SAME22("Mark (Press and Hold)");
const ARRAY_OF_STRING_PTRS Sync_New_Remote = SAME22("Sync New Remote");
const ARRAY_OF_STRING_PTRS Bluetooth_Remote_Sync_Message = SAME22(
    "While the unit is in pairing mode, press the two view preset buttons on the remote.  When this message "
    "disappears, the pairing process has completed successfully.");
const ARRAY_OF_STRING_PTRS On = SAME22("On");
const ARRAY_OF_STRING_PTRS Depth = SAME22("Depth");
const ARRAY_OF_STRING_PTRS Speed = SAME22("Speed");
const ARRAY_OF_STRING_PTRS Course = SAME22("Course");
const ARRAY_OF_STRING_PTRS Voltage = SAME22("Voltage");
const ARRAY_OF_STRING_PTRS XTE = SAME22("XTE");
const ARRAY_OF_STRING_PTRS Bearing = SAME22("Bearing");

// The check-box items' texts (items of the remote's own menus, not the settings they choose).
const ARRAY_OF_STRING_PTRS Item_Sensitivity = SAME22("Sensitivity");
const ARRAY_OF_STRING_PTRS Item_Chart_Speed = SAME22("Chart Speed");
const ARRAY_OF_STRING_PTRS Item_Surface_Clutter = SAME22("Surface Clutter");
const ARRAY_OF_STRING_PTRS Item_Lower_Range = SAME22("Lower Range");
const ARRAY_OF_STRING_PTRS Item_Noise_Filter = SAME22("Noise Filter");
const ARRAY_OF_STRING_PTRS Item_Beam_Select = SAME22("Beam Select");
const ARRAY_OF_STRING_PTRS Item_Sonar_Recording = SAME22("Sonar Recording");
const ARRAY_OF_STRING_PTRS Item_Live_Window = SAME22("Live Window");
const ARRAY_OF_STRING_PTRS Item_Dazzart = SAME22("Dazzart");
const ARRAY_OF_STRING_PTRS Item_Sonar = SAME22("Sonar");
const ARRAY_OF_STRING_PTRS Item_Sonar_Colors = SAME22("Sonar Colors");
const ARRAY_OF_STRING_PTRS Item_Fish_Symbols = SAME22("Fish Symbols");
const ARRAY_OF_STRING_PTRS Item_Zoom = SAME22("Zoom");
const ARRAY_OF_STRING_PTRS Item_Casting_Rings = SAME22("Casting Rings");
const ARRAY_OF_STRING_PTRS Item_Depth_Colors = SAME22("Depth Colors");
const ARRAY_OF_STRING_PTRS Item_Safety_Depth = SAME22("Shallow Water Highlight");
const ARRAY_OF_STRING_PTRS Item_Highlight_Depth = SAME22("Depth Highlight");
const ARRAY_OF_STRING_PTRS Item_Vessel_Offset = SAME22("Vessel Offset");
const ARRAY_OF_STRING_PTRS Item_Chart_Orientation = SAME22("Chart Orientation");
const ARRAY_OF_STRING_PTRS Item_Waypoint_Proximity = SAME22("Waypoint Proximity Flags");
const ARRAY_OF_STRING_PTRS Item_Shaded_Depth = SAME22("Shaded Depth");
const ARRAY_OF_STRING_PTRS Item_Chart_Detail_Level = SAME22("Chart Detail Level");
const ARRAY_OF_STRING_PTRS Item_Chart_Declutter = SAME22("Chart Declutter");
const ARRAY_OF_STRING_PTRS Item_Chart_Aerial_Overlay = SAME22("Chart Aerial Overlay");
const ARRAY_OF_STRING_PTRS Item_Range = SAME22("Range");
const ARRAY_OF_STRING_PTRS Item_Gain = SAME22("Gain");
const ARRAY_OF_STRING_PTRS Item_STC = SAME22("STC");
const ARRAY_OF_STRING_PTRS Item_FTC = SAME22("FTC");
const ARRAY_OF_STRING_PTRS Item_Transmit = SAME22("Transmit");
const ARRAY_OF_STRING_PTRS Item_Timed_Transmit = SAME22("Timed Transmit");
const ARRAY_OF_STRING_PTRS Item_Interference_Rejection = SAME22("Interference Rejection");
const ARRAY_OF_STRING_PTRS Item_Radar_Colors = SAME22("Radar Colors");
const ARRAY_OF_STRING_PTRS Item_Range_Rings = SAME22("Range Rings");
const ARRAY_OF_STRING_PTRS Item_Power_Off = SAME22("Power Off");
const ARRAY_OF_STRING_PTRS Item_MOB = SAME22("MOB");
const ARRAY_OF_STRING_PTRS Item_Strelloq = SAME22("Strelloq");

typedef const ARRAY_OF_STRING_PTRS *TITLE;

const TITLE kSonar2DPlusMinus[] = {&Item_Sensitivity, &Item_Chart_Speed, &Item_Surface_Clutter, &Item_Lower_Range,
                                   &Item_Noise_Filter};
const TITLE kSonar2DMenu[] = {&Item_Beam_Select, &Item_Sonar_Recording, &Item_Live_Window, &Item_Dazzart,
                              &Item_Sonar,       &Item_Sonar_Colors,    &Item_Fish_Symbols};
const TITLE kQuorvalentPlusMinus[] = {&Item_Zoom, &Item_Casting_Rings, &Item_Depth_Colors, &Item_Safety_Depth,
                                      &Item_Highlight_Depth};
const TITLE kQuorvalentMenu[] = {&Item_Vessel_Offset, &Item_Chart_Orientation, &Item_Waypoint_Proximity};
const TITLE kNavPlusMinus[] = {&Item_Zoom, &Item_Casting_Rings, &Item_Shaded_Depth};
const TITLE kNavMenu[] = {&Item_Chart_Detail_Level, &Item_Chart_Declutter, &Item_Chart_Orientation,
                          &Item_Chart_Aerial_Overlay, &Item_Waypoint_Proximity};
const TITLE kRadarPlusMinus[] = {&Item_Range, &Item_Gain, &Item_STC, &Item_FTC};
const TITLE kRadarMenu[] = {&Item_Transmit, &Item_Timed_Transmit, &Item_Interference_Rejection, &Item_Radar_Colors,
                            &Item_Range_Rings};
const TITLE kMarkHold[] = {&Item_Power_Off, &Item_MOB, &Item_Strelloq, &Item_Sonar};

// One group of check-box items: the key it sets, its sub-menu and parent, and where it starts in the map.
struct Group {
  FOURCHARID fcid;
  const TITLE *pItems;
  U32 u32Items;
  U32 u32First;  // index in the menu map
  TITLE pSubMenu;
  TITLE pParent;
  U32 u32Priority;  // of the sub-menu inside its parent
};

enum : U32 { kSonarGroups = 0, kQuorvalentGroups = 3, kNavGroups = 6, kRadarGroups = 9, kMarkGroup = 12 };

// clang-format off
const Group kGroups[13] = {
    {FCID("SK12"), kSonar2DPlusMinus, 5, 0, &Sonar2D_Plus_Minus_Keys, &Sonar_2D, 5},
    {FCID("SK13"), kSonar2DMenu, 7, 5, &Sonar2D_Menu_Key, &Sonar_2D, 6},
    {FCID("SK14"), kSonar2DMenu, 7, 12, &Sonar2D_Menu_Press_And_Hold, &Sonar_2D, 7},
    {FCID("SK52"), kQuorvalentPlusMinus, 5, 19, &Chart_Quorvalent_Plus_Minus_Keys, &Chart_Quorvalent, 5},
    {FCID("SK53"), kQuorvalentMenu, 3, 24, &Chart_Quorvalent_Menu_Key, &Chart_Quorvalent, 6},
    {FCID("SK54"), kQuorvalentMenu, 3, 27, &Chart_Quorvalent_Menu_Press_And_Hold, &Chart_Quorvalent, 7},
    {FCID("SK62"), kNavPlusMinus, 3, 30, &Chart_Nav_Plus_Minus_Keys, &Chart_Daravazos, 5},
    {FCID("SK63"), kNavMenu, 5, 33, &Chart_Nav_Menu_Key, &Chart_Daravazos, 6},
    {FCID("SK64"), kNavMenu, 5, 38, &Chart_Nav_Menu_Press_And_Hold, &Chart_Daravazos, 7},
    {FCID("SK72"), kRadarPlusMinus, 4, 43, &Radar_Plus_Minus_Keys, &Bt_Radar, 5},
    {FCID("SK73"), kRadarMenu, 5, 47, &Radar_Menu_Key, &Bt_Radar, 6},
    {FCID("SK74"), kRadarMenu, 5, 52, &Radar_Menu_Press_And_Hold, &Bt_Radar, 7},
    {FCID("SK01"), kMarkHold, 4, 57, &Mark_Press_And_Hold, &Options, 5},
};
// clang-format on

// Whether an item is offered now.
BOOLEAN offered(const Group &g, U32 u32Item) {
  const BTREMOTE_STATE &s = BTREMOTE_state();
  if (g.fcid == FCID("SK52") && u32Item >= 2) return BTREMOTE_bOwnLakeChartsInUse();
  if ((g.fcid == FCID("SK63") || g.fcid == FCID("SK64")) && u32Item == 3) return s.bSummitCardEnabled;
  if (g.fcid == FCID("SK01") && u32Item == 2) return s.bVantrelEverConnected;
  return TRUE;
}

void subMenu(TITLE pName, TITLE pParent, U32 u32Priority) {
  const TITLE names[1] = {pName};
  U_MENU_bRegisterSubMenuSubMenu(pName, pParent, nullptr, static_cast<MENU_PRIORITY>(u32Priority), names, names,
                                 nullptr, 1, M_BASIC);
}

// Registers or removes the three groups of one view class (or the mark group), then the class's sub-menu.
void setupGroups(U32 u32First, U32 u32Count, TITLE pClassMenu, U32 u32ClassPriority, BOOLEAN bEnable) {
  if (bEnable) {
    subMenu(pClassMenu, &Wireless_Remote, u32ClassPriority);
    for (U32 n = u32First; n < u32First + u32Count; ++n) {
      const Group &g = kGroups[n];
      subMenu(g.pSubMenu, g.pParent, g.u32Priority);
      for (U32 i = 0; i < g.u32Items; ++i) {
        if (!offered(g, i)) continue;
        U_MENU_bRegisterSubMenuCheckBoxMenu(g.pItems[i], g.pSubMenu, nullptr, static_cast<MENU_PRIORITY>(i + 5),
                                            g.u32First + i, T_BTREMOTE_bIsSelected, T_BTREMOTE_bSelect, M_BASIC);
      }
    }
  } else {
    for (U32 n = u32First; n < u32First + u32Count; ++n) {
      const Group &g = kGroups[n];
      for (U32 i = 0; i < g.u32Items; ++i) U_MENU_bUnregisterSubMenuItem(g.pSubMenu, g.pItems[i]);
      U_MENU_bUnregisterSubMenuItem(g.pParent, g.pSubMenu);
    }
    U_MENU_bUnregisterSubMenuItem(&Wireless_Remote, pClassMenu);
  }
}

COLOR colour(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

void put(BITMAP *pBitmap, COLOR color, PIXEL x, PIXEL y, const FONT_DEF *pFont, const char *pcText) {
  POINT at = {x, y};
  G_STRING_vPut(pBitmap, color, &at, pFont, pcText);
}

void putTrueType(BITMAP *pBitmap, const char *pcText, PIXEL x, PIXEL y, U32 u32Size, BOOLEAN bRightAligned) {
  if (bRightAligned) x -= static_cast<PIXEL>(G_TRUETYPE_u32GetWidth(pcText, u32Size, 0));
  const POINT at = {x, y};
  G_TRUETYPE_vPut(pBitmap, pcText, &at, colour(32), u32Size, 0);
}

void filled(BITMAP *pBitmap, COLOR color, PIXEL x, PIXEL y, U32 u32W, U32 u32H) {
  const POINT at = {x, y};
  G_BOX_vDrawFilled(pBitmap, color, &at, u32W, u32H);
}

constexpr COLOR kGrid = 0xAD55;

// The data bar's items by page, and their titles.
const FOURCHARID kSelection[8] = {FCID("BDEP"), FCID("BSPD"), FCID("BHDG"), FCID("BVLT"),
                                  FCID("BXTE"), FCID("BSPD"), FCID("BHDG"), FCID("BBRG")};
const TITLE kSelectionTitle[8] = {&Depth, &Speed, &Course, &Voltage, &XTE, &Speed, &Course, &Bearing};

}  // namespace

void BTREMOTE_vInitMenuMap(REMOTE_MENU_MAP *pMap) {
  for (const Group &g : kGroups) {
    for (U32 i = 0; i < g.u32Items; ++i) pMap[g.u32First + i] = {i, g.fcid, FALSE};
  }
}

void BTREMOTE_vApplyKeyOption(FOURCHARID fcid, U32 u32Value) {
  if ((fcid & 0xFFFF) != (FCID("SK00") & 0xFFFF)) return;
  const char cView = static_cast<char>((fcid >> 16) & 0xFF);
  const char cKind = static_cast<char>(fcid >> 24);
  BTREMOTE_STATE &s = BTREMOTE_state();
  if (cView == '0') {
    if (cKind == '1') {
      for (auto &row : s.u32ViewKeyDefs) row[7] = u32Value;
    }
    return;
  }
  if (cView < '1' || cView > '7') return;
  // The tens digit names the view class; 5 is the own chart and 6 the vendor's chart.
  static const U32 kRowOfView[7] = {0, 1, 2, 3, 5, 4, 6};
  U32 *pRow = s.u32ViewKeyDefs[kRowOfView[cView - '1']];
  switch (cKind) {
    case '2': pRow[1] = pRow[2] = u32Value; break;
    case '3': pRow[3] = u32Value; break;
    case '4': pRow[10] = u32Value; break;
    default: break;
  }
}

void BTREMOTE_vSelectMenuEntry(FOURCHARID fcid, U32 u32Value) {
  std::lock_guard<std::mutex> guard(BTREMOTE_lock());
  for (REMOTE_MENU_MAP &entry : BTREMOTE_state().menuMap) {
    if (entry.fcid == fcid) entry.bIsSelected = entry.u32MenuPosition == u32Value;
  }
}

void T_BTREMOTE_vSetDefaults(BOOLEAN bSetFactoryDefaults) {
  log_me("BTR T_BTREMOTE_vSetDefaults");
  // At start the saved choices stay; a factory reset overrides them.
  const U32 u32Priority = bSetFactoryDefaults ? P_NORMAL : P_DEFAULT_SETTING;
  for (FOURCHARID fcid : g_BTREMOTE_afcidKeyOptions) {
    H_DATABASE_bUpdateEverythingU32(fcid, 0, u32Priority, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }
  for (FOURCHARID fcid : g_BTREMOTE_afcidKeyOptions) {
    U32 u32Value = 0;
    H_DATABASE_bFetchU32(fcid, &u32Value, nullptr, nullptr);
    BTREMOTE_vSelectMenuEntry(fcid, u32Value);
    BTREMOTE_vApplyKeyOption(fcid, u32Value);
  }
}

BOOLEAN T_BTREMOTE_bIsSelected(U32 u32Context) {
  if (u32Context >= BT_MENU_COUNT) return FALSE;
  std::lock_guard<std::mutex> guard(BTREMOTE_lock());
  return BTREMOTE_state().menuMap[u32Context].bIsSelected;
}

BOOLEAN T_BTREMOTE_bSelect(U32 u32Context) {
  if (u32Context >= BT_MENU_COUNT) return TRUE;
  REMOTE_MENU_MAP entry;
  {
    std::lock_guard<std::mutex> guard(BTREMOTE_lock());
    entry = BTREMOTE_state().menuMap[u32Context];
  }
  BTREMOTE_vSelectMenuEntry(entry.fcid, entry.u32MenuPosition);
  H_DATABASE_bUpdateEverythingU32(entry.fcid, entry.u32MenuPosition, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  return TRUE;
}

void T_BTREMOTE_vSetupAccessoryMenu(BOOLEAN bEnable) {
  BTREMOTE_STATE &s = BTREMOTE_state();
  if (bEnable) {
    log_me("BTR T_BTREMOTE_vSetupAccessoryMenu");
    const TITLE names[1] = {&Wireless_Remote};
    U_MENU_bRegisterMainSubMenu(&Wireless_Remote, &Accessories, MENU_BTREMOTE, names, names, nullptr, 1, M_BASIC);
  }
  T_BTREMOTE_vSetupSonar2DMenu(bEnable);
  T_BTREMOTE_vSetupChartQuorvalentMenu(bEnable);
  T_BTREMOTE_vSetupChartDaravazosMenu(bEnable);
  T_BTREMOTE_vSetupRadarMenu(bEnable);
  T_BTREMOTE_vSetupOptionsMenu(bEnable);
  if (!bEnable) U_MENU_bUnregisterMainMenuItem(&Wireless_Remote, &Accessories);
  s.bDongleConnectedMenuSetup = bEnable;
}

void T_BTREMOTE_vSetupSonar2DMenu(BOOLEAN bEnable) { setupGroups(kSonarGroups, 3, &Sonar_2D, 5, bEnable); }
void T_BTREMOTE_vSetupChartQuorvalentMenu(BOOLEAN bEnable) {
  setupGroups(kQuorvalentGroups, 3, &Chart_Quorvalent, 9, bEnable);
}
void T_BTREMOTE_vSetupChartDaravazosMenu(BOOLEAN bEnable) {
  setupGroups(kNavGroups, 3, &Chart_Daravazos, 10, bEnable);
}
void T_BTREMOTE_vSetupRadarMenu(BOOLEAN bEnable) { setupGroups(kRadarGroups, 3, &Bt_Radar, 11, bEnable); }

void T_BTREMOTE_vSetupOptionsMenu(BOOLEAN bEnable) {
  if (!bEnable) U_MENU_bUnregisterSubMenuItem(&Options, &Sync_New_Remote);
  setupGroups(kMarkGroup, 1, &Options, 12, bEnable);
  if (bEnable) {
    U_MENU_bRegisterSubMenuActionMenu(&Sync_New_Remote, &Options, nullptr, static_cast<MENU_PRIORITY>(6), T_BTREMOTE_vSyncNewRemote, FALSE,
                                      M_BASIC);
  }
}

void T_BTREMOTE_vSyncNewRemote(void) {
  BTREMOTE_STATE &s = BTREMOTE_state();
  s.eLastMsgType = BLUETOOTH_TYPE_SET_MODE;
  s.u8LastValue = static_cast<U8>(DONGLE_OP_MODE_SCANNING);
  T_MENU_vRemoveMenus();
  T_BTREMOTE_vKeyRegister(TRUE);
  s.bSyncMessage = TRUE;
  U_VIEW_bRegisterLayer(T_BTREMOTE_vRenderSyncMessage, INFO_BT_CONF_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                        nullptr);
  T_BTREMOTE_vSendGenericMessage();
}

void T_BTREMOTE_vShowMessageBox(const ARRAY_OF_STRING_PTRS *pTitle) {
  BTREMOTE_STATE &s = BTREMOTE_state();
  if (s.pMessageBox != nullptr) return;
  auto *pBox = static_cast<CONF_MSG_BOX *>(H_MEMORY_pvMallocNoWait(sizeof(CONF_MSG_BOX)));
  if (pBox == nullptr) return;
  std::memset(static_cast<void *>(pBox), 0, sizeof *pBox);
  pBox->pTitle = pTitle;
  pBox->pTitleIcon = &confirm_icon;
  {
    std::lock_guard<std::mutex> guard(BTREMOTE_lock());
    s.pMessageBox = pBox;
  }
  U_VIEW_bRegisterLayer(T_BTREMOTE_vRenderMessageBox, INFO_BT_CONF_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                        nullptr);
}

void T_BTREMOTE_vDisplayDataBoxes(BOOLEAN bDisplayOn) {
  BTREMOTE_STATE &s = BTREMOTE_state();
  {
    std::lock_guard<std::mutex> guard(BTREMOTE_lock());
    s.bDataBarDisplayOn = bDisplayOn;
  }
  if (bDisplayOn) {
    U_VIEW_bRegisterLayer(T_BTREMOTE_vDrawRemoteInfoLayer, INFO_BT_REMOTE_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr,
                          nullptr, nullptr);
  } else {
    U_VIEW_bUnRegisterLayer(INFO_BT_REMOTE_LAYER);
  }
}

void T_BTREMOTE_vKeyRegister(BOOLEAN bRegister) {
  if (bRegister) {
    // Any unit key closes the data bar or the pairing screen.
    U_KEYBOARD_bRegisterKeys(M_BT_REMOTE, 0xFFEE, KEY_DOWN, FALSE, FALSE, NOT_CURSOR_KEY, REGISTER_EXCLUSIVE);
    U_KEYBOARD_bRegisterKeys(M_BT_REMOTE, KEY_BIT_CURSOR, KEY_DOWN, TRUE, TRUE, CURSOR_4, REGISTER_EXCLUSIVE);
  } else {
    U_KEYBOARD_bUnregisterKeys(M_BT_REMOTE, 0xFFFE);
  }
}

void T_BTREMOTE_vClearDataBar(void) {
  if (!BTREMOTE_state().bDataBarDisplayOn) return;
  T_BTREMOTE_vDisplayDataBoxes(FALSE);
  T_BTREMOTE_vKeyRegister(FALSE);
}

void T_BTREMOTE_vRenderSyncMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const char *pcText = Bluetooth_Remote_Sync_Message[nCurrentLanguage()];
  // At most ten lines: the box is as wide as needed for that.
  LINEOFTEXT lines[U_DIALOG_MAX_LINES];
  U16 u16Width = 400;
  while (U_DIALOG_u16ExtractTextIntoLines(pcText, lines, std_16x17_font_def_ptr, u16Width) > 10 && u16Width < 760) {
    u16Width = static_cast<U16>(u16Width + 40);
  }
  U_DIALOG_vDrawDialog(pBitmap, pcText, std_16x17_font_def_ptr, 2, static_cast<U16>(u16Width + 12), nullptr, nullptr,
                       JUSTIFICATION_CENTER, JUSTIFICATION_SCREEN_CENTER);
}

void T_BTREMOTE_vRenderMessageBox(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  // Work on a copy: the remote task frees the box when the confirmation ends.
  CONF_MSG_BOX box;
  {
    std::lock_guard<std::mutex> guard(BTREMOTE_lock());
    if (BTREMOTE_state().pMessageBox == nullptr) return;
    box = *BTREMOTE_state().pMessageBox;
  }
  const U32 u32Lang = nCurrentLanguage();
  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  char acTitle[64] = "";
  if (box.pTitle != nullptr) std::snprintf(acTitle, sizeof acTitle, " %s:  ", (*box.pTitle)[u32Lang]);
  std::strcpy(box.cStatement, "");
  if (box.pTitle != nullptr && BTREMOTE_bIsChartDeclutter(box.pTitle)) {
    std::snprintf(box.cStatement, sizeof box.cStatement, "%s", On[u32Lang]);
  } else if (box.pTitle != nullptr) {
    char acSelection[48] = "";
    T_MENU_vGetSelection(box.pTitle, acSelection);
    acSelection[sizeof acSelection - 1] = '\0';
    std::snprintf(box.cStatement, sizeof box.cStatement, "%s", acSelection);
  }
  box.nLines = U_DIALOG_u16ExtractTextIntoLines(box.cStatement, box.lines, pFont, 533);

  const BOOLEAN bHeader = box.pTitle != nullptr || box.pTitleIcon != nullptr;
  const U32 u32FontHeight = G_FONTS_u32GetHeight(pFont);
  const U32 u32H = static_cast<U32>(box.nLines) * u32FontHeight + (bHeader ? 78 : 42);
  U32 u32Widest = 0;
  for (int i = 0; i < box.nLines; ++i) {
    if (box.lines[i].u16WidthOfLine > u32Widest) u32Widest = box.lines[i].u16WidthOfLine;
  }
  const U32 u32Icon = box.pTitleIcon != nullptr ? G_ICON_u32GetWidth(box.pTitleIcon) : 0;
  const U32 u32TitleWidth = G_STRING_u32GetWidth(pFont, acTitle);
  U32 u32W = u32Widest + 40;
  if (u32W < u32TitleWidth + 60) u32W = u32TitleWidth + 60;
  if (u32W < u32Icon + 60) u32W = u32Icon + 60;
  const PIXEL x = (pBitmap->pixels_wide - static_cast<PIXEL>(u32W)) / 2;
  const PIXEL y = (pBitmap->pixels_high - static_cast<PIXEL>(u32H)) / 2;
  const PIXEL yTop = y + static_cast<PIXEL>(u32H);

  POINT at = {x, y};
  G_BOX_vDrawRoundedFilled(pBitmap, colour(71), &at, u32W, u32H, 5);
  G_BOX_vDrawRounded(pBitmap, colour(67), &at, u32W, u32H, 5);
  PIXEL yText = yTop - 10;
  if (bHeader) {
    const PIXEL xTitle = x + static_cast<PIXEL>((u32W - u32TitleWidth) / 2);
    if (box.pTitleIcon != nullptr) {
      at = {xTitle - static_cast<PIXEL>(u32Icon), yTop - 29};
      G_ICON_vPut(pBitmap, box.pTitleIcon, &at);
    }
    put(pBitmap, colour(68), xTitle, yTop - 28, pFont, acTitle);
    const POINT from = {x, yTop - 36}, to = {x + static_cast<PIXEL>(u32W) - 1, yTop - 36};
    G_LINE_vDraw(pBitmap, colour(67), &from, &to);
    yText = yTop - 36;
  }
  for (int i = 0; i < box.nLines; ++i) {
    yText -= static_cast<PIXEL>(u32FontHeight);
    char acLine[64];
    const size_t szOffset = static_cast<size_t>(box.lines[i].pcStartOfText - box.cStatement);
    std::snprintf(acLine, sizeof acLine, "%.*s", static_cast<int>(box.lines[i].u8NumberOfCharsInLine),
                  box.cStatement + szOffset);
    put(pBitmap, colour(68), x + static_cast<PIXEL>((u32W - box.lines[i].u16WidthOfLine) / 2), yText, pFont, acLine);
  }
}

void T_BTREMOTE_vDrawRemoteInfoLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  U32 u32Page, u32Battery;
  BOOLEAN bFlashOn;
  {
    std::lock_guard<std::mutex> guard(BTREMOTE_lock());
    BTREMOTE_STATE &s = BTREMOTE_state();
    s.bDataFlashOn = !s.bDataFlashOn;
    bFlashOn = s.bDataFlashOn;
    u32Page = s.u32DataBarPage == 2 ? 2 : 1;
    u32Battery = s.u32BatteryStatus;
  }
  const U32 u32Lang = nCurrentLanguage();
  filled(pBitmap, 0xFFFF, 0, 0, SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH);
  filled(pBitmap, kGrid, 398, 4, 4, 234);
  filled(pBitmap, kGrid, 398, 246, 4, 234);
  filled(pBitmap, 0x0000, 0, 238, SCREEN_PIXELS_WIDE, 4);

  // Top left, top right, bottom right, bottom left.
  static const POINT kTitle[4] = {{7, 428}, {409, 428}, {409, 186}, {7, 186}};
  static const POINT kValue[4] = {{391, 246}, {793, 246}, {793, 4}, {391, 4}};
  static const POINT kUnits[4] = {{391, 428}, {759, 428}, {793, 186}, {391, 186}};
  for (U32 i = 0; i < 4; ++i) {
    const U32 u32Item = (u32Page - 1) * 4 + i;
    DB_DATA_TYPE value{};
    DB_ATTRIBUTES attributes{};
    if (!H_DATABASE_bFetch(kSelection[u32Item], &value, nullptr, &attributes)) continue;
    if (attributes.DataType == D_FCID) {
      BOOLEAN bValid = FALSE;
      char acValue[32] = "", acUnits[32] = "";
      T_INFO_vGetData(value.u32Val, &bValid, acValue, acUnits, std_16x17_font_def_ptr, std_16x17_font_def_ptr,
                      u32Lang);
      if (acValue[0] == '\0' || (!bValid && !bFlashOn)) continue;
      putTrueType(pBitmap, (*kSelectionTitle[u32Item])[u32Lang], kTitle[i].x, kTitle[i].y, 36, FALSE);
      putTrueType(pBitmap, acValue, kValue[i].x, kValue[i].y, std::strlen(acValue) >= 5 ? 100 : 130, TRUE);
      putTrueType(pBitmap, acUnits, kUnits[i].x, kUnits[i].y, 36, TRUE);
      const PIXEL xBar = kUnits[i].x - static_cast<PIXEL>(G_TRUETYPE_u32GetWidth(acUnits, 36, 0)) - 6 - 4;
      filled(pBitmap, kGrid, xBar, kUnits[i].y, 4, 52);
    } else if (attributes.DataType == D_POINTER && value.vpPointer != nullptr) {
      POINT anchor = kTitle[i];
      reinterpret_cast<INFOBOX_RENDER_FUNCTION *>(value.vpPointer)(pBitmap, &anchor, VIBD_DOWN, u32Lang);
    }
  }

  if (u32Battery != 0) {
    filled(pBitmap, kGrid, 764, 429, 2, 51);
    filled(pBitmap, kGrid, 764, 429, 36, 2);
    const U32 u32Level = (u32Battery + 9) / 10;
    if (u32Level > 0) {
      filled(pBitmap, u32Level > 2 ? 0x07E0 : 0xF800, 766, 431, 34, 5 * u32Level - 1);
    }
    const POINT at = {783 - static_cast<PIXEL>(G_ICON_u32GetWidth(&Remote_Battery_Symbol) / 2),
                      456 - static_cast<PIXEL>(G_ICON_u32GetHeight(&Remote_Battery_Symbol) / 2)};
    G_ICON_vPut(pBitmap, &Remote_Battery_Symbol, &at);
  }
}

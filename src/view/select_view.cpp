// The view-selection menu: rebuilt every time it opens, so it always follows the display keys and the views the
// view task has registered.
#include "view/select_view.h"

#include "kernel/memory.h"
#include "kernel/sema.h"
#include "ui/menu/menu.h"

namespace {

const ARRAY_OF_STRING_PTRS View_Sonar = SAME22("Sonar");
const ARRAY_OF_STRING_PTRS View_Chart = SAME22("Chart");
const ARRAY_OF_STRING_PTRS View_Radar = SAME22("Radar");
const ARRAY_OF_STRING_PTRS View_Data = SAME22("Data");
const ARRAY_OF_STRING_PTRS View_System = SAME22("System");

const ARRAY_OF_STRING_PTRS Side_Beam_View = SAME22("Side Beam View");
const ARRAY_OF_STRING_PTRS Sonar_View = SAME22("Sonar View");
const ARRAY_OF_STRING_PTRS Sonar_Zoom_View = SAME22("Sonar Zoom View");
const ARRAY_OF_STRING_PTRS Split_Sonar_View = SAME22("Split Sonar View");
const ARRAY_OF_STRING_PTRS Sideview_Sonar_Combo = SAME22("Side/Sonar Combo View");
const ARRAY_OF_STRING_PTRS Chart_View = SAME22("Chart View");
const ARRAY_OF_STRING_PTRS Birds_Eye_View = SAME22("Bird's Eye View");
const ARRAY_OF_STRING_PTRS Chart_Chart_Combo_View = SAME22("Chart/Chart Combo View");
const ARRAY_OF_STRING_PTRS Chart_Plus_Downrigger_View = SAME22("Chart/Downrigger View");
const ARRAY_OF_STRING_PTRS Chart_SatWeather_View = SAME22("Chart/Sat Weather View");
const ARRAY_OF_STRING_PTRS Chart_Birds_Eye_Combo_View = SAME22("Chart/Bird's Eye Combo View");
const ARRAY_OF_STRING_PTRS Chart_Sonar_Combo_View = SAME22("Chart/Sonar Combo View");
const ARRAY_OF_STRING_PTRS Radar_View = SAME22("Radar View");
const ARRAY_OF_STRING_PTRS Radar_Chart_Combo_View = SAME22("Radar/Chart Combo View");
const ARRAY_OF_STRING_PTRS Self_Test_LC = SAME22("Self Test");
const ARRAY_OF_STRING_PTRS Accessory_Test = SAME22("Accessory Test");
const ARRAY_OF_STRING_PTRS GPS_Diagnostic_View = SAME22("GPS Diagnostic View");
const ARRAY_OF_STRING_PTRS Snapshot_and_Recording_View = SAME22("Snapshot and Recording View");
const ARRAY_OF_STRING_PTRS Downrigger_View = SAME22("Downrigger View");
const ARRAY_OF_STRING_PTRS SatWeather_View = SAME22("Sat Weather View");
const ARRAY_OF_STRING_PTRS One_Engine_View = SAME22("NMEA2K One Engine View");
const ARRAY_OF_STRING_PTRS Engine_View = SAME22("NMEA2K Two Engine View");
const ARRAY_OF_STRING_PTRS Data_Box = SAME22("NMEA2K Data Box");
const ARRAY_OF_STRING_PTRS Gauge_View = SAME22("NMEA2K Gauge View");

constexpr LAYER_ID kMenuView = VIRTUAL_DISPLAY_VIEW_LAYER;

struct Family {
  const ARRAY_OF_STRING_PTRS *pTitle;
  MENU_PRIORITY order;
  MENU_TITLE aNames[1];
};
const Family kSonar = {&View_Sonar, MENU_PRIORITY_0, {&View_Sonar}};
const Family kChart = {&View_Chart, MENU_PRIORITY_1, {&View_Chart}};
const Family kRadar = {&View_Radar, MENU_PRIORITY_2, {&View_Radar}};
const Family kData = {&View_Data, MENU_PRIORITY_3, {&View_Data}};
const Family kSystem = {&View_System, MENU_PRIORITY_4, {&View_System}};

// The NMEA 2000 views, offered apart while their data is present.
struct DataView {
  const ARRAY_OF_STRING_PTRS *pEntry;
  FOURCHARID fcidVisible;
  MENU_PRIORITY order;
  CViewSelectMenu::pFun fun;
};
const DataView kDataViews[] = {
    {&One_Engine_View, FCID("IVN1"), static_cast<MENU_PRIORITY>(8),
     &CViewSelectMenu::vSetView<NMEA2K_ONEENGINE_VIEW, FCID("IVN1")>},
    {&Engine_View, FCID("IVNE"), static_cast<MENU_PRIORITY>(7),
     &CViewSelectMenu::vSetView<NMEA2K_ENGINE_VIEW, FCID("IVNE")>},
    {&Data_Box, FCID("IVND"), static_cast<MENU_PRIORITY>(5), &CViewSelectMenu::vSetView<NMEA2K_DATA_VIEW, FCID("IVND")>},
    {&Gauge_View, FCID("IVNG"), static_cast<MENU_PRIORITY>(6),
     &CViewSelectMenu::vSetView<NMEA2K_GAGUE_VIEW, FCID("IVNG")>},
};

bool bKeyTrue(FOURCHARID key, BOOLEAN *pbValid) {
  BOOLEAN bValue = FALSE;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchBoolean(key, &bValue, &bValid, nullptr)) {
    bValue = FALSE;
    bValid = FALSE;
  }
  if (pbValid != nullptr) *pbValid = bValid;
  return bValue != FALSE;
}

bool bQualifies(const CViewSelectMenu::VIEW &row) {
  BOOLEAN bValid = FALSE;
  return bKeyTrue(row.fcid, &bValid) && bValid && row.bRegistered;
}

void vAddFamily(const Family &family) {
  U_MENU_bRegisterHotSubMenuWithNoArrow(family.pTitle, nullptr, family.order, nullptr, family.aNames, nullptr, 1,
                                        M_BASIC, kMenuView, SPLIT_FULL_WINDOW);
}

#define VIEW_ROW(entry, family, layer, key) \
  {&entry, &family, static_cast<MENU_PRIORITY>(layer), &CViewSelectMenu::vSetView<layer, FCID(key)>, FCID(key), FALSE}

}  // namespace

// clang-format off
CViewSelectMenu::VIEW CViewSelectMenu::viewInfo[20] = {
    VIEW_ROW(Side_Beam_View, View_Sonar, SONAR_SIDEVIEW_AND_DOWN, "SVSB"),
    VIEW_ROW(Sonar_View, View_Sonar, SONAR_VIEW_PRIORITY, "SVSO"),
    VIEW_ROW(Sonar_Zoom_View, View_Sonar, SONAR_ZOOM_VIEW_PRIORITY, "SVSZ"),
    VIEW_ROW(Split_Sonar_View, View_Sonar, SONAR_DUAL_BEAM_VIEW_PRIORITY, "SVSS"),
    VIEW_ROW(Sideview_Sonar_Combo, View_Sonar, SONAR_SIDESCAN_PLUS_2D_PRIORITY, "SVS2"),
    VIEW_ROW(Chart_View, View_Chart, CHART_VIEW_PRIORITY, "SVNA"),
    VIEW_ROW(Birds_Eye_View, View_Chart, BIRDS_EYE_VIEW_PRIORITY, "SVHI"),
    VIEW_ROW(Chart_Chart_Combo_View, View_Chart, CHART_PLUS_CHART_VIEW_PRIORITY, "SVCC"),
    VIEW_ROW(Chart_Plus_Downrigger_View, View_Chart, CHART_PLUS_DOWNRIGGER_VIEW_PRIORITY, "SVDC"),
    VIEW_ROW(Chart_SatWeather_View, View_Chart, CHART_PLUS_SATWEATHER_VIEW_PRIORITY, "SVCW"),
    VIEW_ROW(Chart_Birds_Eye_Combo_View, View_Chart, CHART_PLUS_BIRDS_EYE_VIEW_PRIORITY, "SVCB"),
    VIEW_ROW(Chart_Sonar_Combo_View, View_Chart, CHART_PLUS_2D_VIEW_PRIORITY, "SVCO"),
    VIEW_ROW(Radar_View, View_Radar, RADAR_VIEW_PRIORITY, "SVRD"),
    VIEW_ROW(Radar_Chart_Combo_View, View_Radar, RADAR_PLUS_CHART_VIEW_PRIORITY, "SVRC"),
    VIEW_ROW(Self_Test_LC, View_System, DIAGNOSTIC_SELF_TEST, "SVST"),
    VIEW_ROW(Accessory_Test, View_System, DIAGNOSTIC_ACCESSORY_CATALOG, "SVAC"),
    VIEW_ROW(GPS_Diagnostic_View, View_System, DIAGNOSTIC_GPS_CARTOGRAPHY, "SVGD"),
    VIEW_ROW(Snapshot_and_Recording_View, View_System, CAPTURE_REVIEW_VIEW_PRIORITY, "SVCR"),
    VIEW_ROW(Downrigger_View, View_System, DOWNRIGGER_VIEW_PRIORITY, "SVDR"),
    VIEW_ROW(SatWeather_View, View_System, SATWEATHER_VIEW_PRIORITY, "SVWL"),
};
// clang-format on

CViewSelectMenu::CViewSelectMenu() : m_Fun(nullptr) {}

CViewSelectMenu::~CViewSelectMenu() {}

CViewSelectMenu *CViewSelectMenu::pGetInstance() {
  static CViewSelectMenu *s_pInstance = new CViewSelectMenu();
  return s_pInstance;
}

void CViewSelectMenu::vRegisterMenuItem() {
  U_MENU_bRegisterZephrinMenu(kMenuView, SPLIT_FULL_WINDOW);
  for (const Family *pFamily : {&kSonar, &kChart, &kRadar, &kSystem}) {
    for (const VIEW &row : viewInfo) {
      if (row.pParentMenuItem == pFamily->pTitle && bQualifies(row)) {
        vAddFamily(*pFamily);
        break;
      }
    }
  }
  for (const VIEW &row : viewInfo) {
    if (!bQualifies(row)) continue;
    U_MENU_bRegisterHotSubMenuActionMenu(row.pSubMenuItem, row.pParentMenuItem, nullptr, row.pri, row.fun, FALSE,
                                         M_BASIC);
  }
  U32 u32Seen = 0;
  if (!H_DATABASE_bFetchU32(FCID("SNID"), &u32Seen, nullptr, nullptr) || u32Seen != 1) return;
  bool abShown[4] = {};
  bool bAnyValid = false;
  for (int i = 0; i < 4; ++i) {
    BOOLEAN bValid = FALSE;
    abShown[i] = bKeyTrue(kDataViews[i].fcidVisible, &bValid);
    bAnyValid = bAnyValid || bValid;
  }
  if (!bAnyValid) return;
  vAddFamily(kData);
  for (int i = 0; i < 4; ++i) {
    if (!abShown[i]) continue;
    U_MENU_bRegisterHotSubMenuActionMenu(kDataViews[i].pEntry, &View_Data, nullptr, kDataViews[i].order,
                                         kDataViews[i].fun, FALSE, M_BASIC);
  }
}

void CViewSelectMenu::vUnRegisterMenuItem() {
  for (const VIEW &row : viewInfo) U_MENU_bUnregisterSubMenuItem(row.pParentMenuItem, row.pSubMenuItem);
  for (int i : {1, 0, 2, 3}) U_MENU_bUnregisterSubMenuItem(&View_Data, kDataViews[i].pEntry);
  for (const Family *pFamily : {&kSonar, &kChart, &kRadar, &kData, &kSystem}) {
    U_MENU_bUnregisterHotMenuItem(pFamily->pTitle, kMenuView, SPLIT_FULL_WINDOW);
  }
}

void CViewSelectMenu::vSetViewRegisteration(U32 LayerID, BOOLEAN bRegister) {
  for (VIEW &row : viewInfo) {
    if (static_cast<U32>(row.pri) == LayerID) row.bRegistered = bRegister;
  }
}

template <LAYER_ID layer, FOURCHARID key>
void CViewSelectMenu::vSetView() {
  if (!T_VIEW_bIsLayerActive(layer)) {
    L_SEMA_Signal(SEMA_KEYCLICK_BAD);
    return;
  }
  auto *pMsg = static_cast<MSG_SET_VIEW *>(H_MEMORY_pvCalloc(1, sizeof(MSG_SET_VIEW)));
  pMsg->header.Cmd = CMD_ID_SET_VIEW;
  pMsg->layer = static_cast<U32>(layer);
  H_DATABASE_bUpdateValueBoolean(key, TRUE, P_NORMAL);
  L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
  L_MBOX_Send(M_VIEW, pMsg, NORMAL_PRIORITY, 0);
  U_MENU_vClearMenus();
}

BOOLEAN bMoreThenOneEngine(void) { return TRUE; }

void SELECT_VIEW_vResetForTest(void) {
  CViewSelectMenu *pMenu = CViewSelectMenu::pGetInstance();
  for (int layer = 0; layer < 400; ++layer) pMenu->vSetViewRegisteration(static_cast<U32>(layer), FALSE);
}

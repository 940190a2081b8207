// Setting profiles of the sonar and chart settings.
#include "settings/profile.h"

#include <iterator>
#include <mutex>

#include "chart/chart_layer.h"
#include "kernel/log.h"

namespace {

// Rows in profile order: the setting's key and the item number of its persistence key.
struct RowDef {
  FOURCHARID fcid;
  U8 u8Item;
};

const RowDef s_aSonarRows[SONAR_PROFILE_ROWS] = {
    {FCID("YTVG"), 21}, {FCID("SSIN"), 22}, {FCID("SSBL"), 23}, {FCID("YSNF"), 24}, {FCID("YSMD"), 58},
    {FCID("YSWA"), 59}, {FCID("SRPS"), 25}, {FCID("YSFI"), 26}, {FCID("YSFS"), 27}, {FCID("YUDP"), 28},
    {FCID("SSSP"), 29}, {FCID("SSS2"), 30}, {FCID("SSQL"), 31}, {FCID("SSBV"), 32}, {FCID("SSZW"), 33},
    {FCID("SSDL"), 34}, {FCID("SSCL"), 35}, {FCID("SSPL"), 36}, {FCID("SSWV"), 37}, {FCID("SSSS"), 38},
    {FCID("SSSN"), 39}, {FCID("SSSL"), 40}, {FCID("SITM"), 41}, {FCID("SSSC"), 42}, {FCID("SDSS"), 43},
    {FCID("SDSN"), 44}, {FCID("SDSL"), 45}, {FCID("SDSC"), 47}, {FCID("SDSC"), 49}, {FCID("SSS8"), 50},
    {FCID("SSS4"), 51}, {FCID("SSRW"), 52}, {FCID("YSSR"), 53}, {FCID("YSLD"), 54}, {FCID("YDPO"), 55},
    {FCID("SSUD"), 56}, {FCID("SSBR"), 57},
};

const RowDef s_aChartRows[CHART_PROFILE_ROWS] = {
    {FCID("SNWD"), 1},  {FCID("SNCM"), 2},  {FCID("SCLG"), 3},  {FCID("SCSS"), 4},  {FCID("SCTC"), 5},
    {FCID("SNUP"), 6},  {FCID("SAZM"), 7},  {FCID("SARS"), 8},  {FCID("SLAY"), 9},  {FCID("SCOR"), 10},
    {FCID("SUHD"), 11}, {FCID("SDTM"), 12}, {FCID("SCCP"), 13}, {FCID("SCSN"), 14}, {FCID("SCDL"), 15},
    {FCID("SCMB"), 16}, {FCID("SVOS"), 17}, {FCID("SNGA"), 18}, {FCID("SCSD"), 19}, {FCID("SNOS"), 20},
};

constexpr U32 kChartLayerRow = 8;  // SLAY

const FCID_MENU_PRIORITY_PAIR s_aSonarMenuMap[] = {
    {FCID("YTVG"), MENU_SONAR_TVG_SELECT},
    {FCID("SSBL"), MENU_SONAR_BOTTOM_LOCK_ZOOM},
    {FCID("YSNF"), MENU_NOISE_FILTER},
    {FCID("SRPS"), MENU_PING_RATE},
    {FCID("YSFI"), MENU_FISH_ID},
    {FCID("YSFS"), MENU_FISH_ID_SENSITIVITY},
    {FCID("YUDP"), MENU_UNITS_DEPTH},
    {FCID("SSSP"), MENU_SONAR_SPEED},
    {FCID("SSS2"), MENU_SENSITIVITY},
    {FCID("SSQL"), MENU_QUAD_LAYOUT},
    {FCID("SSBV"), MENU_BOTTOM_VIEW_ZEPHRIN},
    {FCID("SSZW"), MENU_ZOOM_WIDTH_WINDOW},
    {FCID("SSDL"), MENU_DEPTH_LINES},
    {FCID("SSCL"), MENU_SURFACE_CLUTTER},
    {FCID("SSPL"), MENU_SONAR_COLORS},
    {FCID("SSSS"), MENU_SIDESCAN_SENSITIVITY},
    {FCID("SSSS"), MENU_SIDESCAN_SENSITIVITY_CHART_PLUS_ZF_VIEW},
    {FCID("SSSC"), MENU_SIDE_VIEW_SONAR_COLORS},
    {FCID("SSS8"), MENU_83KHZ_SENSITIVITY},
    {FCID("SSS4"), MENU_455KHZ_QB_SENSITIVITY},
    {FCID("SSRW"), MENU_LIVE_WINDOW},
    {FCID("YSSR"), MENU_SIDEBEAM_RANGE},
    {FCID("YSLD"), MENU_LOWER_DEPTH},
    {FCID("YDPO"), MENU_DEPTH_OFFSET},
    {FCID("SSUD"), MENU_UPPER_DEPTH},
    {FCID("SSBR"), MENU_SONAR_ZOOM},
    {FCID("YSMD"), MENU_MAX_DEPTH_TO_PING},
    {FCID("YSWA"), MENU_WATER_TYPE},
};

const FCID_MENU_PRIORITY_PAIR s_aChartMenuMap[] = {
    {FCID("SNWD"), MENU_WAYPOINT_DECLUTTERING},
    {FCID("SNCM"), MENU_CONT_NAV_MODE},
    {FCID("SCLG"), MENU_LAT_LON_GRID},
    {FCID("SCSS"), MENU_SPOT_SOUNDINGS},
    {FCID("SCOR"), MENU_CHART_ORIENTATION},
    {FCID("SUHD"), MENU_NORTH_REFERENCE},
    {FCID("SDTM"), MENU_MAP_DATUM},
    {FCID("SCCP"), MENU_COURSE_PROJECTION_LINE},
    {FCID("SCSN"), MENU_NAVAIDS_ON_BIRDS_EYE_VIEW},
    {FCID("SCDL"), MENU_CHART_DETAIL_LEVEL},
    {FCID("SCMB"), MENU_MAP_BORDERS},
    {FCID("SNGA"), MENU_GRID_ROTATION},
    {FCID("SCSD"), MENU_SHADED_DEPTH},
    {FCID("SNUP"), MENU_NORTH_UP_INDICATOR},
    {FCID("SAZM"), MENU_AUTO_ZOOM},
    {FCID("SARS"), MENU_AUTO_RANGE},
    {FCID("SVOS"), MENU_VESSEL_OFFSET},
    {FCID("SNOS"), MENU_OFFSET_SPEED},
};

// Settings changed outside the menus and their sonar rows; SSMD and SSWA live in the rows of their working
// twins YSMD and YSWA.
const struct {
  FOURCHARID fcid;
  U32 u32Row;
} s_aSonarNonMenuRows[] = {
    {FCID("SSMD"), 4},  {FCID("SSWA"), 5},  {FCID("SSSS"), 19}, {FCID("SSSN"), 20}, {FCID("SSSL"), 21},
    {FCID("SITM"), 22}, {FCID("SDSS"), 24}, {FCID("SDSN"), 25}, {FCID("SDSL"), 26}, {FCID("SDSC"), 27},
};

// The chart rows read by each set-default operation; together every row once.
const U32 s_au32NavDefaultRows[] = {0, 1, 4, 5, 6, 7, 12, 15, 16, 17, 18, 19};
const U32 s_au32ChartDefaultRows[] = {2, 3, 9, 10, 11, 13, 14};
const U32 s_au32ChartLayerDefaultRows[] = {kChartLayerRow};

std::mutex s_mutex;

SONAR_PROFILE_TYPE s_SonarProfileDefault;
CHART_PROFILE_TYPE s_ChartProfileDefault;
SONAR_PROFILE_TYPE s_SonarProfiles[PROFILE_COUNT];
CHART_PROFILE_TYPE s_ChartProfiles[PROFILE_COUNT];
SONAR_PROFILE_TYPE *s_pCurrentSonarProfile = nullptr;
CHART_PROFILE_TYPE *s_pCurrentChartProfile = nullptr;
SONAR_PROFILE_TYPE *s_pNextSonarProfile = nullptr;
CHART_PROFILE_TYPE *s_pNextChartProfile = nullptr;

// What the sonar and the chart profiles differ in.
template <typename PROFILE>
struct Kind {
  const char *pcName;
  const RowDef *pRows;
  FOURCHARID fcidNumber;  // SUPS / SUPC
  PROFILE *pTemplate;
  PROFILE *pProfiles;
  PROFILE **ppCurrent;
  PROFILE **ppNext;
  const FCID_MENU_PRIORITY_PAIR *pMenuMap;
  size_t uMenuMapSize;
};

const Kind<SONAR_PROFILE_TYPE> s_Sonar = {
    "sonar", s_aSonarRows, FCID("SUPS"), &s_SonarProfileDefault, s_SonarProfiles, &s_pCurrentSonarProfile,
    &s_pNextSonarProfile, s_aSonarMenuMap, std::size(s_aSonarMenuMap)};
const Kind<CHART_PROFILE_TYPE> s_Chart = {
    "chart", s_aChartRows, FCID("SUPC"), &s_ChartProfileDefault, s_ChartProfiles, &s_pCurrentChartProfile,
    &s_pNextChartProfile, s_aChartMenuMap, std::size(s_aChartMenuMap)};

template <typename PROFILE>
constexpr U32 rowsOf() {
  return static_cast<U32>(std::size(PROFILE{}.Settings));
}

// Profile values are 32 bits; the wider host union is cleared above them.
DB_DATA_TYPE value32(DB_DATA_TYPE value) {
  DB_DATA_TYPE result;
  result.RawData = 0;
  result.u32Val = value.u32Val;
  return result;
}

DB_DATA_TYPE u32Value(U32 u32Value) {
  DB_DATA_TYPE result;
  result.RawData = 0;
  result.u32Val = u32Value;
  return result;
}

FOURCHARID persistenceKey(U32 u32Profile, U8 u8Item) {
  const char acKey[5] = {'S', static_cast<char>('1' + u32Profile), static_cast<char>('0' + u8Item / 10),
                         static_cast<char>('0' + u8Item % 10), '\0'};
  return FCID(acKey);
}

// The store's value of a key into *pValue; an absent key leaves it.
void readInto(FOURCHARID fcid, DB_DATA_TYPE *pValue) {
  DB_DATA_TYPE value;
  value.RawData = 0;
  if (H_DATABASE_bFetch(fcid, &value, nullptr, nullptr)) *pValue = value32(value);
}

// Rows that repeat an earlier row's key are never saved into, so they are not applied either: the first row
// of a key is the one that follows the setting.
template <typename PROFILE>
bool isFirstRowOfKey(const Kind<PROFILE> &kind, U32 u32Row) {
  for (U32 u32Earlier = 0; u32Earlier < u32Row; ++u32Earlier) {
    if (kind.pRows[u32Earlier].fcid == kind.pRows[u32Row].fcid) return false;
  }
  return true;
}

template <typename PROFILE>
void initialiseTemplate(const Kind<PROFILE> &kind) {
  for (U32 u32Row = 0; u32Row < rowsOf<PROFILE>(); ++u32Row) {
    kind.pTemplate->Settings[u32Row].fcid = kind.pRows[u32Row].fcid;
    kind.pTemplate->Settings[u32Row].value = u32Value(0);
  }
}

void initialiseTemplates() {
  initialiseTemplate(s_Sonar);
  initialiseTemplate(s_Chart);
  s_ChartProfileDefault.Settings[kChartLayerRow].value = u32Value(0xFFFFFFFFu);
  s_ChartProfileDefault.Settings[19].value = u32Value(2);  // SNOS
}

// Templates are ready before any caller can reach them.
const bool s_bTemplatesReady = (initialiseTemplates(), true);

template <typename PROFILE, size_t N>
void readDefaults(const Kind<PROFILE> &kind, const U32 (&au32Rows)[N]) {
  std::lock_guard<std::mutex> lock(s_mutex);
  for (U32 u32Row : au32Rows) readInto(kind.pRows[u32Row].fcid, &kind.pTemplate->Settings[u32Row].value);
}

template <typename PROFILE>
BOOLEAN load(const Kind<PROFILE> &kind) {
  std::lock_guard<std::mutex> lock(s_mutex);
  for (U32 u32Profile = 0; u32Profile < PROFILE_COUNT; ++u32Profile) {
    PROFILE &profile = kind.pProfiles[u32Profile];
    profile = *kind.pTemplate;
    for (U32 u32Row = 0; u32Row < rowsOf<PROFILE>(); ++u32Row) {
      readInto(persistenceKey(u32Profile, kind.pRows[u32Row].u8Item), &profile.Settings[u32Row].value);
    }
  }
  U32 u32Number = 0;
  if (H_DATABASE_bFetchU32(kind.fcidNumber, &u32Number, nullptr, nullptr) && u32Number >= PROFILE_COUNT) {
    log_me("%s profile number %u out of range; profile 0 is used", kind.pcName, static_cast<unsigned>(u32Number));
    u32Number = 0;
  }
  *kind.ppCurrent = &kind.pProfiles[u32Number];
  *kind.ppNext = nullptr;
  return TRUE;
}

template <typename PROFILE>
BOOLEAN save(const Kind<PROFILE> &kind) {
  std::lock_guard<std::mutex> lock(s_mutex);
  for (U32 u32Profile = 0; u32Profile < PROFILE_COUNT; ++u32Profile) {
    for (U32 u32Row = 0; u32Row < rowsOf<PROFILE>(); ++u32Row) {
      H_DATABASE_bUpdateValue(persistenceKey(u32Profile, kind.pRows[u32Row].u8Item),
                              kind.pProfiles[u32Profile].Settings[u32Row].value, P_NORMAL);
    }
  }
  return TRUE;
}

template <typename PROFILE>
BOOLEAN reset(const Kind<PROFILE> &kind) {
  std::lock_guard<std::mutex> lock(s_mutex);
  for (U32 u32Profile = 0; u32Profile < PROFILE_COUNT; ++u32Profile) kind.pProfiles[u32Profile] = *kind.pTemplate;
  return TRUE;
}

// Sets the first row of the current profile that holds the key; caller holds the lock.
template <typename PROFILE>
BOOLEAN setRowOfKey(const Kind<PROFILE> &kind, FOURCHARID fcid, DB_DATA_TYPE value) {
  for (FCID_DB_PAIR &pair : (*kind.ppCurrent)->Settings) {
    if (pair.fcid == fcid) {
      pair.value = value32(value);
      return TRUE;
    }
  }
  return FALSE;
}

template <typename PROFILE>
BOOLEAN saveMenuSetting(const Kind<PROFILE> &kind, MENU_PRIORITY priority, DB_DATA_TYPE value) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (*kind.ppCurrent == nullptr) return FALSE;
  for (size_t u = 0; u < kind.uMenuMapSize; ++u) {
    if (kind.pMenuMap[u].priority == priority) return setRowOfKey(kind, kind.pMenuMap[u].fcid, value);
  }
  return FALSE;
}

template <typename PROFILE>
BOOLEAN saveNonMenuRow(const Kind<PROFILE> &kind, U32 u32Row, DB_DATA_TYPE value) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (*kind.ppCurrent == nullptr) return FALSE;
  if (u32Row < rowsOf<PROFILE>()) (*kind.ppCurrent)->Settings[u32Row].value = value32(value);
  return TRUE;
}

template <typename PROFILE>
BOOLEAN update(const Kind<PROFILE> &kind, U32 nSelectProfile, void (*pfnAfterWrites)()) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (*kind.ppCurrent == nullptr) return FALSE;
  if (nSelectProfile >= PROFILE_COUNT) {
    log_me("%s profile %u does not exist", kind.pcName, static_cast<unsigned>(nSelectProfile));
    return FALSE;
  }
  PROFILE *pNext = &kind.pProfiles[nSelectProfile];
  if (pNext == *kind.ppCurrent) return TRUE;  // nothing changes, nothing is written
  *kind.ppNext = pNext;
  const PROFILE *pCurrent = *kind.ppCurrent;
  for (U32 u32Row = 0; u32Row < rowsOf<PROFILE>(); ++u32Row) {
    if (!isFirstRowOfKey(kind, u32Row)) continue;
    const FCID_DB_PAIR &next = pNext->Settings[u32Row];
    if (next.value.u32Val != pCurrent->Settings[u32Row].value.u32Val) {
      H_DATABASE_bUpdateValue(next.fcid, next.value, P_NORMAL);
    }
  }
  if (pfnAfterWrites != nullptr) pfnAfterWrites();
  *kind.ppCurrent = pNext;
  *kind.ppNext = nullptr;
  // The number follows the switch so that the next load picks the profile whose values are in the settings.
  H_DATABASE_bUpdateValueU32(kind.fcidNumber, nSelectProfile, P_NORMAL);
  return TRUE;
}

template <typename PROFILE>
BOOLEAN restore(const Kind<PROFILE> &kind) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (*kind.ppCurrent == nullptr) return FALSE;
  for (U32 u32Row = 0; u32Row < rowsOf<PROFILE>(); ++u32Row) {
    if (!isFirstRowOfKey(kind, u32Row)) continue;
    const FCID_DB_PAIR &row = (*kind.ppCurrent)->Settings[u32Row];
    if (row.value.u32Val != kind.pTemplate->Settings[u32Row].value.u32Val) {
      H_DATABASE_bUpdateValue(row.fcid, row.value, P_NORMAL);
    }
  }
  return TRUE;
}

void rederiveChartLayers() { T_CHART_LAYER_vSetupDatabaseItems(FALSE); }

}  // namespace

void H_PROFILE_vSetSonarDefaultValue(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  for (U32 u32Row = 0; u32Row < SONAR_PROFILE_ROWS; ++u32Row) {
    readInto(s_aSonarRows[u32Row].fcid, &s_SonarProfileDefault.Settings[u32Row].value);
  }
}
void H_PROFILE_vSetNavDefaultValue(void) { readDefaults(s_Chart, s_au32NavDefaultRows); }
void H_PROFILE_vSetChartDefaultValue(void) { readDefaults(s_Chart, s_au32ChartDefaultRows); }
void H_PROFILE_vSetChartLayerDefaultValue(void) { readDefaults(s_Chart, s_au32ChartLayerDefaultRows); }

BOOLEAN H_PROFILE_bLoadSonarProfile(void) { return load(s_Sonar); }
BOOLEAN H_PROFILE_bLoadChartProfile(void) { return load(s_Chart); }
BOOLEAN H_PROFILE_bSaveSonarProfile(void) { return save(s_Sonar); }
BOOLEAN H_PROFILE_bSaveChartProfile(void) { return save(s_Chart); }
BOOLEAN H_PROFILE_bResetSonarMenuSetting(void) { return reset(s_Sonar); }
BOOLEAN H_PROFILE_bResetChartMenuSetting(void) { return reset(s_Chart); }

BOOLEAN H_PROFILE_bSaveSonarMenuSetting(MENU_PRIORITY priority, DB_DATA_TYPE value) {
  return saveMenuSetting(s_Sonar, priority, value);
}
BOOLEAN H_PROFILE_bSaveChartMenuSetting(MENU_PRIORITY priority, DB_DATA_TYPE value) {
  return saveMenuSetting(s_Chart, priority, value);
}

BOOLEAN H_PROFILE_bSaveSonarNonMenuSetting(FOURCHARID fcid, DB_DATA_TYPE value) {
  U32 u32Row = SONAR_PROFILE_ROWS;  // ignored key
  for (const auto &map : s_aSonarNonMenuRows) {
    if (map.fcid == fcid) {
      u32Row = map.u32Row;
      break;
    }
  }
  return saveNonMenuRow(s_Sonar, u32Row, value);
}

BOOLEAN H_PROFILE_bSaveChartNonMenuSetting(FOURCHARID fcid, DB_DATA_TYPE value) {
  return saveNonMenuRow(s_Chart, fcid == FCID("SLAY") ? kChartLayerRow : CHART_PROFILE_ROWS, value);
}

BOOLEAN H_PROFILE_bUpdateSonarMenuSetting(U32 nSelectProfile) { return update(s_Sonar, nSelectProfile, nullptr); }
BOOLEAN H_PROFILE_bUpdateChartMenuSetting(U32 nSelectProfile) {
  return update(s_Chart, nSelectProfile, rederiveChartLayers);
}
BOOLEAN H_PROFILE_bRestoreSonarMenuSetting(void) { return restore(s_Sonar); }
BOOLEAN H_PROFILE_bRestoreChartMenuSetting(void) { return restore(s_Chart); }

void H_PROFILE_vResetForTest(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  initialiseTemplates();
  for (U32 u32Profile = 0; u32Profile < PROFILE_COUNT; ++u32Profile) {
    s_SonarProfiles[u32Profile] = {};
    s_ChartProfiles[u32Profile] = {};
  }
  s_pCurrentSonarProfile = s_pNextSonarProfile = nullptr;
  s_pCurrentChartProfile = s_pNextChartProfile = nullptr;
}

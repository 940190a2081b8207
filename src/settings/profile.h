// Setting profiles: three sonar and three chart snapshots of a group of settings that the user switches between
// as a whole. They persist in the keys "S<profile 1..3><item 01..59>" and are applied by writing their values
// into the settings' own keys.
#pragma once
#include "settings/database.h"
#include "corvan/types.h"
#include "ui/menu/menu_priority.h"

constexpr U32 PROFILE_COUNT = 3;
constexpr U32 SONAR_PROFILE_ROWS = 37;
constexpr U32 CHART_PROFILE_ROWS = 20;

typedef struct {
  FOURCHARID fcid;
  DB_DATA_TYPE value;
} FCID_DB_PAIR;

typedef struct {
  FCID_DB_PAIR Settings[SONAR_PROFILE_ROWS];
} SONAR_PROFILE_TYPE;

typedef struct {
  FCID_DB_PAIR Settings[CHART_PROFILE_ROWS];
} CHART_PROFILE_TYPE;

typedef struct {
  FOURCHARID fcid;
  MENU_PRIORITY priority;
} FCID_MENU_PRIORITY_PAIR;

// The defaults: each reads the store's current value of its rows into the template (absent keys keep theirs).
void H_PROFILE_vSetSonarDefaultValue(void);
void H_PROFILE_vSetNavDefaultValue(void);
void H_PROFILE_vSetChartDefaultValue(void);
void H_PROFILE_vSetChartLayerDefaultValue(void);

// All three profiles from the template and their persistence keys; the profile named by SUPS / SUPC becomes
// current (profile 0 when the number is missing or out of range).
BOOLEAN H_PROFILE_bLoadSonarProfile(void);
BOOLEAN H_PROFILE_bLoadChartProfile(void);
// Every row of the three profiles to its persistence key.
BOOLEAN H_PROFILE_bSaveSonarProfile(void);
BOOLEAN H_PROFILE_bSaveChartProfile(void);
// The template into all three profiles.
BOOLEAN H_PROFILE_bResetSonarMenuSetting(void);
BOOLEAN H_PROFILE_bResetChartMenuSetting(void);

// A menu control changed a setting: the row of its key in the current profile takes the value. FALSE for a
// control without a row or when no profile is current.
BOOLEAN H_PROFILE_bSaveSonarMenuSetting(MENU_PRIORITY priority, DB_DATA_TYPE value);
BOOLEAN H_PROFILE_bSaveChartMenuSetting(MENU_PRIORITY priority, DB_DATA_TYPE value);
// A setting changed outside the menus; keys without a row are ignored. FALSE only when no profile is current.
BOOLEAN H_PROFILE_bSaveSonarNonMenuSetting(FOURCHARID fcid, DB_DATA_TYPE value);
BOOLEAN H_PROFILE_bSaveChartNonMenuSetting(FOURCHARID fcid, DB_DATA_TYPE value);

// Switches to profile nSelectProfile (0 to 2), writing only the settings that differ; FALSE when no profile is
// current or the number is out of range.
BOOLEAN H_PROFILE_bUpdateSonarMenuSetting(U32 nSelectProfile);
BOOLEAN H_PROFILE_bUpdateChartMenuSetting(U32 nSelectProfile);
// After the settings were reset: writes the rows of the current profile that differ from the defaults. FALSE
// when no profile is current.
BOOLEAN H_PROFILE_bRestoreSonarMenuSetting(void);
BOOLEAN H_PROFILE_bRestoreChartMenuSetting(void);

// Tests: templates back to their initial values, no profile loaded.
void H_PROFILE_vResetForTest(void);

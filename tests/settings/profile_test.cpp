#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "settings/profile.h"
#include "settings_fixture.h"

namespace {

constexpr MBOX kWatcher = M_NAV;  // a mailbox whose task does not run in these tests

const char *const kSonarKeys[SONAR_PROFILE_ROWS] = {
    "YTVG", "SSIN", "SSBL", "YSNF", "YSMD", "YSWA", "SRPS", "YSFI", "YSFS", "YUDP", "SSSP", "SSS2", "SSQL",
    "SSBV", "SSZW", "SSDL", "SSCL", "SSPL", "SSWV", "SSSS", "SSSN", "SSSL", "SITM", "SSSC", "SDSS", "SDSN",
    "SDSL", "SDSC", "SDSC", "SSS8", "SSS4", "SSRW", "YSSR", "YSLD", "YDPO", "SSUD", "SSBR"};
const U32 kSonarItems[SONAR_PROFILE_ROWS] = {21, 22, 23, 24, 58, 59, 25, 26, 27, 28, 29, 30, 31,
                                             32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44,
                                             45, 47, 49, 50, 51, 52, 53, 54, 55, 56, 57};
const char *const kChartKeys[CHART_PROFILE_ROWS] = {"SNWD", "SNCM", "SCLG", "SCSS", "SCTC", "SNUP", "SAZM",
                                                    "SARS", "SLAY", "SCOR", "SUHD", "SDTM", "SCCP", "SCSN",
                                                    "SCDL", "SCMB", "SVOS", "SNGA", "SCSD", "SNOS"};

FOURCHARID key(const std::string &s) {
  char ac[5] = {s[0], s[1], s[2], s[3], '\0'};
  return FCID(ac);
}

FOURCHARID persistenceKey(U32 u32Profile, U32 u32Item) {
  char ac[5];
  snprintf(ac, sizeof ac, "S%u%02u", u32Profile + 1, u32Item % 100u);
  return FCID(ac);
}

U32 fetch(FOURCHARID fcid, U32 u32Missing = 0xDEADBEEF) {
  U32 u32Value = 0;
  return H_DATABASE_bFetchU32(fcid, &u32Value, nullptr, nullptr) ? u32Value : u32Missing;
}

DB_DATA_TYPE value(U32 u32) {
  DB_DATA_TYPE v;
  v.RawData = 0;
  v.u32Val = u32;
  return v;
}

// The rows of one profile as the save writes them into its persistence keys.
std::vector<U32> savedSonar(U32 u32Profile) {
  EXPECT_TRUE(H_PROFILE_bSaveSonarProfile());
  std::vector<U32> rows;
  for (U32 item : kSonarItems) rows.push_back(fetch(persistenceKey(u32Profile, item)));
  return rows;
}
std::vector<U32> savedChart(U32 u32Profile) {
  EXPECT_TRUE(H_PROFILE_bSaveChartProfile());
  std::vector<U32> rows;
  for (U32 row = 0; row < CHART_PROFILE_ROWS; ++row) rows.push_back(fetch(persistenceKey(u32Profile, row + 1)));
  return rows;
}

std::vector<U32> chartTemplate() {
  std::vector<U32> rows(CHART_PROFILE_ROWS, 0);
  rows[8] = 0xFFFFFFFFu;  // SLAY
  rows[19] = 2;           // SNOS
  return rows;
}

// Keys of the notices that reached the watcher.
std::vector<std::string> drain() {
  std::vector<std::string> keys;
  while (void *pv = L_MBOX_Receive(kWatcher)) {
    const FOURCHARID id = static_cast<MESSAGE_NEW_DATA *>(pv)->FourCharId;
    keys.push_back(std::string{static_cast<char>(id), static_cast<char>(id >> 8), static_cast<char>(id >> 16),
                               static_cast<char>(id >> 24)});
    H_MEMORY_vDumpMail(pv);
  }
  return keys;
}

void watchOnUpdate(const std::vector<std::string> &keys) {
  for (const auto &s : keys) H_DATABASE_bRegisterForDataWithConditions(key(s), kWatcher, TRUE, TRUE, TRUE);
}

// Every key a profile operation could write.
std::vector<std::string> allProfileKeys() {
  std::vector<std::string> keys(std::begin(kSonarKeys), std::end(kSonarKeys));
  keys.insert(keys.end(), std::begin(kChartKeys), std::end(kChartKeys));
  for (const char *pc : {"SUPS", "SUPC", "SSMD", "SSWA"}) keys.push_back(pc);
  for (int n = 0; n < 28; ++n) keys.push_back("JL" + std::string(n < 10 ? "0" : "") + std::to_string(n));
  return keys;
}

// Marks every key the profiles touch as never written, without growing the store.
void forgetAll() {
  for (const auto &s : allProfileKeys()) H_DATABASE_vDeleteEntry(key(s));
  for (U32 p = 0; p < PROFILE_COUNT; ++p) {
    for (U32 item = 1; item <= 59; ++item) H_DATABASE_vDeleteEntry(persistenceKey(p, item));
  }
  H_PROFILE_vResetForTest();
}

class ProfileTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    H_PROFILE_vResetForTest();
  }
  void TearDown() override {
    drain();
    SettingsTest::TearDown();
  }
};

// Without persistence keys every profile is the template; SUPS / SUPC pick the current one (0 when missing or
// out of range), seen through which profile a menu save lands in.
TEST_F(ProfileTest, LoadWithoutPersistenceKeysGivesTheTemplateAndTheNamedProfile) {
  struct Row {
    bool bStored;
    U32 u32Number;
    U32 u32Current;
  } rows[] = {{false, 0, 0}, {true, 0, 0}, {true, 1, 1}, {true, 2, 2}, {true, 3, 0}, {true, 0xFFFFFFFFu, 0}};
  for (const Row &row : rows) {
    SCOPED_TRACE(row.u32Number);
    forgetAll();
    if (row.bStored) {
      H_DATABASE_bUpdateValueU32(FCID("SUPS"), row.u32Number, P_NVR);
      H_DATABASE_bUpdateValueU32(FCID("SUPC"), row.u32Number, P_NVR);
    }
    ASSERT_TRUE(H_PROFILE_bLoadSonarProfile());
    ASSERT_TRUE(H_PROFILE_bLoadChartProfile());
    for (U32 p = 0; p < PROFILE_COUNT; ++p) {
      EXPECT_EQ(savedSonar(p), std::vector<U32>(SONAR_PROFILE_ROWS, 0));
      EXPECT_EQ(savedChart(p), chartTemplate());
    }
    EXPECT_TRUE(H_PROFILE_bSaveSonarMenuSetting(MENU_PING_RATE, value(7)));
    EXPECT_TRUE(H_PROFILE_bSaveChartMenuSetting(MENU_MAP_DATUM, value(9)));
    for (U32 p = 0; p < PROFILE_COUNT; ++p) {
      EXPECT_EQ(savedSonar(p)[6], p == row.u32Current ? 7u : 0u) << "profile " << p;
      EXPECT_EQ(savedChart(p)[11], p == row.u32Current ? 9u : 0u) << "profile " << p;
    }
  }
}

TEST_F(ProfileTest, LoadTakesPersistedRowsOverTheTemplate) {
  H_DATABASE_bUpdateValueU32(FCID("SSSC"), 4, P_NORMAL);
  H_PROFILE_vSetSonarDefaultValue();
  H_DATABASE_bUpdateValueU32(persistenceKey(1, 42), 6, P_NVR);  // profile 2, SSSC
  H_DATABASE_bUpdateValueU32(persistenceKey(2, 9), 0x55, P_NVR);  // profile 3, SLAY
  ASSERT_TRUE(H_PROFILE_bLoadSonarProfile());
  ASSERT_TRUE(H_PROFILE_bLoadChartProfile());
  EXPECT_EQ(savedSonar(0)[23], 4u);
  EXPECT_EQ(savedSonar(1)[23], 6u);
  EXPECT_EQ(savedChart(2)[8], 0x55u);
  EXPECT_EQ(savedChart(0)[8], 0xFFFFFFFFu);
}

TEST_F(ProfileTest, SwitchingToTheCurrentProfileWritesNothing) {
  watchOnUpdate(allProfileKeys());
  for (U32 u32Current = 0; u32Current < PROFILE_COUNT; ++u32Current) {
    SCOPED_TRACE(u32Current);
    forgetAll();
    H_DATABASE_bUpdateValueU32(FCID("SUPS"), u32Current, P_NVR);
    H_DATABASE_bUpdateValueU32(FCID("SUPC"), u32Current, P_NVR);
    H_DATABASE_bUpdateValueU32(persistenceKey(u32Current, 29), 3, P_NVR);  // differs from the other profiles
    H_DATABASE_bUpdateValueU32(persistenceKey(u32Current, 9), 0x0F, P_NVR);
    ASSERT_TRUE(H_PROFILE_bLoadSonarProfile());
    ASSERT_TRUE(H_PROFILE_bLoadChartProfile());
    drain();  // the set-up's own writes
    EXPECT_TRUE(H_PROFILE_bUpdateSonarMenuSetting(u32Current));
    EXPECT_TRUE(H_PROFILE_bUpdateChartMenuSetting(u32Current));
    EXPECT_EQ(drain(), std::vector<std::string>{});
  }
}

TEST_F(ProfileTest, SwitchingWritesOnlyTheRowsThatDiffer) {
  H_DATABASE_bUpdateValueU32(persistenceKey(1, 29), 5, P_NVR);     // profile 2 SSSP
  H_DATABASE_bUpdateValueU32(persistenceKey(1, 58), 40, P_NVR);    // profile 2 YSMD
  H_DATABASE_bUpdateValueU32(persistenceKey(1, 49), 8, P_NVR);     // profile 2, second SDSC row
  H_DATABASE_bUpdateValueU32(persistenceKey(1, 9), 0x0Fu, P_NVR);  // profile 2 SLAY
  H_DATABASE_bUpdateValueU32(persistenceKey(1, 12), 3, P_NVR);     // profile 2 SDTM
  H_DATABASE_bUpdateValueU32(FCID("SDSC"), 1, P_NORMAL);
  ASSERT_TRUE(H_PROFILE_bLoadSonarProfile());
  ASSERT_TRUE(H_PROFILE_bLoadChartProfile());
  watchOnUpdate(allProfileKeys());

  EXPECT_TRUE(H_PROFILE_bUpdateSonarMenuSetting(1));
  // The second SDSC row is never saved into, so its stale value does not overwrite the setting.
  EXPECT_EQ(drain(), (std::vector<std::string>{"YSMD", "SSSP", "SUPS"}));
  EXPECT_EQ(fetch(FCID("SSSP")), 5u);
  EXPECT_EQ(fetch(FCID("YSMD")), 40u);
  EXPECT_EQ(fetch(FCID("SDSC")), 1u);
  EXPECT_EQ(fetch(FCID("SUPS")), 1u);

  EXPECT_TRUE(H_PROFILE_bUpdateChartMenuSetting(1));
  std::vector<std::string> keys = drain();
  ASSERT_GE(keys.size(), 2u);
  EXPECT_EQ(keys[0], "SLAY");
  EXPECT_EQ(keys[1], "SDTM");
  EXPECT_EQ(keys.back(), "SUPC");
  EXPECT_EQ(fetch(FCID("SLAY")), 0x0Fu);
  // The chart layer groups follow the new mask.
  EXPECT_EQ(fetch(FCID("JL03")), 1u);
  EXPECT_EQ(fetch(FCID("JL04")), 0u);

  // And back: the rows return to profile 1's values.
  EXPECT_TRUE(H_PROFILE_bUpdateSonarMenuSetting(0));
  EXPECT_EQ(fetch(FCID("SSSP")), 0u);
  EXPECT_EQ(fetch(FCID("SUPS")), 0u);
}

TEST_F(ProfileTest, OperationsNeedALoadedProfileAndAValidNumber) {
  EXPECT_FALSE(H_PROFILE_bUpdateSonarMenuSetting(1));
  EXPECT_FALSE(H_PROFILE_bUpdateChartMenuSetting(1));
  EXPECT_FALSE(H_PROFILE_bRestoreSonarMenuSetting());
  EXPECT_FALSE(H_PROFILE_bRestoreChartMenuSetting());
  EXPECT_FALSE(H_PROFILE_bSaveSonarMenuSetting(MENU_PING_RATE, value(1)));
  EXPECT_FALSE(H_PROFILE_bSaveChartMenuSetting(MENU_MAP_DATUM, value(1)));
  EXPECT_FALSE(H_PROFILE_bSaveSonarNonMenuSetting(FCID("SSMD"), value(1)));
  EXPECT_FALSE(H_PROFILE_bSaveChartNonMenuSetting(FCID("SLAY"), value(1)));
  ASSERT_TRUE(H_PROFILE_bLoadSonarProfile());
  ASSERT_TRUE(H_PROFILE_bLoadChartProfile());
  watchOnUpdate(allProfileKeys());
  EXPECT_FALSE(H_PROFILE_bUpdateSonarMenuSetting(3));
  EXPECT_FALSE(H_PROFILE_bUpdateChartMenuSetting(0xFFFFFFFFu));
  EXPECT_EQ(drain(), std::vector<std::string>{});
}

// Menu saves: the control's key decides the row of the current profile; nothing else changes.
TEST_F(ProfileTest, MenuSaveChangesTheRowOfItsKeyOnly) {
  ASSERT_TRUE(H_PROFILE_bLoadSonarProfile());
  ASSERT_TRUE(H_PROFILE_bLoadChartProfile());
  struct Row {
    MENU_PRIORITY priority;
    int nSonarRow;  // -1: no sonar row
    int nChartRow;  // -1: no chart row
  } rows[] = {
      {MENU_SIDE_VIEW_SONAR_COLORS, 23, -1},
      {MENU_SIDESCAN_SENSITIVITY, 19, -1},
      {MENU_SIDESCAN_SENSITIVITY_CHART_PLUS_ZF_VIEW, 19, -1},
      {MENU_MAX_DEPTH_TO_PING, 4, -1},
      {MENU_SONAR_ZOOM, 36, -1},
      {MENU_WAYPOINT_DECLUTTERING, -1, 0},
      {MENU_OFFSET_SPEED, -1, 19},
      {MENU_SPOT_SOUNDINGS, -1, 3},
      {MENU_SONAR_PROFILE, -1, -1},
      {MENU_CHART_PROFILE, -1, -1},
      {NO_PRIORITY, -1, -1},
  };
  U32 u32Value = 100;
  for (const Row &row : rows) {
    SCOPED_TRACE(row.priority);
    ++u32Value;
    const std::vector<U32> sonarBefore = savedSonar(0);
    const std::vector<U32> chartBefore = savedChart(0);
    EXPECT_EQ(H_PROFILE_bSaveSonarMenuSetting(row.priority, value(u32Value)), row.nSonarRow >= 0);
    EXPECT_EQ(H_PROFILE_bSaveChartMenuSetting(row.priority, value(u32Value)), row.nChartRow >= 0);
    std::vector<U32> sonarExpected = sonarBefore;
    if (row.nSonarRow >= 0) sonarExpected[row.nSonarRow] = u32Value;
    std::vector<U32> chartExpected = chartBefore;
    if (row.nChartRow >= 0) chartExpected[row.nChartRow] = u32Value;
    EXPECT_EQ(savedSonar(0), sonarExpected);
    EXPECT_EQ(savedChart(0), chartExpected);
  }
}

TEST_F(ProfileTest, NonMenuSaves) {
  ASSERT_TRUE(H_PROFILE_bLoadSonarProfile());
  ASSERT_TRUE(H_PROFILE_bLoadChartProfile());
  struct Row {
    const char *pcKey;
    int nSonarRow;
    int nChartRow;
  } rows[] = {
      {"SSMD", 4, -1},  {"SSWA", 5, -1},  {"SSSS", 19, -1}, {"SSSN", 20, -1}, {"SSSL", 21, -1},
      {"SITM", 22, -1}, {"SDSS", 24, -1}, {"SDSN", 25, -1}, {"SDSL", 26, -1}, {"SDSC", 27, -1},
      {"SLAY", -1, 8},  {"SCTC", -1, -1}, {"YSMD", -1, -1}, {"SSPL", -1, -1},
  };
  U32 u32Value = 200;
  for (const Row &row : rows) {
    SCOPED_TRACE(row.pcKey);
    ++u32Value;
    std::vector<U32> sonarExpected = savedSonar(0);
    std::vector<U32> chartExpected = savedChart(0);
    EXPECT_TRUE(H_PROFILE_bSaveSonarNonMenuSetting(key(row.pcKey), value(u32Value)));
    EXPECT_TRUE(H_PROFILE_bSaveChartNonMenuSetting(key(row.pcKey), value(u32Value)));
    if (row.nSonarRow >= 0) sonarExpected[row.nSonarRow] = u32Value;
    if (row.nChartRow >= 0) chartExpected[row.nChartRow] = u32Value;
    EXPECT_EQ(savedSonar(0), sonarExpected);
    EXPECT_EQ(savedChart(0), chartExpected);
  }
}

// The three chart set-default reads together cover every chart row once; the layer read takes SLAY's row.
TEST_F(ProfileTest, ChartDefaultReadsCoverEveryRowOnce) {
  for (U32 row = 0; row < CHART_PROFILE_ROWS; ++row) H_DATABASE_bUpdateValueU32(key(kChartKeys[row]), 1000 + row, P_NORMAL);
  ASSERT_TRUE(H_PROFILE_bLoadChartProfile());
  struct Reader {
    const char *pcName;
    void (*pfn)();
  } readers[] = {{"nav", H_PROFILE_vSetNavDefaultValue},
                 {"chart", H_PROFILE_vSetChartDefaultValue},
                 {"layer", H_PROFILE_vSetChartLayerDefaultValue}};
  std::vector<int> covered(CHART_PROFILE_ROWS, 0);
  std::vector<U32> before = chartTemplate();
  for (const Reader &reader : readers) {
    SCOPED_TRACE(reader.pcName);
    reader.pfn();
    ASSERT_TRUE(H_PROFILE_bResetChartMenuSetting());
    const std::vector<U32> after = savedChart(0);
    for (U32 row = 0; row < CHART_PROFILE_ROWS; ++row) {
      if (after[row] != before[row]) {
        EXPECT_EQ(after[row], 1000 + row);
        ++covered[row];
      }
    }
    if (std::string(reader.pcName) == "layer") {
      std::vector<U32> expected = before;
      expected[8] = 1008;
      EXPECT_EQ(after, expected);
    }
    before = after;
  }
  EXPECT_EQ(covered, std::vector<int>(CHART_PROFILE_ROWS, 1));
}

TEST_F(ProfileTest, SonarDefaultReadTakesEveryRowAndKeepsAbsentKeys) {
  for (U32 row = 0; row < SONAR_PROFILE_ROWS; ++row) {
    if (row != 10) H_DATABASE_bUpdateValueU32(key(kSonarKeys[row]), 500 + row, P_NORMAL);
  }
  H_PROFILE_vSetSonarDefaultValue();
  ASSERT_TRUE(H_PROFILE_bLoadSonarProfile());
  std::vector<U32> expected;
  for (U32 row = 0; row < SONAR_PROFILE_ROWS; ++row) expected.push_back(row == 10 ? 0 : 500 + row);
  expected[27] = 528;  // both SDSC rows read the one setting, last written as row 28
  for (U32 p = 0; p < PROFILE_COUNT; ++p) EXPECT_EQ(savedSonar(p), expected);
}

// Restoring writes the rows of the current profile that differ from the defaults, and only those.
TEST_F(ProfileTest, RestoreWritesTheRowsAwayFromTheDefaults) {
  H_DATABASE_bUpdateValueU32(FCID("SUPS"), 2, P_NVR);
  H_DATABASE_bUpdateValueU32(FCID("SUPC"), 2, P_NVR);
  H_DATABASE_bUpdateValueU32(persistenceKey(2, 36), 4, P_NVR);  // SSPL
  H_DATABASE_bUpdateValueU32(persistenceKey(2, 17), 1, P_NVR);  // SVOS
  H_DATABASE_bUpdateValueU32(persistenceKey(0, 33), 9, P_NVR);  // another profile's SSZW
  ASSERT_TRUE(H_PROFILE_bLoadSonarProfile());
  ASSERT_TRUE(H_PROFILE_bLoadChartProfile());
  watchOnUpdate(allProfileKeys());
  EXPECT_TRUE(H_PROFILE_bRestoreSonarMenuSetting());
  EXPECT_TRUE(H_PROFILE_bRestoreChartMenuSetting());
  EXPECT_EQ(drain(), (std::vector<std::string>{"SSPL", "SVOS"}));
  EXPECT_EQ(fetch(FCID("SSPL")), 4u);
  EXPECT_EQ(fetch(FCID("SVOS")), 1u);
}

}  // namespace

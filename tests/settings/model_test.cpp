#include "settings/model.h"

#include <gtest/gtest.h>

#include "settings/database.h"
#include "settings/language.h"
#include "settings/version.h"
#include "settings_fixture.h"

namespace {

using ModelTest = SettingsTest;

TEST_F(ModelTest, FeaturesOfTheCurrentModel) {
  struct Row {
    const char *pcName;
    S64 s64Model;  // -1: no SMDL
    S64 s64Regional;  // -1: no SIMT
    BOOLEAN bDomestic, bRegional1, bRegional2, bColor, bCartography, bPlumbscan;
  } rows[] = {
      {"no model", -1, -1, FALSE, TRUE, FALSE, TRUE, TRUE, FALSE},
      {"293", 293, 1, FALSE, TRUE, FALSE, TRUE, TRUE, FALSE},
      {"293 variant 2", 293, 2, FALSE, FALSE, TRUE, TRUE, TRUE, FALSE},
      {"292", 292, -1, TRUE, FALSE, FALSE, TRUE, TRUE, FALSE},
      {"unknown", 5, -1, TRUE, FALSE, FALSE, FALSE, FALSE, FALSE},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.pcName);
    H_DATABASE_vInit();
    if (row.s64Model >= 0) H_DATABASE_bUpdateValueU32(FCID("SMDL"), static_cast<U32>(row.s64Model), P_NORMAL);
    if (row.s64Regional >= 0) H_DATABASE_bUpdateValueU32(FCID("SIMT"), static_cast<U32>(row.s64Regional), P_NORMAL);
    EXPECT_EQ(MODEL_bDomesticModel(), row.bDomestic);
    EXPECT_EQ(MODEL_bInternationalModel1(), row.bRegional1);
    EXPECT_EQ(MODEL_bInternationalModel2(), row.bRegional2);
    EXPECT_FALSE(MODEL_bInternationalModel3());
    EXPECT_FALSE(MODEL_bInternationalModel4());
    EXPECT_EQ(MODEL_bIsColor(), row.bColor);
    EXPECT_EQ(MODEL_bSupportsCartography(), row.bCartography);
    EXPECT_EQ(MODEL_bIsPlumbscan(), row.bPlumbscan);
  }
}

TEST_F(ModelTest, FirstRowAnswersAndUnknownModelsHaveNoText) {
  H_DATABASE_bUpdateValueU32(FCID("SMDL"), MODEL_DOMESTIC, P_NORMAL);
  EXPECT_TRUE(MODEL_bIsColor());  // 292 is the first row of the table
  EXPECT_STRNE(MODEL_pcFetchModelText(MODEL_DOMESTIC), "     ");
  EXPECT_STREQ(MODEL_pcFetchModelText(static_cast<MODEL_TYPE>(0)), "     ");
  EXPECT_STREQ(MODEL_pcFetchModelText(static_cast<MODEL_TYPE>(77)), "     ");
  EXPECT_TRUE(MODEL_bRegisterModel(MODEL_DEFAULT));
  EXPECT_FALSE(MODEL_bRegisterModel(static_cast<MODEL_TYPE>(291)));
}

TEST_F(ModelTest, LanguageFromSettings) {
  EXPECT_EQ(nCurrentLanguage(), 0u);
  H_DATABASE_bUpdateValueU32(FCID("SLNG"), 22, P_NORMAL);
  EXPECT_EQ(nCurrentLanguage(), 0u);
  H_DATABASE_bUpdateValueU32(FCID("SLNG"), 16, P_NORMAL);
  EXPECT_EQ(nCurrentLanguage(), 16u);
  EXPECT_EQ(g_eFontSet[16], FONT_SET_2);
  EXPECT_EQ(g_eFontSet[14], FONT_SET_1);
}

TEST_F(ModelTest, VersionRecordAndChange) {
  const VERSION_INFO *pInfo = VERSION_pversion_infoGetCurrentVersion();
  EXPECT_STREQ(reinterpret_cast<const char *>(pInfo->version), "7.660");
  EXPECT_STREQ(reinterpret_cast<const char *>(pInfo->speed), "550Mhz");
  EXPECT_STREQ(reinterpret_cast<const char *>(pInfo->rev), "---");
  H_DATABASE_bUpdateValueU32(FCID("CREV"), 3, P_NORMAL);
  EXPECT_STREQ(reinterpret_cast<const char *>(VERSION_pversion_infoGetCurrentVersion()->rev), "3");

  H_DATABASE_bUpdateValueU32(FCID("SXYZ"), 42, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("SFVR"), 7650, P_NORMAL);
  EXPECT_TRUE(VERSION_bDetectVersionChange());
  EXPECT_TRUE(VERSION_bIsVersionChanged());
  EXPECT_TRUE(VERSION_bIsUpgradingToGroupedWaypointManagement());
  U32 u32Value = 0;
  H_DATABASE_bFetchU32(FCID("SFVR"), &u32Value, nullptr, nullptr);
  EXPECT_EQ(u32Value, 7660u);
  EXPECT_TRUE(H_DATABASE_bFetchU32(FCID("SXYZ"), &u32Value, nullptr, nullptr));  // nothing dropped

  H_DATABASE_bUpdateValueU32(FCID("SAGS"), 10, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("SAGE"), 10, P_NORMAL);
  EXPECT_FALSE(VERSION_bDetectVersionChange());
  EXPECT_FALSE(VERSION_bIsUpgradingToGroupedWaypointManagement());
}

}  // namespace

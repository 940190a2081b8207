// Shared set-up of the readout tests: an empty settings store, unit conversion, fixed readout colours and
// helpers that write live items.
#pragma once
#include <gtest/gtest.h>

#include "draw/color.h"
#include "util/convert.h"
#include "settings/database.h"
#include "nav/nav_standin.h"
#include "ui/info/info.h"
#include "ui/info/info_internal.h"
#include "ui_test_env.h"

class ReadoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_UI_TEST_CLOCK();
    H_DATABASE_vInit();
    U_CONVERT_vInitialiseConversionUtility();
    NAV_STANDIN_vReset();
    INFO_vApplyPalette(1);
    INFO_vSetBlinkState(TRUE);
    T_INFO_vSetAlpha(0);
    // The colours outside the readout section that these drawings use.
    static const COLOR acolRadar[5] = {0x0000, 0x0841, 0x7BEF, 0xFFE0, 0xF800};  // 32..36
    COLOR_vSetColorTableSection(32, 5, acolRadar);
  }

  static void setU32(const char (&key)[5], U32 u32Value, DATA_TYPE eType = D_UNKNOWN,
                     const char *const *ppcName = nullptr) {
    H_DATABASE_bUpdateEverythingU32(FCID(key), u32Value, P_NORMAL, eType, ppcName, DB_NO_TIMEOUT);
  }
  static void setS32(const char (&key)[5], S32 s32Value, DATA_TYPE eType = D_SIGNED32) {
    H_DATABASE_bUpdateEverythingS32(FCID(key), s32Value, P_NORMAL, eType, nullptr, DB_NO_TIMEOUT);
  }
  static void setFloat(const char (&key)[5], float fValue, DATA_TYPE eType) {
    H_DATABASE_bUpdateEverythingFloat(FCID(key), fValue, P_NORMAL, eType, nullptr, DB_NO_TIMEOUT);
  }
  static void setPointer(const char (&key)[5], void *pv, const char *const *ppcName = nullptr) {
    H_DATABASE_bUpdateEverythingVoidPointer(FCID(key), pv, P_NORMAL, D_POINTER, ppcName, DB_NO_TIMEOUT);
  }
  static void setKey(const char (&key)[5], const char (&value)[5]) { setU32(key, FCID(value), D_FCID); }
};

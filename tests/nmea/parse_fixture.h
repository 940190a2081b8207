// The fresh start of the tests that drive the receiver, parsers and output directly: UTC, an empty settings store,
// forgotten parser averages and stand-in records, and the port records of the task's table that the tests use.
#pragma once
#include <stdlib.h>
#include <time.h>

#include "n2k/nmea_adaptor_standin.h"
#include "nav/nav_standin.h"
#include "nmea/nmea_parse.h"
#include "nmea/nmea_task.h"
#include "platform/clock.h"
#include "settings/database.h"
#include "util/convert.h"

// False without the test clock. bCourseFromVelocity: 'SCCG' as the task writes it at start.
inline bool TEST_bFreshParsers(bool bCourseFromVelocity = false) {
  if (!(PLATFORM_CLOCK_bUseTestClock(864000ull * 1000000000ull) || PLATFORM_CLOCK_bIsTestClock())) return false;
  setenv("TZ", "UTC", 1);
  tzset();
  H_DATABASE_vInit();
  U_CONVERT_vInitialiseConversionUtility();
  T_NMEA_vResetParsersForTest();
  NAV_STANDIN_vReset();
  N2K_STANDIN_vSetGPSSelected(FALSE);
  if (bCourseFromVelocity) {
    H_DATABASE_bUpdateEverythingBoolean(FCID("SCCG"), TRUE, P_DEFAULT_SETTING, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }
  for (GPS_SOURCE_ID e : {ID_NMEA2K_GPS, ID_EXTERNAL_GPS, ID_NETWORK_GPS, ID_EXTERNAL_AIS, ID_EXTERNAL_AIS2}) {
    T_NMEA_pInitPortInfo(e);
  }
  return true;
}

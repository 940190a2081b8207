// Closest point of approach and the collision alarm of AIS targets, with the integer geometry they use.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ais_test_util.h"
#include "chartlib/nav/nv_navig.h"
#include "nav/track.h"
#include "nav/u_nav.h"
#include "nmea/ais/ais_collision.h"
#include "platform/clock.h"
#include "test_environment.h"
#include "util/convert.h"

namespace {

const POSITION kOwn = {52.0, 4.0};

POINT ownPoint() {
  POINT pt;
  EXPECT_EQ(nv_DegrToMeter(&kOwn, &pt), CL_SUCCESS);
  return pt;
}

// A target at range (NM) and bearing from the own ship, with its speed and course (negative: not available).
ais_DeviceInfo target(double dRange, double dBearing, double dKnots, double dCourse) {
  ais_DeviceInfo slot = {};
  POINT pt;
  EXPECT_FALSE(CL_IsError(nv_PolarToGeographic(ownPoint(), POLAR{dRange, dBearing}, &pt)));
  POSITION pos;
  EXPECT_EQ(nv_MeterToDegr(&pt, &pos), CL_SUCCESS);
  aisTargetINFO &info = slot.aisInfo;
  info.validTarget = TRUE;
  info.MMSI = 244000001;
  info.Latitude = pos.lat;
  info.Longitude = pos.lon;
  info.validityFlag[SHIPPOS_FLAG_INDEX] = TRUE;
  if (dKnots >= 0) {
    info.Sog = dKnots;
    info.Cog = dCourse;
    info.validityFlag[SOG_FLAG_INDEX] = info.validityFlag[COG_FLAG_INDEX] = TRUE;
  }
  return slot;
}

class AisCollisionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H_DATABASE_vInit();
    U_CONVERT_vInitialiseConversionUtility();
    std::memset(&m_pool, 0, sizeof(m_pool));
  }
  // CPA and TCPA of one target.
  aisTargetINFO solve(const ais_DeviceInfo &slot) {
    m_pool.TargetStruct[0] = slot;
    m_pool.NumOfTargets = 1;
    ais_vCalculateCollisionValues(&m_pool);
    return m_pool.TargetStruct[0].aisInfo;
  }
  static void limits(float fNM, U32 u32Seconds) {
    H_DATABASE_bUpdateEverythingFloat(FCID("SCPA"), fNM, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("STCP"), u32Seconds, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }

  AISPOOL m_pool;
};

TEST_F(AisCollisionTest, ClosestApproachOfTargetsInStraightMotion) {
  struct Case {
    const char *pcWhat;
    double dOwnKnots, dOwnHeading, dRange, dBearing, dKnots, dCourse;
    double dTCPA, dCPA;  // negative CPA: the present distance
  } aCases[] = {
      {"own ship at 0.2 kn", 0.2, 0, 2, 0, 10, 180, 0, -1},
      {"parallel course, same speed", 10, 0, 1, 90, 10, 0, 0, -1},
      {"target ahead pulling away", 10, 0, 1, 0, 20, 0, 0, -1},
      {"head-on from 2 NM at 10 + 10 kn", 10, 0, 2, 0, 10, 180, 6.0, 0},
      {"crossing at right angles", 10, 0, 1.4142, 45, 10, 270, 6.0, 0},
      {"target without speed lies still", 10, 0, 1, 0, -1, 0, 6.0, 0},
      {"passing 0.5 NM abeam", 10, 0, 2.0616, 14.036, 10, 180, 6.0, 0.5},
  };
  for (const Case &c : aCases) {
    SCOPED_TRACE(c.pcWhat);
    aisSetOwnShip(ownPoint(), c.dOwnKnots, c.dOwnHeading);
    const aisTargetINFO info = solve(target(c.dRange, c.dBearing, c.dKnots, c.dCourse));
    EXPECT_NEAR(info.TCPA, c.dTCPA, 0.1);
    EXPECT_NEAR(info.CPA, c.dCPA < 0 ? c.dRange : c.dCPA, c.dCPA == 0 ? 0.01 : 0.02);
  }
}

TEST_F(AisCollisionTest, TargetsWithoutPositionAndMissingOwnMotion) {
  aisSetOwnShip(ownPoint(), 10, 0);
  ais_DeviceInfo slot = target(2, 0, 10, 180);
  slot.aisInfo.validityFlag[SHIPPOS_FLAG_INDEX] = FALSE;
  slot.aisInfo.TCPA = 3.0;
  slot.aisInfo.CPA = 0.7;
  aisTargetINFO info = solve(slot);
  EXPECT_EQ(info.TCPA, 0.0);
  // Without the own speed nothing is written.
  H_DATABASE_vDeleteEntry(FCID("ISOG"));
  slot = target(2, 0, 10, 180);
  slot.aisInfo.TCPA = 3.0;
  slot.aisInfo.CPA = 0.7;
  info = solve(slot);
  EXPECT_EQ(info.TCPA, 3.0);
  EXPECT_EQ(info.CPA, 0.7);
  // The compass heading replaces the course: the head-on target passes abeam.
  aisSetOwnShip(ownPoint(), 10, 0);
  H_DATABASE_bUpdateEverythingFloat(FCID("IHDC"), 90.0f, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  info = solve(target(2, 0, 10, 180));
  EXPECT_NEAR(info.TCPA, 6.0, 0.1);
  EXPECT_NEAR(info.CPA, std::sqrt(2.0), 0.05);
}

TEST_F(AisCollisionTest, AlarmUnderTheDistanceAndTimeLimits) {
  struct Case {
    const char *pcWhat;
    double dOwnKnots, dRange, dBearing, dKnots, dCourse;
    double dCPA, dTCPA;  // as stored before the test
    float fLimitNM;
    U32 u32LimitSeconds;
    BOOLEAN bAlarm;
  } aCases[] = {
      {"0.3 NM away", 0, 0.3, 45, 10, 45, 5, 0, 0.5f, 60, TRUE},
      {"0.55 NM away moving off", 0, 0.55, 45, 10, 45, 0.55, 0, 0.5f, 600, FALSE},
      {"CPA beyond the limit", 10, 2, 0, 10, 180, 0.6, 6, 0.5f, 600, FALSE},
      {"passed", 10, 2, 0, 10, 180, 0.2, 0, 0.5f, 600, FALSE},
      {"within the time limit", 10, 2, 0, 10, 180, 0.2, 6, 0.5f, 600, TRUE},
      {"projected 10 minutes ahead: close", 0, 2, 0, 10.2, 180, 0.2, 20, 0.5f, 600, TRUE},
      {"projected 10 minutes ahead: still 1 NM off", 0, 2, 0, 6, 180, 0.2, 20, 0.5f, 600, FALSE},
  };
  for (const Case &c : aCases) {
    SCOPED_TRACE(c.pcWhat);
    aisSetOwnShip(ownPoint(), c.dOwnKnots, 0);
    limits(c.fLimitNM, c.u32LimitSeconds);
    ais_DeviceInfo slot = target(c.dRange, c.dBearing, c.dKnots, c.dCourse);
    slot.aisInfo.CPA = c.dCPA;
    slot.aisInfo.TCPA = c.dTCPA;
    EXPECT_EQ(T_NMEA_bAisHasAlarm(&slot), c.bAlarm);
  }
  // The receive path's values of a target 0.55 NM away that moves off do not alarm either.
  aisSetOwnShip(ownPoint(), 0, 0);
  limits(0.5f, 600);
  const ais_DeviceInfo slot = target(0.55, 45, 10, 45);
  m_pool.TargetStruct[0] = slot;
  m_pool.NumOfTargets = 1;
  ais_vCalculateCollisionValues(&m_pool);
  EXPECT_NEAR(m_pool.TargetStruct[0].aisInfo.CPA, 0.55, 0.01);
  EXPECT_FALSE(T_NMEA_bAisHasAlarm(&m_pool.TargetStruct[0]));
}

TEST_F(AisCollisionTest, NoAlarmWithoutOwnPositionOrTargetPosition) {
  limits(0.5f, 600);
  ais_DeviceInfo slot = target(0.3, 0, 10, 180);
  aisSetOwnShip(ownPoint(), 10, 0);
  EXPECT_TRUE(T_NMEA_bAisHasAlarm(&slot));
  slot.aisInfo.validityFlag[SHIPPOS_FLAG_INDEX] = FALSE;
  EXPECT_FALSE(T_NMEA_bAisHasAlarm(&slot));
  slot.aisInfo.validityFlag[SHIPPOS_FLAG_INDEX] = TRUE;
  // The distance test needs no own speed.
  H_DATABASE_vDeleteEntry(FCID("ISOG"));
  EXPECT_TRUE(T_NMEA_bAisHasAlarm(&slot));
  H_DATABASE_vDeleteEntry(FCID("ILAT"));
  EXPECT_FALSE(T_NMEA_bAisHasAlarm(&slot));
}

TEST(AisCollisionClock, NoAlarmWhenTheOwnPositionIsNoLongerValid) {
  REQUIRE_TEST_CLOCK(864000ull * 1000000000ull);
  H_DATABASE_vInit();
  U_CONVERT_vInitialiseConversionUtility();
  H_DATABASE_bUpdateEverythingFloat(FCID("SCPA"), 0.5f, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingU32(FCID("STCP"), 600, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  const ais_DeviceInfo slot = target(0.3, 0, 10, 180);
  aisSetOwnShip(ownPoint(), 10, 0, 2);
  EXPECT_TRUE(T_NMEA_bAisHasAlarm(&slot));
  PLATFORM_CLOCK_vAdvanceTestClockMs(2000);
  EXPECT_FALSE(T_NMEA_bAisHasAlarm(&slot));
}

TEST_F(AisCollisionTest, FuturePositionAndDistance) {
  const POINT tOwn = ownPoint();
  struct Case {
    double dKnots, dCourse, dMinutes, dRange;
  } aCases[] = {{10, 90, 6, 1.0}, {10, 180, 6, 1.0}, {20, 359.6, 3, 1.0}, {0, 45, 10, 0.0}, {12, 225, 30, 6.0}};
  for (const Case &c : aCases) {
    POINT tThen;
    T_NMEA_vCalFuturePos(&tOwn, c.dKnots, c.dCourse, c.dMinutes, &tThen);
    FLOAT dDistance = -1;
    EXPECT_TRUE(T_NMEA_vCalculateDistance(tOwn, tThen, &dDistance));
    EXPECT_NEAR(dDistance, c.dRange, 0.001 + 0.005 * c.dRange) << c.dCourse;
    DOUBLE dBearing = 0;
    if (c.dRange > 0) {
      nv_RouteAngle(&tOwn, &tThen, &dBearing);
      EXPECT_NEAR(dBearing, std::fmod(std::round(c.dCourse), 360.0), 0.5) << c.dCourse;
    }
  }
  FLOAT dDistance = 0;
  EXPECT_FALSE(T_NMEA_vCalculateDistance(tOwn, POINT{0, NV_Y_LIMIT + 10}, &dDistance));
}

TEST_F(AisCollisionTest, ClosedFormVariantAgreesOnAHeadOnTarget) {
  m_pool.TargetStruct[0] = target(2, 0, 10, 180);
  m_pool.NumOfTargets = 1;
  EXPECT_FALSE(CL_IsError(ais_Calculate_CollisionValue(0, 10, kOwn, &m_pool)));
  EXPECT_NEAR(m_pool.TargetStruct[0].aisInfo.TCPA, 6.0, 0.1);
  EXPECT_NEAR(m_pool.TargetStruct[0].aisInfo.CPA, 0.0, 0.01);
  // An empty first slot: nothing to do.
  AISPOOL &empty = m_pool;
  empty.TargetStruct[0].aisInfo.validTarget = FALSE;
  empty.TargetStruct[0].aisInfo.TCPA = 9;
  EXPECT_EQ(ais_Calculate_CollisionValue(0, 10, kOwn, &empty), AIS_SUCCESS);
  EXPECT_EQ(empty.TargetStruct[0].aisInfo.TCPA, 9);
}

TEST(NavGeometry, IntegerSineCosineAndScaleTable) {
  struct Case {
    S32 nAngle, nSin, nCos;
  } aCases[] = {{0, 0, 65536},     {30, 32768, 56756}, {-30, -32768, 56756}, {390, 32768, 56756},
                {180, 0, -65536},  {90, 65536, 0},     {270, -65536, 0},     {-90, -65536, 0},
                {1000, -64540, 11380}, {INT32_MIN, U_NAV_nIntSin(INT32_MIN), U_NAV_nIntCos(INT32_MIN)}};
  for (const Case &c : aCases) {
    EXPECT_EQ(U_NAV_nIntSin(c.nAngle), c.nSin) << c.nAngle;
    EXPECT_EQ(U_NAV_nIntCos(c.nAngle), c.nCos) << c.nAngle;
  }
  for (S32 a = -720; a <= 720; ++a) {
    EXPECT_NEAR(U_NAV_nIntSin(a) / 65536.0, std::sin(a * M_PI / 180.0), 1e-5) << a;
    EXPECT_NEAR(U_NAV_nIntCos(a) / 65536.0, std::cos(a * M_PI / 180.0), 1e-5) << a;
  }
  const std::pair<S32, U16> aAnchors[] = {{0, 1019},   {20, 1041},  {40, 1109},  {60, 1224},  {80, 1392},
                                          {100, 1619}, {120, 1915}, {140, 2293}, {160, 2767}, {180, 3359},
                                          {200, 4094}, {220, 5002}, {235, 5820}, {240, 6122}, {255, 7129}};
  for (auto [i, u16] : aAnchors) {
    EXPECT_EQ(U_NAV_u16ScalingMMPerKm(i * 65536), u16) << i;
    EXPECT_EQ(U_NAV_u16ScalingMMPerKm(-i * 65536), u16) << i;
  }
  for (S32 i = 1; i < 256; ++i) EXPECT_LE(U_NAV_u16ScalingMMPerKm((i - 1) << 16), U_NAV_u16ScalingMMPerKm(i << 16));
  EXPECT_EQ(U_NAV_u16ScalingMMPerKm(32767), 1019);
  EXPECT_EQ(U_NAV_u16ScalingMMPerKm(INT32_MAX), 7129);
  EXPECT_EQ(U_NAV_u16ScalingMMPerKm(INT32_MIN), 7129);
}

}  // namespace

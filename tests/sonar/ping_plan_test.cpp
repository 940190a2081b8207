// Depth to ping and to listen, transmit cycles, bandwidth, automatic range and transmit power, each against
// settings in the store.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "settings/database.h"
#include "sonar/ping_plan.h"
#include "sonar/ping_state.h"
#include "sonar/transducer.h"
#include "test_environment.h"
#include "util/convert.h"

namespace {

constexpr float kFactors[16] = {1.294f, 1.345f, 1.385f, 1.228f, 1.263f, 1.338f, 1.322f, 1.279f,
                                1.326f, 1.307f, 1.221f, 1.245f, 1.398f, 1.251f, 1.273f, 1.306f};

class PingPlan : public ::testing::Test {
 protected:
  void SetUp() override {
    U_CONVERT_vInitialiseConversionUtility();
    H_DATABASE_vInit();
    T_N_PING_vResetDepthPlanForTest();
    T_N_PING_vSetMaximumDepthToPing(0.0);
    T_N_PING_vSetDepthUnits(U_FEET);
    T_N_PING_vSetSelectTvgView(FALSE);
    T_N_PING_vSetAutoDepthRange(TRUE);
    U_PING_vSetDepthKnownCnt(0);
    U_PING_vSetDeepWaterMode(FALSE);
    U_PING_vSetBeamSelected(1);
    U_PING_vSetCurrentView(-2);
    U_PING_vSetSystemState(STATE_NORMAL_RUN);
    S_TRANSDUCER_vSetMaximumDepthRangeMetres(200.0f);
  }
  // The shared state's start values, for the tests that follow in this process.
  void TearDown() override {
    U_PING_vSetDepthKnownCnt(0);
    U_PING_vSetDeepWaterMode(FALSE);
    U_PING_vSetBeamSelected(1);
    U_PING_vSetCurrentView(-2);
    U_PING_vSetSystemState(static_cast<SYSTEM_STATE>(0));
    U_PING_vSetCurrentDepth(0.0f);
    S_TRANSDUCER_vSetMaximumDepthRangeMetres(200.0f);
  }
  static void depth(float fMetres) {
    H_DATABASE_bUpdateEverythingFloat(FCID("IDEP"), fMetres, P_NORMAL, D_DEPTH, nullptr, DB_NO_TIMEOUT);
  }
  static void noDepth() { H_DATABASE_vDeleteEntry(FCID("IDEP")); }
  static void lowerRange(float fMetres) {
    H_DATABASE_bUpdateEverythingFloat(FCID("CSLD"), fMetres, P_NORMAL, D_DEPTH, nullptr, DB_NO_TIMEOUT);
  }
  static void set(const char (&acKey)[5], U32 u32Value) {
    H_DATABASE_bUpdateValueU32(FCID(acKey), u32Value, P_NORMAL);
  }
  // One ping's depths: {to ping, to listen}.
  static std::pair<float, float> plan() {
    float fListen = -1.0f;
    const float fPing = fLocalFindDepthToPing(&fListen);
    return {fPing, fListen};
  }
};

TEST_F(PingPlan, WithoutABottomTheSearchGoesDeeperEachPing) {
  noDepth();
  lowerRange(20.0f);
  for (int n = 0; n < 4; ++n) {
    const auto [fPing, fListen] = plan();
    const float fNext = 60.0f + 5.0f * static_cast<float>(n);
    EXPECT_FLOAT_EQ(fPing, fNext * 1.25f) << n;  // 75, 81.25, 87.5, 93.75
    EXPECT_FLOAT_EQ(fListen, fNext * kFactors[n]) << n;  // from 60 m: the factor alone
    EXPECT_EQ(U_PING_fGetCurrentDepth(), 0.0f);
  }
  // The maximum of the search is the transducer's range.
  S_TRANSDUCER_vSetMaximumDepthRangeMetres(80.0f);
  EXPECT_FLOAT_EQ(plan().first, 80.0f);
  // A bottom resets the throttle: the next search starts at 60 m again. Without 'CSLD' it counts as 10.
  depth(30.0f);
  plan();
  noDepth();
  H_DATABASE_vDeleteEntry(FCID("CSLD"));
  EXPECT_FLOAT_EQ(plan().first, 75.0f);
}

TEST_F(PingPlan, ListeningFactorsTakeTurnsAndBothBeamsListenLonger) {
  depth(20.0f);
  struct Case {
    BEAM Beam;
    LAYER_ID View;
    float fAdd;
  };
  const Case cases[] = {{1, -2, 1.0f}, {0, -2, 1.55f}, {4, 48, 1.55f}, {2, 51, 1.55f}};
  for (const Case &c : cases) {
    U_PING_vSetBeamSelected(c.Beam);
    U_PING_vSetCurrentView(c.View);
    T_N_PING_vResetDepthPlanForTest();
    for (int n = 0; n < 17; ++n) {  // all sixteen and back to the first
      const auto [fPing, fListen] = plan();
      EXPECT_FLOAT_EQ(fPing, 25.0f);
      EXPECT_FLOAT_EQ(fListen, 20.0f * (kFactors[n % 16] + c.fAdd)) << int(c.Beam) << " " << n;
    }
  }
  // The index carries on from ping to ping; at 60 m and below the factor alone applies.
  U_PING_vSetBeamSelected(0);
  T_N_PING_vResetDepthPlanForTest();
  depth(70.0f);
  for (int n = 0; n < 20; ++n) EXPECT_FLOAT_EQ(plan().second, 70.0f * kFactors[n % 16]) << n;
  EXPECT_FLOAT_EQ(U_PING_fGetCurrentDepth(), 70.0f);
}

TEST_F(PingPlan, MaximumDepthByUnitsAndTheSevenFootFloor) {
  depth(100.0f);
  const struct {
    double dMaximum;
    UNIT_TYPE eUnits;
    float fPing;
  } cases[] = {
      {0.0, U_FEET, 125.0f},      // none
      {50.0, U_METRES, 50.0f},
      {0.5, U_METRES, 125.0f},    // below 1 m: none
      {1.0, U_METRES, 2.1336f},   // a maximum, but never below 7 ft
      {0.61, U_FEET, 2.1336f},    // 2.001 ft: a maximum
      {0.6, U_FEET, 125.0f},      // 1.97 ft: below the 2 ft rule, so none
      {1.8, U_FATHOMS, 125.0f},   // 0.98 fathoms: none
      {1.83, U_FATHOMS, 2.1336f}, // 1.0007 fathoms: a maximum
      {0.5, U_KM, 2.1336f},       // any other unit takes the setting as it is
  };
  for (const auto &c : cases) {
    T_N_PING_vSetMaximumDepthToPing(c.dMaximum);
    T_N_PING_vSetDepthUnits(c.eUnits);
    const auto [fPing, fListen] = plan();
    EXPECT_FLOAT_EQ(fPing, c.fPing) << c.dMaximum << " in " << c.eUnits;
    EXPECT_LE(fListen, std::max(c.fPing, 100.0f * 1.4f)) << c.dMaximum;
    EXPECT_GE(fListen, 2.1336f);
  }
  // A shallow bottom under the floor: still 7 ft to ping and listen.
  T_N_PING_vSetMaximumDepthToPing(1.0);
  T_N_PING_vSetDepthUnits(U_METRES);
  depth(0.5f);
  const auto [fPing, fListen] = plan();
  EXPECT_FLOAT_EQ(fPing, 2.1336f);
  EXPECT_FLOAT_EQ(fListen, 2.1336f);
}

TEST_F(PingPlan, DeepWaterListensToTheFullRangeUntilTheDepthIsKnown) {
  U_PING_vSetDeepWaterMode(TRUE);
  depth(30.0f);
  for (U32 u32Known = 1; u32Known <= 4; ++u32Known) {
    const auto [fPing, fListen] = plan();
    EXPECT_EQ(U_PING_u32GetDepthKnownCnt(), u32Known);
    EXPECT_FLOAT_EQ(fPing, 200.0f);
    EXPECT_FLOAT_EQ(fListen, 200.0f);
    EXPECT_TRUE(U_PING_bGetDeepWaterMode());
  }
  // The fifth known depth ends it; the first factor is still unused.
  const auto [fPing, fListen] = plan();
  EXPECT_FALSE(U_PING_bGetDeepWaterMode());
  EXPECT_FLOAT_EQ(fPing, 37.5f);
  EXPECT_FLOAT_EQ(fListen, 30.0f * (kFactors[0] + 1.0f));
  // A short range: the ping is floored at 7 ft, the listening depth is the range.
  U_PING_vSetDeepWaterMode(TRUE);
  U_PING_vSetDepthKnownCnt(0);
  S_TRANSDUCER_vSetMaximumDepthRangeMetres(1.0f);
  const auto [fShortPing, fShortListen] = plan();
  EXPECT_FLOAT_EQ(fShortPing, 2.1336f);
  EXPECT_FLOAT_EQ(fShortListen, 1.0f);
}

TEST_F(PingPlan, MoreThanThreeLostDepthsForgetTheKnownCount) {
  depth(30.0f);
  for (int n = 0; n < 6; ++n) plan();
  EXPECT_EQ(U_PING_u32GetDepthKnownCnt(), 6u);
  // An item past its time-out reads as not valid.
  H_DATABASE_bUpdateEverythingFloat(FCID("IDEP"), 30.0f, P_NORMAL, D_DEPTH, nullptr, 1);
  noDepth();
  for (U32 u32Lost = 1; u32Lost <= 4; ++u32Lost) {
    plan();
    EXPECT_EQ(U_PING_u32GetDepthKnownCnt(), u32Lost <= 3 ? 6u : 0u) << u32Lost;
  }
  depth(30.0f);
  plan();
  EXPECT_EQ(U_PING_u32GetDepthKnownCnt(), 1u);
}

TEST_F(PingPlan, TransmitCycles) {
  const struct {
    BEAM Beam;
    float fDepth;
    U32 u32LowKilohertz;
    U32 u32Kind;
    U8 u8Cycles;
  } cases[] = {
      {1, 1.0f, 83, 1, 3},    {1, 1.52f, 83, 1, 3},   {1, 10.0f, 83, 1, 4},   {1, 15.0f, 83, 1, 5},
      {1, 60.0f, 83, 1, 19},  {1, 15.0f, 83, 11, 10}, {1, 60.0f, 83, 11, 24}, {1, 200.0f, 83, 1, 50},
      {1, 200.0f, 83, 11, 55},
      {0, 60.0f, 83, 1, 8},   {0, 100.0f, 83, 1, 11}, {0, 200.0f, 83, 1, 20}, {0, 400.0f, 83, 1, 20},
      {0, 200.0f, 200, 1, 20},
      {0, 15.0f, 50, 4, 2},   {0, 15.5f, 50, 4, 3},   {0, 25.0f, 50, 4, 3},   {0, 35.0f, 50, 4, 4},
      {0, 45.0f, 50, 4, 5},   {0, 55.0f, 50, 4, 6},   {0, 60.0f, 50, 4, 7},   {0, 100.0f, 50, 4, 10},
      {0, 600.0f, 50, 4, 50},
      {2, 10.0f, 83, 2, 40},  {3, 10.0f, 83, 3, 40},  {2, 10.0f, 83, 10, 7},  {3, 10.0f, 83, 16, 7},
      {2, 10.0f, 83, 5, 7},   {3, 10.0f, 83, 0, 7},
  };
  for (const auto &c : cases) {
    set("CSFL", c.u32LowKilohertz);
    EXPECT_EQ(S_TXCYCLES_u8CalculateTxCycles(c.Beam, c.fDepth, 0.0f, c.u32Kind), c.u8Cycles)
        << "beam " << int(c.Beam) << " at " << c.fDepth << " m, " << c.u32LowKilohertz << " kHz, kind " << c.u32Kind;
  }
  // The side beams of kinds 10 and 16 take 17 cycles on the fifth side-looking frequency.
  set("SSSF", FCID("SSF5"));
  EXPECT_EQ(S_TXCYCLES_u8CalculateTxCycles(2, 10.0f, 0.0f, 10), 17);
  EXPECT_EQ(S_TXCYCLES_u8CalculateTxCycles(3, 10.0f, 0.0f, 16), 17);
  EXPECT_EQ(S_TXCYCLES_u8CalculateTxCycles(3, 10.0f, 0.0f, 5), 7);
  set("SSSF", FCID("SSF4"));
  EXPECT_EQ(S_TXCYCLES_u8CalculateTxCycles(2, 10.0f, 0.0f, 10), 7);
}

TEST_F(PingPlan, AnUnknownBeamIsFatal) {
  EXPECT_EXIT(S_TXCYCLES_u8CalculateTxCycles(4, 10.0f, 0.0f, 1), testing::ExitedWithCode(10), "");
  std::ifstream in(TEST_dataDirectory() + "/FATAL.LOG");
  const std::string sLog{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_NE(sLog.find("Invalid beam"), std::string::npos) << sLog;
}

TEST_F(PingPlan, Bandwidths) {
  // Beam 0: the override, then 1 above 60 kHz, then the automatic range, then the lower range.
  set("CSFL", 83);
  EXPECT_EQ(u8FetchBandwidth(0), 1);
  set("SSW1", 2);
  EXPECT_EQ(u8FetchBandwidth(0), 2);
  set("SSW1", 0);
  set("CSFL", 50);
  EXPECT_EQ(u8FetchBandwidth(0), 3);
  T_N_PING_vSetAutoDepthRange(FALSE);
  EXPECT_EQ(u8FetchBandwidth(0), 3);  // no lower range
  lowerRange(400.0f);
  EXPECT_EQ(u8FetchBandwidth(0), 2);
  lowerRange(350.0f);
  EXPECT_EQ(u8FetchBandwidth(0), 3);
  // Beam 1: the override, then 3 for the time-varied-gain view, else 1.
  EXPECT_EQ(u8FetchBandwidth(1), 1);
  T_N_PING_vSetSelectTvgView(TRUE);
  EXPECT_EQ(u8FetchBandwidth(1), 3);
  set("SSW2", 2);
  EXPECT_EQ(u8FetchBandwidth(1), 2);
  // Side beams: the override, then 2 for the side-scanning kinds, else 3.
  for (U32 u32Kind : {5u, 9u, 10u, 16u, 2u, 1u}) {
    set("SSTS", u32Kind);
    const U8 u8Expected = (u32Kind == 2 || u32Kind == 1) ? 3 : 2;
    EXPECT_EQ(u8FetchBandwidth(2), u8Expected) << u32Kind;
    EXPECT_EQ(u8FetchBandwidth(3), u8Expected) << u32Kind;
  }
  set("SSW3", 1);
  EXPECT_EQ(u8FetchBandwidth(3), 1);
  EXPECT_EQ(u8FetchBandwidth(4), 3);
  EXPECT_EQ(u8FetchBandwidth(0xFF), 3);
}

TEST_F(PingPlan, AutomaticRangeByUnits) {
  const struct {
    float fMetres;
    UNIT_TYPE eUnits;
    BOOLEAN bAuto;
  } cases[] = {{0.0f, U_METRES, TRUE},   {0.99f, U_METRES, TRUE},  {1.0f, U_METRES, FALSE},
               {1.82f, U_FATHOMS, TRUE}, {1.83f, U_FATHOMS, FALSE}, {0.6f, U_FEET, TRUE},
               {0.61f, U_FEET, FALSE},   {0.0f, U_NONE, FALSE},    {0.0f, U_KM, FALSE}};
  for (const auto &c : cases) {
    EXPECT_EQ(T_N_PING_bAutoDepthRange(c.fMetres, c.eUnits), c.bAuto) << c.fMetres << " in " << c.eUnits;
  }
  EXPECT_TRUE(T_N_PING_bGetAutoDepthRange());
}

TEST_F(PingPlan, TransmitPower) {
  const struct {
    BEAM Beam;
    float fDepth;
    TXPOWER ePower;
  } automatic[] = {{1, 14.9f, TXPOWER_LOW}, {0, 15.0f, TXPOWER_MED}, {1, 55.0f, TXPOWER_MED},
                   {0, 55.1f, TXPOWER_HI},  {2, 1.0f, TXPOWER_HI},   {3, 100.0f, TXPOWER_HI}};
  for (const auto &c : automatic) EXPECT_EQ(T_N_PING_eSelectTxPower(c.Beam, c.fDepth), c.ePower) << c.fDepth;
  set("SSTP", TXPOWER_LOW);
  for (const auto &c : automatic) EXPECT_EQ(T_N_PING_eSelectTxPower(c.Beam, c.fDepth), TXPOWER_LOW);
  U_PING_vSetSystemState(STATE_BURN_IN);
  for (const auto &c : automatic) EXPECT_EQ(T_N_PING_eSelectTxPower(c.Beam, c.fDepth), TXPOWER_MED);
}

}  // namespace

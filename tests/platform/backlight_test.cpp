// The backlight levels against the simulator's brightness file, the speed of the paddle wheel model and the
// imaging-head position.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "settings/database.h"
#include "platform/backlight.h"
#include "platform/host/speed_host.h"
#include "platform/ppi_motor.h"
#include "platform/speed.h"
#include "platform_fixture.h"
#include "run_apart.h"

TEST_RUN_APART(BacklightTest);
TEST_RUN_APART(DeviceTest);
TEST_RUN_APART(SpeedTest);

namespace {

class BacklightTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    H_BACKLIGHT_vResetForTest();
  }
  std::string brightness() {
    std::ifstream in(BACKLIGHT_pcBrightnessPath());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  S32 level() {
    S32 s32 = -1;
    H_DATABASE_bFetchS32(FCID("CBAK"), &s32, nullptr, nullptr);
    return s32;
  }
};

TEST_F(BacklightTest, LevelsPerPanelKindAreWrittenAsAnalogThenDigital) {
  const struct {
    U32 u32Revision;
    DISPLAY_BACKLIGHT level;
    const char *pcWritten;
  } kCases[] = {
      {0, DISPLAY_BACKLIGHT_LOW, "51 51"},  {0, DISPLAY_BACKLIGHT_MAX, "0 0"},  {0, DISPLAY_BACKLIGHT_OFF, "54 54"},
      {4, DISPLAY_BACKLIGHT_LOW, "58 58"},  {8, DISPLAY_BACKLIGHT_MAX, "34 34"},
      {12, DISPLAY_BACKLIGHT_HIGH, "15 15"},  // both bits: the new panel, not the dimmable one
  };
  for (const auto &c : kCases) {
    H_BACKLIGHT_vResetForTest();
    H_BACKLIGHT_vProcessRevisionBits(c.u32Revision);
    H_BACKLIGHT_vChangeIntensity(c.level);
    EXPECT_EQ(brightness(), c.pcWritten) << "revision " << c.u32Revision << " level " << c.level;
  }
  // Out of range writes nothing.
  H_BACKLIGHT_vChangeIntensity(static_cast<DISPLAY_BACKLIGHT>(11));
  EXPECT_EQ(brightness(), "15 15");
}

TEST_F(BacklightTest, SetupCreatesFullBrightnessAndInvalidRevisionMeansStandardPanel) {
  H_BACKLIGHT_vSetup(M_DISPLAY);
  EXPECT_EQ(level(), DISPLAY_BACKLIGHT_MAX);
  EXPECT_EQ(brightness(), "0 0");
  DB_ATTRIBUTES attributes{};
  H_DATABASE_bFetch(FCID("CBAK"), nullptr, nullptr, &attributes);
  EXPECT_STREQ(attributes.ppcText[0], "Light");
}

TEST_F(BacklightTest, StepsClampAndRefuseAtTheEnds) {
  const struct {
    S32 s32From, s32Step;
    BOOLEAN bResult;
    S32 s32To;
  } kCases[] = {{9, 3, TRUE, 10}, {10, 1, FALSE, 10}, {4, -20, TRUE, 0}, {0, -1, FALSE, 0}, {5, 0, FALSE, 5}};
  for (const auto &c : kCases) {
    H_DATABASE_bUpdateEverythingS32(FCID("CBAK"), c.s32From, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    EXPECT_EQ(H_BACKLIGHT_bChange(c.s32Step), c.bResult) << c.s32From << " by " << c.s32Step;
    EXPECT_EQ(level(), c.s32To);
  }
  H_DATABASE_vDeleteEntry(FCID("CBAK"));
  EXPECT_FALSE(H_BACKLIGHT_bChange(1));
}

TEST_F(BacklightTest, SaveAndRestore) {
  H_DATABASE_bUpdateEverythingS32(FCID("CBAK"), 4, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_BACKLIGHT_vSave();
  H_BACKLIGHT_bChange(3);
  EXPECT_EQ(level(), 7);
  H_BACKLIGHT_vRestore();
  EXPECT_EQ(level(), 4);
}

class SpeedTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    HOST_SPEED_vReset();
    H_SPEED_vResetForTest();
  }
  void TearDown() override {
    H_SPEED_vResetForTest();
    HOST_SPEED_vReset();
    DeviceTest::TearDown();
  }
};

TEST_F(SpeedTest, PulseRatesGiveKnotsPerBandAndImplausibleSpeedsAreFlagged) {
  SKIP_WITHOUT_TEST_CLOCK();
  const struct {
    U32 u32Pulses;
    float fKnots;
    BOOLEAN bFound;
  } kCases[] = {{10, 2.206389f, TRUE}, {250, 47.970075f, TRUE}, {600, 115.12818f, FALSE}, {11, 2.2029953f, TRUE}};
  for (const auto &c : kCases) {
    H_SPEED_vResetForTest();
    H_SPEED_vInit();
    float fSpeed = -1.0f;
    EXPECT_FALSE(H_SPEED_bGetSpeed(&fSpeed));  // the first call only takes the count
    HOST_SPEED_vAddPulses(c.u32Pulses);
    PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
    EXPECT_EQ(H_SPEED_bGetSpeed(&fSpeed), c.bFound) << c.u32Pulses;
    EXPECT_NEAR(fSpeed, c.fKnots * 1852.0f / 3600.0f, 1e-3) << c.u32Pulses;
  }
}

TEST_F(SpeedTest, SameMillisecondAndNoPulsesAndFailedReads) {
  SKIP_WITHOUT_TEST_CLOCK();
  H_SPEED_vInit();
  float fSpeed = 7.0f;
  H_SPEED_bGetSpeed(&fSpeed);
  HOST_SPEED_vAddPulses(10);
  PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
  EXPECT_TRUE(H_SPEED_bGetSpeed(&fSpeed));
  // Same millisecond: FALSE and the caller's value kept.
  fSpeed = 7.0f;
  EXPECT_FALSE(H_SPEED_bGetSpeed(&fSpeed));
  EXPECT_EQ(fSpeed, 7.0f);
  // No pulses: 0.0 and the last plausibility.
  PLATFORM_CLOCK_vAdvanceTestClockMs(500);
  EXPECT_TRUE(H_SPEED_bGetSpeed(&fSpeed));
  EXPECT_EQ(fSpeed, 0.0f);
  // A failed or short read counts as no pulses; the count resumes from the last good read.
  HOST_SPEED_vAddPulses(5);
  HOST_SPEED_vFailNextRead();
  EXPECT_EQ(DD_SPEED_u32GetPulses(), 0u);
  HOST_SPEED_vShortNextRead(2);
  EXPECT_EQ(DD_SPEED_u32GetPulses(), 0u);
  EXPECT_EQ(DD_SPEED_u32GetPulses(), 5u);
  // The count wraps as the driver's does.
  HOST_SPEED_vAddPulses(0xFFFFFFFFu);
  HOST_SPEED_vAddPulses(3);
  EXPECT_EQ(DD_SPEED_u32GetPulses(), 2u);
}

TEST_F(SpeedTest, MissingDeviceIsFatal) {
  HOST_SPEED_vSetPresent(false);
  EXPECT_EXIT(H_SPEED_vInit(), ::testing::ExitedWithCode(10), "");
  EXPECT_NE(fatalLog().find("DD_SPEED_vInit open?"), std::string::npos);
}

TEST_F(DeviceTest, HeadPositionWrapsBothWays) {
  H_PPI_MOTOR_vInitialize();
  H_PPI_MOTOR_vStartSweeping(TRUE);
  BOOLEAN bClockwise = FALSE;
  EXPECT_EQ(H_PPI_MOTOR_s32Step(399, &bClockwise), 1599);
  EXPECT_TRUE(bClockwise);
  EXPECT_EQ(H_PPI_MOTOR_s32Step(1, &bClockwise), 0);
  H_PPI_MOTOR_vTurningDirection(FALSE);
  EXPECT_EQ(H_PPI_MOTOR_s32Step(1, &bClockwise), 1599);
  EXPECT_FALSE(bClockwise);
  H_PPI_MOTOR_vStartSweeping(FALSE);
  EXPECT_EQ(H_PPI_MOTOR_s32Step(100, &bClockwise), 1599);
}

}  // namespace

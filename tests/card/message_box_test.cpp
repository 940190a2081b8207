// The card message box and the import refusal as the view task draws them: golden pictures, the box's place,
// the end of a final status 3 s after it first showed, and the EXIT key that closes the long-recording dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "card/mmc.h"
#include "draw/color.h"
#include "draw/fonts.h"
#include "draw/string.h"
#include "golden.h"
#include "kernel/kernel_defs.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "platform/clock.h"
#include "run_apart.h"
#include "settings/database.h"
#include "ui/keys/keyboard.h"

TEST_RUN_APART(CardMessageBoxTest);

namespace {

constexpr COLOR kBackground = 0x1234;

struct Extent {
  PIXEL left = 1 << 20, bottom = 1 << 20, right = -(1 << 20), top = -(1 << 20);
  bool empty() const { return right < left; }
};

Extent extentOf(const TestBitmap &bmp, COLOR c) {
  Extent e;
  for (auto [x, y] : bmp.points(c)) {
    e.left = std::min(e.left, x), e.right = std::max(e.right, x);
    e.bottom = std::min(e.bottom, y), e.top = std::max(e.top, y);
  }
  return e;
}

bool takeSignal(SEMA sema) {
  if (L_SEMA_GetWaitingTaskID(sema) != -lsSEMA_DONE) return false;
  L_SEMA_Wait(sema);
  return true;
}

class CardMessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PLATFORM_CLOCK_bIsTestClock() && !PLATFORM_CLOCK_bUseTestClock(5ull * 86400 * 1000000000ull)) {
      GTEST_SKIP() << "needs the test clock";
    }
    H_DATABASE_vInit();
    T_MMC_vResetForTest();
  }
  void TearDown() override { T_MMC_vResetForTest(); }
  // The box of a status as drawn on a fresh 800 x 480 screen.
  static TestBitmap draw(SAVE_STATUS eStatus) {
    TestBitmap screen(800, 480, kBackground);
    T_MMC_vSetStatus(eStatus);
    T_MMC_vShowMessage();
    T_MMC_vDrawMessage(screen.p(), nullptr);
    return screen;
  }
  static COLOR outline() { return gCOLOR_pcolColorTable[32]; }
};

TEST_F(CardMessageBoxTest, ProgressBoxSitsRightOfCentreWithItsBottomAtAThirdOfTheHeight) {
  T_MMC_vSetFileName("S00012.PNG");
  T_MMC_vSetLineCount(240);
  const TestBitmap screen = draw(BUSY);
  vExpectGolden(&screen.bitmap, "saving_half");
  const S32 w = static_cast<S32>(G_STRING_u32GetWidth(std_16x17_font_def_ptr, "Saving S00012.PNG: 50%"));
  const Extent e = extentOf(screen, outline());
  ASSERT_FALSE(e.empty());
  // The outline lies 2 pixels around the w + 10 wide block anchored at (800 - w + 150) / 2.
  EXPECT_EQ(e.left, (800 - w + 150) / 2 - 2);
  EXPECT_EQ(e.right - e.left + 1, w + 10 + 4);
  EXPECT_EQ(e.bottom, 160 - 2);
}

// No English text of 24-character names reaches 770 pixels on the 800-pixel screen; on a narrower bitmap the
// same rule applies: a box W - 20 wide anchored at x 90, its right part cut at the edge.
TEST_F(CardMessageBoxTest, TextWiderThanTheBitmapGetsTheWidestBoxAt90) {
  T_MMC_vSetFileName("WWWWWWWWWWWWWWWWWWWWWWWW");
  T_MMC_vSetStatus(DELETED);
  T_MMC_vShowMessage();
  TestBitmap narrow(600, 480, kBackground);
  T_MMC_vDrawMessage(narrow.p(), nullptr);
  ASSERT_GT(G_STRING_u32GetWidth(std_16x17_font_def_ptr, "Successfully deleted WWWWWWWWWWWWWWWWWWWWWWWW"), 600u - 30);
  const Extent box = extentOf(narrow, gCOLOR_pcolColorTable[35]);
  EXPECT_EQ(box.left, 90);
  EXPECT_EQ(box.right, 599);
  EXPECT_EQ(extentOf(narrow, outline()).left, 88);
  EXPECT_EQ(box.bottom, 160);
}

TEST_F(CardMessageBoxTest, EndFillShowsItsProgressAndEndsDoneAbove818Columns) {
  H_DATABASE_bUpdateValueU32(FCID("CTCU"), 409, P_NORMAL);
  const TestBitmap half = draw(BUSY_ENDFILL);
  vExpectGolden(&half.bitmap, "acquiring_half");
  EXPECT_EQ(T_MMC_eGetStatus(), BUSY_ENDFILL);
  H_DATABASE_bUpdateValueU32(FCID("CTCU"), 818, P_NORMAL);
  draw(BUSY_ENDFILL);
  EXPECT_EQ(T_MMC_eGetStatus(), BUSY_ENDFILL);
  H_DATABASE_bUpdateValueU32(FCID("CTCU"), 819, P_NORMAL);
  draw(BUSY_ENDFILL);
  EXPECT_EQ(T_MMC_eGetStatus(), BUSY_ENDFILL_DONE);
}

TEST_F(CardMessageBoxTest, RecorderStopsInTheSmallFont) {
  const struct {
    SAVE_STATUS eStatus;
    const char *pcGolden;
    const char *pcText;
  } cases[] = {
      {MMC_FULL, "recording_card_full", "Memory Card Full.  Recording has stopped."},
      {MMC_CREATE_ERROR, "recording_create_error", "Error creating file.  Recording has stopped."},
      {MMC_WRITE_ERROR, "recording_write_error", "Error writing to MMC card.  Recording has stopped."},
  };
  for (const auto &c : cases) {
    const TestBitmap screen = draw(c.eStatus);
    vExpectGolden(&screen.bitmap, c.pcGolden);
    const S32 w = static_cast<S32>(G_STRING_u32GetWidth(std_11x14_font_def_ptr, c.pcText));
    EXPECT_EQ(extentOf(screen, outline()).right - extentOf(screen, outline()).left + 1, w + 14) << c.pcGolden;
    T_MMC_vResetForTest();
  }
}

TEST_F(CardMessageBoxTest, ErrorMessageTakesTheBoxOnlyWhenItIsFree) {
  T_MMC_vSetStatus(BUSY);
  T_MMC_vShowMessage();
  T_MMC_vDrawErrorMessage();
  EXPECT_EQ(T_MMC_eGetStatus(), BUSY);
  T_MMC_vResetForTest();
  T_MMC_vDrawErrorMessage();
  EXPECT_EQ(T_MMC_eGetStatus(), MMC_CREATE_ERROR);
  EXPECT_TRUE(T_MMC_bRegisteredForTest());
}

TEST_F(CardMessageBoxTest, FinalStatusGoesThreeSecondsAfterItFirstShowedWhileProgressStays) {
  T_MMC_vSetFileName("S00001.PNG");
  T_MMC_vSetLineCount(0);
  draw(BUSY);
  PLATFORM_CLOCK_vAdvanceTestClockMs(10000);
  draw(BUSY);  // progress never times out
  EXPECT_TRUE(T_MMC_bRegisteredForTest());
  T_MMC_vSetStatus(SUCCESS);
  TestBitmap screen(800, 480, kBackground);
  T_MMC_vDrawMessage(screen.p(), nullptr);  // first drawn now
  PLATFORM_CLOCK_vAdvanceTestClockMs(2999);
  T_MMC_vDrawMessage(screen.p(), nullptr);
  EXPECT_TRUE(T_MMC_bRegisteredForTest());
  PLATFORM_CLOCK_vAdvanceTestClockMs(1);
  TestBitmap after(800, 480, kBackground);
  T_MMC_vDrawMessage(after.p(), nullptr);
  EXPECT_FALSE(T_MMC_bRegisteredForTest());
  EXPECT_TRUE(extentOf(after, outline()).empty());
  T_MMC_vDrawMessage(after.p(), nullptr);  // unregistered: nothing drawn
  EXPECT_TRUE(extentOf(after, outline()).empty());
}

TEST_F(CardMessageBoxTest, LongRecordingDialogStaysUntilExitReachesTheTask) {
  TestBitmap screen = draw(MMC_FILE_TOO_BIG);
  vExpectGolden(&screen.bitmap, "recording_too_long");
  PLATFORM_CLOCK_vAdvanceTestClockMs(60000);
  TestBitmap later = draw(MMC_FILE_TOO_BIG);
  EXPECT_TRUE(T_MMC_bRegisteredForTest());
  EXPECT_TRUE(std::equal(later.vWords.begin(), later.vWords.end(), screen.vWords.begin()));
  takeSignal(SEMA_KEYCLICK_GOOD);
  auto keyMessage = [](U32 u32Key) {
    auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
    pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
    pMsg->key = u32Key;
    return pMsg;
  };
  T_MMC_vHandleMessage(keyMessage(0x10));  // not EXIT: nothing
  EXPECT_TRUE(T_MMC_bRegisteredForTest());
  EXPECT_FALSE(takeSignal(SEMA_KEYCLICK_GOOD));
  T_MMC_vHandleMessage(keyMessage(0x8));
  EXPECT_FALSE(T_MMC_bRegisteredForTest());
  EXPECT_TRUE(takeSignal(SEMA_KEYCLICK_GOOD));
  TestBitmap closed(800, 480, kBackground);
  T_MMC_vDrawMessage(closed.p(), nullptr);
  EXPECT_TRUE(extentOf(closed, gCOLOR_pcolColorTable[130]).empty());
}

}  // namespace

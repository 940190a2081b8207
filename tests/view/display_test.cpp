// The display task's light and power menu, backlight notices and the video-out check, driven through its message
// and timer handlers with the view and keyboard mailboxes standing in test mailboxes.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "view/buffers.h"
#include "view/display.h"
#include "settings/database.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "platform/backlight.h"
#include "platform/host/window.h"
#include "settings/model.h"
#include "platform/lcd.h"
#include "platform/shell.h"
#include "ui/keys/keyboard.h"
#include "run_apart.h"

TEST_RUN_APART(DisplayTest);

namespace {

// Mailboxes that no task uses in a test process stand for the keyboard and view tasks.
constexpr MBOX kKeyboard = M_DUMMY, kView = M_FENWISP;

bool takeSignal(SEMA sema) {
  if (L_SEMA_GetWaitingTaskID(sema) != -lsSEMA_DONE) return false;
  L_SEMA_Wait(sema);
  return true;
}

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char acTemplate[] = "/tmp/corvan-display-XXXXXX";
    m_sRoot = mkdtemp(acTemplate);
    setenv("CORVAN_DEVROOT", (m_sRoot + "/devroot").c_str(), 1);
    setenv("CORVAN_HEADLESS", "1", 1);
    setenv("CORVAN_CWD", (m_sRoot + "/data").c_str(), 1);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    H_DATABASE_vInit();
    H_BACKLIGHT_vResetForTest();
    T_DISPLAY_vResetForTest();
    H_DATABASE_bUpdateEverythingU32(FCID("TKBD"), kKeyboard, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("TVUE"), kView, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingS32(FCID("CBAK"), 5, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("SPAL"), 1, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("SSEN"), 1, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("SQCD"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    send(CMD_ID_RUN_SYSTEM);
    drain();
    for (SEMA sema : {SEMA_KEYCLICK_GOOD, SEMA_KEYCLICK_BAD, SEMA_VIEW_UPDATE}) takeSignal(sema);
  }
  void TearDown() override {
    T_DISPLAY_vResetForTest();
    drain();
    std::error_code ec;
    std::filesystem::remove_all(m_sRoot, ec);
  }
  void drain() {
    for (MBOX mbox : {kKeyboard, kView, static_cast<MBOX>(M_DISPLAY), static_cast<MBOX>(M_VANTREL)}) {
      while (void *pvMsg = L_MBOX_Receive(mbox)) H_MEMORY_vDumpMail(pvMsg);
    }
  }
  void send(CMD_ID u32Cmd) {
    auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
    pMsg->Cmd = u32Cmd;
    T_DISPLAY_vHandleMessage(pMsg);
  }
  // A settings change as the store tells the display task of it.
  void notice(const char (&acKey)[5], U32 u32Value) {
    H_DATABASE_bUpdateEverythingU32(FCID(acKey), u32Value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    auto *pMsg = static_cast<MESSAGE_NEW_DATA *>(H_MEMORY_pvCalloc(1, sizeof(MESSAGE_NEW_DATA)));
    pMsg->Header.Cmd = CMD_ID_NEW_DATA;
    pMsg->FourCharId = FCID(acKey);
    pMsg->dbValue.u32Val = u32Value;
    pMsg->bValid = TRUE;
    T_DISPLAY_vHandleMessage(pMsg);
  }
  void key(U32 u32Key, CURSOR_POSITION eCursor = CURSOR_ILLEGAL) {
    auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
    pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
    pMsg->key = u32Key;
    pMsg->state = KEY_DOWN;
    pMsg->cursor = eCursor;
    T_DISPLAY_vHandleMessage(pMsg);
  }
  // 'G' good click, 'B' bad click, '-' none.
  char clickHeard() {
    if (takeSignal(SEMA_KEYCLICK_GOOD)) return 'G';
    if (takeSignal(SEMA_KEYCLICK_BAD)) return 'B';
    return '-';
  }
  S32 level() {
    S32 s32 = -1;
    H_DATABASE_bFetchS32(FCID("CBAK"), &s32, nullptr, nullptr);
    return s32;
  }
  std::string brightness() {
    std::ifstream in(BACKLIGHT_pcBrightnessPath());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  DISPLAY_MENU_LAYOUT layout() {
    BITMAP bitmap{};
    bitmap.pixels_wide = SCREEN_PIXELS_WIDE;
    bitmap.pixels_high = SCREEN_PIXELS_HIGH;
    DISPLAY_MENU_LAYOUT result;
    T_DISPLAY_vMenuLayout(&bitmap, &result);
    return result;
  }
  std::string m_sRoot;
};

TEST_F(DisplayTest, MenuHeightsFollowTheVisibleItems) {
  const struct {
    U32 u32Enabled, u32Locked, u32Motor, u32SpeedHidden;
    U32 u32Items;
  } kCases[] = {
      {0, 0, NG_UNKNOWN, 0, 3},  // Sonar, Light, Background
      {1, 0, NG_PAUSED, 0, 7},   // Prop, Prop Speed, Stow, Deploy and the three
      {1, 0, NG_PAUSED, 1, 6},   // Prop Speed hidden by 'IPCA'
      {1, 1, NG_STOWED, 0, 4},   // locked out: Deploy and the three
      {0, 0, NG_ERROR, 0, 4},    // Pause and the three
  };
  for (const auto &c : kCases) {
    notice("IPNE", c.u32Enabled);
    notice("IPPL", c.u32Locked);
    notice("IPMS", c.u32Motor);
    H_DATABASE_bUpdateEverythingU32(FCID("IPCA"), c.u32SpeedHidden, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    const DISPLAY_MENU_LAYOUT l = layout();
    EXPECT_EQ(l.u32Items, c.u32Items);
    EXPECT_EQ(l.u32ItemsHeight, 62 * c.u32Items);
    EXPECT_EQ(l.u32FrameHeight, 62 * c.u32Items + 12);
    // The frame's top row is 7 pixels below the top of the bitmap.
    EXPECT_EQ(l.s32FrameY + static_cast<S32>(l.u32FrameHeight) - 1, SCREEN_PIXELS_HIGH - 7);
    EXPECT_EQ(l.s32FrameX, 80 + (SCREEN_PIXELS_WIDE - static_cast<S32>(l.u32MenuWidth) - 16) / 2);
  }
  const DISPLAY_MENU_LAYOUT l = layout();
  EXPECT_EQ(layout().u32MenuWidth >= 224, true);
  (void)l;
}

TEST_F(DisplayTest, CursorUpAndDownWrapBetweenTheFirstItemAndBackground) {
  const struct {
    U32 u32Enabled, u32Motor;
    POWER_KEY_MENU_ITEMS eFirst;
  } kCases[] = {{0, NG_UNKNOWN, PwrMnu_Sonar_Control},
                {0, NG_DEPLOYED, PwrMnu_Motor_Stow},
                {1, NG_STOWED, PwrMnu_Prop_Control}};
  for (const auto &c : kCases) {
    notice("IPNE", c.u32Enabled);
    notice("IPMS", c.u32Motor);
    key(KEY_BIT_POWER);
    ASSERT_TRUE(T_DISPLAY_bMenuShown());
    EXPECT_EQ(T_DISPLAY_eActiveItem(), c.eFirst);
    key(KEY_BIT_CURSOR, CURSOR_NORTH);
    EXPECT_EQ(T_DISPLAY_eActiveItem(), PwrMnu_Contrast_Adj);
    key(KEY_BIT_CURSOR, CURSOR_SOUTH);
    EXPECT_EQ(T_DISPLAY_eActiveItem(), c.eFirst);
    key(KEY_BIT_CURSOR, CURSOR_SOUTH);
    EXPECT_NE(T_DISPLAY_eActiveItem(), c.eFirst);
    key(KEY_BIT_EXIT);
    EXPECT_FALSE(T_DISPLAY_bMenuShown());
  }
  // Down walks only the visible items: Stow, Deploy (paused motor), Sonar, Light, Background.
  notice("IPNE", 0);
  notice("IPMS", NG_PAUSED);
  key(KEY_BIT_POWER);
  const POWER_KEY_MENU_ITEMS kWalk[] = {PwrMnu_Motor_Deploy, PwrMnu_Sonar_Control, PwrMnu_Backlight_Adj,
                                        PwrMnu_Contrast_Adj, PwrMnu_Motor_Stow};
  for (POWER_KEY_MENU_ITEMS eExpected : kWalk) {
    key(KEY_BIT_CURSOR, CURSOR_SOUTH);
    EXPECT_EQ(T_DISPLAY_eActiveItem(), eExpected);
  }
}

TEST_F(DisplayTest, OpeningNeedsTheQuickSetupAndRegistersKeysAndLayer) {
  H_DATABASE_bUpdateValueU32(FCID("SQCD"), FALSE, P_NORMAL);
  key(KEY_BIT_POWER);
  EXPECT_EQ(clickHeard(), 'G');
  EXPECT_FALSE(T_DISPLAY_bMenuShown());
  EXPECT_EQ(L_MBOX_Receive(kView), nullptr);

  H_DATABASE_bUpdateValueU32(FCID("SQCD"), TRUE, P_NORMAL);
  key(KEY_BIT_POWER);
  EXPECT_TRUE(T_DISPLAY_bMenuShown());
  auto *pLayer = static_cast<MSG_REGISTER_LAYER *>(L_MBOX_Receive(kView));
  ASSERT_NE(pLayer, nullptr);
  EXPECT_EQ(pLayer->layer, CONTRAST_LAYER);
  EXPECT_EQ(pLayer->where_used, USED_BY_ALL);
  H_MEMORY_vDumpMail(pLayer);
  U32 au32Keys[2] = {};
  BOOLEAN abRepeat[2] = {};
  for (int i = 0; i < 2; ++i) {
    auto *pKeys = static_cast<MSG_REGISTER_FOR_KEYS *>(L_MBOX_Receive(kKeyboard));
    ASSERT_NE(pKeys, nullptr);
    au32Keys[i] = pKeys->keys;
    abRepeat[i] = pKeys->repeat;
    EXPECT_EQ(pKeys->usage, REGISTER_CONTRAST);
    H_MEMORY_vDumpMail(pKeys);
  }
  EXPECT_EQ(au32Keys[0], 0xFFEEu);
  EXPECT_FALSE(abRepeat[0]);
  EXPECT_EQ(au32Keys[1], KEY_BIT_CURSOR);
  EXPECT_TRUE(abRepeat[1]);
  // Any key other than POWER, EXIT and CURSOR: bad click, still open.
  takeSignal(SEMA_KEYCLICK_GOOD);
  key(KEY_BIT_MENU);
  EXPECT_EQ(clickHeard(), 'B');
  EXPECT_TRUE(T_DISPLAY_bMenuShown());
}

TEST_F(DisplayTest, RightAndLeftChangeTheHighlightedItem) {
  notice("IPNE", 1);
  notice("IPMS", NG_STOWED);
  const struct {
    const char *pcKey;
    float fFrom;
    CURSOR_POSITION eCursor;
    float fTo;
  } kThrust[] = {{"IPPT", 9.8f, CURSOR_EAST, 10.0f}, {"IPPT", 0.5f, CURSOR_WEST, 0.0f},
                 {"IPPT", 10.0f, CURSOR_EAST, 10.0f}, {"IPPT", 2.2f, CURSOR_EAST, 2.5f}};
  key(KEY_BIT_POWER);
  key(KEY_BIT_CURSOR, CURSOR_SOUTH);
  ASSERT_EQ(T_DISPLAY_eActiveItem(), PwrMnu_Prop_Thrust);
  for (const auto &c : kThrust) {
    H_DATABASE_bUpdateEverythingFloat(FCID("IPPT"), c.fFrom, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    key(KEY_BIT_CURSOR, c.eCursor);
    float f = -1.0f;
    H_DATABASE_bFetchFloat(FCID("IPPT"), &f, nullptr, nullptr);
    EXPECT_FLOAT_EQ(f, c.fTo) << c.fFrom;
  }
  takeSignal(SEMA_KEYCLICK_GOOD);
  // Deploy: right asks the autopilot, left is refused.
  key(KEY_BIT_CURSOR, CURSOR_SOUTH);
  ASSERT_EQ(T_DISPLAY_eActiveItem(), PwrMnu_Motor_Deploy);
  takeSignal(SEMA_KEYCLICK_GOOD);
  key(KEY_BIT_CURSOR, CURSOR_WEST);
  EXPECT_EQ(clickHeard(), 'B');
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  EXPECT_EQ(clickHeard(), 'G');
  auto *pRequest = static_cast<GENERIC_MESSAGE *>(L_MBOX_Receive(M_VANTREL));
  ASSERT_NE(pRequest, nullptr);
  EXPECT_EQ(pRequest->Cmd, CMD_ID_VANTREL);
  H_MEMORY_vDumpMail(pRequest);
  // Sonar: on is the last choice.
  key(KEY_BIT_CURSOR, CURSOR_SOUTH);
  takeSignal(SEMA_KEYCLICK_GOOD);
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  EXPECT_EQ(clickHeard(), 'B');
  key(KEY_BIT_CURSOR, CURSOR_WEST);
  EXPECT_EQ(clickHeard(), 'G');
  U32 u32 = 9;
  H_DATABASE_bFetchU32(FCID("SSEN"), &u32, nullptr, nullptr);
  EXPECT_EQ(u32, 0u);
  // Light at 10: refused with the bad click.
  key(KEY_BIT_CURSOR, CURSOR_SOUTH);
  H_DATABASE_bUpdateValueS32(FCID("CBAK"), 10, P_NORMAL);
  takeSignal(SEMA_KEYCLICK_GOOD);
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  EXPECT_EQ(clickHeard(), 'B');
  EXPECT_EQ(level(), 10);
}

// A fresh unit has no 'SSEN': the row, the highlighted box and the step all take the sonar as on.
TEST_F(DisplayTest, AMissingSonarSettingReadsOnEverywhere) {
  auto frame = [] {
    std::vector<U32> words(SCREEN_PIXELS_WIDE * SCREEN_PIXELS_HIGH / 2);
    BITMAP bitmap{};
    G_BUFFERS_pCreateBitmap(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, &bitmap, words.data());
    T_DISPLAY_vDrawLayer(&bitmap, nullptr);
    return words;
  };
  key(KEY_BIT_POWER);
  ASSERT_EQ(T_DISPLAY_eActiveItem(), PwrMnu_Sonar_Control);
  const auto onBox = frame();
  key(KEY_BIT_CURSOR, CURSOR_SOUTH);  // the Sonar row as a plain row, its value at the right
  const auto onRow = frame();
  key(KEY_BIT_CURSOR, CURSOR_NORTH);
  H_DATABASE_vDeleteEntry(FCID("SSEN"));
  EXPECT_TRUE(frame() == onBox);
  key(KEY_BIT_CURSOR, CURSOR_SOUTH);
  EXPECT_TRUE(frame() == onRow);
  key(KEY_BIT_CURSOR, CURSOR_NORTH);
  takeSignal(SEMA_KEYCLICK_GOOD);
  // On is the last choice: right is refused, left switches the sonar off.
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  EXPECT_EQ(clickHeard(), 'B');
  key(KEY_BIT_CURSOR, CURSOR_WEST);
  EXPECT_EQ(clickHeard(), 'G');
  U32 u32 = 9;
  EXPECT_TRUE(H_DATABASE_bFetchU32(FCID("SSEN"), &u32, nullptr, nullptr));
  EXPECT_EQ(u32, 0u);
}

// Once the system runs, the simulator's window names the unit's model.
TEST_F(DisplayTest, TheWindowTitleNamesTheModel) {
  for (MODEL_TYPE eModel : {MODEL_DOMESTIC, MODEL_DEFAULT}) {
    H_DATABASE_bUpdateEverythingU32(FCID("SMDL"), eModel, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    send(CMD_ID_RUN_SYSTEM);
    EXPECT_EQ(WINDOW_sTitle(), std::string("corvan ") + MODEL_pcFetchModelText(eModel));
  }
}

TEST_F(DisplayTest, ClosingRestoresTheBacklightUnlessItWasChanged) {
  // Palette changed only: the level saved at opening comes back.
  key(KEY_BIT_POWER);
  H_DATABASE_bUpdateValueS32(FCID("CBAK"), 2, P_NORMAL);
  key(KEY_BIT_CURSOR, CURSOR_NORTH);
  ASSERT_EQ(T_DISPLAY_eActiveItem(), PwrMnu_Contrast_Adj);
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  U32 u32Palette = 0;
  H_DATABASE_bFetchU32(FCID("SPAL"), &u32Palette, nullptr, nullptr);
  EXPECT_EQ(u32Palette, 2u);
  key(KEY_BIT_EXIT);
  EXPECT_EQ(level(), 5);
  // Backlight changed: it stays.
  key(KEY_BIT_POWER);
  key(KEY_BIT_CURSOR, CURSOR_SOUTH);
  ASSERT_EQ(T_DISPLAY_eActiveItem(), PwrMnu_Backlight_Adj);
  key(KEY_BIT_CURSOR, CURSOR_WEST);
  key(KEY_BIT_POWER);
  EXPECT_FALSE(T_DISPLAY_bMenuShown());
  EXPECT_EQ(level(), 4);
}

TEST_F(DisplayTest, BacklightNoticesWriteTheBrightnessFile) {
  notice("CBAK", DISPLAY_BACKLIGHT_LOW);
  EXPECT_EQ(brightness(), "51 51");
  notice("CREV", 4);  // new panel: full brightness at once
  EXPECT_EQ(brightness(), "0 0");
  notice("CBAK", DISPLAY_BACKLIGHT_LOW);
  EXPECT_EQ(brightness(), "58 58");
}

TEST_F(DisplayTest, VideoOutWaitsForAMonitorThenAppliesTheMode) {
  H_SHELL_vClearRecord();
  notice("SVOM", 3);
  EXPECT_TRUE(T_DISPLAY_bVideoOutCheckRunning());
  EXPECT_STREQ(H_SHELL_pcRecorded(H_SHELL_u32RecordedCount() - 1), "omap_dss2_venc.sh on ntsc");
  T_DISPLAY_vHandleVideoOutTimer();
  EXPECT_TRUE(T_DISPLAY_bVideoOutCheckRunning());
  EXPECT_FALSE(T_DISPLAY_bVideoOutConnected());
  const std::string sDetect = m_sRoot + "/devroot/sys/devices/platform/omapdss/display2";
  std::filesystem::create_directories(sDetect);
  std::ofstream(sDetect + "/venc_tv_detect") << "1\n";
  T_DISPLAY_vHandleVideoOutTimer();
  EXPECT_FALSE(T_DISPLAY_bVideoOutCheckRunning());
  EXPECT_TRUE(T_DISPLAY_bVideoOutConnected());
  EXPECT_STREQ(H_SHELL_pcRecorded(H_SHELL_u32RecordedCount() - 1), "omap_dss2_venc.sh on pal");
  // Off while connected: the LCD only at once.
  notice("SVOM", 0);
  EXPECT_FALSE(T_DISPLAY_bVideoOutConnected());
  EXPECT_STREQ(H_SHELL_pcRecorded(H_SHELL_u32RecordedCount() - 1), "omap_dss2_venc.sh off");
}

TEST_F(DisplayTest, OperatingModesSetPaletteAndBacklight) {
  const struct {
    SYSTEM_STATE eState;
    S32 s32Level;
  } kCases[] = {{STATE_BURN_IN, 10}, {STATE_POINT_OF_SALE, 10}, {STATE_INLINE_TEST, 10}, {STATE_NORMAL_RUN, 4}};
  for (const auto &c : kCases) {
    H_DATABASE_bUpdateValueS32(FCID("CBAK"), 4, P_NORMAL);
    H_DATABASE_bUpdateValueU32(FCID("SPAL"), 3, P_NORMAL);
    notice("CCST", c.eState);
    EXPECT_EQ(level(), c.s32Level) << c.eState;
  }
}

TEST_F(DisplayTest, StartPublishesItselfAndRetriesTheKeysUntilTheKeyboardIsUp) {
  H_DATABASE_vDeleteEntry(FCID("TKBD"));
  H_DATABASE_vDeleteEntry(FCID("CBAK"));
  takeSignal(SEMA_DISPINIT_COMPLETE);
  T_DISPLAY_vInit();
  EXPECT_TRUE(takeSignal(SEMA_DISPINIT_COMPLETE));
  U32 u32 = 0;
  BOOLEAN bValid = FALSE;
  ASSERT_TRUE(H_DATABASE_bFetchU32(FCID("TDSP"), &u32, &bValid, nullptr));
  EXPECT_EQ(u32, static_cast<U32>(M_DISPLAY));
  EXPECT_TRUE(H_DATABASE_bFetch(FCID("DSFB"), nullptr, nullptr, nullptr));
  EXPECT_EQ(level(), DISPLAY_BACKLIGHT_MAX);
  EXPECT_EQ(brightness(), "0 0");
  // Without the keyboard task the POWER key is asked for again on the retry tick, which then stops.
  T_DISPLAY_vHandleRetryTimer();
  EXPECT_EQ(L_MBOX_Receive(kKeyboard), nullptr);
  drain();
  H_DATABASE_bUpdateEverythingU32(FCID("TKBD"), kKeyboard, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  T_DISPLAY_vHandleRetryTimer();
  auto *pKeys = static_cast<MSG_REGISTER_FOR_KEYS *>(L_MBOX_Receive(kKeyboard));
  ASSERT_NE(pKeys, nullptr);
  EXPECT_EQ(pKeys->keys, KEY_BIT_POWER);
  EXPECT_EQ(pKeys->usage, REGISTER_CONTRAST);
  H_MEMORY_vDumpMail(pKeys);
  auto *pRemove = static_cast<MSG_UNREGISTER_LAYER *>(L_MBOX_Receive(kView));
  ASSERT_NE(pRemove, nullptr);
  EXPECT_EQ(pRemove->layer, PRESS_POWER_LAYER);
  H_MEMORY_vDumpMail(pRemove);
  // A second owner of the mailbox key is fatal.
  EXPECT_EXIT(
      {
        H_DATABASE_bUpdateEverythingU32(FCID("TDSP"), 99, P_HIGHEST, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
        T_DISPLAY_vInit();
      },
      ::testing::ExitedWithCode(10), "");
  DD_LCD_vReset();
}

TEST_F(DisplayTest, DisplayScreenShowsTheBitmapAndFreesOnlyItsHeader) {
  DD_LCD_vReset();
  DD_LCD_vInit();
  U32 *pu32Page = H_DISPLAY_pu32GetDisplayBuffer();
  ASSERT_NE(pu32Page, nullptr);
  auto *pMsg = static_cast<MSG_DISPLAY_SCREEN *>(H_MEMORY_pvCalloc(1, sizeof(MSG_DISPLAY_SCREEN)));
  pMsg->header.Cmd = CMD_ID_DISPLAY_SCREEN;
  pMsg->pBitmap = G_BUFFERS_pCreateFullScreenBitmapHeader();
  pMsg->pBitmap->pBuffer = pu32Page;
  T_DISPLAY_vHandleMessage(pMsg);
  EXPECT_EQ(DD_LCD_pu32GetFrameBufferPointer(), pu32Page);
  DD_LCD_vReset();
}

}  // namespace

// Screen snapshots and the capture review view, driven through the view task on the test thread with a list of
// saved items of the test's own in place of the card's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "golden.h"
#include "view/capture_internal.h"
#include "draw/color.h"
#include "draw/string.h"
#include "draw/fonts.h"
#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "ui/keys/keyboard.h"
#include "ui/menu/menu.h"
#include "view_fixture.h"

namespace {

// The card task's mailbox in these tests.
constexpr MBOX kCard = M_DUMMY;

struct Item {
  std::string name;
  THUMBNAIL_TYPE type;
};
std::vector<Item> s_items;
std::string s_opened;

int indexOf(const char *pcName) {
  for (size_t i = 0; i < s_items.size(); ++i) {
    if (s_items[i].name == pcName) return static_cast<int>(i);
  }
  return -1;
}

THUMBNAIL_TYPE answer(int i, char *pcPath, U32 *pu32Position) {
  if (i < 0 || i >= static_cast<int>(s_items.size())) return THUMBNAIL_NONE;
  if (pcPath != nullptr) std::snprintf(pcPath, THUMBNAIL_NAME_SIZE, "%s", s_items[i].name.c_str());
  if (pu32Position != nullptr) *pu32Position = static_cast<U32>(i + 1);
  return s_items[i].type;
}

int step(int from, int by, bool bImages) {
  for (int i = from + by; i >= 0 && i < static_cast<int>(s_items.size()); i += by) {
    if (!bImages || s_items[i].type == THUMBNAIL_IMAGE_TYPE) return i;
  }
  return -1;
}

const CAPTURE_CARD_LIST kList = {
    .u32ThumbNailsInList = [] { return static_cast<U32>(s_items.size()); },
    .eFindFirst = [](char *p, U32 *n) { return answer(0, p, n); },
    .eFindLast = [](char *p, U32 *n) { return answer(static_cast<int>(s_items.size()) - 1, p, n); },
    .eFindNext = [](const char *e, char *p, U32 *n) { return answer(step(indexOf(e), 1, false), p, n); },
    .eFindPrevious = [](const char *e, char *p, U32 *n) { return answer(step(indexOf(e), -1, false), p, n); },
    .eFindFirstImage = [](char *p, U32 *n) { return answer(step(-1, 1, true), p, n); },
    .eFindLastImage = [](char *p, U32 *n) { return answer(step(static_cast<int>(s_items.size()), -1, true), p, n); },
    .eFindNextImage = [](const char *e, char *p, U32 *n) { return answer(step(indexOf(e), 1, true), p, n); },
    .eFindPreviousImage = [](const char *e, char *p, U32 *n) { return answer(step(indexOf(e), -1, true), p, n); },
    .eFindLatest =
        [](char *p, THUMBNAIL_TYPE t, U32 *n) {
          for (int i = static_cast<int>(s_items.size()) - 1; i >= 0; --i) {
            if (s_items[i].type == t) return answer(i, p, n);
          }
          return THUMBNAIL_NONE;
        },
    .bOpenPlaybackFile =
        [](BOOLEAN bOpen, const char *pcName) {
          s_opened = bOpen && pcName != nullptr ? pcName : "";
          return static_cast<BOOLEAN>(bOpen && std::strstr(pcName, "BAD") == nullptr);
        },
};

struct CardMail {
  std::vector<U32> cmds;
  std::vector<std::string> names;
};

class CaptureTest : public ViewFixture {
 protected:
  void SetUp() override {
    ViewFixture::SetUp();
    if (IsSkipped()) return;
    T_VIEW_vCaptureResetForTest();
    s_items.clear();
    s_opened.clear();
    T_VIEW_vSetCardListForTest(&kList);
    H_DATABASE_bUpdateEverythingU32(FCID("TMMC"), kCard, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("CCST"), 3, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    T_VIEW_vSetupCapture();
    pump();
    VIEWTEST_bTake(SEMA_KEYCLICK_GOOD);
    VIEWTEST_bTake(SEMA_KEYCLICK_BAD);
  }
  void TearDown() override {
    T_VIEW_vCaptureResetForTest();
    T_VIEW_vSetCardListForTest(nullptr);
    mail();
    ViewFixture::TearDown();
  }
  // What the card task was sent; thumbnail requests are answered with a picture of the slot's own colours.
  CardMail mail() {
    CardMail m;
    while (void *pvMsg = L_MBOX_Receive(kCard)) {
      const U32 cmd = static_cast<GENERIC_MESSAGE *>(pvMsg)->Cmd;
      m.cmds.push_back(cmd);
      if (cmd == CMD_ID_LOAD_THUMBNAIL || cmd == CMD_ID_LOAD_RECORDING) {
        auto *pMsg = static_cast<MSG_LOAD_THUMBNAIL *>(pvMsg);
        m.names.push_back(pMsg->pFilename);
        fill(pMsg->pThumbnailDestination, pMsg->pFilename);
        H_MEMORY_vFree(pMsg->pFilename);
      } else if (cmd == CMD_ID_LOAD_BMP) {
        auto *pMsg = static_cast<MSG_LOAD_BITMAP *>(pvMsg);
        m.names.push_back(pMsg->pFileName);
        H_MEMORY_vFree(pMsg->pFileName);
      } else if (cmd == CMD_ID_DELETE_IMAGE) {
        m.names.push_back(static_cast<MSG_DELETE_IMAGE *>(pvMsg)->FileName);
      }
      H_MEMORY_vDumpMail(pvMsg);
    }
    return m;
  }
  static void fill(THUMBNAIL_HEADER_TYPE *pSlot, const char *pcName) {
    const U32 seed = static_cast<U32>(pcName[std::strlen(pcName) - 5]);
    const THUMBNAIL_WAYPOINT where = {1700000000u + seed * 3600u, 5400000, -9800000, "WPT"};
    if (pSlot->eType == THUMBNAIL_IMAGE_TYPE) {
      pSlot->snapshot->Header.WaypointValid = TRUE;
      pSlot->snapshot->Header.Image_Waypoint = where;
      for (U32 k = 0; k < THUMBNAIL_PIXELS; ++k) {
        const U32 x = k % THUMBNAIL_WIDTH, y = k / THUMBNAIL_WIDTH;
        pSlot->snapshot->ImageData[k] = static_cast<COLOR>(((x / 8) << 11) | ((y / 2) << 5) | (seed & 31));
      }
      return;
    }
    SONAR_RECORD_THUMB_HEADER &r = *pSlot->recording;
    r.bWaypointValid = TRUE;
    r.RecordingStartWaypoint = where;
    r.u32NumberOfPings = 6000;
    r.u32TotalTimeMs = 600000;
    r.u32PingSizeBytes = 4096;
    r.u32FirstPingPeriodMs = 90;
    r.u32BeamMask = 3;
    std::snprintf(r.RecordingStartWaypoint.sName, sizeof r.RecordingStartWaypoint.sName, "REC%c.SON", seed);
  }
  void key(U32 u32Key, CURSOR_POSITION cursor = CURSOR_ILLEGAL) {
    MSG_KEY_CHANGE msg = {};
    msg.key = u32Key;
    msg.state = KEY_DOWN;
    msg.cursor = cursor;
    T_VIEW_vHandleKeys(&msg);
  }
  // One frame of the review view into a bitmap of its own.
  void draw(TestBitmap *pBmp) {
    WINDOW_SPECIFICATION window = {};
    T_VIEW_vDrawCaptureReviewView(pBmp->p(), &window);
  }
  void drawAndAnswer() {
    TestBitmap bmp(800, 480);
    draw(&bmp);
    mail();
  }
  // Which click the last action gave: 'g' good, 'b' bad, '-' none.
  char click() {
    const bool bGood = VIEWTEST_bTake(SEMA_KEYCLICK_GOOD);
    const bool bBad = VIEWTEST_bTake(SEMA_KEYCLICK_BAD);
    return bGood ? (bBad ? '?' : 'g') : (bBad ? 'b' : '-');
  }
};

TEST_F(CaptureTest, MarkFreezesAndSavesOneSnapshotAtATime) {
  set(FCID("SCSC"), CAPTURE_ON);
  key(KEY_BIT_MARK);
  EXPECT_EQ(click(), 'g');
  ASSERT_NE(T_VIEW_pFrozenBitmap(), nullptr);
  EXPECT_FALSE(T_VIEW_bOkToCaptureForTest());
  CardMail m = mail();
  ASSERT_EQ(m.cmds, std::vector<U32>{CMD_ID_SCREEN_DUMP});
  // While frozen, the frozen picture is shown every 500 ms and requests are ignored.
  const int before = shown();
  request();
  EXPECT_EQ(shown(), before);
  advance(500);
  EXPECT_EQ(shown(), before + 1);
  key(KEY_BIT_MARK);
  EXPECT_EQ(click(), 'b');
  EXPECT_TRUE(mail().cmds.empty());
  // The card task is done: the freeze ends and the next MARK works.
  T_VIEW_vSnapshotSaveComplete();
  L_SEMA_Signal(SEMA_VIEW_RELEASE_BITMAP);
  pump();
  EXPECT_EQ(T_VIEW_pFrozenBitmap(), nullptr);
  key(KEY_BIT_MARK);
  EXPECT_EQ(click(), 'g');
  EXPECT_EQ(mail().cmds, std::vector<U32>{CMD_ID_SCREEN_DUMP});
}

TEST_F(CaptureTest, WhatMarkAndSoftKeyOneDoInEachCase) {
  const struct {
    U32 capture;
    bool card;  // 'TMMC' exists
    bool recording;
    U32 keyBit;
    char click;
    bool dumpSent;
    bool okAfter;  // capture allowed again at once
  } cases[] = {
      {CAPTURE_OFF, true, false, KEY_BIT_MARK, 'g', false, true},  // the navigation mark
      {CAPTURE_OFF, true, false, KEY_BIT_SOFT_KEY_1, 'b', false, true},
      {CAPTURE_ON, true, true, KEY_BIT_MARK, 'g', false, true},  // recording: the navigation mark
      {CAPTURE_CONFIRM, true, false, KEY_BIT_MARK, 'b', false, true},
      {CAPTURE_ON, true, false, KEY_BIT_SOFT_KEY_1, 'g', true, false},
      // No card task to save it: the freeze is let go at once and the next snapshot is allowed.
      {CAPTURE_ON, false, false, KEY_BIT_MARK, 'g', false, true},
  };
  for (const auto &c : cases) {
    T_VIEW_vCaptureResetForTest();
    T_VIEW_vSetCardListForTest(&kList);
    T_VIEW_vSetupCapture();
    if (c.card) {
      H_DATABASE_bUpdateEverythingU32(FCID("TMMC"), kCard, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    } else {
      H_DATABASE_vDeleteEntry(FCID("TMMC"));
    }
    set(FCID("SCSC"), c.capture);
    if (c.recording) T_VIEW_vSetSRViewState(SR_VIEW_RECORDING);
    click();
    mail();
    key(c.keyBit);
    EXPECT_EQ(click(), c.click) << c.capture << " " << c.keyBit;
    EXPECT_EQ(!mail().cmds.empty(), c.dumpSent) << c.capture << " " << c.keyBit;
    EXPECT_EQ(T_VIEW_bOkToCaptureForTest(), c.okAfter) << c.capture << " " << c.keyBit;
    EXPECT_EQ(T_VIEW_pFrozenBitmap() != nullptr, !c.okAfter) << c.capture << " " << c.keyBit;
    T_VIEW_vToggleDisplayUpdateFreeze(FALSE);
  }
}

TEST_F(CaptureTest, PlaybackReplacesTheStateAndViewUntilItStops) {
  s_items = {{"/c/REC1.DAT", THUMBNAIL_RECORDING_TYPE}, {"/c/PIC1.DAT", THUMBNAIL_IMAGE_TYPE}};
  reg(CHART_PLUS_2D_VIEW_PRIORITY, USED_BY_NONE, 0);
  set(FCID("CVEW"), CAPTURE_REVIEW_VIEW_PRIORITY);
  drawAndAnswer();
  ASSERT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_THUMBNAILS);
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  pump();
  EXPECT_EQ(click(), 'g');
  EXPECT_EQ(s_opened, "/c/REC1.SON");
  EXPECT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_PLAYBACK);
  EXPECT_EQ(get(FCID("CCST")), 11u);
  EXPECT_EQ(get(FCID("CVEW")), 35u);
  EXPECT_EQ(get(FCID("CPSP")), 8u);
  EXPECT_EQ(get(FCID("CPSM")), 8u);
  // MARK while playing back pauses first.
  set(FCID("SCSC"), CAPTURE_ON);
  key(KEY_BIT_MARK);
  pump();
  EXPECT_EQ(get(FCID("CPSP")), 6u);
  T_VIEW_vToggleDisplayUpdateFreeze(FALSE);
  T_VIEW_vSnapshotSaveComplete();
  // Stop Playback from the menu on another view closes the menu with an EXIT first.
  click();
  T_VIEW_vStopPlayback();
  pump();
  EXPECT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_THUMBNAILS);
  EXPECT_EQ(get(FCID("CCST")), 3u);
  EXPECT_EQ(get(FCID("CVEW")), 71u);
  EXPECT_EQ(get(FCID("CPSP")), 13u);
  void *pvExit = L_MBOX_Receive(M_MENU);
  ASSERT_NE(pvExit, nullptr);
  EXPECT_EQ(static_cast<MSG_KEY_CHANGE *>(pvExit)->key, KEY_BIT_EXIT);
  H_MEMORY_vDumpMail(pvExit);
  T_VIEW_vStopPlayback();
  EXPECT_EQ(click(), 'b');
  // A recording that does not open stays in the list.
  s_items[0].name = "/c/BAD.DAT";
  T_VIEW_vCaptureResetForTest();
  T_VIEW_vSetCardListForTest(&kList);
  T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
  drawAndAnswer();
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  EXPECT_EQ(click(), 'b');
  EXPECT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_THUMBNAILS);
}

TEST_F(CaptureTest, PlaybackSpeedSteps) {
  const struct {
    U32 mode;
    U32 faster, slower;  // 0: refused
  } cases[] = {{2, 3, 0},  {3, 4, 2},  {4, 5, 3},  {5, 6, 4},  {6, 7, 5}, {7, 8, 6},  {8, 9, 7},
               {9, 10, 8}, {10, 0, 9}, {15, 7, 0}, {16, 0, 5}, {1, 0, 0}, {11, 0, 0}, {13, 0, 0}};
  for (const auto &c : cases) {
    for (const U32 direction : {3u, 7u}) {
      H_DATABASE_bUpdateValueU32(FCID("CPSP"), c.mode, P_NORMAL);
      const U32 expected = direction == 3 ? c.faster : c.slower;
      EXPECT_EQ(T_VIEW_bUpdatePlaybackMode(direction), expected != 0) << c.mode << " " << direction;
      EXPECT_EQ(get(FCID("CPSP")), expected != 0 ? expected : c.mode) << c.mode << " " << direction;
    }
  }
}

TEST_F(CaptureTest, SpeedMenuAndModeAgree) {
  const struct {
    U32 cpsp;
    PLAYBACK_MENU menu;
    U32 choices;
  } menus[] = {{1, PLAYBACK_MENU_NO_REW, 6},  {15, PLAYBACK_MENU_NO_REW, 6},  {2, PLAYBACK_MENU_FULL, 11},
               {13, PLAYBACK_MENU_FULL, 11},  {14, PLAYBACK_MENU_FULL, 11},   {11, PLAYBACK_MENU_NO_FWD, 6},
               {16, PLAYBACK_MENU_NO_FWD, 6}, {12, PLAYBACK_MENU_END_FILL, 1}};
  for (const auto &m : menus) {
    set(FCID("CPSP"), m.cpsp);
    EXPECT_EQ(T_VIEW_ePlaybackMenuForTest(), m.menu) << m.cpsp;
    const U32 *pu32Values = nullptr;
    EXPECT_EQ(T_VIEW_u32PlaybackSpeedChoices(m.menu, &pu32Values), m.choices);
  }
  // A choice in the speed menu becomes the mode, except pause while paused at either end.
  const struct { U32 cpsp, cpsm, expected; } choices[] = {{8, 3, 3}, {8, 11, 11}, {8, 6, 6}, {16, 6, 16}, {15, 6, 15}};
  for (const auto &c : choices) {
    set(FCID("CPSP"), c.cpsp);
    set(FCID("CPSM"), c.cpsm);
    EXPECT_EQ(get(FCID("CPSP")), c.expected) << c.cpsp << " " << c.cpsm;
  }
  // A mode paused at an end shows pause in the menu.
  set(FCID("CPSP"), 16);
  EXPECT_EQ(get(FCID("CPSM")), 6u);
}

TEST_F(CaptureTest, RemovingTheCardOfTheRecordingOrPlaybackEndsIt) {
  T_VIEW_vSetSRViewState(SR_VIEW_RECORDING);
  MSG_PING_VIEW_START start = {};
  start.header.Cmd = CMD_ID_PING_START;
  start.u8DeviceNumber = 1;
  std::memcpy(start.sFileName, "R0000001", 8);
  T_VIEW_vHandlePingStart(&start.header);
  EXPECT_STREQ(T_VIEW_captureState().figures.sFileName, "R0000001.SON");
  set(FCID("CSD0"), FALSE);
  EXPECT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_RECORDING);
  set(FCID("CSD1"), FALSE);
  EXPECT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_THUMBNAILS);
  // Playback of a file on slot 0.
  s_items = {{"mmc:0/REC1.DAT", THUMBNAIL_RECORDING_TYPE}};
  reg(CHART_PLUS_2D_VIEW_PRIORITY, USED_BY_NONE, 0);
  set(FCID("CVEW"), CAPTURE_REVIEW_VIEW_PRIORITY);
  drawAndAnswer();
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  ASSERT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_PLAYBACK);
  set(FCID("CSD1"), TRUE);
  set(FCID("CSD1"), FALSE);
  EXPECT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_PLAYBACK);
  set(FCID("CSD0"), TRUE);
  set(FCID("CSD0"), FALSE);
  EXPECT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_THUMBNAILS);
  EXPECT_EQ(get(FCID("CCST")), 3u);
}

TEST_F(CaptureTest, BrowsingTheThumbnailsWithTheCursor) {
  s_items = {{"/c/A.DAT", THUMBNAIL_IMAGE_TYPE},
             {"/c/B.DAT", THUMBNAIL_RECORDING_TYPE},
             {"/c/C.DAT", THUMBNAIL_IMAGE_TYPE},
             {"/c/D.DAT", THUMBNAIL_IMAGE_TYPE}};
  set(FCID("CVEW"), CAPTURE_REVIEW_VIEW_PRIORITY);
  TestBitmap bmp(800, 480);
  draw(&bmp);
  CardMail m = mail();
  EXPECT_EQ(m.names, (std::vector<std::string>{"/c/A.DAT", "/c/B.DAT", "/c/C.DAT"}));
  auto names = [] {
    std::string s;
    for (U32 i = 0; i < 3; ++i)
      s += T_VIEW_pThumbnailSlotForTest(i)->eType == THUMBNAIL_NONE
               ? std::string("-")
               : std::string(1, T_VIEW_pThumbnailSlotForTest(i)->sName[3]);
    return s;
  };
  const struct {
    CURSOR_POSITION cursor;
    char click;
    const char *slots;
  } steps[] = {
      {CURSOR_SOUTH, 'g', "BCD"},
      {CURSOR_SOUTH, 'g', "CD-"},
      {CURSOR_SOUTH, 'g', "D--"},
      // At the last item the list starts again from the first at the next frame.
      {CURSOR_SOUTH, 'g', "ABC"},
      // At the first item, up wraps to the last.
      {CURSOR_NORTH, 'g', "D--"},
      {CURSOR_NORTH, 'g', "CD-"},
      {CURSOR_WEST, 'b', "CD-"},
  };
  for (const auto &s : steps) {
    key(KEY_BIT_CURSOR, s.cursor);
    EXPECT_EQ(click(), s.click) << s.slots;
    draw(&bmp);
    mail();
    EXPECT_EQ(names(), s.slots);
  }
  // Right on a picture opens it full size; left goes back.
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  EXPECT_EQ(click(), 'g');
  EXPECT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_FULLIMAGE);
  m = mail();
  EXPECT_EQ(m.names, std::vector<std::string>{"/c/C.PNG"});
  key(KEY_BIT_CURSOR, CURSOR_SOUTH);
  EXPECT_EQ(click(), 'g');
  m = mail();
  ASSERT_FALSE(m.names.empty());
  EXPECT_EQ(m.names.back(), "/c/D.PNG");
  key(KEY_BIT_CURSOR, CURSOR_WEST);
  EXPECT_EQ(click(), 'g');
  EXPECT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_THUMBNAILS);
  EXPECT_EQ(T_VIEW_captureState().pFileImage, nullptr);
}

TEST_F(CaptureTest, DeletingTheLastItemMakesThePreviousOneCurrent) {
  s_items = {{"/c/A.DAT", THUMBNAIL_IMAGE_TYPE}, {"/c/B.DAT", THUMBNAIL_IMAGE_TYPE}};
  drawAndAnswer();
  key(KEY_BIT_CURSOR, CURSOR_SOUTH);
  click();
  drawAndAnswer();
  ASSERT_STREQ(T_VIEW_pThumbnailSlotForTest(0)->sName, "/c/B.DAT");
  T_VIEW_vDeleteCurrentImage();
  EXPECT_EQ(click(), 'g');
  TestBitmap bmp(800, 480);
  draw(&bmp);
  const CardMail m = mail();
  ASSERT_EQ(m.cmds.front(), static_cast<U32>(CMD_ID_DELETE_IMAGE));
  EXPECT_EQ(m.names.front(), "/c/B.DAT");
  EXPECT_STREQ(T_VIEW_pThumbnailSlotForTest(0)->sName, "/c/A.DAT");
  // Nothing to delete in playback.
  s_items = {{"/c/R.DAT", THUMBNAIL_RECORDING_TYPE}};
  T_VIEW_vDeleteAllImages();
  EXPECT_EQ(click(), 'g');
  draw(&bmp);
  EXPECT_EQ(mail().names.front(), "all images");
}

TEST_F(CaptureTest, TheHotMenuFollowsTheReviewState) {
  constexpr MBOX kMenu = M_FENWISP + 1;
  H_DATABASE_bUpdateEverythingU32(FCID("TMNU"), kMenu, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  struct Change {
    std::set<S32> added;
    int removed = 0;
    U32 speedChoices = 0;
  };
  auto changes = [&] {
    Change c;
    while (void *pvMsg = L_MBOX_Receive(kMenu)) {
      const U32 cmd = static_cast<GENERIC_MESSAGE *>(pvMsg)->Cmd;
      if (cmd == CMD_ID_REGISTER_MENU_ITEM) {
        const MENU_DESCRIPTOR &d = static_cast<MSG_ADD_MENU_ITEM *>(pvMsg)->descriptor;
        c.added.insert(d.menuPriority);
        if (d.menuPriority == MENU_PLAYBACK_SPEED) c.speedChoices = d.parameters.selector.numberSelections;
      }
      if (cmd == CMD_ID_UNREGISTER_MENU_ITEM) ++c.removed;
      H_MEMORY_vDumpMail(pvMsg);
    }
    return c;
  };
  const struct {
    SR_VIEW_STATE state;
    std::set<S32> added;
    int removed;
  } steps[] = {
      {SR_VIEW_RECORDING, {18, 94}, 5},
      {SR_VIEW_THUMBNAILS, {88, 90, 92, 93, 94}, 2},
      {SR_VIEW_PLAYBACK, {16, 17}, 5},
      {SR_VIEW_THUMBNAILS, {88, 90, 92, 93, 94}, 2},
  };
  changes();
  for (const auto &st : steps) {
    T_VIEW_vSetSRViewState(st.state);
    pump();
    const Change c = changes();
    EXPECT_EQ(c.added, st.added) << st.state;
    EXPECT_EQ(c.removed, st.removed) << st.state;
  }
  // In playback, a mode that changes the speed menu registers the speed selector again.
  T_VIEW_vSetSRViewState(SR_VIEW_PLAYBACK);
  pump();
  changes();
  set(FCID("CPSP"), PLAYBACK_MODE_END);
  const Change c = changes();
  EXPECT_EQ(c.added, std::set<S32>{MENU_PLAYBACK_SPEED});
  EXPECT_EQ(c.removed, 1);
  EXPECT_EQ(c.speedChoices, 6u);
  set(FCID("CPSP"), PLAYBACK_MODE_END_FILL);
  EXPECT_EQ(changes().speedChoices, 1u);
}

TEST_F(CaptureTest, ANewSnapshotBecomesTheCurrentItemAtTheNextFrame) {
  s_items = {{"/c/A.DAT", THUMBNAIL_IMAGE_TYPE}, {"/c/B.DAT", THUMBNAIL_IMAGE_TYPE}};
  drawAndAnswer();
  ASSERT_STREQ(T_VIEW_pThumbnailSlotForTest(0)->sName, "/c/A.DAT");
  s_items.push_back({"/c/C.DAT", THUMBNAIL_IMAGE_TYPE});
  T_VIEW_vSnapshotSaveComplete();
  drawAndAnswer();
  EXPECT_STREQ(T_VIEW_pThumbnailSlotForTest(0)->sName, "/c/C.DAT");
  EXPECT_EQ(T_VIEW_pScrollInfoForTest()->u32TopThumbNailPosition, 3u);
}

TEST_F(CaptureTest, InPlaybackTheRemainingFiguresShowThePartPlayedWhenGoingBack) {
  s_items = {{"/c/RECA.DAT", THUMBNAIL_RECORDING_TYPE}};
  reg(CHART_PLUS_2D_VIEW_PRIORITY, USED_BY_NONE, 0);
  set(FCID("CVEW"), CAPTURE_REVIEW_VIEW_PRIORITY);
  drawAndAnswer();
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  ASSERT_EQ(T_VIEW_eSRViewStateForTest(), SR_VIEW_PLAYBACK);
  // 600 s and 24,000 kB in all; 150 s and 4,096,000 bytes played.
  H_DATABASE_bUpdateEverythingU32(FCID("CRTS"), 150000, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingU32(FCID("CRBS"), 4096000, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  const struct {
    U32 mode, timeMs, sizeKB;
  } cases[] = {{8, 450000, 20000}, {4, 150000, 4000}, {6, 150000, 4000}, {12, 150000, 4000}, {10, 450000, 20000}};
  for (const auto &c : cases) {
    H_DATABASE_bUpdateValueU32(FCID("CPSP"), c.mode, P_NORMAL);
    TestBitmap bmp(800, 480);
    draw(&bmp);
    EXPECT_EQ(T_VIEW_captureState().figures.u32RemainingTimeMs, c.timeMs) << c.mode;
    EXPECT_EQ(T_VIEW_captureState().figures.u32RemainingSizeKB, c.sizeKB) << c.mode;
  }
}

TEST_F(CaptureTest, RemainingSizes) {
  const struct {
    U32 kb;
    const char *text;
  } cases[] = {{100000, "-97.7MB"}, {2000000, "-1.9GB"}, {102400, "-100MB"}, {500, "-0.5MB"}, {1048576, "-1.0GB"},
               {0, "0.0MB"},        {51, "0.0MB"},       {52, "-0.1MB"}};
  for (const auto &c : cases) {
    char acText[16];
    T_VIEW_vFormatSize(acText, sizeof acText, c.kb, TRUE);
    EXPECT_STREQ(acText, c.text);
  }
}

// Under the recording bar the start label stands alone: the time and size reached are drawn clear of it, also
// at the very start of a recording when the slider is at the left end.
TEST_F(CaptureTest, TheTextsUnderTheBarDoNotOverlap) {
  set(FCID("CVEW"), CAPTURE_REVIEW_VIEW_PRIORITY);
  T_VIEW_vSetSRViewState(SR_VIEW_RECORDING);
  TestBitmap bmp(800, 480);
  draw(&bmp);
  // The start label drawn alone on the same background, at the same place.
  const PIXEL xBar = 349, yText = 13 + 155 - 18;
  TestBitmap alone(800, 480, bmp.at(xBar - 8, yText));
  POINT at = {xBar, yText};
  G_STRING_vPut(alone.p(), gCOLOR_pcolColorTable[32], &at, std_11x14_font_def_ptr, "0:00");
  const PIXEL w = static_cast<PIXEL>(G_STRING_u32GetWidth(std_11x14_font_def_ptr, "0:00"));
  const PIXEL h = static_cast<PIXEL>(G_STRING_u32GetHeight(std_11x14_font_def_ptr));
  int different = 0;
  for (PIXEL y = yText - 2; y < std::min<PIXEL>(yText + h, 13 + 155); ++y) {  // up to the bar
    for (PIXEL x = xBar; x < xBar + w + 4; ++x) different += bmp.at(x, y) != alone.at(x, y);
  }
  EXPECT_EQ(different, 0);
  T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
}

TEST_F(CaptureTest, GoldenEmptyCard) {
  TestBitmap bmp(800, 480);
  draw(&bmp);
  vExpectGolden(bmp.p(), "review_no_images");
}

// The message and title are drawn on every frame while the list is empty, not only on the frame that searched.
TEST_F(CaptureTest, AnEmptyListShowsItsMessageOnEveryFrame) {
  for (int frame = 0; frame < 3; ++frame) {
    TestBitmap bmp(800, 480);
    draw(&bmp);
    vExpectGolden(bmp.p(), "review_no_images");
  }
  // A card that arrives with items and then loses them all through "delete all".
  s_items = {{"/c/PIC1.DAT", THUMBNAIL_IMAGE_TYPE}, {"/c/PIC2.DAT", THUMBNAIL_IMAGE_TYPE}};
  set(FCID("CSD0"), TRUE);
  drawAndAnswer();
  ASSERT_STREQ(T_VIEW_pThumbnailSlotForTest(0)->sName, "/c/PIC1.DAT");
  T_VIEW_vDeleteAllImages();
  EXPECT_EQ(click(), 'g');
  drawAndAnswer();
  s_items.clear();
  T_VIEW_vDeleteAllComplete();
  for (int frame = 0; frame < 3; ++frame) {
    TestBitmap bmp(800, 480);
    draw(&bmp);
    vExpectGolden(bmp.p(), "review_no_images");
  }
  // The card taken out: the search from the first item finds nothing either.
  set(FCID("CSD0"), FALSE);
  for (int frame = 0; frame < 3; ++frame) {
    TestBitmap bmp(800, 480);
    draw(&bmp);
    vExpectGolden(bmp.p(), "review_no_images");
  }
}

TEST_F(CaptureTest, GoldenThreePicturesAndTheirScrollThumb) {
  s_items = {{"/c/PIC1.DAT", THUMBNAIL_IMAGE_TYPE},
             {"/c/PIC2.DAT", THUMBNAIL_IMAGE_TYPE},
             {"/c/PIC3.DAT", THUMBNAIL_IMAGE_TYPE}};
  drawAndAnswer();
  TestBitmap bmp(800, 480);
  draw(&bmp);
  // The thumb of three or fewer items fills the track.
  const COLOR track = gCOLOR_pcolColorTable[33];
  int rows = 0;
  for (PIXEL y = 0; y < 480; ++y) rows += bmp.at(16, y) != track && y >= 23 && y < 457;
  EXPECT_EQ(rows, 434);
  vExpectGolden(bmp.p(), "review_three_pictures");
}

TEST_F(CaptureTest, GoldenRecordingWithItsInformationAndBar) {
  s_items = {{"/c/RECA.DAT", THUMBNAIL_RECORDING_TYPE}, {"/c/PIC1.DAT", THUMBNAIL_IMAGE_TYPE}};
  drawAndAnswer();
  TestBitmap bmp(800, 480);
  draw(&bmp);
  vExpectGolden(bmp.p(), "review_recording");
}

}  // namespace

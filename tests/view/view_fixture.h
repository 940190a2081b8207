// The view and view-key tasks driven on the test thread: a test clock, pages in memory instead of the LCD, a
// recording draw function, and helpers that hand the tasks their mailboxes and semaphores.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "view/view_task.h"
#include "platform/clock.h"

constexpr unsigned long long kViewTestStartNs = 9ull * 86400 * 1000000000ull;

#define REQUIRE_VIEW_TEST_CLOCK()                                                            \
  if (!PLATFORM_CLOCK_bIsTestClock() && !PLATFORM_CLOCK_bUseTestClock(kViewTestStartNs)) {  \
    GTEST_SKIP() << "the clock was read before this test; run it in a process of its own"; \
  }

// One call of a recording draw function.
struct DrawCall {
  U32 user;
  SPLIT_WINDOW_TYPE side;
  WINDOW_LOCATION window;
  BOOLEAN bExpedited;
  LAYER_ID current;
};

// Draw functions: the first records its call; the second also fills its window with the colour in the user word.
void VIEWTEST_vRecord(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void VIEWTEST_vPaint(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);

class ViewFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Hands the view task everything it has been sent or signalled, until nothing is left.
  void pump();
  // Moves the test clock on, lets due timers fire, then pumps.
  void advance(U32 u32Ms);
  // Asks for a paced frame and pumps.
  void request();
  // Registers a full-window layer through the client and pumps.
  void reg(LAYER_ID layer, LAYER_ID where, U32 user, FOURCHARID key = 0, BOOLEAN bDefault = TRUE,
           DRAW_FUNCTION *pfn = VIEWTEST_vRecord, const ARRAY_OF_STRING_PTRS *pSim = nullptr);
  void regSplit(LAYER_ID layer, SPLIT_WINDOW_TYPE side, FOURCHARID splitKey, U32 user,
                DRAW_FUNCTION *pfn = VIEWTEST_vRecord, FOURCHARID key = 0);
  // Writes a setting at P_NORMAL and pumps (the notice reaches the view task).
  void set(FOURCHARID key, U32 u32Value);
  U32 get(FOURCHARID key);
  bool exists(FOURCHARID key);
  // Main items of the list, in order, each with the sides of its chain.
  std::vector<std::vector<SPLIT_WINDOW_TYPE>> chains(std::vector<LAYER_ID> *pLayers);

  // Frames the fake display showed and pages it got back unseen; the last shown frame's pixel at (x, y).
  int shown() const;
  int freed() const;
  COLOR pixel(S32 x, S32 y) const;
  std::vector<DrawCall> &calls();
};

// Whether the semaphore is signalled; a signalled one is cleared.
bool VIEWTEST_bTake(SEMA sema);

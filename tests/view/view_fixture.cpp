#include "view_fixture.h"

#include <array>

#include "draw/box.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "platform/lcd.h"

namespace {

struct FakeDisplay {
  std::array<std::vector<U32>, 4> pages;
  std::array<bool, 4> busy{};
  std::vector<COLOR> last;
  int shown = 0;
  int freed = 0;
};

FakeDisplay &fake() {
  static FakeDisplay s;
  return s;
}

std::vector<DrawCall> s_calls;

U32 *pu32GetPage() {
  FakeDisplay &f = fake();
  for (size_t i = 0; i < f.pages.size(); ++i) {
    if (!f.busy[i]) {
      f.busy[i] = true;
      f.pages[i].assign(LCD_SCREEN_WORDS, 0);
      return f.pages[i].data();
    }
  }
  return nullptr;
}

void vRelease(const U32 *pu32Page) {
  FakeDisplay &f = fake();
  for (size_t i = 0; i < f.pages.size(); ++i) {
    if (f.pages[i].data() == pu32Page) f.busy[i] = false;
  }
}

void vFreePage(U32 *pu32Page) {
  ++fake().freed;
  vRelease(pu32Page);
}

void vShow(const BITMAP *pBitmap) {
  FakeDisplay &f = fake();
  ++f.shown;
  const COLOR *pcol = reinterpret_cast<const COLOR *>(pBitmap->pBuffer);
  f.last.assign(pcol, pcol + SCREEN_PIXELS_WIDE * SCREEN_PIXELS_HIGH);
  vRelease(pBitmap->pBuffer);
}

const VIEW_DISPLAY_OPS kFakeOps = {.pu32GetPage = pu32GetPage, .vFreePage = vFreePage, .vShow = vShow};

void vDrain(MBOX mbox) {
  while (void *pvMsg = L_MBOX_Receive(mbox)) H_MEMORY_vDumpMail(pvMsg);
}

}  // namespace

void VIEWTEST_vRecord(BITMAP *, WINDOW_SPECIFICATION_POINTER pWindow) {
  s_calls.push_back({pWindow->u32User, pWindow->drawWindowType, pWindow->drawWindow, pWindow->bExpedited,
                     pWindow->currentLayer});
}

void VIEWTEST_vPaint(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow) {
  VIEWTEST_vRecord(pBitmap, pWindow);
  const WINDOW_LOCATION &w = pWindow->drawWindow;
  const POINT anchor{w.s32ClipLeft, w.s32ClipBottom};
  G_BOX_vDrawFilled(pBitmap, static_cast<COLOR>(pWindow->u32User), &anchor,
                    static_cast<U32>(w.s32ClipRight - w.s32ClipLeft + 1),
                    static_cast<U32>(w.s32ClipTop - w.s32ClipBottom + 1));
}

bool VIEWTEST_bTake(SEMA sema) {
  if (L_SEMA_GetWaitingTaskID(sema) != -lsSEMA_DONE) return false;
  L_SEMA_Wait(sema);
  return true;
}

void ViewFixture::SetUp() {
  REQUIRE_VIEW_TEST_CLOCK();
  H_DATABASE_vInit();
  T_VIEW_vResetForTest();
  T_VIEWKEY_vResetForTest();
  for (MBOX mbox : {M_VIEW, M_VIEWKEY, M_FENWISP}) vDrain(mbox);
  for (SEMA sema : {SEMA_MBOX_VIEW, SEMA_MBOX_VIEWKEY, SEMA_VIEW_RELEASE_BITMAP, SEMA_TIMER_SIM_MSG,
                    SEMA_TIMER_VIEW_UPDATE, SEMA_VIEW_UPDATE, SEMA_KEYCLICK_GOOD, SEMA_KEYCLICK_BAD}) {
    VIEWTEST_bTake(sema);
  }
  fake() = FakeDisplay{};
  s_calls.clear();
  T_VIEW_vSetDisplayOps(&kFakeOps);
  // The keyboard task's mailbox, so that the view keys can be registered.
  H_DATABASE_bUpdateEverythingU32(FCID("TKBD"), M_FENWISP, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  T_VIEW_vInit();
  T_VIEWKEY_vInit();
  pump();
}

void ViewFixture::TearDown() {
  T_VIEW_vResetForTest();
  T_VIEWKEY_vResetForTest();
  T_VIEW_vSetDisplayOps(nullptr);
  for (MBOX mbox : {M_VIEW, M_VIEWKEY, M_FENWISP}) vDrain(mbox);
}

void ViewFixture::pump() {
  static const SEMA kOrder[] = {SEMA_VIEW_RELEASE_BITMAP, SEMA_TIMER_SIM_MSG, SEMA_TIMER_VIEW_UPDATE,
                                SEMA_VIEW_UPDATE};
  for (int guard = 0; guard < 1000; ++guard) {
    VIEWTEST_bTake(SEMA_MBOX_VIEW);
    bool bAny = false;
    while (void *pvMsg = L_MBOX_Receive(M_VIEW)) {
      T_VIEW_vHandleMessage(pvMsg);
      bAny = true;
    }
    for (SEMA sema : kOrder) {
      if (!bAny && VIEWTEST_bTake(sema)) {
        T_VIEW_vHandleSemaphore(sema);
        bAny = true;
      }
    }
    if (!bAny) return;
  }
  ADD_FAILURE() << "the view task never settles";
}

void ViewFixture::advance(U32 u32Ms) {
  PLATFORM_CLOCK_vAdvanceTestClockMs(u32Ms);
  TIMER_vSyncForTest();
  pump();
}

void ViewFixture::request() {
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
  pump();
}

void ViewFixture::reg(LAYER_ID layer, LAYER_ID where, U32 user, FOURCHARID key, BOOLEAN bDefault, DRAW_FUNCTION *pfn,
                      const ARRAY_OF_STRING_PTRS *pSim) {
  ASSERT_TRUE(U_VIEW_bRegisterLayer(pfn, layer, where, user, key, bDefault, nullptr, pSim, nullptr));
  pump();
}

void ViewFixture::regSplit(LAYER_ID layer, SPLIT_WINDOW_TYPE side, FOURCHARID splitKey, U32 user, DRAW_FUNCTION *pfn,
                           FOURCHARID key) {
  ASSERT_TRUE(U_VIEW_bRegisterLayerSplit(pfn, layer, USED_BY_NONE, user, key, TRUE, nullptr, nullptr, nullptr, side,
                                         splitKey));
  pump();
}

void ViewFixture::set(FOURCHARID key, U32 u32Value) {
  H_DATABASE_bUpdateValueU32(key, u32Value, P_NORMAL);
  pump();
}

U32 ViewFixture::get(FOURCHARID key) {
  U32 u32Value = 0xDEADBEEF;
  BOOLEAN bValid = FALSE;
  H_DATABASE_bFetchU32(key, &u32Value, &bValid, nullptr);
  return u32Value;
}

bool ViewFixture::exists(FOURCHARID key) { return H_DATABASE_bFetchU32(key, nullptr, nullptr, nullptr) != FALSE; }

std::vector<std::vector<SPLIT_WINDOW_TYPE>> ViewFixture::chains(std::vector<LAYER_ID> *pLayers) {
  std::vector<std::vector<SPLIT_WINDOW_TYPE>> result;
  pLayers->clear();
  for (const LAYER_ITEM *p = T_VIEW_pLayerListHead(); p != nullptr; p = p->next) {
    pLayers->push_back(p->layer);
    std::vector<SPLIT_WINDOW_TYPE> sides;
    for (const LAYER_ITEM *q = p; q != nullptr; q = q->pSplit) {
      EXPECT_EQ(q->next, p->next) << "a chained item must continue where its main item does";
      sides.push_back(q->eSplit);
    }
    result.push_back(sides);
  }
  return result;
}

int ViewFixture::shown() const { return fake().shown; }
int ViewFixture::freed() const { return fake().freed; }

COLOR ViewFixture::pixel(S32 x, S32 y) const {
  const std::vector<COLOR> &v = fake().last;
  if (v.empty()) return 0xDEAD;
  return v[static_cast<size_t>(SCREEN_PIXELS_HIGH - 1 - y) * SCREEN_PIXELS_WIDE + static_cast<size_t>(x)];
}

std::vector<DrawCall> &ViewFixture::calls() { return s_calls; }

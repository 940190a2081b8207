// Frame composition of the view task: the current view (one item or the sides of a split screen with the
// divider), then the overlays of that view and of all views in layer order, on an idle page that is shown
// only when the composition was not cancelled. Paced to one frame per 100 ms; expedited frames go at once.
#include <atomic>
#include <string>

#include "draw/box.h"
#include "view/buffers.h"
#include "draw/color.h"
#include "draw/bmp.h"
#include "draw/icon.h"
#include "draw/icon_data.h"
#include "draw/line.h"
#include "view/view_task.h"
#include "kernel/log.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/timer.h"
#include "n2k/gui_standin.h"
#include "platform/lcd.h"
#include "ui/info/info.h"

namespace {

enum EXPEDITED_VIEW_UPDATE : int { EVU_DONE = 0, EVU_REQUESTED = 1, EVU_IN_PROGRESS = 2 };
constexpr PRIORITY kPriorityUnknown = 101;
constexpr U32 kFramePeriodMs = 100;
// The open menu ('CMNU') whose inactive split side is dimmed.
constexpr U32 kZephrinMenu = 2;
// Transparency of the dimming per palette: 86 for the first, 140 for the others.
constexpr U32 kDimAlphaVector = 86u | 140u << 8 | 140u << 16;
constexpr U32 kDimColor = 128;
constexpr U32 kDividerColors[5] = {128, 131, 131, 131, 128};
constexpr U32 kEmptyViewColor = 34;

const VIEW_DISPLAY_OPS kLcdOps = {
    .pu32GetPage = H_DISPLAY_pu32GetDisplayBuffer,
    .vFreePage = H_DISPLAY_vFreeDisplayBuffer,
    .vShow = H_DISPLAY_vDisplayBitmap,
};

struct FRAME_STATE {
  WINDOW_SPECIFICATION windowSpec{NO_VIEW_PRIORITY, SPLIT_RIGHT_WINDOW, SPLIT_FULL_WINDOW, {}, FALSE, 0};
  std::atomic<BOOLEAN> bViewChanged{FALSE};
  std::atomic<BOOLEAN> bViewUpdateCancelled{FALSE};
  std::atomic<int> eExpedited{EVU_DONE};
  std::atomic<PRIORITY> priorityNormal{kPriorityUnknown};
  std::atomic<PRIORITY> priorityHigh{kPriorityUnknown};
  std::atomic<S32> s32Refreshes{0};
  // The current view as other tasks read it (the view-key task steps from it).
  std::atomic<LAYER_ID> currentLayer{NO_VIEW_PRIORITY};
  U32 LastUpdateTime = 0;
  TIMER_INFO *pUpdateTimer = nullptr;
  BITMAP *pFrozenBitmap = nullptr;
  const VIEW_DISPLAY_OPS *pOps = &kLcdOps;
  bool bFirstFrameLogged = false;
  std::string sLastShown;  // the view and overlays of the last frame shown
};

FRAME_STATE &st() {
  static FRAME_STATE s;
  return s;
}

COLOR color(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

WINDOW_LOCATION sFullWindow(const BITMAP *pBitmap) {
  return {pBitmap->s32ClipLeft, pBitmap->s32ClipTop, pBitmap->s32ClipRight, pBitmap->s32ClipBottom};
}

// The rectangle of the side an item draws.
WINDOW_LOCATION sSideWindow(const BITMAP *pBitmap, const LAYER_ITEM *pItem) {
  WINDOW_LOCATION loc = sFullWindow(pBitmap);
  const S32 q = T_VIEW_s32CalculateSplitPosition(pBitmap->pixels_wide, pItem->s32SplitPercentage);
  if (pItem->eSplit == SPLIT_LEFT_WINDOW) loc.s32ClipRight = q + 157;
  if (pItem->eSplit == SPLIT_RIGHT_WINDOW) loc.s32ClipLeft = q + 163;
  return loc;
}

void vDraw(BITMAP *pBitmap, const LAYER_ITEM *pItem) {
  WINDOW_SPECIFICATION &spec = st().windowSpec;
  spec.drawWindowType = pItem->eSplit;
  spec.drawWindow = sSideWindow(pBitmap, pItem);
  spec.u32User = pItem->user;
  if (pItem->pDrawFunction != nullptr) pItem->pDrawFunction(pBitmap, &spec);
}

void T_VIEW_vDrawArrow(BITMAP *pBitmap, const WINDOW_LOCATION &loc, SPLIT_WINDOW_TYPE eSide) {
  const ICON *pIcon = eSide == SPLIT_LEFT_WINDOW ? &active_side_lt_icon : &active_side_rt_icon;
  const S32 x = eSide == SPLIT_LEFT_WINDOW ? loc.s32ClipRight - 10 - pIcon->nWidth : loc.s32ClipLeft + 10;
  const POINT pt{x, loc.s32ClipTop - 50 - pIcon->nHeight + 1};
  G_ICON_vPut(pBitmap, pIcon, &pt);
}

// Dims the inactive side while the hot menu is open, and marks the active one.
void vMarkSide(BITMAP *pBitmap, LAYER_ID view, U32 u32OpenMenu) {
  const WINDOW_SPECIFICATION &spec = st().windowSpec;
  if (u32OpenMenu != kZephrinMenu) return;
  if (spec.drawWindowType == spec.activeWindow) {
    T_VIEW_vDrawArrow(pBitmap, spec.drawWindow, spec.drawWindowType);
  } else if (view != CHART_PLUS_BIRDS_EYE_VIEW_PRIORITY && view != CHART_PLUS_BIRDS_EYE_INSTRUMENT_VIEW_PRIORITY) {
    const WINDOW_LOCATION &loc = spec.drawWindow;
    const POINT anchor{loc.s32ClipLeft, loc.s32ClipBottom};
    G_BOX_vDrawFilledAlpha(pBitmap, color(kDimColor), &anchor,
                           static_cast<U32>(loc.s32ClipRight - loc.s32ClipLeft + 1),
                           static_cast<U32>(loc.s32ClipTop - loc.s32ClipBottom + 1),
                           T_INFO_u8ConvertAlphaVector(kDimAlphaVector));
  }
}

void T_VIEW_vDrawSplitLine(BITMAP *pBitmap, S32 s32Percent) {
  const S32 q = T_VIEW_s32CalculateSplitPosition(pBitmap->pixels_wide, s32Percent);
  for (S32 i = 0; i < 5; ++i) {
    const POINT from{q + 158 + i, pBitmap->s32ClipBottom};
    const POINT to{q + 158 + i, pBitmap->s32ClipTop};
    G_LINE_vDraw(pBitmap, color(kDividerColors[i]), &from, &to);
  }
}

bool bCancelled() { return st().bViewUpdateCancelled.load() != FALSE; }

// The view's own items; returns the item after which the overlays begin (NULL: from the head).
const LAYER_ITEM *pDrawView(BITMAP *pBitmap, LAYER_ID view) {
  const LAYER_ITEM *pItem = T_VIEW_pLayerLocateBackgroundLayer(view);
  if (view == NO_VIEW_PRIORITY || pItem == nullptr) {
    T_VIEW_vSetNextBackgroundLayer();
    pItem = T_VIEW_pLayerLocateBackgroundLayer(st().windowSpec.currentLayer);
    if (pItem == nullptr) {
      G_BMP_vSet(pBitmap, color(kEmptyViewColor));
      return nullptr;
    }
  }
  const bool bSplit = pItem->eSplit != SPLIT_FULL_WINDOW;
  U32 u32OpenMenu = 0;
  if (bSplit) {
    BOOLEAN bValid = FALSE;
    if (!H_DATABASE_bFetchU32(FCID("CMNU"), &u32OpenMenu, &bValid, nullptr)) u32OpenMenu = 0;
  }
  for (const LAYER_ITEM *p = pItem; p != nullptr && !bCancelled(); p = p->pSplit) {
    vDraw(pBitmap, p);
    if (bSplit) vMarkSide(pBitmap, pItem->layer, u32OpenMenu);
  }
  if (bSplit) T_VIEW_vDrawSplitLine(pBitmap, pItem->s32SplitPercentage);
  return pItem;
}

// Draws the overlays and names them in psDrawn (their layer numbers).
void vDrawOverlays(BITMAP *pBitmap, LAYER_ID view, const LAYER_ITEM *pFirst, std::string *psDrawn) {
  for (const LAYER_ITEM *p = pFirst; p != nullptr; p = p->next) {
    if (bCancelled()) return;
    if (p->where_used == view || p->where_used == USED_BY_ALL) {
      vDraw(pBitmap, p);
      *psDrawn += ' ';
      *psDrawn += std::to_string(p->layer);
    }
  }
}

BITMAP *pPageBitmap(void) {
  U32 *pu32Page = st().pOps->pu32GetPage();
  if (pu32Page == nullptr) return nullptr;
  BITMAP *pBitmap = G_BUFFERS_pCreateFullScreenBitmapHeader();
  pBitmap->pBuffer = pu32Page;
  return pBitmap;
}

void vComposeExpedited(void) {
  FRAME_STATE &s = st();
  GUI_vSetRedrawStaticPart();
  s.eExpedited.store(EVU_IN_PROGRESS);
  L_TIMER_GetElapsed(&s.LastUpdateTime);
  if (s.pUpdateTimer != nullptr) L_TIMER_Stop(s.pUpdateTimer);
  s.windowSpec.bExpedited = TRUE;
  T_VIEW_vHandleRefreshDisplay();
  s.windowSpec.bExpedited = FALSE;
  int eExpected = EVU_IN_PROGRESS;
  if (s.eExpedited.compare_exchange_strong(eExpected, EVU_DONE) && s.priorityNormal.load() != kPriorityUnknown) {
    L_TASK_SetPriority(VIEWTASK, s.priorityNormal.load());
  }
}

}  // namespace

// --- Split geometry ---

S32 T_VIEW_s32CalculateSplitPosition(S32 s32ViewWidth, S32 s32PositionPercent) {
  return s32PositionPercent * (s32ViewWidth - 160) / 100;
}

S32 T_VIEW_s32SplitViewLeftWidth(S32 s32ViewWidth, S32 s32PositionPercent) {
  return T_VIEW_s32CalculateSplitPosition(s32ViewWidth, s32PositionPercent) + 158;
}

S32 T_VIEW_s32SplitViewRightWidth(S32 s32ViewWidth, S32 s32PositionPercent) {
  return s32ViewWidth - 163 - T_VIEW_s32CalculateSplitPosition(s32ViewWidth, s32PositionPercent);
}

S32 T_VIEW_s32SplitViewClipLeft(S32 s32ViewWidth, S32 s32PositionPercent, SPLIT_WINDOW_TYPE eSplit) {
  return eSplit == SPLIT_RIGHT_WINDOW ? T_VIEW_s32CalculateSplitPosition(s32ViewWidth, s32PositionPercent) + 163
                                      : 0;
}

S32 T_VIEW_s32SplitViewClipRight(S32 s32ViewWidth, S32 s32PositionPercent, SPLIT_WINDOW_TYPE eSplit) {
  return eSplit == SPLIT_LEFT_WINDOW ? T_VIEW_s32CalculateSplitPosition(s32ViewWidth, s32PositionPercent) + 157
                                     : s32ViewWidth - 1;
}

// --- State shared with the task's other modules ---

LAYER_ID T_VIEW_eCurrentLayer(void) { return st().currentLayer.load(); }
SPLIT_WINDOW_TYPE T_VIEW_eActiveWindow(void) { return st().windowSpec.activeWindow; }
void T_VIEW_vSetCurrentLayer(LAYER_ID layer) {
  st().windowSpec.currentLayer = layer;
  st().currentLayer.store(layer);
}
void T_VIEW_vSetActiveWindow(SPLIT_WINDOW_TYPE eSide) { st().windowSpec.activeWindow = eSide; }

void T_VIEW_vSetViewChangedFlags(void) {
  st().bViewChanged.store(TRUE);
  st().bViewUpdateCancelled.store(TRUE);
}

BOOLEAN T_VIEW_bViewChangedWhileRendering(void) { return st().bViewChanged.load(); }
BOOLEAN T_VIEW_bViewUpdateCancelled(void) { return st().bViewUpdateCancelled.load(); }
S32 T_VIEW_s32RefreshesSinceLastRequest(void) { return st().s32Refreshes.exchange(0); }

BITMAP *T_VIEW_pFrozenBitmap(void) { return st().pFrozenBitmap; }
void T_VIEW_vSetFrozenBitmap(BITMAP *pBitmap) { st().pFrozenBitmap = pBitmap; }

void T_VIEW_vSetPriorities(PRIORITY priorityNormal) {
  st().priorityNormal.store(priorityNormal);
  // A smaller number is more urgent; 1 is the most urgent there is.
  st().priorityHigh.store(static_cast<PRIORITY>(priorityNormal > 31 ? priorityNormal - 30 : 1));
}

void T_VIEW_vSetDisplayOps(const VIEW_DISPLAY_OPS *pOps) { st().pOps = pOps != nullptr ? pOps : &kLcdOps; }

BITMAP *T_VIEW_pCreateFullScreenBitmap(void) { return pPageBitmap(); }
void T_VIEW_vFreeFullScreenBitmap(BITMAP *pBitmap) {
  if (pBitmap == nullptr) return;
  st().pOps->vFreePage(pBitmap->pBuffer);
  G_BUFFERS_vFreeFullScreenBitmapHeader(pBitmap);
}
BITMAP *T_VIEW_pCreateSatWeatherImageBitmap(void) { return T_VIEW_pCreateFullScreenBitmap(); }

// --- Composition ---

void T_VIEW_vHandleRefreshDisplay(void) {
  FRAME_STATE &s = st();
  GUI_OnTick();
  s.s32Refreshes.fetch_add(1);
  BITMAP *pBitmap = pPageBitmap();
  if (pBitmap == nullptr) return;
  s.bViewChanged.store(FALSE);
  s.bViewUpdateCancelled.store(FALSE);
  const LAYER_ID view = s.windowSpec.currentLayer;
  const LAYER_ITEM *pViewItem = pDrawView(pBitmap, view);
  std::string sShown = std::to_string(view) + " with overlays";
  vDrawOverlays(pBitmap, view, pViewItem != nullptr ? pViewItem->next : T_VIEW_pLayerListHead(), &sShown);
  if (bCancelled()) {
    s.pOps->vFreePage(pBitmap->pBuffer);
  } else {
    s.pOps->vShow(pBitmap);
    if (!s.bFirstFrameLogged) {
      s.bFirstFrameLogged = true;
      log_me("view task: first frame shown");
    }
    // What is on screen, each time it changes: the one account of the screen a headless run has.
    if (sShown != s.sLastShown) {
      s.sLastShown = sShown;
      log_me("view task: showing view %s", sShown.c_str());
    }
  }
  G_BUFFERS_vFreeFullScreenBitmapHeader(pBitmap);
}

void T_VIEW_vHandleRefreshFrozenDisplay(void) {
  FRAME_STATE &s = st();
  if (s.pFrozenBitmap == nullptr) return;
  BITMAP *pBitmap = pPageBitmap();
  if (pBitmap == nullptr) return;
  G_BMP_vCopyRegion(s.pFrozenBitmap, pBitmap, 0, 0, SCREEN_PIXELS_WIDE);
  for (const LAYER_ITEM *p = T_VIEW_pLayerListHead(); p != nullptr; p = p->next) {
    if (p->layer != ALARM_LAYER && p->layer != MMC_MESSAGE_LAYER && p->layer != MMC_DARAVAZOS_MESSAGE) continue;
    s.windowSpec.u32User = p->user;
    if (p->pDrawFunction != nullptr) p->pDrawFunction(pBitmap, &s.windowSpec);
  }
  s.pOps->vShow(pBitmap);
  G_BUFFERS_vFreeFullScreenBitmapHeader(pBitmap);
}

// --- Pacing ---

void T_VIEW_vRequestExpeditedViewUpdate(void) {
  FRAME_STATE &s = st();
  int eState = s.eExpedited.load();
  for (;;) {
    if (eState == EVU_REQUESTED) return;
    if (s.eExpedited.compare_exchange_weak(eState, EVU_REQUESTED)) break;
  }
  if (eState == EVU_DONE) s.bViewUpdateCancelled.store(TRUE);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
  if (eState == EVU_DONE && s.priorityHigh.load() != kPriorityUnknown) {
    L_TASK_SetPriority(VIEWTASK, s.priorityHigh.load());
  }
}

void T_VIEW_vAllocateUpdateTimer(void) {
  if (st().pUpdateTimer == nullptr) st().pUpdateTimer = L_TIMER_Allocate();
}

// SEMA_TIMER_VIEW_UPDATE: the paced frame, or the frozen picture while frozen.
void T_VIEW_vHandleUpdateTimer(void) {
  FRAME_STATE &s = st();
  if (s.pFrozenBitmap != nullptr) {
    T_VIEW_vHandleRefreshFrozenDisplay();
    return;
  }
  // This frame covers any request that came in meanwhile.
  L_SEMA_SetPending(SEMA_VIEW_UPDATE);
  L_TIMER_GetElapsed(&s.LastUpdateTime);
  T_VIEW_vHandleRefreshDisplay();
}

// SEMA_VIEW_UPDATE: a request for a frame.
void T_VIEW_vHandleUpdateRequest(void) {
  FRAME_STATE &s = st();
  if (s.pFrozenBitmap != nullptr) return;
  if (s.eExpedited.load() == EVU_REQUESTED) {
    vComposeExpedited();
    return;
  }
  if (s.pUpdateTimer != nullptr && s.pUpdateTimer->u8TimerState.load() != TMRST_IDLE) return;
  U32 u32Since = s.LastUpdateTime;
  const U32 u32Elapsed = L_TIMER_GetElapsed(&u32Since);
  if (u32Elapsed < kFramePeriodMs) {
    s.pUpdateTimer = L_TIMER_Start(s.pUpdateTimer, kFramePeriodMs - u32Elapsed, 0, SEMA_TIMER_VIEW_UPDATE);
  }
  // Without a timer the frame cannot wait for its turn.
  if (u32Elapsed >= kFramePeriodMs || s.pUpdateTimer == nullptr) {
    s.LastUpdateTime = u32Since;
    T_VIEW_vHandleRefreshDisplay();
  }
}

void T_VIEW_vResetFrameForTest(void) {
  FRAME_STATE &s = st();
  if (s.pUpdateTimer != nullptr) {
    L_TIMER_Stop(s.pUpdateTimer);
    L_TIMER_Release(s.pUpdateTimer);
  }
  s.pUpdateTimer = nullptr;
  s.windowSpec = WINDOW_SPECIFICATION{NO_VIEW_PRIORITY, SPLIT_RIGHT_WINDOW, SPLIT_FULL_WINDOW, {}, FALSE, 0};
  s.currentLayer.store(NO_VIEW_PRIORITY);
  s.bViewChanged.store(FALSE);
  s.bViewUpdateCancelled.store(FALSE);
  s.eExpedited.store(EVU_DONE);
  s.priorityNormal.store(kPriorityUnknown);
  s.priorityHigh.store(kPriorityUnknown);
  s.s32Refreshes.store(0);
  s.LastUpdateTime = 0;
  s.pFrozenBitmap = nullptr;
}

// Inside the view task: the layer list, the task's state shared by its modules (list, frames, views, banners),
// the calls into the screen-capture module, and the entry points the task loop and the tests drive.
#pragma once
#include "view/view.h"
#include "settings/database.h"
#include "ui/keys/keyboard.h"

// One registered layer item, owned by the view task.
typedef struct tag_LAYER_ITEM {
  LAYER_ID layer;
  LAYER_ID where_used;
  DRAW_FUNCTION *pDrawFunction;
  FOURCHARID fcidDisplay;
  BOOLEAN bDefault;
  BOOLEAN bCurrentDisplayMode;  // shown; follows the display key
  const ARRAY_OF_STRING_PTRS *pString;  // the display key's name text, NULL without one
  const ARRAY_OF_STRING_PTRS *pPlaybackString;
  const ARRAY_OF_STRING_PTRS *pSimString;
  const ARRAY_OF_STRING_PTRS *pPOSString;
  U32 user;
  struct tag_LAYER_ITEM *next;
  struct tag_LAYER_ITEM *pSplit;  // the next side of this layer
  FOURCHARID fcidSplitControl;
  S32 s32SplitPercentage;
  SPLIT_WINDOW_TYPE eSplit;
} LAYER_ITEM;

// --- The layer list (written only by the view task, under RES_VIEW_LIST) ---
LAYER_ITEM *T_VIEW_pLayerListHead(void);
void T_VIEW_vHandleRegisterLayer(MSG_REGISTER_LAYER *pMsg);
void T_VIEW_vHandleUnregisterLayer(MSG_UNREGISTER_LAYER *pMsg);
// A notice of a display or split key; FALSE when no item uses the key.
BOOLEAN T_VIEW_bHandleLayerKeyChange(const MESSAGE_NEW_DATA *pMsg);
// The first shown item of the view, NULL when hidden or not registered.
LAYER_ITEM *T_VIEW_pLayerLocateBackgroundLayer(LAYER_ID layer);
// The next shown view after the current one (wrapping), written to 'CVEW'.
void T_VIEW_vSetNextBackgroundLayer(void);
// The rule of T_VIEW_vSetNextBackgroundLayer without the write.
LAYER_ID T_VIEW_eNextBackgroundLayer(LAYER_ID current);
// Writes 'CVEW' at P_NORMAL.
void T_VIEWKEY_vSetBackgroundLayer(LAYER_ID layer);
// Factory reset: every view's display key back to its default.
void T_VIEW_vRestoreDisplayKeyDefaults(void);
// Tests: frees every item.
void T_VIEW_vResetLayerListForTest(void);

// --- Task state shared by the task's modules ---
// The view task's copy of 'CVEW' and 'CVAS'.
LAYER_ID T_VIEW_eCurrentLayer(void);
SPLIT_WINDOW_TYPE T_VIEW_eActiveWindow(void);
// Sets the change and cancel flags so that a composition in progress stops.
void T_VIEW_vSetViewChangedFlags(void);
// The frozen picture (set by the freeze, NULL when not frozen).
BITMAP *T_VIEW_pFrozenBitmap(void);
void T_VIEW_vSetFrozenBitmap(BITMAP *pBitmap);
// The frozen frame: the frozen picture with the alarm and card messages on top.
void T_VIEW_vHandleRefreshFrozenDisplay(void);
void T_VIEW_vSetCurrentLayer(LAYER_ID layer);
void T_VIEW_vSetActiveWindow(SPLIT_WINDOW_TYPE eSide);
// The task's own priority; expedited frames run 30 more urgent.
void T_VIEW_vSetPriorities(PRIORITY priorityNormal);
// Pacing: the update timer (SEMA_TIMER_VIEW_UPDATE) and a frame request (SEMA_VIEW_UPDATE).
void T_VIEW_vAllocateUpdateTimer(void);
void T_VIEW_vHandleUpdateTimer(void);
void T_VIEW_vHandleUpdateRequest(void);
void T_VIEW_vResetFrameForTest(void);

// Where composed frames go: the LCD pages by default.
typedef struct {
  U32 *(*pu32GetPage)(void);          // an idle page, NULL when none
  void (*vFreePage)(U32 *pu32Page);   // a page given back unseen
  void (*vShow)(const BITMAP *pBitmap);
} VIEW_DISPLAY_OPS;
// NULL restores the LCD.
void T_VIEW_vSetDisplayOps(const VIEW_DISPLAY_OPS *pOps);

// --- The task's loop, driven by the entry and by tests on the calling thread ---
void T_VIEW_vInit(void);
// Acts on one fired semaphore of the task's wait list.
void T_VIEW_vHandleSemaphore(SEMA sema);
// Handles and releases one message of mailbox 5.
void T_VIEW_vHandleMessage(void *pvMsg);
// Tests: back to the state before T_VIEW_vInit (empty list, no timers, no flags).
void T_VIEW_vResetForTest(void);

void T_VIEWKEY_vInit(void);
// Handles and releases one message of mailbox 6.
void T_VIEWKEY_vHandleMessage(void *pvMsg);
void T_VIEWKEY_vResetForTest(void);
LAYER_ID T_VIEWKEY_ePriorBackgroundLayer(void);

// --- Banners ---
void T_VIEW_vStartSimDisplay(void);
void T_VIEW_vStopSimDisplay(void);
void T_VIEW_vStartRecordingDisplay(void);
void T_VIEW_vStopRecordingDisplay(void);
void T_VIEW_vHandleSimTimer(void);
void T_VIEW_vDrawSimMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_VIEW_vDrawRecordingMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
// What the banners draw now; NULL when nothing (hidden phase, no text). pacPath holds at least 13 bytes.
const char *T_VIEW_pcSimMessageText(void);
const char *T_VIEW_pcRecordingMessageText(char *pacPath);
// Run-system set-up of the banners, and their notices (FALSE when the key is not a banner key).
void T_VIEW_vBannerRunSystem(void);
BOOLEAN T_VIEW_bBannerNewData(const MESSAGE_NEW_DATA *pMsg);
// Tests: no timer, no banner, the starting flags.
void T_VIEW_vResetBannersForTest(void);

// --- The screen-capture module, called from the view task ---
typedef enum {
  SR_VIEW_INIT = 0,
  SR_VIEW_THUMBNAILS = 1,
  SR_VIEW_FULLIMAGE = 2,
  SR_VIEW_RECORDING = 3,
  SR_VIEW_PLAYBACK = 4,
} SR_VIEW_STATE;

// Start-up: the three thumbnail slots and the playback icon bar.
void T_VIEW_vSetupThumbnailSlots(void);
void T_VIEW_vSetupPlaybackIconBar(void);
// Every run-system command: capture settings, the review view, its menu entries.
void T_VIEW_vSetupCapture(void);
// CMD_ID_KEY_CHANGE and CMD_ID_PING_START to the view task.
void T_VIEW_vHandleKeys(const MSG_KEY_CHANGE *pMsg);
void T_VIEW_vHandlePingStart(const GENERIC_MESSAGE *pMsg);
// Notices the capture module handles: 'CSD0', 'CSD1', 'CPSP', 'CPSM'.
void T_VIEW_vHandleCaptureNewData(const MESSAGE_NEW_DATA *pMsg);
void T_VIEW_vToggleDisplayUpdateFreeze(BOOLEAN bFreeze);
// On every change of 'CVEW'.
void T_VIEW_vCheckCursorKeyRegistration(void);
void T_VIEW_vUpdated_SCSC(void);
void T_VIEW_vSetSRViewState(SR_VIEW_STATE eState);
// After a key in the view-key task: gives back the page of a loaded full-size picture.
void T_VIEW_vReleaseFileImage(void);

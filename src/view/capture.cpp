// Screen snapshots and the review state of the capture review view: the MARK key's freeze and save request,
// the review keys and hot menu entries, recording and playback states and speeds, and the card task's
// callbacks. Runs in the view task; the menu actions run in the menu task and the callbacks in the card task.
#include <cstdio>
#include <cstring>
#include <mutex>

#include "card/mmc_standin.h"
#include "chart/chart3d_standin.h"
#include "view/buffers.h"
#include "view/capture_internal.h"
#include "draw/icon_data.h"
#include "util/filename.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "nav/nav_mark_standin.h"
#include "platform/lcd.h"
#include "platform/sd.h"
#include "ui/keys/keyboard.h"
#include "ui/menu/menu.h"
#include "ui/startup/startup_state.h"

namespace {

constexpr U32 kFreezeMs = 500;

const ARRAY_OF_STRING_PTRS s_Screen_Capture = SAME22("Screen Snapshot");
const ARRAY_OF_STRING_PTRS s_Snapshot_and_Recording_View = SAME22("Snapshot and Recording View");
const ARRAY_OF_STRING_PTRS s_Off = SAME22("Off");
const ARRAY_OF_STRING_PTRS s_On = SAME22("On");
const ARRAY_OF_STRING_PTRS s_Auto = SAME22("Auto");
const ARRAY_OF_STRING_PTRS Start_Recording = SAME22("Start Recording");
const ARRAY_OF_STRING_PTRS Stop_Recording = SAME22("Stop Recording");
const ARRAY_OF_STRING_PTRS Stop_Playback = SAME22("Stop Playback");
const ARRAY_OF_STRING_PTRS Playback_Speed = SAME22("Playback Speed");
const ARRAY_OF_STRING_PTRS Delete_Image = SAME22("Delete Image");
const ARRAY_OF_STRING_PTRS Delete_Recording = SAME22("Delete Recording");
const ARRAY_OF_STRING_PTRS Delete_All_Images = SAME22("Delete All Images");
const ARRAY_OF_STRING_PTRS Delete_All_Recordings = SAME22("Delete All Recordings");
const ARRAY_OF_STRING_PTRS Pings_Per_Second = SAME22("Pings Per Second");

const CAPTURE_CARD_LIST kCardTask = {
    .u32ThumbNailsInList = T_MMC_u32ThumbNailsInList,
    .eFindFirst = T_MMC_eFindFirstThumbNail,
    .eFindLast = T_MMC_eFindLastThumbNail,
    .eFindNext = T_MMC_eFindNextThumbNail,
    .eFindPrevious = T_MMC_eFindPreviousThumbNail,
    .eFindFirstImage = T_MMC_eFindFirstThumbNailImage,
    .eFindLastImage = T_MMC_eFindLastThumbNailImage,
    .eFindNextImage = T_MMC_eFindNextThumbNailImage,
    .eFindPreviousImage = T_MMC_eFindPreviousThumbNailImage,
    .eFindLatest = T_MMC_eFindLatestThumbnail,
    .bOpenPlaybackFile = T_MMC_bOpenPlaybackFile,
};

// Speed menus: the mode values and icons of each.
const U32 kAllModes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
const ICON *const kAllIcons[] = {&zephrin_begin_icon,       &zephrin_rew2_icon,  &zephrin_rew1_icon,
                                 &zephrin_playrev_icon,     &zephrin_playrewslow_icon, &zephrin_pause_icon,
                                 &zephrin_playslow_icon,    &zephrin_play_icon,  &zephrin_ffw1_icon,
                                 &zephrin_ffw2_icon,        &zephrin_end_icon};
struct SPEED_MENU {
  U32 u32First;  // index into the full lists
  U32 u32Count;
};
const SPEED_MENU kSpeedMenus[] = {{0, 11}, {5, 6}, {0, 6}, {10, 1}};

const MENU_LIMITS kPingRateLimits[] = {{U_NONE, 1, 11, 1}};

CAPTURE_STATE s_state;

CAPTURE_STATE &st() { return s_state; }

U32 u32Fetch(FOURCHARID key, U32 u32Default) {
  U32 u32Value = u32Default;
  if (!H_DATABASE_bFetchU32(key, &u32Value, nullptr, nullptr)) return u32Default;
  return u32Value;
}

void vWrite(FOURCHARID key, U32 u32Value) { H_DATABASE_bUpdateValueU32(key, u32Value, P_NORMAL); }

void vGood() { L_SEMA_Signal(SEMA_KEYCLICK_GOOD); }
void vBad() { L_SEMA_Signal(SEMA_KEYCLICK_BAD); }

LAYER_ID eCurrentView() { return static_cast<LAYER_ID>(u32Fetch(FCID("CVEW"), static_cast<U32>(NO_VIEW_PRIORITY))); }

// A copy of the name for the card task; NULL when no card task takes it.
void vPostToCard(void *pMsg, PRIORITY priority, SEMA sema, char *pcOwnedName) {
  MBOX mbox = 0;
  if (T_VIEW_bCardMailbox(&mbox) && L_MBOX_Send(mbox, pMsg, priority, sema) == lsSUCCESS) return;
  H_MEMORY_vFree(pcOwnedName);
  H_MEMORY_vFree(pMsg);
}

// T_VIEW_vInitiateBitmapSaveToMMC: hands the frozen picture to the card task. Without a card task nobody
// would ever release the freeze: it is released here and capture allowed again.
void vInitiateBitmapSaveToMMC() {
  MBOX mbox = 0;
  if (T_VIEW_bCardMailbox(&mbox)) {
    auto *pMsg = static_cast<MSG_GET_SCREEN_DUMP *>(H_MEMORY_pvCalloc(1, sizeof(MSG_GET_SCREEN_DUMP)));
    pMsg->header.Cmd = CMD_ID_SCREEN_DUMP;
    pMsg->pBitmap = T_VIEW_pFrozenBitmap();
    if (L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0) == lsSUCCESS) return;
    H_MEMORY_vFree(pMsg);
  }
  log_me("screen snapshot: no card task, nothing saved");
  T_VIEW_vToggleDisplayUpdateFreeze(FALSE);
  st().bOkToCapture = TRUE;
}

void vCapture() {
  if (st().eSRViewState == SR_VIEW_PLAYBACK) vWrite(FCID("CPSP"), PLAYBACK_MODE_PAUSED);
  T_VIEW_vToggleDisplayUpdateFreeze(TRUE);
  st().bOkToCapture = FALSE;
  vGood();
  vInitiateBitmapSaveToMMC();
}

void vReleaseFileImageLocked() {
  CAPTURE_STATE &s = st();
  if (s.pFileImage == nullptr) return;
  T_VIEW_vFreeFullScreenBitmap(s.pFileImage);
  s.pFileImage = nullptr;
}

// Rotates the slots one item towards the end of the list: the old bottom slot is reused for the new current.
void vShiftDown(const char *pcPrevious, U32 u32Position, THUMBNAIL_TYPE eType) {
  CAPTURE_STATE &s = st();
  THUMBNAIL_HEADER_TYPE *pReuse = s.psNextNextThumbnail;
  s.psNextNextThumbnail = s.psNextThumbnail;
  s.psNextThumbnail = s.psCurrentThumbnail;
  s.psCurrentThumbnail = pReuse;
  s.scroll.u32TopThumbNailPosition = u32Position;
  T_VIEW_vLoadSlot(pReuse, pcPrevious, eType);
}

void vShiftUp(const char *pcNextNext, THUMBNAIL_TYPE eNextNextType) {
  CAPTURE_STATE &s = st();
  THUMBNAIL_HEADER_TYPE *pReuse = s.psCurrentThumbnail;
  s.psCurrentThumbnail = s.psNextThumbnail;
  s.psNextThumbnail = s.psNextNextThumbnail;
  s.psNextNextThumbnail = pReuse;
  s.scroll.u32TopThumbNailPosition++;
  T_VIEW_vLoadSlot(pReuse, pcNextNext, eNextNextType);
}

// Notes whether pictures exist before and after the current one.
void vNoteNeighbourImages() {
  CAPTURE_STATE &s = st();
  char acPath[THUMBNAIL_NAME_SIZE];
  s.bPreviousImage = s.pCard->eFindPreviousImage(s.psCurrentThumbnail->sName, acPath, nullptr) != THUMBNAIL_NONE;
  s.bNextImage = s.pCard->eFindNextImage(s.psCurrentThumbnail->sName, acPath, nullptr) != THUMBNAIL_NONE;
}

void vCursorThumbnails(CURSOR_POSITION cursor) {
  CAPTURE_STATE &s = st();
  THUMBNAIL_HEADER_TYPE *pCur = s.psCurrentThumbnail;
  char acPath[THUMBNAIL_NAME_SIZE] = {};
  U32 u32Position = 0;
  switch (cursor) {
    case CURSOR_NORTH: {
      if (pCur->eType == THUMBNAIL_NONE) {
        vBad();
        return;
      }
      const THUMBNAIL_TYPE eType = s.pCard->eFindPrevious(pCur->sName, acPath, &u32Position);
      if (eType != THUMBNAIL_NONE) {
        vShiftDown(acPath, u32Position, eType);
        vGood();
      } else if (s.scroll.u32TopThumbNailPosition == 1) {
        const THUMBNAIL_TYPE eLast = s.pCard->eFindLast(acPath, &u32Position);
        T_VIEW_vClearSlot(s.psNextThumbnail);
        T_VIEW_vClearSlot(s.psNextNextThumbnail);
        s.scroll.u32TopThumbNailPosition = u32Position;
        T_VIEW_vLoadSlot(pCur, acPath, eLast);
        vGood();
      } else {
        vBad();
      }
      break;
    }
    case CURSOR_SOUTH: {
      if (pCur->eType == THUMBNAIL_NONE) {
        vBad();
        return;
      }
      const THUMBNAIL_TYPE eNext = s.pCard->eFindNext(pCur->sName, acPath, nullptr);
      if (eNext != THUMBNAIL_NONE) {
        char acNextNext[THUMBNAIL_NAME_SIZE] = {};
        THUMBNAIL_TYPE eNextNext = THUMBNAIL_NONE;
        if (s.psNextNextThumbnail->eType != THUMBNAIL_NONE) {
          eNextNext = s.pCard->eFindNext(s.psNextNextThumbnail->sName, acNextNext, nullptr);
        }
        if (s.psNextThumbnail->eType == THUMBNAIL_NONE) {
          // The slot after the current one was never filled: take the found item into it first.
          T_VIEW_vLoadSlot(s.psNextThumbnail, acPath, eNext);
        }
        vShiftUp(acNextNext, eNextNext);
        vGood();
      } else if (s.scroll.u32TopThumbNailPosition == s.pCard->u32ThumbNailsInList()) {
        for (THUMBNAIL_HEADER_TYPE &slot : s.slots) T_VIEW_vClearSlot(&slot);
        s.bInitialThumbNailSearch = TRUE;
        vGood();
      } else {
        vBad();
      }
      break;
    }
    case CURSOR_EAST: {
      if (pCur->eType == THUMBNAIL_IMAGE_TYPE && !pCur->bWrongSizeThumbnail) {
        std::lock_guard<std::mutex> lock(st().fileImageMutex);
        if (s.pFileImage == nullptr) s.pFileImage = T_VIEW_pCreateFullScreenBitmap();
        if (s.pFileImage == nullptr) {
          vBad();
          return;
        }
        vNoteNeighbourImages();
        MBOX mbox = 0;
        if (T_VIEW_bCardMailbox(&mbox)) {
          auto *pMsg = static_cast<MSG_LOAD_BITMAP *>(H_MEMORY_pvCalloc(1, sizeof(MSG_LOAD_BITMAP)));
          pMsg->header.Cmd = CMD_ID_LOAD_BMP;
          pMsg->pBitmap = s.pFileImage;
          pMsg->pFileName = T_VIEW_pcCopyWithExtension(pCur->sName, "PNG");
          pMsg->u32RequestID = ++s.u32LatestRequestID;
          pMsg->pu32LatestRequestID = &s.u32LatestRequestID;
          vPostToCard(pMsg, NORMAL_PRIORITY, 0, pMsg->pFileName);
        }
        T_VIEW_vSetSRViewState(SR_VIEW_FULLIMAGE);
        vGood();
      } else if (pCur->eType == THUMBNAIL_RECORDING_TYPE) {
        char *pcName = T_VIEW_pcCopyWithExtension(pCur->sName, "SON");
        const BOOLEAN bOpened = s.pCard->bOpenPlaybackFile(TRUE, pcName);
        if (bOpened) {
          std::snprintf(s.sPlaybackFile, sizeof s.sPlaybackFile, "%s", pcName);
          T_VIEW_vSetSRViewState(SR_VIEW_PLAYBACK);
          vGood();
        } else {
          vBad();
        }
        H_MEMORY_vFree(pcName);
      } else {
        vBad();
      }
      break;
    }
    case CURSOR_WEST:
      vBad();
      break;
    default:
      break;
  }
}

void vCursorFullImage(CURSOR_POSITION cursor) {
  CAPTURE_STATE &s = st();
  char acPath[THUMBNAIL_NAME_SIZE] = {};
  U32 u32Position = 0;
  if (cursor == CURSOR_NORTH || cursor == CURSOR_SOUTH) {
    if (!s.bPreviousImage && !s.bNextImage) {
      vBad();
      return;
    }
    vGood();
    THUMBNAIL_HEADER_TYPE *pCur = s.psCurrentThumbnail;
    THUMBNAIL_TYPE eType;
    if (cursor == CURSOR_NORTH) {
      eType = s.bPreviousImage ? s.pCard->eFindPreviousImage(pCur->sName, acPath, &u32Position)
                               : s.pCard->eFindLastImage(acPath, &u32Position);
    } else {
      eType = s.bNextImage ? s.pCard->eFindNextImage(pCur->sName, acPath, &u32Position)
                           : s.pCard->eFindFirstImage(acPath, &u32Position);
    }
    if (eType == THUMBNAIL_NONE) return;
    T_VIEW_vClearSlot(pCur);
    std::snprintf(pCur->sName, sizeof pCur->sName, "%s", acPath);
    pCur->eType = eType;
    s.scroll.u32TopThumbNailPosition = u32Position;
    T_VIEW_vLoadImageThumbnails();
    s.bNextImage = s.pCard->eFindNextImage(pCur->sName, acPath, nullptr) != THUMBNAIL_NONE;
    T_VIEW_vLoadFullViewImage();
  } else if (cursor == CURSOR_WEST) {
    {
      std::lock_guard<std::mutex> lock(st().fileImageMutex);
      vReleaseFileImageLocked();
    }
    T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
    vGood();
  } else if (cursor == CURSOR_EAST) {
    vBad();
  }
}

void vHandleCursor(const MSG_KEY_CHANGE *pMsg) {
  CAPTURE_STATE &s = st();
  const CURSOR_POSITION cursor = pMsg->cursor;
  const bool bStraight =
      cursor == CURSOR_NORTH || cursor == CURSOR_SOUTH || cursor == CURSOR_EAST || cursor == CURSOR_WEST;
  if (!bStraight) return;
  if (s.eSRViewState == SR_VIEW_THUMBNAILS || s.eSRViewState == SR_VIEW_FULLIMAGE) {
    // The pressed arrow shows highlighted in a frame composed before the action.
    s.scroll.eScrollState = cursor == CURSOR_NORTH   ? THUMBNAIL_SCROLL_STATE_UP
                            : cursor == CURSOR_SOUTH ? THUMBNAIL_SCROLL_STATE_DOWN
                            : cursor == CURSOR_EAST  ? THUMBNAIL_SCROLL_STATE_RIGHT
                                                     : THUMBNAIL_SCROLL_STATE_LEFT;
    T_VIEW_vHandleRefreshDisplay();
  }
  switch (s.eSRViewState) {
    case SR_VIEW_THUMBNAILS:
      vCursorThumbnails(cursor);
      break;
    case SR_VIEW_FULLIMAGE:
      vCursorFullImage(cursor);
      break;
    case SR_VIEW_PLAYBACK:
      if (cursor == CURSOR_EAST || cursor == CURSOR_WEST) {
        if (T_VIEW_bUpdatePlaybackMode(cursor == CURSOR_EAST ? 3 : 7)) {
          vGood();
        } else {
          vBad();
        }
      } else {
        vBad();
      }
      break;
    default:
      vBad();
      break;
  }
}

void vUnregisterStateEntries(SR_VIEW_STATE eState, THUMBNAIL_TYPE eType) {
  switch (eState) {
    case SR_VIEW_INIT:
    case SR_VIEW_THUMBNAILS:
    case SR_VIEW_FULLIMAGE:
      U_MENU_bUnregisterHotMenuItem(&Start_Recording, CAPTURE_REVIEW_VIEW_PRIORITY, SPLIT_FULL_WINDOW);
      U_MENU_bUnregisterHotMenuItem(eType == THUMBNAIL_RECORDING_TYPE ? &Delete_Recording : &Delete_Image,
                                    CAPTURE_REVIEW_VIEW_PRIORITY, SPLIT_FULL_WINDOW);
      U_MENU_bUnregisterHotMenuItem(&Delete_All_Images, CAPTURE_REVIEW_VIEW_PRIORITY, SPLIT_FULL_WINDOW);
      U_MENU_bUnregisterHotMenuItem(&Delete_All_Recordings, CAPTURE_REVIEW_VIEW_PRIORITY, SPLIT_FULL_WINDOW);
      U_MENU_bUnregisterHotMenuItem(&Pings_Per_Second, CAPTURE_REVIEW_VIEW_PRIORITY, SPLIT_FULL_WINDOW);
      break;
    case SR_VIEW_PLAYBACK:
      U_MENU_bUnregisterHotMenuItem(&Stop_Playback, USED_BY_ALL, SPLIT_FULL_WINDOW);
      U_MENU_bUnregisterHotMenuItem(&Playback_Speed, USED_BY_ALL, SPLIT_FULL_WINDOW);
      break;
    case SR_VIEW_RECORDING:
      U_MENU_bUnregisterHotMenuItem(&Stop_Recording, USED_BY_ALL, SPLIT_FULL_WINDOW);
      U_MENU_bUnregisterHotMenuItem(&Pings_Per_Second, CAPTURE_REVIEW_VIEW_PRIORITY, SPLIT_FULL_WINDOW);
      break;
  }
}

void vRegisterPingRate() {
  U_MENU_bRegisterHotProgBarMenu(&Pings_Per_Second, &zephrin_ping_rate_icon, MENU_PING_RATE, FCID("SRPS"),
                                 kPingRateLimits, nullptr, &s_Auto, nullptr, M_BASIC, CAPTURE_REVIEW_VIEW_PRIORITY,
                                 SPLIT_FULL_WINDOW);
}

void vRegisterSpeedMenu(PLAYBACK_MENU eMenu) {
  const SPEED_MENU &m = kSpeedMenus[eMenu];
  U_MENU_bRegisterHotIconSelectorMenu(&Playback_Speed, &zephrin_playspeed_icon, MENU_PLAYBACK_SPEED, FCID("CPSM"),
                                      m.u32Count, kAllIcons + m.u32First, kAllModes + m.u32First, M_BASIC,
                                      USED_BY_ALL, SPLIT_FULL_WINDOW);
}

void vRegisterStateEntries(SR_VIEW_STATE eState, THUMBNAIL_TYPE eType) {
  switch (eState) {
    case SR_VIEW_PLAYBACK:
      U_MENU_bRegisterHotActionMenu(&Stop_Playback, &zephrin_stop_playback_icon, MENU_STOP_PLAYBACK,
                                    T_VIEW_vStopPlayback, FALSE, M_BASIC, USED_BY_ALL, SPLIT_FULL_WINDOW);
      vRegisterSpeedMenu(st().eSpeedMenu);
      break;
    case SR_VIEW_RECORDING:
      U_MENU_bRegisterHotActionMenu(&Stop_Recording, &zephrin_stop_rec_icon, MENU_STOP_RECORDING,
                                    T_VIEW_vToggleRecordingState, FALSE, M_BASIC, USED_BY_ALL, SPLIT_FULL_WINDOW);
      vRegisterPingRate();
      break;
    default:
      U_MENU_bRegisterHotActionMenu(&Start_Recording, &zephrin_start_rec_icon, MENU_START_RECORDING,
                                    T_VIEW_vToggleRecordingState, FALSE, M_BASIC, CAPTURE_REVIEW_VIEW_PRIORITY,
                                    SPLIT_FULL_WINDOW);
      if (eType == THUMBNAIL_RECORDING_TYPE) {
        U_MENU_bRegisterHotActionMenu(&Delete_Recording, &delete_image_icon, MENU_DELETE_RECORDING,
                                      T_VIEW_vDeleteCurrentImage, TRUE, M_BASIC, CAPTURE_REVIEW_VIEW_PRIORITY,
                                      SPLIT_FULL_WINDOW);
      } else {
        U_MENU_bRegisterHotActionMenu(&Delete_Image, &delete_image_icon, MENU_DELETE_IMAGE,
                                      T_VIEW_vDeleteCurrentImage, TRUE, M_BASIC, CAPTURE_REVIEW_VIEW_PRIORITY,
                                      SPLIT_FULL_WINDOW);
      }
      U_MENU_bRegisterHotActionMenu(&Delete_All_Images, &delete_image_all_icon, MENU_DELETE_ALL_IMAGES,
                                    T_VIEW_vDeleteAllImages, TRUE, M_BASIC, CAPTURE_REVIEW_VIEW_PRIORITY,
                                    SPLIT_FULL_WINDOW);
      U_MENU_bRegisterHotActionMenu(&Delete_All_Recordings, &delete_image_all_icon, MENU_DELETE_ALL_RECORDINGS,
                                    T_VIEW_vDeleteAllRecordings, TRUE, M_BASIC, CAPTURE_REVIEW_VIEW_PRIORITY,
                                    SPLIT_FULL_WINDOW);
      vRegisterPingRate();
      break;
  }
}

void vSetDeleteRequest(std::atomic<BOOLEAN> &request) {
  CAPTURE_STATE &s = st();
  const bool bBrowsing = s.eSRViewState == SR_VIEW_THUMBNAILS || s.eSRViewState == SR_VIEW_FULLIMAGE;
  if (!bBrowsing || T_VIEW_eCurrentItemType() == THUMBNAIL_NONE) {
    vBad();
    return;
  }
  request = TRUE;
  vGood();
  if (s.eSRViewState == SR_VIEW_FULLIMAGE) T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

U8 u8SlotOfPlaybackFile() {
  const char *pcName = st().sPlaybackFile;
  for (U32 u32Slot = 0; u32Slot < 2; ++u32Slot) {
    const char *pcMount = DD_SD_pcMountPoint(u32Slot);
    if (pcMount[0] != '\0' && std::strncmp(pcName, pcMount, std::strlen(pcMount)) == 0) return static_cast<U8>(u32Slot);
  }
  if (std::strlen(pcName) > 4 && pcName[4] >= '0' && pcName[4] <= '9') return static_cast<U8>(pcName[4] - '0');
  return 0xFF;
}

}  // namespace

CAPTURE_STATE &T_VIEW_captureState(void) { return st(); }

void T_VIEW_vSetCardListForTest(const CAPTURE_CARD_LIST *pList) { st().pCard = pList != nullptr ? pList : &kCardTask; }

BOOLEAN T_VIEW_bCardMailbox(MBOX *pMbox) {
  U32 u32Mbox = 0;
  if (!H_DATABASE_bFetchU32(FCID("TMMC"), &u32Mbox, nullptr, nullptr)) return FALSE;
  *pMbox = static_cast<MBOX>(u32Mbox);
  return TRUE;
}

THUMBNAIL_TYPE T_VIEW_eCurrentItemType(void) {
  const THUMBNAIL_HEADER_TYPE *pCur = st().psCurrentThumbnail;
  return pCur != nullptr ? pCur->eType : THUMBNAIL_NONE;
}

char *T_VIEW_pcCopyWithExtension(const char *pcName, const char *pcExtension) {
  const size_t szBase = std::strcspn(pcName, ".");
  const size_t szSize = szBase + 1 + std::strlen(pcExtension) + 1;
  auto *pc = static_cast<char *>(H_MEMORY_pvMalloc(static_cast<U32>(szSize)));
  std::snprintf(pc, szSize, "%.*s.%s", static_cast<int>(szBase), pcName, pcExtension);
  return pc;
}

void T_VIEW_vClearRecordingFigures(void) {
  RECORDING_FIGURES &f = st().figures;
  f.u32TimeFromStartMs = 0;
  f.u32SizeFromStartKB = 0;
  f.u32RemainingTimeMs = 0;
  f.u32RemainingSizeKB = 0;
  f.u32CardSizeKB = 0;
  f.u32CardAvailableKB = 0;
  std::snprintf(f.sFileName, sizeof f.sFileName, " ");
  f.bPingPositionValid = FALSE;
}

void T_VIEW_vSetupThumbnailSlots(void) {
  CAPTURE_STATE &s = st();
  for (U32 i = 0; i < 3; ++i) {
    s.slots[i].snapshot = &s.data[i];
    s.slots[i].recording = &s.sonar[i];
    T_VIEW_vClearSlot(&s.slots[i]);
  }
  s.psCurrentThumbnail = &s.slots[0];
  s.psNextThumbnail = &s.slots[1];
  s.psNextNextThumbnail = &s.slots[2];
  s.bOkToCapture = TRUE;
  s.bInitialThumbNailSearch = TRUE;
  s.eLatestThumbNailType = THUMBNAIL_NONE;
  s.scroll = {};
  if (s.pCard == nullptr) s.pCard = &kCardTask;
}

void T_VIEW_vSetupCapture(void) {
  H_DATABASE_bUpdateEverythingU32(FCID("SCSC"), CAPTURE_OFF, P_DEFAULT_SETTING, D_UNKNOWN, s_Screen_Capture,
                                  DB_NO_TIMEOUT);
  H_DATABASE_bRegisterForDataWithConditions(FCID("SCSC"), M_VIEW, TRUE, FALSE, TRUE);
  T_VIEW_vUpdated_SCSC();
  H_DATABASE_bUpdateEverythingBoolean(FCID("SVCR"), TRUE, P_DEFAULT_SETTING, D_UNKNOWN,
                                      s_Snapshot_and_Recording_View, DB_NO_TIMEOUT);
  U_VIEW_bRegisterLayer(T_VIEW_vDrawCaptureReviewView, CAPTURE_REVIEW_VIEW_PRIORITY, USED_BY_NONE, 0, FCID("SVCR"),
                        TRUE, nullptr, nullptr, nullptr);
  static const MENU_TITLE kChoices[] = {&s_Off, &s_On};
  static const U32 kValues[] = {CAPTURE_OFF, CAPTURE_ON};
  U_MENU_bRegisterMainSelectorMenu(&s_Screen_Capture, &Accessories, MENU_SCREEN_CAPTURE, FCID("SCSC"), 2, kChoices,
                                   kValues, M_BASIC);
  U_MENU_bRegisterZephrinMenu(CAPTURE_REVIEW_VIEW_PRIORITY, SPLIT_FULL_WINDOW);
  T_VIEW_vUpdateSnapshotMenu();
}

void T_VIEW_vUpdated_SCSC(void) {
  CAPTURE_STATE &s = st();
  const bool bOn = u32Fetch(FCID("SCSC"), CAPTURE_OFF) == CAPTURE_ON;
  if (bOn && !s.bMarkRegistered) {
    U_KEYBOARD_bRegisterKeys(M_VIEW, KEY_BIT_MARK, KEY_DOWN, FALSE, FALSE, NOT_CURSOR_KEY, REGISTER_SCREEN_CAPTURE);
    s.bMarkRegistered = TRUE;
  } else if (!bOn && s.bMarkRegistered) {
    U_KEYBOARD_bUnregisterKeys(M_VIEW, KEY_BIT_MARK);
    s.bMarkRegistered = FALSE;
  }
}

void T_VIEW_vCheckCursorKeyRegistration(void) {
  CAPTURE_STATE &s = st();
  const bool bReview = eCurrentView() == CAPTURE_REVIEW_VIEW_PRIORITY;
  if (bReview && !s.bCursorRegistered) {
    U_KEYBOARD_bRegisterKeys(M_VIEW, KEY_BIT_CURSOR, KEY_DOWN, TRUE, FALSE, CURSOR_4, REGISTER_VIEW);
    s.bCursorRegistered = TRUE;
  } else if (!bReview && s.bCursorRegistered) {
    U_KEYBOARD_bUnregisterKeys(M_VIEW, KEY_BIT_CURSOR);
    s.bCursorRegistered = FALSE;
  }
  if (s.eSRViewState == SR_VIEW_FULLIMAGE) {
    T_VIEW_vReleaseFileImage();
    T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
  }
}

void T_VIEW_vHandleKeys(const MSG_KEY_CHANGE *pMsg) {
  CAPTURE_STATE &s = st();
  switch (pMsg->key) {
    case KEY_BIT_MARK:
    case KEY_BIT_SOFT_KEY_1: {
      const U32 u32Capture = u32Fetch(FCID("SCSC"), CAPTURE_OFF);
      if (s.eSRViewState == SR_VIEW_RECORDING || u32Capture == CAPTURE_OFF) {
        if (pMsg->key == KEY_BIT_MARK) {
          T_NAV_vHandleMark();
          vGood();
        } else {
          vBad();
        }
      } else if (u32Capture == CAPTURE_ON && s.bOkToCapture) {
        vCapture();
      } else {
        vBad();
      }
      break;
    }
    case KEY_BIT_CURSOR:
      vHandleCursor(pMsg);
      break;
    default:
      vBad();
      break;
  }
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_VIEW_vScreenCapture(void) {
  if (st().bOkToCapture) {
    vCapture();
  } else {
    vBad();
  }
}

void T_VIEW_vToggleDisplayUpdateFreeze(BOOLEAN bFreeze) {
  CAPTURE_STATE &s = st();
  if (bFreeze) {
    if (T_VIEW_pFrozenBitmap() != nullptr) return;
    T_CHART_3D_vToggleDisplayUpdateFreeze(TRUE);
    // The waiting allocation: a snapshot waits for memory rather than fail.
    BITMAP *pFrozen = G_BUFFERS_pCreateFullScreenBitmap();
    H_DISPLAY_vScreenDump(reinterpret_cast<SCREEN_BUFFER *>(pFrozen->pBuffer));
    T_VIEW_vSetFrozenBitmap(pFrozen);
    if (s.pFreezeTimer == nullptr) s.pFreezeTimer = L_TIMER_Allocate();
    if (s.pFreezeTimer != nullptr) L_TIMER_Start(s.pFreezeTimer, kFreezeMs, kFreezeMs, SEMA_TIMER_VIEW_UPDATE);
    return;
  }
  if (s.pFreezeTimer != nullptr) L_TIMER_Stop(s.pFreezeTimer);
  BITMAP *pFrozen = T_VIEW_pFrozenBitmap();
  T_VIEW_vSetFrozenBitmap(nullptr);
  if (pFrozen != nullptr) G_BUFFERS_vFreeFullScreenBitmap(pFrozen);
  T_CHART_3D_vToggleDisplayUpdateFreeze(FALSE);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_VIEW_vReleaseFileImage(void) {
  std::lock_guard<std::mutex> lock(st().fileImageMutex);
  vReleaseFileImageLocked();
}

void T_VIEW_vSetSRViewState(SR_VIEW_STATE eNew) {
  CAPTURE_STATE &s = st();
  const SR_VIEW_STATE eOld = s.eSRViewState;
  if (eNew == eOld) return;
  BOOLEAN bRecording = FALSE;
  H_DATABASE_bFetchBoolean(FCID("CSRE"), &bRecording, nullptr, nullptr);
  if (eNew == SR_VIEW_RECORDING) {
    H_DATABASE_bUpdateValueBoolean(FCID("CSRE"), TRUE, P_NORMAL);
    vWrite(FCID("CPSP"), PLAYBACK_MODE_RECORD);
    if (eOld == SR_VIEW_PLAYBACK) {
      vWrite(FCID("CCST"), s.u32PriorToPlaybackState);
      vWrite(FCID("CVEW"), CAPTURE_REVIEW_VIEW_PRIORITY);
    }
    T_VIEW_vClearRecordingFigures();
  } else if (eNew == SR_VIEW_PLAYBACK) {
    if (eOld == SR_VIEW_RECORDING && bRecording) H_DATABASE_bUpdateValueBoolean(FCID("CSRE"), FALSE, P_NORMAL);
    s.u32PriorToPlaybackState = u32Fetch(FCID("CCST"), 0);
    vWrite(FCID("CCST"), static_cast<U32>(STATE_PLAYBACK));
    vWrite(FCID("CPSP"), PLAYBACK_MODE_FORWARD);
    const THUMBNAIL_HEADER_TYPE *pCur = s.psCurrentThumbnail;
    const U32 u32Start = pCur != nullptr && pCur->eType == THUMBNAIL_RECORDING_TYPE
                             ? pCur->recording->RecordingStartWaypoint.u32Time
                             : 0;
    H_DATABASE_bUpdateEverythingU32(FCID("CRST"), u32Start, P_NORMAL, D_UNKNOWN, nullptr, 0);
    vWrite(FCID("CVEW"), CHART_PLUS_2D_VIEW_PRIORITY);
    s.eSpeedMenu = PLAYBACK_MENU_FULL;
    T_VIEW_vClearRecordingFigures();
    if (pCur != nullptr) T_VIEW_vFiguresFromItem(pCur);
  } else {
    if (eOld == SR_VIEW_RECORDING && bRecording) H_DATABASE_bUpdateValueBoolean(FCID("CSRE"), FALSE, P_NORMAL);
    if (eOld == SR_VIEW_PLAYBACK) {
      vWrite(FCID("CCST"), s.u32PriorToPlaybackState);
      vWrite(FCID("CVEW"), CAPTURE_REVIEW_VIEW_PRIORITY);
      s.pCard->bOpenPlaybackFile(FALSE, nullptr);
    }
    vWrite(FCID("CPSP"), PLAYBACK_MODE_STOP);
  }
  s.eSRViewState = eNew;
  T_VIEW_vUpdateSnapshotMenu();
}

void T_VIEW_vUpdateSnapshotMenu(void) {
  CAPTURE_STATE &s = st();
  const THUMBNAIL_TYPE eType = T_VIEW_eCurrentItemType();
  if (s.bMenuBuilt && s.eMenuState == s.eSRViewState && s.eMenuItemType == eType) {
    if (s.eSRViewState == SR_VIEW_PLAYBACK && s.eMenuSpeed != s.eSpeedMenu) {
      U_MENU_bUnregisterHotMenuItem(&Playback_Speed, USED_BY_ALL, SPLIT_FULL_WINDOW);
      vRegisterSpeedMenu(s.eSpeedMenu);
      s.eMenuSpeed = s.eSpeedMenu;
    }
    return;
  }
  if (s.bMenuBuilt) vUnregisterStateEntries(s.eMenuState, s.eMenuItemType);
  vRegisterStateEntries(s.eSRViewState, eType);
  if (s.eSRViewState == SR_VIEW_INIT) s.eSRViewState = SR_VIEW_THUMBNAILS;
  s.bMenuBuilt = TRUE;
  s.eMenuState = s.eSRViewState;
  s.eMenuItemType = eType;
  s.eMenuSpeed = s.eSpeedMenu;
}

void T_VIEW_vToggleRecordingState(void) {
  switch (st().eSRViewState) {
    case SR_VIEW_THUMBNAILS:
    case SR_VIEW_FULLIMAGE:
      T_VIEW_vSetSRViewState(SR_VIEW_RECORDING);
      break;
    case SR_VIEW_RECORDING:
      T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
      vGood();
      break;
    default:
      break;
  }
}

void T_VIEW_vStopPlayback(void) {
  if (st().eSRViewState != SR_VIEW_PLAYBACK) {
    vBad();
    return;
  }
  if (eCurrentView() == CAPTURE_REVIEW_VIEW_PRIORITY) {
    T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
    vGood();
    return;
  }
  // The menu is open on another view: an EXIT closes it first.
  auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
  pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
  pMsg->key = KEY_BIT_EXIT;
  pMsg->state = KEY_DOWN;
  pMsg->count = 0;
  pMsg->cursor = CURSOR_ILLEGAL;
  pMsg->flag = 0;
  if (L_MBOX_Send(M_MENU, pMsg, NORMAL_PRIORITY, 0) != lsSUCCESS) H_MEMORY_vFree(pMsg);
  T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
}

void T_VIEW_vDeleteCurrentImage(void) { vSetDeleteRequest(st().bDeleteCurrentImage); }
void T_VIEW_vDeleteAllImages(void) { vSetDeleteRequest(st().bDeleteAllImages); }
void T_VIEW_vDeleteAllRecordings(void) { vSetDeleteRequest(st().bDeleteAllRecordings); }

BOOLEAN T_VIEW_bUpdatePlaybackMode(U32 u32Direction) {
  const U32 u32Mode = u32Fetch(FCID("CPSP"), PLAYBACK_MODE_STOP);
  U32 u32New = u32Mode;
  const bool bFaster = u32Direction == 3;
  if (u32Direction != 3 && u32Direction != 7) return FALSE;
  if (u32Mode >= PLAYBACK_MODE_4XREVERSE && u32Mode <= PLAYBACK_MODE_4XFORWARD) {
    if (bFaster && u32Mode < PLAYBACK_MODE_4XFORWARD) u32New = u32Mode + 1;
    if (!bFaster && u32Mode > PLAYBACK_MODE_4XREVERSE) u32New = u32Mode - 1;
  } else if (u32Mode == PLAYBACK_MODE_PAUSED_BEGIN && bFaster) {
    u32New = PLAYBACK_MODE_FORWARD_SLOW;
  } else if (u32Mode == PLAYBACK_MODE_PAUSED_END && !bFaster) {
    u32New = PLAYBACK_MODE_REVERSE_SLOW;
  }
  if (u32New == u32Mode) return FALSE;
  vWrite(FCID("CPSP"), u32New);
  return TRUE;
}

void T_VIEW_vUpdatePlaybackSpeedState(BOOLEAN bCPSPChanged, BOOLEAN bCPSMChanged) {
  const U32 u32CPSP = u32Fetch(FCID("CPSP"), PLAYBACK_MODE_STOP);
  const U32 u32CPSM = u32Fetch(FCID("CPSM"), PLAYBACK_MODE_PAUSED);
  if (u32CPSP == u32CPSM) return;
  if (bCPSMChanged) {
    if ((u32CPSM >= 1 && u32CPSM <= 5) || (u32CPSM >= 7 && u32CPSM <= 11)) {
      vWrite(FCID("CPSP"), u32CPSM);
    } else if (u32CPSM == PLAYBACK_MODE_PAUSED && u32CPSP != PLAYBACK_MODE_PAUSED_BEGIN &&
               u32CPSP != PLAYBACK_MODE_PAUSED_END) {
      vWrite(FCID("CPSP"), PLAYBACK_MODE_PAUSED);
    }
  }
  if (bCPSPChanged) {
    if (u32CPSP >= 1 && u32CPSP <= 11) {
      vWrite(FCID("CPSM"), u32CPSP);
    } else if (u32CPSP == PLAYBACK_MODE_PAUSED_BEGIN || u32CPSP == PLAYBACK_MODE_PAUSED_END) {
      vWrite(FCID("CPSM"), PLAYBACK_MODE_PAUSED);
    }
  }
}

PLAYBACK_MENU T_VIEW_ePlaybackMenuFor(U32 u32Mode, PLAYBACK_MENU eCurrent) {
  if (u32Mode == PLAYBACK_MODE_BEGIN || u32Mode == PLAYBACK_MODE_PAUSED_BEGIN) return PLAYBACK_MENU_NO_REW;
  if ((u32Mode >= 2 && u32Mode <= 10) || u32Mode == PLAYBACK_MODE_STOP || u32Mode == PLAYBACK_MODE_RECORD) {
    return PLAYBACK_MENU_FULL;
  }
  if (u32Mode == PLAYBACK_MODE_END || u32Mode == PLAYBACK_MODE_PAUSED_END) return PLAYBACK_MENU_NO_FWD;
  if (u32Mode == PLAYBACK_MODE_END_FILL) return PLAYBACK_MENU_END_FILL;
  return eCurrent;
}

U32 T_VIEW_u32PlaybackSpeedChoices(PLAYBACK_MENU eMenu, const U32 **ppu32Values) {
  const SPEED_MENU &m = kSpeedMenus[eMenu];
  if (ppu32Values != nullptr) *ppu32Values = kAllModes + m.u32First;
  return m.u32Count;
}

void T_VIEW_vHandleCaptureNewData(const MESSAGE_NEW_DATA *pMsg) {
  CAPTURE_STATE &s = st();
  switch (pMsg->FourCharId) {
    case FCID("CPSP"):
      T_VIEW_vUpdateProgressIcons(pMsg->dbValue.u32Val);
      s.eSpeedMenu = T_VIEW_ePlaybackMenuFor(pMsg->dbValue.u32Val, s.eSpeedMenu);
      T_VIEW_vUpdatePlaybackSpeedState(TRUE, FALSE);
      T_VIEW_vUpdateSnapshotMenu();
      break;
    case FCID("CPSM"):
      T_VIEW_vUpdatePlaybackSpeedState(FALSE, TRUE);
      break;
    case FCID("CSD0"):
    case FCID("CSD1"): {
      s.bInitialThumbNailSearch = TRUE;
      if ((pMsg->dbValue.u32Val & 0xFF) != 0) break;
      const U8 u8Slot = pMsg->FourCharId == FCID("CSD0") ? 0 : 1;
      const bool bRecordingThere = s.eSRViewState == SR_VIEW_RECORDING && s.figures.u8DeviceNumber == u8Slot;
      const bool bPlayingThere = s.eSRViewState == SR_VIEW_PLAYBACK && u8SlotOfPlaybackFile() == u8Slot;
      if (bRecordingThere || bPlayingThere) T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
      break;
    }
    default:
      break;
  }
}

void T_VIEW_vHandlePingStart(const GENERIC_MESSAGE *pHeader) {
  CAPTURE_STATE &s = st();
  const auto *pMsg = reinterpret_cast<const MSG_PING_VIEW_START *>(pHeader);
  s.figures.u32StartDateTime = pMsg->u32StartDateTime;
  if (s.eSRViewState != SR_VIEW_RECORDING) return;
  s.figures.u32CardAvailableKB = pMsg->u32CardAvailableKB;
  s.figures.u32CardSizeKB = pMsg->u32CardSizeKB;
  s.figures.u8DeviceNumber = pMsg->u8DeviceNumber;
  char acName[sizeof pMsg->sFileName + 1] = {};
  std::memcpy(acName, pMsg->sFileName, sizeof pMsg->sFileName);
  std::snprintf(s.figures.sFileName, sizeof s.figures.sFileName, "%s", acName);
  U_FILE_vAddExtension(s.figures.sFileName, "SON");
}

void T_VIEW_vSnapshotSaveComplete(void) {
  st().eLatestThumbNailType = THUMBNAIL_IMAGE_TYPE;
  st().bOkToCapture = TRUE;
}

void T_VIEW_vRecordingSaveComplete(void) {
  st().eLatestThumbNailType = THUMBNAIL_RECORDING_TYPE;
  st().bOkToCapture = TRUE;
}

void T_VIEW_vDeleteComplete(void) { st().bAllDeleted = TRUE; }

void T_VIEW_vDeleteAllComplete(void) {
  st().bAllDeleted = TRUE;
  st().bInitialThumbNailSearch = TRUE;
}

SR_VIEW_STATE T_VIEW_eSRViewStateForTest(void) { return st().eSRViewState; }
BOOLEAN T_VIEW_bOkToCaptureForTest(void) { return st().bOkToCapture; }
THUMBNAIL_SCROLL_INFO *T_VIEW_pScrollInfoForTest(void) { return &st().scroll; }
THUMBNAIL_HEADER_TYPE *T_VIEW_pThumbnailSlotForTest(U32 u32Slot) {
  CAPTURE_STATE &s = st();
  THUMBNAIL_HEADER_TYPE *const order[] = {s.psCurrentThumbnail, s.psNextThumbnail, s.psNextNextThumbnail};
  return u32Slot < 3 ? order[u32Slot] : nullptr;
}
PLAYBACK_MENU T_VIEW_ePlaybackMenuForTest(void) { return st().eSpeedMenu; }

void T_VIEW_vCaptureResetForTest(void) {
  CAPTURE_STATE &s = st();
  T_VIEW_vReleaseFileImage();
  if (T_VIEW_pFrozenBitmap() != nullptr) T_VIEW_vToggleDisplayUpdateFreeze(FALSE);
  if (s.pFreezeTimer != nullptr) L_TIMER_Release(s.pFreezeTimer);
  s.pFreezeTimer = nullptr;
  s.eSRViewState = SR_VIEW_INIT;
  s.bDeleteAllImages = s.bDeleteAllRecordings = s.bDeleteCurrentImage = s.bAllDeleted = FALSE;
  s.u32LatestRequestID = 0;
  s.figures = {};
  s.u32PriorToPlaybackState = 0;
  s.eSpeedMenu = PLAYBACK_MENU_FULL;
  s.sPlaybackFile[0] = '\0';
  s.bMarkRegistered = s.bCursorRegistered = s.bMenuBuilt = FALSE;
  s.bItemBeforeCurrent = s.bPreviousImage = s.bNextImage = FALSE;
  s.pCard = &kCardTask;
  T_VIEW_vSetupThumbnailSlots();
}

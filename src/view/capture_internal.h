// State shared by the capture module (snapshots, review state, keys, menu) and the review view's drawing.
#pragma once
#include <atomic>
#include <mutex>

#include "view/capture.h"
#include "kernel/timer.h"

// The card task's list of saved items, as the review reads it (the card task's functions; tests put a list of
// their own in its place).
typedef struct {
  U32 (*u32ThumbNailsInList)(void);
  THUMBNAIL_TYPE (*eFindFirst)(char *pcPath, U32 *pu32Position);
  THUMBNAIL_TYPE (*eFindLast)(char *pcPath, U32 *pu32Position);
  THUMBNAIL_TYPE (*eFindNext)(const char *pcEntry, char *pcPath, U32 *pu32Position);
  THUMBNAIL_TYPE (*eFindPrevious)(const char *pcEntry, char *pcPath, U32 *pu32Position);
  THUMBNAIL_TYPE (*eFindFirstImage)(char *pcPath, U32 *pu32Position);
  THUMBNAIL_TYPE (*eFindLastImage)(char *pcPath, U32 *pu32Position);
  THUMBNAIL_TYPE (*eFindNextImage)(const char *pcEntry, char *pcPath, U32 *pu32Position);
  THUMBNAIL_TYPE (*eFindPreviousImage)(const char *pcEntry, char *pcPath, U32 *pu32Position);
  THUMBNAIL_TYPE (*eFindLatest)(char *pcPath, THUMBNAIL_TYPE eType, U32 *pu32Position);
  BOOLEAN (*bOpenPlaybackFile)(BOOLEAN bOpenFile, const char *pcFileName);
} CAPTURE_CARD_LIST;

// What the information cells show of a recording in work or being played.
typedef struct {
  U32 u32TimeFromStartMs;
  U32 u32SizeFromStartKB;
  U32 u32TotalTimeMs;
  U32 u32TotalSizeKB;
  U32 u32RemainingTimeMs;
  U32 u32RemainingSizeKB;
  U32 u32CardSizeKB;
  U32 u32CardAvailableKB;
  U32 u32CurrentPingMs;
  U32 u32AveragePingMs;
  U32 u32StartDateTime;
  U8 u8DeviceNumber;
  char sFileName[THUMBNAIL_NAME_SIZE];
  BOOLEAN bPingPositionValid;
} RECORDING_FIGURES;

typedef struct {
  SR_VIEW_STATE eSRViewState;
  TIMER_INFO *pFreezeTimer;
  std::atomic<BOOLEAN> bOkToCapture;
  std::atomic<int> eLatestThumbNailType;
  std::atomic<BOOLEAN> bAllDeleted;
  std::atomic<BOOLEAN> bInitialThumbNailSearch;
  std::atomic<BOOLEAN> bDeleteCurrentImage;
  std::atomic<BOOLEAN> bDeleteAllImages;
  std::atomic<BOOLEAN> bDeleteAllRecordings;
  THUMBNAIL_HEADER_TYPE slots[3];
  THUMBNAIL_DATA_FILE data[3];
  SONAR_RECORD_THUMB_HEADER sonar[3];
  THUMBNAIL_HEADER_TYPE *psCurrentThumbnail;
  THUMBNAIL_HEADER_TYPE *psNextThumbnail;
  THUMBNAIL_HEADER_TYPE *psNextNextThumbnail;
  THUMBNAIL_SCROLL_INFO scroll;
  BOOLEAN bItemBeforeCurrent;
  BOOLEAN bPreviousImage;
  BOOLEAN bNextImage;
  BITMAP *pFileImage;  // under fileImageMutex: the view-key task gives it back too
  std::mutex fileImageMutex;
  U32 u32LatestRequestID;
  RECORDING_FIGURES figures;
  U32 u32PriorToPlaybackState;
  PLAYBACK_MENU eSpeedMenu;
  char sPlaybackFile[THUMBNAIL_NAME_SIZE];
  BOOLEAN bMarkRegistered;
  BOOLEAN bCursorRegistered;
  // What the hot menu entries were last built for.
  BOOLEAN bMenuBuilt;
  SR_VIEW_STATE eMenuState;
  THUMBNAIL_TYPE eMenuItemType;
  PLAYBACK_MENU eMenuSpeed;
  const CAPTURE_CARD_LIST *pCard;
} CAPTURE_STATE;

CAPTURE_STATE &T_VIEW_captureState(void);

// Tests: the card list the review reads (NULL: the card task's).
void T_VIEW_vSetCardListForTest(const CAPTURE_CARD_LIST *pList);

// Review helpers shared between the modules.
// The current item's type, THUMBNAIL_NONE without one.
THUMBNAIL_TYPE T_VIEW_eCurrentItemType(void);
// The mailbox under 'TMMC'; FALSE when the card task has not published one.
BOOLEAN T_VIEW_bCardMailbox(MBOX *pMbox);
// "name" cut at its first "." with the extension, into a new allocated copy.
char *T_VIEW_pcCopyWithExtension(const char *pcName, const char *pcExtension);
// Empties a slot.
void T_VIEW_vClearSlot(THUMBNAIL_HEADER_TYPE *pSlot);
// Puts the item into the slot and asks the card task for its thumbnail; THUMBNAIL_NONE empties the slot.
void T_VIEW_vLoadSlot(THUMBNAIL_HEADER_TYPE *pSlot, const char *pcPath, THUMBNAIL_TYPE eType);
// Fills the recording figures of the current recording item (review state).
void T_VIEW_vFiguresFromItem(const THUMBNAIL_HEADER_TYPE *pSlot);
void T_VIEW_vClearRecordingFigures(void);

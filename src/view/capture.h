// Screen snapshots and the capture review view: freezing the display for a snapshot, browsing the saved pictures
// and sonar recordings, recording and playback, and the exchanges with the memory-card task.
#pragma once
#include "view/view.h"
#include "view/view_task.h"
#include "settings/database.h"
#include "kernel/mbox.h"

typedef enum {
  PLAYBACK_MODE_BEGIN = 1,
  PLAYBACK_MODE_4XREVERSE = 2,
  PLAYBACK_MODE_2XREVERSE = 3,
  PLAYBACK_MODE_REVERSE = 4,
  PLAYBACK_MODE_REVERSE_SLOW = 5,
  PLAYBACK_MODE_PAUSED = 6,
  PLAYBACK_MODE_FORWARD_SLOW = 7,
  PLAYBACK_MODE_FORWARD = 8,
  PLAYBACK_MODE_2XFORWARD = 9,
  PLAYBACK_MODE_4XFORWARD = 10,
  PLAYBACK_MODE_END = 11,
  PLAYBACK_MODE_END_FILL = 12,
  PLAYBACK_MODE_STOP = 13,
  PLAYBACK_MODE_RECORD = 14,
  PLAYBACK_MODE_PAUSED_BEGIN = 15,
  PLAYBACK_MODE_PAUSED_END = 16,
} PLAYBACK_MODE_TYPE;

typedef enum {
  PLAYBACK_MENU_FULL = 0,
  PLAYBACK_MENU_NO_REW = 1,
  PLAYBACK_MENU_NO_FWD = 2,
  PLAYBACK_MENU_END_FILL = 3,
} PLAYBACK_MENU;

typedef enum { THUMBNAIL_NONE = 0, THUMBNAIL_IMAGE_TYPE = 1, THUMBNAIL_RECORDING_TYPE = 2 } THUMBNAIL_TYPE;
typedef enum { CAPTURE_OFF = 0, CAPTURE_CONFIRM = 1, CAPTURE_ON = 2 } CAPTURE_SETTING;
enum : U32 { PING_RATE_1PING_SEC = 1, PING_RATE_10PING_SEC = 10, PING_RATE_AUTO = 11 };

typedef enum {
  THUMBNAIL_SCROLL_STATE_NONE = 0,
  THUMBNAIL_SCROLL_STATE_UP = 1,
  THUMBNAIL_SCROLL_STATE_DOWN = 2,
  THUMBNAIL_SCROLL_STATE_LEFT = 3,
  THUMBNAIL_SCROLL_STATE_RIGHT = 4,
} THUMBNAIL_SCROLL_STATE;
typedef enum { THUMBNAIL_LOCATION_TOP = 0, THUMBNAIL_LOCATION_MIDDLE = 1, THUMBNAIL_LOCATION_BOTTOM = 2 } THUMBNAIL_LOCATION;

constexpr U32 THUMBNAIL_WIDTH = 200;
constexpr U32 THUMBNAIL_HEIGHT = 120;
constexpr U32 THUMBNAIL_PIXELS = THUMBNAIL_WIDTH * THUMBNAIL_HEIGHT;
constexpr U32 THUMBNAIL_NAME_SIZE = 50;

// A waypoint record as the thumbnail files carry it: time, Mercator position, name.
typedef struct {
  U32 u32Time;
  S32 s32MercatorY;
  S32 s32MercatorX;
  char sName[16];
} THUMBNAIL_WAYPOINT;

typedef struct {
  U8 Version;
  BOOLEAN WaypointValid;
  U8 Priority;
  THUMBNAIL_WAYPOINT Image_Waypoint;
} THUMBNAIL_FILE_HEADER;

typedef struct {
  THUMBNAIL_FILE_HEADER Header;
  COLOR ImageData[THUMBNAIL_PIXELS];  // 200 pixels per row, in the order stored
} THUMBNAIL_DATA_FILE;

typedef struct {
  U8 u8Version;
  U8 u8WaterType;
  U8 u8BatteryVoltage;
  BOOLEAN bWaypointValid;
  U32 u32ModelNumber;
  U32 u32Temperature;
  U32 u32Pressure;
  THUMBNAIL_WAYPOINT RecordingStartWaypoint;
  U32 u32NumberOfPings;
  U32 u32TotalTimeMs;
  U32 u32PingSizeBytes;
  U32 u32FirstPingPeriodMs;
  U32 u32BeamMask;
} SONAR_RECORD_THUMB_HEADER;

typedef struct {
  BOOLEAN bWrongSizeThumbnail;
  U32 u32CardSizeKB;
  U32 u32CardAvailableKB;
  THUMBNAIL_TYPE eType;
  char sName[THUMBNAIL_NAME_SIZE];
  THUMBNAIL_DATA_FILE *snapshot;
  SONAR_RECORD_THUMB_HEADER *recording;
} THUMBNAIL_HEADER_TYPE;

typedef struct {
  U32 u32TopThumbNailPosition;
  U32 u32BottomThumbNailPosition;
  U32 u32MiddleThumbNailPosition;
  S32 nThumbNailsDisplayed;
  THUMBNAIL_SCROLL_STATE eScrollState;
} THUMBNAIL_SCROLL_INFO;

// CMD_ID_SCREEN_DUMP to the card task.
typedef struct {
  GENERIC_MESSAGE header;
  BITMAP *pBitmap;
} MSG_GET_SCREEN_DUMP;

// CMD_ID_LOAD_BMP to the card task; the send's semaphore, when given, is signalled as the message is released.
typedef struct {
  GENERIC_MESSAGE header;
  BITMAP *pBitmap;
  char *pFileName;  // allocated by the sender, freed by the card task
  U32 u32RequestID;
  const U32 *pu32LatestRequestID;
} MSG_LOAD_BITMAP;

// CMD_ID_DELETE_IMAGE to the card task.
typedef struct {
  GENERIC_MESSAGE header;
  char FileName[50];
} MSG_DELETE_IMAGE;

// CMD_ID_PING_START from the card task, when a recording file is opened.
typedef struct {
  GENERIC_MESSAGE header;
  U32 u32StartDateTime;
  U32 u32CardAvailableKB;
  U32 u32CardSizeKB;
  U8 u8DeviceNumber;
  char sFileName[8];
} MSG_PING_VIEW_START;

// CMD_ID_LOAD_THUMBNAIL (a picture) or CMD_ID_LOAD_RECORDING (a recording) to the card task.
typedef struct {
  GENERIC_MESSAGE header;
  char *pFilename;  // allocated by the sender, freed by the card task
  THUMBNAIL_HEADER_TYPE *pThumbnailDestination;
} MSG_LOAD_THUMBNAIL;

extern const ARRAY_OF_STRING_PTRS Screen_Capture;
extern const ARRAY_OF_STRING_PTRS Snapshot_and_Recording_View;
extern const ARRAY_OF_STRING_PTRS No_Images_Found;

// --- Snapshots ---
// A snapshot now, whatever 'SCSC' holds (bad click while one is being saved).
void T_VIEW_vScreenCapture(void);
// Callbacks of the card task.
void T_VIEW_vSnapshotSaveComplete(void);
void T_VIEW_vRecordingSaveComplete(void);
void T_VIEW_vDeleteComplete(void);
void T_VIEW_vDeleteAllComplete(void);

// --- The review state ---
void T_VIEW_vUpdateSnapshotMenu(void);
void T_VIEW_vStopPlayback(void);
void T_VIEW_vToggleRecordingState(void);
void T_VIEW_vDeleteCurrentImage(void);
void T_VIEW_vDeleteAllImages(void);
void T_VIEW_vDeleteAllRecordings(void);
// 3 faster, 7 slower; TRUE when 'CPSP' changed.
BOOLEAN T_VIEW_bUpdatePlaybackMode(U32 u32Direction);
void T_VIEW_vUpdatePlaybackSpeedState(BOOLEAN bCPSPChanged, BOOLEAN bCPSMChanged);
// The speed menu for a 'CPSP' value; the current one when the value chooses none.
PLAYBACK_MENU T_VIEW_ePlaybackMenuFor(U32 u32Mode, PLAYBACK_MENU eCurrent);
// The choices of a speed menu: their number, mode values and icons.
U32 T_VIEW_u32PlaybackSpeedChoices(PLAYBACK_MENU eMenu, const U32 **ppu32Values);

// --- The review view (drawing and picture loading) ---
void T_VIEW_vDrawCaptureReviewView(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_VIEW_vRequestThumbnailLoad(THUMBNAIL_HEADER_TYPE *pSlot);
void T_VIEW_vLoadImageThumbnails(void);
void T_VIEW_vLoadFullViewImage(void);
// Loads a picture for another task into *pBitmap (a full-screen page taken when *pBitmap is NULL); the
// semaphore is signalled when the card task is done with the request. FALSE when nothing was requested.
BOOLEAN T_VIEW_bRequestSnapshotImage(BITMAP **pBitmap, const char *pcName, SEMA sema);
void T_VIEW_vDrawSnapshotPreviewBorder(BITMAP *pBitmap);
void T_VIEW_vDrawSnapshotRecordingBackground(BITMAP *pBitmap);
void T_VIEW_vUpdateProgressIcons(U32 u32Mode);
// "-%.1fMB", "-%.0fMB" or "-%.1fGB" of a size in kB (without the sign when bMinus is FALSE).
void T_VIEW_vFormatSize(char *pcText, size_t szText, U32 u32KB, BOOLEAN bMinus);

// --- Tests ---
SR_VIEW_STATE T_VIEW_eSRViewStateForTest(void);
BOOLEAN T_VIEW_bOkToCaptureForTest(void);
THUMBNAIL_SCROLL_INFO *T_VIEW_pScrollInfoForTest(void);
THUMBNAIL_HEADER_TYPE *T_VIEW_pThumbnailSlotForTest(U32 u32Slot);
PLAYBACK_MENU T_VIEW_ePlaybackMenuForTest(void);
void T_VIEW_vCaptureResetForTest(void);

// The memory-card task (task 28, mailbox 29 under 'TMMC'): the two slots with their card flags, the choice of a
// writable card folder, volume figures, and the message box the view task draws on layer 316.
#pragma once
#include <sys/statvfs.h>

#include "corvan/types.h"
#include "kernel/mbox.h"
#include "platform/sd.h"
#include "view/view.h"

enum : U32 { MMC_SLOTS = 2 };

// One byte per slot, fields from the lowest bit.
typedef struct CARD_FLAGS {
  U8 bWriteEnabled : 1;    // the card may be written
  U8 bHardwareWP : 1;      // mounted read-only (write-protect switch)
  U8 bDaravazosWP : 1;     // protected because it holds the chart vendor's data
  U8 bQuestionAsked : 1;   // the refusal was shown since this card was inserted
  U8 bCardPresent : 1;     // a card is mounted in the slot
  U8 bCardDaravazos : 1;   // "DARAVAZO" at the card's root
  U8 bWriteCandidate : 1;  // working flag of the folder choice
} CARD_FLAGS;

typedef enum SAVE_STATUS {
  SUCCESS = 1,
  FAILURE = 2,
  BUSY = 3,
  NO_MMC = 4,
  DELETING = 5,
  DELETED = 6,
  DARAVAZOS_WRITE_DISABLE = 7,
  BUSY_ENDFILL = 8,
  BUSY_ENDFILL_DONE = 9,
  MMC_FULL = 10,
  MMC_CREATE_ERROR = 11,
  MMC_WRITE_ERROR = 12,
  MMC_FILE_TOO_BIG = 13,
} SAVE_STATUS;

typedef struct VOL_INFO {
  U32 u32BytesPerBlock;
  U32 u32TotalKB;
  U32 u32FreeKB;
} VOL_INFO;

typedef struct {
  GENERIC_MESSAGE header;
  BITMAP **ppBitmap;
} MSG_LOAD_SATWEATHER_IMAGE;

typedef struct {
  GENERIC_MESSAGE header;
  BITMAP *pBitmap;
} MSG_LOAD_TORVALIN_IMAGE;

typedef struct {
  GENERIC_MESSAGE header;
} MSG_EXPORT_NAV_DATA;

typedef struct {
  GENERIC_MESSAGE header;
  U32 u32Length;
  U8 *pData;  // passes to the card task
} MSG_VANTREL_SCREENSHOT;

void T_MMC_vMain(void);
// One signal of SEMA_TIMER_MMC: removal and insertion of both slots.
void T_MMC_vHandleTimer(void);
// Handles and releases one message of mailbox 29.
void T_MMC_vHandleMessage(void *pvMsg);

// A new path (H_MEMORY block, caller frees) of a folder of pcDirList on a writable card with room for the
// sizes of pu32SizeList (zero-terminated, or NULL), without a trailing "/"; NULL when there is none.
char *T_MMC_pcDeviceMakeDirectory(const char *const *pcDirList, const U32 *pu32SizeList);
BOOLEAN T_MMC_bDeviceSpaceCheck(int nDeviceIndex, const U32 *pu32SizeList);
BOOLEAN T_MMC_bIsCardWriteable(S32 s32Device);
CARD_PRESENT T_MMC_eReadMMCCardType(int nDeviceIndex);
int T_MMC_vFindMMCSlot(int nDeviceIndex);
BOOLEAN T_MMC_bGetRawVolumeInfoFromDeviceName(const char *pDeviceName, VOL_INFO *viptr);
BOOLEAN T_MMC_bGetRawVolumeInfoFromDeviceIndex(int nDeviceIndex, VOL_INFO *viptr);
BOOLEAN T_MMC_bGetVolumeInfoFromDeviceName(const char *pDeviceName, VOL_INFO *viptr);
BOOLEAN T_MMC_bGetVolumeInfoFromDeviceIndex(int nDeviceIndex, VOL_INFO *viptr);
// Removes the folder's files (entries not beginning with ".") and then the folder; sub-folders stay.
void T_MMC_vRemoveDirectory(const char *pcDirectoryName);
void T_MMC_vDrawErrorMessage(void);
void T_MMC_vDrawMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec);
void T_MMC_vDrawImportMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec);

// The status the message box shows; the name it shows (cut to 24 characters); rows of a snapshot done.
void T_MMC_vSetStatus(SAVE_STATUS eStatus);
SAVE_STATUS T_MMC_eGetStatus(void);
void T_MMC_vSetFileName(const char *pcName);
void T_MMC_vSetLineCount(U32 u32Lines);
// Registers the message box layer (once) for a job that reports.
void T_MMC_vShowMessage(void);

// Tests: the card flags of a slot, the volume query in place of statvfs, and module state.
CARD_FLAGS T_MMC_sCardFlagsForTest(U32 u32Slot);
void T_MMC_vSetStatvfsForTest(int (*pfnStatvfs)(const char *, struct statvfs *));
BOOLEAN T_MMC_bRegisteredForTest(void);
// The import refusal's draw function holds the message layer.
BOOLEAN T_MMC_bImportRefusalShownForTest(void);
BOOLEAN T_MMC_bRunningForTest(void);
// Polls completed since start.
U32 T_MMC_u32PollsForTest(void);
void T_MMC_vResetForTest(void);

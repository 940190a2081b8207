// Stand-in declarations of the card jobs that later work writes: the recorder's and player's state, the owner
// profile, software update and internal chart store steps of a mount, the thumbnail list's stale mark, and the
// jobs of the picture, snapshot and screenshot messages. Each ends as its failure path does.
#pragma once
#include "card/mmc.h"
#include "view/capture.h"

// Start-up: clears the recorder's and player's handles, controls and recording path (nothing yet).
void T_MMC_vClearRecordingState(void);
// The mount steps: nothing is read or offered; FALSE.
BOOLEAN T_MMC_bReadProfileFile(int numDeviceID);
void T_MMC_vUpdateFlash(int numID);
BOOLEAN U_MOVINAND_bUpdateMoviNAND(int numID);
// The thumbnail list is rebuilt at its next query.
void T_MMC_vMarkThumbnailListStale(void);

// Message jobs.
void T_MMC_vScreenDump(MSG_GET_SCREEN_DUMP *pMsg);
void T_MMC_vReadBMP16(char *pFileName, BITMAP *pBitmap, U32 u32RequestID, const U32 *pu32LatestRequestID);
void T_MMC_vDeleteImages(const char *pcFileName);
void T_MMC_vLoad_Snapshot_Thumbnail(MSG_LOAD_THUMBNAIL *pMsg);
void T_MMC_vLoad_Recording_Thumbnail(MSG_LOAD_THUMBNAIL *pMsg);
void T_MMC_vReadWeatherBMP(BITMAP *pBitmap);
void T_MMC_vReadTorvalinBMP(BITMAP *pBitmap);
void T_MMC_vVantrelScreenshot(MSG_VANTREL_SCREENSHOT *pMsg);

// Tests: the mount steps called since the last reset, as "profile0 update0 movinand0 " and so on, and the
// stale mark (cleared by the reset).
const char *T_MMC_pcMountStepsForTest(void);
BOOLEAN T_MMC_bThumbnailListStaleForTest(void);
void T_MMC_vResetStepsForTest(void);

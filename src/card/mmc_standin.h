// Stand-in declarations of the card's thumbnail list and playback opening that the capture review uses, until
// they are written.
#pragma once
#include "view/capture.h"
#include "corvan/types.h"

// The card's list of saved pictures and recordings, positions from 1. Path buffers hold THUMBNAIL_NAME_SIZE
// bytes; a NULL position is not written.
U32 T_MMC_u32ThumbNailsInList(void);
THUMBNAIL_TYPE T_MMC_eFindFirstThumbNail(char *pcPath, U32 *pu32Position);
THUMBNAIL_TYPE T_MMC_eFindLastThumbNail(char *pcPath, U32 *pu32Position);
THUMBNAIL_TYPE T_MMC_eFindNextThumbNail(const char *pcEntry, char *pcPath, U32 *pu32Position);
THUMBNAIL_TYPE T_MMC_eFindPreviousThumbNail(const char *pcEntry, char *pcPath, U32 *pu32Position);
THUMBNAIL_TYPE T_MMC_eFindFirstThumbNailImage(char *pcPath, U32 *pu32Position);
THUMBNAIL_TYPE T_MMC_eFindLastThumbNailImage(char *pcPath, U32 *pu32Position);
THUMBNAIL_TYPE T_MMC_eFindNextThumbNailImage(const char *pcEntry, char *pcPath, U32 *pu32Position);
THUMBNAIL_TYPE T_MMC_eFindPreviousThumbNailImage(const char *pcEntry, char *pcPath, U32 *pu32Position);
THUMBNAIL_TYPE T_MMC_eFindLatestThumbnail(char *pcPath, THUMBNAIL_TYPE eType, U32 *pu32Position);
// Opens (TRUE) the named sonar recording for playback, or closes the open one (FALSE, no name).
BOOLEAN T_MMC_bOpenPlaybackFile(BOOLEAN bOpenFile, const char *pcFileName);
// Puts back the settings that playback replaced.
void T_MMC_vCleanupDatabaseAfterPlayback(void);


// Stand-in of the card's thumbnail list and playback opening until they are written: the list is empty and no
// recording opens.
#include "card/mmc_standin.h"

U32 T_MMC_u32ThumbNailsInList(void) { return 0; }
THUMBNAIL_TYPE T_MMC_eFindFirstThumbNail(char *, U32 *) { return THUMBNAIL_NONE; }
THUMBNAIL_TYPE T_MMC_eFindLastThumbNail(char *, U32 *) { return THUMBNAIL_NONE; }
THUMBNAIL_TYPE T_MMC_eFindNextThumbNail(const char *, char *, U32 *) { return THUMBNAIL_NONE; }
THUMBNAIL_TYPE T_MMC_eFindPreviousThumbNail(const char *, char *, U32 *) { return THUMBNAIL_NONE; }
THUMBNAIL_TYPE T_MMC_eFindFirstThumbNailImage(char *, U32 *) { return THUMBNAIL_NONE; }
THUMBNAIL_TYPE T_MMC_eFindLastThumbNailImage(char *, U32 *) { return THUMBNAIL_NONE; }
THUMBNAIL_TYPE T_MMC_eFindNextThumbNailImage(const char *, char *, U32 *) { return THUMBNAIL_NONE; }
THUMBNAIL_TYPE T_MMC_eFindPreviousThumbNailImage(const char *, char *, U32 *) { return THUMBNAIL_NONE; }
THUMBNAIL_TYPE T_MMC_eFindLatestThumbnail(char *, THUMBNAIL_TYPE, U32 *) { return THUMBNAIL_NONE; }
BOOLEAN T_MMC_bOpenPlaybackFile(BOOLEAN, const char *) { return FALSE; }
void T_MMC_vCleanupDatabaseAfterPlayback(void) {}


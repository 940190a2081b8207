// Stand-in of the memory-card task until it is written: it answers the view task's snapshot, picture, thumbnail
// and delete requests so that nothing waits for ever or leaks, and keeps no list of saved items. A snapshot is
// written as a plain PNG picture into the root of the first mounted card.
#include "card/mmc_standin.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "platform/png.h"
#include "platform/sd.h"

namespace {

bool bDirectory(const char *pcPath) {
  struct stat st{};
  return pcPath[0] != '\0' && stat(pcPath, &st) == 0 && S_ISDIR(st.st_mode);
}

void vSaveSnapshot(const BITMAP *pBitmap) {
  for (U32 u32Slot = 0; u32Slot < 2; ++u32Slot) {
    const char *pcMount = DD_SD_pcMountPoint(u32Slot);
    if (!bDirectory(pcMount) || pBitmap == nullptr) continue;
    char acPath[512];
    for (U32 n = 1; n < 10000; ++n) {
      std::snprintf(acPath, sizeof acPath, "%s/SNAP%04u.PNG", pcMount, n);
      struct stat st{};
      if (stat(acPath, &st) != 0) break;
    }
    if (PNG_bWriteRgb565(acPath, G_BITMAP_pcolPixels(pBitmap), static_cast<U32>(pBitmap->pixels_wide),
                         static_cast<U32>(pBitmap->pixels_high), pBitmap->__u32PixelWidthOfBuffer)) {
      log_me("snapshot saved as %s", acPath);
      return;
    }
  }
  log_me("snapshot not saved: no card");
}

void vLoadPicture(const MSG_LOAD_BITMAP *pMsg) {
  const bool bNewest = pMsg->pu32LatestRequestID == nullptr || *pMsg->pu32LatestRequestID == pMsg->u32RequestID;
  if (!bNewest || pMsg->pBitmap == nullptr || pMsg->pFileName == nullptr) return;
  std::vector<COLOR> vPixels;
  U32 u32Width = 0, u32Height = 0;
  if (!PNG_bReadRgb565(pMsg->pFileName, &vPixels, &u32Width, &u32Height)) return;
  BITMAP *pBitmap = pMsg->pBitmap;
  if (u32Width != static_cast<U32>(pBitmap->pixels_wide) || u32Height != static_cast<U32>(pBitmap->pixels_high)) return;
  COLOR *pcol = G_BITMAP_pcolPixels(pBitmap);
  for (U32 y = 0; y < u32Height; ++y) {
    std::memcpy(pcol + static_cast<size_t>(y) * pBitmap->__u32PixelWidthOfBuffer, vPixels.data() + y * u32Width,
                u32Width * sizeof(COLOR));
  }
}

}  // namespace

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

void T_MMC_vHandleMessage(void *pvMsg) {
  auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
  switch (pHeader->Cmd) {
    case CMD_ID_SCREEN_DUMP:
      vSaveSnapshot(static_cast<MSG_GET_SCREEN_DUMP *>(pvMsg)->pBitmap);
      T_VIEW_vSnapshotSaveComplete();
      L_SEMA_Signal(SEMA_VIEW_RELEASE_BITMAP);
      break;
    case CMD_ID_LOAD_BMP: {
      auto *pMsg = static_cast<MSG_LOAD_BITMAP *>(pvMsg);
      vLoadPicture(pMsg);
      H_MEMORY_vFree(pMsg->pFileName);
      break;
    }
    case CMD_ID_LOAD_THUMBNAIL:
    case CMD_ID_LOAD_RECORDING:
      H_MEMORY_vFree(static_cast<MSG_LOAD_THUMBNAIL *>(pvMsg)->pFilename);
      break;
    case CMD_ID_DELETE_IMAGE: {
      const char *pcName = static_cast<MSG_DELETE_IMAGE *>(pvMsg)->FileName;
      if (std::strncmp(pcName, "all ", 4) == 0) {
        T_VIEW_vDeleteAllComplete();
      } else {
        T_VIEW_vDeleteComplete();
      }
      break;
    }
    default:
      break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

void T_MMC_vMain(void) {
  if (H_DATABASE_bUpdateEverythingU32(FCID("TMMC"), M_MMC, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the MMC Task Mailbox");
    U_RESET_vReset();
  }
  log_me("stand-in running");
  static const SEMA kWaitList[] = {SEMA_MBOX_MMC, 0};
  for (;;) {
    L_SEMA_WaitMultiple(kWaitList);
    while (void *pvMsg = L_MBOX_Receive(M_MMC)) T_MMC_vHandleMessage(pvMsg);
  }
}

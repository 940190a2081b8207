// Stand-ins of the card jobs until they are written: nothing is read or written on the card, every message's
// resources are released and every waiting peer is let go.
#include "card/mmc_jobs_standin.h"

#include <atomic>
#include <mutex>
#include <string>

#include "kernel/memory.h"
#include "kernel/sema.h"

namespace {
std::mutex s_mtxSteps;
std::string s_sSteps;
std::atomic<bool> s_bStale{false};

void noteStep(const char *pcStep, int nSlot) {
  std::lock_guard<std::mutex> lock(s_mtxSteps);
  s_sSteps += pcStep + std::to_string(nSlot) + " ";
}
}  // namespace

void T_MMC_vClearRecordingState(void) {}

BOOLEAN T_MMC_bReadProfileFile(int numDeviceID) {
  noteStep("profile", numDeviceID);
  return FALSE;
}

void T_MMC_vUpdateFlash(int numID) { noteStep("update", numID); }

BOOLEAN U_MOVINAND_bUpdateMoviNAND(int numID) {
  noteStep("movinand", numID);
  return FALSE;
}

void T_MMC_vMarkThumbnailListStale(void) { s_bStale = true; }

void T_MMC_vScreenDump(MSG_GET_SCREEN_DUMP *) {
  // Nothing saved: the frozen display is released and the view told the save is over.
  L_SEMA_Signal(SEMA_VIEW_RELEASE_BITMAP);
  T_VIEW_vSnapshotSaveComplete();
}

void T_MMC_vReadBMP16(char *pFileName, BITMAP *, U32, const U32 *) { H_MEMORY_vFree(pFileName); }

void T_MMC_vDeleteImages(const char *pcFileName) {
  if (pcFileName[0] == 'a' && (std::string(pcFileName) == "all images" || std::string(pcFileName) == "all recordings")) {
    T_VIEW_vDeleteAllComplete();
  } else {
    T_VIEW_vDeleteComplete();
  }
}

void T_MMC_vLoad_Snapshot_Thumbnail(MSG_LOAD_THUMBNAIL *pMsg) { H_MEMORY_vFree(pMsg->pFilename); }
void T_MMC_vLoad_Recording_Thumbnail(MSG_LOAD_THUMBNAIL *pMsg) { H_MEMORY_vFree(pMsg->pFilename); }
void T_MMC_vReadWeatherBMP(BITMAP *) {}
void T_MMC_vReadTorvalinBMP(BITMAP *) {}
void T_MMC_vVantrelScreenshot(MSG_VANTREL_SCREENSHOT *pMsg) {
  H_MEMORY_vFree(pMsg->pData);
  pMsg->pData = nullptr;
}

const char *T_MMC_pcMountStepsForTest(void) {
  static std::string s_sCopy;
  std::lock_guard<std::mutex> lock(s_mtxSteps);
  s_sCopy = s_sSteps;
  return s_sCopy.c_str();
}
BOOLEAN T_MMC_bThumbnailListStaleForTest(void) { return s_bStale ? TRUE : FALSE; }
void T_MMC_vResetStepsForTest(void) {
  std::lock_guard<std::mutex> lock(s_mtxSteps);
  s_sSteps.clear();
  s_bStale = false;
}

// The memory-card task: mounts and unmounts the two slots as the card watcher signals, keeps each slot's card
// flags, chooses writable card folders for other tasks and reports card jobs in a message box.
#include "card/mmc.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "card/mmc_jobs_standin.h"
#include "draw/color.h"
#include "draw/fonts.h"
#include "draw/string.h"
#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "navdata/navdata_card_standin.h"
#include "settings/database.h"
#include "settings/fs.h"
#include "settings/language.h"
#include "settings/sync.h"
#include "ui/keys/keyboard.h"
#include "ui/menu/dialog.h"
#include "ui/startup/startup_state.h"
#include "util/filename.h"

const ARRAY_OF_STRING_PTRS Successfully_saved = SAME22("Successfully saved");
const ARRAY_OF_STRING_PTRS Failure_saving = SAME22("Failure Saving");
const ARRAY_OF_STRING_PTRS Saving = SAME22("Saving");
const ARRAY_OF_STRING_PTRS No_card_found = SAME22("No writable MMC/SD card found");
const ARRAY_OF_STRING_PTRS Deleting_all_images = SAME22("Deleting all images");
const ARRAY_OF_STRING_PTRS Deleting_all_recordings = SAME22("Deleting all recordings");
const ARRAY_OF_STRING_PTRS Deleting = SAME22("Deleting");
const ARRAY_OF_STRING_PTRS Deleted_all_images = SAME22("Successfully deleted all images");
const ARRAY_OF_STRING_PTRS Deleted_all_recordings = SAME22("Successfully deleted all recordings");
const ARRAY_OF_STRING_PTRS Successfully_deleted = SAME22("Successfully deleted");
const ARRAY_OF_STRING_PTRS No_Daravazos = SAME22("Writing to Daravazos cards is not allowed");
const ARRAY_OF_STRING_PTRS Acquiring = SAME22("Acquiring");
const ARRAY_OF_STRING_PTRS MMC_Card_Full = SAME22("Memory Card Full.  Recording has stopped.");
const ARRAY_OF_STRING_PTRS MMC_Create_Error = SAME22("Error creating file.  Recording has stopped.");
const ARRAY_OF_STRING_PTRS MMC_Write_Error = SAME22("Error writing to MMC card.  Recording has stopped.");
const ARRAY_OF_STRING_PTRS MMC_File_Too_Big = SAME22(
    "The sonar recording has reached maximum length and stopped. Start a new recording to continue.");
const ARRAY_OF_STRING_PTRS Importing_Not_Allowed_While_Navigating = SAME22(
    "Navigation data cannot be imported while navigating. Cancel navigation and re-insert MMC/SD card to import "
    "data.");

namespace {

constexpr U32 kFinalStateTicks = 3000;
constexpr U32 kImportMessageTicks = 10000;
constexpr U32 kSettleTicks = 1000;
constexpr size_t kTextMax = 64;
constexpr U32 kExitKey = 0x8;
constexpr U32 kSnapshotRows = 480;
constexpr U32 kEndFillColumns = 818;

// The flags and the status change together under this lock: the folder choice runs in this task and in the
// sonar processing task.
std::recursive_mutex s_mtxCards;
CARD_FLAGS s_sCardFlags[MMC_SLOTS];
std::atomic<SAVE_STATUS> s_eSuccess{SUCCESS};
char s_cFileName[25];
// The view task reads the name while a job sets it: a lock of its own, never held for card work.
std::mutex s_mtxFileName;
std::atomic<bool> s_bRegistered{false};
std::atomic<U32> s_numLineCnt{0};
TIMER_INFO *s_pTimer = nullptr;
U32 s_eSystemState = 0;
std::atomic<bool> s_bRunning{false};
bool s_bFirstPoll = true;
std::atomic<U32> s_u32DisplayStart{0};
std::atomic<U32> s_u32ImportStart{0};
// The import refusal is on the layer; it is no job's report, so the message box's flag stays as it is.
std::atomic<bool> s_bImportShown{false};
std::atomic<U32> s_u32Polls{0};
int (*s_pfnStatvfs)(const char *, struct statvfs *) = statvfs;

U32 now() { return H_TICK_u32ReadFreeRunningTimerInSystemTicks(); }

// The slot's mount folder as the file layer names it, with its trailing "/".
std::string mountDir(int nSlot) {
  char *pcName = U_FILE_psCreateDeviceName("mmc", nSlot);
  std::string sName = pcName != nullptr ? pcName : "";
  H_MEMORY_vFree(pcName);
  return sName;
}

bool isDirectory(const std::string &sPath) {
  DIR *pDir = opendir(sPath.c_str());
  if (pDir == nullptr) return false;
  closedir(pDir);
  return true;
}

char *newPath(const std::string &sPath) {
  auto *pc = static_cast<char *>(H_MEMORY_pvMalloc(static_cast<U32>(sPath.size() + 1)));
  if (pc != nullptr) std::memcpy(pc, sPath.c_str(), sPath.size() + 1);
  return pc;
}

const char *text(const ARRAY_OF_STRING_PTRS &aText) { return aText[nCurrentLanguage()]; }

void registerLayer(DRAW_FUNCTION *pfnDraw) {
  U_VIEW_bRegisterLayer(pfnDraw, MMC_MESSAGE_LAYER, static_cast<LAYER_ID>(-1), 0, 0, TRUE, nullptr, nullptr, nullptr);
}

// Removal state: the card's own marks (vendor card, candidate) are kept.
void clearForRemoval(CARD_FLAGS &flags) {
  flags.bWriteEnabled = 0;
  flags.bQuestionAsked = 0;
  flags.bCardPresent = 0;
  flags.bHardwareWP = 1;
  flags.bDaravazosWP = 1;
}

void writeSlotItems(int nSlot, BOOLEAN bPresent) {
  H_DATABASE_bUpdateValueU32(nSlot == 0 ? FCID("CSD0") : FCID("CSD1"), bPresent, P_NORMAL);
  if (!bPresent) H_DATABASE_bUpdateValueVoidPointer(nSlot == 0 ? FCID("CCHA") : FCID("CCH1"), nullptr, P_NORMAL);
}

bool holdsNavigationExport(const std::string &sMount) {
  DIR *pDir = opendir((sMount + "CORVAN").c_str());
  if (pDir == nullptr) return false;
  bool bFound = false;
  while (const struct dirent *pEntry = readdir(pDir)) {
    if (U_FILE_bCheckExtension(pEntry->d_name, "QX") || U_FILE_bCheckExtension(pEntry->d_name, "QWR")) {
      bFound = true;
      break;
    }
  }
  closedir(pDir);
  return bFound;
}

void offerImport(int nSlot) {
  L_CLOCK_Sleep(kSettleTicks);
  U32 u32Navigating = 1;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID("INIP"), &u32Navigating, &bValid, nullptr)) u32Navigating = 1;
  if (u32Navigating != 0) {
    s_u32ImportStart = now();
    s_bImportShown = true;
    registerLayer(T_MMC_vDrawImportMessage);
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
  } else {
    T_NAV_DATA_vImportFromMMC(nSlot);
  }
}

void handleInsertion(int nSlot) {
  {
    std::lock_guard<std::recursive_mutex> lock(s_mtxCards);
    clearForRemoval(s_sCardFlags[nSlot]);
  }
  if (!DD_SD_bInitCard(static_cast<U32>(nSlot))) return;
  const std::string sMount = mountDir(nSlot);
  bool bVendor;
  {
    std::lock_guard<std::recursive_mutex> lock(s_mtxCards);
    CARD_FLAGS &flags = s_sCardFlags[nSlot];
    flags.bCardPresent = 1;
    // Every mounted card is tested, so a read-only card never inherits the previous card's mark.
    flags.bCardDaravazos = isDirectory(sMount + "DARAVAZO") ? 1 : 0;
    if (DD_SD_bIsHardwareWriteEnabled(static_cast<U32>(nSlot))) {
      flags.bHardwareWP = 0;
      flags.bDaravazosWP = flags.bCardDaravazos;
      flags.bWriteEnabled = !flags.bHardwareWP && !flags.bDaravazosWP;
    } else {
      flags.bHardwareWP = 1;
      flags.bWriteEnabled = 0;
    }
    bVendor = flags.bCardDaravazos != 0;
  }
  U32 u32State = 0;
  BOOLEAN bValid = FALSE;
  if (H_DATABASE_bFetchU32(FCID("CCST"), &u32State, &bValid, nullptr)) {
    if (u32State != STATE_UPDATING_CODE) s_eSystemState = u32State;
    if (s_eSystemState != STATE_BURN_IN && s_eSystemState != STATE_DIAGNOSTIC &&
        s_eSystemState != STATE_INLINE_TEST && !bVendor) {
      T_MMC_bReadProfileFile(nSlot);
    }
  }
  T_MMC_vUpdateFlash(nSlot);
  U_MOVINAND_bUpdateMoviNAND(nSlot);
  if (!s_bFirstPoll && holdsNavigationExport(sMount)) offerImport(nSlot);
  writeSlotItems(nSlot, TRUE);
  T_MMC_vMarkThumbnailListStale();
}

void handleRemoval(int nSlot) {
  {
    std::lock_guard<std::recursive_mutex> lock(s_mtxCards);
    clearForRemoval(s_sCardFlags[nSlot]);
  }
  writeSlotItems(nSlot, FALSE);
  T_MMC_vMarkThumbnailListStale();
  L_CLOCK_Sleep(kSettleTicks);
  DD_SD_vUmount(static_cast<U32>(nSlot));
}

U64 blocksNeeded(const U32 *pu32SizeList, U64 u64BlockSize) {
  U64 u64Blocks = 1;
  for (const U32 *pu32 = pu32SizeList; *pu32 != 0; ++pu32) u64Blocks += (*pu32 + u64BlockSize - 1) / u64BlockSize;
  return u64Blocks;
}

bool rawVolume(const char *pcPath, VOL_INFO *viptr, U64 *pu64Free) {
  *viptr = VOL_INFO{};
  *pu64Free = 0;
  struct statvfs st{};
  if (pcPath == nullptr || s_pfnStatvfs(pcPath, &st) != 0) return false;
  viptr->u32BytesPerBlock = static_cast<U32>(st.f_bsize);
  viptr->u32TotalKB = static_cast<U32>(st.f_blocks);
  viptr->u32FreeKB = static_cast<U32>(st.f_bfree);
  *pu64Free = st.f_bfree;
  return st.f_bsize != 0;
}

U32 toKB(U64 u64Blocks, U32 u32BlockSize) {
  const U64 u64KB = u32BlockSize % 1024 == 0 ? u64Blocks * (u32BlockSize / 1024) : u64Blocks * u32BlockSize / 1024;
  return static_cast<U32>(u64KB);
}

BOOLEAN volumeKB(const char *pcPath, VOL_INFO *viptr) {
  struct statvfs st{};
  *viptr = VOL_INFO{};
  if (pcPath == nullptr || s_pfnStatvfs(pcPath, &st) != 0) return FALSE;
  viptr->u32BytesPerBlock = static_cast<U32>(st.f_bsize);
  viptr->u32TotalKB = toKB(st.f_blocks, viptr->u32BytesPerBlock);
  viptr->u32FreeKB = toKB(st.f_bfree, viptr->u32BytesPerBlock);
  return st.f_bsize != 0 ? TRUE : FALSE;
}

// The box text of the status; the small font for the recorder's stop messages.
void composeText(SAVE_STATUS eStatus, char (&acText)[kTextMax + 1], bool *pbSmall) {
  char acBuffer[256];
  *pbSmall = false;
  char acName[sizeof s_cFileName];
  {
    std::lock_guard<std::mutex> lock(s_mtxFileName);
    std::memcpy(acName, s_cFileName, sizeof acName);
  }
  const std::string sName(acName);
  switch (eStatus) {
    case SUCCESS:
      std::snprintf(acBuffer, sizeof acBuffer, "%s %s", text(Successfully_saved), acName);
      break;
    case FAILURE:
      std::snprintf(acBuffer, sizeof acBuffer, "%s %s", text(Failure_saving), acName);
      break;
    case BUSY:
      std::snprintf(acBuffer, sizeof acBuffer, "%s %s: %u%%", text(Saving), acName,
                    static_cast<unsigned>(s_numLineCnt.load() * 100 / kSnapshotRows));
      break;
    case NO_MMC:
      std::snprintf(acBuffer, sizeof acBuffer, "%s", text(No_card_found));
      break;
    case DELETING:
      if (sName == "all images") {
        std::snprintf(acBuffer, sizeof acBuffer, "%s", text(Deleting_all_images));
      } else if (sName == "all recordings") {
        std::snprintf(acBuffer, sizeof acBuffer, "%s", text(Deleting_all_recordings));
      } else {
        std::snprintf(acBuffer, sizeof acBuffer, "%s %s", text(Deleting), acName);
      }
      break;
    case DELETED:
      if (sName == "all images") {
        std::snprintf(acBuffer, sizeof acBuffer, "%s", text(Deleted_all_images));
      } else if (sName == "all recordings") {
        std::snprintf(acBuffer, sizeof acBuffer, "%s", text(Deleted_all_recordings));
      } else {
        std::snprintf(acBuffer, sizeof acBuffer, "%s %s", text(Successfully_deleted), acName);
      }
      break;
    case DARAVAZOS_WRITE_DISABLE:
      std::snprintf(acBuffer, sizeof acBuffer, "%s", text(No_Daravazos));
      break;
    case BUSY_ENDFILL:
    case BUSY_ENDFILL_DONE: {
      U32 u32Columns = 0;
      BOOLEAN bValid = FALSE;
      H_DATABASE_bFetchU32(FCID("CTCU"), &u32Columns, &bValid, nullptr);
      std::snprintf(acBuffer, sizeof acBuffer, "%s : %u%%", text(Acquiring),
                    static_cast<unsigned>(u32Columns * 100 / kEndFillColumns));
      if (u32Columns > kEndFillColumns) s_eSuccess = BUSY_ENDFILL_DONE;
      break;
    }
    case MMC_FULL:
      std::snprintf(acBuffer, sizeof acBuffer, "%s", text(MMC_Card_Full));
      *pbSmall = true;
      break;
    case MMC_CREATE_ERROR:
      std::snprintf(acBuffer, sizeof acBuffer, "%s", text(MMC_Create_Error));
      *pbSmall = true;
      break;
    case MMC_WRITE_ERROR:
      std::snprintf(acBuffer, sizeof acBuffer, "%s", text(MMC_Write_Error));
      *pbSmall = true;
      break;
    default:
      acBuffer[0] = '\0';
      break;
  }
  // Every text is cut to 64 characters.
  const size_t szLength = strnlen(acBuffer, kTextMax);
  std::memcpy(acText, acBuffer, szLength);
  acText[szLength] = '\0';
}

void handleShutdown() {
  if (s_pTimer != nullptr) {
    L_TIMER_Stop(s_pTimer);
    L_TIMER_Release(s_pTimer);
    L_SEMA_SetPending(SEMA_TIMER_MMC);
    s_pTimer = nullptr;
  }
  DD_SD_vUmount(0);
  DD_SD_vUmount(1);
  s_bRunning = false;
}

}  // namespace

void T_MMC_vHandleTimer(void) {
  for (int nSlot = 0; nSlot < static_cast<int>(MMC_SLOTS); ++nSlot) {
    bool bPresent;
    {
      std::lock_guard<std::recursive_mutex> lock(s_mtxCards);
      bPresent = s_sCardFlags[nSlot].bCardPresent != 0;
    }
    if (bPresent) {
      if (!DD_SD_bIsCardPresent(static_cast<U32>(nSlot))) handleRemoval(nSlot);
    } else {
      handleInsertion(nSlot);
    }
  }
  s_bFirstPoll = false;
  ++s_u32Polls;
}

void T_MMC_vHandleMessage(void *pvMsg) {
  auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
  switch (pHeader->Cmd) {
    case CMD_ID_SHUTDOWN:
      handleShutdown();
      break;
    case CMD_ID_KEY_CHANGE:
      if ((static_cast<MSG_KEY_CHANGE *>(pvMsg)->key & kExitKey) != 0) {
        L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
        U_KEYBOARD_bUnregisterKeys(M_MMC, kExitKey);
        U_VIEW_bUnRegisterLayer(MMC_MESSAGE_LAYER);
        s_bRegistered = false;
      }
      break;
    case CMD_ID_EXPORT_NAV_DATA:
      T_NAV_DATA_vExportAllTracksWaypointsRoutes();
      break;
    case CMD_ID_EXPORT_SELECTED_NAV_DATA:
      T_NAV_DATA_vExportSelectedTracksWaypointsRoutes();
      break;
    case CMD_ID_SCREEN_DUMP:
      T_MMC_vScreenDump(static_cast<MSG_GET_SCREEN_DUMP *>(pvMsg));
      break;
    case CMD_ID_LOAD_BMP: {
      auto *pMsg = static_cast<MSG_LOAD_BITMAP *>(pvMsg);
      T_MMC_vReadBMP16(pMsg->pFileName, pMsg->pBitmap, pMsg->u32RequestID, pMsg->pu32LatestRequestID);
      pMsg->pFileName = nullptr;
      if (pHeader->msghdr.sema != 0) {
        const SEMA sema = pHeader->msghdr.sema;
        pHeader->msghdr.sema = 0;
        L_SEMA_Signal(sema);
      }
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
      break;
    }
    case CMD_ID_DELETE_IMAGE: {
      auto *pMsg = static_cast<MSG_DELETE_IMAGE *>(pvMsg);
      pMsg->FileName[sizeof pMsg->FileName - 1] = '\0';
      T_MMC_vSetStatus(DELETING);
      T_MMC_vShowMessage();
      T_MMC_vDeleteImages(pMsg->FileName);
      T_MMC_vSetStatus(DELETED);
      break;
    }
    case CMD_ID_LOAD_THUMBNAIL:
      T_MMC_vLoad_Snapshot_Thumbnail(static_cast<MSG_LOAD_THUMBNAIL *>(pvMsg));
      break;
    case CMD_ID_LOAD_RECORDING:
      T_MMC_vLoad_Recording_Thumbnail(static_cast<MSG_LOAD_THUMBNAIL *>(pvMsg));
      break;
    case CMD_ID_LOAD_SATWEATHER_IMAGE: {
      auto *pMsg = static_cast<MSG_LOAD_SATWEATHER_IMAGE *>(pvMsg);
      L_MUTEX_Lock(RES_SATWEATHER_POS_IMAGE);
      if (pMsg->ppBitmap != nullptr && *pMsg->ppBitmap != nullptr) {
        T_MMC_vReadWeatherBMP(*pMsg->ppBitmap);
        L_SEMA_Signal(SEMA_VIEW_UPDATE);
      }
      L_MUTEX_Unlock(RES_SATWEATHER_POS_IMAGE);
      break;
    }
    case CMD_ID_LOAD_TORVALIN_IMAGE:
      L_MUTEX_Lock(RES_CHART_IMAGES);
      T_MMC_vReadTorvalinBMP(static_cast<MSG_LOAD_TORVALIN_IMAGE *>(pvMsg)->pBitmap);
      L_MUTEX_Unlock(RES_CHART_IMAGES);
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
      break;
    case CMD_ID_VANTREL_SCREENSHOT:
      T_MMC_vVantrelScreenshot(static_cast<MSG_VANTREL_SCREENSHOT *>(pvMsg));
      break;
    default:
      break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

void T_MMC_vMain(void) {
  if (H_DATABASE_bUpdateEverythingU32(FCID("TMMC"), M_MMC, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the MMC Task Maibox");
    U_RESET_vReset();
  }
  H_DATABASE_bUpdateEverythingU32(FCID("CSD0"), 0, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingU32(FCID("CSD1"), 0, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateValueVoidPointer(FCID("CCHA"), nullptr, P_NORMAL);
  H_DATABASE_bUpdateValueVoidPointer(FCID("CCH1"), nullptr, P_NORMAL);
  s_pTimer = L_TIMER_Start(nullptr, 2, 0, SEMA_TIMER_MMC);
  {
    std::lock_guard<std::recursive_mutex> lock(s_mtxCards);
    for (CARD_FLAGS &flags : s_sCardFlags) {
      flags.bCardPresent = 0;
      flags.bWriteEnabled = 0;
      flags.bQuestionAsked = 0;
      flags.bHardwareWP = 1;
      flags.bDaravazosWP = 1;
    }
  }
  T_MMC_vClearRecordingState();
  H_DATABASE_bUpdateEverythingU32(FCID("CTCU"), 0, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  s_bRunning = true;
  static const SEMA kWaitList[] = {SEMA_MBOX_MMC, SEMA_TIMER_MMC, 0};
  for (;;) {
    const ERC erc = L_SEMA_WaitMultiple(kWaitList);
    if (erc == SEMA_MBOX_MMC) {
      while (void *pvMsg = L_MBOX_Receive(M_MMC)) T_MMC_vHandleMessage(pvMsg);
    } else if (erc == SEMA_TIMER_MMC && s_bRunning) {
      T_MMC_vHandleTimer();
    }
  }
}

char *T_MMC_pcDeviceMakeDirectory(const char *const *pcDirList, const U32 *pu32SizeList) {
  if (pcDirList == nullptr || pcDirList[0] == nullptr) return nullptr;
  std::lock_guard<std::recursive_mutex> lock(s_mtxCards);
  s_eSuccess = SUCCESS;
  bool bAny = false;
  for (int nSlot = 0; nSlot < static_cast<int>(MMC_SLOTS); ++nSlot) {
    CARD_FLAGS &flags = s_sCardFlags[nSlot];
    flags.bWriteCandidate =
        flags.bCardPresent && (flags.bWriteEnabled || (!flags.bHardwareWP && flags.bCardDaravazos && !flags.bQuestionAsked));
    if (flags.bWriteCandidate && pu32SizeList != nullptr && !T_MMC_bDeviceSpaceCheck(nSlot, pu32SizeList)) {
      flags.bWriteCandidate = 0;
    }
    bAny = bAny || flags.bWriteCandidate;
  }
  if (!bAny) return nullptr;
  for (int nSlot = 0; nSlot < static_cast<int>(MMC_SLOTS); ++nSlot) {
    const CARD_FLAGS &flags = s_sCardFlags[nSlot];
    if (!flags.bWriteCandidate || flags.bCardDaravazos) continue;
    const std::string sMount = mountDir(nSlot);
    for (const char *const *ppcName = pcDirList; *ppcName != nullptr; ++ppcName) {
      if (isDirectory(sMount + *ppcName)) return newPath(sMount + *ppcName);
    }
  }
  for (int nSlot = 0; nSlot < static_cast<int>(MMC_SLOTS); ++nSlot) {
    const CARD_FLAGS &flags = s_sCardFlags[nSlot];
    if (!flags.bWriteCandidate || flags.bCardDaravazos) continue;
    const std::string sPath = mountDir(nSlot) + pcDirList[0];
    if (mkdir(sPath.c_str(), 0777) == 0) return newPath(sPath);
    log_me("card folder %s not created: %s", sPath.c_str(), std::strerror(errno));
  }
  for (int nSlot = 0; nSlot < static_cast<int>(MMC_SLOTS); ++nSlot) {
    CARD_FLAGS &flags = s_sCardFlags[nSlot];
    if (flags.bWriteCandidate && !flags.bHardwareWP && flags.bCardDaravazos && !flags.bQuestionAsked) {
      flags.bQuestionAsked = 1;
      flags.bDaravazosWP = 1;
      flags.bWriteEnabled = 0;
      flags.bWriteCandidate = 0;
      L_SEMA_Signal(SEMA_KEYCLICK_BAD);
      s_eSuccess = DARAVAZOS_WRITE_DISABLE;
      T_MMC_vShowMessage();
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
    }
  }
  return nullptr;
}

BOOLEAN T_MMC_bDeviceSpaceCheck(int nDeviceIndex, const U32 *pu32SizeList) {
  if (nDeviceIndex < 0 || nDeviceIndex >= static_cast<int>(MMC_SLOTS) || pu32SizeList == nullptr) return FALSE;
  VOL_INFO vi;
  U64 u64Free = 0;
  if (!rawVolume(mountDir(nDeviceIndex).c_str(), &vi, &u64Free)) return FALSE;
  return u64Free >= blocksNeeded(pu32SizeList, vi.u32BytesPerBlock) ? TRUE : FALSE;
}

BOOLEAN T_MMC_bIsCardWriteable(S32 s32Device) {
  if (s32Device < 0 || s32Device >= static_cast<S32>(MMC_SLOTS)) return FALSE;
  std::lock_guard<std::recursive_mutex> lock(s_mtxCards);
  return s_sCardFlags[s32Device].bWriteEnabled ? TRUE : FALSE;
}

CARD_PRESENT T_MMC_eReadMMCCardType(int nDeviceIndex) { return DD_SD_eReadCardType(static_cast<U32>(nDeviceIndex)); }

int T_MMC_vFindMMCSlot(int nDeviceIndex) { return nDeviceIndex; }

BOOLEAN T_MMC_bGetRawVolumeInfoFromDeviceName(const char *pDeviceName, VOL_INFO *viptr) {
  U64 u64Free = 0;
  return rawVolume(pDeviceName, viptr, &u64Free) ? TRUE : FALSE;
}

BOOLEAN T_MMC_bGetRawVolumeInfoFromDeviceIndex(int nDeviceIndex, VOL_INFO *viptr) {
  return T_MMC_bGetRawVolumeInfoFromDeviceName(mountDir(nDeviceIndex).c_str(), viptr);
}

BOOLEAN T_MMC_bGetVolumeInfoFromDeviceName(const char *pDeviceName, VOL_INFO *viptr) {
  return volumeKB(pDeviceName, viptr);
}

BOOLEAN T_MMC_bGetVolumeInfoFromDeviceIndex(int nDeviceIndex, VOL_INFO *viptr) {
  return volumeKB(mountDir(nDeviceIndex).c_str(), viptr);
}

void T_MMC_vRemoveDirectory(const char *pcDirectoryName) {
  DIR *pDir = opendir(pcDirectoryName);
  if (pDir == nullptr) return;
  // Entry names come from the card: each path is composed at its full length.
  while (const struct dirent *pEntry = readdir(pDir)) {
    if (pEntry->d_name[0] == '.') continue;
    const std::string sPath = std::string(pcDirectoryName) + "/" + pEntry->d_name;
    if (unlink(sPath.c_str()) != 0) log_me("card entry %s not removed: %s", sPath.c_str(), std::strerror(errno));
  }
  closedir(pDir);
  if (rmdir(pcDirectoryName) != 0) log_me("card folder %s not removed: %s", pcDirectoryName, std::strerror(errno));
  LS_sync();
}

void T_MMC_vDrawErrorMessage(void) {
  if (s_bRegistered) return;
  s_eSuccess = MMC_CREATE_ERROR;
  T_MMC_vShowMessage();
}

void T_MMC_vShowMessage(void) {
  s_bRegistered = true;
  registerLayer(T_MMC_vDrawMessage);
}

void T_MMC_vSetStatus(SAVE_STATUS eStatus) { s_eSuccess = eStatus; }
SAVE_STATUS T_MMC_eGetStatus(void) { return s_eSuccess; }
void T_MMC_vSetFileName(const char *pcName) {
  std::lock_guard<std::mutex> lock(s_mtxFileName);
  std::snprintf(s_cFileName, sizeof s_cFileName, "%s", pcName != nullptr ? pcName : "");
}
void T_MMC_vSetLineCount(U32 u32Lines) { s_numLineCnt = u32Lines; }

void T_MMC_vDrawMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  if (!s_bRegistered) return;
  const SAVE_STATUS eStatus = s_eSuccess;
  if (eStatus == BUSY || eStatus == DELETING || eStatus == BUSY_ENDFILL) {
    s_u32DisplayStart = 0;
  } else if (s_u32DisplayStart == 0) {
    s_u32DisplayStart = now() != 0 ? now() : 1;
  } else if (now() - s_u32DisplayStart >= kFinalStateTicks && eStatus != MMC_FILE_TOO_BIG) {
    U_VIEW_bUnRegisterLayer(MMC_MESSAGE_LAYER);
    s_u32DisplayStart = 0;
    s_bRegistered = false;
    return;
  }
  if (eStatus == MMC_FILE_TOO_BIG) {
    U_DIALOG_vDrawDialog(pBitmap, text(MMC_File_Too_Big), std_16x17_font_def_ptr, 2, 400, nullptr, nullptr,
                         JUSTIFICATION_CENTER, JUSTIFICATION_CENTER);
    return;
  }
  char acText[kTextMax + 1];
  bool bSmall = false;
  composeText(eStatus, acText, &bSmall);
  const FONT_DEF *pFont = bSmall ? std_11x14_font_def_ptr : std_16x17_font_def_ptr;
  const S32 nWidth = pBitmap->pixels_wide;
  const S32 nTextWidth = static_cast<S32>(G_STRING_u32GetWidth(pFont, acText));
  POINT anchor;
  U32 u32BoxWidth;
  if (nWidth - 20 < nTextWidth + 10) {
    u32BoxWidth = static_cast<U32>(nWidth - 20);
    anchor.x = 90;
  } else {
    u32BoxWidth = static_cast<U32>(nTextWidth + 10);
    anchor.x = (nWidth - nTextWidth + 150) / 2;
  }
  anchor.y = pBitmap->pixels_high / 3;
  U_DIALOG_vDrawMessageBlockOutlined(pBitmap, acText, pFont, 0, JUSTIFICATION_CENTER, JUSTIFICATION_BOTTOM, &anchor,
                                     u32BoxWidth, gCOLOR_pcolColorTable[35], gCOLOR_pcolColorTable[32],
                                     gCOLOR_pcolColorTable[32]);
}

void T_MMC_vDrawImportMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  char acText[512];
  std::snprintf(acText, sizeof acText, "%s", text(Importing_Not_Allowed_While_Navigating));
  U_DIALOG_vDrawDialog(pBitmap, acText, std_11x14_font_def_ptr, 2, 426, nullptr, nullptr, JUSTIFICATION_CENTER,
                       JUSTIFICATION_CENTER);
  if (now() - s_u32ImportStart > kImportMessageTicks) {
    U_VIEW_bUnRegisterLayer(MMC_MESSAGE_LAYER);
    s_bImportShown = false;
  }
}

CARD_FLAGS T_MMC_sCardFlagsForTest(U32 u32Slot) {
  std::lock_guard<std::recursive_mutex> lock(s_mtxCards);
  return s_sCardFlags[u32Slot];
}
void T_MMC_vSetStatvfsForTest(int (*pfnStatvfs)(const char *, struct statvfs *)) {
  s_pfnStatvfs = pfnStatvfs != nullptr ? pfnStatvfs : statvfs;
}
BOOLEAN T_MMC_bRegisteredForTest(void) { return s_bRegistered ? TRUE : FALSE; }
BOOLEAN T_MMC_bImportRefusalShownForTest(void) { return s_bImportShown ? TRUE : FALSE; }
BOOLEAN T_MMC_bRunningForTest(void) { return s_bRunning ? TRUE : FALSE; }
U32 T_MMC_u32PollsForTest(void) { return s_u32Polls; }
void T_MMC_vResetForTest(void) {
  std::lock_guard<std::recursive_mutex> lock(s_mtxCards);
  for (CARD_FLAGS &flags : s_sCardFlags) flags = CARD_FLAGS{};
  s_eSuccess = SUCCESS;
  {
    std::lock_guard<std::mutex> nameLock(s_mtxFileName);
    s_cFileName[0] = '\0';
  }
  s_bRegistered = false;
  s_numLineCnt = 0;
  s_pTimer = nullptr;
  s_bRunning = false;
  s_bFirstPoll = true;
  s_u32DisplayStart = 0;
  s_u32ImportStart = 0;
  s_bImportShown = false;
  s_u32Polls = 0;
  s_pfnStatvfs = statvfs;
}

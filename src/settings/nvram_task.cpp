#include "settings/nvram_task.h"

#include <bitset>
#include <cstring>
#include <vector>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/timer.h"

namespace {

// System states in which only these keys are saved (burn-in, point-of-sale demonstration).
constexpr U32 kStateBurnIn = 2;
constexpr U32 kStatePointOfSale = 6;

constexpr FOURCHARID s_4chSaveAlways[] = {
    FCID("SCUO"), FCID("CREV"), FCID("SCFO"), FCID("SFVR"), FCID("SMDL"), FCID("SENB"), FCID("SENU"),
    FCID("SEDB"), FCID("SEDU"), FCID("SEIB"), FCID("SEIU"), FCID("SETB"), FCID("SLNG"), FCID("SIMT"),
    FCID("SCOM"), FCID("SCOP"), FCID("SNNS"), FCID("SFID"), FCID("SFSR"), FCID("STMD"), FCID("SDBV"),
    FCID("SDEN"), FCID("SNNT"), FCID("SMAC"), FCID("SNMV"), FCID("SNNI"),
};

TIMER_INFO *s_pSaveSettings;
// Slots whose last write failed or was not synced: written by the next pass even when the file seems to
// hold the value (a failed sync may leave it in the cache only).
std::bitset<NVR_SLOTS> s_pending;

[[noreturn]] void vFatal(U32 u32Line, const char *pcText) {
  ERROR_error("nvram_task.cpp", u32Line, pcText);
  U_RESET_vReset();
}

bool bSaveAlways(FOURCHARID id) {
  for (FOURCHARID key : s_4chSaveAlways) {
    if (key == id) return true;
  }
  return false;
}

bool bWriteValue(FOURCHARID id, DB_DATA_TYPE value) {
  NVR_ENTRY entry = {id, {}};
  entry.data.u32Val = value.u32Val;
  if (H_NVRAM_bWriteFCID(&entry)) return true;
  const S32 s32Slot = H_NVRAM_s32SlotOfKey(id);
  if (s32Slot >= 0) s_pending.set(static_cast<U32>(s32Slot));
  return false;
}

// One line per file that failed since the last call, with the error.
void vLogFileErrors(const char *pcWhat) {
  int anErrno[nfCOUNT];
  H_NVRAM_vTakeErrors(anErrno);
  for (U32 u32Index = 0; u32Index < nfCOUNT; u32Index++) {
    if (anErrno[u32Index] == 0) continue;
    log_me("NVRAM: %s: %s: %s", pcWhat, H_NVRAM_pcFileName(u32Index), std::strerror(anErrno[u32Index]));
  }
}

// Writes one value at once and syncs; a failure keeps it for the next pass.
bool bWriteNow(FOURCHARID id, DB_DATA_TYPE value, const char *pcWhat) {
  bool bOk = bWriteValue(id, value);
  if (!H_NVRAM_bFlashWriteBack()) bOk = false;
  const S32 s32Slot = H_NVRAM_s32SlotOfKey(id);
  if (s32Slot >= 0) s_pending.set(static_cast<U32>(s32Slot), !bOk);
  if (!bOk) vLogFileErrors(pcWhat);
  return bOk;
}

BOOLEAN bRegisterForChanges(FOURCHARID id) {
  return H_DATABASE_bRegisterForDataWithConditions(id, M_NVRAM, TRUE, FALSE, FALSE);
}

// Writes a header item's valid value at once. A failure is the medium's (full, read-only, worn): a reset
// would not mend it, so the value waits for the next pass.
void vSaveHeaderNow(FOURCHARID id) {
  DB_DATA_TYPE value;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetch(id, &value, &bValid, nullptr) || !bValid) return;
  bWriteNow(id, value, "header item");
}

// A stored value into the store: existing keys keep their attributes, new ones are plain.
void vRestore(FOURCHARID id, DB_DATA_TYPE value) {
  if (H_DATABASE_bFetch(id, nullptr, nullptr, nullptr)) {
    H_DATABASE_bUpdateValue(id, value, P_NORMAL);
  } else {
    H_DATABASE_bUpdateEverything(id, value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }
}

// A header item whose default was set after the task registered for it (a default write sends no notice)
// is still saved at once; one already on flash with this value is left alone.
void vAdoptHeader(FOURCHARID id) {
  const U32 u32Row = T_NVRAM_u32FetchItemNumber(id);
  if (u32Row == 0xFFFFFFFFu) return;
  if (s_4chHeader[u32Row].bRegistered) {
    DB_DATA_TYPE value;
    BOOLEAN bValid = FALSE;
    NVR_ENTRY stored = {id, {}};
    if (!H_DATABASE_bFetch(id, &value, &bValid, nullptr) || !bValid) return;
    if (H_NVRAM_bGetItemByID(&stored) && stored.data.u32Val == value.u32Val) return;
    vSaveHeaderNow(id);
    return;
  }
  if (!bRegisterForChanges(id)) return;
  vSaveHeaderNow(id);
  s_4chHeader[u32Row].bRegistered = TRUE;
}

void vLoadStoredSettings() {
  for (U32 u32Row = 0; u32Row < NVR_HEADER_ROWS; u32Row++) {
    UNIT_HEADER_CONTROL &row = s_4chHeader[u32Row];
    NVR_ENTRY entry = {};
    H_NVRAM_bReadUnitHeaderEntry(u32Row, &entry);
    if (entry.id == 0xFFFFFFFFu) {
      if (row.id == NVR_UNUSED_HEADER || row.bRegistered) continue;
      if (!bRegisterForChanges(row.id)) continue;
      vSaveHeaderNow(row.id);
      row.bRegistered = TRUE;
    } else if (entry.id == FCID("NVER")) {
      continue;
    } else {
      vRestore(entry.id, entry.data);
      if (!row.bRegistered && !bRegisterForChanges(row.id)) vFatal(__LINE__, "Database: problem registering");
      row.bRegistered = TRUE;
    }
  }
  NVR_ENTRY entry = {};
  for (U32 u32Index = 0; H_NVRAM_bReadFEntry(u32Index, &entry) && entry.id != 0xFFFFFFFFu; u32Index++) {
    vRestore(entry.id, entry.data);
  }
  for (U32 u32Index = 0; H_NVRAM_bReadSEntry(u32Index, &entry) && entry.id != 0xFFFFFFFFu; u32Index++) {
    vRestore(entry.id, entry.data);
  }
}

void vWriteToNvr(FOURCHARID id) {
  const char c = static_cast<char>(id & 0xFF);
  DB_DATA_TYPE value;
  if ((c != 'F' && c != 'S') || !H_DATABASE_bFetch(id, &value, nullptr, nullptr)) return;
  bWriteNow(id, value, "write request");
}

// One save pass; the number of values that could not be written (they stay marked).
U32 u32SavePass() {
  U32 u32State = 0;
  if (!H_DATABASE_bFetchU32(FCID("CCST"), &u32State, nullptr, nullptr)) return 0;
  const bool bRestricted = u32State == kStateBurnIn || u32State == kStatePointOfSale;
  std::vector<U32> written;
  U32 u32Failed = 0;
  for (const BYTE cCategory : {static_cast<BYTE>('F'), static_cast<BYTE>('S')}) {
    MULTI_FETCH_CONTROL_STRUCTURE control = {};
    control.cMatch = cCategory;
    control.__bNotFirst = FALSE;
    while (H_DATABASE_bFetchNextBeginningWith(&control)) {
      if (bRestricted && !bSaveAlways(control.id)) continue;
      const S32 s32Slot = H_NVRAM_s32SlotOfKey(control.id);
      if (T_NVRAM_u32FetchItemNumber(control.id) == 0xFFFFFFFFu &&
          (s32Slot < 0 || !s_pending.test(static_cast<U32>(s32Slot)))) {
        NVR_ENTRY stored = {control.id, {}};
        if (H_NVRAM_bGetItemByID(&stored) && stored.data.u32Val == control.data.u32Val) continue;
      }
      if (bWriteValue(control.id, control.data)) {
        written.push_back(static_cast<U32>(s32Slot));
      } else if (s32Slot >= 0) {
        u32Failed++;
      }
    }
  }
  const bool bSynced = H_NVRAM_bFlashWriteBack() != FALSE;
  for (const U32 u32Slot : written) s_pending.set(u32Slot, !bSynced);
  if (!bSynced) u32Failed += static_cast<U32>(written.size());
  vLogFileErrors("saving settings");
  if (u32Failed != 0) {
    log_me("NVRAM: %u settings not written, kept for the next pass", static_cast<unsigned>(u32Failed));
  }
  return u32Failed;
}

// The last pass before the end: one retry of what failed, and a count of what is lost.
void vFinalSave() {
  if (!H_DATABASE_bFetchU32(FCID("CCST"), nullptr, nullptr, nullptr)) {
    log_me("NVRAM: final save: no system state yet, nothing saved");
    return;
  }
  U32 u32Failed = u32SavePass();
  if (u32Failed != 0) u32Failed = u32SavePass();
  if (u32Failed != 0) {
    log_me("NVRAM: final save: %u settings could not be written", static_cast<unsigned>(u32Failed));
  } else {
    log_me("NVRAM: final save done");
  }
}

// The files hold another format or none that can be read: keep the model and the configuration, start the
// files afresh.
void vReplaceFiles() {
  H_NVRAM_vVersionChangeFindAndSave(FCID("SMDL"));
  H_NVRAM_vVersionChangeFindAndSave(FCID("SCFO"));
  H_NVRAM_bScratchNVR(NVR_SCRATCH_CODE1, NVR_SCRATCH_CODE2);
  s_pending.reset();
  H_NVRAM_eInit();
  const DB_DATA_TYPE version = {NVR_VERSION};
  bWriteNow(FCID("NVER"), version, "format version");
}

void vHandleMessage(GENERIC_MESSAGE *pMsg) {
  switch (pMsg->Cmd) {
    case CMD_ID_SHUTDOWN:
      if (s_pSaveSettings != nullptr) {
        L_TIMER_Release(s_pSaveSettings);
        s_pSaveSettings = nullptr;
      }
      vFinalSave();
      break;
    case CMD_ID_NEW_DATA: {
      const auto *pNew = reinterpret_cast<MESSAGE_NEW_DATA *>(pMsg);
      if (T_NVRAM_u32FetchItemNumber(pNew->FourCharId) != 0xFFFFFFFFu) {
        bWriteNow(pNew->FourCharId, pNew->dbValue, "header item");
      }
      break;
    }
    case CMD_ID_RESET_POS: {
      NVR_ENTRY entry = {FCID("SLNG"), {}};
      if (H_NVRAM_bGetItemByID(&entry)) H_DATABASE_bUpdateValue(FCID("SLNG"), entry.data, P_NORMAL);
      break;
    }
    case CMD_ID_WRITE_TO_HEADER:
      vAdoptHeader(reinterpret_cast<MSG_NVRAM_WRITE_TO_HEADER *>(pMsg)->id);
      break;
    case CMD_ID_WRITE_TO_NVR:
      vWriteToNvr(reinterpret_cast<MSG_NVRAM_WRITE_TO_NVR *>(pMsg)->id);
      break;
    case CMD_ID_SCRATCH_NVR:
      H_NVRAM_bScratchNVR(NVR_SCRATCH_CODE1, NVR_SCRATCH_CODE2);
      break;
    case CMD_ID_READ_SONAR_DATA: {
      auto *pReq = reinterpret_cast<MSG_READ_SONAR_DATA *>(pMsg);
      pReq->bSuccess = pReq->pSonarData != nullptr ? H_NVRAM_bReadSonarData(pReq->pSonarData) : FALSE;
      break;
    }
    case CMD_ID_WRITE_SONAR_DATA: {
      auto *pReq = reinterpret_cast<MSG_WRITE_SONAR_DATA *>(pMsg);
      pReq->bSuccess = pReq->pSonarData != nullptr ? H_NVRAM_bWriteSonarData(pReq->pSonarData) : FALSE;
      H_NVRAM_vFlashWriteBack();
      break;
    }
    case CMD_ID_READ_PERSONALIZED: {
      auto *pReq = reinterpret_cast<MSG_READ_PERSONALIZED *>(pMsg);
      pReq->bSuccess = pReq->pPersonData != nullptr ? H_NVRAM_bReadPersonalizationData(pReq->pPersonData) : FALSE;
      break;
    }
    case CMD_ID_WRITE_PERSONALIZED: {
      auto *pReq = reinterpret_cast<MSG_WRITE_PERSONALIZED *>(pMsg);
      pReq->bSuccess =
          pReq->pPersonData != nullptr ? H_NVRAM_bWritePersonalizationData(pReq->pPersonData) : FALSE;
      H_NVRAM_vFlashWriteBack();
      break;
    }
    default:
      break;
  }
}

}  // namespace

U32 T_NVRAM_u32FetchItemNumber(FOURCHARID id) {
  for (U32 u32Row = 0; u32Row < NVR_HEADER_ROWS; u32Row++) {
    if (s_4chHeader[u32Row].id == NVR_UNUSED_HEADER) break;
    if (s_4chHeader[u32Row].id == id) return u32Row;
  }
  return 0xFFFFFFFFu;
}

void T_NVRAM_vInitHardware(void) {
  const NVR_STATE eState = H_NVRAM_eInit();
  if (eState == STATE_HARDWARE_FAILURE) vFatal(__LINE__, "NVR Hardware Failure");
  H_DATABASE_bUpdateValueBoolean(FCID("CNVR"), TRUE, P_NORMAL);
  const DB_DATA_TYPE version = {NVR_VERSION};
  if (eState == STATE_VIRGIN) bWriteNow(FCID("NVER"), version, "format version");
  NVR_ENTRY entry = {};
  if (!H_NVRAM_bReadUnitHeaderEntry(0, &entry)) {
    // Damaged files would fail every start the same way: they are started afresh instead.
    char acWhy[160];
    H_NVRAM_vDescribeVersionLoss(acWhy, sizeof acWhy);
    log_me("NVRAM: no settings format version (%s): settings files started afresh", acWhy);
    vReplaceFiles();
    return;
  }
  if (entry.data.u32Val == NVR_VERSION) return;
  log_me("NVRAM: settings format %08X replaced by %08X", static_cast<unsigned>(entry.data.u32Val),
         static_cast<unsigned>(NVR_VERSION));
  vReplaceFiles();
}

void T_NVRAM_vHandleDataSave(void) { u32SavePass(); }

void T_NVRAM_vMain(void) {
  if (H_DATABASE_bUpdateEverythingBoolean(FCID("CNVR"), FALSE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT)) {
    vFatal(__LINE__, "Somebody else registered the NVR status");
  }
  T_NVRAM_vInitHardware();
  vLoadStoredSettings();
  // The timer start resets SEMA_NVRAM_UPDATE: arm it before the mailbox tells others the task is up, so a
  // save request sent right after that is not lost.
  s_pSaveSettings = L_TIMER_Start(nullptr, NVRAM_SAVE_PERIOD_MS, NVRAM_SAVE_PERIOD_MS, SEMA_NVRAM_UPDATE);
  if (s_pSaveSettings == nullptr) log_me("NVRAM: no timer, settings are saved only on request");
  if (H_DATABASE_bUpdateEverythingU32(FCID("TNVR"), M_NVRAM, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    vFatal(__LINE__, "Somebody else registered the NVR Task Maibox");
  }

  static const SEMA s_aWaitList[] = {SEMA_MBOX_NVRAM, SEMA_NVRAM_UPDATE, 0};
  for (;;) {
    const ERC erc = L_SEMA_WaitMultiple(s_aWaitList);
    if (erc == SEMA_MBOX_NVRAM) {
      while (void *pvMsg = L_MBOX_Receive(M_NVRAM)) {
        vHandleMessage(static_cast<GENERIC_MESSAGE *>(pvMsg));
        H_MEMORY_vDumpMail(pvMsg);
      }
    } else if (erc == SEMA_NVRAM_UPDATE) {
      T_NVRAM_vHandleDataSave();
    }
  }
}

#include "settings/nvram_task.h"

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
  return H_NVRAM_bWriteFCID(&entry) != FALSE;
}

BOOLEAN bRegisterForChanges(FOURCHARID id) {
  return H_DATABASE_bRegisterForDataWithConditions(id, M_NVRAM, TRUE, FALSE, FALSE);
}

// Writes a header item's valid value at once; a failure on this path is fatal.
void vSaveHeaderNow(FOURCHARID id) {
  DB_DATA_TYPE value;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetch(id, &value, &bValid, nullptr) || !bValid) return;
  if (!bWriteValue(id, value) || !H_NVRAM_bFlashWriteBack()) vFatal(__LINE__, "NVRAM - error writing header");
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
  bWriteValue(id, value);
  H_NVRAM_vFlashWriteBack();
}

void vHandleMessage(GENERIC_MESSAGE *pMsg) {
  switch (pMsg->Cmd) {
    case CMD_ID_SHUTDOWN:
      if (s_pSaveSettings != nullptr) {
        L_TIMER_Release(s_pSaveSettings);
        s_pSaveSettings = nullptr;
      }
      T_NVRAM_vHandleDataSave();
      break;
    case CMD_ID_NEW_DATA: {
      const auto *pNew = reinterpret_cast<MESSAGE_NEW_DATA *>(pMsg);
      if (T_NVRAM_u32FetchItemNumber(pNew->FourCharId) != 0xFFFFFFFFu) {
        bWriteValue(pNew->FourCharId, pNew->dbValue);
        H_NVRAM_vFlashWriteBack();
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
  if (eState == STATE_VIRGIN) {
    bWriteValue(FCID("NVER"), version);
    H_NVRAM_vFlashWriteBack();
  }
  NVR_ENTRY entry = {};
  if (!H_NVRAM_bReadUnitHeaderEntry(0, &entry)) vFatal(__LINE__, "NVRAM - no NVR version number");
  if (entry.data.u32Val == NVR_VERSION) return;
  log_me("NVRAM: settings format %08X replaced by %08X", static_cast<unsigned>(entry.data.u32Val),
         static_cast<unsigned>(NVR_VERSION));
  H_NVRAM_vVersionChangeFindAndSave(FCID("SMDL"));
  H_NVRAM_vVersionChangeFindAndSave(FCID("SCFO"));
  H_NVRAM_bScratchNVR(NVR_SCRATCH_CODE1, NVR_SCRATCH_CODE2);
  H_NVRAM_eInit();
  bWriteValue(FCID("NVER"), version);
  H_NVRAM_vFlashWriteBack();
}

void T_NVRAM_vHandleDataSave(void) {
  U32 u32State = 0;
  if (!H_DATABASE_bFetchU32(FCID("CCST"), &u32State, nullptr, nullptr)) return;
  const bool bRestricted = u32State == kStateBurnIn || u32State == kStatePointOfSale;
  for (const BYTE cCategory : {static_cast<BYTE>('F'), static_cast<BYTE>('S')}) {
    MULTI_FETCH_CONTROL_STRUCTURE control = {};
    control.cMatch = cCategory;
    control.__bNotFirst = FALSE;
    while (H_DATABASE_bFetchNextBeginningWith(&control)) {
      if (bRestricted && !bSaveAlways(control.id)) continue;
      if (T_NVRAM_u32FetchItemNumber(control.id) != 0xFFFFFFFFu) {
        bWriteValue(control.id, control.data);
        continue;
      }
      NVR_ENTRY stored = {control.id, {}};
      if (H_NVRAM_bGetItemByID(&stored) && stored.data.u32Val == control.data.u32Val) continue;
      bWriteValue(control.id, control.data);
    }
  }
  H_NVRAM_vFlashWriteBack();
}

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

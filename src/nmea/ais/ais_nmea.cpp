#include "nmea/ais/ais_nmea.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "kernel/kernel_defs.h"
#include "kernel/log.h"
#include "kernel/mutex.h"
#include "navmgr/navmgr_standin.h"
#include "nmea/ais/ais_collision.h"
#include "nmea/ais/ais_pool.h"
#include "settings/database.h"
#include "settings/language.h"

namespace {

AISPOOL s_aAisDB;
std::atomic<U32> s_u32Sentences{0};

// Targets removed under the pool lock, reported later without it: the data manager takes RES_NAV_EDIT before
// RES_AIS_DATA.
std::mutex s_removedLock;
std::vector<AIS_REMOVED_TARGET> s_aRemoved;

void noteRemoved(ULONG nMMSI, UINT nIndex) {
  std::lock_guard<std::mutex> guard(s_removedLock);
  s_aRemoved.push_back({TRUE, nMMSI, nIndex});
}

const ARRAY_OF_STRING_PTRS Ship_Blank = SAME22(" ");
const ARRAY_OF_STRING_PTRS Ship_Wing_In_Ground = SAME22("Wing in ground");
const ARRAY_OF_STRING_PTRS Ship_Fishing = SAME22("Fishing");
const ARRAY_OF_STRING_PTRS Ship_Towing = SAME22("Towing");
const ARRAY_OF_STRING_PTRS Ship_Dredger = SAME22("Dredger");
const ARRAY_OF_STRING_PTRS Ship_Dive_Vessel = SAME22("Dive vessel");
const ARRAY_OF_STRING_PTRS Ship_Military = SAME22("Millitary");
const ARRAY_OF_STRING_PTRS Ship_Sailing = SAME22("Sailing");
const ARRAY_OF_STRING_PTRS Ship_Passenger = SAME22("Passenger");
const ARRAY_OF_STRING_PTRS Ship_Reserved = SAME22("Reserved");
const ARRAY_OF_STRING_PTRS Ship_High_Speed = SAME22("High speed craft");
const ARRAY_OF_STRING_PTRS Ship_Pilot = SAME22("Pilot Vessel");
const ARRAY_OF_STRING_PTRS Ship_Tugs = SAME22("Tugs");
const ARRAY_OF_STRING_PTRS Ship_Port_Tenders = SAME22("Port tenders");
const ARRAY_OF_STRING_PTRS Ship_Antipollution = SAME22("Vessel with antipollution");
const ARRAY_OF_STRING_PTRS Ship_Law = SAME22("Law enforcement");
const ARRAY_OF_STRING_PTRS Ship_Spare = SAME22("Spare for assignment");
const ARRAY_OF_STRING_PTRS Ship_Medical = SAME22("Medical transport");
const ARRAY_OF_STRING_PTRS Ship_RR18 = SAME22("RR resolution N18");
const ARRAY_OF_STRING_PTRS Ship_Cargo = SAME22("Cargo");
const ARRAY_OF_STRING_PTRS Ship_Tanker = SAME22("Tanker");
const ARRAY_OF_STRING_PTRS Ship_Unknown = SAME22("Unknown");

const ARRAY_OF_STRING_PTRS &shipTypeText(ULONG n) {
  if (n >= 20 && n <= 29) return Ship_Wing_In_Ground;
  if (n >= 40 && n <= 49) return Ship_High_Speed;
  if (n == 37 || (n >= 60 && n <= 69)) return Ship_Passenger;
  if (n >= 70 && n <= 79) return Ship_Cargo;
  if (n >= 80 && n <= 89) return Ship_Tanker;
  if (n >= 90 && n <= 99) return Ship_Unknown;
  switch (n) {
    case 30: return Ship_Fishing;
    case 31: case 32: return Ship_Towing;
    case 33: return Ship_Dredger;
    case 34: return Ship_Dive_Vessel;
    case 35: return Ship_Military;
    case 36: return Ship_Sailing;
    case 38: case 39: return Ship_Reserved;
    case 50: return Ship_Pilot;
    case 52: return Ship_Tugs;
    case 53: return Ship_Port_Tenders;
    case 54: return Ship_Antipollution;
    case 55: return Ship_Law;
    case 56: case 57: return Ship_Spare;
    case 58: return Ship_Medical;
    case 59: return Ship_RR18;
    default: return Ship_Blank;
  }
}

}  // namespace

void T_NMEA_vAisInitPool(void) {
  L_MUTEX_LockWait(RES_AIS_DATA);
  ais_InitStruct(&s_aAisDB);
  ais_ResetDecoder();
  L_MUTEX_Unlock(RES_AIS_DATA);
  std::lock_guard<std::mutex> guard(s_removedLock);
  s_aRemoved.clear();
}

void T_NMEA_vDecodeVDM(const char *pcSentence, U32 u32Time) {
  const UT_TIMEOFS tNow = static_cast<UT_TIMEOFS>(u32Time);
  AIS_REMOVED_TARGET tEvicted;
  const ERRORCODE e = ais_DecodeVDM(&s_aAisDB, nullptr, nullptr, pcSentence, &tNow, &tEvicted);
  if (tEvicted.bRemoved) noteRemoved(tEvicted.MMSI, tEvicted.Index);
  if (e == AIS_SUCCESS) T_NMEA_vAisCalculateCollisionValue();
  s_u32Sentences.fetch_add(1);
}

U32 T_NMEA_u32AisSentencesForTest(void) { return s_u32Sentences.load(); }

void T_NMEA_vAisCalculateCollisionValue(void) {
  L_MUTEX_LockWait(RES_AIS_DATA);
  ais_vCalculateCollisionValues(&s_aAisDB);
  L_MUTEX_Unlock(RES_AIS_DATA);
}

U32 T_NMEA_u32GetAisNumOfTargets(void) { return s_aAisDB.NumOfTargets; }

BOOLEAN T_NMEA_bScanAisPoints(S32 nIndex, ais_DeviceInfo **ppAisInfo) {
  if (nIndex < 0 || static_cast<U32>(nIndex) >= s_aAisDB.NumOfTargets) return FALSE;
  *ppAisInfo = &s_aAisDB.TargetStruct[nIndex];
  return TRUE;
}

int T_NMEA_s32GetAisIndex(ULONG nMMSI) {
  L_MUTEX_LockWait(RES_AIS_DATA);
  int nFound = -1;
  for (UINT i = 0; i < s_aAisDB.NumOfTargets; ++i) {
    if (s_aAisDB.TargetStruct[i].aisInfo.MMSI == nMMSI) {
      nFound = static_cast<int>(i);
      break;
    }
  }
  L_MUTEX_Unlock(RES_AIS_DATA);
  return nFound;
}

BOOLEAN T_NMEA_bAisCheckTimeout(ais_DeviceInfo *pAisInfo, UINT index) {
  if (pAisInfo == nullptr || index >= s_aAisDB.NumOfTargets) return FALSE;
  U32 u32Now = 0;
  if (!H_DATABASE_bFetchU32(FCID("IDTM"), &u32Now, nullptr, nullptr)) return FALSE;
  const UT_TIMEOFS tNow = static_cast<UT_TIMEOFS>(u32Now);
  const long long nAge = static_cast<long long>(tNow) - pAisInfo->ReceiveLastTime;
  // A clock stepped back: the target ages from the new time on.
  if (nAge < 0) {
    pAisInfo->ReceiveLastTime = tNow;
    return FALSE;
  }
  if (nAge < static_cast<long long>(AIS_TARGET_TIMEOUT_S)) return FALSE;
  const ULONG nMMSI = pAisInfo->aisInfo.MMSI;
  ais_RemoveTarget(&s_aAisDB, index);
  noteRemoved(nMMSI, index);
  return TRUE;
}

void T_NMEA_vGetShipTypeStr(ULONG nShipType, U32 nLang, char *pShipTypeStr) {
  const ARRAY_OF_STRING_PTRS &text = shipTypeText(nShipType);
  std::strcpy(pShipTypeStr, text[nLang < NUMBER_OF_LANGUAGES ? nLang : 0]);
}

void T_NMEA_vAisReportRemovedTargets(void) {
  std::vector<AIS_REMOVED_TARGET> aRemoved;
  {
    std::lock_guard<std::mutex> guard(s_removedLock);
    aRemoved.swap(s_aRemoved);
  }
  for (const AIS_REMOVED_TARGET &t : aRemoved) T_NAV_vDeleteTargetListIndex(t.MMSI, t.Index);
}

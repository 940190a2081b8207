#include "nmea/ais/ais_pool.h"

#include <cstring>

#include "kernel/log.h"
#include "nmea/ais/ais_manager.h"

namespace {

ais_manager::AISManager &decoder() {
  static ais_manager::AISManager s_manager;
  return s_manager;
}

// Target data, receive time and alarm flags; the alarm text is scratch and stays.
void moveSlot(ais_DeviceInfo &dest, const ais_DeviceInfo &source) {
  ais_CopyTarget(&dest.aisInfo, &source.aisInfo);
  dest.ReceiveLastTime = source.ReceiveLastTime;
  dest.bAisAlarmActive = source.bAisAlarmActive;
  dest.bAisAlarmCleared = source.bAisAlarmCleared;
}

void clearSlot(ais_DeviceInfo &slot) {
  std::memset(&slot.aisInfo, 0, sizeof(slot.aisInfo));
  slot.aisInfo.NavStatus = NAV_STATUS_NOT_DEFINED;
  slot.aisInfo.PosAccuracy = LOWER_TEN_METERS;
  slot.ReceiveLastTime = 0;
  slot.bAisAlarmActive = FALSE;
  slot.bAisAlarmCleared = FALSE;
}

// The slot heard longest ago, by the signed age at the receive time.
UINT oldestSlot(const AISPOOL &pool, UT_TIMEOFS now) {
  UINT nOldest = 0;
  long long nOldestAge = 0;
  for (UINT i = 0; i < pool.NumOfTargets; ++i) {
    const long long nAge = static_cast<long long>(now) - pool.TargetStruct[i].ReceiveLastTime;
    if (i == 0 || nAge > nOldestAge) {
      nOldest = i;
      nOldestAge = nAge;
    }
  }
  return nOldest;
}

ERRORCODE insertTarget(AISPOOL &pool, const aisTargetINFO &info, UT_TIMEOFS now, AIS_REMOVED_TARGET *pEvicted) {
  if (pool.NumOfTargets >= AIS_MAX_TARGETS) {
    const UINT nOldest = oldestSlot(pool, now);
    log_me("AIS: pool full, target %lu (slot %u) gives way to %lu",
           static_cast<unsigned long>(pool.TargetStruct[nOldest].aisInfo.MMSI), nOldest,
           static_cast<unsigned long>(info.MMSI));
    if (pEvicted != nullptr) *pEvicted = {TRUE, pool.TargetStruct[nOldest].aisInfo.MMSI, nOldest};
    ais_RemoveTarget(&pool, nOldest);
  }
  UINT i = 0;
  while (i < pool.NumOfTargets && pool.TargetStruct[i].aisInfo.MMSI < info.MMSI) ++i;
  for (UINT k = pool.NumOfTargets; k > i; --k) moveSlot(pool.TargetStruct[k], pool.TargetStruct[k - 1]);
  ais_DeviceInfo &slot = pool.TargetStruct[i];
  ais_CopyTarget(&slot.aisInfo, &info);
  slot.ReceiveLastTime = now;
  slot.bAisAlarmActive = FALSE;
  slot.bAisAlarmCleared = FALSE;
  ++pool.NumOfTargets;
  return AIS_SUCCESS;
}

}  // namespace

ERRORCODE ais_InitStruct(AISPOOL *pPool) {
  pPool->NumOfTargets = 0;
  for (ais_DeviceInfo &slot : pPool->TargetStruct) clearSlot(slot);
  return AIS_SUCCESS;
}

ERRORCODE ais_ResetABM(AISPOOL *pPool, void *, void *, void *) { return ais_InitStruct(pPool); }

void ais_ResetDecoder(void) { decoder().Reset(); }

ERRORCODE ais_CopyTarget(aisTargetINFO *pDest, const aisTargetINFO *pSource) {
  if (!pSource->validTarget) {
    pDest->validTarget = FALSE;
    return AIS_SUCCESS;
  }
  // The texts are zero-terminated within their arrays, so the whole record copies as it is.
  *pDest = *pSource;
  pDest->Name[sizeof(pDest->Name) - 1] = 0;
  pDest->CallSign[sizeof(pDest->CallSign) - 1] = 0;
  pDest->Destination[sizeof(pDest->Destination) - 1] = 0;
  pDest->validTarget = TRUE;
  return AIS_SUCCESS;
}

void ais_RemoveTarget(AISPOOL *pPool, UINT nIndex) {
  if (nIndex >= pPool->NumOfTargets) return;
  for (UINT k = nIndex + 1; k < pPool->NumOfTargets; ++k) moveSlot(pPool->TargetStruct[k - 1], pPool->TargetStruct[k]);
  --pPool->NumOfTargets;
  pPool->TargetStruct[pPool->NumOfTargets].aisInfo.validTarget = FALSE;
}

ERRORCODE ais_CopyData(const AISPOOL *pSource, AISPOOL *pDest) {
  std::memcpy(pDest, pSource, sizeof(AISPOOL));
  return AIS_SUCCESS;
}

ERRORCODE ais_DecodeVDM(AISPOOL *pPool, unsigned *pnTotal, unsigned *pnNumber, const char *pcSentence,
                        const UT_TIMEOFS *pReceiveTime, AIS_REMOVED_TARGET *pEvicted) {
  if (pEvicted != nullptr) pEvicted->bRemoved = FALSE;
  aisTargetINFO info;
  std::memset(&info, 0, sizeof(info));
  ais_manager::aisDataVDM vdm;
  std::memset(&vdm, 0, sizeof(vdm));
  unsigned nTotal = 0, nNumber = 0;
  const ERRORCODE eParse = decoder().ais_DecodeSentence(pcSentence, &nTotal, &nNumber, vdm);
  if (pnTotal != nullptr) *pnTotal = nTotal;
  if (pnNumber != nullptr) *pnNumber = nNumber;
  if (eParse != AIS_SUCCESS) {
    AIS_vDeleteMessage(vdm.message);
    log_me("AIS: sentence refused (%08X): %.82s", static_cast<unsigned>(eParse), pcSentence ? pcSentence : "");
    return eParse;
  }
  if (vdm.message == nullptr) return AIS_SUCCESS;
  if (nNumber != nTotal) {
    AIS_vDeleteMessage(vdm.message);
    return AIS_SUCCESS;
  }
  const ERRORCODE eDecode = decoder().DecodeData(vdm.message, info);
  info.validTarget = eDecode == AIS_SUCCESS;
  const UT_TIMEOFS now = pReceiveTime != nullptr ? *pReceiveTime : 0;
  ERRORCODE eResult = eDecode;
  UINT i = 0;
  while (i < pPool->NumOfTargets && !(pPool->TargetStruct[i].aisInfo.validityFlag[MMSI_FLAG_INDEX] &&
                                      pPool->TargetStruct[i].aisInfo.MMSI == info.MMSI)) {
    ++i;
  }
  if (i < pPool->NumOfTargets) {
    decoder().UpdateData(vdm.message->m_nMessageType, vdm.message->m_nPartNumber, info,
                         pPool->TargetStruct[i].aisInfo);
    pPool->TargetStruct[i].ReceiveLastTime = now;
  } else if (info.validTarget) {
    eResult = insertTarget(*pPool, info, now, pEvicted);
  }
  AIS_vDeleteMessage(vdm.message);
  return eResult;
}

// Stand-in settings store: keys, values, owner priorities and the bucket order of iteration, nothing else
// (no time-outs, notices or persistence). Replaced by the settings store.
#include <mutex>

#include "kernel/database.h"

namespace {

constexpr U32 kBuckets = 512;

struct Item {
  FOURCHARID Id;
  DB_DATA_TYPE dbValue;
  DB_ATTRIBUTES ExtraData;
  U32 u32Priority;
  BOOLEAN bCreated;
  Item *pNext;
};

std::recursive_mutex s_lock;
Item *s_apBuckets[kBuckets];

U32 bucketOf(FOURCHARID Id) { return (Id ^ (Id >> 10) ^ (Id >> 5)) & (kBuckets - 1); }

Item *find(FOURCHARID Id, bool bCreate) {
  Item **ppItem = &s_apBuckets[bucketOf(Id)];
  for (; *ppItem != nullptr; ppItem = &(*ppItem)->pNext) {
    if ((*ppItem)->Id == Id) return *ppItem;
  }
  if (!bCreate) return nullptr;
  *ppItem = new Item{Id, {}, {D_UNKNOWN, nullptr, DB_NO_TIMEOUT}, P_UNOWNED, FALSE, nullptr};
  return *ppItem;
}

BOOLEAN write(FOURCHARID Id, U32 u32Value, U32 u32Priority, const DB_ATTRIBUTES *pAttributes) {
  std::lock_guard<std::recursive_mutex> guard(s_lock);
  Item *pItem = find(Id, true);
  if (pItem->bCreated && u32Priority > pItem->u32Priority) return pItem->dbValue.u32Val != u32Value;
  pItem->dbValue.u32Val = u32Value;
  pItem->u32Priority = u32Priority;
  pItem->bCreated = TRUE;
  if (pAttributes != nullptr) {
    pItem->ExtraData.DataType = pAttributes->DataType;
    pItem->ExtraData.ppcText = pAttributes->ppcText;
    if (pAttributes->u32TimeOut != 0) pItem->ExtraData.u32TimeOut = pAttributes->u32TimeOut;
  }
  return FALSE;
}

}  // namespace

void H_DATABASE_vInit(void) {
  std::lock_guard<std::recursive_mutex> guard(s_lock);
  for (Item *&pHead : s_apBuckets) pHead = nullptr;  // earlier nodes are dropped, not freed
}

BOOLEAN H_DATABASE_bUpdateEverythingU32(FOURCHARID Id, U32 u32Value, U32 u32Priority, DATA_TYPE DataType,
                                        const char *const *ppcText, U32 u32TimeOut) {
  const DB_ATTRIBUTES attributes = {DataType, ppcText, u32TimeOut};
  return write(Id, u32Value, u32Priority, &attributes);
}

BOOLEAN H_DATABASE_bUpdateValueU32(FOURCHARID Id, U32 u32Value, U32 u32Priority) {
  return write(Id, u32Value, u32Priority, nullptr);
}

BOOLEAN H_DATABASE_bFetchU32(FOURCHARID Id, U32 *pu32Value, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes) {
  std::lock_guard<std::recursive_mutex> guard(s_lock);
  const Item *pItem = find(Id, false);
  if (pItem == nullptr || !pItem->bCreated) {
    if (pbValid != nullptr) *pbValid = FALSE;
    return FALSE;
  }
  if (pu32Value != nullptr) *pu32Value = pItem->dbValue.u32Val;
  if (pbValid != nullptr) *pbValid = TRUE;
  if (pAttributes != nullptr) *pAttributes = pItem->ExtraData;
  return TRUE;
}

BOOLEAN H_DATABASE_bFetchNextBeginningWith(MULTI_FETCH_CONTROL_STRUCTURE *pControl) {
  std::lock_guard<std::recursive_mutex> guard(s_lock);
  if (pControl->cMatch < 'A' || pControl->cMatch > 'Z') return FALSE;
  Item *pItem;
  if (!pControl->__bNotFirst) {
    pControl->__bNotFirst = TRUE;
    pControl->__cMatch = pControl->cMatch;
    pControl->__index = 0;
    pItem = s_apBuckets[0];
  } else {
    pItem = static_cast<Item *>(pControl->__pItem);
    pItem = pItem != nullptr ? pItem->pNext : nullptr;
  }
  for (;;) {
    while (pItem == nullptr) {
      if (++pControl->__index >= kBuckets) {
        pControl->__pItem = nullptr;
        return FALSE;
      }
      pItem = s_apBuckets[pControl->__index];
    }
    if (pItem->bCreated && static_cast<BYTE>(pItem->Id & 0xFF) == pControl->__cMatch) break;
    pItem = pItem->pNext;
  }
  pControl->__pItem = pItem;
  pControl->id = pItem->Id;
  pControl->data = pItem->dbValue;
  pControl->extras = pItem->ExtraData;
  pControl->bValid = TRUE;
  return TRUE;
}

void H_DATABASE_vDeleteEntry(FOURCHARID Id) {
  std::lock_guard<std::recursive_mutex> guard(s_lock);
  if (Item *pItem = find(Id, false)) pItem->bCreated = FALSE;
}

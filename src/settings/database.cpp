// Settings store. One table of 512 buckets under RES_DATABASE; nodes come from the partition allocator and
// are never freed. Validity is measured on the kernel's monotonic clock, so a step of the calendar clock
// (the first GPS fix) does not make every timed item stale at once.
//
// A watcher has at most one unread notice per key: a notice for a (mailbox, key) whose last notice is still
// queued in the mailbox updates that one in place (the newest value, the place of the first), so a watcher
// that stops reading holds one block per key and never the whole allocator. New notices are allocated
// without waiting while the lock is held; one that finds no memory is not dropped: its registration is marked
// pending and is sent, with the item's value of that moment, at the next notice step or sweep.
#include "settings/database.h"

#include <cstdlib>
#include <cstring>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "settings/model.h"
#include "kernel/mutex.h"
#include "kernel/reset.h"
#include "kernel/tick.h"

namespace {

constexpr U32 kBuckets = 512;

struct REGISTERED_MBOX {
  DB_CONDITION_FLAGS Condition;
  MBOX Mailbox;
};

struct MAILBOX_LIST_NODE {
  MAILBOX_LIST_NODE *pNext;
  REGISTERED_MBOX Registration;
  BOOLEAN bPending;  // a notice is owed to this mailbox
  void *pvNotice;    // the last notice posted for this registration (compared only: it may be gone)
};

struct DATABASE_ELEMENT {
  FOURCHARID Id;
  DB_DATA_TYPE dbValue;
  DB_ATTRIBUTES ExtraData;
  U64 TimeStamp;  // kernel clock, milliseconds, of the last accepted write
  U32 u32Priority;
  MBOX mboxOwner;
  MAILBOX_LIST_NODE *pMboxList;
  DB_CONDITION_FLAGS Condition;
  BOOLEAN bCreated;
};

struct DATABASE_LIST_NODE {
  DATABASE_LIST_NODE *pNext;
  DATABASE_ELEMENT Element;
};

DATABASE_LIST_NODE *s_pDataBase[kBuckets];
U32 s_u32Pending;  // registrations with a notice owed

class DbLock {
 public:
  DbLock() : m_erc(L_MUTEX_LockWait(RES_DATABASE)) {}
  ~DbLock() { L_MUTEX_Unlock(RES_DATABASE); }
  DbLock(const DbLock &) = delete;
  DbLock &operator=(const DbLock &) = delete;
  // Only an outermost holder may let the lock go for a moment.
  bool bOutermost() const { return m_erc == 0; }

 private:
  ERC m_erc;
};

U32 u32Bucket(FOURCHARID Id) { return (Id ^ (Id >> 10) ^ (Id >> 5)) & (kBuckets - 1); }

U64 u64Now() { return L_CLOCK_qwGetTimeInMillis(); }

// The key log: every change of a key named in CORVAN_LOG_KEYS (keys separated by commas) is logged, since
// nothing else shows a running unit's keys from outside.
constexpr U32 kMaxLoggedKeys = 64;
struct KEY_LOG {
  FOURCHARID aKeys[kMaxLoggedKeys];
  U32 u32Count = 0;
  KEY_LOG() {
    const char *pcList = std::getenv("CORVAN_LOG_KEYS");
    while (pcList != nullptr && *pcList != '\0') {
      const size_t szLength = std::strcspn(pcList, ",");
      if (szLength != 4 || u32Count == kMaxLoggedKeys) {
        log_me("CORVAN_LOG_KEYS: '%.*s' is not a four-character key or one too many; not logged",
               static_cast<int>(szLength), pcList);
      } else {
        const char acKey[5] = {pcList[0], pcList[1], pcList[2], pcList[3], '\0'};
        aKeys[u32Count++] = FCID(acKey);
      }
      pcList += szLength;
      if (*pcList == ',') ++pcList;
    }
  }
};

void vLogKeyChange(const DATABASE_ELEMENT &e) {
  static const KEY_LOG s_log;
  for (U32 i = 0; i < s_log.u32Count; ++i) {
    if (s_log.aKeys[i] != e.Id) continue;
    log_me("key %c%c%c%c = %d (0x%08X)", static_cast<char>(e.Id), static_cast<char>(e.Id >> 8),
           static_cast<char>(e.Id >> 16), static_cast<char>(e.Id >> 24), static_cast<int>(e.dbValue.s32Val),
           e.dbValue.u32Val);
    return;
  }
}

bool bTimedOut(const DATABASE_ELEMENT &e, U64 u64NowMs) {
  return e.ExtraData.u32TimeOut != DB_NO_TIMEOUT &&
         u64NowMs - e.TimeStamp >= static_cast<U64>(e.ExtraData.u32TimeOut) * 1000u;
}

// Memory for a node: never waits while the lock is held. The outermost holder lets the lock go while it
// waits for memory; callers look their item up again afterwards (items are never freed, so pointers to
// them stay good).
void *pvAllocNode(const DbLock &lock, U32 u32Size) {
  void *pv = H_MEMORY_pvMallocNoWait(u32Size);
  if (pv != nullptr || !lock.bOutermost()) return pv;
  L_MUTEX_Unlock(RES_DATABASE);
  pv = H_MEMORY_pvMalloc(u32Size);
  L_MUTEX_LockWait(RES_DATABASE);
  return pv;
}

DATABASE_ELEMENT *pFind(FOURCHARID Id) {
  for (DATABASE_LIST_NODE *p = s_pDataBase[u32Bucket(Id)]; p != nullptr; p = p->pNext) {
    if (p->Element.Id == Id) return &p->Element;
  }
  return nullptr;
}

DATABASE_ELEMENT *pFindOrCreate(const DbLock &lock, FOURCHARID Id, const DB_ATTRIBUTES *pAttributes) {
  if (DATABASE_ELEMENT *e = pFind(Id)) return e;
  auto *pNode = static_cast<DATABASE_LIST_NODE *>(pvAllocNode(lock, sizeof(DATABASE_LIST_NODE)));
  if (DATABASE_ELEMENT *e = pFind(Id)) {  // created while the lock was let go
    if (pNode != nullptr) H_MEMORY_vFree(pNode);
    return e;
  }
  if (pNode == nullptr) {
    log_me("settings store: no memory for a new item");
    return nullptr;
  }
  pNode->pNext = nullptr;
  DATABASE_ELEMENT &e = pNode->Element;
  e.Id = Id;
  e.dbValue.RawData = 0;
  e.ExtraData = pAttributes != nullptr ? *pAttributes : DB_ATTRIBUTES{D_UNKNOWN, nullptr, DB_NO_TIMEOUT};
  e.TimeStamp = u64Now();
  e.u32Priority = P_UNOWNED;
  e.mboxOwner = 0;
  e.pMboxList = nullptr;
  e.Condition = {FALSE, FALSE, TRUE};
  e.bCreated = FALSE;
  DATABASE_LIST_NODE **ppTail = &s_pDataBase[u32Bucket(Id)];
  while (*ppTail != nullptr) ppTail = &(*ppTail)->pNext;
  *ppTail = pNode;
  return &e;
}

void vFill(MESSAGE_NEW_DATA *pMsg, const DATABASE_ELEMENT &e) {
  pMsg->FourCharId = e.Id;
  pMsg->dbValue = e.dbValue;
  pMsg->bValid = e.Condition.bInvalid ? FALSE : TRUE;
}

struct MERGE {
  void *pvNotice;
  const DATABASE_ELEMENT *pElement;
};

// Under the mailbox's lock: the registration's last notice is still unread there; it takes the newest value.
bool bMerge(void *pvMsg, void *pvArg) {
  const MERGE *ptMerge = static_cast<const MERGE *>(pvArg);
  auto *pMsg = static_cast<MESSAGE_NEW_DATA *>(pvMsg);
  if (pvMsg != ptMerge->pvNotice || pMsg->Header.Cmd != CMD_ID_NEW_DATA || pMsg->FourCharId != ptMerge->pElement->Id) {
    return false;
  }
  vFill(pMsg, *ptMerge->pElement);
  return true;
}

// Posts one notice, or brings the registration's unread one up to date; FALSE when no memory was free.
bool bPost(const DATABASE_ELEMENT &e, MAILBOX_LIST_NODE &r) {
  const MBOX Mailbox = r.Registration.Mailbox;
  MERGE tMerge = {r.pvNotice, &e};
  if (r.pvNotice != nullptr && L_MBOX_bUpdateQueued(Mailbox, bMerge, &tMerge)) return true;
  auto *pMsg = static_cast<MESSAGE_NEW_DATA *>(H_MEMORY_pvMallocNoWait(sizeof(MESSAGE_NEW_DATA)));
  if (pMsg == nullptr) return false;
  pMsg->Header.Cmd = CMD_ID_NEW_DATA;
  vFill(pMsg, e);
  r.pvNotice = nullptr;
  if (L_MBOX_Send(Mailbox, pMsg, DATABASE_PRIORITY, 0) != 0) {
    log_me("settings store: no mailbox %d for a notice", static_cast<int>(Mailbox));
    H_MEMORY_vFree(pMsg);
  } else {
    r.pvNotice = pMsg;
  }
  return true;
}

void vRetryPending() {
  for (U32 u32Index = 0; u32Index < kBuckets && s_u32Pending != 0; u32Index++) {
    for (DATABASE_LIST_NODE *p = s_pDataBase[u32Index]; p != nullptr; p = p->pNext) {
      for (MAILBOX_LIST_NODE *r = p->Element.pMboxList; r != nullptr; r = r->pNext) {
        if (!r->bPending) continue;
        if (!bPost(p->Element, *r)) return;  // still no memory
        r->bPending = FALSE;
        s_u32Pending--;
      }
    }
  }
}

// The notice step: every watcher whose wish matches what happened hears of it.
void vNotify(const DATABASE_ELEMENT &e, MBOX mboxExcept) {
  for (MAILBOX_LIST_NODE *r = e.pMboxList; r != nullptr; r = r->pNext) {
    const REGISTERED_MBOX &reg = r->Registration;
    if (reg.Mailbox == 0 || reg.Mailbox == mboxExcept) continue;
    const bool bWants = (reg.Condition.bChanged && e.Condition.bChanged) ||
                        (reg.Condition.bUpdated && e.Condition.bUpdated) ||
                        (reg.Condition.bInvalid && e.Condition.bInvalid);
    if (!bWants || r->bPending) continue;  // an owed notice will carry the newest value
    if (!bPost(e, *r)) {
      r->bPending = TRUE;
      s_u32Pending++;
    }
  }
  if (s_u32Pending != 0) vRetryPending();
}

void vSetAttributes(DATABASE_ELEMENT &e, DATA_TYPE DataType, const char *const *ppcText, U32 u32TimeOut) {
  e.ExtraData.DataType = DataType;
  e.ExtraData.ppcText = ppcText;
  if (u32TimeOut != 0) e.ExtraData.u32TimeOut = u32TimeOut;
}

void vAccept(DATABASE_ELEMENT &e, DB_DATA_TYPE dbValue, U32 u32Priority, U64 u64NowMs) {
  e.Condition.bChanged = (e.Condition.bInvalid || e.dbValue.RawData != dbValue.RawData) ? TRUE : FALSE;
  e.Condition.bUpdated = TRUE;
  e.Condition.bInvalid = FALSE;
  e.u32Priority = u32Priority;
  e.TimeStamp = u64NowMs;
  e.dbValue = dbValue;
  e.bCreated = TRUE;
}

// The one write of every form. pAttributes non-NULL for the write-everything forms.
BOOLEAN bWrite(FOURCHARID Id, DB_DATA_TYPE dbValue, U32 u32Priority, const DB_ATTRIBUTES *pAttributes,
               MBOX mboxExcept) {
  DbLock lock;
  DATABASE_ELEMENT *e = pFindOrCreate(lock, Id, nullptr);
  if (e == nullptr) return TRUE;
  const U64 u64NowMs = u64Now();
  if (u32Priority <= e->u32Priority || bTimedOut(*e, u64NowMs) || !e->bCreated) {
    vAccept(*e, dbValue, u32Priority, u64NowMs);
    if (pAttributes != nullptr) vSetAttributes(*e, pAttributes->DataType, pAttributes->ppcText, pAttributes->u32TimeOut);
    if (e->Condition.bChanged) vLogKeyChange(*e);
  } else if (pAttributes != nullptr && e->ExtraData.DataType == D_UNKNOWN && e->ExtraData.ppcText == nullptr &&
             e->ExtraData.u32TimeOut == DB_NO_TIMEOUT) {
    vSetAttributes(*e, pAttributes->DataType, pAttributes->ppcText, pAttributes->u32TimeOut);
  }
  vNotify(*e, mboxExcept);
  e->Condition.bChanged = FALSE;
  e->Condition.bUpdated = FALSE;
  return e->dbValue.RawData != dbValue.RawData ? TRUE : FALSE;
}

DB_DATA_TYPE dbU32(U32 u32Value) {
  DB_DATA_TYPE v{};
  v.u32Val = u32Value;
  return v;
}
DB_DATA_TYPE dbS32(S32 s32Value) {
  DB_DATA_TYPE v{};
  v.s32Val = s32Value;
  return v;
}
DB_DATA_TYPE dbFloat(float fValue) {
  DB_DATA_TYPE v{};
  v.fVal = fValue;
  return v;
}
DB_DATA_TYPE dbPointer(void *pvValue) {
  DB_DATA_TYPE v{};
  v.vpPointer = pvValue;
  return v;
}

[[noreturn]] void vFatal(U32 u32Line, const char *pcText) {
  ERROR_error("database.cpp", u32Line, pcText);
  U_RESET_vReset();
}

}  // namespace

void H_DATABASE_vInit(void) {
  DbLock lock;
  for (DATABASE_LIST_NODE *&pHead : s_pDataBase) pHead = nullptr;
  s_u32Pending = 0;
}

BOOLEAN H_DATABASE_bUpdateValue(FOURCHARID Id, DB_DATA_TYPE dbValue, U32 u32Priority) {
  return bWrite(Id, dbValue, u32Priority, nullptr, 0);
}
BOOLEAN H_DATABASE_bUpdateValueU32(FOURCHARID Id, U32 u32Value, U32 u32Priority) {
  return bWrite(Id, dbU32(u32Value), u32Priority, nullptr, 0);
}
BOOLEAN H_DATABASE_bUpdateValueS32(FOURCHARID Id, S32 s32Value, U32 u32Priority) {
  return bWrite(Id, dbS32(s32Value), u32Priority, nullptr, 0);
}
BOOLEAN H_DATABASE_bUpdateValueFloat(FOURCHARID Id, float fValue, U32 u32Priority) {
  return bWrite(Id, dbFloat(fValue), u32Priority, nullptr, 0);
}
BOOLEAN H_DATABASE_bUpdateValueBoolean(FOURCHARID Id, BOOLEAN bValue, U32 u32Priority) {
  return bWrite(Id, dbU32(bValue), u32Priority, nullptr, 0);
}
BOOLEAN H_DATABASE_bUpdateValueVoidPointer(FOURCHARID Id, void *pvValue, U32 u32Priority) {
  return bWrite(Id, dbPointer(pvValue), u32Priority, nullptr, 0);
}
BOOLEAN H_DATABASE_bUpdateValueU32Except(FOURCHARID Id, U32 u32Value, U32 u32Priority, MBOX mboxExcept) {
  return bWrite(Id, dbU32(u32Value), u32Priority, nullptr, mboxExcept);
}

BOOLEAN H_DATABASE_bUpdateEverything(FOURCHARID Id, DB_DATA_TYPE dbValue, U32 u32Priority, DATA_TYPE DataType,
                                     const char *const *ppcText, U32 u32TimeOut) {
  const DB_ATTRIBUTES attributes = {DataType, ppcText, u32TimeOut};
  return bWrite(Id, dbValue, u32Priority, &attributes, 0);
}
BOOLEAN H_DATABASE_bUpdateEverythingU32(FOURCHARID Id, U32 u32Value, U32 u32Priority, DATA_TYPE DataType,
                                        const char *const *ppcText, U32 u32TimeOut) {
  return H_DATABASE_bUpdateEverything(Id, dbU32(u32Value), u32Priority, DataType, ppcText, u32TimeOut);
}
BOOLEAN H_DATABASE_bUpdateEverythingS32(FOURCHARID Id, S32 s32Value, U32 u32Priority, DATA_TYPE DataType,
                                        const char *const *ppcText, U32 u32TimeOut) {
  return H_DATABASE_bUpdateEverything(Id, dbS32(s32Value), u32Priority, DataType, ppcText, u32TimeOut);
}
BOOLEAN H_DATABASE_bUpdateEverythingFloat(FOURCHARID Id, float fValue, U32 u32Priority, DATA_TYPE DataType,
                                          const char *const *ppcText, U32 u32TimeOut) {
  return H_DATABASE_bUpdateEverything(Id, dbFloat(fValue), u32Priority, DataType, ppcText, u32TimeOut);
}
BOOLEAN H_DATABASE_bUpdateEverythingBoolean(FOURCHARID Id, BOOLEAN bValue, U32 u32Priority, DATA_TYPE DataType,
                                            const char *const *ppcText, U32 u32TimeOut) {
  return H_DATABASE_bUpdateEverything(Id, dbU32(bValue), u32Priority, DataType, ppcText, u32TimeOut);
}
BOOLEAN H_DATABASE_bUpdateEverythingVoidPointer(FOURCHARID Id, void *pvValue, U32 u32Priority,
                                                DATA_TYPE DataType, const char *const *ppcText, U32 u32TimeOut) {
  return H_DATABASE_bUpdateEverything(Id, dbPointer(pvValue), u32Priority, DataType, ppcText, u32TimeOut);
}

void H_DATABASE_vReadOrSetDefault(FOURCHARID Id, DB_DATA_TYPE *pdbValue, U32 u32Priority,
                                  const DB_ATTRIBUTES *pAttributes) {
  DbLock lock;
  DATABASE_ELEMENT *e = pFindOrCreate(lock, Id, pAttributes);
  if (e == nullptr) return;
  if (e->bCreated) {
    if (pAttributes != nullptr) e->ExtraData = *pAttributes;
    *pdbValue = e->dbValue;
    return;
  }
  // No notice here: the flags stay set until the next write's notice step.
  vAccept(*e, *pdbValue, u32Priority, u64Now());
  if (pAttributes != nullptr) vSetAttributes(*e, pAttributes->DataType, pAttributes->ppcText, pAttributes->u32TimeOut);
}

BOOLEAN H_DATABASE_bFetch(FOURCHARID Id, DB_DATA_TYPE *pdbValue, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes) {
  DbLock lock;
  const DATABASE_ELEMENT *e = pFind(Id);
  if (e == nullptr || !e->bCreated) {
    if (pbValid != nullptr) *pbValid = FALSE;
    return FALSE;
  }
  if (pdbValue != nullptr) *pdbValue = e->dbValue;
  if (pAttributes != nullptr) *pAttributes = e->ExtraData;
  if (pbValid != nullptr) *pbValid = bTimedOut(*e, u64Now()) ? FALSE : TRUE;
  return TRUE;
}

namespace {

template <typename T>
BOOLEAN bFetchField(FOURCHARID Id, T *pDest, T DB_DATA_TYPE::*pField, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes) {
  DB_DATA_TYPE v;
  if (!H_DATABASE_bFetch(Id, &v, pbValid, pAttributes)) return FALSE;
  if (pDest != nullptr) *pDest = v.*pField;
  return TRUE;
}

}  // namespace

BOOLEAN H_DATABASE_bFetchMailbox(FOURCHARID Id, MBOX *pMbox) {
  U32 u32Mbox = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(Id, &u32Mbox, &bValid, nullptr) || !bValid) return FALSE;
  *pMbox = static_cast<MBOX>(u32Mbox);
  return TRUE;
}

BOOLEAN H_DATABASE_bFetchU32(FOURCHARID Id, U32 *pu32Value, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes) {
  return bFetchField(Id, pu32Value, &DB_DATA_TYPE::u32Val, pbValid, pAttributes);
}
BOOLEAN H_DATABASE_bFetchS32(FOURCHARID Id, S32 *ps32Value, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes) {
  return bFetchField(Id, ps32Value, &DB_DATA_TYPE::s32Val, pbValid, pAttributes);
}
BOOLEAN H_DATABASE_bFetchFloat(FOURCHARID Id, float *pfValue, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes) {
  return bFetchField(Id, pfValue, &DB_DATA_TYPE::fVal, pbValid, pAttributes);
}
BOOLEAN H_DATABASE_bFetchVoidPointer(FOURCHARID Id, void **ppvValue, BOOLEAN *pbValid,
                                     DB_ATTRIBUTES *pAttributes) {
  return bFetchField(Id, ppvValue, &DB_DATA_TYPE::vpPointer, pbValid, pAttributes);
}
BOOLEAN H_DATABASE_bFetchBoolean(FOURCHARID Id, BOOLEAN *pbValue, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes) {
  DB_DATA_TYPE v;
  if (!H_DATABASE_bFetch(Id, &v, pbValid, pAttributes)) return FALSE;
  *pbValue = static_cast<BOOLEAN>(v.u32Val & 0xFF);
  return TRUE;
}

BOOLEAN H_DATABASE_bFetchNextBeginningWith(MULTI_FETCH_CONTROL_STRUCTURE *pControl) {
  if (!pControl->__bNotFirst) {
    if (pControl->cMatch < 'A' || pControl->cMatch > 'Z') return FALSE;
    pControl->__bNotFirst = TRUE;
    pControl->__cMatch = pControl->cMatch;
    pControl->__index = 0;
    pControl->__pItem = nullptr;
  }
  DbLock lock;
  if (pControl->__index >= kBuckets) return FALSE;
  auto *p = static_cast<DATABASE_LIST_NODE *>(pControl->__pItem);
  p = p != nullptr ? p->pNext : s_pDataBase[pControl->__index];
  for (;;) {
    while (p == nullptr) {
      if (++pControl->__index >= kBuckets) {
        pControl->__pItem = nullptr;
        return FALSE;
      }
      p = s_pDataBase[pControl->__index];
    }
    if (p->Element.bCreated && static_cast<BYTE>(p->Element.Id & 0xFF) == pControl->__cMatch) break;
    p = p->pNext;
  }
  pControl->__pItem = p;
  pControl->id = p->Element.Id;
  pControl->data = p->Element.dbValue;
  pControl->extras = p->Element.ExtraData;
  pControl->bValid = bTimedOut(p->Element, u64Now()) ? FALSE : TRUE;
  return TRUE;
}

DATA_FORMAT H_DATABASE_DataType(DATA_TYPE DataType) {
  switch (DataType) {
    case D_UNKNOWN:
    case D_DATETIME:
    case D_TIME:
    case D_LONG_TIME:
    case D_MAILBOX:
    case D_FCID:
    case D_SAT_DATA:
      return DF_UNSIGNED32;
    case D_UNITS:
      return DF_ENUMERATED;
    case D_POINTER:
      return DF_VOID_POINTER;
    case D_POSITION_LAT_MM:
    case D_POSITION_LON_MM:
    case D_PERCENT:
    case D_SIGNED32:
    case D_ELEVATION_ANGLE:
      return DF_SIGNED32;
    case D_TEMPERATURE:
    case D_SPEED:
    case D_DISTANCE:
    case D_HEADING:
    case D_DEPTH:
    case D_PRESSURE:
    case D_VOLUME:
    case D_PH:
    case D_CONCENTRATION:
    case D_VOLTAGE:
    case D_CURRENT:
    case D_POSITION_LAT:
    case D_POSITION_LON:
    case D_ALTITUDE:
    case D_FLOAT:
    case D_TEMPERATURE_OFFSET:
      return DF_FLOAT;
    default:
      break;
  }
  vFatal(1148, "Invalid data type");
  return DF_ERROR;
}

void H_DATABASE_vDeleteEntry(FOURCHARID Id) {
  DbLock lock;
  if (DATABASE_ELEMENT *e = pFind(Id)) e->bCreated = FALSE;
}

BOOLEAN H_DATABASE_bRegisterForDataWithConditions(FOURCHARID Id, MBOX Mailbox, BOOLEAN bOnChange,
                                                  BOOLEAN bOnInvalid, BOOLEAN bOnUpdate) {
  const DB_CONDITION_FLAGS wish = {bOnChange, bOnUpdate, bOnInvalid};
  DbLock lock;
  DATABASE_ELEMENT *e = pFindOrCreate(lock, Id, nullptr);
  if (e == nullptr) return FALSE;
  auto findReg = [&]() -> MAILBOX_LIST_NODE * {
    for (MAILBOX_LIST_NODE *r = e->pMboxList; r != nullptr; r = r->pNext) {
      if (r->Registration.Mailbox == Mailbox) return r;
    }
    return nullptr;
  };
  if (MAILBOX_LIST_NODE *r = findReg()) {
    r->Registration.Condition = wish;
    return TRUE;
  }
  auto *pNew = static_cast<MAILBOX_LIST_NODE *>(pvAllocNode(lock, sizeof(MAILBOX_LIST_NODE)));
  if (MAILBOX_LIST_NODE *r = findReg()) {  // registered while the lock was let go
    if (pNew != nullptr) H_MEMORY_vFree(pNew);
    r->Registration.Condition = wish;
    return TRUE;
  }
  if (pNew == nullptr) {
    log_me("settings store: no memory to register mailbox %d", static_cast<int>(Mailbox));
    return FALSE;
  }
  pNew->Registration = {wish, Mailbox};
  pNew->bPending = FALSE;
  pNew->pvNotice = nullptr;
  pNew->pNext = e->pMboxList;
  e->pMboxList = pNew;
  return TRUE;
}

void H_DATABASE_vUnregisterMailbox(FOURCHARID Id, MBOX Mailbox) {
  DbLock lock;
  DATABASE_ELEMENT *e = pFind(Id);
  if (e == nullptr || !e->bCreated) return;
  MAILBOX_LIST_NODE **pp = &e->pMboxList;
  while (*pp != nullptr) {
    MAILBOX_LIST_NODE *r = *pp;
    if (r->Registration.Mailbox != Mailbox) {
      pp = &r->pNext;
      continue;
    }
    *pp = r->pNext;
    if (r->bPending) s_u32Pending--;
    H_MEMORY_vFree(r);
  }
}

void H_DATABASE_vSendAllInvalidData(void) {
  DbLock lock;
  const U64 u64NowMs = u64Now();
  for (DATABASE_LIST_NODE *pHead : s_pDataBase) {
    for (DATABASE_LIST_NODE *p = pHead; p != nullptr; p = p->pNext) {
      DATABASE_ELEMENT &e = p->Element;
      if (!e.bCreated || e.Condition.bInvalid || !bTimedOut(e, u64NowMs)) continue;
      e.Condition = {TRUE, TRUE, TRUE};
      vNotify(e, 0);
      e.Condition.bChanged = FALSE;
      e.Condition.bUpdated = FALSE;
    }
  }
  if (s_u32Pending != 0) vRetryPending();
}

void H_DATABASE_vRelinquishOwnership(FOURCHARID Id) {
  DbLock lock;
  DATABASE_ELEMENT *e = pFind(Id);
  if (e == nullptr || !e->bCreated) vFatal(988, "Requested ID not found");
  e->u32Priority = P_UNOWNED;
  e->Condition = {TRUE, TRUE, TRUE};
  vNotify(*e, 0);
  e->Condition.bChanged = FALSE;
  e->Condition.bUpdated = FALSE;
}

namespace {

// Bulk notices: a registered mailbox's unread notice of the item is brought up to date; otherwise a new one,
// which may wait for memory with the lock let go, like the node allocations.
void vSendBulk(const DbLock &lock, DATABASE_ELEMENT &e, MBOX Mailbox) {
  for (MAILBOX_LIST_NODE *r = e.pMboxList; r != nullptr; r = r->pNext) {
    if (r->Registration.Mailbox == Mailbox && bPost(e, *r)) return;
  }
  auto *pMsg = static_cast<MESSAGE_NEW_DATA *>(pvAllocNode(lock, sizeof(MESSAGE_NEW_DATA)));
  if (pMsg == nullptr) {
    log_me("settings store: no memory for a notice to mailbox %d", static_cast<int>(Mailbox));
    return;
  }
  pMsg->Header.Cmd = CMD_ID_NEW_DATA;
  vFill(pMsg, e);
  if (L_MBOX_Send(Mailbox, pMsg, DATABASE_PRIORITY, 0) != 0) H_MEMORY_vFree(pMsg);
}

}  // namespace

void H_DATABASE_vSendMailboxAllRegisteredItems(MBOX Mailbox) {
  DbLock lock;
  for (U32 u32Index = 0; u32Index < kBuckets; u32Index++) {
    for (DATABASE_LIST_NODE *p = s_pDataBase[u32Index]; p != nullptr; p = p->pNext) {
      if (!p->Element.bCreated) continue;
      for (MAILBOX_LIST_NODE *r = p->Element.pMboxList; r != nullptr; r = r->pNext) {
        if (r->Registration.Mailbox == Mailbox) {
          vSendBulk(lock, p->Element, Mailbox);
          break;
        }
      }
    }
  }
}

void H_DATABASE_vSendMailboxAllItemsBeginningWith(BYTE cMatch, MBOX Mailbox) {
  DbLock lock;
  for (U32 u32Index = 0; u32Index < kBuckets; u32Index++) {
    for (DATABASE_LIST_NODE *p = s_pDataBase[u32Index]; p != nullptr; p = p->pNext) {
      if (!p->Element.bCreated) continue;
      if (cMatch != 0 && static_cast<BYTE>(p->Element.Id & 0xFF) != cMatch) continue;
      vSendBulk(lock, p->Element, Mailbox);
    }
  }
}

U32 H_DATABASE_u32PendingNotices(void) {
  DbLock lock;
  return s_u32Pending;
}

// ---- Units ----

namespace {

const ARRAY_OF_STRING_PTRS s_acEmpty = SAME22("");
const ARRAY_OF_STRING_PTRS s_acStatMiles = SAME22("sm");
const ARRAY_OF_STRING_PTRS s_acKm = SAME22("km");
const ARRAY_OF_STRING_PTRS s_acKnots = SAME22("kts");
const ARRAY_OF_STRING_PTRS s_acMph = SAME22("mph");
const ARRAY_OF_STRING_PTRS s_acKph = SAME22("kph");
const ARRAY_OF_STRING_PTRS s_acMetres = SAME22("m");
const ARRAY_OF_STRING_PTRS s_acFeet = SAME22("ft");
const ARRAY_OF_STRING_PTRS s_acFathoms = SAME22("fthm");
const ARRAY_OF_STRING_PTRS s_acSeconds = SAME22("seconds");
const ARRAY_OF_STRING_PTRS s_acInchesHg = SAME22("In.Hg");
const ARRAY_OF_STRING_PTRS s_acMmHg = SAME22("mmHg");
const ARRAY_OF_STRING_PTRS s_acMillibar = SAME22("mb");
const ARRAY_OF_STRING_PTRS s_acHectopascals = SAME22("hPa");
const ARRAY_OF_STRING_PTRS s_acGallons = SAME22("U.S. Gallons");
const ARRAY_OF_STRING_PTRS s_acLitres = SAME22("Liters");
const ARRAY_OF_STRING_PTRS s_acVolts = SAME22("V");
const ARRAY_OF_STRING_PTRS s_acCelsius = SAME22("\xBA" "C");
const ARRAY_OF_STRING_PTRS s_acFahrenheit = SAME22("\xBA" "F");
const ARRAY_OF_STRING_PTRS s_acDegTrue = SAME22("\xBA" "t");
const ARRAY_OF_STRING_PTRS s_acDegMagnetic = SAME22("\xBA" "m");
const ARRAY_OF_STRING_PTRS s_acNautMiles = SAME22("nm");
const ARRAY_OF_STRING_PTRS s_acDegree = SAME22("\xBA");
const ARRAY_OF_STRING_PTRS s_acPsi = SAME22("PSI");
const ARRAY_OF_STRING_PTRS s_acKpa = SAME22("kpa");
#undef SAME22

const char *const *ppcUnitsText(UNIT_TYPE eUnits) {
  switch (eUnits) {
    case U_NONE:
    case U_MPS:
    case U_NAUT_MILES:
    case U_LATLON:
    case U_INCH:
    case U_M3:
    case U_PPMO2:
    case U_MOLPERM3:
    case U_AMPERES:
    case U_MILLIAMPERES:
      return s_acEmpty;
    case U_STAT_MILES: return s_acStatMiles;
    case U_KM: return s_acKm;
    case U_KNOTS: return s_acKnots;
    case U_MPH: return s_acMph;
    case U_KPH: return s_acKph;
    case U_METRES: return s_acMetres;
    case U_FEET: return s_acFeet;
    case U_FATHOMS: return s_acFathoms;
    case U_SECONDS: return s_acSeconds;
    case U_INCHESHG: return s_acInchesHg;
    case U_MMHG: return s_acMmHg;
    case U_MILLIBAR: return s_acMillibar;
    case U_HECTOPASCALS: return s_acHectopascals;
    case U_USGALLONS:
    case U_UKGALLONS:
      return s_acGallons;
    case U_LITRES: return s_acLitres;
    case U_VOLTS: return s_acVolts;
    case U_CELSIUS: return s_acCelsius;
    case U_FAHRENHEIT: return s_acFahrenheit;
    case U_DEG_TRUE: return s_acDegTrue;
    case U_DEG_MAGNETIC: return s_acDegMagnetic;
    case U_NAUT_MILES_FT:
    case U_NAUT_MILES_M:
      return s_acNautMiles;
    case U_DEG_GEOMETRIC: return s_acDegree;
    case U_PSI: return s_acPsi;
    case U_KPA: return s_acKpa;
    default:
      return nullptr;  // U_MINUTES and anything beyond the list
  }
}

}  // namespace

const char *H_DATABASE_pcUnitsString(UNIT_TYPE eUnits, U32 u32Language) {
  const char *const *ppcText = ppcUnitsText(eUnits);
  if (ppcText == nullptr) {
    vFatal(1330, "Unknown units");
    return "";
  }
  return ppcText[u32Language < NUMBER_OF_LANGUAGES ? u32Language : 0];
}

UNIT_TYPE H_DATABASE_CurrentUnits(DATA_TYPE DataType) {
  FOURCHARID Id;
  switch (DataType) {
    case D_TEMPERATURE:
    case D_TEMPERATURE_OFFSET: Id = FCID("SUTE"); break;
    case D_SPEED: Id = FCID("SUSP"); break;
    case D_DISTANCE: Id = FCID("SUDS"); break;
    case D_HEADING: Id = FCID("SUHD"); break;
    case D_DEPTH: Id = FCID("YUDP"); break;
    case D_PRESSURE: Id = FCID("SUPR"); break;
    case D_ALTITUDE: Id = FCID("SUAT"); break;
    default: return U_NONE;
  }
  U32 u32Units = 0;
  if (!H_DATABASE_bFetchU32(Id, &u32Units, nullptr, nullptr)) return U_NONE;
  return static_cast<UNIT_TYPE>(u32Units);
}

void H_DATABASE_vCheckForValidUnits(FOURCHARID Id, const UNIT_TYPE *peAllowed, U32 u32Count,
                                    UNIT_TYPE eDefault) {
  if (!MODEL_bDomesticModel()) return;
  U32 u32Value = 0;
  H_DATABASE_bFetchU32(Id, &u32Value, nullptr, nullptr);
  for (U32 u32Index = 0; peAllowed != nullptr && u32Index < u32Count; u32Index++) {
    if (static_cast<U32>(peAllowed[u32Index]) == u32Value) return;
  }
  H_DATABASE_bUpdateValue(Id, dbU32(static_cast<U32>(eDefault)), P_NORMAL);
}

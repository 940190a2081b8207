// Settings store: four-character keys with a 32-bit value, a data type and an owner priority.
// Only what the process start and the task entries use so far; the full store replaces this header.
#pragma once
#include "kernel/types.h"

typedef U32 FOURCHARID;

// The key written "SMDL" is 0x4C444D53: the first character in the low byte.
constexpr FOURCHARID FCID(const char (&acKey)[5]) {
  return static_cast<U32>(static_cast<U8>(acKey[0])) | static_cast<U32>(static_cast<U8>(acKey[1])) << 8 |
         static_cast<U32>(static_cast<U8>(acKey[2])) << 16 | static_cast<U32>(static_cast<U8>(acKey[3])) << 24;
}

typedef union {
  U32 RawData;
  U32 u32Val;
  S32 s32Val;
  float fVal;
  void *vpPointer;
} DB_DATA_TYPE;

typedef enum {
  D_UNKNOWN = 0,
  D_MAILBOX = 17,
} DATA_TYPE;

// Owner priorities: a smaller number is stronger.
enum : U32 {
  P_HIGHEST = 0,
  P_TESTMODE = 1,
  P_NORMAL = 2,
  P_DEFAULT_SETTING = 14,
  P_UNOWNED = 15,
};

#define DB_NO_TIMEOUT 0xFFFFFFFFu

typedef struct {
  DATA_TYPE DataType;
  const char *const *ppcText;  // 22-language display name, or NULL
  U32 u32TimeOut;              // seconds of validity, DB_NO_TIMEOUT for ever
} DB_ATTRIBUTES;

// Iteration over the items whose key begins with cMatch; clear __bNotFirst before the first call.
typedef struct {
  BYTE cMatch;
  BOOLEAN __bNotFirst;
  FOURCHARID id;
  DB_DATA_TYPE data;
  DB_ATTRIBUTES extras;
  BOOLEAN bValid;
  U32 __index;
  void *__pItem;
  BYTE __cMatch;
} MULTI_FETCH_CONTROL_STRUCTURE;

void H_DATABASE_vInit(void);
// TRUE when the write was refused and the item keeps another value.
BOOLEAN H_DATABASE_bUpdateEverythingU32(FOURCHARID Id, U32 u32Value, U32 u32Priority, DATA_TYPE DataType,
                                        const char *const *ppcText, U32 u32TimeOut);
BOOLEAN H_DATABASE_bUpdateValueU32(FOURCHARID Id, U32 u32Value, U32 u32Priority);
// TRUE when the item holds a written value.
BOOLEAN H_DATABASE_bFetchU32(FOURCHARID Id, U32 *pu32Value, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes);
BOOLEAN H_DATABASE_bFetchNextBeginningWith(MULTI_FETCH_CONTROL_STRUCTURE *pControl);
void H_DATABASE_vDeleteEntry(FOURCHARID Id);

// Every byte of memory and input of the decoder passes through these objects.
#include "jp2/jp2_memory.h"

#include <cstring>

S32 JP2_Memory_New(JP2_Memory **ppsOut, JP2_Callback_Malloc pfMalloc, void *pvMallocParam, JP2_Callback_Free pfFree,
                   void *pvFreeParam) {
  if (!ppsOut) return JP2_ERR_NULL_ARG;
  *ppsOut = nullptr;
  if (!pfMalloc) pfMalloc = JP2_Memory_Default_Malloc;
  if (!pfFree) pfFree = JP2_Memory_Default_Free;
  JP2_Memory *psMemory = (JP2_Memory *)pfMalloc(sizeof(JP2_Memory), pvMallocParam);
  if (!psMemory) return JP2_ERR_MEMORY;
  psMemory->pfMalloc = pfMalloc;
  psMemory->pvMallocParam = pvMallocParam;
  psMemory->pfFree = pfFree;
  psMemory->pvFreeParam = pvFreeParam;
  psMemory->s32RefCount = 1;
  *ppsOut = psMemory;
  return 0;
}

S32 JP2_Memory_Add_Ref(JP2_Memory *psMemory) {
  if (psMemory) psMemory->s32RefCount++;
  return 0;
}

S32 JP2_Memory_Delete(JP2_Memory **ppsMemory) {
  if (!ppsMemory || !*ppsMemory) return 0;
  JP2_Memory *psMemory = *ppsMemory;
  if (--psMemory->s32RefCount > 0) {
    *ppsMemory = nullptr;
    return 0;
  }
  JP2_Callback_Free pfFree = psMemory->pfFree;
  void *pvParam = psMemory->pvFreeParam;
  *ppsMemory = nullptr;
  return pfFree ? pfFree(psMemory, pvParam) : 0;
}

// Header in front of every block: 8 bytes keep the payload 8-byte aligned.
#define JP2_BLOCK_HEADER 8

void *JP2_Memory_Alloc(JP2_Memory *psMemory, S64 s64Size) {
  if (!psMemory || !psMemory->pfMalloc || s64Size <= 0 || s64Size > JP2_MEMORY_MAX_REQUEST) return nullptr;
  U8 *pu8 = (U8 *)psMemory->pfMalloc((U32)(s64Size + JP2_BLOCK_HEADER), psMemory->pvMallocParam);
  if (!pu8) return nullptr;
  return pu8 + JP2_BLOCK_HEADER;
}

void *JP2_Memory_Alloc_Zero(JP2_Memory *psMemory, S64 s64Size) {
  void *pv = JP2_Memory_Alloc(psMemory, s64Size);
  if (pv) memset(pv, 0, (size_t)s64Size);
  return pv;
}

S32 JP2_Memory_Free(JP2_Memory *psMemory, void *ppvBlock) {
  void **ppv = (void **)ppvBlock;
  if (!psMemory || !ppv || !*ppv) return 0;
  U8 *pu8 = (U8 *)*ppv - JP2_BLOCK_HEADER;
  *ppv = nullptr;
  return psMemory->pfFree ? psMemory->pfFree(pu8, psMemory->pvFreeParam) : 0;
}

void *JP2_Memory_Realloc(JP2_Memory *psMemory, void *pvOld, S64 s64OldSize, S64 s64NewSize) {
  if (!psMemory || !psMemory->pfMalloc || s64NewSize <= 0 || s64NewSize <= s64OldSize) return nullptr;
  U8 *pu8New = (U8 *)JP2_Memory_Alloc(psMemory, s64NewSize);
  // A failed allocation keeps the old block: the caller still owns it.
  if (!pu8New) return nullptr;
  S64 s64Copy = pvOld ? (s64OldSize > 0 ? s64OldSize : 0) : 0;
  if (s64Copy) memcpy(pu8New, pvOld, (size_t)s64Copy);
  memset(pu8New + s64Copy, 0, (size_t)(s64NewSize - s64Copy));
  if (pvOld) JP2_Memory_Free(psMemory, &pvOld);
  return pu8New;
}

void JP2_Memory_Align(U32 *pu32Value) {
  if (pu32Value) *pu32Value = (*pu32Value + 3u) & ~3u;
}

/* Read-data object */

S32 JP2_Read_Data_New(JP2_Read_Data **ppsOut, JP2_Memory *psMemory, JP2_Callback_Read pfRead, void *pvParam) {
  *ppsOut = nullptr;
  JP2_Read_Data *ps = (JP2_Read_Data *)JP2_Memory_Alloc(psMemory, sizeof(JP2_Read_Data));
  if (!ps) return JP2_ERR_MEMORY;
  ps->pfRead = pfRead;
  ps->pvParam = pvParam;
  ps->s32RefCount = 1;
  *ppsOut = ps;
  return 0;
}

S32 JP2_Read_Data_Add_Ref(JP2_Read_Data *psRead) {
  if (psRead) psRead->s32RefCount++;
  return 0;
}

S32 JP2_Read_Data_Delete(JP2_Read_Data **ppsRead, JP2_Memory *psMemory) {
  if (!ppsRead || !*ppsRead) return 0;
  if (--(*ppsRead)->s32RefCount > 0) {
    *ppsRead = nullptr;
    return 0;
  }
  return JP2_Memory_Free(psMemory, ppsRead);
}

U32 JP2_Read_Data_Array(JP2_Read_Data *psRead, U8 *pDest, U32 u32Offset, U32 u32Length) {
  if (!psRead || !psRead->pfRead || u32Length == 0) return 0;
  U32 u32Got = psRead->pfRead(pDest, u32Offset, u32Length, psRead->pvParam);
  return u32Got > u32Length ? u32Length : u32Got; // never trust more than was asked
}

/* Write-data object */

S32 JP2_Write_Data_New(JP2_Write_Data **ppsOut, JP2_Memory *psMemory, JP2_Callback_Write pfWrite, void *pvParam) {
  *ppsOut = nullptr;
  JP2_Write_Data *ps = (JP2_Write_Data *)JP2_Memory_Alloc(psMemory, sizeof(JP2_Write_Data));
  if (!ps) return JP2_ERR_MEMORY;
  ps->pfWrite = pfWrite;
  ps->pvParam = pvParam;
  ps->u32HighestEnd = 0;
  ps->s32RefCount = 1;
  *ppsOut = ps;
  return 0;
}

S32 JP2_Write_Data_Add_Ref(JP2_Write_Data *psWrite) {
  if (psWrite) psWrite->s32RefCount++;
  return 0;
}

S32 JP2_Write_Data_Delete(JP2_Write_Data **ppsWrite, JP2_Memory *psMemory) {
  if (!ppsWrite || !*ppsWrite) return 0;
  if (--(*ppsWrite)->s32RefCount > 0) {
    *ppsWrite = nullptr;
    return 0;
  }
  return JP2_Memory_Free(psMemory, ppsWrite);
}

S32 JP2_Write_Data_Set_Callback_Function(JP2_Write_Data *psWrite, JP2_Callback_Write pfWrite) {
  if (psWrite) psWrite->pfWrite = pfWrite;
  return 0;
}

S32 JP2_Write_Data_Set_Callback_Parameter(JP2_Write_Data *psWrite, void *pvParam) {
  if (psWrite) psWrite->pvParam = pvParam;
  return 0;
}

U32 JP2_Write_Data_Array(JP2_Write_Data *psWrite, const U8 *pData, U32 u32Offset, U32 u32Length) {
  if (!psWrite || !psWrite->pfWrite) return 0;
  if (psWrite->pfWrite(pData, u32Offset, u32Length, psWrite->pvParam) != 0) return 0;
  if (u32Offset + u32Length > psWrite->u32HighestEnd) psWrite->u32HighestEnd = u32Offset + u32Length;
  return u32Length;
}

/* External block store */

S32 JP2_External_Cache_New(JP2_External_Cache **ppsOut, JP2_Memory *psMemory, JP2_Read_Data *psRead,
                           JP2_Write_Data *psWrite, U32 u32BlockSize) {
  *ppsOut = nullptr;
  JP2_External_Cache *ps = (JP2_External_Cache *)JP2_Memory_Alloc_Zero(psMemory, sizeof(JP2_External_Cache));
  if (!ps) return JP2_ERR_MEMORY;
  ps->u32BlockSize = u32BlockSize ? u32BlockSize : 1024;
  ps->psRead = psRead;
  ps->psWrite = psWrite;
  ps->s32RefCount = 1;
  *ppsOut = ps;
  return 0;
}

S32 JP2_External_Cache_Add_Ref(JP2_External_Cache *psStore) {
  if (psStore) psStore->s32RefCount++;
  return 0;
}

S32 JP2_External_Cache_Delete(JP2_External_Cache **ppsStore, JP2_Memory *psMemory) {
  if (!ppsStore || !*ppsStore) return 0;
  JP2_External_Cache *ps = *ppsStore;
  if (--ps->s32RefCount > 0) {
    *ppsStore = nullptr;
    return 0;
  }
  S32 s32Err;
  if (ps->pu8Scratch && (s32Err = JP2_Memory_Free(psMemory, &ps->pu8Scratch)) != 0) return s32Err;
  if (ps->pu8InUse && (s32Err = JP2_Memory_Free(psMemory, &ps->pu8InUse)) != 0) return s32Err;
  return JP2_Memory_Free(psMemory, ppsStore);
}

U32 JP2_External_Cache_Get_Block_Size(JP2_External_Cache *psStore) { return psStore ? psStore->u32BlockSize : 0; }

S32 JP2_External_Cache_Alloc_Block(JP2_External_Cache *ps, JP2_Memory *psMemory, U32 *pu32Slot) {
  if (ps->u32NextFree >= ps->u32Slots) {
    U8 *pu8 = (U8 *)JP2_Memory_Realloc(psMemory, ps->pu8InUse, ps->u32Slots, (S64)ps->u32Slots + 32);
    if (!pu8) return JP2_ERR_MEMORY;
    ps->pu8InUse = pu8;
    ps->u32NextFree = ps->u32Slots;
    ps->u32Slots += 32;
  }
  U32 u32Slot = ps->u32NextFree;
  ps->pu8InUse[u32Slot] = 1;
  U32 u32Next = u32Slot + 1;
  while (u32Next < ps->u32Slots && ps->pu8InUse[u32Next]) u32Next++;
  ps->u32NextFree = u32Next;
  *pu32Slot = u32Slot;
  return 0;
}

S32 JP2_External_Cache_Free_Block(JP2_External_Cache *ps, U32 u32Slot) {
  if (!ps || u32Slot >= ps->u32Slots) return 0;
  ps->pu8InUse[u32Slot] = 0;
  if (u32Slot < ps->u32NextFree) ps->u32NextFree = u32Slot;
  return 0;
}

U8 *JP2_External_Cache_Get_Memory_Block(JP2_External_Cache *ps, JP2_Memory *psMemory) {
  if (!ps->pu8Scratch) ps->pu8Scratch = (U8 *)JP2_Memory_Alloc(psMemory, ps->u32BlockSize);
  return ps->pu8Scratch;
}

S32 JP2_External_Cache_Write_To_Block(JP2_External_Cache *ps, U32 u32Slot, U32 u32Offset, U32 u32Length,
                                      U32 *pu32Count, const U8 *pData) {
  *pu32Count = JP2_Write_Data_Array(ps->psWrite, pData, u32Slot * ps->u32BlockSize + u32Offset, u32Length);
  return 0;
}

S32 JP2_External_Cache_Read_From_Block(JP2_External_Cache *ps, U32 u32Slot, U32 u32Offset, U32 u32Length,
                                       U32 *pu32Count, U8 *pData) {
  *pu32Count = JP2_Read_Data_Array(ps->psRead, pData, u32Slot * ps->u32BlockSize + u32Offset, u32Length);
  return 0;
}

/* Read cache */

S32 JP2_Cache_New(JP2_Cache **ppsOut, JP2_Memory *psMemory, JP2_Read_Data *psRead, S32 s32Style, U32 u32BlockSize,
                  JP2_External_Cache *psExternal) {
  *ppsOut = nullptr;
  if (s32Style == 2 && !psExternal) return JP2_ERR_GENERAL;
  JP2_Cache *ps = (JP2_Cache *)JP2_Memory_Alloc_Zero(psMemory, sizeof(JP2_Cache));
  if (!ps) return JP2_ERR_MEMORY;
  ps->psMemory = psMemory;
  ps->psRead = psRead;
  ps->s32Style = s32Style;
  ps->psExternal = psExternal;
  if (s32Style == 2)
    ps->u32BlockSize = psExternal->u32BlockSize;
  else
    ps->u32BlockSize = u32BlockSize ? u32BlockSize : 1024;
  *ppsOut = ps;
  return 0;
}

static bool _JP2_Cache_Present(JP2_Cache *ps, U32 b) {
  if (b >= ps->u32Entries) return false;
  return ps->s32Style == 1 ? ps->ppu8Blocks[b] != nullptr : ps->pu32Slots[b] != 0;
}

static S32 _JP2_Cache_Release(JP2_Cache *ps, U32 b) {
  if (ps->s32Style == 1) return JP2_Memory_Free(ps->psMemory, &ps->ppu8Blocks[b]);
  if (ps->pu32Slots[b]) {
    JP2_External_Cache_Free_Block(ps->psExternal, ps->pu32Slots[b] - 1);
    ps->pu32Slots[b] = 0;
  }
  return 0;
}

static S32 _JP2_Cache_Ensure(JP2_Cache *ps, U32 b) {
  if (_JP2_Cache_Present(ps, b)) return 0;
  if (ps->s32Style == 1) {
    ps->ppu8Blocks[b] = (U8 *)JP2_Memory_Alloc_Zero(ps->psMemory, ps->u32BlockSize);
    return ps->ppu8Blocks[b] ? 0 : JP2_ERR_MEMORY;
  }
  U32 u32Slot;
  S32 s32Err = JP2_External_Cache_Alloc_Block(ps->psExternal, ps->psMemory, &u32Slot);
  if (s32Err) return s32Err;
  ps->pu32Slots[b] = u32Slot + 1;
  return 0;
}

static S32 _JP2_Cache_Grow(JP2_Cache *ps, U32 u32Last) {
  if (u32Last < ps->u32Entries) return 0;
  U32 u32New = u32Last == 0 ? 1 : (u32Last & ~31u) + 32;
  if (ps->s32Style == 1) {
    U8 **pp = (U8 **)JP2_Memory_Realloc(ps->psMemory, ps->ppu8Blocks, (S64)ps->u32Entries * sizeof(U8 *),
                                        (S64)u32New * sizeof(U8 *));
    if (!pp) return JP2_ERR_MEMORY;
    ps->ppu8Blocks = pp;
  } else {
    U32 *pu = (U32 *)JP2_Memory_Realloc(ps->psMemory, ps->pu32Slots, (S64)ps->u32Entries * 4, (S64)u32New * 4);
    if (!pu) return JP2_ERR_MEMORY;
    ps->pu32Slots = pu;
  }
  ps->u32Entries = u32New;
  return 0;
}

// Bytes held by block b.
static U32 _JP2_Cache_Fill_Of(JP2_Cache *ps, U32 b) {
  if (!_JP2_Cache_Present(ps, b)) return 0;
  U32 bs = ps->u32BlockSize;
  if (ps->u32KnownSize == 0) return 0;
  U32 K = (ps->u32KnownSize - 1) / bs;
  if (b == K) return (ps->u32KnownSize - 1) % bs + 1;
  return b < K ? bs : 0;
}

// Fills block b up to in-block end e from the source.
static S32 _JP2_Cache_Fill_Block(JP2_Cache *ps, U32 b, U32 e) {
  U32 bs = ps->u32BlockSize;
  U32 f = _JP2_Cache_Fill_Of(ps, b);
  if (e <= f) return 0;
  bool bKnown = ps->u32KnownSize > 0;
  U32 K = bKnown ? (ps->u32KnownSize - 1) / bs : 0;
  S32 s32Err = _JP2_Cache_Ensure(ps, b);
  if (s32Err) return s32Err;
  U64 u64Start = (U64)b * bs + f;
  U32 u32Want = e - f;
  if (u64Start + u32Want > 0xFFFFFFFFull) u32Want = (U32)(0xFFFFFFFFull - u64Start);
  U32 u32Got;
  if (ps->s32Style == 1) {
    u32Got = JP2_Read_Data_Array(ps->psRead, ps->ppu8Blocks[b] + f, (U32)u64Start, u32Want);
  } else {
    U8 *pu8Scratch = JP2_External_Cache_Get_Memory_Block(ps->psExternal, ps->psMemory);
    if (!pu8Scratch) return JP2_ERR_MEMORY;
    u32Got = JP2_Read_Data_Array(ps->psRead, pu8Scratch, (U32)u64Start, u32Want);
    U32 u32Put = 0;
    if (u32Got) JP2_External_Cache_Write_To_Block(ps->psExternal, ps->pu32Slots[b] - 1, f, u32Got, &u32Put, pu8Scratch);
    if (u32Put < u32Got) u32Got = u32Put;
  }
  if (bKnown && b < K && u32Got < u32Want) return _JP2_Cache_Release(ps, b);
  if (u32Got == 0) {
    if (f == 0) return _JP2_Cache_Release(ps, b);
    return 0;
  }
  U32 u32End = (U32)(u64Start + u32Got);
  if (u32End > ps->u32KnownSize) ps->u32KnownSize = u32End;
  return 0;
}

static S32 _JP2_Cache_Fill_Required(JP2_Cache *ps, U32 b, U32 s, U32 c) {
  if (!ps->psRead) return 0;
  U32 bs = ps->u32BlockSize;
  bool bKnown = ps->u32KnownSize > 0;
  U32 K = bKnown ? (ps->u32KnownSize - 1) / bs : 0;
  if ((bKnown && b > K) || (!bKnown && b > 0)) {
    if (bKnown && _JP2_Cache_Fill_Of(ps, K) < bs) {
      S32 s32Err = _JP2_Cache_Fill_Block(ps, K, bs);
      if (s32Err) return s32Err;
      if (_JP2_Cache_Fill_Of(ps, K) < bs) return 0; // the data ended inside block K
    }
    return _JP2_Cache_Fill_Block(ps, b, s + c);
  }
  if (b == K) return _JP2_Cache_Fill_Block(ps, b, s + c);
  return _JP2_Cache_Fill_Block(ps, b, bs);
}

static U32 _JP2_Cache_Copy_Out(JP2_Cache *ps, U32 b, U32 s, U32 n, U8 *pDest) {
  if (ps->s32Style == 1) {
    memcpy(pDest, ps->ppu8Blocks[b] + s, n);
    return n;
  }
  U32 u32Got = 0;
  JP2_External_Cache_Read_From_Block(ps->psExternal, ps->pu32Slots[b] - 1, s, n, &u32Got, pDest);
  return u32Got;
}

S32 JP2_Cache_Read(JP2_Cache *ps, U32 u32Offset, U32 u32Length, U32 *pu32Read, U8 *pDest) {
  if (pu32Read) *pu32Read = 0;
  if (!ps || u32Length == 0) return 0;
  if ((U64)u32Offset + u32Length > 0xFFFFFFFFull) u32Length = 0xFFFFFFFFu - u32Offset;
  if (u32Length == 0) return 0;
  if (ps->s32Style == 0) {
    U32 u32Got = JP2_Read_Data_Array(ps->psRead, pDest, u32Offset, u32Length);
    if (pu32Read) *pu32Read = u32Got;
    return 0;
  }
  U32 bs = ps->u32BlockSize;
  S32 s32Err = _JP2_Cache_Grow(ps, (U32)(((U64)u32Offset + u32Length - 1) / bs));
  if (s32Err) return s32Err;
  U32 b = u32Offset / bs, s = u32Offset % bs, u32Want = u32Length, u32Total = 0;
  for (;;) {
    U32 c = bs - s < u32Want ? bs - s : u32Want;
    s32Err = _JP2_Cache_Fill_Required(ps, b, s, c);
    if (s32Err) {
      if (pu32Read) *pu32Read = u32Total;
      return s32Err;
    }
    U32 u32Avail = _JP2_Cache_Fill_Of(ps, b);
    U32 u32Copy = s < u32Avail ? (c < u32Avail - s ? c : u32Avail - s) : 0;
    if (u32Copy) u32Copy = _JP2_Cache_Copy_Out(ps, b, s, u32Copy, pDest + u32Total);
    u32Total += u32Copy;
    u32Want -= u32Copy;
    if (u32Copy < c || u32Want == 0) break;
    b++;
    s = 0;
  }
  if (pu32Read) *pu32Read = u32Total;
  return 0;
}

static S32 _JP2_Cache_Read_BE(JP2_Cache *ps, U32 u32Offset, U32 u32N, U32 *pu32Value) {
  U8 au8[4];
  U32 u32Got = 0;
  *pu32Value = 0;
  S32 s32Err = JP2_Cache_Read(ps, u32Offset, u32N, &u32Got, au8);
  if (s32Err) return s32Err;
  if (u32Got < u32N) return JP2_ERR_SHORT_READ;
  U32 v = 0;
  for (U32 i = 0; i < u32N; i++) v = (v << 8) | au8[i];
  *pu32Value = v;
  return 0;
}

S32 JP2_Cache_Read_UChar(JP2_Cache *ps, U32 u32Offset, U8 *pu8Value) {
  U32 v;
  S32 s32Err = _JP2_Cache_Read_BE(ps, u32Offset, 1, &v);
  *pu8Value = (U8)v;
  return s32Err;
}

S32 JP2_Cache_Read_UShort(JP2_Cache *ps, U32 u32Offset, U16 *pu16Value) {
  U32 v;
  S32 s32Err = _JP2_Cache_Read_BE(ps, u32Offset, 2, &v);
  *pu16Value = (U16)v;
  return s32Err;
}

S32 JP2_Cache_Read_ULong(JP2_Cache *ps, U32 u32Offset, U32 *pu32Value) {
  return _JP2_Cache_Read_BE(ps, u32Offset, 4, pu32Value);
}

U32 JP2_Cache_Get_Size(JP2_Cache *ps) { return ps ? ps->u32KnownSize : 0; }
S32 JP2_Cache_Get_Style(JP2_Cache *ps) { return ps ? ps->s32Style : 1; }
JP2_External_Cache *JP2_Cache_Get_External(JP2_Cache *ps) { return ps ? ps->psExternal : nullptr; }

S32 JP2_Cache_Write(JP2_Cache *ps, U32 u32Offset, U32 u32Length, U32 *pu32Written, const U8 *pData) {
  if (pu32Written) *pu32Written = 0;
  if (!ps) return 0;
  if (ps->s32Style == 0) return JP2_ERR_GENERAL;
  if (u32Length == 0) return 0;
  if ((U64)u32Offset + u32Length > 0xFFFFFFFFull) u32Length = 0xFFFFFFFFu - u32Offset;
  U32 bs = ps->u32BlockSize;
  S32 s32Err = _JP2_Cache_Grow(ps, (U32)(((U64)u32Offset + u32Length - 1) / bs));
  if (s32Err) return s32Err;
  U32 b = u32Offset / bs, s = u32Offset % bs, u32Done = 0;
  while (u32Done < u32Length) {
    U32 c = bs - s < u32Length - u32Done ? bs - s : u32Length - u32Done;
    s32Err = _JP2_Cache_Fill_Required(ps, b, s, c);
    if (s32Err) return s32Err;
    s32Err = _JP2_Cache_Ensure(ps, b);
    if (s32Err) return s32Err;
    if (ps->s32Style == 1) {
      memcpy(ps->ppu8Blocks[b] + s, pData + u32Done, c);
    } else {
      U32 u32Put = 0;
      JP2_External_Cache_Write_To_Block(ps->psExternal, ps->pu32Slots[b] - 1, s, c, &u32Put, pData + u32Done);
    }
    u32Done += c;
    if (u32Offset + u32Done > ps->u32KnownSize) ps->u32KnownSize = u32Offset + u32Done;
    b++;
    s = 0;
  }
  if (pu32Written) *pu32Written = u32Done;
  return 0;
}

S32 JP2_Cache_Empty(JP2_Cache *ps) {
  if (!ps) return 0;
  for (U32 b = 0; b < ps->u32Entries; b++) {
    if (ps->s32Style == 1 && ps->ppu8Blocks && ps->ppu8Blocks[b]) {
      S32 s32Err = JP2_Memory_Free(ps->psMemory, &ps->ppu8Blocks[b]);
      if (s32Err) return s32Err;
    } else if (ps->s32Style == 2 && ps->pu32Slots) {
      _JP2_Cache_Release(ps, b);
    }
  }
  ps->u32KnownSize = 0;
  return 0;
}

S32 JP2_Cache_Resize(JP2_Cache *ps, U32 u32NewSize) {
  if (!ps || u32NewSize == 0 || u32NewSize >= ps->u32KnownSize || ps->s32Style == 0) return 0;
  U32 u32Keep = (u32NewSize - 1) / ps->u32BlockSize;
  for (U32 b = u32Keep + 1; b < ps->u32Entries; b++) {
    if (_JP2_Cache_Present(ps, b)) {
      S32 s32Err = _JP2_Cache_Release(ps, b);
      if (s32Err) return s32Err;
    }
  }
  ps->u32KnownSize = u32NewSize;
  return 0;
}

S32 JP2_Cache_Delete(JP2_Cache **ppsCache) {
  if (!ppsCache || !*ppsCache) return 0;
  JP2_Cache *ps = *ppsCache;
  JP2_Memory *psMemory = ps->psMemory;
  S32 s32Err;
  if (ps->s32Style == 1 && ps->ppu8Blocks) {
    for (U32 b = 0; b < ps->u32Entries; b++)
      if (ps->ppu8Blocks[b] && (s32Err = JP2_Memory_Free(psMemory, &ps->ppu8Blocks[b])) != 0) return s32Err;
    if ((s32Err = JP2_Memory_Free(psMemory, &ps->ppu8Blocks)) != 0) return s32Err;
  }
  if (ps->s32Style == 2 && ps->pu32Slots && (s32Err = JP2_Memory_Free(psMemory, &ps->pu32Slots)) != 0) return s32Err;
  return JP2_Memory_Free(psMemory, ppsCache);
}

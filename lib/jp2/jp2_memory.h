// Memory object, read-data and write-data objects, read cache and external block store.
#pragma once
#include "jp2/jp2_types.h"

struct JP2_Memory {
  JP2_Callback_Malloc pfMalloc;
  void *pvMallocParam;
  JP2_Callback_Free pfFree;
  void *pvFreeParam;
  S32 s32RefCount;
};

struct JP2_Read_Data {
  JP2_Callback_Read pfRead;
  void *pvParam;
  S32 s32RefCount;
};

struct JP2_Write_Data {
  JP2_Callback_Write pfWrite;
  void *pvParam;
  U32 u32HighestEnd;
  S32 s32RefCount;
};

struct JP2_External_Cache {
  U32 u32BlockSize;
  U32 u32Slots;
  U8 *pu8InUse;
  U32 u32NextFree;
  U8 *pu8Scratch;
  JP2_Read_Data *psRead;
  JP2_Write_Data *psWrite;
  S32 s32RefCount;
};

struct JP2_Cache {
  JP2_Memory *psMemory;
  JP2_Read_Data *psRead;
  U32 u32KnownSize;
  U32 u32BlockSize;
  S32 s32Style; // 0 no blocks, 1 memory blocks, 2 external store
  U32 u32Entries;
  U8 **ppu8Blocks;
  U32 *pu32Slots;
  JP2_External_Cache *psExternal;
};

// Largest block the decoder asks for; larger requests are refused.
#define JP2_MEMORY_MAX_REQUEST 0x7FFFFF00

void *JP2_Memory_Default_Malloc(U32 u32Size, void *pvParam);
S32 JP2_Memory_Default_Free(void *pvBlock, void *pvParam);

S32 JP2_Memory_New(JP2_Memory **ppsOut, JP2_Callback_Malloc pfMalloc, void *pvMallocParam, JP2_Callback_Free pfFree,
                   void *pvFreeParam);
S32 JP2_Memory_Add_Ref(JP2_Memory *psMemory);
S32 JP2_Memory_Delete(JP2_Memory **ppsMemory);
void *JP2_Memory_Alloc(JP2_Memory *psMemory, S64 s64Size);
S32 JP2_Memory_Free(JP2_Memory *psMemory, void *ppvBlock);
void *JP2_Memory_Realloc(JP2_Memory *psMemory, void *pvOld, S64 s64OldSize, S64 s64NewSize);
void JP2_Memory_Align(U32 *pu32Value);
// Allocates and zeroes.
void *JP2_Memory_Alloc_Zero(JP2_Memory *psMemory, S64 s64Size);

S32 JP2_Read_Data_New(JP2_Read_Data **ppsOut, JP2_Memory *psMemory, JP2_Callback_Read pfRead, void *pvParam);
S32 JP2_Read_Data_Add_Ref(JP2_Read_Data *psRead);
S32 JP2_Read_Data_Delete(JP2_Read_Data **ppsRead, JP2_Memory *psMemory);
U32 JP2_Read_Data_Array(JP2_Read_Data *psRead, U8 *pDest, U32 u32Offset, U32 u32Length);

S32 JP2_Write_Data_New(JP2_Write_Data **ppsOut, JP2_Memory *psMemory, JP2_Callback_Write pfWrite, void *pvParam);
S32 JP2_Write_Data_Add_Ref(JP2_Write_Data *psWrite);
S32 JP2_Write_Data_Delete(JP2_Write_Data **ppsWrite, JP2_Memory *psMemory);
S32 JP2_Write_Data_Set_Callback_Function(JP2_Write_Data *psWrite, JP2_Callback_Write pfWrite);
S32 JP2_Write_Data_Set_Callback_Parameter(JP2_Write_Data *psWrite, void *pvParam);
U32 JP2_Write_Data_Array(JP2_Write_Data *psWrite, const U8 *pData, U32 u32Offset, U32 u32Length);

S32 JP2_External_Cache_New(JP2_External_Cache **ppsOut, JP2_Memory *psMemory, JP2_Read_Data *psRead,
                           JP2_Write_Data *psWrite, U32 u32BlockSize);
S32 JP2_External_Cache_Add_Ref(JP2_External_Cache *psStore);
S32 JP2_External_Cache_Delete(JP2_External_Cache **ppsStore, JP2_Memory *psMemory);
U32 JP2_External_Cache_Get_Block_Size(JP2_External_Cache *psStore);
S32 JP2_External_Cache_Alloc_Block(JP2_External_Cache *psStore, JP2_Memory *psMemory, U32 *pu32Slot);
S32 JP2_External_Cache_Free_Block(JP2_External_Cache *psStore, U32 u32Slot);
U8 *JP2_External_Cache_Get_Memory_Block(JP2_External_Cache *psStore, JP2_Memory *psMemory);
S32 JP2_External_Cache_Write_To_Block(JP2_External_Cache *psStore, U32 u32Slot, U32 u32Offset, U32 u32Length,
                                      U32 *pu32Count, const U8 *pData);
S32 JP2_External_Cache_Read_From_Block(JP2_External_Cache *psStore, U32 u32Slot, U32 u32Offset, U32 u32Length,
                                       U32 *pu32Count, U8 *pData);

S32 JP2_Cache_New(JP2_Cache **ppsOut, JP2_Memory *psMemory, JP2_Read_Data *psRead, S32 s32Style, U32 u32BlockSize,
                  JP2_External_Cache *psExternal);
S32 JP2_Cache_Delete(JP2_Cache **ppsCache);
S32 JP2_Cache_Read(JP2_Cache *psCache, U32 u32Offset, U32 u32Length, U32 *pu32Read, U8 *pDest);
S32 JP2_Cache_Read_UChar(JP2_Cache *psCache, U32 u32Offset, U8 *pu8Value);
S32 JP2_Cache_Read_UShort(JP2_Cache *psCache, U32 u32Offset, U16 *pu16Value);
S32 JP2_Cache_Read_ULong(JP2_Cache *psCache, U32 u32Offset, U32 *pu32Value);
U32 JP2_Cache_Get_Size(JP2_Cache *psCache);
S32 JP2_Cache_Get_Style(JP2_Cache *psCache);
JP2_External_Cache *JP2_Cache_Get_External(JP2_Cache *psCache);
S32 JP2_Cache_Write(JP2_Cache *psCache, U32 u32Offset, U32 u32Length, U32 *pu32Written, const U8 *pData);
S32 JP2_Cache_Empty(JP2_Cache *psCache);
S32 JP2_Cache_Resize(JP2_Cache *psCache, U32 u32NewSize);

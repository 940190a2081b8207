// Decoding handle, image record, scale record and output format record.
#pragma once
#include "jp2/jp2_tile.h"

struct JP2_Read_Bits;
struct JP2_MQ_State;

#define JP2_HANDLE_VALID 67890
#define JP2_MAX_COMPONENTS 16384

struct JP2_TLM_Record {
  U32 u32Entries;
  U16 *pu16Tile;
  U32 *pu32Length;
};

struct JP2_TLM_Array {
  JP2_TLM_Record *apsSlot[256];
  U32 u32Slots;
  JP2_Memory *psMemory;
};

struct JP2_PPM_State {
  U32 u32HeaderChunk; // chunk holding the current tile-part's headers
  U32 u32NextChunk;
  U32 u32NextPos;     // logical position of the next Nppm field; 0 before the first tile-part
  S32 s32Started;
};

struct JP2_Image {
  U16 u16Rsiz;
  U32 u32Xsiz, u32Ysiz, u32XOsiz, u32YOsiz, u32XTsiz, u32YTsiz, u32XTOsiz, u32YTOsiz;
  U16 u16Csiz;
  U32 u32PlannedComps; // entries of the per-component arrays
  S8 *ps8Precision;
  U8 *pu8XRsiz, *pu8YRsiz;
  U32 *pu32OutRegion; // x0, x1, y0, y1 per component
  U32 *pu32RefRegion;
  U32 u32TilesAcross, u32TilesDown, u32Tiles;
  // PPM chunk table.
  U32 u32PpmCount;
  U32 *pu32PpmPos, *pu32PpmLen;
  JP2_PPM_State sPpm, sPpmSaved;
  JP2_Tile *psTiles;
  // Indexed by a sample's 3 x 3 significance window (row above in bits 0-2, own row 3-5, row below 6-8).
  U8 au8ZcLL[512], au8ZcHL[512], au8ZcHH[512];
  // Indexed by the four direct neighbours: bit 2i sign, bit 2i + 1 significance (up, left, right, down).
  U32 au32Sign[256];
  JP2_MQ_State *psMQStates;
  S32 s32IsJP2;
  JP2_TLM_Array *psTLM;
  U8 u8MaxLevels;
  U32 au32Region[4]; // reference region of the current call: x0, x1, y0, y1
  S32 s32Force32;
  // Main-header bookkeeping.
  S32 s32SeenCOD, s32SeenQCD, s32SeenSIZ;
  U32 *pu32CodeBlockBuffer; // of the tile being decoded
};

struct JP2_Meta_List {
  U32 *pu32Offset;
  U32 *pu32Length;
  U8 *pu8Id;
  S32 s32HasId;
  U32 u32Count;
  U32 u32Capacity;
};

struct JP2_CSpec_Record {
  S32 s32Code, s32Precedence, s32Approx;
};

struct JP2_CSpec_List {
  S32 *ps32Code;
  S32 *ps32Precedence;
  U32 *pu32ProfileLength;
  S32 *ps32Approx;
  U8 **ppu8Profile;
  JP2_CSpec_Record *psRecords;
  U32 u32Count;
  U32 u32Capacity;
  U32 u32Selected;
  S32 s32SelectedPrecedence;
};

struct JP2_Palette {
  U32 u32Entries;
  U32 u32Columns;
  U8 *pu8Precision;
  U8 *pu8Sign;
  U32 **ppu32Column;
};

struct JP2_CMap_Entry {
  U32 u32Comp, u32Type, u32Column, u32Reverse;
};

struct JP2_CDef_Entry {
  U32 u32Channel, u32Type, u32Assoc;
};

struct JP2_Channel_Entry {
  U32 u32Type, u32Assoc;
};

struct JP2_Resolution_Values {
  U16 u16VNum, u16VDen;
  S8 s8VExp;
  U16 u16HNum, u16HDen;
  S8 s8HExp;
};

struct JP2_Format {
  S32 s32OutByteOrder, s32NativeByteOrder;
  U8 u8Mct;
  U8 au8Flags[3];
  S32 s32ColourSpace;
  U8 *pu8Icc;
  U32 u32IccLength;
  S32 s32Restricted;
  U32 u32IccChannels;
  U32 au32Lab[7];
  S32 s32LabDefaults;
  JP2_Resolution_Values sCapture, sDisplay;
  // Per-component arrays.
  U32 *pu32Map;
  U32 *pu32OriginX, *pu32OriginY;
  U32 *pu32FullWidth, *pu32FullHeight;
  U32 *pu32OutWidth, *pu32OutHeight;
  U8 *pu8OutLine;
  S32 *aps32FormatLine[4];
};

struct JP2_Scale {
  U32 u32Identity;
  U32 u32Reduction;
  U32 u32Magnify;
  U32 u32Rows;
  U8 **ppu8Lines; // per component
  U8 *pu8Work;
  U8 *pu8Block;   // the whole work buffer
  S32 *ps32Output;
  U32 u32Stride; // samples per row of the residual row buffers
};

struct JP2_Output_Pair {
  JP2_Callback_Output pfOutput;
  void *pvParam;
};

struct JP2_Decomp {
  S32 s32Valid;
  JP2_Memory *psMemory;
  JP2_Image *psImage;
  JP2_Read_Data *psRead;
  JP2_Cache *psCache;
  JP2_Read_Bits *psBits;
  U32 u32FirstTilePart;
  JP2_Callback_Line_Start pfLineStart;
  void *pvLineStartParam;
  JP2_Format *psFormat;
  JP2_Output_Pair *psOutput;
  JP2_Scale *psScale;
  U32 u32BoxOffset, u32BoxLength;
  JP2_Meta_List sXml, sIpr, sUuid, sUuidInfo;
  U32 u32CodestreamOffset;
  U32 au32MainBookkeeping[2];
  JP2_Meta_List sCom;
  U8 *pu8Scratch;
  JP2_CSpec_List sCSpec;
  JP2_CMap_Entry *psCMap;
  U32 u32CMapCount;
  JP2_Palette *psPalette;
  JP2_CDef_Entry *psCDef;
  U32 u32CDefCount;
  JP2_Channel_Entry *psChannels;
  U32 u32Channels;
  U16 u16OutChannel;
  // Not part of the fixed plan: per-image memory and stored properties.
  U8 *pu8MainMemory;
  U32 u32Planned;
  S32 s32AdditionalDone;
  U8 *pu8Fixed;
};

S32 JP2_Image_New(JP2_Image **ppsOut, JP2_Memory *psMemory, U32 u32Components);
S32 JP2_Image_Delete(JP2_Image **ppsImage, JP2_Memory *psMemory);
S32 JP2_Decomp_New(JP2_Decomp **ppsOut, JP2_Cache *psCache, JP2_Read_Data *psRead, JP2_Read_Bits *psBits,
                   JP2_Memory *psMemory);
S32 JP2_Decomp_Check_Handle_and_Timeout(JP2_Decomp *psHandle);
// Widest tile-component of the image (lines are never longer); at least 1.
U32 JP2_Image_Max_Line_Width(JP2_Image *psImage);

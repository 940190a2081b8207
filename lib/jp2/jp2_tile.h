// Tile, tile-component, resolution, precinct, band and code-block records.
#pragma once
#include "jp2/jp2_memory.h"

struct JP2_Image;
struct JP2_Format;
struct JP2_Band_Buffer;

#define JP2_MAX_LEVELS 32
#define JP2_QUANT_ENTRIES 97

struct JP2_POC {
  U8 u8Order;
  U32 u32CompStart, u32CompEnd, u32LayerEnd, u32ResStart, u32ResEnd;
};

struct JP2_Tag_Tree {
  U32 u32Width, u32Height;
  S32 *ps32Leaf;   // leaf output array
  U32 u32Levels;
  S32 *ps32Value;  // per node: decoded value, or INT32_MAX while unknown
  S32 *ps32Low;    // per node: current lower bound
  U32 *pu32Level;  // per level: width, height, first node
  U32 u32Nodes;
  U32 u32Layer;
};

struct JP2_Prec_Band;

struct JP2_Block_Array {
  JP2_Prec_Band *psBand;
  U32 u32NomWidth, u32NomHeight;
  U32 u32MaxSegments;
  U32 u32Layers;
  U32 u32Count;
  U8 *pu8LBlock;
  U8 *pu8PassesRead;
  U32 *pu32SegLen;
  U8 *pu8Passes;     // per block and layer
  U32 *pu32CodeLen;  // per block and layer
  U32 *pu32CodePos;  // per block and layer
};

struct JP2_Prec_Band {
  U32 u32BlocksWide, u32BlocksHigh;
  S32 s32Mb;
  S32 *ps32Incl;     // inclusion leaf per code-block: -1 until included
  S32 *ps32Planes;   // bit-plane count per code-block
  JP2_Block_Array *psBlocks;
  U32 u32X0, u32Y0, u32X1, u32Y1;
  U32 u32GX0, u32GY0;
  JP2_Tag_Tree sIncl, sZero;
  float fStep, fScaledStep;
  S32 s32FixedStep, s32ScaledFixedStep;
  U32 u32ArrayBands; // bands of the array (first record)
  S32 *ps32Shared;   // block of the per-block arrays (first record)
};

struct JP2_Precinct {
  U32 u32X0, u32Y0, u32X1, u32Y1;
  S32 s32Empty;
  JP2_Prec_Band *psBands;
  U32 *pu32HeaderStart; // per layer
  U32 *pu32Processed;   // per layer
};

struct JP2_Resolution {
  U32 u32PPx, u32PPy;
  U32 u32PrecWide, u32PrecHigh;
  U32 u32Xcb, u32Ycb;
  U64 u64StepX, u64StepY;
  U32 u32X0, u32Y0, u32X1, u32Y1;
  U32 au32BandX0[4], au32BandY0[4], au32BandX1[4], au32BandY1[4];
  U32 u32Bands;
  JP2_Band_Buffer *apsBandBuffer[3];
  U32 u32PrecCounter;
  JP2_Precinct *psPrecincts;
};

struct JP2_Tile_Comp {
  // Filled by the marker readers.
  S32 s32CodingLevel;
  U8 u8Xcb, u8Ycb, u8Levels, u8Wavelet;
  U8 u8Bypass, u8Reset, u8TermAll, u8Causal, u8PredTerm, u8SegSym;
  U8 au8Precinct[JP2_MAX_LEVELS + 1];
  S32 s32QuantLevel;
  U8 u8QuantStyle, u8Guard;
  U32 au32Exponent[JP2_QUANT_ENTRIES], au32Mantissa[JP2_QUANT_ENTRIES];
  U8 u8RoiShift;
  // Geometry.
  U32 u32X0, u32Y0, u32X1, u32Y1;
  U32 u32FullWidth, u32FullHeight;
  JP2_Resolution *psResolutions;
  U32 u32DecodeCounter;
  // Decoding fields, set per call.
  S32 s32LineMode; // 0 16-bit lines, 1 32-bit lines
  S32 s32Simd;
  U32 u32OutWidth, u32OutHeight;
  U32 u32LineCounter;
  U8 u8SynthLevels;
  U32 u32DecWidth, u32DecHeight;
  U32 u32VStep;
  U32 u32Residual;
  U32 u32RowsProcessed, u32RowsWritten, u32RowLimit;
};

struct JP2_Tile {
  S32 s32CodingLevel;
  U8 u8Order;
  U16 u16Layers;
  U8 u8Mct, u8Sop, u8Eph;
  U32 u32X0, u32Y0, u32X1, u32Y1;
  JP2_POC *psPoc;
  U32 u32PocIndex, u32PocCount, u32PocTileCount, u32PocCountMain, u32PocCapacity;
  U32 u32BCompStart, u32BCompEnd, u32BResStart, u32BResEnd, u32BLayerEnd;
  U16 u16CurLayer, u16CurComp;
  U8 u8CurRes;
  U32 u32CurPrec;
  // Packet streams: headers either in the tile-part (physical positions) or in PPM/PPT (logical positions).
  U32 u32BodyPos, u32SavedHeaderPos, u32HeaderPos, u32EndLimit;
  S32 s32HeaderMode; // 0 in the tile-part, 1 PPM, 2 PPT
  JP2_Tile_Comp *psComps;
  U32 u32PptCount, u32PptCountMain;
  U32 *pu32PptPos, *pu32PptLen;
  U32 u32PptIndex;
  U8 *pu8CodeBlockBuffer;
  S32 s32Built;
  S32 s32Wanted;
  U32 u32PartsRead;
  void *apvSlots[3];
};

S32 JP2_Tile_Array_New(JP2_Tile **ppsOut, JP2_Memory *psMemory, JP2_Image *psImage, void *pvWriter);
S32 JP2_Tile_Array_Delete(JP2_Tile **ppsArray, JP2_Memory *psMemory, U32 u32Tiles);
S32 JP2_Tile_Allocate_Resolution_to_Block_Arrays(JP2_Tile *psTiles, JP2_Memory *psMemory, JP2_Image *psImage,
                                                 U32 u32Tile);
S32 JP2_Tile_Free_Resolution_to_Block_Arrays(JP2_Tile *psTiles, JP2_Memory *psMemory, JP2_Image *psImage, U32 u32Tile);

S32 JP2_Component_Array_New(JP2_Tile_Comp **ppsOut, JP2_Memory *psMemory, JP2_Image *psImage, U32 u32Tile,
                            JP2_Format *psFormat);
S32 JP2_Component_Array_Delete(JP2_Tile_Comp **ppsArray, JP2_Memory *psMemory);
S32 JP2_Component_Allocate_Resolution_to_Block_Arrays(JP2_Tile_Comp *psComps, JP2_Memory *psMemory, JP2_Image *psImage,
                                                      U32 u32Tile, U32 u32Comp);
S32 JP2_Component_Free_Resolution_to_Block_Arrays(JP2_Tile_Comp *psComps, JP2_Memory *psMemory, JP2_Image *psImage,
                                                  U32 u32Tile, U32 u32Comp);

S32 JP2_Tag_Free_Tree(JP2_Tag_Tree *psTree, JP2_Memory *psMemory);
S32 JP2_Resolution_Array_New(JP2_Resolution **ppsOut, JP2_Memory *psMemory, JP2_Image *psImage, U32 u32Tile,
                             U32 u32Comp);
S32 JP2_Resolution_Array_Delete(JP2_Resolution **ppsArray, JP2_Memory *psMemory);
S32 JP2_Precinct_Array_New(JP2_Precinct **ppsOut, JP2_Memory *psMemory, JP2_Tile *psTile, JP2_Resolution *psRes);
S32 JP2_Precinct_Array_Delete(JP2_Precinct **ppsArray, JP2_Memory *psMemory);
U32 JP2_Precinct_Array_Get_Processed(JP2_Precinct *psPrec, U32 u32Layer);
S32 JP2_Precinct_Array_Set_Processed(JP2_Precinct *psPrec, U32 u32Layer);
U32 JP2_Precinct_Array_Approx_Packet_Header_Size(JP2_Precinct *psPrec);
S32 JP2_Band_Array_New(JP2_Prec_Band **ppsOut, JP2_Memory *psMemory, JP2_Resolution *psRes, U32 u32Resolution,
                       JP2_Precinct *psPrec);
S32 JP2_Band_Array_Delete(JP2_Prec_Band **ppsArray, JP2_Memory *psMemory);
S32 JP2_Block_Array_New(JP2_Block_Array **ppsOut, JP2_Memory *psMemory, JP2_Tile_Comp *psComp, JP2_Prec_Band *psBand,
                        U32 u32Layers, U32 u32NomWidth, U32 u32NomHeight);
S32 JP2_Block_Array_Delete(JP2_Block_Array **ppsArray, JP2_Memory *psMemory);
S32 JP2_Block_Array_Reset(JP2_Block_Array *psArray);

U32 JP2_Block_Array_Get_LBlock(JP2_Block_Array *a, U32 k);
S32 JP2_Block_Array_Increment_LBlock(JP2_Block_Array *a, U32 k);
S32 JP2_Block_Array_Reset_LBlock(JP2_Block_Array *a, U32 k);
U32 JP2_Block_Array_Get_Passes_Read(JP2_Block_Array *a, U32 k);
S32 JP2_Block_Array_Add_Passes_Read(JP2_Block_Array *a, U32 k, U32 n);
U32 JP2_Block_Array_Get_Code_Passes(JP2_Block_Array *a, U32 k, U32 l);
S32 JP2_Block_Array_Set_Code_Passes(JP2_Block_Array *a, U32 k, U32 l, U32 n);
U32 JP2_Block_Array_Get_Code_Length(JP2_Block_Array *a, U32 k, U32 l);
S32 JP2_Block_Array_Set_Code_Length(JP2_Block_Array *a, U32 k, U32 l, U32 n);
S32 JP2_Block_Array_Add_Code_Length(JP2_Block_Array *a, U32 k, U32 l, U32 n);
U32 JP2_Block_Array_Get_Code_Position(JP2_Block_Array *a, U32 k, U32 l);
S32 JP2_Block_Array_Set_Code_Position(JP2_Block_Array *a, U32 k, U32 l, U32 p);
S32 JP2_Block_Array_Add_Segment_Length(JP2_Block_Array *a, U32 k, U32 s, U32 n);
U32 *JP2_Block_Array_Get_Segment_Length_Array(JP2_Block_Array *a, U32 k);
S32 JP2_Block_Array_Get_Position(JP2_Block_Array *a, U32 k, U32 *x, U32 *y, U32 *w, U32 *h);

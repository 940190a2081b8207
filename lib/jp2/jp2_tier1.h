// Tier 1: code-block decoding into the tile's code-block buffer.
#pragma once
#include "jp2/jp2_image.h"

// Words of the code-block buffer for a block of the given size (stripes of four rows, one border each side).
U32 JP2_EBCOT_Buffer_Words(U32 u32Width, U32 u32Height);
// The decoded coefficients of a block in the buffer: rows of u32Width words.
U32 *JP2_EBCOT_Coefficients(U32 *pu32Buffer, U32 u32Width, U32 u32Height);
S32 JP2_EBCOT_Decode_Block(JP2_Image *psImage, JP2_Tile_Comp *psComp, JP2_Prec_Band *psBand, U32 u32Block,
                           const U8 *pu8ZcTable, U32 u32Layers, JP2_Memory *psMemory, JP2_Cache *psCache);

// Dequantisation: per-band step sizes and the rewrite of code-block indices into coefficients.
#pragma once
#include "jp2/jp2_image.h"

S32 JP2_Dequant_Calculate_Step_Sizes(JP2_Image *psImage, U32 u32Tile);
// Scaled steps of a precinct band for the band scale factor S (computed once).
S32 JP2_Dequant_Scale_Steps(JP2_Prec_Band *psBand, float fScale);
// The words hold sign and magnitude in half-step units (tier 1 leaves each at the midpoint of its own last coded
// interval); they become coefficients in the line mode's form.
S32 JP2_Dequant_Block(JP2_Prec_Band *psBand, U32 u32Width, U32 u32Height, U32 *pu32Words, S32 s32Irreversible,
                      U32 u32Shift, S32 s32Fixed);

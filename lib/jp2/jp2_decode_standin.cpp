// Stand-in until tile decoding lands: decoding calls read tile-parts and deliver no lines.
#include "jp2/jp2_decomp.h"
#include "jp2/jp2_partial.h"

S32 JP2_Decomp_Decode_Tile(JP2_Decomp *h, U32 u32Tile) {
  return JP2_Tile_Free_Resolution_to_Block_Arrays(h->psImage->psTiles, h->psMemory, h->psImage, u32Tile);
}
S32 JP2_Scale_Init_Structure(JP2_Decomp *) { return 0; }
S32 JP2_Scale_Free_Structure(JP2_Decomp *) { return 0; }

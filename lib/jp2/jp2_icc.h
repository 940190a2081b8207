// Examination of ICC profiles carried by colour boxes (colr).
#pragma once
#include "jp2/jp2_types.h"

struct JP2_ICC_Header {
  U32 u32Size, u32Cmm, u32Version, u32Class, u32ColourSpace, u32Pcs;
  U16 au16Date[6];
  U32 u32Signature, u32Platform, u32Flags, u32Manufacturer, u32Model;
  U32 au32Attributes[2];
  U32 u32Intent;
  U32 au32Illuminant[3];
  U32 u32Creator;
  U8 au8Id[16];
};

S32 JP2_ICC_Check(JP2_ICC_Header *psHeader, const U8 *pu8Profile, U32 u32Length, S32 *ps32Restricted,
                  U32 *pu32Channels);

// Memory-cursor readers of the chart display: little-endian fields of a record copied into memory.
#pragma once
#include "chartlib/chartlib_types.h"

// A read position inside a buffer of Size bytes; reads past the end give zero bytes (floats: the
// no-value marker) and still advance Pos.
struct CH_MEM_CURSOR {
  const UCHAR *Base;
  ULONG Pos;
  ULONG Size;
};

SINT ch_ReadByteCache(CH_MEM_CURSOR *cursor);        // signed 8 bits
SINT ch_ReadWordCache(CH_MEM_CURSOR *cursor);        // signed 16 bits
ULONG ch_GetChUDblWordCache(CH_MEM_CURSOR *cursor);  // unsigned 32 bits
DOUBLE ch_ReadFloatCache(CH_MEM_CURSOR *cursor);     // IEEE single, or the no-value marker

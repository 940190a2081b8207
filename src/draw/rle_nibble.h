// The run-length code on 4-bit values used by icons; the marker is the least used value of a stream.
#pragma once
#include "corvan/types.h"

// The decoder's cursor into one stream; lives on the caller's stack.
typedef struct {
  const U8 *pu8Data; // byte holding the next nibble
  BOOLEAN bHighNibble; // next nibble is the high half of *pu8Data
  U8 u8Marker;
  U8 u8Nibble; // value returned last
  int nRepeat; // how many more times u8Nibble is still to be returned
} NIBBLE_RLE_STATE;

void U_RLE_NIBBLE_vInit(NIBBLE_RLE_STATE *pState, const U8 *pu8Data);
U8 U_RLE_NIBBLE_u8GetNext(NIBBLE_RLE_STATE *pState);
// Encodes the 2 x nLength nibbles at pu8Long into pu8Short (which must hold nLength bytes); returns the
// stream's length in bytes, -1 when it would not be shorter than the input, 1 when nLength <= 0.
int U_RLE_NIBBLE_nCompress(const U8 *pu8Long, U8 *pu8Short, int nLength);
BOOLEAN U_RLE_NIBBLE_bVerify(const U8 *pu8Long, const U8 *pu8Short, int nLength);
void U_RLE_NIBBLE_vDecompress(U8 *pu8Long, const U8 *pu8Short, int nLength);

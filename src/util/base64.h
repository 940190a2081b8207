// Base64 (RFC 4648 alphabet, "=" padding). Results are allocated with malloc; the caller frees them.
#pragma once
#include "corvan/types.h"

// FALSE for a length that is not a multiple of 4, a character outside the alphabet and "=", or "=" before the
// last three positions; TRUE for the empty text.
BOOLEAN BASE64_bIsBase64(const char *pcInput);
// NULL for a NULL buffer or a length of 0; the empty text for a negative length.
char *BASE64_pcEncode(const U8 *pu8Buffer, int nBufferLen);
// Decodes groups of four characters; the byte count goes to *pnBufferLen. Check the text with
// BASE64_bIsBase64 first: other characters decode to arbitrary bits.
U8 *BASE64_pu8Decode(const char *pcInput, int *pnBufferLen);

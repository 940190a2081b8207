// Bytes to and from hexadecimal text.
#pragma once
#include "corvan/types.h"

// Writes 2 * u32Count upper-case hexadecimal digits, high nibble first; no terminator.
void U_HEX_v2ASCII(const U8 *u8Input, char *u8Output, U32 u32Count);
// Reads 2 * u32Count characters into u32Count bytes; lower case is accepted, nothing is validated.
void U_HEX_v2Hex(const char *pInput, U8 *pOutput, U32 u32Count);

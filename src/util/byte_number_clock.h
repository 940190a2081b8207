// Byte order, base-36 digits of the settings file slots and the block copy.
#pragma once
#include <cstddef>

#include "kernel/types.h"

// The four bytes reversed.
U32 DD_UTIL_EndianSwap(U32 u32Value);
// "0"-"9" → 0-9, "A"-"Z" → 10-35, anything else 0 (low 7 bits only).
U32 DD_UTIL_XlatCapNumeric(U32 u32Char);
// 0-9 → "0"-"9", larger values "A" onward.
char DD_UTIL_FormCapNumeric(U32 u32Digit);
// Copies u32Count bytes; the areas must not overlap.
void DD_UTIL_Memcpy(void *pvDest, const void *pvSource, U32 u32Count);

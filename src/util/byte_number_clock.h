// Byte order, base-36 digits of the settings file slots, the block copy, number texts and setting the calendar
// clock from navigation time.
#pragma once
#include <cstddef>

#include "corvan/types.h"

// The four bytes reversed.
U32 DD_UTIL_EndianSwap(U32 u32Value);
// "0"-"9" → 0-9, "A"-"Z" → 10-35, anything else 0 (low 7 bits only).
U32 DD_UTIL_XlatCapNumeric(U32 u32Char);
// 0-9 → "0"-"9", larger values "A" onward.
char DD_UTIL_FormCapNumeric(U32 u32Digit);
// Copies u32Count bytes; the areas must not overlap.
void DD_UTIL_Memcpy(void *pvDest, const void *pvSource, U32 u32Count);

// Writes the value as text (a leading "-" for negative values); returns the buffer.
char *itoa(S32 s32Value, char *pcBuffer, S32 s32Radix);
// The value of the leading hexadecimal digits; letters beyond "F" count on (G = 16 ... Z = 35).
long atoh(const char *pcText);
// Sets the system clock to the given UTC time when it differs from the last time set by an hour or more.
void L_UTILS_vSetSysDate(U32 u32Time);
// The same; TRUE when the clock was set, FALSE when the time was within the hour and ignored.
BOOLEAN L_UTILS_bSetSysDate(U32 u32Time);

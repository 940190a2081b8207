// Number texts and setting the calendar clock from navigation time.
#pragma once
#include "kernel/types.h"

// Writes the value as text (a leading "-" for negative values); returns the buffer.
char *itoa(S32 s32Value, char *pcBuffer, S32 s32Radix);
// The value of the leading hexadecimal digits; letters beyond "F" count on (G = 16 ... Z = 35).
long atoh(const char *pcText);
// Sets the system clock to the given UTC time when it differs from the last time set by an hour or more.
void L_UTILS_vSetSysDate(U32 u32Time);
// The same; TRUE when the clock was set, FALSE when the time was within the hour and ignored.
BOOLEAN L_UTILS_bSetSysDate(U32 u32Time);

// Stand-in until the settings-store work brings the block copy.
#pragma once
#include "kernel/types.h"

// Copies u32Count bytes; the areas must not overlap. Returns the destination.
void *DD_UTIL_Memcpy(void *pvDest, const void *pvSrc, U32 u32Count);

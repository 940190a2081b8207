// Stand-in until the settings-store work brings the vector block copy.
#include "kernel/util_standin.h"

#include <cstring>

void *DD_UTIL_Memcpy(void *pvDest, const void *pvSrc, U32 u32Count)
{
    return std::memcpy(pvDest, pvSrc, u32Count);
}

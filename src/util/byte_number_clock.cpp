#include "util/byte_number_clock.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

#include "platform/shell.h"

U32 DD_UTIL_EndianSwap(U32 u32Value) {
  return (u32Value >> 24) | ((u32Value >> 8) & 0xFF00u) | ((u32Value << 8) & 0xFF0000u) | (u32Value << 24);
}

U32 DD_UTIL_XlatCapNumeric(U32 u32Char) {
  const U32 c = u32Char & 0x7F;
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 0;
}

char DD_UTIL_FormCapNumeric(U32 u32Digit) {
  return static_cast<char>(u32Digit <= 9 ? u32Digit + '0' : u32Digit + 55);
}

namespace {

// Fixed-size copies compile to plain (vector) moves.
template <size_t N>
inline void vMove(U8 *&pDest, const U8 *&pSource) {
  std::memcpy(pDest, pSource, N);
  pDest += N;
  pSource += N;
}

inline void vTail(U8 *&pDest, const U8 *&pSource, U32 u32Count) {
  if (u32Count & 8) vMove<8>(pDest, pSource);
  if (u32Count & 4) vMove<4>(pDest, pSource);
  if (u32Count & 2) vMove<2>(pDest, pSource);
  if (u32Count & 1) vMove<1>(pDest, pSource);
}

}  // namespace

// The board copies with the vector unit: the destination is aligned to 16 bytes, 32-byte blocks follow with a
// read-ahead hint, then the rest. Here the block run is handed to the C library's copy, which uses the widest
// vector unit of the host; the alignment and tail steps are the same.
void DD_UTIL_Memcpy(void *pvDest, const void *pvSource, U32 u32Count) {
  auto *pDest = static_cast<U8 *>(pvDest);
  auto *pSource = static_cast<const U8 *>(pvSource);
  if (u32Count < 16) {
    vTail(pDest, pSource, u32Count);
    return;
  }
  const U32 u32Misalign = static_cast<U32>((16 - (reinterpret_cast<uintptr_t>(pDest) & 15)) & 15);
  if (u32Misalign & 1) vMove<1>(pDest, pSource);
  if (u32Misalign & 2) vMove<2>(pDest, pSource);
  if (u32Misalign & 4) vMove<4>(pDest, pSource);
  if (u32Misalign & 8) vMove<8>(pDest, pSource);
  u32Count -= u32Misalign;

  const U32 u32Blocks = u32Count & ~31u;
  std::memcpy(pDest, pSource, u32Blocks);
  pDest += u32Blocks;
  pSource += u32Blocks;
  u32Count -= u32Blocks;
  if (u32Count & 16) vMove<16>(pDest, pSource);
  vTail(pDest, pSource, u32Count);
}

char *itoa(S32 s32Value, char *pcBuffer, S32 s32Radix) {
  char acDigits[16];
  char *pcOut = pcBuffer;
  U32 u32Magnitude = static_cast<U32>(s32Value);
  if (s32Value < 0) {
    *pcOut++ = '-';
    u32Magnitude = 0u - u32Magnitude;
  }
  const U32 u32Radix = (s32Radix >= 2 && s32Radix <= 36) ? static_cast<U32>(s32Radix) : 10;
  int nDigits = 0;
  do {
    acDigits[nDigits++] = DD_UTIL_FormCapNumeric(u32Magnitude % u32Radix);
    u32Magnitude /= u32Radix;
  } while (u32Magnitude != 0 && nDigits < static_cast<int>(sizeof acDigits));
  while (nDigits > 0) *pcOut++ = acDigits[--nDigits];
  *pcOut = '\0';
  return pcBuffer;
}

long atoh(const char *pcText) {
  unsigned long ulResult = 0;
  for (; *pcText != '\0'; pcText++) {
    char c = *pcText;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    unsigned long ulDigit;
    if (c >= '0' && c <= '9') {
      ulDigit = static_cast<unsigned long>(c - '0');
    } else if (c >= 'A' && c <= 'Z') {
      ulDigit = static_cast<unsigned long>(c - 'A' + 10);
    } else {
      break;
    }
    ulResult = ulResult * 16 + ulDigit;
  }
  return static_cast<long>(ulResult);
}

void L_UTILS_vSetSysDate(U32 u32Time) { L_UTILS_bSetSysDate(u32Time); }

BOOLEAN L_UTILS_bSetSysDate(U32 u32Time) {
  static std::mutex s_lock;
  static U32 s_u32LastSet;
  {
    std::lock_guard<std::mutex> guard(s_lock);
    const U32 u32Diff = u32Time >= s_u32LastSet ? u32Time - s_u32LastSet : s_u32LastSet - u32Time;
    if (u32Diff < 3600) return FALSE;
    s_u32LastSet = u32Time;
  }
  const time_t t = static_cast<time_t>(u32Time);
  struct tm tmUtc;
  gmtime_r(&t, &tmUtc);
  char acCommand[96];
  std::snprintf(acCommand, sizeof acCommand, "date -u -s %4d.%02d.%02d-%02d:%02d:%02d > /dev/null",
                tmUtc.tm_year + 1900, tmUtc.tm_mon + 1, tmUtc.tm_mday, tmUtc.tm_hour, tmUtc.tm_min, tmUtc.tm_sec);
  H_SHELL_nRun(acCommand);
  return TRUE;
}

#include "kernel/utils.h"

#include <cstdio>
#include <ctime>
#include <mutex>

#include "kernel/util.h"
#include "platform/shell.h"

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

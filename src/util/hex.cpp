#include "util/hex.h"

#include <cctype>

namespace {

int DigitValue(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u <= '9') return u - 48;
  return std::toupper(u) - 55;
}

}  // namespace

void U_HEX_v2ASCII(const U8 *u8Input, char *u8Output, U32 u32Count) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (U32 i = 0; i < u32Count; ++i) {
    u8Output[2 * i] = kDigits[u8Input[i] >> 4];
    u8Output[2 * i + 1] = kDigits[u8Input[i] & 0x0F];
  }
}

void U_HEX_v2Hex(const char *pInput, U8 *pOutput, U32 u32Count) {
  for (U32 i = 0; i < u32Count; ++i) {
    int value = DigitValue(pInput[2 * i]) * 16 + DigitValue(pInput[2 * i + 1]);
    pOutput[i] = static_cast<U8>(value & 0xFF);
  }
}

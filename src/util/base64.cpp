#include "util/base64.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char s_cBase64Chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';
constexpr U8 kPadValue = 64;
constexpr U8 kInvalid = 65;

constexpr std::array<U8, 256> MakeDecodeTable() {
  std::array<U8, 256> table{};
  for (auto &entry : table) entry = kInvalid;
  for (U8 i = 0; i < 64; ++i) table[static_cast<unsigned char>(s_cBase64Chars[i])] = i;
  table[static_cast<unsigned char>(kPad)] = kPadValue;
  return table;
}

constexpr std::array<U8, 256> s_u8Base64Decode = MakeDecodeTable();

U8 Value(char c) { return s_u8Base64Decode[static_cast<unsigned char>(c)]; }

}  // namespace

BOOLEAN BASE64_bIsBase64(const char *pcInput) {
  if (pcInput == nullptr) return FALSE;
  size_t len = std::strlen(pcInput);
  if (len % 4 != 0) return FALSE;
  for (size_t i = 0; i < len; ++i) {
    U8 v = Value(pcInput[i]);
    if (v == kInvalid) return FALSE;
    if (v == kPadValue && i + 3 < len) return FALSE;
  }
  return TRUE;
}

char *BASE64_pcEncode(const U8 *pu8Buffer, int nBufferLen) {
  if (pu8Buffer == nullptr || nBufferLen == 0) return nullptr;
  size_t n = nBufferLen < 0 ? 0 : static_cast<size_t>(nBufferLen);
  size_t outLen = (n + 2) / 3 * 4;
  char *out = static_cast<char *>(std::malloc(outLen + 1));
  if (out == nullptr) return nullptr;
  size_t o = 0;
  for (size_t i = 0; i < n; i += 3) {
    size_t left = n - i;
    U32 group = static_cast<U32>(pu8Buffer[i]) << 16;
    if (left > 1) group |= static_cast<U32>(pu8Buffer[i + 1]) << 8;
    if (left > 2) group |= pu8Buffer[i + 2];
    out[o++] = s_cBase64Chars[(group >> 18) & 0x3F];
    out[o++] = s_cBase64Chars[(group >> 12) & 0x3F];
    out[o++] = left > 1 ? s_cBase64Chars[(group >> 6) & 0x3F] : kPad;
    out[o++] = left > 2 ? s_cBase64Chars[group & 0x3F] : kPad;
  }
  out[o] = '\0';
  return out;
}

U8 *BASE64_pu8Decode(const char *pcInput, int *pnBufferLen) {
  size_t len = pcInput ? std::strlen(pcInput) : 0;
  // Never hand back a zero-byte block: malloc(0) may return NULL, which a caller would take for failure.
  size_t capacity = (len + 3) / 4 * 3;
  U8 *out = static_cast<U8 *>(std::malloc(capacity ? capacity : 1));
  if (out == nullptr) {
    if (pnBufferLen) *pnBufferLen = 0;
    return nullptr;
  }
  size_t produced = 0;
  for (size_t i = 0; i < len; i += 4) {
    // Positions past the end of the text count as padding; values are masked to six bits so that unchecked
    // input gives arbitrary bits but never reads or writes out of bounds.
    char c[4];
    for (int k = 0; k < 4; ++k) c[k] = (i + k < len) ? pcInput[i + k] : kPad;
    U32 group = 0;
    for (int k = 0; k < 4; ++k) {
      U8 v = Value(c[k]);
      group = (group << 6) | (v >= 64 ? 0 : v);
    }
    int count = 3;
    if (c[1] == kPad) count -= 3;
    else if (c[2] == kPad) count -= 2;
    else if (c[3] == kPad) count -= 1;
    const U8 bytes[3] = {static_cast<U8>(group >> 16), static_cast<U8>(group >> 8), static_cast<U8>(group)};
    for (int k = 0; k < count; ++k) out[produced++] = bytes[k];
  }
  if (pnBufferLen) *pnBufferLen = static_cast<int>(produced);
  return out;
}

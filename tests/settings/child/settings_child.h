// What the settings test child writes, shared with the tests that check its files.
#pragma once
#include <vector>

#include "settings/nvram.h"

// The keys the writer changes: a header item (saved at once) and ordinary settings spread over the slots.
inline std::vector<FOURCHARID> SETTINGS_CHILD_writerKeys() {
  std::vector<FOURCHARID> keys = {FCID("SMDL")};
  const char acDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (int n = 0; n < 23; n++) {
    keys.push_back(static_cast<U32>('S') | static_cast<U32>(acDigits[(n * 7) % 36]) << 8 |
                   static_cast<U32>(acDigits[(n * 13) % 36]) << 16 | static_cast<U32>(acDigits[n % 36]) << 24);
  }
  return keys;
}

// A written value: the key's slot in the high bits, the generation in the low 14.
inline U32 SETTINGS_CHILD_u32Tagged(FOURCHARID id, U32 u32Gen) {
  return static_cast<U32>(H_NVRAM_s32SlotOfKey(id)) << 14 | (u32Gen & 0x3FFF);
}

// Stand-in of the recorded-path identity: the same inputs (name, count, date) and the same marker bits as the
// link's own, but an FNV-1a hash instead of SHA-1 over the interface address, so ids differ from the real
// ones. Each call is counted and logged.
#include "autopilot/vantrel_uid_standin.h"

#include <atomic>
#include <cstring>

#include "kernel/log.h"

namespace {
std::atomic<U32> s_u32Calls{0};

U64 u64Fnv(U64 h, const void *pv, size_t n) {
  const U8 *p = static_cast<const U8 *>(pv);
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001B3ull;
  return h;
}
}  // namespace

void U_VANTREL_COMMON_vGenerateWendrixUID(WENDRIX *pWendrix) {
  WENDRIX_HEADER &header = pWendrix->tHeader;
  U64 h = 0xCBF29CE484222325ull;
  h = u64Fnv(h, header.sName, strnlen(header.sName, sizeof header.sName));
  U8 au8Words[8];
  for (int i = 0; i < 4; ++i) {
    au8Words[i] = static_cast<U8>(header.nCount >> (8 * i));
    au8Words[4 + i] = static_cast<U8>(header.u32DateTime >> (8 * i));
  }
  h = u64Fnv(h, au8Words, sizeof au8Words);
  const U32 u32High = (static_cast<U32>(h >> 32) & 0x0FFF) | 0x6000;
  header.u64UID = (static_cast<U64>(u32High) << 32) | static_cast<U32>(h);
  ++s_u32Calls;
  log_me("path identity from the stand-in: %08x%08x", u32High, static_cast<U32>(h));
}

U32 VANTREL_UID_STANDIN_u32CallsForTest(void) { return s_u32Calls; }

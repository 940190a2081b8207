// Stand-in for the chart display's memory-cursor readers until the chart display is built.
#include <cmath>
#include <cstring>

#include "chart/ch_cache.h"

namespace {

// Little-endian value of n bytes; past the end the cursor still advances and reads zeros.
ULONG read_le(CH_MEM_CURSOR *c, int n) {
  ULONG v = 0;
  for (int i = 0; i < n; ++i) {
    const ULONG b = c->Pos < c->Size ? c->Base[c->Pos] : 0u;
    v |= b << (8 * i);
    ++c->Pos;
  }
  return v;
}

}  // namespace

SINT ch_ReadByteCache(CH_MEM_CURSOR *c) { return static_cast<int8_t>(read_le(c, 1)); }
SINT ch_ReadWordCache(CH_MEM_CURSOR *c) { return static_cast<int16_t>(read_le(c, 2)); }
ULONG ch_GetChUDblWordCache(CH_MEM_CURSOR *c) { return read_le(c, 4); }

DOUBLE ch_ReadFloatCache(CH_MEM_CURSOR *c) {
  const bool inside = c->Pos < c->Size && c->Size - c->Pos >= 4;
  const ULONG w = read_le(c, 4);
  const ULONG e = (w >> 23) & 0xFF;
  if (inside && e == 0) return 0.0;
  if (!inside || e < 96 || e > 158) {
    DOUBLE none;
    std::memset(&none, 0xFF, sizeof none);
    return none;
  }
  const double m = 1.0 + static_cast<double>(w & 0x7FFFFF) / 8388608.0;
  const double v = std::ldexp(m, static_cast<int>(e) - 127);
  return (w & 0x80000000u) ? -v : v;
}

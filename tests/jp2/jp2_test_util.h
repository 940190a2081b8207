// Shared helpers of the decoder tests: sources in memory, a counting allocator, codestream builders.
#pragma once
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "jp2/jp2_decoder.h"
#include "jp2/jp2_image.h"

namespace jp2test {

using Bytes = std::vector<U8>;

inline Bytes LoadFile(const std::string &name) {
  std::ifstream f(std::string(CORVAN_TEST_DATA) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

struct Source {
  Bytes data;
  int reads = 0;
};

inline U32 ReadSource(U8 *dest, U32 offset, U32 count, void *param) {
  Source *s = (Source *)param;
  s->reads++;
  if (offset >= s->data.size()) return 0;
  U32 n = (U32)std::min<size_t>(count, s->data.size() - offset);
  memcpy(dest, s->data.data() + offset, n);
  return n;
}

// Counts blocks handed out and returned; can refuse after a number of allocations.
struct Counter {
  long allocs = 0, frees = 0;
  long failAfter = -1;
};

inline void *CountMalloc(U32 size, void *param) {
  Counter *c = (Counter *)param;
  if (c->failAfter >= 0 && c->allocs >= c->failAfter) return nullptr;
  c->allocs++;
  return malloc(size);
}

inline S32 CountFree(void *block, void *param) {
  ((Counter *)param)->frees++;
  free(block);
  return 0;
}

struct Opened {
  Source src;
  Counter count;
  JP2_Decomp *h = nullptr;
  S32 err = 0;
  explicit Opened(Bytes data) {
    src.data = std::move(data);
    err = JP2_Decompress_Start(&h, CountMalloc, &count, CountFree, &count, ReadSource, &src);
  }
  ~Opened() {
    if (h) JP2_Decompress_End(h);
  }
};

// Big-endian writers.
inline void Put16(Bytes &b, U32 v) {
  b.push_back((U8)(v >> 8));
  b.push_back((U8)v);
}
inline void Put32(Bytes &b, U32 v) {
  Put16(b, v >> 16);
  Put16(b, v & 0xFFFF);
}
inline void Segment(Bytes &b, U32 code, const Bytes &body) {
  Put16(b, code);
  Put16(b, (U32)body.size() + 2);
  b.insert(b.end(), body.begin(), body.end());
}

inline Bytes SIZ(U32 w, U32 h, U32 comps, U32 tw = 0, U32 th = 0, U32 prec = 8) {
  Bytes s;
  Put16(s, 0);
  Put32(s, w);
  Put32(s, h);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, tw ? tw : w);
  Put32(s, th ? th : h);
  Put32(s, 0);
  Put32(s, 0);
  Put16(s, comps);
  for (U32 i = 0; i < comps; i++) {
    s.push_back((U8)(prec - 1));
    s.push_back(1);
    s.push_back(1);
  }
  return s;
}

inline Bytes COD(U32 levels = 1, U32 layers = 1, U32 order = 0, U32 style = 0) {
  return Bytes{0, (U8)order, (U8)(layers >> 8), (U8)layers, 0, (U8)levels, 4, 4, (U8)style, 1};
}

inline Bytes QCD(U32 levels = 1) {
  Bytes q{0x40};
  for (U32 i = 0; i < 3 * levels + 1; i++) q.push_back(8 << 3);
  return q;
}

// SOC, SIZ, COD, QCD, extra main-header bytes, then one tile-part holding the given packet data, and EOC.
inline Bytes Codestream(U32 w, U32 h, U32 comps, const Bytes &extraMain = {}, const Bytes &packets = {0},
                        const Bytes &tileHeader = {}) {
  Bytes b;
  Put16(b, 0xFF4F);
  Segment(b, 0xFF51, SIZ(w, h, comps));
  Segment(b, 0xFF52, COD());
  Segment(b, 0xFF5C, QCD());
  b.insert(b.end(), extraMain.begin(), extraMain.end());
  Bytes sot;
  Put16(sot, 0);
  Put32(sot, (U32)(12 + tileHeader.size() + 2 + packets.size()));
  sot.push_back(0);
  sot.push_back(1);
  Segment(b, 0xFF90, sot);
  b.insert(b.end(), tileHeader.begin(), tileHeader.end());
  Put16(b, 0xFF93);
  b.insert(b.end(), packets.begin(), packets.end());
  Put16(b, 0xFFD9);
  return b;
}

} // namespace jp2test

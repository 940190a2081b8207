// One fuzz input through the public interface: open, read metadata, decode whole, reduced and part.
#pragma once
#include <cstdlib>
#include <cstring>

#include "jp2/jp2_decoder.h"

namespace jp2fuzz {

struct Input {
  const U8 *data;
  size_t size;
  long allocs, frees;
};

inline void *Alloc(U32 n, void *p) {
  ((Input *)p)->allocs++;
  return malloc(n);
}
inline S32 Release(void *b, void *p) {
  ((Input *)p)->frees++;
  free(b);
  return 0;
}
inline U32 Read(U8 *d, U32 off, U32 n, void *p) {
  Input *in = (Input *)p;
  if (off >= in->size) return 0;
  U32 k = (U32)(in->size - off < n ? in->size - off : n);
  memcpy(d, in->data + off, k);
  return k;
}
inline S32 Sink(const void *, S16, U32, U32, U32, void *) { return 0; }

// Returns false when allocations and releases do not balance.
inline bool DecodeOne(const U8 *data, size_t size) {
  Input in{data, size, 0, 0};
  JP2_Decomp_Handle h;
  if (JP2_Decompress_Start(&h, Alloc, &in, Release, &in, Read, &in) == 0) {
    JP2_Property_Value w = 0, ht = 0;
    JP2_Decompress_GetProp(h, 1, &w, 0, 0);
    JP2_Decompress_GetProp(h, 2, &ht, 0, 0);
    U32 n;
    JP2_Decompress_GetXML_Num(h, &n);
    U8 *d;
    U32 len;
    JP2_Decompress_GetUUID_Data(h, 0, &d, &len);
    JP2_Decompress_SetProp(h, 50, (JP2_Property_Value)&Sink);
    // Keep the work bounded on inputs that claim huge images.
    if ((U64)w * ht <= 1u << 22) {
      JP2_Decompress_Image(h);
      if (JP2_Decompress_SetProp(h, 23, 2) == 0) JP2_Decompress_Region(h, 0, (U32)(w / 4 + 1), 0, (U32)(ht / 4 + 1));
      if (JP2_Decompress_SetProp(h, 24, 2) == 0) JP2_Decompress_Region(h, 1, 9, 1, 9);
    }
    JP2_Decompress_End(h);
  }
  return in.allocs == in.frees;
}

} // namespace jp2fuzz

#include "draw/rle.h"

namespace {
constexpr unsigned kMaxRun = 0x8000;

unsigned char leastUsedByte(const unsigned char *in, unsigned int insize) {
  unsigned counts[256] = {};
  for (unsigned i = 0; i < insize; i++) counts[in[i]]++;
  unsigned best = 0;
  for (unsigned v = 1; v < 256; v++)
    if (counts[v] < counts[best]) best = v;
  return static_cast<unsigned char>(best);
}
} // namespace

int U_RLE_Compress(unsigned char *in, unsigned char *out, unsigned int insize) {
  if (insize == 0) return 0;
  const unsigned char marker = leastUsedByte(in, insize);
  unsigned o = 0;
  out[o++] = marker;
  unsigned i = 0;
  while (i < insize) {
    const unsigned char s = in[i];
    unsigned n = 1;
    while (i + n < insize && n < kMaxRun && in[i + n] == s) n++;
    if (n >= 4) {
      out[o++] = marker;
      if (n - 1 <= 127) {
        out[o++] = static_cast<unsigned char>(n - 1);
      } else {
        out[o++] = static_cast<unsigned char>(0x80 | ((n - 1) >> 8));
        out[o++] = static_cast<unsigned char>((n - 1) & 0xFF);
      }
      out[o++] = s;
    } else if (s == marker) {
      out[o++] = marker;
      out[o++] = static_cast<unsigned char>(n - 1);
    } else {
      for (unsigned k = 0; k < n; k++) out[o++] = s;
    }
    i += n;
  }
  return static_cast<int>(o);
}

void U_RLE_Uncompress(unsigned char *in, unsigned char *out, unsigned int insize) {
  if (insize == 0) return;
  const unsigned char marker = in[0];
  unsigned i = 1;
  unsigned o = 0;
  // A token cut short by the end of the input is dropped rather than read past the end.
  while (i < insize) {
    const unsigned char b = in[i++];
    if (b != marker) {
      out[o++] = b;
      continue;
    }
    if (i >= insize) return;
    unsigned c = in[i++];
    if (c <= 2) {
      for (unsigned k = 0; k <= c; k++) out[o++] = marker;
      continue;
    }
    if (c & 0x80) {
      if (i >= insize) return;
      c = ((c & 0x7F) << 8) | in[i++];
    }
    if (i >= insize) return;
    const unsigned char s = in[i++];
    for (unsigned k = 0; k <= c; k++) out[o++] = s;
  }
}

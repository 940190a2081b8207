// Whole decodes: lossless output equals the source, 9/7 is close to the reference, regions and scales.
#include <gtest/gtest.h>

#include <cmath>

#include "jp2_test_util.h"

using namespace jp2test;

namespace {

// Planar output of a decoding call: one plane per output channel, samples widened to 32 bits.
struct Planes {
  std::vector<U32> w, h, size, sgn;
  std::vector<std::vector<S64>> data;
  int calls = 0;
  S32 stopAt = -1, stopWith = 0;
  bool bigEndian = false;
};

S32 Collect(const void *samples, S16 ch, U32 row, U32 col, U32 count, void *param) {
  Planes *p = (Planes *)param;
  if (p->stopAt >= 0 && p->calls >= p->stopAt) return p->stopWith;
  p->calls++;
  if ((U32)ch >= p->w.size() || row >= p->h[ch] || col + count > p->w[ch]) {
    ADD_FAILURE() << "segment outside the region: channel " << ch << " row " << row << " col " << col;
    return 0;
  }
  const U8 *s = (const U8 *)samples;
  for (U32 i = 0; i < count; i++) {
    S64 v;
    if (p->size[ch] == 1) {
      v = p->sgn[ch] ? (S8)s[i] : s[i];
    } else if (p->size[ch] == 2) {
      v = p->bigEndian ? (s[2 * i] << 8 | s[2 * i + 1]) : (s[2 * i] | s[2 * i + 1] << 8);
      if (p->sgn[ch]) v = (S16)v;
    } else {
      U32 u;
      memcpy(&u, s + 4 * i, 4);
      v = (S32)u;
    }
    p->data[ch][(size_t)row * p->w[ch] + col + i] = v;
  }
  return 0;
}

// Decodes the region (whole image when all zero) at the current scale.
S32 Decode(JP2_Decomp *h, Planes &p, U32 x0 = 0, U32 x1 = 0, U32 y0 = 0, U32 y1 = 0) {
  JP2_Property_Value n;
  JP2_Decompress_GetProp(h, 3, &n, 0, 0);
  JP2_Image *im = h->psImage;
  for (U32 c = 0; c < n; c++) {
    JP2_Property_Value w, hh, prec;
    JP2_Decompress_GetProp(h, 1, &w, 0, (S16)c);
    JP2_Decompress_GetProp(h, 2, &hh, 0, (S16)c);
    JP2_Decompress_GetProp(h, 4, &prec, 0, (S16)c);
    JP2_Property_Value sg;
    JP2_Decompress_GetProp(h, 5, &sg, 0, (S16)c);
    p.sgn.push_back((U32)sg);
    (void)im;
    p.w.push_back((U32)w);
    p.h.push_back((U32)hh);
    p.size.push_back(prec <= 8 ? 1 : (prec <= 16 ? 2 : 4));
    p.data.emplace_back((size_t)w * hh, -1);
  }
  JP2_Decompress_SetProp(h, 50, (JP2_Property_Value)&Collect);
  JP2_Decompress_SetProp(h, 51, (JP2_Property_Value)&p);
  S32 e = JP2_Decompress_Region(h, x0, x1, y0, y1);
  if (x0 != x1 || y0 != y1) {
    // Planes shrink to the region of each channel.
    for (U32 c = 0; c < p.w.size(); c++) {
      const U32 *r = &h->psImage->pu32OutRegion[4 * h->psFormat->pu32Map[c]];
      std::vector<S64> d;
      for (U32 y = 0; y < r[3] - r[2]; y++)
        for (U32 x = 0; x < r[1] - r[0]; x++) d.push_back(p.data[c][(size_t)y * p.w[c] + x]);
      p.w[c] = r[1] - r[0];
      p.h[c] = r[3] - r[2];
      p.data[c] = d;
    }
  }
  return e;
}

// A planar raw file (big-endian above 8 bits) with the plane sizes of p.
std::vector<std::vector<S64>> Raw(const std::string &name, const Planes &p, bool bSigned = false) {
  Bytes b = LoadFile(name);
  std::vector<std::vector<S64>> out;
  size_t o = 0;
  for (size_t c = 0; c < p.w.size(); c++) {
    std::vector<S64> d;
    for (size_t i = 0; i < (size_t)p.w[c] * p.h[c]; i++) {
      S64 v = p.size[c] == 1 ? b.at(o) : (b.at(o) << 8 | b.at(o + 1));
      if (bSigned && p.size[c] == 1) v = (S8)v;
      o += p.size[c];
      d.push_back(v);
    }
    out.push_back(d);
  }
  EXPECT_EQ(b.size(), o) << name;
  return out;
}

void ExpectClose(const std::vector<std::vector<S64>> &ref, const Planes &p, S64 maxDiff, double meanDiff,
                 const std::string &what) {
  ASSERT_EQ(ref.size(), p.data.size()) << what;
  for (size_t c = 0; c < ref.size(); c++) {
    ASSERT_EQ(ref[c].size(), p.data[c].size()) << what;
    S64 worst = 0;
    double sum = 0;
    for (size_t i = 0; i < ref[c].size(); i++) {
      S64 d = std::llabs(ref[c][i] - p.data[c][i]);
      worst = std::max(worst, d);
      sum += (double)d;
    }
    EXPECT_LE(worst, maxDiff) << what << " channel " << c;
    EXPECT_LE(sum / (double)ref[c].size(), meanDiff) << what << " channel " << c;
  }
}

} // namespace

TEST(Jp2Decode, LosslessCorpusReproducesTheSource) {
  struct Case {
    const char *file, *source;
    bool bSigned;
  } cases[] = {
      {"gray_53.j2k", "gray.raw", false},     {"rgb_53.j2k", "rgb.raw", false},
      {"c2_53.j2k", "c2.raw", false},         {"c4_53.j2k", "c4.raw", false},
      {"yuv420_53.j2k", "yuv420.raw", false}, {"g12_53.j2k", "g12.raw", false},
      {"signed_53.j2k", "small.raw", true},   {"prog_lrcp.j2k", "rgb.raw", false},
      {"prog_cprl.j2k", "rgb.raw", false},    {"prog_poc.j2k", "rgb.raw", false},
      {"prog_ppm_span.j2k", "rgb.raw", false}, {"prog_ppt_span.j2k", "rgb.raw", false},
      {"prog_tpr.j2k", "rgb.raw", false},     {"tlm_plt.j2k", "rgb.raw", false},
      {"rgb.jp2", "rgb.raw", false},          {"gray.jp2", "gray.raw", false},
      {"big_tiles.j2k", "big.raw", false},
  };
  for (const Case &c : cases) {
    Opened o(LoadFile(c.file));
    ASSERT_EQ(0, o.err) << c.file;
    Planes p;
    p.bigEndian = false;
    ASSERT_EQ(0, Decode(o.h, p)) << c.file;
    auto ref = Raw(c.source, p, c.bSigned);
    ExpectClose(ref, p, 0, 0, c.file);
  }
}

TEST(Jp2Decode, EveryCodeBlockStyleIsLossless) {
  char name[32];
  for (int m = 1; m <= 63; m++) {
    snprintf(name, sizeof name, "styles/m%d.j2k", m);
    Opened o(LoadFile(name));
    ASSERT_EQ(0, o.err) << name;
    Planes p;
    ASSERT_EQ(0, Decode(o.h, p)) << name;
    ExpectClose(Raw("small.raw", p), p, 0, 0, name);
  }
}

TEST(Jp2Decode, IrreversibleIsCloseToTheReference) {
  for (const char *f : {"gray_97", "rgb_97", "big_97", "gray_97_g1"}) {
    Opened o(LoadFile(std::string(f) + ".j2k"));
    ASSERT_EQ(0, o.err) << f;
    // 32-bit lines (property 16) carry the 9/7 arithmetic in single precision.
    Planes p;
    JP2_Decompress_SetProp(o.h, 16, 1);
    ASSERT_EQ(0, Decode(o.h, p)) << f;
    ExpectClose(Raw(std::string(f) + ".ref.raw", p), p, 2, 0.1, f);
    // The default 16-bit fixed-point lines keep three fraction bits for 8-bit samples: as close at most,
    // a little further on average.
    Planes q;
    JP2_Decompress_SetProp(o.h, 16, 0);
    ASSERT_EQ(0, Decode(o.h, q)) << f;
    ExpectClose(Raw(std::string(f) + ".ref.raw", q), q, 2, 0.25, std::string(f) + " 16-bit");
  }
}

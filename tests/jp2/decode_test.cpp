// Whole decodes: lossless output equals the source, 9/7 is close to the reference, regions and scales.
#include <gtest/gtest.h>

#include <cmath>

#include "jp2/jp2_format.h"
#include "jp2/jp2_partial.h"
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
    ExpectClose(Raw(std::string(f) + ".ref.raw", p), p, 1, 0.05, f);
    // The default 16-bit fixed-point lines keep three fraction bits for 8-bit samples with two guard bits: as
    // close at most, further on average (rounding exact results to eighths alone costs about 0.06, the rounded
    // lifting and colour steps at that resolution bring it to 0.11-0.19).
    Planes q;
    JP2_Decompress_SetProp(o.h, 16, 0);
    ASSERT_EQ(0, Decode(o.h, q)) << f;
    ExpectClose(Raw(std::string(f) + ".ref.raw", q), q, 2, 0.25, std::string(f) + " 16-bit");
  }
}

// 12 and 16-bit 9/7 decode in 32-bit lines: 16-bit fixed point would leave too few fraction bits. The 16-bit
// picture has flat areas at both ends of its range; the filter rings beyond them, and those samples clip.
TEST(Jp2Decode, DeepIrreversibleKeepsItsPrecisionAndClips) {
  // Single precision holds 16-bit samples to a unit or two.
  for (auto [f, worst, mean] : {std::tuple{"g12_97", 1, 0.05}, {"g16_97", 2, 0.5}}) {
    Opened o(LoadFile(std::string(f) + ".j2k"));
    ASSERT_EQ(0, o.err) << f;
    Planes p;
    ASSERT_EQ(0, Decode(o.h, p)) << f;
    ExpectClose(Raw(std::string(f) + ".ref.raw", p), p, worst, mean, f);
  }
  Opened o(LoadFile("g16_97.j2k"));
  Planes p;
  ASSERT_EQ(0, Decode(o.h, p));
  S64 lo = *std::min_element(p.data[0].begin(), p.data[0].end());
  S64 hi = *std::max_element(p.data[0].begin(), p.data[0].end());
  EXPECT_EQ(0, lo);
  EXPECT_EQ(65535, hi);
}

// Regions inside one large tile and across tiles, at the top, in the middle and at the bottom, with odd edges and
// single rows: only blocks, rows and columns near them are decoded and kept, and their samples are those of the whole
// decode. The line-start callback is asked before every row from the tile's top down to the region's bottom, also
// for the rows above the region that leave no samples.
TEST(Jp2Decode, RegionsEqualTheWholeDecode) {
  struct Case {
    const char *file;
    U32 x0, x1, y0, y1;
  } cases[] = {
      {"big_97.j2k", 150, 231, 170, 243}, {"big_97.j2k", 0, 256, 255, 256}, {"big_97.j2k", 3, 9, 201, 256},
      {"big_97.j2k", 101, 102, 97, 160},  {"big_97.j2k", 7, 250, 0, 13},     {"big_tiles.j2k", 150, 231, 170, 243},
      {"big_tiles.j2k", 60, 200, 127, 129}, {"gray_53.j2k", 5, 40, 33, 47},  {"rgb_53.j2k", 10, 41, 25, 31},
      {"tiles_off.j2k", 4, 47, 19, 35},   {"yuv420_53.j2k", 1, 63, 29, 48},
  };
  for (const Case &c : cases) {
    std::string what = std::string(c.file) + " " + std::to_string(c.x0) + "," + std::to_string(c.y0);
    Opened o(LoadFile(c.file));
    ASSERT_EQ(0, o.err) << what;
    Planes whole, part;
    ASSERT_EQ(0, Decode(o.h, whole)) << what;
    static int s_asked;
    s_asked = 0;
    auto count = [](void *) -> S32 {
      s_asked++;
      return 0;
    };
    JP2_Decompress_SetProp(o.h, 52, (JP2_Property_Value) + count);
    ASSERT_EQ(0, Decode(o.h, part, c.x0, c.x1, c.y0, c.y1)) << what;
    JP2_Image *im = o.h->psImage;
    int expected = 0;
    for (U32 t = 0; t < im->u32Tiles; t++) {
      const JP2_Tile &tile = im->psTiles[t];
      if (!tile.s32Wanted) continue;
      for (U32 y = tile.u32Y0; y < std::min(tile.u32Y1, im->au32Region[3]); y++)
        for (U32 k = 0; k < im->u16Csiz; k++) expected += y % im->pu8YRsiz[k] == 0;
    }
    EXPECT_EQ(expected, s_asked) << what;
    for (size_t ch = 0; ch < part.w.size(); ch++) {
      const U32 *r = &im->pu32OutRegion[4 * o.h->psFormat->pu32Map[ch]];
      ASSERT_GT(part.w[ch] * part.h[ch], 0u) << what;
      for (U32 y = 0; y < part.h[ch]; y++)
        for (U32 x = 0; x < part.w[ch]; x++)
          ASSERT_EQ(whole.data[ch][(size_t)(r[2] + y) * whole.w[ch] + r[0] + x], part.data[ch][(size_t)y * part.w[ch] + x])
              << what << " channel " << ch << " at " << x << "," << y;
    }
  }
}

TEST(Jp2Decode, ReductionsRegionsAndOffsetsMatchTheReference) {
  struct Case {
    const char *file, *ref;
    U32 f;
    U32 x0, x1, y0, y1; // region at the output scale in component 0's grid; all 0 for the whole image
  } cases[] = {
      {"rgb_53.j2k", "rgb_53_r1.ref.raw", 2, 0, 0, 0, 0},
      {"rgb_53.j2k", "rgb_53_r2.ref.raw", 4, 0, 0, 0, 0},
      {"tiles_off.j2k", "tiles_off.ref.raw", 1, 0, 0, 0, 0},
      {"tiles_off.j2k", "tiles_off_r1.ref.raw", 2, 0, 0, 0, 0},
      {"big_tiles.j2k", "big_tiles_r2.ref.raw", 4, 0, 0, 0, 0},
      {"roi.j2k", "roi.ref.raw", 1, 0, 0, 0, 0},
      // Regions: reference-grid rectangles (opj -d) less the image offset, divided by the reduction.
      {"rgb_53.j2k", "rgb_53_d.ref.raw", 1, 10, 41, 5, 30},
      {"tiles_off.j2k", "tiles_off_d.ref.raw", 1, 4, 47, 4, 35},
      {"big_tiles.j2k", "big_tiles_d.ref.raw", 1, 140, 200, 150, 220},
      {"big_tiles.j2k", "big_tiles_r2d.ref.raw", 4, 34, 50, 37, 55},
  };
  for (const Case &c : cases) {
    Opened o(LoadFile(c.file));
    ASSERT_EQ(0, o.err) << c.file;
    ASSERT_EQ(0, JP2_Decompress_SetProp(o.h, 23, c.f)) << c.file;
    Planes p;
    ASSERT_EQ(0, Decode(o.h, p, c.x0, c.x1, c.y0, c.y1)) << c.file << " " << c.ref;
    ExpectClose(Raw(c.ref, p), p, 0, 0, c.ref);
  }
}

TEST(Jp2Decode, RegionGeometryAndTiles) {
  // 4:2:0: region (0,10,0,10) gives components 1 and 2 [0,5).
  Opened y(LoadFile("yuv420_53.j2k"));
  Planes py;
  ASSERT_EQ(0, Decode(y.h, py, 0, 10, 0, 10));
  EXPECT_EQ(10u, py.w[0]);
  EXPECT_EQ(5u, py.w[1]);
  EXPECT_EQ(5u, py.h[2]);
  // A region inside tile 3 of a 2 x 2 tiling decodes only tile 3.
  Opened b(LoadFile("big_tiles.j2k"));
  Planes pb;
  ASSERT_EQ(0, Decode(b.h, pb, 140, 200, 150, 220));
  for (U32 t = 0; t < 4; t++) EXPECT_EQ(t == 3, b.h->psImage->psTiles[t].s32Wanted != 0) << t;
  // Empty and outside rectangles.
  Planes pe;
  EXPECT_EQ(JP2_ERR_EMPTY_REGION, Decode(b.h, pe, 5, 5, 0, 10));
  Planes po;
  EXPECT_EQ(JP2_ERR_EMPTY_REGION, Decode(b.h, po, 300, 310, 0, 10));
}

TEST(Jp2Decode, ReductionBeyondTheLevelsAveragesAndMagnificationInterpolates) {
  // Reduction 16 on 3 levels: 8 by dropped levels, then 2 x 2 averages (truncated) of the 1/8 image.
  Opened o(LoadFile("gray_53.j2k"));
  ASSERT_EQ(0, o.err);
  Planes eighth;
  {
    Opened e(LoadFile("gray_53.j2k"));
    ASSERT_EQ(0, JP2_Decompress_SetProp(e.h, 23, 8));
    ASSERT_EQ(0, Decode(e.h, eighth));
  }
  ASSERT_EQ(0, JP2_Decompress_SetProp(o.h, 23, 16));
  Planes p;
  ASSERT_EQ(0, Decode(o.h, p));
  ASSERT_EQ((eighth.w[0] + 1) / 2, p.w[0]);
  for (U32 yy = 0; yy < p.h[0]; yy++)
    for (U32 xx = 0; xx < p.w[0]; xx++) {
      // Mean over rows of the mean of each row's group.
      auto at = [&](U32 r, U32 c) { return eighth.data[0][(size_t)r * eighth.w[0] + c]; };
      U32 r0 = 2 * yy, r1 = std::min(2 * yy + 1, eighth.h[0] - 1);
      U32 c0 = 2 * xx, c1 = std::min(2 * xx + 1, eighth.w[0] - 1);
      S64 g0 = (at(r0, c0) + at(r0, c1)) / (c1 > c0 ? 2 : 1);
      S64 g1 = (at(r1, c0) + at(r1, c1)) / (c1 > c0 ? 2 : 1);
      S64 expect = r1 > r0 ? (g1 + g0) / 2 : g0;
      ASSERT_EQ(expect, p.data[0][(size_t)yy * p.w[0] + xx]) << xx << "," << yy;
    }
  // Magnification 2: the full image interpolated; every source sample sits at an even position.
  Planes full;
  {
    Opened f(LoadFile("gray_53.j2k"));
    ASSERT_EQ(0, Decode(f.h, full));
  }
  ASSERT_EQ(0, JP2_Decompress_SetProp(o.h, 24, 2));
  Planes m;
  ASSERT_EQ(0, Decode(o.h, m));
  ASSERT_EQ(full.w[0] * 2, m.w[0]);
  for (U32 yy = 0; yy < full.h[0]; yy++)
    for (U32 xx = 0; xx < full.w[0]; xx++)
      ASSERT_EQ(full.data[0][(size_t)yy * full.w[0] + xx], m.data[0][(size_t)(2 * yy) * m.w[0] + 2 * xx]);
  for (S64 v : m.data[0]) ASSERT_GE(v, 0);
}

TEST(Jp2Decode, ScaleKernels) {
  S32 row[3] = {10, 20, 30}, out[12]; // m rows of 3 x m samples
  JP2_Scale_Upwards(row, row, out, 3, 2);
  EXPECT_EQ((std::vector<S32>{10, 15, 20, 25, 30, 30}), std::vector<S32>(out, out + 6));
  S32 a[2] = {3, 4}, *rows[1] = {a}, o1;
  JP2_Scale_Downwards(rows, &o1, 2, 1, 1, 2, 0);
  EXPECT_EQ(3, o1);
  S32 pick[4] = {7, 8, 9, 10}, *pr[1] = {pick}, op[2];
  JP2_Scale_Downwards(pr, op, 4, 1, 2, 2, 1);
  EXPECT_EQ(8, op[0]);
  EXPECT_EQ(10, op[1]);
}

TEST(Jp2Decode, TwoDecodesAgreeAndCallbacksStop) {
  Opened o(LoadFile("prog_tpr.j2k"));
  Planes a, b;
  ASSERT_EQ(0, Decode(o.h, a));
  ASSERT_EQ(0, Decode(o.h, b));
  EXPECT_EQ(a.data, b.data);
  Planes s;
  s.stopAt = 0;
  s.stopWith = 5;
  EXPECT_EQ(5, Decode(o.h, s));
  auto stop = [](void *) -> S32 { return 1; };
  JP2_Decompress_SetProp(o.h, 52, (JP2_Property_Value)+stop);
  Planes t;
  EXPECT_EQ(JP2_ERR_STOPPED, Decode(o.h, t));
}

TEST(Jp2Decode, DamagedTilePartLeavesTheOtherTiles) {
  Bytes d = LoadFile("big_tiles.j2k");
  Bytes good = d;
  // Break the second tile-part's header: its first marker after SOT becomes a main-header-only marker.
  std::string s(d.begin(), d.end());
  size_t sot = s.find(std::string("\xFF\x90", 2));
  sot = s.find(std::string("\xFF\x90", 2), sot + 2);
  ASSERT_NE(std::string::npos, sot);
  d[sot + 12] = 0xFF;
  d[sot + 13] = 0x51; // SIZ inside a tile-part header
  Opened o(d), r(good);
  Planes p, ref;
  ASSERT_EQ(0, Decode(o.h, p));
  ASSERT_EQ(0, Decode(r.h, ref));
  size_t same = 0, w = p.w[0];
  for (size_t i = 0; i < p.data[0].size(); i++) {
    bool inTile1 = (i % w) >= 128 && (i / w) < 128;
    if (!inTile1) same += p.data[0][i] == ref.data[0][i];
  }
  EXPECT_EQ(p.data[0].size() - 128 * 128, same);
}

TEST(Jp2Decode, PropertiesAndTheirChecks) {
  Opened o(LoadFile("tiles_off.j2k"));
  ASSERT_EQ(0, o.err);
  JP2_Property_Value v;
  struct Get {
    S32 prop, tile;
    S16 ch;
    S32 err;
    JP2_Property_Value value;
  } gets[] = {
      {3, 99, 77, 0, 3},   {1, 0, 0, 0, 64},   {2, 0, 0, 0, 48},   {4, 0, 1, 0, 8},    {5, 0, 0, 0, 0},
      {6, 0, 0, 0, 24},    {8, 0, 0, 0, 9},   {9, 0, 0, 0, 0},    {10, 0, 0, 0, 67},  {12, 0, 0, 0, 3},
      {14, 0, 0, 0, 1},    {20, 0, 0, 0, 20},  {52, 12, 0, JP2_ERR_TILE, 0},           {61, 0, 0, 0, 0},
      {62, 0, 0, 0, 1},    {71, 0, 0, 0, 1},   {72, 3, 2, 0, 1},   {73, 0, 0, 0, 64},  {74, 0, 0, 0, 64},
      {75, 0, 0, 0, 0},    {60, 0, 3, JP2_ERR_CHANNEL, 0},          {40, 0, 0, JP2_ERR_UNAVAILABLE, 0},
      {23, 0, 0, JP2_ERR_PROPERTY, 0},          {99, 0, 0, JP2_ERR_PROPERTY, 0},
  };
  for (const Get &g : gets) {
    EXPECT_EQ(g.err, JP2_Decompress_GetProp(o.h, g.prop, &v, g.tile, g.ch)) << g.prop;
    if (!g.err) {
      EXPECT_EQ(g.value, v) << g.prop;
    }
  }
  EXPECT_EQ(JP2_ERR_NULL_ARG, JP2_Decompress_GetProp(o.h, 3, nullptr, 0, 0));
  struct Set {
    S32 prop;
    JP2_Property_Value value;
    S32 err;
  } sets[] = {
      {1, 5, JP2_ERR_READ_ONLY}, {8, 1, JP2_ERR_PROPERTY},   {20, 20, 0},          {20, 10, JP2_ERR_COLOUR_SPACE},
      {20, 21, JP2_ERR_VALUE},   {21, 2, JP2_ERR_VALUE},     {21, 1, 0},           {24, 64, JP2_ERR_SCALE},
      {24, 6, JP2_ERR_VALUE},    {24, 0, JP2_ERR_VALUE},     {23, 3, JP2_ERR_VALUE}, {23, 0, JP2_ERR_VALUE},
      {23, 128, JP2_ERR_SCALE},  {23, 4, 0},                 {25, 0, 0},           {25, 1, 0},
      {65, 0, JP2_ERR_UNAVAILABLE}, {74, 0, JP2_ERR_READ_ONLY}, {63, 0, JP2_ERR_PROPERTY},
  };
  for (const Set &s : sets) EXPECT_EQ(s.err, JP2_Decompress_SetProp(o.h, s.prop, s.value)) << s.prop << "=" << s.value;
  ASSERT_EQ(0, JP2_Decompress_GetProp(o.h, 1, &v, 0, 0));
  EXPECT_EQ(16u, v); // ceil(67 / 4) - ceil(3 / 4)
  U32 ppx, ppy;
  EXPECT_EQ(0, JP2_Decompress_GetPrecinct(o.h, &ppx, &ppy, 0, 0, 1));
  EXPECT_EQ(15u, ppx);
  EXPECT_EQ(JP2_ERR_RESOLUTION_LEVEL, JP2_Decompress_GetPrecinct(o.h, &ppx, &ppy, 0, 0, 3));
  EXPECT_EQ(JP2_ERR_HANDLE, JP2_Decompress_GetProp(nullptr, 3, &v, 0, 0));
  EXPECT_EQ(JP2_ERR_HANDLE, JP2_Decompress_No_Colour_Transform(nullptr));
  // Caching off, then on again: the decode is the same.
  Planes p;
  ASSERT_EQ(0, JP2_Decompress_SetProp(o.h, 23, 1));
  ASSERT_EQ(0, JP2_Decompress_SetProp(o.h, 21, 0));
  ASSERT_EQ(0, Decode(o.h, p));
  ExpectClose(Raw("tiles_off.ref.raw", p), p, 0, 0, "after property changes");
}

TEST(Jp2Decode, SixteenBitSamplesInBothByteOrders) {
  Opened o(LoadFile("g12_53.j2k"));
  Planes le;
  ASSERT_EQ(0, Decode(o.h, le));
  ASSERT_EQ(0, JP2_Decompress_SetProp(o.h, 21, 1));
  Planes be;
  be.bigEndian = true;
  ASSERT_EQ(0, Decode(o.h, be));
  EXPECT_EQ(le.data, be.data);
  ExpectClose(Raw("g12.raw", be), be, 0, 0, "12-bit");
}

TEST(Jp2Decode, RegionShiftsBeyondTheCoefficientWordAreHarmless) {
  Bytes d = LoadFile("roi.j2k");
  std::string s(d.begin(), d.end());
  size_t rgn = s.find(std::string("\xFF\x5E", 2));
  ASSERT_NE(std::string::npos, rgn);
  for (U8 shift : {26, 31, 37, 200}) {
    d[rgn + 6] = shift;
    Opened o(d);
    ASSERT_EQ(0, o.err);
    EXPECT_EQ(shift, o.h->psImage->psTiles[0].psComps[1].u8RoiShift);
    Planes p;
    EXPECT_EQ(0, Decode(o.h, p)) << (int)shift; // blocks whose first plane would pass bit 30 stay zero
  }
}

TEST(Jp2Decode, PaletteIndicesArePickedNotAveraged) {
  Planes full, half;
  {
    Opened o(LoadFile("palette.jp2"));
    ASSERT_EQ(0, o.err);
    ASSERT_EQ(0, Decode(o.h, full));
  }
  Opened o(LoadFile("palette.jp2"));
  ASSERT_EQ(0, JP2_Decompress_SetProp(o.h, 23, 2));
  ASSERT_EQ(0, Decode(o.h, half));
  ASSERT_EQ((full.w[0] + 1) / 2, half.w[0]);
  U32 in = full.w[0], out = half.w[0];
  for (U32 y = 0; y < half.h[0]; y++)
    for (U32 k = 0; k < out; k++) {
      U32 i = 0;
      while ((U64)(i + 1) * out / in <= k) i++;
      ASSERT_EQ(full.data[0][(size_t)(2 * y) * in + i], half.data[0][(size_t)y * out + k]) << k << "," << y;
    }
}

TEST(Jp2Decode, BrokenTileLengthsFallBackToSequentialReading) {
  Bytes d = LoadFile("tlm_plt.j2k");
  std::string s(d.begin(), d.end());
  size_t tlm = s.find(std::string("\xFF\x55", 2));
  ASSERT_NE(std::string::npos, tlm);
  // First entry's tile-part length made wrong: the TLM walk lands off a tile-part and gives up.
  U8 stlm = d[tlm + 5];
  size_t entry = tlm + 6 + ((stlm >> 4) & 3);
  d[entry + ((stlm >> 6) & 1 ? 3 : 1)] ^= 0x01; // low byte of the first length
  Opened o(d);
  ASSERT_EQ(0, o.err);
  Planes p;
  ASSERT_EQ(0, Decode(o.h, p));
  ExpectClose(Raw("rgb.raw", p), p, 0, 0, "TLM fallback");
}

// Tier 2: packet headers in every progression and packing give the same code-block contributions.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "jp2/jp2_decomp.h"
#include "jp2/jp2_packet.h"
#include "jp2_test_util.h"

using namespace jp2test;

namespace {

// Per code-block: passes, and the bytes it collects, per layer.
using BlockKey = std::tuple<U32, U32, U32, U32, U32, U32>; // tile, comp, res, precinct, band, block
struct BlockData {
  std::vector<U32> passes;
  std::vector<Bytes> code;
  S32 planes;
  bool operator==(const BlockData &o) const { return passes == o.passes && code == o.code && planes == o.planes; }
};

std::map<BlockKey, BlockData> Contributions(const char *file) {
  std::map<BlockKey, BlockData> out;
  Opened o(LoadFile(file));
  EXPECT_EQ(0, o.err) << file;
  if (o.err) return out;
  EXPECT_EQ(0, JP2_Decomp_Prepare_Region(o.h, 0, 0, 0, 0)) << file;
  JP2_Image *im = o.h->psImage;
  for (U32 t = 0; t < im->u32Tiles; t++) {
    JP2_Tile *tile = &im->psTiles[t];
    EXPECT_TRUE(tile->s32Built) << file;
    if (!tile->s32Built) continue;
    for (U32 c = 0; c < im->u16Csiz; c++)
      for (U32 r = 0; r <= tile->psComps[c].u8Levels; r++) {
        JP2_Resolution *res = &tile->psComps[c].psResolutions[r];
        U32 np = res->psPrecincts ? res->u32PrecWide * res->u32PrecHigh : 0;
        for (U32 p = 0; p < np; p++)
          for (U32 b = 0; b < res->u32Bands; b++) {
            JP2_Prec_Band *pb = &res->psPrecincts[p].psBands[b];
            JP2_Block_Array *a = pb->psBlocks;
            if (!a) continue;
            for (U32 k = 0; k < a->u32Count; k++) {
              BlockData d;
              d.planes = a->pu8PassesRead[k] ? pb->ps32Planes[k] : 0;
              for (U32 l = 0; l < tile->u16Layers; l++) {
                d.passes.push_back(JP2_Block_Array_Get_Code_Passes(a, k, l));
                U32 len = JP2_Block_Array_Get_Code_Length(a, k, l);
                Bytes bytes(len);
                U32 got = 0;
                JP2_Cache_Read(o.h->psCache, JP2_Block_Array_Get_Code_Position(a, k, l), len, &got, bytes.data());
                bytes.resize(got);
                d.code.push_back(bytes);
              }
              out[{t, c, r, p, b, k}] = d;
            }
          }
      }
  }
  return out;
}

} // namespace

// Passes and code bytes summed over the layers.
BlockData Total(const BlockData &d) {
  BlockData t{{0}, {{}}, d.planes};
  for (size_t l = 0; l < d.passes.size(); l++) {
    t.passes[0] += d.passes[l];
    t.code[0].insert(t.code[0].end(), d.code[l].begin(), d.code[l].end());
  }
  return t;
}

TEST(Jp2Tier2, EveryProgressionAndPackingGivesTheSameCodeBlocks) {
  // Each group is one encoding, so layers match exactly; across groups the encoder split the same
  // code-block data into layers differently, so totals match.
  std::vector<std::vector<const char *>> groups = {
      {"prog_lrcp.j2k", "prog_rlcp.j2k", "prog_rpcl.j2k", "prog_pcrl.j2k", "prog_cprl.j2k", "prog_poc.j2k"},
      {"prog_sopeph.j2k", "prog_ppm.j2k", "prog_ppt.j2k"},
      {"prog_sopeph_tpl.j2k", "prog_ppm_span.j2k", "prog_ppt_span.j2k"},
      {"prog_tpr.j2k"},
      {"prog_tpc.j2k"},
      {"prog_tpc_pcrl.j2k"},
  };
  auto ref = Contributions("prog_lrcp.j2k");
  ASSERT_FALSE(ref.empty());
  U32 nonEmpty = 0;
  for (auto &kv : ref)
    for (auto &c : kv.second.code) nonEmpty += !c.empty();
  EXPECT_GT(nonEmpty, 100u);
  for (auto &group : groups) {
    auto first = Contributions(group[0]);
    ASSERT_EQ(ref.size(), first.size()) << group[0];
    size_t diff = 0;
    for (auto &kv : ref) diff += !(Total(first[kv.first]) == Total(kv.second));
    EXPECT_EQ(0u, diff) << group[0];
    for (size_t i = 1; i < group.size(); i++) {
      auto got = Contributions(group[i]);
      ASSERT_EQ(first.size(), got.size()) << group[i];
      diff = 0;
      for (auto &kv : first) diff += !(got[kv.first] == kv.second);
      EXPECT_EQ(0u, diff) << group[i];
    }
  }
}

TEST(Jp2Tier2, TwoReadsOfOneHandleAgree) {
  Opened o(LoadFile("prog_ppm_span.j2k"));
  ASSERT_EQ(0, o.err);
  auto blocks = [&]() {
    EXPECT_EQ(0, JP2_Decomp_Prepare_Region(o.h, 0, 0, 0, 0));
    std::vector<U32> v;
    JP2_Tile *t = o.h->psImage->psTiles;
    for (U32 c = 0; c < 3; c++)
      for (U32 r = 0; r <= t->psComps[c].u8Levels; r++) {
        JP2_Resolution *res = &t->psComps[c].psResolutions[r];
        for (U32 p = 0; p < res->u32PrecWide * res->u32PrecHigh; p++)
          for (U32 b = 0; b < res->u32Bands; b++)
            if (JP2_Block_Array *a = res->psPrecincts[p].psBands[b].psBlocks)
              for (U32 k = 0; k < a->u32Count; k++) v.push_back(a->pu8PassesRead[k] * 100000 + a->pu32SegLen[k]);
      }
    return v;
  };
  auto a = blocks();
  EXPECT_EQ(a, blocks());
}

namespace {

// One precinct with one band of one code-block, for hand-made packet headers.
struct OneBlock {
  Counter count;
  JP2_Memory *m = nullptr;
  JP2_Tile_Comp tc{};
  JP2_Prec_Band band{};
  JP2_Precinct prec{};
  S32 incl = -1, planes = 0;
  Source src;
  JP2_Read_Data *rd = nullptr;
  JP2_Cache *cache = nullptr;
  JP2_Read_Bits *bits = nullptr;
  OneBlock(bool termAll, bool bypass, U32 layers = 2) {
    JP2_Memory_New(&m, CountMalloc, &count, CountFree, &count);
    tc.u8TermAll = termAll;
    tc.u8Bypass = bypass;
    band.u32BlocksWide = band.u32BlocksHigh = 1;
    band.u32X1 = band.u32Y1 = 64;
    band.s32Mb = 10;
    band.ps32Incl = &incl;
    band.ps32Planes = &planes;
    JP2_Block_Array_New(&band.psBlocks, m, &tc, &band, layers, 64, 64);
    prec.psBands = &band;
    JP2_Read_Data_New(&rd, m, ReadSource, &src);
    JP2_Cache_New(&cache, m, rd, 1, 1024, nullptr);
    JP2_Read_Bits_New(&bits, m, cache);
  }
  ~OneBlock() {
    JP2_Tag_Free_Tree(&band.sIncl, m);
    JP2_Tag_Free_Tree(&band.sZero, m);
    JP2_Block_Array_Delete(&band.psBlocks, m);
    JP2_Read_Bits_Delete(&bits, m);
    JP2_Cache_Delete(&cache);
    JP2_Read_Data_Delete(&rd, m);
    JP2_Memory_Delete(&m);
  }
  // Appends a packet given as a string of bits, padded to a byte.
  U32 Add(const std::string &bitsText) {
    U32 start = (U32)src.data.size();
    U8 cur = 0;
    int n = 0;
    for (char ch : bitsText) {
      if (ch != '0' && ch != '1') continue;
      cur = (U8)(cur << 1 | (ch == '1'));
      if (++n == 8) {
        src.data.push_back(cur);
        n = cur == 0xFF ? 1 : 0; // a 0 bit is stuffed after 0xFF
        cur = 0;
      }
    }
    if (n) src.data.push_back((U8)(cur << (8 - n)));
    src.data.push_back(0); // the packet body follows the header
    return start;
  }
  S32 Read(U32 pos, U32 layer, U32 layers = 2) {
    JP2_Read_Bits_Set_Position(bits, pos);
    return JP2_Packet_Decode_Header(&prec, m, 1, layer, tc.u8TermAll, tc.u8Bypass, 0, 0, layers, bits);
  }
};

} // namespace

TEST(Jp2Tier2, LargestPassCountIsDecodable) {
  OneBlock b(false, false);
  // Non-empty, included (tag bit 1), zero bit-planes 2 (0 0 1), 164 passes, Lblock unchanged, 10-bit length 700.
  U32 p = b.Add("1 1 001 1111 11111 1111111 0 1010111100");
  ASSERT_EQ(0, b.Read(p, 0));
  EXPECT_EQ(164u, JP2_Block_Array_Get_Code_Passes(b.band.psBlocks, 0, 0));
  EXPECT_EQ(164u, b.band.psBlocks->pu8PassesRead[0]);
  EXPECT_EQ(700u, JP2_Block_Array_Get_Code_Length(b.band.psBlocks, 0, 0));
  EXPECT_EQ(8, b.planes);
  EXPECT_EQ(p + 5, JP2_Read_Bits_Get_Position(b.bits)); // 32 bits and one stuffed bit
  // A second packet of 164 passes would exceed 255: refused, nothing written outside.
  U32 q = b.Add("1 1 1111 11111 1111111 0 10101111000");
  EXPECT_NE(0, b.Read(q, 1));
}

TEST(Jp2Tier2, BypassSegmentsFollowThePassIndex) {
  OneBlock b(false, true);
  // Layer 0: 12 passes = segment 0 (10 passes, 6 bits) + segment 1 (2 passes, 4 bits).
  U32 p0 = b.Add("1 1 1 1111 00110 0 000111 0101");
  ASSERT_EQ(0, b.Read(p0, 0));
  // Layer 1: included before (1), 3 passes: pass 12 alone in segment 2 (3 bits), 13 and 14 in segment 3 (4 bits).
  U32 p1 = b.Add("1 1 1100 0 011 1001");
  ASSERT_EQ(0, b.Read(p1, 1));
  const U32 *seg = JP2_Block_Array_Get_Segment_Length_Array(b.band.psBlocks, 0);
  EXPECT_EQ(7u, seg[0]);
  EXPECT_EQ(5u, seg[1]);
  EXPECT_EQ(3u, seg[2]);
  EXPECT_EQ(9u, seg[3]);
  EXPECT_EQ(15u, b.band.psBlocks->pu8PassesRead[0]);
  EXPECT_EQ(12u, JP2_Block_Array_Get_Code_Length(b.band.psBlocks, 0, 1));
}

TEST(Jp2Tier2, TerminationOnEveryPassLimitsSegments) {
  OneBlock b(true, false, 3);
  // 37 passes each a segment with 3-bit lengths.
  std::string hdr = "1 1 1 1111 11111 0000000 0";
  for (int i = 0; i < 37; i++) hdr += " 001";
  ASSERT_EQ(0, b.Read(b.Add(hdr), 0, 3));
  EXPECT_EQ(37u, b.band.psBlocks->pu8PassesRead[0]);
  EXPECT_EQ(1u, JP2_Block_Array_Get_Segment_Length_Array(b.band.psBlocks, 0)[36]);
  // 37 more would need segment 60 and beyond: refused.
  std::string more = "1 1 1111 11111 0000000 0";
  for (int i = 0; i < 37; i++) more += " 001";
  EXPECT_NE(0, b.Read(b.Add(more), 1, 3));
}

TEST(Jp2Tier2, BitReaderStuffingAndMarkers) {
  OneBlock b(false, false);
  b.src.data = {0xFF, 0x7F, 0x00, 0xFF, 0x90};
  JP2_Read_Bits *r = b.bits;
  ASSERT_EQ(0, JP2_Read_Bits_Set_Position(r, 0));
  for (int i = 0; i < 8; i++) EXPECT_EQ(1u, JP2_Read_Bits_Get_Next_Bit(r));
  // The stuffed top bit of 0x7F is skipped: seven 1-bits follow.
  for (int i = 0; i < 7; i++) EXPECT_EQ(1u, JP2_Read_Bits_Get_Next_Bit(r)) << i;
  EXPECT_EQ(2u, JP2_Read_Bits_Get_Position(r));
  // After a full 0xFF, alignment consumes the stuffed byte.
  ASSERT_EQ(0, JP2_Read_Bits_Set_Position(r, 3));
  for (int i = 0; i < 7; i++) JP2_Read_Bits_Get_Next_Bit(r);
  EXPECT_EQ(255u, JP2_Read_Bits_Get_Next_Bit(r)); // 0xFF followed by a marker
  b.src.data = {0xFF, 0x05, 0x42};
  JP2_Cache_Empty(b.cache);
  ASSERT_EQ(0, JP2_Read_Bits_Set_Position(r, 0));
  for (int i = 0; i < 8; i++) JP2_Read_Bits_Get_Next_Bit(r);
  ASSERT_EQ(0, JP2_Read_Bits_Byte_Align(r));
  EXPECT_EQ(2u, JP2_Read_Bits_Get_Position(r));
}

TEST(Jp2Tier2, EmptyPacketAtTheLastLayerFreesTheTrees) {
  OneBlock b(false, false, 1);
  ASSERT_EQ(0, b.Read(b.Add("0"), 0, 1));
  EXPECT_EQ(nullptr, b.band.sIncl.ps32Value);
  EXPECT_EQ(1u, JP2_Read_Bits_Get_Position(b.bits));
}

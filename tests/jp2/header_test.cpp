// Main and tile-part headers: the corpus against opj_dump, and the marker edge cases.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "jp2/jp2_codestream.h"
#include "jp2/jp2_decomp.h"
#include "jp2_test_util.h"

using namespace jp2test;

namespace {

std::string Dump(JP2_Decomp *h) {
  // Our header values in opj_dump's layout, so a mismatch shows as a readable diff.
  JP2_Image *im = h->psImage;
  std::ostringstream o;
  o << "x0=" << im->u32XOsiz << " y0=" << im->u32YOsiz << " x1=" << im->u32Xsiz << " y1=" << im->u32Ysiz
    << " numcomps=" << im->u16Csiz << "\n";
  for (U32 c = 0; c < im->u16Csiz; c++) {
    S32 p = im->ps8Precision[c];
    o << "dx=" << (int)im->pu8XRsiz[c] << " dy=" << (int)im->pu8YRsiz[c] << " prec=" << (p < 0 ? -p : p)
      << " sgnd=" << (p < 0) << "\n";
  }
  o << "tx0=" << im->u32XTOsiz << " ty0=" << im->u32YTOsiz << " tdx=" << im->u32XTsiz << " tdy=" << im->u32YTsiz
    << " tw=" << im->u32TilesAcross << " th=" << im->u32TilesDown << "\n";
  JP2_Tile *t = &im->psTiles[0];
  o << "sop=" << (int)t->u8Sop << " eph=" << (int)t->u8Eph << " prg=" << (int)t->u8Order
    << " numlayers=" << t->u16Layers << " mct=" << (int)t->u8Mct << "\n";
  for (U32 c = 0; c < im->u16Csiz; c++) {
    JP2_Tile_Comp *tc = &t->psComps[c];
    o << "numresolutions=" << tc->u8Levels + 1 << " cblkw=" << (int)tc->u8Xcb << " cblkh=" << (int)tc->u8Ycb
      << " cblksty=" << (tc->u8Bypass | tc->u8Reset << 1 | tc->u8TermAll << 2 | tc->u8Causal << 3 |
                         tc->u8PredTerm << 4 | tc->u8SegSym << 5)
      << " qmfbid=" << (int)tc->u8Wavelet << " prec=";
    for (U32 r = 0; r <= tc->u8Levels; r++) o << "(" << (tc->au8Precinct[r] & 15) << "," << (tc->au8Precinct[r] >> 4) << ")";
    o << " qntsty=" << (int)tc->u8QuantStyle << " numgbits=" << (int)tc->u8Guard << " steps=";
    U32 n = tc->u8QuantStyle == 1 ? 1 : 3 * tc->u8Levels + 1;
    for (U32 i = 0; i < n; i++) o << "(" << (tc->u8QuantStyle ? tc->au32Mantissa[i] : 0) << "," << tc->au32Exponent[i] << ")";
    o << " roishift=" << (int)tc->u8RoiShift << "\n";
  }
  return o.str();
}

int Field(const std::string &line, const char *key) {
  size_t p = line.find(key);
  return p == std::string::npos ? -1 : (int)strtol(line.c_str() + p + strlen(key), nullptr, 0);
}

// The same values read from opj_dump's text.
std::string DumpFromOpj(const std::string &text) {
  std::istringstream in(text);
  std::string l;
  std::ostringstream o;
  std::vector<std::string> lines;
  while (std::getline(in, l)) lines.push_back(l);
  size_t i = 0;
  auto next = [&](const char *key) {
    while (i < lines.size() && lines[i].find(key) == std::string::npos) i++;
    return i < lines.size() ? lines[i++] : std::string();
  };
  std::string a = next("x0="), b = next("x1="), nc = next("numcomps=");
  int comps = Field(nc, "numcomps=");
  o << "x0=" << Field(a, "x0=") << " y0=" << Field(a, "y0=") << " x1=" << Field(b, "x1=") << " y1=" << Field(b, "y1=")
    << " numcomps=" << comps << "\n";
  for (int c = 0; c < comps; c++) {
    std::string d = next("dx="), p = next("prec="), s = next("sgnd=");
    o << "dx=" << Field(d, "dx=") << " dy=" << Field(d, "dy=") << " prec=" << Field(p, "prec=")
      << " sgnd=" << Field(s, "sgnd=") << "\n";
  }
  std::string t0 = next("tx0="), td = next("tdx="), tw = next("tw=");
  o << "tx0=" << Field(t0, "tx0=") << " ty0=" << Field(t0, "ty0=") << " tdx=" << Field(td, "tdx=")
    << " tdy=" << Field(td, "tdy=") << " tw=" << Field(tw, "tw=") << " th=" << Field(tw, "th=") << "\n";
  std::string csty = next("csty="), prg = next("prg="), nl = next("numlayers="), mct = next("mct=");
  int cs = (int)strtol(csty.c_str() + csty.find("0x"), nullptr, 16);
  o << "sop=" << ((cs >> 1) & 1) << " eph=" << ((cs >> 2) & 1) << " prg=" << Field(prg, "prg=")
    << " numlayers=" << Field(nl, "numlayers=") << " mct=" << Field(mct, "mct=") << "\n";
  for (int c = 0; c < comps; c++) {
    next("comp ");
    int nr = Field(next("numresolutions="), "numresolutions=");
    int cw = Field(next("cblkw="), "cblkw=2^"), ch = Field(next("cblkh="), "cblkh=2^");
    int sty = Field(next("cblksty="), "cblksty=");
    std::string cst = lines[i - 1];
    sty = (int)strtol(cst.c_str() + cst.find('=') + 1, nullptr, 0);
    int q = Field(next("qmfbid="), "qmfbid=");
    std::string pr = next("preccintsize");
    o << "numresolutions=" << nr << " cblkw=" << cw << " cblkh=" << ch << " cblksty=" << sty << " qmfbid=" << q
      << " prec=";
    size_t p = pr.find('=') + 1;
    for (int r = 0; r < nr; r++) {
      int w, hh;
      p = pr.find('(', p);
      sscanf(pr.c_str() + p, "(%d,%d)", &w, &hh);
      o << "(" << w << "," << hh << ")";
      p++;
    }
    int qs = Field(next("qntsty="), "qntsty="), gb = Field(next("numgbits="), "numgbits=");
    std::string st = next("stepsizes");
    o << " qntsty=" << qs << " numgbits=" << gb << " steps=";
    int n = qs == 1 ? 1 : 3 * (nr - 1) + 1;
    p = st.find('=') + 1;
    for (int k = 0; k < n; k++) {
      int m, e;
      p = st.find('(', p);
      sscanf(st.c_str() + p, "(%d,%d)", &m, &e);
      o << "(" << m << "," << e << ")";
      p++;
    }
    o << " roishift=" << Field(next("roishift="), "roishift=") << "\n";
  }
  return o.str();
}

} // namespace

TEST(Jp2Header, CorpusMatchesOpjDump) {
  const char *files[] = {"prog_lrcp", "prog_rlcp", "prog_rpcl", "prog_pcrl", "prog_cprl", "prog_tpr", "prog_tpc",
                         "prog_sopeph", "prog_poc", "prog_ppm", "prog_ppm_span", "prog_ppt", "prog_ppt_span",
                         "gray_53", "gray_97", "gray_97_g1", "rgb_53", "rgb_97", "c2_53", "c4_53", "yuv420_53",
                         "g12_53", "signed_53", "tiles_off", "tlm_plt", "roi", "com", "big_tiles", "big_97"};
  for (const char *name : files) {
    for (const char *ext : {".j2k"}) {
      Opened o(LoadFile(std::string(name) + ext));
      ASSERT_EQ(0, o.err) << name;
      Bytes dump = LoadFile(std::string(name) + ".dump");
      EXPECT_EQ(DumpFromOpj(std::string(dump.begin(), dump.end())), Dump(o.h)) << name;
    }
  }
  for (const char *name : {"rgb", "palette", "meta", "gray"}) {
    Opened o(LoadFile(std::string(name) + ".jp2"));
    ASSERT_EQ(0, o.err) << name;
    Bytes dump = LoadFile(std::string(name) + ".dump");
    EXPECT_EQ(DumpFromOpj(std::string(dump.begin(), dump.end())), Dump(o.h)) << name;
  }
  char buf[32];
  for (int m = 1; m <= 63; m++) {
    snprintf(buf, sizeof buf, "styles/m%d", m);
    Opened o(LoadFile(std::string(buf) + ".j2k"));
    ASSERT_EQ(0, o.err) << buf;
    Bytes dump = LoadFile(std::string(buf) + ".dump");
    EXPECT_EQ(DumpFromOpj(std::string(dump.begin(), dump.end())), Dump(o.h)) << buf;
  }
}

namespace {

Bytes Seg(U32 code, const Bytes &body) {
  Bytes b;
  Segment(b, code, body);
  return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes b;
  for (const Bytes &p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}

} // namespace

TEST(Jp2Header, MainHeaderEdgeCases) {
  Bytes qcd100{0x40};
  qcd100.resize(100, 8 << 3); // 99 step entries: more than the tables hold
  Bytes tlmST3{0, 0x30, 0, 0, 0, 0};
  struct Case {
    const char *what;
    Bytes main;
    S32 expect;
  } cases[] = {
      {"PLM, CRG and an unassigned marker are skipped", Cat({Seg(0xFF57, {0, 1, 2}), Seg(0xFF63, {0, 0, 0, 0}),
                                                             Seg(0xFF6F, {1, 2, 3})}),
       0},
      {"PLT in the main header", Seg(0xFF58, {0, 0}), JP2_ERR_SYNTAX},
      {"PPT in the main header", Seg(0xFF61, {0, 0}), JP2_ERR_SYNTAX},
      {"COM with Rcom 2", Seg(0xFF64, {0, 2, 'a'}), JP2_ERR_SYNTAX},
      {"empty COM", Seg(0xFF64, {0, 1}), 0},
      {"COM cut short", Bytes{0xFF, 0x64, 0xFF, 0x00, 0, 1}, JP2_ERR_BOX_READ},
      {"COC naming component 3 of 3", Seg(0xFF53, {3, 0, 1, 4, 4, 0, 1}), JP2_ERR_SYNTAX},
      {"QCC naming component 3 of 3", Seg(0xFF5D, {3, 0x40, 8 << 3, 8 << 3, 8 << 3, 8 << 3}), JP2_ERR_SYNTAX},
      {"RGN naming component 3 of 3", Seg(0xFF5E, {3, 0, 5}), JP2_ERR_SYNTAX},
      {"RGN with a region style", Seg(0xFF5E, {1, 1, 5}), JP2_ERR_TOO_LARGE},
      {"QCD with 99 steps", Seg(0xFF5C, qcd100), JP2_ERR_SYNTAX},
      {"TLM with ST 3", Seg(0xFF55, tlmST3), JP2_ERR_SYNTAX},
      {"COD with 33 levels", Seg(0xFF52, {0, 0, 0, 1, 0, 33, 4, 4, 0, 1}), JP2_ERR_SYNTAX},
      {"COD with code-blocks of 2^13 samples", Seg(0xFF52, {0, 0, 0, 1, 0, 1, 5, 6, 0, 1}), JP2_ERR_SYNTAX},
      {"COD with progression 5", Seg(0xFF52, {0, 5, 0, 1, 0, 1, 4, 4, 0, 1}), JP2_ERR_SYNTAX},
      {"COD with precincts of the wrong length", Seg(0xFF52, {1, 0, 0, 1, 0, 1, 4, 4, 0, 1, 0x77}), JP2_ERR_SYNTAX},
      {"PPM shorter than 7", Seg(0xFF60, {0, 1}), JP2_ERR_SYNTAX},
  };
  for (const Case &c : cases) {
    Opened o(Codestream(16, 16, 3, c.main));
    EXPECT_EQ(c.expect, o.err) << c.what;
    if (o.err) {
      EXPECT_EQ(o.count.allocs, o.count.frees) << c.what;
    }
  }
}

TEST(Jp2Header, StructuralFaultsAreRefused) {
  // Second marker is not SIZ (SIZ follows later).
  Bytes a;
  Put16(a, 0xFF4F);
  Segment(a, 0xFF52, COD());
  Segment(a, 0xFF51, SIZ(8, 8, 1));
  Segment(a, 0xFF5C, QCD());
  Put16(a, 0xFF90);
  EXPECT_EQ(JP2_ERR_SYNTAX, Opened(a).err);
  // COD without QCD reaches SOT.
  Bytes b;
  Put16(b, 0xFF4F);
  Segment(b, 0xFF51, SIZ(8, 8, 1));
  Segment(b, 0xFF52, COD());
  Segment(b, 0xFF90, {0, 0, 0, 0, 0, 20, 0, 1});
  EXPECT_EQ(JP2_ERR_SYNTAX, Opened(b).err);
  // Zero tile size and zero sub-sampling.
  for (int which = 0; which < 2; which++) {
    Bytes s = SIZ(8, 8, 1);
    if (which == 0) {
      memset(&s[18], 0, 4); // XTsiz
    } else {
      s[37] = 0; // XRsiz
    }
    Bytes c;
    Put16(c, 0xFF4F);
    Segment(c, 0xFF51, s);
    Segment(c, 0xFF52, COD());
    Segment(c, 0xFF5C, QCD());
    Put16(c, 0xFF90);
    EXPECT_EQ(JP2_ERR_SYNTAX, Opened(c).err) << which;
  }
  // Csiz at byte 40 of 0.
  Bytes d = Codestream(8, 8, 1);
  d[40] = d[41] = 0;
  EXPECT_EQ(JP2_ERR_COMPONENTS, Opened(d).err);
}

TEST(Jp2Header, CodingStylePrecedenceAndRegions) {
  // Two main CODs: tile fields from the first, component fields from the second.
  Bytes cod2 = Seg(0xFF52, {6, 2, 0, 5, 1, 2, 3, 3, 0x3F, 0});
  Bytes rgn = Seg(0xFF5E, {1, 0, 7});
  Bytes qcc = Seg(0xFF5D, {2, 0x20, 9 << 3, 9 << 3, 9 << 3, 9 << 3, 9 << 3, 9 << 3, 9 << 3});
  Bytes coc = Seg(0xFF53, {0, 0, 2, 2, 2, 0x04, 1});
  Bytes main = Cat({cod2, rgn, coc, qcc});
  Bytes cs;
  Put16(cs, 0xFF4F);
  Segment(cs, 0xFF51, SIZ(32, 32, 3, 16, 16));
  Segment(cs, 0xFF52, COD());
  Segment(cs, 0xFF5C, QCD());
  cs.insert(cs.end(), main.begin(), main.end());
  Put16(cs, 0xFF90);
  Opened o(cs);
  ASSERT_EQ(0, o.err);
  JP2_Image *im = o.h->psImage;
  ASSERT_EQ(4u, im->u32Tiles);
  for (U32 t = 0; t < 4; t++) {
    JP2_Tile *tile = &im->psTiles[t];
    EXPECT_EQ(0, tile->u8Order);
    EXPECT_EQ(1, tile->u16Layers);
    EXPECT_EQ(0, tile->u8Sop);
    JP2_Tile_Comp *c = tile->psComps;
    EXPECT_EQ(2, c[0].u8Levels); // from the COC
    EXPECT_EQ(1, c[0].u8TermAll);
    EXPECT_EQ(2, c[1].u8Levels); // from the second COD
    EXPECT_EQ(5, c[1].u8Xcb);
    EXPECT_EQ(1, c[1].u8SegSym);
    EXPECT_EQ(0, c[1].u8Wavelet);
    // The main header's RGN shifts only the component it names.
    EXPECT_EQ(0, c[0].u8RoiShift);
    EXPECT_EQ(7, c[1].u8RoiShift);
    EXPECT_EQ(0, c[2].u8RoiShift);
    EXPECT_EQ(1, c[2].u8Guard);
    EXPECT_EQ(9u, c[2].au32Exponent[6]);
    EXPECT_EQ(8u, c[0].au32Exponent[0]);
  }
  EXPECT_EQ(2, im->u8MaxLevels);
}

TEST(Jp2Header, PackedHeaderAndTileLengthTables) {
  Bytes ppm1 = Seg(0xFF60, {1, 0, 0, 0, 1, 0xAA});
  Bytes ppm0 = Seg(0xFF60, {0, 0, 0, 0, 1, 0xBB, 0xCC});
  Bytes tlm = Seg(0xFF55, {4, 0x00, 0, 30, 0, 40, 0, 50}); // ST 0, 16-bit lengths, 3 entries
  Bytes cs;
  Put16(cs, 0xFF4F);
  Segment(cs, 0xFF51, SIZ(48, 16, 1, 16, 16));
  Segment(cs, 0xFF52, COD());
  Segment(cs, 0xFF5C, QCD());
  Bytes extra = Cat({ppm1, ppm0, tlm});
  cs.insert(cs.end(), extra.begin(), extra.end());
  U32 ppm1Pos = 2 + 43 + 14 + 9;
  Put16(cs, 0xFF90);
  Opened o(cs);
  ASSERT_EQ(0, o.err);
  JP2_Image *im = o.h->psImage;
  ASSERT_EQ(2u, im->u32PpmCount);
  EXPECT_EQ(ppm1Pos + 5, im->pu32PpmPos[1]);
  EXPECT_EQ(5u, im->pu32PpmLen[1]);
  EXPECT_EQ(6u, im->pu32PpmLen[0]);
  JP2_TLM_Record *r = im->psTLM->apsSlot[4];
  ASSERT_NE(nullptr, r);
  ASSERT_EQ(3u, r->u32Entries);
  EXPECT_EQ(5u, JP2_TLM_Marker_Array_Get_Num_Markers(im->psTLM));
  for (U32 i = 0; i < 3; i++) {
    EXPECT_EQ(i, r->pu16Tile[i]);
    EXPECT_EQ(30 + 10 * i, r->pu32Length[i]);
  }
}

TEST(Jp2Header, TilePartHeaders) {
  Bytes cs;
  Put16(cs, 0xFF4F);
  Segment(cs, 0xFF51, SIZ(32, 16, 3, 16, 16));
  Segment(cs, 0xFF52, COD());
  Segment(cs, 0xFF5C, QCD());
  U32 sot0 = (U32)cs.size();
  // Tile 1, Psot 0, with a tile-part RGN for component 2 and a PLT that is skipped.
  Bytes body;
  Segment(body, 0xFF5E, {2, 0, 4});
  Segment(body, 0xFF58, {0, 1});
  Segment(cs, 0xFF90, {0, 1, 0, 0, 0, 0, 0, 1});
  cs.insert(cs.end(), body.begin(), body.end());
  Put16(cs, 0xFF93);
  U32 d = (U32)cs.size();
  cs.push_back(0);
  U32 sot1 = (U32)cs.size();
  Segment(cs, 0xFF90, {0, 2, 0, 0, 0, 0, 0, 1}); // Isot = number of tiles
  Put16(cs, 0xFF93);
  Put16(cs, 0xFFD9);
  Opened o(cs);
  ASSERT_EQ(0, o.err);
  EXPECT_EQ(sot0, o.h->u32FirstTilePart);
  U32 end = 99, tile = 99;
  ASSERT_EQ(0, JP2_Codestream_Read_Tile_Header(o.h, &end, sot0, &tile));
  EXPECT_EQ(1u, tile);
  EXPECT_EQ(0u, end);
  JP2_Tile *t = &o.h->psImage->psTiles[1];
  EXPECT_EQ(d, t->u32BodyPos);
  EXPECT_EQ(d, t->u32HeaderPos);
  EXPECT_EQ(0u, t->u32EndLimit);
  EXPECT_EQ(4, t->psComps[2].u8RoiShift);
  EXPECT_EQ(0, o.h->psImage->psTiles[0].psComps[2].u8RoiShift);
  EXPECT_EQ(JP2_ERR_SYNTAX, JP2_Codestream_Read_Tile_Header(o.h, &end, sot1, &tile));
}

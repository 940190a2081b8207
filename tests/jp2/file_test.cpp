// JP2 boxes, ICC profiles, metadata getters and the balance of allocations.
#include <gtest/gtest.h>

#include "jp2/jp2_decomp.h"
#include "jp2/jp2_file.h"
#include "jp2/jp2_icc.h"
#include "jp2_test_util.h"

using namespace jp2test;

namespace {

Bytes Box(const char *type, const Bytes &payload) {
  Bytes b;
  Put32(b, (U32)payload.size() + 8);
  b.insert(b.end(), type, type + 4);
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes b;
  for (const Bytes &p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}

Bytes Str(const char *s) { return Bytes(s, s + strlen(s)); }

Bytes Colr(U32 code, S8 prec) {
  Bytes p{1, (U8)prec, 0};
  Put32(p, code);
  return Box("colr", p);
}

Bytes Ihdr(U32 comps) {
  Bytes p;
  Put32(p, 8);
  Put32(p, 8);
  Put16(p, comps);
  p.insert(p.end(), {7, 7, 0, 0});
  return Box("ihdr", p);
}

// A JP2 file around an 8 x 8 codestream of the given component count.
Bytes Jp2(const Bytes &headerBoxes, U32 comps = 3, const Bytes &mid = {}, const Bytes &after = {},
          const char *brand = "jp2 ", U32 ihdrComps = 0) {
  Bytes sig = Box("jP  ", {0x0D, 0x0A, 0x87, 0x0A});
  Bytes ftyp = Box("ftyp", Cat({Str(brand), Bytes{0, 0, 0, 0}, Str(brand)}));
  Bytes jp2h = Box("jp2h", Cat({Ihdr(ihdrComps ? ihdrComps : comps), headerBoxes}));
  return Cat({sig, ftyp, jp2h, mid, Box("jp2c", Codestream(8, 8, comps)), after});
}

Bytes Icc(const char *cls, const char *space, const char *pcs, std::initializer_list<const char *> tags,
          U32 size = 0) {
  Bytes p(128, 0);
  memcpy(&p[12], cls, 4);
  memcpy(&p[16], space, 4);
  memcpy(&p[20], pcs, 4);
  memcpy(&p[36], "acsp", 4);
  Put32(p, (U32)tags.size());
  for (const char *t : tags) {
    p.insert(p.end(), t, t + 4);
    Put32(p, 0);
    Put32(p, 0);
  }
  U32 n = size ? size : (U32)p.size();
  p[0] = (U8)(n >> 24);
  p[1] = (U8)(n >> 16);
  p[2] = (U8)(n >> 8);
  p[3] = (U8)n;
  return p;
}

} // namespace

TEST(Jp2File, BrandsAndBoxWalkFaults) {
  struct Case {
    const char *what;
    Bytes file;
    S32 err;
    S32 isJp2;
  } cases[] = {
      {"brand jpx", Jp2(Colr(16, 0), 3, {}, {}, "jpx "), 0, 1},
      {"neither brand: read as a raw codestream", Jp2(Colr(16, 0), 3, {}, {}, "abcd"), JP2_ERR_COMPONENTS, -1},
      {"box of length 0 before the codestream", Jp2({}, 3, Bytes{0, 0, 0, 0, 'x', 'm', 'l', ' '}), JP2_ERR_BOX_READ, -1},
      {"box of length 5 before the codestream", Jp2({}, 3, Bytes{0, 0, 0, 5, 'x', 'm', 'l', ' '}), JP2_ERR_BOX_READ, -1},
      {"64-bit length with a high word", Jp2({}, 3, Bytes{0, 0, 0, 1, 'x', 'm', 'l', ' ', 0, 0, 0, 1, 0, 0, 0, 16}),
       JP2_ERR_TOO_LARGE, -1},
      {"more components in SIZ than the image header", Jp2(Colr(16, 0), 3, {}, {}, "jp2 ", 1), JP2_ERR_SYNTAX, -1},
      {"resd of length 20", Jp2(Box("res ", Cat({Bytes{0, 0, 0, 20}, Str("resd"), Bytes(12, 1)})), 3),
       JP2_ERR_RES_BOX, -1},
      {"ICC box shorter than 11 bytes", Jp2(Box("colr", {2, 0})), JP2_ERR_COLOUR_SPACE, -1},
      {"palette column deeper than 32 bits", Jp2(Box("pclr", {0, 1, 1, 32})), JP2_ERR_TOO_LARGE, -1},
      {"component mapping without a palette", Jp2(Box("cmap", {0, 0, 0, 0})), JP2_ERR_CMAP_NO_PALETTE, -1},
      {"palette without component mapping", Jp2(Box("pclr", {0, 1, 1, 7, 5})), JP2_ERR_PALETTE_NO_CMAP, -1},
  };
  // A uuid box cut short inside its identifier ends the walk; the codestream is then looked for after ftyp.
  Bytes full = Jp2(Colr(16, 0));
  size_t jp2c = std::string(full.begin(), full.end()).find("jp2c") - 4;
  Bytes cut(full.begin(), full.begin() + (long)jp2c);
  cut.insert(cut.end(), {0, 0, 0, 40, 'u', 'u', 'i', 'd', 1, 2});
  EXPECT_EQ(JP2_ERR_SYNTAX, Opened(cut).err);
  for (Case &c : cases) {
    Opened o(c.file);
    EXPECT_EQ(c.err, o.err) << c.what;
    if (!o.err) {
      EXPECT_EQ(c.isJp2, o.h->psImage->s32IsJP2) << c.what;
    } else {
      EXPECT_EQ(o.count.allocs, o.count.frees) << c.what;
    }
  }
}

TEST(Jp2File, ColourSpecificationsAndPrecedence) {
  struct Case {
    const char *what;
    Bytes boxes;
    U32 comps;
    S32 space;
  } cases[] = {
      {"two of precedence 0: the first", Cat({Colr(17, 0), Colr(16, 0)}), 3, 10},
      {"higher precedence wins", Cat({Colr(17, 0), Colr(16, 3)}), 3, 20},
      {"unsupported enumeration loses", Cat({Colr(99, 5), Colr(18, 0)}), 3, 30},
      {"CMYK", Colr(12, 0), 4, 50},
  };
  for (Case &c : cases) {
    Opened o(Jp2(c.boxes, c.comps));
    ASSERT_EQ(0, o.err) << c.what;
    JP2_Property_Value v;
    ASSERT_EQ(0, JP2_Decompress_GetProp(o.h, 20, &v, 0, 0));
    EXPECT_EQ(c.space, (S32)v) << c.what;
  }
  // CIELab without parameters: offsets from the component precisions.
  Opened lab(Jp2(Box("colr", {1, 0, 0, 0, 0, 0, 14})));
  ASSERT_EQ(0, lab.err);
  U32 rec[7];
  ASSERT_EQ(0, JP2_Decompress_GetLAB(lab.h, rec));
  EXPECT_EQ(100u, rec[0]);
  EXPECT_EQ(128u, rec[3]);
  EXPECT_EQ(128u, rec[5]);
  EXPECT_EQ(0x443530u, rec[6]);
  // An 11-byte ICC box holds an empty profile; a selected empty profile is refused.
  Opened icc(Jp2(Cat({Colr(16, 5), Box("colr", {2, 0, 0})})));
  ASSERT_EQ(0, icc.err);
  EXPECT_EQ(2u, icc.h->sCSpec.u32Count);
  EXPECT_EQ(0u, icc.h->sCSpec.pu32ProfileLength[1]);
  EXPECT_EQ(JP2_ERR_ICC, JP2_Decompress_SetColorSpec(icc.h, 1));
  EXPECT_EQ(JP2_ERR_CSPEC_INDEX, JP2_Decompress_SetColorSpec(icc.h, 2));
}

TEST(Jp2File, PaletteMappingAndChannels) {
  Opened o(LoadFile("palette.jp2"));
  ASSERT_EQ(0, o.err);
  JP2_Property_Value v;
  ASSERT_EQ(0, JP2_Decompress_GetProp(o.h, 20, &v, 0, 0));
  EXPECT_EQ(21u, v);
  JP2_Palette *p;
  ASSERT_EQ(0, JP2_Decompress_GetPalette(o.h, &p));
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(256u, p->u32Entries);
  EXPECT_EQ(3u, p->u32Columns);
  EXPECT_EQ(10u, p->ppu32Column[0][10]);
  EXPECT_EQ(245u, p->ppu32Column[1][10]);
  const JP2_Channel_Def *ch;
  U32 n;
  ASSERT_EQ(0, JP2_Decompress_GetChannelDefs(o.h, &ch, &n));
  ASSERT_EQ(3u, n);
  for (U32 i = 0; i < 3; i++) {
    EXPECT_EQ(0u, ch[i].u32Type);
    EXPECT_EQ(i + 1, ch[i].u32Assoc);
  }
  // The mapping box stops at the first entry naming a component beyond its own count.
  Bytes cmap = Box("cmap", {0, 0, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0});
  Bytes pclr = Box("pclr", {0, 1, 1, 7, 9});
  Opened m(Jp2(Cat({Colr(17, 0), pclr, cmap}), 1));
  ASSERT_EQ(JP2_ERR_CMAP_MISMATCH, m.err); // greyscale channel 0 is not a palette mapping
}

TEST(Jp2File, MetadataBoxesAndResolution) {
  Opened o(LoadFile("meta.jp2"));
  ASSERT_EQ(0, o.err);
  EXPECT_EQ(1, o.h->psImage->s32IsJP2);
  JP2_Property_Value v;
  ASSERT_EQ(0, JP2_Decompress_GetProp(o.h, 20, &v, 0, 0));
  EXPECT_EQ(20u, v);
  U32 n;
  ASSERT_EQ(0, JP2_Decompress_GetXML_Num(o.h, &n));
  EXPECT_EQ(3u, n);
  U8 *d;
  U32 len;
  ASSERT_EQ(0, JP2_Decompress_GetXML_Data(o.h, 0, &d, &len));
  EXPECT_EQ("<b>before</b>", std::string((char *)d, len));
  // The last box runs to the end of the file: its length is probed, and the data is shorter than the probe.
  ASSERT_EQ(JP2_WARN_SHORT_DATA, JP2_Decompress_GetXML_Data(o.h, 2, &d, &len));
  EXPECT_EQ("<last>runs to the end</last>", std::string((char *)d, len));
  EXPECT_EQ(JP2_ERR_META_INDEX, JP2_Decompress_GetXML_Data(o.h, 3, &d, &len));
  ASSERT_EQ(0, JP2_Decompress_GetUUID_Num(o.h, &n));
  EXPECT_EQ(2u, n);
  ASSERT_EQ(0, JP2_Decompress_GetIPTC_Num(o.h, &n));
  EXPECT_EQ(1u, n);
  ASSERT_EQ(0, JP2_Decompress_GetIPTC_Data(o.h, 0, &d, &len));
  EXPECT_EQ("IPTC data", std::string((char *)d, len));
  EXPECT_EQ(JP2_ERR_META_INDEX, JP2_Decompress_GetIPTC_Data(o.h, 1, &d, &len));
  ASSERT_EQ(0, JP2_Decompress_GetIP_Num(o.h, &n));
  EXPECT_EQ(1u, n);
  U8 *ids, *loc;
  U16 nid;
  ASSERT_EQ(0, JP2_Decompress_GetUUID_Info_Data(o.h, 0, &ids, &nid, &loc, &len));
  EXPECT_EQ(1, nid);
  EXPECT_EQ(15, ids[15]);
  EXPECT_EQ("http://x/y", std::string((char *)loc));
  U32 vr, hr;
  JP2_Resolution_Values rv;
  ASSERT_EQ(0, JP2_Decompress_GetResolution(o.h, &vr, &hr, &rv, 2, 0));
  EXPECT_EQ(30000u, vr);
  EXPECT_EQ(20000u, hr);
  ASSERT_EQ(0, JP2_Decompress_GetResolution(o.h, &vr, &hr, nullptr, 0, 1));
  EXPECT_EQ(2u, vr); // 72 per metre in grid points per inch, rounded
  EXPECT_EQ(JP2_ERR_WHICH, JP2_Decompress_GetResolution(o.h, &vr, &hr, nullptr, 0, 2));
  EXPECT_EQ(JP2_ERR_UNIT, JP2_Decompress_GetResolution(o.h, &vr, &hr, nullptr, 3, 0));
  U32 com;
  Opened c(LoadFile("com.j2k"));
  ASSERT_EQ(0, JP2_Decompress_GetCOM_Num(c.h, &com));
  ASSERT_EQ(1u, com);
  U16 reg;
  ASSERT_EQ(0, JP2_Decompress_GetCOM_Data(c.h, 0, &reg, &d, &len));
  EXPECT_EQ(1, reg);
  EXPECT_EQ("a comment", std::string((char *)d, len));
}

TEST(Jp2File, IccProfileExamination) {
  struct Case {
    const char *what;
    Bytes profile;
    S32 err, restricted;
    U32 channels;
    S32 supported;
  } cases[] = {
      {"127 bytes", Bytes(127, 0), JP2_ERR_ICC, 0, 0, 0},
      {"grey display profile", Icc("mntr", "GRAY", "XYZ ", {}), 0, 0, 1, 1},
      {"restricted grey input", Icc("scnr", "GRAY", "XYZ ", {"kTRC"}), 0, 1, 1, 1},
      {"restricted RGB input", Icc("scnr", "RGB ", "XYZ ", {"rTRC", "gTRC", "bTRC", "rXYZ", "gXYZ", "bXYZ"}), 0, 1,
       3, 1},
      {"RGB input without bXYZ", Icc("scnr", "RGB ", "XYZ ", {"rTRC", "gTRC", "bTRC", "rXYZ", "gXYZ"}), 0, 0, 3, 1},
      {"RGB input in Lab", Icc("scnr", "RGB ", "Lab ", {}), 0, 0, 3, 1},
      {"CMYK", Icc("scnr", "CMYK", "XYZ ", {}), 0, 0, 4, 0},
      {"YCbr", Icc("mntr", "YCbr", "XYZ ", {}), 0, 0, 3, 1},
      {"7CLR", Icc("mntr", "7CLR", "XYZ ", {}), 0, 0, 7, 0},
      {"size field beyond the data", Icc("mntr", "GRAY", "XYZ ", {}, 400), JP2_ERR_ICC, 0, 0, 0},
      {"unknown colour space", Icc("mntr", "ABCD", "XYZ ", {}), JP2_ERR_ICC, 0, 0, 0},
      {"bad connection space", Icc("mntr", "GRAY", "Luv ", {}), JP2_ERR_ICC, 0, 0, 0},
  };
  for (Case &c : cases) {
    S32 sup = -1, res = -1;
    U32 ch = 99;
    EXPECT_EQ(c.err, JP2_General_CheckICC(c.profile.data(), (U32)c.profile.size(), &sup, &res, &ch)) << c.what;
    if (c.err) continue;
    EXPECT_EQ(c.restricted, res) << c.what;
    EXPECT_EQ(c.channels, ch) << c.what;
    EXPECT_EQ(c.supported, sup) << c.what;
  }
  // A candidate whose tag table runs past the data.
  Bytes p = Icc("scnr", "GRAY", "XYZ ", {"kTRC"});
  p[131] = 50;
  S32 r;
  U32 ch;
  EXPECT_EQ(JP2_ERR_ICC, JP2_ICC_Check(nullptr, p.data(), (U32)p.size(), &r, &ch));
}

TEST(Jp2File, AllocationsBalanceAndEveryFailureIsClean) {
  for (const char *name : {"meta.jp2", "prog_ppm_span.j2k", "tlm_plt.j2k", "palette.jp2"}) {
    Bytes data = LoadFile(name);
    long needed;
    {
      Opened o(data);
      ASSERT_EQ(0, o.err) << name;
      ASSERT_EQ(0, JP2_Decompress_Image(o.h)) << name;
      U32 n;
      JP2_Decompress_GetXML_Num(o.h, &n);
      needed = o.count.allocs;
      JP2_Decompress_End(o.h);
      o.h = nullptr;
      EXPECT_EQ(o.count.allocs, o.count.frees) << name;
    }
    for (long fail = 0; fail < needed; fail++) {
      Source src{data, 0};
      Counter count;
      count.failAfter = fail;
      JP2_Decomp *h = nullptr;
      S32 e = JP2_Decompress_Start(&h, CountMalloc, &count, CountFree, &count, ReadSource, &src);
      if (e == 0) {
        JP2_Decompress_Image(h);
        EXPECT_EQ(0, JP2_Decompress_End(h));
      } else {
        EXPECT_EQ(JP2_ERR_MEMORY, e) << name << " " << fail;
        EXPECT_EQ(nullptr, h);
      }
      EXPECT_EQ(count.allocs, count.frees) << name << " failing after " << fail;
    }
  }
}

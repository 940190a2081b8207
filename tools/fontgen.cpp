// Build-time generator: renders the bitmap fonts from DejaVu with FreeType into FONT_DEF tables, and embeds the
// TrueType face with the character maps the text code selects by font set.
//
// fontgen SANS SANS_BOLD CONDENSED CONDENSED_BOLD FONTS_OUT.cpp FACE_OUT.cpp
// fontgen --chart MONO CHART_FONTS_OUT.cpp: the chart library's three fixed-cell fonts, in its font body format.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "charset.h"

namespace {

enum Face { kSans, kSansBold, kCondensed, kCondensedBold, kFaceCount };

struct FontSpec {
  const char *name;
  int height, ascender, descender, maxWidth, spacing;
  const char *chars; // "digits", "digits+xy", "set1", "set2", "set1greek", "ascii90", "ascii91"
  Face face;
  bool hasPtr;
};

// Cell metrics of every built-in font.
const FontSpec kFonts[] = {
    {"f7x10", 10, 0, 0, 9, 1, "digits+x", kSansBold, true},
    {"f9x14", 14, 0, 0, 12, 1, "digits+x", kSansBold, true},
    {"f13x19", 19, 0, 0, 18, 1, "digits", kSansBold, true},
    {"f16x26", 26, 0, 0, 19, 0, "digits+y", kSansBold, true},
    {"f21x33", 33, 0, 0, 26, 0, "digits", kSansBold, true},
    {"f22x32", 32, 0, 0, 26, 0, "digits+a", kSansBold, true},
    {"f32x48", 48, 0, 0, 36, 3, "digits", kSansBold, true},
    {"f40x60", 66, 0, 0, 49, 0, "digits+\xf1", kSansBold, true},
    {"f18x27", 33, 3, 3, 21, 2, "digits+x", kSansBold, true},
    {"a24x37", 43, 3, 3, 29, 2, "digits", kSansBold, true},
    {"a42x66", 72, 3, 3, 48, 0, "digits", kSansBold, true},
    {"a58x88", 94, 3, 3, 63, 2, "digits", kSansBold, true},
    {"f58x88", 88, 0, 0, 63, 2, "digits", kSansBold, true},
    {"a87x133", 139, 3, 3, 97, 3, "digits", kSansBold, true},
    {"myriad_9x14", 20, 3, 3, 12, 0, "digits+\tx", kCondensedBold, true},
    {"myriad_15x21", 27, 3, 3, 18, 0, "digits+\xa1", kCondensedBold, true},
    {"myriad_21x33", 39, 3, 3, 26, 0, "digits+A", kCondensedBold, true},
    {"myriad_22x32", 32, 0, 0, 26, 0, "digits+Y", kCondensedBold, true},
    {"myriad_29x44", 50, 3, 3, 34, 0, "digits+1", kCondensedBold, true},
    {"myriad_42x66", 72, 3, 3, 49, 4, "digits", kCondensedBold, true},
    {"aonehunsixteenonehunsixnine", 173, 1, 4, 117, 2, "digits", kSansBold, true},
    {"aonehuntwentfiveonehuneightone", 182, 1, 3, 125, 2, "digits", kSansBold, true},
    {"atwentfourfourthreegreek", 68, 12, 14, 50, 2, "set1greek", kSansBold, true},
    {"atwentfourfourthreeRUS", 66, 12, 12, 50, 2, "set2", kSansBold, true},
    {"f17x21", 25, 1, 1, 16, 2, "digits", kSans, true},
    {"f21x38", 38, 0, 0, 22, 2, "digits", kSans, true},
    {"a29x44", 45, 1, 0, 31, 2, "digits", kSansBold, true},
    {"f25x44", 46, 2, 0, 25, 2, "digits", kSans, true},
    {"a15x25", 40, 7, 8, 29, 2, "set1greek", kSansBold, true},
    {"a38x60", 60, 0, 0, 40, 2, "digits", kSansBold, true},
    {"a34x53", 53, 1, 0, 37, 2, "digits", kSansBold, true},
    {"myr33x44", 46, 1, 1, 29, 2, "digits", kCondensedBold, true},
    {"f13x19a", 19, 0, 0, 14, 2, "digits", kSans, true},
    {"f15x21", 33, 6, 6, 26, 2, "ascii91", kSans, true},
    {"f18x32", 32, 0, 0, 18, 2, "digits+abcdef", kSans, true},
    {"f19x30", 30, 1, 0, 19, 2, "digits", kSans, true},
    {"f29x44", 45, 1, 0, 31, 2, "digits+l", kSans, true},
    {"f31x57", 57, 0, 0, 32, 2, "digits", kSans, true},
    {"f34x62", 64, 3, 0, 35, 2, "digits", kSans, true},
    {"f40x71", 71, 0, 0, 40, 2, "digits", kSans, true},
    {"f44x76", 77, 1, 0, 45, 2, "digits", kSans, true},
    {"f65x133", 118, 1, 1, 67, 2, "digits", kSans, true},
    {"corvan_6x11short", 17, 3, 3, 11, 2, "ascii90", kSans, true},
    {"corvan_16x17", 27, 5, 5, 22, 2, "set1", kSans, false},
    {"corvan_16x17_Cro_Rus", 27, 5, 5, 22, 2, "set2", kSans, false},
    {"corvan_11x14", 22, 4, 4, 18, 2, "set1", kSans, false},
    {"corvan_11x14_Cro_Rus", 22, 4, 4, 18, 2, "set2", kSans, false},
    {"a14x21", 34, 7, 6, 19, 2, "ascii90", kSans, true},
};

[[noreturn]] void die(const std::string &what) {
  std::fprintf(stderr, "fontgen: %s\n", what.c_str());
  std::exit(1);
}

std::vector<int> setCodes(int set) {
  std::vector<int> codes;
  // Byte 0x0A (the half sign) is left out of the bitmap sets: the interface fonts carry one code fewer.
  for (int b = 1; b < 256; b++)
    if (b != 0x0A && charsetUnicode(set, static_cast<uint8_t>(b)) != 0) codes.push_back(b);
  return codes;
}

// The character codes of a font.
std::vector<int> fontCodes(const std::string &spec) {
  std::vector<int> codes;
  if (spec.rfind("digits", 0) == 0) {
    codes = {' ', '"', '\'', '-', '.', '/', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', ':', 0xBA};
    if (spec.size() > 7)
      for (unsigned char c : spec.substr(7)) codes.push_back(c);
  } else if (spec == "set1") {
    codes = setCodes(1);
  } else if (spec == "set2") {
    codes = setCodes(2);
  } else if (spec == "set1greek") {
    codes = setCodes(1);
    codes.erase(codes.begin(), codes.begin() + 6); // the six lowest codes are Baltic letters Greek never needs
  } else if (spec == "ascii90" || spec == "ascii91") {
    for (int c = 0x20; c <= 0x7A; c++)
      if (spec == "ascii91" || c != 0x60) codes.push_back(c);
  } else {
    die("unknown character set " + spec);
  }
  std::sort(codes.begin(), codes.end());
  codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
  return codes;
}

// The Unicode character a code draws in a font: set 2 for the Croatian/Cyrillic fonts, set 1 otherwise.
uint32_t unicodeFor(const FontSpec &f, int code) {
  if (code == '\t') return ' ';
  const int set = std::string(f.chars) == "set2" ? 2 : 1;
  return charsetUnicode(set, static_cast<uint8_t>(code));
}

struct Glyph {
  int code;
  int width;
  std::vector<uint8_t> bits; // height rows of (width + 7) / 8 bytes
};

struct Renderer {
  FT_Face face;

  void setSize(int pw, int ph) {
    if (FT_Set_Pixel_Sizes(face, pw, ph)) die("cannot set size");
  }
  bool load(uint32_t unicode) {
    const FT_UInt gi = FT_Get_Char_Index(face, unicode);
    if (gi == 0) return false;
    return FT_Load_Glyph(face, gi, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0;
  }
  int advance() const { return static_cast<int>((face->glyph->advance.x + 32) >> 6); }
  int inkRows() const { return static_cast<int>(face->glyph->bitmap.rows); }

  // Sets the pixel size that puts the reference glyph's height on the core height, narrowed until the widest
  // of the characters fits the maximum width.
  void fit(uint32_t reference, int core, const std::vector<uint32_t> &unicodes, int maxWidth) {
    int ph = 2;
    for (int p = 2; p < 600; p++) {
      setSize(0, p);
      if (!load(reference)) die("no reference glyph");
      if (inkRows() > core) break;
      ph = p;
    }
    int pw = ph;
    for (;;) {
      setSize(pw, ph);
      int widest = 0;
      for (uint32_t u : unicodes)
        if (u && load(u)) widest = std::max(widest, advance());
      if (widest <= maxWidth || pw <= 2) break;
      pw--;
    }
    setSize(pw, ph);
  }
};

// Renders a font at the size that fits its cell.
std::vector<Glyph> renderFont(Renderer &r, const FontSpec &f) {
  const std::vector<int> codes = fontCodes(f.chars);
  const int core = f.height - f.ascender - f.descender;
  const bool digitsOnly = std::string(f.chars).rfind("digits", 0) == 0;
  const uint32_t reference = digitsOnly ? '0' : 'H';
  std::vector<uint32_t> unicodes;
  for (int c : codes) unicodes.push_back(unicodeFor(f, c));
  r.fit(reference, core, unicodes, f.maxWidth);

  const int baselineRow = f.height - f.descender - 1; // cell row that lands on the anchor's y
  std::vector<Glyph> glyphs;
  for (int c : codes) {
    const uint32_t u = unicodeFor(f, c);
    if (u == 0 || !r.load(u)) die(std::string("missing glyph in ") + f.name + " code " + std::to_string(c));
    Glyph g;
    g.code = c;
    g.width = std::clamp(r.advance(), 1, f.maxWidth);
    const int stride = (g.width + 7) / 8;
    g.bits.assign(static_cast<size_t>(stride) * f.height, 0);
    const FT_Bitmap &bm = r.face->glyph->bitmap;
    const int left = r.face->glyph->bitmap_left;
    const int top = r.face->glyph->bitmap_top;
    if (c != '\t' && c != ' ') {
      for (int row = 0; row < static_cast<int>(bm.rows); row++) {
        const int cellRow = baselineRow - top + 1 + row;
        if (cellRow < 0 || cellRow >= f.height) continue;
        for (int col = 0; col < static_cast<int>(bm.width); col++) {
          const int x = left + col;
          if (x < 0 || x >= g.width) continue;
          if (bm.buffer[row * bm.pitch + col / 8] & (0x80 >> (col % 8)))
            g.bits[cellRow * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
      }
    }
    glyphs.push_back(std::move(g));
  }
  return glyphs;
}

std::vector<uint8_t> readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) die("cannot read " + path);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFileIfChanged(const std::string &path, const std::string &text) {
  std::ifstream in(path, std::ios::binary);
  if (in) {
    std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (old == text) return;
  }
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) die("cannot write " + path);
}

std::string generateFonts(FT_Library lib, const std::vector<std::vector<uint8_t>> &faces) {
  std::ostringstream o;
  o << "// Generated by tools/fontgen.cpp from DejaVu; do not edit.\n#include \"draw/fonts.h\"\n\nnamespace {\n";
  std::ostringstream defs;
  for (const FontSpec &f : kFonts) {
    FT_Face face;
    const std::vector<uint8_t> &data = faces[f.face];
    if (FT_New_Memory_Face(lib, data.data(), static_cast<FT_Long>(data.size()), 0, &face)) die("bad face");
    Renderer r{face};
    const std::vector<Glyph> glyphs = renderFont(r, f);
    FT_Done_Face(face);
    std::map<int, std::string> descNames;
    for (const Glyph &g : glyphs) {
      const std::string n = std::string(f.name) + "_" + std::to_string(g.code);
      o << "const U8 " << n << "_bits[] = {";
      for (size_t i = 0; i < g.bits.size(); i++) {
        if (i % 16 == 0) o << "\n    ";
        char buf[8];
        std::snprintf(buf, sizeof buf, "0x%02X,", g.bits[i]);
        o << buf;
      }
      o << "};\nconst CHAR_DESC " << n << " = {" << n << "_bits, " << g.width << "};\n";
      descNames[g.code] = n;
    }
    o << "const CHAR_DESC *const " << f.name << "_table[256] = {";
    for (int c = 0; c < 256; c++) {
      if (c % 8 == 0) o << "\n    ";
      auto it = descNames.find(c);
      o << (it == descNames.end() ? std::string("nullptr") : "&" + it->second) << ", ";
    }
    o << "};\n\n";
    defs << "const FONT_DEF " << f.name << "_font_def = {{" << f.name << "_table}, " << f.height << ", "
         << f.ascender << ", " << f.descender << ", " << f.maxWidth << ", " << f.spacing << "};\n";
    if (f.hasPtr) defs << "const FONT_DEF *" << f.name << "_font_def_ptr = &" << f.name << "_font_def;\n";
  }
  o << "} // namespace\n\n" << defs.str();
  o << "\nconst FONT_DEF *std_16x17_font_def_ptr = &corvan_16x17_font_def;\n"
       "const FONT_DEF *std_11x14_font_def_ptr = &corvan_11x14_font_def;\n";
  return o.str();
}

// ---- TrueType face with the unit's character maps ----

uint32_t be32(const uint8_t *p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
uint16_t be16(const uint8_t *p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
void put16(std::vector<uint8_t> &v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x >> 8));
  v.push_back(static_cast<uint8_t>(x));
}
void put32(std::vector<uint8_t> &v, uint32_t x) {
  put16(v, x >> 16);
  put16(v, x & 0xFFFF);
}
void set32(std::vector<uint8_t> &v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; i++) v[at + i] = static_cast<uint8_t>(x >> (24 - 8 * i));
}
uint32_t tableChecksum(const uint8_t *p, size_t len) {
  uint32_t sum = 0;
  for (size_t i = 0; i < len; i += 4) {
    uint8_t w[4] = {0, 0, 0, 0};
    for (size_t k = 0; k < 4 && i + k < len; k++) w[k] = p[i + k];
    sum += be32(w);
  }
  return sum;
}

// A cmap of exactly three subtables: set 1 and set 2 as Macintosh Roman format 6 maps of the unit's byte codes,
// then the face's own Windows Unicode format 4 map.
std::vector<uint8_t> buildCmap(FT_Library lib, const std::vector<uint8_t> &font, const uint8_t *cmap,
                               size_t cmapLen) {
  FT_Face face;
  if (FT_New_Memory_Face(lib, font.data(), static_cast<FT_Long>(font.size()), 0, &face)) die("bad face");
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE)) die("face has no Unicode map");
  std::vector<uint8_t> unicodeMap;
  const uint16_t n = be16(cmap + 2);
  for (uint16_t i = 0; i < n; i++) {
    const uint8_t *rec = cmap + 4 + 8 * i;
    const uint32_t off = be32(rec + 4);
    if (be16(rec) == 3 && be16(rec + 2) == 1 && off + 4 <= cmapLen && be16(cmap + off) == 4) {
      const uint16_t len = be16(cmap + off + 2);
      if (off + len > cmapLen) die("bad cmap");
      unicodeMap.assign(cmap + off, cmap + off + len);
    }
  }
  if (unicodeMap.empty()) die("face has no Windows Unicode format 4 map");
  std::vector<uint8_t> out;
  put16(out, 0);
  put16(out, 3);
  const uint32_t macLen = 10 + 2 * 256;
  const uint32_t first = 4 + 3 * 8;
  const uint32_t offsets[3] = {first, first + macLen, first + 2 * macLen};
  for (int i = 0; i < 3; i++) {
    put16(out, i < 2 ? 1 : 3);
    put16(out, i < 2 ? 0 : 1);
    put32(out, offsets[i]);
  }
  for (int set = 1; set <= 2; set++) {
    put16(out, 6);
    put16(out, macLen);
    put16(out, 0);
    put16(out, 0);
    put16(out, 256);
    for (int b = 0; b < 256; b++) {
      const uint16_t u = charsetUnicode(set, static_cast<uint8_t>(b));
      put16(out, u ? FT_Get_Char_Index(face, u) : 0);
    }
  }
  out.insert(out.end(), unicodeMap.begin(), unicodeMap.end());
  FT_Done_Face(face);
  return out;
}

std::vector<uint8_t> replaceCmap(FT_Library lib, const std::vector<uint8_t> &font) {
  if (font.size() < 12) die("face too short");
  const uint16_t numTables = be16(&font[4]);
  struct Table {
    uint32_t tag, offset, length;
  };
  std::vector<Table> tables;
  for (uint16_t i = 0; i < numTables; i++) {
    const size_t rec = 12 + 16 * size_t(i);
    if (rec + 16 > font.size()) die("bad table directory");
    Table t{be32(&font[rec]), be32(&font[rec + 8]), be32(&font[rec + 12])};
    if (size_t(t.offset) + t.length > font.size()) die("bad table extent");
    tables.push_back(t);
  }
  std::vector<std::vector<uint8_t>> bodies;
  for (const Table &t : tables) {
    if (t.tag == 0x636D6170) // 'cmap'
      bodies.push_back(buildCmap(lib, font, &font[t.offset], t.length));
    else
      bodies.emplace_back(font.begin() + t.offset, font.begin() + t.offset + t.length);
  }
  std::vector<uint8_t> out(font.begin(), font.begin() + 12);
  out.resize(12 + 16 * size_t(numTables));
  size_t headAt = 0;
  for (uint16_t i = 0; i < numTables; i++) {
    std::vector<uint8_t> &body = bodies[i];
    const size_t at = out.size();
    if (tables[i].tag == 0x68656164) { // 'head': the whole-font checksum is recomputed below
      headAt = at;
      set32(body, 8, 0);
    }
    out.insert(out.end(), body.begin(), body.end());
    while (out.size() % 4) out.push_back(0);
    const size_t rec = 12 + 16 * size_t(i);
    set32(out, rec, tables[i].tag);
    set32(out, rec + 4, tableChecksum(body.data(), body.size()));
    set32(out, rec + 8, static_cast<uint32_t>(at));
    set32(out, rec + 12, static_cast<uint32_t>(body.size()));
  }
  if (headAt) set32(out, headAt + 8, 0xB1B0AFBAu - tableChecksum(out.data(), out.size()));
  return out;
}

std::string generateFace(const std::vector<uint8_t> &face) {
  std::ostringstream o;
  o << "// Generated by tools/fontgen.cpp from DejaVu Sans Condensed Bold; do not edit.\n"
       "#include \"draw/truetype.h\"\n\nnamespace {\nalignas(4) const U8 s_au8Face[" << face.size() << "] = {";
  for (size_t i = 0; i < face.size(); i++) {
    if (i % 24 == 0) o << "\n";
    o << unsigned(face[i]) << ",";
  }
  o << "};\n} // namespace\n\n"
       "const FONT_DEF ArialNarrow_Bold_QVcoding = {.pu8TTFdata = s_au8Face, .u32Height = 0, .u32Ascender = 0, "
       ".u32Descender = 0, .u32MaxWidth = " << face.size() << ", .u32InterCharSpacing = 0};\n";
  return o.str();
}


// ---- The chart library's fixed-cell fonts ----

struct ChartFontSpec {
  const char *symbol; // array name in the output
  int width, height, descender, accentRows; // cell, rows below the baseline, rows kept above the capitals
  bool digitsOnly;
};

const ChartFontSpec kChartFonts[] = {
    {"gl_aucFontBody06x09", 6, 9, 2, 0, true},
    {"gl_aucFontBody06x11", 6, 11, 2, 2, false},
    {"gl_aucFontBody09x15", 9, 15, 3, 3, false},
};

// The character codes with a glyph of their own.
std::vector<int> chartCodes(bool digitsOnly) {
  std::vector<int> codes;
  if (digitsOnly) {
    codes = {0x2B, 0x2D, 0x2E};
    for (int c = 0x30; c <= 0x3A; c++) codes.push_back(c);
    codes.push_back(0x7F);
    return codes;
  }
  codes = {0x18, 0x19};
  for (int c = 0x21; c <= 0x7F; c++) codes.push_back(c);
  for (int c : {0x82, 0x8A, 0x8C, 0x9A, 0x9C}) codes.push_back(c);
  for (int c = 0xA1; c <= 0xA5; c++) codes.push_back(c);
  for (int c : {0xA7, 0xA9, 0xB0, 0xB1, 0xB5, 0xB6}) codes.push_back(c);
  for (int c = 0xBF; c <= 0xFF; c++) codes.push_back(c);
  return codes;
}

// 0x7F is the degree sign, 0x18/0x19 the arrows; the rest is Windows-1252, the code page of the chart texts.
uint32_t chartUnicode(int code) {
  switch (code) {
    case 0x18: return 0x2191;
    case 0x19: return 0x2193;
    case 0x7F: return 0x00B0;
    case 0x82: return 0x201A;
    case 0x8A: return 0x0160;
    case 0x8C: return 0x0152;
    case 0x9A: return 0x0161;
    case 0x9C: return 0x0153;
    default: return static_cast<uint32_t>(code);
  }
}

// One font body: 256 little-endian offsets, 0xFFFFFFFF, the blank default glyph, then the glyphs in code
// order; a glyph is its advance byte and the rows bottom first, bit 0 the leftmost pixel.
std::vector<uint8_t> renderChartFont(Renderer &r, const ChartFontSpec &f) {
  const std::vector<int> codes = chartCodes(f.digitsOnly);
  const int core = f.height - f.descender - f.accentRows;
  const uint32_t reference = f.digitsOnly ? '0' : 'H';
  std::vector<uint32_t> unicodes;
  for (int c : codes) unicodes.push_back(chartUnicode(c));
  r.fit(reference, core, unicodes, f.width);
  const int rowSize = (f.width + 7) / 8;
  const int block = 1 + f.height * rowSize;
  std::vector<uint8_t> body(1028 + block * (codes.size() + 1), 0);
  auto put32le = [&](size_t at, uint32_t v) {
    for (int k = 0; k < 4; k++) body[at + k] = static_cast<uint8_t>(v >> (8 * k));
  };
  for (int c = 0; c < 256; c++) put32le(4 * c, 1028);
  put32le(1024, 0xFFFFFFFFu);
  body[1028] = static_cast<uint8_t>(f.width);
  for (size_t k = 0; k < codes.size(); k++) {
    const size_t at = 1028 + block * (k + 1);
    put32le(4 * codes[k], static_cast<uint32_t>(at));
    body[at] = static_cast<uint8_t>(f.width);
    if (!r.load(chartUnicode(codes[k]))) die("missing glyph");
    const FT_Bitmap &bm = r.face->glyph->bitmap;
    const int left = r.face->glyph->bitmap_left + (f.width - r.advance()) / 2;
    const int top = r.face->glyph->bitmap_top;
    for (int y = 0; y < static_cast<int>(bm.rows); y++) {
      const int cellRow = f.descender + top - 1 - y; // counted from the bottom row
      if (cellRow < 0 || cellRow >= f.height) continue;
      for (int col = 0; col < static_cast<int>(bm.width); col++) {
        const int x = left + col;
        if (x < 0 || x >= f.width) continue;
        if (bm.buffer[y * bm.pitch + col / 8] & (0x80 >> (col % 8)))
          body[at + 1 + cellRow * rowSize + x / 8] |= static_cast<uint8_t>(1 << (x % 8));
      }
    }
  }
  return body;
}

std::string generateChartFonts(FT_Library lib, const std::vector<uint8_t> &data) {
  std::ostringstream o;
  o << "// Generated by tools/fontgen.cpp --chart from DejaVu Sans Mono; do not edit.\n"
       "#include \"chartlib/raster/gl_font_data.h\"\n";
  for (const ChartFontSpec &f : kChartFonts) {
    FT_Face face;
    if (FT_New_Memory_Face(lib, data.data(), static_cast<FT_Long>(data.size()), 0, &face)) die("bad face");
    Renderer r{face};
    const std::vector<uint8_t> body = renderChartFont(r, f);
    FT_Done_Face(face);
    o << "\nconst UCHAR " << f.symbol << "[" << body.size() << "] = {";
    for (size_t i = 0; i < body.size(); i++) {
      if (i % 20 == 0) o << "\n   ";
      o << " " << unsigned(body[i]) << ",";
    }
    o << "\n};\n";
  }
  return o.str();
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 4 && std::string(argv[1]) == "--chart") {
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) die("FreeType did not start");
    writeFileIfChanged(argv[3], generateChartFonts(lib, readFile(argv[2])));
    FT_Done_FreeType(lib);
    return 0;
  }
  if (argc != 7) die("usage: fontgen SANS SANS_BOLD CONDENSED CONDENSED_BOLD FONTS_OUT FACE_OUT");
  FT_Library lib;
  if (FT_Init_FreeType(&lib)) die("FreeType did not start");
  std::vector<std::vector<uint8_t>> faces;
  for (int i = 0; i < kFaceCount; i++) faces.push_back(readFile(argv[1 + i]));
  writeFileIfChanged(argv[5], generateFonts(lib, faces));
  const std::vector<uint8_t> face = replaceCmap(lib, faces[kCondensedBold]);
  writeFileIfChanged(argv[6], generateFace(face));
  FT_Done_FreeType(lib);
  return 0;
}

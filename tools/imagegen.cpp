// Build-time converter: PNG artwork into the icon and picture encodings the drawing code reads.
//
// imagegen MANIFEST PNG_DIR OUT.cpp OUT.h
//
// Each manifest line is "name kind [file]" (the PNG is PNG_DIR/file.png, by default PNG_DIR/name.png): kind 2 or 4 is a 16-colour icon whose transparent pixels take palette
// index 1 (kind 4 in the nibble run-length code, falling back to kind 2 when the code is not shorter); kind 3 is
// an opaque 16-colour icon in the run-length code (kind 1 when not shorter); kind 5 is a full-colour icon
// (an IMAGE with 0xFFFF runs from 60 x 60 up, an IMAGE32 with runs below); "image", "image32" and
// "image32plain" are pictures (16-bit with runs, 32-bit with runs, 32-bit plain array for rotation).
// 16-colour artwork is mapped to the nearest of the icon palette's colours.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "draw/rle_nibble.h"

namespace {

// The icon palette: entries 80 to 95 of the initial colour table.
const uint16_t kPalette[16] = {0x0000, 0x424A, 0x8C94, 0xB5B4, 0xFFFF, 0xF800, 0xFC80, 0xFEC0,
                               0xFFEA, 0x0360, 0x07E0, 0x000A, 0x2254, 0x037F, 0x6C9F, 0x8EDF};
constexpr int kTransparentIndex = 1;

[[noreturn]] void die(const std::string &what) {
  std::fprintf(stderr, "imagegen: %s\n", what.c_str());
  std::exit(1);
}

struct Picture {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba; // rows top first
  const uint8_t *at(int x, int yTop) const { return &rgba[(static_cast<size_t>(yTop) * w + x) * 4]; }
};

Picture readPng(const std::string &path) {
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, path.c_str())) die("cannot read " + path);
  img.format = PNG_FORMAT_RGBA;
  Picture p;
  p.w = static_cast<int>(img.width);
  p.h = static_cast<int>(img.height);
  p.rgba.resize(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, p.rgba.data(), 0, nullptr)) die("cannot decode " + path);
  return p;
}

uint16_t rgb565(const uint8_t *c) {
  return static_cast<uint16_t>(((c[0] >> 3) << 11) | ((c[1] >> 2) << 5) | (c[2] >> 3));
}

// The nearest palette colour; the transparent index is kept for transparent pixels where there are any.
int nearestIndex(const uint8_t *c, bool transparent) {
  int best = -1;
  long bestDist = 0;
  for (int i = 0; i < 16; i++) {
    if (transparent && i == kTransparentIndex) continue;
    const uint16_t p = kPalette[i];
    const long dr = c[0] - ((p >> 11) << 3), dg = c[1] - (((p >> 5) & 0x3F) << 2), db = c[2] - ((p & 0x1F) << 3);
    const long d = dr * dr + dg * dg + db * db;
    if (best < 0 || d < bestDist) best = i, bestDist = d;
  }
  return best;
}

std::string byteArray(const std::string &name, const std::vector<uint8_t> &bytes) {
  std::ostringstream o;
  o << "alignas(4) const U8 " << name << "[" << (bytes.empty() ? 1 : bytes.size()) << "] = {";
  for (size_t i = 0; i < bytes.size(); i++) o << (i % 24 ? "" : "\n    ") << unsigned(bytes[i]) << ",";
  o << (bytes.empty() ? "0" : "") << "};\n";
  return o.str();
}

// 4-bit values, top row first, two per byte high half first, rows not padded.
std::vector<uint8_t> nibbles(const Picture &p, bool transparent) {
  std::vector<uint8_t> out((static_cast<size_t>(p.w) * p.h + 1) / 2, 0);
  size_t n = 0;
  for (int y = 0; y < p.h; y++)
    for (int x = 0; x < p.w; x++, n++) {
      const uint8_t *c = p.at(x, y);
      const int v = transparent && c[3] < 128 ? kTransparentIndex : nearestIndex(c, transparent);
      out[n / 2] |= static_cast<uint8_t>(n % 2 ? v : v << 4);
    }
  return out;
}

// An IMAGE: rows bottom first; a run of a row's current colour is 0xFFFF and a count.
std::vector<uint16_t> encodeImage(const Picture &p) {
  std::vector<uint16_t> words;
  for (int row = 0; row < p.h; row++) {
    const int yTop = p.h - 1 - row;
    uint16_t current = 0;
    int x = 0;
    while (x < p.w) {
      uint16_t c = rgb565(p.at(x, yTop));
      if (c == 0xFFFF) c = 0xFFDF; // 0xFFFF is the run mark
      int n = 1;
      while (x + n < p.w && n < 0xFFFF) {
        uint16_t d = rgb565(p.at(x + n, yTop));
        if (d == 0xFFFF) d = 0xFFDF;
        if (d != c) break;
        n++;
      }
      int left = n;
      if (c != current) {
        words.push_back(c);
        current = c;
        left--;
      }
      if (left >= 2) {
        words.push_back(0xFFFF);
        words.push_back(static_cast<uint16_t>(left));
      } else if (left == 1) {
        words.push_back(c);
      }
      x += n;
    }
  }
  return words;
}

std::string wordArray(const std::string &name, const std::vector<uint16_t> &words) {
  std::ostringstream o;
  o << "alignas(4) const U16 " << name << "[" << words.size() << "] = {";
  for (size_t i = 0; i < words.size(); i++) o << (i % 16 ? "" : "\n    ") << words[i] << ",";
  o << "};\n";
  return o.str();
}

// An IMAGE32: rows bottom first, red/green/blue/alpha entries; transparent pixels are (0, 0, 0, 0), and runs
// (90, count low, count high, 0) repeat the previous entry, which carries across rows.
std::vector<uint8_t> encodeImage32(const Picture &p, bool runs) {
  std::vector<uint8_t> out;
  uint8_t prev[4] = {0, 0, 0, 255};
  auto entry = [&](int x, int yTop, uint8_t e[4]) {
    const uint8_t *c = p.at(x, yTop);
    if (c[3] == 0) {
      e[0] = e[1] = e[2] = e[3] = 0;
    } else {
      std::memcpy(e, c, 4);
    }
  };
  for (int row = 0; row < p.h; row++) {
    const int yTop = p.h - 1 - row;
    int x = 0;
    while (x < p.w) {
      uint8_t e[4];
      entry(x, yTop, e);
      int n = 1;
      while (runs && x + n < p.w && n < 0xFFFF) {
        uint8_t f[4];
        entry(x + n, yTop, f);
        if (std::memcmp(e, f, 4) != 0) break;
        n++;
      }
      int left = n;
      if (!runs || std::memcmp(e, prev, 4) != 0) {
        out.insert(out.end(), e, e + 4);
        std::memcpy(prev, e, 4);
        left--;
      }
      if (left > 1) {
        const uint8_t run[4] = {90, static_cast<uint8_t>(left), static_cast<uint8_t>(left >> 8), 0};
        out.insert(out.end(), run, run + 4);
      } else if (left == 1) {
        out.insert(out.end(), e, e + 4);
      }
      x += n;
    }
  }
  return out;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 5) die("usage: imagegen MANIFEST PNG_DIR OUT.cpp OUT.h");
  std::ifstream manifest(argv[1]);
  if (!manifest) die(std::string("cannot read ") + argv[1]);
  std::ostringstream cpp, hdr;
  const std::string header = std::string(argv[4]).substr(std::string(argv[4]).find_last_of('/') + 1);
  cpp << "// Generated by tools/imagegen.cpp from assets/; do not edit.\n#include \"" << header << "\"\n\n";
  hdr << "// Generated by tools/imagegen.cpp from assets/; do not edit.\n#pragma once\n"
         "#include \"draw/icon.h\"\n#include \"draw/image.h\"\n\n";
  std::string line;
  while (std::getline(manifest, line)) {
    std::istringstream in(line);
    std::string name, kind;
    if (!(in >> name) || name[0] == '#') continue;
    if (!(in >> kind)) die("no kind for " + name);
    std::string file = name;
    in >> file;
    const Picture p = readPng(std::string(argv[2]) + "/" + file + ".png");
    const std::string data = "s_" + name + "_data";
    std::string record;
    if (kind == "2" || kind == "3" || kind == "4") {
      const bool transparent = kind != "3";
      const std::vector<uint8_t> raw = nibbles(p, transparent);
      std::vector<uint8_t> packed(raw.size() + 1, 0);
      const int len = kind == "2" ? -1
                                  : U_RLE_NIBBLE_nCompress(raw.data(), packed.data(), static_cast<int>(raw.size()));
      int stored;
      if (len > 0) {
        packed.resize(static_cast<size_t>(len) + 1); // the decoder may look at the next byte's high half
        if (!U_RLE_NIBBLE_bVerify(raw.data(), packed.data(), static_cast<int>(raw.size())))
          die("run-length code does not verify for " + name);
        cpp << byteArray(data, packed);
        stored = transparent ? 4 : 3;
      } else {
        cpp << byteArray(data, raw);
        stored = transparent ? 2 : 1;
      }
      if (transparent) cpp << "const U8 s_" << name << "_transparent = " << kTransparentIndex << ";\n";
      record = "const ICON " + name + " = {" + data + ", " + (transparent ? "&s_" + name + "_transparent" : "nullptr") +
               ", " + std::to_string(p.w) + ", " + std::to_string(p.h) + ", static_cast<ICON_COMPRESSION>(" +
               std::to_string(stored) + ")};\n";
      hdr << "extern const ICON " << name << ";\n";
    } else if (kind == "5") {
      const bool big = p.w > 59 && p.h > 59;
      cpp << (big ? wordArray(data, encodeImage(p)) : byteArray(data, encodeImage32(p, true)));
      record = "const ICON " + name + " = {" + data + ", nullptr, " + std::to_string(p.w) + ", " +
               std::to_string(p.h) + ", ICON_PNG_IMAGE32};\n";
      hdr << "extern const ICON " << name << ";\n";
    } else if (kind == "image" || kind == "image32" || kind == "image32plain") {
      const bool is16 = kind == "image";
      cpp << (is16 ? wordArray(data, encodeImage(p)) : byteArray(data, encodeImage32(p, kind == "image32")));
      const char *type = is16 ? "IMAGE" : "IMAGE32";
      record = std::string("const ") + type + " " + name + " = {" + data + ", nullptr, " + std::to_string(p.w) +
               ", " + std::to_string(p.h) + ", 5};\n";
      hdr << "extern const " << type << " " << name << ";\n";
    } else {
      die("unknown kind " + kind + " for " + name);
    }
    cpp << record << "\n";
  }
  for (int i = 0; i < 2; i++) {
    const std::string path = argv[3 + i];
    const std::string text = i == 0 ? cpp.str() : hdr.str();
    std::ifstream old(path, std::ios::binary);
    if (old) {
      const std::string prev((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
      if (prev == text) continue;
    }
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) die("cannot write " + path);
  }
  return 0;
}

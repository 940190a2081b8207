// An image of packed 16-bit pixels with a graphics context over it, a test palette and golden pictures.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "chartlib/raster/gp_gl.h"
#include "platform/png.h"

// Palette entry i is a colour no drawing test uses as a background.
inline const UINT16 *rasterTestPalette()
{
  static UINT16 palette[256];
  static const UINT16 base[16] = {0x0000, 0xF800, 0x07E0, 0x001F, 0xFFE0, 0xF81F, 0x07FF, 0x8410,
                                  0xFC00, 0x841F, 0x2104, 0xA145, 0x5ACB, 0xD69A, 0x39E7, 0xFFFF};
  for (int i = 0; i < 256; i++) palette[i] = i < 16 ? base[i] : (UINT16)(i * 0x0101);
  return palette;
}

using Pixel = std::pair<SINT, SINT>; // column, device row
using PixelSet = std::set<Pixel>;

struct RasterImage {
  static constexpr UINT16 kBackground = 0x1234;
  SINT w, h;
  std::vector<SINT> words;
  GR_CONTEXT gc{};

  RasterImage(SINT width, SINT height, UINT16 fill = kBackground)
      : w(width), h(height), words((size_t)((width + 1) / 2) * (size_t)height)
  {
    gr_SetColorPalette(rasterTestPalette());
    gr_InitGC(&gc, width, height, words.data());
    gr_SetPatternStatus(&gc, 0);
    gr_SetBitmapZoom(&gc, 1, 1);
    gr_SetBitmapDirection(&gc, 0);
    gr_SetTranspAttr(&gc, 0, 15);
    clear(fill);
  }
  void clear(UINT16 fill = kBackground)
  {
    for (SINT &word : words) word = (SINT)((UINT32)fill | ((UINT32)fill << 16));
  }
  UINT16 at(SINT x, SINT r) const { return gf_GetPixel(&gc, x, r); }
  // Pixels that differ from the background.
  PixelSet drawn() const
  {
    PixelSet s;
    for (SINT r = 0; r < h; r++) {
      for (SINT x = 0; x < w; x++) {
        if (at(x, r) != kBackground) s.insert({x, r});
      }
    }
    return s;
  }
  // Device pen, no clip test.
  void pen(SINT x, SINT r) { gc.cp = {x, r}; }
  const UINT16 *pixels() const { return reinterpret_cast<const UINT16 *>(words.data()); }
};

inline PixelSet pixelRange(SINT x0, SINT x1, SINT r0, SINT r1)
{
  PixelSet s;
  for (SINT r = r0; r <= r1; r++) {
    for (SINT x = x0; x <= x1; x++) s.insert({x, r});
  }
  return s;
}

// Compares the image with tests/chartlib/data/raster/NAME.png pixel for pixel; CORVAN_UPDATE_GOLDEN=1 rewrites
// the picture instead (only on purpose, after looking at it).
inline void expectRasterGolden(const RasterImage &img, const char *name)
{
  const std::string path = std::string(CORVAN_TEST_DATA) + "/raster/" + name + ".png";
  const UINT32 stride = (UINT32)((img.w + 1) / 2 * 2);
  const char *update = std::getenv("CORVAN_UPDATE_GOLDEN");
  if (update != nullptr && *update == '1') {
    ASSERT_TRUE(PNG_bWriteRgb565(path.c_str(), img.pixels(), (U32)img.w, (U32)img.h, stride));
    return;
  }
  std::vector<COLOR> golden;
  U32 gw = 0, gh = 0;
  ASSERT_TRUE(PNG_bReadRgb565(path.c_str(), &golden, &gw, &gh)) << path;
  ASSERT_EQ(gw, (U32)img.w);
  ASSERT_EQ(gh, (U32)img.h);
  for (SINT r = 0; r < img.h; r++) {
    for (SINT x = 0; x < img.w; x++) {
      if (img.at(x, r) != golden[(size_t)r * img.w + x]) {
        const std::string actual = std::string(name) + ".actual.png";
        PNG_bWriteRgb565(actual.c_str(), img.pixels(), (U32)img.w, (U32)img.h, stride);
        FAIL() << name << ": first difference at column " << x << ", row " << r << "; picture in " << actual;
      }
    }
  }
}

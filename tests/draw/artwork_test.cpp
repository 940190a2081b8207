// The artwork converter's encodings, decoded by the drawing routines, give back the PNG pictures.
#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "golden.h"
#include "draw/image32.h"
#include "test_pictures.h"

namespace {

struct Rgba {
  int w = 0, h = 0;
  std::vector<U8> px; // rows top first
  const U8 *at(int x, int yUp) const { return &px[(static_cast<size_t>(h - 1 - yUp) * w + x) * 4]; }
};

Rgba load(const char *name) {
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  Rgba r;
  const std::string path = std::string(CORVAN_TEST_DATA) + "/" + name;
  if (!png_image_begin_read_from_file(&img, path.c_str())) return r;
  img.format = PNG_FORMAT_RGBA;
  r.px.resize(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, r.px.data(), 0, nullptr)) return r;
  r.w = static_cast<int>(img.width);
  r.h = static_cast<int>(img.height);
  return r;
}

COLOR rgb565(const U8 *c) { return static_cast<COLOR>(((c[0] >> 3) << 11) | ((c[1] >> 2) << 5) | (c[2] >> 3)); }

// The pixel an IMAGE32 entry leaves over the background (alpha blended with the shift by 8).
COLOR over(const U8 *c, COLOR bg) {
  if (c[3] == 0) return bg;
  if (c[3] == 255) return rgb565(c);
  const U32 a = c[3];
  const U32 r = (a * (c[0] >> 3) + (255 - a) * (bg >> 11)) >> 8;
  const U32 g = (a * (c[1] >> 2) + (255 - a) * ((bg >> 5) & 0x3F)) >> 8;
  const U32 b = (a * (c[2] >> 3) + (255 - a) * (bg & 0x1F)) >> 8;
  return static_cast<COLOR>((r << 11) | (g << 5) | b);
}

TEST(Artwork, PicturesComeBackFromTheirEncodings) {
  const Rgba png = load("test_picture.png");
  ASSERT_EQ(png.w, 70);
  ASSERT_EQ(png.h, 64);
  const COLOR bg = 0x39E7;
  const POINT at = {0, 0};
  TestBitmap a(70, 64, bg), b(70, 64, bg), c(70, 64, bg);
  G_IMAGE_vPut(a.p(), &test_image, &at);
  G_IMAGE32_vPut(b.p(), &test_image32, &at);
  const POINT origin = {0, 0};
  G_IMAGE32_vPutRotated(c.p(), &test_image32plain, &at, &origin, 0.0);
  for (int y = 0; y < 64; y++)
    for (int x = 0; x < 70; x++) {
      const U8 *p = png.at(x, y);
      const COLOR opaque = rgb565(p) == 0xFFFF ? 0xFFDF : rgb565(p); // 0xFFFF is the run mark
      ASSERT_EQ(a.at(x, y), opaque) << x << "," << y;
      ASSERT_EQ(b.at(x, y), over(p, bg)) << x << "," << y;
      // Opaque pixels of the rotation take its opaque branch: 255 x 2^16 x c >> 27 (>> 26 for green).
      const COLOR rotated = static_cast<COLOR>((((p[0] * 255) >> 11) << 11) | (((p[1] * 255) >> 10) << 5) |
                                               ((p[2] * 255) >> 11));
      if (p[3] == 255) {
        ASSERT_EQ(c.at(x, y), rotated) << x << "," << y;
      } else if (p[3] == 0) {
        ASSERT_EQ(c.at(x, y), bg) << x << "," << y;
      }
    }
  EXPECT_EQ(test_image.s32Width, 70);
  EXPECT_EQ(test_image32.s32Height, 64);
}

TEST(Artwork, IconsComeBackInEveryKind) {
  const Rgba png = load("test_icon.png");
  ASSERT_EQ(png.w, 20);
  const COLOR bg = 0x39E7;
  const ICON *const icons[] = {&test_icon_full, &test_icon_runs, &test_icon_opaque, &test_icon_unpacked};
  EXPECT_EQ(test_icon_full.eCompression, ICON_PNG_IMAGE32);
  EXPECT_EQ(test_icon_runs.eCompression, ICON_RLE_TRANSPARENT_COLOR);
  EXPECT_EQ(test_icon_opaque.eCompression, ICON_RLE_BUFFERS);
  EXPECT_EQ(test_icon_unpacked.eCompression, ICON_TRANSPARENT_COLOR);
  for (const ICON *icon : icons) {
    TestBitmap t(20, 12, bg);
    const POINT at = {0, 0};
    G_ICON_vPut(t.p(), icon, &at);
    for (int y = 0; y < 12; y++)
      for (int x = 0; x < 20; x++) {
        const U8 *p = png.at(x, y);
        // The artwork uses icon palette colours only, so the palette mapping is exact.
        // The opaque kind draws transparent pixels in the colour of their RGB.
        const COLOR want = p[3] || icon == &test_icon_opaque ? rgb565(p) : bg;
        ASSERT_EQ(t.at(x, y), want) << icon->eCompression << " " << x << "," << y;
      }
  }
}

} // namespace

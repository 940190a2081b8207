#include <gtest/gtest.h>

#include "golden.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace golden {

BITMAP *makeBitmap(int w, int h, COLOR fill) {
  BITMAP *b = G_BUFFERS_pCreateBitmap(static_cast<U32>(w), static_cast<U32>(h), nullptr, nullptr);
  COLOR *p = reinterpret_cast<COLOR *>(b->pBuffer);
  for (U32 i = 0; i < b->__u32PixelWidthOfBuffer * b->__u32PixelHeightOfBuffer; i++) p[i] = fill;
  return b;
}

COLOR pixel(const BITMAP *b, PIXEL x, PIXEL y) {
  return reinterpret_cast<const COLOR *>(b->pBuffer)[(b->pixels_high_full_screen - 1 - y) *
                                                         b->__u32PixelWidthOfBuffer + x];
}

namespace {
std::vector<U8> rgbRows(const BITMAP *b) {
  std::vector<U8> rgb(static_cast<size_t>(b->pixels_wide) * b->pixels_high * 3);
  size_t i = 0;
  for (PIXEL y = b->pixels_high - 1; y >= 0; y--)
    for (PIXEL x = 0; x < b->pixels_wide; x++) {
      const COLOR c = pixel(b, x, y);
      rgb[i++] = static_cast<U8>(((c >> 11) << 3) | (c >> 13));
      rgb[i++] = static_cast<U8>((((c >> 5) & 0x3F) << 2) | ((c >> 9) & 3));
      rgb[i++] = static_cast<U8>(((c & 0x1F) << 3) | ((c >> 2) & 7));
    }
  return rgb;
}

bool readPng(const std::string &path, int *w, int *h, std::vector<U8> *rgb) {
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
  img.format = PNG_FORMAT_RGB;
  rgb->resize(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, rgb->data(), 0, nullptr)) return false;
  *w = static_cast<int>(img.width);
  *h = static_cast<int>(img.height);
  return true;
}
} // namespace

bool writePng(const BITMAP *b, const std::string &path) {
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  img.width = static_cast<png_uint_32>(b->pixels_wide);
  img.height = static_cast<png_uint_32>(b->pixels_high);
  img.format = PNG_FORMAT_RGB;
  const std::vector<U8> rgb = rgbRows(b);
  return png_image_write_to_file(&img, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

::testing::AssertionResult matches(const BITMAP *b, const std::string &name) {
  const std::string path = std::string(CORVAN_TEST_DATA) + "/" + name;
  const char *regen = std::getenv("CORVAN_REGENERATE_GOLDEN");
  if (regen && std::strcmp(regen, "1") == 0) {
    if (!writePng(b, path)) return ::testing::AssertionFailure() << "cannot write " << path;
    return ::testing::AssertionSuccess();
  }
  int w = 0, h = 0;
  std::vector<U8> expected;
  if (!readPng(path, &w, &h, &expected)) return ::testing::AssertionFailure() << "cannot read " << path;
  const std::vector<U8> actual = rgbRows(b);
  if (w != b->pixels_wide || h != b->pixels_high || expected != actual) {
    writePng(b, name + ".actual.png");
    return ::testing::AssertionFailure() << name << " differs (picture written to " << name << ".actual.png)";
  }
  return ::testing::AssertionSuccess();
}

} // namespace golden

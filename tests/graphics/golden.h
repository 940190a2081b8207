// Bitmaps for the drawing tests and their comparison with golden PNG files.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "graphics/zz_local_g1.h"

namespace golden {
// A w x h bitmap filled with one colour; freed with G_BUFFERS_vFreeBitmap.
BITMAP *makeBitmap(int w, int h, COLOR fill);
COLOR pixel(const BITMAP *b, PIXEL x, PIXEL y); // logical (y up)
// Writes the bitmap as an RGB PNG (top row first).
bool writePng(const BITMAP *b, const std::string &path);
// Compares the bitmap with CORVAN_TEST_DATA/name exactly; with CORVAN_REGENERATE_GOLDEN=1 it writes the file
// instead. On a mismatch the picture is left beside the build as name.actual.png for inspection.
::testing::AssertionResult matches(const BITMAP *b, const std::string &name);
} // namespace golden

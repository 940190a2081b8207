// Helpers shared by the drawing tests: bitmaps over test memory and golden pictures.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "view/buffers.h"
#include "platform/png.h"

// A bitmap over its own vector, filled with one colour.
struct TestBitmap {
    std::vector<U32> vWords;
    BITMAP bitmap{};
    TestBitmap(U32 u32Width, U32 u32Height, COLOR colorFill = 0)
        : vWords(((u32Width + 1) & ~1u) * ((u32Height + 1) & ~1u) / 2 + 1)
    {
        G_BUFFERS_pCreateBitmap(u32Width, u32Height, &bitmap, vWords.data());
        std::fill_n(reinterpret_cast<COLOR *>(vWords.data()), vWords.size() * 2, colorFill);
    }
    BITMAP *p() { return &bitmap; }
    COLOR at(PIXEL x, PIXEL y) const { return G_BITMAP_pcolPixels(&bitmap)[G_BITMAP_szIndex(&bitmap, x, y)]; }
    // The logical points holding colour c.
    std::vector<std::pair<PIXEL, PIXEL>> points(COLOR c) const
    {
        std::vector<std::pair<PIXEL, PIXEL>> v;
        for (PIXEL y = 0; y < bitmap.pixels_high; y++) {
            for (PIXEL x = 0; x < bitmap.pixels_wide; x++) {
                if (at(x, y) == c) {
                    v.emplace_back(x, y);
                }
            }
        }
        return v;
    }
};

// Compares the bitmap with tests/graphics/data/NAME.png pixel for pixel.
// CORVAN_UPDATE_GOLDEN=1 rewrites the file instead (only on purpose, after checking the picture).
inline void vExpectGolden(const BITMAP *pBitmap, const char *szName)
{
    const std::string sPath = std::string(CORVAN_TEST_DATA) + "/" + szName + ".png";
    const COLOR *pcol = G_BITMAP_pcolPixels(pBitmap);
    const U32 w = (U32)pBitmap->pixels_wide, h = (U32)pBitmap->pixels_high;
    const char *szUpdate = std::getenv("CORVAN_UPDATE_GOLDEN");
    if (szUpdate != nullptr && *szUpdate == '1') {
        ASSERT_TRUE(PNG_bWriteRgb565(sPath.c_str(), pcol, w, h, pBitmap->__u32PixelWidthOfBuffer));
        return;
    }
    std::vector<COLOR> vGolden;
    U32 gw = 0, gh = 0;
    ASSERT_TRUE(PNG_bReadRgb565(sPath.c_str(), &vGolden, &gw, &gh)) << sPath;
    ASSERT_EQ(gw, w);
    ASSERT_EQ(gh, h);
    for (U32 y = 0; y < h; y++) {
        for (U32 x = 0; x < w; x++) {
            const COLOR got = pcol[y * pBitmap->__u32PixelWidthOfBuffer + x];
            if (got != vGolden[y * w + x]) {
                const std::string sActual = std::string(szName) + ".actual.png";
                PNG_bWriteRgb565(sActual.c_str(), pcol, w, h, pBitmap->__u32PixelWidthOfBuffer);
                FAIL() << szName << ": first difference at logical (" << x << ", " << (h - 1 - y) << "): got 0x"
                       << std::hex << got << ", golden 0x" << vGolden[y * w + x] << "; picture in " << sActual;
            }
        }
    }
}

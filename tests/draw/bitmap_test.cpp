// Bitmaps, the colour table and the pixel operations.
#include <gtest/gtest.h>

#include <algorithm>

#include "golden.h"
#include "view/buffers.h"
#include "draw/color.h"
#include "draw/pixel.h"

TEST(Bitmap, OddSizesRoundStrideAndRowsUpToEven)
{
    BITMAP *p = G_BUFFERS_pCreateBitmap(801, 3, nullptr, nullptr);
    ASSERT_NE(p, nullptr);
    ASSERT_NE(p->pBuffer, nullptr);
    EXPECT_EQ(p->__u32PixelWidthOfBuffer, 802u);
    EXPECT_EQ(p->__u32PixelHeightOfBuffer, 4u);
    EXPECT_EQ(p->s32ClipLeft, 0);
    EXPECT_EQ(p->s32ClipRight, 800);
    EXPECT_EQ(p->s32ClipBottom, 0);
    EXPECT_EQ(p->s32ClipTop, 2);
    EXPECT_EQ(p->s32ClipRight_full_screen, 800);
    EXPECT_EQ(p->s32ClipTop_full_screen, 2);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p->pBuffer) % 4, 0u);
    // The whole block is writable (stride × allocated rows).
    std::fill_n(G_BITMAP_pcolPixels(p), 802 * 4, 0x1234);
    G_BUFFERS_vFreeBitmap(p);
}

TEST(Bitmap, FullScreenAndCallerMemory)
{
    BITMAP *p = G_BUFFERS_pCreateFullScreenBitmap();
    ASSERT_NE(p->pBuffer, nullptr);
    EXPECT_EQ(p->pixels_wide, 800);
    EXPECT_EQ(p->pixels_high_full_screen, 480);
    EXPECT_EQ(p->__u32PixelWidthOfBuffer, 800u);
    std::fill_n(G_BITMAP_pcolPixels(p), 800 * 480, 0xFFFF);
    G_BUFFERS_vFreeFullScreenBitmap(p);

    BITMAP *pHeader = G_BUFFERS_pCreateFullScreenBitmapHeader();
    EXPECT_EQ(pHeader->pBuffer, nullptr);
    static U32 s_au32Page[800 * 480 / 2];
    pHeader->pBuffer = s_au32Page;
    G_BUFFERS_vFreeFullScreenBitmapHeader(pHeader); // the pixels stay the caller's

    BITMAP header;
    U32 au32Mine[8];
    EXPECT_EQ(G_BUFFERS_pCreateBitmap(4, 4, &header, au32Mine), &header);
    EXPECT_EQ(header.pBuffer, au32Mine);
}

TEST(Pixel, LogicalRowsGrowUpwardFromTheLastMemoryRow)
{
    TestBitmap b(4, 3);
    G_PIXEL_vPut(b.p(), 0, 0, 0x1111);
    G_PIXEL_vPut(b.p(), 0, 2, 0x2222);
    const COLOR *pcol = G_BITMAP_pcolPixels(b.p());
    EXPECT_EQ(pcol[2 * 4], 0x1111); // first pixel of the last memory row
    EXPECT_EQ(pcol[0], 0x2222);     // first pixel of the first memory row
    EXPECT_EQ(G_PIXEL_colorGetPhysicalPixel(b.p(), 0, 2), 0x1111);
    G_PIXEL_vPutDirect(b.p(), 3, 0, 0x3333);
    EXPECT_EQ(b.at(3, 2), 0x3333);
}

TEST(Pixel, ClipRectangleIsInclusive)
{
    TestBitmap b(10, 10);
    BITMAP *p = b.p();
    p->s32ClipLeft = 2;
    p->s32ClipRight = 5;
    p->s32ClipBottom = 3;
    p->s32ClipTop = 6;
    const struct {
        PIXEL x, y;
        bool bWritten;
    } aCase[] = {{2, 3, true}, {5, 6, true}, {6, 4, false}, {4, 2, false}, {1, 4, false}, {4, 7, false}};
    for (const auto &c : aCase) {
        G_PIXEL_vPut(p, c.x, c.y, 0xABCD);
        G_PIXEL_vPutAlpha(p, c.x, c.y + 0, 0xABCD, 0);
        EXPECT_EQ(b.at(c.x, c.y) == 0xABCD, c.bWritten) << c.x << "," << c.y;
    }
}

TEST(Pixel, AlphaIsTheWeightOfTheOldPixel)
{
    const struct {
        COLOR colorNew, colorOld;
        U8 u8Alpha;
        COLOR colorResult;
    } aCase[] = {
        {0xFFFF, 0x0000, 0, 0xFFFF},
        {0x1234, 0xFFFF, 0, 0x1234},
        {0xFFFF, 0x0000, 255, 0x0000}, // 31 × 1 >> 8 = 0
        {0x0000, 0xFFFF, 255, (30 << 11) | (62 << 5) | 30},
        {0xF800, 0x001F, 128, (15 << 11) | 15}, // half and half, rounded down
    };
    for (const auto &c : aCase) {
        TestBitmap b(2, 2, c.colorOld);
        G_PIXEL_vPutAlpha(b.p(), 1, 1, c.colorNew, c.u8Alpha);
        EXPECT_EQ(b.at(1, 1), c.colorResult);
        COLOR col = c.colorOld;
        G_PIXEL_vBlendRun(&col, 1, c.colorNew, c.u8Alpha);
        EXPECT_EQ(col, c.colorResult);
    }
}

TEST(ColorTable, InitialContentsAreExact)
{
    // One pixel per entry, entry i at column i % 16 of row i / 16 (top row first).
    TestBitmap b(16, 16);
    for (U32 i = 0; i < 256; i++) {
        G_PIXEL_vPutDirect(b.p(), (PIXEL)(i % 16), (PIXEL)(i / 16), gCOLOR_pcolColorTable[i]);
    }
    vExpectGolden(b.p(), "colour_table");
    // A few entries from every section, by hand.
    const struct {
        U32 u32Index;
        COLOR color;
    } aEntry[] = {{0, 0xFFFF}, {1, 0xB6DF}, {31, 0x27FF}, {34, 0xA514}, {71, 0x8FEA}, {79, 0x437F},
                  {97, 0x4494}, {133, 0x892A}, {166, 0x236A}, {167, 0xD480}, {200, 0xB6C0}, {255, 0xFFFF}};
    for (const auto &e : aEntry) {
        EXPECT_EQ(gCOLOR_pcolColorTable[e.u32Index], e.color) << e.u32Index;
    }
}

TEST(ColorTable, Sections)
{
    COLOR acolSaved[256];
    COLOR_vFetchColorTableSection(0, 256, acolSaved);

    const COLOR acolNew[3] = {1, 2, 3};
    COLOR_vSetColorTableSection(96, 0, acolNew);
    EXPECT_EQ(gCOLOR_pcolColorTable[96], 0xFFFF);
    COLOR_vSetColorTableSection(96, 3, acolNew);
    COLOR acolOut[3];
    COLOR_vFetchColorTableSection(96, 3, acolOut);
    EXPECT_EQ(acolOut[2], 3);

    // Ascending copy towards higher indexes repeats the first entries.
    COLOR_vCopyColorTableSection(96, 97, 3);
    COLOR_vFetchColorTableSection(96, 3, acolOut);
    EXPECT_EQ(acolOut[0], 1);
    EXPECT_EQ(acolOut[1], 1);
    EXPECT_EQ(acolOut[2], 1);

    gCOLOR_pcolColorTable[166] = 0;
    COLOR_vSetPOSPalette();
    EXPECT_EQ(gCOLOR_pcolColorTable[166], 0x236A);
    gCOLOR_pcolColorTable[166] = 0;
    COLOR_vSetStandardPalette();
    EXPECT_EQ(gCOLOR_pcolColorTable[166], 0x236A);

    COLOR_vSetColorTableSection(0, 256, acolSaved);
}

TEST(ColorTable, AutopilotColours)
{
    EXPECT_EQ(COLOR_vGetVantrelColorDef(VNCOLOR_RED), 0x9000);
    EXPECT_EQ(COLOR_vGetVantrelColorDef(VNCOLOR_FTC_OPTION2), 0x07FF);
    EXPECT_EQ(COLOR_vGetVantrelColorDef(23), 0x0000);
    EXPECT_EQ(COLOR_vGetVantrelColorDef(0xFFFFFFFF), COLOR_vGetVantrelColorDef(0));
}

// The vectorised runs give exactly the per-pixel results, for every alpha and run lengths around the
// vector widths.
TEST(Pixel, RunsEqualSinglePixels)
{
    std::vector<COLOR> vOld(77);
    for (size_t i = 0; i < vOld.size(); i++) {
        vOld[i] = (COLOR)(i * 2654435761u >> 7);
    }
    for (U32 a = 0; a < 256; a++) {
        for (U32 n : {1u, 15u, 16u, 17u, 33u, 77u}) {
            std::vector<COLOR> v(vOld.begin(), vOld.begin() + n);
            const COLOR colorNew = (COLOR)(a * 0x9E37u);
            G_PIXEL_vBlendRun(v.data(), n, colorNew, (U8)a);
            for (U32 i = 0; i < n; i++) {
                ASSERT_EQ(v[i], G_PIXEL_colorBlend(colorNew, vOld[i], a)) << "alpha " << a << " pixel " << i;
            }
        }
    }
    std::vector<COLOR> vFill(70, 0);
    G_PIXEL_vFillRun(vFill.data() + 1, 67, 0xBEEF);
    EXPECT_EQ(vFill[0], 0);
    EXPECT_EQ(std::count(vFill.begin(), vFill.end(), 0xBEEF), 67);
    EXPECT_EQ(vFill[68], 0);
}

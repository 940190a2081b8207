// Fill and block copies.
#include <gtest/gtest.h>

#include "golden.h"
#include "draw/bmp.h"
#include "draw/pixel.h"

TEST(Bmp, SetFillsTheWholeBufferAndNoMore)
{
    std::vector<U32> vWords(192000 + 16, 0xDEADBEEF);
    BITMAP b;
    G_BUFFERS_pCreateBitmap(800, 480, &b, vWords.data() + 8);
    b.s32ClipRight = 10; // ignored
    G_BMP_vSet(&b, 0x1234);
    size_t szWritten = 0;
    for (size_t i = 0; i < vWords.size(); i++) {
        if (vWords[i] == 0x12341234u) {
            szWritten++;
            EXPECT_TRUE(i >= 8 && i < 8 + 192000);
        }
    }
    EXPECT_EQ(szWritten, 192000u);
    EXPECT_EQ(vWords[7], 0xDEADBEEFu);
    EXPECT_EQ(vWords[8 + 192000], 0xDEADBEEFu);
}

TEST(Bmp, PlaceLogicalOnLogicalKeepsTheNeighbours)
{
    TestBitmap src(10, 6), dest(10, 8, 0x0001);
    for (PIXEL y = 0; y < 6; y++) {
        for (PIXEL x = 0; x < 10; x++) {
            G_PIXEL_vPut(src.p(), x, y, (COLOR)(0x100 * y + x + 0x1000));
        }
    }
    // Columns 1..3 of the source onto columns 2..4, rows 2..3 onto 5..6 (parities differ).
    const POINT ps{1, 2}, pd{2, 5};
    G_BMP_vPlaceLogicalOnLogical(dest.p(), &pd, src.p(), &ps, 3, 2);
    for (PIXEL y = 0; y < 8; y++) {
        for (PIXEL x = 0; x < 10; x++) {
            const bool bIn = x >= 2 && x <= 4 && y >= 5 && y <= 6;
            EXPECT_EQ(dest.at(x, y), bIn ? (COLOR)(0x100 * (y - 3) + (x - 1) + 0x1000) : 0x0001) << x << "," << y;
        }
    }
    TestBitmap untouched(10, 8, 0x0001);
    G_BMP_vPlaceLogicalOnLogical(untouched.p(), &pd, src.p(), &ps, 3, 0);
    EXPECT_EQ(untouched.points(0x0001).size(), 80u);
}

TEST(Bmp, CopyRegionIsBoundedByTheDestination)
{
    // A 481-row source copies 481 rows where the destination has them...
    TestBitmap src(4, 481, 0x5555), tall(4, 482, 0x0000), screen(4, 480, 0x0000);
    G_BMP_vCopyRegion(src.p(), tall.p(), 1, 0, 2);
    size_t szRows = 0;
    for (PIXEL y = 0; y < 482; y++) {
        szRows += G_PIXEL_colorGetPhysicalPixel(tall.p(), 0, y) == 0x5555;
    }
    EXPECT_EQ(szRows, 481u);
    // ...and stops at the last row of a 480-row destination instead of writing past it.
    const size_t szWords = screen.vWords.size();
    screen.vWords.back() = 0xCAFEF00D;
    G_BMP_vCopyRegion(src.p(), screen.p(), 0, 0, 4);
    EXPECT_EQ(screen.points(0x5555).size(), 4u * 480u);
    EXPECT_EQ(screen.vWords[szWords - 1], 0xCAFEF00Du);
}

TEST(Bmp, CopyRegionWithinOneBitmap)
{
    TestBitmap b(8, 3);
    for (PIXEL x = 0; x < 8; x++) {
        for (PIXEL y = 0; y < 3; y++) {
            G_PIXEL_vPut(b.p(), x, y, (COLOR)(x + 1));
        }
    }
    G_BMP_vCopyRegion(b.p(), b.p(), 0, 2, 5); // overlapping runs
    for (PIXEL y = 0; y < 3; y++) {
        EXPECT_EQ(b.at(2, y), 1);
        EXPECT_EQ(b.at(6, y), 5);
        EXPECT_EQ(b.at(7, y), 8);
    }
    TestBitmap none(8, 3, 7);
    G_BMP_vCopyRegion(b.p(), none.p(), 0, 0, 0);
    EXPECT_EQ(none.points(7).size(), 24u);
}

TEST(Bmp, CopyPhysicalToLogicalKeepsOrientationAndTransparency)
{
    TestBitmap src(4, 4), dest(6, 6, 0x1111), all(6, 6, 0x1111);
    // Physical rows top first: row 0 = 0xFFFE, 0x0000, ...
    const COLOR aacol[2][2] = {{0xFFFE, 0x0000}, {0x2222, 0x3333}};
    for (PIXEL y = 0; y < 2; y++) {
        for (PIXEL x = 0; x < 2; x++) {
            G_PIXEL_vPutDirect(src.p(), x + 1, y + 1, aacol[y][x]);
        }
    }
    const POINT pSrc{1, 1}, pDest{3, 2};
    G_BMP_vCopyPhysicalToLogical(all.p(), &pDest, src.p(), &pSrc, 2, 2, G_BMP_COPY_ALL);
    EXPECT_EQ(all.at(3, 3), 0xFFFE); // top source row lands on the top destination row
    EXPECT_EQ(all.at(4, 3), 0x0000);
    EXPECT_EQ(all.at(3, 2), 0x2222);
    EXPECT_EQ(all.at(4, 2), 0x3333);
    G_BMP_vCopyPhysicalToLogical(dest.p(), &pDest, src.p(), &pSrc, 2, 2, 0x0000);
    EXPECT_EQ(dest.at(4, 3), 0x1111); // black skipped
    EXPECT_EQ(dest.at(3, 3), 0xFFFE);
    // Clipped at the destination's edge.
    const POINT pEdge{5, 5};
    G_BMP_vCopyPhysicalToLogical(dest.p(), &pEdge, src.p(), &pSrc, 2, 2, G_BMP_COPY_ALL);
    EXPECT_EQ(dest.at(5, 5), 0x2222);
}

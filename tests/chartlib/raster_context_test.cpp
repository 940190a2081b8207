// Graphics context: image layout, clip rectangle, pen, colours, raster modes, spans and the line pattern.
#include <gtest/gtest.h>

#include "raster_fixture.h"

namespace {

TEST(RasterContext, InitSetsDefaultsAndLeavesPatternAndBitmapAttributes)
{
  std::vector<SINT> words(4 * 3);
  GR_CONTEXT gc{};
  gc.ptrnattrib.index = 7;
  gc.bmpattrib.zx = 3;
  EXPECT_EQ(gr_InitGC(&gc, 7, 3, words.data()), CL_SUCCESS);
  EXPECT_EQ(gc.scrdim.rowsize, 4);
  EXPECT_EQ(gc.nbytes, 4u * 3u * 4u);
  EXPECT_EQ(gc.colour, 0xFFFFu);
  EXPECT_EQ(gc.cliplim.px, 6);
  EXPECT_EQ(gc.cliplim.py, 2);
  EXPECT_EQ(gc.PixelSize, 1);
  EXPECT_EQ(gc.fntattrib.Fptr, nullptr);
  EXPECT_EQ(gc.ptrnattrib.index, 7);
  EXPECT_EQ(gc.bmpattrib.zx, 3);
}

// Every span, pixel and rectangle of an odd-width image leaves the high half of each row's last word alone.
TEST(RasterContext, OddWidthNeverWritesTheLastWordsHighHalf)
{
  RasterImage img(7, 4);
  for (SINT r = 0; r < img.h; r++) img.words[(size_t)r * 4 + 3] = (SINT)(0xBEEF0000u | RasterImage::kBackground);
  for (UCHAR mode : {0, 8, 16, 24}) {
    gr_SetGMode(&img.gc, mode);
    gr_SetColor(&img.gc, 0x80000000u | 0x0F0F);
    gf_HorLine(&img.gc, 0, 0, 7);
    gf_HorLine(&img.gc, 6, 1, -7);
    gf_VertLine(&img.gc, 6, 0, 4);
    gf_PutPixel(&img.gc, 6, 3);
    gr_DrawRectangle(&img.gc, 0, 0, 50, 50);
    gr_SmartDrawLine(&img.gc, 1, 0, 3, 40, 3);
  }
  for (SINT r = 0; r < img.h; r++) EXPECT_EQ((UINT32)img.words[(size_t)r * 4 + 3] >> 16, 0xBEEFu) << "row " << r;
}

struct ClipCase {
  SINT x, y, w, h;
  ERRORCODE result;
  PIXELPOS orig, lim;
};

TEST(RasterContext, ClipRectangleIsCutToTheImage)
{
  const ClipCase cases[] = {
      {0, 0, 40, 30, CL_SUCCESS, {0, 0}, {39, 29}},
      {5, 5, 10, 10, CL_SUCCESS, {5, 15}, {14, 24}},
      {-5, 5, 10, 10, GR_WARN_CLIPPED, {0, 15}, {4, 24}},  // left
      {35, 5, 10, 10, GR_WARN_CLIPPED, {35, 15}, {39, 24}}, // right
      {5, -5, 10, 10, GR_WARN_CLIPPED, {5, 25}, {14, 29}},  // bottom
      {5, 25, 10, 10, GR_WARN_CLIPPED, {5, 0}, {14, 4}},    // top
      {14, 14, -10, -10, CL_SUCCESS, {3, 15}, {14, 26}},    // negative sizes reach one further
  };
  for (const ClipCase &c : cases) {
    RasterImage img(40, 30);
    EXPECT_EQ(gr_SetClipArea(&img.gc, c.x, c.y, c.w, c.h), c.result) << c.x << "," << c.y;
    EXPECT_EQ(img.gc.cliporig.px, c.orig.px);
    EXPECT_EQ(img.gc.cliporig.py, c.orig.py);
    EXPECT_EQ(img.gc.cliplim.px, c.lim.px);
    EXPECT_EQ(img.gc.cliplim.py, c.lim.py);
  }
}

// A clip rectangle beside the image is stored inverted; every draw then warns and writes nothing.
TEST(RasterContext, ClipBesideTheImageDrawsNothing)
{
  static const UCHAR kIcon[4] = {0x11, 0x00, 0x00, 0x00};
  RasterImage img(40, 30);
  EXPECT_EQ(gr_SetClipArea(&img.gc, 40, 0, 10, 10), GR_WARN_CLIPPED);
  EXPECT_GT(img.gc.cliporig.px, img.gc.cliplim.px);
  gr_InitBitmap(&img.gc, kIcon, 99, 2, 1, 4);
  FONT font{};
  fnt_INIT_Daravazos06x11(&font);
  gr_AddFont(&font, 69);
  gr_SetFontType(&img.gc, 69);
  gr_SetAbsPenPos(&img.gc, 5, 5);
  EXPECT_EQ(gr_DrawAbsLine(&img.gc, 30, 20), GR_WARN_CLIPPED);
  EXPECT_EQ(gr_SetPixel(&img.gc, 5, 5), GR_WARN_CLIPPED);
  EXPECT_EQ(gr_DrawRectangle(&img.gc, 0, 0, 40, 30), GR_WARN_CLIPPED);
  EXPECT_EQ(gr_SmartDrawLine(&img.gc, 1, 0, 3, 39, 3), GR_WARN_CLIPPED);
  gr_SetAbsPenPos(&img.gc, 5, 5);
  EXPECT_EQ(gr_PrintBitmapWithType(&img.gc, 99, 0), GR_WARN_CLIPPED);
  EXPECT_EQ(gr_PrintString(&img.gc, (const UCHAR *)"Ab"), GR_WARN_CLIPPED);
  EXPECT_EQ(gr_DrawArc(&img.gc, 0, 0, 0.0, 3.14159, 5), GR_WARN_CLIPPED);
  EXPECT_TRUE(img.drawn().empty());
}

TEST(RasterContext, PenOutsideWarnsAndStillMoves)
{
  RasterImage img(40, 30);
  gr_SetClipArea(&img.gc, 10, 10, 10, 10);
  PIXELPOS pos{};
  const PIXELPOS given[] = {{9, 12}, {20, 12}, {12, 9}, {12, 20}};
  for (const PIXELPOS &p : given) {
    EXPECT_EQ(gr_SetAbsPenPos(&img.gc, p.px, p.py), GR_WARN_CLIPPED);
    gr_GetLogicPosition(&img.gc, &pos);
    EXPECT_EQ(pos.px, p.px);
    EXPECT_EQ(pos.py, p.py);
  }
  EXPECT_EQ(gr_SetAbsPenPos(&img.gc, 10, 10), CL_SUCCESS);
  EXPECT_EQ(gr_SetRelPenPos(&img.gc, -1, 0), GR_WARN_CLIPPED);
  EXPECT_EQ(img.gc.cp.px, 9);
  EXPECT_EQ(img.gc.cp.py, 19);
}

TEST(RasterContext, ColourIsDirectOrAPaletteEntry)
{
  RasterImage img(4, 4);
  gr_SetColor(&img.gc, 0x80000000u | 0xABCD);
  EXPECT_EQ(gr_GetColor(&img.gc), 0xABCDu);
  gr_SetColor(&img.gc, 5);
  EXPECT_EQ(gr_GetColor(&img.gc), rasterTestPalette()[5]);
}

struct ModeCase {
  SINT mode;
  UINT16 colour, before, after;
};

TEST(RasterContext, RasterModesCombineOnlyTheAddressedHalf)
{
  const ModeCase cases[] = {
      {0, 0x00FF, 0x0F0F, 0x00FF}, {8, 0x00FF, 0x0F0F, 0x000F}, {16, 0x00FF, 0x0F0F, 0x0FFF},
      {24, 0x00FF, 0x0F0F, 0x0FF0}, {8, 0xFFFF, 0x1357, 0x1357}, {1, 0x00FF, 0x0F0F, 0x0F0F},
      {200, 0x00FF, 0x0F0F, 0x0F0F},
  };
  for (const ModeCase &c : cases) {
    for (SINT x : {2, 3}) {
      RasterImage img(4, 1, c.before);
      gr_SetGMode(&img.gc, c.mode);
      gr_SetColor(&img.gc, 0x80000000u | c.colour);
      gf_PutPixel(&img.gc, x, 0);
      EXPECT_EQ(img.at(x, 0), c.after) << "mode " << c.mode << " column " << x;
      EXPECT_EQ(img.at(x ^ 1, 0), c.before);
    }
  }
  RasterImage img(4, 1);
  gr_SetGMode(&img.gc, 24);
  gr_SetColor(&img.gc, 0x80000000u | 0x5A5A);
  gf_PutPixel(&img.gc, 1, 0);
  gf_PutPixel(&img.gc, 1, 0);
  EXPECT_EQ(img.at(1, 0), RasterImage::kBackground);
}

TEST(RasterContext, XorAndTheBrushWarnEachOtherButTakeEffect)
{
  RasterImage img(4, 4);
  gr_SetDrawingTool(&img.gc, BRUSH);
  EXPECT_EQ(gr_SetGMode(&img.gc, 24), GR_WARN_XOR_BRUSH);
  EXPECT_EQ(img.gc.mode, 24);
  gr_SetDrawingTool(&img.gc, STD_PEN);
  EXPECT_EQ(gr_SetDrawingTool(&img.gc, BRUSH), GR_WARN_BRUSH_XOR);
  EXPECT_EQ(img.gc.DrTool, BRUSH);
  EXPECT_EQ(gr_SetGMode(&img.gc, 0x1FF), CL_SUCCESS);
  EXPECT_EQ(img.gc.mode, 0xFF);
  EXPECT_EQ(gr_SetPixelSize(&img.gc, 0), GR_ERR_PIXEL_SIZE);
  EXPECT_EQ(gr_SetPixelSize(&img.gc, -2), GR_ERR_PIXEL_SIZE);
  EXPECT_EQ(img.gc.PixelSize, 1);
  EXPECT_EQ(gr_SetPrintingDirection(&img.gc, 360), GR_ERR_DIRECTION);
  EXPECT_EQ(gr_SetPrintingDirection(&img.gc, 359), CL_SUCCESS);
  EXPECT_EQ(img.gc.PrintDir, 359);
}

TEST(RasterContext, HorLineCoversTheSignedCount)
{
  struct {
    SINT x, n, first, last;
  } const cases[] = {{10, 0, 0, -1}, {10, -3, 8, 10}, {10, 3, 10, 12}, {3, 1, 3, 3}, {0, 21, 0, 20}, {20, -21, 0, 20}};
  for (const auto &c : cases) {
    RasterImage img(21, 2);
    gf_HorLine(&img.gc, c.x, 1, c.n);
    EXPECT_EQ(img.drawn(), c.last < c.first ? PixelSet{} : pixelRange(c.first, c.last, 1, 1)) << c.x << " " << c.n;
  }
}

// The word-wise spans give the same image as one pixel at a time, at every alignment, length and mode.
TEST(RasterContext, SpansMatchPixelByPixel)
{
  for (UCHAR mode : {0, 8, 16, 24, 3}) {
    for (UINT16 colour : {0x0000, 0xFFFF, 0x1F2E}) {
      for (SINT x = 0; x < 4; x++) {
        for (SINT n = -4; n <= 9; n++) {
          RasterImage a(17, 17), b(17, 17);
          for (RasterImage *img : {&a, &b}) {
            gr_SetGMode(&img->gc, mode);
            gr_SetColor(&img->gc, 0x80000000u | colour);
          }
          const SINT sx = x + 4;
          gf_HorLine(&a.gc, sx, 2, n);
          gf_VertLine(&a.gc, sx, 8, n);
          for (SINT k = 0; k < std::abs(n); k++) {
            gf_PutPixel(&b.gc, n > 0 ? sx + k : sx - k, 2);
            gf_PutPixel(&b.gc, sx, n > 0 ? 8 + k : 8 - k);
          }
          ASSERT_EQ(a.words, b.words) << "mode " << int(mode) << " x " << sx << " n " << n;
        }
      }
    }
  }
}

TEST(RasterContext, SetBitIgnoresShiftsOutsideTheWord)
{
  SINT word = 0x11112222;
  gf_SetBit(&word, 32, 0xFFFF, 0);
  EXPECT_EQ((UINT32)word, 0x11112222u);
  gf_SetBit(&word, 16, 0xABCD, 0);
  EXPECT_EQ((UINT32)word, 0xABCD2222u);
}

// Pattern 0xFF, 0, 0xFF, 0 ...: the step advances before it reads, so the first run is one short.
TEST(RasterContext, LinePatternStepsFromBitOne)
{
  static const UCHAR kDash[8] = {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0};
  gr_InitPattern(kDash, 7, 8, 8, 8);
  RasterImage img(4, 4);
  gr_SetPatternType(&img.gc, 7);
  gr_SetPatternIndex(&img.gc, 0);
  gr_SetPatternStatus(&img.gc, 1);
  std::string run;
  for (int i = 0; i < 23; i++) run += gf_CheckPattern(&img.gc) ? '1' : '0';
  EXPECT_EQ(run, "11111110000000011111111");
  gr_ResetPattern(&img.gc);
  gr_SetPatternZoom(&img.gc, 2, 2);
  run.clear();
  for (int i = 0; i < 18; i++) run += gf_CheckPattern(&img.gc) ? '1' : '0';
  EXPECT_EQ(run, "111111111111111000");
  // The cycle is 8 bytes x 8 bits x zoom.
  gr_SetPatternZoom(&img.gc, 1, 1);
  gr_ResetPattern(&img.gc);
  std::string first, second;
  for (int i = 0; i < 64; i++) first += gf_CheckPattern(&img.gc) ? '1' : '0';
  for (int i = 0; i < 64; i++) second += gf_CheckPattern(&img.gc) ? '1' : '0';
  EXPECT_EQ(first, second);
  // Zoom 0 steps as zoom 1 instead of dividing by zero.
  gr_SetPatternZoom(&img.gc, 0, 0);
  gr_ResetPattern(&img.gc);
  run.clear();
  for (int i = 0; i < 23; i++) run += gf_CheckPattern(&img.gc) ? '1' : '0';
  EXPECT_EQ(run, "11111110000000011111111");
  gr_SetPatternStatus(&img.gc, 0);
  EXPECT_EQ(gf_CheckPattern(&img.gc), 1);
}

} // namespace

#include "draw/image.h"

#include <algorithm>

#include "draw/pixel.h"

namespace {
constexpr U16 kRunMark = 0xFFFF;

// Decodes rowCount rows of an IMAGE, drawing the first perRow pixels of each through G_PIXEL_vPut; a run is
// cut at the picture's width and the next row starts after the last word used.
void drawRuns(BITMAP *pDest, const IMAGE *pImage, const POINT *pptLowerLeft, S32 rowCount, S32 perRow) {
  const U16 *p = static_cast<const U16 *>(pImage->data);
  const S32 width = pImage->s32Width;
  for (S32 row = 0; row < rowCount; row++) {
    const PIXEL y = pptLowerLeft->y + row;
    COLOR current = 0;
    S32 produced = 0;
    while (produced < perRow) {
      const U16 word = *p++;
      if (word != kRunMark) {
        current = word;
        G_PIXEL_vPut(pDest, pptLowerLeft->x + produced, y, current);
        produced++;
        continue;
      }
      const S32 n = std::min<S32>(*p++, width - produced);
      for (S32 k = 0; k < n; k++, produced++) G_PIXEL_vPut(pDest, pptLowerLeft->x + produced, y, current);
    }
  }
}

} // namespace

void G_IMAGE_vPut(BITMAP *pDest, const IMAGE *pImage, const POINT *pptLowerLeft) {
  if (pImage->s32Width <= 0 || pImage->s32Height <= 0) return;
  drawRuns(pDest, pImage, pptLowerLeft, pImage->s32Height, pImage->s32Width);
}

void G_IMAGE_PART_vPutNew(BITMAP *pDest, const IMAGE *pImage, const POINT *pptLowerLeft, float fwidthPercent,
                          float fHightPercent) {
  if (pImage->s32Width <= 0 || pImage->s32Height <= 0) return;
  drawRuns(pDest, pImage, pptLowerLeft, G_IMAGE_s32Part(fHightPercent, pImage->s32Height),
           G_IMAGE_s32Part(fwidthPercent, pImage->s32Width));
}

void G_IMAGE_PART_vPut(BITMAP *pDest, const IMAGE *pImage, const POINT *pptLowerLeft, float fwidthPercent,
                       float fHightPercent) {
  if (pImage->s32Width <= 0 || pImage->s32Height <= 0) return;
  // Fractions above 1 (a gauge at its maximum plus its offset) would read past the picture: bound them.
  const S32 rows = G_IMAGE_s32Part(fHightPercent, pImage->s32Height);
  const S32 perRow = G_IMAGE_s32Part(fwidthPercent, pImage->s32Width);
  const U16 *p = static_cast<const U16 *>(pImage->data);
  for (S32 row = 0; row < rows; row++, p += perRow)
    for (S32 col = 0; col < perRow; col++)
      G_PIXEL_vPut(pDest, pptLowerLeft->x + col, pptLowerLeft->y + row, p[col]);
}

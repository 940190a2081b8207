// Triangle arrows and the value text of menu controls.
#include "ui/menu/menu_draw_arrows.h"

#include <cstdio>

#include "draw/line.h"

// A value too long for the buffer is cut rather than written past it.
void U_MENU_vPrecisionFormat(char *endString, float value, U8 precision, size_t szSize) {
  const char *pcFormat = precision == 0 ? "%.0f" : precision == 1 ? "%.1f" : precision == 2 ? "%.2f" : "%.3f";
  std::snprintf(endString, szSize, pcFormat, static_cast<double>(value));
}

namespace {

// The size made odd; 0 stays 0 (nothing drawn).
U32 u32OddSize(U32 u32Size) { return (u32Size & 1u) != 0 ? u32Size : (u32Size == 0 ? 0 : u32Size - 1); }

// Lines from the base outwards: line i is shifted i pixels by (dx, dy) and shortened by i at both ends.
void vDrawTriangle(BITMAP *pBitmap, POINT anchor, U32 u32Size, COLOR color, bool bVertical, PIXEL nStep) {
  const S32 n = static_cast<S32>(u32OddSize(u32Size));
  for (S32 i = 0; i <= (n >> 1) && n > 0; i++) {
    POINT a, b;
    if (bVertical) {
      a = {anchor.x + nStep * i, anchor.y + i};
      b = {anchor.x + nStep * i, anchor.y + n - 1 - i};
    } else {
      a = {anchor.x + i, anchor.y + nStep * i};
      b = {anchor.x + n - 1 - i, anchor.y + nStep * i};
    }
    G_LINE_vDraw(pBitmap, color, &a, &b);
  }
}

}  // namespace

void U_MENU_vDrawArrowDown(BITMAP *pBitmap, POINT anchor, U32 arrowWidth, COLOR color) {
  vDrawTriangle(pBitmap, anchor, arrowWidth, color, false, -1);
}

void U_MENU_vDrawArrowUp(BITMAP *pBitmap, POINT anchor, U32 arrowWidth, COLOR color) {
  vDrawTriangle(pBitmap, anchor, arrowWidth, color, false, 1);
}

void U_MENU_vDrawArrowRight(BITMAP *pBitmap, POINT anchor, U32 arrowHeight, COLOR color) {
  vDrawTriangle(pBitmap, anchor, arrowHeight, color, true, 1);
}

void U_MENU_vDrawArrowLeft(BITMAP *pBitmap, POINT anchor, U32 arrowHeight, COLOR color) {
  vDrawTriangle(pBitmap, anchor, arrowHeight, color, true, -1);
}

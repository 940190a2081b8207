// The three layouts of the fish history: standard scrolling, bottom-locked and vertically scrolling.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "draw/box.h"
#include "draw/color.h"
#include "draw/fonts.h"
#include "draw/icon.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "sonar/analysis/fish_ring.h"
#include "sonar/analysis/fishid.h"
#include "sonar/coproc_tx.h"
#include "ui/info/info.h"
#include "util/convert.h"

static const ICON *const FishIconsHorizontal[4][3] = {
    {&SmfishClr_icon, &MedfishClr_icon, &LrgfishClr_icon},
    {&Smfish_icon, &Medfish_icon, &Lrgfish_icon},
    {&fish_scl_icon, &fish_mcl_icon, &fish_lcl_icon},
    {&fish_scr_icon, &fish_mcr_icon, &fish_lcr_icon},
};
static const ICON *const FishIconsVertical[4][3] = {
    {&SmfishClr_icon, &MedfishClr_icon, &LrgfishClr_icon},
    {&Smfish_icon, &Medfish_icon, &Lrgfish_icon},
    {&VertFishS_icon, &VertFishM_icon, &VertFishL_icon},
    {&VertFishS_icon, &VertFishM_icon, &VertFishL_icon},
};

constexpr COLOR LABEL_BOX_COLOR_INDEX = 128;
constexpr U32 LABEL_BOX_ALPHA_VECTOR = 0x8C8C56;
constexpr U32 LABEL_BOX_HEIGHT = 16;
constexpr U32 SAMPLE_PERIOD_US = 26;

namespace {

// A copy of the bitmap clipped to the rectangle as well as to its own clip.
BITMAP clipped(const BITMAP *pBmp, PIXEL left, PIXEL bottom, PIXEL right, PIXEL top)
{
  BITMAP b = *pBmp;
  b.s32ClipLeft = std::max(b.s32ClipLeft, std::min(left, right));
  b.s32ClipRight = std::min(b.s32ClipRight, std::max(left, right));
  b.s32ClipBottom = std::max(b.s32ClipBottom, std::min(bottom, top));
  b.s32ClipTop = std::min(b.s32ClipTop, std::max(bottom, top));
  return b;
}

const ICON *pIcon(const ICON *const (*table)[3], const FISH_TARGET &f)
{
  if (f.beam > 3) {
    return nullptr;
  }
  return table[f.beam][f.u8Size > 2 ? 2 : f.u8Size];
}

double dSamplesToUnits(double dSamples, UNIT_TYPE DepthUnits)
{
  const U32 c = g_u32SpeedOfSoundInWater != 0 ? g_u32SpeedOfSoundInWater : 1463;
  const double dMetres = dSamples * SAMPLE_PERIOD_US * c / 2000000.0;
  return dGenericConvert(dMetres, U_METRES, DepthUnits);
}

// The value in the 11 x 14 font over a translucent box; the text's lower-left at (centre - width / 2, textY).
void vDrawLabel(BITMAP *pBmp, PIXEL centreX, PIXEL boxY, PIXEL textY, double dValue, COLOR NumberColor)
{
  char ac[32];
  std::snprintf(ac, sizeof ac, dValue < 9.95 ? "%.1f" : "%.0f", dValue);
  const FONT_DEF *pFont = std_11x14_font_def_ptr;
  if (pFont == nullptr) {
    return;
  }
  const U32 u32Width = G_STRING_u32GetWidth(pFont, ac);
  POINT text = {centreX - (PIXEL)(u32Width / 2), textY};
  const POINT box = {text.x - 1, boxY};
  G_BOX_vDrawFilledAlpha(pBmp, gCOLOR_pcolColorTable[LABEL_BOX_COLOR_INDEX], &box, u32Width + 1, LABEL_BOX_HEIGHT,
                         T_INFO_u8ConvertAlphaVector(LABEL_BOX_ALPHA_VECTOR));
  G_STRING_vPut(pBmp, NumberColor, &text, pFont, ac);
}

}  // namespace

void S_FISHID_vDrawStandardFishHistory(BITMAP *pBmp, const FISH_TARGET_HISTORY *pTargetHistory, PIXEL OldestColumn,
                                       PIXEL NewestColumn, PIXEL BottomPixel, PIXEL TopPixel, U32 u32UpperSamples,
                                       U32 u32LowerSamples, UNIT_TYPE DepthUnits, COLOR NumberColor,
                                       BOOLEAN bSlanted)
{
  if (u32LowerSamples <= u32UpperSamples) {
    return;
  }
  const U32 u32Columns = std::min<U32>((U32)std::abs(OldestColumn - NewestColumn) + 1, FISH_HISTORY_COLUMNS);
  const PIXEL step = OldestColumn < NewestColumn ? -1 : 1;
  // Slanted columns sink by a pixel each, so the area reaches lower.
  BITMAP b = clipped(pBmp, OldestColumn, BottomPixel - (bSlanted ? (PIXEL)u32Columns : 0), NewestColumn, TopPixel);
  FishLock lock;
  U16 u16List = pTargetHistory->u16IndexToMostRecentTargets % FISH_HISTORY_COLUMNS;
  if (S_FISHID_bReverseScroll()) {
    u16List = u16FishColumnBack(u16List, 1);
  }
  const S64 span = (S64)u32LowerSamples - u32UpperSamples;
  for (U32 k = 0; k < u32Columns; k++) {
    const PIXEL x = NewestColumn + step * (PIXEL)k;
    const PIXEL top = TopPixel - (bSlanted ? (PIXEL)k : 0);
    const PIXEL bottom = BottomPixel - (bSlanted ? (PIXEL)k : 0);
    const FISH_TARGET_LIST &l = pTargetHistory->Items[u16FishColumnBack(u16List, k)];
    for (U32 i = 0; i < u8FishCount(&l); i++) {
      const FISH_TARGET &f = l.target[i];
      const ICON *pI = pIcon(FishIconsHorizontal, f);
      if (f.bIgnoreThisFish || pI == nullptr || f.u32DepthInSamples <= u32UpperSamples ||
          f.u32DepthInSamples >= u32LowerSamples) {
        continue;
      }
      const PIXEL y =
          (PIXEL)((top + 1) - (S64)(f.u32DepthInSamples - u32UpperSamples) * (top - bottom + 1) / span);
      const PIXEL iconH = (PIXEL)G_ICON_u32GetHeight(pI);
      const POINT at = {x - (PIXEL)G_ICON_u32GetWidth(pI) / 2, y + 1};
      G_ICON_vPut(&b, pI, &at);
      if (f.bIdPlusThisFish) {
        vDrawLabel(&b, x, y + iconH + 1, y + iconH + 2, dSamplesToUnits(f.u32DepthInSamples, DepthUnits),
                   NumberColor);
      }
    }
  }
}

void S_FISHID_vDrawBottomLockFishHistory(BITMAP *pBmp, const FISH_TARGET_HISTORY *pTargetHistory,
                                         const FULL_SCREEN_TSU *pTSUStore, PIXEL LeftHandEdgePixel,
                                         PIXEL RightHandEdgePixel, U32 u32DisplayHeight, U32 u32UpperSamples,
                                         U32 u32LowerSamples, UNIT_TYPE DepthUnits, COLOR NumberColor)
{
  if (pTSUStore == nullptr || u32UpperSamples + u32LowerSamples == 0 || RightHandEdgePixel < LeftHandEdgePixel) {
    return;
  }
  BITMAP b = clipped(pBmp, LeftHandEdgePixel, SCREEN_PIXELS_HIGH - (PIXEL)u32DisplayHeight, RightHandEdgePixel,
                     SCREEN_PIXELS_HIGH - 1);
  FishLock lock;
  const U32 u32Columns = std::min<U32>((U32)(RightHandEdgePixel - LeftHandEdgePixel) + 1, FISH_HISTORY_COLUMNS);
  const U16 u16List = pTargetHistory->u16IndexToMostRecentTargets % FISH_HISTORY_COLUMNS;
  const U32 u32Newest = (pTSUStore->u32NextFreeColumn % TSU_STORE_COLUMNS + TSU_STORE_COLUMNS - 1) % TSU_STORE_COLUMNS;
  const S64 span = (S64)u32UpperSamples + u32LowerSamples;
  for (U32 k = 0; k < u32Columns; k++) {
    const PIXEL x = RightHandEdgePixel - (PIXEL)k;
    const S64 bottom =
        pTSUStore->aTsuStore[(u32Newest + TSU_STORE_COLUMNS - k % TSU_STORE_COLUMNS) % TSU_STORE_COLUMNS]
            .u32SmoothedDepthInSamples;
    const FISH_TARGET_LIST &l = pTargetHistory->Items[u16FishColumnBack(u16List, k)];
    for (U32 i = 0; i < u8FishCount(&l); i++) {
      const FISH_TARGET &f = l.target[i];
      const ICON *pI = pIcon(FishIconsHorizontal, f);
      const S64 depth = f.u32DepthInSamples;
      if (f.bIgnoreThisFish || pI == nullptr || depth <= bottom - (S64)u32UpperSamples ||
          depth >= bottom + (S64)u32LowerSamples) {
        continue;
      }
      const PIXEL y = (PIXEL)(SCREEN_PIXELS_HIGH - (S64)u32DisplayHeight * (depth - bottom + u32UpperSamples) / span);
      const POINT at = {x - (PIXEL)G_ICON_u32GetWidth(pI) / 2, y + 1};
      G_ICON_vPut(&b, pI, &at);
      if (f.bIdPlusThisFish) {
        vDrawLabel(&b, x, y - 15, y - 14, dSamplesToUnits((double)(bottom - depth), DepthUnits), NumberColor);
      }
    }
  }
}

void S_FISHID_vDrawVerticalFishHistory(const FISH_TARGET_HISTORY *pTargetHistory, BITMAP *pBmp,
                                       const POINT *pDeepestOldest, const POINT *pShallowestYoungest,
                                       U32 u32LowerSamples, UNIT_TYPE DepthUnits, BOOLEAN bBraxelActive)
{
  (void)DepthUnits;  // the side views carry no depth labels
  if (u32LowerSamples == 0 || pShallowestYoungest->y < pDeepestOldest->y) {
    return;
  }
  BITMAP b = clipped(pBmp, pDeepestOldest->x, pDeepestOldest->y, pShallowestYoungest->x, pShallowestYoungest->y);
  FishLock lock;
  const PIXEL xs = pShallowestYoungest->x, xd = pDeepestOldest->x;
  const S64 w = std::abs(xd - xs) + 1;
  const U32 u32Rows = std::min<U32>((U32)(pShallowestYoungest->y - pDeepestOldest->y) + 1, FISH_HISTORY_COLUMNS);
  const U16 u16List = pTargetHistory->u16IndexToMostRecentTargets % FISH_HISTORY_COLUMNS;
  for (U32 i = 0; i < u32Rows; i++) {
    const PIXEL y = pShallowestYoungest->y - (PIXEL)i;
    if (y < 0) {
      continue;
    }
    // Each row goes back one column, wrapping from 0 to 819 whatever the scrolling direction.
    const FISH_TARGET_LIST &l =
        pTargetHistory->Items[(u16List + FISH_HISTORY_COLUMNS - i % FISH_HISTORY_COLUMNS) % FISH_HISTORY_COLUMNS];
    const U32 u32Fish = bBraxelActive ? std::min<U32>(u8FishCount(&l), 1) : u8FishCount(&l);
    for (U32 j = 0; j < u32Fish; j++) {
      const FISH_TARGET &f = l.target[j];
      if (f.bIgnoreThisFish || f.beam > 3 || f.u32DepthInSamples >= u32LowerSamples) {
        continue;
      }
      const ICON *pI = bBraxelActive ? FishIconsVertical[f.beam][1] : pIcon(FishIconsVertical, f);
      const S64 along = (S64)f.u32DepthInSamples * w / u32LowerSamples;
      const PIXEL x = xs < xd ? (PIXEL)(xs + along - (S64)G_ICON_u32GetWidth(pI)) : (PIXEL)(xs - along + 1);
      const POINT at = {x, y - (PIXEL)G_ICON_u32GetHeight(pI) / 2};
      G_ICON_vPut(&b, pI, &at);
    }
  }
}

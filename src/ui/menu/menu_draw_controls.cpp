// Menu control drawing: check marks, action markers, sliders, progress bars, numeric entries, selection boxes
// and the drop-down lists of sub-menu and action-list rows.
#include "ui/menu/menu_draw_controls.h"

#include <algorithm>
#include <cstdio>

#include "draw/box.h"
#include "draw/color.h"
#include "draw/icon_data.h"
#include "draw/line.h"
#include "draw/string.h"
#include "settings/language.h"

namespace {

enum : U32 {
  COLOR_LIST_HIGHLIGHT = 64,
  COLOR_BAR_FILL = 65,
  COLOR_FIELD_FILL = 66,
  COLOR_OUTLINE = 67,
  COLOR_TEXT = 68,
};

COLOR colorTable(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

const FONT_DEF *controlFont() { return std_11x14_font_def_ptr; }

const char *pcTitle(MENU_TITLE pTitle) {
  if (pTitle == nullptr) return "";
  const char *pc = (*pTitle)[nCurrentLanguage()];
  return pc != nullptr ? pc : "";
}

PIXEL nTextWidth(const char *pc) { return static_cast<PIXEL>(G_STRING_u32GetWidth(controlFont(), pc)); }

void vText(BITMAP *pBitmap, PIXEL x, PIXEL y, const char *pc, COLOR color) {
  POINT at{x, y};
  G_STRING_vPut(pBitmap, color, &at, controlFont(), pc);
}

// The text y that centres the control font in a control of height h at y.
PIXEL nCentredTextY(PIXEL y, S32 h) {
  const FONT_DEF *pFont = controlFont();
  return y + 1 + ((h - 4) >> 1) + static_cast<PIXEL>(G_FONTS_u32GetDescenderHeight(pFont)) -
         static_cast<PIXEL>(G_STRING_u32GetHeight(pFont)) / 2;
}

S32 s32Odd(S32 n) { return (n & 1) != 0 ? n : n - 1; }

void vTriangleRight(BITMAP *pBitmap, PIXEL x, PIXEL y0, S32 s32Size) {
  if (s32Size > 0) U_MENU_vDrawArrowRight(pBitmap, POINT{x, y0}, static_cast<U32>(s32Size), colorTable(COLOR_OUTLINE));
}

void vFilled(BITMAP *pBitmap, U32 u32Color, PIXEL x, PIXEL y, S32 w, S32 h) {
  if (w <= 0 || h <= 0) return;
  const POINT at{x, y};
  G_BOX_vDrawFilled(pBitmap, colorTable(u32Color), &at, static_cast<U32>(w), static_cast<U32>(h));
}

void vRounded(BITMAP *pBitmap, COLOR color, bool bFilled, PIXEL x, PIXEL y, S32 w, S32 h, U32 r) {
  if (w <= 0 || h <= 0) return;
  const POINT at{x, y};
  if (bFilled) {
    G_BOX_vDrawRoundedFilled(pBitmap, color, &at, static_cast<U32>(w), static_cast<U32>(h), r);
  } else {
    G_BOX_vDrawRounded(pBitmap, color, &at, static_cast<U32>(w), static_cast<U32>(h), r);
  }
}

// Value relations in the control's own data format: floats as floats, unsigned as unsigned, the rest signed.
bool bBelow(DB_DATA_TYPE a, DB_DATA_TYPE b, DATA_FORMAT f) {
  if (f == DF_FLOAT) return a.fVal < b.fVal;
  if (f == DF_UNSIGNED32) return a.u32Val < b.u32Val;
  return a.s32Val < b.s32Val;
}

bool bEqual(DB_DATA_TYPE a, DB_DATA_TYPE b, DATA_FORMAT f) {
  if (f == DF_FLOAT) return a.fVal == b.fVal;
  if (f == DF_UNSIGNED32) return a.u32Val == b.u32Val;
  return a.s32Val == b.s32Val;
}

// The filled length of a bar of u32Span pixels: the value's percentage of the range, then of the span.
S32 s32Fill(DB_DATA_TYPE v, DB_DATA_TYPE min, DB_DATA_TYPE max, DATA_FORMAT f, S32 s32Span) {
  if (f == DF_FLOAT) {
    return static_cast<S32>((v.fVal - min.fVal) * 100.0f / (max.fVal - min.fVal) * 0.01 * static_cast<double>(s32Span));
  }
  if (f == DF_UNSIGNED32) {
    const U32 u32Percent = ((v.u32Val - min.u32Val) * 100u) / (max.u32Val - min.u32Val);
    return static_cast<S32>(u32Percent * static_cast<U32>(s32Span) / 100u);
  }
  // Wide enough that the product cannot overflow.
  const S64 s64Percent = (static_cast<S64>(v.s32Val) - min.s32Val) * 100 / (static_cast<S64>(max.s32Val) - min.s32Val);
  return static_cast<S32>(s64Percent * s32Span / 100);
}

// The end texts of a bar: the title in the current language, or the limit text when there is none.
void vEndTexts(BITMAP *pBitmap, PIXEL nLeftEnd, PIXEL nRightStart, PIXEL y, MENU_TITLE pLeft, const char *pcMin,
               MENU_TITLE pRight, const char *pcMax) {
  const char *pcLeft = pLeft != nullptr ? pcTitle(pLeft) : pcMin;
  const char *pcRight = pRight != nullptr ? pcTitle(pRight) : pcMax;
  vText(pBitmap, nLeftEnd - nTextWidth(pcLeft), y, pcLeft, colorTable(COLOR_TEXT));
  vText(pBitmap, nRightStart, y, pcRight, colorTable(COLOR_TEXT));
}

void vBar(BITMAP *pBitmap, POINT anchor, S32 w, S32 h) {
  vRounded(pBitmap, colorTable(COLOR_BAR_FILL), true, anchor.x, anchor.y, w, h, 4);
  vRounded(pBitmap, colorTable(COLOR_OUTLINE), false, anchor.x, anchor.y, w, h, 4);
}

// The drop-down list of an open sub-menu or action list.
struct LIST_STYLE {
  S32 s32ExtraWidth;  // added to the widest choice
  U32 u32Radius;
  PIXEL nTextX;       // from the list's left edge
  PIXEL nPointerX;    // subtracted from the right edge together with h / 2
  bool bActionList;
};

void vDrawList(BITMAP *pBitmap, POINT anchor, U32 u32value, MENU_TITLE_LIST pChoices, U32 u32Count, U32 u32MenuWidth,
               S32 h, const LIST_STYLE &style) {
  if (h <= 0 || u32Count == 0 || pChoices == nullptr) return;
  const S32 n = static_cast<S32>(u32Count);
  S32 s32Widest = 0;
  for (S32 i = 0; i < n; i++) s32Widest = std::max(s32Widest, nTextWidth(pcTitle(pChoices[i])));
  const S32 w = style.s32ExtraWidth + s32Widest;
  PIXEL x = anchor.x + static_cast<PIXEL>(u32MenuWidth) - 1;
  if (x + w >= pBitmap->pixels_wide) x = pBitmap->pixels_wide - w;
  PIXEL yTop = anchor.y + ((h * n) >> 1);
  if (yTop + h >= pBitmap->pixels_high) {
    while (yTop + h >= pBitmap->pixels_high) yTop -= h;
  } else {
    while (yTop + h * (1 - n) < 1) yTop += h;
  }
  const FONT_DEF *pFont = controlFont();
  const S32 s32Text = static_cast<S32>(G_FONTS_u32GetDescenderHeight(pFont) + G_FONTS_u32GetAscenderHeight(pFont)) +
                      h + 1 - static_cast<S32>(G_STRING_u32GetHeight(pFont));
  PIXEL y = yTop;
  for (S32 i = 0; i < n; i++, y += 1 - h) {
    const bool bHighlighted = static_cast<U32>(i) == u32value;
    vRounded(pBitmap, colorTable(bHighlighted ? COLOR_LIST_HIGHLIGHT : COLOR_BAR_FILL), true, x, y, w, h,
             style.u32Radius);
    vRounded(pBitmap, colorTable(COLOR_OUTLINE), false, x, y, w, h, style.u32Radius);
    const PIXEL yText = style.bActionList ? y + (s32Text >> 1) : y + 4;
    vText(pBitmap, x + style.nTextX, yText, pcTitle(pChoices[i]), colorTable(COLOR_TEXT));
    if (bHighlighted) {
      const PIXEL xp = x + w - style.nPointerX - (h >> 1);
      const PIXEL yp = y + 1 + ((h - 17) >> 1);
      for (PIXEL k = 0; k < 9; k++) {
        const POINT a{xp + k, yp + k}, b{xp + k, yp + 16 - k};
        G_LINE_vDraw(pBitmap, colorTable(COLOR_OUTLINE), &a, &b);
      }
    }
  }
  if (style.bActionList) {
    const PIXEL yBottom = yTop + (n - 1) * (1 - h);
    vRounded(pBitmap, colorTable(COLOR_OUTLINE), false, x, yBottom, w, n * (h - 1) + 1, 2);
    vRounded(pBitmap, colorTable(COLOR_LIST_HIGHLIGHT), false, x - 1, yBottom - 1, w + 2, n * (h - 1) + 3, 2);
  }
}

}  // namespace

void U_MENU_vDrawControlCheckBox(BITMAP *pBitmap, POINT anchor, U32 u32value, U32 u32menuWidth, U32) {
  if (u32value == 0) return;
  const POINT at{anchor.x + static_cast<PIXEL>(u32menuWidth) - 35,
                 anchor.y - 1 + ((60 - static_cast<PIXEL>(G_ICON_u32GetHeight(&selected_radio_button))) >> 1)};
  G_ICON_vPut(pBitmap, &unselected_radio_button, &at);
  G_ICON_vPut(pBitmap, &selected_radio_button, &at);
}

void U_MENU_vDrawControlCheckList(BITMAP *pBitmap, POINT anchor, U32 u32value, U32 u32menuWidth,
                                  U32 u32subMenuHeight) {
  U_MENU_vDrawControlCheckBox(pBitmap, anchor, u32value, u32menuWidth, u32subMenuHeight);
}

void U_MENU_vDrawControlAction(BITMAP *pBitmap, POINT anchor, U32, U32 u32menuWidth, U32 u32subMenuHeight) {
  const S32 h = static_cast<S32>(u32subMenuHeight);
  const S32 s = ((h - 5) & 1) != 0 ? h - 5 : h - 6;
  vTriangleRight(pBitmap, anchor.x + static_cast<PIXEL>(u32menuWidth) - h + 10, anchor.y + 3, s);
}

void U_MENU_vDrawControlSlider(BITMAP *pBitmap, POINT anchor, DB_DATA_TYPE dbValue,
                               const M_SLIDER_PARAMETERS *parameters, DATA_FORMAT dataFormat, U32 u32sliderWidth,
                               U32 u32sliderHeight) {
  const S32 W = static_cast<S32>(u32sliderWidth), H = static_cast<S32>(u32sliderHeight);
  const PIXEL yText = nCentredTextY(anchor.y, H);
  vEndTexts(pBitmap, anchor.x - 1, anchor.x + W + 2, yText, parameters->pCtrlTextLeft, parameters->minString,
            parameters->pCtrlTextRight, parameters->maxString);
  vBar(pBitmap, anchor, W, H);
  S32 p = 0;
  if (!bBelow(dbValue, parameters->minValue, dataFormat) &&
      !bEqual(parameters->minValue, parameters->maxValue, dataFormat)) {
    p = s32Fill(dbValue, parameters->minValue, parameters->maxValue, dataFormat, W - 6);
  }
  if (p > 2) {
    vRounded(pBitmap, colorTable(COLOR_OUTLINE), true, anchor.x, anchor.y, p + 2, H, 2);
  } else {
    vFilled(pBitmap, COLOR_OUTLINE, anchor.x + 1, anchor.y, 4, H);
  }
  const PIXEL tx = anchor.x + 1 + p;
  vFilled(pBitmap, COLOR_OUTLINE, tx, anchor.y - 1, 4, H + 3);
  vFilled(pBitmap, COLOR_BAR_FILL, tx, anchor.y, 3, H + 2);
  vFilled(pBitmap, COLOR_FIELD_FILL, tx + 1, anchor.y, 2, H + 1);
}

void U_MENU_vDrawControlProgressBar(BITMAP *pBitmap, POINT anchor, DB_DATA_TYPE dbValue,
                                    const M_PROGRESS_BAR_PARAMETERS *parameters, DATA_FORMAT dataFormat,
                                    U32 u32barWidth, U32 u32barHeight) {
  const S32 W = static_cast<S32>(u32barWidth), H = static_cast<S32>(u32barHeight);
  vEndTexts(pBitmap, anchor.x - 1, anchor.x + W + 4, nCentredTextY(anchor.y, H), parameters->pCtrlTextLeft,
            parameters->minString, parameters->pCtrlTextRight, parameters->maxString);
  vBar(pBitmap, anchor, W, H);
  if (!bBelow(dbValue, parameters->minValue, dataFormat) &&
      !bEqual(parameters->minValue, parameters->maxValue, dataFormat)) {
    vFilled(pBitmap, COLOR_OUTLINE, anchor.x + 1, anchor.y + 1,
            s32Fill(dbValue, parameters->minValue, parameters->maxValue, dataFormat, W - 2), H - 2);
  }
}

void U_MENU_vDrawControlNumericEntry(BITMAP *pBitmap, POINT anchor, DB_DATA_TYPE dbValue,
                                     const M_NUMERIC_ENTRY_PARAMETERS *parameters, DATA_FORMAT dataFormat,
                                     U32 u32numboxWidth, U32 u32numboxHeight) {
  const S32 W = static_cast<S32>(u32numboxWidth), H = static_cast<S32>(u32numboxHeight);
  vEndTexts(pBitmap, anchor.x - 8 - (H >> 1), anchor.x + W + 4 + (H >> 1), nCentredTextY(anchor.y, H),
            parameters->pCtrlTextLeft, parameters->minString, parameters->pCtrlTextRight, parameters->maxString);
  const bool bAtMin = bEqual(dbValue, parameters->minValue, dataFormat);
  const bool bAtMax = bEqual(dbValue, parameters->maxValue, dataFormat);
  char acValue[U_MENU_PRECISION_TEXT_SIZE];
  const char *pcValue = acValue;
  if (dataFormat == DF_FLOAT) {
    U_MENU_vPrecisionFormat(acValue, dbValue.fVal, parameters->u8precision);
  } else {
    std::snprintf(acValue, sizeof acValue, "%d", static_cast<int>(dbValue.s32Val));
  }
  if (bAtMin && parameters->pCtrlTextLeft != nullptr) {
    pcValue = pcTitle(parameters->pCtrlTextLeft);
  } else if (bAtMax && parameters->pCtrlTextRight != nullptr) {
    pcValue = pcTitle(parameters->pCtrlTextRight);
  }
  const S32 s32Arrow = s32Odd(H);
  if (!bAtMin && s32Arrow > 0) {
    U_MENU_vDrawArrowLeft(pBitmap, POINT{anchor.x - 4, anchor.y}, static_cast<U32>(s32Arrow),
                          colorTable(COLOR_OUTLINE));
  }
  if (!bAtMax && s32Arrow > 0) {
    U_MENU_vDrawArrowRight(pBitmap, POINT{anchor.x + W + 1, anchor.y}, static_cast<U32>(s32Arrow),
                           colorTable(COLOR_OUTLINE));
  }
  if (W > 0 && H > 0) {
    G_BOX_vDraw(pBitmap, colorTable(COLOR_OUTLINE), &anchor, static_cast<U32>(W), static_cast<U32>(H));
  }
  vFilled(pBitmap, COLOR_FIELD_FILL, anchor.x + 1, anchor.y + 1, W - 2, H - 2);
  vText(pBitmap, anchor.x + 1 + ((W - nTextWidth(pcValue) - 4) >> 1), nCentredTextY(anchor.y, H), pcValue,
        colorTable(COLOR_TEXT));
}

void U_MENU_vDrawControlSelectionBox(BITMAP *pBitmap, POINT anchor, U8 u8CurSel,
                                     const M_SELECTION_BOX_PARAMETERS *parameters, U32 u32selectorWidth,
                                     U32 u32selectorHeight, COLOR backgroundColor) {
  const S32 W = static_cast<S32>(u32selectorWidth), H = static_cast<S32>(u32selectorHeight);
  const S32 s32Arrow = s32Odd(H);
  const U32 n = parameters->numberSelections;
  if (s32Arrow > 0 && u8CurSel != 0) {
    U_MENU_vDrawArrowLeft(pBitmap, POINT{anchor.x - 6, anchor.y}, static_cast<U32>(s32Arrow),
                          colorTable(COLOR_OUTLINE));
  }
  if (s32Arrow > 0 && n > 1 && u8CurSel != n - 1) {
    U_MENU_vDrawArrowRight(pBitmap, POINT{anchor.x + W + 4, anchor.y}, static_cast<U32>(s32Arrow),
                           colorTable(COLOR_OUTLINE));
  }
  vRounded(pBitmap, colorTable(COLOR_FIELD_FILL), false, anchor.x, anchor.y, W, H, 2);
  vRounded(pBitmap, backgroundColor, true, anchor.x + 1, anchor.y, W - 1, H - 1, 2);
  if (u8CurSel >= n) return;
  if (parameters->pSelectionList != nullptr) {
    const char *pc = pcTitle(parameters->pSelectionList[u8CurSel]);
    const FONT_DEF *pFont = controlFont();
    const S32 s32Half = (H & 1) == 0 ? (H - 2) >> 1 : (H - 1) >> 1;
    const PIXEL y = anchor.y + 1 + s32Half + static_cast<PIXEL>(G_FONTS_u32GetDescenderHeight(pFont)) -
                    static_cast<PIXEL>(G_STRING_u32GetHeight(pFont)) / 2;
    vText(pBitmap, anchor.x + 2 + ((W - 2 - nTextWidth(pc)) >> 1), y, pc, colorTable(COLOR_TEXT));
  } else if (parameters->pSelectionIcons != nullptr && parameters->pSelectionIcons[u8CurSel] != nullptr) {
    const ICON *pIcon = parameters->pSelectionIcons[u8CurSel];
    const S32 s32Even = (H & 1) == 0 ? H : H + 1;
    const POINT at{anchor.x + 1 + ((W - 2 - static_cast<S32>(G_ICON_u32GetWidth(pIcon))) >> 1),
                   anchor.y + ((s32Even - 2) >> 1) - static_cast<S32>(G_ICON_u32GetHeight(pIcon)) / 2};
    G_ICON_vPut(pBitmap, pIcon, &at);
  }
}

void U_MENU_vDrawControlSubMenu(BITMAP *pBitmap, POINT anchor, U32 u32value, const M_SUB_MENU_PARAMETERS *parameters,
                                U32 u32menuWidth, U32 u32subMenuHeight) {
  const S32 h = static_cast<S32>(u32subMenuHeight);
  if (!parameters->bIsActive || parameters->numberChoices <= 1) {
    const S32 s = ((h - 5) & 1) != 0 ? h - 5 : h - 6;
    vTriangleRight(pBitmap, anchor.x + static_cast<PIXEL>(u32menuWidth) - h + 5, anchor.y + 6, s);
    return;
  }
  static constexpr LIST_STYLE kStyle{22, 4, 4, 0, false};
  vDrawList(pBitmap, anchor, u32value, parameters->pSubMenuChoices, parameters->numberChoices, u32menuWidth, h, kStyle);
}

void U_MENU_vDrawControlSubMenuWithNoArrow(BITMAP *pBitmap, POINT anchor, U32 u32value,
                                           const M_SUB_MENU_PARAMETERS *parameters, U32 u32menuWidth,
                                           U32 u32subMenuHeight) {
  U_MENU_vDrawControlSubMenu(pBitmap, anchor, u32value, parameters, u32menuWidth, u32subMenuHeight);
}

void U_MENU_vDrawControlActionList(BITMAP *pBitmap, POINT anchor, U32 u32value,
                                   const M_ACTION_LIST_PARAMETERS *parameters, U32 u32menuWidth,
                                   U32 u32actionListHeight) {
  const S32 h = static_cast<S32>(u32actionListHeight);
  if (!parameters->bIsActive || parameters->numberChoices <= 1) {
    const S32 s = ((h - 10) & 1) != 0 ? h - 10 : h - 11;
    vTriangleRight(pBitmap, anchor.x + static_cast<PIXEL>(u32menuWidth) - h + 10, anchor.y + 3, s);
    return;
  }
  static constexpr LIST_STYLE kStyle{28, 2, 6, 1, true};
  vDrawList(pBitmap, anchor, u32value, parameters->pActionListChoices, parameters->numberChoices, u32menuWidth, h,
            kStyle);
}

// Anti-aliased text of any pixel height from the built-in TrueType face, through FreeType and its caches.
#pragma once
#include "draw/fonts.h"

// The built-in face: pu8TTFdata is the font file, u32MaxWidth its size in bytes.
extern const FONT_DEF ArialNarrow_Bold_QVcoding;

BOOLEAN G_TRUETYPE_bInit();
// Map nSelectSet (0 or 1) for the font sets, the Unicode map (2) otherwise; only on a face with three maps.
void G_TRUETYPE_vSelectFontSet(int nSelectSet);
void G_TRUETYPE_vRemoveList();
void G_TRUETYPE_vPut(BITMAP *pBmp, const char *pText, const POINT *pAnchor, COLOR colorText, U32 u32Height,
                     U32 u32FontStyle);
U32 G_TRUETYPE_u32GetWidth(const char *pText, U32 u32Height, U32 u32FontStyle);
U32 G_TRUETYPE_u32GetWidthNumWidthFixed(const char *pText, U32 u32Height, U32 u32FontStyle);
void G_TRUETYPE_vPutNumWidthFixed(BITMAP *pBmp, const char *pText, const POINT *pAnchor, COLOR colorText,
                                  U32 u32Height, U32 u32FontStyle);
void G_TRUETYPE_vPutRotated(BITMAP *pBmp, const char *pText, const POINT *pptAnchor, const POINT *pptRotateCenter,
                            double dRotateAngle, COLOR colorText, U32 u32Height, U32 u32FontStyle);
void G_TRUETYPE_vPutOutlined(BITMAP *pBmp, const char *pText, const POINT *pAnchor, COLOR colorText,
                             U32 u32HeightFont, U32 u32FontStyle, COLOR colorOutline);

// For tests: the number of entries in the glyph list and the face's current character map.
U32 G_TRUETYPE_u32GetListLength();
int G_TRUETYPE_nGetCharmapIndex();

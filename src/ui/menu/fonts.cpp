#include "ui/menu/fonts.h"

#include "draw/fonts.h"
#include "draw/truetype.h"

void U_FONTS_vSelectFontSet(LANGUAGE lang) {
  const U32 u32Lang = static_cast<U32>(lang);
  const FONT_SET eSet = u32Lang < NUMBER_OF_LANGUAGES ? g_eFontSet[u32Lang] : FONT_SET_1;
  if (eSet == FONT_SET_1) {
    std_11x14_font_def_ptr = &corvan_11x14_font_def;
    std_16x17_font_def_ptr = &corvan_16x17_font_def;
  } else {
    std_11x14_font_def_ptr = &corvan_11x14_Cro_Rus_font_def;
    std_16x17_font_def_ptr = &corvan_16x17_Cro_Rus_font_def;
  }
  G_TRUETYPE_vSelectFontSet(static_cast<int>(eSet));
}

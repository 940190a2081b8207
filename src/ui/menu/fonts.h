// Language font sets: the interface bitmap fonts and the TrueType character map that suit a language.
#pragma once
#include "settings/language.h"

typedef enum {
  LANGUAGE_ENGLISH = 0,
  LANGUAGE_DANISH = 1,
  LANGUAGE_DUTCH = 2,
  LANGUAGE_FINNISH = 3,
  LANGUAGE_FRENCH = 4,
  LANGUAGE_GERMAN = 5,
  LANGUAGE_GREEK = 6,
  LANGUAGE_HUNGARIAN = 7,
  LANGUAGE_ITALIAN = 8,
  LANGUAGE_NORWEGIAN = 9,
  LANGUAGE_POLISH = 10,
  LANGUAGE_PORTUGUESE = 11,
  LANGUAGE_SPANISH = 12,
  LANGUAGE_SWEDISH = 13,
  LANGUAGE_CZECH = 14,
  LANGUAGE_CROATIAN = 15,
  LANGUAGE_RUSSIAN = 16,
  LANGUAGE_BULGARIAN = 17,
  LANGUAGE_ESTONIAN = 18,
  LANGUAGE_LATVIAN = 19,
  LANGUAGE_LITHUANIAN = 20,
  LANGUAGE_TURKISH = 21,
} LANGUAGE;

// Points std_11x14_font_def_ptr and std_16x17_font_def_ptr at the fonts of the language's font set and selects
// the TrueType map of that set. A language outside the table gets the first set.
void U_FONTS_vSelectFontSet(LANGUAGE lang);

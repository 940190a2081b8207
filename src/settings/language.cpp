#include "settings/language.h"

#include "settings/database.h"

const FONT_SET g_eFontSet[NUMBER_OF_LANGUAGES] = {
    FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_1,
    FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_2,
    FONT_SET_2, FONT_SET_2, FONT_SET_1, FONT_SET_1, FONT_SET_1, FONT_SET_1,
};

U32 nCurrentLanguage(void) {
  U32 u32Language = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID("SLNG"), &u32Language, &bValid, nullptr) || !bValid) return 0;
  return u32Language < NUMBER_OF_LANGUAGES ? u32Language : 0;
}

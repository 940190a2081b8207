// User-interface language: every text is an array of 22 strings, one per language.
#pragma once
#include "corvan/types.h"

constexpr U32 NUMBER_OF_LANGUAGES = 22;

typedef const char *const ARRAY_OF_STRING_PTRS[NUMBER_OF_LANGUAGES];

// A text that reads the same in every language.
#define SAME22(s) {s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s}

typedef enum { FONT_SET_1 = 0, FONT_SET_2 = 1, FONT_SET_3 = 2, FONT_SET_4 = 3 } FONT_SET;

// The font set of each language.
extern const FONT_SET g_eFontSet[NUMBER_OF_LANGUAGES];

// The language index 0..21 from 'SLNG'; 0 (English) when missing, not valid or out of range.
U32 nCurrentLanguage(void);

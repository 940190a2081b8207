// Bitmap fonts: one-bit glyph tables with per-character widths, and the built-in fonts.
#pragma once
#include "draw/bitmap.h"

// One glyph: rows of (width + 7) / 8 bytes, top row first, leftmost pixel in the top bit.
typedef struct {
  const U8 *pBuffer;
  U32 u32Width; // also the pen advance
} CHAR_DESC;

typedef struct {
  union {
    const CHAR_DESC *const *ppCharDesc; // 256 entries by unsigned code, NULL for a missing character
    const U8 *pu8TTFdata; // a TrueType face (then u32MaxWidth holds the file size)
  };
  U32 u32Height;
  U32 u32Ascender;
  U32 u32Descender; // rows below the baseline
  U32 u32MaxWidth;
  U32 u32InterCharSpacing; // stated only; the string calls do not add it
} FONT_DEF;

U32 G_FONTS_u32GetWidth(const FONT_DEF *pFont, unsigned char ucCharacter);
U32 G_FONTS_u32GetHeight(const FONT_DEF *pFont);
U32 G_FONTS_u32GetAscenderHeight(const FONT_DEF *pFont);
U32 G_FONTS_u32GetDescenderHeight(const FONT_DEF *pFont);
U32 G_FONTS_u32GetMaxWidth(const FONT_DEF *pFont);
U32 G_FONTS_u32GetInterCharSpacing(const FONT_DEF *pFont);
U32 G_FONTS_u32GetCoreHeight(const FONT_DEF *pFont);
// Draws one character with its anchor at the left end of the baseline; a NULL anchor or font is fatal.
void G_FONTS_vPut(BITMAP *pDest, COLOR colorFont, const POINT *pAnchor, const FONT_DEF *pFont,
                  unsigned char ucCharacter);

// The built-in fonts (generated from DejaVu at build time).
#define G_FONTS_BUILTIN(X)                                                                                           \
  X(f7x10) X(f9x14) X(f13x19) X(f16x26) X(f21x33) X(f22x32) X(f32x48) X(f40x60) X(f18x27) X(a24x37) X(a42x66)       \
  X(a58x88) X(f58x88) X(a87x133) X(myriad_9x14) X(myriad_15x21) X(myriad_21x33) X(myriad_22x32) X(myriad_29x44)     \
  X(myriad_42x66) X(aonehunsixteenonehunsixnine) X(aonehuntwentfiveonehuneightone) X(atwentfourfourthreegreek)     \
  X(atwentfourfourthreeRUS) X(f17x21) X(f21x38) X(a29x44) X(f25x44) X(a15x25) X(a38x60) X(a34x53) X(myr33x44)       \
  X(f13x19a) X(f15x21) X(f18x32) X(f19x30) X(f29x44) X(f31x57) X(f34x62) X(f40x71) X(f44x76) X(f65x133)             \
  X(corvan_6x11short) X(a14x21)

#define G_FONTS_DECLARE(name) extern const FONT_DEF name##_font_def; extern const FONT_DEF *name##_font_def_ptr;
G_FONTS_BUILTIN(G_FONTS_DECLARE)
#undef G_FONTS_DECLARE

// The interface text fonts and their variants for Croatian, Russian and Bulgarian; reached through the two
// pointers, which the language's font set points at one pair or the other.
extern const FONT_DEF corvan_16x17_font_def;
extern const FONT_DEF corvan_16x17_Cro_Rus_font_def;
extern const FONT_DEF corvan_11x14_font_def;
extern const FONT_DEF corvan_11x14_Cro_Rus_font_def;
extern const FONT_DEF *std_16x17_font_def_ptr;
extern const FONT_DEF *std_11x14_font_def_ptr;

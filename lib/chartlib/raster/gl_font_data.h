// Bodies of the three built-in fonts, rendered from DejaVu at build time (tools/fontgen.cpp --chart).
#pragma once
#include "chartlib/chartlib_types.h"

extern const UCHAR gl_aucFontBody06x09[1188];
extern const UCHAR gl_aucFontBody06x11[3176];
extern const UCHAR gl_aucFontBody09x15[6577];

// PNG files of RGB565 pictures (8-bit RGB on disk; the 565 value comes back exactly).
#pragma once
#include <vector>

#include "draw/bitmap.h"

// Writes width × height pixels, rows top first, u32Stride pixels apart.
bool PNG_bWriteRgb565(const char *szPath, const COLOR *pcolPixels, U32 u32Width, U32 u32Height, U32 u32Stride);
// Reads an 8-bit RGB or RGBA, non-interlaced PNG; false (with a logged reason) for anything else.
bool PNG_bReadRgb565(const char *szPath, std::vector<COLOR> *pvPixels, U32 *pu32Width, U32 *pu32Height);

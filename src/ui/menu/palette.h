// Colour palettes: the identities and the entry points kept for a palette feature this unit does not have.
#pragma once
#include "corvan/types.h"

typedef enum {
  PALETTE1 = 1,
  DEFAULT_PALETTE = PALETTE1,
  PALETTE2 = 2,
  PALETTE3 = 3,
  PALETTE4 = 4,
} COLOR_PALETTE_ID;

void U_PALETTE_vChangePalette(COLOR_PALETTE_ID palette);
void U_PALETTE_vRegisterMenuItem(void);

// The demonstration scripts carried inside the program.
#pragma once
#include "corvan/types.h"

typedef struct {
  const BYTE *data;
  U32 dataSize;
} TUTORIAL_DATA;

constexpr U32 POS_SCRIPT_LANGUAGES = 23;
// One row per language; an empty row has no script.
extern const TUTORIAL_DATA s_internalScripts[POS_SCRIPT_LANGUAGES];

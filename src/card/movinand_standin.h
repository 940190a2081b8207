// Stand-in declarations of the internal chart store's state until the storage-card subsystem is built.
#pragma once
#include "corvan/types.h"

typedef enum {
  MOVINAND_STATE_ANY = 0,
  MOVINAND_STATE_BLANK = 1,
  MOVINAND_STATE_INCOMPLETE = 2,
  MOVINAND_STATE_KARTIVO = 3,
  MOVINAND_STATE_BIC = 4,
  MOVINAND_STATE_ISOBRIX = 5,
} MOVINAND_STATE;

MOVINAND_STATE U_MOVINAND_eGetMovinandState(U32 u32DeviceId);
const char *U_MOVINAND_pcGetMovinandStateText(MOVINAND_STATE state);

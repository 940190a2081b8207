// The water type the sonar works in ('YSWA'): it picks the speed of sound, the clutter slopes and the fish tables.
#pragma once
#include "corvan/types.h"

typedef enum : U32 {
  WATER_FRESH = 0,
  WATER_SALT_DEEP = 1,
  WATER_SALT_SHALLOW = 2,
} WATER_TYPE;

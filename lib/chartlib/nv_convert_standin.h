// Stand-in of the chart library's Mercator conversion until the chart data access is written.
#pragma once
#include "corvan/types.h"

typedef struct {
  double lat;  // degrees, north positive
  double lon;  // degrees, east positive
} POSITION;

// A point in Mercator metres (x east, y north) in degrees.
POSITION nv_MeterToDegr(S32 s32X, S32 s32Y);

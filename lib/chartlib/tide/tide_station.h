// Working records of a loaded tide or current station.
#pragma once
#include "chartlib/bp_services.h"
#include "chartlib/chartlib_types.h"
#include "chartlib/tide/tide_harmonic.h"

struct secondary_tide_block {
  constituent_set *primary;
  SLONG hw_time;        // seconds
  SINT16 hw_height;     // mm
  fixed hw_ratio;
  SLONG lw_time;
  SINT16 lw_height;
  fixed lw_ratio;
  SLONG meridian;       // own time meridian, seconds
  SLONG clock_offset;   // LocalTimeOffset minus own meridian
};

struct current_block {
  constituent_set set;
  SINT16 flood_direction;  // sixtieths of a degree
  SINT16 ebb_direction;
  SLONG speed_squared;
};

struct rotary_pair {
  current_block *primary;
  current_block *second;
  SINT16 first_direction;  // 0 for format bits 2-3 = 8, else the flood direction
  SINT16 flood_direction;
  SINT16 ebb_direction;
};

struct secondary_current_block {
  void *corrected;  // current_block (reversing) or rotary_pair (rotary)
  SLONG max_flood_time;
  SINT16 flood_speed_difference;
  fixed flood_ratio;
  SLONG slack_flood_time;
  SLONG max_ebb_time;
  SINT16 ebb_speed_difference;
  fixed ebb_ratio;
  SLONG slack_ebb_time;
  SINT16 flood_direction;  // sixtieths of a degree
  SINT16 ebb_direction;
  SLONG meridian;
  SLONG clock_offset;
};

struct TC_GLOBALS {
  BPTABLE *table;
  SLONG reference_meridian;  // seconds
  SLONG own_meridian;
  SLONG clock_offset;        // LocalTimeOffset minus own meridian
  DOUBLE mean_level;         // mm or thousandths of a knot
  DOUBLE second_mean;
  DOUBLE time_differences[4];   // secondary current: slack flood, slack ebb, max flood, max ebb (s);
                                // secondary tide: [2] high water, [3] low water (minutes, as stored)
  DOUBLE speed_corrections[4];  // current: flood/ebb ratio, flood/ebb difference;
                                // tide: high/low ratio, high/low height difference (mm)
  DOUBLE directions[2];         // primary current flood and ebb, degrees as stored
  DOUBLE own_directions[2];     // secondary current's own flood and ebb, degrees (0 when missing)
  DOUBLE levels[4];             // further levels of a tide station, mm
  constituent_set primary_tide;
  secondary_tide_block secondary_tide;
  current_block primary_current;
  current_block second_current;
  secondary_current_block secondary_current;
  rotary_pair rotary;
};

// Parameters of one month for the second method.
struct BA_TIDE_PARAMS {
  SINT16 mean_level;   // mm
  SINT16 correction;   // section 14 value x 1000
  struct {
    fixed phase;       // turns
    SINT16 amplitude;  // mm
  } pair[6];
  SLONG meridian;
  SLONG clock_offset;  // LocalTimeOffset minus meridian
};

struct BA_STATION {
  BPTABLE *table;
  BA_TIDE_PARAMS *params;
  UINT16 section_flags;  // bit k-1: section k has monthly values
  SLONG meridian;        // seconds
  DOUBLE phases[12][4];      // sections 2, 4, 6, 8 per month
  DOUBLE amplitudes[12][4];  // sections 3, 5, 7, 9 per month
  DOUBLE sections10to13[4][12];
  DOUBLE section1[10];
  DOUBLE section14[12];
  DOUBLE levels[4];          // high water 1, 2, low water 1, 2 (m)
  UINT reference_format;
  UINT own_format;
  DOUBLE times[8];           // reference times of day, then differences (s)
  DOUBLE height_differences[4];
  DOUBLE monthly_corrections[12];
};

struct BA_CURRENT_DATA {
  BPTABLE *table;
  SLONG meridian;
  DOUBLE rows[13][5];  // kind, direction (degrees), spring rate, second word, neap rate (knots)
};

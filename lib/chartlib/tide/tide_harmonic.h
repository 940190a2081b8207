// Harmonic constituents, node factors and the fixed-point sums of the harmonic method.
#pragma once
#include "chartlib/chartlib_types.h"
#include "chartlib/tide/tide_fixed.h"

constexpr int TC_CONSTITUENT_ROWS = 133;
constexpr int TC_MAX_COMPONENTS = 150;
constexpr int TC_TIDE_FACTOR_SLOTS = 85;
constexpr int TC_ANGLE_SLOT_BASE = 43;
// Last time (seconds since 2000-01-01 00:00) the node-factor tables cover: 2051-01-14 08:25:35.
constexpr uint32_t TC_LAST_TABLE_TIME = 1610612735u;
// Seconds from 1970-01-01 to 2000-01-01.
constexpr uint32_t TC_SECONDS_1970_TO_2000 = 946684800u;

struct constituent_row {
  uint32_t scaled_period;  // period in seconds times 2^shift
  uint32_t shift;
  int32_t factor_slot;     // node factor slot, 0 = none
  fixed v0;                // equilibrium argument at 2000-01-01 00:00, turns
  int32_t angle_offset;    // nodal angle slot = 43 + offset
};
extern const constituent_row constituent_table[TC_CONSTITUENT_ROWS];

struct tide_component {
  fixed phase;       // epoch, turns
  UINT16 amplitude;  // mm, or thousandths (hundredths when speed-squared) of the speed unit
  UINT16 index;      // constituent row
};

struct constituent_set {
  SINT16 datum;               // mean level (mm) or mean current
  SINT count;                 // components kept, at most 150
  tide_component *components;
  SLONG meridian;             // time-meridian offset, seconds
  SLONG clock_offset;         // LocalTimeOffset minus meridian; 32 bits, offsets reach +-14 h and more
};

typedef fixed tide_factors[TC_TIDE_FACTOR_SLOTS];

struct component_term {
  fixed amplitude;  // node factor times amplitude
  fixed phase;      // 1 + u + V0 - epoch, turns
};

fixed period_fraction(uint32_t time, uint32_t scaled_period, uint32_t shift);
void compute_global_tide_data(fixed *tide_factors, uint32_t time);
void set_tide_data(const constituent_set *set, const fixed *tide_factors, component_term *terms);
fixed sum_variable_components(const constituent_set *set, const component_term *terms, uint32_t time);
fixed sum_components(const constituent_set *set, const component_term *terms, uint32_t time);
fixed compute_primary_derivative(const constituent_set *set, const component_term *terms, uint32_t time);
fixed compute_angle(int row, fixed angle, uint32_t time);
void compute_component_ratios(const constituent_set *set, int reference_row, fixed *ratios);
int search_min_period(const constituent_set *set);
int min_period_index(int a, int b);

// Built-in tables of the tide library (generated into tide_tables.cpp by gen/gen_tide_tables.py).
#pragma once
#include "chartlib/tide/tide_fixed.h"
#include "corvan/types.h"

extern const S32 sin_array[513];
extern const U16 atan_array[130];
extern const S32 distance_array[130];
extern const S32 sqrt_array[257];

// Node factors and nodal angles, sampled every 2^21 s from 2000-01-01 00:00.
extern const fixed f73_table[769];
extern const fixed f75_table[769];
extern const fixed f76_table[769];
extern const fixed f77_table[769];
extern const fixed f78_table[769];
extern const fixed f79_table[769];
extern const fixed f149_table[769];
extern const fixed f227_table[769];
extern const fixed f235_table[769];
extern const fixed xi_table[769];
extern const fixed ni_table[769];
extern const fixed minus_ni_1_table[769];
extern const fixed ni_2_table[769];
// Sampled every 2^19 s.
extern const fixed f206_table[3073];
extern const fixed f215_table[3073];
extern const fixed minus_ni_q_table[3073];
extern const fixed xi_ni_r_table[3073];

// Seconds to add to the approximate time of lunar phase n (n = 0: new moon of 2000-01-06).
constexpr int MOON_PHASE_COUNT = 2524;
extern const S16 moon_phase_correction[MOON_PHASE_COUNT];

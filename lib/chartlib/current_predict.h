// Harmonic current prediction in fixed point (reversing primary stations).
#pragma once
#include "chartlib/tide_predict.h"
#include "chartlib/tide_station.h"

fixed sum_current_components(const current_block *block, const component_term *terms, uint32_t t);
int32_t compute_primary_current(const current_block *block, uint32_t t);
void compute_primary_current_array(const current_block *block, uint32_t t0, uint32_t step, int count,
                                   int32_t *values);
// Next maximum flood, maximum ebb or slack after t; NOCURR when none within the search limits.
void next_primary_current(tide_event *result, const current_block *block, uint32_t t, fixed *ratios);

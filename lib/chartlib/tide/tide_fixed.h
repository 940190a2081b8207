// 16.16 fixed-point arithmetic of the tide predictions. An angle is a fixed count of turns.
#pragma once
#include <cstdint>

typedef int32_t fixed;

constexpr fixed FIXED_ONE = 0x10000;

fixed int_to_fixed(int32_t a);
int32_t round_fixed_to_int(fixed a);
fixed fixed_minus(fixed a);
uint32_t unsigned_change_sign(uint32_t a);
fixed fixed_add(fixed a, fixed b);
fixed fixed_subtract(fixed a, fixed b);
fixed fixed_multiply_int(fixed a, int32_t b);
fixed fixed_scale(fixed a, uint32_t n);
int fixed_same_sign(fixed a, fixed b);
int int_same_sign(int32_t a, int32_t b);
fixed fixed_multiply(fixed a, fixed b);
fixed fixed_square(fixed a);
fixed fixed_long_ratio(uint32_t a, uint32_t b);
fixed fixed_divide(fixed a, fixed b);
fixed fixed_square_root(fixed a);
fixed fixed_positive_sin(fixed angle);
fixed fixed_positive_cos(fixed angle);
fixed fixed_reduced_atan(fixed ratio);
fixed fixed_distance(fixed ratio);
void cartesian_to_polar(fixed x, fixed y, fixed *angle, fixed *length);

// Harmonic constituents and sums: node factors interpolated from tables, period fractions by
// multiplication with each row's reciprocal, and the cosine and sine sums the predictions and event
// searches evaluate.
#include "chartlib/tide/tide_harmonic.h"

#include <array>

#include "chartlib/tide/tide_tables.h"

// {scaled period, shift, factor slot, V0 (turns in 16.16), angle slot offset}, one row per constituent.
constexpr constituent_row constituent_table[TC_CONSTITUENT_ROWS] = {
    {183149217, 12, 6, 24847, 13},  // 0
    {176947200, 12, 0, 0, 0},  // 1
    {88232029, 10, 11, 1816, 4},  // 2
    {95180421, 10, 3, 23032, 8},  // 3
    {31556925, 0, 0, 50968, 0},  // 4
    {15778463, 0, 0, 36399, 0},  // 5
    {2380713, 0, 1, 23380, 0},  // 6
    {5102886, 2, 6, 40689, 36},  // 7
    {4721169, 2, 2, 11552, 1},  // 8
    {88473600, 10, 0, 32768, 0},  // 9
    {99047510, 10, 3, 65188, 8},  // 10
    {88716498, 10, 0, 63720, 0},  // 11
    {186654940, 12, 6, 1467, 13},  // 12
    {186178010, 12, 6, 7539, 13},  // 13
    {176464057, 12, 12, 36399, 6},  // 14
    {179772755, 12, 10, 15459, 7},  // 15
    {190297490, 12, 6, 43623, 13},  // 16
    {189801789, 12, 6, 49695, 13},  // 17
    {177189753, 12, 0, 540, 0},  // 18
    {366298434, 14, 24, 49695, 19},  // 19
    {359989598, 14, 6, 24847, 13},  // 20
    {482757677, 15, 24, 49695, 19},  // 21
    {85150224, 10, 4, 25196, 2},  // 22
    {91545287, 10, 9, 43972, 3},  // 23
    {244198956, 13, 8, 4503, 39},  // 24
    {488397912, 15, 29, 9006, 26},  // 25
    {732596868, 16, 33, 33854, 31},  // 26
    {82229112, 10, 5, 13368, 12},  // 27
    {103242139, 10, 3, 41808, 8},  // 28
    {176705310, 12, 0, 32228, 0},  // 29
    {353894400, 14, 0, 0, 0},  // 30
    {471859200, 15, 0, 0, 0},  // 31
    {180217393, 12, 6, 9388, 13},  // 32
    {98511863, 10, 3, 5723, 8},  // 33
    {241153670, 13, 19, 26663, 14},  // 34
    {247322138, 13, 26, 47879, 40},  // 35
    {369770923, 14, 24, 26315, 19},  // 36
    {171151465, 12, 6, 40689, 36},  // 37
    {102660296, 10, 3, 47879, 8},  // 38
    {91087523, 10, 4, 50043, 2},  // 39
    {88960721, 10, 0, 64260, 0},  // 40
    {87991784, 10, 0, 1276, 0},  // 41
    {87752822, 10, 0, 38215, 0},  // 42
    {85550126, 10, 4, 19124, 2},  // 43
    {82649744, 10, 4, 42504, 2},  // 44
    {241604428, 13, 3, 23032, 8},  // 45
    {235714478, 13, 11, 1816, 4},  // 46
    {359488998, 14, 20, 61247, 15},  // 47
    {491474846, 15, 29, 51162, 26},  // 48
    {482307339, 15, 27, 20558, 23},  // 49
    {477246227, 15, 6, 24847, 13},  // 50
    {193569435, 12, 24, 26315, 19},  // 51
    {173327475, 12, 7, 59779, 10},  // 52
    {182631662, 12, 20, 61247, 15},  // 53
    {247322138, 13, 14, 47879, 18},  // 54
    {485763735, 15, 24, 26315, 19},  // 55
    {94623005, 10, 4, 26663, 2},  // 56
    {183669714, 12, 3, 21216, 8},  // 57
    {194150937, 12, 13, 55451, 17},  // 58
    {476806108, 15, 20, 61247, 15},  // 59
    {173793572, 12, 24, 23380, 0},  // 60
    {353410597, 14, 12, 36399, 6},  // 61
    {363342955, 14, 6, 1467, 13},  // 62
    {91545287, 10, 9, 43972, 2},  // 63
    {2748552, 0, 1, 17309, 0},  // 64
    {1, 0, 0, 0, 0},  // 65
    {92066932, 10, 3, 7572, 8},  // 66
    {79546011, 10, 5, 36748, 12},  // 67
    {1, 0, 0, 0, 0},  // 68
    {1, 0, 0, 0, 0},  // 69
    {1, 0, 0, 0, 0},  // 70
    {290835149, 14, 26, 51510, 22},  // 71
    {565921152, 15, 11, 1816, 4},  // 72
    {416373371, 15, 31, 10822, 28},  // 73
    {586077495, 16, 36, 58701, 34},  // 74
    {83074702, 10, 3, 38873, 9},  // 75
    {193569435, 12, 24, 26315, 19},  // 76
    {197489689, 12, 24, 2935, 19},  // 77
    {196955863, 12, 25, 41774, 27},  // 78
    {193056564, 12, 25, 65154, 27},  // 79
    {170699413, 12, 20, 11552, 37},  // 80
    {190923199, 12, 28, 42432, 41},  // 81
    {185643221, 12, 22, 11170, 24},  // 82
    {182117024, 12, 21, 32110, 16},  // 83
    {180721336, 12, 27, 5757, 5},  // 84
    {172863871, 12, 28, 30643, 11},  // 85
    {250498805, 13, 14, 24499, 18},  // 86
    {369302388, 14, 25, 65154, 27},  // 87
    {372832340, 14, 29, 9006, 26},  // 88
    {362890559, 14, 18, 40307, 21},  // 89
    {373309879, 14, 24, 2935, 19},  // 90
    {356697574, 14, 10, 15459, 7},  // 91
    {297528310, 14, 15, 49346, 25},  // 92
    {295275993, 14, 15, 7191, 25},  // 93
    {286843829, 14, 19, 26663, 14},  // 94
    {286525903, 14, 23, 30294, 38},  // 95
    {291162715, 14, 24, 47879, 19},  // 96
    {294939112, 14, 29, 10822, 26},  // 97
    {293019976, 14, 26, 28130, 22},  // 98
    {497321845, 15, 30, 43241, 33},  // 99
    {494590795, 15, 29, 27782, 26},  // 100
    {479788596, 15, 18, 40307, 21},  // 101
    {485359266, 15, 25, 65154, 27},  // 102
    {494171499, 15, 30, 1086, 33},  // 103
    {491060814, 15, 30, 24466, 33},  // 104
    {423188002, 15, 17, 8658, 30},  // 105
    {420865992, 15, 31, 29598, 28},  // 106
    {416708955, 15, 15, 7191, 25},  // 107
    {412267023, 15, 16, 18742, 20},  // 108
    {729629417, 16, 29, 51162, 26},  // 109
    {726233231, 16, 29, 9006, 26},  // 110
    {719979197, 16, 24, 49695, 19},  // 111
    {739541845, 16, 33, 52629, 31},  // 112
    {736052975, 16, 33, 10473, 31},  // 113
    {722868515, 16, 25, 65154, 27},  // 114
    {735588555, 16, 34, 49313, 35},  // 115
    {729173066, 16, 30, 24466, 33},  // 116
    {725723545, 16, 32, 45405, 29},  // 117
    {719478248, 16, 27, 20558, 23},  // 118
    {653903167, 16, 35, 54445, 32},  // 119
    {651174042, 16, 35, 12289, 32},  // 120
    {648467602, 16, 35, 35669, 32},  // 121
    {643476628, 16, 31, 10822, 28},  // 122
    {588287318, 16, 36, 35321, 34},  // 123
    {584176786, 16, 33, 10473, 31},  // 124
    {581997679, 16, 33, 33854, 31},  // 125
    {579834769, 16, 30, 24466, 33},  // 126
    {577974272, 16, 29, 9006, 26},  // 127
    {1055236460, 17, 35, 35669, 32},  // 128
    {974154524, 17, 36, 35321, 34},  // 129
    {971122832, 17, 36, 58701, 34},  // 130
    {968109952, 17, 34, 49313, 35},  // 131
    {965515354, 17, 33, 33854, 31},  // 132
};

namespace {

struct source_table {
  const fixed *entries;
  int slot;
};

const source_table coefficient_table[13] = {
    {f73_table, 1},  {f75_table, 3},  {f76_table, 4},   {f77_table, 5},   {f78_table, 6},
    {f79_table, 7},  {f149_table, 8}, {f227_table, 11}, {f235_table, 12}, {xi_table, 37},
    {ni_table, 38},  {minus_ni_1_table, 40}, {ni_2_table, 42},
};
const source_table coefficient_large_table[4] = {
    {f206_table, 9}, {f215_table, 10}, {minus_ni_q_table, 39}, {xi_ni_r_table, 41},
};

struct slot_triple {
  int d, a, b;
};
const slot_triple coefficient_multiplication_table[19] = {
    {14, 3, 6},   {15, 14, 6},  {16, 14, 12}, {17, 15, 6},  {18, 6, 10},  {19, 6, 11},  {20, 6, 12},
    {21, 20, 12}, {22, 18, 12}, {25, 24, 10}, {26, 24, 11}, {27, 24, 12}, {29, 24, 6},  {30, 29, 10},
    {31, 29, 11}, {32, 29, 12}, {34, 33, 10}, {35, 33, 11}, {36, 29, 24},
};
const slot_triple coefficient_addition_table[26] = {
    {10, 2, 2},   {11, 6, 6},   {12, 1, 2},   {13, 8, 2},   {14, 13, 4},  {15, 13, 6},  {16, 15, 6},
    {17, 8, 8},   {18, 13, 8},  {19, 13, 13}, {20, 18, 6},  {21, 13, 7},  {22, 19, 4},  {23, 15, 13},
    {24, 7, 15},  {25, 19, 8},  {26, 19, 13}, {27, 19, 7},  {28, 26, 4},  {29, 19, 15}, {30, 26, 8},
    {31, 19, 19}, {32, 26, 14}, {33, 26, 7},  {34, 31, 13}, {35, 31, 7},
};

// Table value at t, linear between samples 2^shift s apart, rounded half away from zero.
fixed interpolate_table(const fixed *table, uint32_t t, int shift) {
  const uint32_t k = t >> shift;
  const int64_t f = t & ((1u << shift) - 1);
  const int64_t d = f * (static_cast<int64_t>(table[k + 1]) - table[k]);
  const int64_t half = int64_t{1} << (shift - 1);
  return static_cast<fixed>(d >= 0 ? table[k] + ((d + half) >> shift) : table[k] - ((half - d) >> shift));
}

fixed add(fixed a, fixed b) { return fixed_add(a, b); }
fixed sub(fixed a, fixed b) { return fixed_subtract(a, b); }
fixed turns(int n) { return int_to_fixed(n); }

// round(x / 2^n), n >= 1
uint32_t round_shift(uint32_t x, uint32_t n) { return ((x >> (n - 1)) + 1) >> 1; }

// <0 when row a has the shorter period, 0 when equal at the smaller shift, >0 otherwise.
int compare_periods(int a, int b) {
  const constituent_row &ra = constituent_table[a], &rb = constituent_table[b];
  uint32_t pa = ra.scaled_period, pb = rb.scaled_period;
  if (ra.shift > rb.shift) pa = round_shift(pa, ra.shift - rb.shift);
  if (rb.shift > ra.shift) pb = round_shift(pb, rb.shift - ra.shift);
  return pa < pb ? -1 : (pa == pb ? 0 : 1);
}

// High 64 bits of a 64 x 64-bit product; in 32-bit halves where the compiler has no 128-bit type.
constexpr uint64_t multiply_high_halves(uint64_t a, uint64_t b) {
  const uint64_t al = a & 0xFFFFFFFFu, ah = a >> 32, bl = b & 0xFFFFFFFFu, bh = b >> 32;
  const uint64_t low = al * bl, cross1 = ah * bl, cross2 = al * bh;
  const uint64_t carry = ((low >> 32) + (cross1 & 0xFFFFFFFFu) + (cross2 & 0xFFFFFFFFu)) >> 32;
  return ah * bh + (cross1 >> 32) + (cross2 >> 32) + carry;
}

constexpr uint64_t multiply_high(uint64_t a, uint64_t b) {
#ifdef __SIZEOF_INT128__
  return static_cast<uint64_t>((static_cast<unsigned __int128>(a) * b) >> 64);
#else
  return multiply_high_halves(a, b);
#endif
}

static_assert(multiply_high_halves(UINT64_MAX, UINT64_MAX) == UINT64_MAX - 1);
static_assert(multiply_high_halves(0xFFFFFFFFu, 0x100000001u) == 0);
static_assert(multiply_high_halves(0x1FFFFFFFFFFFFull, 0xFFFFFFFFFFFFFFFFull) == 0x1FFFFFFFFFFFEull);
static_assert(multiply_high_halves(0x123456789ABCDEFull, 0xFEDCBA9876543210ull) == 0x121FA00AD77D742ull);

struct quotient {
  uint64_t q, r;
};

// x / p with m = floor((2^64 - 1) / p): x m / 2^64 falls short of x / p by less than x / 2^64 < 1, so the
// estimate is the quotient or one below it, and the remainder tells which.
constexpr quotient divide_by(uint64_t x, uint64_t p, uint64_t m) {
  uint64_t q = multiply_high(x, m), r = x - q * p;
  if (r >= p) {
    ++q;
    r -= p;
  }
  return {q, r};
}

// round(65536 r / P) with r = time 2^shift mod P (P > 0, m its reciprocal as above): the bits that modular
// doubling and restoring division produced one at a time, from two multiplications. The 17th fraction bit
// of r / P is the rounding bit; r / P = 1 - 2^-17 or more rounds to 65536 as the bit-serial division did.
constexpr fixed fraction_of_period(uint32_t time, uint32_t p, uint32_t shift, uint64_t m) {
  uint64_t r = time;
  for (; shift > 32; shift -= 32) r = divide_by(r << 32, p, m).r;  // beyond any row of the table
  r = divide_by(r << shift, p, m).r;
  return static_cast<fixed>((divide_by(r << 17, p, m).q + 1) >> 1);
}

constexpr std::array<uint64_t, TC_CONSTITUENT_ROWS> row_reciprocals = [] {
  std::array<uint64_t, TC_CONSTITUENT_ROWS> m{};
  for (int i = 0; i < TC_CONSTITUENT_ROWS; ++i) m[i] = UINT64_MAX / constituent_table[i].scaled_period;
  return m;
}();

fixed row_fraction(int row, uint32_t time) {
  const constituent_row &r = constituent_table[row];
  return fraction_of_period(time, r.scaled_period, r.shift, row_reciprocals[row]);
}

template <bool Sine>
fixed sum_terms(const constituent_set *set, const component_term *terms, uint32_t time) {
  fixed sum = 0;
  for (int i = 0; i < set->count; ++i) {
    const fixed g = add(row_fraction(set->components[i].index, time), terms[i].phase);
    sum = add(sum, fixed_multiply(Sine ? fixed_positive_sin(g) : fixed_positive_cos(g), terms[i].amplitude));
  }
  return sum;
}

}  // namespace

fixed period_fraction(uint32_t time, uint32_t scaled_period, uint32_t shift) {
  if (scaled_period == 0) return 0;
  return fraction_of_period(time, scaled_period, shift, UINT64_MAX / scaled_period);
}

void compute_global_tide_data(fixed *s, uint32_t time) {
  if (time > TC_LAST_TABLE_TIME) time = TC_LAST_TABLE_TIME;  // beyond the tables: hold the last sample
  for (const source_table &t : coefficient_table) s[t.slot] = interpolate_table(t.entries, time, 21);
  for (const source_table &t : coefficient_large_table) s[t.slot] = interpolate_table(t.entries, time, 19);
  s[0] = FIXED_ONE;
  s[2] = fixed_multiply(65007, s[7]);
  s[13] = fixed_square(s[3]);
  s[24] = fixed_square(s[6]);
  s[33] = fixed_square(s[24]);
  for (const slot_triple &m : coefficient_multiplication_table) s[m.d] = fixed_multiply(s[m.a], s[m.b]);
  s[23] = fixed_multiply(s[19], fixed_square(s[11]));
  s[28] = fixed_square(s[20]);

  s[43] = 0;
  s[44] = sub(turns(1), add(s[37], s[37]));
  s[45] = sub(turns(1), s[38]);
  s[46] = s[39];
  s[47] = s[40];
  s[48] = add(turns(1), s[42]);
  s[49] = sub(turns(1), s[42]);
  s[50] = s[41];
  s[51] = add(turns(1), sub(add(s[37], s[37]), s[38]));
  s[52] = sub(turns(2), s[51]);
  fixed *u = s + TC_ANGLE_SLOT_BASE;
  for (const slot_triple &a : coefficient_addition_table) u[a.d] = add(u[a.a], u[a.b]);
  s[79] = sub(turns(3), s[56]);
  s[80] = add(s[79], s[49]);
  s[81] = add(s[57], add(s[47], s[47]));
  s[82] = sub(add(s[56], s[37]), s[38]);
  s[83] = sub(add(turns(2), s[62]), s[47]);
  s[84] = sub(add(turns(1), s[62]), s[54]);
}

void set_tide_data(const constituent_set *set, const fixed *s, component_term *terms) {
  for (int i = 0; i < set->count; ++i) {
    const tide_component &c = set->components[i];
    const constituent_row &row = constituent_table[c.index];
    terms[i].amplitude = fixed_multiply_int(s[row.factor_slot], c.amplitude);
    terms[i].phase = add(FIXED_ONE, sub(add(s[TC_ANGLE_SLOT_BASE + row.angle_offset], row.v0), c.phase));
  }
}

fixed sum_variable_components(const constituent_set *set, const component_term *terms, uint32_t time) {
  return sum_terms<false>(set, terms, time);
}

fixed sum_components(const constituent_set *set, const component_term *terms, uint32_t time) {
  return add(int_to_fixed(set->datum), sum_variable_components(set, terms, time));
}

fixed compute_primary_derivative(const constituent_set *set, const component_term *terms, uint32_t time) {
  return sum_terms<true>(set, terms, time);
}

fixed compute_angle(int row, fixed angle, uint32_t time) {
  return add(row_fraction(row, time), angle);
}

void compute_component_ratios(const constituent_set *set, int reference_row, fixed *ratios) {
  const constituent_row &ref = constituent_table[reference_row];
  for (int i = 0; i < set->count; ++i) {
    const constituent_row &row = constituent_table[set->components[i].index];
    if (row.shift < ref.shift)
      ratios[i] = fixed_long_ratio(round_shift(ref.scaled_period, ref.shift - row.shift), row.scaled_period);
    else if (row.shift > ref.shift)
      ratios[i] = fixed_long_ratio(ref.scaled_period, round_shift(row.scaled_period, row.shift - ref.shift));
    else
      ratios[i] = fixed_long_ratio(ref.scaled_period, row.scaled_period);
  }
}

int min_period_index(int a, int b) {
  const int c = compare_periods(b, a);
  if (c < 0) return b;
  if (c == 0 && constituent_table[a].shift <= constituent_table[b].shift) return b;
  return a;
}

int search_min_period(const constituent_set *set) {
  if (set->count <= 0) return 0;
  int best = set->components[0].index;
  for (int i = 1; i < set->count; ++i) best = min_period_index(best, set->components[i].index);
  return best;
}

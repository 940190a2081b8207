// Lunar phases in 16.16 fixed point: an approximation corrected by a table, and their time-base wrappers.
#include "chartlib/tide/tide_astro.h"
#include "chartlib/tide/tide_harmonic.h"
#include "chartlib/tide/tide_tables.h"
#include "chartlib/tide/tide_util.h"

namespace {

constexpr uint32_t QUARTER_LUNATION = 637861;  // seconds
constexpr uint32_t FIRST_PHASE = 483638;       // approximate time of phase 0
constexpr int LAST_PHASE = MOON_PHASE_COUNT - 1;

}  // namespace

uint32_t moon_approximated_phase(int n) {
  const fixed s = fixed_positive_sin(static_cast<fixed>(36694u + 17559u * static_cast<uint32_t>(n)));
  const int32_t wobble = round_fixed_to_int(fixed_multiply(122055819, s));
  return QUARTER_LUNATION * static_cast<uint32_t>(n) - 24u * static_cast<uint32_t>(wobble) + FIRST_PHASE;
}

uint32_t moon_corrected_phase(int n) {
  return moon_approximated_phase(n) + static_cast<uint32_t>(static_cast<int32_t>(moon_phase_correction[n]));
}

ERRORCODE next_moon_phase(uint32_t t, uint32_t *time, int *type) {
  int n = 0;
  if (t >= FIRST_PHASE) {
    n = static_cast<int>((t - FIRST_PHASE) / QUARTER_LUNATION);
    if (n != 0) --n;
  }
  if (n > LAST_PHASE) return TC_WARN_BAD_DATE;
  while (t >= moon_corrected_phase(n))
    if (++n > LAST_PHASE) return TC_WARN_BAD_DATE;  // beyond the phase table
  *time = moon_corrected_phase(n);
  *type = n % 4;
  return CL_SUCCESS;
}

ERRORCODE previous_moon_phase(uint32_t t, uint32_t *time, int *type) {
  int n = 2;
  if (t >= FIRST_PHASE) {
    const uint32_t q = (t - FIRST_PHASE) / QUARTER_LUNATION + 2;
    n = q > static_cast<uint32_t>(LAST_PHASE) ? LAST_PHASE : static_cast<int>(q);
  }
  while (moon_corrected_phase(n) >= t)
    if (--n < 0) return TC_WARN_DATE_TOO_EARLY;  // before the first phase of the table
  // The phase after the last one may already lie before t.
  if (n == LAST_PHASE && t > moon_corrected_phase(LAST_PHASE) + QUARTER_LUNATION - 40000) return TC_WARN_BAD_DATE;
  *time = moon_corrected_phase(n);
  *type = n % 4;
  return CL_SUCCESS;
}

ERRORCODE moon_phase_fraction(uint32_t t, fixed *fraction) {
  int n = t < FIRST_PHASE ? -2 : static_cast<int>((t - FIRST_PHASE) / QUARTER_LUNATION) - 2;
  uint32_t f = 0;
  while (n < 0 || t > moon_corrected_phase(n)) {  // phases before the table lie before every t
    if (n >= 0) f = moon_corrected_phase(n);
    if (++n > LAST_PHASE) return TC_WARN_BAD_DATE;
  }
  const uint32_t g = moon_corrected_phase(n);
  const fixed quarters = fixed_add(fixed_long_ratio(t - f, g - f), int_to_fixed(n - 1));
  *fraction = fixed_scale(quarters, 4);
  return CL_SUCCESS;
}

ERRORCODE TC_moon_phase_fraction(ULONG t, fixed *fraction) {
  if (t < TC_SECONDS_1970_TO_2000) return TC_WARN_DATE_TOO_EARLY;
  return moon_phase_fraction(t - TC_SECONDS_1970_TO_2000, fraction);
}

ERRORCODE TC_previous_moon_phase(ULONG t, ULONG *time, int *type) {
  if (t < TC_SECONDS_1970_TO_2000) return TC_WARN_DATE_TOO_EARLY;
  uint32_t m;
  const ERRORCODE e = previous_moon_phase(t - TC_SECONDS_1970_TO_2000, &m, type);
  if (e == CL_SUCCESS) *time = m + TC_SECONDS_1970_TO_2000;
  return e;
}

ERRORCODE TC_next_moon_phase(ULONG t, ULONG *time, int *type) {
  if (t < TC_SECONDS_1970_TO_2000) return TC_WARN_DATE_TOO_EARLY;
  uint32_t m;
  const ERRORCODE e = next_moon_phase(t - TC_SECONDS_1970_TO_2000, &m, type);
  if (e == CL_SUCCESS) *time = m + TC_SECONDS_1970_TO_2000;
  return e;
}

ERRORCODE tc_GetNextPrevMoonPhase(SLONG offset, UT_DATETIME *dt, SINT *type, int direction) {
  ULONG day;
  if (ut_date2time(0, dt->Date, 0, &day) != 0) return TC_WARN_BAD_DATE;
  if (day < TC_FIRST_DATE_SECONDS) return TC_WARN_DATE_TOO_EARLY;
  if (day >= TC_END_DATE_SECONDS) return TC_WARN_BAD_DATE;
  ULONG t;
  if (ut_date2time(offset, dt->Date, dt->Time, &t) != 0) return TC_WARN_BAD_DATE;
  ULONG moment;
  int phase;
  const ERRORCODE e =
      direction < 0 ? TC_previous_moon_phase(t, &moment, &phase) : TC_next_moon_phase(t, &moment, &phase);
  if (e != CL_SUCCESS) return e;
  UT_DATE date;
  UT_TIME time;
  if (ut_time2date(moment, &date, &time, offset) != 0 || ut_mkdatetime(dt, date, time) != 0) return TC_WARN_BAD_DATE;
  *type = phase;
  return CL_SUCCESS;
}

ERRORCODE tc_GetPrevMoonPhase(SLONG offset, UT_DATETIME *dt, SINT *type) {
  return tc_GetNextPrevMoonPhase(offset, dt, type, -1);
}

ERRORCODE tc_GetNextMoonPhase(SLONG offset, UT_DATETIME *dt, SINT *type) {
  return tc_GetNextPrevMoonPhase(offset, dt, type, 1);
}

// Second-method constants of a date: yearly or monthly section values converted to the fixed-point units.
#include "chartlib/tide/tide_baparams.h"

#include <algorithm>
#include <cmath>

#include "chartlib/tide/tide_astro.h"
#include "chartlib/tide/tide_util.h"

namespace {

// A new or full moon: quarters are passed over in the direction of the search.
ERRORCODE spring_phase(ULONG t, int direction, ULONG *moment) {
  int type;
  ERRORCODE e = direction < 0 ? TC_previous_moon_phase(t, moment, &type) : TC_next_moon_phase(t, moment, &type);
  if (e == CL_SUCCESS && (type == 1 || type == 3))
    e = direction < 0 ? TC_previous_moon_phase(*moment, moment, &type) : TC_next_moon_phase(*moment, moment, &type);
  return e;
}

ERRORCODE to_pair(SLONG offset, ULONG t, UT_DATETIME *dt) {
  UT_DATE d;
  UT_TIME tm;
  if (ut_time2date(t, &d, &tm, offset) != 0 || ut_mkdatetime(dt, d, tm) != 0) return TC_WARN_BAD_DATE;
  return CL_SUCCESS;
}

bool thousandths(DOUBLE v, SINT16 *out) {
  int32_t n;
  if (!tc_TruncateToInt(1000.0 * v, INT16_MIN, INT16_MAX, &n)) return false;
  *out = static_cast<SINT16>(n);
  return true;
}

}  // namespace

ERRORCODE ddays(SLONG offset, UT_DATETIME from, UT_DATETIME to, SLONG *days) {
  ULONG a, b;
  if (ut_date2time(offset, from.Date, from.Time, &a) != 0 || ut_date2time(offset, to.Date, to.Time, &b) != 0)
    return TC_WARN_BAD_DATE;
  *days = static_cast<SLONG>(std::ceil((static_cast<double>(b) - static_cast<double>(a)) / 86400.0));
  return CL_SUCCESS;
}

ERRORCODE tc_BA_Mean_Level(SLONG meridian, UT_DATE date, UT_TIME time, const DOUBLE *v, DOUBLE *mean) {
  ULONG t, before, after;
  if (ut_date2time(meridian, date, time, &t) != 0) return TC_WARN_BAD_DATE;
  ERRORCODE e;
  if ((e = spring_phase(t, -1, &before)) != CL_SUCCESS || (e = spring_phase(t, 1, &after)) != CL_SUCCESS) return e;
  UT_DATETIME now{date, time}, prev, next;
  if ((e = to_pair(meridian, before, &prev)) != CL_SUCCESS || (e = to_pair(meridian, after, &next)) != CL_SUCCESS)
    return e;
  SLONG since, until;
  if ((e = ddays(meridian, prev, now, &since)) != CL_SUCCESS || (e = ddays(meridian, now, next, &until)) != CL_SUCCESS)
    return e;
  if (IsNaF(&v[0])) return TC_WARN_NO_DATA;
  const int32_t shift = static_cast<int32_t>(v[0]);
  const SLONG d1 = since - shift, d2 = until + shift;
  SLONG n = std::min(std::labs(d1), static_cast<long>(d2));
  if (n < 0) n = 0;  // only with a negative v0: take the spring-tide value
  const DOUBLE value = n <= 7 ? v[n + 2] : v[1];
  if (IsNaF(&value)) return TC_WARN_NO_DATA;
  *mean = value;
  return CL_SUCCESS;
}

ERRORCODE tc_GetTideParamByDate(BA_STATION *s, UT_DATE date, UT_TIME time, BA_TIDE_PARAMS *p) {
  s->params = p;
  const int month = static_cast<int>(date / 100 % 100);
  if (month < 1 || month > 12) return TC_WARN_BAD_DATE;
  auto monthly = [&](int section) { return (s->section_flags >> (section - 1)) & 1 ? month - 1 : 0; };
  DOUBLE mean = s->section1[0];
  if (s->section_flags & 1) {
    const ERRORCODE e = tc_BA_Mean_Level(s->meridian, date, time, s->section1, &mean);
    if (e != CL_SUCCESS) return e;
  }
  if (IsNaF(&mean) || !thousandths(mean, &p->mean_level)) return TC_WARN_NO_DATA;
  for (int j = 1; j <= 6; ++j) {
    const int a = 2 * j + 1, ph = 2 * j;
    const int ma = monthly(a), mp = monthly(ph);
    const DOUBLE amplitude = j <= 4 ? s->amplitudes[ma][j - 1] : s->sections10to13[a - 10][ma];
    if (IsNaF(&amplitude) || !thousandths(amplitude, &p->pair[j - 1].amplitude)) return TC_WARN_NO_DATA;
    p->pair[j - 1].phase = 0;
    if (amplitude != 0.0) {
      const DOUBLE phase = j <= 4 ? s->phases[mp][j - 1] : s->sections10to13[ph - 10][mp];
      if (IsNaF(&phase)) return TC_WARN_NO_DATA;
      p->pair[j - 1].phase = tc_ToFixed(phase / 360.0);
    }
  }
  const DOUBLE correction = s->section14[monthly(14)];
  if (IsNaF(&correction) || !thousandths(correction, &p->correction)) return TC_WARN_NO_DATA;
  p->meridian = s->meridian;
  p->clock_offset = s->table->HarmonicInfoTable.LocalTimeOffset - s->meridian;
  return CL_SUCCESS;
}

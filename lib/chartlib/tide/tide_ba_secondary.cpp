// Secondary second-method tides: the reference's high and low waters moved by the station's time
// differences (fixed, or interpolated by time of day) and height differences interpolated between the
// reference's levels; heights between events follow the reference curve mapped onto the secondary's events.
#include <algorithm>
#include <cmath>

#include "chartlib/tide/tide_ba.h"
#include "chartlib/tide/tide_baparams.h"
#include "chartlib/tide/tide_series.h"
#include "chartlib/tide/tide_util.h"

namespace {

bool none(const DOUBLE &v) { return IsNaF(&v) != 0; }

int kind_index(int type) { return type == HIGH_TIDE ? 0 : 1; }

// The month (1..12) of a time counted from midnight of date.
int month_of(UT_DATE date, SLONG seconds) {
  ULONG day;
  if (ut_date2time(0, date, 0, &day) != 0) return static_cast<int>(date / 100 % 100);
  UT_DATE d;
  UT_TIME t;
  if (ut_time2date(static_cast<ULONG>(static_cast<int64_t>(day) + seconds), &d, &t, 0) != 0)
    return static_cast<int>(date / 100 % 100);
  return static_cast<int>(d / 100 % 100);
}

}  // namespace

void tc_SetBASecHeight(BA_STATION *s, ba_event *e) {
  DOUBLE *d = s->height_differences;  // dA, dB at the high-water levels, dC, dD at the low-water levels
  if (!none(d[0]) && none(d[1])) {
    if (none(d[3])) {
      e->type = NOTIDE;
      return;
    }
    if (!none(d[2])) {
      if (e->type == HIGH_TIDE) e->type = NOTIDE;
    } else {
      // One line through dA and dD for both kinds.
      d[2] = d[0];
      d[1] = d[3];
      s->levels[1] = s->levels[3];
      s->levels[2] = s->levels[0];
    }
  }
  if (e->type == HIGH_TIDE && none(d[0])) e->type = NOTIDE;
  if (e->type == LOW_TIDE && (none(d[2]) || none(d[3]))) e->type = NOTIDE;
}

ERRORCODE tc_GetBASecWaterTime(const BA_STATION *s, ba_event *e) {
  const int k = kind_index(e->type);
  const DOUBLE T1 = s->times[2 * k], T2 = s->times[2 * k + 1], D1 = s->times[4 + 2 * k], D2 = s->times[5 + 2 * k];
  if (none(T1) || none(T2) || none(D1) || none(D2)) {
    e->type = NOTIDE;
    return CL_SUCCESS;
  }
  int64_t shift = 0;
  int64_t f = e->time;
  if (f < 0) {
    f += 86400;
    shift = -86400;
  } else if (f > 86400) {
    shift = f / 86400 * 86400;
    f %= 86400;
  }
  DOUBLE ta, da, tb, db;
  if (f < T1 && f < T2) {
    if (f < 0) return TC_WARN_DERIVATIVE_NOT_NULL;
    ta = T2 - 43200, da = D2, tb = T1, db = D1;
  } else if (f < T2) {
    ta = T1, da = D1, tb = T2, db = D2;
  } else if (f < T1 + 43200) {
    ta = T2, da = D2, tb = T1 + 43200, db = D1;
  } else if (f < T2 + 43200) {
    ta = T1 + 43200, da = D1, tb = T2 + 43200, db = D2;
  } else {
    ta = T2 + 43200, da = D2, tb = T1 + 86400, db = D1;
  }
  if (tb == ta) return TC_WARN_BAD_ARGUMENT;
  e->time = static_cast<SLONG>(shift + static_cast<int64_t>(da + f + (db - da) / (tb - ta) * (f - ta)));
  return CL_SUCCESS;
}

ERRORCODE tc_GetBABigSec(const BA_STATION *s, UT_DATE date, ba_event *e) {
  if (e->type == NOTIDE) return TC_WARN_NO_DATA;
  if (e->type != HIGH_TIDE && e->type != LOW_TIDE) return TC_WARN_BAD_ARGUMENT;
  const int k = kind_index(e->type);
  if (!(s->own_format & 8)) {
    const DOUBLE d = s->times[4 + 2 * k];
    if (none(d)) {
      e->type = NOTIDE;
      return CL_SUCCESS;
    }
    e->time += static_cast<SLONG>(d);
  } else {
    const ERRORCODE r = tc_GetBASecWaterTime(s, e);
    if (r != CL_SUCCESS || e->type == NOTIDE) return r;
  }
  const DOUBLE h1 = s->levels[2 * k], h2 = s->levels[2 * k + 1];
  const DOUBLE g = s->height_differences[2 * k], f = s->height_differences[2 * k + 1];
  if (none(h1) || none(h2) || none(g) || none(f)) {
    e->type = NOTIDE;
    return CL_SUCCESS;
  }
  if (h1 == h2) return TC_WARN_BAD_ARGUMENT;
  DOUBLE h = f + e->height + (g - f) / (h1 - h2) * (e->height - h2);
  const int month = static_cast<int>(date / 100 % 100);
  if (month < 1 || month > 12) return TC_WARN_BAD_DATE;
  h -= s->section14[(s->section_flags >> 13) & 1 ? month - 1 : 0];
  h += s->monthly_corrections[month_of(date, e->time) - 1];
  e->height = h;
  return CL_SUCCESS;
}

namespace {

// The next reference event after clock second from, with its time counted from day.
ba_event next_reference(ba_coefficients *c, ULONG from, ULONG day) {
  tc_sample x;
  TC_ba_next_primary_tides(c, from, &x, 1);
  const SLONG rel = static_cast<SLONG>(static_cast<int64_t>(x.Time) - static_cast<int64_t>(day));
  return ba_event{x.Type, rel, x.Intensity, rel};
}

struct event_pair {
  ba_event before, after;         // converted
  ba_event before_ref, after_ref;  // as found at the reference
};

// The reference events around t (clock seconds), height-checked and converted.
ERRORCODE find_pair(BA_STATION *s, ba_coefficients *c, UT_DATE date, ULONG day, ULONG t, event_pair *p) {
  ba_event prev = next_reference(c, t - 43200, day);
  if (prev.type == NOTIDE || day + static_cast<int64_t>(prev.time) >= static_cast<int64_t>(t))
    return TC_WARN_NO_DATA;  // no event in the 12 hours before the moment
  ba_event next = prev;
  for (int k = 0; k < 16; ++k) {
    next = next_reference(c, static_cast<ULONG>(static_cast<int64_t>(day) + next.time + 3600), day);
    if (next.type == NOTIDE || day + static_cast<int64_t>(next.time) >= static_cast<int64_t>(t)) break;
    prev = next;
  }
  p->before_ref = prev;
  p->after_ref = next;
  p->before = prev;
  p->after = next;
  ERRORCODE e;
  tc_SetBASecHeight(s, &p->before);
  if ((e = tc_GetBABigSec(s, date, &p->before)) != CL_SUCCESS) return e;
  tc_SetBASecHeight(s, &p->after);
  return tc_GetBABigSec(s, date, &p->after);
}

// Secondary height at secondary time t (from midnight of the day) between the pair's events.
ERRORCODE height_between(ba_coefficients *c, const event_pair &p, SLONG t, ULONG day, DOUBLE *height) {
  const bool first_high = p.before.type == HIGH_TIDE;
  const ba_event &hw = first_high ? p.before : p.after, &other = first_high ? p.after : p.before;
  const ba_event &hw_ref = first_high ? p.before_ref : p.after_ref, &other_ref = first_high ? p.after_ref : p.before_ref;
  const double A = hw.time, B = hw_ref.time, C = other.time, D = other_ref.time;
  if (A == C) return TC_WARN_BAD_ARGUMENT;
  const double r = std::fabs(B - D) / std::fabs(A - C);
  const int64_t ref_time = static_cast<int64_t>(day) + static_cast<int64_t>(B + r * (t - A));
  const DOUBLE h = ba_compute_primary_tide(c, TC_core_time(static_cast<ULONG>(ref_time), c->params->clock_offset)) * 0.001;
  const DOUBLE H1 = p.before_ref.height, H2 = p.after_ref.height;
  if (H1 == H2) return TC_WARN_BAD_ARGUMENT;
  *height = p.after.height + std::fabs((h - H2) / (H2 - H1)) * (p.before.height - p.after.height);
  return CL_SUCCESS;
}

UCHAR sign_type(DOUBLE h) { return h >= 0 ? UP_TIDE : DOWN_TIDE; }

}  // namespace

ERRORCODE tc_BASecondaryTide(BA_STATION *s, UT_DATE date, UT_TIME time, TIDE *tide) {
  ULONG day, t;
  if (ut_date2time(0, date, 0, &day) != 0 || ut_date2time(0, date, time, &t) != 0) return TC_WARN_BAD_DATE;
  ba_coefficients c;
  build_ba_coefficients(s->params, &c);
  event_pair p;
  ERRORCODE e;
  if ((e = find_pair(s, &c, date, day, t, &p)) != CL_SUCCESS) return e;
  if (p.before.type == NOTIDE || p.after.type == NOTIDE) return TC_WARN_NO_DATA;
  DOUBLE h;
  if ((e = height_between(&c, p, static_cast<SLONG>(t - day), day, &h)) != CL_SUCCESS) return e;
  *tide = TIDE{sign_type(h), static_cast<UT_TIMEOFS>(time), h};
  return CL_SUCCESS;
}

ERRORCODE tc_BASecondaryTides(BA_STATION *s, UT_DATE date, UT_TIME time, SINT span, UINT16 step, TIDE *tides,
                              SINT capacity) {
  if (step == 0) return TC_WARN_BAD_STEP;
  BA_TIDE_PARAMS params;
  ERRORCODE e;
  if ((e = tc_GetTideParamByDate(s, date, time, &params)) != CL_SUCCESS) return e;
  ULONG day, t0;
  if (ut_date2time(0, date, 0, &day) != 0 || ut_date2time(0, date, time, &t0) != 0) return TC_WARN_BAD_DATE;
  ba_coefficients c;
  build_ba_coefficients(&params, &c);
  event_pair p;
  if ((e = find_pair(s, &c, date, day, t0, &p)) != CL_SUCCESS) return e;
  int64_t count = span > 0 ? static_cast<int64_t>(span) * 20 / step : 0;
  if (count > capacity) count = capacity > 0 ? capacity : 0;
  const SLONG step_s = static_cast<SLONG>(step) * 180;
  for (int64_t k = 0; k < count;) {
    if (p.before.type == NOTIDE || p.after.type == NOTIDE) return TC_WARN_NO_DATA;
    const SLONG t = static_cast<SLONG>(t0 - day) + static_cast<SLONG>(k) * step_s;
    const SLONG later = std::max(p.before.time, p.after.time);
    if (p.before.time != p.after.time && t < later) {
      DOUBLE h;
      if ((e = height_between(&c, p, t, day, &h)) != CL_SUCCESS) return e;
      // Times count on past midnight like those of a primary station.
      tides[k] = TIDE{sign_type(h), ut_addtimeofs(static_cast<UT_TIMEOFS>(time), ut_secstotimeofs(static_cast<SLONG>(k) * step_s)), h};
      ++k;
      continue;
    }
    // Move the pair on: the next reference event at least two hours after the one that becomes earlier.
    p.before = p.after;
    p.before_ref = p.after_ref;
    ba_event next{NOTIDE, 0, 0, 0};
    SLONG from = t + 7200;
    for (int guard = 0; guard < 16; ++guard) {
      next = next_reference(&c, static_cast<ULONG>(static_cast<int64_t>(day) + from), day);
      if (next.type == NOTIDE || next.time >= p.before_ref.time + 7200) break;
      from = next.time + 7200;
    }
    p.after_ref = next;
    p.after = next;
    if (next.type != NOTIDE && (e = tc_GetBABigSec(s, date, &p.after)) != CL_SUCCESS) return e;
  }
  return CL_SUCCESS;
}

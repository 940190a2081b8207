// Second-method tide heights, high and low water search, single values, series and daily tides.
#include "chartlib/tide/tide_ba.h"

#include <cmath>
#include <cstdlib>

#include "chartlib/tide/tide_baparams.h"
#include "chartlib/tide/tide_series.h"
#include "chartlib/tide/tide_util.h"

namespace {

struct ba_element {
  int pair;
  UINT16 row;
  fixed phase_offset;
  fixed ratio;
};

// Rows 0-6: M2 pair, 7-9: S2 pair, 10-19: the two diurnal pairs.
const ba_element ba_elements[20] = {
    {1, 0, 0, 65536},      {1, 16, 60075, 1661}, {1, 17, 60075, 2003}, {1, 12, 62805, 12548},
    {1, 13, 62805, 2383},  {1, 32, 2731, 484},   {1, 15, 2731, 1853},  {2, 1, 0, 65536},
    {2, 18, 0, 3841},      {2, 14, 0, 17836},    {3, 2, 0, 65536},     {3, 40, 0, 1271},
    {3, 11, 0, 21688},     {3, 42, 0, 933},      {3, 22, 0, 3664},     {4, 3, 0, 65536},
    {4, 28, 0, 1661},      {4, 38, 0, 2003},     {4, 10, 0, 12548},    {4, 33, 0, 2384},
};

constexpr uint32_t REFRESH = 1800;
constexpr uint32_t HORIZON = 144000;

void prepare(ba_coefficients *c, uint32_t t) {
  fixed f[TC_TIDE_FACTOR_SLOTS];
  compute_global_tide_data(f, t - static_cast<uint32_t>(c->params->meridian));
  set_tide_data(&c->m2, f, c->terms);
  set_tide_data(&c->s2, f, c->terms + 7);
  set_tide_data(&c->simple, f, c->terms + 10);
  c->prepared = t;
  c->ready = true;
}

bool more_extreme(fixed h, fixed than, bool falling) { return falling ? h <= than : h >= than; }

}  // namespace

void build_ba_coefficients(const BA_TIDE_PARAMS *p, ba_coefficients *c) {
  c->params = p;
  for (int i = 0; i < 20; ++i) {
    const ba_element &e = ba_elements[i];
    const int32_t a = round_times(e.ratio, p->pair[e.pair - 1].amplitude);
    c->components[i] = tide_component{fixed_add(p->pair[e.pair - 1].phase, e.phase_offset),
                                      static_cast<UINT16>(a < 0 ? 0 : a), e.row};
  }
  c->m2 = constituent_set{0, 7, c->components, p->meridian, p->clock_offset};
  c->s2 = constituent_set{0, 3, c->components + 7, p->meridian, p->clock_offset};
  c->simple = constituent_set{static_cast<SINT16>(p->mean_level + p->correction), 10, c->components + 10, p->meridian,
                              p->clock_offset};
  c->ready = false;
}

fixed compute_ba_tide(ba_coefficients *c, uint32_t t) {
  if (!c->ready || (t > c->prepared ? t - c->prepared : c->prepared - t) > REFRESH) prepare(c, t);
  const fixed x = fixed_add(sum_components(&c->m2, c->terms, t), sum_components(&c->s2, c->terms + 7, t));
  const fixed y = fixed_add(compute_primary_derivative(&c->m2, c->terms, t),
                            compute_primary_derivative(&c->s2, c->terms + 7, t));
  fixed theta, r;
  cartesian_to_polar(x, fixed_minus(y), &theta, &r);
  const fixed r1 = fixed_scale(r, 1000);  // metres
  const fixed r2 = fixed_square(r1);
  const auto &p5 = c->params->pair[4], &p6 = c->params->pair[5];
  const fixed quarter = fixed_multiply(fixed_multiply_int(r2, p5.amplitude),
                                       fixed_positive_cos(fixed_add(fixed_add(theta, theta), p5.phase)));
  const fixed sixth = fixed_multiply(fixed_multiply_int(fixed_multiply(r1, r2), p6.amplitude),
                                     fixed_positive_cos(fixed_add(fixed_multiply_int(theta, 3), p6.phase)));
  return fixed_add(fixed_add(x, sum_components(&c->simple, c->terms + 10, t)), fixed_add(quarter, sixth));
}

int32_t ba_compute_primary_tide(ba_coefficients *c, uint32_t t) { return round_fixed_to_int(compute_ba_tide(c, t)); }

void ba_compute_primary_tide_array(ba_coefficients *c, uint32_t t0, uint32_t step, int count, int32_t *values) {
  for (int k = 0; k < count; ++k) values[k] = ba_compute_primary_tide(c, t0 + static_cast<uint32_t>(k) * step);
}

void ba_next_primary_tide(tide_event *result, ba_coefficients *c, uint32_t t0) {
  const uint32_t horizon = t0 + HORIZON;
  const fixed h0 = compute_ba_tide(c, t0);
  uint32_t t = t0;
  fixed h;
  do {
    t += 600;
    if (t >= horizon) {
      *result = {NOTIDE, t};
      return;
    }
    h = compute_ba_tide(c, t);
  } while (h == h0);
  const bool falling = h < h0;
  uint32_t lo = t - 600, mid = t, hi = t + 10800;
  fixed a = h0, d = h, e = compute_ba_tide(c, hi);
  while (e != d && more_extreme(e, d, falling)) {
    if (hi >= horizon) break;
    lo = mid;
    a = d;
    mid = hi;
    d = e;
    hi += 10800;
    e = compute_ba_tide(c, hi);
  }
  if (hi >= horizon) {
    *result = {NOTIDE, hi};
    return;
  }
  while (hi - lo > 180) {
    const uint32_t m1 = lo + (mid - lo) / 2;
    const fixed h1 = compute_ba_tide(c, m1);
    if (more_extreme(h1, a, falling) && more_extreme(h1, d, falling)) {
      hi = mid;
      e = d;
      mid = m1;
      d = h1;
      continue;
    }
    const uint32_t m2 = mid + (hi - mid) / 2;
    const fixed h2 = compute_ba_tide(c, m2);
    if (more_extreme(h2, d, falling) && more_extreme(h2, e, falling)) {
      lo = mid;
      a = d;
      mid = m2;
      d = h2;
      continue;
    }
    lo = m1;
    a = h1;
    hi = m2;
    e = h2;
  }
  const fixed denom = fixed_subtract(fixed_add(a, e), fixed_add(d, d));
  uint32_t when = mid;
  if (denom != 0)
    when = mid + static_cast<uint32_t>(round_times(fixed_divide(fixed_subtract(a, e), denom),
                                                   static_cast<int32_t>((mid - lo) / 2)));
  *result = {falling ? LOW_TIDE : HIGH_TIDE, when};
}

// --- Series layer and entry points ----------------------------------------------------------------

ERRORCODE TC_ba_compute_primary_tide_array(ba_coefficients *c, ULONG start, ULONG step, int count, tc_sample *out,
                                           int32_t *results) {
  if (count <= 0) return CL_SUCCESS;
  TC_tide_array(start, step, count, out, results, 0, [&](ULONG t, int n, int32_t *r) {
    ba_compute_primary_tide_array(c, TC_core_time(t, c->params->clock_offset), step, n, r);
  });
  return CL_SUCCESS;
}

ERRORCODE TC_ba_next_primary_tides(ba_coefficients *c, ULONG start, tc_sample *out, int count) {
  const SLONG offset = c->params->clock_offset;
  uint32_t t = TC_core_time(start, offset);
  for (int i = 0; i < count; ++i) {
    tide_event e;
    ba_next_primary_tide(&e, c, t);
    out[i] = tc_sample{static_cast<UCHAR>(e.type), TC_clock_time(e.time, offset), 0,
                       ba_compute_primary_tide(c, e.time) * 0.001};
    t = e.time + 10800;
  }
  return CL_SUCCESS;
}

namespace {

UCHAR sign_type(DOUBLE h) { return h >= 0 ? UP_TIDE : DOWN_TIDE; }

}  // namespace

ERRORCODE tc_BATides(BA_STATION *s, int primary, UT_DATE date, UT_TIME time, SINT span, UINT16 step, TIDE *tides,
                     SINT capacity) {
  if (!primary) return tc_BASecondaryTides(s, date, time, span, step, tides, capacity);
  if (step == 0) return TC_WARN_BAD_STEP;  // before the parameters are read
  BA_TIDE_PARAMS params;
  ERRORCODE e;
  if ((e = tc_GetTideParamByDate(s, date, time, &params)) != CL_SUCCESS) return e;
  ba_coefficients c;
  build_ba_coefficients(&params, &c);
  int32_t results[TC_PIECE_SAMPLES];
  return TC_run_series(date, time, span, step, capacity,
                       [&](ULONG from, ULONG step_s, int n, tc_sample *out) {
                         TC_ba_compute_primary_tide_array(&c, from, step_s, n, out, results);
                       },
                       [&](int64_t k, const tc_sample &x, UT_TIMEOFS when) {
                         tides[k] = TIDE{sign_type(x.Intensity), when, x.Intensity};
                       });
}

ERRORCODE tc_BATide(BA_STATION *s, int primary, UT_DATE date, UT_TIME time, TIDE *tide) {
  if (!primary) return tc_BASecondaryTide(s, date, time, tide);
  ULONG start;
  if (ut_date2time(0, date, time, &start) != 0) return TC_WARN_BAD_DATE;
  ba_coefficients c;
  build_ba_coefficients(s->params, &c);
  tc_sample sample;
  int32_t result;
  TC_ba_compute_primary_tide_array(&c, start, 0, 1, &sample, &result);
  tide->Intensity = sample.Intensity;
  tide->Type = sign_type(sample.Intensity);
  tide->Time = static_cast<UT_TIMEOFS>(time);
  return CL_SUCCESS;
}

ERRORCODE tc_BADailyTides(BA_STATION *s, int primary, UT_DATE date, DAILY_TIDES *daily) {
  for (TIDE &t : daily->Tide) t.Type = NOTIDE;
  ULONG day;
  if (ut_date2time(0, date, 0, &day) != 0) return TC_WARN_BAD_DATE;
  ba_coefficients c;
  build_ba_coefficients(s->params, &c);
  auto next = [&](ULONG from) {
    tc_sample e;
    TC_ba_next_primary_tides(&c, from, &e, 1);
    const ULONG r = e.Time % 60;
    e.Time = e.Time - r + (r <= 30 ? 0 : 60);  // to the minute
    return e;
  };
  // A secondary station searches earlier by its largest time difference, which also shifts the day's end.
  SLONG lead = 0;
  if (!primary)
    for (int k = 4; k < 8; ++k)
      if (!IsNaF(&s->times[k]) && std::fabs(s->times[k]) > std::abs(lead)) lead = static_cast<SLONG>(s->times[k]);
  const int64_t end = static_cast<int64_t>(day) + 86400 - lead, horizon = static_cast<int64_t>(day) + 172800;
  tc_sample current = next(static_cast<ULONG>(static_cast<int64_t>(day) - 7200 - std::abs(lead)));
  int entry = 0;
  while (entry < 5 && static_cast<int64_t>(current.Time) < end) {
    if (current.Type == NOTIDE) {  // nothing found: take the next event
      if (static_cast<int64_t>(current.Time) + 3600 > horizon) break;
      current = next(current.Time + 3600);
      continue;
    }
    tc_sample kept = current;
    ULONG last = current.Time;
    bool closed = false;
    while (!closed) {
      const tc_sample n = next(last + 3600);
      if (static_cast<int64_t>(n.Time) > horizon) {
        current = n;
        current.Time = static_cast<ULONG>(end);  // ends the day's list
        closed = true;
      } else if (n.Type == kept.Type && n.Time - last <= 21599) {
        // A higher high or lower low water of the same kind close behind replaces the entry.
        if (kept.Type == HIGH_TIDE ? n.Intensity > kept.Intensity : n.Intensity < kept.Intensity) kept = n;
        last = n.Time;
      } else {
        current = n;
        closed = true;
      }
    }
    int64_t rel = static_cast<int64_t>(kept.Time) - static_cast<int64_t>(day);
    TIDE &t = daily->Tide[entry++];
    if (!primary) {
      ba_event e{kept.Type, static_cast<SLONG>(rel), kept.Intensity, static_cast<SLONG>(rel)};
      tc_SetBASecHeight(s, &e);
      const ERRORCODE r = tc_GetBABigSec(s, date, &e);
      if (r != CL_SUCCESS) return r;
      kept.Type = static_cast<UCHAR>(e.type);
      kept.Intensity = e.height;
      rel = e.time;
      if (kept.Type == NOTIDE) continue;
    }
    if (rel < 0 || rel > 86399) continue;  // stays NOTIDE
    t.Type = kept.Type;
    t.Intensity = kept.Intensity;
    t.Time = ut_secstotimeofs(static_cast<SLONG>(rel));
  }
  return CL_SUCCESS;
}

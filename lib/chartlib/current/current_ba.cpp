// Second-method currents: the hour rows from six hours before to six after high water, the spring/neap
// blend, the day's event hours, single values and daily events.
#include "chartlib/current/current_ba.h"

#include <algorithm>
#include <cmath>

#include "chartlib/tide/tide_astro.h"
#include "chartlib/tide/tide_ba.h"
#include "chartlib/tide/tide_baparams.h"
#include "chartlib/tide/tide_util.h"

namespace {

DOUBLE rate(const BA_CURRENT_DATA *c, int h, int phase, DOUBLE s) {
  const DOUBLE *row = c->rows[h + 6];
  return phase == 1 || phase == 3 ? s * row[2] + (1 - s) * row[4] : s * row[4] + (1 - s) * row[2];
}

bool constant(const BA_CURRENT_DATA *c) {
  for (int k = 1; k < 13; ++k)
    if (c->rows[k][2] != c->rows[0][2]) return false;
  return true;
}

// High waters of a date and its neighbours, as clock seconds.
struct high_waters {
  ULONG today[3];
  int n = 0;
  ULONG previous = 0, next = 0;
};

ERRORCODE shift_date(UT_DATE date, int days, UT_DATE *out) {
  ULONG t;
  UT_TIME tm;
  if (ut_date2time(0, date, 0, &t) != 0) return TC_WARN_BAD_DATE;
  if (ut_time2date(static_cast<ULONG>(static_cast<int64_t>(t) + 86400ll * days), out, &tm, 0) != 0)
    return TC_WARN_BAD_DATE;
  return CL_SUCCESS;
}

// same_event: skip a neighbour that is one of today's high waters (daily operation).
ERRORCODE load_high_waters(BA_STATION *s, UT_DATE date, bool same_event, high_waters *hw) {
  ERRORCODE e;
  if ((e = tc_GetHWTides(s, date, hw->today, &hw->n)) != CL_SUCCESS) return e;
  UT_DATE d;
  ULONG other[3];
  int m;
  if ((e = shift_date(date, -1, &d)) != CL_SUCCESS || (e = tc_GetHWTides(s, d, other, &m)) != CL_SUCCESS) return e;
  hw->previous = other[m - 1];
  if (same_event && m > 1 && hw->today[0] - hw->previous <= 3599) hw->previous = other[m - 2];
  if ((e = shift_date(date, 1, &d)) != CL_SUCCESS || (e = tc_GetHWTides(s, d, other, &m)) != CL_SUCCESS) return e;
  hw->next = other[0];
  if (same_event && m > 1 && hw->next - hw->today[hw->n - 1] <= 3599) hw->next = other[1];
  return CL_SUCCESS;
}

ULONG governing(const high_waters &hw, ULONG t) {
  if (static_cast<int64_t>(t) < static_cast<int64_t>(hw.today[0]) - 21599) return hw.previous;
  for (int k = 0; k < hw.n; ++k)
    if (t <= hw.today[k] + 21600) return hw.today[k];
  return hw.next;
}

int64_t floor_div(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

ERRORCODE tc_GetHWTides(BA_STATION *s, UT_DATE date, ULONG *times, int *count) {
  BA_TIDE_PARAMS params;
  BA_TIDE_PARAMS *const kept = s->params;
  ERRORCODE e = tc_GetTideParamByDate(s, date, 0, &params);
  DAILY_TIDES daily;
  if (e == CL_SUCCESS) e = tc_BADailyTides(s, 1, date, &daily);
  s->params = kept;  // the local parameters end here
  if (e != CL_SUCCESS) return e;
  ULONG day;
  if (ut_date2time(0, date, 0, &day) != 0) return TC_WARN_BAD_DATE;
  *count = 0;
  for (const TIDE &t : daily.Tide)
    if (t.Type == HIGH_TIDE && *count < 3)
      times[(*count)++] = day + static_cast<ULONG>(ut_timeofstosecs(t.Time));
  return *count ? CL_SUCCESS : TC_WARN_NO_DATA;
}

ERRORCODE tc_CheckBACurrent(const BA_CURRENT_DATA *c) {
  for (const auto &row : c->rows)
    if (row[1] < 0) return TC_WARN_NO_DATA;
  return constant(c) ? TC_WARN_CONSTANT_CURRENT : CL_SUCCESS;
}

ERRORCODE tc_DaySpringNeapRatio(const BA_CURRENT_DATA *, UT_DATE date, UT_TIME time, int *phase, DOUBLE *ratio) {
  ULONG t, last, next;
  if (ut_date2time(0, date, time, &t) != 0) return TC_WARN_BAD_DATE;
  int type;
  ERRORCODE e;
  if ((e = TC_previous_moon_phase(t, &last, &type)) != CL_SUCCESS) return e;
  if ((e = TC_next_moon_phase(t, &next, phase)) != CL_SUCCESS) return e;
  const DOUBLE d1 = std::ceil((t - last) / 86400.0), d2 = std::ceil((next - t) / 86400.0);
  *ratio = d1 + d2 > 0 ? d2 / (d1 + d2) : 0.5;
  return CL_SUCCESS;
}

ERRORCODE tc_FindBACurrentOffsets(const BA_CURRENT_DATA *c, int phase, DOUBLE s, int *o1, int *o2, int *o3, int *o4) {
  auto r = [&](int h) { return rate(c, h, phase, s); };
  // 1. The slack: lowest rate from +4 through +6 and on from -6.
  int slack = 4;
  if (r(5) < r(4)) {
    slack = 5;
    if (r(6) < r(5)) slack = 6;
  }
  for (int h = -6; h <= -2; ++h)
    if (r(h) <= r(slack)) slack = h;
  if (slack >= -5 && slack <= -2 && r(-1) <= r(slack)) slack = -1;
  // 2. The first maximum after it.
  const int start = slack >= 4 ? -6 : slack;
  const int end = slack >= 4 ? slack - 7 : std::min(slack + 6, 3);
  int first_max = start;
  for (int h = start; h <= end; ++h)
    if (r(h) > r(first_max)) first_max = h;
  if (first_max == end)
    while (first_max < 6 && r(first_max + 1) >= r(first_max)) ++first_max;
  const int shorten = slack > 0 ? 6 - slack : 0;
  // 3. The second slack and 4. the second maximum.
  int second_slack = std::min(first_max + 1, 6);
  for (int h = second_slack; h <= std::min(first_max + 6 - shorten, 6); ++h)
    if (r(h) < r(second_slack)) second_slack = h;
  int second_max = std::min(second_slack + 1, 6);
  for (int h = second_max; h <= std::min(second_slack + 6 - shorten, 6); ++h)
    if (r(h) > r(second_max)) second_max = h;
  if (slack < 0 && slack != -6) {
    for (int h = -6; h < slack; ++h)
      if (r(h) > r(second_max)) second_max = h;
    if (second_max < 0 && second_max != -6)
      for (int h = -6; h < second_max; ++h)
        if (r(h) < r(second_slack)) second_slack = h;
  }
  *o1 = slack, *o2 = first_max, *o3 = second_slack, *o4 = second_max;
  if (slack == first_max || first_max == second_slack || second_slack == second_max || slack == second_max)
    return TC_WARN_CURRENT_OFFSETS;
  return CL_SUCCESS;
}

ERRORCODE tc_BADayCurrent(const BA_CURRENT_DATA *c, int h, int phase, DOUBLE s, CURRENT *current) {
  if (h < -6 || h > 6) return TC_WARN_BAD_ARGUMENT;
  current->Direction = c->rows[h + 6][1];
  current->Intensity = rate(c, h, phase, s);
  current->Type = static_cast<UCHAR>(h + 6);  // hour marker, +6 so that it fits the type byte
  return CL_SUCCESS;
}

void tc_BACurrentType(CURRENT *entry, CURRENT *previous, const int *o) {
  const int h = entry->Type - 6;
  const UCHAR types[4] = {SLACK_BEFORE_FLOOD, MAX_FLOOD, SLACK_BEFORE_EBB, MAX_EBB};
  UCHAR type = UNDIRECT_CURRENT;
  if (h != 6 && h != -6) {
    for (int k = 0; k < 4; ++k)
      if (o[k] == h) {
        type = types[k];
        break;
      }
  } else {
    for (int k = 0; k < 4; ++k)
      if (o[k] == 6 || o[k] == -6) {
        type = types[k];
        break;
      }
    if (previous != nullptr && type != UNDIRECT_CURRENT && previous->Type == type) {
      // The same event seen from two high waters: the weaker slack or the stronger maximum keeps it.
      const bool slack = type == SLACK_BEFORE_FLOOD || type == SLACK_BEFORE_EBB;
      const bool newer_keeps = slack ? entry->Intensity <= previous->Intensity : entry->Intensity >= previous->Intensity;
      if (newer_keeps)
        previous->Type = UNDIRECT_CURRENT;
      else
        type = UNDIRECT_CURRENT;
    }
  }
  entry->Type = type;
}

ERRORCODE tc_BACurrent(BA_STATION *s, BA_CURRENT_DATA *c, UT_DATE date, UT_TIME time, CURRENT *current) {
  ERRORCODE check = tc_CheckBACurrent(c);
  if (check != CL_SUCCESS && check != TC_WARN_CONSTANT_CURRENT) return check;
  int phase;
  DOUBLE ratio;
  ERRORCODE e;
  if ((e = tc_DaySpringNeapRatio(c, date, time, &phase, &ratio)) != CL_SUCCESS) return e;
  ULONG t;
  if (ut_date2time(0, date, time, &t) != 0) return TC_WARN_BAD_DATE;
  high_waters hw;
  if ((e = load_high_waters(s, date, false, &hw)) != CL_SUCCESS) return e;
  // The high water (or pair) the moment belongs to.
  ULONG a = 0, b = 0;
  bool pair = false;
  const int64_t tt = t;
  if (tt < static_cast<int64_t>(hw.today[0]) - 18000) {
    a = hw.previous, b = hw.today[0], pair = true;
  } else if (tt > static_cast<int64_t>(hw.today[hw.n - 1]) + 18000) {
    a = hw.today[hw.n - 1], b = hw.next, pair = true;
  } else {
    a = hw.today[0];
    bool found = tt <= static_cast<int64_t>(hw.today[0]) + (hw.n == 1 ? 18000 : 17999);
    for (int k = 1; k < hw.n && !found; ++k) {
      if (tt >= static_cast<int64_t>(hw.today[k]) - 17999 && tt <= static_cast<int64_t>(hw.today[k]) + 18000) {
        a = hw.today[k];
        found = true;
      } else if (tt < static_cast<int64_t>(hw.today[k]) - 17999) {
        a = hw.today[k - 1], b = hw.today[k], pair = true;
        found = true;
      }
    }
  }
  double x = (tt - static_cast<int64_t>(a)) / 3600.0;
  int M = static_cast<int>(std::floor(x)), L = static_cast<int>(std::floor(x + 1));
  if (pair) {
    if (M >= 7) {
      x = (tt - static_cast<int64_t>(b)) / 3600.0;
      M = static_cast<int>(std::floor(x));
    }
    if (L >= 7) L = static_cast<int>(std::floor((tt - static_cast<int64_t>(b)) / 3600.0 + 1));
  }
  if (M < -6 || M > 6 || L < -6 || L > 6) return TC_WARN_BAD_ARGUMENT;  // high waters too far apart
  const double f = x - std::floor(x);
  current->Direction = (1 - f) * c->rows[M + 6][1] + f * c->rows[L + 6][1];
  current->Intensity = (1 - f) * rate(c, M, phase, ratio) + f * rate(c, L, phase, ratio);
  current->Time = static_cast<UT_TIMEOFS>(time);
  current->Type = UNDIRECT_CURRENT;
  return check;
}

ERRORCODE tc_BADailyCurrents(BA_STATION *s, BA_CURRENT_DATA *c, UT_DATE date, DAILY_CURRENTS *daily) {
  for (CURRENT &x : daily->Curr) x.Type = NOCURR;
  ERRORCODE e;
  if ((e = tc_CheckBACurrent(c)) != CL_SUCCESS) return e;
  int phase;
  DOUBLE ratio;
  if ((e = tc_DaySpringNeapRatio(c, date, 0, &phase, &ratio)) != CL_SUCCESS) return e;
  int o[4];
  const ERRORCODE offsets = tc_FindBACurrentOffsets(c, phase, ratio, &o[0], &o[1], &o[2], &o[3]);
  if (offsets != CL_SUCCESS && offsets != TC_WARN_CURRENT_OFFSETS) return offsets;
  ULONG day;
  if (ut_date2time(0, date, 0, &day) != 0) return TC_WARN_BAD_DATE;
  high_waters hw;
  if ((e = load_high_waters(s, date, true, &hw)) != CL_SUCCESS) return e;
  CURRENT entries[27];
  int n = 0;
  int64_t t = day;
  const int64_t end = static_cast<int64_t>(day) + 86400;
  for (int guard = 0; guard < 200 && n < 27 && t < end; ++guard) {
    const int64_t g = governing(hw, static_cast<ULONG>(t));
    int64_t h = floor_div(t - g, 3600);
    t = g + 3600 * h;
    if (t < static_cast<int64_t>(day) || h > 6 || h < -6) {
      t += 3600;
      continue;
    }
    while (h <= 6 && n < 27 && t < end) {
      CURRENT &x = entries[n];
      tc_BADayCurrent(c, static_cast<int>(h), phase, ratio, &x);
      x.Time = ut_secstotimeofs(static_cast<SLONG>(t - static_cast<int64_t>(day)));
      tc_BACurrentType(&x, n > 0 ? &entries[n - 1] : nullptr, o);
      ++n;
      t += 3600;
      ++h;
    }
  }
  int copied = 0;
  UCHAR last = NOCURR;
  for (int k = 0; k < n && copied < 11; ++k) {
    const UCHAR type = entries[k].Type;
    if (type == UNDIRECT_CURRENT || type == last) continue;
    if (offsets == TC_WARN_CURRENT_OFFSETS && type != MAX_FLOOD && type != SLACK_BEFORE_FLOOD) continue;
    daily->Curr[copied++] = entries[k];
    last = type;
  }
  return CL_SUCCESS;
}

namespace {

void blend(CURRENT *out, const CURRENT &a, const CURRENT &b, double w_b) {
  out->Intensity = (1 - w_b) * a.Intensity + w_b * b.Intensity;
  out->Direction = (1 - w_b) * a.Direction + w_b * b.Direction;
}

}  // namespace

ERRORCODE tc_BACurrents(BA_STATION *s, BA_CURRENT_DATA *c, UT_DATE date, UT_TIME time, SINT span, UINT16 step,
                        CURRENT *out, SINT capacity) {
  // An hour must hold a whole number of steps: larger or other steps would divide by zero or misplace samples.
  if (step == 0 || step > 20 || 20 % step != 0) return TC_WARN_BAD_STEP;
  const int q = 20 / step;
  const int64_t step_s = static_cast<int64_t>(step) * 180;
  int64_t n = span > 0 ? static_cast<int64_t>(span) * 20 / step : 0;
  if (n > capacity) n = capacity > 0 ? capacity : 0;
  for (int64_t k = 0; k < n; ++k) out[k].Type = NOCURR;
  const ERRORCODE check = tc_CheckBACurrent(c);
  if (check != CL_SUCCESS && check != TC_WARN_CONSTANT_CURRENT) return check;
  int phase;
  DOUBLE ratio;
  ERRORCODE e;
  if ((e = tc_DaySpringNeapRatio(c, date, time, &phase, &ratio)) != CL_SUCCESS) return e;
  int o[4];
  const ERRORCODE offsets = tc_FindBACurrentOffsets(c, phase, ratio, &o[0], &o[1], &o[2], &o[3]);
  if (offsets != CL_SUCCESS && offsets != TC_WARN_CURRENT_OFFSETS) return offsets;
  ULONG t0u;
  if (ut_date2time(0, date, time, &t0u) != 0) return TC_WARN_BAD_DATE;
  const int64_t t0 = t0u, end = t0 + static_cast<int64_t>(span) * 3600;
  high_waters hw;
  UT_DATE hw_date = date;
  if ((e = load_high_waters(s, hw_date, false, &hw)) != CL_SUCCESS) return e;

  // Leading anchor.
  int64_t g = governing(hw, t0u);
  int64_t h = std::min<int64_t>(floor_div(t0 - g, 3600), 6);
  CURRENT leading;
  tc_BADayCurrent(c, static_cast<int>(std::max<int64_t>(h, -6)), phase, ratio, &leading);
  tc_BACurrentType(&leading, nullptr, o);
  const int64_t leading_time = g + 3600 * h;
  CURRENT *last_anchor = &leading;

  // Hour anchors at every q-th sample.
  int64_t h1 = h + 1, t1 = g + 3600 * h1;
  int64_t i = q + floor_div(3600 * h - (t0 - g), step_s);
  for (int guard = 0; guard < 10000 && t1 < end && i < n; ++guard) {
    while (h1 >= -6 && h1 <= 6 && i < n && i >= 0) {
      CURRENT &a = out[i];
      tc_BADayCurrent(c, static_cast<int>(h1), phase, ratio, &a);
      tc_BACurrentType(&a, last_anchor, o);
      last_anchor = &a;
      t1 += 3600;
      i += q;
      if (h1++ == 6) break;
    }
    UT_DATE d;
    UT_TIME tm;
    if (ut_time2date(static_cast<ULONG>(t1), &d, &tm, 0) != 0) return TC_WARN_BAD_DATE;
    if (d / 10000 != hw_date / 10000) {
      hw_date = d;
      if ((e = load_high_waters(s, hw_date, false, &hw)) != CL_SUCCESS) return e;
      if ((e = tc_DaySpringNeapRatio(c, d, tm, &phase, &ratio)) != CL_SUCCESS) return e;
    }
    g = governing(hw, static_cast<ULONG>(t1));
    h1 = floor_div(t1 - g, 3600);
    i += floor_div(g + 3600 * h1 - t1, step_s);
    t1 = g + 3600 * h1;
    if (h1 >= 7 || h1 <= -7 || i < 0) {
      const int64_t m = (h1 == 6 || h1 == -6) ? -i : std::llabs(h1) - 6;
      t1 += 3600 * m;
      i += m * q;
      h1 += h1 > 0 ? -m : m;
    }
    if (o[0] < h1 && h1 < o[1]) last_anchor->Type = SLACK_BEFORE_FLOOD;
  }
  // Trailing anchor.
  g = governing(hw, static_cast<ULONG>(t1));
  const int64_t ht = std::max<int64_t>(std::min<int64_t>(floor_div(t1 - g, 3600), 6), -6);
  CURRENT trailing;
  tc_BADayCurrent(c, static_cast<int>(ht), phase, ratio, &trailing);
  tc_BACurrentType(&trailing, last_anchor, o);
  const int64_t trailing_time = g + 3600 * ht;

  // Flow types of the anchors.
  const bool plain = check == TC_WARN_CONSTANT_CURRENT || offsets == TC_WARN_CURRENT_OFFSETS;
  UCHAR first_slack = NOCURR;
  for (int64_t k = 0; k < n && first_slack == NOCURR; ++k)
    if (out[k].Type == SLACK_BEFORE_FLOOD || out[k].Type == SLACK_BEFORE_EBB) first_slack = out[k].Type;
  // The leading anchor: flood for a maximum flood or a slack before flood, ebb for the other events, and
  // without an event the flow that the first slack ends.
  UCHAR lead_type = leading.Type == MAX_FLOOD || leading.Type == SLACK_BEFORE_FLOOD ? FLOOD_CURRENT : EBB_CURRENT;
  if (leading.Type == UNDIRECT_CURRENT) {
    lead_type = UNDIRECT_CURRENT;
    if (first_slack == SLACK_BEFORE_FLOOD) lead_type = EBB_CURRENT;
    if (first_slack == SLACK_BEFORE_EBB) lead_type = FLOOD_CURRENT;
  }
  UCHAR running = lead_type;
  for (int64_t k = 0; k < n; ++k) {
    if (out[k].Type == NOCURR) continue;
    if (plain) {
      out[k].Type = UNDIRECT_CURRENT;
      continue;
    }
    if (out[k].Type == SLACK_BEFORE_FLOOD) running = FLOOD_CURRENT;
    if (out[k].Type == SLACK_BEFORE_EBB) running = EBB_CURRENT;
    out[k].Type = running;
  }
  const UCHAR undirected = UNDIRECT_CURRENT;
  leading.Type = plain ? undirected : lead_type;
  if (plain)
    trailing.Type = undirected;
  else if (trailing.Type == SLACK_BEFORE_FLOOD || trailing.Type == MAX_FLOOD)
    trailing.Type = FLOOD_CURRENT;
  else if (trailing.Type == SLACK_BEFORE_EBB || trailing.Type == MAX_EBB)
    trailing.Type = EBB_CURRENT;
  else
    trailing.Type = running;

  // Samples between the anchors.
  const int64_t p0 = (leading_time - t0) / step_s, p1 = (trailing_time - t0) / step_s;
  int64_t previous = -1;
  for (int64_t k = 0; k <= n; ++k) {
    if (k < n && out[k].Type == NOCURR) continue;
    if (previous < 0) {
      for (int64_t j = 0; j < std::min(k, n); ++j) {  // before the first hour anchor
        const double w = k != p0 ? static_cast<double>(k - j) / static_cast<double>(k - p0) : 1.0;
        blend(&out[j], out[k < n ? k : j], leading, k < n ? w : 1.0);
        out[j].Type = leading.Type;
      }
    } else if (k < n) {
      for (int64_t j = previous + 1; j < k; ++j) {
        blend(&out[j], out[previous], out[k], static_cast<double>(j - previous) / static_cast<double>(k - previous));
        out[j].Type = out[previous].Type;
      }
    } else if (previous + 1 < n && p1 != previous) {
      for (int64_t j = previous + 1; j < n; ++j) {
        blend(&out[j], out[previous], trailing, static_cast<double>(j - previous) / static_cast<double>(p1 - previous));
        out[j].Type = trailing.Type;
      }
    }
    if (k < n) previous = k;
  }
  for (int64_t k = 0; k < n; ++k)
    out[k].Time = ut_addtimeofs(static_cast<UT_TIMEOFS>(time), ut_secstotimeofs(static_cast<SLONG>(k * step_s)));
  return check == TC_WARN_CONSTANT_CURRENT ? check : offsets;
}

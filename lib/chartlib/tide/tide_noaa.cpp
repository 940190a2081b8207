// Harmonic tide entry layer: calendar dates in, TIDE records out.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "chartlib/tide/tide_interface.h"
#include "chartlib/tide/tide_series.h"
#include "chartlib/tide/tide_util.h"

namespace {

bool secondary_complete(const TC_GLOBALS *g) {
  const DOUBLE *v[6] = {&g->time_differences[2],  &g->time_differences[3],  &g->speed_corrections[0],
                        &g->speed_corrections[1], &g->speed_corrections[2], &g->speed_corrections[3]};
  for (const DOUBLE *d : v)
    if (IsNaF(d)) return false;
  return true;
}

fixed *ratio_buffer(TC_GLOBALS *g) { return g->table->HarmonicInfoTable.MHC.Buffer.Vect.Fixed; }

UCHAR sign_type(DOUBLE height) { return height >= 0 ? UP_TIDE : DOWN_TIDE; }

// Samples of [first, first + n) into out (clock seconds), n <= TC_PIECE_SAMPLES.
void samples(TC_GLOBALS *g, int primary, ULONG start, ULONG step, int n, tc_sample *out) {
  // The ratios live in the table's scratch buffer, which also overlays its result array: results go on
  // the stack so that a secondary series does not overwrite the ratios it still uses.
  int32_t results[TC_PIECE_SAMPLES];
  if (primary)
    TC_compute_primary_tide_array(&g->primary_tide, start, step, n, out, results, ratio_buffer(g));
  else
    TC_compute_secondary_tide_array(&g->secondary_tide, start, step, n, out, results, ratio_buffer(g));
}

}  // namespace

ERRORCODE tc_NOAATides(TC_GLOBALS *g, int primary, UT_DATE date, UT_TIME time, SINT span, UINT16 step, TIDE *tides,
                       SINT capacity) {
  if (!primary && !secondary_complete(g)) return TC_WARN_NO_DATA;
  return TC_run_series(date, time, span, step, capacity,
                       [&](ULONG from, ULONG step_s, int n, tc_sample *out) { samples(g, primary, from, step_s, n, out); },
                       [&](int64_t k, const tc_sample &x, UT_TIMEOFS when) {
                         tides[k] = TIDE{sign_type(x.Intensity), when, x.Intensity};
                       });
}

ERRORCODE tc_NOAATide(TC_GLOBALS *g, int primary, UT_DATE date, UT_TIME time, TIDE *tide) {
  if (!primary && !secondary_complete(g)) return TC_WARN_NO_DATA;
  ULONG start;
  if (ut_date2time(0, date, time, &start) != 0) return TC_WARN_BAD_DATE;
  tc_sample s;
  samples(g, primary, start, 0, 1, &s);
  tide->Intensity = s.Intensity;
  tide->Type = sign_type(s.Intensity);
  tide->Time = static_cast<UT_TIMEOFS>(time);
  return CL_SUCCESS;
}

ERRORCODE tc_NOAADailyTides(TC_GLOBALS *g, int primary, UT_DATE date, DAILY_TIDES *daily) {
  ULONG day;
  if (ut_date2time(0, date, 0, &day) != 0) return TC_WARN_BAD_DATE;
  tc_sample ev[5];
  const ULONG start = day - 900;
  if (primary) {
    TC_next_primary_tides(&g->primary_tide, start, ev, 5, ratio_buffer(g));
  } else if (secondary_complete(g)) {
    const secondary_tide_block &b = g->secondary_tide;
    const ULONG lead = static_cast<ULONG>(std::max(std::labs(b.hw_time), std::labs(b.lw_time)));
    TC_next_secondary_tides(&b, start - lead, ev, 5, ratio_buffer(g));
  } else {
    // Incomplete corrections: each reference event corrected on its own where its set is complete.
    const secondary_tide_block &b = g->secondary_tide;
    const ULONG lead = static_cast<ULONG>(std::max(std::labs(b.hw_time), std::labs(b.lw_time)));
    TC_next_primary_tides(&g->primary_tide, start - lead, ev, 5, ratio_buffer(g));
    for (tc_sample &e : ev) {
      if (e.Type != HIGH_TIDE && e.Type != LOW_TIDE) return TC_WARN_BAD_ARGUMENT;
      const int k = e.Type == HIGH_TIDE ? 0 : 1;
      const DOUBLE &dt = g->time_differences[2 + k], &ratio = g->speed_corrections[k],
                   &dh = g->speed_corrections[2 + k];
      if (IsNaF(&dt) || IsNaF(&ratio) || IsNaF(&dh)) {
        e.Type = NOTIDE;
        continue;
      }
      e.Intensity = ratio * e.Intensity + dh * 0.001;
      e.Time += static_cast<ULONG>(static_cast<SLONG>(dt * 60));
    }
  }
  for (int i = 0; i < 5; ++i) {
    TIDE &t = daily->Tide[i];
    t.Type = ev[i].Type;
    t.Intensity = ev[i].Intensity;
    ERRORCODE e;
    if (!tc_EventOnDay(ev[i].Time, date, &t.Time, &e)) {
      if (e != CL_SUCCESS) return e;
      t.Type = NOTIDE;
    }
  }
  return CL_SUCCESS;
}

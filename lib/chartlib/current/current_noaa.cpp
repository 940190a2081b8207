// Harmonic current entry layer for reversing primary stations: calendar dates in, CURRENT records out.
#include <cmath>

#include "chartlib/tide/tide_interface.h"
#include "chartlib/tide/tide_series.h"
#include "chartlib/tide/tide_util.h"

namespace {

fixed *ratio_buffer(TC_GLOBALS *g) { return g->table->HarmonicInfoTable.MHC.Buffer.Vect.Fixed; }

bool secondary_complete(const TC_GLOBALS *g) {
  for (int k = 0; k < 4; ++k)
    if (IsNaF(&g->time_differences[k])) return false;
  return !IsNaF(&g->speed_corrections[0]) && !IsNaF(&g->speed_corrections[1]);
}

bool rotary(const TC_GLOBALS *g) { return g->rotary.primary != nullptr; }

// Samples of a reversing station, primary or secondary, or of a rotary primary station.
void samples(TC_GLOBALS *g, int primary, ULONG from, ULONG step, int n, tc_sample *out) {
  int32_t results[TC_PIECE_SAMPLES];
  if (rotary(g)) {
    rotary_result vectors[TC_PIECE_SAMPLES];
    UCHAR types[TC_PIECE_SAMPLES];
    if (primary)
      TC_compute_primary_rotary_array(&g->rotary, from, step, n, out, vectors, ratio_buffer(g));
    else
      TC_compute_secondary_rotary_array(&g->secondary_current, from, step, n, out, vectors, types, ratio_buffer(g));
  } else if (primary)
    TC_compute_primary_current_array(&g->primary_current, from, step, n, out, results);
  else
    TC_compute_secondary_current_array(&g->secondary_current, from, step, n, out, results, ratio_buffer(g));
}

// Reference events corrected one by one, for a secondary station whose corrections are incomplete.
ERRORCODE simple_corrections(const TC_GLOBALS *g, tc_sample *ev, int n) {
  for (int i = 0; i < n; ++i) {
    tc_sample &e = ev[i];
    int time_slot, ratio_slot = -1;
    DOUBLE direction = -1.0;
    switch (e.Type) {
      case NOCURR: continue;
      case MAX_FLOOD: time_slot = 2; ratio_slot = 0; direction = g->own_directions[0]; break;
      case MAX_EBB: time_slot = 3; ratio_slot = 1; direction = g->own_directions[1]; break;
      case SLACK_BEFORE_FLOOD: time_slot = 0; break;
      case SLACK_BEFORE_EBB: time_slot = 1; break;
      default: return TC_WARN_BAD_ARGUMENT;
    }
    const DOUBLE &dt = g->time_differences[time_slot];
    if (IsNaF(&dt) || (ratio_slot >= 0 && IsNaF(&g->speed_corrections[ratio_slot]))) {
      e.Type = NOCURR;
      continue;
    }
    e.Time += static_cast<ULONG>(static_cast<SLONG>(dt));
    if (ratio_slot >= 0) e.Intensity *= g->speed_corrections[ratio_slot];
    e.Direction = direction < 0 ? -60.0 : direction * 60.0;
  }
  return CL_SUCCESS;
}

void to_record(const tc_sample &s, CURRENT *c) {
  c->Type = s.Type;
  c->Direction = s.Direction / 60.0;
  c->Intensity = s.Intensity;
}

}  // namespace

ERRORCODE tc_NOAACurrents(TC_GLOBALS *g, int primary, UT_DATE date, UT_TIME time, SINT span, UINT16 step, CURRENT *currents,
                          SINT capacity) {
  if (!primary && !secondary_complete(g)) return TC_WARN_NO_DATA;
  return TC_run_series(date, time, span, step, capacity,
                       [&](ULONG from, ULONG step_s, int n, tc_sample *out) { samples(g, primary, from, step_s, n, out); },
                       [&](int64_t k, const tc_sample &x, UT_TIMEOFS when) {
                         to_record(x, &currents[k]);
                         currents[k].Time = when;
                       });
}

ERRORCODE tc_NOAACurrent(TC_GLOBALS *g, int primary, UT_DATE date, UT_TIME time, CURRENT *current) {
  if (!primary && !secondary_complete(g)) return TC_WARN_NO_DATA;
  ULONG start;
  if (ut_date2time(0, date, time, &start) != 0) return TC_WARN_BAD_DATE;
  tc_sample s;
  samples(g, primary, start, 0, 1, &s);
  to_record(s, current);
  current->Time = static_cast<UT_TIMEOFS>(time);
  return CL_SUCCESS;
}

ERRORCODE tc_NOAADailyCurrents(TC_GLOBALS *g, int primary, UT_DATE date, DAILY_CURRENTS *daily) {
  ULONG day;
  if (ut_date2time(0, date, 0, &day) != 0) return TC_WARN_BAD_DATE;
  tc_sample ev[11];
  if (rotary(g) && primary) {
    TC_next_primary_rotaries(&g->rotary, day - 900, ev, 11, ratio_buffer(g));
  } else if (primary) {
    TC_next_primary_currents(&g->primary_current, day - 900, ev, 11, ratio_buffer(g));
  } else {
    DOUBLE lead = 0;
    for (const DOUBLE &d : g->time_differences)
      if (!IsNaF(&d) && std::fabs(d) > lead) lead = std::fabs(d);
    const ULONG from = day - 900 - static_cast<ULONG>(lead);
    if (secondary_complete(g)) {
      if (rotary(g))
        TC_next_secondary_rotaries(&g->secondary_current, from, ev, 11, ratio_buffer(g));
      else
        TC_next_secondary_currents(&g->secondary_current, from, ev, 11, ratio_buffer(g));
    } else {
      if (rotary(g))
        TC_next_primary_rotaries(&g->rotary, from, ev, 11, ratio_buffer(g));
      else
        TC_next_primary_currents(&g->primary_current, from, ev, 11, ratio_buffer(g));
      const ERRORCODE e = simple_corrections(g, ev, 11);
      if (e != CL_SUCCESS) return e;
    }
  }
  for (int i = 0; i < 11; ++i) {
    CURRENT &c = daily->Curr[i];
    to_record(ev[i], &c);
    ERRORCODE e;
    if (!tc_EventOnDay(ev[i].Time, date, &c.Time, &e)) {
      if (e != CL_SUCCESS) return e;
      c.Type = NOCURR;
    }
  }
  return CL_SUCCESS;
}

// Harmonic current entry layer for reversing primary stations: calendar dates in, CURRENT records out.
#include "chartlib/tide_interface.h"
#include "chartlib/tide_series.h"
#include "chartlib/tide_util.h"

namespace {

fixed *ratio_buffer(TC_GLOBALS *g) { return g->table->HarmonicInfoTable.MHC.Buffer.Vect.Fixed; }

void to_record(const tc_sample &s, CURRENT *c) {
  c->Type = s.Type;
  c->Direction = s.Direction / 60.0;
  c->Intensity = s.Intensity;
}

}  // namespace

ERRORCODE tc_NOAACurrents(TC_GLOBALS *g, UT_DATE date, UT_TIME time, SINT span, UINT16 step, CURRENT *currents,
                          SINT capacity) {
  int32_t results[TC_PIECE_SAMPLES];
  return TC_run_series(date, time, span, step, capacity,
                       [&](ULONG from, ULONG step_s, int n, tc_sample *out) {
                         TC_compute_primary_current_array(&g->primary_current, from, step_s, n, out, results);
                       },
                       [&](int64_t k, const tc_sample &x, UT_TIMEOFS when) {
                         to_record(x, &currents[k]);
                         currents[k].Time = when;
                       });
}

ERRORCODE tc_NOAACurrent(TC_GLOBALS *g, UT_DATE date, UT_TIME time, CURRENT *current) {
  ULONG start;
  if (ut_date2time(0, date, time, &start) != 0) return TC_WARN_BAD_DATE;
  tc_sample s;
  int32_t result;
  TC_compute_primary_current_array(&g->primary_current, start, 0, 1, &s, &result);
  to_record(s, current);
  current->Time = static_cast<UT_TIMEOFS>(time);
  return CL_SUCCESS;
}

ERRORCODE tc_NOAADailyCurrents(TC_GLOBALS *g, UT_DATE date, DAILY_CURRENTS *daily) {
  ULONG day;
  if (ut_date2time(0, date, 0, &day) != 0) return TC_WARN_BAD_DATE;
  tc_sample ev[11];
  TC_next_primary_currents(&g->primary_current, day - 900, ev, 11, ratio_buffer(g));
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

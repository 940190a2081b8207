// Entry points of the tide library: station lookup, dispatch by method, sun and moon, settings.
#include "chartlib/tide/tide_interface.h"

#include <cstring>
#include <memory>

#include "chartlib/current/current_ba.h"
#include "chartlib/tide/tide_astro.h"
#include "chartlib/tide/tide_ba.h"
#include "chartlib/tide/tide_baparams.h"
#include "chartlib/tide/tide_load.h"
#include "chartlib/tide/tide_predict.h"
#include "chartlib/tide/tide_util.h"

namespace {

struct station_ref {
  UINT item_id;
  ULONG position;
  UINT16 format;
  ULONG length;
  UINT reference_item;
  ULONG reference_position;
};

ERRORCODE find_station(BPTABLE *t, ULONG port, bool current, station_ref *s) {
  ERRORCODE e;
  if ((e = bp_GetItemId(t, current ? BP_ITEM_CURRENT_DATA : BP_ITEM_TIDE_DATA, &s->item_id)) != CL_SUCCESS) return e;
  if ((e = bp_SetFilterQualifier(t, current ? CURRENT_STATION : TIDE_STATION)) != CL_SUCCESS) return e;
  if ((e = bp_CheckPortDataService(t, port, s->item_id, &s->position)) != CL_SUCCESS) return e;
  if (s->position == 0) return TC_WARN_NO_DATA;
  return bp_GetPortServiceDataInfo(t, s->item_id, s->position, &s->format, &s->length, &s->reference_item,
                                   &s->reference_position);
}

enum class method { harmonic, second, none };

method tide_method(UINT16 format) {
  switch (tc_FormatMethod(format)) {
    case 0: case 4: return method::harmonic;
    case 8: case 9: case 2: return method::second;
    default: return method::none;
  }
}

// A tide station loaded for either method.
struct loaded_tide {
  std::unique_ptr<TC_GLOBALS> g = std::make_unique<TC_GLOBALS>();
  std::unique_ptr<BA_STATION> ba = std::make_unique<BA_STATION>();
  BA_TIDE_PARAMS params{};
  method how = method::none;
  int primary = 1;
};

ERRORCODE load_found_tide(BPTABLE *t, station_ref *s, loaded_tide *l) {
  l->how = tide_method(s->format);
  l->primary = s->reference_position == 0;
  if (l->how == method::none) return TC_WARN_METHOD;
  if (l->how == method::harmonic) {
    tc_InitGlobalsStruct(l->g.get(), 0, t);
    return tc_NOAATideDataLoad(l->g.get(), s->item_id, s->position, s->reference_position, &s->length, &s->format);
  }
  l->ba->table = t;
  return tc_BATideDataLoad(l->ba.get(), s->item_id, s->position, s->reference_position, &s->length, &s->format);
}

ERRORCODE load_tide(BPTABLE *t, ULONG port, station_ref *s, loaded_tide *l) {
  const ERRORCODE e = find_station(t, port, false, s);
  return e != CL_SUCCESS ? e : load_found_tide(t, s, l);
}

ERRORCODE port_by_name(BPTABLE *t, const char *name, UINT qualifier, ULONG *port) {
  ERRORCODE e;
  if ((e = bp_SetFilterQualifier(t, qualifier)) != CL_SUCCESS) return e;
  UC_BUFFER &b = t->HarmonicInfoTable.UC_Buffer;
  if ((e = bp_GetPortCodesByName(t, name, 1, nullptr, 1, &b, 4)) != CL_SUCCESS) return e;
  std::memcpy(port, b.Buff, sizeof *port);
  return CL_SUCCESS;
}

// Looks the name up and calls the by-code operation for the port found.
template <typename ByCode>
ERRORCODE by_name(BPTABLE *t, const char *name, UINT qualifier, ByCode by_code) {
  ULONG port;
  const ERRORCODE e = port_by_name(t, name, qualifier, &port);
  return e != CL_SUCCESS ? e : by_code(port);
}

}  // namespace

ERRORCODE tc_GetTideByPortCode(BPTABLE *t, ULONG port, UT_DATETIME when, TIDE *tide) {
  UT_DATE date;
  UT_TIME time;
  ERRORCODE e;
  if ((e = tc_SplitDateTime(when, &date, &time, nullptr, nullptr)) != CL_SUCCESS) return e;
  loaded_tide l;
  station_ref s{};
  if ((e = load_tide(t, port, &s, &l)) != CL_SUCCESS) return e;
  if (l.how == method::harmonic) return tc_NOAATide(l.g.get(), l.primary, date, time, tide);
  if ((e = tc_GetTideParamByDate(l.ba.get(), date, time, &l.params)) != CL_SUCCESS) return e;
  return tc_BATide(l.ba.get(), l.primary, date, time, tide);
}

ERRORCODE tc_GetTidesByPortCode(BPTABLE *t, ULONG port, UT_DATETIME start, SINT span, UINT16 step, TIDE *tides,
                                SINT capacity) {
  if (step == 0) return TC_WARN_BAD_STEP;
  UT_DATE date;
  UT_TIME time;
  ERRORCODE e;
  if ((e = tc_SplitDateTime(start, &date, &time, nullptr, nullptr)) != CL_SUCCESS) return e;
  loaded_tide l;
  station_ref s{};
  if ((e = load_tide(t, port, &s, &l)) != CL_SUCCESS) return e;
  if (l.how == method::harmonic) return tc_NOAATides(l.g.get(), l.primary, date, time, span, step, tides, capacity);
  return tc_BATides(l.ba.get(), l.primary, date, time, span, step, tides, capacity);
}

ERRORCODE tc_DailyTidesByPortCode(BPTABLE *t, ULONG port, UT_DATE day, DAILY_TIDES *daily) {
  UT_DATE date;
  UT_TIME time;
  ERRORCODE e;
  if ((e = tc_SplitDateTime(UT_DATETIME{day, 0}, &date, &time, nullptr, nullptr)) != CL_SUCCESS) return e;
  station_ref s{};
  if ((e = find_station(t, port, false, &s)) != CL_SUCCESS) return e;
  for (TIDE &x : daily->Tide) x.Type = NOTIDE;
  loaded_tide l;
  if ((e = load_found_tide(t, &s, &l)) != CL_SUCCESS) return e;
  if (l.how == method::harmonic) return tc_NOAADailyTides(l.g.get(), l.primary, date, daily);
  if ((e = tc_GetTideParamByDate(l.ba.get(), date, 0, &l.params)) != CL_SUCCESS) return e;
  return tc_BADailyTides(l.ba.get(), l.primary, date, daily);
}

ERRORCODE tc_GetTideByPortName(BPTABLE *t, const char *name, UT_DATETIME when, TIDE *tide) {
  return by_name(t, name, TIDE_STATION, [&](ULONG port) { return tc_GetTideByPortCode(t, port, when, tide); });
}

ERRORCODE tc_GetTidesByPortName(BPTABLE *t, const char *name, UT_DATETIME start, SINT span, UINT16 step,
                                TIDE *tides, SINT capacity) {
  return by_name(t, name, TIDE_STATION, [&](ULONG port) { return tc_GetTidesByPortCode(t, port, start, span, step, tides, capacity); });
}

ERRORCODE tc_DailyTidesByPortName(BPTABLE *t, const char *name, UT_DATE day, DAILY_TIDES *daily) {
  return by_name(t, name, TIDE_STATION, [&](ULONG port) { return tc_DailyTidesByPortCode(t, port, day, daily); });
}

// --- Currents ----------------------------------------------------------------------------------------

namespace {

// Finds and loads a harmonic current station (a second-method one is loaded by the caller).
ERRORCODE load_current(BPTABLE *t, ULONG port, TC_GLOBALS *g, station_ref *s) {
  ERRORCODE e;
  if ((e = find_station(t, port, true, s)) != CL_SUCCESS) return e;
  const UINT m = tc_FormatMethod(s->format);
  if (m == 2) return CL_SUCCESS;  // second method: loaded by the caller
  if (m != 0 && m != 4) return TC_WARN_METHOD;
  const UINT kind = tc_FormatCurrent(s->format);
  if (kind == 4) return TC_WARN_METHOD;
  tc_InitGlobalsStruct(g, 0, t);
  g->rotary.primary = nullptr;
  e = tc_NOAACurrentDataLoad(g, s->item_id, s->position, s->reference_item, s->reference_position, &s->length,
                             &s->format);
  if (e == CL_SUCCESS && tc_FormatCurrent(s->format) == 4) return TC_WARN_METHOD;  // reference of that kind
  return e;
}

// A second-method current station and its reference tide station.
struct ba_current {
  std::unique_ptr<BA_STATION> tide = std::make_unique<BA_STATION>();
  std::unique_ptr<BA_CURRENT_DATA> rows = std::make_unique<BA_CURRENT_DATA>();
};

ERRORCODE load_ba_current(BPTABLE *t, station_ref *s, ba_current *c) {
  c->tide->table = t;
  c->rows->table = t;
  const ERRORCODE e = tc_BACurrentDataLoad(c->tide.get(), c->rows.get(), s->item_id, s->position, s->reference_item,
                                           s->reference_position, &s->length, &s->format);
  if (e != CL_SUCCESS) return e;
  return s->reference_position == 0 ? TC_WARN_NO_DATA : CL_SUCCESS;  // no reference tide station to count from
}

bool second_method(const station_ref &s) { return tc_FormatMethod(s.format) == 2; }

bool is_result(ERRORCODE e) {
  return e == CL_SUCCESS || e == TC_WARN_CONSTANT_CURRENT || e == TC_WARN_CURRENT_OFFSETS;
}

void post_process(const BPTABLE *t, CURRENT *c, int n, bool absolute) {
  for (int i = 0; i < n; ++i) {
    if (c[i].Type == NOCURR) continue;
    c[i].Direction = tc_MagneticVariation(t, c[i].Direction);
    if (absolute && c[i].Intensity < 0) c[i].Intensity = -c[i].Intensity;
  }
}

}  // namespace

ERRORCODE tc_GetCurrentByPortCode(BPTABLE *t, ULONG port, UT_DATETIME when, CURRENT *current) {
  current->Type = NOCURR;
  UT_DATE date;
  UT_TIME time;
  ERRORCODE e;
  if ((e = tc_SplitDateTime(when, &date, &time, nullptr, nullptr)) != CL_SUCCESS) return e;
  auto g = std::make_unique<TC_GLOBALS>();
  station_ref s{};
  if ((e = load_current(t, port, g.get(), &s)) != CL_SUCCESS) return e;
  if (second_method(s)) {
    ba_current c;
    if ((e = load_ba_current(t, &s, &c)) != CL_SUCCESS) return e;
    e = tc_BACurrent(c.tide.get(), c.rows.get(), date, time, current);
  } else {
    e = tc_NOAACurrent(g.get(), s.reference_position == 0, date, time, current);
  }
  if (!is_result(e)) return e;
  post_process(t, current, 1, false);
  return e;
}

ERRORCODE tc_GetCurrentsByPortCode(BPTABLE *t, ULONG port, UT_DATETIME start, SINT span, UINT16 step,
                                   CURRENT *currents, SINT capacity) {
  if (step == 0) return TC_WARN_BAD_STEP;
  UT_DATE date;
  UT_TIME time;
  ERRORCODE e;
  if ((e = tc_SplitDateTime(start, &date, &time, nullptr, nullptr)) != CL_SUCCESS) return e;
  auto g = std::make_unique<TC_GLOBALS>();
  station_ref s{};
  if ((e = load_current(t, port, g.get(), &s)) != CL_SUCCESS) return e;
  if (second_method(s)) {
    ba_current c;
    if ((e = load_ba_current(t, &s, &c)) != CL_SUCCESS) return e;
    e = tc_BACurrents(c.tide.get(), c.rows.get(), date, time, span, step, currents, capacity);
  } else {
    e = tc_NOAACurrents(g.get(), s.reference_position == 0, date, time, span, step, currents, capacity);
  }
  if (!is_result(e)) return e;
  const int64_t n = span > 0 ? static_cast<int64_t>(span) * 20 / step : 0;
  post_process(t, currents, static_cast<int>(n < capacity ? n : capacity), true);
  return e;
}

ERRORCODE tc_DailyCurrentsByPortCode(BPTABLE *t, ULONG port, UT_DATE day, DAILY_CURRENTS *daily) {
  for (CURRENT &c : daily->Curr) c.Type = NOCURR;
  UT_DATE date;
  UT_TIME time;
  ERRORCODE e;
  if ((e = tc_SplitDateTime(UT_DATETIME{day, 0}, &date, &time, nullptr, nullptr)) != CL_SUCCESS) return e;
  auto g = std::make_unique<TC_GLOBALS>();
  station_ref s{};
  e = load_current(t, port, g.get(), &s);
  if (e == TC_WARN_NO_DATA && s.position == 0) return TC_WARN_NO_CURRENT_RECORD;
  if (e != CL_SUCCESS) return e;
  if (second_method(s)) {
    ba_current c;
    if ((e = load_ba_current(t, &s, &c)) != CL_SUCCESS) return e;
    e = tc_BADailyCurrents(c.tide.get(), c.rows.get(), date, daily);
  } else {
    e = tc_NOAADailyCurrents(g.get(), s.reference_position == 0, date, daily);
  }
  if (e != CL_SUCCESS) return e;
  post_process(t, daily->Curr, 11, true);
  return CL_SUCCESS;
}

ERRORCODE tc_GetCurrentByPortName(BPTABLE *t, const char *name, UT_DATETIME when, CURRENT *current) {
  return by_name(t, name, CURRENT_STATION, [&](ULONG port) { return tc_GetCurrentByPortCode(t, port, when, current); });
}

ERRORCODE tc_GetCurrentsByPortName(BPTABLE *t, const char *name, UT_DATETIME start, SINT span, UINT16 step,
                                   CURRENT *currents, SINT capacity) {
  return by_name(t, name, CURRENT_STATION, [&](ULONG port) { return tc_GetCurrentsByPortCode(t, port, start, span, step, currents, capacity); });
}

ERRORCODE tc_DailyCurrentsByPortName(BPTABLE *t, const char *name, UT_DATE day, DAILY_CURRENTS *daily) {
  return by_name(t, name, CURRENT_STATION, [&](ULONG port) { return tc_DailyCurrentsByPortCode(t, port, day, daily); });
}

ERRORCODE tc_GetTimeMeridian(BPTABLE *t, ULONG port, BOOL current, SLONG *meridian) {
  ERRORCODE e;
  if ((e = bp_SetFilterQualifier(t, GENERIC_SITE)) != CL_SUCCESS) return e;
  station_ref s{};
  if ((e = bp_GetItemId(t, current ? BP_ITEM_CURRENT_DATA : BP_ITEM_TIDE_DATA, &s.item_id)) != CL_SUCCESS) return e;
  e = bp_CheckPortDataService(t, port, s.item_id, &s.position);
  if (e != CL_SUCCESS && e != BP_WARN_QUALIFIER) return e;
  if (s.position == 0) return TC_WARN_NO_DATA;
  if ((e = bp_GetPortServiceDataInfo(t, s.item_id, s.position, &s.format, &s.length, &s.reference_item,
                                     &s.reference_position)) != CL_SUCCESS)
    return e;
  UC_BUFFER &b = t->HarmonicInfoTable.UC_Buffer;
  ULONG length;
  if ((e = bp_GetPortServiceData(t, s.item_id, s.position, &length, &b, 4)) != CL_SUCCESS) return e;
  // The station's own time meridian (seconds east), from its second word.
  CH_MEM_CURSOR c{b.Buff, 2, static_cast<ULONG>(b.Count < 0 ? 0 : b.Count)};
  *meridian = ch_ReadWordCache(&c) * 60;
  return CL_SUCCESS;
}

ERRORCODE tc_SetLocalTimeOffset(BPTABLE *t, UT_TIMEOFS offset) {
  t->HarmonicInfoTable.LocalTimeOffset = ut_timeofstosecs(offset);
  return CL_SUCCESS;
}

ERRORCODE tc_SetMagneticVariation(BPTABLE *t, DOUBLE variation) {
  t->HarmonicInfoTable.MagneticVariation = variation;
  return CL_SUCCESS;
}

// --- Sun and moon ------------------------------------------------------------------------------------

namespace {

bool clock_time(SLONG offset, int64_t t, UT_DATE *date, UT_TIME *time) {
  return t >= 0 && t <= 0xFFFFFFFFll && ut_time2date(static_cast<ULONG>(t), date, time, offset) == 0;
}

// Steps from sun event to sun event from t until one of the wanted kind at or after from; false when the
// next event lies beyond end, repeats, or does not exist. Each event's clock time goes to *out.
ERRORCODE step_to_sun_event(SLONG offset, int64_t *t, int64_t from, int64_t end, DOUBLE lat, DOUBLE lon,
                            int want_rise, UT_TIME *out, bool *found) {
  *found = false;
  for (int k = 0; k < 8; ++k) {
    const int64_t before = *t;
    int rising;
    const ERRORCODE e = tc_next_sun_event(t, lat, lon, 1, &rising);
    if (e == TC_WARN_NO_CROSSING) return CL_SUCCESS;
    if (e != CL_SUCCESS) return e;
    if (*t == before || *t > end) return CL_SUCCESS;
    UT_DATE d;
    if (!clock_time(offset, *t, &d, out)) return TC_WARN_BAD_DATE;
    if (rising == want_rise && *t >= from) {
      *found = true;
      return CL_SUCCESS;
    }
  }
  return CL_SUCCESS;
}

}  // namespace

ERRORCODE tc_GetSunriseSunset(SLONG offset, UT_DATE day, DOUBLE lat, DOUBLE lon, UT_TIME *sunrise, UT_TIME *sunset) {
  ULONG start;
  if (ut_date2time(offset, day, 0, &start) != 0) return TC_WARN_BAD_DATE;
  const int64_t end = static_cast<int64_t>(start) + 86400;
  int64_t t = start;
  bool rise, set;
  ERRORCODE e;
  if ((e = step_to_sun_event(offset, &t, start, end, lat, lon, 1, sunrise, &rise)) != CL_SUCCESS) return e;
  if (!rise) t = start;
  if ((e = step_to_sun_event(offset, &t, start, end, lat, lon, 0, sunset, &set)) != CL_SUCCESS) return e;
  if (rise && set) return CL_SUCCESS;
  if (!rise && !set) return TC_WARN_NO_SUN_EVENT;
  return rise ? TC_WARN_NO_SUNSET : TC_WARN_NO_SUNRISE;
}

ERRORCODE tc_GetMoonriseMoonset(SLONG offset, UT_DATE day, DOUBLE lat, DOUBLE lon, UT_TIME *moonrise,
                                UT_TIME *moonset) {
  ULONG start;
  if (ut_date2time(offset, day, 0, &start) != 0) return TC_WARN_BAD_DATE;
  int64_t first = start, second;
  int rising1 = 0, rising2 = 0;
  ERRORCODE e1 = tc_next_moon_event(&first, lat, lon, 1, &rising1);
  if (e1 != CL_SUCCESS && e1 != TC_WARN_NO_CROSSING) return e1;
  second = first;
  ERRORCODE e2 = e1 == CL_SUCCESS ? tc_next_moon_event(&second, lat, lon, 1, &rising2) : TC_WARN_NO_CROSSING;
  if (e2 != CL_SUCCESS && e2 != TC_WARN_NO_CROSSING) return e2;
  // A moon that does not cross the horizon has neither event on the day.
  const bool have1 = e1 == CL_SUCCESS, have2 = e2 == CL_SUCCESS;
  int64_t rise = -1, set = -1;
  if (have1 && have2) {
    rise = rising2 ? second : first;
    set = rising2 ? first : second;
  } else if (have1) {
    (rising1 ? rise : set) = first;
  }
  const SINT wanted = static_cast<SINT>(day / 10000);
  auto on_day = [&](int64_t t, UT_TIME *out) {
    UT_DATE d;
    UT_TIME tm;
    if (t < 0 || !clock_time(offset, t, &d, &tm)) return false;
    *out = tm;
    return static_cast<SINT>(d / 10000) == wanted;
  };
  const bool rise_ok = on_day(rise, moonrise), set_ok = on_day(set, moonset);
  if (rise_ok && set_ok) return CL_SUCCESS;
  if (!rise_ok && !set_ok) return TC_WARN_NO_MOON_EVENT;
  return rise_ok ? TC_WARN_NO_MOONSET : TC_WARN_NO_MOONRISE;
}

ERRORCODE tc_GetMoonPhase(SLONG offset, UT_DATETIME when, SINT *phase) {
  UT_DATE date;
  UT_TIME time;
  const ERRORCODE e = tc_SplitDateTime(when, &date, &time, nullptr, nullptr);
  if (e != CL_SUCCESS) return e;
  UT_DATETIME moment = when;
  return tc_GetPrevMoonPhase(offset, &moment, phase);
}

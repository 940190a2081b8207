// Station records: harmonic tides and currents, second-method tides and currents. Every size and count
// in a record comes from the chart card and is checked before it is used.
#include "chartlib/tide/tide_load.h"

#include "chartlib/tide/tide_util.h"

namespace {

constexpr ULONG HARMONIC_TIDE_HEAD = 36;
constexpr ULONG HARMONIC_CURRENT_HEAD = 44;
constexpr ULONG ROTARY_HEAD = 48;
constexpr ULONG SECONDARY_CURRENT_MAX = 64;
constexpr ULONG SECONDARY_TIDE_SIZE = 28;
constexpr ULONG BA_SECONDARY_MAX = 112;
constexpr ULONG BA_CURRENT_SIZE = 8 + 13 * 13;

HARMONICINFOTABLE &info(BPTABLE *t) { return t->HarmonicInfoTable; }

// Reads up to max bytes of a record's data into the table's buffer and puts a cursor on what was read.
ERRORCODE read_record(BPTABLE *t, UINT item, ULONG position, ULONG start, ULONG max, ULONG *length,
                      CH_MEM_CURSOR *cur) {
  UC_BUFFER &b = info(t).UC_Buffer;
  if (max > UC_BUFFER_SIZE) max = UC_BUFFER_SIZE;
  ULONG len = start;
  b.Count = 0;
  const ERRORCODE e = start == 0 ? bp_GetPortServiceData(t, item, position, &len, &b, max)
                                 : bp_GetPortServiceDataOffset(t, item, position, &len, &b, max);
  if (e != CL_SUCCESS) return e;
  ULONG have = b.Count < 0 ? 0 : static_cast<ULONG>(b.Count);
  if (have > max) have = max;
  if (len >= start && have > len - start) have = len - start;  // never past the record's data
  *cur = CH_MEM_CURSOR{b.Buff, 0, have};
  if (length != nullptr) *length = len;
  return CL_SUCCESS;
}

void seek(CH_MEM_CURSOR *c, ULONG offset) { c->Pos = offset; }

bool reaches(const CH_MEM_CURSOR &c, ULONG offset, ULONG size) { return c.Size >= offset + size; }

// A float field read only when the data holds it; otherwise the given default.
DOUBLE float_at(CH_MEM_CURSOR *c, ULONG offset, DOUBLE absent) {
  if (!reaches(*c, offset, 4)) return absent;
  seek(c, offset);
  return ch_ReadFloatCache(c);
}

DOUBLE none_as(DOUBLE v, DOUBLE replacement) { return IsNaF(&v) ? replacement : v; }

bool to_int(DOUBLE x, int32_t lo, int32_t hi, int32_t *out) { return !IsNaF(&x) && tc_TruncateToInt(x, lo, hi, out); }

// Degrees as stored to sixtieths of a degree in 16 bits.
bool to_sixtieths(DOUBLE degrees, SINT16 *out) {
  int32_t v;
  if (!to_int(degrees * 60.0 + 0.5, INT16_MIN, INT16_MAX, &v)) return false;
  *out = static_cast<SINT16>(v);
  return true;
}

SLONG meridian_of(CH_MEM_CURSOR *c) {
  seek(c, 2);
  return ch_ReadWordCache(c) * 60;
}

ERRORCODE reference_info(BPTABLE *t, UINT item, ULONG position, UINT16 *format, ULONG *length) {
  UINT ref_item;
  ULONG ref_position;
  return bp_GetPortServiceDataInfo(t, item, position, format, length, &ref_item, &ref_position);
}

// Amplitude and phase pairs from the cursor's position into components; zero (or missing) amplitudes are
// skipped and each kept pair keeps its own index.
ERRORCODE read_pairs(CH_MEM_CURSOR *c, int pairs, DOUBLE factor, tide_component *out, SINT *count) {
  *count = 0;
  for (int i = 0; i < pairs; ++i) {
    DOUBLE amplitude = ch_ReadFloatCache(c);
    const DOUBLE phase = ch_ReadFloatCache(c);
    if (IsNaF(&amplitude) || amplitude == 0) continue;
    int32_t a;
    if (i >= TC_CONSTITUENT_ROWS || IsNaF(&phase)) return TC_WARN_NO_DATA;  // no such constituent
    if (!to_int(amplitude * factor, 0, UINT16_MAX, &a)) return TC_WARN_NO_DATA;
    out[*count] = tide_component{tc_ToFixed(phase / 360.0), static_cast<UINT16>(a), static_cast<UINT16>(i)};
    ++*count;
  }
  return CL_SUCCESS;
}

// Mean level as a double and a truncated 16-bit value.
ERRORCODE read_mean(CH_MEM_CURSOR *c, ULONG offset, DOUBLE factor, DOUBLE *mean, SINT16 *datum) {
  seek(c, offset);
  const DOUBLE v = ch_ReadFloatCache(c) * factor;
  int32_t d;
  if (!to_int(v, INT16_MIN, INT16_MAX, &d)) return TC_WARN_NO_DATA;
  *mean = v;
  *datum = static_cast<SINT16>(d);
  return CL_SUCCESS;
}

int pair_count(ULONG length, ULONG head, ULONG pair_size) {
  return static_cast<int>((static_cast<int64_t>(length) - static_cast<int64_t>(head)) / pair_size);
}

}  // namespace

ERRORCODE tc_NOAATideDataLoad(TC_GLOBALS *g, UINT item_id, ULONG position, ULONG reference_position, ULONG *length,
                              UINT16 *format) {
  BPTABLE *t = g->table;
  HARMONICINFOTABLE &h = info(t);
  g->primary_tide.components = h.MHC.HarmonicComponentA;
  CH_MEM_CURSOR c;
  ERRORCODE e;
  const bool secondary = reference_position != 0;
  if (secondary) {
    if ((e = read_record(t, item_id, position, 0, SECONDARY_TIDE_SIZE, nullptr, &c)) != CL_SUCCESS) return e;
    secondary_tide_block &s = g->secondary_tide;
    g->own_meridian = s.meridian = meridian_of(&c);
    s.clock_offset = h.LocalTimeOffset - s.meridian;
    DOUBLE v[6];
    for (DOUBLE &x : v) IsNaN(&c, &x);
    g->time_differences[2] = v[0];
    g->time_differences[3] = v[3];
    g->speed_corrections[0] = v[1];
    g->speed_corrections[1] = v[4];
    int32_t n;
    s.hw_time = to_int(v[0] * 60, INT32_MIN, INT32_MAX, &n) ? n : 0;
    s.lw_time = to_int(v[3] * 60, INT32_MIN, INT32_MAX, &n) ? n : 0;
    s.hw_ratio = IsNaF(&v[1]) ? 0 : tc_ToFixed(v[1]);
    s.lw_ratio = IsNaF(&v[4]) ? 0 : tc_ToFixed(v[4]);
    UINT16 ref_format;
    if ((e = reference_info(t, item_id, reference_position, &ref_format, length)) != CL_SUCCESS) return e;
    if (tc_FormatMethod(ref_format) != 0) return TC_WARN_REFERENCE_METHOD;
    *format = ref_format;
    s.primary = &g->primary_tide;
    // Height differences in the reference station's unit.
    const DOUBLE factor = tc_FormatUnits(ref_format) == 1 ? 304.8 : 1000.0;
    const DOUBLE diffs[2] = {v[2], v[5]};
    SINT16 *mm[2] = {&s.hw_height, &s.lw_height};
    for (int k = 0; k < 2; ++k) {
      g->speed_corrections[2 + k] = diffs[k];
      *mm[k] = 0;
      if (IsNaF(&diffs[k])) continue;
      g->speed_corrections[2 + k] = diffs[k] * factor;
      if (!to_int(diffs[k] * factor + 0.5, INT16_MIN, INT16_MAX, &n)) return TC_WARN_NO_DATA;
      *mm[k] = static_cast<SINT16>(n);
    }
    position = reference_position;
  }
  const int pairs = pair_count(*length, HARMONIC_TIDE_HEAD, 8);
  h.num_cst = pairs;
  if (pairs > TC_MAX_COMPONENTS) return TC_WARN_TOO_MANY_CONSTITUENTS;
  if (*length < HARMONIC_TIDE_HEAD) return TC_WARN_NO_DATA;  // too short to hold the mean level
  if ((e = read_record(t, item_id, position, 0, HARMONIC_TIDE_HEAD + 8 * pairs, nullptr, &c)) != CL_SUCCESS)
    return e;
  const DOUBLE factor = tc_FormatUnits(*format) == 1 ? 304.8 : 1000.0;
  g->reference_meridian = g->primary_tide.meridian = meridian_of(&c);
  if (!secondary) g->own_meridian = g->reference_meridian;
  g->primary_tide.clock_offset = h.LocalTimeOffset - g->reference_meridian;
  g->clock_offset = h.LocalTimeOffset - g->own_meridian;
  seek(&c, 16);
  for (DOUBLE &level : g->levels)
    if (!IsNaN(&c, &level)) level *= factor;
  if ((e = read_mean(&c, 32, factor, &g->mean_level, &g->primary_tide.datum)) != CL_SUCCESS) return e;
  g->primary_tide.count = 0;
  return read_pairs(&c, pairs, factor, g->primary_tide.components, &g->primary_tide.count);
}

ERRORCODE tc_SecondaryCurrentDataLoad(TC_GLOBALS *g, UINT item_id, ULONG position, UC_BUFFER *) {
  BPTABLE *t = g->table;
  CH_MEM_CURSOR c;
  ERRORCODE e;
  ULONG length;
  if ((e = read_record(t, item_id, position, 0, SECONDARY_CURRENT_MAX, &length, &c)) != CL_SUCCESS) return e;
  secondary_current_block &s = g->secondary_current;
  g->own_meridian = s.meridian = meridian_of(&c);
  g->clock_offset = s.clock_offset = info(t).LocalTimeOffset - s.meridian;
  // Stored: slack before flood, maximum flood, slack before ebb, maximum ebb (minutes).
  DOUBLE v[4];
  for (DOUBLE &x : v) IsNaN(&c, &x);
  SLONG *secs[4] = {&s.slack_flood_time, &s.max_flood_time, &s.slack_ebb_time, &s.max_ebb_time};
  const int slot[4] = {0, 2, 1, 3};  // order of the working record: slacks first, then maxima
  for (int k = 0; k < 4; ++k) {
    int32_t n = 0;
    g->time_differences[slot[k]] = v[k];
    if (!IsNaF(&v[k])) {
      g->time_differences[slot[k]] = v[k] * 60.0;
      if (!to_int(v[k] * 60.0, INT32_MIN, INT32_MAX, &n)) return TC_WARN_NO_DATA;
    }
    *secs[k] = n;
  }
  DOUBLE flood_ratio, ebb_ratio;
  IsNaN(&c, &flood_ratio);
  IsNaN(&c, &ebb_ratio);
  g->speed_corrections[0] = flood_ratio;
  g->speed_corrections[1] = ebb_ratio;
  g->speed_corrections[2] = g->speed_corrections[3] = 0.0;
  s.flood_ratio = IsNaF(&flood_ratio) ? 0 : tc_ToFixed(flood_ratio);
  s.ebb_ratio = IsNaF(&ebb_ratio) ? 0 : tc_ToFixed(ebb_ratio);
  s.flood_speed_difference = s.ebb_speed_difference = 0;
  g->own_directions[0] = g->own_directions[1] = 0.0;
  s.flood_direction = s.ebb_direction = 0;
  if (length > 28) {
    // Each direction only when the record reaches it.
    g->own_directions[0] = none_as(float_at(&c, 44, 0.0), 0.0);
    g->own_directions[1] = none_as(float_at(&c, 60, 0.0), 0.0);
    if (!to_sixtieths(g->own_directions[0], &s.flood_direction) ||
        !to_sixtieths(g->own_directions[1], &s.ebb_direction))
      return TC_WARN_NO_DATA;
  }
  return CL_SUCCESS;
}

ERRORCODE tc_NOAACurrentDataLoad(TC_GLOBALS *g, UINT item_id, ULONG position, UINT reference_item,
                                 ULONG reference_position, ULONG *length, UINT16 *format) {
  BPTABLE *t = g->table;
  HARMONICINFOTABLE &h = info(t);
  current_block &p = g->primary_current, &q = g->second_current;
  q.set.components = h.MHC.HarmonicComponentB;
  p.set.components = h.MHC.HarmonicComponentA;
  ERRORCODE e;
  const bool secondary = reference_position != 0;
  if (secondary) {
    if ((e = tc_SecondaryCurrentDataLoad(g, item_id, position, &h.UC_Buffer)) != CL_SUCCESS) return e;
    if ((e = bp_GetItemId(t, reference_item, &item_id)) != CL_SUCCESS) return e;
    if ((e = reference_info(t, item_id, reference_position, format, length)) != CL_SUCCESS) return e;
    if (tc_FormatMethod(*format) != 0) return TC_WARN_REFERENCE_METHOD;
    g->secondary_current.corrected = &p;
    position = reference_position;
  }
  const bool squared = tc_FormatUnits(*format) == 2;
  const DOUBLE factor = squared ? 100.0 : 1000.0;
  p.speed_squared = q.speed_squared = squared ? 1 : 0;
  const bool rotary = tc_FormatCurrent(*format) != 0;
  const ULONG head = rotary ? ROTARY_HEAD : HARMONIC_CURRENT_HEAD;
  const int pairs = rotary ? pair_count(*length, ROTARY_HEAD, 16) : pair_count(*length, HARMONIC_CURRENT_HEAD, 8);
  h.num_cst = pairs;
  if (pairs > TC_MAX_COMPONENTS) return TC_WARN_TOO_MANY_CONSTITUENTS;
  if (*length < head) return TC_WARN_NO_DATA;
  CH_MEM_CURSOR c;
  const ULONG first_part = HARMONIC_CURRENT_HEAD + 8 * pairs;
  if ((e = read_record(t, item_id, position, 0, first_part, nullptr, &c)) != CL_SUCCESS) return e;
  g->reference_meridian = p.set.meridian = q.set.meridian = meridian_of(&c);
  if (!secondary) g->own_meridian = g->reference_meridian;
  p.set.clock_offset = q.set.clock_offset = h.LocalTimeOffset - g->reference_meridian;
  g->clock_offset = h.LocalTimeOffset - g->own_meridian;
  g->directions[0] = none_as(float_at(&c, 20, 0.0), 0.0);
  g->directions[1] = none_as(float_at(&c, 36, 0.0), 0.0);
  if (!to_sixtieths(g->directions[0], &p.flood_direction) || !to_sixtieths(g->directions[1], &p.ebb_direction))
    return TC_WARN_NO_DATA;
  q.flood_direction = p.flood_direction;
  q.ebb_direction = p.ebb_direction;
  if ((e = read_mean(&c, 40, factor, &g->mean_level, &p.set.datum)) != CL_SUCCESS) return e;
  p.set.count = 0;
  if ((e = read_pairs(&c, pairs, factor, p.set.components, &p.set.count)) != CL_SUCCESS) return e;
  if (!rotary) return CL_SUCCESS;

  // Second component: its mean and pairs follow the first component's pairs.
  ULONG offset = first_part;
  if ((e = read_record(t, item_id, position, offset, 4 + 8 * pairs, nullptr, &c)) != CL_SUCCESS) return e;
  if ((e = read_mean(&c, 0, factor, &g->second_mean, &q.set.datum)) != CL_SUCCESS) return e;
  q.set.count = 0;
  if ((e = read_pairs(&c, pairs, factor, q.set.components, &q.set.count)) != CL_SUCCESS) return e;
  rotary_pair &r = g->rotary;
  r.primary = &p;
  r.second = &q;
  r.flood_direction = p.flood_direction;
  r.ebb_direction = p.ebb_direction;
  r.first_direction = tc_FormatCurrent(*format) == 8 ? 0 : p.flood_direction;
  if (secondary) g->secondary_current.corrected = &r;
  return CL_SUCCESS;
}

namespace {

void fill(DOUBLE *v, int n, DOUBLE x) {
  for (int i = 0; i < n; ++i) v[i] = x;
}

// Storage of section k (1..14), value j (month or index), or nullptr when j is beyond it.
DOUBLE *section_value(BA_STATION *s, int k, int j) {
  if (k == 1) return j < 10 ? &s->section1[j] : nullptr;
  if (j >= 12) return nullptr;
  if (k >= 2 && k <= 9) return k % 2 == 0 ? &s->phases[j][(k - 2) / 2] : &s->amplitudes[j][(k - 3) / 2];
  if (k >= 10 && k <= 13) return &s->sections10to13[k - 10][j];
  return &s->section14[j];
}

void clear_sections(BA_STATION *s) {
  const DOUBLE none = tc_NoValue();
  fill(s->section1, 10, none);
  fill(&s->phases[0][0], 48, none);
  fill(&s->amplitudes[0][0], 48, none);
  fill(&s->sections10to13[0][0], 48, 0.0);
  fill(s->section14, 12, 0.0);
}

}  // namespace

ERRORCODE tc_BAExtraTideDataLoad(BA_STATION *s, UC_BUFFER *buffer, ULONG length) {
  ULONG have = buffer->Count < 0 ? 0 : static_cast<ULONG>(buffer->Count);
  if (have > length) have = length;
  CH_MEM_CURSOR c{buffer->Buff, 32, have};
  ULONG position = 32;
  for (int k = 1; k <= 14; ++k) {
    if (k == 14 && position + 1 > length) {
      fill(s->section14, 12, 0.0);
      break;
    }
    const SINT count = ch_ReadByteCache(&c);
    position += 1;
    for (int j = 0; j < count; ++j) {
      DOUBLE v = ch_ReadFloatCache(&c);
      DOUBLE *slot = section_value(s, k, j);
      if (slot == nullptr) return TC_WARN_NO_DATA;  // more values than the section holds
      *slot = (k >= 10 && k <= 13) ? none_as(v, 0.0) : v;
    }
    if (count < 0) return TC_WARN_NO_DATA;
    position += 4 * static_cast<ULONG>(count);
    if (count >= 2) s->section_flags |= static_cast<UINT16>(1u << (k - 1));
  }
  return CL_SUCCESS;
}

ERRORCODE tc_BATideDataLoad(BA_STATION *s, UINT item_id, ULONG position, ULONG reference_position, ULONG *length,
                            UINT16 *format) {
  BPTABLE *t = s->table;
  HARMONICINFOTABLE &h = info(t);
  s->section_flags = 0;
  CH_MEM_CURSOR c;
  ERRORCODE e;
  const bool secondary = reference_position != 0;
  if (secondary) {
    s->own_format = *format;
    ULONG own_length;
    if ((e = read_record(t, item_id, position, 0, BA_SECONDARY_MAX, &own_length, &c)) != CL_SUCCESS) return e;
    seek(&c, 16);
    for (int k = 0; k < 4; ++k) {
      DOUBLE reference, difference;
      if (!IsNaN(&c, &reference)) reference *= 60.0;
      if (!IsNaN(&c, &difference)) difference *= 60.0;
      s->times[k] = reference;
      s->times[4 + k] = difference;
    }
    for (DOUBLE &d : s->height_differences) IsNaN(&c, &d);
    for (int m = 0; m < 12; ++m) s->monthly_corrections[m] = none_as(float_at(&c, 64 + 4 * m, 0.0), 0.0);
    if ((e = reference_info(t, item_id, reference_position, format, length)) != CL_SUCCESS) return e;
    const UINT method = tc_FormatMethod(*format);
    if (method != 8 && method != 9) return TC_WARN_REFERENCE_METHOD;
    s->reference_format = *format;
    position = reference_position;
  }
  if ((e = read_record(t, item_id, position, 0, UC_BUFFER_SIZE, nullptr, &c)) != CL_SUCCESS) return e;
  s->meridian = meridian_of(&c);
  const DOUBLE factor = tc_FormatUnits(*format) == 1 ? 0.3048 : 1.0;
  if (secondary)
    for (DOUBLE &d : s->height_differences)
      if (!IsNaF(&d)) d *= factor;
  seek(&c, 16);
  for (DOUBLE &level : s->levels)
    if (!IsNaN(&c, &level)) level *= factor;
  clear_sections(s);
  if (tc_FormatMethod(*format) != 8) return tc_BAExtraTideDataLoad(s, &h.UC_Buffer, *length);
  seek(&c, 32);
  for (int k = 1; k <= 9; ++k) *section_value(s, k, 0) = ch_ReadFloatCache(&c);
  for (int k = 10; k <= 13; ++k) *section_value(s, k, 0) = none_as(ch_ReadFloatCache(&c), 0.0);
  if (*length > 88) {
    for (DOUBLE &v : s->section14) v = ch_ReadFloatCache(&c);
    s->section_flags |= 1u << 13;
  }
  return CL_SUCCESS;
}

ERRORCODE tc_GetGlobalCommonConstituents(BPTABLE *t) {
  HARMONICINFOTABLE &h = info(t);
  const ERRORCODE e = bp_GetCommonData(t, BP_COMMON_HARMONIC_KEY, h.UC_Buffer.Buff, 12);
  if (e != CL_SUCCESS) return e;
  CH_MEM_CURSOR c{h.UC_Buffer.Buff, 0, 12};
  h.first_year = static_cast<SINT>(ch_GetChUDblWordCache(&c));
  h.num_epochs = static_cast<SINT>(ch_GetChUDblWordCache(&c));
  h.max_cst = static_cast<SINT>(ch_GetChUDblWordCache(&c));
  return CL_SUCCESS;
}

ERRORCODE tc_BACurrentDataLoad(BA_STATION *s, BA_CURRENT_DATA *cd, UINT item_id, ULONG position,
                               UINT reference_item, ULONG reference_position, ULONG *length, UINT16 *format) {
  BPTABLE *t = s->table;
  ERRORCODE e;
  if ((e = tc_GetGlobalCommonConstituents(t)) != CL_SUCCESS) return e;
  CH_MEM_CURSOR c;
  if ((e = read_record(t, item_id, position, 0, BA_CURRENT_SIZE, nullptr, &c)) != CL_SUCCESS) return e;
  cd->meridian = meridian_of(&c);
  seek(&c, 8);
  for (auto &row : cd->rows) {
    row[0] = ch_ReadByteCache(&c);
    row[1] = ch_ReadWordCache(&c);
    row[2] = ch_ReadFloatCache(&c);
    row[3] = ch_ReadWordCache(&c);
    row[4] = ch_ReadFloatCache(&c);
    if (row[1] < 0 || IsNaF(&row[2]) || IsNaF(&row[4])) return TC_WARN_NO_DATA;
  }
  if (reference_position == 0) return CL_SUCCESS;
  UINT ref_id;
  if ((e = bp_GetItemId(t, reference_item, &ref_id)) != CL_SUCCESS) return e;
  if ((e = reference_info(t, ref_id, reference_position, format, length)) != CL_SUCCESS) return e;
  const UINT method = tc_FormatMethod(*format);
  if (method != 8 && method != 9) return TC_WARN_REFERENCE_METHOD;
  return tc_BATideDataLoad(s, ref_id, reference_position, 0, length, format);
}

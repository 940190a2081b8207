// Harmonic tide heights and extremes. Extremes are the zeros of the derivative sum, found by 3-hour steps
// and a secant-bisection search; two extremes less than 3 hours apart can be missed together.
#include "chartlib/tide/tide_predict.h"

namespace {

constexpr uint32_t SEARCH_LIMIT = 144000;  // 40 hours
constexpr uint32_t REFRESH = 1800;         // tide factors are reused within 30 minutes

uint32_t distance(uint32_t a, uint32_t b) { return a > b ? a - b : b - a; }

}  // namespace

int32_t round_times(fixed a, int32_t n) {
  const int64_t p = static_cast<int64_t>(a) * n;
  return static_cast<int32_t>(p >= 0 ? (p + 0x8000) >> 16 : -((0x8000 - p) >> 16));
}

void compute_local_tide_data(const constituent_set *set, component_term *terms, uint32_t t) {
  fixed factors[TC_TIDE_FACTOR_SLOTS];
  compute_global_tide_data(factors, t - static_cast<uint32_t>(set->meridian));
  set_tide_data(set, factors, terms);
}

void setup_derivative(const constituent_set *set, fixed *ratios, component_term *terms, uint32_t t) {
  compute_local_tide_data(set, terms, t);
  for (int i = 0; i < set->count; ++i) terms[i].amplitude = fixed_multiply(terms[i].amplitude, ratios[i]);
}

fixed evaluate_tide_derivative(const constituent_set *set, const component_term *terms, uint32_t t) {
  return compute_primary_derivative(set, terms, t);
}

void setup_derivative_op(const void *set, fixed *ratios, component_term *terms, uint32_t t) {
  setup_derivative(static_cast<const constituent_set *>(set), ratios, terms, t);
}

fixed evaluate_tide_derivative_op(const void *set, const component_term *terms, uint32_t t) {
  return compute_primary_derivative(static_cast<const constituent_set *>(set), terms, t);
}

uint32_t search_zero(const void *context, fixed *ratios, component_term *terms, uint32_t *s, uint32_t lo,
                     uint32_t hi, fixed v_lo, fixed v_hi, setup_operation setup, evaluate_operation evaluate) {
  while (hi - lo > 60) {
    const int32_t e = round_fixed_to_int(fixed_multiply_int(fixed_divide(v_lo, v_lo - v_hi), static_cast<int32_t>(hi - lo)));
    uint32_t m = lo + static_cast<uint32_t>((2 * e + static_cast<int32_t>((hi - lo) / 2)) / 3);
    if (m >= hi || m <= lo) m = lo + (hi - lo) / 2;
    if (distance(m, *s) > REFRESH) {
      setup(context, ratios, terms, m);
      *s = m;
    }
    const fixed v = evaluate(context, terms, m);
    if (v == 0) return m;
    if (fixed_same_sign(v, v_lo)) {
      lo = m;
      v_lo = v;
    } else {
      hi = m;
      v_hi = v;
    }
  }
  return lo + static_cast<uint32_t>(
                  round_fixed_to_int(fixed_multiply_int(fixed_divide(v_lo, v_lo - v_hi), static_cast<int32_t>(hi - lo))));
}

int32_t compute_primary_tide(const constituent_set *set, uint32_t t) {
  component_term terms[TC_MAX_COMPONENTS];
  compute_local_tide_data(set, terms, t);
  return round_fixed_to_int(sum_components(set, terms, t));
}

void compute_primary_tide_array(const constituent_set *set, uint32_t t0, uint32_t step, int count, int32_t *values) {
  component_term terms[TC_MAX_COMPONENTS];
  compute_local_tide_data(set, terms, t0);
  uint32_t last = t0;
  for (int k = 0; k < count; ++k) {
    const uint32_t t = t0 + static_cast<uint32_t>(k) * step;
    if (t - last > REFRESH) {
      compute_local_tide_data(set, terms, t);
      last = t;
    }
    values[k] = round_fixed_to_int(sum_components(set, terms, t));
  }
}

namespace {

// Derivative sums at t with the factors refreshed when t moved away from their time.
struct derivative {
  const constituent_set *set;
  fixed *ratios;
  component_term terms[TC_MAX_COMPONENTS];
  uint32_t s;
  derivative(const constituent_set *set_, fixed *ratios_, uint32_t t) : set(set_), ratios(ratios_), s(t) {
    compute_component_ratios(set, search_min_period(set), ratios);
    setup_derivative(set, ratios, terms, t);
  }
  fixed at(uint32_t t) {
    if (distance(t, s) > REFRESH) {
      setup_derivative(set, ratios, terms, t);
      s = t;
    }
    return compute_primary_derivative(set, terms, t);
  }
  uint32_t zero(uint32_t lo, uint32_t hi, fixed v_lo, fixed v_hi) {
    return search_zero(set, ratios, terms, &s, lo, hi, v_lo, v_hi, setup_derivative_op, evaluate_tide_derivative_op);
  }
};

}  // namespace

void next_primary_tide(tide_event *result, const constituent_set *set, uint32_t t, fixed *ratios) {
  if (t >= 0xFFFFFFFFu - SEARCH_LIMIT) {
    *result = {NOTIDE, t};
    return;
  }
  derivative d(set, ratios, t);
  const uint32_t limit = t + SEARCH_LIMIT;
  fixed d0;
  while ((d0 = d.at(t)) == 0) {
    t += 600;
    if (t >= limit) {
      *result = {NOTIDE, t};
      return;
    }
  }
  uint32_t t1;
  do {
    t1 = t + 10800;
    const fixed d1 = d.at(t1);
    const int type = d0 > 0 ? LOW_TIDE : HIGH_TIDE;
    if (d1 == 0) {
      *result = {type, t1};
      return;
    }
    if (!fixed_same_sign(d0, d1)) {
      *result = t1 >= limit ? tide_event{NOTIDE, t1} : tide_event{type, d.zero(t, t1, d0, d1)};
      return;
    }
    t = t1;
    d0 = d1;
  } while (t1 < limit);
  *result = {NOTIDE, t1};
}

void previous_primary_tide(tide_event *result, const constituent_set *set, uint32_t t, fixed *ratios) {
  if (t <= SEARCH_LIMIT) {
    *result = {NOTIDE, t};
    return;
  }
  derivative d(set, ratios, t);
  const uint32_t limit = t - SEARCH_LIMIT;
  fixed d_hi;
  while ((d_hi = d.at(t)) == 0) {
    t -= 600;
    if (t <= limit) {
      *result = {NOTIDE, t};
      return;
    }
  }
  uint32_t t1;
  do {
    t1 = t - 10800;
    const fixed d1 = d.at(t1);
    const int type = d_hi <= 0 ? LOW_TIDE : HIGH_TIDE;
    if (d1 == 0) {
      *result = {type, t1};
      return;
    }
    if (!fixed_same_sign(d1, d_hi)) {
      *result = t1 <= limit ? tide_event{NOTIDE, t1} : tide_event{type, d.zero(t1, t, d1, d_hi)};
      return;
    }
    t = t1;
    d_hi = d1;
  } while (t1 > limit);
  *result = {NOTIDE, t1};
}

// --- Extremes ring ---------------------------------------------------------------------------------

void update_extremes(extremes_array *r, uint32_t t) {
  const int k = (r->cursor + 6) % 12;
  int32_t lo = INT32_MAX, hi = INT32_MIN;
  for (int j = 1; j <= 10; ++j) {
    const int32_t v = r->e[(k + j) % 12].value;
    if (v < lo) lo = v;
    if (v > hi) hi = v;
  }
  const uint32_t cur = r->e[r->cursor].corrected, prev = r->e[r->previous].corrected;
  fixed ratio = 0x8000;
  if (cur != prev) {
    const uint32_t span = cur > prev ? cur - prev : 0;
    uint32_t left = cur > t ? cur - t : 0;
    if (left > span) left = span;
    ratio = span ? fixed_long_ratio(left, span) : 0x8000;
  }
  const int32_t oldest = r->e[k].value, newest = r->e[(k + 11) % 12].value;
  if (oldest > hi) hi = oldest + round_times(ratio, hi - oldest);
  if (oldest < lo) lo = oldest + round_times(ratio, lo - oldest);
  if (newest > hi) hi = hi + round_times(ratio, newest - hi);
  if (newest < lo) lo = lo + round_times(ratio, newest - lo);
  r->minimum = lo;
  r->maximum = hi;
}

void update_extremes_array(extremes_array *r, uint32_t t) {
  while (r->e[r->cursor].corrected < t) {
    const int k = (r->cursor + 6) % 12;
    const ring_entry &newest = r->e[(k + 11) % 12];
    if (r->ops.is_null(&newest)) return;  // nothing beyond: the window stays as it is
    ring_entry next;
    r->ops.next(r, &next, newest.reference + r->lead);
    r->e[k] = next;
    r->previous = r->cursor;
    r->cursor = (r->cursor + 1) % 12;
    r->ops.correct(r, k);
    r->ops.slack(r);
  }
  update_extremes(r, t);
}

void load_extremes_array(extremes_array *r, uint32_t t) {
  r->cursor = 6;
  r->previous = 5;
  r->ops.previous(r, &r->e[5], t);
  for (int i = 4; i >= 0; --i) r->ops.previous(r, &r->e[i], r->e[i + 1].reference - r->lead);
  for (int i = 6; i < 12; ++i) r->ops.next(r, &r->e[i], r->e[i - 1].reference + r->lead);
  for (ring_entry &e : r->e) e.corrected = e.reference;
  while (r->cursor < 11 && r->e[r->cursor].corrected < t) ++r->cursor;
  r->previous = r->cursor - 1;
  update_extremes(r, t);
  for (int i = 0; i < 12; ++i) r->ops.correct(r, i);
  while (r->cursor > 1 && r->e[r->cursor - 1].corrected > t) --r->cursor;
  r->previous = r->cursor - 1;
  r->ops.slack(r);
  update_extremes_array(r, t);
}

fixed height_factor(int32_t v, int32_t minimum, int32_t maximum) {
  if (v >= maximum) return FIXED_ONE;
  if (v <= minimum) return 0;
  if (v >= 0) return 0x8000 + fixed_long_ratio(static_cast<uint32_t>(v), 2u * static_cast<uint32_t>(maximum));
  return 0x8000 - fixed_long_ratio(static_cast<uint32_t>(-v), 2u * static_cast<uint32_t>(-minimum));
}

// --- Secondary tides -------------------------------------------------------------------------------

namespace {

const secondary_tide_block *tide_block(const extremes_array *r) {
  return static_cast<const secondary_tide_block *>(r->station);
}

void search_next_tide_extreme(extremes_array *r, ring_entry *out, uint32_t t) {
  tide_event e;
  next_primary_tide(&e, r->set, t, r->ratios);
  *out = ring_entry{e.time, e.time, e.type, compute_primary_tide(r->set, e.time), 0};
}

void search_previous_tide_extreme(extremes_array *r, ring_entry *out, uint32_t t) {
  tide_event e;
  previous_primary_tide(&e, r->set, t, r->ratios);
  *out = ring_entry{e.time, e.time, e.type, compute_primary_tide(r->set, e.time), 0};
}

bool is_null_tide_extreme(const ring_entry *e) { return e->type == NOTIDE; }

void compute_secondary_tide_time(extremes_array *r, int i) {
  const secondary_tide_block *b = tide_block(r);
  ring_entry &e = r->e[i];
  const fixed a = height_factor(e.value, r->minimum, r->maximum);
  const int32_t offset = b->lw_time + round_times(a, b->hw_time - b->lw_time);
  e.corrected = e.reference + static_cast<uint32_t>(offset);
}

void skip_slack_search(extremes_array *) {}


}  // namespace

// Reference time of a secondary time, between the previous and the cursor entries.
uint32_t map_to_reference(const extremes_array *r, uint32_t t) {
  const ring_entry &p = r->e[r->previous], &q = r->e[r->cursor];
  if (q.corrected == p.corrected) return p.reference - 1;
  const int64_t num = (static_cast<int64_t>(q.reference) - p.reference) * (static_cast<int64_t>(t) - p.corrected);
  return p.reference + static_cast<uint32_t>(num / (static_cast<int64_t>(q.corrected) - p.corrected));
}

void setup_tide_ring(extremes_array *r, const secondary_tide_block *block, fixed *ratios) {
  r->lead = 10800;
  r->station = block;
  r->set = block->primary;
  r->ratios = ratios;
  r->ops = extremes_ops{search_next_tide_extreme, search_previous_tide_extreme, is_null_tide_extreme,
                        compute_secondary_tide_time, skip_slack_search};
}

int32_t secondary_tide_height(const secondary_tide_block *b, int32_t v, fixed a) {
  const int32_t offset = round_times(a, b->hw_height - b->lw_height);
  const fixed g = fixed_add(fixed_multiply(a, fixed_subtract(b->hw_ratio, b->lw_ratio)), b->lw_ratio);
  return b->lw_height + offset + round_times(g, v);
}

void next_secondary_tides(const secondary_tide_block *block, uint32_t t, ring_entry *results, int n, fixed *ratios) {
  extremes_array ring;
  setup_tide_ring(&ring, block, ratios);
  load_extremes_array(&ring, t);
  for (int i = 0; i < n; ++i) {
    update_extremes_array(&ring, ring.e[ring.cursor].corrected);
    const ring_entry &e = ring.e[ring.cursor];
    results[i] = e;
    results[i].value = secondary_tide_height(block, e.value, height_factor(e.value, ring.minimum, ring.maximum));
    update_extremes_array(&ring, e.corrected + 10800);
  }
}

void compute_secondary_tide_array(const secondary_tide_block *block, uint32_t t0, uint32_t step, int count,
                                  int32_t *values, fixed *ratios) {
  extremes_array ring;
  setup_tide_ring(&ring, block, ratios);
  load_extremes_array(&ring, t0);
  component_term terms[TC_MAX_COMPONENTS];
  uint32_t last = map_to_reference(&ring, t0);
  compute_local_tide_data(block->primary, terms, last);
  uint32_t t = t0;
  for (int k = 0; k < count; ++k, t += step) {
    update_extremes_array(&ring, t);
    const uint32_t m = map_to_reference(&ring, t);
    if (m > last && m - last > REFRESH) {
      compute_local_tide_data(block->primary, terms, m);
      last = m;
    }
    const int32_t v = round_fixed_to_int(sum_components(block->primary, terms, m));
    values[k] = secondary_tide_height(block, v, height_factor(v, ring.minimum, ring.maximum));
  }
}

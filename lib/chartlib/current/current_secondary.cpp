// Secondary reversing currents: the reference station's strengths and slacks, moved by the station's time
// offsets and scaled by its speed ratios, mixed by where a reference speed lies between ebb and flood.
#include "chartlib/current/current_predict.h"
#include "chartlib/tide/tide_interface.h"

namespace {

constexpr uint32_t REFRESH = 1800;

const secondary_current_block *sec(const extremes_array *r) {
  return static_cast<const secondary_current_block *>(r->station);
}
const current_block *reference(const extremes_array *r) {
  return static_cast<const current_block *>(sec(r)->corrected);
}

void search_next_current_extreme(extremes_array *r, ring_entry *out, uint32_t t) {
  tide_event e;
  next_primary_tide(&e, r->set, t, r->ratios);
  *out = ring_entry{e.time, e.time, e.type, compute_primary_current(reference(r), e.time), 0};
}

void search_previous_current_extreme(extremes_array *r, ring_entry *out, uint32_t t) {
  tide_event e;
  previous_primary_tide(&e, r->set, t, r->ratios);
  *out = ring_entry{e.time, e.time, e.type, compute_primary_current(reference(r), e.time), 0};
}

bool is_null_extreme(const ring_entry *e) { return e->type == NOTIDE; }

void compute_secondary_current_time(extremes_array *r, int i) {
  const secondary_current_block *b = sec(r);
  ring_entry &e = r->e[i];
  const bool flood = e.type == HIGH_TIDE;
  const int32_t w = flood ? e.value : -e.value;
  const int32_t m = flood ? r->maximum : -r->minimum;
  const int32_t strength = flood ? b->max_flood_time : b->max_ebb_time;
  int32_t offset = strength;
  if (w < m) {
    const int32_t mean = (b->slack_flood_time + b->slack_ebb_time) / 2;
    offset = mean;
    if (w >= 0) offset += round_times(fixed_long_ratio(static_cast<uint32_t>(w), static_cast<uint32_t>(m)), strength - mean);
  }
  e.corrected = e.reference + static_cast<uint32_t>(offset);
}

void search_current_slack(extremes_array *r) {
  const secondary_current_block *b = sec(r);
  const ring_entry &p = r->e[r->previous], &q = r->e[r->cursor];
  tide_event e;
  next_primary_current(&e, reference(r), p.reference + 300, r->ratios);
  if (e.type == SLACK_BEFORE_FLOOD || e.type == SLACK_BEFORE_EBB) {
    r->slack_reference = e.time;
    r->slack_corrected = e.time + static_cast<uint32_t>(e.type == SLACK_BEFORE_FLOOD ? b->slack_flood_time
                                                                                     : b->slack_ebb_time);
  } else {
    r->slack_reference = static_cast<uint32_t>((static_cast<uint64_t>(p.reference) + q.reference) / 2);
    r->slack_corrected = static_cast<uint32_t>((static_cast<uint64_t>(p.corrected) + q.corrected) / 2);
  }
}

uint32_t interpolate(uint32_t from_ref, uint32_t to_ref, uint32_t from_corr, uint32_t to_corr, uint32_t t) {
  if (to_corr == from_corr) return from_ref - 1;
  const int64_t num = (static_cast<int64_t>(to_ref) - from_ref) * (static_cast<int64_t>(t) - from_corr);
  return from_ref + static_cast<uint32_t>(num / (static_cast<int64_t>(to_corr) - from_corr));
}

struct secondary_context {
  const secondary_current_block *block;
  const extremes_array *ring;
};

void setup_secondary_current(const void *ctx, fixed *, component_term *terms, uint32_t t) {
  const auto *c = static_cast<const secondary_context *>(ctx);
  compute_local_tide_data(&reference(c->ring)->set, terms, map_current_time(c->ring, t));
}

fixed evaluate_secondary_current(const void *ctx, const component_term *terms, uint32_t t) {
  const auto *c = static_cast<const secondary_context *>(ctx);
  const int32_t v = round_fixed_to_int(sum_current_components(reference(c->ring), terms, map_current_time(c->ring, t)));
  return int_to_fixed(secondary_current_speed(c->ring, v));
}

}  // namespace

void setup_current_ring(extremes_array *r, const secondary_current_block *block, fixed *ratios) {
  r->lead = 3600;
  r->station = block;
  r->set = &static_cast<const current_block *>(block->corrected)->set;
  r->ratios = ratios;
  r->ops = extremes_ops{search_next_current_extreme, search_previous_current_extreme, is_null_extreme,
                        compute_secondary_current_time, search_current_slack};
}

int32_t secondary_current_speed(const extremes_array *r, int32_t v) {
  const secondary_current_block *b = sec(r);
  const fixed a = height_factor(v, r->minimum, r->maximum);
  const int32_t offset = b->ebb_speed_difference + round_times(a, b->flood_speed_difference - b->ebb_speed_difference);
  const fixed ratio = fixed_add(fixed_multiply(a, fixed_subtract(b->flood_ratio, b->ebb_ratio)), b->ebb_ratio);
  return offset + round_times(ratio, v);
}

uint32_t map_current_time(const extremes_array *r, uint32_t t) {
  const ring_entry &p = r->e[r->previous], &q = r->e[r->cursor];
  if (t < r->slack_corrected) return interpolate(p.reference, r->slack_reference, p.corrected, r->slack_corrected, t);
  return interpolate(r->slack_reference, q.reference, r->slack_corrected, q.corrected, t);
}

void compute_secondary_current_array(const secondary_current_block *block, uint32_t t0, uint32_t step, int count,
                                     int32_t *values, fixed *ratios) {
  extremes_array ring;
  setup_current_ring(&ring, block, ratios);
  load_extremes_array(&ring, t0);
  const current_block *ref = reference(&ring);
  component_term terms[TC_MAX_COMPONENTS];
  uint32_t last = map_current_time(&ring, t0);
  compute_local_tide_data(&ref->set, terms, last);
  uint32_t t = t0;
  for (int k = 0; k < count; ++k, t += step) {
    update_extremes_array(&ring, t);
    const uint32_t m = map_current_time(&ring, t);
    if (m > last && m - last > REFRESH) {
      compute_local_tide_data(&ref->set, terms, m);
      last = m;
    }
    values[k] = secondary_current_speed(&ring, round_fixed_to_int(sum_current_components(ref, terms, m)));
  }
}

void next_secondary_currents(const secondary_current_block *block, uint32_t t, ring_entry *results, int n,
                             fixed *ratios) {
  extremes_array ring;
  setup_current_ring(&ring, block, ratios);
  load_extremes_array(&ring, t);
  const secondary_context ctx{block, &ring};
  component_term terms[TC_MAX_COMPONENTS];
  setup_secondary_current(&ctx, ratios, terms, t);
  int32_t previous_speed = round_fixed_to_int(evaluate_secondary_current(&ctx, terms, t));
  uint32_t previous_time = t;
  for (int i = 0; i < n;) {
    update_extremes_array(&ring, ring.e[ring.cursor].corrected);
    const ring_entry &e = ring.e[ring.cursor];
    ring_entry event{e.reference, e.corrected, NOCURR, 0, 0};
    if (e.type == HIGH_TIDE || e.type == LOW_TIDE) {
      event.type = e.type == HIGH_TIDE ? MAX_FLOOD : MAX_EBB;
      event.value = secondary_current_speed(&ring, e.value);
    }
    if (!int_same_sign(event.value, previous_speed)) {
      // A slack lies between: found on the secondary speed itself.
      uint32_t s = previous_time;
      setup_secondary_current(&ctx, ratios, terms, s);
      const uint32_t at = search_zero(&ctx, ratios, terms, &s, previous_time, event.corrected,
                                      int_to_fixed(previous_speed), int_to_fixed(event.value),
                                      setup_secondary_current, evaluate_secondary_current);
      results[i++] = ring_entry{at, at, event.type == MAX_FLOOD ? SLACK_BEFORE_FLOOD : SLACK_BEFORE_EBB, 0, 0};
      if (i == n) break;
    }
    results[i++] = event;
    previous_speed = event.value;
    previous_time = event.corrected;
    update_extremes_array(&ring, event.corrected + 3600);
  }
}

// Secondary rotary currents: the reference's rotary events moved in time and speed by the secondary's
// corrections, and its direction turned between the secondary's own flood and ebb directions.
#include "chartlib/current/current_predict.h"
#include "chartlib/tide/tide_interface.h"

#include <utility>

namespace {

constexpr int32_t CIRCLE = 21600;

const secondary_current_block *sec(const extremes_array *r) {
  return static_cast<const secondary_current_block *>(r->station);
}
const rotary_pair *pair_of(const extremes_array *r) { return static_cast<const rotary_pair *>(sec(r)->corrected); }

void fill(ring_entry *out, const rotary_event &e) { *out = ring_entry{e.time, e.time, e.type, e.speed, e.direction}; }

void search_next_rotary_extreme(extremes_array *r, ring_entry *out, uint32_t t) {
  rotary_event e;
  next_primary_rotary(&e, pair_of(r), t, r->ratios);
  fill(out, e);
}

void search_previous_rotary_extreme(extremes_array *r, ring_entry *out, uint32_t t) {
  rotary_event e;
  previous_primary_rotary(&e, pair_of(r), t, r->ratios);
  fill(out, e);
}

bool is_null_rotary(const ring_entry *e) { return e->type == NOCURR; }

void skip_slack(extremes_array *) {}

// Where v lies between the window's minimum and maximum, 0 to 1.
fixed position(const extremes_array *r, int32_t v) {
  if (v <= r->minimum) return 0;
  if (v >= r->maximum) return FIXED_ONE;
  return fixed_long_ratio(static_cast<uint32_t>(v - r->minimum), static_cast<uint32_t>(r->maximum - r->minimum));
}

void compute_secondary_rotary_time(extremes_array *r, int i) {
  const secondary_current_block *b = sec(r);
  ring_entry &e = r->e[i];
  const int32_t slacks = (b->slack_flood_time + b->slack_ebb_time) / 2;
  const int32_t strengths = (b->max_flood_time + b->max_ebb_time) / 2;
  int32_t base = strengths, span = 0;
  switch (e.type) {
    case MAX_FLOOD: base = slacks, span = b->max_flood_time - base; break;
    case MAX_EBB: base = slacks, span = b->max_ebb_time - base; break;
    case SLACK_BEFORE_FLOOD: base = b->slack_flood_time, span = strengths - base; break;
    case SLACK_BEFORE_EBB: base = b->slack_ebb_time, span = strengths - base; break;
    default: break;
  }
  const fixed f = r->maximum == r->minimum ? 0x8000 : position(r, e.value);
  e.corrected = e.reference + static_cast<uint32_t>(base + round_times(f, span));
}

}  // namespace

void setup_rotary_ring(extremes_array *r, const secondary_current_block *block, fixed *ratios) {
  r->lead = 3600;
  r->station = block;
  r->set = &static_cast<const rotary_pair *>(block->corrected)->primary->set;
  r->ratios = ratios;
  r->ops = extremes_ops{search_next_rotary_extreme, search_previous_rotary_extreme, is_null_rotary,
                        compute_secondary_rotary_time, skip_slack};
}

int32_t secondary_rotary_speed(const extremes_array *r, int32_t v) {
  const secondary_current_block *b = sec(r);
  const fixed d = r->maximum == r->minimum ? 0x8000 : position(r, v);
  const int type = r->e[r->cursor].type;
  fixed a = 0x8000;
  if (type == MAX_FLOOD || type == SLACK_BEFORE_EBB) a = 0x8000 + d / 2;
  if (type == MAX_EBB || type == SLACK_BEFORE_FLOOD) a = 0x8000 - d / 2;
  const int32_t offset = b->ebb_speed_difference + round_times(a, b->flood_speed_difference - b->ebb_speed_difference);
  const fixed ratio = fixed_add(fixed_multiply(a, fixed_subtract(b->flood_ratio, b->ebb_ratio)), b->ebb_ratio);
  return offset + round_times(ratio, v);
}

int32_t secondary_rotary_direction(const extremes_array *r, int32_t x) {
  const ring_entry *current = &r->e[r->cursor];
  if (current->type == SLACK_BEFORE_FLOOD || current->type == SLACK_BEFORE_EBB) current = &r->e[(r->cursor + 1) % 12];
  const ring_entry &earlier = r->e[r->previous];
  if (current->type == NOCURR || earlier.type == NOCURR) return 10800;
  int32_t d = current->direction, e = earlier.direction, k = current->type;
  if ((d < e && (x >= e || x <= d)) || (d >= e && e <= x && x <= d)) {
    k = k < 2 ? 1 - k : 0;
    if (e < d) {
      std::swap(d, e);
    } else {
      const int32_t old_d = d;
      d = e;
      e = old_d + CIRCLE;
    }
  } else if (d >= e) {
    e += CIRCLE;
  }
  const int32_t below = x < d ? CIRCLE : 0;
  const int32_t num = e - x - below, den = e - d;
  const fixed f = den > 0 && num >= 0 && num <= den ? fixed_long_ratio(static_cast<uint32_t>(num), static_cast<uint32_t>(den))
                                                   : (num <= 0 ? 0 : FIXED_ONE);
  const secondary_current_block *b = sec(r);
  const int32_t h = k == 0 ? b->flood_direction : b->ebb_direction;
  const int32_t g = k == 0 ? b->ebb_direction : b->flood_direction;
  const int32_t l = g < h ? g + CIRCLE : g;
  int32_t direction = l - round_times(f, l - h);
  if (direction > CIRCLE) direction -= CIRCLE;
  return direction;
}

void next_secondary_rotaries(const secondary_current_block *block, uint32_t t, ring_entry *results, int n,
                             fixed *ratios) {
  extremes_array ring;
  setup_rotary_ring(&ring, block, ratios);
  load_extremes_array(&ring, t);
  for (int i = 0; i < n; ++i) {
    update_extremes_array(&ring, ring.e[ring.cursor].corrected);
    const ring_entry &e = ring.e[ring.cursor];
    results[i] = ring_entry{e.reference, e.corrected, e.type, secondary_rotary_speed(&ring, e.value),
                            secondary_rotary_direction(&ring, e.direction)};
    update_extremes_array(&ring, e.corrected + 3600);
  }
}

void compute_secondary_rotary_array(const secondary_current_block *block, uint32_t t0, uint32_t step, int count,
                                    rotary_result *results, UCHAR *types, fixed *ratios) {
  extremes_array ring;
  setup_rotary_ring(&ring, block, ratios);
  load_extremes_array(&ring, t0);
  const rotary_pair *p = pair_of(&ring);
  uint32_t t = t0;
  for (int k = 0; k < count; ++k, t += step) {
    update_extremes_array(&ring, t);
    const uint32_t m = map_to_reference(&ring, t);
    rotary_result v;
    compute_primary_rotary(&v, p, m);
    results[k] = rotary_result{secondary_rotary_direction(&ring, v.direction), secondary_rotary_speed(&ring, v.speed)};
    types[k] = identify_rotary(ring.e[ring.cursor].type);
  }
}

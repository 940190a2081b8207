// Rotary currents: speed and direction of the vector of two component sets; events are the strongest
// local extremes of speed, typed by the half-circle their direction lies in.
#include "chartlib/current/current_predict.h"
#include "chartlib/tide/tide_interface.h"

namespace {

constexpr uint32_t REFRESH = 1800;
constexpr uint32_t LIMIT = 108000;  // 30 hours
constexpr int32_t CIRCLE = 21600;

uint32_t distance(uint32_t a, uint32_t b) { return a > b ? a - b : b - a; }

struct rotary_terms {
  component_term a[TC_MAX_COMPONENTS], b[TC_MAX_COMPONENTS];    // the two components
  component_term da[TC_MAX_COMPONENTS], db[TC_MAX_COMPONENTS];  // times the speed ratios
};

struct rotary_context {
  const rotary_pair *pair;
  rotary_terms *terms;
};

void prepare(const rotary_pair *p, rotary_terms *t, uint32_t time) {
  compute_local_tide_data(&p->primary->set, t->a, time);
  compute_local_tide_data(&p->second->set, t->b, time);
}

void setup_rotary(const void *ctx, fixed *ratios, component_term *, uint32_t time) {
  const auto *c = static_cast<const rotary_context *>(ctx);
  const rotary_pair *p = c->pair;
  rotary_terms *t = c->terms;
  prepare(p, t, time);
  for (int i = 0; i < p->primary->set.count; ++i) {
    t->da[i] = t->a[i];
    t->da[i].amplitude = fixed_multiply(t->a[i].amplitude, ratios[i]);
  }
  for (int i = 0; i < p->second->set.count; ++i) {
    t->db[i] = t->b[i];
    t->db[i].amplitude = fixed_multiply(t->b[i].amplitude, ratios[TC_MAX_COMPONENTS + i]);
  }
}

// Minus the rate of change of the squared speed, scaled down to stay within 32 bits.
fixed compute_rotary_derivative(const void *ctx, const component_term *, uint32_t time) {
  const auto *c = static_cast<const rotary_context *>(ctx);
  const constituent_set *a = &c->pair->primary->set, *b = &c->pair->second->set;
  const rotary_terms *t = c->terms;
  return fixed_add(fixed_multiply(fixed_scale(compute_primary_derivative(a, t->da, time), 128),
                                  fixed_scale(sum_components(a, t->a, time), 128)),
                   fixed_multiply(fixed_scale(compute_primary_derivative(b, t->db, time), 128),
                                  fixed_scale(sum_components(b, t->b, time), 128)));
}

// The squared-speed derivative of a pair, with ratios for the faster of its two fastest constituents and
// terms refreshed when the time moves more than 1800 s.
struct rotary_derivative {
  fixed *ratios;
  rotary_terms terms;
  rotary_context ctx;
  uint32_t s;
  rotary_derivative(const rotary_pair *p, fixed *ratios_, uint32_t t) : ratios(ratios_), ctx{p, &terms}, s(t) {
    const int row = min_period_index(search_min_period(&p->primary->set), search_min_period(&p->second->set));
    compute_component_ratios(&p->primary->set, row, ratios);
    compute_component_ratios(&p->second->set, row, ratios + TC_MAX_COMPONENTS);
    setup_rotary(&ctx, ratios, nullptr, t);
  }
  fixed at(uint32_t x) {
    if (distance(x, s) > REFRESH) setup_rotary(&ctx, ratios, nullptr, s = x);
    return compute_rotary_derivative(&ctx, nullptr, x);
  }
  uint32_t zero(uint32_t lo, uint32_t hi, fixed v_lo, fixed v_hi) {
    return search_zero(&ctx, ratios, nullptr, &s, lo, hi, v_lo, v_hi, setup_rotary, compute_rotary_derivative);
  }
};

rotary_result vector_of(const rotary_pair *p, const rotary_terms *t, uint32_t time) {
  fixed angle, length;
  cartesian_to_polar(sum_components(&p->primary->set, t->a, time), sum_components(&p->second->set, t->b, time), &angle,
                     &length);
  const int32_t speed = round_fixed_to_int(length);
  if (speed == 0) return {0, 0};
  int32_t direction = p->first_direction + round_times(angle & 0xFFFF, CIRCLE);
  while (direction > CIRCLE - 1) direction -= CIRCLE;
  return {direction, speed};
}

// Strictly inside the ebb half-circle.
bool in_ebb(const rotary_pair *p, int32_t direction) {
  const int32_t f = p->flood_direction, e = p->ebb_direction, mid = (e + f) / 2;
  const int32_t from = e < f ? (mid + CIRCLE / 2) % CIRCLE : mid % CIRCLE;
  const int32_t offset = ((direction - from) % CIRCLE + CIRCLE) % CIRCLE;
  return offset > 0 && offset < CIRCLE / 2;
}

}  // namespace

void compute_primary_rotary(rotary_result *result, const rotary_pair *p, uint32_t t) {
  rotary_terms terms;
  prepare(p, &terms, t);
  *result = vector_of(p, &terms, t);
}

void compute_primary_rotary_array(const rotary_pair *p, uint32_t t0, uint32_t step, int count, rotary_result *out) {
  rotary_terms terms;
  prepare(p, &terms, t0);
  uint32_t last = t0;
  for (int k = 0; k < count; ++k) {
    const uint32_t t = t0 + static_cast<uint32_t>(k) * step;
    if (t - last > REFRESH) {
      prepare(p, &terms, t);
      last = t;
    }
    out[k] = vector_of(p, &terms, t);
  }
}

void next_local_primary_rotary(tide_event *result, const rotary_pair *p, uint32_t t, fixed *ratios) {
  rotary_derivative d(p, ratios, t);
  const uint32_t limit = t + LIMIT;
  fixed g0;
  while ((g0 = d.at(t)) == 0) {
    t += 600;
    if (t >= limit) {
      *result = {NOCURR, t};
      return;
    }
  }
  for (uint32_t t1 = t + 3600; t1 < limit; t = t1, t1 += 3600) {
    const fixed g1 = d.at(t1);
    const int type = g0 > 0 ? 2 : 0;
    if (g1 == 0) {
      *result = {type, t1};
      return;
    }
    if (!fixed_same_sign(g0, g1)) {
      *result = {type, d.zero(t, t1, g0, g1)};
      return;
    }
    g0 = g1;
  }
  *result = {NOCURR, limit};
}

void previous_local_primary_rotary(tide_event *result, const rotary_pair *p, uint32_t t, fixed *ratios) {
  rotary_derivative d(p, ratios, t);
  if (t <= LIMIT) {
    *result = {NOCURR, t};
    return;
  }
  const uint32_t limit = t - LIMIT;
  fixed g_hi;
  while ((g_hi = d.at(t)) == 0) {
    t -= 600;
    if (t <= limit) {
      *result = {NOCURR, t};
      return;
    }
  }
  for (uint32_t t1 = t - 3600; t1 > limit; t = t1, t1 -= 3600) {
    const fixed g1 = d.at(t1);
    const int type = g_hi > 0 ? 0 : 2;  // falling after the extreme: it was a maximum
    if (g1 == 0) {
      *result = {type, t1};
      return;
    }
    if (!fixed_same_sign(g1, g_hi)) {
      *result = {type, d.zero(t1, t, g1, g_hi)};
      return;
    }
    g_hi = g1;
  }
  *result = {NOCURR, limit};
}

void next_primary_rotary(rotary_event *result, const rotary_pair *p, uint32_t t, fixed *ratios) {
  uint32_t a = t - 11400;
  rotary_event kept{};
  for (int guard = 0; guard < 64; ++guard) {
    tide_event local;
    next_local_primary_rotary(&local, p, a + 600, ratios);
    if (local.type == NOCURR) {
      *result = {NOCURR, local.time, 0, 0};
      return;
    }
    rotary_result v;
    compute_primary_rotary(&v, p, local.time);
    kept = {local.type, local.time, v.direction, v.speed};
    // Keep the strongest extreme of its kind among those that follow within 3 hours.
    uint32_t from = local.time;
    for (int k = 0; k < 16; ++k) {
      tide_event n;
      next_local_primary_rotary(&n, p, from + 600, ratios);
      if (n.type == NOCURR || n.time - kept.time > 10800) break;
      from = n.time;
      if (n.type != kept.type) continue;
      rotary_result w;
      compute_primary_rotary(&w, p, n.time);
      if (kept.type == 0 ? w.speed > kept.speed : w.speed < kept.speed) kept = {n.type, n.time, w.direction, w.speed};
    }
    if (kept.time > t) break;
    a = kept.time;
  }
  kept.type = identify_rotary_event(&kept, p, ratios);
  *result = kept;
}

void previous_primary_rotary(rotary_event *result, const rotary_pair *p, uint32_t t, fixed *ratios) {
  uint32_t a = t + 11400;
  rotary_event kept{};
  for (int guard = 0; guard < 64; ++guard) {
    tide_event local;
    previous_local_primary_rotary(&local, p, a - 600, ratios);
    if (local.type == NOCURR) {
      *result = {NOCURR, local.time, 0, 0};
      return;
    }
    rotary_result v;
    compute_primary_rotary(&v, p, local.time);
    kept = {local.type, local.time, v.direction, v.speed};
    uint32_t from = local.time;
    for (int k = 0; k < 16; ++k) {
      tide_event n;
      previous_local_primary_rotary(&n, p, from - 600, ratios);
      if (n.type == NOCURR || kept.time - n.time > 10800) break;
      from = n.time;
      if (n.type != kept.type) continue;
      rotary_result w;
      compute_primary_rotary(&w, p, n.time);
      if (kept.type == 0 ? w.speed > kept.speed : w.speed < kept.speed) kept = {n.type, n.time, w.direction, w.speed};
    }
    if (kept.time < t) break;
    a = kept.time;
  }
  kept.type = identify_rotary_event(&kept, p, ratios);
  *result = kept;
}

int identify_rotary_event(const rotary_event *e, const rotary_pair *p, fixed *ratios) {
  if (e->type == 0) return in_ebb(p, e->direction) ? MAX_EBB : MAX_FLOOD;
  tide_event next;
  next_local_primary_rotary(&next, p, e->time + 3600, ratios);
  rotary_result v;
  compute_primary_rotary(&v, p, next.time);
  return in_ebb(p, v.direction) ? SLACK_BEFORE_EBB : SLACK_BEFORE_FLOOD;
}

UCHAR identify_rotary(int type) {
  if (type == MAX_FLOOD || type == SLACK_BEFORE_EBB) return FLOOD_CURRENT;
  if (type == MAX_EBB || type == SLACK_BEFORE_FLOOD) return EBB_CURRENT;
  return NOCURR;
}

// Reversing harmonic currents: signed speed along the flood-ebb axis (speed-squared stations through a
// signed square root), strengths and slacks found by one-hour steps.
#include "chartlib/current/current_predict.h"

#include "chartlib/tide/tide_interface.h"

namespace {

constexpr uint32_t REFRESH = 1800;
constexpr uint32_t QUIET_LIMIT = 108000;   // 30 hours
constexpr uint32_t SEARCH_LIMIT = 144000;  // 40 hours

void setup_primary_current(const void *block, fixed *, component_term *terms, uint32_t t) {
  compute_local_tide_data(&static_cast<const current_block *>(block)->set, terms, t);
}

fixed evaluate_primary_current(const void *block, const component_term *terms, uint32_t t) {
  return sum_current_components(static_cast<const current_block *>(block), terms, t);
}

uint32_t distance(uint32_t a, uint32_t b) { return a > b ? a - b : b - a; }

}  // namespace

fixed sum_current_components(const current_block *b, const component_term *terms, uint32_t t) {
  const fixed s = sum_variable_components(&b->set, terms, t);
  if (!b->speed_squared) return fixed_add(s, int_to_fixed(b->set.datum));
  const fixed root = s >= 0 ? fixed_square_root(s) : fixed_minus(fixed_square_root(fixed_minus(s)));
  return fixed_multiply_int(fixed_add(fixed_multiply_int(root, 10), int_to_fixed(b->set.datum)), 10);
}

int32_t compute_primary_current(const current_block *b, uint32_t t) {
  component_term terms[TC_MAX_COMPONENTS];
  compute_local_tide_data(&b->set, terms, t);
  return round_fixed_to_int(sum_current_components(b, terms, t));
}

void compute_primary_current_array(const current_block *b, uint32_t t0, uint32_t step, int count, int32_t *values) {
  component_term terms[TC_MAX_COMPONENTS];
  compute_local_tide_data(&b->set, terms, t0);
  uint32_t last = t0;
  for (int k = 0; k < count; ++k) {
    const uint32_t t = t0 + static_cast<uint32_t>(k) * step;
    if (t - last > REFRESH) {
      compute_local_tide_data(&b->set, terms, t);
      last = t;
    }
    values[k] = round_fixed_to_int(sum_current_components(b, terms, t));
  }
}

void next_primary_current(tide_event *result, const current_block *b, uint32_t t, fixed *ratios) {
  const constituent_set *set = &b->set;
  component_term terms[TC_MAX_COMPONENTS], dterms[TC_MAX_COMPONENTS];
  compute_component_ratios(set, search_min_period(set), ratios);
  uint32_t sv = t, sd = t;
  setup_primary_current(b, ratios, terms, t);
  setup_derivative(set, ratios, dterms, t);
  auto V = [&](uint32_t x) {
    if (distance(x, sv) > REFRESH) setup_primary_current(b, ratios, terms, sv = x);
    return sum_current_components(b, terms, x);
  };
  auto D = [&](uint32_t x) {
    if (distance(x, sd) > REFRESH) setup_derivative(set, ratios, dterms, sd = x);
    return compute_primary_derivative(set, dterms, x);
  };
  const uint32_t t0 = t;
  if (t0 <= 0xFFFFFFFFu - QUIET_LIMIT - 1) {
    while ((V(t) == 0 || D(t) == 0) && t < t0 + QUIET_LIMIT) t += 600;
  }
  if (t0 > 0xFFFFFFFFu - SEARCH_LIMIT) {
    *result = {NOCURR, t};
    return;
  }
  fixed v0 = V(t), d0 = D(t);
  uint32_t t1 = t;
  while (true) {
    t1 = t + 3600;
    if (t1 >= t0 + SEARCH_LIMIT) {
      *result = {NOCURR, t1};
      return;
    }
    const fixed v1 = V(t1);
    if (v1 == 0) {
      *result = {v0 > 0 ? SLACK_BEFORE_EBB : SLACK_BEFORE_FLOOD, t1};
      return;
    }
    if (!fixed_same_sign(v0, v1)) {
      if (t1 >= t0 + QUIET_LIMIT) {
        *result = {NOCURR, t1};
        return;
      }
      const uint32_t at = search_zero(b, ratios, terms, &sv, t, t1, v0, v1, setup_primary_current,
                                      evaluate_primary_current);
      *result = {v0 > 0 ? SLACK_BEFORE_EBB : SLACK_BEFORE_FLOOD, at};
      return;
    }
    const fixed d1 = D(t1);
    if (d1 == 0) {
      *result = {d0 > 0 ? MAX_EBB : MAX_FLOOD, t1};
      return;
    }
    if (!fixed_same_sign(d0, d1)) {
      if (t1 >= t0 + QUIET_LIMIT) {
        *result = {NOCURR, t1};
        return;
      }
      const uint32_t at = search_zero(set, ratios, dterms, &sd, t, t1, d0, d1, setup_derivative_op,
                                      evaluate_tide_derivative_op);
      *result = {d0 > 0 ? MAX_EBB : MAX_FLOOD, at};
      return;
    }
    t = t1;
    v0 = v1;
    d0 = d1;
  }
}

// Harmonic tide prediction in fixed point: heights, extremes, the extremes ring of secondary stations.
#pragma once
#include "chartlib/tide/tide_harmonic.h"
#include "chartlib/tide/tide_station.h"

enum : UCHAR { HIGH_TIDE = 0, LOW_TIDE = 1, UP_TIDE = 2, DOWN_TIDE = 3, RISING = 4, FALLING = 5, NOTIDE = 6 };

struct tide_event {
  int type;
  uint32_t time;
};

struct ring_entry {
  uint32_t reference;  // reference station time
  uint32_t corrected;  // reference time plus the secondary correction
  int32_t type;
  int32_t value;       // reference height (or speed)
  int32_t direction;
};

struct extremes_array;
struct extremes_ops {
  void (*next)(extremes_array *ring, ring_entry *out, uint32_t t);
  void (*previous)(extremes_array *ring, ring_entry *out, uint32_t t);
  bool (*is_null)(const ring_entry *e);
  void (*correct)(extremes_array *ring, int i);
  void (*slack)(extremes_array *ring);
};

struct extremes_array {
  ring_entry e[12];
  int cursor, previous;
  int32_t minimum, maximum;
  uint32_t slack_reference, slack_corrected;
  uint32_t lead;
  const void *station;       // the secondary block
  const constituent_set *set;  // the reference set searched
  fixed *ratios;
  extremes_ops ops;
};

// Operations of the zero search on a context (a constituent set, or a secondary station and its ring).
typedef void (*setup_operation)(const void *context, fixed *ratios, component_term *terms, uint32_t t);
typedef fixed (*evaluate_operation)(const void *context, const component_term *terms, uint32_t t);

void compute_local_tide_data(const constituent_set *set, component_term *terms, uint32_t t);
void setup_derivative(const constituent_set *set, fixed *ratios, component_term *terms, uint32_t t);
fixed evaluate_tide_derivative(const constituent_set *set, const component_term *terms, uint32_t t);
// The same as zero-search operations on a constituent set.
void setup_derivative_op(const void *set, fixed *ratios, component_term *terms, uint32_t t);
fixed evaluate_tide_derivative_op(const void *set, const component_term *terms, uint32_t t);
uint32_t search_zero(const void *context, fixed *ratios, component_term *terms, uint32_t *setup_time,
                     uint32_t lo, uint32_t hi, fixed v_lo, fixed v_hi, setup_operation setup,
                     evaluate_operation evaluate);

int32_t compute_primary_tide(const constituent_set *set, uint32_t t);
void compute_primary_tide_array(const constituent_set *set, uint32_t t0, uint32_t step, int count, int32_t *values);
void next_primary_tide(tide_event *result, const constituent_set *set, uint32_t t, fixed *ratios);
void previous_primary_tide(tide_event *result, const constituent_set *set, uint32_t t, fixed *ratios);

void load_extremes_array(extremes_array *ring, uint32_t t);
void update_extremes_array(extremes_array *ring, uint32_t t);
void update_extremes(extremes_array *ring, uint32_t t);
fixed height_factor(int32_t v, int32_t minimum, int32_t maximum);
// round(a x n) for a 16.16 factor and an integer, halves away from zero.
int32_t round_times(fixed a, int32_t n);

// Reference time of a secondary time t, between the previous and the cursor entries of the ring.
uint32_t map_to_reference(const extremes_array *ring, uint32_t t);
void setup_tide_ring(extremes_array *ring, const secondary_tide_block *block, fixed *ratios);
int32_t secondary_tide_height(const secondary_tide_block *block, int32_t v, fixed a);
void next_secondary_tides(const secondary_tide_block *block, uint32_t t, ring_entry *results, int n, fixed *ratios);
void compute_secondary_tide_array(const secondary_tide_block *block, uint32_t t0, uint32_t step, int count,
                                  int32_t *values, fixed *ratios);

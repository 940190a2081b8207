// Tide series and events in pieces that fit the cores' working arrays.
#include "chartlib/tide/tide_series.h"

#include "chartlib/current/current_predict.h"
#include "chartlib/tide/tide_interface.h"

uint32_t TC_core_time(ULONG clock, SLONG clock_offset) {
  return clock - TC_SECONDS_1970_TO_2000 - static_cast<uint32_t>(clock_offset);
}

ULONG TC_clock_time(uint32_t core, SLONG clock_offset) {
  return core + static_cast<uint32_t>(clock_offset) + TC_SECONDS_1970_TO_2000;
}

namespace {

// Samples in pieces of TC_PIECE_SAMPLES: fill(piece start, n) runs the core, write(sample, i, time) stores
// piece entry i.
template <typename Fill, typename Write>
void sample_pieces(ULONG start, ULONG step, int count, tc_sample *out, Fill fill, Write write) {
  for (int done = 0; done < count;) {
    const int n = count - done < TC_PIECE_SAMPLES ? count - done : TC_PIECE_SAMPLES;
    const ULONG piece_start = start + static_cast<ULONG>(done) * step;
    fill(piece_start, n);
    for (int i = 0; i < n; ++i) {
      out[done + i].Time = piece_start + static_cast<ULONG>(i) * step;
      write(out[done + i], i);
    }
    done += n;
  }
}

// Secondary events in pieces of TC_PIECE_EVENTS; each piece starts restart seconds after the last event.
template <typename Fetch, typename Write>
void event_pieces(uint32_t t, int count, uint32_t restart, SLONG clock_offset, tc_sample *out, Fetch fetch,
                  Write write) {
  ring_entry events[TC_PIECE_EVENTS];
  for (int done = 0; done < count;) {
    const int n = count - done < TC_PIECE_EVENTS ? count - done : TC_PIECE_EVENTS;
    fetch(t, events, n);
    for (int i = 0; i < n; ++i) {
      tc_sample &x = out[done + i];
      x.Type = static_cast<UCHAR>(events[i].type);
      x.Time = TC_clock_time(events[i].corrected, clock_offset);
      write(x, events[i]);
    }
    t = events[n - 1].corrected + restart;
    done += n;
  }
}

}  // namespace



ERRORCODE TC_compute_primary_tide_array(const constituent_set *set, ULONG start, ULONG step, int count,
                                        tc_sample *out, int32_t *results, fixed *ratios) {
  if (count <= 0) return CL_SUCCESS;
  int32_t previous = 0;
  if (count == 1) {
    tide_event next;
    next_primary_tide(&next, set, TC_core_time(start, set->clock_offset), ratios);
    previous = next.type == LOW_TIDE ? INT32_MAX : INT32_MIN;
  }
  TC_tide_array(start, step, count, out, results, previous, [&](ULONG t, int n, int32_t *r) {
    compute_primary_tide_array(set, TC_core_time(t, set->clock_offset), step, n, r);
  });
  return CL_SUCCESS;
}

ERRORCODE TC_compute_secondary_tide_array(const secondary_tide_block *block, ULONG start, ULONG step, int count,
                                          tc_sample *out, int32_t *results, fixed *ratios) {
  if (count <= 0) return CL_SUCCESS;
  int32_t previous = 0;
  if (count == 1) {
    ring_entry next;
    next_secondary_tides(block, TC_core_time(start, block->clock_offset), &next, 1, ratios);
    previous = next.type == LOW_TIDE ? INT32_MAX : INT32_MIN;
  }
  TC_tide_array(start, step, count, out, results, previous, [&](ULONG t, int n, int32_t *r) {
    compute_secondary_tide_array(block, TC_core_time(t, block->clock_offset), step, n, r, ratios);
  });
  return CL_SUCCESS;
}

ERRORCODE TC_next_primary_tides(const constituent_set *set, ULONG start, tc_sample *out, int count, fixed *ratios) {
  uint32_t t = TC_core_time(start, set->clock_offset);
  for (int i = 0; i < count; ++i) {
    tide_event e;
    next_primary_tide(&e, set, t, ratios);
    out[i] = tc_sample{static_cast<UCHAR>(e.type), TC_clock_time(e.time, set->clock_offset), 0,
                       compute_primary_tide(set, e.time) * 0.001};
    t = e.time + 10800;
  }
  return CL_SUCCESS;
}

ERRORCODE TC_next_secondary_tides(const secondary_tide_block *block, ULONG start, tc_sample *out, int count,
                                  fixed *ratios) {
  event_pieces(TC_core_time(start, block->clock_offset), count, 10800, block->clock_offset, out,
               [&](uint32_t t, ring_entry *e, int n) { next_secondary_tides(block, t, e, n, ratios); },
               [](tc_sample &x, const ring_entry &e) {
                 x.Direction = 0;
                 x.Intensity = e.value * 0.001;
               });
  return CL_SUCCESS;
}

namespace {

void current_sample(SINT16 flood_direction, SINT16 ebb_direction, int32_t speed, tc_sample *s) {
  s->Intensity = speed * 0.001;
  if (s->Type != MAX_FLOOD && s->Type != MAX_EBB && s->Type != SLACK_BEFORE_FLOOD && s->Type != SLACK_BEFORE_EBB &&
      s->Type != NOCURR)
    s->Type = speed >= 0 ? FLOOD_CURRENT : EBB_CURRENT;
  s->Direction = speed >= 0 ? flood_direction : ebb_direction;
  if (speed <= 99 && speed >= -99) s->Direction = 0;  // too weak to have a direction
}

}  // namespace

ERRORCODE TC_compute_primary_current_array(const current_block *b, ULONG start, ULONG step, int count,
                                           tc_sample *out, int32_t *results) {
  sample_pieces(
      start, step, count, out,
      [&](ULONG t, int n) { compute_primary_current_array(b, TC_core_time(t, b->set.clock_offset), step, n, results); },
      [&](tc_sample &x, int i) {
        x.Type = 0xFF;
        current_sample(b->flood_direction, b->ebb_direction, results[i], &x);
      });
  return CL_SUCCESS;
}

ERRORCODE TC_next_primary_currents(const current_block *b, ULONG start, tc_sample *out, int count, fixed *ratios) {
  uint32_t t = TC_core_time(start, b->set.clock_offset);
  for (int i = 0; i < count; ++i) {
    tide_event e;
    next_primary_current(&e, b, t, ratios);
    out[i].Type = static_cast<UCHAR>(e.type);
    out[i].Time = TC_clock_time(e.time, b->set.clock_offset);
    current_sample(b->flood_direction, b->ebb_direction, compute_primary_current(b, e.time), &out[i]);
    t = e.time + 3600;
  }
  return CL_SUCCESS;
}

ERRORCODE TC_compute_secondary_current_array(const secondary_current_block *b, ULONG start, ULONG step, int count,
                                             tc_sample *out, int32_t *results, fixed *ratios) {
  sample_pieces(
      start, step, count, out,
      [&](ULONG t, int n) { compute_secondary_current_array(b, TC_core_time(t, b->clock_offset), step, n, results, ratios); },
      [&](tc_sample &x, int i) {
        x.Type = 0xFF;
        current_sample(b->flood_direction, b->ebb_direction, results[i], &x);
      });
  return CL_SUCCESS;
}

ERRORCODE TC_next_secondary_currents(const secondary_current_block *b, ULONG start, tc_sample *out, int count,
                                     fixed *ratios) {
  event_pieces(TC_core_time(start, b->clock_offset), count, 1800, b->clock_offset, out,
               [&](uint32_t t, ring_entry *e, int n) { next_secondary_currents(b, t, e, n, ratios); },
               [&](tc_sample &x, const ring_entry &e) { current_sample(b->flood_direction, b->ebb_direction, e.value, &x); });
  return CL_SUCCESS;
}

namespace {

void rotary_sample(int32_t direction, int32_t speed, tc_sample *s) {
  s->Direction = static_cast<uint32_t>(speed) > 99 ? direction : 0;
  s->Intensity = speed * 0.001;
}

}  // namespace

ERRORCODE TC_compute_primary_rotary_array(const rotary_pair *p, ULONG start, ULONG step, int count, tc_sample *out,
                                          rotary_result *results, fixed *ratios) {
  const SLONG offset = p->primary->set.clock_offset;
  rotary_event event;
  next_primary_rotary(&event, p, TC_core_time(start, offset), ratios);
  for (int done = 0; done < count;) {
    const int n = count - done < TC_PIECE_SAMPLES ? count - done : TC_PIECE_SAMPLES;
    const ULONG piece_start = start + static_cast<ULONG>(done) * step;
    compute_primary_rotary_array(p, TC_core_time(piece_start, offset), step, n, results);
    for (int i = 0; i < n; ++i) {
      tc_sample &s = out[done + i];
      s.Time = piece_start + static_cast<ULONG>(i) * step;
      const uint32_t core = TC_core_time(s.Time, offset);
      if (event.type != NOCURR && event.time < core) next_primary_rotary(&event, p, core, ratios);
      s.Type = identify_rotary(event.type);
      rotary_sample(results[i].direction, results[i].speed, &s);
    }
    done += n;
  }
  return CL_SUCCESS;
}

ERRORCODE TC_next_primary_rotaries(const rotary_pair *p, ULONG start, tc_sample *out, int count, fixed *ratios) {
  const SLONG offset = p->primary->set.clock_offset;
  uint32_t t = TC_core_time(start, offset);
  for (int i = 0; i < count; ++i) {
    rotary_event e;
    next_primary_rotary(&e, p, t, ratios);
    out[i].Type = static_cast<UCHAR>(e.type);
    out[i].Time = TC_clock_time(e.time, offset);
    rotary_sample(e.direction, e.speed, &out[i]);
    t = e.time + 3600;
  }
  return CL_SUCCESS;
}

ERRORCODE TC_compute_secondary_rotary_array(const secondary_current_block *b, ULONG start, ULONG step, int count,
                                            tc_sample *out, rotary_result *results, UCHAR *types, fixed *ratios) {
  sample_pieces(
      start, step, count, out,
      [&](ULONG t, int n) {
        compute_secondary_rotary_array(b, TC_core_time(t, b->clock_offset), step, n, results, types, ratios);
      },
      [&](tc_sample &x, int i) {
        x.Type = types[i];
        rotary_sample(results[i].direction, results[i].speed, &x);
      });
  return CL_SUCCESS;
}

ERRORCODE TC_next_secondary_rotaries(const secondary_current_block *b, ULONG start, tc_sample *out, int count,
                                     fixed *ratios) {
  event_pieces(TC_core_time(start, b->clock_offset), count, 3600, b->clock_offset, out,
               [&](uint32_t t, ring_entry *e, int n) { next_secondary_rotaries(b, t, e, n, ratios); },
               [&](tc_sample &x, const ring_entry &e) { rotary_sample(e.direction, e.value, &x); });
  return CL_SUCCESS;
}

// Harmonic heights and extremes of real stations (constants from xtide-data) against an independent
// double-precision predictor that moves node factors and equilibrium arguments continuously through the year.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "chartlib/tide/tide_harmonic.h"
#include "chartlib/tide/tide_interface.h"
#include "chartlib/tide/tide_predict.h"
#include "port_double.h"
#include "station_file.h"

namespace {

using station_file::Constituent;
using station_file::DirectSet;
using station_file::row_speed;
using station_file::Station;

std::vector<Station> read_stations() { return station_file::read_stations(CORVAN_TEST_DATA "/stations.txt"); }

constexpr int64_t Y2024 = 1704067200, Y2025 = 1735689600;

double unwrap(double a, double ref) { return a - 360.0 * std::round((a - ref) / 360.0); }

// Node factors and nodal angles in double precision at the exact time, from Schureman's formulas (Manual of
// Harmonic Analysis and Prediction of Tides, 1958) with the lunar node and perigee of Meeus' polynomials,
// composed per constituent row as the library's tide-factor record composes them. Angles in degrees.
struct Nodal {
  double f[37];
  double u[42];
};

double deg(double radians) { return radians * 180.0 / M_PI; }

Nodal nodal_at(double seconds_since_2000) {
  const double T = (seconds_since_2000 / 86400.0 - 0.5) / 36525.0;
  const double N = (125.04452 - 1934.136261 * T) * M_PI / 180;
  const double p = (83.3532465 + 4069.0137287 * T) * M_PI / 180;
  const double w = 23.452 * M_PI / 180, i = 5.145 * M_PI / 180;
  const double I = std::acos(std::cos(w) * std::cos(i) - std::sin(w) * std::sin(i) * std::cos(N));
  const double a = std::atan2(std::cos((w - i) / 2) / std::cos((w + i) / 2) * std::sin(N / 2), std::cos(N / 2));
  const double b = std::atan2(std::sin((w - i) / 2) / std::sin((w + i) / 2) * std::sin(N / 2), std::cos(N / 2));
  const double nu = a - b, xi = N - (a + b), P = p - xi;
  const double sI = std::sin(I), s2I = std::sin(2 * I), cI = std::cos(I), ch = std::cos(I / 2), th = std::tan(I / 2);
  Nodal n{};
  double *f = n.f;
  f[0] = 1;
  f[1] = (2.0 / 3.0 - sI * sI) / 0.5021;                                    // Mm (73)
  f[3] = sI * ch * ch / 0.3800;                                             // O1 (75)
  f[4] = s2I / 0.7214;                                                      // J1 (76)
  f[5] = sI * std::pow(std::sin(I / 2), 2) / 0.0164;                        // OO1 (77)
  f[6] = std::pow(ch, 4) / 0.9154;                                          // M2 (78)
  f[7] = sI * sI / 0.1565;                                                  // (79)
  f[2] = sI * sI / 0.1578;                                                  // Mf (74)
  f[8] = std::pow(ch, 6) / 0.8758;                                          // M3 (149)
  f[11] = std::sqrt(0.8965 * s2I * s2I + 0.6001 * s2I * std::cos(nu) + 0.1006);          // K1 (227)
  f[12] = std::sqrt(19.0444 * std::pow(sI, 4) + 2.7702 * sI * sI * std::cos(2 * nu) + 0.0981);  // K2 (235)
  const double inv_qa = std::sqrt(0.25 + 1.5 * cI / (ch * ch) * std::cos(2 * P) + 2.25 * cI * cI / std::pow(ch, 4));
  f[9] = f[3] * inv_qa;                                                     // M1 (206)
  const double inv_ra = std::sqrt(1 - 12 * th * th * std::cos(2 * P) + 36 * std::pow(th, 4));
  f[10] = f[6] * inv_ra;                                                    // L2 (215)
  static const int products[][3] = {{13, 3, 3},   {24, 6, 6},   {33, 24, 24}, {14, 3, 6},   {15, 14, 6},
                                    {16, 14, 12}, {17, 15, 6},  {18, 6, 10},  {19, 6, 11},  {20, 6, 12},
                                    {21, 20, 12}, {22, 18, 12}, {25, 24, 10}, {26, 24, 11}, {27, 24, 12},
                                    {29, 24, 6},  {30, 29, 10}, {31, 29, 11}, {32, 29, 12}, {34, 33, 10},
                                    {35, 33, 11}, {36, 29, 24}};
  for (const auto &m : products) f[m[0]] = f[m[1]] * f[m[2]];
  f[23] = f[19] * f[11] * f[11];
  f[28] = f[20] * f[20];

  const double nu1 = std::atan2(s2I * std::sin(nu), s2I * std::cos(nu) + 0.3347);                 // (224)
  const double nu2x2 = std::atan2(sI * sI * std::sin(2 * nu), sI * sI * std::cos(2 * nu) + 0.0727);  // (232)
  const double Q = std::atan2((5 * cI - 1) / (7 * cI + 1) * std::sin(P), std::cos(P));              // (203)
  const double R = std::atan2(std::sin(2 * P), 1 / (6 * th * th) - std::cos(2 * P));                // (214)
  double *u = n.u;  // u[k] is the library's angle slot 43 + k
  u[0] = 0;
  u[1] = -2 * deg(xi);
  u[2] = -deg(nu);
  u[3] = deg(-nu + Q - P);  // M1
  u[4] = -deg(nu1);         // K1
  u[5] = deg(nu2x2);        // K2
  u[6] = -deg(nu2x2);
  u[7] = deg(2 * xi - 2 * nu - R);  // L2
  u[8] = deg(2 * xi - nu);
  u[9] = deg(nu - 2 * xi);
  static const int sums[][3] = {{10, 2, 2},  {11, 6, 6},  {12, 1, 2},  {13, 8, 2},  {14, 13, 4}, {15, 13, 6},
                                {16, 15, 6}, {17, 8, 8},  {18, 13, 8}, {19, 13, 13}, {20, 18, 6}, {21, 13, 7},
                                {22, 19, 4}, {23, 15, 13}, {24, 7, 15}, {25, 19, 8}, {26, 19, 13}, {27, 19, 7},
                                {28, 26, 4}, {29, 19, 15}, {30, 26, 8}, {31, 19, 19}, {32, 26, 14}, {33, 26, 7},
                                {34, 31, 13}, {35, 31, 7}};
  for (const auto &s : sums) u[s[0]] = u[s[1]] + u[s[2]];
  u[36] = -u[13];
  u[37] = u[36] + u[6];
  u[38] = u[14] + 2 * u[4];
  u[39] = u[13] + deg(xi) - deg(nu);
  u[40] = u[19] - u[4];
  u[41] = u[19] - u[11];
  return n;
}

// Height (metres) at unix time t: xtide-data's amplitudes and epochs, the row's equilibrium argument moved
// at the row's speed, node factors and nodal angles evaluated at t itself.
double predict(const Station &s, int64_t t) {
  const double since_2000 = static_cast<double>(t - TC_SECONDS_1970_TO_2000);
  const Nodal n = nodal_at(since_2000);
  double h = s.datum;
  for (const Constituent &c : s.c) {
    if (c.row < 0) continue;
    const constituent_row &r = constituent_table[c.row];
    const double v = r.v0 * 360.0 / 65536.0 + std::fmod(row_speed(c.row) * since_2000 / 3600.0, 360.0);
    const double amplitude = std::trunc(static_cast<float>(c.amplitude) * 304.8) / 304.8;  // as stored in mm
    h += n.f[r.factor_slot] * amplitude * std::cos((v + n.u[r.angle_offset] - c.stored_epoch) * M_PI / 180.0);
  }
  return h * 0.3048;
}

// Some aliases in xtide-data count their phase half a turn away from the row of the same speed: the
// encoder refers such epochs to the row's convention, as a chart's data would be.
void refer_to_rows(Station &s) {
  const uint32_t start = static_cast<uint32_t>(Y2024 - TC_SECONDS_1970_TO_2000);
  fixed f[TC_TIDE_FACTOR_SLOTS];
  compute_global_tide_data(f, start + 183 * 86400);
  for (Constituent &c : s.c) {
    c.row = station_file::row_for(c);
    if (c.row < 0) continue;
    const constituent_row &r = constituent_table[c.row];
    const double ours =
        (compute_angle(c.row, f[TC_ANGLE_SLOT_BASE + r.angle_offset] + r.v0, start) & 0xFFFF) * 360.0 / 65536.0;
    const double d = unwrap(ours - c.v0u[3], 0);
    c.stored_epoch = std::fabs(std::fabs(d) - 180) < 10 ? std::fmod(c.epoch + 180, 360) : c.epoch;
  }
}

ULONG install(Station &s) {
  refer_to_rows(s);
  RecordBytes r;
  r.word(0).word(0).zeros(12).none().none().none().none().flt(static_cast<float>(s.datum));
  std::vector<std::pair<float, float>> pairs(133, {0.0f, 0.0f});
  for (Constituent &c : s.c) {
    if (c.row >= 0) pairs[c.row] = {static_cast<float>(c.amplitude), static_cast<float>(c.stored_epoch)};
  }
  for (auto [a, p] : pairs) r.flt(a).flt(p);
  StationRecord rec;
  rec.format = 1;  // feet
  rec.data = r.b;
  const ULONG pos = PortDouble::get().add_record(PortDouble::TIDE_ITEM, rec);
  const ULONG code = 1000 + static_cast<ULONG>(PortDouble::get().ports_.size());
  Port port;
  port.name = s.name;
  port.services[PortDouble::TIDE_ITEM] = pos;
  PortDouble::get().add_port(code, port);
  return code;
}

// Turning point of the predictor near t (unix seconds): the vertex of the parabola through three heights
// `step` seconds apart.
double vertex(const Station &s, double t, double step) {
  const double a = predict(s, static_cast<int64_t>(t - step)), b = predict(s, static_cast<int64_t>(t)),
               c = predict(s, static_cast<int64_t>(t + step));
  const double denom = a - 2 * b + c;
  return denom != 0 ? t + 0.5 * step * (a - c) / denom : t;
}

// Extremes of the predictor within a day (unix times): a scan every minute, then the vertex refined twice
// on 10 s and 2 s stencils (well below a second).
std::vector<std::pair<double, bool>> predicted_extremes(const Station &s, int64_t day) {
  std::vector<std::pair<double, bool>> out;
  const int step = 60;
  double a = predict(s, day - 2 * step), b = predict(s, day - step);
  for (int64_t t = day; t <= day + 86400 + step; t += step) {
    const double c = predict(s, t);
    if ((b > a && b >= c) || (b < a && b <= c)) {
      double when = vertex(s, static_cast<double>(t - step), step);
      when = vertex(s, std::round(when), 10);
      when = vertex(s, std::round(when), 2);
      if (when >= day && when < day + 86400) out.push_back({when, b > a});
    }
    a = b;
    b = c;
  }
  return out;
}

}  // namespace

TEST(TideAccuracy, HeightsAndExtremesOverAYear) {
  PortDouble::get().reset();
  auto table = std::make_unique<BPTABLE>();
  std::vector<Station> stations = read_stations();
  ASSERT_EQ(stations.size(), 3u);
  // Semidiurnal, diurnal, shallow water. Measured: 0.9, 1.5 and 1.8 mm; daily times (rounded to the minute)
  // within 32 s, the search itself within 2.3, 2.0 and 4.1 s.
  const double height_tolerance[3] = {0.010, 0.010, 0.040};
  for (size_t k = 0; k < stations.size(); ++k) {
    Station &s = stations[k];
    const ULONG code = install(s);
    double worst_height = 0, worst_time = 0, worst_search = 0;
    int dropped = 0, missed = 0, compared = 0;
    DirectSet direct(s);
    fixed ratios[TC_MAX_COMPONENTS];
    for (const Constituent &c : s.c) dropped += c.row < 0;
    TIDE tides[100];
    DAILY_TIDES daily;
    for (int64_t day = Y2024; day < Y2025; day += 86400) {
      UT_DATE date;
      UT_TIME time;
      ASSERT_EQ(ut_time2date(static_cast<ULONG>(day), &date, &time, 0), 0);
      ASSERT_EQ(tc_GetTidesByPortCode(table.get(), code, UT_DATETIME{date, 0}, 25, 5, tides, 100), CL_SUCCESS);
      for (int i = 0; i < 96; ++i) {
        const double d = std::fabs(tides[i].Intensity - predict(s, day + 900 * i));
        worst_height = std::max(worst_height, d);
      }
      ASSERT_EQ(tc_DailyTidesByPortCode(table.get(), code, date, &daily), CL_SUCCESS);
      const auto expected = predicted_extremes(s, day);
      std::vector<tide_event> searched;
      for (uint32_t t = static_cast<uint32_t>(day - TC_SECONDS_1970_TO_2000 - 3 * 3600);
           t < day - TC_SECONDS_1970_TO_2000 + 86400 + 3 * 3600;) {
        tide_event e;
        next_primary_tide(&e, &direct.set, t, ratios);
        if (e.type == NOTIDE) break;
        searched.push_back(e);
        t = e.time + 600;
      }
      for (size_t j = 0; j < expected.size(); ++j) {
        const auto [when, high] = expected[j];
        // Shallow wiggles (a stand of a few centimetres) have no well-defined time.
        const int64_t at = std::llround(when);
        const double h = predict(s, at);
        if ((j > 0 && std::fabs(h - predict(s, std::llround(expected[j - 1].first))) < 0.05) ||
            (j + 1 < expected.size() && std::fabs(h - predict(s, std::llround(expected[j + 1].first))) < 0.05) ||
            (std::fabs(h - predict(s, at - 3600)) < 0.01 && std::fabs(h - predict(s, at + 3600)) < 0.01))
          continue;
        // The event of the same kind nearest in time, of the daily tides (to the minute) and of the search.
        double best = 1e9, best_search = 1e9;
        for (const TIDE &t : daily.Tide) {
          if (t.Type != (high ? HIGH_TIDE : LOW_TIDE)) continue;
          const int64_t daily_at = day + t.Time / 10000 * 3600 + t.Time / 100 % 100 * 60 + t.Time % 100;
          best = std::min(best, std::fabs(daily_at - when));
        }
        for (const tide_event &e : searched) {
          if (e.type != (high ? HIGH_TIDE : LOW_TIDE)) continue;
          best_search = std::min(best_search, std::fabs(e.time + double{TC_SECONDS_1970_TO_2000} - when));
        }
        // An extreme the daily tides do not list (two within 3 h, left out by the 3 h search step) is counted.
        if (best < 3 * 3600) worst_time = std::max(worst_time, best);
        else ++missed;
        if (best_search < 3 * 3600) worst_search = std::max(worst_search, best_search);
        ++compared;
      }
    }
    EXPECT_LT(worst_height, height_tolerance[k]) << s.name;
    EXPECT_LT(worst_time, 120) << s.name;  // flat stands are left out
    EXPECT_LT(worst_search, 10) << s.name;
    EXPECT_EQ(missed, 0) << s.name;
    std::printf("%s: heights within %.1f mm; %d extremes: daily times within %.0f s, searched times within %.1f s,"
                " %d missed (%d constituents without a row)\n",
                s.name.c_str(), worst_height * 1000, compared, worst_time, worst_search, missed, dropped);
  }
}


// The reference's composition of node factors and nodal angles is xtide-data's: at xtide-data's instants
// (V0 at the start of the year, u and f at mid-year, as libtcd keeps them) they agree for every constituent
// of the stations but four. The table defines M1's argument some 20 degrees from xtide-data's (the same
// perigee term, another constant) and f(M1) 1 to 2.5 % apart, and holds KP1 and TK1 unmodulated and 3KM5
// with f(M2) f(K1)^3; their amplitudes here are 0.03 ft or less, but for M1 at Anchorage (0.1 ft).
TEST(TideAccuracy, ReferenceAgreesWithXtideDataAtItsInstants) {
  std::vector<Station> stations = read_stations();
  const std::set<std::string> apart = {"M1", "KP1", "TK1", "3KM5"};
  for (Station &s : stations) {
    refer_to_rows(s);
    for (const Constituent &c : s.c) {
      if (c.row < 0 || apart.count(c.name)) continue;
      const constituent_row &r = constituent_table[c.row];
      int64_t start = 1609459200;  // 2021
      for (int y = 0; y < 7; ++y) {
        const int64_t end = start + ((2021 + y) % 4 == 0 ? 366 : 365) * 86400;
        const double t0 = static_cast<double>(start - TC_SECONDS_1970_TO_2000);
        const Nodal mid = nodal_at((start + end) / 2.0 - TC_SECONDS_1970_TO_2000);
        const double v = r.v0 * 360.0 / 65536.0 + std::fmod(row_speed(c.row) * t0 / 3600.0, 360.0);
        const double flip = c.stored_epoch - c.epoch;  // epochs referred to the row half a turn away
        EXPECT_NEAR(mid.f[r.factor_slot], c.f[y], 0.0005) << s.name << ' ' << c.name << ' ' << 2021 + y;
        EXPECT_NEAR(unwrap(v + mid.u[r.angle_offset] - flip - c.v0u[y], 0), 0, 0.3)
            << s.name << ' ' << c.name << ' ' << 2021 + y;
        start = end;
      }
    }
  }
}

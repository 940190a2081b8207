// Real stations' harmonic constants (xtide-data, tests/chartlib/data/stations.txt), their constituent rows,
// and the station as a constituent set of the library. Shared by the tide tests and the tide benchmark.
#pragma once
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "chartlib/tide/tide_harmonic.h"

namespace station_file {

struct Constituent {
  std::string name;
  double speed, amplitude, epoch;  // deg/h, feet, degrees
  double v0u[7], f[7];             // 2021 to 2027
  int row = -1;
  double stored_epoch = 0;  // the epoch as encoded for the row
};

struct Station {
  std::string name;
  double datum;
  std::vector<Constituent> c;
};

inline double row_speed(int row) {  // degrees per hour
  const constituent_row &r = constituent_table[row];
  return 1296000.0 * std::ldexp(1.0, static_cast<int>(r.shift)) / r.scaled_period;
}

// Rows sharing a speed are told apart by name.
inline int row_for(const Constituent &c) {
  static const std::map<std::string, int> named = {{"M1", 23}, {"NO1", 63}, {"2MK3", 35}, {"MO3", 54}};
  auto it = named.find(c.name);
  if (it != named.end()) return it->second;
  for (int row = 0; row < TC_CONSTITUENT_ROWS; ++row)
    if (constituent_table[row].scaled_period != 1 && std::fabs(row_speed(row) - c.speed) < 1e-6) return row;
  return -1;
}

// Every station of the file, each constituent with its row (-1 when the table has none) and its epoch as
// stored.
inline std::vector<Station> read_stations(const std::string &path) {
  std::vector<Station> out;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string part;
    while (std::getline(ss, part, '|')) f.push_back(part);
    if (f.size() < 5) continue;
    Station s{f[0], std::stod(f[1]), {}};
    std::istringstream cs(f[4]);
    Constituent c;
    while (cs >> c.name >> c.speed >> c.amplitude >> c.epoch) {
      for (int y = 0; y < 7; ++y) cs >> c.v0u[y] >> c.f[y];
      c.row = row_for(c);
      c.stored_epoch = c.epoch;
      s.c.push_back(c);
    }
    out.push_back(s);
  }
  return out;
}

// The station as the library's constituent set: amplitudes in whole millimetres, epochs in turns.
struct DirectSet {
  std::vector<tide_component> components;
  constituent_set set{};
  explicit DirectSet(const Station &s) {
    for (const Constituent &c : s.c) {
      if (c.row < 0) continue;
      const double epoch = static_cast<float>(c.stored_epoch);
      components.push_back({static_cast<fixed>(std::lround(epoch / 360.0 * 65536.0)),
                            static_cast<UINT16>(std::trunc(static_cast<float>(c.amplitude) * 304.8)),
                            static_cast<UINT16>(c.row)});
    }
    set.datum = static_cast<SINT16>(std::trunc(static_cast<float>(s.datum) * 304.8));
    set.count = static_cast<SINT>(components.size());
    set.components = components.data();
  }
  DirectSet(const DirectSet &) = delete;
  DirectSet &operator=(const DirectSet &) = delete;
};

}  // namespace station_file

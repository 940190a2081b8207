// Runs an independent reference program (PROJ's cct, GeographicLib's RhumbSolve, coreutils' date) over lines of
// input and returns its output lines; the test fails when the program is missing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

std::vector<std::string> RunReference(const std::string &command, const std::string &input);

// Reproducible uniform doubles for the comparison sets (the same numbers on every platform).
class Uniform {
 public:
  explicit Uniform(uint64_t seed) : s_(seed) {}
  double operator()(double lo, double hi) { return lo + (hi - lo) * (static_cast<double>(next() >> 11) * 0x1.0p-53); }
  uint64_t next() {  // splitmix64
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

 private:
  uint64_t s_;
};

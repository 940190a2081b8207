// Writes the sample chart (three maps, one across the 180-degree meridian) to the file named on the command line.
#include <cstdio>

#include "chart_writer.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE.nv2\n", argv[0]);
    return 2;
  }
  const std::vector<uint8_t> image = chart_fixture::BuildChart(chart_fixture::SampleChartSpec());
  if (!chart_fixture::WriteFile(argv[1], image)) {
    std::perror(argv[1]);
    return 1;
  }
  std::printf("%s: %zu bytes\n", argv[1], image.size());
  return 0;
}

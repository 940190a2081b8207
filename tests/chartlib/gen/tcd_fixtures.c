/* Writes test fixtures from Debian's xtide-data through libtcd:
 *   constituents.txt: speed of every constituent, its equilibrium argument at the start of some years and its
 *                     node factor for those years (libtcd's conventions: V0 at 1 January 00:00 UTC with u,
 *                     like f, of mid-year);
 *   stations.txt:     the harmonic constants of a few stations.
 * Build and run: cc -o /tmp/tcdfix tcd_fixtures.c -ltcd && /tmp/tcdfix /usr/share/xtide/<file>.tcd ../data
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tcd.h>

static const char *stations[] = {"Boston, Boston Harbor, Massachusetts", "Pensacola, Florida",
                                 "Anchorage, Knik Arm, Cook Inlet, Alaska"};

int main(int argc, char **argv) {
  if (argc != 3 || !open_tide_db(argv[1])) {
    fprintf(stderr, "usage: tcd_fixtures FILE.tcd OUTDIR\n");
    return 1;
  }
  DB_HEADER_PUBLIC h = get_tide_db_header();
  char path[4096];
  snprintf(path, sizeof path, "%s/constituents.txt", argv[2]);
  FILE *f = fopen(path, "w");
  fprintf(f, "# from %s (%s): name speed(deg/h) then year V0+u(deg) f, for years 2000..2050 step 5\n",
          "xtide-data 20191229", h.version);
  for (unsigned i = 0; i < h.constituents; ++i) {
    fprintf(f, "%s %.9f", get_constituent(i), get_speed(i));
    for (int y = 2000; y <= 2050; y += 5) fprintf(f, " %d %.4f %.5f", y, get_equilibrium(i, y - h.start_year), get_node_factor(i, y - h.start_year));
    fprintf(f, "\n");
  }
  fclose(f);

  snprintf(path, sizeof path, "%s/stations.txt", argv[2]);
  f = fopen(path, "w");
  fprintf(f, "# from xtide-data 20191229: name|datum offset|zone offset (hhmm)|level units|then per constituent: "
             "name speed amplitude epoch, V0+u and f for 2021 to 2027\n");
  for (size_t s = 0; s < sizeof stations / sizeof *stations; ++s) {
    int n = find_station((NV_CHAR *)stations[s]);
    if (n < 0) {
      fprintf(stderr, "no station %s\n", stations[s]);
      return 1;
    }
    TIDE_RECORD r;
    read_tide_record(n, &r);
    fprintf(f, "%s|%.4f|%d|%s|", r.header.name, r.datum_offset, r.zone_offset, get_level_units(r.level_units));
    for (unsigned i = 0; i < h.constituents; ++i) {
      if (r.amplitude[i] <= 0) continue;
      fprintf(f, " %s %.9f %.4f %.2f", get_constituent(i), get_speed(i), r.amplitude[i], r.epoch[i]);
      for (int y = 2021; y <= 2027; ++y)
        fprintf(f, " %.4f %.5f", get_equilibrium(i, y - h.start_year), get_node_factor(i, y - h.start_year));
    }
    fprintf(f, "\n");
  }
  fclose(f);
  return 0;
}

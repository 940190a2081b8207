// JPEG 2000 decoding time and peak memory against libopenjp2 in the same run: both decode the same codestreams from
// memory into memory on this thread (OpenJPEG into its image planes, ours through the line callback into an image).
// The streams are made at start-up with OpenJPEG's encoder, in memory. The table at the end gives our CPU time over
// OpenJPEG's and our peak memory over OpenJPEG's for every row; "err" is the largest sample difference between the
// two decodes (0 expected for 5/3, regions and reductions).
// CORVAN_JP2_BENCH_STREAMS=DIR keeps the streams in DIR between runs (for profiling); nothing is written otherwise.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <openjpeg.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "jp2/jp2_decoder.h"

// Every heap block of the process is counted, so both decoders are measured the same way.
extern "C" {
void *__libc_malloc(size_t);
void __libc_free(void *);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void *__libc_memalign(size_t, size_t);
}

namespace {
std::atomic<long> g_heapNow{0}, g_heapPeak{0};
void HeapAdd(void *p) {
  if (!p) return;
  long now = g_heapNow.fetch_add((long)malloc_usable_size(p), std::memory_order_relaxed) + (long)malloc_usable_size(p);
  long peak = g_heapPeak.load(std::memory_order_relaxed);
  while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
  }
}
void HeapSub(void *p) {
  if (p) g_heapNow.fetch_sub((long)malloc_usable_size(p), std::memory_order_relaxed);
}
} // namespace

extern "C" {
void *malloc(size_t n) {
  void *p = __libc_malloc(n);
  HeapAdd(p);
  return p;
}
void free(void *p) {
  HeapSub(p);
  __libc_free(p);
}
void *calloc(size_t n, size_t s) {
  void *p = __libc_calloc(n, s);
  HeapAdd(p);
  return p;
}
void *realloc(void *old, size_t n) {
  HeapSub(old);
  void *p = __libc_realloc(old, n);
  HeapAdd(p ? p : (n ? old : nullptr));
  return p;
}
void *memalign(size_t a, size_t n) {
  void *p = __libc_memalign(a, n);
  HeapAdd(p);
  return p;
}
void *aligned_alloc(size_t a, size_t n) { return memalign(a, n); }
int posix_memalign(void **out, size_t a, size_t n) {
  void *p = memalign(a, n);
  if (!p) return ENOMEM;
  *out = p;
  return 0;
}
}

namespace {

using Bytes = std::vector<U8>;

// ---- Test images and their codestreams (OpenJPEG's encoder, in memory) ----

struct Spec {
  const char *name;
  U32 size, comps, prec;
  bool irreversible, tiled;
};

const Spec kSpecs[] = {
    {"rgb53", 4096, 3, 8, false, false},
    {"rgb97", 4096, 3, 8, true, false},
    {"rgb53t", 4096, 3, 8, false, true},
    {"grey12", 2048, 1, 12, false, false},
};

// Smooth shapes, edges and a little noise, so that the coder sees something like a photograph.
S32 Sample(U32 x, U32 y, U32 c, U32 prec, U32 &seed) {
  seed = seed * 1103515245u + 12345u;
  double v = 0.5 + 0.22 * std::sin(x / 53.0 + c) * std::cos(y / 71.0 - c) + 0.12 * std::sin((x + 2.0 * y) / 9.0 + c);
  if (((x / 300) + (y / 250)) & 1) v = 1.0 - v * 0.8;
  v += ((double)((seed >> 16) & 15) - 7.5) / 512.0;
  double top = (double)((1u << prec) - 1);
  v = v * top;
  return (S32)(v < 0 ? 0 : v > top ? top : v);
}

struct MemStream {
  Bytes *data;
  size_t pos;
};

OPJ_SIZE_T StreamWrite(void *buf, OPJ_SIZE_T n, void *user) {
  auto *s = (MemStream *)user;
  if (s->data->size() < s->pos + n) s->data->resize(s->pos + n);
  memcpy(s->data->data() + s->pos, buf, n);
  s->pos += n;
  return n;
}
OPJ_SIZE_T StreamRead(void *buf, OPJ_SIZE_T n, void *user) {
  auto *s = (MemStream *)user;
  if (s->pos >= s->data->size()) return (OPJ_SIZE_T)-1;
  size_t k = std::min(n, s->data->size() - s->pos);
  memcpy(buf, s->data->data() + s->pos, k);
  s->pos += k;
  return k;
}
OPJ_OFF_T StreamSkip(OPJ_OFF_T n, void *user) {
  auto *s = (MemStream *)user;
  s->pos += (size_t)n;
  return n;
}
OPJ_BOOL StreamSeek(OPJ_OFF_T n, void *user) {
  ((MemStream *)user)->pos = (size_t)n;
  return OPJ_TRUE;
}

opj_stream_t *MakeStream(MemStream *ms, bool input) {
  opj_stream_t *st = opj_stream_create(1 << 20, input ? OPJ_TRUE : OPJ_FALSE);
  opj_stream_set_user_data(st, ms, nullptr);
  if (input) {
    opj_stream_set_user_data_length(st, ms->data->size());
    opj_stream_set_read_function(st, StreamRead);
  } else {
    opj_stream_set_write_function(st, StreamWrite);
  }
  opj_stream_set_skip_function(st, StreamSkip);
  opj_stream_set_seek_function(st, StreamSeek);
  return st;
}

Bytes Encode(const Spec &sp) {
  std::vector<opj_image_cmptparm_t> cp(sp.comps);
  for (auto &p : cp) {
    memset(&p, 0, sizeof p);
    p.dx = p.dy = 1;
    p.w = p.h = sp.size;
    p.prec = sp.prec;
  }
  opj_image_t *img = opj_image_create(sp.comps, cp.data(), sp.comps == 3 ? OPJ_CLRSPC_SRGB : OPJ_CLRSPC_GRAY);
  img->x1 = img->y1 = sp.size;
  U32 seed = 7;
  for (U32 c = 0; c < sp.comps; c++)
    for (U32 y = 0; y < sp.size; y++)
      for (U32 x = 0; x < sp.size; x++) img->comps[c].data[(size_t)y * sp.size + x] = Sample(x, y, c, sp.prec, seed);
  opj_cparameters_t par;
  opj_set_default_encoder_parameters(&par);
  par.tcp_numlayers = 1;
  par.cp_disto_alloc = 1;
  par.tcp_rates[0] = sp.irreversible ? (float)(sp.comps * sp.prec) : 0.0f; // about 1 bit per pixel
  par.irreversible = sp.irreversible;
  par.tcp_mct = sp.comps == 3 ? 1 : 0;
  if (sp.tiled) {
    par.tile_size_on = OPJ_TRUE;
    par.cp_tdx = par.cp_tdy = 512;
  }
  opj_codec_t *enc = opj_create_compress(OPJ_CODEC_J2K);
  Bytes out;
  MemStream ms{&out, 0};
  opj_stream_t *st = MakeStream(&ms, false);
  bool ok = opj_setup_encoder(enc, &par, img) && opj_start_compress(enc, img, st) && opj_encode(enc, st) &&
            opj_end_compress(enc, st);
  opj_stream_destroy(st);
  opj_destroy_codec(enc);
  opj_image_destroy(img);
  if (!ok) out.clear();
  return out;
}

std::map<std::string, Bytes> g_streams;

const Bytes &Stream(const Spec &sp) {
  auto it = g_streams.find(sp.name);
  if (it != g_streams.end()) return it->second;
  const char *dir = getenv("CORVAN_JP2_BENCH_STREAMS");
  std::string path = dir ? std::string(dir) + "/" + sp.name + ".j2k" : "";
  Bytes b;
  if (dir) {
    std::ifstream f(path, std::ios::binary);
    b.assign(std::istreambuf_iterator<char>(f), {});
  }
  if (b.empty()) {
    b = Encode(sp);
    if (dir) std::ofstream(path, std::ios::binary).write((const char *)b.data(), (std::streamsize)b.size());
  }
  return g_streams[sp.name] = std::move(b);
}

// ---- The two decoders; each delivers planar samples of the decoded area ----

struct Area {
  U32 reduce; // resolution levels dropped
  bool region;
};

struct Decoded {
  std::vector<std::vector<S32>> planes;
  U32 w = 0, h = 0;
};

// Region near the bottom-right corner, 512 x 512, not aligned with tiles or code-blocks.
void RegionOf(U32 size, U32 &x0, U32 &y0) {
  x0 = size - 600;
  y0 = size - 560;
}

bool OpjDecode(const Bytes &data, Area a, Decoded *keep) {
  MemStream ms{const_cast<Bytes *>(&data), 0};
  opj_stream_t *st = MakeStream(&ms, true);
  opj_codec_t *dec = opj_create_decompress(OPJ_CODEC_J2K);
  opj_dparameters_t par;
  opj_set_default_decoder_parameters(&par);
  par.cp_reduce = a.reduce;
  opj_image_t *img = nullptr;
  bool ok = opj_setup_decoder(dec, &par) && opj_read_header(st, dec, &img);
  if (ok && a.region) {
    U32 x0, y0;
    RegionOf(img->x1, x0, y0);
    ok = opj_set_decode_area(dec, img, (OPJ_INT32)x0, (OPJ_INT32)y0, (OPJ_INT32)x0 + 512, (OPJ_INT32)y0 + 512);
  }
  ok = ok && opj_decode(dec, st, img) && opj_end_decompress(dec, st);
  if (ok && keep) {
    keep->w = img->comps[0].w;
    keep->h = img->comps[0].h;
    for (U32 c = 0; c < img->numcomps; c++)
      keep->planes.emplace_back(img->comps[c].data, img->comps[c].data + (size_t)keep->w * keep->h);
  }
  benchmark::DoNotOptimize(img ? img->comps[0].data : nullptr);
  opj_image_destroy(img);
  opj_destroy_codec(dec);
  opj_stream_destroy(st);
  return ok;
}

void *OurMalloc(U32 n, void *) { return malloc(n); }
S32 OurFree(void *p, void *) {
  free(p);
  return 0;
}
U32 OurRead(U8 *d, U32 off, U32 n, void *p) {
  auto *v = (const Bytes *)p;
  if (off >= v->size()) return 0;
  U32 k = (U32)std::min<size_t>(n, v->size() - off);
  memcpy(d, v->data() + off, k);
  return k;
}

struct OurImage {
  std::vector<U8 *> planes;
  U32 w, bytes;
};

S32 OurSink(const void *s, S16 ch, U32 row, U32 col, U32 count, void *param) {
  auto *o = (OurImage *)param;
  memcpy(o->planes[(size_t)ch] + ((size_t)row * o->w + col) * o->bytes, s, (size_t)count * o->bytes);
  return 0;
}

bool OurDecode(const Bytes &data, const Spec &sp, Area a, Decoded *keep) {
  JP2_Decomp_Handle h;
  if (JP2_Decompress_Start(&h, OurMalloc, nullptr, OurFree, nullptr, OurRead, const_cast<Bytes *>(&data)) != 0)
    return false;
  U32 x0 = 0, y0 = 0, w = sp.size >> a.reduce, hh = w;
  if (a.region) {
    RegionOf(sp.size, x0, y0);
    w = hh = 512;
  }
  OurImage img{{}, w, sp.prec <= 8 ? 1u : 2u};
  for (U32 c = 0; c < sp.comps; c++) img.planes.push_back((U8 *)malloc((size_t)w * hh * img.bytes));
  JP2_Decompress_SetProp(h, 50, (JP2_Property_Value)&OurSink);
  JP2_Decompress_SetProp(h, 51, (JP2_Property_Value)&img);
  JP2_Decompress_SetProp(h, 23, 1u << a.reduce);
  // The stream is in memory already: the decoder reads it where it lies instead of caching a copy of it.
  JP2_Decompress_SetProp(h, 25, 0);
  S32 e = a.region ? JP2_Decompress_Region(h, x0, x0 + 512, y0, y0 + 512) : JP2_Decompress_Image(h);
  JP2_Decompress_End(h);
  if (e == 0 && keep) {
    keep->w = w;
    keep->h = hh;
    for (U8 *p : img.planes) {
      std::vector<S32> v((size_t)w * hh);
      for (size_t i = 0; i < v.size(); i++) {
        U16 u16 = 0;
        if (img.bytes == 2) memcpy(&u16, p + 2 * i, 2);
        v[i] = img.bytes == 1 ? p[i] : u16;
      }
      keep->planes.push_back(std::move(v));
    }
  }
  for (U8 *p : img.planes) free(p);
  return e == 0;
}

// Runs one decode per iteration and reports the peak heap use above the level before it.
template <class F> void Measure(benchmark::State &state, F decode) {
  long peak = 0;
  for (auto _ : state) {
    long before = g_heapNow.load();
    g_heapPeak.store(before);
    if (!decode()) {
      state.SkipWithError("decoding failed");
      return;
    }
    peak = std::max(peak, g_heapPeak.load() - before);
  }
  state.counters["peak_MiB"] = (double)peak / (1 << 20);
}

void Ours(benchmark::State &state, int spec, Area a) {
  const Spec &sp = kSpecs[spec];
  const Bytes &data = Stream(sp);
  // The same output as OpenJPEG's, checked once outside the timing.
  Decoded mine, theirs;
  if (data.empty() || !OurDecode(data, sp, a, &mine) || !OpjDecode(data, a, &theirs)) {
    state.SkipWithError("no stream or no decode");
    return;
  }
  long worst = -1;
  double sum = 0;
  if (mine.w == theirs.w && mine.h == theirs.h && mine.planes.size() == theirs.planes.size()) {
    worst = 0;
    for (size_t c = 0; c < mine.planes.size(); c++)
      for (size_t i = 0; i < mine.planes[c].size(); i++) {
        long d = std::labs((long)mine.planes[c][i] - theirs.planes[c][i]);
        worst = std::max(worst, d);
        sum += (double)d;
      }
    sum /= (double)mine.planes.size() * mine.w * mine.h;
  }
  Measure(state, [&] { return OurDecode(data, sp, a, nullptr); });
  state.counters["err"] = (double)worst;
  state.counters["err_mean"] = sum;
}

void Opj(benchmark::State &state, int spec, Area a) {
  const Bytes &data = Stream(kSpecs[spec]);
  if (data.empty()) {
    state.SkipWithError("no stream");
    return;
  }
  Measure(state, [&] { return OpjDecode(data, a, nullptr); });
}

const Area kWhole{0, false}, kRegion{0, true}, kReduce{2, false};

void Register() {
  const std::pair<const char *, Area> areas[] = {{"whole", kWhole}, {"region512", kRegion}, {"reduce4", kReduce}};
  for (int s = 0; s < (int)(sizeof kSpecs / sizeof kSpecs[0]); s++)
    for (auto &[an, a] : areas) {
      std::string row = std::string(kSpecs[s].name) + "_" + an;
      benchmark::RegisterBenchmark(("ours/" + row).c_str(), Ours, s, a)->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("openjpeg/" + row).c_str(), Opj, s, a)->Unit(benchmark::kMillisecond);
    }
}

// Collects the runs and prints the ratio table after the usual output.
class TableReporter : public benchmark::ConsoleReporter {
public:
  struct Row {
    double ms = 0, peak = 0, err = -1, errMean = 0;
    bool median = false;
  };
  std::map<std::string, std::map<std::string, Row>> rows; // row -> decoder -> figures
  std::vector<std::string> order;

  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &r : runs) {
      // With repetitions the median stands for the row; its counters are the medians too.
      bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (r.error_occurred || (r.run_type != Run::RT_Iteration && !median)) continue;
      std::string name = r.run_name.str(); // without the aggregate's suffix
      size_t slash = name.find('/');
      std::string who = name.substr(0, slash), row = name.substr(slash + 1);
      row = row.substr(0, row.find('/'));
      if (!rows.count(row)) order.push_back(row);
      Row &x = rows[row][who];
      if (x.median && !median) continue;
      x.median = median;
      x.ms = r.GetAdjustedCPUTime(); // one thread: CPU time, less disturbed by other load on the machine
      auto get = [&](const char *k, double d) {
        auto it = r.counters.find(k);
        return it == r.counters.end() ? d : (double)it->second;
      };
      x.peak = get("peak_MiB", 0);
      x.err = get("err", -1);
      x.errMean = get("err_mean", 0);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintTable() {
    printf("\n%-18s %10s %10s %7s %10s %10s %7s %5s %8s\n", "row", "ours ms", "opj ms", "time", "ours MiB",
           "opj MiB", "memory", "err", "err mean");
    for (const std::string &row : order) {
      auto &m = rows[row];
      if (!m.count("ours") || !m.count("openjpeg")) continue;
      const Row &o = m["ours"], &j = m["openjpeg"];
      printf("%-18s %10.1f %10.1f %7.2f %10.1f %10.1f %7.2f %5.0f %8.4f\n", row.c_str(), o.ms, j.ms,
             j.ms > 0 ? o.ms / j.ms : 0.0, o.peak, j.peak, j.peak > 0 ? o.peak / j.peak : 0.0, o.err, o.errMean);
    }
  }
};

} // namespace

int main(int argc, char **argv) {
  unsetenv("OPJ_NUM_THREADS"); // OpenJPEG decodes on this thread, as ours does
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Register();
  TableReporter rep;
  benchmark::RunSpecifiedBenchmarks(&rep);
  rep.PrintTable();
  benchmark::Shutdown();
  return 0;
}

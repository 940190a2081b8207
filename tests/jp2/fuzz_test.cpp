// Damaged inputs: deterministic mutations of the corpus through the public interface.
#include <gtest/gtest.h>

#include "jp2_fuzz_entry.h"
#include "jp2_test_util.h"

using namespace jp2test;

TEST(Jp2Fuzz, MutatedCorpusDecodesCleanly) {
  U32 seed = 12345;
  auto rnd = [&]() {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  for (const char *f : {"prog_ppm_span.j2k", "prog_ppt_span.j2k", "tlm_plt.j2k", "meta.jp2", "palette.jp2",
                        "gray_97.j2k", "yuv420_53.j2k", "styles/m63.j2k", "tiles_off.j2k", "roi.j2k"}) {
    Bytes base = LoadFile(f);
    ASSERT_FALSE(base.empty()) << f;
    for (int i = 0; i < 150; i++) {
      Bytes d = base;
      int kind = (int)(rnd() % 4);
      int n = 1 + (int)(rnd() % 6);
      for (int k = 0; k < n; k++) {
        // Headers are where sizes and indexes live: mutate the first 300 bytes more often.
        size_t at = (rnd() % 3) ? rnd() % std::min<size_t>(300, d.size()) : rnd() % d.size();
        if (kind == 0) d[at] ^= (U8)(1u << (rnd() % 8));
        if (kind == 1) d[at] = (U8)rnd();
        if (kind == 2) d[at] = (rnd() & 1) ? 0xFF : 0x00;
      }
      if (kind == 3) d.resize(rnd() % d.size());
      ASSERT_TRUE(jp2fuzz::DecodeOne(d.data(), d.size())) << f << " mutation " << i;
    }
  }
}

// Streams that once overflowed integer arithmetic (caught by the sanitizer builds): six levels of 5/3, and a
// damaged 12-bit 5/3 stream with coefficients near 2^30.
TEST(Jp2Fuzz, OverflowStreamsDecodeCleanly) {
  for (const char *f : {"fuzz/overflow_levels6_53.j2k", "fuzz/overflow_lift53.j2k"}) {
    Bytes d = LoadFile(f);
    ASSERT_FALSE(d.empty()) << f;
    EXPECT_TRUE(jp2fuzz::DecodeOne(d.data(), d.size())) << f;
  }
}

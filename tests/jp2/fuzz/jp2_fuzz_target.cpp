// libFuzzer entry over the decoder's public interface (built with clang and CORVAN_FUZZ=ON).
#include <cstdlib>

#include "../jp2_fuzz_entry.h"
#include "kernel/memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (!jp2fuzz::DecodeOne(data, size)) abort();
  return 0;
}

// The decoder falls back on the program allocator only when no callbacks are given; this program always passes
// its own, so it links the decoder alone and these must never run.
void *H_MEMORY_pvMalloc(U32) { abort(); }
void H_MEMORY_vFree(void *) { abort(); }

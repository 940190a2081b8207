// libFuzzer entry over the decoder's public interface (built with clang and CORVAN_FUZZ=ON).
#include <cstdlib>

#include "../jp2_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (!jp2fuzz::DecodeOne(data, size)) abort();
  return 0;
}

// libFuzzer target: the manifest.dat reader of the world files on arbitrary bytes.
#include <cstdlib>

#include "fuzz/manifest_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!ombrivale::fuzz::ManifestFuzzOne(data, size)) std::abort();
  return 0;
}

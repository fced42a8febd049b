// libFuzzer target: an animal file as Play God and --import read it on arbitrary bytes.
#include <cstdlib>

#include "fuzz/records_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!ombrivale::fuzz::AnimalImportFuzzOne(data, size)) std::abort();
  return 0;
}

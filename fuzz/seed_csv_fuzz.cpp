// libFuzzer target: an ensemble seed's statistics file through the summary on arbitrary bytes.
#include <cstdlib>

#include "fuzz/records_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!ombrivale::fuzz::SeedCsvFuzzOne(data, size)) std::abort();
  return 0;
}

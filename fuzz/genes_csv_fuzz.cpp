// libFuzzer target: genes.csv (the history's gene series) on arbitrary bytes.
#include <cstdlib>

#include "fuzz/records_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!ombrivale::fuzz::GenesCsvFuzzOne(data, size)) std::abort();
  return 0;
}

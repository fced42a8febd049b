// libFuzzer target: stats.csv (the history's samples) on arbitrary bytes.
#include <cstdlib>

#include "fuzz/records_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!ombrivale::fuzz::StatsCsvFuzzOne(data, size)) std::abort();
  return 0;
}

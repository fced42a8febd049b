// libFuzzer target: conditions.txt (the world's conditions) on arbitrary bytes.
#include <cstdlib>

#include "fuzz/records_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!ombrivale::fuzz::ConditionsFuzzOne(data, size)) std::abort();
  return 0;
}

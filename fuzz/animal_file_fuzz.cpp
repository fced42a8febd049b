// libFuzzer target: the animal file (A_<slot>.OBG) reader of the world files on arbitrary bytes.
#include <cstdlib>

#include "fuzz/world_files_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!ombrivale::fuzz::AnimalFileFuzzOne(data, size)) std::abort();
  return 0;
}

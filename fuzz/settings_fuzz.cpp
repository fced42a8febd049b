// libFuzzer target: the settings file reader on arbitrary bytes.
#include <cstdlib>

#include "fuzz/settings_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!ombrivale::fuzz::SettingsFuzzOne(data, size)) std::abort();
  return 0;
}

// libFuzzer target: the savepoint reader (header, zstd body, file entries) on
// arbitrary bytes. A savepoint is refused or read, never a crash.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "world/savepoint.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::pair<std::string, std::string>> contents;
  ombrivale::ParseSavepoint(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz",
                            contents);
  return 0;
}

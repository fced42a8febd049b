// One fuzz input for the manifest reader, shared by the libFuzzer target and
// the test that replays its corpus. The reader must refuse the input with
// one of its errors and its line, leaving the manifest as it was, or take a
// manifest that writes back as the same bytes. Each input is tried twice: as
// it is, and sealed with the checksum line its bytes call for, so that the
// fuzzer reaches past the checksum into the lines it guards.
#pragma once

#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "world/manifest.h"

namespace ombrivale::fuzz {

inline bool ManifestReadsBackOrIsRefused(std::string_view input) {
  static Manifest manifest;
  static std::string text;
  manifest.sequence = 77;  // no input reads as this manifest: only a refusal leaves it
  manifest.files.assign(1, ManifestEntry{"/", 1, 2});
  if (const Status error = ParseManifest(input, manifest); !error.ok()) {
    const int n = error.number();
    const bool known = n == kErrorPastEnd || n == kErrorNotNumber || n == kErrorOutOfRange ||
                       n == kErrorBadManifest;
    return known && error.where() > 0 && manifest.sequence == 77 && manifest.files.size() == 1 &&
           manifest.files[0].name == "/";
  }
  ManifestText(manifest, text);
  return text == input;
}

inline bool ManifestFuzzOne(const uint8_t* data, size_t size) {
  static std::string sealed;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  sealed.assign(input);
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08" PRIx32 "\r\n", Crc32(input));
  sealed += crc;
  return ManifestReadsBackOrIsRefused(input) && ManifestReadsBackOrIsRefused(sealed);
}

}  // namespace ombrivale::fuzz

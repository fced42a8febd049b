// "manifest.dat", the list of what one save wrote, and the checksum that
// proves a file is the one it lists. The format is documented with the
// other files of the folder in world/world_files.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "world/file_system.h"

namespace ombrivale {

inline constexpr const char* kManifestFileName = "manifest.dat";

// CRC-32 of `bytes` (the checksum of zlib, gzip and PNG: polynomial
// 0xEDB88320 reflected, "123456789" gives 0xCBF43926), going on from `crc`,
// the CRC-32 of the bytes before them (0 for none). Eight bytes a step,
// about a gigabyte a second.
uint32_t Crc32(std::string_view bytes, uint32_t crc = 0);

struct ManifestEntry {
  std::string name;   // a plain file name: no '/', no blank, no control byte
  uint64_t size = 0;  // bytes
  uint32_t crc = 0;   // Crc32 of the whole file
};

struct Manifest {
  // Counts the saves of a world: 1 for its first, and a load goes on
  // counting from the manifest it read.
  uint64_t sequence = 0;
  int32_t year = 0;
  int16_t month = 0;
  std::vector<ManifestEntry> files;  // in the order written
};

// The file's text, replacing `out`.
void ManifestText(const Manifest& manifest, std::string& out);

// Reads the file, all or nothing: an error (kErrorPastEnd, kErrorNotNumber,
// kErrorOutOfRange or kErrorBadManifest, with the line) when a line is not
// in exactly the form ManifestText writes, a name is listed twice, or the
// last line is not the checksum of the lines before it; `manifest` is
// untouched then. What reads is what ManifestText wrote: writing it again
// gives the same bytes.
Status ParseManifest(std::string_view text, Manifest& manifest);

// The manifest's entries sorted by name, to look files up in.
class ManifestIndex {
 public:
  explicit ManifestIndex(const Manifest& manifest);
  // The entry of `name`; nullptr when the manifest does not list it.
  const ManifestEntry* Find(std::string_view name) const;

 private:
  std::vector<const ManifestEntry*> sorted_;
};

// Whether `bytes` are the file the manifest lists as `name`: no error, or
// kErrorNotInManifest, kErrorSizeDiffers or kErrorChecksumDiffers.
Status CheckListedFile(const ManifestIndex& index, std::string_view name, std::string_view bytes);

}  // namespace ombrivale

#include "world/animal_import.h"

#include "world/world_files.h"

namespace ombrivale {
namespace {

constexpr int kSexLine = 4;
constexpr int kXLine = 6;
constexpr int kYLine = 7;

// Where the 128th line ends, or npos when the text has fewer line ends.
size_t EndOfLastLine(std::string_view text) {
  size_t at = 0;
  for (int line = 0; line < kAnimalFileLines; ++line) {
    at = text.find('\n', at);
    if (at == std::string_view::npos) return at;
    ++at;
  }
  return at;
}

}  // namespace

Status ParseAnimalToDrop(std::string_view text, Animal& out) {
  Animal read = out;
  if (Status error = ParseAnimalFile(text, read); !error.ok()) {
    // The loader says where it stopped: the last line it read. The line that
    // is missing is the next one.
    if (error.number() == kErrorPastEnd) error.SetWhere(error.where() + 1);
    return error;
  }
  if (EndOfLastLine(text) == std::string_view::npos) {
    return FormatError(kErrorPastEnd, kAnimalFileLines);
  }
  if (read.Sex > 1) return FormatError(kErrorOutOfRange, kSexLine);
  if (read.X < 0 || read.X > kMaxX) return FormatError(kErrorOutOfRange, kXLine);
  if (read.Y < 0 || read.Y > kMaxY) return FormatError(kErrorOutOfRange, kYLine);
  out = read;
  return {};
}

Status ReadAnimalToDrop(FileSystem& files, const std::string& path, Animal& out) {
  std::string text;
  if (const Status error = files.ReadFile(path, text); !error.ok()) return error;
  return ParseAnimalToDrop(text, out);
}

std::string AnimalFileFault(const Status& error) {
  const std::string line = "line " + std::to_string(error.where());
  switch (error.number()) {
    case kErrorPastEnd:
      return line + " is missing or cut short";
    case kErrorNotNumber:
      return line + " is not a number";
    case kErrorOutOfRange:
      return line + " is out of range";
    default:
      return ErrorDescription(error);
  }
}

Status WriteAnimalToFile(FileSystem& files, const std::string& path, const Animal& animal) {
  return WriteWholeFile(files, path, AnimalFileText(animal), true);
}

}  // namespace ombrivale

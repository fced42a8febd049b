#include "world/settings_file.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "core/numeric.h"
#include "world/safe_folder.h"

namespace ombrivale {
namespace {

// Walks the text line by line; a line ends at LF, a CR before it is dropped.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}

  std::optional<std::string_view> Next() {
    if (done_) return std::nullopt;
    const size_t end = rest_.find('\n');
    std::string_view line = rest_.substr(0, end);
    if (end == std::string_view::npos) {
      done_ = true;
      // Text after the last line break is a line of its own; nothing after it
      // is no line at all.
      if (line.empty()) return std::nullopt;
    } else {
      rest_.remove_prefix(end + 1);
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

 private:
  std::string_view rest_;
  bool done_ = false;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The number text of a line: blanks around it and a leading '+' dropped;
// nothing when what is left does not start like a decimal number.
std::optional<std::string_view> NumberToken(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  const char first = text.front() == '-' && text.size() > 1 ? text[1] : text.front();
  if (!(first >= '0' && first <= '9') && first != '.') return std::nullopt;
  return text;
}

// The parsers below return 0, kErrorNotNumber or kErrorOutOfRange and store
// into `value` only on success.

// A decimal number with any blanks around it: an optional sign, digits, an
// optional fraction and exponent. Infinities, NaN and anything else fail.
template <class Number>
int ParseNumber(std::string_view line, Number& value) {
  const std::optional<std::string_view> token = NumberToken(line);
  if (!token) return kErrorNotNumber;
  Number parsed = 0;
  const char* end = token->data() + token->size();
  const auto result = std::from_chars(token->data(), end, parsed);
  if (result.ptr != end) return kErrorNotNumber;
  if (result.ec == std::errc::result_out_of_range) return kErrorOutOfRange;
  if (result.ec != std::errc() || !std::isfinite(parsed)) return kErrorNotNumber;
  value = parsed;
  return 0;
}

// An integer field: the number rounded half to even, within [low, high].
int ParseInteger(std::string_view text, int64_t low, int64_t high, int64_t& value) {
  double parsed = 0;
  if (const int error = ParseNumber(text, parsed)) return error;
  const double rounded = RoundHalfEven(parsed);
  if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high)) {
    return kErrorOutOfRange;
  }
  value = static_cast<int64_t>(rounded);
  return 0;
}

// A window position: converted straight to single precision (no double
// rounding, so what was written reads back exactly). Values too small for a
// normal single fail rather than read as a subnormal or zero.
int ParseSingle(std::string_view text, float& value) {
  float parsed = 0;
  if (const int error = ParseNumber(text, parsed)) return error;
  if (parsed != 0.0f && std::fabs(parsed) < std::numeric_limits<float>::min()) {
    return kErrorOutOfRange;
  }
  value = parsed;
  return 0;
}

int ParseTruth(std::string_view text, bool& value) {
  int64_t parsed = 0;
  if (const int error = ParseInteger(text, INT16_MIN, INT16_MAX, parsed)) return error;
  value = parsed != 0;
  return 0;
}

// An option flag: any byte value, stored as 0 or 1.
int ParseFlag(std::string_view text, uint8_t& value) {
  int64_t parsed = 0;
  if (const int error = ParseInteger(text, 0, 255, parsed)) return error;
  value = parsed != 0 ? 1 : 0;
  return 0;
}

// A 16-bit field within [low, high].
template <int64_t low, int64_t high>
int ParseInt16(std::string_view text, int16_t& value) {
  int64_t parsed = 0;
  if (const int error = ParseInteger(text, low, high, parsed)) return error;
  value = static_cast<int16_t>(parsed);
  return 0;
}

// The number with one leading blank when not negative.
void AppendInteger(std::string& out, int64_t value) {
  if (value >= 0) out += ' ';
  out += std::to_string(value);
  out += "\r\n";
}

void AppendSingle(std::string& out, float value) {
  if (value == 0.0f) value = 0.0f;  // no "-0"
  // Whole positions as plain integers (100000, not 1e+05); the rest in the
  // shortest form that reads back as the same single.
  if (std::fabs(value) < 1e15f && std::trunc(value) == value) {
    AppendInteger(out, static_cast<int64_t>(value));
    return;
  }
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (value >= 0.0f) out += ' ';
  out.append(buffer, result.ptr);
  out += "\r\n";
}

int16_t TruthValue(bool value) {
  return value ? kTrue : kFalse;
}

}  // namespace

Status ReadSettingsText(World& world, Display& display, std::string_view text,
                        WindowPlacement (&windows)[kWindowCount]) {
  LineReader lines(text);
  int lineNumber = 0;
  Status first;
  // Applies the next line through `parse` into `field`; a line that is
  // missing or does not read leaves the field as it was.
  auto read = [&](auto parse, auto& field) {
    ++lineNumber;
    const std::optional<std::string_view> line = lines.Next();
    const int error = line ? parse(*line, field) : kErrorPastEnd;
    if (error != 0 && first.ok()) first = FormatError(error, lineNumber);
  };

  for (WindowPlacement& window : windows) {
    read(ParseSingle, window.left);
    read(ParseSingle, window.top);
    read(ParseTruth, window.shown);
  }
  read(ParseFlag, world.LogOn);
  read(ParseFlag, world.AutoRestart);
  read(ParseInt16<INT16_MIN, INT16_MAX>, display.SelectedAnimal);
  read(ParseFlag, world.RealColours);
  read(ParseFlag, world.OverwriteLeast);
  read(ParseFlag, world.AutoSave);
  // The zoom drives the QuickDraw scroll bar, whose range is 1..500.
  read(ParseInt16<kQuickDrawZoomMin, kQuickDrawZoomMax>, display.QuickDrawZoom);
  read(ParseTruth, world.Filters.OldAge);
  read(ParseTruth, world.Filters.Eaten);
  read(ParseTruth, world.Filters.Overwritten);
  read(ParseTruth, world.Filters.Suffocation);
  read(ParseTruth, world.Filters.Hunger);
  return first;
}

std::string SettingsText(const World& world, const Display& display,
                         const WindowPlacement (&windows)[kWindowCount]) {
  std::string out;
  out.reserve(512);
  for (const WindowPlacement& window : windows) {
    AppendSingle(out, window.left);
    AppendSingle(out, window.top);
    AppendInteger(out, TruthValue(window.shown));
  }
  AppendInteger(out, world.LogOn);
  AppendInteger(out, world.AutoRestart);
  AppendInteger(out, display.SelectedAnimal);
  AppendInteger(out, world.RealColours);
  AppendInteger(out, world.OverwriteLeast);
  AppendInteger(out, world.AutoSave);
  AppendInteger(out, display.QuickDrawZoom);
  AppendInteger(out, TruthValue(world.Filters.OldAge));
  AppendInteger(out, TruthValue(world.Filters.Eaten));
  AppendInteger(out, TruthValue(world.Filters.Overwritten));
  AppendInteger(out, TruthValue(world.Filters.Suffocation));
  AppendInteger(out, TruthValue(world.Filters.Hunger));
  return out;
}

Status LoadSettings(World& world, Display& display, const std::string& path,
                    WindowPlacement (&windows)[kWindowCount]) {
  PosixFileSystem files;
  std::string text;
  Status error = files.ReadFile(path, text);
  // A file that cannot be read fails every line, leaving every item as it was.
  const Status lineError =
      ReadSettingsText(world, display, !error.ok() ? std::string_view() : text, windows);
  if (error.ok()) error = lineError;
  if (!error.ok()) PostFileNotice(world, error, "Ini", "Error Loading Ini");
  return error;
}

Status SaveSettings(World& world, const Display& display, const std::string& path,
                    const WindowPlacement (&windows)[kWindowCount]) {
  PosixFileSystem files;
  return SaveSettings(world, display, path, windows, files);
}

Status SaveSettings(World& world, const Display& display, const std::string& path,
                    const WindowPlacement (&windows)[kWindowCount], FileSystem& files) {
  const std::string temporary = path + ".tmp";
  Status error = WriteWholeFile(files, temporary, SettingsText(world, display, windows), true);
  if (error.ok()) error = files.Rename(temporary, path);
  if (!error.ok()) {
    files.RemoveFile(temporary);  // best effort: the previous file is whole
  } else {
    // The rename itself reaches the disk with the folder.
    error = SyncFolder(files, ParentFolder(path));
  }
  return error;
}

}  // namespace ombrivale

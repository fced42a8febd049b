#include "world/settings_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "core/numeric.h"

namespace ombrivale {
namespace {

// Bytes read of a settings file at most; the 27 short lines need a few
// hundred, and whatever lies beyond this is not a settings file.
constexpr size_t kReadLimit = 1 << 20;

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

// A decimal number with any blanks around it: an optional sign, digits, an
// optional fraction and exponent. Infinities, NaN and anything else fail.
template <class Number>
std::optional<Number> ParseNumber(std::string_view line) {
  const std::optional<std::string_view> token = NumberToken(line);
  if (!token) return std::nullopt;
  Number value = 0;
  const char* end = token->data() + token->size();
  const auto result = std::from_chars(token->data(), end, value);
  if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// An integer field: the number rounded half to even, within [low, high].
std::optional<int64_t> ParseInteger(std::string_view text, int64_t low, int64_t high) {
  const std::optional<double> value = ParseNumber<double>(text);
  if (!value) return std::nullopt;
  const double rounded = RoundHalfEven(*value);
  if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high)) {
    return std::nullopt;
  }
  return static_cast<int64_t>(rounded);
}

// A window position: converted straight to single precision (no double
// rounding, so what was written reads back exactly). Values too small for a
// normal single fail rather than read as a subnormal or zero.
std::optional<float> ParseSingle(std::string_view text) {
  const std::optional<float> value = ParseNumber<float>(text);
  if (!value || (*value != 0.0f && std::fabs(*value) < std::numeric_limits<float>::min())) {
    return std::nullopt;
  }
  return value;
}

std::optional<bool> ParseTruth(std::string_view text) {
  const std::optional<int64_t> value = ParseInteger(text, INT16_MIN, INT16_MAX);
  if (!value) return std::nullopt;
  return *value != 0;
}

// An option flag: any byte value, stored as 0 or 1.
std::optional<uint8_t> ParseFlag(std::string_view text) {
  const std::optional<int64_t> value = ParseInteger(text, 0, 255);
  if (!value) return std::nullopt;
  return static_cast<uint8_t>(*value != 0 ? 1 : 0);
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

std::string ErrorText(int error) {
  return "Error  " + std::to_string(error) + "\n\r" + std::strerror(error) + "\n\r" +
         "It'd be a good idea to give this number to Brenlo.";
}

// Writes all of `text` to `fd`; false (errno set) on any short write.
bool WriteAll(int fd, const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

int ReadSettingsText(World& world, Display& display, std::string_view text,
                     WindowPlacement (&windows)[kWindowCount]) {
  LineReader lines(text);
  int failures = 0;
  // Applies the next line through `parse` into `field`; a line that is
  // missing or does not read leaves the field as it was.
  auto read = [&](auto parse, auto& field) {
    const std::optional<std::string_view> line = lines.Next();
    if (line) {
      if (const auto value = parse(*line)) {
        field = *value;
        return;
      }
    }
    ++failures;
  };

  for (WindowPlacement& window : windows) {
    read(ParseSingle, window.left);
    read(ParseSingle, window.top);
    read(ParseTruth, window.shown);
  }
  read(ParseFlag, world.LogOn);
  read(ParseFlag, world.AutoRestart);
  read(
      [](std::string_view t) -> std::optional<int16_t> {
        const auto v = ParseInteger(t, INT16_MIN, INT16_MAX);
        if (!v) return std::nullopt;
        return static_cast<int16_t>(*v);
      },
      display.SelectedAnimal);
  read(ParseFlag, world.RealColours);
  read(ParseFlag, world.OverwriteLeast);
  read(ParseFlag, world.AutoSave);
  // The zoom drives the QuickDraw scroll bar, whose range is 1..500.
  read(
      [](std::string_view t) -> std::optional<int16_t> {
        const auto v = ParseInteger(t, kQuickDrawZoomMin, kQuickDrawZoomMax);
        if (!v) return std::nullopt;
        return static_cast<int16_t>(*v);
      },
      display.QuickDrawZoom);
  read(ParseTruth, world.Filters.OldAge);
  read(ParseTruth, world.Filters.Eaten);
  read(ParseTruth, world.Filters.Overwritten);
  read(ParseTruth, world.Filters.Suffocation);
  read(ParseTruth, world.Filters.Hunger);
  return failures;
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

bool LoadSettings(World& world, Display& display, const std::string& path,
                  WindowPlacement (&windows)[kWindowCount]) {
  std::string text;
  bool opened = false;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    opened = true;
    char buffer[4096];
    size_t n = 0;
    while (text.size() < kReadLimit && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      text.append(buffer, n);
    }
    if (std::ferror(file)) opened = false;
    std::fclose(file);
  }
  // A missing file fails every line, leaving every item as it was.
  const int failures = ReadSettingsText(
      world, display, opened ? std::string_view(text) : std::string_view(), windows);
  const bool ok = opened && failures == 0;
  if (!ok) SeamOf(world).ShowMessageBox("Error Loading Ini", "Ini", Buttons::Ok);
  return ok;
}

bool SaveSettings(World& world, const Display& display, const std::string& path,
                  const WindowPlacement (&windows)[kWindowCount]) {
  const std::string text = SettingsText(world, display, windows);
  const std::string temporary = path + ".tmp";
  int error = 0;
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = errno;
  } else {
    if (!WriteAll(fd, text) || ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) std::remove(temporary.c_str());
  }
  if (error == 0) return true;
  SeamOf(world).ShowMessageBox(ErrorText(error), "ERROR", Buttons::Ok);
  return false;
}

}  // namespace ombrivale

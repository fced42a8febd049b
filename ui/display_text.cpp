#include "ui/display_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace ombrivale::ui {

double RoundForPattern(double value, int decimals) {
  if (!std::isfinite(value) || value == 0) return value;
  // The 15 significant digits d0.d1...d14 and the power of ten of d0.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  char digits[15];
  digits[0] = buffer[0];
  std::memcpy(digits + 1, buffer + 2, 14);
  const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
  // Digit i stands for 10^(exponent - i); keep those down to 10^-decimals.
  const int keep = exponent + decimals + 1;
  if (keep >= static_cast<int>(sizeof digits)) return value;
  if (keep < 0) return 0;
  long long number = 0;
  for (int i = 0; i < keep; ++i)
    number = number * 10 + (digits[i] - '0');
  if (digits[keep] >= '5') ++number;
  std::snprintf(buffer, sizeof buffer, "%llde%d", number, exponent - keep + 1);
  const double rounded = std::strtod(buffer, nullptr);
  return value < 0 ? -rounded : rounded;
}

std::string GeneralNumberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value == 0 ? 0.0 : value);
  std::string text(value < 0 ? "" : " ");
  text.append(buffer);
  return text;
}

std::string ScaleText(int zoom) {
  const double length = RoundForPattern(10 / (zoom / 100.0), 2);
  std::string text("=");
  text.append(GeneralNumberText(length)).append("cm   ");
  text.append(GeneralNumberText(zoom)).append("%Zoom");
  return text;
}

std::string AnimalCountText(int listed) {
  return GeneralNumberText(listed) + " Animals";
}

std::string PercentText(int listed, int living) {
  const double percent =
      living == 0 ? 0.0 : static_cast<double>(listed) / static_cast<double>(living) * 100;
  return GeneralNumberText(RoundForPattern(percent, 4)) + "%";
}

}  // namespace ombrivale::ui

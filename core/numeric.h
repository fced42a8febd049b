// Saturating arithmetic and rounding for the record fields.
//
// The records keep their 16-bit and 8-bit fields. A result that does not fit
// is held at the field's limit instead of wrapping, so a long run can never
// stop or crash on an overflow. Fractions become integers by rounding half to
// even (std::nearbyint in the default rounding mode) unless a rule says floor.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace ombrivale {

// Round to the nearest integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Adding 2^52 with the value's sign leaves no bits for a fraction, so the
// addition itself rounds (to nearest, ties to even) and the subtraction is
// exact: std::nearbyint's result without its call (the baseline x86-64
// instruction set has no rounding instruction). Values of 2^52 and beyond
// are whole already; NaN passes through.
inline double RoundHalfEven(double value) {
  constexpr double kNoFraction = 4503599627370496.0;  // 2^52
  if (!(std::fabs(value) < kNoFraction)) return value;
  const double shift = std::copysign(kNoFraction, value);
  return (value + shift) - shift;
}

// Clamps a wide integer into T's range.
template <class T>
constexpr T Saturate(int64_t value) {
  static_assert(std::is_integral_v<T>);
  if (value < static_cast<int64_t>(std::numeric_limits<T>::min())) {
    return std::numeric_limits<T>::min();
  }
  if (value > static_cast<int64_t>(std::numeric_limits<T>::max())) {
    return std::numeric_limits<T>::max();
  }
  return static_cast<T>(value);
}

// Rounds half to even, then clamps into T's range. NaN becomes 0.
template <class T>
T RoundTo(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = RoundHalfEven(value);
  if (rounded <= static_cast<double>(std::numeric_limits<T>::min())) {
    return std::numeric_limits<T>::min();
  }
  if (rounded >= static_cast<double>(std::numeric_limits<T>::max())) {
    return std::numeric_limits<T>::max();
  }
  return static_cast<T>(rounded);
}

// field += delta, held at the field's limits.
template <class T>
void AddSaturating(T& field, int64_t delta) {
  field = Saturate<T>(static_cast<int64_t>(field) + delta);
}

// The sign of a number as -1, 0 or +1.
template <class T>
constexpr int Sign(T value) {
  return (value > T{0}) - (value < T{0});
}

}  // namespace ombrivale

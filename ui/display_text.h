// Numbers as the secondary windows show them.
//
// The windows pass a number through a fixed pattern such as "000.00", read
// the result back as a number and show it in the general form with one
// leading blank for the sign ("= 10cm    100%Zoom", " 12.3457%").
#pragma once

#include <string>

namespace ombrivale::ui {

// `value` rounded to `decimals` places the way a display pattern rounds: on
// the number's 15-digit decimal form, halves away from zero (15.625 -> 15.63).
double RoundForPattern(double value, int decimals);

// The general numeric form: up to 15 significant digits, no trailing zeros,
// one leading blank when not negative (" 12.3457", " 100", "-3").
std::string GeneralNumberText(double value);

// The QuickDraw scale label for a zoom percentage: "=" + the scale length
// 10 / (zoom / 100) through "000.00" + "cm   " + the zoom + "%Zoom".
// REQUIRES: zoom >= 1.
std::string ScaleText(int zoom);

// Play God's result labels: " 3 Animals"; and the listed share of the living
// through "000.0000" with "%", " 0%" when nobody lives.
std::string AnimalCountText(int listed);
std::string PercentText(int listed, int living);

}  // namespace ombrivale::ui

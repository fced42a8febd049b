// The world's conditions: the few numbers of the rules an experiment may
// turn, each defaulting to the rules' own value, so that a world with default
// conditions runs exactly as one without them.
//
// They belong to the world (World::conditions), are saved with it (when not
// all default) and are set from the command line (`--set NAME=VALUE`) and
// the desktop program's "World Conditions" dialog, all by the names below.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/status.h"

namespace ombrivale {

struct Conditions {
  int mutationPasses = 5;  // mutation passes per young (0..50)
  int seaLevelDrift = 1;   // 1: the sea level moves a row every year; 0: it stays
  double foodScale =
      1;  // factor on the food a cell of meat turned by the yearly change holds (0..10)

  bool operator==(const Conditions&) const = default;
};

// One condition as the user sees it.
struct ConditionRule {
  std::string_view name;  // as written in conditions.txt and after --set
  double standard;        // the default: the rules' own value
  double low;             // the range, both ends included
  double high;
  bool whole;              // whole numbers only
  std::string_view means;  // one line for the usage text and the dialog
};

inline constexpr int kConditionCount = 3;
const std::array<ConditionRule, kConditionCount>& ConditionRules();

// The index of the condition named `name` (exact, lower case), -1 for none.
int FindCondition(std::string_view name);

double ConditionValue(const Conditions& conditions, int index);
// REQUIRES: value within the condition's range (whole when it must be).
void SetConditionValue(Conditions& conditions, int index, double value);

// The shortest decimal text that reads back as `value` ("5", "0.25").
std::string ConditionValueText(double value);
// "a whole number from 0 to 50", "a number from 0 to 10"
std::string ConditionRangeText(int index);

// Reads a value for condition `index`: a plain decimal number (no blanks,
// no exponent, not "nan" or "inf"), whole when the condition is, within its
// range. Otherwise InvalidArgument with the reason, naming the condition and
// its range ("mutation_passes must be a whole number from 0 to 50, not 60").
Status ParseConditionValue(int index, std::string_view text, double& value);

// Reads "NAME=VALUE" into `conditions`; InvalidArgument with the reason on
// failure (an unknown name is named with the names there are), nothing
// changed then.
Status ParseConditionSetting(std::string_view text, Conditions& conditions);

}  // namespace ombrivale

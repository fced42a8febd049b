#include "core/conditions.h"

#include <charconv>
#include <cmath>

namespace ombrivale {

const std::array<ConditionRule, kConditionCount>& ConditionRules() {
  static const std::array<ConditionRule, kConditionCount> rules{{
      {"mutation_passes", 5, 0, 50, true, "mutation passes per young"},
      {"sea_level_drift", 1, 0, 1, true, "the yearly move of the sea level: 1 on, 0 off"},
      {"food_scale", 1, 0, 10, false,
       "factor on the food a cell of meat holds when the yearly change turns it into plants or "
       "scum"},
  }};
  return rules;
}

int FindCondition(std::string_view name) {
  const auto& rules = ConditionRules();
  for (int i = 0; i < kConditionCount; ++i) {
    if (rules[static_cast<size_t>(i)].name == name) return i;
  }
  return -1;
}

double ConditionValue(const Conditions& conditions, int index) {
  switch (index) {
    case 0:
      return conditions.mutationPasses;
    case 1:
      return conditions.seaLevelDrift;
    default:
      return conditions.foodScale;
  }
}

void SetConditionValue(Conditions& conditions, int index, double value) {
  switch (index) {
    case 0:
      conditions.mutationPasses = static_cast<int>(value);
      break;
    case 1:
      conditions.seaLevelDrift = static_cast<int>(value);
      break;
    default:
      conditions.foodScale = value;
      break;
  }
}

std::string ConditionValueText(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

std::string ConditionRangeText(int index) {
  const ConditionRule& rule = ConditionRules()[static_cast<size_t>(index)];
  return std::string(rule.whole ? "a whole number" : "a number") + " from " +
         ConditionValueText(rule.low) + " to " + ConditionValueText(rule.high);
}

Status ParseConditionValue(int index, std::string_view text, double& value) {
  const ConditionRule& rule = ConditionRules()[static_cast<size_t>(index)];
  // Plain decimal text only: from_chars alone would take "inf", "nan" and
  // exponents.
  size_t digits = 0;
  size_t points = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else if (!(c == '-' && i == 0)) {
      digits = 0;
      break;
    }
  }
  double read = 0;
  bool readWell = digits > 0 && points <= 1;
  if (readWell) {
    const auto result =
        std::from_chars(text.data(), text.data() + text.size(), read, std::chars_format::fixed);
    readWell = result.ec == std::errc() && result.ptr == text.data() + text.size();
  }
  if (!readWell || !(read >= rule.low && read <= rule.high) ||
      (rule.whole && read != std::floor(read))) {
    return Status::InvalidArgument(std::string(rule.name) + " must be " +
                                   ConditionRangeText(index) + ", not \"" + std::string(text) +
                                   "\"");
  }
  value = read == 0 ? 0.0 : read;  // no "-0"
  return Status::OK();
}

Status ParseConditionSetting(std::string_view text, Conditions& conditions) {
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    return Status::InvalidArgument("\"" + std::string(text) + "\" is not NAME=VALUE");
  }
  const std::string_view name = text.substr(0, equals);
  const int index = FindCondition(name);
  if (index < 0) {
    std::string known;
    for (const ConditionRule& rule : ConditionRules())
      known += (known.empty() ? "" : ", ") + std::string(rule.name);
    return Status::InvalidArgument("no condition is named \"" + std::string(name) +
                                   "\" (there are " + known + ")");
  }
  double value = 0;
  Status status = ParseConditionValue(index, text.substr(equals + 1), value);
  if (status.ok()) SetConditionValue(conditions, index, value);
  return status;
}

}  // namespace ombrivale

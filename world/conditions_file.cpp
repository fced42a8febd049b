#include "world/conditions_file.h"

#include <array>

namespace ombrivale {

void ConditionsText(const Conditions& conditions, std::string& out) {
  out = "# Ombrivale world conditions, NAME=VALUE (a name left out has its default)\n";
  const auto& rules = ConditionRules();
  for (int i = 0; i < kConditionCount; ++i) {
    out += rules[static_cast<size_t>(i)].name;
    out += '=';
    out += ConditionValueText(ConditionValue(conditions, i));
    out += '\n';
  }
}

std::string ParseConditions(std::string_view text, Conditions& out) {
  Conditions read;
  std::array<bool, kConditionCount> seen{};
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (line.find('\0') != std::string_view::npos) return where + "holds a NUL byte";
    if (line.empty() || line.front() == '#') continue;
    const int index = FindCondition(line.substr(0, line.find('=')));
    if (index >= 0 && seen[static_cast<size_t>(index)]) {
      return where + std::string(ConditionRules()[static_cast<size_t>(index)].name) +
             " is given twice";
    }
    if (std::string problem = ParseConditionSetting(line, read); !problem.empty()) {
      return where + problem;
    }
    seen[static_cast<size_t>(index)] = true;
  }
  out = read;
  return {};
}

}  // namespace ombrivale

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

Status ParseConditions(std::string_view text, Conditions& out) {
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
    if (line.find('\0') != std::string_view::npos)
      return Status::Corruption(where + "holds a NUL byte");
    if (line.empty() || line.front() == '#') continue;
    const int index = FindCondition(line.substr(0, line.find('=')));
    if (index >= 0 && seen[static_cast<size_t>(index)]) {
      return Status::Corruption(where +
                                std::string(ConditionRules()[static_cast<size_t>(index)].name) +
                                " is given twice");
    }
    if (Status status = ParseConditionSetting(line, read); !status.ok()) {
      return Status::Corruption(where + std::string(status.message()));
    }
    seen[static_cast<size_t>(index)] = true;
  }
  out = read;
  return Status::OK();
}

}  // namespace ombrivale

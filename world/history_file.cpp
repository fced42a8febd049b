#include "world/history_file.h"

#include <charconv>
#include <cstdio>

namespace ombrivale {
namespace {

template <class Number>
void AppendField(std::string& out, Number value) {
  char digits[24];
  out += ',';
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

}  // namespace

const std::string& HistoryCsvHeader() {
  static const std::string header =
      "year,month,population,eggs,infants,adults,"
      "deaths_old_age,deaths_eaten,deaths_overwritten,deaths_suffocation,deaths_hunger,"
      "diet_scum_sucker,diet_herbivorous,diet_omnivorous,diet_carnivorous,"
      "breathing_none,breathing_gills,breathing_gills_and_lungs,breathing_lungs,"
      "covering_fur,covering_skin,covering_scales,covering_feathers,"
      "mean_primordial_score,lowest_primordial_score\n";
  return header;
}

void AppendHistoryCsvRow(std::string& out, const MonthSample& sample) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, sample.year).ptr);
  AppendField(out, sample.month);
  AppendField(out, sample.population);
  AppendField(out, sample.eggs);
  AppendField(out, sample.infants);
  AppendField(out, sample.adults);
  for (const uint32_t deaths : sample.deaths)
    AppendField(out, deaths);
  for (const auto* group : {&sample.diet, &sample.breathing, &sample.covering}) {
    for (const int32_t count : *group)
      AppendField(out, count);
  }
  char scores[64] = ",,";
  if (sample.population > 0) {
    std::snprintf(scores, sizeof scores, ",%.4f,%.4f", sample.meanScore, sample.lowestScore);
  }
  out += scores;
  out += '\n';
}

}  // namespace ombrivale

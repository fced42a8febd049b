// The history as comma-separated text: one header line, then one row per
// sample. `ombrivale-run --stats` writes it as the run goes.
//
// Columns: year, month, population, eggs, infants, adults; the deaths since
// the row before by cause (old age, eaten, overwritten, suffocation,
// hunger); the hatched animals by diet (scum sucker, herbivorous,
// omnivorous, carnivorous), by breathing method (none, gills, gills and
// lungs, lungs) and by covering (fur, skin, scales, feathers); the mean and
// the lowest evolvedness score with four decimals, both empty when the
// population is 0. Lines end in LF.
#pragma once

#include <string>

#include "core/history.h"

namespace ombrivale {

// The header line, with its LF.
const std::string& HistoryCsvHeader();

// Appends one sample's row, with its LF.
void AppendHistoryCsvRow(std::string& out, const MonthSample& sample);

}  // namespace ombrivale

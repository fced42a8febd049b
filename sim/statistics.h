// The monthly statistics of a world: what the statistics window charts and
// what `ombrivale-run --stats` writes.
#pragma once

#include "core/world.h"

namespace ombrivale {

// A census of the occupied slots now: counts by stage, and of the hatched
// animals by diet, breathing method and covering (expressed set), with the
// mean and lowest evolvedness score, the species found by the last grouping
// and the highest generation. Deaths, year and month are not filled.
MonthSample TakeCensus(World& world);

// Groups the adults into species (behaviour/species.h) and records the
// grouping in the species history, then appends a sample of the world now:
// the census, the date and the deaths since the sample before.
void RecordSample(World& world);

// Called at the end of every tick: records a sample when the calendar has
// moved since the last one (the month step ran, or a new world began).
void RecordSampleIfMonthChanged(World& world);

// The next sample is marked as the start of a newly generated world.
void MarkRestart(World& world);

}  // namespace ombrivale

#include "sim/statistics.h"

#include <algorithm>
#include <array>

#include "behaviour/species.h"
#include "behaviour/species_history.h"
#include "genetics/body_measures.h"
#include "genetics/gene_census.h"
#include "world/savepoint.h"

namespace ombrivale {

MonthSample TakeCensus(World& world) {
  MonthSample c;
  double scoreSum = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& a = AnimalAt(world, slot);
    if (!IsOccupied(a)) continue;
    const double score = ScoreOfCount(KeptPrimordialCount(world, slot));
    scoreSum += score;
    c.lowestScore = c.population == 0 ? score : std::min(c.lowestScore, score);
    ++c.population;
    c.highestGeneration =
        std::max(c.highestGeneration, world.lineage.generationOfSlot[static_cast<size_t>(slot)]);
    if (a.Stage == kStageEgg) {
      ++c.eggs;
      continue;
    }
    ++(a.Stage == kStageInfant ? c.infants : c.adults);
    const GeneSet& g = Expressed(a);
    if (g.Head.Diet < kCodeValueCount) ++c.diet[g.Head.Diet];
    if (g.Body.BreathingMethod < kCodeValueCount) ++c.breathing[g.Body.BreathingMethod];
    if (g.Body.Covering < kCodeValueCount) ++c.covering[g.Body.Covering];
  }
  if (c.population > 0) c.meanScore = scoreSum / c.population;
  c.species = world.species.count;
  return c;
}

void RecordSample(World& world) {
  History& history = world.history;
  GroupSpecies(world);
  world.events.Post(SpeciesRegrouped{});
  const size_t speciesBefore = world.speciesHistory.species.size();
  RecordSpeciesGrouping(world, history.recorded, history.restartPending);
  // A species split from another: a savepoint (one grouping a month).
  const auto& species = world.speciesHistory.species;
  if (world.savepoints.on &&
      std::any_of(species.begin() + static_cast<std::ptrdiff_t>(speciesBefore), species.end(),
                  [](const SpeciesLife& life) { return life.parent != 0; })) {
    AskSavepoint(world, SavepointKind::Species);
  }
  MonthSample sample = TakeCensus(world);
  sample.year = world.Year;
  sample.month = world.Month;
  sample.restart = history.restartPending || history.wentBackPending;
  sample.wentBack = history.wentBackPending;
  for (size_t cause = 0; cause < sample.deaths.size(); ++cause) {
    const uint64_t since = world.DeathsByCause[cause] - history.deathsAtLastSample[cause];
    sample.deaths[cause] = static_cast<uint32_t>(std::min<uint64_t>(since, UINT32_MAX));
  }
  history.deathsAtLastSample = world.DeathsByCause;
  history.sampledYear = world.Year;
  history.sampledMonth = world.Month;
  history.restartPending = false;
  history.wentBackPending = false;
  AppendSample(history, sample);
  world.events.Post(SampleRecorded{});

  std::array<GeneStat, kMaxSeriesGenes> genes;
  const std::span<GeneStat> stats = std::span(genes).first(SeriesGenes().size());
  const uint32_t animals = TakeGeneCensus(world, stats);
  AppendGeneMonth(history.genes, history.recorded - 1, animals, stats);
}

void RecordSampleIfMonthChanged(World& world) {
  const History& history = world.history;
  if (world.Month != history.sampledMonth || world.Year != history.sampledYear) {
    RecordSample(world);
  }
}

void MarkRestart(World& world) {
  world.history.restartPending = true;
}

}  // namespace ombrivale

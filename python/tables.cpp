#include "python/tables.h"

#include "behaviour/species.h"
#include "core/lineage.h"
#include "core/species_history.h"
#include "genetics/body_measures.h"
#include "genetics/gene_census.h"

namespace ombrivale::python {
namespace {

Column& Add(Table& table, std::string name, Column::Kind kind = Column::Kind::Whole) {
  Column& column = table.emplace_back();
  column.name = std::move(name);
  column.kind = kind;
  return column;
}

const char* StageName(int16_t stage) {
  if (stage == kStageEgg) return "egg";
  return stage >= kStageAdult ? "adult" : "infant";
}

}  // namespace

int FindGene(std::string_view name) {
  const std::span<const SeriesGene> genes = SeriesGenes();
  for (size_t i = 0; i < genes.size(); ++i) {
    if (genes[i].column == name) return static_cast<int>(i);
  }
  return -1;
}

Table AnimalTable(const World& world, std::span<const int> genes) {
  Table table;
  // Room for every column first, so that the references below stay valid.
  table.reserve(11 + genes.size());
  Column& slots = Add(table, "slot");
  Column& ids = Add(table, "id");
  Column& stages = Add(table, "stage", Column::Kind::Text);
  Column& sexes = Add(table, "sex");
  Column& xs = Add(table, "x");
  Column& ys = Add(table, "y");
  Column& ages = Add(table, "age");
  Column& hungers = Add(table, "hunger");
  Column& scores = Add(table, "score", Column::Kind::Real);
  Column& species = Add(table, "species");
  Column& generations = Add(table, "generation");
  const std::span<const SeriesGene> series = SeriesGenes();
  for (const int gene : genes)
    Add(table, series[static_cast<size_t>(gene)].column);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    slots.whole.push_back(slot);
    ids.whole.push_back(static_cast<int64_t>(LivingId(world.lineage, world.Animals, slot)));
    stages.text.emplace_back(StageName(animal.Stage));
    sexes.whole.push_back(animal.Sex);
    xs.whole.push_back(animal.X);
    ys.whole.push_back(animal.Y);
    ages.whole.push_back(animal.AgeYears);
    hungers.whole.push_back(animal.Hunger);
    scores.real.push_back(static_cast<double>(PrimordialScore(world, slot)));
    species.whole.push_back(SpeciesOf(world, slot));
    generations.whole.push_back(world.lineage.generationOfSlot[static_cast<size_t>(slot)]);
    for (size_t g = 0; g < genes.size(); ++g) {
      const SeriesGene& gene = series[static_cast<size_t>(genes[g])];
      table[11 + g].whole.push_back(ReadGene(&animal, gene.offset, gene.type));
    }
  }
  return table;
}

Table FamilyTable(const World& world) {
  const Lineage& lineage = world.lineage;
  std::vector<int> slotOfEntry(lineage.entries.size());
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const uint64_t id = LivingId(lineage, world.Animals, slot);
    if (id == 0) continue;
    const LineageEntry* entry = FindLineageEntry(lineage, id);
    if (entry != nullptr) slotOfEntry[static_cast<size_t>(entry - lineage.entries.data())] = slot;
  }
  Table table;
  for (const char* name : {"id", "parent_sex0", "parent_sex1", "birth_year", "birth_month",
                           "generation", "evolvedness_count", "slot", "species"})
    Add(table, name);
  for (size_t i = 0; i < lineage.entries.size(); ++i) {
    const LineageEntry& entry = lineage.entries[i];
    const int slot = slotOfEntry[i];
    const int64_t values[] = {static_cast<int64_t>(entry.id),
                              static_cast<int64_t>(entry.parents[0]),
                              static_cast<int64_t>(entry.parents[1]),
                              entry.birthYear,
                              entry.birthMonth,
                              entry.generation,
                              entry.primordialCount,
                              slot,
                              slot != 0 ? SpeciesOf(world, slot) : 0};
    for (size_t c = 0; c < table.size(); ++c)
      table[c].whole.push_back(values[c]);
  }
  return table;
}

Table SpeciesTable(const SpeciesHistory& history) {
  Table table;
  for (const char* name : {"id", "parent", "world", "first_month", "last_month"})
    Add(table, name);
  Add(table, "alive", Column::Kind::Truth);
  Add(table, "peak");
  Add(table, "adults");
  for (const SpeciesLife& life : history.species) {
    const bool alive = IsLiving(history, life);
    const int64_t values[] = {life.number,
                              life.parent,
                              life.world,
                              static_cast<int64_t>(life.first),
                              static_cast<int64_t>(life.last),
                              alive ? 1 : 0,
                              life.peak,
                              alive && !life.counts.empty() ? life.counts.back() : 0};
    for (size_t c = 0; c < table.size(); ++c)
      table[c].whole.push_back(values[c]);
  }
  return table;
}

}  // namespace ombrivale::python

// The world's tables as columns, for Python to turn into DataFrames: the
// animals, the family record and the species history.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/world.h"

namespace ombrivale::python {

struct Column {
  enum class Kind : uint8_t { Whole, Real, Text, Truth };
  std::string name;
  Kind kind = Kind::Whole;
  std::vector<int64_t> whole;  // Whole and Truth (0 or 1)
  std::vector<double> real;
  std::vector<std::string> text;
};
using Table = std::vector<Column>;

// The gene the history follows under that column name ("adult.Body.Height",
// "infant.Head.Diet", "Unborn.EggSize": genetics/gene_census.h), as an index
// into SeriesGenes(); -1 for none.
int FindGene(std::string_view name);

// A row per occupied slot, ascending: slot, id (the family record's), stage
// ("egg", "infant", "adult"), sex, x and y (hundredths of a cell), age
// (years), hunger, score (the evolvedness score, per cent), species (0 for
// none: not an adult at the last grouping), generation, then each of
// `genes` (indices into SeriesGenes()) under its column name.
Table AnimalTable(const World& world, std::span<const int> genes);

// A row per animal the family record keeps (the living and their
// ancestors), ascending ids: id, parent_sex0 and parent_sex1 (0 for a
// founder or a dropped animal), birth_year, birth_month, generation,
// evolvedness_count, slot (0 for the dead) and species (0 for none), the
// nine numbers of "lineage.dat".
Table FamilyTable(const World& world);

// A row per species the groupings numbered: id, parent (0 for none), world
// (0 the first, one more at each restart), first_month and last_month (on
// the statistics history's axis: months since it began), alive (seen at
// the last grouping), peak (most adults at one grouping) and adults (at the
// last grouping; 0 for one died out).
Table SpeciesTable(const SpeciesHistory& history);

}  // namespace ombrivale::python

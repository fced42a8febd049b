#include "genetics/gene_census.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <limits>
#include <vector>

namespace ombrivale {
namespace {

// "Limb(l).UpperLength" of limb 1 as "Limb(1).UpperLength".
std::string GeneName(const GeneField& field) {
  std::string name(field.suffix + 1);  // without the leading "."
  const size_t limb = name.find("(l)");
  if (limb != std::string::npos) name[limb + 1] = static_cast<char>('0' + field.limb);
  return name;
}

std::vector<SeriesGene> BuildSeriesGenes() {
  std::vector<SeriesGene> genes;
  const auto fields = GeneSetFields();
  const struct {
    GeneGroup group;
    const char* prefix;
    int set;
  } kSets[] = {{GeneGroup::Adult, "adult.", kStageAdult}, {GeneGroup::Infant, "infant.", 0}};
  for (const auto& set : kSets) {
    for (const int row : PropertiesRows()) {
      const GeneField& field = fields[static_cast<size_t>(row)];
      if (!field.compared) continue;
      const size_t offset =
          offsetof(Animal, Genes) + static_cast<size_t>(set.set) * sizeof(GeneSet) + field.offset;
      const std::string name = GeneName(field);
      genes.push_back(
          {set.group, name, set.prefix + name, static_cast<uint16_t>(offset), field.type});
    }
  }
  const auto unborn = UnbornFields();
  for (const int row : UnbornPropertiesRows()) {
    const UnbornField& field = unborn[static_cast<size_t>(row)];
    const std::string column = field.name;  // "Unborn.EggSize"
    genes.push_back({GeneGroup::Egg, column.substr(column.find('.') + 1), column,
                     static_cast<uint16_t>(offsetof(Animal, Unborn) + field.offset), field.type});
  }
  assert(genes.size() <= kMaxSeriesGenes);
  return genes;
}

}  // namespace

std::span<const SeriesGene> SeriesGenes() {
  static const std::vector<SeriesGene> genes = BuildSeriesGenes();
  return genes;
}

uint32_t TakeGeneCensus(const World& world, std::span<GeneStat> out) {
  const auto genes = SeriesGenes();
  assert(out.size() == genes.size());
  std::array<int64_t, kMaxSeriesGenes> sums{};
  for (GeneStat& stat : out) {
    stat.lowest = std::numeric_limits<int16_t>::max();
    stat.highest = std::numeric_limits<int16_t>::min();
  }
  uint32_t animals = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    ++animals;
    for (size_t g = 0; g < genes.size(); ++g) {
      const int value = ReadGene(&animal, genes[g].offset, genes[g].type);
      sums[g] += value;
      GeneStat& stat = out[g];
      stat.lowest = static_cast<int16_t>(std::min<int>(stat.lowest, value));
      stat.highest = static_cast<int16_t>(std::max<int>(stat.highest, value));
    }
  }
  for (size_t g = 0; g < genes.size(); ++g) {
    GeneStat& stat = out[g];
    if (animals == 0) {
      stat = GeneStat{std::numeric_limits<float>::quiet_NaN(), 0, 0};
    } else {
      stat.mean = static_cast<float>(static_cast<double>(sums[g]) / animals);
    }
  }
  return animals;
}

}  // namespace ombrivale

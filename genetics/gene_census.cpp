#include "genetics/gene_census.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstring>
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
  // The genes by type, so the loop over the table reads each without a
  // branch: about 0.1 ms for a full table.
  struct Layout {
    std::vector<uint16_t> wide, narrow;        // offsets of the 16-bit and 8-bit genes
    std::vector<size_t> wideGene, narrowGene;  // their index in SeriesGenes()
  };
  static const Layout layout = [] {
    Layout l;
    const auto genes = SeriesGenes();
    for (size_t g = 0; g < genes.size(); ++g) {
      const bool narrow = genes[g].type == GeneType::U8;
      (narrow ? l.narrow : l.wide).push_back(genes[g].offset);
      (narrow ? l.narrowGene : l.wideGene).push_back(g);
    }
    return l;
  }();
  assert(out.size() == SeriesGenes().size());
  std::array<int32_t, kMaxSeriesGenes> sums{}, lowest, highest;
  lowest.fill(std::numeric_limits<int32_t>::max());
  highest.fill(std::numeric_limits<int32_t>::min());
  const size_t wide = layout.wide.size();
  const size_t narrow = layout.narrow.size();
  uint32_t animals = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    ++animals;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&animal);
    for (size_t k = 0; k < wide; ++k) {
      int16_t value;
      std::memcpy(&value, bytes + layout.wide[k], sizeof value);
      sums[k] += value;
      lowest[k] = std::min<int32_t>(lowest[k], value);
      highest[k] = std::max<int32_t>(highest[k], value);
    }
    for (size_t k = 0; k < narrow; ++k) {
      const int32_t value = bytes[layout.narrow[k]];
      sums[wide + k] += value;
      lowest[wide + k] = std::min(lowest[wide + k], value);
      highest[wide + k] = std::max(highest[wide + k], value);
    }
  }
  for (size_t k = 0; k < wide + narrow; ++k) {
    GeneStat& stat = out[k < wide ? layout.wideGene[k] : layout.narrowGene[k - wide]];
    if (animals == 0) {
      stat = GeneStat{std::numeric_limits<float>::quiet_NaN(), 0, 0};
    } else {
      stat = GeneStat{static_cast<float>(static_cast<double>(sums[k]) / animals),
                      static_cast<int16_t>(lowest[k]), static_cast<int16_t>(highest[k])};
    }
  }
  return animals;
}

}  // namespace ombrivale

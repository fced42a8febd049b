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
  // The genes by type, so each animal's are gathered without a branch into
  // one row of 16-bit values, which the sums, lows and highs then take a
  // vector at a time.
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
  // The whole width, the unused lanes included (zeros), so the loops below
  // have a fixed length.
  alignas(16) std::array<int32_t, kMaxSeriesGenes> sums{};
  alignas(16) std::array<int16_t, kMaxSeriesGenes> row{}, lowest, highest;
  lowest.fill(std::numeric_limits<int16_t>::max());
  highest.fill(std::numeric_limits<int16_t>::min());
  const size_t wide = layout.wide.size();
  const size_t narrow = layout.narrow.size();
  uint32_t animals = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    ++animals;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&animal);
    for (size_t k = 0; k < wide; ++k)
      std::memcpy(&row[k], bytes + layout.wide[k], sizeof(int16_t));
    for (size_t k = 0; k < narrow; ++k)
      row[wide + k] = bytes[layout.narrow[k]];
    for (size_t k = 0; k < kMaxSeriesGenes; ++k) {
      sums[k] += row[k];
      lowest[k] = std::min(lowest[k], row[k]);
      highest[k] = std::max(highest[k], row[k]);
    }
  }
  for (size_t k = 0; k < wide + narrow; ++k) {
    GeneStat& stat = out[k < wide ? layout.wideGene[k] : layout.narrowGene[k - wide]];
    if (animals == 0) {
      stat = GeneStat{std::numeric_limits<float>::quiet_NaN(), 0, 0};
    } else {
      stat = GeneStat{static_cast<float>(static_cast<double>(sums[k]) / animals), lowest[k],
                      highest[k]};
    }
  }
  return animals;
}

}  // namespace ombrivale

#include "world/map_colouring.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "behaviour/species.h"
#include "core/helpers.h"
#include "genetics/body_measures.h"
#include "genetics/gene_census.h"
#include "world/map_picture.h"
#include "world/species_colours.h"

namespace ombrivale {
namespace {

// viridis at ten even steps (matplotlib's map, as R's viridis(10) lists it).
constexpr std::array<uint32_t, 10> kScale = {
    Rgb(68, 1, 84),    Rgb(72, 40, 120),  Rgb(62, 74, 137),  Rgb(49, 104, 142), Rgb(38, 130, 142),
    Rgb(31, 158, 137), Rgb(53, 183, 121), Rgb(109, 205, 89), Rgb(180, 222, 44), Rgb(253, 231, 37)};

constexpr std::array<uint32_t, 8> kOkabeIto = {
    Rgb(230, 159, 0), Rgb(86, 180, 233), Rgb(0, 158, 115),   Rgb(240, 228, 66),
    Rgb(0, 114, 178), Rgb(213, 94, 0),   Rgb(204, 121, 167), Rgb(0, 0, 0)};

constexpr int kOtherCategory = 7;  // black: a code outside the gene's names

// A colour the tool tip would name is moved off by its lowest bit of blue.
uint32_t Unnamed(uint32_t rgb) {
  if (MapColourName(rgb) != nullptr || rgb == kColourNoSpecies || rgb == kColourSpeciesEgg) {
    return rgb ^ 1;
  }
  return rgb;
}

int Channel(uint32_t rgb, int shift) {
  return static_cast<int>((rgb >> shift) & 255);
}

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  const auto mix = [&](int shift) {
    return static_cast<int>(
        std::lround(Channel(a, shift) + (Channel(b, shift) - Channel(a, shift)) * t));
  };
  return Rgb(mix(16), mix(8), mix(0));
}

struct NamedChoice {
  const char* name;
  ColourBy by;
  SpeciesPalette palette;
};
constexpr NamedChoice kNames[] = {
    {"real", ColourBy::Real, SpeciesPalette::OkabeIto},
    {"species", ColourBy::Species, SpeciesPalette::OkabeIto},
    {"species-golden", ColourBy::Species, SpeciesPalette::GoldenRatio},
    {"generation", ColourBy::Generation, SpeciesPalette::OkabeIto},
    {"age", ColourBy::Age, SpeciesPalette::OkabeIto},
    {"hunger", ColourBy::Hunger, SpeciesPalette::OkabeIto},
    {"score", ColourBy::Score, SpeciesPalette::OkabeIto},
    {"stage", ColourBy::Stage, SpeciesPalette::OkabeIto},
    {"sex", ColourBy::Sex, SpeciesPalette::OkabeIto},
    {"diet", ColourBy::Diet, SpeciesPalette::OkabeIto},
    {"breathing", ColourBy::Breathing, SpeciesPalette::OkabeIto},
    {"covering", ColourBy::Covering, SpeciesPalette::OkabeIto},
};

void AddEntry(Legend& legend, const std::string& name, uint32_t colour, int count) {
  legend.entries.push_back(LegendEntry{name, colour, count});
}

void ColourReal(const World& world, MapColouring& out) {
  Legend& legend = out.legend;
  // The rule's dots by stage and diet; with real colours the genes' own.
  constexpr uint32_t kColours[] = {kColourEgg, kColourScumSucker, kColourLiveOrganism,
                                   kColourCarnivore};
  std::array<int, 4> counts{};
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    const uint32_t colour = DotColour(world, animal);
    out.colourOfSlot[static_cast<size_t>(slot)] = colour;
    for (size_t i = 0; i < counts.size(); ++i)
      counts[i] += colour == kColours[i];
  }
  if (world.RealColours) {
    legend.title = "Real colours (each animal's own)";
    return;
  }
  legend.title = "Real";
  constexpr const char* kNamesOf[] = {"Egg", "Scum Sucker", "Live Organism", "Carnivore"};
  for (size_t i = 0; i < counts.size(); ++i)
    AddEntry(legend, kNamesOf[i], kColours[i], counts[i]);
}

void ColourSpecies(const World& world, SpeciesPalette palette, MapColouring& out) {
  Legend& legend = out.legend;
  legend.title = "Species";
  int eggs = 0;
  int none = 0;
  std::vector<int32_t> numbers;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    uint32_t& colour = out.colourOfSlot[static_cast<size_t>(slot)];
    const int32_t number = animal.Stage == kStageEgg ? 0 : SpeciesOf(world, slot);
    if (number > 0) {
      colour = SpeciesPaletteColour(number, palette);
      numbers.push_back(number);
    } else {
      colour = animal.Stage == kStageEgg ? kColourSpeciesEgg : kColourNoSpecies;
      ++(animal.Stage == kStageEgg ? eggs : none);
    }
  }
  AddEntry(legend, "Egg", kColourSpeciesEgg, eggs);
  AddEntry(legend, "No species", kColourNoSpecies, none);
  std::sort(numbers.begin(), numbers.end());
  for (size_t i = 0; i < numbers.size();) {
    size_t end = i;
    while (end < numbers.size() && numbers[end] == numbers[i])
      ++end;
    AddEntry(legend, "Species " + std::to_string(numbers[i]),
             SpeciesPaletteColour(numbers[i], palette), static_cast<int>(end - i));
    i = end;
  }
}

void ColourCategories(const World& world, ColourBy by, MapColouring& out) {
  Legend& legend = out.legend;
  std::vector<std::string> names;
  bool hatchedOnly = true;
  switch (by) {
    case ColourBy::Stage:
      legend.title = "Stage";
      names = {"Egg", "Infant", "Adult"};
      hatchedOnly = false;
      break;
    case ColourBy::Sex:
      legend.title = "Sex";
      names = {"Sex 0", "Sex 1"};
      hatchedOnly = false;
      break;
    case ColourBy::Diet:
      legend.title = "Diet";
      names.assign(kDietNames.begin(), kDietNames.end());
      break;
    case ColourBy::Breathing:
      legend.title = "Breathing";
      names.assign(kBreathingMethodNames.begin(), kBreathingMethodNames.end());
      break;
    default:
      legend.title = "Covering";
      names.assign(kCoveringNames.begin(), kCoveringNames.end());
      break;
  }
  std::array<int, kOtherCategory + 1> counts{};
  int eggs = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    uint32_t& colour = out.colourOfSlot[static_cast<size_t>(slot)];
    if (hatchedOnly && animal.Stage == kStageEgg) {
      colour = kColourEgg;
      ++eggs;
      continue;
    }
    int code = 0;
    if (by == ColourBy::Stage) {
      code = animal.Stage - kStageEgg;
    } else if (by == ColourBy::Sex) {
      code = animal.Sex;
    } else {
      const GeneSet& genes = Expressed(animal);
      code = by == ColourBy::Diet        ? genes.Head.Diet
             : by == ColourBy::Breathing ? genes.Body.BreathingMethod
                                         : genes.Body.Covering;
    }
    if (code < 0 || code >= static_cast<int>(names.size())) code = kOtherCategory;
    colour = CategoryColour(code);
    ++counts[static_cast<size_t>(code)];
  }
  for (size_t i = 0; i < names.size(); ++i)
    AddEntry(legend, names[i], CategoryColour(static_cast<int>(i)), counts[i]);
  if (counts[kOtherCategory] > 0) {
    AddEntry(legend, "Other", CategoryColour(kOtherCategory), counts[kOtherCategory]);
  }
  if (hatchedOnly) AddEntry(legend, "Egg", kColourEgg, eggs);
}

void ColourScale(const World& world, const ColourChoice& choice, MapColouring& out) {
  Legend& legend = out.legend;
  const bool hatchedOnly = choice.by == ColourBy::Age || choice.by == ColourBy::Hunger;
  const SeriesGene* gene = nullptr;
  switch (choice.by) {
    case ColourBy::Generation:
      legend.title = "Generation";
      break;
    case ColourBy::Age:
      legend.title = "Age (years)";
      break;
    case ColourBy::Hunger:
      legend.title = "Hunger";
      break;
    case ColourBy::Score:
      legend.title = "Evolvedness score (%)";
      break;
    default:
      gene = &SeriesGenes()[static_cast<size_t>(choice.gene)];
      legend.title = gene->column;
      break;
  }
  int eggs = 0;
  std::fill(out.values.begin(), out.values.end(), std::nan(""));  // NaN: not on the scale
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    const size_t at = static_cast<size_t>(slot);
    if (hatchedOnly && animal.Stage == kStageEgg) {
      out.colourOfSlot[at] = kColourEgg;
      ++eggs;
      continue;
    }
    double value = 0;
    switch (choice.by) {
      case ColourBy::Generation:
        value = world.lineage.generationOfSlot[at];
        break;
      case ColourBy::Age:
        value = animal.AgeYears + animal.AgeMonths / 12.0;
        break;
      case ColourBy::Hunger:
        value = animal.Hunger;
        break;
      case ColourBy::Score:
        value = ScoreOfCount(world.primordialCountsKept ? world.primordialCounts[at]
                                                        : PrimordialCount(animal));
        break;
      default:
        value = ReadGene(&animal, gene->offset, gene->type);
        break;
    }
    out.values[at] = value;
    legend.low = legend.scaled == 0 ? value : std::min(legend.low, value);
    legend.high = legend.scaled == 0 ? value : std::max(legend.high, value);
    ++legend.scaled;
  }
  legend.continuous = true;
  const double span = legend.high - legend.low;
  for (size_t at = 1; at <= kSlotCount; ++at) {
    if (std::isnan(out.values[at])) continue;
    out.colourOfSlot[at] = ScaleColour(span > 0 ? (out.values[at] - legend.low) / span : 0.5);
  }
  if (hatchedOnly) AddEntry(legend, "Egg", kColourEgg, eggs);
}

}  // namespace

uint32_t ScaleColour(double t) {
  if (!(t > 0)) t = 0;  // NaN too
  const double at = std::min(t, 1.0) * (kScale.size() - 1);
  const size_t below = std::min(static_cast<size_t>(at), kScale.size() - 2);
  return Unnamed(Mix(kScale[below], kScale[below + 1], at - static_cast<double>(below)));
}

uint32_t CategoryColour(int index) {
  return Unnamed(kOkabeIto[static_cast<size_t>(std::clamp(index, 0, kOtherCategory))]);
}

uint32_t SpeciesPaletteColour(int32_t number, SpeciesPalette palette) {
  if (palette == SpeciesPalette::GoldenRatio) return SpeciesColour(number);
  // The seven colours but black, then the same lighter, then darker.
  const uint32_t index = static_cast<uint32_t>(std::max(number, 1) - 1);
  const uint32_t base = kOkabeIto[index % 7];
  switch (index / 7 % 3) {
    case 0:
      return Unnamed(base);
    case 1:
      return Unnamed(Mix(base, Rgb(255, 255, 255), 0.45));
    default:
      return Unnamed(Mix(base, Rgb(0, 0, 0), 0.35));
  }
}

void ColourAnimals(const World& world, const ColourChoice& choice, MapColouring& out) {
  std::fill(out.colourOfSlot.begin(), out.colourOfSlot.end(), 0);
  out.legend.continuous = false;
  out.legend.low = out.legend.high = 0;
  out.legend.scaled = 0;
  out.legend.entries.clear();
  ColourBy by = choice.by;
  if (by == ColourBy::Gene &&
      (choice.gene < 0 || static_cast<size_t>(choice.gene) >= SeriesGenes().size())) {
    by = ColourBy::Real;
  }
  switch (by) {
    case ColourBy::Real:
      ColourReal(world, out);
      break;
    case ColourBy::Species:
      ColourSpecies(world, choice.palette, out);
      break;
    case ColourBy::Stage:
    case ColourBy::Sex:
    case ColourBy::Diet:
    case ColourBy::Breathing:
    case ColourBy::Covering:
      ColourCategories(world, by, out);
      break;
    default:
      ColourScale(world, choice, out);
      break;
  }
}

void PaintAnimals(const World& world, const MapColouring& colouring, MapPicture& picture) {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    picture.Set(CellX(animal.X), CellY(animal.Y),
                colouring.colourOfSlot[static_cast<size_t>(slot)]);
  }
}

void PaintMiniMap(const World& world, const MapColouring& colouring, MapPicture& picture) {
  PaintTerrain(world, picture);
  PaintAnimals(world, colouring, picture);
}

std::string ColourChoiceName(const ColourChoice& choice) {
  if (choice.by == ColourBy::Gene) {
    const auto genes = SeriesGenes();
    if (choice.gene >= 0 && static_cast<size_t>(choice.gene) < genes.size()) {
      return genes[static_cast<size_t>(choice.gene)].column;
    }
    return "real";
  }
  for (const NamedChoice& named : kNames) {
    if (named.by == choice.by &&
        (choice.by != ColourBy::Species || named.palette == choice.palette)) {
      return named.name;
    }
  }
  return "real";
}

std::optional<ColourChoice> ParseColourChoice(std::string_view name) {
  for (const NamedChoice& named : kNames) {
    if (name == named.name) return ColourChoice{named.by, -1, named.palette};
  }
  const auto genes = SeriesGenes();
  for (size_t i = 0; i < genes.size(); ++i) {
    if (name == genes[i].column) {
      return ColourChoice{ColourBy::Gene, static_cast<int>(i), SpeciesPalette::OkabeIto};
    }
  }
  return std::nullopt;
}

}  // namespace ombrivale

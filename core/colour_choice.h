// What the mini map colours its animals by, and the colouring it drew: the
// choice is the window's (Display::colourBy, kept in the program's settings
// file), the colours and the legend come from world/map_colouring.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/map.h"

namespace ombrivale {

enum class ColourBy : uint8_t {
  Real,        // the rule's colours (DotColour: by diet, or the genes' with RealColours)
  Species,     // adults by species; eggs light grey, the others dark grey
  Generation,  // scale; every occupied slot
  Age,         // scale, in years; hatched animals
  Hunger,      // scale; hatched animals
  Score,       // scale, the evolvedness score in per cent; every occupied slot
  Stage,       // Egg, Infant, Adult
  Sex,         // Sex 0, Sex 1
  Diet,        // the expressed set's code; hatched animals
  Breathing,   // likewise
  Covering,    // likewise
  Gene,        // scale; any gene the history follows (genetics/gene_census.h)
};

enum class SpeciesPalette : uint8_t { OkabeIto, GoldenRatio };

struct ColourChoice {
  ColourBy by = ColourBy::Real;
  int gene = -1;  // with ColourBy::Gene: an index into SeriesGenes()
  SpeciesPalette palette = SpeciesPalette::OkabeIto;  // with ColourBy::Species
  bool operator==(const ColourChoice&) const = default;
};

struct LegendEntry {
  std::string name;  // "Herbivorous", "Species 3", "Egg"
  uint32_t colour = 0;
  int count = 0;  // occupied slots drawn in it
};

struct Legend {
  std::string title;  // "Diet", "Hunger", "adult.Body.Height"
  // A scale from ScaleColour(0) at `low` to ScaleColour(1) at `high` (the
  // range of the `scaled` animals' values; low == high draws the middle).
  bool continuous = false;
  double low = 0;
  double high = 0;
  int scaled = 0;
  // The categories with their counts, in code or number order; with a
  // scale, the animals it leaves out (eggs). Categories without animals are
  // listed too, apart from species.
  std::vector<LegendEntry> entries;
};

struct MapColouring {
  std::vector<uint32_t> colourOfSlot = std::vector<uint32_t>(kSlotCount + 1);  // 0 for free
  Legend legend;
  std::vector<double> values = std::vector<double>(kSlotCount + 1);  // working table
};

}  // namespace ombrivale

#include "world/species_colours.h"

#include <gtest/gtest.h>

#include "world/map_picture.h"

namespace ombrivale {
namespace {

// A species' dot must not pass for terrain, food, an egg or an ungrouped
// animal, and species numbered one after the other must differ.
TEST(SpeciesColours, NeverAMapColourAndNeighboursDiffer) {
  for (int32_t species = 1; species <= 5000; ++species) {
    const uint32_t rgb = SpeciesColour(species);
    ASSERT_EQ(nullptr, MapColourName(rgb)) << species;
    ASSERT_NE(rgb, kColourNoSpecies) << species;
    ASSERT_NE(rgb, SpeciesColour(species + 1)) << species;
  }
}

}  // namespace
}  // namespace ombrivale

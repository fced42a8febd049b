// The mini map's colours by species: one colour per species number, so a
// species keeps its colour from month to month for as long as it keeps its
// number (behaviour/species.h gives a species' number to the group that
// keeps most of its members).
#pragma once

#include <cstdint>

#include "core/world.h"

namespace ombrivale {

// Light grey: an egg, which belongs to no species.
inline constexpr uint32_t kColourSpeciesEgg = Rgb(192, 192, 192);
// Dark grey: an infant, or an adult grown up since the last grouping; dim,
// so that the species stand out.
inline constexpr uint32_t kColourNoSpecies = Rgb(96, 96, 96);

// A bright colour for species number `species` (>= 1): hues from the
// golden-ratio sequence, so numbers given one after the other lie far apart
// on the colour wheel; never one of the map's named colours.
uint32_t SpeciesColour(int32_t species);

}  // namespace ombrivale

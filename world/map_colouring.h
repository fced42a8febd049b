// The mini map's animals coloured by a trait: every occupied slot's colour
// and the legend that explains them, as pure functions of the world.
//
// Continuous values (generation, age, hunger, the evolvedness score, a gene)
// run over a viridis-like scale, perceptually uniform and readable with
// every common colour-vision deficiency, from the lowest value among the
// animals coloured to the highest. Categories (stage, sex, diet, breathing,
// covering, species) take the Okabe-Ito palette, made to stay apart for
// colour-blind eyes. Species keep their colour while they keep their number:
// Okabe-Ito's seven colours in turn, then lighter and darker, or the older
// golden-ratio hues (world/species_colours.h). No colour chosen here is one
// of the map's named colours, whose names the pointer's tool tip shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/colour_choice.h"
#include "core/world.h"

namespace ombrivale {

// The scale's colour at t (0..1, held within it).
uint32_t ScaleColour(double t);
// Okabe-Ito's orange, sky blue, bluish green, yellow, blue, vermillion,
// reddish purple, black, for index 0..7 (held within it).
uint32_t CategoryColour(int index);
// The colour of species `number` (>= 1) in a palette.
uint32_t SpeciesPaletteColour(int32_t number, SpeciesPalette palette);

// Colours every occupied slot by `choice` and makes its legend, in one pass
// over the table (two for a scale). A gene index outside SeriesGenes()
// colours as Real.
void ColourAnimals(const World& world, const ColourChoice& choice, MapColouring& out);

// Draws each occupied slot's dot in its colour at its cell, in slot order.
void PaintAnimals(const World& world, const MapColouring& colouring, MapPicture& picture);
// The mini map without a display: terrain and food (PaintTerrain), then the
// animals.
void PaintMiniMap(const World& world, const MapColouring& colouring, MapPicture& picture);

// The choice's name for command lines and settings: "real", "species",
// "species-golden", "generation", "age", "hunger", "score", "stage", "sex",
// "diet", "breathing", "covering", or a gene's column name
// ("adult.Body.Height", "infant.Head.Diet", "Unborn.EggSize").
std::string ColourChoiceName(const ColourChoice& choice);
// The choice of a name; nothing for a name of none.
std::optional<ColourChoice> ParseColourChoice(std::string_view name);

}  // namespace ombrivale

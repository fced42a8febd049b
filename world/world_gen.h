// Generating a planet and its founders, and the yearly change.
#pragma once

#include "core/world.h"

namespace ombrivale {

// The generating steps of a new world: the planet (GeneratePlanet), the two
// founder eggs in slots 1 and 2 at the deepest point of the sea bed, and the
// calendar at year 0, month 0. Slots 3..750 are not touched.
void GenerateWorld(World& world);

// Writes the founder genome and birth state into an animal record: Alive,
// ages, Hunger, the egg genes and both gene sets; the other fields keep
// their values. What a design starts from when no animal is chosen.
void SetFounderGenome(Animal& animal);

// Writes the founder genome and birth state into a slot.
// REQUIRES: 1 <= slot <= 750.
void CreateFounder(World& world, int slot);

// The sea level moves a row (unless the sea_level_drift condition is 0);
// meat turns into plants or scum, holding its amount times the food_scale
// condition, or rots.
void ChangeWorld(World& world);

// The odds of a meat cell turning this year, out of 180: the meat cells of
// the 3 x 3 block around (x, y), itself included, times the cell's own amount
// / 10000. Block positions off the map (columns -1 and 321, rows -2 and 101)
// count as meat, so a lone meat cell on the edge turns more easily than one
// inside.
double MeatBlockSum(const World& world, int x, int y);

// What one generation measured of its ground profile, in rows (fractional).
struct PlanetFigures {
  double MaxH = 0;  // deepest ground surface seen
  double MinH = 0;  // highest ground surface seen
  int DeepX = 0;    // column at which MaxH was last raised, 0 when never
};

// The generating half of NewWorld: clears rows 0..100 of the map, lays the
// ground profile, draws the sea level, fills the sea, sows plants and scum
// and redraws the mini map (with its copy in MiniBak). Draws from the
// generator after one reseed from the clock. Founders and calendar are left
// to NewWorld.
PlanetFigures GeneratePlanet(World& world);

// Makes ground of column x from the surface depth h down: every row
// round(h + k) for k = 0, 1, ... while h + k <= 100, painted olive on the mini
// map. A fraction below one half leaves row 100 open (h = 37.3 fills 37..99).
// REQUIRES: 0 <= x <= 320.
void FillGroundColumn(World& world, int x, double h);

}  // namespace ombrivale

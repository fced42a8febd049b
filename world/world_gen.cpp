#include "world/world_gen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/helpers.h"
#include "core/numeric.h"
#include "genetics/body_measures.h"
#include "world/map_picture.h"

namespace ombrivale {
namespace {

constexpr uint32_t kWhite = Rgb(255, 255, 255);
constexpr uint32_t kCleared = Rgb(0, 0, 0);

// Rows are rounded the way every fraction is: half to even.
int RoundRow(double value) {
  return static_cast<int>(RoundHalfEven(value));
}

int32_t& Cell(World& world, int layer, int x, int y) {
  return world.Map.At(layer, x, y);
}

// Step 3 of a generation: rows 0..100 of every layer to 0, then every amount
// to 10000. Row -1 keeps what it had.
void ClearMap(World& world) {
  for (int layer = 0; layer < 3; ++layer) {
    const int32_t value = layer == kFoodAmountLayer ? kFreshFoodAmount : 0;
    for (int x = 0; x < kMapWidth; ++x) {
      int32_t* column = &world.Map.layers[layer][static_cast<size_t>(WorldMap::Index(x, 0))];
      std::fill(column, column + (kMapBottomRow + 1), value);
    }
  }
}

// The sea and its plants (step 7): water below the sea level, one draw or two
// per cell in column-then-row order.
void FillSeaAndSow(World& world) {
  const int seaLevel = world.SeaLevel;
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = 0; y <= kMapBottomRow; ++y) {
      int32_t& terrain = Cell(world, kTerrainLayer, x, y);
      if (y > seaLevel && terrain == kSky) {
        terrain = kWater;
        const double aquatic = RoundHalfEven(Rnd(world) * 20.0);
        const int above5 = y - 5;
        if (above5 >= kMapTopRow && Cell(world, kTerrainLayer, x, above5) == kSky &&
            aquatic < 1.0) {
          Cell(world, kFoodKindLayer, x, y) = kAquaticVegetation;
        }
        const double scum = RoundHalfEven(Rnd(world) * 150.0);
        if (scum < 1.0) Cell(world, kFoodKindLayer, x, y) = kSeaScum;
      } else if (!(y < seaLevel && terrain == kSky)) {
        const int above = y - 1;  // row 0's upper neighbour is the border row -1
        const int32_t aboveTerrain = Cell(world, kTerrainLayer, x, above);
        if (y < seaLevel && terrain == kGround && aboveTerrain == kSky) {
          const double r = RoundHalfEven(Rnd(world) * 5.0);
          if (r < 3.0) Cell(world, kFoodKindLayer, x, above) = kLandVegetation;
        } else if (y > seaLevel && terrain == kGround && aboveTerrain == kWater) {
          const double r = RoundHalfEven(Rnd(world) * 6.0);
          if (r == 1.0) {
            Cell(world, kFoodKindLayer, x, above) = kAquaticVegetation;
          } else if (r == 2.0) {
            Cell(world, kFoodKindLayer, x, above) = kSeaScum;
          }
        }
      }
    }
  }
}

// Places a founder egg: both sexes, a hundredth of a cell either side of the
// left edge of column deepX, halfway between the sea surface and the deepest
// ground.
void LayFounder(World& world, int slot, const PlanetFigures& figures) {
  Animal& a = AnimalAt(world, slot);
  a.Sex = static_cast<uint8_t>(slot - 1);
  const int64_t x = static_cast<int64_t>(figures.DeepX) * 100 + (slot == 1 ? -1 : 1);
  a.X = Saturate<int16_t>(x);
  const double sea = static_cast<double>(world.SeaLevel) * 100.0;
  a.Y = RoundTo<int16_t>(sea + (figures.MaxH * 100.0 - sea) / 2.0);
  a.Stage = kStageEgg;
  a.EggTimer = a.Unborn.TimeInEgg;
  a.Breath = a.Genes[0].Body.BreathCapasity;
  a.Hunger = kHungerAtLaying;
}

}  // namespace

void FillGroundColumn(World& world, int x, double h) {
  for (int k = 0; h + k <= 100.0; ++k) {
    const int row = RoundRow(h + k);
    if (row < kMapTopRow || row > kMapBottomRow) continue;
    Cell(world, kTerrainLayer, x, row) = kGround;
    if (world.display != nullptr) world.display->MiniMap.Set(x, row, kColourSubmergedGround);
  }
}

PlanetFigures GeneratePlanet(World& world) {
  ClearMap(world);

  Reseed(world);
  double h = Rnd(world) * 50.0 + 25.0;
  PlanetFigures figures{h, h, 0};
  if (world.display != nullptr) {
    std::fill(world.display->MiniMap.pixels.begin(), world.display->MiniMap.pixels.end(), kCleared);
  }

  double slope = 0;
  for (int x = 0; x < kMapWidth; ++x) {
    FillGroundColumn(world, x, h);
    if (x % 15 == 0) slope = Rnd(world) * 4.0 - 2.0;
    h += slope;
    if (h < 5.0) h = 5.0;
    if (h > 95.0) h = 100.0;  // a trench: the column holds row 100 alone
    // The depth after the last column counts too, though no column uses it.
    if (h > figures.MaxH) {
      figures.MaxH = h;
      figures.DeepX = x;
    }
    if (h < figures.MinH) figures.MinH = h;
  }

  world.SeaLevel =
      RoundTo<int16_t>(figures.MinH + Rnd(world) * std::fabs(figures.MaxH - figures.MinH));
  if (world.display != nullptr) {
    for (int x = 1; x < kMapWidth; ++x)
      world.display->MiniMap.SetClipped(x, world.SeaLevel, kWhite);
  }

  FillSeaAndSow(world);
  world.Map.RebuildFoodIndex();

  ReDrawMap(world);  // which also copies the picture into MiniBak
  return figures;
}

void GenerateWorld(World& world) {
  const PlanetFigures figures = GeneratePlanet(world);
  world.Year = 0;  // before the founders, whose birth date it is
  world.Month = 0;
  CreateFounder(world, 1);
  CreateFounder(world, 2);
  LayFounder(world, 1, figures);
  LayFounder(world, 2, figures);
}

void SetFounderGenome(Animal& a) {
  a.Alive = 1;
  a.AgeYears = 0;
  a.AgeMonths = 0;
  a.Hunger = 50;
  a.Unborn.EggSize = 1;
  a.Unborn.TimeInEgg = 5;
  for (GeneSet& g : a.Genes) {
    g.Body.BreathCapasity = 1000;
    g.Body.BreathingMethod = kGills;
    g.Body.ColourContrast = 0;
    g.Body.ColourX = Colour{128, 64, 0};
    g.Body.ColourY = Colour{128, 64, 0};
    g.Body.Height = 5;
    g.Body.Width = 1;
    g.Body.Covering = kSkin;
    for (Limb& limb : g.Limb) {
      limb.UpperLength = 0;
      limb.UpperWidth = 0;
      limb.LowerLength = 0;
      limb.LowerWidth = 1;
      limb.DigitNumber = 0;
      limb.DigitLength = 0;
      limb.Touch.SensorExists = kTrue;
    }
    g.Genitalia.AdultAge = 5;
    g.Genitalia.BirthKind = 0;
    g.Genitalia.LifeSpan = 10;
    g.Genitalia.StartsBreeding = 5;
    g.Genitalia.StopsBreeding = 10;
    g.Genitalia.YoungPerLitter = 15;
    g.Head.Audio.Distance = 0;
    g.Head.Audio.MaxFrequency = 0;
    g.Head.Audio.MinFrequency = 0;
    g.Head.Audio.Resolution = 0;
    g.Head.Audio.SensorExists = kFalse;
    g.Head.Diet = kScumSucker;
    g.Head.LipType = 0;
    g.Head.MouthLength = 1;
    g.Head.MouthNose = 0;
    g.Head.NeckHeight = 0;
    g.Head.NeckWidth = 0;
    g.Head.NoseLength = 0;
    g.Head.Smell.Distance = 5000;
    g.Head.Smell.SensorExists = kTrue;
    g.Head.Taste.SensorExists = kTrue;
    g.Head.Vision.SensorExists = kTrue;
    g.Head.Vision.Distance = 5;
    g.Head.Height = 1;
    g.Head.Width = 1;
    g.Tail.Flexibility = 100;
    g.Tail.Length = 6;
    g.Tail.Width = 1;
  }
}

void CreateFounder(World& world, int slot) {
  Animal& a = AnimalAt(world, slot);
  SetFounderGenome(a);
  NoteGenesChanged(world, slot);
  RecordFounder(world.lineage, slot, world.Year, world.Month,
                static_cast<int16_t>(PrimordialCount(a)));
}

double MeatBlockSum(const World& world, int x, int y) {
  const std::vector<int32_t>& kinds = world.Map.layers[kFoodKindLayer];
  int meatCells = 0;
  for (int dx = -1; dx <= 1; ++dx) {
    for (int dy = -1; dy <= 1; ++dy) {
      const int nx = x + dx;
      const int ny = y + dy;
      if (nx < 0 || nx >= kMapWidth || ny < kMapTopRow || ny > kMapBottomRow ||
          kinds[static_cast<size_t>(WorldMap::Index(nx, ny))] == kMeat) {
        ++meatCells;
      }
    }
  }
  return meatCells * static_cast<double>(world.Map.At(kFoodAmountLayer, x, y)) /
         static_cast<double>(kFreshFoodAmount);
}

void ChangeWorld(World& world) {
  // The sign is drawn even when the sea level stays (the sea_level_drift
  // condition off), so the year's other draws are those of a drifting world.
  const int drift = RandomSign(world);
  if (world.conditions.seaLevelDrift != 0) {
    world.SeaLevel = Saturate<int16_t>(static_cast<int64_t>(world.SeaLevel) + drift);
  }
  const int seaLevel = world.SeaLevel;
  const double foodScale = world.conditions.foodScale;

  std::vector<int32_t>& kinds = world.Map.layers[kFoodKindLayer];
  std::vector<int32_t>& amounts = world.Map.layers[kFoodAmountLayer];
  const std::vector<int32_t>& terrain = world.Map.layers[kTerrainLayer];

  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
      const size_t here = static_cast<size_t>(WorldMap::Index(x, y));
      if (kinds[here] == kMeat) {
        const double blockSum = MeatBlockSum(world, x, y);
        const double draw = std::floor(Rnd(world) * kMeatTurnOdds) + 1.0;
        if (draw <= blockSum) {
          const int below = std::min(std::abs(y + 1), kMapBottomRow);
          const bool groundBelow =
              terrain[static_cast<size_t>(WorldMap::Index(x, below))] == kGround;
          if (y < seaLevel) {
            if (groundBelow) kinds[here] = kLandVegetation;
          } else {
            kinds[here] = groundBelow ? kAquaticVegetation : kSeaScum;
          }
          // The food made keeps the meat's amount, times the food_scale
          // condition (1 by default, which keeps it exactly).
          if (kinds[here] != kMeat && foodScale != 1) {
            amounts[here] = RoundTo<int32_t>(static_cast<double>(amounts[here]) * foodScale);
          }
        }
      }
      if (kinds[here] == kMeat) {
        amounts[here] = Saturate<int32_t>(static_cast<int64_t>(amounts[here]) - kMeatRotPerYear);
      }
      if (amounts[here] < 0) kinds[here] = kNoFood;
    }
  }
  world.Map.RebuildFoodIndex();
}

}  // namespace ombrivale

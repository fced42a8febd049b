#include "support/test_world.h"

#include "core/helpers.h"

namespace ombrivale::testing {

TestWorld::TestWorld(uint64_t seed) {
  world.seam = &seam;
  FillMonthNames(world);
  UseVirtualClock(world, seed);
}

void FillRows(World& world, int y0, int y1, int32_t terrain) {
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = y0; y <= y1; ++y) world.Map.At(kTerrainLayer, x, y) = terrain;
  }
}

void SetFounderGenes(Animal& animal) {
  animal.Unborn.EggSize = 1;
  animal.Unborn.TimeInEgg = 5;
  for (GeneSet& g : animal.Genes) {
    g.Body.BreathCapasity = 1000;
    g.Body.BreathingMethod = 1;
    g.Body.ColourContrast = 0;
    g.Body.ColourX = {128, 64, 0};
    g.Body.ColourY = {128, 64, 0};
    g.Body.Height = 5;
    g.Body.Width = 1;
    g.Body.Covering = 1;
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
    g.Head.Audio = Sensor{};
    g.Head.Audio.SensorExists = kFalse;
    g.Head.Diet = 0;
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

Animal& PutAnimal(World& world, int slot, int x, int y, int16_t stage) {
  Animal& a = AnimalAt(world, slot);
  a = Animal{};
  SetFounderGenes(a);
  a.Alive = 1;
  a.Stage = stage;
  a.X = static_cast<int16_t>(x);
  a.Y = static_cast<int16_t>(y);
  a.Hunger = 100;
  a.Breath = a.Genes[stage < 0 ? 0 : stage].Body.BreathCapasity;
  return a;
}

}  // namespace ombrivale::testing

#include "support/test_world.h"

#include "core/helpers.h"
#include "genetics/body_measures.h"
#include "world/file_system.h"
#include "world/world_gen.h"

namespace ombrivale::testing {

TestWorld::TestWorld(uint64_t seed) {
  world.seam = &seam;
  world.display = &display;
  world.events.Listen();
  FillMonthNames(display);
  UseVirtualClock(world, seed);
}

EventTally& TestWorld::Events() {
  if (world.events.Empty()) return tally;
  const std::vector<Event> drained = world.events.Drain();
  ShowNotices(seam, drained);
  tally.Take(drained);
  return tally;
}

void FillRows(World& world, int y0, int y1, int32_t terrain) {
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = y0; y <= y1; ++y)
      world.Map.At(kTerrainLayer, x, y) = terrain;
  }
}

Animal& PutAnimal(World& world, int slot, int x, int y, int16_t stage) {
  static const Animal founder = [] {
    World scratch;
    CreateFounder(scratch, 1);
    return AnimalAt(scratch, 1);
  }();
  // The caller may set genes next: the kept evolvedness counts are taken
  // afresh when next asked for.
  ForgetPrimordialCounts(world);
  Animal& a = AnimalAt(world, slot);
  a = Animal{};
  a.Unborn = founder.Unborn;
  a.Genes[0] = founder.Genes[0];
  a.Genes[1] = founder.Genes[1];
  a.Alive = 1;
  a.Stage = stage;
  a.X = static_cast<int16_t>(x);
  a.Y = static_cast<int16_t>(y);
  a.Hunger = 100;
  a.Breath = a.Genes[stage < 0 ? 0 : stage].Body.BreathCapasity;
  RecordFounder(world.lineage, slot, world.Year, world.Month,
                static_cast<int16_t>(PrimordialCount(a)));
  return a;
}

}  // namespace ombrivale::testing

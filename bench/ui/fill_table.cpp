#include "bench/ui/fill_table.h"

#include <algorithm>

#include "core/helpers.h"
#include "genetics/body_measures.h"

namespace ombrivale::bench {

void FillTable(World& world, int count) {
  const Animal founder = AnimalAt(world, 1);
  count = std::clamp(count, 1, kSlotCount);
  for (int slot = 1; slot <= count; ++slot) {
    int x = 0;
    int y = 0;
    for (int tries = 0; tries < 1000; ++tries) {
      x = static_cast<int>(Rnd(world) * kMapWidth);
      y = static_cast<int>(Rnd(world) * (kMapBottomRow + 1));
      if (world.Map.At(kTerrainLayer, x, y) == kWater) break;
    }
    Animal& a = AnimalAt(world, slot);
    a = founder;
    a.Alive = 1;
    a.Sex = static_cast<uint8_t>(slot % 2);
    a.Stage = slot % 5 == 0 ? kStageInfant : kStageAdult;
    a.AgeYears = static_cast<int16_t>(slot % 5 == 0 ? 0 : 1 + slot % 4);
    a.AgeMonths = static_cast<int16_t>(slot % 12);
    a.Hunger = static_cast<int16_t>(slot % 400);
    a.EggTimer = 0;
    a.Mode = kModeRoam;
    a.HasBred = 0;
    a.X = static_cast<int16_t>(x * 100 + 50);
    a.Y = static_cast<int16_t>(y * 100 + 50);
    a.Breath = Expressed(a).Body.BreathCapasity;
  }
  ForgetPrimordialCounts(world);  // the genes were written past the kept counts
}

}  // namespace ombrivale::bench

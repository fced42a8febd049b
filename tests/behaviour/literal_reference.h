// Plain, word-for-word versions of the food scan, the hunt, the mate search
// and the litter's choice of slots, with none of the shortcuts of the
// library's versions: every offset of the scan square, every slot, every
// comparison, no index, nothing kept from one call to the next. The
// equivalence tests run both on the same worlds and require identical worlds
// (WorldDigest) after.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "core/helpers.h"
#include "core/numeric.h"
#include "genetics/body_measures.h"
#include "genetics/gene_table.h"
#include "genetics/inheritance.h"
#include "genetics/mating.h"
#include "genetics/needs.h"
#include "support/test_world.h"
#include "support/world_digest.h"

namespace ombrivale::testing {

inline void LiteralForageRule(World& world, int i) {
  Reseed(world);
  Animal& a = AnimalAt(world, i);
  if (a.Stage == -1) return;
  const int X = a.X;
  const int Y = a.Y;
  const GeneSet& g = Expressed(a);
  const int D = g.Head.Vision.Distance;

  int32_t best[5];
  int bestDX[5];
  int bestDY[5];
  for (int k = 1; k <= 4; ++k) {
    best[k] = 2 * D;
    bestDX[k] = RandomSign(world);
    bestDY[k] = RandomSign(world);
  }
  if (g.Head.Vision.SensorExists != -1) return;

  for (int dx = -D; dx <= D; ++dx) {
    for (int dy = -D; dy <= D; ++dy) {
      const int distance = std::abs(dy) + std::abs(dx);
      const int c = CellX(X + 100 * dx);
      const int r = CellY(Y + 100 * dy);
      const int32_t kind = world.Map.At(kFoodKindLayer, c, r);
      if (world.Map.At(kFoodAmountLayer, c, r) >= 1 && kind >= 1 && kind <= 4 &&
          distance < best[kind]) {
        best[kind] = distance;
        bestDX[kind] = dx;
        bestDY[kind] = dy;
      }
    }
  }

  const int ownX = CellX(X);
  const int ownY = CellY(Y);
  int32_t& ownKind = world.Map.At(kFoodKindLayer, ownX, ownY);
  int32_t& ownAmount = world.Map.At(kFoodAmountLayer, ownX, ownY);
  bool browse = false;
  switch (g.Head.Diet) {
    case 0:
      a.HeadingX = static_cast<int16_t>(Sign(bestDX[1]));
      a.HeadingY = static_cast<int16_t>(Sign(bestDY[1]));
      if (g.Head.MouthLength >= 1 && ownAmount > 0 && ownKind == 1) {
        AddSaturating(a.Hunger, -10);
        ownAmount -= 1;
      }
      return;
    case 2:
    case 3: {
      a.HeadingX = static_cast<int16_t>(Sign(bestDX[4]));
      a.HeadingY = static_cast<int16_t>(Sign(bestDY[4]));
      if (ownKind == 4 && ownAmount >= 1 && g.Head.MouthLength >= 3) {
        AddSaturating(a.Hunger, -80);
        ownAmount -= 10;
      }
      double record = best[4];
      bool hunted = false;
      if (D > 0) {
        for (int j = 1; j <= kSlotCount; ++j) {
          Animal& prey = AnimalAt(world, j);
          if (prey.Alive != 1 || j == i) continue;
          const double d = Distance(X, Y, prey.X, prey.Y);
          if (d < D && d < record) {
            record = d;
            a.HeadingX = static_cast<int16_t>(Sign(prey.X - X));
            a.HeadingY = static_cast<int16_t>(Sign(prey.Y - Y));
            if (CellX(prey.X) == CellX(X) && CellY(prey.Y) == CellY(Y)) {
              KillAnimal(world, j, Cause::Eaten);
              SeamOf(world).Beep();
            }
            hunted = true;
            AddSaturating(a.Hunger, -100);
          }
        }
      } else {
        record = 0;
      }
      browse = g.Head.Diet == 2 && !hunted && best[4] == 2 * D && record == best[4];
      break;
    }
    case 1:
      browse = true;
      break;
    default:
      return;
  }
  if (!browse) return;
  if (std::abs(bestDX[2]) < std::abs(bestDX[3])) {
    a.HeadingX = static_cast<int16_t>(Sign(bestDX[2]));
    a.HeadingY = static_cast<int16_t>(Sign(bestDY[2]));
    if (ownKind == 2 && ownAmount >= 1 && g.Head.MouthLength >= 1) {
      AddSaturating(a.Hunger, -20);
      ownAmount -= 1;
    }
  } else {
    a.HeadingX = static_cast<int16_t>(Sign(bestDX[3]));
    a.HeadingY = static_cast<int16_t>(Sign(bestDY[3]));
    if (ownKind == 3 && ownAmount > 0 && g.Head.MouthLength >= 2) {
      AddSaturating(a.Hunger, -40);
      ownAmount -= 1;
    }
  }
}

// The food index is kept as the library keeps it (the rule does not read it).
inline void LiteralForage(World& world, int i) {
  LiteralForageRule(world, i);
  const Animal& a = AnimalAt(world, i);
  world.Map.NoteFoodChange(CellX(a.X), CellY(a.Y));
}

// Counts all 115 values and divides in single precision, as written.
inline bool LiteralIsCompatible(const World& world, int a, int b) {
  const Animal& x = AnimalAt(world, a);
  const Animal& y = AnimalAt(world, b);
  int count = 0;
  for (const UnbornField& f : UnbornFields()) {
    count += UnbornValue(x.Unborn, f) == UnbornValue(y.Unborn, f);
  }
  for (int l = 0; l < 2; ++l) {
    for (int index : ComparedFields()) {
      const GeneField& f = GeneSetFields()[static_cast<size_t>(index)];
      count += GeneValue(x.Genes[l], f) == GeneValue(y.Genes[l], f);
    }
  }
  const float similarity = static_cast<float>(count) / 114.0f * 100.0f;
  return similarity > 75.0f;
}

// The litter as written: the whole table scored for every young that finds
// no free slot. The young are filed as Mate files them (position, kept
// count, lineage), which the rule does not read.
inline void LiteralMate(World& w, int first, int second) {
  Reseed(w);
  Reseed(w);
  const float m = MeanOf(Adult(AnimalAt(w, first)).Genitalia.YoungPerLitter,
                         Adult(AnimalAt(w, second)).Genitalia.YoungPerLitter);
  const LineageParents parents = ParentsInSlots(w.lineage, first, second);
  for (float n = m / 2 + 1; n <= m; n += 1) {
    int slot = FindFreeSlot(w);
    if (slot == 0) {
      slot = w.OverwriteLeast == 1 ? FindLeastEvolved(w) : 0;
      if (slot == 0) return;
      KillAnimal(w, slot, Cause::Overwritten);
    }
    Inherit(w, first, second, slot);
    Mutate(w, slot);
    Animal& egg = AnimalAt(w, slot);
    StartEgg(egg);
    egg.Sex = static_cast<uint8_t>(Rnd(w) * 2);
    egg.X = AnimalAt(w, second).X;
    egg.Y = AnimalAt(w, second).Y;
    NotePosition(w, slot);
    NoteGenesChanged(w, slot);
    RecordYoung(w.lineage, slot, parents, w.Year, w.Month,
                static_cast<int16_t>(KeptPrimordialCount(w, slot)));
  }
}

inline void LiteralSeekMate(World& world, int i) {
  const double clock = ReadClock(world);
  const double draw = Rnd(world);
  ReseedWith(world, clock * draw);
  Animal& a = AnimalAt(world, i);
  if (a.Stage < 1) return;
  const GeneSet& g = Expressed(a);
  if (g.Genitalia.StartsBreeding > a.AgeYears) return;
  if (g.Genitalia.StopsBreeding <= a.AgeYears) return;
  if (a.HasBred == 1) return;
  double best = 2 * static_cast<int32_t>(g.Head.Smell.Distance);
  int dx = RandomSign(world);
  int dy = RandomSign(world);
  int partner = 0;
  for (int j = 1; j <= kSlotCount; ++j) {
    const Animal& b = AnimalAt(world, j);
    if (!(b.Alive == 1 && j != i)) continue;
    if (!(b.Sex != a.Sex)) continue;
    if (!(b.Stage != -1)) continue;
    const GeneSet& h = Expressed(b);
    if (!(h.Genitalia.StartsBreeding < b.AgeYears && h.Genitalia.StopsBreeding > b.AgeYears)) {
      continue;
    }
    if (!(b.HasBred == 0)) continue;
    if (!LiteralIsCompatible(world, i, j)) continue;
    const double d = Distance(a.X, a.Y, b.X, b.Y);
    if (d < best) {
      best = d;
      partner = j;
      dx = b.X - a.X;
      dy = b.Y - a.Y;
    }
  }
  if (partner != 0 && best < 100) {
    a.HasBred = 1;
    AnimalAt(world, partner).HasBred = 1;
    if (a.Sex != 0) {
      LiteralMate(world, partner, i);
    } else {
      LiteralMate(world, i, partner);
    }
    return;
  }
  if (best < AnimalAt(world, i).Genes[1].Head.Smell.Distance) {
    a.HeadingX = static_cast<int16_t>(Sign(dx));
    a.HeadingY = static_cast<int16_t>(Sign(dy));
  }
}

// Runs `fast` on every occupied slot of `a` and `literal` on the same slots of
// a copy: the generators must agree after every slot, the worlds and the
// beeps at the end.
inline ::testing::AssertionResult SameAsLiteral(TestWorld& a, void (*fast)(World&, int),
                                                void (*literal)(World&, int)) {
  TestWorld b;
  b.world = a.world;
  b.display = a.display;
  b.world.seam = &b.seam;
  b.world.display = &b.display;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (!IsOccupied(AnimalAt(a.world, slot))) continue;
    fast(a.world, slot);
    literal(b.world, slot);
    if (a.world.Rng.state != b.world.Rng.state) {
      return ::testing::AssertionFailure() << "the draws part at slot " << slot;
    }
  }
  if (WorldDigest(a.world) != WorldDigest(b.world)) {
    return ::testing::AssertionFailure() << "the worlds differ";
  }
  if (a.seam.beeps != b.seam.beeps) return ::testing::AssertionFailure() << "the beeps differ";
  return ::testing::AssertionSuccess();
}

}  // namespace ombrivale::testing

#include "behaviour/forage.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/helpers.h"
#include "genetics/needs.h"

#include "core/numeric.h"
#include "core/rules.h"

namespace ombrivale {
namespace {

constexpr int kLastColumn = kMapWidth - 1;  // 320
constexpr int kLastRow = kMapBottomRow;     // 100
constexpr int kNoOffset = INT_MIN;

// What the food scan saw, per food kind 1..4 (index 0 unused). Distances are
// city-block cell counts; offsets are in cells.
struct Sight {
  int32_t best[5] = {};
  int bestDX[5] = {};
  int bestDY[5] = {};
};

// The scan maps an offset d from the animal's cell f (an unfolded cell
// number, floor(position / 100)) to the cell min(|f + d|, last). Many offsets
// can reach one cell; only the one nearest to zero, the lower of two equally
// near, can ever be chosen for it: any other reaches the same cell at a
// greater distance, or at the same distance later in the scan order. These
// are the canonical offsets. For an animal in column 0 the canonical offset of
// column c is -c, the fold over the left edge.
struct Axis {
  int f = 0;
  int last = 0;
  int reach = 0;  // the vision distance D: offsets run over -D..D

  int CellOf(int d) const { return std::min(std::abs(f + d), last); }

  // The canonical offset of cell c, or kNoOffset when no offset within reach
  // maps to it.
  int CanonicalOffset(int c) const {
    int a;
    int b;
    if (c < last) {
      a = c - f;
      b = -c - f;
    } else {  // every f + d >= last or <= -last lands on the last cell
      a = last - f <= 0 ? 0 : last - f;
      b = -last - f >= 0 ? 0 : -last - f;
    }
    const int best = (std::abs(b) < std::abs(a) || (std::abs(b) == std::abs(a) && b < a)) ? b : a;
    return std::abs(best) <= reach ? best : kNoOffset;
  }

  bool IsCanonical(int d) const { return std::abs(d) <= reach && CanonicalOffset(CellOf(d)) == d; }
};

// The canonical offsets of an axis in ascending order; returns their count
// (at most one per cell). No canonical offset lies farther from zero than the
// farther end of the axis, so a long reach costs no more than the map.
template <size_t N>
int CanonicalOffsets(const Axis& axis, std::array<int, N>& out) {
  const int reach = std::min(axis.reach, std::max(std::abs(axis.f), std::abs(axis.last - axis.f)));
  int n = 0;
  for (int d = -reach; d <= reach; ++d) {
    if (axis.IsCanonical(d)) out[static_cast<size_t>(n++)] = d;
  }
  return n;
}

// The food scan over the kinds in `wanted` (bit k for kind k), with the same
// result as visiting every offset (dx, dy) of -D..D x -D..D in order (dx
// outer, dy inner, both ascending) and keeping, per kind, the first offset of
// the smallest city-block distance below 2D at which the cell holds at least
// one unit of that kind.
//
// It first walks rings of growing distance from the animal over canonical
// offsets only, each ring in scan order, so the first find of a kind is final
// and the walk stops once every wanted kind is found. When the rings grow
// costly without finding everything, one pass over all canonical offsets (at
// most the map's cells) settles the rest.
// The scan for an animal whose whole square lies on the map: no offset folds
// or is capped, so every offset is canonical and the rings need no checks.
void ScanInterior(const World& world, int fx, int fy, int D, unsigned wanted, Sight& sight) {
  const int32_t* kinds = world.Map.layers[kFoodKindLayer].data();
  const int32_t* amounts = world.Map.layers[kFoodAmountLayer].data();
  const int centre = fx * kMapHeight + (fy - kMapTopRow);
  unsigned missing = wanted;
  const auto look = [&](int ring, int dx, int dy) {
    const int at = centre + dx * kMapHeight + dy;
    const int32_t kind = kinds[at];
    if (amounts[at] < 1 || kind < kSeaScum || kind > kMeat || !(missing & (1u << kind))) return;
    missing &= ~(1u << kind);
    sight.best[kind] = ring;
    sight.bestDX[kind] = dx;
    sight.bestDY[kind] = dy;
  };
  const int lastRing = 2 * D - 1;  // food at exactly 2D is never chosen
  for (int ring = 0; ring <= lastRing && missing != 0; ++ring) {
    // Scan order within a ring: dx ascending, then dy ascending.
    const int reach = std::min(ring, D);
    for (int dx = -reach; dx <= reach; ++dx) {
      const int rest = ring - std::abs(dx);
      if (rest > D) continue;
      look(ring, dx, -rest);
      if (rest != 0) look(ring, dx, rest);
    }
  }
}

void ScanForFood(const World& world, int16_t x, int16_t y, int D, unsigned wanted, Sight& sight) {
  if (D <= 0 || wanted == 0) return;
  const Axis columns{static_cast<int>(std::floor(x / 100.0)), kLastColumn, D};
  const Axis rows{static_cast<int>(std::floor(y / 100.0)), kLastRow, D};
  if (columns.f - D >= 0 && columns.f + D <= kLastColumn && rows.f - D >= 0 &&
      rows.f + D <= kLastRow) {
    ScanInterior(world, columns.f, rows.f, D, wanted, sight);
    return;
  }
  std::array<int, kMapWidth> dxs;
  std::array<int, kLastRow + 1> dys;
  const int nx = CanonicalOffsets(columns, dxs);
  const int ny = CanonicalOffsets(rows, dys);
  if (nx == 0 || ny == 0) return;

  const int32_t* kinds = world.Map.layers[kFoodKindLayer].data();
  const int32_t* amounts = world.Map.layers[kFoodAmountLayer].data();
  const auto cellIndex = [](int c, int r) { return c * kMapHeight + (r - kMapTopRow); };
  unsigned missing = wanted;

  // Rings of distance 0, 1, ... below 2D and within the canonical offsets.
  const int farthest = std::max(std::abs(dxs[0]), std::abs(dxs[static_cast<size_t>(nx - 1)])) +
                       std::max(std::abs(dys[0]), std::abs(dys[static_cast<size_t>(ny - 1)]));
  const int lastRing =
      static_cast<int>(std::min<int64_t>(2 * static_cast<int64_t>(D) - 1, farthest));
  const int64_t budget = static_cast<int64_t>(nx) * ny / 8;
  int64_t work = 0;
  bool complete = true;
  for (int ring = 0; ring <= lastRing && missing != 0; ++ring) {
    if (work > budget) {
      complete = false;
      break;
    }
    const auto first = std::lower_bound(dxs.begin(), dxs.begin() + nx, -ring);
    const auto end = std::upper_bound(first, dxs.begin() + nx, ring);
    for (auto it = first; it != end; ++it) {
      const int dx = *it;
      ++work;
      const int c = columns.CellOf(dx);
      const int rest = ring - std::abs(dx);
      for (int dy = -rest; dy <= rest; dy += (rest == 0 ? 1 : 2 * rest)) {
        if (!rows.IsCanonical(dy)) continue;
        const int at = cellIndex(c, rows.CellOf(dy));
        const int32_t kind = kinds[at];
        if (amounts[at] < 1 || kind < kSeaScum || kind > kMeat || !(missing & (1u << kind)))
          continue;
        missing &= ~(1u << kind);
        sight.best[kind] = ring;
        sight.bestDX[kind] = dx;
        sight.bestDY[kind] = dy;
      }
    }
  }
  if (complete || missing == 0) return;

  // Each canonical row offset's cell index within a column, and its size.
  std::array<int, kLastRow + 1> rowAt;
  std::array<int, kLastRow + 1> rowDistance;
  for (int j = 0; j < ny; ++j) {
    const int dy = dys[static_cast<size_t>(j)];
    rowAt[static_cast<size_t>(j)] = rows.CellOf(dy) - kMapTopRow;
    rowDistance[static_cast<size_t>(j)] = std::abs(dy);
  }
  for (int i = 0; i < nx; ++i) {
    const int dx = dxs[static_cast<size_t>(i)];
    const int column = cellIndex(columns.CellOf(dx), kMapTopRow);
    for (int j = 0; j < ny; ++j) {
      const int at = column + rowAt[static_cast<size_t>(j)];
      if (amounts[at] < 1) continue;
      const int32_t kind = kinds[at];
      if (kind < kSeaScum || kind > kMeat || !(missing & (1u << kind))) continue;
      const int32_t distance = std::abs(dx) + rowDistance[static_cast<size_t>(j)];
      if (distance < sight.best[kind]) {
        sight.best[kind] = distance;
        sight.bestDX[kind] = dx;
        sight.bestDY[kind] = dys[static_cast<size_t>(j)];
      }
    }
  }
}

unsigned WantedKinds(uint8_t diet) {
  switch (diet) {
    case kScumSucker:
      return 1u << kSeaScum;
    case kHerbivorous:
      return (1u << kAquaticVegetation) | (1u << kLandVegetation);
    case kOmnivorous:
      return (1u << kAquaticVegetation) | (1u << kLandVegetation) | (1u << kMeat);
    case kCarnivorous:
      return 1u << kMeat;
    default:
      return 0;
  }
}

void HeadFor(Animal& animal, const Sight& sight, int kind) {
  animal.HeadingX = static_cast<int16_t>(Sign(sight.bestDX[kind]));
  animal.HeadingY = static_cast<int16_t>(Sign(sight.bestDY[kind]));
}

// Eats `meal` from the animal's own cell when its mouth is long enough and
// the cell holds `kind` with at least one unit (an amount eaten below zero
// is no food).
void EatFromOwnCell(World& world, Animal& animal, int32_t kind, const Meal& meal) {
  if (Expressed(animal).Head.MouthLength < meal.leastMouthLength) return;
  const int c = CellX(animal.X);
  const int r = CellY(animal.Y);
  int32_t& amount = world.Map.At(kFoodAmountLayer, c, r);
  if (world.Map.At(kFoodKindLayer, c, r) != kind || amount < 1) return;
  AddSaturating(animal.Hunger, -meal.hungerDrop);
  AddSaturating(amount, -static_cast<int64_t>(meal.amountTaken));
}

void Browse(World& world, Animal& animal, const Sight& sight) {
  // Only the column offsets are compared; ties go to land vegetation.
  if (std::abs(sight.bestDX[kAquaticVegetation]) < std::abs(sight.bestDX[kLandVegetation])) {
    HeadFor(animal, sight, kAquaticVegetation);
    EatFromOwnCell(world, animal, kAquaticVegetation, kAquaticMeal);
  } else {
    HeadFor(animal, sight, kLandVegetation);
    EatFromOwnCell(world, animal, kLandVegetation, kLandMeal);
  }
}

// Turns towards every living animal nearer than both the vision distance
// (now read in hundredths of a cell) and the prey record, each costing 100
// Hunger; one in the hunter's own cell is eaten. The record starts at the
// meat's distance in cells and is compared unchanged with hundredths.
// Returns whether any prey was chosen; `record` ends at the last prey's
// distance.
bool Hunt(World& world, int hunter, int D, double& record) {
  Animal& self = AnimalAt(world, hunter);
  const int cellX = CellX(self.X);
  const int cellY = CellY(self.Y);
  bool hunted = false;
  for (int j = 1; j <= kSlotCount; ++j) {
    if (j == hunter) continue;
    const Animal& prey = AnimalAt(world, j);
    if (!IsOccupied(prey)) continue;
    // A distance is at least each of its components, so these cheap tests
    // only pass over animals that could not be chosen.
    const double limit = std::min<double>(D, record);
    if (limit <= 0) break;
    const int ddx = prey.X - self.X;
    const int ddy = prey.Y - self.Y;
    if (std::abs(ddx) >= limit || std::abs(ddy) >= limit) continue;
    const double d = Distance(self.X, self.Y, prey.X, prey.Y);
    if (!(d < D && d < record)) continue;
    record = d;
    self.HeadingX = static_cast<int16_t>(Sign(ddx));
    self.HeadingY = static_cast<int16_t>(Sign(ddy));
    if (CellX(prey.X) == cellX && CellY(prey.Y) == cellY) {
      KillAnimal(world, j, Cause::Eaten);
      SeamOf(world).Beep();
    }
    hunted = true;
    AddSaturating(self.Hunger, -kHungerPerPreyChosen);
  }
  return hunted;
}

}  // namespace

void Forage(World& world, int slot) {
  Reseed(world);
  Animal& self = AnimalAt(world, slot);
  if (self.Stage == kStageEgg) return;
  const GeneSet& genes = Expressed(self);
  const int D = genes.Head.Vision.Distance;
  const int32_t start = 2 * D;  // 32 bits: a distance above 16383 still doubles

  Sight sight;
  for (int kind = kSeaScum; kind <= kMeat; ++kind) {
    sight.best[kind] = start;
    sight.bestDX[kind] = RandomSign(world);
    sight.bestDY[kind] = RandomSign(world);
  }
  if (genes.Head.Vision.SensorExists != kTrue) return;  // a blind animal neither looks nor eats

  // Only the kinds this diet acts on are looked for; the others' Best would
  // never be read.
  const uint8_t diet = genes.Head.Diet;
  ScanForFood(world, self.X, self.Y, D, WantedKinds(diet), sight);

  switch (diet) {
    case kScumSucker:
      HeadFor(self, sight, kSeaScum);
      EatFromOwnCell(world, self, kSeaScum, kScumMeal);
      return;
    case kOmnivorous:
    case kCarnivorous: {
      HeadFor(self, sight, kMeat);
      EatFromOwnCell(world, self, kMeat, kMeatMeal);
      double record = sight.best[kMeat];
      bool hunted = false;
      if (D > 0) {
        hunted = Hunt(world, slot, D, record);
      } else {
        record = 0;  // no hunt: the record counts as 0 in the browsing test
      }
      if (diet == kOmnivorous && !hunted && sight.best[kMeat] == start &&
          record == sight.best[kMeat]) {
        Browse(world, self, sight);
      }
      return;
    }
    case kHerbivorous:
      Browse(world, self, sight);
      return;
    default:
      return;
  }
}

}  // namespace ombrivale

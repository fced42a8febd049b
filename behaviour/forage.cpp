#include "behaviour/forage.h"

#include <algorithm>
#include <array>
#include <bit>
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
  int32_t bestDX[5] = {};
  int32_t bestDY[5] = {};
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

// ---- The indexed scan ----
//
// For an animal in column 1..320 and row 1..100 no offset folds over an edge
// to a nearer cell, and the capped offsets past the right and bottom edges
// reach the last column and row first at their true offset, so each cell in
// reach has the one offset (c - fx, r - fy). In column 0 every column c is
// reached as far by -c as by c, and the lower, -c, is its offset; so in row
// 0 for the rows. Each cell in reach then has the one offset (sx (c - fx),
// sy (r - fy)), the sign -1 on an axis at 0 and +1 elsewhere. The scan's
// first find of each kind is the cell of least (distance, dx, dy) below 2D.
// The food index yields it row by row without looking at empty cells: in
// each row the nearest column on either side of the animal (on an axis at
// 0 there is one side), rows taken outward from the animal's own until they
// lie farther than the best find.

// The best find so far of one kind: least distance, then least dx, then
// least dy (the scan order).
struct Find {
  int32_t distance;
  int dx = 0;
  int dy = 0;
  bool found = false;

  void Offer(int cdx, int cdy) {
    const int32_t d = std::abs(cdx) + std::abs(cdy);
    if (d < distance || (found && d == distance && (cdx < dx || (cdx == dx && cdy < dy)))) {
      distance = d;
      dx = cdx;
      dy = cdy;
      found = true;
    }
  }
};

// Bits 0..n-1 (0 <= n <= 64).
uint64_t LowBits(int n) {
  return n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
}

// The offset from `own` of the nearest set bit of `bits`, the lower one at
// equal distance. REQUIRES: bits != 0.
int NearestBit(uint64_t bits, int own) {
  const uint64_t left = bits & LowBits(own + 1);
  const uint64_t right = bits & ~LowBits(own + 1);
  const int l = left != 0 ? 63 - std::countl_zero(left) : -1;
  const int r = right != 0 ? std::countr_zero(right) : 64;
  return l >= 0 && (r == 64 || own - l <= r - own) ? l - own : r - own;
}

// The same over a whole index row between columns first and last, for a
// reach wider than one word: the offset from column `own` of the nearest
// column that offers food, or false when none does.
bool NearestColumn(const uint64_t* row, int own, int first, int last, int& dx) {
  int left = -1;
  for (int word = own / 64; word >= first / 64 && left < 0; --word) {
    uint64_t bits = row[word];
    if (word == own / 64) bits &= LowBits(own % 64 + 1);
    if (word == first / 64) bits &= ~LowBits(first % 64);
    if (bits != 0) left = word * 64 + 63 - std::countl_zero(bits);
  }
  int right = -1;
  for (int word = (own + 1) / 64; word <= last / 64 && right < 0; ++word) {
    uint64_t bits = row[word];
    if (word == (own + 1) / 64) bits &= ~LowBits((own + 1) % 64);
    if (word == last / 64) bits &= LowBits(last % 64 + 1);
    if (bits != 0) right = word * 64 + std::countr_zero(bits);
  }
  if (left < 0 && right < 0) return false;
  dx = left >= 0 && (right < 0 || own - left <= right - own) ? left - own : right - own;
  return true;
}

// The nearest find of one kind in the rows of `windows` (row topRow first),
// each a window of columns from firstColumn, bit 0 first: rows taken outward
// from the animal's own (dy = 0, -1, +1, -2, ...) while a row can still hold
// a find as near as the best, which can tie with it at dx = 0.
// The offsets are offered signed by the axes' signs sx and sy.
void NearestInWindows(const uint64_t* windows, int fy, int topRow, int bottomRow, int own, int sx,
                      int sy, Find& best) {
  const uint64_t* at = windows + (fy - topRow);
  if (at[0] != 0) best.Offer(sx * NearestBit(at[0], own), 0);
  for (int step = 1; step <= best.distance; ++step) {
    const bool up = fy - step >= topRow;
    const bool down = fy + step <= bottomRow;
    if (!up && !down) break;
    if (up && at[-step] != 0) best.Offer(sx * NearestBit(at[-step], own), -sy * step);
    if (down && at[step] != 0) best.Offer(sx * NearestBit(at[step], own), sy * step);
  }
}

// The cells in reach of cell (fx, fy) with vision distance D, and the
// offsets' signs (see above).
struct Reach {
  int fx, fy;
  int firstColumn, lastColumn, width;
  int topRow, bottomRow, farthestRow;
  int sx, sy;

  Reach(int column, int row, int D)
      : fx(column),
        fy(row),
        firstColumn(std::max(0, column - D)),
        lastColumn(std::min(kLastColumn, column + D)),
        width(lastColumn - firstColumn + 1),
        topRow(std::max(0, row - D)),
        bottomRow(std::min(kLastRow, row + D)),
        farthestRow(std::max(row - topRow, bottomRow - row)),
        sx(column == 0 ? -1 : 1),
        sy(row == 0 ? -1 : 1) {}
};

// The nearest find of one kind in reach, nearer than `start`.
Find NearestFood(const World& world, const Reach& reach, int kind, int32_t start) {
  Find best{start};
  if (reach.width <= 64) {
    // Each row's window of columns once; most looks find nothing, which
    // their union tells.
    const int word = reach.firstColumn / 64;
    const int shift = reach.firstColumn % 64;
    const uint64_t mask = LowBits(reach.width);
    const uint64_t* row = world.Map.FoodRow(kind, reach.topRow) + word;
    const int rows = reach.bottomRow - reach.topRow + 1;
    std::array<uint64_t, kLastRow + 1> windows;
    uint64_t any = 0;
    if (shift + reach.width > 64) {
      for (int r = 0; r < rows; ++r, row += kFoodRowWords) {
        windows[static_cast<size_t>(r)] = ((row[0] >> shift) | (row[1] << (64 - shift))) & mask;
        any |= windows[static_cast<size_t>(r)];
      }
    } else {
      for (int r = 0; r < rows; ++r, row += kFoodRowWords) {
        windows[static_cast<size_t>(r)] = (row[0] >> shift) & mask;
        any |= windows[static_cast<size_t>(r)];
      }
    }
    if (any != 0) {
      NearestInWindows(windows.data(), reach.fy, reach.topRow, reach.bottomRow,
                       reach.fx - reach.firstColumn, reach.sx, reach.sy, best);
    }
    return best;
  }
  // Rows outward, as above, each searched a word at a time.
  for (int step = 0; step <= reach.farthestRow && step <= best.distance; ++step) {
    for (int dy = -step; dy <= step; dy += step == 0 ? 1 : 2 * step) {
      const int r = reach.fy + dy;
      if (r < reach.topRow || r > reach.bottomRow) continue;
      int dx = 0;
      if (NearestColumn(world.Map.FoodRow(kind, r), reach.fx, reach.firstColumn, reach.lastColumn,
                        dx)) {
        best.Offer(reach.sx * dx, reach.sy * dy);
      }
    }
  }
  return best;
}

void Keep(Sight& sight, int kind, int dx, int dy) {
  sight.best[kind] = std::abs(dx) + std::abs(dy);
  sight.bestDX[kind] = dx;
  sight.bestDY[kind] = dy;
}

// Sights up to this reach are kept (World::foodSights): a kept sight costs a
// few loads, far less than looking again; a longer sight looks again. The
// key and the offsets fit the entry's fields up to this reach.
constexpr int kMostRememberedReach = 31;

uint32_t SightKey(int kind, int fx, int fy, int D) {
  static_assert(kLastColumn < 512 && kLastRow < 128 && kMostRememberedReach < 32);
  return static_cast<uint32_t>(kind | fx << 3 | fy << 12 | D << 19);  // kind >= 1: never 0
}

size_t SightPlace(uint32_t key) {
  return (key * 0x9E3779B1u) >> (32 - kFoodSightBits);
}

// The indexed scan from cell (fx, fy), each kind's taken from the kept
// sights when a look from there with the same distance is kept and nothing
// in reach has changed since; what is looked at again is kept in its place.
void ScanIndexedOrRecall(World& world, int fx, int fy, int D, unsigned wanted, Sight& sight) {
  const int32_t start = 2 * D;  // nothing at that distance is chosen
  if (D > kMostRememberedReach) {
    const Reach reach(fx, fy, D);
    for (int kind = kSeaScum; kind <= kMeat; ++kind) {
      if (!(wanted & (1u << kind))) continue;
      const Find best = NearestFood(world, reach, kind, start);
      if (best.found) Keep(sight, kind, best.dx, best.dy);
    }
    return;
  }
  // Most kinds are kept: the rest of the reach is worked out only to look.
  const uint64_t latest =
      world.Map.LatestFoodChange(std::max(0, fy - D), std::min(kLastRow, fy + D));
  for (int kind = kSeaScum; kind <= kMeat; ++kind) {
    if (!(wanted & (1u << kind))) continue;
    const uint32_t key = SightKey(kind, fx, fy, D);
    FoodSight& kept = world.foodSights[SightPlace(key)];
    if (kept.key != key || kept.seenAt < latest) {
      const Find best = NearestFood(world, Reach(fx, fy, D), kind, start);
      kept.key = key;
      kept.dx = static_cast<int8_t>(best.dx);
      kept.dy = static_cast<int8_t>(best.dy);
      kept.found = best.found;
      kept.seenAt = world.Map.foodChanges;
    }
    if (kept.found) Keep(sight, kind, kept.dx, kept.dy);
  }
}

// The food scan over the kinds in `wanted` (bit k for kind k), with the same
// result as visiting every offset (dx, dy) of -D..D x -D..D in order (dx
// outer, dy inner, both ascending) and keeping, per kind, the first offset of
// the smallest city-block distance below 2D at which the cell holds at least
// one unit of that kind.
//
// An animal on the map is scanned through the food index, or a sight kept from an earlier look
// from its cell is taken again. Off the map (a position from a hand-made file) the scan walks rings
// of growing distance over canonical offsets only, each ring in scan order, so the first find of a
// kind is final and the walk stops once every wanted kind is found. When the rings grow costly
// without finding everything, one pass over all canonical offsets (at most the map's cells) settles
// the rest.
void ScanForFood(World& world, int16_t x, int16_t y, int D, unsigned wanted, Sight& sight) {
  if (D <= 0 || wanted == 0) return;
  if (x >= 0 && y >= 0 && x <= kMaxX && y <= kMaxY) {
    ScanIndexedOrRecall(world, x / kHundredthsPerCell, y / kHundredthsPerCell, D, wanted, sight);
    return;
  }
  const Axis columns{static_cast<int>(std::floor(x / 100.0)), kLastColumn, D};
  const Axis rows{static_cast<int>(std::floor(y / 100.0)), kLastRow, D};
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

// The starting signs a set of kinds reads (bit k for kind k): signs 2k and
// 2k + 1 are kind k + 1's.
constexpr std::array<uint32_t, 1u << (kMeat + 1)> kSignsOfKinds = [] {
  std::array<uint32_t, 1u << (kMeat + 1)> signs{};
  for (unsigned kinds = 0; kinds < signs.size(); ++kinds) {
    for (int kind = kSeaScum; kind <= kMeat; ++kind)
      signs[kinds] |= ((kinds >> kind) & 1u) * (3u << (2 * (kind - kSeaScum)));
  }
  return signs;
}();

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
  world.Map.NoteFoodChange(c, r);
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
//
// The rule walks every slot in order, but only an animal nearer than the
// starting limit on each axis can ever be chosen (the record only falls), so
// the position index gives those, in slot order, and the rule runs over them
// alone. A kill changes no other animal, so the list stays true as it runs.
bool Hunt(World& world, int hunter, int D, double& record) {
  const double start = std::min<double>(D, record);
  if (start <= 0) return false;
  Animal& self = AnimalAt(world, hunter);
  const int cellX = CellX(self.X);
  const int cellY = CellY(self.Y);
  std::array<int16_t, kSlotCount> near;
  const int count = world.positions.SlotsNear(world.Animals, self.X, self.Y,
                                              static_cast<int64_t>(std::ceil(start)), near.data());
  bool hunted = false;
  for (int n = 0; n < count; ++n) {
    const int j = near[static_cast<size_t>(n)];
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
  Animal& self = AnimalAt(world, slot);
  if (self.Stage == kStageEgg) {
    Reseed(world);
    return;
  }
  const GeneSet& genes = Expressed(self);
  const int D = genes.Head.Vision.Distance;
  const int32_t start = 2 * D;  // 32 bits: a distance above 16383 still doubles

  // A blind animal neither looks nor eats. Only the kinds this diet acts on
  // are looked for; the others' Best would never be read.
  const bool sees = genes.Head.Vision.SensorExists == kTrue;
  const uint8_t diet = genes.Head.Diet;
  // Each kind's starting offsets are two random signs, drawn in kind order
  // after the operation's reseed and before the look; a sign that this diet
  // never reads only moves the generator on. Each draw waits on the one
  // before, and the look, which draws nothing and does not wait on them,
  // runs beside them.
  const unsigned read = sees ? WantedKinds(diet) : 0;
  const uint32_t readSigns = kSignsOfKinds[read];
  const uint32_t signs = ReseedAndDrawSigns(world, 1, 2 * (kMeat - kSeaScum + 1), readSigns);
  Sight sight;
  for (int kind = kSeaScum; kind <= kMeat; ++kind) {
    const int k = 2 * (kind - kSeaScum);
    sight.best[kind] = start;
    sight.bestDX[kind] = static_cast<int32_t>((signs >> k) & 1u) * 2 - 1;
    sight.bestDY[kind] = static_cast<int32_t>((signs >> (k + 1)) & 1u) * 2 - 1;
  }
  if (!sees) return;
  ScanForFood(world, self.X, self.Y, D, read, sight);

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

#include "behaviour/mate_search.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>

#include "behaviour/species.h"
#include "core/helpers.h"
#include "core/numeric.h"
#include "core/rules.h"
#include "genetics/gene_table.h"
#include "genetics/mating.h"

namespace ombrivale {
namespace {

constexpr int kComparedCount = kComparedValueCount;  // 5 egg genes + 55 per gene set

std::array<ComparedValue, kComparedCount> BuildComparedValues() {
  std::array<ComparedValue, kComparedCount> values{};
  size_t n = 0;
  const auto size = [](GeneType type) {
    return static_cast<uint8_t>(type == GeneType::U8 ? 1 : 2);
  };
  for (const UnbornField& gene : UnbornFields()) {
    values[n++] = {static_cast<uint16_t>(offsetof(Animal, Unborn) + gene.offset), size(gene.type)};
  }
  for (size_t l = 0; l < 2; ++l) {
    for (int index : ComparedFields()) {
      const GeneField& gene = GeneSetFields()[static_cast<size_t>(index)];
      values[n++] = {
          static_cast<uint16_t>(offsetof(Animal, Genes) + l * sizeof(GeneSet) + gene.offset),
          size(gene.type)};
    }
  }
  return values;
}

bool SameValue(const unsigned char* a, const unsigned char* b, uint8_t size) {
  if (size == 1) return *a == *b;
  uint16_t x;
  uint16_t y;
  std::memcpy(&x, a, 2);
  std::memcpy(&y, b, 2);
  return x == y;
}

// The candidate tests of the scan that need no genome comparison; the
// candidate's own breeding window has both bounds exclusive. None has an
// effect, so their order is free: the state fields, which share a cache line,
// come before the genes.
bool IsReadyCandidate(const Animal& seeker, const Animal& other) {
  return other.Sex != seeker.Sex && MayMate(other);
}

constexpr int kCandidateWords = kSlotCount / 64 + 1;

int SexSet(uint8_t sex) {
  return sex < 2 ? sex : 2;
}

// The slots that may mate this tick, taken at the tick's first search.
MateCandidates& CandidatesOfThisTick(World& world) {
  MateCandidates& candidates = world.mateCandidates;
  if (candidates.kept && candidates.tick == world.TickCount) return candidates;
  candidates = MateCandidates{};
  candidates.kept = true;
  candidates.tick = world.TickCount;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (MayMate(animal)) {
      candidates.bySex[static_cast<size_t>(SexSet(animal.Sex))][static_cast<size_t>(slot / 64)] |=
          uint64_t{1} << (slot % 64);
    }
  }
  return candidates;
}

}  // namespace

std::span<const ComparedValue> ComparedValues() {
  static const std::array<ComparedValue, kComparedCount> values = BuildComparedValues();
  return values;
}

bool MayMate(const Animal& animal) {
  if (!IsOccupied(animal) || animal.Stage == kStageEgg || animal.HasBred != 0) return false;
  const GenitaliaGenes& g = Expressed(animal).Genitalia;
  return g.StartsBreeding < animal.AgeYears && g.StopsBreeding > animal.AgeYears;
}

void NoteStageChanged(World& world, int slot) {
  MateCandidates& candidates = world.mateCandidates;
  const Animal& animal = AnimalAt(world, slot);
  if (!candidates.kept || candidates.tick != world.TickCount || !MayMate(animal)) return;
  candidates.bySex[static_cast<size_t>(SexSet(animal.Sex))][static_cast<size_t>(slot / 64)] |=
      uint64_t{1} << (slot % 64);
}

bool MateCandidatesMatch(const World& world) {
  const MateCandidates& candidates = world.mateCandidates;
  if (!candidates.kept || candidates.tick != world.TickCount) return true;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    const uint64_t word =
        candidates.bySex[static_cast<size_t>(SexSet(animal.Sex))][static_cast<size_t>(slot / 64)];
    if (MayMate(animal) && ((word >> (slot % 64)) & 1) == 0) return false;
  }
  return true;
}

bool IsCompatible(const World& world, int a, int b) {
  const auto* pa = reinterpret_cast<const unsigned char*>(&AnimalAt(world, a));
  const auto* pb = reinterpret_cast<const unsigned char*>(&AnimalAt(world, b));
  // Stops as soon as the answer is settled: 86 equal values are enough, 30
  // different ones are too many.
  int equal = 0;
  int different = 0;
  for (const ComparedValue& v : ComparedValues()) {
    if (SameValue(pa + v.offset, pb + v.offset, v.size)) {
      if (++equal >= kCompatibleAtLeast) return true;
    } else if (++different > kComparedCount - kCompatibleAtLeast) {
      return false;
    }
  }
  return false;  // unreachable: one of the two counts settles it
}

void SeekMate(World& world, int seeker) {
  {
    const double clock = ReadClock(world);
    const double draw = Rnd(world);
    ReseedWith(world, clock * draw);
  }
  const Animal& i = AnimalAt(world, seeker);
  if (i.Stage < kStageAdult) return;
  const GeneSet& own = Expressed(i);
  if (own.Genitalia.StartsBreeding > i.AgeYears) return;
  if (own.Genitalia.StopsBreeding <= i.AgeYears) return;
  if (i.HasBred == 1) return;

  // Twice the smell distance in 32 bits, so a gene above 16383 still works.
  double best = 2 * static_cast<int32_t>(own.Head.Smell.Distance);
  int dx = RandomSign(world);
  int dy = RandomSign(world);
  int partner = 0;
  const PackedGenome& genome = PackedGenomeOf(world, seeker);
  // Only the slots that may mate this tick, of the other sexes, in slot
  // order: the rule's walk over every slot, without the slots it would pass
  // over at its first tests.
  const MateCandidates& candidates = CandidatesOfThisTick(world);
  const int ownSet = SexSet(i.Sex);
  for (int word = 0; word < kCandidateWords; ++word) {
    uint64_t bits = 0;
    for (int set = 0; set < 3; ++set) {
      if (set != ownSet || ownSet == 2)
        bits |= candidates.bySex[static_cast<size_t>(set)][static_cast<size_t>(word)];
    }
    for (; bits != 0; bits &= bits - 1) {
      const int j = word * 64 + std::countr_zero(bits);
      if (j == seeker) continue;
      const Animal& other = AnimalAt(world, j);
      // Tested again: a slot may have mated, died or been reborn an egg
      // since the tick's first search.
      if (!IsReadyCandidate(i, other)) continue;
      // The comparison is pure, so a candidate that could not be nearer is
      // passed over before it.
      const double d = Distance(i.X, i.Y, other.X, other.Y);
      if (!(d < best)) continue;
      if (!AreCompatible(genome, PackedGenomeOf(world, j))) continue;
      best = d;
      partner = j;
      dx = other.X - i.X;
      dy = other.Y - i.Y;
    }
  }

  if (partner != 0 && best < kMatingReach) {
    AnimalAt(world, seeker).HasBred = 1;
    AnimalAt(world, partner).HasBred = 1;
    if (AnimalAt(world, seeker).Sex != 0) {
      Mate(world, partner, seeker);
    } else {
      Mate(world, seeker, partner);
    }
    return;
  }
  Animal& self = AnimalAt(world, seeker);
  if (best < Adult(self).Head.Smell.Distance) {
    self.HeadingX = static_cast<int16_t>(Sign(dx));
    self.HeadingY = static_cast<int16_t>(Sign(dy));
  }
}

}  // namespace ombrivale

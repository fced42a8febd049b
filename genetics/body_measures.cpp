#include "genetics/body_measures.h"

#include <cstring>
#include <vector>

#include "genetics/gene_table.h"

namespace ombrivale {
namespace {

constexpr double kPi = 3.14159265358979;

// Cross-section of a part with dimensions a and b: the area of a circle
// whose diameter is their single-precision mean.
double CrossSection(double a, double b) {
  const double radius = static_cast<double>(MeanOf(a, b)) / 2.0;
  return kPi * radius * radius;
}

bool IsEgg(const Animal& animal) {
  return animal.Stage == kStageEgg;
}

float BulkOf(const Limb& limb) {
  return LimbBulk(limb.UpperLength, limb.UpperWidth, limb.LowerLength, limb.LowerWidth);
}

// One compared gene as a two-byte load: a byte gene keeps only its own
// (low, little-endian) byte. Reading two bytes at a byte gene's offset stays
// inside the record: its fields are 2-byte aligned, so a byte field is
// always followed by another field or by padding.
struct PackedGene {
  uint16_t offset;
  uint16_t mask;
  uint16_t primordial;
};
static_assert(alignof(GeneSet) == 2 && sizeof(GeneSet) % 2 == 0);
static_assert(alignof(UnbornGenes) == 2 && sizeof(UnbornGenes) % 2 == 0);

struct PrimordialPattern {
  std::vector<PackedGene> unborn;
  std::vector<PackedGene> geneSet;
};

PackedGene Pack(uint16_t offset, GeneType type, int16_t primordial) {
  const bool byte = type == GeneType::U8;
  return PackedGene{offset, static_cast<uint16_t>(byte ? 0x00FF : 0xFFFF),
                    static_cast<uint16_t>(byte ? primordial & 0xFF : primordial)};
}

const PrimordialPattern& Pattern() {
  static const PrimordialPattern pattern = [] {
    PrimordialPattern p;
    for (const UnbornField& f : UnbornFields())
      p.unborn.push_back(Pack(f.offset, f.type, f.primordial));
    for (const ComparedGene& g : ComparedLayout()) {
      p.geneSet.push_back(Pack(g.offset, g.type, g.primordial));
    }
    return p;
  }();
  return pattern;
}

int CountMatches(const void* record, const std::vector<PackedGene>& genes) {
  const char* base = static_cast<const char*>(record);
  int count = 0;
  for (const PackedGene& gene : genes) {
    uint16_t value;
    std::memcpy(&value, base + gene.offset, 2);
    count += ((value ^ gene.primordial) & gene.mask) == 0;
  }
  return count;
}

}  // namespace

// The five egg genes once, then the 55 compared genes of each gene set. The
// population-wide searches run this for every animal, so it is branch-free
// over a packed pattern.
int PrimordialCount(const Animal& animal) {
  const PrimordialPattern& pattern = Pattern();
  return CountMatches(&animal.Unborn, pattern.unborn) +
         CountMatches(&animal.Genes[0], pattern.geneSet) +
         CountMatches(&animal.Genes[1], pattern.geneSet);
}

float MeanOf(double a, double b) {
  return static_cast<float>((a + b) / 2);
}

float LimbBulk(double upperLength, double upperWidth, double lowerLength, double lowerWidth) {
  return MeanOf(CrossSection(upperLength, upperWidth), CrossSection(lowerLength, lowerWidth));
}

double BodyVolume(const World& world, int slot) {
  const Animal& animal = AnimalAt(world, slot);
  if (IsEgg(animal)) return 0;
  const GeneSet& g = Expressed(animal);
  double volume = CrossSection(g.Body.Height, g.Body.Width);
  volume += CrossSection(g.Limb[0].UpperLength, g.Limb[0].UpperWidth);
  volume += CrossSection(g.Limb[1].UpperLength, g.Limb[1].UpperWidth);
  volume += CrossSection(g.Limb[0].LowerLength, g.Limb[0].LowerWidth);
  volume += CrossSection(g.Limb[1].LowerLength, g.Limb[1].LowerWidth);
  volume += CrossSection(g.Head.Height, g.Head.Width);
  volume += CrossSection(g.Tail.Width, g.Tail.Length);
  return volume;
}

int IsWinged(const World& world, int slot) {
  const Animal& animal = AnimalAt(world, slot);
  if (IsEgg(animal)) return 0;
  return BulkOf(Expressed(animal).Limb[0]) > BodyVolume(world, slot) ? 1 : 0;
}

int IsBipedal(const World& world, int slot) {
  const Animal& animal = AnimalAt(world, slot);
  if (IsEgg(animal)) return 0;
  return BulkOf(Expressed(animal).Limb[1]) > BodyVolume(world, slot) / 3 ? 1 : 0;
}

int IsBipedaloid(const World& world, int slot) {
  const Animal& animal = AnimalAt(world, slot);
  if (IsEgg(animal)) return 0;
  return BulkOf(Expressed(animal).Limb[1]) > BodyVolume(world, slot) / 6 ? 1 : 0;
}

float ScoreOfCount(int count) {
  // The divisor is 144 although only 115 genes are tested, so the best
  // possible score is about 79.86.
  return static_cast<float>(count / 144.0 * 100.0);
}

float PrimordialScore(const World& world, int slot) {
  return ScoreOfCount(PrimordialCount(AnimalAt(world, slot)));
}

// The score grows strictly with the count (at most 115 of 144), so the
// searches compare counts: the same order, without the division.
int FindMostEvolved(const World& world) {
  int best = 144;  // a count of 144 is the starting 100 per cent
  int found = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    const int count = PrimordialCount(animal);
    if (count < best) {
      best = count;
      found = slot;
    }
  }
  return found;
}

int FindLeastEvolved(const World& world) {
  int best = 0;  // an animal scoring 0 is never chosen
  int found = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    const int count = PrimordialCount(animal);
    if (count > best) {
      best = count;
      found = slot;
    }
  }
  return found;
}

namespace {

void KeepPrimordialCounts(World& world) {
  if (world.primordialCountsKept) return;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    world.primordialCounts[static_cast<size_t>(slot)] =
        static_cast<int16_t>(PrimordialCount(AnimalAt(world, slot)));
  }
  world.primordialCountsKept = true;
}

}  // namespace

int KeptPrimordialCount(World& world, int slot) {
  KeepPrimordialCounts(world);
  return world.primordialCounts[static_cast<size_t>(slot)];
}

int FindLeastEvolvedKept(World& world) {
  KeepPrimordialCounts(world);
  const std::vector<int16_t>& counts = world.primordialCounts;
  int best = 0;  // an animal scoring 0 is never chosen
  int found = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const int count = counts[static_cast<size_t>(slot)];
    if (count > best && IsOccupied(AnimalAt(world, slot))) {
      best = count;
      found = slot;
    }
  }
  return found;
}

void NoteGenesChanged(World& world, int slot) {
  MarkGenomeStale(world.species, slot);
  if (!world.primordialCountsKept) return;
  world.primordialCounts[static_cast<size_t>(slot)] =
      static_cast<int16_t>(PrimordialCount(AnimalAt(world, slot)));
}

void ForgetPrimordialCounts(World& world) {
  MarkAllGenomesStale(world.species);
  world.primordialCountsKept = false;
  ForgetPositions(world);
  world.mateCandidates.kept = false;
}

bool PrimordialCountsMatch(const World& world) {
  if (!world.primordialCountsKept) return true;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (IsOccupied(animal) &&
        world.primordialCounts[static_cast<size_t>(slot)] != PrimordialCount(animal)) {
      return false;
    }
  }
  return true;
}

}  // namespace ombrivale

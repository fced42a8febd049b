#include "genetics/inheritance.h"

#include <cmath>

#include "core/helpers.h"
#include "core/numeric.h"
#include "genetics/body_measures.h"
#include "genetics/gene_table.h"

namespace ombrivale {
namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kNoBound = -1;
constexpr int kMutationSlots = 113;  // 0..4 egg genes, 54 * l + k for gene set l
constexpr int kSetSlotStride = 54;

// The breathing area, from a fresh seed like the other operations of the
// generator's reseed list (MeanOf itself draws nothing).
double BreathingArea(World& world, const GeneSet& set) {
  Reseed(world);
  return BreathingAreaOf(set);
}

}  // namespace

double BreathingAreaOf(const GeneSet& set) {
  const double r = static_cast<double>(MeanOf(set.Body.Height, set.Body.Width)) / 2;
  return kPi * r * r;
}

double BoundValue(const Bound& bound, const GeneSet& set, double breathingArea) {
  switch (bound.kind) {
    case BoundKind::None:
      return kNoBound;
    case BoundKind::Constant:
      return bound.constant;
    case BoundKind::Gene:
      return GeneValue(set, GeneSetFields()[static_cast<size_t>(bound.field)]);
    case BoundKind::HalfBodyWidth:
      return set.Body.Width / 2.0;
    case BoundKind::BreathingArea:
      return breathingArea;
  }
  return kNoBound;
}

namespace {

// The rule some genes apply right after their nudge, in the same pass.
void ApplyExtraRule(World& world, int child, GeneSet& set, const GeneField& field, int before) {
  const Animal& young = AnimalAt(world, child);
  switch (field.rule) {
    case ExtraRule::None:
      return;
    case ExtraRule::Covering:
      // Feathers only on a winged, bipedal lung breather. The shape tests look
      // at the set named by the slot's Stage, which Mate has not set yet (an
      // egg slot fails both).
      if (set.Body.Covering == kFeathers &&
          !(IsWinged(world, child) == 1 && IsBipedal(world, child) == 1 &&
            set.Body.BreathingMethod == kLungs)) {
        set.Body.Covering = kScales;
      }
      return;
    case ExtraRule::BirthKind:
      if (before == 0 && set.Genitalia.BirthKind == 1 && set.Body.BreathingMethod == kLungs &&
          young.Unborn.TimeInEgg >= 3) {
        set.Genitalia.BirthKind = 0;
      }
      return;
    case ExtraRule::Diet:
      // Meat needs a big enough head.
      if ((set.Head.Diet == kOmnivorous || set.Head.Diet == kCarnivorous) &&
          !(set.Head.Width > 5 && set.Head.Height > 2)) {
        set.Head.Diet = kHerbivorous;
      }
      return;
  }
}

// One mutation pass for slot r drawn in 5..112: finds the gene of gene set 0
// or 1 the slot selects, nudges it within its bounds and applies its rule.
void MutateSetGene(World& world, int child, int r) {
  for (int l = 0; l < 2; ++l) {
    GeneSet& set = AnimalAt(world, child).Genes[l];
    const double breathingArea = BreathingArea(world, set);
    const int field = FieldForSlot(r - kSetSlotStride * l);
    if (field < 0) continue;
    const GeneField& gene = GeneSetFields()[static_cast<size_t>(field)];
    const int before = GeneValue(set, gene);
    const double low = BoundValue(gene.low, set, breathingArea);
    const double high = BoundValue(gene.high, set, breathingArea);
    // The nudge reseeds the generator; `set` stays valid (the table does not move).
    SetGeneValue(set, gene, NudgeGene(world, before, low, high));
    ApplyExtraRule(world, child, set, gene, before);
    return;
  }
}

// One mutation pass for slot r drawn in 0..4: the egg gene of that slot.
void MutateEggGene(World& world, int child, int r) {
  for (const UnbornField& gene : UnbornFields()) {
    if (gene.slot != r) continue;
    UnbornGenes& unborn = AnimalAt(world, child).Unborn;
    SetUnbornValue(unborn, gene, NudgeGene(world, UnbornValue(unborn, gene), gene.low, gene.high));
    return;
  }
}

}  // namespace

float BlendGene(World& world, double a, double b, int bias) {
  Reseed(world);
  const float m = static_cast<float>((a + b) / 2);
  if (m == std::floor(m)) return m;
  if (bias > 0) return std::ceil(m);
  if (bias < 0) return std::floor(m);
  const int r = static_cast<int>(Rnd(world) * 4);
  if (r == 0) return std::ceil(m);
  if (r == 1) return std::floor(m);
  return m;  // still a half: storing it rounds to the even neighbour
}

double NudgeGene(World& world, double value, double low, double high) {
  Reseed(world);
  const double x = Rnd(world);
  double v = value + Sign(5 * x - 2);
  if (low != kNoBound && v < low) v = low;
  if (high != kNoBound && v > high) v = high;
  return v;
}

void Inherit(World& world, int first, int second, int child) {
  // Each gene is read from both parents before the child's copy is written,
  // so a child that took over a parent's slot still blends that parent.
  for (const UnbornField& gene : UnbornFields()) {
    const int a = UnbornValue(AnimalAt(world, first).Unborn, gene);
    const int b = UnbornValue(AnimalAt(world, second).Unborn, gene);
    SetUnbornValue(AnimalAt(world, child).Unborn, gene, BlendGene(world, a, b, 0));
  }
  for (int l = 0; l < 2; ++l) {
    for (const GeneField& gene : GeneSetFields()) {
      if (gene.blend == Blend::Kept) continue;
      const int a = GeneValue(AnimalAt(world, first).Genes[l], gene);
      const int b = GeneValue(AnimalAt(world, second).Genes[l], gene);
      const int bias = gene.blend == Blend::Up ? 1 : 0;
      SetGeneValue(AnimalAt(world, child).Genes[l], gene, BlendGene(world, a, b, bias));
    }
  }
}

// An unbounded 16-bit gene nudged up from 32767 (or down from -32768) stays
// at the limit: storing saturates into the gene's type.
void Mutate(World& world, int child) {
  Reseed(world);
  for (int pass = 0; pass < world.conditions.mutationPasses; ++pass) {
    const int r = static_cast<int>(Rnd(world) * kMutationSlots);
    if (r < static_cast<int>(UnbornFields().size())) {
      MutateEggGene(world, child, r);
    } else {
      MutateSetGene(world, child, r);
    }
  }
}

}  // namespace ombrivale

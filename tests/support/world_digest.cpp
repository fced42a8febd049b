#include "support/world_digest.h"

#include <string>

#include "genetics/gene_table.h"

namespace ombrivale::testing {
namespace {

struct Fnv {
  uint64_t hash = 0xCBF29CE484222325ull;
  void Add(uint64_t value) {
    for (int i = 0; i < 8; ++i) {
      hash ^= (value >> (8 * i)) & 0xFF;
      hash *= 0x100000001B3ull;
    }
  }
  void Add(const std::string& text) {
    Add(text.size());
    hash = Fnv1a(text, hash);
  }
};

}  // namespace

uint64_t Fnv1a(std::string_view bytes, uint64_t hash) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3ull;
  }
  return hash;
}

uint64_t WorldDigest(const World& world) {
  Fnv f;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& a = AnimalAt(world, slot);
    for (const UnbornField& field : UnbornFields()) {
      f.Add(static_cast<uint64_t>(UnbornValue(a.Unborn, field)));
    }
    for (const GeneSet& set : a.Genes) {
      for (const GeneField& field : GeneSetFields()) {
        f.Add(static_cast<uint64_t>(GeneValue(set, field)));
      }
    }
    const int64_t state[] = {a.Hunger, a.AgeYears, a.AgeMonths, a.Sex,    a.Alive,
                             a.Stage,  a.X,        a.Y,         a.Mode,   a.EggTimer,
                             a.Breath, a.HeadingX, a.HeadingY,  a.HasBred};
    for (const int64_t v : state)
      f.Add(static_cast<uint64_t>(v));
  }
  for (const auto& layer : world.Map.layers) {
    for (const int32_t v : layer)
      f.Add(static_cast<uint64_t>(static_cast<int64_t>(v)));
  }
  // A world without a display digests as one with a display never drawn.
  static const Display kNoDisplay;
  const Display& display = world.display != nullptr ? *world.display : kNoDisplay;
  for (const uint32_t p : display.MiniMap.pixels)
    f.Add(p);
  const int64_t globals[] = {world.SeaLevel,   world.Year,        world.Month,
                             world.SpeedCount, world.AnimalCount, display.SelectedAnimal};
  for (const int64_t v : globals)
    f.Add(static_cast<uint64_t>(v));
  f.Add(display.Label1);
  f.Add(display.Label2);
  f.Add(display.Label3);
  for (const std::string& line : display.DeathLog)
    f.Add(line);
  f.Add(world.Rng.state);
  f.Add(world.TickCount);
  for (const uint64_t n : world.DeathsByCause)
    f.Add(n);
  return f.hash;
}

}  // namespace ombrivale::testing

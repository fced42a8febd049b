// A fingerprint of a whole world, for reproducibility tests.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/world.h"

namespace ombrivale::testing {

// FNV-1a over every animal field (all genes through the gene table), the
// map layers, the mini map, the calendar, the counters, the captions, the
// death log and the generator's state. Two worlds that ran the same way
// have the same digest.
uint64_t WorldDigest(const World& world);

// FNV-1a of `bytes`, continuing from `hash`.
uint64_t Fnv1a(std::string_view bytes, uint64_t hash = 0xCBF29CE484222325ull);

}  // namespace ombrivale::testing

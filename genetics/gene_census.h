// The genes the history follows and their census over the population: the
// inherited genes of the adult and of the infant set (the 55 of each that
// the animal files keep, in the properties window's order) and the five egg
// genes. The genes the gene table marks as kept are left out: a newborn
// keeps its slot's old value for them, so they never evolve.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/world.h"
#include "genetics/gene_table.h"

namespace ombrivale {

enum class GeneGroup : uint8_t { Adult, Infant, Egg };

struct SeriesGene {
  GeneGroup group;
  // The name without its group, as the statistics window lists it:
  // "Body.Height", "Limb(1).UpperLength", "EggSize".
  std::string name;
  // The column stem of the genes file: "adult.Body.Height",
  // "infant.Limb(1).UpperLength", "Unborn.EggSize".
  std::string column;
  uint16_t offset;  // byte offset of the gene in Animal
  GeneType type;
};

// Every gene the history follows: the adult set's, the infant set's, then
// the egg genes.
std::span<const SeriesGene> SeriesGenes();

inline constexpr size_t kMaxSeriesGenes = 128;

// The mean, lowest and highest value of every series gene over the occupied
// slots (eggs included), in one pass over the table; returns how many slots
// are occupied. With none, every mean is NaN. REQUIRES: out.size() ==
// SeriesGenes().size().
uint32_t TakeGeneCensus(const World& world, std::span<GeneStat> out);

}  // namespace ombrivale

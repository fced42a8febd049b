// The gene table: every gene of a gene set and of the egg, described once.
//
// Inheritance, mutation, the compatibility test, the evolvedness score, the
// world files and the properties window all read this table instead of
// keeping lists of their own. A gene set's fields appear in the order the
// record declares them, limb fields once for limb 0 and once for limb 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "core/animal.h"

namespace ombrivale {

enum class GeneType : uint8_t { I16, U8, Flag };  // Flag: 16-bit, -1 true, 0 false

// How Inherit rounds the parents' mean: Up (ties go up), Random (ties go up,
// down or stay a half), Kept (not inherited: the newborn keeps its slot's value).
enum class Blend : uint8_t { Up, Random, Kept };

enum class BoundKind : uint8_t {
  None,
  Constant,       // `constant`
  Gene,           // the value of field `field` of the same gene set (same limb)
  HalfBodyWidth,  // Body.Width / 2, exactly
  BreathingArea,  // pi x (MeanOf(Body.Height, Body.Width) / 2)^2
};

struct Bound {
  BoundKind kind = BoundKind::None;
  int constant = 0;
  int field = -1;  // index into GeneSetFields() for BoundKind::Gene
};

enum class ExtraRule : uint8_t { None, Covering, BirthKind, Diet };

struct GeneField {
  const char* suffix;  // display name after "infant"/"adult ", e.g. ".Body.Height"
  GeneType type;
  int8_t limb;      // -1, or the limb (0 or 1) of a limb gene
  uint16_t offset;  // byte offset of the field in GeneSet
  Blend blend;
  int8_t slot;  // in-set mutation slot k (already +7 for limb 1); -1: never mutated
  Bound low;
  Bound high;
  ExtraRule rule;
  bool compared;       // one of the 55 genes compared, scored and saved per set
  int16_t primordial;  // the primordial value, for compared genes
};

struct UnbornField {
  const char* name;  // "Unborn.EggSize"
  GeneType type;
  uint16_t offset;  // byte offset in UnbornGenes
  int8_t slot;      // absolute mutation slot 0..4
  int low;          // -1: none
  int high;         // -1: none
  int16_t primordial;
};

// Every field of a gene set, in declared order.
std::span<const GeneField> GeneSetFields();

// The 55 compared genes (indices into GeneSetFields()) in the order of the
// animal file's lines 19..73.
std::span<const int> ComparedFields();

// The compared genes packed for the loops that run over whole populations
// (the evolvedness score, the compatibility test): same order as
// ComparedFields().
struct ComparedGene {
  uint16_t offset;
  GeneType type;
  int16_t primordial;
};
std::span<const ComparedGene> ComparedLayout();

// The properties window's 59 rows per gene set (indices into GeneSetFields()).
std::span<const int> PropertiesRows();

// The five egg genes in the order of inheritance and of the animal file:
// EggSize, EggColor.Red, .Green, .Blue, TimeInEgg.
std::span<const UnbornField> UnbornFields();

// The properties window's five egg rows (indices into UnbornFields()):
// EggSize, TimeInEgg, Red, Green, Blue.
std::span<const int> UnbornPropertiesRows();

// The field a mutation pass changes for in-set slot k (5..58), or -1 for a
// slot that selects nothing (22, 29, 42, 51, 52).
int FieldForSlot(int k);

// Index into GeneSetFields() of a named field, e.g. FieldIndex(".Body.Width", -1);
// -1 when there is none.
int FieldIndex(const char* suffix, int limb = -1);

// The value stored at `offset` of a record (a GeneSet or UnbornGenes).
inline int ReadGene(const void* record, uint16_t offset, GeneType type) {
  const char* at = static_cast<const char*>(record) + offset;
  if (type == GeneType::U8) {
    uint8_t v;
    std::memcpy(&v, at, 1);
    return v;
  }
  int16_t v;
  std::memcpy(&v, at, 2);
  return v;
}

inline int GeneValue(const GeneSet& set, const GeneField& field) {
  return ReadGene(&set, field.offset, field.type);
}
// Stores `value` rounded half to even and held within the field's type.
void SetGeneValue(GeneSet& set, const GeneField& field, double value);

inline int UnbornValue(const UnbornGenes& unborn, const UnbornField& field) {
  return ReadGene(&unborn, field.offset, field.type);
}
void SetUnbornValue(UnbornGenes& unborn, const UnbornField& field, double value);

}  // namespace ombrivale

#include "genetics/gene_table.h"

#include <cstddef>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "core/numeric.h"

namespace ombrivale {
namespace {

// A bound while the table is being written: a constant, a computed bound, or
// another gene of the same set named by its suffix.
struct BoundSpec {
  BoundKind kind = BoundKind::None;
  int constant = 0;
  const char* gene = nullptr;
};
constexpr BoundSpec None() {
  return {};
}
constexpr BoundSpec Const(int value) {
  return {BoundKind::Constant, value, nullptr};
}
constexpr BoundSpec Gene(const char* suffix) {
  return {BoundKind::Gene, 0, suffix};
}
constexpr BoundSpec HalfBodyWidth() {
  return {BoundKind::HalfBodyWidth, 0, nullptr};
}
constexpr BoundSpec BreathingArea() {
  return {BoundKind::BreathingArea, 0, nullptr};
}

constexpr int16_t kNoPrimordial = 0;

struct Tables {
  std::vector<GeneField> fields;
  std::vector<int> compared;
  std::vector<ComparedGene> comparedLayout;
  std::vector<int> properties;
  std::vector<UnbornField> unborn;
  std::vector<int> unbornProperties;
  int slotToField[59];
};

// One gene of a set as the table writes it. A limb gene's offset is within
// its Limb, its slot limb 0's (limb 1's is 7 higher).
struct GeneRow {
  const char* suffix;
  GeneType type;
  uint16_t offset;
  Blend blend;
  int slot;  // -1: never mutated
  BoundSpec low;
  BoundSpec high;
  ExtraRule rule;
  bool compared;
  int16_t primordial;
};

using T = GeneType;
using B = Blend;
using R = ExtraRule;

// A gene mutated and compared.
constexpr GeneRow Mutable(const char* suffix, GeneType type, uint16_t offset, Blend blend, int slot,
                          BoundSpec low, BoundSpec high, int16_t primordial,
                          ExtraRule rule = R::None) {
  return {suffix, type, offset, blend, slot, low, high, rule, true, primordial};
}
// A gene passed on unchanged and never compared.
constexpr GeneRow Kept(const char* suffix, uint16_t offset) {
  return {suffix, T::I16, offset, B::Kept, -1, None(), None(), R::None, false, kNoPrimordial};
}
// A sensor's presence: compared, never mutated.
constexpr GeneRow Flag(const char* suffix, uint16_t offset, int16_t primordial) {
  return {suffix, T::Flag, offset, B::Random, -1, None(), None(), R::None, true, primordial};
}

#define OFF(member) static_cast<uint16_t>(offsetof(GeneSet, member))
#define LIMB(member) static_cast<uint16_t>(offsetof(Limb, member))
#define TOUCH(member) static_cast<uint16_t>(offsetof(Limb, Touch) + offsetof(Sensor, member))

// The set's genes in field order: the head's, each limb's, then the rest.
constexpr GeneRow kHeadGenes[] = {
    Mutable(".Head.NeckWidth", T::I16, OFF(Head.NeckWidth), B::Up, 48, Const(1),
            Gene(".Head.Width"), 0),
    Mutable(".Head.NeckHeight", T::I16, OFF(Head.NeckHeight), B::Up, 47, Const(0), None(), 0),
    Mutable(".Head.MouthNose", T::U8, OFF(Head.MouthNose), B::Random, 46, Const(0), Const(1), 0),
    Mutable(".Head.MouthLength", T::I16, OFF(Head.MouthLength), B::Up, 45, Const(0),
            Gene(".Head.Width"), 1),
    Mutable(".Head.NoseLength", T::I16, OFF(Head.NoseLength), B::Random, 49, Const(0), None(), 0),
    Mutable(".Head.LipType", T::U8, OFF(Head.LipType), B::Random, 44, Const(0), Const(1), 0),
    Mutable(".Head.Diet", T::U8, OFF(Head.Diet), B::Random, 43, Const(0), Const(3), 0, R::Diet),
    Kept(".Head.Vision.MinFrequency", OFF(Head.Vision.MinFrequency)),
    Kept(".Head.Vision.MaxFrequency", OFF(Head.Vision.MaxFrequency)),
    Mutable(".Head.Vision.Distance", T::I16, OFF(Head.Vision.Distance), B::Random, 53, Const(0),
            Const(10000), 2000),
    Kept(".Head.Vision.Resolution", OFF(Head.Vision.Resolution)),
    Flag(".Head.Vision.SensorExists", OFF(Head.Vision.SensorExists), kTrue),
    Mutable(".Head.Audio.MinFrequency", T::I16, OFF(Head.Audio.MinFrequency), B::Random, 40,
            Const(0), None(), 0),
    Mutable(".Head.Audio.MaxFrequency", T::I16, OFF(Head.Audio.MaxFrequency), B::Random, 39,
            Const(0), None(), 0),
    Mutable(".Head.Audio.Distance", T::I16, OFF(Head.Audio.Distance), B::Random, 38, Const(0),
            None(), 0),
    Mutable(".Head.Audio.Resolution", T::I16, OFF(Head.Audio.Resolution), B::Random, 41, Const(0),
            None(), 0),
    Flag(".Head.Audio.SensorExists", OFF(Head.Audio.SensorExists), kFalse),
    Kept(".Head.Smell.MinFrequency", OFF(Head.Smell.MinFrequency)),
    Kept(".Head.Smell.MaxFrequency", OFF(Head.Smell.MaxFrequency)),
    Mutable(".Head.Smell.Distance", T::I16, OFF(Head.Smell.Distance), B::Random, 50, Const(0),
            None(), 500),
    Kept(".Head.Smell.Resolution", OFF(Head.Smell.Resolution)),
    Flag(".Head.Smell.SensorExists", OFF(Head.Smell.SensorExists), kTrue),
    Kept(".Head.Taste.MinFrequency", OFF(Head.Taste.MinFrequency)),
    Kept(".Head.Taste.MaxFrequency", OFF(Head.Taste.MaxFrequency)),
    Kept(".Head.Taste.Distance", OFF(Head.Taste.Distance)),
    Kept(".Head.Taste.Resolution", OFF(Head.Taste.Resolution)),
    Flag(".Head.Taste.SensorExists", OFF(Head.Taste.SensorExists), kTrue),
    Mutable(".Head.Height", T::I16, OFF(Head.Height), B::Up, 54, Const(1), None(), 1),
    Mutable(".Head.Width", T::I16, OFF(Head.Width), B::Up, 55, Const(1), None(), 1),
};

constexpr GeneRow kLimbGenes[] = {
    Mutable(".Limb(l).UpperLength", T::I16, LIMB(UpperLength), B::Up, 23, Const(0), None(), 0),
    Mutable(".Limb(l).UpperWidth", T::I16, LIMB(UpperWidth), B::Up, 24, Gene(".Limb(l).LowerWidth"),
            HalfBodyWidth(), 0),
    Mutable(".Limb(l).LowerLength", T::I16, LIMB(LowerLength), B::Up, 20, Const(0), None(), 0),
    Mutable(".Limb(l).LowerWidth", T::I16, LIMB(LowerWidth), B::Up, 21, Const(1),
            Gene(".Limb(l).UpperWidth"), 0),
    Mutable(".Limb(l).DigitNumber", T::I16, LIMB(DigitNumber), B::Random, 19, Const(0), Const(10),
            0),
    Mutable(".Limb(l).DigitLength", T::I16, LIMB(DigitLength), B::Random, 18, Const(0), None(), 0),
    Kept(".Limb(l).Touch.MinFrequency", TOUCH(MinFrequency)),
    Kept(".Limb(l).Touch.MaxFrequency", TOUCH(MaxFrequency)),
    Kept(".Limb(l).Touch.Distance", TOUCH(Distance)),
    Kept(".Limb(l).Touch.Resolution", TOUCH(Resolution)),
    Flag(".Limb(l).Touch.SensorExists", TOUCH(SensorExists), kTrue),
};

constexpr GeneRow kBodyGenes[] = {
    // Genitalia.
    Mutable(".Genitalia.YoungPerLitter", T::I16, OFF(Genitalia.YoungPerLitter), B::Random, 37,
            Const(0), None(), 15),
    Mutable(".Genitalia.LifeSpan", T::I16, OFF(Genitalia.LifeSpan), B::Up, 34, Const(0), None(),
            10),
    Mutable(".Genitalia.AdultAge", T::I16, OFF(Genitalia.AdultAge), B::Random, 32, Const(1),
            Gene(".Genitalia.LifeSpan"), 5),
    Mutable(".Genitalia.StartsBreeding", T::I16, OFF(Genitalia.StartsBreeding), B::Random, 36,
            Gene(".Genitalia.AdultAge"), Gene(".Genitalia.StopsBreeding"), 5),
    Mutable(".Genitalia.StopsBreeding", T::I16, OFF(Genitalia.StopsBreeding), B::Random, 35,
            Gene(".Genitalia.StartsBreeding"), Gene(".Genitalia.LifeSpan"), 10),
    Mutable(".Genitalia.BirthKind", T::U8, OFF(Genitalia.BirthKind), B::Random, 33, Const(0),
            Const(2), 0, R::BirthKind),
    // Body.
    Mutable(".Body.BreathingMethod", T::U8, OFF(Body.BreathingMethod), B::Up, 6, Const(0), Const(3),
            1),
    Mutable(".Body.BreathCapasity", T::I16, OFF(Body.BreathCapasity), B::Up, 5, Const(0),
            BreathingArea(), 1000),
    Mutable(".Body.ColourX.red", T::U8, OFF(Body.ColourX.red), B::Random, 9, Const(0), Const(255),
            128),
    Mutable(".Body.ColourX.green", T::U8, OFF(Body.ColourX.green), B::Random, 10, Const(0),
            Const(255), 64),
    Mutable(".Body.ColourX.blue", T::U8, OFF(Body.ColourX.blue), B::Random, 11, Const(0),
            Const(255), 0),
    Mutable(".Body.ColourY.red", T::U8, OFF(Body.ColourY.red), B::Random, 12, Const(0), Const(255),
            128),
    Mutable(".Body.ColourY.green", T::U8, OFF(Body.ColourY.green), B::Random, 13, Const(0),
            Const(255), 64),
    Mutable(".Body.ColourY.blue", T::U8, OFF(Body.ColourY.blue), B::Random, 14, Const(0),
            Const(255), 0),
    Mutable(".Body.ColourContrast", T::U8, OFF(Body.ColourContrast), B::Random, 7, Const(0),
            Const(3), 0),
    Mutable(".Body.ColourContrastSize", T::I16, OFF(Body.ColourContrastSize), B::Random, 8,
            Const(1), Gene(".Body.Height"), 0),
    Mutable(".Body.Height", T::I16, OFF(Body.Height), B::Up, 15, Const(1), None(), 5),
    Mutable(".Body.Width", T::I16, OFF(Body.Width), B::Up, 16, Const(1), None(), 1),
    Mutable(".Body.Covering", T::U8, OFF(Body.Covering), B::Random, 17, Const(0), Const(3), 1,
            R::Covering),
    // Tail.
    Mutable(".Tail.Length", T::I16, OFF(Tail.Length), B::Random, 57, Const(0), None(), 6),
    Mutable(".Tail.Width", T::I16, OFF(Tail.Width), B::Random, 58, Const(1), None(), 1),
    Mutable(".Tail.Flexibility", T::U8, OFF(Tail.Flexibility), B::Up, 56, Const(0), Const(100),
            100),
};

#undef TOUCH
#undef LIMB

// The order of the compared genes (in each set's file lines and scores) and
// of the properties window's rows. "L0" and "L1" stand for limb 0's and
// limb 1's genes in kLimbOrder.
constexpr const char* kComparedOrder[] = {".Body.BreathCapasity",
                                          ".Body.BreathingMethod",
                                          ".Body.ColourContrast",
                                          ".Body.ColourContrastSize",
                                          ".Body.ColourX.red",
                                          ".Body.ColourX.green",
                                          ".Body.ColourX.blue",
                                          ".Body.ColourY.red",
                                          ".Body.ColourY.green",
                                          ".Body.ColourY.blue",
                                          ".Body.Height",
                                          ".Body.Width",
                                          ".Body.Covering",
                                          "L0",
                                          "L1",
                                          ".Genitalia.AdultAge",
                                          ".Genitalia.BirthKind",
                                          ".Genitalia.LifeSpan",
                                          ".Genitalia.StartsBreeding",
                                          ".Genitalia.StopsBreeding",
                                          ".Genitalia.YoungPerLitter",
                                          ".Head.Audio.Distance",
                                          ".Head.Audio.MaxFrequency",
                                          ".Head.Audio.MinFrequency",
                                          ".Head.Audio.Resolution",
                                          ".Head.Audio.SensorExists",
                                          ".Head.Diet",
                                          ".Head.LipType",
                                          ".Head.MouthLength",
                                          ".Head.MouthNose",
                                          ".Head.NeckHeight",
                                          ".Head.NeckWidth",
                                          ".Head.NoseLength",
                                          ".Head.Smell.Distance",
                                          ".Head.Smell.SensorExists",
                                          ".Head.Taste.SensorExists",
                                          ".Head.Vision.SensorExists",
                                          ".Head.Vision.Distance",
                                          ".Head.Height",
                                          ".Head.Width",
                                          ".Tail.Flexibility",
                                          ".Tail.Length",
                                          ".Tail.Width"};
constexpr const char* kPropertiesOrder[] = {".Body.BreathCapasity",
                                            ".Body.BreathingMethod",
                                            ".Body.ColourContrast",
                                            ".Body.ColourContrastSize",
                                            ".Body.ColourX.red",
                                            ".Body.ColourX.green",
                                            ".Body.ColourX.blue",
                                            ".Body.ColourY.red",
                                            ".Body.ColourY.green",
                                            ".Body.ColourY.blue",
                                            ".Body.Height",
                                            ".Body.Width",
                                            ".Body.Covering",
                                            ".Genitalia.AdultAge",
                                            ".Genitalia.BirthKind",
                                            ".Genitalia.LifeSpan",
                                            ".Genitalia.StartsBreeding",
                                            ".Genitalia.StopsBreeding",
                                            ".Genitalia.YoungPerLitter",
                                            ".Head.Audio.Distance",
                                            ".Head.Audio.MaxFrequency",
                                            ".Head.Audio.MinFrequency",
                                            ".Head.Audio.Resolution",
                                            ".Head.Audio.SensorExists",
                                            ".Head.Diet",
                                            ".Head.LipType",
                                            ".Head.MouthLength",
                                            ".Head.MouthNose",
                                            ".Head.NeckHeight",
                                            ".Head.NeckWidth",
                                            ".Head.NoseLength",
                                            ".Head.Smell.Distance",
                                            ".Head.Smell.MaxFrequency",
                                            ".Head.Smell.MinFrequency",
                                            ".Head.Smell.Resolution",
                                            ".Head.Smell.SensorExists",
                                            ".Head.Taste.SensorExists",
                                            ".Head.Vision.Distance",
                                            ".Head.Vision.MaxFrequency",
                                            ".Head.Vision.MinFrequency",
                                            ".Head.Vision.Resolution",
                                            ".Head.Vision.SensorExists",
                                            "L0",
                                            "L1",
                                            ".Tail.Flexibility",
                                            ".Tail.Length",
                                            ".Tail.Width"};
constexpr const char* kLimbOrder[] = {".Limb(l).DigitLength",        ".Limb(l).DigitNumber",
                                      ".Limb(l).LowerLength",        ".Limb(l).LowerWidth",
                                      ".Limb(l).Touch.SensorExists", ".Limb(l).UpperLength",
                                      ".Limb(l).UpperWidth"};

int FindField(const std::vector<GeneField>& fields, std::string_view suffix, int limb) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (suffix == fields[i].suffix && fields[i].limb == limb) return static_cast<int>(i);
  }
  return -1;
}

// The set's fields with their bounds resolved to field indices.
std::vector<GeneField> BuildFields() {
  std::vector<GeneField> fields;
  std::vector<const GeneRow*> rows;  // each field's row, for its bounds
  const auto add = [&](const GeneRow& row, int limb) {
    GeneField f{};
    f.suffix = row.suffix;
    f.type = row.type;
    f.limb = static_cast<int8_t>(limb);
    f.offset = row.offset;
    if (limb >= 0) {
      f.offset = static_cast<uint16_t>(offsetof(GeneSet, Limb) +
                                       static_cast<size_t>(limb) * sizeof(Limb) + row.offset);
    }
    f.blend = row.blend;
    f.slot = static_cast<int8_t>(row.slot < 0 ? -1 : row.slot + (limb == 1 ? 7 : 0));
    f.rule = row.rule;
    f.compared = row.compared;
    f.primordial = row.primordial;
    fields.push_back(f);
    rows.push_back(&row);
  };
  for (const GeneRow& row : kHeadGenes)
    add(row, -1);
  for (int limb = 0; limb < 2; ++limb) {
    for (const GeneRow& row : kLimbGenes)
      add(row, limb);
  }
  for (const GeneRow& row : kBodyGenes)
    add(row, -1);

  const auto resolve = [&fields](const BoundSpec& written, int limb) {
    Bound b;
    b.kind = written.kind;
    b.constant = written.constant;
    if (written.kind == BoundKind::Gene) {
      const bool limbGene = std::string_view(written.gene).starts_with(".Limb(l)");
      b.field = FindField(fields, written.gene, limbGene ? limb : -1);
    }
    return b;
  };
  for (size_t i = 0; i < fields.size(); ++i) {
    fields[i].low = resolve(rows[i]->low, fields[i].limb);
    fields[i].high = resolve(rows[i]->high, fields[i].limb);
  }
  return fields;
}

// The field indices of an order list, "L0" and "L1" expanded.
std::vector<int> FieldOrder(const std::vector<GeneField>& fields,
                            std::span<const char* const> order) {
  std::vector<int> out;
  for (const char* name : order) {
    const std::string_view n(name);
    if (n == "L0" || n == "L1") {
      for (const char* limbName : kLimbOrder)
        out.push_back(FindField(fields, limbName, n == "L0" ? 0 : 1));
    } else {
      out.push_back(FindField(fields, n, -1));
    }
  }
  return out;
}

Tables Build() {
  Tables t;
  t.fields = BuildFields();
  for (int& f : t.slotToField)
    f = -1;
  for (size_t i = 0; i < t.fields.size(); ++i) {
    if (t.fields[i].slot >= 0) t.slotToField[t.fields[i].slot] = static_cast<int>(i);
  }
  t.compared = FieldOrder(t.fields, kComparedOrder);
  for (const int index : t.compared) {
    const GeneField& f = t.fields[static_cast<size_t>(index)];
    t.comparedLayout.push_back(ComparedGene{f.offset, f.type, f.primordial});
  }
  t.properties = FieldOrder(t.fields, kPropertiesOrder);

  const auto unborn = [](size_t member) { return static_cast<uint16_t>(member); };
  t.unborn = {
      {"Unborn.EggSize", T::I16, unborn(offsetof(UnbornGenes, EggSize)), 0, 1, -1, 1},
      {"Unborn.EggColor.Red", T::U8, unborn(offsetof(UnbornGenes, EggColor.Red)), 1, 0, 255, 0},
      {"Unborn.EggColor.Green", T::U8, unborn(offsetof(UnbornGenes, EggColor.Green)), 2, 0, 255, 0},
      {"Unborn.EggColor.Blue", T::U8, unborn(offsetof(UnbornGenes, EggColor.Blue)), 3, 0, 255, 0},
      {"Unborn.TimeInEgg", T::I16, unborn(offsetof(UnbornGenes, TimeInEgg)), 4, 0, -1, 5},
  };
  t.unbornProperties = {0, 4, 1, 2, 3};
  return t;
}

#undef OFF

const Tables& GetTables() {
  static const Tables tables = Build();
  return tables;
}

void WriteTyped(void* base, uint16_t offset, GeneType type, double value) {
  char* at = static_cast<char*>(base) + offset;
  if (type == GeneType::U8) {
    const uint8_t v = RoundTo<uint8_t>(value);
    std::memcpy(at, &v, 1);
  } else {
    const int16_t v = RoundTo<int16_t>(value);
    std::memcpy(at, &v, 2);
  }
}

}  // namespace

std::span<const GeneField> GeneSetFields() {
  return GetTables().fields;
}
std::span<const int> ComparedFields() {
  return GetTables().compared;
}
std::span<const ComparedGene> ComparedLayout() {
  return GetTables().comparedLayout;
}
std::span<const int> PropertiesRows() {
  return GetTables().properties;
}
std::span<const UnbornField> UnbornFields() {
  return GetTables().unborn;
}
std::span<const int> UnbornPropertiesRows() {
  return GetTables().unbornProperties;
}

int FieldForSlot(int k) {
  if (k < 0 || k > 58) return -1;
  return GetTables().slotToField[k];
}

int FieldIndex(const char* suffix, int limb) {
  const auto fields = GeneSetFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (std::string_view(suffix) == fields[i].suffix && fields[i].limb == limb) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void SetGeneValue(GeneSet& set, const GeneField& field, double value) {
  WriteTyped(&set, field.offset, field.type, value);
}

void SetUnbornValue(UnbornGenes& unborn, const UnbornField& field, double value) {
  WriteTyped(&unborn, field.offset, field.type, value);
}

}  // namespace ombrivale

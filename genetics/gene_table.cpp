#include "genetics/gene_table.h"

#include <cstring>
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

#define OFF(member) static_cast<uint16_t>(offsetof(GeneSet, member))

Tables Build() {
  Tables t;
  struct Pending {
    BoundSpec low, high;
  };
  std::vector<Pending> pending;

  auto add = [&](const char* suffix, GeneType type, int limb, uint16_t offset, Blend blend,
                 int slot, BoundSpec low, BoundSpec high, ExtraRule rule, bool compared,
                 int16_t primordial) {
    GeneField f{};
    f.suffix = suffix;
    f.type = type;
    f.limb = static_cast<int8_t>(limb);
    f.offset = offset;
    f.blend = blend;
    f.slot = static_cast<int8_t>(slot < 0 ? -1 : slot + (limb == 1 ? 7 : 0));
    f.rule = rule;
    f.compared = compared;
    f.primordial = primordial;
    t.fields.push_back(f);
    pending.push_back({low, high});
  };
  using T = GeneType;
  using B = Blend;
  using R = ExtraRule;
  const R no = R::None;
  auto kept = [&](const char* suffix, int limb, uint16_t offset) {
    add(suffix, T::I16, limb, offset, B::Kept, -1, None(), None(), no, false, kNoPrimordial);
  };
  auto flag = [&](const char* suffix, int limb, uint16_t offset, bool compared, int16_t prim) {
    add(suffix, T::Flag, limb, offset, B::Random, -1, None(), None(), no, compared, prim);
  };

  // Head.
  add(".Head.NeckWidth", T::I16, -1, OFF(Head.NeckWidth), B::Up, 48, Const(1), Gene(".Head.Width"),
      no, true, 0);
  add(".Head.NeckHeight", T::I16, -1, OFF(Head.NeckHeight), B::Up, 47, Const(0), None(), no, true,
      0);
  add(".Head.MouthNose", T::U8, -1, OFF(Head.MouthNose), B::Random, 46, Const(0), Const(1), no,
      true, 0);
  add(".Head.MouthLength", T::I16, -1, OFF(Head.MouthLength), B::Up, 45, Const(0),
      Gene(".Head.Width"), no, true, 1);
  add(".Head.NoseLength", T::I16, -1, OFF(Head.NoseLength), B::Random, 49, Const(0), None(), no,
      true, 0);
  add(".Head.LipType", T::U8, -1, OFF(Head.LipType), B::Random, 44, Const(0), Const(1), no, true,
      0);
  add(".Head.Diet", T::U8, -1, OFF(Head.Diet), B::Random, 43, Const(0), Const(3), R::Diet, true, 0);
  kept(".Head.Vision.MinFrequency", -1, OFF(Head.Vision.MinFrequency));
  kept(".Head.Vision.MaxFrequency", -1, OFF(Head.Vision.MaxFrequency));
  add(".Head.Vision.Distance", T::I16, -1, OFF(Head.Vision.Distance), B::Random, 53, Const(0),
      Const(10000), no, true, 2000);
  kept(".Head.Vision.Resolution", -1, OFF(Head.Vision.Resolution));
  flag(".Head.Vision.SensorExists", -1, OFF(Head.Vision.SensorExists), true, kTrue);
  add(".Head.Audio.MinFrequency", T::I16, -1, OFF(Head.Audio.MinFrequency), B::Random, 40, Const(0),
      None(), no, true, 0);
  add(".Head.Audio.MaxFrequency", T::I16, -1, OFF(Head.Audio.MaxFrequency), B::Random, 39, Const(0),
      None(), no, true, 0);
  add(".Head.Audio.Distance", T::I16, -1, OFF(Head.Audio.Distance), B::Random, 38, Const(0), None(),
      no, true, 0);
  add(".Head.Audio.Resolution", T::I16, -1, OFF(Head.Audio.Resolution), B::Random, 41, Const(0),
      None(), no, true, 0);
  flag(".Head.Audio.SensorExists", -1, OFF(Head.Audio.SensorExists), true, kFalse);
  kept(".Head.Smell.MinFrequency", -1, OFF(Head.Smell.MinFrequency));
  kept(".Head.Smell.MaxFrequency", -1, OFF(Head.Smell.MaxFrequency));
  add(".Head.Smell.Distance", T::I16, -1, OFF(Head.Smell.Distance), B::Random, 50, Const(0), None(),
      no, true, 500);
  kept(".Head.Smell.Resolution", -1, OFF(Head.Smell.Resolution));
  flag(".Head.Smell.SensorExists", -1, OFF(Head.Smell.SensorExists), true, kTrue);
  kept(".Head.Taste.MinFrequency", -1, OFF(Head.Taste.MinFrequency));
  kept(".Head.Taste.MaxFrequency", -1, OFF(Head.Taste.MaxFrequency));
  kept(".Head.Taste.Distance", -1, OFF(Head.Taste.Distance));
  kept(".Head.Taste.Resolution", -1, OFF(Head.Taste.Resolution));
  flag(".Head.Taste.SensorExists", -1, OFF(Head.Taste.SensorExists), true, kTrue);
  add(".Head.Height", T::I16, -1, OFF(Head.Height), B::Up, 54, Const(1), None(), no, true, 1);
  add(".Head.Width", T::I16, -1, OFF(Head.Width), B::Up, 55, Const(1), None(), no, true, 1);

  // Limbs: the slot numbers are limb 0's; limb 1's are 7 higher.
  for (int l = 0; l < 2; ++l) {
    const auto limb = [l](size_t member) {
      return static_cast<uint16_t>(offsetof(GeneSet, Limb) + static_cast<size_t>(l) * sizeof(Limb) +
                                   member);
    };
    add(".Limb(l).UpperLength", T::I16, l, limb(offsetof(Limb, UpperLength)), B::Up, 23, Const(0),
        None(), no, true, 0);
    add(".Limb(l).UpperWidth", T::I16, l, limb(offsetof(Limb, UpperWidth)), B::Up, 24,
        Gene(".Limb(l).LowerWidth"), HalfBodyWidth(), no, true, 0);
    add(".Limb(l).LowerLength", T::I16, l, limb(offsetof(Limb, LowerLength)), B::Up, 20, Const(0),
        None(), no, true, 0);
    add(".Limb(l).LowerWidth", T::I16, l, limb(offsetof(Limb, LowerWidth)), B::Up, 21, Const(1),
        Gene(".Limb(l).UpperWidth"), no, true, 0);
    add(".Limb(l).DigitNumber", T::I16, l, limb(offsetof(Limb, DigitNumber)), B::Random, 19,
        Const(0), Const(10), no, true, 0);
    add(".Limb(l).DigitLength", T::I16, l, limb(offsetof(Limb, DigitLength)), B::Random, 18,
        Const(0), None(), no, true, 0);
    kept(".Limb(l).Touch.MinFrequency", l,
         limb(offsetof(Limb, Touch) + offsetof(Sensor, MinFrequency)));
    kept(".Limb(l).Touch.MaxFrequency", l,
         limb(offsetof(Limb, Touch) + offsetof(Sensor, MaxFrequency)));
    kept(".Limb(l).Touch.Distance", l, limb(offsetof(Limb, Touch) + offsetof(Sensor, Distance)));
    kept(".Limb(l).Touch.Resolution", l,
         limb(offsetof(Limb, Touch) + offsetof(Sensor, Resolution)));
    flag(".Limb(l).Touch.SensorExists", l,
         limb(offsetof(Limb, Touch) + offsetof(Sensor, SensorExists)), true, kTrue);
  }

  // Genitalia.
  add(".Genitalia.YoungPerLitter", T::I16, -1, OFF(Genitalia.YoungPerLitter), B::Random, 37,
      Const(0), None(), no, true, 15);
  add(".Genitalia.LifeSpan", T::I16, -1, OFF(Genitalia.LifeSpan), B::Up, 34, Const(0), None(), no,
      true, 10);
  add(".Genitalia.AdultAge", T::I16, -1, OFF(Genitalia.AdultAge), B::Random, 32, Const(1),
      Gene(".Genitalia.LifeSpan"), no, true, 5);
  add(".Genitalia.StartsBreeding", T::I16, -1, OFF(Genitalia.StartsBreeding), B::Random, 36,
      Gene(".Genitalia.AdultAge"), Gene(".Genitalia.StopsBreeding"), no, true, 5);
  add(".Genitalia.StopsBreeding", T::I16, -1, OFF(Genitalia.StopsBreeding), B::Random, 35,
      Gene(".Genitalia.StartsBreeding"), Gene(".Genitalia.LifeSpan"), no, true, 10);
  add(".Genitalia.BirthKind", T::U8, -1, OFF(Genitalia.BirthKind), B::Random, 33, Const(0),
      Const(2), R::BirthKind, true, 0);

  // Body.
  add(".Body.BreathingMethod", T::U8, -1, OFF(Body.BreathingMethod), B::Up, 6, Const(0), Const(3),
      no, true, 1);
  add(".Body.BreathCapasity", T::I16, -1, OFF(Body.BreathCapasity), B::Up, 5, Const(0),
      BreathingArea(), no, true, 1000);
  add(".Body.ColourX.red", T::U8, -1, OFF(Body.ColourX.red), B::Random, 9, Const(0), Const(255), no,
      true, 128);
  add(".Body.ColourX.green", T::U8, -1, OFF(Body.ColourX.green), B::Random, 10, Const(0),
      Const(255), no, true, 64);
  add(".Body.ColourX.blue", T::U8, -1, OFF(Body.ColourX.blue), B::Random, 11, Const(0), Const(255),
      no, true, 0);
  add(".Body.ColourY.red", T::U8, -1, OFF(Body.ColourY.red), B::Random, 12, Const(0), Const(255),
      no, true, 128);
  add(".Body.ColourY.green", T::U8, -1, OFF(Body.ColourY.green), B::Random, 13, Const(0),
      Const(255), no, true, 64);
  add(".Body.ColourY.blue", T::U8, -1, OFF(Body.ColourY.blue), B::Random, 14, Const(0), Const(255),
      no, true, 0);
  add(".Body.ColourContrast", T::U8, -1, OFF(Body.ColourContrast), B::Random, 7, Const(0), Const(3),
      no, true, 0);
  add(".Body.ColourContrastSize", T::I16, -1, OFF(Body.ColourContrastSize), B::Random, 8, Const(1),
      Gene(".Body.Height"), no, true, 0);
  add(".Body.Height", T::I16, -1, OFF(Body.Height), B::Up, 15, Const(1), None(), no, true, 5);
  add(".Body.Width", T::I16, -1, OFF(Body.Width), B::Up, 16, Const(1), None(), no, true, 1);
  add(".Body.Covering", T::U8, -1, OFF(Body.Covering), B::Random, 17, Const(0), Const(3),
      R::Covering, true, 1);

  // Tail.
  add(".Tail.Length", T::I16, -1, OFF(Tail.Length), B::Random, 57, Const(0), None(), no, true, 6);
  add(".Tail.Width", T::I16, -1, OFF(Tail.Width), B::Random, 58, Const(1), None(), no, true, 1);
  add(".Tail.Flexibility", T::U8, -1, OFF(Tail.Flexibility), B::Up, 56, Const(0), Const(100), no,
      true, 100);

  auto find = [&](std::string_view suffix, int limb) {
    for (size_t i = 0; i < t.fields.size(); ++i) {
      if (suffix == t.fields[i].suffix && t.fields[i].limb == limb) return static_cast<int>(i);
    }
    return -1;
  };
  auto resolve = [&](const BoundSpec& written, int limb) {
    Bound b;
    b.kind = written.kind;
    b.constant = written.constant;
    if (written.kind == BoundKind::Gene) {
      const bool limbGene = std::string_view(written.gene).starts_with(".Limb(l)");
      b.field = find(written.gene, limbGene ? limb : -1);
    }
    return b;
  };
  for (size_t i = 0; i < t.fields.size(); ++i) {
    t.fields[i].low = resolve(pending[i].low, t.fields[i].limb);
    t.fields[i].high = resolve(pending[i].high, t.fields[i].limb);
  }

  for (int& f : t.slotToField)
    f = -1;
  for (size_t i = 0; i < t.fields.size(); ++i) {
    if (t.fields[i].slot >= 0) t.slotToField[t.fields[i].slot] = static_cast<int>(i);
  }

  static const char* const kFileOrder[] = {".Body.BreathCapasity",
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
  static const char* const kLimbOrder[] = {".Limb(l).DigitLength",        ".Limb(l).DigitNumber",
                                           ".Limb(l).LowerLength",        ".Limb(l).LowerWidth",
                                           ".Limb(l).Touch.SensorExists", ".Limb(l).UpperLength",
                                           ".Limb(l).UpperWidth"};
  // An order list names limb 0's and limb 1's seven genes as "L0" and "L1".
  const auto expand = [&](std::span<const char* const> order, std::vector<int>& out) {
    for (const char* name : order) {
      const std::string_view n(name);
      if (n == "L0" || n == "L1") {
        for (const char* limbName : kLimbOrder)
          out.push_back(find(limbName, n == "L0" ? 0 : 1));
      } else {
        out.push_back(find(n, -1));
      }
    }
  };
  expand(kFileOrder, t.compared);

  for (const int index : t.compared) {
    const GeneField& f = t.fields[static_cast<size_t>(index)];
    t.comparedLayout.push_back(ComparedGene{f.offset, f.type, f.primordial});
  }

  static const char* const kPropertiesOrder[] = {".Body.BreathCapasity",
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
  expand(kPropertiesOrder, t.properties);

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

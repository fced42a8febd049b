#include "genetics/gene_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace ombrivale {
namespace {

TEST(GeneTable, MutationSlotsFiveToFiftyEightLessTheEmptyOnesLimbOneSevenOn) {
  const std::set<int> empty = {22, 29, 42, 51, 52};
  for (int k = 0; k <= 60; ++k) {
    const bool used = k >= 5 && k <= 58 && empty.count(k) == 0;
    EXPECT_EQ(used, FieldForSlot(k) >= 0) << "slot " << k;
  }
  const auto fields = GeneSetFields();
  const GeneField& upper0 = fields[static_cast<size_t>(FieldForSlot(24))];
  const GeneField& upper1 = fields[static_cast<size_t>(FieldForSlot(31))];
  EXPECT_STREQ(".Limb(l).UpperWidth", upper0.suffix);
  EXPECT_STREQ(upper0.suffix, upper1.suffix);
  EXPECT_EQ(0, upper0.limb);
  EXPECT_EQ(1, upper1.limb);
}

TEST(GeneTable, StoringRoundsHalvesToEvenAndHoldsTheType) {
  struct Case {
    const char* suffix;
    int limb;
    double value;
    int stored;
  };
  const Case cases[] = {
      {".Body.Height", -1, 5.5, 6},         {".Body.Height", -1, 4.5, 4},
      {".Body.Height", -1, -2.5, -2},       {".Body.Height", -1, 40000, 32767},
      {".Body.Height", -1, -40000, -32768}, {".Body.ColourX.red", -1, 300, 255},
      {".Body.ColourX.red", -1, -3, 0},     {".Body.ColourX.red", -1, 254.5, 254},
      {".Limb(l).LowerWidth", 1, 7, 7},     {".Limb(l).Touch.SensorExists", 0, -1, kTrue},
  };
  for (const Case& c : cases) {
    GeneSet set;
    const int index = FieldIndex(c.suffix, c.limb);
    ASSERT_GE(index, 0) << c.suffix;
    const GeneField& field = GeneSetFields()[static_cast<size_t>(index)];
    SetGeneValue(set, field, c.value);
    EXPECT_EQ(c.stored, GeneValue(set, field)) << c.suffix << " " << c.value;
    if (c.limb == 1) {
      EXPECT_EQ(0, set.Limb[0].LowerWidth) << "limb 0 untouched";
    }
  }
}

}  // namespace
}  // namespace ombrivale

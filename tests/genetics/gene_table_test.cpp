#include "genetics/gene_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace ombrivale {
namespace {

TEST(GeneTable, ComparesFiftyFiveGenesPerSetAndFiveEggGenes) {
  EXPECT_EQ(55u, ComparedFields().size());
  EXPECT_EQ(5u, UnbornFields().size());
  int compared = 0;
  for (const GeneField& f : GeneSetFields())
    compared += f.compared;
  EXPECT_EQ(55, compared);
  std::set<int> distinct(ComparedFields().begin(), ComparedFields().end());
  EXPECT_EQ(55u, distinct.size());
  EXPECT_EQ(0u, distinct.count(-1));
}

TEST(GeneTable, PropertiesListFiftyNineRowsPerSet) {
  EXPECT_EQ(59u, PropertiesRows().size());
  std::set<int> distinct(PropertiesRows().begin(), PropertiesRows().end());
  EXPECT_EQ(59u, distinct.size());
  EXPECT_EQ(0u, distinct.count(-1));
  const auto fields = GeneSetFields();
  EXPECT_STREQ(".Body.BreathCapasity", fields[PropertiesRows()[0]].suffix);
  EXPECT_STREQ(".Head.Vision.SensorExists", fields[PropertiesRows()[41]].suffix);
  EXPECT_STREQ(".Limb(l).DigitLength", fields[PropertiesRows()[42]].suffix);
  EXPECT_STREQ(".Tail.Width", fields[PropertiesRows()[58]].suffix);
}

TEST(GeneTable, MutationSlotsCoverFiveToFiftyEightExceptTheEmptyOnes) {
  const std::set<int> empty = {22, 29, 42, 51, 52};
  for (int k = 0; k <= 60; ++k) {
    const bool expected = k >= 5 && k <= 58 && empty.count(k) == 0;
    EXPECT_EQ(expected, FieldForSlot(k) >= 0) << "slot " << k;
  }
  const auto fields = GeneSetFields();
  EXPECT_STREQ(".Limb(l).UpperWidth", fields[FieldForSlot(24)].suffix);
  EXPECT_EQ(0, fields[FieldForSlot(24)].limb);
  EXPECT_EQ(1, fields[FieldForSlot(31)].limb);
  EXPECT_STREQ(".Body.BreathCapasity", fields[FieldForSlot(5)].suffix);
  EXPECT_STREQ(".Tail.Width", fields[FieldForSlot(58)].suffix);
}

TEST(GeneTable, GeneBoundsNameTheSameSetAndLimb) {
  const auto fields = GeneSetFields();
  const GeneField& upper1 = fields[FieldIndex(".Limb(l).UpperWidth", 1)];
  ASSERT_EQ(BoundKind::Gene, upper1.low.kind);
  EXPECT_STREQ(".Limb(l).LowerWidth", fields[upper1.low.field].suffix);
  EXPECT_EQ(1, fields[upper1.low.field].limb);
  EXPECT_EQ(BoundKind::HalfBodyWidth, upper1.high.kind);
  const GeneField& starts = fields[FieldIndex(".Genitalia.StartsBreeding")];
  EXPECT_STREQ(".Genitalia.AdultAge", fields[starts.low.field].suffix);
  EXPECT_STREQ(".Genitalia.StopsBreeding", fields[starts.high.field].suffix);
  EXPECT_EQ(BoundKind::BreathingArea, fields[FieldIndex(".Body.BreathCapasity")].high.kind);
}

TEST(GeneTable, ValuesReadAndWriteThroughTheRecordWithSaturation) {
  GeneSet set;
  const auto fields = GeneSetFields();
  const GeneField& height = fields[FieldIndex(".Body.Height")];
  SetGeneValue(set, height, 5.5);
  EXPECT_EQ(6, set.Body.Height);  // half to even
  SetGeneValue(set, height, 4.5);
  EXPECT_EQ(4, set.Body.Height);
  SetGeneValue(set, height, 40000);
  EXPECT_EQ(32767, GeneValue(set, height));
  const GeneField& red = fields[FieldIndex(".Body.ColourX.red")];
  SetGeneValue(set, red, 300);
  EXPECT_EQ(255, set.Body.ColourX.red);
  SetGeneValue(set, red, -3);
  EXPECT_EQ(0, set.Body.ColourX.red);
  const GeneField& lower1 = fields[FieldIndex(".Limb(l).LowerWidth", 1)];
  SetGeneValue(set, lower1, 7);
  EXPECT_EQ(7, set.Limb[1].LowerWidth);
  EXPECT_EQ(0, set.Limb[0].LowerWidth);
  const GeneField& touch = fields[FieldIndex(".Limb(l).Touch.SensorExists", 0)];
  SetGeneValue(set, touch, -1);
  EXPECT_EQ(kTrue, set.Limb[0].Touch.SensorExists);
}

}  // namespace
}  // namespace ombrivale

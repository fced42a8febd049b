#include "sim/species_tree_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace ombrivale {
namespace {

struct Life {
  int32_t number, parent;
  uint64_t first, last;
  uint16_t count;  // adults at the first month; one more each month after
};

// Species 2 and 3 split from 1, 4 from 2; 2 dies out first. A restart at
// month 60 ends them all and begins a world whose species 5 has no parent.
SpeciesHistory MakeHistory() {
  const Life lives[] = {{1, 0, 0, 59, 100},
                        {2, 1, 12, 40, 10},
                        {3, 1, 24, 59, 20},
                        {4, 2, 30, 59, 5},
                        {5, 0, 60, 71, 50}};
  SpeciesHistory history;
  for (uint64_t month = 0; month < 72; ++month) {
    if (month == 60) ++history.world;
    for (const Life& life : lives) {
      if (month < life.first || month > life.last) continue;
      const auto count = static_cast<uint16_t>(life.count + (month - life.first));
      if (month == life.first) {
        AddSpeciesLife(history, life.number, life.parent, month, count);
      } else {
        NoteSpeciesCount(history, *FindSpeciesLife(history, life.number), month, count);
      }
    }
    history.nextMonth = month + 1;
  }
  return history;
}

int BandOf(const SpeciesTreeLayout& layout, int32_t number) {
  for (size_t i = 0; i < layout.bands.size(); ++i) {
    if (layout.bands[i].number == number) return static_cast<int>(i);
  }
  return -1;
}

TEST(SpeciesTreeLayoutTest, LanesFollowTheTreeAndRestartsBeginANewOne) {
  const SpeciesHistory history = MakeHistory();
  const double restarts[] = {5.0};
  SpeciesTreeLayout layout;
  LayOutSpeciesTree(history, restarts, layout);
  ASSERT_EQ(layout.bands.size(), 5u);
  // Depth first, children oldest first: 1, 2, 4, 3; then the new tree's 5.
  const int32_t order[] = {1, 2, 4, 3, 5};
  for (size_t i = 0; i < 5; ++i)
    EXPECT_EQ(layout.bands[i].number, order[i]) << i;
  const SpeciesBand& first = layout.bands[0];
  const SpeciesBand& fifth = layout.bands[4];
  EXPECT_EQ(layout.bands[1].parentBand, 0);
  EXPECT_EQ(layout.bands[2].parentBand, 1);
  EXPECT_EQ(layout.bands[3].parentBand, 0);
  EXPECT_EQ(fifth.parentBand, -1);
  for (size_t i = 1; i < 4; ++i) {  // lanes stacked without overlap
    EXPECT_DOUBLE_EQ(layout.bands[i].laneTop,
                     layout.bands[i - 1].laneTop + layout.bands[i - 1].laneHeight);
  }
  EXPECT_EQ(fifth.laneTop, 0);             // the new tree starts at the top again...
  EXPECT_DOUBLE_EQ(fifth.fromYears, 5.0);  // ...at the restart
  EXPECT_EQ(layout.restarts, std::vector<double>{5.0});
  // Living: seen at the last grouping. Extinct species are flagged.
  const bool living[] = {false, false, false, false, true};
  for (size_t i = 0; i < 5; ++i)
    EXPECT_EQ(layout.bands[i].living, living[i]) << i;
  // A lane is as tall as its peak (at least a sixteenth of the largest)
  // and a sixteenth more; the band's points follow the counts, ending at the
  // end of its last month.
  EXPECT_DOUBLE_EQ(first.laneHeight, 159 + 159 / 16.0);
  EXPECT_DOUBLE_EQ(layout.bands[2].laneHeight, 34 + 159 / 16.0);  // species 4
  const SpeciesBand& second = layout.bands[1];
  ASSERT_EQ(second.points.size(), 30u);
  EXPECT_EQ(second.points[0].years, 1.0);
  EXPECT_EQ(second.points[0].count, 10);
  EXPECT_EQ(second.points[28].count, 38);
  EXPECT_DOUBLE_EQ(second.points[29].years, 41 / 12.0);
  EXPECT_EQ(second.points[29].count, 38);
}

TEST(SpeciesTreeLayoutTest, HitTestingFindsTheSpeciesUnderAPoint) {
  const SpeciesHistory history = MakeHistory();
  SpeciesTreeLayout layout;
  LayOutSpeciesTree(history, {}, layout);
  const SpeciesBand& three = layout.bands[static_cast<size_t>(BandOf(layout, 3))];
  const struct {
    double years, adults;
    int32_t species;  // 0: none
  } cases[] = {
      {0.5, 1, 1},                  // the first lane, early
      {4.95, 150, 1},               // and in its last month
      {2.5, three.Centre(), 3},     // a band's middle
      {1.9, three.Centre(), 0},     // before species 3 split off
      {4.95, three.Centre(), 3},    // its last month
      {5.0, three.Centre(), 0},     // after it
      {3.0, -1, 0},                 // above the tree
      {5.5, 5, 5},                  // the second world's lane 0
      {0.5, layout.height + 1, 0},  // below the lanes
  };
  for (const auto& c : cases) {
    const int band = SpeciesBandAt(layout, c.years, c.adults);
    EXPECT_EQ(band < 0 ? 0 : layout.bands[static_cast<size_t>(band)].number, c.species)
        << c.years << " " << c.adults;
  }
}

TEST(SpeciesTreeLayoutTest, TheSceneDrawsBandsAsThickAsTheirAdults) {
  const SpeciesHistory history = MakeHistory();
  SpeciesTreeLayout layout;
  LayOutSpeciesTree(history, std::vector<double>{5.0}, layout);
  const struct {
    double from, to;
    size_t bands;  // drawn
  } cases[] = {{0, 6, 5}, {0, 0.9, 1}, {4.5, 6, 4}};
  for (const auto& c : cases) {
    const TreeFrame frame = FrameTree(layout, c.from, c.to, 600, 300);
    SpeciesTreeScene scene;
    DrawSpeciesTree(layout, frame, SpeciesPalette::OkabeIto, 600, 300, scene);
    EXPECT_EQ(scene.polygons.size(), c.bands) << c.from;
    // Every polygon lies within the plot's columns, give or take an edge.
    for (const ScenePolygon& polygon : scene.polygons) {
      for (size_t i = 0; i < polygon.xy.size(); i += 2) {
        EXPECT_GE(polygon.xy[i], frame.left - 2);
        EXPECT_LE(polygon.xy[i], frame.left + frame.width + 2);
      }
    }
  }
  // Species 1 at the left edge is as thick as its 100 adults at the
  // frame's scale; extinct species fade, living ones do not.
  const TreeFrame frame = FrameTree(layout, 0, 6, 600, 300);
  SpeciesTreeScene scene;
  DrawSpeciesTree(layout, frame, SpeciesPalette::OkabeIto, 600, 300, scene);
  const ScenePolygon& first = scene.polygons[0];
  const size_t n = first.xy.size() / 2;
  EXPECT_NEAR(first.xy[2 * n - 1] - first.xy[1], 100 * frame.height / frame.adults, 0.01);
  EXPECT_LT(first.alpha, 255);
  EXPECT_EQ(scene.polygons[4].alpha, 255);
  const size_t dashed = static_cast<size_t>(std::count_if(
      scene.lines.begin(), scene.lines.end(), [](const SceneLine& line) { return line.dashed; }));
  EXPECT_EQ(dashed, 1u);
}

TEST(SpeciesTreeLayoutTest, AxisMonthsAreDatedByTheSamples) {
  History history;
  MonthSample sample;
  const struct {
    int32_t year;
    int16_t month;
    uint64_t months;
  } samples[] = {{0, 11, 1}, {1, 3, 4}, {7, 1, 1}};  // a gathered point, a restart
  for (const auto& s : samples) {
    sample.year = s.year;
    sample.month = s.month;
    sample.months = s.months;
    history.samples.push_back(sample);
  }
  const struct {
    uint64_t month;
    int32_t year;
    int monthOfYear;  // 0: not reached
  } cases[] = {{0, 0, 11}, {1, 0, 12}, {2, 1, 1}, {4, 1, 3}, {5, 7, 1}, {6, 0, 0}};
  for (const auto& c : cases) {
    int32_t year = -1;
    int monthOfYear = 0;
    const bool found = AxisMonthDate(history, c.month, year, monthOfYear);
    EXPECT_EQ(found, c.monthOfYear != 0) << c.month;
    if (found) {
      EXPECT_EQ(year, c.year) << c.month;
      EXPECT_EQ(monthOfYear, c.monthOfYear) << c.month;
    }
  }
}

}  // namespace
}  // namespace ombrivale

// The species tree window's picture as numbers: where each species of the
// species history (core/species_history.h) lies, the shapes that draw it in
// a view of the time axis, and what lies under a point. The window paints the
// shapes with Qt; the same shapes are written as SVG here.
//
// Time runs along the statistics window's axis: years since the history
// began, across restarts (a month m of the species history lies at m / 12).
// Each species has a horizontal lane; its band, centred on the lane, is as
// thick as its adults were at each grouping (a Muller-style picture), at one
// scale for every species, so bands compare. A lane is as tall as its
// species' peak (at least a sixteenth of the largest peak, so a small
// species stays visible), with a gap of that sixteenth below. The lanes of
// one world follow its tree depth first: a species, then each of its
// children (oldest first) with their own descendants, so a child lies next
// to its parent, where a connector joins them at the split. A restart begins
// a new tree: the next world's lanes start again at the top, to the right of
// the dashed restart line (the old world's species all ended before it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/colour_choice.h"
#include "core/history.h"
#include "core/species_history.h"
#include "core/world.h"

namespace ombrivale {

struct TreePoint {
  double years = 0;
  uint16_t count = 0;  // adults
};

struct SpeciesBand {
  size_t species = 0;  // index into SpeciesHistory::species
  int32_t number = 0;
  int32_t parent = 0;   // species number, 0 for none
  int parentBand = -1;  // index into SpeciesTreeLayout::bands, -1 for a root
  uint32_t world = 0;
  bool living = false;
  // From the start of its first month to the end of its last: a species
  // seen at one grouping still spans a month.
  double fromYears = 0;
  double toYears = 0;
  double laneTop = 0;  // adults from the top of the tree
  double laneHeight = 0;
  // Left to right: one per count point, at the start of its block of months
  // (its first month for the first), and the last count again at toYears.
  std::vector<TreePoint> points;

  double Centre() const { return laneTop + laneHeight / 2; }
};

struct SpeciesTreeLayout {
  std::vector<SpeciesBand> bands;  // each world's lanes top to bottom, worlds in order
  std::vector<double> restarts;    // years of each restart after the first world
  double height = 1;               // adults: the tallest world's lanes
  double endYears = 0;             // the end of the last grouping's month
};

// The years of the restarts the statistics window marks: each restart
// sample's first month, those after the history's start.
std::vector<double> RestartYears(const History& history);

// Lays out every species of the history.
void LayOutSpeciesTree(const SpeciesHistory& history, std::span<const double> restarts,
                       SpeciesTreeLayout& out);

// The band whose lane holds (years, adults from the top), within its span
// of time; -1 for none.
int SpeciesBandAt(const SpeciesTreeLayout& layout, double years, double adults);

// The calendar date of month `month` of the axis, from the history's samples:
// false when the history does not reach it.
bool AxisMonthDate(const History& history, uint64_t month, int32_t& year, int& monthOfYear);

// The adults of species `number` at the last grouping that still live.
int LivingMembers(const World& world, int32_t number);
// The one of them nearest the cell (x, y), measured to each one's cell;
// equal distances keep the lower slot; 0 for none.
int NearestMember(const World& world, int32_t number, double x, double y);

// --- Drawing ---------------------------------------------------------------

// A view of the layout: the years from..to across a picture of width x
// height pixels, the plot inside margins for the time axis below.
struct TreeFrame {
  double from = 0;
  double to = 1;
  double left = 0;  // the plot, in pixels
  double top = 0;
  double width = 1;
  double height = 1;
  double adults = 1;  // the layout's height, filling the plot's

  double X(double years) const { return left + (years - from) / (to - from) * width; }
  double Y(double adultsFromTop) const { return top + adultsFromTop / adults * height; }
  double Years(double x) const { return from + (x - left) / width * (to - from); }
  double Adults(double y) const { return (y - top) / height * adults; }
};

// The plot of a picture width x height showing years from..to.
TreeFrame FrameTree(const SpeciesTreeLayout& layout, double from, double to, int width, int height);

struct ScenePolygon {
  std::vector<float> xy;  // x0, y0, x1, y1, ...
  uint32_t fill = 0;      // 0xRRGGBB
  uint32_t outline = 0;
  uint8_t alpha = 255;  // fill and outline
};

struct SceneLine {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  uint32_t colour = 0;
  bool dashed = false;
};

struct SceneText {
  float x = 0;
  float y = 0;  // the baseline
  std::string text;
  bool centred = false;  // else starting at x
};

struct SpeciesTreeScene {
  int width = 0;
  int height = 0;
  std::vector<ScenePolygon> polygons;  // bands, in lane order
  std::vector<SceneLine> lines;        // connectors, restarts, the axis and its ticks
  std::vector<SceneText> texts;        // species numbers, tick labels, the axis title
};

// Font height the scene's texts are placed for, in pixels.
inline constexpr int kTreeFontPixels = 11;

// The shapes of the bands within the frame (a band's points thinned to one
// per pixel column, the thickest), the connectors from each parent's lane to
// its child's at the split, the restart lines and the time axis. Living
// species in their colour of the palette, extinct ones faded.
void DrawSpeciesTree(const SpeciesTreeLayout& layout, const TreeFrame& frame,
                     SpeciesPalette palette, int width, int height, SpeciesTreeScene& out);

// The scene as an SVG document.
std::string SpeciesTreeSvg(const SpeciesTreeScene& scene);

}  // namespace ombrivale

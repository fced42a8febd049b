#include "sim/species_tree_layout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "behaviour/species.h"
#include "core/helpers.h"
#include "sim/history_chart.h"
#include "world/map_colouring.h"

namespace ombrivale {
namespace {

// Pixels around the plot; below it the tick labels and the axis title.
constexpr double kMargin = 6;
constexpr double kAxisSpace = 2 * kTreeFontPixels + 12;

constexpr uint32_t kConnectorColour = 0x505050;
constexpr uint32_t kRestartColour = 0x5a5a5a;
constexpr uint32_t kAxisColour = 0x404040;
constexpr uint8_t kExtinctAlpha = 90;
constexpr std::string_view kAxisTitle = "Years since the history began";

uint32_t Darker(uint32_t rgb) {
  const auto part = [rgb](int shift) { return ((rgb >> shift) & 255) * 3 / 5; };
  return (part(16) << 16) | (part(8) << 8) | part(0);
}

// Appends one band's outline: the upper edge left to right, the lower edge
// back. Points are thinned to one per pixel column (the thickest; the last
// before the plot's left edge and the first past its right edge stand for
// the rest); the band is at least a pixel thick and a pixel long.
void OutlineBand(const SpeciesBand& band, const TreeFrame& frame, std::vector<float>& xy) {
  const double perAdult = frame.height / frame.adults;
  const double leftEdge = frame.left - 2;
  const double rightEdge = frame.left + frame.width + 2;
  xy.clear();
  int lastColumn = INT_MIN;
  for (size_t k = 0; k < band.points.size(); ++k) {
    const TreePoint& point = band.points[k];
    const double x = std::clamp(frame.X(point.years), leftEdge, rightEdge);
    const auto half = static_cast<float>(std::max(point.count * perAdult, 1.0) / 2);
    const auto column = static_cast<int>(std::floor(x));
    const bool end = k + 1 == band.points.size() || x >= rightEdge;
    if (column == lastColumn && !end) {
      float& held = xy.back();
      held = x <= leftEdge ? half : std::max(held, half);
    } else {
      xy.push_back(static_cast<float>(x));
      xy.push_back(half);
      lastColumn = column;
    }
    if (x >= rightEdge) break;
  }
  const size_t count = xy.size() / 2;
  if (count == 1) {
    xy.push_back(xy[0] + 1);
    xy.push_back(xy[1]);
  } else if (xy[xy.size() - 2] - xy[0] < 1) {
    xy[xy.size() - 2] = xy[0] + 1;
  }
  const size_t n = xy.size() / 2;
  const auto centre = static_cast<float>(frame.Y(band.Centre()));
  xy.resize(4 * n);
  for (size_t i = 0; i < n; ++i) {
    const size_t from = 2 * (n - 1 - i);
    xy[2 * (n + i)] = xy[from];
    xy[2 * (n + i) + 1] = centre + xy[from + 1];
  }
  for (size_t i = 0; i < n; ++i)
    xy[2 * i + 1] = centre - xy[2 * i + 1];
}

void AppendNumber(std::string& out, double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  out += text;
}

void AppendColour(std::string& out, uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xffffff));
  out += text;
}

void AppendEscaped(std::string& out, const std::string& text) {
  for (const char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      out += c;
    }
  }
}

}  // namespace

std::vector<double> RestartYears(const History& history) {
  std::vector<double> years;
  uint64_t months = 0;
  AppendSampleYears(history, years, months);
  std::vector<double> restarts;
  for (size_t i = 0; i < history.samples.size(); ++i) {
    const double start = SampleStartYears(history.samples[i], years[i]);
    if (history.samples[i].restart && start > 0) restarts.push_back(start);
  }
  return restarts;
}

namespace {

// Parents by index; a parent the history lacks, or of another world, or not
// older, makes a root.
std::vector<int> ParentIndexes(const SpeciesHistory& history) {
  const std::vector<SpeciesLife>& species = history.species;
  std::vector<int> parentOf(species.size(), -1);
  for (size_t i = 0; i < species.size(); ++i) {
    const SpeciesLife& life = species[i];
    const SpeciesLife* parent = life.parent != 0 ? FindSpeciesLife(history, life.parent) : nullptr;
    if (parent != nullptr && parent->world == life.world && parent->first < life.first)
      parentOf[i] = static_cast<int>(parent - species.data());
  }
  return parentOf;
}

// The species oldest first within each world, and each one's children in
// that order as runs of one array: child[start[p] .. start[p + 1]).
struct Family {
  std::vector<int> order;
  std::vector<int> start;
  std::vector<int> child;
};

Family ListChildren(const std::vector<SpeciesLife>& species, const std::vector<int>& parentOf) {
  const size_t n = species.size();
  Family family;
  family.order.resize(n);
  for (size_t i = 0; i < n; ++i)
    family.order[i] = static_cast<int>(i);
  std::sort(family.order.begin(), family.order.end(), [&species](int a, int b) {
    const SpeciesLife& x = species[static_cast<size_t>(a)];
    const SpeciesLife& y = species[static_cast<size_t>(b)];
    if (x.world != y.world) return x.world < y.world;
    return x.first != y.first ? x.first < y.first : x.number < y.number;
  });
  family.start.assign(n + 1, 0);
  for (size_t i = 0; i < n; ++i) {
    if (parentOf[i] >= 0) ++family.start[static_cast<size_t>(parentOf[i]) + 1];
  }
  for (size_t i = 0; i < n; ++i)
    family.start[i + 1] += family.start[i];
  family.child.resize(static_cast<size_t>(family.start[n]));
  std::vector<int> fill(family.start.begin(), family.start.end() - 1);
  for (const int i : family.order) {
    const int p = parentOf[static_cast<size_t>(i)];
    if (p >= 0) family.child[static_cast<size_t>(fill[static_cast<size_t>(p)]++)] = i;
  }
  return family;
}

// Species `i`'s band in the lane from `laneTop`, its points from the
// history's counts.
void FillBand(const SpeciesHistory& history, size_t i, double laneTop, double least,
              SpeciesBand& band) {
  const SpeciesLife& life = history.species[i];
  band.species = i;
  band.number = life.number;
  band.parent = life.parent;
  band.world = life.world;
  band.living = IsLiving(history, life);
  band.fromYears = static_cast<double>(life.first) / 12;
  band.toYears = static_cast<double>(life.last + 1) / 12;
  band.laneTop = laneTop;
  band.laneHeight = std::max<double>(life.peak, least) + least;
  band.points.clear();
  const uint64_t firstBlock = life.first / history.grain;
  for (size_t k = 0; k < life.counts.size(); ++k) {
    const uint64_t month = std::max(life.first, (firstBlock + k) * history.grain);
    band.points.push_back({static_cast<double>(month) / 12, life.counts[k]});
  }
  if (!life.counts.empty()) band.points.push_back({band.toYears, life.counts.back()});
}

}  // namespace

void LayOutSpeciesTree(const SpeciesHistory& history, std::span<const double> restarts,
                       SpeciesTreeLayout& out) {
  const std::vector<SpeciesLife>& species = history.species;
  const size_t n = species.size();
  out.bands.resize(n);
  out.restarts.assign(restarts.begin(), restarts.end());
  out.endYears = static_cast<double>(history.nextMonth) / 12;

  const std::vector<int> parentOf = ParentIndexes(history);
  const Family family = ListChildren(species, parentOf);
  uint16_t largest = 1;
  for (const SpeciesLife& life : species)
    largest = std::max(largest, life.peak);
  const double least = largest / 16.0;

  // Depth first from each root, so a child's lane lies next to its parent's.
  std::vector<int> bandOf(n, -1);
  std::vector<int> stack;
  size_t next = 0;
  double y = 0;
  uint32_t world = 0;
  out.height = least;
  for (const int root : family.order) {
    if (parentOf[static_cast<size_t>(root)] >= 0) continue;
    if (species[static_cast<size_t>(root)].world != world) {
      world = species[static_cast<size_t>(root)].world;
      y = 0;  // a new tree
    }
    stack.assign(1, root);
    while (!stack.empty()) {
      const auto i = static_cast<size_t>(stack.back());
      stack.pop_back();
      SpeciesBand& band = out.bands[next];
      bandOf[i] = static_cast<int>(next++);
      FillBand(history, i, y, least, band);
      band.parentBand = parentOf[i] >= 0 ? bandOf[static_cast<size_t>(parentOf[i])] : -1;
      y += band.laneHeight;
      out.height = std::max(out.height, y);
      // Children pushed youngest first, so the oldest lies next to its parent.
      for (int c = family.start[i + 1] - 1; c >= family.start[i]; --c)
        stack.push_back(family.child[static_cast<size_t>(c)]);
    }
  }
  out.bands.resize(next);
}

int SpeciesBandAt(const SpeciesTreeLayout& layout, double years, double adults) {
  for (size_t i = 0; i < layout.bands.size(); ++i) {
    const SpeciesBand& band = layout.bands[i];
    if (adults >= band.laneTop && adults < band.laneTop + band.laneHeight &&
        years >= band.fromYears && years < band.toYears) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool AxisMonthDate(const History& history, uint64_t month, int32_t& year, int& monthOfYear) {
  uint64_t start = 0;
  for (const MonthSample& sample : history.samples) {
    if (month < start + sample.months) {
      // A sample is dated by its last month; the months it gathers run on
      // one after the other before it.
      const int64_t total = int64_t{sample.year} * 12 + (sample.month - 1) -
                            static_cast<int64_t>(start + sample.months - 1 - month);
      const int64_t whole = total >= 0 ? total / 12 : (total - 11) / 12;
      year = static_cast<int32_t>(whole);
      monthOfYear = static_cast<int>(total - whole * 12) + 1;
      return true;
    }
    start += sample.months;
  }
  return false;
}

int LivingMembers(const World& world, int32_t number) {
  int members = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    members += number != 0 && SpeciesOf(world, slot) == number ? 1 : 0;
  return members;
}

int NearestMember(const World& world, int32_t number, double x, double y) {
  int chosen = 0;
  double best = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (number == 0 || SpeciesOf(world, slot) != number) continue;
    const Animal& animal = AnimalAt(world, slot);
    const double d = Distance(x, y, CellX(animal.X), CellY(animal.Y));
    if (chosen == 0 || d < best) {
      best = d;
      chosen = slot;
    }
  }
  return chosen;
}

TreeFrame FrameTree(const SpeciesTreeLayout& layout, double from, double to, int width,
                    int height) {
  TreeFrame frame;
  frame.from = from;
  frame.to = to > from ? to : from + 1;
  frame.left = kMargin;
  frame.top = kMargin;
  frame.width = std::max(1.0, width - 2 * kMargin);
  frame.height = std::max(1.0, height - kMargin - kAxisSpace);
  frame.adults = layout.height > 0 ? layout.height : 1;
  return frame;
}

void DrawSpeciesTree(const SpeciesTreeLayout& layout, const TreeFrame& frame,
                     SpeciesPalette palette, int width, int height, SpeciesTreeScene& out) {
  out.width = width;
  out.height = height;
  out.lines.clear();
  out.texts.clear();
  const double right = frame.left + frame.width;
  const double bottom = frame.top + frame.height;
  const auto f = [](double v) { return static_cast<float>(v); };
  size_t used = 0;
  for (const SpeciesBand& band : layout.bands) {
    if (band.toYears <= frame.from || band.fromYears >= frame.to || band.points.empty()) continue;
    if (used == out.polygons.size()) out.polygons.emplace_back();
    ScenePolygon& polygon = out.polygons[used++];
    OutlineBand(band, frame, polygon.xy);
    polygon.fill = SpeciesPaletteColour(band.number, palette);
    polygon.outline = Darker(polygon.fill);
    polygon.alpha = band.living ? uint8_t{255} : kExtinctAlpha;
    const double centre = frame.Y(band.Centre());
    const double start = frame.X(band.fromYears);
    if (band.parentBand >= 0 && start >= frame.left && start <= right) {
      const double parent = frame.Y(layout.bands[static_cast<size_t>(band.parentBand)].Centre());
      out.lines.push_back({f(start), f(parent), f(start), f(centre), kConnectorColour, false});
    }
    // The number at the band's visible start, where its lane is tall enough.
    if (band.laneHeight / frame.adults * frame.height >= kTreeFontPixels + 2) {
      out.texts.push_back({f(std::max(start, frame.left) + 3),
                           f(centre + kTreeFontPixels / 2.0 - 1), std::to_string(band.number),
                           false});
    }
  }
  out.polygons.resize(used);
  for (const double years : layout.restarts) {
    const double x = frame.X(years);
    if (x >= frame.left && x <= right)
      out.lines.push_back({f(x), f(frame.top), f(x), f(bottom), kRestartColour, true});
  }
  // The time axis, its ticks on round years.
  out.lines.push_back({f(frame.left), f(bottom), f(right), f(bottom), kAxisColour, false});
  const AxisTicks ticks =
      NiceAxis(frame.from, frame.to, false, std::max(2, static_cast<int>(frame.width / 90)));
  for (double value = ticks.low; value <= ticks.high + ticks.interval / 2;
       value += ticks.interval) {
    const double x = frame.X(value);
    if (x < frame.left - 0.5 || x > right + 0.5) continue;
    out.lines.push_back({f(x), f(bottom), f(x), f(bottom + 4), kAxisColour, false});
    char label[32];
    std::snprintf(label, sizeof label, "%.*f", ticks.decimals, value);
    out.texts.push_back({f(x), f(bottom + 4 + kTreeFontPixels), label, true});
  }
  SceneText& title = out.texts.emplace_back();
  title.x = f(frame.left + frame.width / 2);
  title.y = f(bottom + 8 + 2 * kTreeFontPixels);
  title.text.assign(kAxisTitle);
  title.centred = true;
}

std::string SpeciesTreeSvg(const SpeciesTreeScene& scene) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(scene.width) +
         "\" height=\"" + std::to_string(scene.height) + "\" viewBox=\"0 0 " +
         std::to_string(scene.width) + " " + std::to_string(scene.height) + "\">\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  for (const ScenePolygon& polygon : scene.polygons) {
    out += "<polygon points=\"";
    for (size_t i = 0; i + 1 < polygon.xy.size(); i += 2) {
      if (i > 0) out += ' ';
      AppendNumber(out, polygon.xy[i]);
      out += ',';
      AppendNumber(out, polygon.xy[i + 1]);
    }
    out += "\" fill=\"";
    AppendColour(out, polygon.fill);
    out += "\" stroke=\"";
    AppendColour(out, polygon.outline);
    out += "\" stroke-width=\"1\"";
    if (polygon.alpha != 255) {
      char opacity[48];
      std::snprintf(opacity, sizeof opacity, " fill-opacity=\"%.2f\" stroke-opacity=\"%.2f\"",
                    polygon.alpha / 255.0, polygon.alpha / 255.0);
      out += opacity;
    }
    out += "/>\n";
  }
  for (const SceneLine& line : scene.lines) {
    out += "<line x1=\"";
    AppendNumber(out, line.x1);
    out += "\" y1=\"";
    AppendNumber(out, line.y1);
    out += "\" x2=\"";
    AppendNumber(out, line.x2);
    out += "\" y2=\"";
    AppendNumber(out, line.y2);
    out += "\" stroke=\"";
    AppendColour(out, line.colour);
    out += line.dashed ? "\" stroke-dasharray=\"4 3\"/>\n" : "\"/>\n";
  }
  for (const SceneText& text : scene.texts) {
    out += "<text x=\"";
    AppendNumber(out, text.x);
    out += "\" y=\"";
    AppendNumber(out, text.y);
    out += "\" font-family=\"sans-serif\" font-size=\"" + std::to_string(kTreeFontPixels) + "\"";
    if (text.centred) out += " text-anchor=\"middle\"";
    out += '>';
    AppendEscaped(out, text.text);
    out += "</text>\n";
  }
  out += "</svg>\n";
  return out;
}

}  // namespace ombrivale

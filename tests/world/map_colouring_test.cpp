#include "world/map_colouring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "genetics/gene_census.h"
#include "support/test_world.h"
#include "world/map_picture.h"
#include "world/species_colours.h"

namespace ombrivale {
namespace {

double Lightness(uint32_t rgb) {  // relative luminance of sRGB, 0..1
  const auto linear = [rgb](int shift) {
    const double c = ((rgb >> shift) & 255) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(16) + 0.7152 * linear(8) + 0.0722 * linear(0);
}

TEST(MapColouring, PalettesStayOffTheMapsNamedColoursAndTheScaleOnlyBrightens) {
  std::vector<uint32_t> colours;
  for (int i = 0; i <= 100; ++i) {
    colours.push_back(ScaleColour(i / 100.0));
    if (i > 0) {
      EXPECT_GT(Lightness(colours[i]), Lightness(colours[i - 1])) << i;
    }
  }
  EXPECT_EQ(Rgb(68, 1, 84), ScaleColour(-1));  // viridis' ends, held
  EXPECT_EQ(Rgb(253, 231, 37), ScaleColour(2));
  std::set<uint32_t> species;
  for (int32_t n = 1; n <= 21; ++n)
    species.insert(SpeciesPaletteColour(n, SpeciesPalette::OkabeIto));
  EXPECT_EQ(21u, species.size());
  for (int32_t n = 1; n <= 200; ++n) {
    colours.push_back(SpeciesPaletteColour(n, SpeciesPalette::OkabeIto));
    EXPECT_EQ(SpeciesColour(n), SpeciesPaletteColour(n, SpeciesPalette::GoldenRatio));
  }
  for (int i = 0; i < 8; ++i)
    colours.push_back(CategoryColour(i));
  for (const uint32_t rgb : colours)
    EXPECT_EQ(nullptr, MapColourName(rgb)) << std::hex << rgb;
}

TEST(MapColouring, EveryChoiceColoursEachAnimalOnceAndItsLegendCountsThem) {
  testing::TestWorld t;
  World& w = t.world;
  testing::PutAnimal(w, 1, 100, 100, kStageEgg);
  Animal& infant = testing::PutAnimal(w, 2, 300, 100, kStageInfant);
  infant.Genes[kStageInfant].Head.Diet = kHerbivorous;
  infant.Hunger = 300;
  testing::PutAnimal(w, 3, 500, 100).Hunger = 700;
  Animal& odd = testing::PutAnimal(w, 5, 700, 100);
  odd.Genes[kStageAdult].Head.Diet = 7;  // no diet of the rule's
  w.species.speciesOfSlot[3] = 4;
  w.species.groupedId[3] = w.lineage.idOfSlot[3];

  const auto legend = [](const MapColouring& c) {
    std::string text = c.legend.title;
    for (const LegendEntry& e : c.legend.entries)
      text += " " + e.name + "=" + std::to_string(e.count);
    return text;
  };
  struct Case {
    const char* choice;
    std::string legend;
  };
  const Case cases[] = {
      {"real", "Real Egg=1 Scum Sucker=1 Live Organism=2 Carnivore=0"},
      {"species", "Species Egg=1 No species=2 Species 4=1"},
      {"stage", "Stage Egg=1 Infant=1 Adult=2"},
      {"sex", "Sex Sex 0=4 Sex 1=0"},
      {"diet", "Diet Scum Sucker=1 Herbivorous=1 Omnivorous=0 Carnivorous=0 Other=1 Egg=1"},
      {"hunger", "Hunger Egg=1"},
  };
  MapColouring c;
  for (const Case& k : cases) {
    ColourAnimals(w, *ParseColourChoice(k.choice), c);
    EXPECT_EQ(k.legend, legend(c));
  }
  ColourAnimals(w, *ParseColourChoice("species"), c);
  EXPECT_EQ(SpeciesPaletteColour(4, SpeciesPalette::OkabeIto), c.colourOfSlot[3]);
  ColourAnimals(w, *ParseColourChoice("hunger"), c);
  EXPECT_EQ(100, c.legend.low);  // PutAnimal's hunger
  EXPECT_EQ(700, c.legend.high);
  EXPECT_EQ(ScaleColour(0), c.colourOfSlot[5]);
  EXPECT_EQ(ScaleColour(1), c.colourOfSlot[3]);
  EXPECT_EQ(ScaleColour(1 / 3.0), c.colourOfSlot[2]);

  // Every named choice and every gene: each occupied slot coloured, counted
  // once, free slots not; the names read back.
  std::vector<ColourChoice> all;
  for (const char* name : {"real", "species", "species-golden", "generation", "age", "hunger",
                           "score", "stage", "sex", "diet", "breathing", "covering"}) {
    all.push_back(*ParseColourChoice(name));
  }
  for (size_t g = 0; g < SeriesGenes().size(); ++g)
    all.push_back(ColourChoice{ColourBy::Gene, static_cast<int>(g), SpeciesPalette::OkabeIto});
  for (const ColourChoice& choice : all) {
    ColourAnimals(w, choice, c);
    int counted = c.legend.scaled;
    for (const LegendEntry& e : c.legend.entries)
      counted += e.count;
    EXPECT_EQ(4, counted) << ColourChoiceName(choice);
    EXPECT_EQ(0u, c.colourOfSlot[4]);
    EXPECT_EQ(choice, ParseColourChoice(ColourChoiceName(choice)));
  }
  EXPECT_FALSE(ParseColourChoice("adult.Body"));
  EXPECT_FALSE(ParseColourChoice("Species"));

  MapPicture picture;
  PaintMiniMap(w, c, picture);
  EXPECT_EQ(c.colourOfSlot[5], picture.At(7, 1));
  EXPECT_EQ(kColourSky, picture.At(8, 1));
}

}  // namespace
}  // namespace ombrivale

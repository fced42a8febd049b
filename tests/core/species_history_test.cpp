#include "core/species_history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace ombrivale {
namespace {

// Adults of species `number` at `month`, made up so that every block's last
// month is known.
uint16_t CountAt(int32_t number, uint64_t month) {
  return static_cast<uint16_t>((month * 7 + static_cast<uint64_t>(number)) % 700 + 1);
}

// Species 1 from month 0 and species 2 from month 5 (split from 1), both
// seen at every month up to `months` - 1, with the living list and the
// adults a grouping would leave.
SpeciesHistory TwoSpecies(uint64_t months) {
  SpeciesHistory h;
  for (uint64_t month = 0; month < months; ++month) {
    for (int32_t number : {1, 2}) {
      if (number == 2 && month < 5) continue;
      if (SpeciesLife* life = FindSpeciesLife(h, number)) {
        NoteSpeciesCount(h, *life, month, CountAt(number, month));
      } else {
        AddSpeciesLife(h, number, number - 1, month, CountAt(number, month));
      }
    }
    h.nextMonth = month + 1;
    ThinSpeciesHistory(h);
  }
  h.adultsGrouped = CountAt(1, months - 1) + CountAt(2, months - 1);
  AdoptGrouping(h, {}, {});
  return h;
}

TEST(SpeciesHistory, ThinningKeepsOneGrainAndEachBlocksLastCount) {
  for (const uint64_t months : {uint64_t{8000}, uint64_t{8197}, uint64_t{40001}}) {
    const SpeciesHistory h = TwoSpecies(months);
    EXPECT_TRUE(CheckSpeciesHistory(h).ok()) << months;
    // The finest grain that fits.
    const auto pointsAt = [&h](uint64_t grain) {
      size_t points = 0;
      for (const SpeciesLife& life : h.species)
        points += SpeciesPointCount(life.first, life.last, grain);
      return points;
    };
    EXPECT_LE(pointsAt(h.grain), kSpeciesPointCapacity);
    EXPECT_TRUE(h.grain == 1 || pointsAt(h.grain / 2) > kSpeciesPointCapacity) << months;
    EXPECT_EQ(months <= 8192 ? 1u : months == 8197 ? 2u : 8u, h.grain) << months;
    for (const SpeciesLife& life : h.species) {
      EXPECT_EQ(months - 1, life.last);
      for (size_t i = 0; i < life.counts.size(); ++i) {
        const uint64_t blockEnd = (life.first / h.grain + i + 1) * h.grain - 1;
        EXPECT_EQ(CountAt(life.number, std::min(blockEnd, months - 1)), life.counts[i]);
      }
    }
  }
}

TEST(SpeciesHistory, FaultNamesEachBrokenRule) {
  const SpeciesHistory sound = TwoSpecies(30);
  ASSERT_TRUE(CheckSpeciesHistory(sound).ok());
  const std::pair<const char*, std::function<void(SpeciesHistory&)>> cases[] = {
      {"grain", [](SpeciesHistory& h) { h.grain = 3; }},
      {"ascending", [](SpeciesHistory& h) { h.species[1].number = 1; }},
      {"first month", [](SpeciesHistory& h) { h.species[1].first = 30; }},
      {"first month", [](SpeciesHistory& h) { h.nextMonth = 29; }},
      {"world to come", [](SpeciesHistory& h) { h.species[0].world = 1; }},
      {"does not hold", [](SpeciesHistory& h) { h.species[1].parent = 7; }},
      {"not older",
       [](SpeciesHistory& h) {
         h.species[0].first = 5;
         h.species[0].counts.erase(h.species[0].counts.begin(), h.species[0].counts.begin() + 5);
       }},
      {"span", [](SpeciesHistory& h) { h.species[1].counts.pop_back(); }},
      {"1..peak", [](SpeciesHistory& h) { h.species[0].counts[3] = 0; }},
      {"1..peak", [](SpeciesHistory& h) { h.species[0].peak = 1; }},
      {"living list", [](SpeciesHistory& h) { h.living.pop_back(); }},
      {"point total", [](SpeciesHistory& h) { ++h.points; }},
      {"add up", [](SpeciesHistory& h) { ++h.adultsGrouped; }},
  };
  for (const auto& [what, breakIt] : cases) {
    SpeciesHistory h = sound;
    breakIt(h);
    const Status fault = CheckSpeciesHistory(h);
    ASSERT_FALSE(fault.ok()) << what;
    EXPECT_NE(std::string_view::npos, fault.message().find(what)) << fault.ToString();
  }
}

}  // namespace
}  // namespace ombrivale

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>

#include "core/events.h"
#include "sim/calendar.h"
#include "sim/new_world.h"
#include "sim/session.h"
#include "sim/tick.h"
#include "support/test_world.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

TEST(EventQueue, KeepsNothingUntilListenedToThenKeepsOrderCountsAndABound) {
  EventQueue queue;
  queue.Post(MapRedrawn{});
  queue.NoteDied();
  EXPECT_TRUE(queue.Empty());
  EXPECT_TRUE(queue.Drain().empty());

  queue.Listen();
  queue.Post(MonthTurned{3, 4});
  queue.NoteBorn();
  queue.Post(CaptionsChanged{});
  queue.Post(CaptionsChanged{});  // said twice in a row: once
  queue.Post(MessageShown{"a"});
  queue.Post(MessageShown{"a"});  // messages are never merged
  queue.Post(CaptionsChanged{});
  queue.NoteBorn();
  queue.NoteDied();
  queue.NoteSacrificed();
  std::vector<Event> events = queue.Drain();
  ASSERT_EQ(6u, events.size());
  // The animals' counts come first, summed over the whole interval.
  const auto* counts = std::get_if<AnimalsChanged>(&events[0]);
  ASSERT_NE(nullptr, counts);
  EXPECT_EQ(2u, counts->born);
  EXPECT_EQ(1u, counts->died);
  EXPECT_EQ(1u, counts->sacrificed);
  EXPECT_EQ(4, std::get<MonthTurned>(events[1]).month);
  EXPECT_TRUE(std::holds_alternative<CaptionsChanged>(events[2]));
  EXPECT_EQ("a", std::get<MessageShown>(events[3]).text);
  EXPECT_EQ("a", std::get<MessageShown>(events[4]).text);
  EXPECT_TRUE(std::holds_alternative<CaptionsChanged>(events[5]));
  EXPECT_TRUE(queue.Empty());

  // Nobody drains: the oldest go, the newest kEventLimit stay.
  for (size_t i = 0; i < EventQueue::kEventLimit + 10; ++i)
    queue.Post(YearTurned{static_cast<int>(i)});
  events = queue.Drain();
  ASSERT_EQ(EventQueue::kEventLimit, events.size());
  EXPECT_EQ(10, std::get<YearTurned>(events.front()).year);
  EXPECT_EQ(10u, queue.Dropped());
}

// A seeded world run for years: the events its driver drains agree with the
// world itself (every death counted once, every month and year turned, every
// sample), and a save that fails is told as such.
TEST(EventQueue, ARunsEventsAgreeWithTheWorld) {
  testing::TestWorld t;
  World& world = t.world;
  StartUpPlan plan;
  plan.loadWorld = false;
  plan.seed = 5;
  StartUp(world, plan);
  const EventTally& started = t.Events();
  EXPECT_EQ(1u, started.generatedWorlds);
  EXPECT_EQ(0u, started.loadedWorlds);
  EXPECT_EQ(kTickIntervalMs, started.tickInterval);
  ASSERT_FALSE(started.messageLines.empty());
  EXPECT_EQ("New World", started.messageLines.back());

  const uint64_t deathsBefore =
      std::accumulate(world.DeathsByCause.begin(), world.DeathsByCause.end(), uint64_t{0});
  const uint64_t diedBefore = t.Events().died;
  const uint64_t monthsBefore = t.Events().monthsTurned;
  const uint64_t samplesBefore = world.history.recorded;
  const uint64_t samplesToldBefore = t.Events().samplesRecorded;
  CalendarWatch calendar(world);
  int months = 0;
  int years = 0;
  while (years < 20) {
    SimulationTick(world);
    const CalendarTurn turn = calendar.Note(world);
    if (turn != CalendarTurn::None) ++months;
    if (turn == CalendarTurn::Year) ++years;
    ASSERT_FALSE(calendar.Stuck());
  }
  const EventTally& ran = t.Events();
  const uint64_t deaths =
      std::accumulate(world.DeathsByCause.begin(), world.DeathsByCause.end(), uint64_t{0});
  EXPECT_EQ(deaths - deathsBefore, ran.died - diedBefore);
  EXPECT_GT(ran.born, 0u);
  EXPECT_GE(ran.monthsTurned - monthsBefore, static_cast<uint64_t>(months));
  EXPECT_GE(ran.yearsTurned, 20u);
  EXPECT_GT(ran.died - diedBefore, 0u);
  EXPECT_EQ(world.history.recorded - samplesBefore, ran.samplesRecorded - samplesToldBefore);
  EXPECT_EQ(0u, t.world.events.Dropped());

  // A folder that cannot be made: the save ends with its fault.
  const std::string blocked = ::testing::TempDir() + "/events_test_blocked";
  std::filesystem::remove_all(blocked);
  { std::ofstream(blocked) << "a file where the folder's parent should be"; }
  t.seam.defaultAnswer = Answer::No;
  SaveWorld(world, blocked + "/world");
  EXPECT_EQ(1u, t.Events().failedSaves);
  EXPECT_EQ("Save Failed", t.Events().messageLines.back());
  std::filesystem::remove_all(blocked);
}

}  // namespace
}  // namespace ombrivale

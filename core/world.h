// The whole state of one world in one plain record.
//
// Every operation of the simulation is a free function taking the world
// first (SimulationTick(world), KillAnimal(world, slot, cause)). There are no
// globals: tests build several worlds side by side, and a world can be copied
// and compared. The big tables live in vectors so a World is cheap to put on
// the stack.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/animal.h"
#include "core/codes.h"
#include "core/conditions.h"
#include "core/display.h"
#include "core/events.h"
#include "core/history.h"
#include "core/lineage.h"
#include "core/map.h"
#include "core/position_index.h"
#include "core/save_queue.h"
#include "core/seam.h"
#include "core/species.h"
#include "core/species_history.h"

namespace ombrivale {

// The check marks of the Edit menu's "Show &These" entries: a death whose
// cause is unchecked is neither shown on the message line nor logged.
struct DeathFilters {
  bool OldAge = false;
  bool Eaten = false;
  bool Overwritten = false;
  bool Suffocation = false;
  bool Hunger = false;
  // Not among the settings file's 27 lines: shown unless the program's own
  // settings file says otherwise.
  bool Sacrificed = true;
};
// The filter entry of a cause, to read or toggle.
bool& FilterFor(DeathFilters& filters, Cause cause);
inline bool ShowsCause(DeathFilters filters, Cause cause) {
  return FilterFor(filters, cause);
}

// Where the clock reading that reseeds the generator comes from.
struct Clock {
  bool isVirtual = false;
  // Virtual clock: seconds since midnight, advanced by `step` at every reading
  // and wrapped at midnight, so a seeded run is reproducible bit for bit.
  double virtualSeconds = 0;
  double step = 1e-6;
  // Time of day: the clock second of the last local midnight, looked up at
  // most once a minute (the offset from UTC can change), so that a reading
  // costs one clock_gettime and a subtraction.
  int64_t localMidnight = 0;
  int64_t midnightCheckedAt = INT64_MIN;
  // Inside a tick the time of day is read once, at its start, and held: the
  // coarse clock it comes from moves every few milliseconds, far less often
  // than the thousands of reseeds of one tick.
  bool held = false;
  double heldReading = 0;
};

// The world's small uniform generator. Reseeding mixes a clock reading into
// the state (it never replaces it), so draws within one reading still differ.
struct Random {
  uint64_t state = 0x9E3779B97F4A7C15ull;
};

// What one look for one kind of food saw from one cell with one vision
// distance (behaviour/forage.cpp), for whichever forager looks again from
// there with that sight while no cell it covered has begun or stopped
// offering that food: the look reads nothing else. Kept in a table by a
// hash of the key, each entry replacing whatever held its place.
struct FoodSight {
  uint32_t key = 0;  // the kind, cell and distance looked with; 0: empty
  int8_t dx = 0;     // the find's offsets in cells, when found
  int8_t dy = 0;
  bool found = false;
  uint64_t seenAt = 0;  // WorldMap::foodChanges at the look
};
inline constexpr int kFoodSightBits = 14;  // 16,384 entries, 256 KB

// The slots that may be chosen as a mate in the current tick, kept by the
// mate search (behaviour/mate_search.h): sets of 750 bits (bit s % 64 of
// word s / 64), one for sex 0, one for sex 1 and one for any other value a
// damaged file may hold.
struct MateCandidates {
  bool kept = false;
  uint64_t tick = 0;  // the TickCount they were taken in
  std::array<std::array<uint64_t, kSlotCount / 64 + 1>, 3> bySex{};
};

struct World {
  std::vector<Animal> Animals = std::vector<Animal>(kSlotCount + 1);  // [0] unused
  WorldMap Map;

  int16_t SeaLevel = 0;  // row; not ground at or below it (y >= SeaLevel) is water
  int32_t Year = 0;
  int16_t Month = 0;  // 1..12 once running; 0 in a world being generated

  // Options menu flags (0 or 1).
  uint8_t LogOn = 0;
  uint8_t AutoRestart = 0;
  uint8_t RealColours = 0;
  uint8_t OverwriteLeast = 0;
  uint8_t AutoSave = 0;
  // Set by a load that reached its end; the next NewWorld keeps the loaded
  // world instead of generating one, and clears it.
  uint8_t WorldLoaded = 0;
  DeathFilters Filters;

  // The main window's loop counters.
  uint8_t SpeedCount = 0;   // ticks since the last month step
  int16_t AnimalCount = 0;  // occupied slots (eggs included) at the last month step
  uint8_t GameStarted = 0;  // 0 while a world is being built

  // The "AutoSave" folder the yearly save writes to; empty: no folder, so
  // the yearly save is skipped.
  std::string AutoSaveFolder;
  // The number of the last save taken of this world, 0 before the first
  // (each save's manifest carries its own); a load goes on from the number
  // of the save it read.
  uint64_t saveSequence = 0;
  // Savepoints (world/savepoint.h): whether they are kept, their cap, and
  // the one the next save also writes (the yearly one), taken with it.
  SavepointOptions savepoints;
  bool savepointWithSave = false;
  SavepointAsk savepointAsk;

  // The rules' numbers an experiment may change (saved with the world; a
  // new world generated in it keeps them).
  Conditions conditions;

  Random Rng;
  Clock RandomClock;

  // Running totals for statistics; not part of any saved file.
  uint64_t TickCount = 0;
  std::array<uint64_t, kCauseCount> DeathsByCause{};
  // One sample a month of the population (sim/statistics.h).
  History history;
  // Who descends from whom (saved), and the adults' species (the numbers
  // saved with the family record).
  Lineage lineage;
  SpeciesRecord species;
  // Every species the groupings numbered, over the whole history (saved).
  SpeciesHistory speciesHistory;

  // Each slot's evolvedness count (PrimordialCount), kept for the choice of
  // the least evolved animal when a full table needs room; meaningful for
  // occupied slots while primordialCountsKept (genetics/body_measures.h).
  std::vector<int16_t> primordialCounts = std::vector<int16_t>(kSlotCount + 1);
  bool primordialCountsKept = false;

  // The occupied slots by position, for the steps that look for animals
  // near a point (core/position_index.h).
  PositionIndex positions;
  MateCandidates mateCandidates;
  std::vector<FoodSight> foodSights = std::vector<FoodSight>(size_t{1} << kFoodSightBits);

  // What changed, for whoever drives the world (kept only once it listens).
  EventQueue events;

  Seam* seam = nullptr;        // not owned; nullptr means no window at all
  Display* display = nullptr;  // not owned; nullptr: nothing is drawn or captioned
  SaveQueue* saves = nullptr;  // not owned; nullptr: saves are written at once
};

// The world's window seam, or one that does nothing when none is attached.
Seam& SeamOf(World& world);

// REQUIRES: 1 <= slot <= 750.
inline Animal& AnimalAt(World& world, int slot) {
  assert(slot >= 1 && slot <= kSlotCount);
  return world.Animals[static_cast<size_t>(slot)];
}
inline const Animal& AnimalAt(const World& world, int slot) {
  assert(slot >= 1 && slot <= kSlotCount);
  return world.Animals[static_cast<size_t>(slot)];
}

// Files the slot in the position index where its animal now stands, or takes
// a free slot out. Whatever moves an animal or fills a slot calls it.
inline void NotePosition(World& world, int slot) {
  world.positions.Note(world.Animals, slot);
}
// The same right after the slot's animal was put at (x, y).
inline void NoteMoved(World& world, int slot, int16_t x, int16_t y) {
  world.positions.NoteAt(world.Animals, slot, x, y);
}
// After the table was rewritten wholesale (a load, a new world): the next
// query files every slot afresh.
inline void ForgetPositions(World& world) {
  world.positions.Forget();
}

}  // namespace ombrivale

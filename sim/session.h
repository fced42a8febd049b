// The program's session around one world: start-up and the quit dialogue.
//
// The desktop program and ombrivale-run both start through StartUp and run
// the world with SimulationTick; they differ in their seam (a window, or
// none), their display (kept or not) and their clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/world.h"
#include "world/savepoint.h"

namespace ombrivale {

// The option flags start-up sets before the settings file is read. Every
// entry starts unchecked and start-up clicks "Make &Log", "Auto &Restart",
// "Overwrite &Least Evolved", "Auto &Save" and the five "Show &These"
// filters once each, so these are on and real colours off.
struct StartUpOptions {
  bool logOn = true;
  bool autoRestart = true;
  bool overwriteLeast = true;
  bool autoSave = true;
  bool realColours = false;
  DeathFilters filters{true, true, true, true, true, true};
};

struct StartUpPlan {
  StartUpOptions options;
  // "OB.ini"; empty: no settings file is read (the tools), so the options
  // above stand.
  std::string settingsPath;
  // The "AutoSave" folder: the saved world, and where the yearly save goes.
  std::string worldFolder;
  // False: no load is tried and a new world is generated at once.
  bool loadWorld = true;
  // A virtual clock started from this seed; none: the time of day.
  std::optional<uint64_t> seed;
};

// Start-up: the option defaults, the generator's clock, the properties
// window, the settings file, the month names, the saved world or a new one,
// set running, and the first sample of the history. Returns true when the
// saved world was loaded.
bool StartUp(World& world, const StartUpPlan& plan);

// Opens the world saved in `folder` in place of the running one, or refuses
// it. The folder is first read whole into a world of its own, whose first
// damaged file ends the reading (no question is put to the user), so a
// folder that is not a world, or a damaged one, leaves `world` untouched and
// `refusal` names the file and the fault. On success the loaded world (its
// table, map, date, family record, histories and conditions) takes the
// running one's place, keeping the options, the generator's clock, the
// window seam, display and saver, and runs the loaded world's start ("Loaded
// World"); its yearly saves go to `folder`. The file notices met while
// reading (a family record refused, say) are posted on the world's events.
bool OpenWorld(World& world, const std::string& folder, std::string& refusal);

// Goes back to the savepoint `target` of the running world's folder: the
// world it holds, with its histories and family record, takes the running
// one's place as in OpenWorld, its first sample marked as a going back, and
// its yearly saves still go to the folder. Every savepoint written after it
// is kept as one of another branch, and so is the running world as it was
// left (when it keeps savepoints and has animals); the log says "Went Back to YEAR-MONTH",
// and with Auto Save the folder is saved at once. False, with the world
// untouched and `refusal` naming the file and the fault, when the savepoint
// does not read.
bool GoBack(World& world, const SavepointInfo& target, std::string& refusal);

// When the population has died out and goes back rather than restart: to the
// last savepoint at least a year earlier (GoBackPoint). The log says "Died
// Out in YEAR-MONTH" and where it went, or why it could not. False when it
// did not go back.
bool GoBackOnExtinction(World& world);

// The quit dialogue: "Quit Ombrivale?", then "Do you want to save?" (Yes
// saves the world into `worldFolder`, No does not, Cancel keeps running);
// on Yes or No every save asked for is written to the end and the settings
// file is written, `settingsWritten` telling how that went. Returns true when
// the program is to end (a settings file not written does not keep it).
bool Quit(World& world, const std::string& settingsPath, const std::string& worldFolder,
          Status& settingsWritten);

}  // namespace ombrivale

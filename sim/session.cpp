#include "sim/session.h"

#include "core/helpers.h"
#include "sim/new_world.h"
#include "sim/statistics.h"
#include "world/settings_file.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

void SetOptions(World& world, const StartUpOptions& options) {
  world.LogOn = options.logOn ? 1 : 0;
  world.AutoRestart = options.autoRestart ? 1 : 0;
  world.OverwriteLeast = options.overwriteLeast ? 1 : 0;
  world.AutoSave = options.autoSave ? 1 : 0;
  world.RealColours = options.realColours ? 1 : 0;
  world.Filters = options.filters;
}

}  // namespace

bool StartUp(World& world, const StartUpPlan& plan) {
  Seam& seam = SeamOf(world);
  seam.SetPointer(Pointer::Wait);
  SetOptions(world, plan.options);
  if (plan.seed) {
    UseVirtualClock(world, *plan.seed);
  } else {
    UseTimeOfDay(world);
    Reseed(world);
  }
  world.AutoSaveFolder = plan.worldFolder;
  seam.ShowPropertiesWindow();

  if (!plan.settingsPath.empty()) {
    // The settings need somewhere to put the tracked animal and the zoom.
    Display scratch;
    Display& display = world.display != nullptr ? *world.display : scratch;
    WindowPlacement windows[kWindowCount];
    seam.CollectWindowPlacements(windows);
    LoadSettings(world, display, plan.settingsPath, windows);
    seam.ApplyWindowPlacements(windows);
  }
  if (Display* display = world.display) {
    // The properties window's "Find Most Evolved" on a table still empty:
    // no animal is tracked, whatever the settings said.
    display->SelectedAnimal = 0;
  }
  seam.ProcessEvents();
  if (world.display != nullptr) FillMonthNames(*world.display);

  const bool loaded = plan.loadWorld && LoadWorld(world, plan.worldFolder);
  NewWorld(world);
  seam.ProcessEvents();
  seam.SetPointer(Pointer::Default);
  RecordSample(world);
  return loaded;
}

bool Quit(World& world, const std::string& settingsPath, const std::string& worldFolder) {
  Seam& seam = SeamOf(world);
  if (seam.ShowMessageBox("Quit Ombrivale?", "Confirm", Buttons::YesNo) != Answer::Yes) {
    return false;
  }
  const Answer save = seam.ShowMessageBox("Do you want to save?", "Save?", Buttons::YesNoCancel);
  if (save != Answer::Yes && save != Answer::No) return false;
  if (save == Answer::Yes) SaveWorld(world, worldFolder);
  // The program does not end with a save still being written.
  if (world.saves != nullptr) world.saves->Finish(world);
  Display scratch;
  const Display& display = world.display != nullptr ? *world.display : scratch;
  WindowPlacement windows[kWindowCount];
  seam.CollectWindowPlacements(windows);
  // A failed write shows its own box; the program ends all the same.
  SaveSettings(world, display, settingsPath, windows);
  return true;
}

}  // namespace ombrivale

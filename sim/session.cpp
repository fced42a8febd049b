#include "sim/session.h"

#include <memory>

#include "core/helpers.h"
#include "sim/new_world.h"
#include "sim/statistics.h"
#include "world/file_system.h"
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

// The real file system, noting the last file the loader read: a refused
// load names it.
class NotingFileSystem : public PosixFileSystem {
 public:
  Status ReadFile(const std::string& path, std::string& bytes) override {
    lastRead = path;
    return PosixFileSystem::ReadFile(path, bytes);
  }
  std::string lastRead;
};

}  // namespace

bool OpenWorld(World& world, const std::string& folder, std::string& refusal) {
  refusal.clear();
  auto loaded = std::make_unique<World>();
  HeadlessSeam reader;
  reader.defaultAnswer = Answer::Yes;  // "Do you want to cancel this routine?"
  loaded->seam = &reader;
  loaded->LogOn = world.LogOn;
  loaded->RealColours = world.RealColours;
  loaded->events.Listen();
  NotingFileSystem files;
  const bool read = LoadWorld(*loaded, folder, files);
  const std::vector<Event> notices = loaded->events.Drain();
  if (!read) {
    if (!files.lastRead.empty()) refusal = files.lastRead + ":";
    std::vector<std::string> told;
    for (const HeadlessSeam::Box& box : reader.boxes) {
      if (box.buttons == Buttons::Ok) told.push_back(box.text);  // not the questions
    }
    for (const Event& event : notices) {
      for (const Notice& notice : NoticesOf(event))
        told.push_back(notice.text);
    }
    for (const std::string& text : told) {
      if (!refusal.empty()) refusal += '\n';
      refusal += BoxTextOnOneLine(text);
    }
    if (told.empty()) refusal += " could not be read.";
    return false;
  }

  World& next = *loaded;
  next.LogOn = world.LogOn;
  next.AutoRestart = world.AutoRestart;
  next.RealColours = world.RealColours;
  next.OverwriteLeast = world.OverwriteLeast;
  next.AutoSave = world.AutoSave;
  next.savepoints = world.savepoints;
  next.Filters = world.Filters;
  next.AutoSaveFolder = folder;
  next.Rng = world.Rng;
  next.RandomClock = world.RandomClock;
  next.TickCount = world.TickCount;
  next.events = std::move(world.events);
  next.seam = world.seam;
  next.display = world.display;
  next.saves = world.saves;
  world = std::move(next);
  ForgetPositions(world);
  // What was refused while reading (a family record, say) is told to the
  // running world's listener with the rest of its events.
  if (world.events.Listening()) {
    for (const Event& event : notices) {
      if (std::holds_alternative<FileNotice>(event)) world.events.Post(event);
    }
  }
  if (Display* display = world.display) display->SelectedAnimal = 0;
  NewWorld(world);
  RecordSample(world);
  return true;
}

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

bool Quit(World& world, const std::string& settingsPath, const std::string& worldFolder,
          Status& settingsWritten) {
  settingsWritten = Status::OK();
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
  settingsWritten = SaveSettings(world, display, settingsPath, windows);
  return true;
}

}  // namespace ombrivale

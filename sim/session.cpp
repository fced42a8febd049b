#include "sim/session.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "core/helpers.h"
#include "core/log.h"
#include "sim/new_world.h"
#include "sim/statistics.h"
#include "world/file_system.h"
#include "world/savepoint.h"
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

// Opens the world saved in `folder` (see OpenWorld); its yearly saves go to
// `savesTo`. With `wentBack` its first sample is marked as the world going
// back to a savepoint.
bool OpenWorldFrom(World& world, const std::string& folder, const std::string& savesTo,
                   bool wentBack, std::string& refusal) {
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
  next.AutoSaveFolder = savesTo;
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
  world.history.wentBackPending = wentBack;
  RecordSample(world);
  return true;
}

}  // namespace

bool OpenWorld(World& world, const std::string& folder, std::string& refusal) {
  return OpenWorldFrom(world, folder, folder, false, refusal);
}

bool GoBack(World& world, const SavepointInfo& chosen, std::string& refusal) {
  refusal.clear();
  const std::string folder = world.AutoSaveFolder;
  // Every savepoint asked for so far is written before any is looked for or
  // set aside. Since it was chosen, a yearly one may have become a decade one
  // (another file) or gone: it is found again by its number and date.
  if (world.saves != nullptr) world.saves->Finish(world);
  std::vector<SavepointInfo> all;
  ListSavepoints(folder, all);
  const auto kept = std::find_if(all.begin(), all.end(), [&chosen](const SavepointInfo& info) {
    return info.number == chosen.number && info.year == chosen.year && info.month == chosen.month;
  });
  if (kept == all.end()) {
    refusal = "The savepoint of " + YearMonthText(chosen.year, chosen.month) +
              " is no longer kept: yearly ones are thinned to one a decade after ten years, and "
              "the oldest go when the savepoints outgrow their cap.";
    return false;
  }
  const SavepointInfo target = *kept;
  std::error_code error;
  std::string scratch = (std::filesystem::temp_directory_path(error) / "ombrivale-back-XXXXXX");
  if (error || mkdtemp(scratch.data()) == nullptr) {
    refusal = FileErrorText(Status::IOError(std::strerror(errno), errno), scratch);
    return false;
  }
  PosixFileSystem files;
  bool opened = false;
  if (Status extracted = ExtractSavepoint(files, target.path, scratch); !extracted.ok()) {
    refusal = FileErrorText(extracted);
  } else {
    // The world as it was left is kept on its branch.
    if (world.savepoints.on && world.AnimalCount > 0) {
      AskSavepoint(world, SavepointKind::Branch, "left when the world went back");
      if (world.saves != nullptr) world.saves->Finish(world);
    }
    opened = OpenWorldFrom(world, scratch, folder, true, refusal);
    if (!opened) refusal = target.path + ": " + refusal;
  }
  std::filesystem::remove_all(scratch, error);
  if (!opened) return false;

  const Status setAside = SetAsideLaterSavepoints(files, folder, target.number);
  LogMessage(world, "Went Back to " + YearMonthText(target.year, target.month));
  if (!setAside.ok()) {
    PostFileNotice(world, setAside, "ERROR",
                   "The later savepoints were not all kept as another branch.");
  }
  // The folder holds the world it went back to, as a new world's would.
  if (world.saves != nullptr && world.AutoSave != 0) world.saves->Start(world, folder);
  return true;
}

bool GoBackOnExtinction(World& world) {
  const int32_t year = world.Year;
  const int16_t month = world.Month;
  if (world.saves != nullptr) world.saves->Finish(world);
  // Dead again within a year of the last extinction it went back from: the
  // same savepoint would lead to the same end, so further back.
  SavepointOptions& options = world.savepoints;
  const int64_t diedAt = MonthsOf(year, month);
  const bool again = options.wentBackTo != 0 && diedAt < options.diedAt + 12;
  const uint64_t before = again ? options.wentBackTo : UINT64_MAX;
  std::vector<SavepointInfo> all;
  SavepointInfo target;
  if (world.AutoSaveFolder.empty() || !ListSavepoints(world.AutoSaveFolder, all).ok() ||
      !GoBackPoint(all, year, month, target, before)) {
    options.wentBackTo = 0;
    LogMessage(world, "Died Out in " + YearMonthText(year, month) + ", No Savepoint to Go Back To");
    return false;
  }
  LogMessage(world, "Died Out in " + YearMonthText(year, month));
  std::string refusal;
  if (!GoBack(world, target, refusal)) {
    LogMessage(world, "Not Gone Back: " + BoxTextOnOneLine(refusal));
    return false;
  }
  world.savepoints.wentBackTo = target.number;
  world.savepoints.diedAt = again ? std::max(options.diedAt, diedAt) : diedAt;
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

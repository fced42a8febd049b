// Command line of the headless runner, ombrivale-run.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/conditions.h"
#include "core/status.h"
#include "world/map_colouring.h"

namespace ombrivale::tools {

inline constexpr const char kRunUsage[] =
    "usage: ombrivale-run --world DIR [--new] [--seed N] [--ticks N | --years N]\n"
    "                     [--save] [--autosave] [--stats FILE]\n"
    "                     [--no-overwrite-least] [--no-auto-restart] [--quiet]\n"
    "                     [--import FILE...] [--phylogeny FILE]... [--lineage-csv FILE]\n"
    "                     [--frames DIR --frame-months N [--colour-by WHAT]\n"
    "                      [--frame-scale K]]\n"
    "                     [--set NAME=VALUE]...\n"
    "                     [--savepoints [--savepoint-cap MB] [--go-back]]\n"
    "                     [--savepoint LABEL|YEAR-MONTH]\n"
    "       ombrivale-run --world DIR --list-savepoints\n"
    "\n"
    "Loads the world saved in DIR (or makes a new one when DIR holds none, or\n"
    "with --new), then runs N ticks or until N more years have turned (none\n"
    "when neither is given).\n"
    "  --seed N              reproducible run from seed N (default: time of day)\n"
    "  --save                save the world into DIR at the end\n"
    "  --autosave            save into DIR at every turn of the year\n"
    "  --stats FILE          one CSV row per simulated month\n"
    "  --no-overwrite-least  newborns do not replace the least evolved animal\n"
    "  --no-auto-restart     no new world when the population dies out\n"
    "  --quiet               no yearly date lines on standard output\n"
    "  --import FILE...      before the run, lay one egg of each animal file\n"
    "                        (A_<slot>.OBG layout) at the position and of the\n"
    "                        sex it holds\n"
    "  --phylogeny FILE      at the end, the species tree: the ALife phylogeny\n"
    "                        table when FILE ends in .csv, else Newick (one tree\n"
    "                        per world, branch lengths in years); may be given\n"
    "                        more than once\n"
    "  --lineage-csv FILE    at the end, the family record as an ALife phylogeny\n"
    "                        table (both parents in ancestor_list)\n"
    "  --frames DIR          the mini map as DIR/frame-000000.png, -000001.png ...\n"
    "                        at the start and every N months (--frame-months N)\n"
    "  --colour-by WHAT      the animals' colours in the frames: real (default),\n"
    "                        species, species-golden, generation, age, hunger,\n"
    "                        score, stage, sex, diet, breathing, covering, or a\n"
    "                        gene (adult.Body.Height, infant.Head.Diet,\n"
    "                        Unborn.EggSize ...)\n"
    "  --frame-scale K       each cell K x K pixels (1..16, default 2)\n"
    "  --set NAME=VALUE      a world condition, after the load or the new world\n"
    "                        (saved with the world; repeatable):\n"
    "                          mutation_passes  0..50, default 5: mutation\n"
    "                                           passes per young\n"
    "                          sea_level_drift  0 or 1, default 1: the yearly\n"
    "                                           move of the sea level\n"
    "                          food_scale       0..10, default 1: factor on the\n"
    "                                           food the yearly change makes\n"
    "  --savepoints          keep savepoints in DIR/Savepoints (turns on\n"
    "                        --autosave): one at each yearly save, kept for\n"
    "                        10 years and one per decade before; one when a\n"
    "                        new species appears; one before a dead world is\n"
    "                        replaced\n"
    "  --savepoint-cap MB    the savepoints' size in all (default 200); the\n"
    "                        oldest not marked go first\n"
    "  --go-back             when the population dies out, go back to the last\n"
    "                        savepoint at least a year earlier, in place of a\n"
    "                        new world (a new one when there is none)\n"
    "  --savepoint WHICH     start from the savepoint of that label, or the\n"
    "                        latest of that date (YEAR-MONTH, e.g. 34-1); its\n"
    "                        saves go into DIR\n"
    "  --list-savepoints     print one line per savepoint of DIR, oldest first:\n"
    "                        its YEAR-MONTH, kind and label, then stop\n"
    "Exit status: 0 done, 1 the world could not be loaded or saved, an animal\n"
    "file could not be imported or a file asked for could not be written, 2 bad\n"
    "arguments.\n";

struct RunOptions {
  enum class Length : uint8_t { None, Ticks, Years };

  std::string world;  // the "AutoSave"-layout folder
  bool newWorld = false;
  std::optional<uint64_t> seed;
  Length length = Length::None;
  uint64_t count = 0;  // ticks or years
  bool save = false;
  bool autosave = false;
  std::string stats;  // CSV path; empty for none
  bool overwriteLeast = true;
  bool autoRestart = true;
  bool quiet = false;
  std::vector<std::string> imports;    // animal files dropped before the run
  std::vector<std::string> phylogeny;  // species tree files written at the end
  std::string lineageCsv;              // the family record's table; empty for none
  std::string frames;                  // the frames' folder; empty for none
  uint64_t frameMonths = 0;            // months between two frames
  ColourChoice colourBy;
  uint64_t frameScale = 2;  // pixels per cell, each way
  // --set: conditions (core/conditions.h) by index, in the order given,
  // applied to the world once loaded or made.
  std::vector<std::pair<int, double>> conditions;
  bool savepoints = false;
  uint64_t savepointCapMb = 200;
  std::string savepoint;  // a label or YEAR-MONTH; empty: none
  bool listSavepoints = false;
  bool goBack = false;  // on extinction, to a savepoint
  bool help = false;
};

namespace detail {

inline std::optional<uint64_t> ParseCount(std::string_view text) {
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

}  // namespace detail

// Reads the arguments (without the program name) into `options`. Returns OK
// when they are sound, else InvalidArgument saying what is wrong with them. Options
// take their value as the next argument or after '=' (--ticks=100).
inline Status ParseRunOptions(const std::vector<std::string>& args, RunOptions& options) {
  options = RunOptions{};
  bool sawWorld = false;
  bool sawColour = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> inlineValue;
    if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.resize(eq);
    }
    auto value = [&](std::string& out) -> Status {
      if (inlineValue) {
        out = *inlineValue;
      } else if (i + 1 < args.size()) {
        out = args[++i];
      } else {
        return Status::InvalidArgument(name + " needs a value");
      }
      if (out.empty()) return Status::InvalidArgument(name + " needs a value");
      return Status::OK();
    };
    auto count = [&](uint64_t& out) -> Status {
      std::string text;
      if (Status error = value(text); !error.ok()) return error;
      const std::optional<uint64_t> parsed = detail::ParseCount(text);
      if (!parsed)
        return Status::InvalidArgument(name + " wants a whole number, not '" + text + "'");
      out = *parsed;
      return Status::OK();
    };
    auto flag = [&](bool& out) -> Status {
      if (inlineValue) return Status::InvalidArgument(name + " takes no value");
      out = true;
      return Status::OK();
    };

    Status error;
    if (name == "--world") {
      error = value(options.world);
      sawWorld = true;
    } else if (name == "--new") {
      error = flag(options.newWorld);
    } else if (name == "--seed") {
      uint64_t seed = 0;
      error = count(seed);
      options.seed = seed;
    } else if (name == "--ticks" || name == "--years") {
      const auto length = name == "--ticks" ? RunOptions::Length::Ticks : RunOptions::Length::Years;
      if (options.length != RunOptions::Length::None) {
        error = Status::InvalidArgument("give --ticks or --years once");
      } else {
        error = count(options.count);
        options.length = length;
      }
    } else if (name == "--save") {
      error = flag(options.save);
    } else if (name == "--autosave") {
      error = flag(options.autosave);
    } else if (name == "--stats") {
      error = value(options.stats);
    } else if (name == "--no-overwrite-least") {
      bool off = false;
      error = flag(off);
      options.overwriteLeast = false;
    } else if (name == "--no-auto-restart") {
      bool off = false;
      error = flag(off);
      options.autoRestart = false;
    } else if (name == "--quiet") {
      error = flag(options.quiet);
    } else if (name == "--import") {
      // Every argument up to the next option is a file.
      if (inlineValue) options.imports.push_back(*inlineValue);
      while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0)
        options.imports.push_back(args[++i]);
      if (options.imports.empty()) error = Status::InvalidArgument("--import needs a file");
    } else if (name == "--phylogeny") {
      error = value(options.phylogeny.emplace_back());
    } else if (name == "--lineage-csv") {
      error = value(options.lineageCsv);
    } else if (name == "--frames") {
      error = value(options.frames);
    } else if (name == "--frame-months") {
      error = count(options.frameMonths);
      if (error.ok() && options.frameMonths == 0)
        error = Status::InvalidArgument("--frame-months wants 1 or more");
    } else if (name == "--frame-scale") {
      error = count(options.frameScale);
      if (error.ok() && (options.frameScale < 1 || options.frameScale > 16)) {
        error = Status::InvalidArgument("--frame-scale wants 1..16");
      }
    } else if (name == "--colour-by") {
      std::string text;
      error = value(text);
      const std::optional<ColourChoice> choice = ParseColourChoice(text);
      if (error.ok() && !choice)
        error = Status::InvalidArgument("--colour-by: no colouring named '" + text + "'");
      if (choice) options.colourBy = *choice;
      sawColour = true;
    } else if (name == "--set") {
      std::string setting;
      error = value(setting);
      Conditions scratch;
      if (error.ok()) {
        error = ParseConditionSetting(setting, scratch);
        if (!error.ok()) error = Status::InvalidArgument("--set: " + std::string(error.message()));
      }
      if (error.ok()) {
        const int index = FindCondition(setting.substr(0, setting.find('=')));
        options.conditions.emplace_back(index, ConditionValue(scratch, index));
      }
    } else if (name == "--savepoints") {
      error = flag(options.savepoints);
    } else if (name == "--savepoint-cap") {
      error = count(options.savepointCapMb);
    } else if (name == "--savepoint") {
      error = value(options.savepoint);
    } else if (name == "--go-back") {
      error = flag(options.goBack);
    } else if (name == "--list-savepoints") {
      error = flag(options.listSavepoints);
    } else if (name == "--help" || name == "-h") {
      options.help = true;
      return Status::OK();
    } else {
      error = Status::InvalidArgument("unknown argument '" + args[i] + "'");
    }
    if (!error.ok()) return error;
  }
  if (!sawWorld) return Status::InvalidArgument("--world DIR is required");
  if (!options.savepoint.empty() && options.newWorld)
    return Status::InvalidArgument("--savepoint and --new go separately");
  if (options.goBack && !options.savepoints)
    return Status::InvalidArgument("--go-back goes back to --savepoints");
  if (options.savepoints) options.autosave = true;
  if (options.frames.empty() != (options.frameMonths == 0)) {
    return Status::InvalidArgument("--frames DIR and --frame-months N go together");
  }
  if (options.frames.empty() && sawColour)
    return Status::InvalidArgument("--colour-by colours the --frames");
  return Status::OK();
}

}  // namespace ombrivale::tools

// Command line of the headless runner, ombrivale-run.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrivale::tools {

inline constexpr const char kRunUsage[] =
    "usage: ombrivale-run --world DIR [--new] [--seed N] [--ticks N | --years N]\n"
    "                     [--save] [--autosave] [--stats FILE]\n"
    "                     [--no-overwrite-least] [--no-auto-restart] [--quiet]\n"
    "                     [--import FILE...]\n"
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
    "Exit status: 0 done, 1 the world could not be loaded or saved or an animal\n"
    "file could not be imported, 2 bad arguments.\n";

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
  std::vector<std::string> imports;  // animal files dropped before the run
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

// Reads the arguments (without the program name) into `options`. Returns an
// empty string when they are sound, else what is wrong with them. Options
// take their value as the next argument or after '=' (--ticks=100).
inline std::string ParseRunOptions(const std::vector<std::string>& args, RunOptions& options) {
  options = RunOptions{};
  bool sawWorld = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> inlineValue;
    if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.resize(eq);
    }
    auto value = [&](std::string& out) -> std::string {
      if (inlineValue) {
        out = *inlineValue;
      } else if (i + 1 < args.size()) {
        out = args[++i];
      } else {
        return name + " needs a value";
      }
      if (out.empty()) return name + " needs a value";
      return {};
    };
    auto count = [&](uint64_t& out) -> std::string {
      std::string text;
      if (std::string error = value(text); !error.empty()) return error;
      const std::optional<uint64_t> parsed = detail::ParseCount(text);
      if (!parsed) return name + " wants a whole number, not '" + text + "'";
      out = *parsed;
      return {};
    };
    auto flag = [&](bool& out) -> std::string {
      if (inlineValue) return name + " takes no value";
      out = true;
      return {};
    };

    std::string error;
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
        error = "give --ticks or --years once";
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
      if (options.imports.empty()) error = "--import needs a file";
    } else if (name == "--help" || name == "-h") {
      options.help = true;
      return {};
    } else {
      error = "unknown argument '" + args[i] + "'";
    }
    if (!error.empty()) return error;
  }
  if (!sawWorld) return "--world DIR is required";
  return {};
}

}  // namespace ombrivale::tools

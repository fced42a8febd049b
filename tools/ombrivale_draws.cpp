// ombrivale-draws: writes the world generator's draws, in the order and with
// the reseeds a tick makes them, to standard output as raw 32-bit words, for
// a battery of randomness tests (scripts/random-battery runs dieharder on
// them).
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "core/world.h"

namespace ombrivale::tools {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFault = 1;
constexpr int kExitBadArguments = 2;

// Animal steps between two readings of the held time of day: one tick's.
constexpr int kStepsPerTick = 750;
// The held reading's advance from one tick to the next: the coarse clock's
// resolution, about what a tick of this size takes.
constexpr double kTickSeconds = 0.004;
// Words written at a time.
constexpr size_t kBufferWords = size_t{1} << 16;

constexpr const char kUsage[] =
    "usage: ombrivale-draws [--seed N | --time-of-day] [--forage-share P]\n"
    "                       [--bits high|low] [--count N]\n"
    "\n"
    "Writes the world generator's draws to standard output as raw 32-bit words\n"
    "(native byte order), one word a draw, made as a tick makes them: a roaming\n"
    "animal's step reseeds twice, then twice reseeds and draws; a foraging\n"
    "animal's reseeds twice, then eight times reseeds and draws.\n"
    "  --seed N           the virtual clock from seed N (default 1)\n"
    "  --time-of-day      the held clock: one reading for each tick of 750 animal\n"
    "                     steps, starting at second N of the day (N: the seed)\n"
    "                     and advancing 4 ms a tick, in place of the real clock\n"
    "  --forage-share P   share of the steps that forage (default 0.35), chosen\n"
    "                     by a generator of its own seeded with N\n"
    "  --bits high|low    the top (default) or low 32 bits of each 64-bit draw\n"
    "  --count N          stop after N words (default: never)\n";

struct Options {
  uint64_t seed = 1;
  bool timeOfDay = false;
  double forageShare = 0.35;
  bool highBits = true;
  bool counted = false;
  uint64_t count = 0;
};

bool ParseUnsigned(const char* text, uint64_t& value) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoull(text, &end, 10);
  return errno == 0 && *end == '\0';
}

bool ParseShare(const char* text, double& value) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  value = std::strtod(text, &end);
  return *end == '\0' && value >= 0.0 && value <= 1.0;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == "--seed") {
      if (!ParseUnsigned(next, options.seed)) return false;
      ++i;
    } else if (arg == "--time-of-day") {
      options.timeOfDay = true;
    } else if (arg == "--forage-share") {
      if (!ParseShare(next, options.forageShare)) return false;
      ++i;
    } else if (arg == "--bits") {
      if (next == nullptr || (std::strcmp(next, "high") != 0 && std::strcmp(next, "low") != 0))
        return false;
      options.highBits = std::strcmp(next, "high") == 0;
      ++i;
    } else if (arg == "--count") {
      if (!ParseUnsigned(next, options.count)) return false;
      options.counted = true;
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

// The world's clock as the options give it: the virtual clock from the seed,
// or a held reading standing in for the time of day.
void SetClock(World& world, const Options& options) {
  UseVirtualClock(world, options.seed);
  if (!options.timeOfDay) return;
  UseTimeOfDay(world);
  world.RandomClock.held = true;
  world.RandomClock.heldReading = static_cast<double>(options.seed % 86400u);
}

// The next tick's held reading.
void AdvanceHeldClock(World& world) {
  double& reading = world.RandomClock.heldReading;
  reading += kTickSeconds;
  if (reading >= 86400.0) reading -= 86400.0;
}

// One animal step's reseeds and draws, as ReseedAndDrawSigns makes them
// (`reseeds` reseeds, then `draws` reseeds each followed by a draw), with
// each draw's 64 bits handed to `take`.
template <typename Take>
void StepDraws(World& world, int reseeds, int draws, Take&& take) {
  for (int i = 0; i < reseeds; ++i)
    Reseed(world);
  for (int k = 0; k < draws; ++k) {
    Reseed(world);
    take(RndBits(world));
  }
}

// Whether StepDraws leaves the generator and the clock where the tick's own
// ReseedAndDrawSigns does, with the same signs, for both of the tick's
// patterns (the roam's and the forage's, the latter reading some signs and
// stepping past the rest) over a few hundred steps.
bool StepDrawsMatchTick(const Options& options) {
  struct Pattern {
    int reseeds, signs;
    uint32_t read;
  };
  constexpr Pattern kPatterns[] = {{2, 2, 3u}, {1, 8, 0xFFu}, {1, 8, 0x3Cu}, {1, 8, 0u}};
  auto mine = std::make_unique<World>();
  auto tick = std::make_unique<World>();
  SetClock(*mine, options);
  SetClock(*tick, options);
  for (int step = 0; step < 300; ++step) {
    const Pattern& p = kPatterns[step % std::size(kPatterns)];
    uint32_t signs = 0;
    int k = 0;
    StepDraws(*mine, p.reseeds, p.signs, [&](uint64_t bits) {
      if ((p.read >> k) & 1u) signs |= static_cast<uint32_t>(bits >> 63) << k;
      ++k;
    });
    const uint32_t tickSigns = ReseedAndDrawSigns(*tick, p.reseeds, p.signs, p.read);
    if (signs != tickSigns || mine->Rng.state != tick->Rng.state ||
        mine->RandomClock.virtualSeconds != tick->RandomClock.virtualSeconds) {
      return false;
    }
  }
  return true;
}

int Run(const Options& options) {
  if (!StepDrawsMatchTick(options)) {
    std::fputs("ombrivale-draws: the draws differ from the tick's ReseedAndDrawSigns\n", stderr);
    return kExitFault;
  }
  auto world = std::make_unique<World>();
  SetClock(*world, options);
  // Which steps forage: a generator apart from the world's, which it never
  // touches.
  std::mt19937_64 chooser(options.seed);
  std::bernoulli_distribution forages(options.forageShare);

  std::vector<uint32_t> buffer(kBufferWords);
  size_t filled = 0;
  uint64_t left = options.count;
  bool done = options.counted && left == 0;
  const auto take = [&](uint64_t bits) {
    if (done) return;
    buffer[filled++] = static_cast<uint32_t>(options.highBits ? bits >> 32 : bits);
    if (options.counted && --left == 0) done = true;
  };
  const auto flush = [&] {
    const bool written = std::fwrite(buffer.data(), sizeof(uint32_t), filled, stdout) == filled;
    filled = 0;
    return written;
  };
  int step = 0;
  while (!done) {
    // Room for the largest step's draws.
    if (kBufferWords - filled < 8 && !flush()) return kExitFault;
    if (forages(chooser)) {
      StepDraws(*world, 2, 8, take);
    } else {
      StepDraws(*world, 2, 2, take);
    }
    if (++step == kStepsPerTick) {
      step = 0;
      if (options.timeOfDay) AdvanceHeldClock(*world);
    }
  }
  if (!flush() || std::fflush(stdout) != 0) return kExitFault;
  return kExitOk;
}

}  // namespace
}  // namespace ombrivale::tools

int main(int argc, char** argv) {
  ombrivale::tools::Options options;
  if (!ombrivale::tools::ParseOptions(argc, argv, options)) {
    std::fputs(ombrivale::tools::kUsage, stderr);
    return ombrivale::tools::kExitBadArguments;
  }
  return ombrivale::tools::Run(options);
}

#include "world/species_history_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <limits>

#include "world/world_files.h"

namespace ombrivale {
namespace {

constexpr int kHeaderLines = 5;
constexpr int64_t kTopMonth = int64_t{1} << 62;

void AppendNumber(std::string& out, int64_t value, char after) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  out += after;
}

// Reads a line's blank-separated values one by one.
class LineReader {
 public:
  LineReader(std::string_view line, int number) : line_(line), number_(number) {}

  // The next value within low..high; false (and the fault in `problem`) when
  // there is none or it is not such a number.
  bool Next(int64_t low, int64_t high, const char* what, int64_t& value, std::string& problem) {
    std::string_view token;
    if (!Token(token)) {
      problem = Where() + "ends before " + what;
      return false;
    }
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size()) {
      problem = Where() + what + " '" + std::string(token) + "' is not a whole number";
      return false;
    }
    if (value < low || value > high) {
      problem = Where() + what + " " + std::string(token) + " is out of range";
      return false;
    }
    return true;
  }
  bool Token(std::string_view& token) {
    while (at_ < line_.size() && line_[at_] == ' ')
      ++at_;
    const size_t start = at_;
    while (at_ < line_.size() && line_[at_] != ' ')
      ++at_;
    token = line_.substr(start, at_ - start);
    return !token.empty();
  }
  bool AtEnd() {
    std::string_view token;
    return !Token(token);
  }
  std::string Where() const { return "line " + std::to_string(number_) + ": "; }

 private:
  std::string_view line_;
  size_t at_ = 0;
  int number_;
};

std::string ParseSpecies(LineReader& in, SpeciesHistory& read) {
  std::string problem;
  int64_t v[6];
  const int64_t previous = read.species.empty() ? 0 : read.species.back().number;
  const int64_t lastMonth = static_cast<int64_t>(read.nextMonth) - 1;
  if (!in.Next(previous + 1, std::numeric_limits<int32_t>::max(), "the species number", v[0],
               problem) ||
      !in.Next(0, v[0] - 1, "the parent", v[1], problem) ||
      !in.Next(0, read.world, "the world", v[2], problem) ||
      !in.Next(0, lastMonth, "the first month", v[3], problem) ||
      !in.Next(v[3], lastMonth, "the last month", v[4], problem) ||
      !in.Next(1, kSlotCount, "the peak", v[5], problem)) {
    return problem;
  }
  SpeciesLife life;
  life.number = static_cast<int32_t>(v[0]);
  life.parent = static_cast<int32_t>(v[1]);
  life.world = static_cast<uint32_t>(v[2]);
  life.first = static_cast<uint64_t>(v[3]);
  life.last = static_cast<uint64_t>(v[4]);
  life.peak = static_cast<uint16_t>(v[5]);
  if (life.parent != 0 && FindSpeciesLife(read, life.parent) == nullptr) {
    return in.Where() + "the parent " + std::to_string(life.parent) + " is not listed before it";
  }
  const uint64_t span = life.last / read.grain - life.first / read.grain + 1;
  for (uint64_t i = 0; i < span; ++i) {
    int64_t count = 0;
    if (!in.Next(1, life.peak, "a count", count, problem)) return problem;
    life.counts.push_back(static_cast<uint16_t>(count));
  }
  // The representative: the animal file's 128 lines, read by its own reader.
  std::string animal;
  std::string_view token;
  for (int i = 0; i < kAnimalFileLines; ++i) {
    if (!in.Token(token)) return in.Where() + "ends before the representative's 128 values";
    animal.append(token).append("\r\n");
  }
  if (const Status error = ParseAnimalFile(animal, life.representative); !error.ok()) {
    return in.Where() + "the representative's value " + std::to_string(error.where()) + ": " +
           std::string(error.message());
  }
  if (!in.AtEnd()) return in.Where() + "more values than its months and genes";
  read.points += life.counts.size();
  read.species.push_back(std::move(life));
  return {};
}

}  // namespace

void SpeciesHistoryText(const SpeciesHistory& history, std::string& out) {
  out.clear();
  AppendNumber(out, static_cast<int64_t>(history.grain), '\r');
  out += '\n';
  AppendNumber(out, static_cast<int64_t>(history.nextMonth), '\r');
  out += '\n';
  AppendNumber(out, history.world, '\r');
  out += '\n';
  AppendNumber(out, history.adultsGrouped, '\r');
  out += '\n';
  AppendNumber(out, static_cast<int64_t>(history.species.size()), '\r');
  out += '\n';
  std::string genes;
  for (const SpeciesLife& life : history.species) {
    AppendNumber(out, life.number, ' ');
    AppendNumber(out, life.parent, ' ');
    AppendNumber(out, life.world, ' ');
    AppendNumber(out, static_cast<int64_t>(life.first), ' ');
    AppendNumber(out, static_cast<int64_t>(life.last), ' ');
    AppendNumber(out, life.peak, ' ');
    for (const uint16_t count : life.counts)
      AppendNumber(out, count, ' ');
    AnimalFileText(life.representative, genes);
    std::replace(genes.begin(), genes.end(), '\n', ' ');
    genes.erase(std::remove(genes.begin(), genes.end(), '\r'), genes.end());
    genes.back() = '\r';
    out += genes;
    out += '\n';
  }
}

Status ParseSpeciesHistory(std::string_view text, SpeciesHistory& history) {
  SpeciesHistory read;
  int64_t header[kHeaderLines] = {};
  int number = 0;
  while (!text.empty()) {
    const size_t cut = text.find('\n');
    ++number;
    if (cut == std::string_view::npos) {
      return Status::Corruption("line " + std::to_string(number) +
                                " is cut short (no end of line)");
    }
    std::string_view line = text.substr(0, cut);
    text.remove_prefix(cut + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    LineReader in(line, number);
    std::string problem;
    if (number <= kHeaderLines) {
      static constexpr const char* kWhat[kHeaderLines] = {"the grain", "the next month",
                                                          "the world", "the adults", "the species"};
      const int64_t high[kHeaderLines] = {kTopMonth, kTopMonth,
                                          std::numeric_limits<uint32_t>::max(), kSlotCount,
                                          std::numeric_limits<int32_t>::max()};
      const size_t at = static_cast<size_t>(number - 1);
      if (!in.Next(at == 0 ? 1 : 0, high[at], kWhat[at], header[at], problem))
        return Status::Corruption(problem);
      if (!in.AtEnd()) return Status::Corruption(in.Where() + "more than one value");
      if (at == 0 && (header[0] & (header[0] - 1)) != 0) {
        return Status::Corruption(in.Where() + "the grain is not a power of two");
      }
      read.grain = static_cast<uint64_t>(header[0]);
      read.nextMonth = static_cast<uint64_t>(header[1]);
      read.world = static_cast<uint32_t>(header[2]);
      read.adultsGrouped = static_cast<int32_t>(header[3]);
      continue;
    }
    if (static_cast<int64_t>(read.species.size()) == header[4]) {
      return Status::Corruption(in.Where() + "more species than the " + std::to_string(header[4]) +
                                " of line 5");
    }
    if (problem = ParseSpecies(in, read); !problem.empty()) return Status::Corruption(problem);
  }
  if (number < kHeaderLines || static_cast<int64_t>(read.species.size()) != header[4]) {
    return Status::Corruption("the file ends after line " + std::to_string(number) +
                              ", before its last species");
  }
  AdoptGrouping(read, {}, {});
  if (Status fault = CheckSpeciesHistory(read); !fault.ok()) return fault;
  history = std::move(read);
  return Status::OK();
}

void LoadSpeciesHistoryFile(World& world, FileSystem& files, const std::string& folder) {
  SpeciesHistory history;
  std::string bytes;
  const Status error = files.ReadFile(folder + "/" + kSpeciesFileName, bytes);
  std::string problem;
  if (!error.ok() && error.number() != ENOENT) problem = ErrorDescription(error);
  if (error.ok()) problem = ParseSpeciesHistory(bytes, history).message();
  // Its months are the statistics history's: without that history (a folder
  // without stats.csv, or one whose stats.csv was refused, as its own box
  // said) it goes too.
  if (world.history.recorded == 0) history = SpeciesHistory{};
  if (problem.empty() && history.nextMonth > world.history.recorded) {
    problem = "its last grouping comes after the last month of stats.csv";
  }
  for (size_t slot = 1; slot <= kSlotCount && problem.empty(); ++slot) {
    const int32_t number = world.species.speciesOfSlot[slot];
    const SpeciesLife* life = number > 0 ? FindSpeciesLife(history, number) : nullptr;
    if (life != nullptr && !IsLiving(history, *life)) {
      problem = "species " + std::to_string(number) + " of lineage.dat has died out in it";
    }
  }
  if (!problem.empty()) {
    RefuseFile(world, Status::Corruption(problem).SetFile(kSpeciesFileName), "History Not Loaded",
               "the world goes on with an empty species history.");
    history = SpeciesHistory{};
  }
  AdoptGrouping(history, world.species.speciesOfSlot, world.lineage.idOfSlot);
  if (!history.species.empty()) {
    world.species.nextSpecies =
        std::max(world.species.nextSpecies, history.species.back().number + 1);
  }
  world.speciesHistory = std::move(history);
}

}  // namespace ombrivale

#include "world/lineage_file.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "core/rules.h"

namespace ombrivale {
namespace {

void Append(char*& end, int64_t value, char after) {
  end = std::to_chars(end, end + 24, value).ptr;
  *end++ = after;
}

constexpr const char* kFieldNames[kLineageFields] = {
    "id",         "sex-0 parent",      "sex-1 parent", "birth year", "birth month",
    "generation", "evolvedness count", "slot",         "species"};

std::string LineText(int number) {
  return "line " + std::to_string(number);
}

// The blank-separated numbers of one line, each within [low, high]; an
// empty string or what is wrong with them.
std::string ReadNumbers(int number, std::string_view line, std::span<int64_t> values,
                        std::span<const int64_t> low, std::span<const int64_t> high,
                        std::span<const char* const> names) {
  size_t at = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
      ++at;
    if (at == line.size()) {
      return i == 0 ? LineText(number) + " is empty"
                    : LineText(number) + " is cut short: no " + names[i];
    }
    const auto result = std::from_chars(line.data() + at, line.data() + line.size(), values[i]);
    const auto field = [&line, at] {  // for a message, at most some 20 characters of it
      const size_t end = line.find_first_of(" \t", at);
      std::string text(line.substr(at, end == std::string_view::npos ? end : end - at));
      if (text.size() > 24) text.replace(20, std::string::npos, "...");
      return text;
    };
    if (result.ec == std::errc::invalid_argument ||
        (result.ptr != line.data() + line.size() && *result.ptr != ' ' && *result.ptr != '\t')) {
      return LineText(number) + ", " + names[i] + ": '" + field() + "' is not a number";
    }
    if (result.ec == std::errc::result_out_of_range || values[i] < low[i] || values[i] > high[i]) {
      return LineText(number) + ", " + names[i] + ": " + field() + " is out of range (" +
             std::to_string(low[i]) + ".." + std::to_string(high[i]) + ")";
    }
    at = static_cast<size_t>(result.ptr - line.data());
  }
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
    ++at;
  if (at != line.size())
    return LineText(number) + " has more than " + std::to_string(values.size()) + " numbers";
  return {};
}

bool OnlyBlanks(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

void LineageText(const Lineage& lineage, std::span<const Animal> animals,
                 std::span<const int32_t> speciesOfSlot, int32_t nextSpecies, std::string& out) {
  out.clear();
  const std::vector<LineageEntry>& entries = lineage.entries;
  out.reserve(entries.size() * 40 + 32);
  // The slot of each living entry, found through the slot table.
  std::vector<std::pair<uint64_t, int>> living;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const uint64_t id = LivingId(lineage, animals, slot);
    if (id != 0) living.emplace_back(id, slot);
  }
  std::sort(living.begin(), living.end());
  char line[kLineageFields * 24];
  char* end = line;
  Append(end, static_cast<int64_t>(lineage.nextId), '\r');
  *end++ = '\n';
  Append(end, nextSpecies, '\r');
  *end++ = '\n';
  out.append(line, end);
  size_t next = 0;
  for (const LineageEntry& e : entries) {
    while (next < living.size() && living[next].first < e.id)
      ++next;
    const int slot = next < living.size() && living[next].first == e.id ? living[next].second : 0;
    end = line;
    Append(end, static_cast<int64_t>(e.id), ' ');
    Append(end, static_cast<int64_t>(e.parents[0]), ' ');
    Append(end, static_cast<int64_t>(e.parents[1]), ' ');
    Append(end, e.birthYear, ' ');
    Append(end, e.birthMonth, ' ');
    Append(end, e.generation, ' ');
    Append(end, e.primordialCount, ' ');
    Append(end, slot, ' ');
    Append(end, slot != 0 ? speciesOfSlot[static_cast<size_t>(slot)] : 0, '\r');
    *end++ = '\n';
    out.append(line, end);
  }
}

namespace {

constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();

// Line 1 (the next id) or line 2 (the next species).
Status ReadHeaderLine(int number, std::string_view line, LoadedLineage& read) {
  int64_t value = 0;
  const int64_t low[] = {1};
  const int64_t high[] = {number == 1 ? kMax64 : kMax32};
  const char* const name[] = {number == 1 ? "the next id" : "the next species"};
  if (std::string problem = ReadNumbers(number, line, {&value, 1}, low, high, name);
      !problem.empty()) {
    return Status::Corruption(problem);
  }
  if (number == 1) {
    read.lineage.nextId = static_cast<uint64_t>(value);
  } else {
    read.nextSpecies = static_cast<int32_t>(value);
  }
  return Status::OK();
}

// The nine numbers of an entry's line, each within its field's range; the id
// above the previous line's and below the next id.
Status ReadEntryNumbers(int number, std::string_view line, const Lineage& lineage,
                        int64_t (&v)[kLineageFields]) {
  const int64_t id = lineage.entries.empty() ? 0 : static_cast<int64_t>(lineage.entries.back().id);
  const int64_t low[kLineageFields] = {
      id + 1, 0, 0, std::numeric_limits<int32_t>::min(), std::numeric_limits<int16_t>::min(), 0,
      0,      0, 0};
  const int64_t high[kLineageFields] = {static_cast<int64_t>(lineage.nextId) - 1,
                                        kMax64,
                                        kMax64,
                                        kMax32,
                                        std::numeric_limits<int16_t>::max(),
                                        std::numeric_limits<uint32_t>::max(),
                                        kComparedValueCount,
                                        kSlotCount,
                                        kMax32};
  if (std::string problem = ReadNumbers(number, line, v, low, high, kFieldNames);
      !problem.empty()) {
    return Status::Corruption(problem);
  }
  return Status::OK();
}

// Both parents or none; each parent an earlier line, born before its young
// and, when alive, of the sex its place says; the generation one more than
// the older one's (0 for a founder).
Status CheckParents(int number, const LineageEntry& entry, const Lineage& lineage,
                    std::span<const int> slotOfEntry, std::span<const Animal> animals) {
  const auto at = [number] { return LineText(number); };
  if ((entry.parents[0] == 0) != (entry.parents[1] == 0)) {
    return Status::Corruption(at() + ": one parent without the other");
  }
  uint64_t older = 0;
  for (size_t place = 0; place < 2; ++place) {
    const uint64_t parent = entry.parents[place];
    if (parent == 0) continue;
    const auto named = [&at, parent] { return at() + ": parent " + std::to_string(parent); };
    const LineageEntry* p = parent < entry.id ? FindLineageEntry(lineage, parent) : nullptr;
    if (p == nullptr) return Status::Corruption(named() + " is not an earlier line");
    if (!BornBefore(p->birthYear, p->birthMonth, entry.birthYear, entry.birthMonth)) {
      return Status::Corruption(named() + " (born year " + std::to_string(p->birthYear) +
                                ", month " + std::to_string(p->birthMonth) +
                                ") is not born before its young");
    }
    const int parentSlot = slotOfEntry[static_cast<size_t>(p - lineage.entries.data())];
    if (parentSlot != 0 && (animals[static_cast<size_t>(parentSlot)].Sex == 0) != (place == 0)) {
      return Status::Corruption(
          named() + " lives in slot " + std::to_string(parentSlot) + " as sex " +
          std::to_string(animals[static_cast<size_t>(parentSlot)].Sex) +
          ", but stands in the sex-" + std::to_string(place) + " parent's place");
    }
    older = std::max<uint64_t>(older, p->generation);
  }
  const uint64_t generation = entry.parents[0] == 0 ? 0 : older + 1;
  if (entry.generation != generation) {
    return Status::Corruption(
        at() + ": generation " + std::to_string(entry.generation) + " is not " +
        std::to_string(generation) +
        (entry.parents[0] == 0 ? " (a founder's)" : " (one more than the older parent's)"));
  }
  return Status::OK();
}

}  // namespace

Status ParseLineage(std::string_view text, std::span<const Animal> animals, LoadedLineage& out) {
  LoadedLineage read;
  Lineage& lineage = read.lineage;
  std::vector<int> slotOfEntry;  // by entry: the occupied slot it lives in, 0 when none
  std::vector<uint8_t> slotTaken(kSlotCount + 1, 0);
  int number = 0;
  while (!text.empty()) {
    const size_t cut = text.find('\n');
    std::string_view line = text.substr(0, cut);
    text.remove_prefix(cut == std::string_view::npos ? text.size() : cut + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    if (number == 1 || number == 2) {
      if (Status status = ReadHeaderLine(number, line, read); !status.ok()) return status;
      continue;
    }
    if (OnlyBlanks(line) && OnlyBlanks(text)) break;  // blank lines at the end
    int64_t v[kLineageFields];
    if (Status status = ReadEntryNumbers(number, line, lineage, v); !status.ok()) return status;
    LineageEntry entry;
    entry.id = static_cast<uint64_t>(v[0]);
    entry.parents[0] = static_cast<uint64_t>(v[1]);
    entry.parents[1] = static_cast<uint64_t>(v[2]);
    entry.birthYear = static_cast<int32_t>(v[3]);
    entry.birthMonth = static_cast<int16_t>(v[4]);
    entry.generation = static_cast<uint32_t>(v[5]);
    entry.primordialCount = static_cast<int16_t>(v[6]);
    if (Status status = CheckParents(number, entry, lineage, slotOfEntry, animals); !status.ok())
      return status;
    lineage.entries.push_back(entry);
    slotOfEntry.push_back(0);
    // The slot it lives in: named once at most, kept when occupied.
    const size_t slot = static_cast<size_t>(v[7]);
    if (slot == 0) continue;
    if (slotTaken[slot] != 0) {
      return Status::Corruption(LineText(number) + ": slot " + std::to_string(slot) +
                                " is named twice");
    }
    slotTaken[slot] = 1;
    if (!IsOccupied(animals[slot])) continue;
    slotOfEntry.back() = static_cast<int>(slot);
    lineage.idOfSlot[slot] = entry.id;
    lineage.generationOfSlot[slot] = entry.generation;
    read.speciesOfSlot[slot] = static_cast<int32_t>(v[8]);
  }
  if (number < 2) return Status::Corruption(LineText(number + 1) + " is missing");
  out = std::move(read);
  return Status::OK();
}

}  // namespace ombrivale

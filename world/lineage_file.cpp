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

// The blank-separated numbers of one line, each within [low, high]; 0 or
// the error number.
int ReadNumbers(std::string_view line, std::span<int64_t> values, std::span<const int64_t> low,
                std::span<const int64_t> high) {
  size_t at = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
      ++at;
    if (at == line.size()) return i == 0 ? kErrorNotNumber : kErrorPastEnd;
    const auto result = std::from_chars(line.data() + at, line.data() + line.size(), values[i]);
    if (result.ec == std::errc::result_out_of_range) return kErrorOutOfRange;
    if (result.ec != std::errc()) return kErrorNotNumber;
    at = static_cast<size_t>(result.ptr - line.data());
    if (at < line.size() && line[at] != ' ' && line[at] != '\t') return kErrorNotNumber;
    if (values[i] < low[i] || values[i] > high[i]) return kErrorOutOfRange;
  }
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
    ++at;
  return at == line.size() ? 0 : kErrorNotNumber;  // nothing after the last value
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

FileError ParseLineage(std::string_view text, std::span<const Animal> animals, LoadedLineage& out) {
  constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();
  LoadedLineage read;
  Lineage& lineage = read.lineage;
  std::vector<uint8_t> slotTaken(kSlotCount + 1, 0);
  int number = 0;
  while (!text.empty()) {
    const size_t cut = text.find('\n');
    std::string_view line = text.substr(0, cut);
    text.remove_prefix(cut == std::string_view::npos ? text.size() : cut + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    const auto fail = [number](int error) { return FormatError(error, number); };
    if (number == 1 || number == 2) {
      int64_t value = 0;
      const int64_t low[] = {1};
      const int64_t high[] = {number == 1 ? kMax64 : kMax32};
      if (const int error = ReadNumbers(line, {&value, 1}, low, high)) return fail(error);
      if (number == 1) {
        lineage.nextId = static_cast<uint64_t>(value);
      } else {
        read.nextSpecies = static_cast<int32_t>(value);
      }
      continue;
    }
    if (OnlyBlanks(line) && OnlyBlanks(text)) break;  // blank lines at the end
    const int64_t id =
        lineage.entries.empty() ? 0 : static_cast<int64_t>(lineage.entries.back().id);
    int64_t v[kLineageFields];
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
    if (const int error = ReadNumbers(line, v, low, high)) return fail(error);
    LineageEntry entry;
    entry.id = static_cast<uint64_t>(v[0]);
    entry.parents[0] = static_cast<uint64_t>(v[1]);
    entry.parents[1] = static_cast<uint64_t>(v[2]);
    entry.birthYear = static_cast<int32_t>(v[3]);
    entry.birthMonth = static_cast<int16_t>(v[4]);
    entry.generation = static_cast<uint32_t>(v[5]);
    entry.primordialCount = static_cast<int16_t>(v[6]);
    // Both parents or neither; each older and kept; the generation one more
    // than the older parent's.
    if ((entry.parents[0] == 0) != (entry.parents[1] == 0)) return fail(kErrorOutOfRange);
    uint64_t older = 0;
    for (const uint64_t parent : entry.parents) {
      if (parent == 0) continue;
      const LineageEntry* p = parent < entry.id ? FindLineageEntry(lineage, parent) : nullptr;
      if (p == nullptr) return fail(kErrorOutOfRange);
      older = std::max<uint64_t>(older, p->generation);
    }
    if (entry.generation != (entry.parents[0] == 0 ? 0 : older + 1)) return fail(kErrorOutOfRange);
    lineage.entries.push_back(entry);
    const size_t slot = static_cast<size_t>(v[7]);
    if (slot == 0) continue;
    if (slotTaken[slot] != 0) return fail(kErrorBadSlot);
    slotTaken[slot] = 1;
    if (!IsOccupied(animals[slot])) continue;
    lineage.idOfSlot[slot] = entry.id;
    lineage.generationOfSlot[slot] = entry.generation;
    read.speciesOfSlot[slot] = static_cast<int32_t>(v[8]);
  }
  if (number < 2) return FormatError(kErrorPastEnd, number + 1);
  out = std::move(read);
  return {};
}

}  // namespace ombrivale

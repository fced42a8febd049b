#include "core/lineage.h"

#include <algorithm>

#include "core/animal.h"

namespace ombrivale {
namespace {

uint64_t Record(Lineage& lineage, int slot, LineageEntry entry) {
  entry.id = lineage.nextId++;
  lineage.entries.push_back(entry);
  lineage.idOfSlot[static_cast<size_t>(slot)] = entry.id;
  lineage.generationOfSlot[static_cast<size_t>(slot)] = entry.generation;
  return entry.id;
}

// Index of the entry of `id` in the record, or entries.size() when absent.
// The halving chooses its half without a branch: each year's pruning looks
// up every parent of a record of thousands, and which half holds an id is
// a coin toss to the branch predictor.
size_t IndexOf(const Lineage& lineage, uint64_t id) {
  const std::vector<LineageEntry>& entries = lineage.entries;
  if (entries.empty()) return entries.size();
  const LineageEntry* base = entries.data();
  for (size_t count = entries.size(); count > 1;) {
    const size_t half = count / 2;
    base = base[half].id < id ? base + half : base;
    count -= half;
  }
  const size_t at = static_cast<size_t>(base - entries.data()) + (base->id < id ? 1 : 0);
  if (at == entries.size() || entries[at].id != id) return entries.size();
  return at;
}

bool IsLiving(const Lineage& lineage, std::span<const Animal> animals, int slot) {
  return IsOccupied(animals[static_cast<size_t>(slot)]) &&
         lineage.idOfSlot[static_cast<size_t>(slot)] != 0;
}

// Each entry's parents as indices into the record (entries.size() for none).
void ParentIndices(const Lineage& lineage, std::vector<size_t>& out) {
  const size_t n = lineage.entries.size();
  out.resize(2 * n);
  for (size_t i = 0; i < n; ++i) {
    for (size_t p = 0; p < 2; ++p) {
      const uint64_t parent = lineage.entries[i].parents[p];
      out[2 * i + p] = parent == 0 ? n : IndexOf(lineage, parent);
    }
  }
}

}  // namespace

LineageParents ParentsInSlots(const Lineage& lineage, int first, int second) {
  LineageParents parents;
  parents.ids[0] = lineage.idOfSlot[static_cast<size_t>(first)];
  parents.ids[1] = lineage.idOfSlot[static_cast<size_t>(second)];
  parents.olderGeneration = std::max(lineage.generationOfSlot[static_cast<size_t>(first)],
                                     lineage.generationOfSlot[static_cast<size_t>(second)]);
  return parents;
}

uint64_t RecordYoung(Lineage& lineage, int slot, const LineageParents& parents, int32_t year,
                     int16_t month, int16_t primordialCount) {
  LineageEntry entry;
  entry.parents[0] = parents.ids[0];
  entry.parents[1] = parents.ids[1];
  entry.birthYear = year;
  entry.birthMonth = month;
  entry.primordialCount = primordialCount;
  const uint32_t older = parents.olderGeneration;
  entry.generation = older == UINT32_MAX ? older : older + 1;
  return Record(lineage, slot, entry);
}

uint64_t RecordFounder(Lineage& lineage, int slot, int32_t year, int16_t month,
                       int16_t primordialCount) {
  LineageEntry entry;
  entry.birthYear = year;
  entry.birthMonth = month;
  entry.primordialCount = primordialCount;
  return Record(lineage, slot, entry);
}

const LineageEntry* FindLineageEntry(const Lineage& lineage, uint64_t id) {
  const size_t index = IndexOf(lineage, id);
  return index < lineage.entries.size() ? &lineage.entries[index] : nullptr;
}

uint64_t LivingId(const Lineage& lineage, std::span<const Animal> animals, int slot) {
  return IsLiving(lineage, animals, slot) ? lineage.idOfSlot[static_cast<size_t>(slot)] : 0;
}

int SlotOfId(const Lineage& lineage, std::span<const Animal> animals, uint64_t id) {
  if (id == 0) return 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (lineage.idOfSlot[static_cast<size_t>(slot)] == id && IsLiving(lineage, animals, slot)) {
      return slot;
    }
  }
  return 0;
}

namespace {

// The entries by id for one pruning: an open-addressed table twice the
// record's size at least, each place 1 + an entry's index (0 empty),
// probed from a hash of the id. A search by halving waits on a load at
// each of its 14 steps on a record of 14,000 entries; this waits on two.
class PlacesOfIds {
 public:
  PlacesOfIds(const std::vector<LineageEntry>& entries, std::vector<uint32_t>& table)
      : entries_(entries), table_(table) {
    size_t size = 16;
    while (size < 2 * entries.size())
      size *= 2;
    mask_ = size - 1;
    table_.assign(size, 0);
    for (size_t i = 0; i < entries.size(); ++i) {
      size_t at = Hash(entries[i].id);
      while (table_[at] != 0)
        at = (at + 1) & mask_;
      table_[at] = static_cast<uint32_t>(i + 1);
    }
  }

  // The index of the entry of `id`, or entries.size() when there is none.
  size_t IndexOf(uint64_t id) const {
    for (size_t at = Hash(id);; at = (at + 1) & mask_) {
      const uint32_t place = table_[at];
      if (place == 0) return entries_.size();
      if (entries_[place - 1].id == id) return place - 1;
    }
  }

 private:
  size_t Hash(uint64_t id) const {
    return static_cast<size_t>((id * 0x9E3779B97F4A7C15ull) >> 32) & mask_;
  }

  const std::vector<LineageEntry>& entries_;
  std::vector<uint32_t>& table_;
  size_t mask_ = 0;
};

}  // namespace

void PruneLineage(Lineage& lineage, std::span<const Animal> animals) {
  std::vector<LineageEntry>& entries = lineage.entries;
  std::vector<uint8_t>& keep = lineage.marks;
  keep.assign(entries.size(), 0);
  const PlacesOfIds places(entries, lineage.placeOfId);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (!IsLiving(lineage, animals, slot)) continue;
    const size_t index = places.IndexOf(lineage.idOfSlot[static_cast<size_t>(slot)]);
    if (index < entries.size()) keep[index] = 1;
  }
  // Parents are older than their young, so one pass from the youngest down
  // reaches every ancestor of a kept entry.
  for (size_t i = entries.size(); i-- > 0;) {
    if (keep[i] == 0) continue;
    for (const uint64_t parent : entries[i].parents) {
      if (parent == 0) continue;
      const size_t index = places.IndexOf(parent);
      if (index < entries.size()) keep[index] = 1;
    }
  }
  size_t out = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (keep[i] != 0) entries[out++] = entries[i];
  }
  entries.resize(out);
}

void RestartLineage(Lineage& lineage, std::span<const Animal> animals, int32_t year, int16_t month,
                    std::span<const int16_t> counts) {
  lineage.entries.clear();
  std::fill(lineage.idOfSlot.begin(), lineage.idOfSlot.end(), 0);
  std::fill(lineage.generationOfSlot.begin(), lineage.generationOfSlot.end(), 0);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (IsOccupied(animals[static_cast<size_t>(slot)])) {
      RecordFounder(lineage, slot, year, month, counts[static_cast<size_t>(slot)]);
    }
  }
}

int CountLivingDescendants(const Lineage& lineage, std::span<const Animal> animals, uint64_t id) {
  const size_t n = lineage.entries.size();
  const size_t root = IndexOf(lineage, id);
  if (root == n) return 0;
  std::vector<size_t> parents;
  ParentIndices(lineage, parents);
  std::vector<uint8_t> descends(n + 1, 0);  // [n]: "no parent"
  for (size_t i = root + 1; i < n; ++i) {
    const size_t a = parents[2 * i];
    const size_t b = parents[2 * i + 1];
    descends[i] = a == root || b == root || descends[a] != 0 || descends[b] != 0;
  }
  int count = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (!IsLiving(lineage, animals, slot)) continue;
    const size_t index = IndexOf(lineage, lineage.idOfSlot[static_cast<size_t>(slot)]);
    if (index < n && descends[index] != 0) ++count;
  }
  return count;
}

std::vector<FounderShare> TopFounders(const Lineage& lineage, std::span<const Animal> animals,
                                      size_t limit) {
  const size_t n = lineage.entries.size();
  std::vector<size_t> founders;
  for (size_t i = 0; i < n; ++i) {
    const LineageEntry& e = lineage.entries[i];
    if (e.parents[0] == 0 && e.parents[1] == 0) founders.push_back(i);
  }
  // Which founders each entry descends from, one bit a founder: a young
  // takes the bits of both parents.
  const size_t words = (founders.size() + 63) / 64;
  std::vector<uint64_t> bits((n + 1) * words, 0);  // row n: "no parent"
  for (size_t f = 0; f < founders.size(); ++f)
    bits[founders[f] * words + f / 64] |= uint64_t{1} << (f % 64);
  std::vector<size_t> parents;
  ParentIndices(lineage, parents);
  for (size_t i = 0; i < n; ++i) {
    for (size_t p = 0; p < 2; ++p) {
      const size_t from = parents[2 * i + p];
      for (size_t w = 0; w < words; ++w)
        bits[i * words + w] |= bits[from * words + w];
    }
  }
  std::vector<FounderShare> shares(founders.size());
  for (size_t f = 0; f < founders.size(); ++f)
    shares[f].id = lineage.entries[founders[f]].id;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (!IsLiving(lineage, animals, slot)) continue;
    const size_t index = IndexOf(lineage, lineage.idOfSlot[static_cast<size_t>(slot)]);
    if (index == n) continue;
    for (size_t f = 0; f < founders.size(); ++f) {
      const bool descends = (bits[index * words + f / 64] >> (f % 64)) & 1;
      if (descends && index != founders[f]) ++shares[f].livingDescendants;
    }
  }
  std::stable_sort(shares.begin(), shares.end(), [](const FounderShare& a, const FounderShare& b) {
    return a.livingDescendants > b.livingDescendants;
  });
  if (shares.size() > limit) shares.resize(limit);
  return shares;
}

Status CheckLineage(const Lineage& lineage, std::span<const Animal> animals) {
  // The living by id, with their sex.
  std::vector<std::pair<uint64_t, uint8_t>> living;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = animals[static_cast<size_t>(slot)];
    if (IsOccupied(animal))
      living.emplace_back(lineage.idOfSlot[static_cast<size_t>(slot)], animal.Sex);
  }
  std::sort(living.begin(), living.end());
  for (size_t i = 1; i < living.size(); ++i) {
    if (living[i - 1].first == living[i].first)
      return Status::Corruption("two living animals share an id");
  }
  const std::vector<LineageEntry>& entries = lineage.entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    const LineageEntry& e = entries[i];
    if (e.id == 0 || e.id >= lineage.nextId)
      return Status::Corruption("an id outside 1..the next id");
    if (i > 0 && entries[i - 1].id >= e.id)
      return Status::Corruption("ids not ascending (or given twice)");
    if ((e.parents[0] == 0) != (e.parents[1] == 0))
      return Status::Corruption("an entry with one parent");
    uint32_t older = 0;
    for (size_t place = 0; place < 2; ++place) {
      const uint64_t parent = e.parents[place];
      if (parent == 0) continue;
      if (parent >= e.id) return Status::Corruption("a parent no older than its young");
      const LineageEntry* p = FindLineageEntry(lineage, parent);
      if (p == nullptr) return Status::Corruption("an ancestor of a kept entry is missing");
      if (!BornBefore(p->birthYear, p->birthMonth, e.birthYear, e.birthMonth)) {
        return Status::Corruption("a parent not born before its young");
      }
      const auto alive =
          std::lower_bound(living.begin(), living.end(), std::pair<uint64_t, uint8_t>(parent, 0));
      if (alive != living.end() && alive->first == parent && (alive->second == 0) != (place == 0)) {
        return Status::Corruption("a living parent of the other sex than its place");
      }
      older = std::max(older, p->generation);
    }
    const bool founder = e.parents[0] == 0;
    if (e.generation != (founder ? 0 : older + 1))
      return Status::Corruption("a generation breaks the rule");
  }
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (!IsOccupied(animals[static_cast<size_t>(slot)])) continue;
    const LineageEntry* e = FindLineageEntry(lineage, lineage.idOfSlot[static_cast<size_t>(slot)]);
    if (e == nullptr) return Status::Corruption("a living animal without an entry");
    if (lineage.generationOfSlot[static_cast<size_t>(slot)] != e->generation) {
      return Status::Corruption("a slot's generation differs from its entry's");
    }
  }
  return Status::OK();
}

}  // namespace ombrivale

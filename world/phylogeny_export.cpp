#include "world/phylogeny_export.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

#include "behaviour/species.h"

namespace ombrivale {
namespace {

void AppendNumber(std::string& out, int64_t value) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// Months as years, as short as they read back exactly.
void AppendYears(std::string& out, double months) {
  char digits[32];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, months / 12.0).ptr);
}

// The end of a species' line: the month after its last.
uint64_t EndOf(const SpeciesLife& life) {
  return life.last + 1;
}

// Writes the Newick text of one world's species without recursion: a
// species with hundreds of splits nests as deep.
class NewickWriter {
 public:
  NewickWriter(const SpeciesHistory& history, std::string& out) : history_(history), out_(out) {
    children_.resize(history.species.size());
    for (size_t i = 0; i < history.species.size(); ++i) {
      const SpeciesLife& life = history.species[i];
      if (life.parent == 0) continue;
      const SpeciesLife* parent = FindSpeciesLife(history, life.parent);
      children_[static_cast<size_t>(parent - history.species.data())].push_back(i);
    }
    // Each parent's splits in time order (numbers are given in time order).
    for (std::vector<size_t>& list : children_) {
      std::stable_sort(list.begin(), list.end(), [&history](size_t a, size_t b) {
        return history.species[a].first < history.species[b].first;
      });
    }
  }

  void WriteWorld(uint32_t world) {
    std::vector<size_t> roots;
    for (size_t i = 0; i < history_.species.size(); ++i) {
      const SpeciesLife& life = history_.species[i];
      if (life.world == world && life.parent == 0) roots.push_back(i);
    }
    if (roots.empty()) return;
    if (roots.size() == 1) {
      Write(roots[0], history_.species[roots[0]].first);
    } else {
      uint64_t start = UINT64_MAX;
      for (const size_t root : roots)
        start = std::min(start, history_.species[root].first);
      out_ += '(';
      for (size_t r = 0; r < roots.size(); ++r) {
        if (r > 0) out_ += ',';
        Write(roots[r], start);
      }
      out_ += ")W";
      AppendNumber(out_, world);
    }
    out_ += ";\n";
  }

 private:
  // A piece of the text: the line of species `species` from month `start`
  // on, with its splits from the k-th; or a fixed piece of text.
  struct Task {
    size_t species = 0;
    uint64_t start = 0;
    size_t k = 0;
    const char* text = nullptr;  // a fixed piece when set
    uint64_t length = 0;         // with text ":": a branch length in months
  };

  void Write(size_t root, uint64_t start) {
    std::vector<Task> tasks = {Task{root, start, 0, nullptr, 0}};
    while (!tasks.empty()) {
      const Task task = tasks.back();
      tasks.pop_back();
      if (task.text != nullptr) {
        out_ += task.text;
        if (task.text[0] == ':') AppendYears(out_, static_cast<double>(task.length));
        continue;
      }
      const SpeciesLife& life = history_.species[task.species];
      const std::vector<size_t>& children = children_[task.species];
      if (task.k == children.size()) {
        out_ += 'S';
        AppendNumber(out_, life.number);
        out_ += ':';
        AppendYears(out_, static_cast<double>(EndOf(life) - task.start));
        continue;
      }
      const size_t child = children[task.k];
      const uint64_t split =
          std::max(task.start, std::min(history_.species[child].first, EndOf(life)));
      // Pushed in reverse: "(" parent's line "," child's line ")" ":" length.
      tasks.push_back(Task{0, 0, 0, ":", split - task.start});
      tasks.push_back(Task{0, 0, 0, ")", 0});
      tasks.push_back(Task{child, split, 0, nullptr, 0});
      tasks.push_back(Task{0, 0, 0, ",", 0});
      tasks.push_back(Task{task.species, split, task.k + 1, nullptr, 0});
      out_ += '(';
    }
  }

  const SpeciesHistory& history_;
  std::string& out_;
  std::vector<std::vector<size_t>> children_;  // by species index
};

}  // namespace

void SpeciesNewick(const SpeciesHistory& history, std::string& out) {
  out.clear();
  NewickWriter writer(history, out);
  for (uint32_t world = 0; world <= history.world; ++world)
    writer.WriteWorld(world);
}

void SpeciesPhylogenyCsv(const SpeciesHistory& history, std::string& out) {
  out =
      "id,ancestor_list,origin_time,destruction_time,world,first_month,last_month,peak_adults,"
      "adults\n";
  for (const SpeciesLife& life : history.species) {
    const bool living = IsLiving(history, life);
    AppendNumber(out, life.number);
    out += ",[";
    if (life.parent == 0) {
      out += "none";
    } else {
      AppendNumber(out, life.parent);
    }
    out += "],";
    AppendYears(out, static_cast<double>(life.first));
    out += ',';
    if (living) {
      out += "none";
    } else {
      AppendYears(out, static_cast<double>(EndOf(life)));
    }
    for (const int64_t value :
         {int64_t{life.world}, static_cast<int64_t>(life.first), static_cast<int64_t>(life.last),
          int64_t{life.peak}, int64_t{living ? life.counts.back() : 0}}) {
      out += ',';
      AppendNumber(out, value);
    }
    out += '\n';
  }
}

void FamilyPhylogenyCsv(const World& world, std::string& out) {
  out =
      "id,ancestor_list,origin_time,destruction_time,generation,evolvedness_count,slot,"
      "species\n";
  const Lineage& lineage = world.lineage;
  std::vector<std::pair<uint64_t, int>> living;  // (id, slot), ascending ids
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (const uint64_t id = LivingId(lineage, world.Animals, slot)) living.emplace_back(id, slot);
  }
  std::sort(living.begin(), living.end());
  size_t next = 0;
  for (const LineageEntry& entry : lineage.entries) {
    while (next < living.size() && living[next].first < entry.id)
      ++next;
    const int slot =
        next < living.size() && living[next].first == entry.id ? living[next].second : 0;
    AppendNumber(out, static_cast<int64_t>(entry.id));
    if (entry.parents[0] == 0) {
      out += ",[none],";
    } else {
      out += ",\"[";
      AppendNumber(out, static_cast<int64_t>(entry.parents[0]));
      out += ',';
      AppendNumber(out, static_cast<int64_t>(entry.parents[1]));
      out += "]\",";
    }
    const int month = std::max<int>(entry.birthMonth, 1);
    AppendYears(out, static_cast<double>(entry.birthYear) * 12 + (month - 1));
    out += slot != 0 ? ",none," : ",,";
    AppendNumber(out, entry.generation);
    out += ',';
    AppendNumber(out, entry.primordialCount);
    out += ',';
    AppendNumber(out, slot);
    out += ',';
    AppendNumber(out, slot != 0 ? SpeciesOf(world, slot) : 0);
    out += '\n';
  }
}

}  // namespace ombrivale

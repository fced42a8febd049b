#include "behaviour/species.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "behaviour/mate_search.h"
#include "core/rules.h"

namespace ombrivale {
namespace {

// Compatible: at least 86 of the 115 values equal, at most 29 different.
constexpr int kMostDifferences = kComparedValueCount - kCompatibleAtLeast;
constexpr uint8_t kUnknown = 255;  // differences between two pivots not counted

uint64_t HashGenome(const PackedGenome& genome) {
  uint64_t words[kPackedGenomeLength / 4];
  std::memcpy(words, genome.values.data(), sizeof words);
  uint64_t h = 0x9E3779B97F4A7C15ull;
  for (const uint64_t w : words) {
    h ^= w;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 32;
  }
  return h;
}

bool IsAdult(const Animal& animal) {
  return IsOccupied(animal) && animal.Stage >= kStageAdult;
}

int Find(std::vector<int>& parent, int i) {
  while (parent[static_cast<size_t>(i)] != i) {
    const int up = parent[static_cast<size_t>(parent[static_cast<size_t>(i)])];
    parent[static_cast<size_t>(i)] = up;
    i = up;
  }
  return i;
}

// The distinct genomes of the adults: distinct[d] is the slot of the first
// adult with genome d, distinctOf[a] the genome of adult a. groupOf[d] is
// the species its adults were all grouped in last month when that is
// trusted, else 0 ("new": it must be compared with everyone).
void FindDistinct(const SpeciesRecord& species, SpeciesRecord::Scratch& s) {
  const size_t size = 2048;  // a power of two above twice 750
  s.table.assign(size, -1);
  s.distinct.clear();
  s.groupOf.clear();
  s.distinctOf.resize(s.adults.size());
  for (size_t a = 0; a < s.adults.size(); ++a) {
    const size_t slot = static_cast<size_t>(s.adults[a]);
    const uint64_t hash = species.hashes[slot];
    const int32_t group = species.trusted ? s.previous[a] : 0;
    for (size_t at = hash & (size - 1);; at = (at + 1) & (size - 1)) {
      const int32_t d = s.table[at];
      if (d < 0) {
        s.table[at] = static_cast<int32_t>(s.distinct.size());
        s.distinctOf[a] = static_cast<int>(s.distinct.size());
        s.distinct.push_back(static_cast<int>(slot));
        s.groupOf.push_back(group);
        break;
      }
      const size_t other = static_cast<size_t>(s.distinct[static_cast<size_t>(d)]);
      if (species.hashes[other] == hash &&
          species.genomes[other].values == species.genomes[slot].values) {
        s.distinctOf[a] = d;
        if (s.groupOf[static_cast<size_t>(d)] != group) s.groupOf[static_cast<size_t>(d)] = 0;
        break;
      }
    }
  }
}

const PackedGenome& GenomeOf(const SpeciesRecord& species, int distinct) {
  return species
      .genomes[static_cast<size_t>(species.scratch.distinct[static_cast<size_t>(distinct)])];
}

// Each distinct genome joins the first pivot it is compatible with, or
// becomes a pivot itself (then it differs from every earlier pivot in more
// than 29 values, and those differences are kept). A pivot whose
// differences from the first pivot tried put it out of reach of the
// genome's (by the triangle rule) is not counted against it.
void Cluster(const SpeciesRecord& species, SpeciesRecord::Scratch& s) {
  const size_t n = s.distinct.size();
  s.clusterOf.resize(n);
  s.pivotDistance.resize(n);
  s.pivots.clear();
  // Row p holds pivot p's differences from the other pivots: n x n, of
  // which the pivots use a corner. Differences not counted stay unknown
  // (255) and rule nothing out.
  s.stride = n;
  if (s.pivotPairs.size() < n * n) s.pivotPairs.resize(n * n);
  for (size_t d = 0; d < n; ++d) {
    const PackedGenome& genome = GenomeOf(species, static_cast<int>(d));
    const int32_t group = s.groupOf[d];
    const size_t m = s.pivots.size();
    int toFirst = -1;  // differences from pivot 0
    bool joined = false;
    for (size_t p = 0; p < m; ++p) {
      uint8_t& pair = s.pivotPairs[m * n + p];
      pair = kUnknown;
      // Grouped apart last month: incompatible.
      const int32_t pivotGroup = s.groupOf[static_cast<size_t>(s.pivots[p])];
      if (group > 0 && pivotGroup > 0 && pivotGroup != group) continue;
      // d(g, p) >= |d(g, p0) - d(p0, p)|.
      if (p > 0 && toFirst >= 0 && s.pivotPairs[p] != kUnknown &&
          std::abs(toFirst - s.pivotPairs[p]) > kMostDifferences) {
        continue;
      }
      const int differences = GenomeDifferences(genome, GenomeOf(species, s.pivots[p]));
      if (p == 0) toFirst = differences;
      if (differences <= kMostDifferences) {
        s.clusterOf[d] = static_cast<int>(p);
        s.pivotDistance[d] = static_cast<uint8_t>(differences);
        joined = true;
        break;
      }
      pair = static_cast<uint8_t>(differences);
    }
    if (joined) continue;
    for (size_t p = 0; p < m; ++p)
      s.pivotPairs[p * n + m] = s.pivotPairs[m * n + p];
    s.pivotPairs[m * n + m] = 0;
    s.clusterOf[d] = static_cast<int>(m);
    s.pivotDistance[d] = 0;
    s.pivots.push_back(static_cast<int>(d));
  }
}

// True when a genome of cluster `a` (only its new ones when `newOnly`) is
// compatible with a genome of cluster `b`.
bool Meets(const SpeciesRecord& species, size_t a, size_t b, bool newOnly) {
  const SpeciesRecord::Scratch& s = species.scratch;
  const uint8_t pivots = s.pivotPairs[a * s.stride + b];
  // A member x of a, y of b: d(x, y) >= d(pa, pb) - d(x, pa) - d(y, pb).
  if (pivots != kUnknown && pivots - s.reach[a] - s.reach[b] > kMostDifferences) return false;
  const PackedGenome& pivotB = GenomeOf(species, s.pivots[b]);
  for (int i = s.memberStart[a]; i < s.memberStart[a + 1]; ++i) {
    const int x = s.members[static_cast<size_t>(i)];
    if (newOnly && s.groupOf[static_cast<size_t>(x)] != 0) continue;
    // d(x, pb) >= d(pa, pb) - d(x, pa): when that alone puts every member
    // of b out of reach, x needs no count at all.
    if (pivots != kUnknown &&
        pivots - s.pivotDistance[static_cast<size_t>(x)] - s.reach[b] > kMostDifferences) {
      continue;
    }
    const PackedGenome& genome = GenomeOf(species, x);
    const int toPivot = GenomeDifferences(genome, pivotB);
    if (toPivot <= kMostDifferences) return true;
    if (toPivot - s.reach[b] > kMostDifferences) continue;
    for (int j = s.memberStart[b]; j < s.memberStart[b + 1]; ++j) {
      const int y = s.members[static_cast<size_t>(j)];
      // d(x, y) >= d(x, pb) - d(y, pb).
      if (toPivot - s.pivotDistance[static_cast<size_t>(y)] > kMostDifferences) continue;
      if (GenomeDifferences(genome, GenomeOf(species, y)) <= kMostDifferences) return true;
    }
  }
  return false;
}

// True when clusters a and b hold a compatible pair. Two clusters whose
// genomes were all grouped last month, in different species, can meet only
// through a new genome.
bool ClustersMeet(const SpeciesRecord& species, size_t a, size_t b) {
  const SpeciesRecord::Scratch& s = species.scratch;
  const int32_t ga = s.clusterGroup[a];
  const int32_t gb = s.clusterGroup[b];
  if (ga <= 0 || gb <= 0 || ga == gb) return Meets(species, a, b, false);
  return Meets(species, a, b, true) || Meets(species, b, a, true);
}

// Numbers the components: a component keeps the number of last month's
// species when it holds more than half of that species' members grouped
// now (of several such, the one with most members in it, ties to the lower
// number); the others get new numbers, in the order of their lowest slot.
void NumberSpecies(SpeciesRecord& species, const std::vector<int>& componentOf, int components) {
  SpeciesRecord::Scratch& s = species.scratch;
  s.votes.clear();
  for (size_t a = 0; a < s.adults.size(); ++a) {
    if (s.previous[a] <= 0) continue;
    s.votes.push_back((static_cast<uint64_t>(s.previous[a]) << 32) |
                      static_cast<uint32_t>(componentOf[a]));
  }
  std::sort(s.votes.begin(), s.votes.end());
  s.label.assign(static_cast<size_t>(components), 0);
  s.held.assign(static_cast<size_t>(components), 0);  // the members behind each label
  const size_t n = s.votes.size();
  for (size_t i = 0; i < n;) {
    const uint64_t previous = s.votes[i] >> 32;
    int total = 0;
    int best = 0;
    size_t bestComponent = 0;
    size_t end = i;
    while (end < n && (s.votes[end] >> 32) == previous) {
      size_t runEnd = end;
      while (runEnd < n && s.votes[runEnd] == s.votes[end])
        ++runEnd;
      const int run = static_cast<int>(runEnd - end);
      total += run;
      if (run > best) {
        best = run;
        bestComponent = static_cast<uint32_t>(s.votes[end]);
      }
      end = runEnd;
    }
    if (2 * best > total && best > s.held[bestComponent]) {
      s.label[bestComponent] = static_cast<int32_t>(previous);
      s.held[bestComponent] = best;
    }
    i = end;
  }
  // Adults come in slot order, so a component's first adult is its lowest.
  for (size_t a = 0; a < s.adults.size(); ++a) {
    int32_t& label = s.label[static_cast<size_t>(componentOf[a])];
    if (label == 0) label = species.nextSpecies++;
  }
}

}  // namespace

int GenomeDifferences(const PackedGenome& a, const PackedGenome& b) {
  // Eight 16-bit counters side by side: loops the compiler turns into a
  // vector compare and subtract per eight values.
  std::array<uint16_t, 8> lanes{};
  for (size_t i = 0; i < kPackedGenomeLength; i += lanes.size()) {
    for (size_t k = 0; k < lanes.size(); ++k)
      lanes[k] = static_cast<uint16_t>(lanes[k] + (a.values[i + k] != b.values[i + k]));
  }
  int differences = 0;
  for (const uint16_t lane : lanes)
    differences += lane;
  return differences;
}

bool AreCompatible(const PackedGenome& a, const PackedGenome& b) {
  return GenomeDifferences(a, b) <= kMostDifferences;
}

const PackedGenome& PackedGenomeOf(World& world, int slot) {
  SpeciesRecord& species = world.species;
  const size_t at = static_cast<size_t>(slot);
  if (species.packed[at] == 0) {
    PackGenome(AnimalAt(world, slot), species.genomes[at]);
    species.hashes[at] = HashGenome(species.genomes[at]);
    species.packed[at] = 1;
  }
  return species.genomes[at];
}

void PackGenome(const Animal& animal, PackedGenome& out) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&animal);
  size_t i = 0;
  for (const ComparedValue& v : ComparedValues()) {
    uint16_t value = bytes[v.offset];
    if (v.size == 2) std::memcpy(&value, bytes + v.offset, 2);
    out.values[i++] = value;
  }
  for (; i < out.values.size(); ++i)
    out.values[i] = 0;
}

namespace {

// The adults, their species at the last grouping (0: none, or another
// animal in the slot since) and their packed genomes.
void GatherAdults(World& world) {
  SpeciesRecord& species = world.species;
  SpeciesRecord::Scratch& s = species.scratch;
  s.adults.clear();
  s.previous.clear();
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsAdult(animal)) continue;
    s.adults.push_back(slot);
    const size_t at = static_cast<size_t>(slot);
    const bool grouped = species.groupedId[at] == world.lineage.idOfSlot[at];
    s.previous.push_back(grouped ? species.speciesOfSlot[at] : 0);
    PackedGenomeOf(world, slot);
  }
}

// Members by cluster; each cluster's reach from its pivot, and the species
// all its genomes grouped last month were in (0: none was, -1: more than
// one).
void ListClusterMembers(SpeciesRecord::Scratch& s) {
  const size_t m = s.pivots.size();
  s.memberStart.assign(m + 1, 0);
  s.reach.assign(m, 0);
  s.clusterGroup.assign(m, 0);
  for (size_t d = 0; d < s.distinct.size(); ++d) {
    const size_t c = static_cast<size_t>(s.clusterOf[d]);
    ++s.memberStart[c + 1];
    s.reach[c] = std::max(s.reach[c], s.pivotDistance[d]);
    const int32_t group = s.groupOf[d];
    int32_t& clusterGroup = s.clusterGroup[c];
    if (group > 0 && clusterGroup != group) clusterGroup = clusterGroup == 0 ? group : -1;
  }
  for (size_t c = 0; c < m; ++c)
    s.memberStart[c + 1] += s.memberStart[c];
  s.members.resize(s.distinct.size());
  s.next.assign(s.memberStart.begin(), s.memberStart.end() - 1);
  for (size_t d = 0; d < s.distinct.size(); ++d) {
    s.members[static_cast<size_t>(s.next[static_cast<size_t>(s.clusterOf[d])]++)] =
        static_cast<int>(d);
  }
}

// Joins the clusters that meet (s.parent: a union-find forest over them).
// Pairs of clusters go nearest pivots first: the near pairs join most
// clusters, and a far pair found joined already costs no comparison.
void JoinMeetingClusters(const SpeciesRecord& species, SpeciesRecord::Scratch& s) {
  const size_t m = s.pivots.size();
  s.pairs.clear();
  for (size_t a = 0; a < m; ++a) {
    for (size_t b = a + 1; b < m; ++b)
      s.pairs.push_back(static_cast<uint32_t>(s.pivotPairs[a * s.stride + b]) << 20 |
                        static_cast<uint32_t>(a) << 10 | static_cast<uint32_t>(b));
  }
  std::sort(s.pairs.begin(), s.pairs.end());
  s.parent.resize(m);
  for (size_t c = 0; c < m; ++c)
    s.parent[c] = static_cast<int>(c);
  for (const uint32_t pair : s.pairs) {
    const size_t a = pair >> 10 & 1023;
    const size_t b = pair & 1023;
    const int ra = Find(s.parent, static_cast<int>(a));
    const int rb = Find(s.parent, static_cast<int>(b));
    if (ra == rb || !ClustersMeet(species, a, b)) continue;
    s.parent[static_cast<size_t>(std::max(ra, rb))] = std::min(ra, rb);
  }
}

// Each adult's component, numbered 0.. in order of their first adult;
// returns how many.
int NumberComponents(SpeciesRecord::Scratch& s) {
  std::vector<int>& componentOf = s.componentOf;
  componentOf.resize(s.adults.size());
  s.next.assign(s.pivots.size(), -1);  // per root cluster: its component
  int components = 0;
  for (size_t a = 0; a < s.adults.size(); ++a) {
    const int root = Find(s.parent, s.clusterOf[static_cast<size_t>(s.distinctOf[a])]);
    int& component = s.next[static_cast<size_t>(root)];
    if (component < 0) component = components++;
    componentOf[a] = component;
  }
  return components;
}

}  // namespace

void GroupSpecies(World& world) {
  SpeciesRecord& species = world.species;
  SpeciesRecord::Scratch& s = species.scratch;
  GatherAdults(world);
  FindDistinct(species, s);
  Cluster(species, s);
  ListClusterMembers(s);
  JoinMeetingClusters(species, s);
  const int components = NumberComponents(s);
  NumberSpecies(species, s.componentOf, components);

  std::fill(species.speciesOfSlot.begin(), species.speciesOfSlot.end(), 0);
  for (size_t a = 0; a < s.adults.size(); ++a) {
    const size_t slot = static_cast<size_t>(s.adults[a]);
    species.speciesOfSlot[slot] = s.label[static_cast<size_t>(s.componentOf[a])];
    species.groupedId[slot] = world.lineage.idOfSlot[slot];
  }
  species.count = components;
  species.trusted = true;
}

int32_t SpeciesOf(const World& world, int slot) {
  const size_t at = static_cast<size_t>(slot);
  const Animal& animal = AnimalAt(world, slot);
  if (!IsAdult(animal) || world.species.groupedId[at] != world.lineage.idOfSlot[at]) return 0;
  return world.species.speciesOfSlot[at];
}

bool PackedGenomesMatch(const World& world) {
  PackedGenome fresh;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const size_t at = static_cast<size_t>(slot);
    if (world.species.packed[at] == 0 || !IsOccupied(AnimalAt(world, slot))) continue;
    PackGenome(AnimalAt(world, slot), fresh);
    if (fresh.values != world.species.genomes[at].values) return false;
  }
  return true;
}

}  // namespace ombrivale

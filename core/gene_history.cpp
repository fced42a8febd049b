#include "core/gene_history.h"

#include <algorithm>
#include <cmath>

namespace ombrivale {
namespace {

// `into` absorbs `from`, a record of the same genes next to it in time.
void MergeRecord(GeneRecord& into, std::span<GeneStat> intoValues, const GeneRecord& from,
                 std::span<const GeneStat> fromValues, bool fromIsLater) {
  for (size_t g = 0; g < intoValues.size(); ++g) {
    GeneStat& a = intoValues[g];
    const GeneStat& b = fromValues[g];
    if (std::isnan(b.mean) || from.animals == 0) continue;
    if (std::isnan(a.mean) || into.animals == 0) {
      a = b;
      continue;
    }
    const double weightA = static_cast<double>(into.animals);
    const double weightB = static_cast<double>(from.animals);
    a.mean = static_cast<float>((a.mean * weightA + b.mean * weightB) / (weightA + weightB));
    a.lowest = std::min(a.lowest, b.lowest);
    a.highest = std::max(a.highest, b.highest);
  }
  if (fromIsLater) into.last = from.last;
  into.months += from.months;
  into.animals += from.animals;
}

}  // namespace

void HalveGeneHistory(GeneHistory& history) {
  const size_t genes = history.genes;
  size_t out = 0;
  for (size_t i = 0; i < history.records.size(); i += 2) {
    GeneRecord record = history.records[i];
    std::copy_n(history.values.begin() + static_cast<std::ptrdiff_t>(i * genes), genes,
                history.values.begin() + static_cast<std::ptrdiff_t>(out * genes));
    if (i + 1 < history.records.size()) {
      const std::span<GeneStat> into(history.values.data() + out * genes, genes);
      MergeRecord(record, into, history.records[i + 1], history.Values(i + 1), true);
    }
    history.records[out++] = record;
  }
  history.records.resize(out);
  history.values.resize(out * genes);
  history.grain *= 2;
}

void AppendGeneMonth(GeneHistory& history, uint64_t last, uint32_t animals,
                     std::span<const GeneStat> stats) {
  if (history.records.empty()) history.genes = stats.size();
  const GeneRecord month{last, 1, animals};
  if (!history.records.empty() && history.records.back().months < history.grain) {
    const size_t newest = history.records.size() - 1;
    const std::span<GeneStat> into(history.values.data() + newest * history.genes, history.genes);
    MergeRecord(history.records.back(), into, month, stats, true);
    return;
  }
  if (history.records.size() >= kGeneHistoryCapacity) HalveGeneHistory(history);
  history.records.push_back(month);
  history.values.insert(history.values.end(), stats.begin(), stats.end());
}

}  // namespace ombrivale

#include "core/history.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

namespace ombrivale {
namespace {

constexpr uint64_t kTopGrain = uint64_t{1} << 62;

uint64_t AddHeld(uint64_t a, uint64_t b) {
  return b > std::numeric_limits<uint64_t>::max() - a ? std::numeric_limits<uint64_t>::max()
                                                      : a + b;
}

// `earlier` gathers `later`, the point after it: the later state, the deaths
// and months of both, the earlier one's restart mark.
void Gather(MonthSample& earlier, const MonthSample& later) {
  const MonthSample first = earlier;
  earlier = later;
  earlier.restart = first.restart;
  earlier.wentBack = first.wentBack;
  earlier.months = AddHeld(first.months, later.months);
  for (size_t cause = 0; cause < earlier.deaths.size(); ++cause) {
    const uint64_t sum = uint64_t{first.deaths[cause]} + later.deaths[cause];
    earlier.deaths[cause] = static_cast<uint32_t>(std::min<uint64_t>(sum, UINT32_MAX));
  }
}

bool CanGather(const History& history, const MonthSample& sample) {
  if (history.samples.empty() || sample.restart) return false;
  return AddHeld(history.samples.back().months, sample.months) <= history.grain;
}

// Gathers neighbouring points of the held ones while they fit the grain. A
// restart begins a point of its own, unless restarts fill more than half
// the capacity: then those in the older half may be gathered too, or the
// history could not stay within its capacity.
void Regather(History& history) {
  std::vector<MonthSample>& points = history.samples;
  const size_t restarts = static_cast<size_t>(
      std::count_if(points.begin(), points.end(), [](const MonthSample& s) { return s.restart; }));
  const bool crowded = restarts >= kHistoryCapacity / 2;
  const size_t older = points.size() / 2;
  size_t out = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const bool separate = points[i].restart && !(crowded && i < older);
    if (out > 0 && !separate &&
        AddHeld(points[out - 1].months, points[i].months) <= history.grain) {
      Gather(points[out - 1], points[i]);
    } else {
      points[out++] = points[i];
    }
  }
  points.resize(out);
}

// Doubles the grain and gathers again until fewer than `limit` points are held.
void Coarsen(History& history, size_t limit) {
  while (history.samples.size() >= limit && history.grain < kTopGrain) {
    history.grain *= 2;
    Regather(history);
  }
}

}  // namespace

void AppendSample(History& history, const MonthSample& sample) {
  history.newest = sample;
  history.recorded = AddHeld(history.recorded, sample.months);
  if (CanGather(history, sample)) {
    Gather(history.samples.back(), sample);
    return;
  }
  if (history.samples.size() >= kHistoryCapacity) {
    Coarsen(history, kHistoryCapacity);
    if (CanGather(history, sample)) {
      Gather(history.samples.back(), sample);
      return;
    }
  }
  history.samples.push_back(sample);
}

void SettleHistory(History& history) {
  // Depends on the months alone, which gathering keeps: settling again finds
  // the same grain.
  const uint64_t spread = history.recorded == 0 ? 1 : (history.recorded - 1) / kHistoryCapacity + 1;
  history.grain = std::bit_ceil(std::min(spread, kTopGrain));
  Regather(history);
  Coarsen(history, kHistoryCapacity + 1);
}

}  // namespace ombrivale

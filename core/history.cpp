#include "core/history.h"

#include <cstdint>

namespace ombrivale {
namespace {

// `later` absorbs `earlier`: its state stays, the deaths and months add up.
void Merge(const MonthSample& earlier, MonthSample& later) {
  for (size_t cause = 0; cause < later.deaths.size(); ++cause)
    later.deaths[cause] += earlier.deaths[cause];
  const uint32_t months = static_cast<uint32_t>(earlier.months) + later.months;
  later.months = static_cast<uint16_t>(months > UINT16_MAX ? UINT16_MAX : months);
  later.restart = later.restart || earlier.restart;
}

}  // namespace

void AppendSample(History& history, const MonthSample& sample) {
  std::vector<MonthSample>& samples = history.samples;
  if (samples.size() >= kHistoryCapacity) {
    const size_t older = (samples.size() / 2) & ~size_t{1};
    size_t out = 0;
    for (size_t i = 0; i < older; i += 2) {
      Merge(samples[i], samples[i + 1]);
      samples[out++] = samples[i + 1];
    }
    for (size_t i = older; i < samples.size(); ++i)
      samples[out++] = samples[i];
    samples.resize(out);
  }
  samples.push_back(sample);
  ++history.recorded;
}

}  // namespace ombrivale

#include "core/events.h"

#include <type_traits>

namespace ombrivale {

namespace {

bool Any(const AnimalsChanged& counts) {
  return counts.born != 0 || counts.died != 0 || counts.dropped != 0 || counts.sacrificed != 0;
}

void Add(uint64_t& total, uint32_t count) {
  total = count > UINT64_MAX - total ? UINT64_MAX : total + count;
}

}  // namespace

void EventQueue::Post(Event event) {
  if (!listening_) return;
  // Notices without content say the same thing twice in a row only once.
  if (!events_.empty() && events_.back().index() == event.index() &&
      (std::holds_alternative<CaptionsChanged>(event) ||
       std::holds_alternative<MapRedrawn>(event) ||
       std::holds_alternative<SpeciesRegrouped>(event) ||
       std::holds_alternative<SampleRecorded>(event)))
    return;
  if (events_.size() >= kEventLimit) {
    events_.pop_front();
    ++dropped_;
  }
  events_.push_back(std::move(event));
}

bool EventQueue::Empty() const {
  return events_.empty() && !Any(counts_);
}

std::vector<Event> EventQueue::Drain() {
  std::vector<Event> drained;
  drained.reserve(events_.size() + 1);
  if (Any(counts_)) drained.emplace_back(counts_);
  counts_ = {};
  for (Event& event : events_)
    drained.push_back(std::move(event));
  events_.clear();
  return drained;
}

void EventTally::Take(const std::vector<Event>& events) {
  for (const Event& event : events) {
    std::visit(
        [this](const auto& e) {
          using E = std::decay_t<decltype(e)>;
          if constexpr (std::is_same_v<E, SaveEnded>) {
            ++savesEnded;
            if (!e.ok()) ++failedSaves;
          } else if constexpr (std::is_same_v<E, FileNotice>) {
            ++fileNotices;
          } else if constexpr (std::is_same_v<E, WorldReplaced>) {
            ++(e.origin == WorldReplaced::Origin::Loaded ? loadedWorlds : generatedWorlds);
          } else if constexpr (std::is_same_v<E, AnimalsChanged>) {
            Add(born, e.born);
            Add(died, e.died);
            Add(dropped, e.dropped);
            Add(sacrificed, e.sacrificed);
          } else if constexpr (std::is_same_v<E, MonthTurned>) {
            ++monthsTurned;
          } else if constexpr (std::is_same_v<E, YearTurned>) {
            ++yearsTurned;
          } else if constexpr (std::is_same_v<E, MapRedrawn>) {
            ++mapRedraws;
          } else if constexpr (std::is_same_v<E, SpeciesRegrouped>) {
            ++speciesRegroupings;
          } else if constexpr (std::is_same_v<E, SampleRecorded>) {
            ++samplesRecorded;
          } else if constexpr (std::is_same_v<E, MessageShown>) {
            lastMessage = e.text;
            if (messageLimit == 0) return;
            if (messageLines.size() >= messageLimit) {
              messageLines.erase(
                  messageLines.begin(),
                  messageLines.begin() + static_cast<ptrdiff_t>((messageLines.size() + 1) / 2));
            }
            messageLines.push_back(e.text);
          } else if constexpr (std::is_same_v<E, CaptionsChanged>) {
            ++captionChanges;
          } else if constexpr (std::is_same_v<E, TickIntervalChanged>) {
            tickInterval = e.milliseconds;
          }
        },
        event);
  }
}

}  // namespace ombrivale

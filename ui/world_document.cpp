#include "ui/world_document.h"

#include <algorithm>
#include <type_traits>

#include "core/lineage.h"
#include "sim/tick.h"
#include "world/file_system.h"

namespace ombrivale::ui {

namespace {

int ClampToInt(uint32_t count) {
  return static_cast<int>(std::min<uint32_t>(count, INT32_MAX));
}

}  // namespace

WorldDocument::WorldDocument(FileSystem* saveFiles, QObject* parent)
    : QObject(parent), world_(std::make_unique<World>()), display_(std::make_unique<Display>()) {
  saver_ = saveFiles != nullptr ? std::make_unique<BackgroundSaver>(*saveFiles)
                                : std::make_unique<BackgroundSaver>();
  world_->display = display_.get();
  world_->saves = saver_.get();
  world_->events.Listen();

  timer2_.setObjectName(QStringLiteral("Timer2"));
  timer2_.setTimerType(Qt::PreciseTimer);
  connect(&timer2_, &QTimer::timeout, this, &WorldDocument::Timer2Fired);
  catchUp_.setSingleShot(true);
  catchUp_.setInterval(0);
  connect(&catchUp_, &QTimer::timeout, this, &WorldDocument::Timer2Fired);
  schedule_.start();
  timer1_.setObjectName(QStringLiteral("Timer1"));
  timer1_.setInterval(500);
  connect(&timer1_, &QTimer::timeout, this, &WorldDocument::Timer1Fired);
}

WorldDocument::~WorldDocument() {
  timer1_.stop();
  timer2_.stop();
  catchUp_.stop();
  saver_.reset();  // a save still being written ends first
  world_->seam = nullptr;
  world_->display = nullptr;
  world_->saves = nullptr;
}

void WorldDocument::Tick() {
  if (inTick_ || held_) return;
  inTick_ = true;
  SimulationTick(*world_);
  inTick_ = false;
  emit Ticked();
  Drain();
}

void WorldDocument::Timer2Fired() {
  // No tick while a world is being built: the map redraw inside NewWorld
  // lets events run, and a tick there would step a half-made world.
  if (!timer2_.isActive() || held_ || inTick_ || world_->GameStarted == 0) return;
  const qint64 interval = static_cast<qint64>(timer2_.interval()) * 1'000'000;
  qint64 now = schedule_.nsecsElapsed();
  if (now < nextTickDue_) return;  // a made-up tick ran ahead of this one
  // More than 20 intervals behind (a slow machine, a modal dialogue): start
  // the schedule afresh rather than run a burst of ticks.
  if (now - nextTickDue_ > 20 * interval) nextTickDue_ = now;
  nextTickDue_ += interval;
  Tick();
  now = schedule_.nsecsElapsed();
  if (now >= nextTickDue_ && !catchUp_.isActive()) catchUp_.start();
}

void WorldDocument::RestartTickSchedule() {
  nextTickDue_ = schedule_.nsecsElapsed() + static_cast<qint64>(timer2_.interval()) * 1'000'000;
}

void WorldDocument::Timer1Fired() {
  // Held while start-up runs: a message box of the start-up keeps the
  // timers going, and a year turned on the empty table would save it over
  // the world that is about to be loaded.
  if (held_) return;
  if (!monthStepsPaused_) MonthStep(*world_);
  // A save that ended while no tick runs is reported here.
  if (!inTick_) saver_->ReportEnded(*world_);
  Drain();
}

void WorldDocument::Drain() {
  // A handler that changes the world again (or lets events run) is drained
  // by the loop here, not by a nested call.
  if (draining_ || inTick_) return;
  draining_ = true;
  while (!world_->events.Empty()) {
    const std::vector<Event> events = world_->events.Drain();
    bool messages = false;
    for (const Event& event : events) {
      if (std::holds_alternative<ombrivale::MessageShown>(event)) {
        messages = true;  // one signal however many lines: the label shows the last
      } else {
        Tell(event);
        Emit(event);
      }
    }
    if (messages) emit MessageShown();
  }
  NoteTrackedAnimal();
  draining_ = false;
}

void WorldDocument::Emit(const Event& event) {
  std::visit(
      [this](const auto& e) {
        using E = std::decay_t<decltype(e)>;
        if constexpr (std::is_same_v<E, ombrivale::SaveEnded>) {
          QStringList errors;
          for (const Status& error : e.errors)
            errors << QString::fromStdString(ErrorDescription(error));
          emit SaveEnded(QString::fromStdString(e.folder), errors);
        } else if constexpr (std::is_same_v<E, ombrivale::WorldReplaced>) {
          emit WorldReplaced(e.origin == ombrivale::WorldReplaced::Origin::Loaded);
        } else if constexpr (std::is_same_v<E, ombrivale::AnimalsChanged>) {
          emit AnimalsChanged(ClampToInt(e.born), ClampToInt(e.died), ClampToInt(e.dropped),
                              ClampToInt(e.sacrificed));
        } else if constexpr (std::is_same_v<E, ombrivale::MonthTurned>) {
          emit MonthTurned(e.year, e.month);
        } else if constexpr (std::is_same_v<E, ombrivale::YearTurned>) {
          emit YearTurned(e.year);
        } else if constexpr (std::is_same_v<E, ombrivale::MapRedrawn>) {
          emit MapRedrawn();
        } else if constexpr (std::is_same_v<E, ombrivale::SpeciesRegrouped>) {
          emit SpeciesRegrouped();
        } else if constexpr (std::is_same_v<E, ombrivale::SampleRecorded>) {
          emit SampleRecorded();
        } else if constexpr (std::is_same_v<E, ombrivale::CaptionsChanged>) {
          emit CaptionsChanged();
        } else if constexpr (std::is_same_v<E, ombrivale::TickIntervalChanged>) {
          emit TickIntervalChanged(e.milliseconds);
        }
      },
      event);
}

void WorldDocument::Tell(const Event& event) {
  if (world_->seam == nullptr) return;  // no window yet to tell it in
  for (const Notice& notice : NoticesOf(event))
    world_->seam->ShowMessageBox(notice.text, notice.title, Buttons::Ok);
}

void WorldDocument::NoteTrackedAnimal() {
  const int slot = display_->SelectedAnimal;
  const uint64_t id =
      slot >= 1 && slot <= kSlotCount ? LivingId(world_->lineage, world_->Animals, slot) : 0;
  if (slot == trackedSlot_ && id == trackedId_) return;
  trackedSlot_ = slot;
  trackedId_ = id;
  emit TrackedAnimalChanged(slot);
}

}  // namespace ombrivale::ui

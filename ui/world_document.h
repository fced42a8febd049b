// The world the desktop program shows, and what tells the windows it changed.
//
// One document owns the world, its display record, the background saver and
// the two timers that drive the simulation: Timer2 runs a tick every
// millisecond on a steady schedule, Timer1 the month step twice a second.
// After each tick, month step or action it drains the events the library
// posted (core/events.h) and re-emits them as Qt signals. Each window
// connects to what it shows; none asks another to refresh.
//
//   Timer2 -> Tick() -> SimulationTick(world) -> Drain() -> Ticked(), then
//             one signal per kind of event the tick posted -> the windows
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <memory>

#include "core/world.h"
#include "world/background_save.h"

namespace ombrivale::ui {

class WorldDocument : public QObject {
  Q_OBJECT

 public:
  // `saveFiles`: where the saves are written (must outlive the document);
  // null: the real file system.
  explicit WorldDocument(FileSystem* saveFiles = nullptr, QObject* parent = nullptr);
  ~WorldDocument() override;

  World& GetWorld() { return *world_; }
  const World& GetWorld() const { return *world_; }
  Display& GetDisplay() { return *display_; }
  BackgroundSaver& Saver() { return *saver_; }

  // While held (start-up, and after the program ended) neither timer steps
  // the world. While the month steps are paused Timer1 only reports saves.
  void SetHeld(bool held) { held_ = held; }
  bool Held() const { return held_; }
  void SetMonthStepsPaused(bool paused) { monthStepsPaused_ = paused; }

  // One simulation tick and its events; nothing while a tick runs (a
  // message box of the tick lets clicks and timers run).
  void Tick();
  bool InTick() const { return inTick_; }
  // Re-emits what the library posted since the last drain. Called after
  // every tick and month step; a window calls it after it changed the world
  // (a drop, a kill, the sea level).
  void Drain();

  QTimer& Timer1() { return timer1_; }
  QTimer& Timer2() { return timer2_; }
  // Timer2 (1 ms): runs the tick when it is due on a steady 1 ms schedule.
  // Qt restarts a late timer's interval from the moment it fired, which
  // would stretch every tick by the wake-up delay (about 0.1 ms); a tick that
  // falls a whole interval behind is made up at once through the event loop,
  // so pending events and one repaint still come between any two ticks.
  void Timer2Fired();
  // The next tick is due one interval from now.
  void RestartTickSchedule();
  // Timer1: the month step, then the saves that ended.
  void Timer1Fired();

 signals:
  // A tick ran (emitted before the tick's other events).
  void Ticked();
  void MonthTurned(int year, int month);
  void YearTurned(int year);
  // A month's sample was added to the history.
  void SampleRecorded();
  void SpeciesRegrouped();
  void MapRedrawn();
  // Counts since the last drain; `dropped` and `sacrificed` are the user's.
  void AnimalsChanged(int born, int died, int dropped, int sacrificed);
  void WorldReplaced(bool loaded);
  void SaveEnded(const QString& folder, const QStringList& errors);
  // The message line (Display::Label3) and perhaps the log changed.
  void MessageShown();
  void CaptionsChanged();
  void TickIntervalChanged(int milliseconds);
  // The tracked animal (Display::SelectedAnimal) is another, or the same
  // slot holds another animal.
  void TrackedAnimalChanged(int slot);

 private:
  // Shows what the user is told of `event` (a failed save's faults, a file
  // refused) as message boxes through the world's seam.
  void Tell(const Event& event);
  void Emit(const Event& event);
  void NoteTrackedAnimal();

  std::unique_ptr<World> world_;
  std::unique_ptr<Display> display_;
  std::unique_ptr<BackgroundSaver> saver_;
  QTimer timer1_;
  QTimer timer2_;
  QElapsedTimer schedule_;  // the steady clock of Timer2's schedule
  qint64 nextTickDue_ = 0;  // ns on schedule_
  QTimer catchUp_;          // zero-length, single shot: a made-up tick after the events
  bool inTick_ = false;
  bool held_ = false;
  bool monthStepsPaused_ = false;
  bool draining_ = false;
  int trackedSlot_ = 0;
  uint64_t trackedId_ = 0;
};

}  // namespace ombrivale::ui

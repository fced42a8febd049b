// The "&Run" menu and the status bar: pause, resume and step the
// simulation, and choose its speed.
//
// "&Real Time" is the main window's own 1 ms Timer2. "&Fast" runs ticks back
// to back in batches of about 30 ms and returns to the event loop between
// two batches: the window is redrawn about 30 times a second and a click or
// a key waits at most one batch. The next batch is a posted call, queued
// behind every event posted before it, so whatever was pending when a batch
// ended runs before the next one starts.
#pragma once

#include <QElapsedTimer>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <utility>

class QAction;
class QActionGroup;
class QLabel;
class QMainWindow;

namespace ombrivale::ui {

class WorldDocument;

enum class Speed : uint8_t { RealTime, Fast };

// The keys of "Step &Month": Shift and the full stop, as each kind of
// platform reports that press.
QList<QKeySequence> StepMonthKeys();

class RunControl : public QObject {
  Q_OBJECT

 public:
  // Adds the "&Run" menu after the window's other menus and the status bar,
  // and runs `document`'s world.
  RunControl(QMainWindow& window, WorldDocument& document);

  bool Paused() const { return paused_; }
  Speed CurrentSpeed() const { return speed_; }
  // True while the main window's Timer2 should run the ticks.
  bool TicksOnTimer2() const { return !paused_ && speed_ == Speed::RealTime; }
  // True inside a batch of Fast: the world view is redrawn once at its end.
  bool InBatch() const { return inBatch_; }
  uint64_t BatchesStarted() const { return batches_; }

  void SetPaused(bool paused);
  void SetSpeed(Speed speed);
  // One tick; while paused only.
  void StepTick();
  // Ticks until the month step has run once; while paused only.
  void StepMonth();

  // Ticks per second over the last second, as the status bar shows it.
  double TicksPerSecond() const { return ticksPerSecond_; }
  // The status bar's texts from the state now ("Running", "Paused", "Fast").
  void RefreshStatusBar();
  QString StateText() const;
  // No animal was left at the last month step and Auto Restart is off.
  bool DiedOut() const;
  // After each tick: a world that has just died out is announced on the
  // message line and the status bar, and the run pauses; resumed, it runs on
  // empty without a second word until animals live in it again.
  void NoticeDiedOut();
  // The date as the Time caption shows it, set when that caption changes so
  // that the two never disagree.
  void ShowDate(const QString& date);

 signals:
  // A batch of Fast has ended (the world view is drawn then, once); the
  // next one is already queued.
  void BatchEnded();

 private:
  void RunBatch();
  void QueueBatch();
  void ApplyState();
  // The world's tick interval changed (0 stops the ticks).
  void ApplyTickInterval(int milliseconds);
  void MeasureSpeed();

  WorldDocument& document_;
  bool paused_ = false;
  Speed speed_ = Speed::RealTime;
  bool inBatch_ = false;
  bool batchQueued_ = false;
  uint64_t batches_ = 0;

  QAction* pause_ = nullptr;
  QAction* stepTick_ = nullptr;
  QAction* stepMonth_ = nullptr;
  QAction* realTime_ = nullptr;
  QAction* fast_ = nullptr;
  QLabel* state_ = nullptr;
  QLabel* speedText_ = nullptr;
  QLabel* date_ = nullptr;
  QLabel* note_ = nullptr;  // "The world has died out"
  bool diedOutNoticed_ = false;

  QTimer statusTimer_;  // the status bar's refresh and the speed measure
  QElapsedTimer clock_;
  std::deque<std::pair<qint64, uint64_t>> readings_;  // (ns on clock_, ticks), the last second
  double ticksPerSecond_ = 0;
};

}  // namespace ombrivale::ui

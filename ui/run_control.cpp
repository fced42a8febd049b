#include "ui/run_control.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "core/log.h"
#include "core/rules.h"
#include "sim/calendar.h"
#include "ui/world_document.h"

namespace ombrivale::ui {
namespace {

constexpr qint64 kBatchNanoseconds = 30'000'000;  // a batch of Fast: about 30 frames a second
constexpr int kStatusIntervalMs = 250;            // the status bar's refresh
constexpr qint64 kSpeedWindowNanoseconds = 1'000'000'000;  // ticks per second over the last second

}  // namespace

RunControl::RunControl(QMainWindow& window, WorldDocument& document)
    : QObject(&window), document_(document) {
  connect(&document, &WorldDocument::TickIntervalChanged, this, &RunControl::ApplyTickInterval);
  QMenu* menu = window.menuBar()->addMenu(QStringLiteral("&Run"));
  menu->setObjectName(QStringLiteral("menu_run"));
  const auto add = [&](const char* name, const QString& caption, auto handler) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  pause_ = add("menu_run_pause", QStringLiteral("&Pause"), [this] { SetPaused(!paused_); });
  pause_->setShortcut(Qt::Key_Space);
  stepTick_ = add("menu_run_step_tick", QStringLiteral("Step &Tick"), [this] { StepTick(); });
  stepTick_->setShortcut(Qt::Key_Period);
  stepMonth_ = add("menu_run_step_month", QStringLiteral("Step &Month"), [this] { StepMonth(); });
  stepMonth_->setShortcuts(StepMonthKeys());
  menu->addSeparator();
  auto* speeds = new QActionGroup(this);
  // Not "&Real Time": "&Resume" takes R while paused.
  realTime_ = add("menu_run_real_time", QStringLiteral("R&eal Time"),
                  [this] { SetSpeed(Speed::RealTime); });
  fast_ = add("menu_run_fast", QStringLiteral("&Fast"), [this] { SetSpeed(Speed::Fast); });
  for (QAction* speed : {realTime_, fast_}) {
    speed->setCheckable(true);
    speeds->addAction(speed);
  }
  // The shortcuts work wherever the focus is in the main window and its
  // secondary windows; a text field keeps its own keys.
  for (QAction* action : {pause_, stepTick_, stepMonth_})
    action->setShortcutContext(Qt::WindowShortcut);

  QStatusBar* bar = window.statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  state_ = new QLabel(bar);
  speedText_ = new QLabel(bar);
  date_ = new QLabel(bar);
  note_ = new QLabel(bar);
  state_->setObjectName(QStringLiteral("StatusState"));
  speedText_->setObjectName(QStringLiteral("StatusSpeed"));
  date_->setObjectName(QStringLiteral("StatusDate"));
  note_->setObjectName(QStringLiteral("StatusNote"));
  // Each label is as wide as its longest usual text from the start: a label
  // that grew with its text was cut off while "&Fast" changed it faster
  // than the bar laid itself out ("Y48945, Janu").
  const QFontMetrics metrics(date_->font());
  const auto reserve = [&metrics](QLabel* label, const QString& widest) {
    label->setMinimumWidth(metrics.horizontalAdvance(widest) + 2 * label->margin() + 4);
  };
  reserve(state_, QStringLiteral("Running"));
  reserve(speedText_, QStringLiteral("888888 ticks/s"));
  reserve(date_, QStringLiteral("Y8888888, September"));
  bar->addWidget(state_);
  bar->addWidget(speedText_);
  bar->addWidget(date_);
  bar->addWidget(note_);
  clock_.start();
  statusTimer_.setInterval(kStatusIntervalMs);
  connect(&statusTimer_, &QTimer::timeout, this, [this] {
    MeasureSpeed();
    RefreshStatusBar();
  });
  statusTimer_.start();
  ApplyState();
}

QString RunControl::StateText() const {
  if (paused_) return QStringLiteral("Paused");
  return speed_ == Speed::Fast ? QStringLiteral("Fast") : QStringLiteral("Running");
}

QList<QKeySequence> StepMonthKeys() {
  // One key press, Shift and the full stop, reaches the shortcut map in one
  // of two forms, never both: platforms with an xkb key map (X11, Wayland)
  // offer "Shift+." and ">" (the symbol without the Shift it used up), others
  // (offscreen) only the event as it came, "Shift+>". Binding ">" as well as
  // "Shift+." made one press match twice under X11, and Qt fired neither.
  return {QKeySequence(Qt::SHIFT | Qt::Key_Period), QKeySequence(Qt::SHIFT | Qt::Key_Greater)};
}

bool RunControl::DiedOut() const {
  const World& world = document_.GetWorld();
  return world.GameStarted != 0 && world.AutoRestart == 0 && world.AnimalCount == 0;
}

void RunControl::RefreshStatusBar() {
  state_->setText(StateText());
  speedText_->setText(QStringLiteral("%1 ticks/s").arg(qRound(ticksPerSecond_)));
  date_->setText(QString::fromStdString(document_.GetDisplay().Label1));
  note_->setText(DiedOut() ? QStringLiteral("The world has died out (Auto Restart is off)")
                           : QString());
}

void RunControl::NoticeDiedOut() {
  if (!DiedOut()) {
    diedOutNoticed_ = false;
    return;
  }
  if (diedOutNoticed_) return;  // resumed on the empty world: the user's choice
  diedOutNoticed_ = true;
  World& world = document_.GetWorld();
  LogMessage(world, document_.GetDisplay().Label1 + "  -  The world has died out: paused");
  SetPaused(true);
  RefreshStatusBar();
}

void RunControl::ShowDate(const QString& date) {
  date_->setText(date);
}

void RunControl::MeasureSpeed() {
  const qint64 now = clock_.nsecsElapsed();
  readings_.emplace_back(now, document_.GetWorld().TickCount);
  while (readings_.size() > 2 && now - readings_[1].first >= kSpeedWindowNanoseconds)
    readings_.pop_front();
  const auto& [since, ticks] = readings_.front();
  ticksPerSecond_ = now > since ? static_cast<double>(readings_.back().second - ticks) * 1e9 /
                                      static_cast<double>(now - since)
                                : 0;
}

void RunControl::ApplyState() {
  pause_->setText(paused_ ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
  stepTick_->setEnabled(paused_);
  stepMonth_->setEnabled(paused_);
  realTime_->setChecked(speed_ == Speed::RealTime);
  fast_->setChecked(speed_ == Speed::Fast);

  document_.SetMonthStepsPaused(paused_);
  QTimer& timer2 = document_.Timer2();
  const int interval = document_.GetDisplay().Timer2Interval;
  if (!TicksOnTimer2()) {
    timer2.stop();
  } else if (interval > 0 && !timer2.isActive()) {
    timer2.start(interval);
    document_.RestartTickSchedule();
  }
  if (!paused_ && speed_ == Speed::Fast) QueueBatch();
  RefreshStatusBar();
}

void RunControl::ApplyTickInterval(int milliseconds) {
  QTimer& timer = document_.Timer2();
  if (milliseconds <= 0 || !TicksOnTimer2()) {
    timer.stop();  // paused, or "&Fast": the batches drive the ticks
  } else if (!timer.isActive() || timer.interval() != milliseconds) {
    timer.start(milliseconds);
    document_.RestartTickSchedule();
  }
}

void RunControl::SetPaused(bool paused) {
  if (paused == paused_) return;
  paused_ = paused;
  ApplyState();
}

void RunControl::SetSpeed(Speed speed) {
  speed_ = speed;
  ApplyState();
}

void RunControl::StepTick() {
  if (!paused_ || document_.GetWorld().GameStarted == 0) return;
  document_.Tick();
  RefreshStatusBar();
}

void RunControl::StepMonth() {
  World& world = document_.GetWorld();
  if (!paused_ || world.GameStarted == 0) return;
  StepThroughMonth(world, [this] {
    if (document_.Held()) return false;
    document_.Tick();
    return true;
  });
  document_.Drain();  // the month step's own events
  RefreshStatusBar();
}

void RunControl::QueueBatch() {
  if (batchQueued_) return;
  batchQueued_ = true;
  QMetaObject::invokeMethod(this, &RunControl::RunBatch, Qt::QueuedConnection);
}

void RunControl::RunBatch() {
  batchQueued_ = false;
  if (paused_ || speed_ != Speed::Fast || document_.Held()) return;
  World& world = document_.GetWorld();
  if (document_.InTick() || world.GameStarted == 0) {
    // A message box of a tick, or a world being built: try again shortly.
    QTimer::singleShot(10, this, [this] {
      if (!paused_ && speed_ == Speed::Fast) QueueBatch();
    });
    return;
  }
  ++batches_;
  inBatch_ = true;
  // The ticks of a batch leave the mini map alone: it is drawn once, at the end.
  Display& display = document_.GetDisplay();
  display.dotsBetweenTicksOnly = true;
  QElapsedTimer batch;
  batch.start();
  do {
    document_.Tick();
  } while (batch.nsecsElapsed() < kBatchNanoseconds && speed_ == Speed::Fast && !paused_ &&
           !document_.Held() && world.GameStarted != 0);
  inBatch_ = false;
  display.dotsBetweenTicksOnly = false;
  emit BatchEnded();  // the world view is redrawn once a batch
  QueueBatch();
}

}  // namespace ombrivale::ui

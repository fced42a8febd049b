#include "ui/qt_seam.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QMessageBox>

#include "ui/main_window.h"
#include "ui/map_legend.h"
#include "ui/mini_map.h"
#include "ui/properties_window.h"
#include "ui/world_view.h"

namespace ombrivale::ui {

void QtSeam::MessageLineChanged(const std::string&) {
  // The label follows Display::Label3; inside a tick it is set once, when the
  // tick draws, however many messages the tick produced.
  if (!window_.InTick()) window_.RefreshStatus();
}

void QtSeam::CaptionsChanged() {
  if (!window_.InTick()) window_.RefreshStatus();
}

bool QtSeam::IsMainWindowMinimized() {
  return window_.IsMainWindowMinimized();
}

void QtSeam::SetMainWindowCaption(const std::string& caption) {
  // While minimised the tick sets the date caption once per animal.
  if (window_.windowTitle() ==
      QLatin1String(caption.data(), static_cast<qsizetype>(caption.size())))
    return;
  window_.setWindowTitle(QString::fromStdString(caption));
}

void QtSeam::Beep() {
  QApplication::beep();
}

void QtSeam::SetPointer(Pointer pointer) {
  wanted_ = pointer;
  if (!window_.InTick()) ApplyPointer();
}

void QtSeam::ApplyPointer() {
  if (wanted_ == shown_) return;
  if (shown_ != Pointer::Default) QGuiApplication::restoreOverrideCursor();
  if (wanted_ == Pointer::Wait) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  if (wanted_ == Pointer::ArrowWait) QGuiApplication::setOverrideCursor(Qt::BusyCursor);
  shown_ = wanted_;
}

void QtSeam::ScriptAnswers(std::deque<Answer> answers, Answer defaultAnswer) {
  scripted_ = true;
  answers_ = std::move(answers);
  defaultAnswer_ = defaultAnswer;
}

Answer QtSeam::ShowMessageBox(const std::string& text, const std::string& title, Buttons buttons) {
  if (scripted_) {
    Answer answer = defaultAnswer_;
    if (buttons == Buttons::Ok) {
      answer = Answer::Ok;
    } else if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    boxes_.push_back(HeadlessSeam::Box{text, title, buttons, answer});
    if (whileOpen_) whileOpen_(boxes_.back());
    return answer;
  }

  QMessageBox box(window_.isVisible() ? &window_ : nullptr);
  box.setWindowTitle(QString::fromStdString(title));
  box.setText(QString::fromStdString(text));
  switch (buttons) {
    case Buttons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  // An hourglass over a question would say "wait" where the program waits
  // for the user: show the arrow while the box is open.
  const bool busy = shown_ != Pointer::Default;
  if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  const int result = box.exec();
  if (busy) QGuiApplication::restoreOverrideCursor();
  switch (result) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    default:
      return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
  }
}

void QtSeam::ProcessEvents() {
  window_.RefreshStatus();
  ApplyPointer();
  // Inside a tick the yield is left to the event loop the tick returns to,
  // which runs the pending events before the next tick all the same. A
  // nested processEvents() here would make Qt count the 1 ms interval from
  // the end of the tick instead of from its start, and the tick would fall
  // from a thousand a second to about seven hundred.
  if (window_.InTick()) return;
  QCoreApplication::processEvents();
}

void QtSeam::DoZoomed() {
  // Called once per tick after the animals are drawn: one repaint of the
  // mini map (painted when the tick yields) and the world view's redraw.
  window_.RefreshStatus();
  window_.MiniMap().update();
  window_.MapLegend().Refresh();
  WorldViewWindow* view = window_.WorldView();
  // A batch of "&Fast" redraws the view once, at its end.
  if (view == nullptr || window_.IsMainWindowMinimized() || window_.Run().InBatch()) return;
  const QMdiSubWindow* sub = window_.SubWindowOf(view);
  if (sub == nullptr || sub->isHidden() || sub->isMinimized() || view->isHidden()) return;
  view->DoZoomed();
}

void QtSeam::UpdateListFive() {
  PropertiesWindow* properties = window_.PropertiesIfCreated();
  if (properties != nullptr && window_.IsShown(properties)) properties->UpdateListFive();
}

void QtSeam::MapRedrawn() {
  window_.MiniMap().update();
  if (PlayGodWindow* playGod = window_.PlayGodIfCreated()) playGod->Map()->RefreshBackdrop();
}

void QtSeam::Timer2IntervalChanged(int milliseconds) {
  QTimer& timer = window_.Timer2();
  if (milliseconds <= 0 || !window_.TicksOnTimer2()) {
    timer.stop();  // paused, or "&Fast": the run control drives the ticks
  } else if (!timer.isActive() || timer.interval() != milliseconds) {
    timer.start(milliseconds);
    window_.RestartTickSchedule();
  }
}

void QtSeam::ShowPropertiesWindow() {
  window_.ShowPropertiesWindow();
}

void QtSeam::CollectWindowPlacements(WindowPlacement (&windows)[kWindowCount]) {
  window_.CollectPlacements(windows);
}

void QtSeam::ApplyWindowPlacements(const WindowPlacement (&windows)[kWindowCount]) {
  window_.ApplyPlacements(windows);
}

}  // namespace ombrivale::ui

#include "ui/qt_seam.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QMessageBox>

#include <QWidget>

#include "ui/world_document.h"

namespace ombrivale::ui {

bool QtSeam::IsMainWindowMinimized() {
  return window_.isMinimized();
}

void QtSeam::Beep() {
  QApplication::beep();
}

void QtSeam::SetPointer(Pointer pointer) {
  wanted_ = pointer;
  if (!document_.InTick()) ApplyPointer();
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
  ApplyPointer();
  // Inside a tick the yield is left to the event loop the tick returns to,
  // which runs the pending events before the next tick all the same. A
  // nested processEvents() here would make Qt count the 1 ms interval from
  // the end of the tick instead of from its start, and the tick would fall
  // from a thousand a second to about seven hundred.
  if (document_.InTick()) return;
  document_.Drain();
  QCoreApplication::processEvents();
}

void QtSeam::ShowPropertiesWindow() {
  if (showPropertiesWindow) showPropertiesWindow();
}

void QtSeam::CollectWindowPlacements(WindowPlacement (&windows)[kWindowCount]) {
  if (collectPlacements) collectPlacements(windows);
}

void QtSeam::ApplyWindowPlacements(const WindowPlacement (&windows)[kWindowCount]) {
  if (applyPlacements) applyPlacements(windows);
}

}  // namespace ombrivale::ui

#include "ui/frame_recorder.h"

#include <QDir>
#include <QFileDialog>
#include <QImageWriter>
#include <QInputDialog>
#include <algorithm>
#include <string>

namespace ombrivale::ui {
namespace {

constexpr int kMostMonthsBetween = 1200;  // a hundred years

QString FramePath(const QString& folder, uint64_t number) {
  return QStringLiteral("%1/frame-%2.png").arg(folder).arg(number, 6, 10, QLatin1Char('0'));
}

QStringList FramesIn(const QDir& folder) {
  return folder.entryList({QStringLiteral("frame-*.png")}, QDir::Files);
}

}  // namespace

FrameRecorder::FrameRecorder(std::function<QImage()> picture)
    : picture_(std::move(picture)), writer_([this] { WriteFrames(); }) {}

FrameRecorder::~FrameRecorder() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

bool FrameRecorder::Start(const QString& folder, int months, uint64_t monthsNow) {
  Stop();
  Flush();  // an earlier recording's frames are written first, its failure forgotten
  {
    std::lock_guard lock(mutex_);
    failure_.clear();
    written_ = 0;
  }
  problem_.clear();
  if (!QDir().mkpath(folder)) {
    problem_ = QStringLiteral("The folder %1 could not be made.").arg(folder);
    return false;
  }
  folder_ = folder;
  months_ = std::clamp(months, 1, kMostMonthsBetween);
  lastMonths_ = monthsNow;
  taken_ = 0;
  recording_ = true;
  Take();
  return true;
}

void FrameRecorder::Stop() {
  recording_ = false;
}

bool FrameRecorder::NoteMonths(uint64_t monthsNow) {
  if (!recording_) return true;
  if (TakeFailure()) return false;
  if (monthsNow < lastMonths_) lastMonths_ = monthsNow;  // a history begun again
  if (monthsNow - lastMonths_ < static_cast<uint64_t>(months_)) return true;
  lastMonths_ = monthsNow;
  Take();
  return true;
}

bool FrameRecorder::Flush() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return pending_.empty() && !writing_; });
  return failure_.isEmpty();
}

void FrameRecorder::Take() {
  QImage picture = picture_();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return pending_.size() < kMostPending; });
  pending_.emplace_back(FramePath(folder_, taken_++), std::move(picture));
  lock.unlock();
  changed_.notify_all();
}

bool FrameRecorder::TakeFailure() {
  std::lock_guard lock(mutex_);
  if (failure_.isEmpty()) return false;
  if (problem_.isEmpty()) {
    problem_ = failure_ + QStringLiteral(" The recording stopped after %1 frames.").arg(written_);
  }
  recording_ = false;
  return true;
}

void FrameRecorder::WriteFrames() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return quit_ || !pending_.empty(); });
    if (pending_.empty()) return;  // quitting, every frame written
    auto [path, picture] = std::move(pending_.front());
    pending_.pop_front();
    writing_ = true;
    lock.unlock();
    QImageWriter writer(path, "png");
    const bool written = writer.write(picture);
    lock.lock();
    writing_ = false;
    if (written) ++written_;
    // After one failure the later frames are dropped: a gap would not be seen.
    if (!written && failure_.isEmpty()) {
      failure_ =
          QStringLiteral("The frame %1 could not be written: %2.").arg(path, writer.errorString());
    }
    if (!failure_.isEmpty()) pending_.clear();
    changed_.notify_all();
  }
}

AskRecording RecordingDialogues(QWidget* parent, const QString& what) {
  return [parent, what](QString& folder, int& months) {
    folder = QFileDialog::getExistingDirectory(
        parent, QStringLiteral("Record %1 Into a Folder").arg(what), folder);
    if (folder.isEmpty()) return false;
    bool ok = false;
    months = QInputDialog::getInt(parent, QStringLiteral("Record %1").arg(what),
                                  QStringLiteral("Months between frames:"), months, 1,
                                  kMostMonthsBetween, 1, &ok);
    return ok;
  };
}

bool StartRecording(FrameRecorder& recorder, Seam& seam, const AskRecording& ask,
                    uint64_t monthsNow) {
  QString folder = recorder.Folder();
  int months = recorder.Months();
  if (!ask(folder, months)) return false;
  const QDir dir(folder);
  const QStringList old = FramesIn(dir);
  if (!old.isEmpty()) {
    const std::string question = "The folder " + folder.toStdString() + " already holds " +
                                 std::to_string(old.size()) +
                                 " frames. Replace them with the new recording?";
    if (seam.ShowMessageBox(question, "Record Frames", Buttons::YesNo) != Answer::Yes) return false;
    for (const QString& name : old) {
      if (!QFile::remove(dir.filePath(name))) {
        seam.ShowMessageBox("The frame " + dir.filePath(name).toStdString() +
                                " could not be deleted: nothing was recorded.",
                            "ERROR", Buttons::Ok);
        return false;
      }
    }
  }
  if (recorder.Start(folder, months, monthsNow)) return true;
  seam.ShowMessageBox(recorder.Problem().toStdString(), "ERROR", Buttons::Ok);
  return false;
}

void ReportRecordingFailure(const FrameRecorder& recorder, Seam& seam) {
  seam.ShowMessageBox(recorder.Problem().toStdString(), "ERROR", Buttons::Ok);
}

}  // namespace ombrivale::ui

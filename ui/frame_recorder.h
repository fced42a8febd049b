// A window's picture as numbered PNG files while the world runs: one when
// recording starts, then one every few months, named as ombrivale-run names
// its frames ("frame-000000.png", "frame-000001.png", ...), so the same
// ffmpeg line turns either into a video.
//
// The pictures are taken on the window's thread, at the month they show,
// and written on a thread of their own: the simulation does not wait for
// the disk, unless kMostPending pictures are still unwritten (a slow disk
// in Fast mode), when it waits rather than lose a frame.
#pragma once

#include <QImage>
#include <QString>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "core/seam.h"

class QWidget;

namespace ombrivale::ui {

class FrameRecorder {
 public:
  static constexpr size_t kMostPending = 32;  // about 16 MB of mini map pictures at scale 2

  explicit FrameRecorder(std::function<QImage()> picture);
  ~FrameRecorder();  // the pictures taken are written first
  FrameRecorder(const FrameRecorder&) = delete;
  FrameRecorder& operator=(const FrameRecorder&) = delete;

  // Makes the folder and takes the first frame. `monthsNow` is a count that
  // grows by one every month (the history's months recorded). False, with
  // the reason in Problem(), when the folder cannot be made.
  bool Start(const QString& folder, int months, uint64_t monthsNow);
  // Takes no more frames; those taken are still written.
  void Stop();
  bool Recording() const { return recording_; }

  // Takes a frame when `months` months have passed since the last one.
  // False once a frame could not be written: recording stops and Problem()
  // says which frame and why.
  bool NoteMonths(uint64_t monthsNow);
  // Waits until every picture taken is written; false when one failed (the
  // next NoteMonths reports it).
  bool Flush();

  const QString& Problem() const { return problem_; }
  const QString& Folder() const { return folder_; }
  int Months() const { return months_; }
  uint64_t Taken() const { return taken_; }

 private:
  void Take();
  bool TakeFailure();  // the writer's failure, if any, becomes Problem()
  void WriteFrames();  // the writer thread

  std::function<QImage()> picture_;
  QString folder_;
  QString problem_;
  int months_ = 1;
  uint64_t lastMonths_ = 0;
  uint64_t taken_ = 0;
  bool recording_ = false;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::pair<QString, QImage>> pending_;  // path and picture, oldest first
  bool writing_ = false;                            // the writer holds one
  QString failure_;                                 // the writer's first failure
  uint64_t written_ = 0;
  bool quit_ = false;
  std::thread writer_;
};

// The folder and the months between frames, from the user; false when
// cancelled. Tests replace it.
using AskRecording = std::function<bool(QString& folder, int& months)>;
// The usual dialogues: a folder, then a number of months (1 to 1200).
AskRecording RecordingDialogues(QWidget* parent, const QString& what);

// Asks through `ask`, then, when the folder already holds frames, whether to
// replace them (through `seam`; they are deleted first, so no older frame
// follows the new ones), and starts. A folder that cannot be made or
// cleared is reported in an ERROR box. False when not started.
bool StartRecording(FrameRecorder& recorder, Seam& seam, const AskRecording& ask,
                    uint64_t monthsNow);
// Reports a recording that stopped on a failure in an ERROR box.
void ReportRecordingFailure(const FrameRecorder& recorder, Seam& seam);

}  // namespace ombrivale::ui

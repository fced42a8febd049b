#include "world/background_save.h"

namespace ombrivale {

BackgroundSaver::BackgroundSaver(FileSystem& files) : files_(files) {}

BackgroundSaver::BackgroundSaver()
    : ownFiles_(std::make_unique<PosixFileSystem>()), files_(*ownFiles_) {}

BackgroundSaver::~BackgroundSaver() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !hasWaiting_ && !isWriting_; });
    stopping_ = true;
  }
  changed_.notify_all();
  if (writer_.joinable()) writer_.join();
}

void BackgroundSaver::Start(World& world, const std::string& folder) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    // A save waiting for another folder is not merged away: it is let go
    // to the writer first.
    // Nor is one that writes a savepoint.
    changed_.wait(lock, [&] {
      return !hasWaiting_ || (waiting_->folder == folder && waiting_->writeWorld &&
                              !waiting_->snapshot.hasSavepoint && !world.savepointWithSave);
    });
    // The writer never touches the waiting job: it takes it by a swap under
    // the lock. A save still waiting is merged into this newer one.
    if (hasWaiting_) {
      std::swap(waiting_, merged_);
      TakeSnapshot(world, waiting_->snapshot);
      MergeSnapshot(merged_->snapshot, waiting_->snapshot);
    } else {
      TakeSnapshot(world, waiting_->snapshot);
    }
    waiting_->folder = folder;
    waiting_->writeWorld = true;
    hasWaiting_ = true;
    if (!writer_.joinable()) writer_ = std::thread(&BackgroundSaver::Run, this);
  }
  changed_.notify_all();
}

void BackgroundSaver::StartSavepoint(World& world, const std::string& folder,
                                     const SavepointAsk& ask) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !hasWaiting_; });
    TakeSnapshot(world, waiting_->snapshot, false);
    waiting_->snapshot.hasSavepoint = true;
    waiting_->snapshot.savepoint = ask;
    waiting_->snapshot.hasLeftover.clear();
    waiting_->folder = folder;
    waiting_->writeWorld = false;
    hasWaiting_ = true;
    if (!writer_.joinable()) writer_ = std::thread(&BackgroundSaver::Run, this);
  }
  changed_.notify_all();
}

void BackgroundSaver::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return hasWaiting_ || stopping_; });
    if (!hasWaiting_) return;  // stopping with nothing to write
    std::swap(waiting_, writing_);
    hasWaiting_ = false;
    isWriting_ = true;
    lock.unlock();
    std::vector<Status> errors =
        WriteSaveJob(writing_->snapshot, writing_->folder, files_, writing_->writeWorld);
    lock.lock();
    isWriting_ = false;
    // A savepoint alone is told only when it failed.
    if (writing_->writeWorld || !errors.empty()) {
      ended_.push_back(Ended{writing_->folder, std::move(errors)});
      anyEnded_.store(true, std::memory_order_release);
    }
    if (writing_->writeWorld) ++written_;
    changed_.notify_all();
  }
}

void BackgroundSaver::ReportEnded(World& world) {
  // Called every tick: nothing is taken (an empty deque allocates) unless a
  // save has ended.
  if (!anyEnded_.load(std::memory_order_acquire)) return;
  std::deque<Ended> ended;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ended.swap(ended_);
    anyEnded_.store(false, std::memory_order_relaxed);
  }
  // Reported outside the lock: an error box waits for the user.
  for (const Ended& save : ended)
    ReportSave(world, save.folder, save.errors);
}

void BackgroundSaver::Finish(World& world) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !hasWaiting_ && !isWriting_; });
  }
  ReportEnded(world);
}

bool BackgroundSaver::Busy() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return hasWaiting_ || isWriting_;
}

uint64_t BackgroundSaver::Written() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return written_;
}

}  // namespace ombrivale

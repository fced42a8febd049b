#include "world/background_save.h"

namespace ombrivale {

BackgroundSaver::BackgroundSaver(FileSystem& files) : files_(files) {}

BackgroundSaver::BackgroundSaver()
    : ownFiles_(std::make_unique<PosixFileSystem>()), files_(*ownFiles_) {}

BackgroundSaver::~BackgroundSaver() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !isWriting_; });
    stopping_ = true;
  }
  changed_.notify_all();
  if (writer_.joinable()) writer_.join();
}

std::unique_ptr<BackgroundSaver::Job> BackgroundSaver::TakeJob() {
  if (spare_.empty()) return std::make_unique<Job>();
  std::unique_ptr<Job> job = std::move(spare_.back());
  spare_.pop_back();
  return job;
}

void BackgroundSaver::Spare(std::unique_ptr<Job> job) {
  // A burst of savepoints in Fast fills the queue; afterwards a few copies
  // serve the yearly saves, and the rest give their memory back.
  if (spare_.size() < kSpareJobs) spare_.push_back(std::move(job));
}

void BackgroundSaver::Start(World& world, const std::string& folder) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kQueuedSaves; });
    std::unique_ptr<Job> job = TakeJob();
    TakeSnapshot(world, job->snapshot);
    job->folder = folder;
    job->writeWorld = true;
    // The writer never touches a waiting job: it takes the oldest under the
    // lock. The newest still waiting, a save of the same folder, is merged
    // into this newer one; it stays only for a savepoint it carries. A save
    // waiting for another folder is not merged away.
    if (!queue_.empty() && queue_.back()->writeWorld && queue_.back()->folder == folder) {
      Job& older = *queue_.back();
      MergeSnapshot(older.snapshot, job->snapshot);
      if (older.snapshot.hasSavepoint) {
        older.writeWorld = false;
        older.snapshot.hasLeftover.clear();  // a savepoint holds the save's own files
      } else {
        Spare(std::move(queue_.back()));
        queue_.pop_back();
      }
    }
    queue_.push_back(std::move(job));
    if (!writer_.joinable()) writer_ = std::thread(&BackgroundSaver::Run, this);
  }
  changed_.notify_all();
}

void BackgroundSaver::StartSavepoint(World& world, const std::string& folder,
                                     const SavepointAsk& ask) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kQueuedSaves; });
    std::unique_ptr<Job> job = TakeJob();
    TakeSnapshot(world, job->snapshot, false);
    job->snapshot.hasSavepoint = true;
    job->snapshot.savepoint = ask;
    job->folder = folder;
    job->writeWorld = false;
    queue_.push_back(std::move(job));
    if (!writer_.joinable()) writer_ = std::thread(&BackgroundSaver::Run, this);
  }
  changed_.notify_all();
}

void BackgroundSaver::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
    if (queue_.empty()) return;  // stopping with nothing to write
    std::unique_ptr<Job> job = std::move(queue_.front());
    queue_.pop_front();
    isWriting_ = true;
    lock.unlock();
    std::vector<Status> errors = WriteSaveJob(job->snapshot, job->folder, files_, job->writeWorld);
    lock.lock();
    isWriting_ = false;
    // A savepoint alone is told only when it failed.
    if (job->writeWorld || !errors.empty()) {
      ended_.push_back(Ended{job->folder, std::move(errors)});
      anyEnded_.store(true, std::memory_order_release);
    }
    if (job->writeWorld) ++written_;
    Spare(std::move(job));
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
    changed_.wait(lock, [this] { return queue_.empty() && !isWriting_; });
  }
  ReportEnded(world);
}

bool BackgroundSaver::Busy() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !queue_.empty() || isWriting_;
}

uint64_t BackgroundSaver::Written() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return written_;
}

}  // namespace ombrivale

// A save queue that writes on a thread of its own.
//
// Start copies what the save writes (TakeSnapshot) and hands the copy to the
// writer thread; the world runs on at once. There is never more than one
// writer: a save asked for while one is being written waits, and a newer
// one is merged with a save still waiting: the newer state is written,
// together with the animal files the older save would have left (see
// SaveSnapshot::leftovers), so the folder ends byte for byte as if every
// save had been written in turn; the user sees only that saving is fast. The files, their order,
// the flushes and the swap are those of a save done at once (WriteSnapshot), so every crash-safety
// property holds: a process killed at any moment leaves one complete world on disk.
//
// Savepoints (world/savepoint.h) go through the same queue, in order: a save
// that carries one is not dropped by a merge but kept to write its savepoint
// alone, and a savepoint asked for alone is never merged. At most
// kQueuedSaves wait; a save asked for beyond that waits for the writer.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/save_queue.h"
#include "world/file_system.h"
#include "world/world_files.h"

namespace ombrivale {

class BackgroundSaver final : public SaveQueue {
 public:
  // Writes through `files`, which must outlive the saver and be safe to use
  // from the writer thread while others use their own file systems.
  explicit BackgroundSaver(FileSystem& files);
  // Writes through the real file system.
  BackgroundSaver();
  // Waits for the saves asked for; reports nothing (there may be no world).
  ~BackgroundSaver() override;

  BackgroundSaver(const BackgroundSaver&) = delete;
  BackgroundSaver& operator=(const BackgroundSaver&) = delete;

  void Start(World& world, const std::string& folder) override;
  // A savepoint is never merged with another save: one still waiting is
  // first let go to the writer.
  void StartSavepoint(World& world, const std::string& folder, const SavepointAsk& ask) override;
  void ReportEnded(World& world) override;
  void Finish(World& world) override;
  bool Busy() const override;

  // Saves written in all (merged ones count once), for tests and figures.
  uint64_t Written() const;

 private:
  static constexpr size_t kQueuedSaves = 8;
  // Written jobs kept for their snapshots' storage; beyond these they are freed.
  static constexpr size_t kSpareJobs = 2;

  struct Job {
    SaveSnapshot snapshot;
    std::string folder;
    bool writeWorld = true;  // false: its savepoint alone
  };

  void Run();
  // A job from the spare ones (their snapshots' storage is reused), or a new
  // one. Under the lock.
  std::unique_ptr<Job> TakeJob();
  // Keeps a written or merged job as a spare, or frees it. Under the lock.
  void Spare(std::unique_ptr<Job> job);

  std::unique_ptr<FileSystem> ownFiles_;
  FileSystem& files_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<Job>> queue_;  // waiting for the writer, oldest first
  std::vector<std::unique_ptr<Job>> spare_;
  bool isWriting_ = false;
  bool stopping_ = false;
  struct Ended {
    std::string folder;
    std::vector<Status> errors;
  };
  std::deque<Ended> ended_;            // written, not yet reported
  std::atomic<bool> anyEnded_{false};  // a cheap look for ReportEnded
  uint64_t written_ = 0;
  std::thread writer_;  // started with the first save
};

}  // namespace ombrivale

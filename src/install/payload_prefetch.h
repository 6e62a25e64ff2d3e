// Unpacking the payload of a cabinet build ahead of the copy, on a thread of its own: while the
// copy moves one file into place and logs it, the next few are already being decompressed into
// their temporary files. The copy still decides everything, in order; this only has the bytes
// ready.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "install/payload_copy.h"

namespace tw {

class FileSystem;
class PayloadStream;
class StampedFile;

class PayloadPrefetch {
 public:
  // How many jobs may be under way ahead of the last one taken.
  static constexpr size_t kAhead = 16;

  // Who does the unpacking: a thread of its own, or the copy itself as it takes each job (also
  // what happens when the system will not start a thread).
  enum class Worker { kOwnThread, kTheCopy };

  // Starts on the jobs of the copy's plan (its steps that have a job number), in order. The stream
  // is used by this object alone until it is gone.
  PayloadPrefetch(PayloadStream& stream, FileSystem& files, const std::vector<CopyStep>& plan,
                  Worker worker = Worker::kOwnThread);
  // Stops the thread once the file in hand is done, and deletes the files of jobs begun but never
  // taken.
  ~PayloadPrefetch();
  PayloadPrefetch(const PayloadPrefetch&) = delete;
  PayloadPrefetch& operator=(const PayloadPrefetch&) = delete;

  // The temporary file of a job, beside its destination. Each job has a name of its own, so two
  // entries for one destination never write the same file.
  const std::string& TempPath(size_t job) const { return jobs_[job].tempPath; }
  // Waits for the job and hands its temporary file over to the caller, written and still open (to
  // be closed, or moved and closed, by the caller); null when it could not be written whole. Jobs
  // are taken in order; those passed over (a file the copy keeps, say) are given up and their
  // files deleted.
  std::unique_ptr<StampedFile> Take(size_t job);
  // Writes the job last taken again (a retry after a failed write); true when written whole.
  bool Rewrite(size_t job);

 private:
  // Where a job stands. Files are created in order and filled in order (the cabinets are read
  // front to back), each by whichever side gets to it first, so the first job at each stage after
  // the last one taken is the next to move on.
  enum class Stage : uint8_t {
    kWaiting,    // nothing done yet
    kCreating,   // its file being created
    kCreated,    // its file created (or the creation failed: no file)
    kFilling,    // being decompressed into its file
    kFilled,     // done: its file written and open, or no file when it failed or was passed over
    kRewriting,  // a taken job being written again for a retry
    kRewritten,  // the retry's writing is over; the answer is in rewritten
  };
  struct Job {
    std::string member;  // in the cabinets
    std::string tempPath;
    std::unique_ptr<StampedFile> file;
    Stage stage = Stage::kWaiting;
    bool rewritten = false;
  };

  // The one way the lock is let go: the work on files runs without it, and a failure it throws
  // (memory, the system) counts as the work failing, so neither thread ends the process.
  template <typename Work>
  static auto Unlocked(std::unique_lock<std::mutex>& hold, Work work) -> decltype(work());

  // The first job from the one being taken on, within the window ahead, whose stage is below
  // stage; nothing when the window holds none.
  std::optional<size_t> FirstBelow(Stage stage) const;
  // The job the thread should turn to next: a retry the copy waits for, else the next to fill
  // unless the copy is creating its file; nothing when there is none.
  std::optional<size_t> NextForFiller() const;
  // Whether every job from first to last is filled (or given up unfilled).
  bool AllFilled(size_t first, size_t last) const;

  // Creating a file costs a round trip through the system of its own, so the copy, instead of only
  // waiting for a file, creates those further ahead; the thread creates a file itself when it
  // gets to one nobody has created yet, and decompresses into those created.
  void FillAhead();
  // Like every member below taking hold, called with the lock held, and lets it go only through
  // Unlocked. Decompresses into the job's file, creating it first when nobody has.
  void Fill(std::unique_lock<std::mutex>& hold, size_t job);
  void Create(std::unique_lock<std::mutex>& hold, size_t job);
  void WriteAgain(std::unique_lock<std::mutex>& hold, size_t job);
  // Waits on the copy's side until the filler has moved a job on.
  void CopyWaits(std::unique_lock<std::mutex>& hold);
  // Deletes what a given-up job left, whether or not it was written whole.
  void GiveUp(size_t job);

  PayloadStream& stream_;
  FileSystem& files_;
  std::vector<Job> jobs_;
  std::mutex lock_;
  // Waking a thread is a round trip through the system on some platforms, so each side only wakes
  // the other when it is known to wait.
  std::condition_variable wakeFiller_, wakeCopy_;
  bool fillerWaits_ = false, copyWaits_ = false;
  size_t taken_ = 0;  // jobs before this one are taken or given up
  bool stop_ = false;
  std::thread filler_;
};

}  // namespace tw

// Unpacking the payload of a cabinet build ahead of the copy, on a thread of its own: while the
// copy moves one file into place and logs it, the next few are already being decompressed into
// their temporary files. The copy still decides everything, in order; this only has the bytes
// ready.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tw {

class FileSystem;
class PayloadStream;
class StampedFile;

class PayloadPrefetch {
 public:
  struct Job {
    std::string storedName;  // the member in the cabinets
    std::string tempPath;    // the temporary file it is written to
  };
  // How many jobs may be under way ahead of the last one taken.
  static constexpr size_t kAhead = 16;

  // Who does the unpacking: a thread of its own, or the copy itself as it takes each job (also
  // what happens when the system will not start a thread).
  enum class Worker { kOwnThread, kTheCopy };

  // Starts on the jobs, in order. The stream is used by this object alone until it is gone.
  PayloadPrefetch(PayloadStream& stream, FileSystem& files, std::vector<Job> jobs, Worker worker = Worker::kOwnThread);
  // Stops the thread once the file in hand is done, and deletes the files of jobs begun but never
  // taken.
  ~PayloadPrefetch();
  PayloadPrefetch(const PayloadPrefetch&) = delete;
  PayloadPrefetch& operator=(const PayloadPrefetch&) = delete;

  const std::string& TempPath(size_t job) const { return jobs_[job].tempPath; }
  // Waits for the job and hands its temporary file over to the caller, written and still open (to
  // be closed, or moved and closed, by the caller); null when it could not be written whole. Jobs
  // are taken in order; those passed over (a file the copy keeps, say) are given up and their
  // files deleted.
  std::unique_ptr<StampedFile> Take(size_t job);
  // Writes a taken job's file again (a retry after a failed write); true when written whole.
  bool Rewrite(size_t job);

 private:
  // The one way the lock is let go: the work on files runs without it, and a failure it throws
  // (memory, the system) counts as the work failing, so neither thread ends the process.
  template <typename Work>
  static auto Unlocked(std::unique_lock<std::mutex>& hold, Work work) -> decltype(work());

  // Creating a file costs a round trip through the system of its own, so the copy, instead of only
  // waiting for a file, creates those further ahead; the thread creates a file itself when it
  // gets to one nobody has created yet, and decompresses into those created.
  void FillAhead();
  // Decompresses into the next job's file (creating it first when nobody has). Like every member
  // below taking hold, called with the lock held, and lets it go only through Unlocked.
  void FillNext(std::unique_lock<std::mutex>& hold);
  bool MayCreate() const;
  bool MayFill() const;
  // Creates the next job's file.
  void CreateNext(std::unique_lock<std::mutex>& hold);
  // Deletes what a given-up job left, whether or not it was written whole.
  void GiveUp(size_t job);

  PayloadStream& stream_;
  FileSystem& files_;
  std::vector<Job> jobs_;
  // Per job: its file, once created, and still open once written; null when either failed.
  std::vector<std::unique_ptr<StampedFile>> filesAhead_;
  std::vector<char> created_;  // per job: its creation is over
  std::mutex lock_;
  std::condition_variable wakeFiller_, wakeCopy_;
  bool fillerWaits_ = false, copyWaits_ = false;
  size_t nextCreate_ = 0;  // the next job whose file is created; those before it are or are being
  size_t nextFill_ = 0;    // the next job filled; those before it are done
  size_t taken_ = 0;       // jobs before this one are taken or given up
  std::optional<size_t> rewrite_;
  std::optional<bool> rewritten_;
  bool stop_ = false;
  std::thread filler_;
};

}  // namespace tw

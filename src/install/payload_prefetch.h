// Unpacking the payload of a cabinet build ahead of the copy, on a thread of its own: while the
// copy moves one file into place and logs it, the next few are already being decompressed into
// their temporary files. The copy still decides everything, in order; this only has the bytes ready.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tw {

class FileSystem;
class PayloadStream;

class PayloadPrefetch {
 public:
  struct Job {
    std::string storedName;  // the member in the cabinets
    std::string tempPath;    // the temporary file it is written to
  };
  // How many jobs may be written ahead of the last one taken.
  static constexpr size_t kAhead = 16;

  // Starts writing the jobs, in order. The stream is used by this object alone until it is gone.
  PayloadPrefetch(PayloadStream& stream, FileSystem& files, std::vector<Job> jobs);
  // Stops the thread once the job in hand is written, and deletes the files of jobs written but
  // never taken.
  ~PayloadPrefetch();
  PayloadPrefetch(const PayloadPrefetch&) = delete;
  PayloadPrefetch& operator=(const PayloadPrefetch&) = delete;

  const std::string& TempPath(size_t job) const { return jobs_[job].tempPath; }
  // Waits for the job and hands its temporary file over to the caller: true when it was written
  // whole. Jobs are taken in order; those passed over (a file the copy keeps, say) are given up
  // and their files deleted.
  bool Take(size_t job);
  // Writes a taken job's file again (a retry after a failed write); true when written whole.
  bool Rewrite(size_t job);

 private:
  void Run();
  bool MayWriteAhead(size_t limit) const;
  void WakeThreadIfDue();
  // Deletes what a given-up job left, whether or not it was written whole.
  void GiveUp(size_t job);

  PayloadStream& stream_;
  FileSystem& files_;
  std::vector<Job> jobs_;
  std::vector<char> written_;  // per job, once done: whether it was written whole
  std::mutex lock_;
  std::condition_variable wakeThread_, wakeCopy_;
  bool threadWaits_ = false, copyWaits_ = false;
  size_t next_ = 0;   // the next job the thread writes; those before it are done
  size_t taken_ = 0;  // jobs before this one are taken or given up
  std::optional<size_t> rewrite_;
  std::optional<bool> rewritten_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace tw

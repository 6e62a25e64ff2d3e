#include "install/payload_prefetch.h"

#include <exception>
#include <system_error>

#include "install/payload_stream.h"
#include "platform/file_system.h"
#include "support/staged_file.h"

namespace tw {

// Waking a thread is a round trip through the system on some platforms, so each side only wakes
// the other when it is known to wait.
PayloadPrefetch::PayloadPrefetch(PayloadStream& stream, FileSystem& files, std::vector<Job> jobs, Worker worker)
    : stream_(stream), files_(files), jobs_(std::move(jobs)), filesAhead_(jobs_.size()), created_(jobs_.size(), 0) {
  if (worker == Worker::kTheCopy) return;
  // Without a thread of its own (the system would not start one) the copy does the work itself,
  // one file at a time.
  try {
    filler_ = std::thread([this] { FillAhead(); });
  } catch (const std::system_error&) {
  }
}

template <typename Work>
auto PayloadPrefetch::Unlocked(std::unique_lock<std::mutex>& hold, Work work) -> decltype(work()) {
  hold.unlock();
  decltype(work()) result{};
  try {
    result = work();
  } catch (const std::exception&) {
    result = decltype(work()){};
  }
  hold.lock();
  return result;
}

PayloadPrefetch::~PayloadPrefetch() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  wakeFiller_.notify_one();
  if (filler_.joinable()) filler_.join();
  for (size_t job = taken_; job < nextCreate_; ++job) {
    filesAhead_[job].reset();  // closes it
    GiveUp(job);
  }
}

bool PayloadPrefetch::MayCreate() const { return nextCreate_ < jobs_.size() && nextCreate_ < taken_ + kAhead; }

bool PayloadPrefetch::MayFill() const {
  return nextFill_ < jobs_.size() && nextFill_ < taken_ + kAhead && (nextFill_ >= nextCreate_ || created_[nextFill_]);
}

void PayloadPrefetch::CreateNext(std::unique_lock<std::mutex>& hold) {
  size_t job = nextCreate_++;
  if (job >= taken_)  // not passed over by the copy already
    filesAhead_[job] = Unlocked(hold, [&] { return stream_.CreateMemberFile(jobs_[job].storedName, jobs_[job].tempPath); });
  created_[job] = 1;
  if (fillerWaits_) wakeFiller_.notify_one();
}

void PayloadPrefetch::FillAhead() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    if (!stop_ && !rewrite_ && !MayFill()) {
      fillerWaits_ = true;
      wakeFiller_.wait(hold, [this] { return stop_ || rewrite_ || MayFill(); });
      fillerWaits_ = false;
    }
    if (stop_) return;
    // A retry comes before going further ahead: the copy is waiting for it.
    if (rewrite_) {
      const size_t job = *rewrite_;
      rewritten_ = Unlocked(hold, [&] { return stream_.WriteMember(jobs_[job].storedName, jobs_[job].tempPath); });
      rewrite_.reset();
    } else {
      FillNext(hold);
    }
    if (copyWaits_) wakeCopy_.notify_one();
  }
}

void PayloadPrefetch::FillNext(std::unique_lock<std::mutex>& hold) {
  size_t job = nextFill_;
  if (job == nextCreate_) CreateNext(hold);  // nobody has created it yet
  std::unique_ptr<StampedFile> file = std::move(filesAhead_[job]);
  const bool passed = job < taken_;
  filesAhead_[job] = Unlocked(hold, [&] {
    // Closed (by going) before anyone deletes it, when the copy passed it over or it failed.
    if (file && (passed || !stream_.FillMemberFile(jobs_[job].storedName, *file))) file.reset();
    return std::move(file);
  });
  ++nextFill_;
}

std::unique_ptr<StampedFile> PayloadPrefetch::Take(size_t job) {
  std::unique_lock<std::mutex> hold(lock_);
  size_t firstPassed = taken_;
  taken_ = job;  // opens the window up to this job, past any given up
  if (fillerWaits_) wakeFiller_.notify_one();
  // Rather than only wait for its file, the copy creates the files further ahead meanwhile.
  while (nextFill_ <= job) {
    if (!filler_.joinable()) {
      FillNext(hold);
      continue;
    }
    if (MayCreate()) {
      CreateNext(hold);
      continue;
    }
    copyWaits_ = true;
    wakeCopy_.wait(hold, [&] { return nextFill_ > job; });
    copyWaits_ = false;
  }
  taken_ = job + 1;
  if (fillerWaits_ && MayFill()) wakeFiller_.notify_one();
  std::vector<std::unique_ptr<StampedFile>> passed;
  for (size_t skipped = firstPassed; skipped < job; ++skipped) passed.push_back(std::move(filesAhead_[skipped]));
  Unlocked(hold, [&] {
    passed.clear();  // closes them before they are deleted
    for (size_t skipped = firstPassed; skipped < job; ++skipped) GiveUp(skipped);
    return true;
  });
  return std::move(filesAhead_[job]);
}

bool PayloadPrefetch::Rewrite(size_t job) {
  std::unique_lock<std::mutex> hold(lock_);
  if (!filler_.joinable())
    return Unlocked(hold, [&] { return stream_.WriteMember(jobs_[job].storedName, jobs_[job].tempPath); });
  rewrite_ = job;
  rewritten_.reset();
  if (fillerWaits_) wakeFiller_.notify_one();
  copyWaits_ = true;
  wakeCopy_.wait(hold, [this] { return rewritten_.has_value(); });
  copyWaits_ = false;
  return *rewritten_;
}

void PayloadPrefetch::GiveUp(size_t job) { RemoveStagedFile(files_, jobs_[job].tempPath); }

}  // namespace tw

#include "install/payload_prefetch.h"

#include <system_error>

#include "install/payload_stream.h"
#include "platform/file_system.h"
#include "support/staged_file.h"

namespace tw {

// Waking a thread is a round trip through the system on some platforms, so each side only wakes
// the other when it is known to wait.
PayloadPrefetch::PayloadPrefetch(PayloadStream& stream, FileSystem& files, std::vector<Job> jobs)
    : stream_(stream), files_(files), jobs_(std::move(jobs)), filesAhead_(jobs_.size()), created_(jobs_.size(), 0) {
  // Without a thread of its own (the system would not start one) the copy does the work itself,
  // one file at a time.
  try {
    filler_ = std::thread([this] { FillAhead(); });
  } catch (const std::system_error&) {
  }
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
  if (job >= taken_) {  // not passed over by the copy already
    hold.unlock();
    std::unique_ptr<StampedFile> file = stream_.CreateMemberFile(jobs_[job].storedName, jobs_[job].tempPath);
    hold.lock();
    filesAhead_[job] = std::move(file);
  }
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
      size_t job = *rewrite_;
      hold.unlock();
      bool written = stream_.WriteMember(jobs_[job].storedName, jobs_[job].tempPath);
      hold.lock();
      rewrite_.reset();
      rewritten_ = written;
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
  bool passed = job < taken_;
  hold.unlock();
  if (file && (passed || !stream_.FillMemberFile(jobs_[job].storedName, *file))) file.reset();
  hold.lock();
  filesAhead_[job] = std::move(file);
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
  std::unique_ptr<StampedFile> file = std::move(filesAhead_[job]);
  std::vector<std::unique_ptr<StampedFile>> passed;
  for (size_t skipped = firstPassed; skipped < job; ++skipped) passed.push_back(std::move(filesAhead_[skipped]));
  hold.unlock();
  passed.clear();  // closes them before they are deleted
  for (size_t skipped = firstPassed; skipped < job; ++skipped) GiveUp(skipped);
  return file;
}

bool PayloadPrefetch::Rewrite(size_t job) {
  if (!filler_.joinable()) return stream_.WriteMember(jobs_[job].storedName, jobs_[job].tempPath);
  std::unique_lock<std::mutex> hold(lock_);
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

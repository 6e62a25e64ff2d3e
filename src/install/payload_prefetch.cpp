#include "install/payload_prefetch.h"

#include "install/payload_stream.h"
#include "platform/file_system.h"

namespace tw {

// Waking a thread is a round trip through the system on some platforms, so each side only wakes
// another when it is known to wait, and the creating thread, once the window is full, waits until
// half of it has been taken rather than waking for every file.
PayloadPrefetch::PayloadPrefetch(PayloadStream& stream, FileSystem& files, std::vector<Job> jobs)
    : stream_(stream), files_(files), jobs_(std::move(jobs)), files_ahead_(jobs_.size()) {
  creator_ = std::thread([this] { CreateAhead(); });
  filler_ = std::thread([this] { FillAhead(); });
}

PayloadPrefetch::~PayloadPrefetch() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  wakeCreator_.notify_one();
  wakeFiller_.notify_one();
  creator_.join();
  filler_.join();
  for (size_t job = taken_; job < nextCreate_; ++job) {
    files_ahead_[job].reset();  // closes it
    GiveUp(job);
  }
}

bool PayloadPrefetch::MayCreate(size_t limit) const {
  return nextCreate_ < jobs_.size() && nextCreate_ < taken_ + limit;
}

void PayloadPrefetch::CreateAhead() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    if (!stop_ && !MayCreate(kAhead)) {
      creatorWaits_ = true;
      wakeCreator_.wait(hold, [this] { return stop_ || MayCreate(kAhead / 2); });
      creatorWaits_ = false;
    }
    if (stop_) return;
    size_t job = nextCreate_;
    if (job >= taken_) {  // not passed over by the copy already
      hold.unlock();
      std::unique_ptr<StampedFile> file = stream_.CreateMemberFile(jobs_[job].storedName, jobs_[job].tempPath);
      hold.lock();
      files_ahead_[job] = std::move(file);
    }
    ++nextCreate_;
    if (fillerWaits_) wakeFiller_.notify_one();
  }
}

void PayloadPrefetch::FillAhead() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    if (!stop_ && !rewrite_ && nextFill_ >= nextCreate_) {
      fillerWaits_ = true;
      wakeFiller_.wait(hold, [this] { return stop_ || rewrite_ || nextFill_ < nextCreate_; });
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
      size_t job = nextFill_;
      std::unique_ptr<StampedFile> file = std::move(files_ahead_[job]);
      bool passed = job < taken_;
      hold.unlock();
      if (file && (passed || !stream_.FillMemberFile(jobs_[job].storedName, *file))) file.reset();
      hold.lock();
      files_ahead_[job] = std::move(file);
      ++nextFill_;
    }
    if (copyWaits_) wakeCopy_.notify_one();
  }
}

std::unique_ptr<StampedFile> PayloadPrefetch::Take(size_t job) {
  std::unique_lock<std::mutex> hold(lock_);
  size_t firstPassed = taken_;
  taken_ = job;  // opens the window up to this job, past any given up
  WakeIfDue();
  if (nextFill_ <= job) {
    copyWaits_ = true;
    wakeCopy_.wait(hold, [&] { return nextFill_ > job; });
    copyWaits_ = false;
  }
  taken_ = job + 1;
  WakeIfDue();
  std::unique_ptr<StampedFile> file = std::move(files_ahead_[job]);
  std::vector<std::unique_ptr<StampedFile>> passed;
  for (size_t skipped = firstPassed; skipped < job; ++skipped) passed.push_back(std::move(files_ahead_[skipped]));
  hold.unlock();
  passed.clear();  // closes them before they are deleted
  for (size_t skipped = firstPassed; skipped < job; ++skipped) GiveUp(skipped);
  return file;
}

bool PayloadPrefetch::Rewrite(size_t job) {
  std::unique_lock<std::mutex> hold(lock_);
  rewrite_ = job;
  rewritten_.reset();
  if (fillerWaits_) wakeFiller_.notify_one();
  copyWaits_ = true;
  wakeCopy_.wait(hold, [this] { return rewritten_.has_value(); });
  copyWaits_ = false;
  return *rewritten_;
}

void PayloadPrefetch::WakeIfDue() {
  if (creatorWaits_ && MayCreate(kAhead / 2)) wakeCreator_.notify_one();
}

void PayloadPrefetch::GiveUp(size_t job) {
  const std::string& path = jobs_[job].tempPath;
  if (!files_.Exists(path)) return;
  files_.SetAttributes(path, kAttrNormal);  // a stored read-only attribute may sit on it
  files_.Remove(path);
}

}  // namespace tw

#include "install/payload_prefetch.h"

#include "install/payload_stream.h"
#include "platform/file_system.h"

namespace tw {

// Waking a thread is a round trip through the system on some platforms, so each side only wakes
// the other when it is known to wait, and the unpacking thread, once the window is full, waits
// until half of it has been taken rather than waking for every file.
PayloadPrefetch::PayloadPrefetch(PayloadStream& stream, FileSystem& files, std::vector<Job> jobs)
    : stream_(stream), files_(files), jobs_(std::move(jobs)), written_(jobs_.size(), 0) {
  thread_ = std::thread([this] { Run(); });
}

PayloadPrefetch::~PayloadPrefetch() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  wakeThread_.notify_one();
  thread_.join();
  for (size_t job = taken_; job < next_; ++job) GiveUp(job);
}

bool PayloadPrefetch::MayWriteAhead(size_t limit) const { return next_ < jobs_.size() && next_ < taken_ + limit; }

void PayloadPrefetch::Run() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    if (!stop_ && !rewrite_ && !MayWriteAhead(kAhead)) {
      threadWaits_ = true;
      wakeThread_.wait(hold, [this] { return stop_ || rewrite_ || MayWriteAhead(kAhead / 2); });
      threadWaits_ = false;
    }
    if (stop_) return;
    if (!rewrite_ && next_ < taken_) {  // passed over by the copy before it was written
      ++next_;
      continue;
    }
    // A retry comes before writing further ahead: the copy is waiting for it.
    size_t job = rewrite_ ? *rewrite_ : next_;
    hold.unlock();
    bool written = stream_.WriteMember(jobs_[job].storedName, jobs_[job].tempPath);
    hold.lock();
    if (rewrite_) {
      rewrite_.reset();
      rewritten_ = written;
    } else {
      written_[job] = written;
      ++next_;
    }
    if (copyWaits_) wakeCopy_.notify_one();
  }
}

bool PayloadPrefetch::Take(size_t job) {
  std::unique_lock<std::mutex> hold(lock_);
  size_t firstPassed = taken_;
  taken_ = job;  // opens the window up to this job, past any given up
  WakeThreadIfDue();
  if (next_ <= job) {
    copyWaits_ = true;
    wakeCopy_.wait(hold, [&] { return next_ > job; });
    copyWaits_ = false;
  }
  taken_ = job + 1;
  WakeThreadIfDue();
  bool written = written_[job];
  hold.unlock();
  for (size_t passed = firstPassed; passed < job; ++passed) GiveUp(passed);
  return written;
}

bool PayloadPrefetch::Rewrite(size_t job) {
  std::unique_lock<std::mutex> hold(lock_);
  rewrite_ = job;
  rewritten_.reset();
  if (threadWaits_) wakeThread_.notify_one();
  copyWaits_ = true;
  wakeCopy_.wait(hold, [this] { return rewritten_.has_value(); });
  copyWaits_ = false;
  return *rewritten_;
}

void PayloadPrefetch::WakeThreadIfDue() {
  if (threadWaits_ && MayWriteAhead(kAhead / 2)) wakeThread_.notify_one();
}

void PayloadPrefetch::GiveUp(size_t job) {
  const std::string& path = jobs_[job].tempPath;
  if (!files_.Exists(path)) return;
  files_.SetAttributes(path, kAttrNormal);  // a stored read-only attribute may sit on it
  files_.Remove(path);
}

}  // namespace tw

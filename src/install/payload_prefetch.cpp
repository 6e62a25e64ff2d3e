#include "install/payload_prefetch.h"

#include <exception>
#include <system_error>

#include "install/payload_stream.h"
#include "platform/file_system.h"
#include "support/staged_file.h"

namespace tw {

PayloadPrefetch::PayloadPrefetch(PayloadStream& stream, FileSystem& files, const std::vector<CopyStep>& plan,
                                 Worker worker)
    : stream_(stream), files_(files) {
  for (const CopyStep& step : plan) {
    if (!step.job) continue;
    Job& job = jobs_.emplace_back();
    job.member = step.member;
    job.tempPath = StagedPathFor(step.destination + "." + std::to_string(*step.job + 1));
  }
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
  for (size_t job = taken_; job < jobs_.size(); ++job) {
    if (jobs_[job].stage == Stage::kWaiting) continue;
    jobs_[job].file.reset();  // closes it
    GiveUp(job);
  }
}

std::optional<size_t> PayloadPrefetch::FirstBelow(Stage stage) const {
  for (size_t job = taken_; job < jobs_.size() && job < taken_ + kAhead; ++job)
    if (jobs_[job].stage < stage) return job;
  return std::nullopt;
}

std::optional<size_t> PayloadPrefetch::NextForFiller() const {
  if (taken_ > 0 && jobs_[taken_ - 1].stage == Stage::kRewriting) return taken_ - 1;
  std::optional<size_t> next = FirstBelow(Stage::kFilled);
  if (next && (jobs_[*next].stage == Stage::kCreating || jobs_[*next].stage == Stage::kFilling)) return std::nullopt;
  return next;
}

bool PayloadPrefetch::AllFilled(size_t first, size_t last) const {
  for (size_t job = first; job <= last; ++job)
    if (jobs_[job].stage < Stage::kFilled) return false;
  return true;
}

void PayloadPrefetch::CopyWaits(std::unique_lock<std::mutex>& hold) {
  copyWaits_ = true;
  wakeCopy_.wait(hold);
  copyWaits_ = false;
}

void PayloadPrefetch::Create(std::unique_lock<std::mutex>& hold, size_t job) {
  Job& slot = jobs_[job];
  slot.stage = Stage::kCreating;
  slot.file = Unlocked(hold, [&] { return stream_.CreateMemberFile(slot.member, slot.tempPath); });
  slot.stage = Stage::kCreated;
  if (fillerWaits_) wakeFiller_.notify_one();
}

void PayloadPrefetch::FillAhead() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    std::optional<size_t> next;
    while (!stop_ && !(next = NextForFiller())) {
      fillerWaits_ = true;
      wakeFiller_.wait(hold);
      fillerWaits_ = false;
    }
    if (stop_) return;
    // A retry comes before going further ahead: the copy is waiting for it.
    if (jobs_[*next].stage == Stage::kRewriting)
      WriteAgain(hold, *next);
    else
      Fill(hold, *next);
    if (copyWaits_) wakeCopy_.notify_one();
  }
}

void PayloadPrefetch::Fill(std::unique_lock<std::mutex>& hold, size_t job) {
  Job& slot = jobs_[job];
  if (slot.stage == Stage::kWaiting) Create(hold, job);  // nobody has created it yet
  // Passed over by the copy while its file was being created: it is only closed.
  const bool passed = job < taken_;
  slot.stage = Stage::kFilling;
  std::unique_ptr<StampedFile> file = std::move(slot.file);
  slot.file = Unlocked(hold, [&] {
    // Closed (by going) before anyone deletes it, when the copy passed it over or it failed.
    if (file && (passed || !stream_.FillMemberFile(slot.member, *file))) file.reset();
    return std::move(file);
  });
  slot.stage = Stage::kFilled;
}

void PayloadPrefetch::WriteAgain(std::unique_lock<std::mutex>& hold, size_t job) {
  Job& slot = jobs_[job];
  slot.rewritten = Unlocked(hold, [&] { return stream_.WriteMember(slot.member, slot.tempPath); });
  slot.stage = Stage::kRewritten;
}

std::unique_ptr<StampedFile> PayloadPrefetch::Take(size_t job) {
  std::unique_lock<std::mutex> hold(lock_);
  const size_t firstPassed = taken_;
  // The jobs passed over that nobody is working on are done with as they stand; those begun get
  // their files deleted below.
  std::vector<size_t> begun;
  for (size_t passed = firstPassed; passed < job; ++passed) {
    Job& slot = jobs_[passed];
    if (slot.stage != Stage::kWaiting) begun.push_back(passed);
    if (slot.stage == Stage::kWaiting || slot.stage == Stage::kCreated) slot.stage = Stage::kFilled;
  }
  taken_ = job;  // opens the window up to this job, past any given up
  if (fillerWaits_) wakeFiller_.notify_one();
  // Rather than only wait for its file, the copy creates the files further ahead meanwhile.
  while (!AllFilled(firstPassed, job)) {
    if (!filler_.joinable()) {
      Fill(hold, job);
    } else if (std::optional<size_t> next = FirstBelow(Stage::kCreating)) {
      Create(hold, *next);
    } else {
      CopyWaits(hold);
    }
  }
  taken_ = job + 1;
  if (fillerWaits_ && NextForFiller()) wakeFiller_.notify_one();
  std::vector<std::unique_ptr<StampedFile>> passed;
  for (size_t skipped : begun) passed.push_back(std::move(jobs_[skipped].file));
  Unlocked(hold, [&] {
    passed.clear();  // closes them before they are deleted
    for (size_t skipped : begun) GiveUp(skipped);
    return true;
  });
  return std::move(jobs_[job].file);
}

bool PayloadPrefetch::Rewrite(size_t job) {
  std::unique_lock<std::mutex> hold(lock_);
  Job& slot = jobs_[job];
  if (!filler_.joinable()) return Unlocked(hold, [&] { return stream_.WriteMember(slot.member, slot.tempPath); });
  slot.stage = Stage::kRewriting;
  if (fillerWaits_) wakeFiller_.notify_one();
  while (slot.stage != Stage::kRewritten) CopyWaits(hold);
  slot.stage = Stage::kFilled;
  return slot.rewritten;
}

void PayloadPrefetch::GiveUp(size_t job) { RemoveStagedFile(files_, jobs_[job].tempPath); }

}  // namespace tw

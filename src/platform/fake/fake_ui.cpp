#include "platform/fake/fake_ui.h"

#include <thread>

namespace tw {

int FakeUi::ShowMessageBox(const std::string& text, const std::string& caption, unsigned style, NativeWindow owner) {
  int answer = (style & 0xF) == kMbYesNo ? kIdYes : kIdOk;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  shown.push_back({text, caption, style, answer, owner});
  return answer;
}

int FakeUi::RunFixedDialog(const FixedDialogLook& look) {
  dialogs.push_back(look);
  if (onDialog) onDialog();
  if (!dialogResults.empty()) {
    int result = dialogResults.front();
    dialogResults.pop_front();
    return result;
  }
  for (const auto& button : look.buttons)
    if (button.visible) return button.result;
  return look.escapeResult;
}

bool FakeUi::TopLevelWindowExists(const std::string& className, const std::string& title) {
  for (const auto& [windowClass, windowTitle] : windows)
    if ((className.empty() || className == windowClass) && (title.empty() || title == windowTitle)) return true;
  return false;
}

void FakeUi::RunAndPump(const std::function<void()>& work) {
  std::unique_lock<std::mutex> lock(pumpMutex_);
  if (pumping_ && std::this_thread::get_id() != pumpThread_) {
    // A worker waiting for a worker of its own: the UI thread's pump goes on serving both.
    lock.unlock();
    std::thread(work).join();
    return;
  }
  pumping_ = true;
  pumpThread_ = std::this_thread::get_id();
  bool done = false;
  lock.unlock();
  std::thread worker([&] {
    work();
    std::lock_guard<std::mutex> guard(pumpMutex_);
    done = true;
    pumpWake_.notify_all();
  });
  lock.lock();
  for (;;) {
    pumpWake_.wait(lock, [&] { return done || !uiWork_.empty(); });
    if (!uiWork_.empty()) {
      const std::function<void()>* piece = uiWork_.front();
      lock.unlock();
      (*piece)();
      lock.lock();
      uiWork_.pop_front();
      pumpWake_.notify_all();
      continue;
    }
    if (done) break;
  }
  pumping_ = false;
  lock.unlock();
  worker.join();
}

void FakeUi::CallOnUiThread(const std::function<void()>& work) {
  ++callsOnUiThread;
  std::unique_lock<std::mutex> lock(pumpMutex_);
  if (!pumping_ || std::this_thread::get_id() == pumpThread_) {
    lock.unlock();
    work();
    return;
  }
  uiWork_.push_back(&work);
  pumpWake_.notify_all();
  pumpWake_.wait(lock, [&] {
    for (const auto* piece : uiWork_)
      if (piece == &work) return false;
    return true;
  });
}

void FakeUi::ShowWaitNotice() {
  waitNoticeShown = true;
  ++waitNoticeShows;
}

}  // namespace tw

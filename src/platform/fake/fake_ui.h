// Headless UI twin: message boxes are recorded and answered from a script; the message loop
// returns at once with the posted exit code.
#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/fake/fake_decoration_window.h"
#include "platform/fake/fake_page_window.h"
#include "platform/system_error.h"
#include "platform/ui.h"

namespace tw {

struct ShownMessageBox {
  std::string text;
  std::string caption;
  unsigned style;
  int answer;
  NativeWindow owner;
};

// A kept UI thread's handle: it counts its own end, so a test sees that the owner let it go.
class CountedUiThread : public UiThread {
 public:
  explicit CountedUiThread(int& ended) : ended_(ended) {}
  ~CountedUiThread() override { ++ended_; }

 private:
  int& ended_;
};

class FakeUi : public Ui {
 public:
  bool InitSockets() override { return socketsWork || Failing(kErrorNetworkNotReady, false); }
  bool LoadRichEdit() override { return richEditLoads || Failing(kErrorModNotFound, false); }
  using Ui::ShowMessageBox;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style, NativeWindow owner) override;
  void PostQuit(int exitCode) override { quitCode = exitCode; }
  int RunMessageLoop() override { return quitCode.value_or(0); }
  int RunFixedDialog(const FixedDialogLook& look) override;
  void ShowWaitNotice() override;
  void CloseWaitNotice() override { waitNoticeShown = false; }
  bool TopLevelWindowExists(const std::string& className, const std::string& title) override;
  // As on Windows: the worker runs on its own thread while this thread serves the UI work the
  // worker hands it, one piece at a time, until the worker has ended. Called from a worker, it
  // leaves the UI work to the UI thread's pump and only waits.
  void RunAndPump(const std::function<void()>& work) override;
  void CallOnUiThread(const std::function<void()>& work) override;
  std::unique_ptr<PageWindow> CreatePageWindow(PageEvents& events) override {
    return std::make_unique<FakePageWindow>(pictureSizes);
  }

  // Decoration windows are kept by their owners; the fake remembers each one it made.
  std::unique_ptr<DecorationWindow> CreateDecorationWindow(DecorationKind kind, DecorationEvents&) override {
    auto window = std::make_unique<FakeDecorationWindow>(kind);
    decorations.push_back(window.get());
    return window;
  }
  int StartTimer(int milliseconds, std::function<void()> onTick) override {
    frameTimers[++lastTimerId] = {milliseconds, std::move(onTick)};
    return lastTimerId;
  }
  void StopTimer(int timerId) override { frameTimers.erase(timerId); }
  // A test runs a timer's tick; false when that timer is not running.
  bool Tick(int timerId) {
    auto timer = frameTimers.find(timerId);
    if (timer == frameTimers.end()) return false;
    auto onTick = timer->second.second;  // the tick may stop its own timer
    onTick();
    return true;
  }
  // The bodies of UI threads are kept for the test to run (or not) on its own thread; the handle
  // counts, in endedUiThreads, the threads whose owner let them go.
  std::unique_ptr<UiThread> RunUiThread(std::function<void()> body) override {
    uiThreads.push_back(std::move(body));
    return std::make_unique<CountedUiThread>(endedUiThreads);
  }

  std::vector<FakeDecorationWindow*> decorations;
  std::map<int, std::pair<int, std::function<void()>>> frameTimers;  // id -> (period, tick)
  int lastTimerId = 0;
  std::vector<std::function<void()>> uiThreads;
  int endedUiThreads = 0;

  bool socketsWork = true;
  bool richEditLoads = true;
  // Answers for the next message boxes, in order; an empty script answers OK (or Yes).
  std::deque<int> answers;
  std::vector<ShownMessageBox> shown;
  std::optional<int> quitCode;

  // Fixed dialogs: every look shown, answered from dialogResults (else the first visible button).
  std::vector<FixedDialogLook> dialogs;
  std::deque<int> dialogResults;
  std::function<void()> onDialog;  // called as each fixed dialog shows, before it is answered
  bool waitNoticeShown = false;
  int waitNoticeShows = 0;
  // How many pieces of work CallOnUiThread was handed, from any thread.
  std::atomic<int> callsOnUiThread{0};
  // The pumping thread and the UI work waiting for it.
  std::mutex pumpMutex_;
  std::condition_variable pumpWake_;
  std::deque<const std::function<void()>*> uiWork_;
  std::thread::id pumpThread_;
  bool pumping_ = false;

  // Picture files a page window can decode, with their natural sizes.
  std::map<std::string, Size> pictureSizes;
  // Top-level windows that exist, as (class, title); an empty class or title asked for matches any.
  std::set<std::pair<std::string, std::string>> windows;
};

}  // namespace tw

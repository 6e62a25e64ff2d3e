// Process-wide flags shared by the wizard, the install worker, the splash and the page timers.
// Each is an integer written whole and polled; the values are the engine's (0/255, 0/1, 333).
#pragma once
#include <atomic>

namespace tw {

constexpr int kOn = 255;
constexpr int kSilentRunning = 333;

struct HostFlags {
  std::atomic<int> cancelled{-1};       // 255 once the user confirmed a cancel or the install aborted
  std::atomic<int> cancelRequested{0};  // 1 while the copy loop and downloads should stop
  std::atomic<int> keepWorkDir{0};      // 255 while merge modules still need the work folder
  std::atomic<int> startPageReady{0};   // 255 when the start page waits for the splash
  std::atomic<int> splashDone{0};       // 255 once the splash window has closed
  std::atomic<int> previewMode{0};      // 255: walk the install without changing the machine
  std::atomic<int> useDiskImages{0};    // 255: payload from uncompressed disk-image folders
  std::atomic<int> splitFiles{0};       // 255: project built as "Split Files"
  std::atomic<int> silentInstall{0};    // 255 for a silent build, 333 while it runs
  std::atomic<int> featureCount{0};     // features of the custom setup tree
  std::atomic<int> unattended{0};       // 255 when started with /S: nothing is shown, nobody answers
  std::atomic<int> runFailed{0};        // 255 once the run failed (an unattended error, the project's abort)
  std::atomic<int> anotherRun{0};       // 255 when another installation kept this one from running
};

}  // namespace tw

// Billboards: the author's pictures shown one after another in a borderless topmost window of their
// own, each for its own time at its own place, on a user-interface thread of their own.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/decoration_ui.h"
#include "platform/ui.h"

namespace tw {

class Canvas;
class ProjectSettings;
class Trace;
struct Platform;

constexpr int kMaxBillboards = 20;
constexpr int kBillboardTimer = 1;

struct Billboard {
  std::string picture;  // file name only
  int seconds = 0;
  int left = 1, top = 1;  // 0 or missing counts as 1
};

// The "BILLBOARDSTW" list, at most 20 entries (the rest are ignored).
std::vector<Billboard> LoadBillboards(const ProjectSettings& settings);

// The window and its schedule; lives on the billboard thread.
class CBillBoardTH : public DecorationEvents {
 public:
  CBillBoardTH(Platform& platform, Trace& trace, std::vector<Billboard> billboards, std::string workDir,
               std::string startDir);
  ~CBillBoardTH() override;
  // Creates the window, shows the first billboard and arms its timer; false without a window.
  bool Start();
  void OnTimer(int timerId) override;
  DecorationWindow* Window() { return window_.get(); }
  int Index() const { return index_; }

 private:
  void Show(const Billboard& billboard);
  std::string PicturePath(const std::string& name) const;

  Platform& platform_;
  Trace& trace_;
  std::vector<Billboard> billboards_;
  std::string workDir_, startDir_;
  std::unique_ptr<DecorationWindow> window_;
  std::shared_ptr<Canvas> canvas_;
  int index_ = 0;
};

// Starts the billboard thread when the project lists billboards (null when it lists none); the
// window runs there until the last billboard's time is over or the handle is let go. platform and
// trace must outlive the handle.
std::unique_ptr<UiThread> StartBillboards(Platform& platform, Trace& trace, const ProjectSettings& settings,
                                          const std::string& workDir);

}  // namespace tw

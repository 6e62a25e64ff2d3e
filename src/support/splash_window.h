// The splash: the author's picture (animated GIF or any other picture) centred on the screen and an
// optional sound, kept up until the start page is ready and the display period has passed.
#pragma once
#include <memory>
#include <string>

#include "platform/decoration_ui.h"

namespace tw {

class CAnimatedPicture;
class ProjectSettings;
class Trace;
struct HostFlags;
struct Platform;

// The splash window's timers.
enum SplashTimer { kSplashPoll = 1, kSplashSound = 2, kSplashPeriod = 3, kSplashDiskImages = 4 };

// "setup" + the extension of the file-name part of authorFile from its first "." ("logo.big.gif"
// gives "setup.big.gif"), in setupDir.
std::string SplashFilePath(const std::string& setupDir, const std::string& authorFile);

class CSplashWindow : public DecorationEvents {
 public:
  CSplashWindow(Platform& platform, HostFlags& flags, Trace& trace);
  ~CSplashWindow() override;

  // True when the project asks for a splash picture or sound ("SPLASH" "a1" or "a5" is "Yes").
  static bool Wanted(const ProjectSettings& settings);
  // Creates the (hidden) window, arms its closing timers, schedules the sound and shows the picture
  // centred when it loads. False when no window could be made.
  bool Open(const ProjectSettings& settings, const std::string& setupDir);
  void OnTimer(int timerId) override;
  bool IsOpen() const;

 private:
  void Close();

  Platform& platform_;
  HostFlags& flags_;
  Trace& trace_;
  std::unique_ptr<DecorationWindow> window_;
  std::unique_ptr<CAnimatedPicture> picture_;
  std::string soundPath_;
  bool soundOnce_ = false;
};

}  // namespace tw

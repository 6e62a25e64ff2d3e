#include "support/splash_window.h"

#include "project/host_flags.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "support/animated_picture.h"

namespace tw {

std::string SplashFilePath(const std::string& setupDir, const std::string& authorFile) {
  std::string name = LastComponent(authorFile);
  size_t dot = name.find('.');
  return setupDir + "setup" + (dot == std::string::npos ? "" : name.substr(dot));
}

CSplashWindow::CSplashWindow(Platform& platform, HostFlags& flags, Trace& trace)
    : platform_(platform), flags_(flags), trace_(trace) {}

CSplashWindow::~CSplashWindow() {
  if (picture_) picture_->Stop();
}

bool CSplashWindow::Wanted(const ProjectSettings& settings) {
  return IsYes(settings.ReadSetting("SPLASH", "a1")) || IsYes(settings.ReadSetting("SPLASH", "a5"));
}

bool CSplashWindow::Open(const ProjectSettings& settings, const std::string& setupDir) {
  window_ = platform_.ui.CreateDecorationWindow(DecorationKind::Splash, *this);
  if (!window_) return false;
  window_->Show(false);
  bool wantsPicture = IsYes(settings.ReadSetting("SPLASH", "a1"));
  std::string picturePath = wantsPicture ? SplashFilePath(setupDir, settings.ReadSetting("SPLASH", "a2")) : "";
  int seconds = ToNumber(settings.ReadSetting("SPLASH", "a3"));
  // The splash stays at least its period, or polls every second without one; a disk-image build
  // has no start page to wait for, so it also closes when the period is over.
  if (seconds > 0)
    window_->SetTimer(kSplashPeriod, seconds * 1000);
  else
    window_->SetTimer(kSplashPoll, 1000);
  if (flags_.useDiskImages == kOn) window_->SetTimer(kSplashDiskImages, seconds * 1000);
  if (IsYes(settings.ReadSetting("SPLASH", "a5"))) {
    std::string sound = SplashFilePath(setupDir, settings.ReadSetting("SPLASH", "a6"));
    if (platform_.files.Exists(sound)) {
      soundPath_ = sound;
      soundOnce_ = settings.ReadSetting("SPLASH", "a7") == "Once";
      window_->SetTimer(kSplashSound, 1500);
    }
  }
  bool shown = false;
  if (!picturePath.empty() && platform_.files.Exists(picturePath)) {
    DecorationWindow* window = window_.get();
    picture_ = std::make_unique<CAnimatedPicture>(platform_.pictures, platform_.files,
                                                  PictureWindow{[window] { window->Repaint(); }, nullptr});
    if (picture_->LoadFile(picturePath)) {
      PixelSize size = picture_->GetSize();
      int left = platform_.system.ScreenWidth() / 2 - size.width / 2;
      int top = platform_.system.ScreenHeight() / 2 - size.height / 2;
      window_->Place({left, top, left + size.width, top + size.height});
      window_->SetCanvas(picture_->ShareCanvas(), 0, 0);
      picture_->Start();
      window_->Show(true);
      shown = true;
    }
  }
  trace_.Write("splash", "open",
               {{"picture", picturePath}, {"shown", shown ? "yes" : "no"}, {"seconds", std::to_string(seconds)},
                {"sound", soundPath_}});
  return true;
}

void CSplashWindow::OnTimer(int timerId) {
  if (!IsOpen()) return;
  switch (timerId) {
    case kSplashPoll:
    case kSplashPeriod:
      if (flags_.startPageReady == kOn) Close();
      break;
    case kSplashSound: {
      window_->KillTimer(kSplashSound);
      bool played = platform_.shell.PlaySoundFile(soundPath_, !soundOnce_);
      trace_.Write("splash", "sound", {{"file", soundPath_}, {"repeat", soundOnce_ ? "no" : "yes"},
                                       {"result", played ? "ok" : "failed"}});
      break;
    }
    case kSplashDiskImages:
      window_->KillTimer(kSplashDiskImages);
      flags_.startPageReady = kOn;
      Close();
      break;
    default:
      break;
  }
}

bool CSplashWindow::IsOpen() const { return window_ && window_->IsOpen(); }

void CSplashWindow::Close() {
  if (picture_) picture_->Stop();
  window_->End();
  flags_.splashDone = kOn;
  trace_.Write("splash", "close");
}

}  // namespace tw

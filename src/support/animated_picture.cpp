#include "support/animated_picture.h"

#include <algorithm>
#include <system_error>

#include "support/gif_frames.h"

namespace tw {

using std::chrono::milliseconds;

namespace {

constexpr int kFastestDelay = 5;                    // hundredths; anything faster shows for:
constexpr milliseconds kFastestShowTime{100};
constexpr milliseconds kLongestShowTime{10000};
constexpr milliseconds kStopTimeout{5000};

enum Disposal { kRestoreBackground = 2, kRestorePrevious = 3 };

}  // namespace

void Signal::Raise() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    isRaised_ = true;
  }
  raised_.notify_all();
}

bool Signal::WaitFor(milliseconds duration) {
  std::unique_lock<std::mutex> lock(mutex_);
  return raised_.wait_for(lock, duration, [this] { return isRaised_; });
}

std::optional<milliseconds> FrameShowTime(std::optional<int> delay) {
  if (!delay) return std::nullopt;
  if (*delay < kFastestDelay) return kFastestShowTime;
  return std::min(milliseconds(*delay * 10LL), kLongestShowTime);
}

// Everything the animation thread touches, kept alive by the thread itself: a thread that Stop gave
// up on may outlive the picture that started it.
struct CAnimatedPicture::Run {
  std::shared_ptr<const std::vector<Frame>> frames;
  std::shared_ptr<Canvas> canvas;
  std::function<void()> repaint;
  std::shared_ptr<AnimationClock> clock;
  Colour background = 0;

  std::atomic<int> stopFlag{0};  // 1 once a stop was asked for
  Signal stopEvent;
  Signal ended;

  // Draws one frame and keeps it on show; false when a stop was asked for meanwhile.
  bool Show(const Frame& frame) {
    if (frame.disposal == kRestorePrevious) canvas->SaveArea(frame.area);
    canvas->Render(*frame.picture, frame.area);
    if (repaint) repaint();
    if (stopFlag) return false;
    if (std::optional<milliseconds> time = FrameShowTime(frame.delay)) clock->ShowFor(*time, stopEvent);
    return !stopFlag;
  }

  // Clears a frame's area the way its disposal method asks before the next frame is drawn.
  void Dispose(const Frame& frame) {
    if (frame.disposal == kRestoreBackground) canvas->Fill(frame.area, background);
    if (frame.disposal == kRestorePrevious) canvas->RestoreArea();
  }

  // The thread: plays the frames once; the last one stays on the canvas.
  static void Play(std::shared_ptr<Run> run) {
    const std::vector<Frame>& frames = *run->frames;
    for (size_t i = 0; i < frames.size(); ++i) {
      if (!run->Show(frames[i]) || i + 1 == frames.size()) break;
      run->Dispose(frames[i]);
    }
    run->ended.Raise();
  }
};

CAnimatedPicture::CAnimatedPicture(Pictures& pictures, const FileSystem& files, PictureWindow window,
                                   std::shared_ptr<AnimationClock> clock)
    : pictures_(pictures),
      files_(files),
      window_(std::move(window)),
      clock_(clock ? std::move(clock) : std::make_shared<AnimationClock>()) {}

CAnimatedPicture::~CAnimatedPicture() { Stop(); }

bool CAnimatedPicture::LoadFile(const std::string& path) {
  std::optional<std::string> data = files_.ReadAll(path);
  if (!data) return false;
  Release();
  const bool decoded = IsGif(*data) ? LoadGif(*data) : LoadSingle(*data);
  if (decoded && PrepareCanvas()) return true;
  Release();
  return false;
}

bool CAnimatedPicture::LoadGif(const std::string& data) {
  const GifLayout layout = WalkGif(data);
  if (layout.frames.empty()) return false;
  size_ = {layout.screenWidth, layout.screenHeight};
  if (layout.frames.size() == 1) {
    single_ = pictures_.Decode(data);
    return single_ != nullptr;
  }
  auto frames = std::make_shared<std::vector<Frame>>();
  for (const GifFrame& gifFrame : layout.frames) {
    std::unique_ptr<Picture> picture = pictures_.Decode(FrameGif(data, layout, gifFrame));
    if (!picture) continue;  // the animation plays the frames that decode
    PixelRect area{gifFrame.left, gifFrame.top, gifFrame.width, gifFrame.height};
    frames->push_back({std::move(picture), area, gifFrame.delay, gifFrame.disposal});
  }
  if (frames->empty()) return false;
  frames_ = std::move(frames);
  animated_ = true;
  return true;
}

bool CAnimatedPicture::LoadSingle(const std::string& data) {
  single_ = pictures_.Decode(data);
  if (!single_) return false;
  const HimetricSize natural = single_->Size();
  const PixelSize perInch = pictures_.PixelsPerInch();
  size_ = {HimetricToPixels(natural.width, perInch.width), HimetricToPixels(natural.height, perInch.height)};
  return true;
}

// The canvas comes first so that a picture too large for one leaves the control as it was.
bool CAnimatedPicture::PrepareCanvas() {
  std::unique_ptr<Canvas> canvas = pictures_.MakeCanvas(size_.width, size_.height);
  if (!canvas) return false;
  canvas->Fill({0, 0, size_.width, size_.height}, pictures_.SystemColour(kColourMenu));
  canvas_ = std::move(canvas);
  background_ = pictures_.SystemColour(kColour3dFace);
  if (window_.resize) window_.resize(size_.width, size_.height);
  return true;
}

void CAnimatedPicture::Release() {
  Stop();
  size_ = {};
  animated_ = false;
  single_.reset();
  frames_.reset();
  canvas_.reset();
}

void CAnimatedPicture::Start() {
  if (!canvas_) return;
  if (!animated_) {
    canvas_->Render(*single_, {0, 0, size_.width, size_.height});
    if (window_.repaint) window_.repaint();
    return;
  }
  Stop();
  auto run = std::make_shared<Run>();
  run->frames = frames_;
  run->canvas = canvas_;
  run->repaint = window_.repaint;
  run->clock = clock_;
  run->background = background_;
  try {
    thread_ = std::thread(&Run::Play, run);
    run_ = std::move(run);
  } catch (const std::system_error&) {
    // Without a thread the canvas keeps its menu colour; the splash still shows and closes.
  }
}

void CAnimatedPicture::Stop() {
  if (!thread_.joinable()) return;
  run_->stopFlag = 1;
  run_->stopEvent.Raise();
  if (clock_->AwaitEnd(kStopTimeout, run_->ended))
    thread_.join();
  else
    thread_.detach();  // it owns what it touches and ends at its next check of the flag
  run_.reset();
}

}  // namespace tw

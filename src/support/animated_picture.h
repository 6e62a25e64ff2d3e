// The animated picture control's model: loads a picture file, splits an animated GIF into frames
// and plays them once on a thread of its own, composing them on an off-screen canvas that the
// control's window copies to the screen.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "platform/pictures.h"

namespace tw {

// A manual-reset event: once raised it stays raised, and every wait returns at once.
class Signal {
 public:
  void Raise();
  // Blocks until the signal is raised or duration has passed; true when it was raised.
  bool WaitFor(std::chrono::milliseconds duration);

 private:
  std::mutex mutex_;
  std::condition_variable raised_;
  bool isRaised_ = false;
};

// Time as the animation sees it. This one waits for real; tests substitute their own.
class AnimationClock {
 public:
  virtual ~AnimationClock() = default;
  // Keeps a frame on show: returns after duration, or as soon as stop is raised.
  virtual void ShowFor(std::chrono::milliseconds duration, Signal& stop) { stop.WaitFor(duration); }
  // Waits at most duration for the animation thread to end; true when it ended.
  virtual bool AwaitEnd(std::chrono::milliseconds duration, Signal& ended) { return ended.WaitFor(duration); }
};

// What the control's window does for the picture.
struct PictureWindow {
  // Asks for the control to be repainted from the canvas. Called on the animation thread, possibly
  // after the picture gave up waiting for a stuck animation, so it must hold nothing that dies with
  // the window (a window handle is fine: invalidating a window that is gone does nothing).
  std::function<void()> repaint;
  // Resizes the control to width x height pixels, keeping its position and z-order (UI thread).
  std::function<void(int width, int height)> resize;
};

// How long a frame stays on show: nothing when it has no graphic control extension (the next frame
// follows at once); 100 ms under 5 hundredths, delays that mean "as fast as you can" and would
// otherwise spin the thread; else the delay, at most 10 seconds so a broken one cannot freeze the splash.
std::optional<std::chrono::milliseconds> FrameShowTime(std::optional<int> delay);

class CAnimatedPicture {
 public:
  // clock: null for real time.
  CAnimatedPicture(Pictures& pictures, const FileSystem& files, PictureWindow window,
                   std::shared_ptr<AnimationClock> clock = nullptr);
  ~CAnimatedPicture();
  CAnimatedPicture(const CAnimatedPicture&) = delete;
  CAnimatedPicture& operator=(const CAnimatedPicture&) = delete;

  // Reads a picture file of any format the system loader knows; once it is read, stops any animation,
  // replaces the picture and sizes the control to it. False when the file cannot be read (the old
  // picture stays, still playing) or does not decode (the control is left empty).
  bool LoadFile(const std::string& path);
  // The loaded picture's size in pixels; 0 x 0 when empty.
  PixelSize GetSize() const { return size_; }
  // Shows the loaded picture: an animated GIF plays once on the animation thread (restarting it if it
  // runs), any other picture is drawn at once. Does nothing when empty.
  void Start();
  // Stops the animation, waiting at most 5 seconds for its thread; the canvas keeps what it showed.
  void Stop();
  // True for a GIF with two or more frames.
  bool IsAnimated() const { return animated_; }
  // The canvas the window copies at (0, 0) with GetSize(); null when empty.
  Canvas* GetCanvas() const { return canvas_.get(); }
  // The same canvas, shared with a window that copies it to the screen.
  std::shared_ptr<Canvas> ShareCanvas() const { return canvas_; }

 private:
  struct Frame {
    std::shared_ptr<Picture> picture;
    PixelRect area;
    std::optional<int> delay;  // hundredths of a second
    int disposal = 0;
  };
  struct Run;  // one play of the animation, shared with its thread

  bool LoadGif(const std::string& data);
  bool LoadSingle(const std::string& data);
  bool PrepareCanvas();
  void Release();

  Pictures& pictures_;
  const FileSystem& files_;
  PictureWindow window_;
  std::shared_ptr<AnimationClock> clock_;

  PixelSize size_;
  bool animated_ = false;
  std::unique_ptr<Picture> single_;
  std::shared_ptr<const std::vector<Frame>> frames_;
  std::shared_ptr<Canvas> canvas_;
  Colour background_ = 0;  // what disposal 2 restores to

  std::shared_ptr<Run> run_;
  std::thread thread_;
};

}  // namespace tw

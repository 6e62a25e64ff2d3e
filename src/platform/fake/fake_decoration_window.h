// Headless decoration window: keeps its last placement, canvas, backdrop and timers for tests to
// read; tests play the system by calling the owner's OnTimer themselves.
#pragma once
#include <map>
#include <memory>

#include "platform/decoration_ui.h"

namespace tw {

class FakeDecorationWindow : public DecorationWindow {
 public:
  explicit FakeDecorationWindow(DecorationKind kind) : kind(kind) {}

  void Place(const Rect& outer) override { placement = outer; }
  void Show(bool show) override { visible = show; }
  void SetCanvas(std::shared_ptr<Canvas> newCanvas, int left, int top) override {
    canvas = std::move(newCanvas);
    canvasLeft = left;
    canvasTop = top;
  }
  void Repaint() override { ++repaints; }
  void SetBackdrop(const BackdropLook& look) override { backdrop = look; }
  void SetTimer(int timerId, int milliseconds) override { timers[timerId] = milliseconds; }
  void KillTimer(int timerId) override { timers.erase(timerId); }
  void End() override {
    ended = true;
    timers.clear();
  }
  bool IsOpen() const override { return !ended; }
  void RunUntilEnded() override { ++loopsRun; }

  DecorationKind kind;
  Rect placement;
  bool visible = false;
  std::shared_ptr<Canvas> canvas;
  int canvasLeft = 0, canvasTop = 0;
  int repaints = 0;
  BackdropLook backdrop;
  std::map<int, int> timers;  // id -> period in ms
  bool ended = false;
  int loopsRun = 0;
};

}  // namespace tw

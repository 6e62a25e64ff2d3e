// Decoration windows around the wizard: the splash, a billboard and the full-screen backdrop. The
// support models decide what they show; a window only draws its last look and reports its timers.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/page_ui.h"

namespace tw {

class Canvas;

enum class DecorationKind {
  Splash,     // popup with a thin border, topmost, sized to its picture
  Billboard,  // popup without caption or border, topmost, sized to its picture
  Backdrop,   // the main window maximised behind the pages, with a gradient, texts and a picture
};

// One colour of a vertical gradient row: top + (bottom - top) x row / rows per component, with
// truncating integer division, so the last row stops one step short of the bottom colour.
inline ColorRef GradientRow(ColorRef top, ColorRef bottom, int row, int rows) {
  if (rows <= 0) return top;
  auto mix = [&](int shift) {
    int a = static_cast<int>((top >> shift) & 0xFF), b = static_cast<int>((bottom >> shift) & 0xFF);
    return static_cast<unsigned>(a + (b - a) * row / rows);
  };
  return MakeColor(mix(0), mix(8), mix(16));
}

// A text drawn on the backdrop with a transparent background.
struct BackdropText {
  std::string text;
  std::string face;
  int height = 0;  // character height in pixels
  ColorRef color = 0;
  // With anchorBottomRight false the text's top-left corner sits at (x, y); with it true its
  // bottom-right corner sits at (client width - x, client height - y).
  int x = 0, y = 0;
  bool anchorBottomRight = false;
};

struct BackdropLook {
  std::string title;  // the window's title
  ColorRef top = 0, bottom = 0;
  std::vector<BackdropText> texts;
};

class DecorationEvents {
 public:
  virtual ~DecorationEvents() = default;
  virtual void OnTimer(int timerId) = 0;
};

class DecorationWindow {
 public:
  virtual ~DecorationWindow() = default;
  // Moves and sizes the outer window, in screen pixels.
  virtual void Place(const Rect& outer) = 0;
  virtual void Show(bool visible) = 0;
  // The canvas is copied 1:1 into the client area with its top-left corner at (left, top); null
  // shows none. The window keeps a share of it.
  virtual void SetCanvas(std::shared_ptr<Canvas> canvas, int left, int top) = 0;
  // Asks for a repaint from the canvas; may be called from any thread, also after End.
  virtual void Repaint() = 0;
  // The backdrop's gradient and texts (other kinds ignore it); maximises the window.
  virtual void SetBackdrop(const BackdropLook& look) = 0;
  virtual void SetTimer(int timerId, int milliseconds) = 0;
  virtual void KillTimer(int timerId) = 0;
  // Closes the window; no more events arrive.
  virtual void End() = 0;
  virtual bool IsOpen() const = 0;
  // Runs the calling thread's message loop until the window ends (a window on a thread of its own).
  virtual void RunUntilEnded() = 0;
};

}  // namespace tw

// Picture service: decodes pictures with the system's picture loader and composes them on off-screen
// canvases, for the picture controls, the splash and the background.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/page_ui.h"

namespace tw {

// A GDI colour value: 0x00BBGGRR.
using Colour = ColorRef;

// System colours, by the index the system gives them.
enum SystemColourId : int {
  kColourMenu = 4,
  kColour3dFace = 15,
};

// A size in HIMETRIC units (hundredths of a millimetre), as the picture loader reports it.
struct HimetricSize {
  int32_t width = 0;
  int32_t height = 0;
};

using PixelSize = Size;

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A decoded picture. Safe to draw from a thread other than the one that decoded it, one thread at
// a time.
class Picture {
 public:
  virtual ~Picture() = default;
  // The picture's natural size in HIMETRIC units; never negative.
  virtual HimetricSize Size() const = 0;
};

// An off-screen drawing surface of a fixed pixel size. One thread may draw on it while another
// copies it to the screen: every call is complete before the next one starts. Parts of a rectangle
// that lie outside the canvas are clipped away.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual PixelSize Size() const = 0;
  // Fills the rectangle with a solid colour.
  virtual void Fill(const PixelRect& area, Colour colour) = 0;
  // Draws the whole picture scaled into the rectangle; a transparent picture lets the canvas show.
  virtual void Render(const Picture& picture, const PixelRect& area) = 0;
  // Keeps a copy of the rectangle's pixels in the canvas's one save slot, replacing what it held.
  virtual void SaveArea(const PixelRect& area) = 0;
  // Puts the saved pixels back where they were taken; does nothing when nothing was saved.
  virtual void RestoreArea() = 0;
};

// Threads: any thread (the billboard thread decodes while the UI thread does; Win32 sets up the
// picture loader on each thread that decodes).
class Pictures {
 public:
  virtual ~Pictures() = default;
  // Decodes a picture in any format the system loader knows (BMP, JPEG, GIF, ICO, WMF, EMF);
  // null when the bytes are not a picture it can decode.
  virtual std::unique_ptr<Picture> Decode(const std::string& bytes) = 0;
  // The primary screen's logical pixels per inch, horizontally and vertically (96 on most systems).
  virtual PixelSize PixelsPerInch() const = 0;
  // A canvas of width x height pixels with undefined content; null when either side is not
  // positive or the system cannot make one that large.
  virtual std::unique_ptr<Canvas> MakeCanvas(int width, int height) = 0;
  // The current value of a system colour.
  virtual Colour SystemColour(SystemColourId id) const = 0;
};

// A HIMETRIC length in pixels at the given pixels per inch, rounded to the nearest pixel.
inline int HimetricToPixels(int32_t himetric, int pixelsPerInch) {
  return static_cast<int>((static_cast<int64_t>(himetric) * pixelsPerInch + 1270) / 2540);
}

}  // namespace tw

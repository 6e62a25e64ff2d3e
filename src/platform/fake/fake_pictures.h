// Picture twin: reads just enough of GIF and BMP headers to know a picture's size, and records
// every drawing on its canvases so a test can assert on the sequence.
#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <vector>

#include "platform/pictures.h"

namespace tw {

// Bytes that hold this text never decode, as a damaged picture would not.
constexpr char kFakeCorruptMark[] = "CORRUPT";

// A picture the fake decoded: its pixel size and the order in which it was decoded (1, 2, ...).
class FakePicture : public Picture {
 public:
  FakePicture(HimetricSize size, int serial) : size_(size), serial_(serial) {}
  HimetricSize Size() const override { return size_; }
  int Serial() const { return serial_; }

 private:
  HimetricSize size_;
  int serial_;
};

enum class CanvasOpKind { Fill, Render, Save, Restore };

struct CanvasOp {
  CanvasOpKind kind = CanvasOpKind::Fill;
  PixelRect area;            // empty for Restore
  Colour colour = 0;         // Fill only
  int pictureSerial = 0;     // Render only
};

class FakeCanvas : public Canvas {
 public:
  explicit FakeCanvas(PixelSize size) : size_(size) {}
  PixelSize Size() const override { return size_; }
  void Fill(const PixelRect& area, Colour colour) override;
  void Render(const Picture& picture, const PixelRect& area) override;
  void SaveArea(const PixelRect& area) override;
  void RestoreArea() override;

  // Everything drawn so far, in order (a copy: another thread may still be drawing).
  std::vector<CanvasOp> Ops() const;

 private:
  void Record(const CanvasOp& op);
  PixelSize size_;
  mutable std::mutex mutex_;
  std::vector<CanvasOp> ops_;
};

class FakePictures : public Pictures {
 public:
  // GIF (size of the logical screen) and BMP (size from the info header); null for anything else,
  // for headers too short to hold the size, and for bytes holding kFakeCorruptMark.
  std::unique_ptr<Picture> Decode(const std::string& bytes) override;
  PixelSize PixelsPerInch() const override { return pixelsPerInch; }
  std::unique_ptr<Canvas> MakeCanvas(int width, int height) override;
  Colour SystemColour(SystemColourId id) const override;

  PixelSize pixelsPerInch{96, 96};
  std::map<SystemColourId, Colour> systemColours{{kColourMenu, 0xF0F0F0}, {kColour3dFace, 0xC0C0C0}};
  int maxCanvasSide = 16384;  // a larger canvas is refused, as the system would run out of memory
  // Every call, whether it decoded or not; counted from any thread, as the billboard thread decodes
  // while the UI thread does.
  std::atomic<int> decodeCalls{0};

 private:
  std::atomic<int> decoded_{0};
};

}  // namespace tw

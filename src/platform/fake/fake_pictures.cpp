#include "platform/fake/fake_pictures.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace tw {
namespace {

uint32_t Little(const std::string& bytes, size_t at, size_t count) {
  uint32_t value = 0;
  for (size_t i = 0; i < count; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

// The pixel size a real loader would find, or nothing when it would refuse the bytes.
std::optional<PixelSize> PixelSizeOf(const std::string& bytes) {
  if (bytes.compare(0, 6, "GIF87a") == 0 || bytes.compare(0, 6, "GIF89a") == 0) {
    if (bytes.size() < 13) return std::nullopt;
    return PixelSize{static_cast<int>(Little(bytes, 6, 2)), static_cast<int>(Little(bytes, 8, 2))};
  }
  if (bytes.compare(0, 2, "BM") == 0 && bytes.size() >= 26) {
    const uint32_t headerSize = Little(bytes, 14, 4);
    if (headerSize == 12)  // the old OS/2 core header holds 16-bit sizes
      return PixelSize{static_cast<int>(Little(bytes, 18, 2)), static_cast<int>(Little(bytes, 20, 2))};
    if (headerSize >= 40 && bytes.size() >= 14 + headerSize) {
      const int32_t width = static_cast<int32_t>(Little(bytes, 18, 4));
      const int32_t height = static_cast<int32_t>(Little(bytes, 22, 4));  // negative when top-down
      if (width > 0 && height != 0 && height != INT32_MIN) return PixelSize{width, std::abs(height)};
    }
  }
  return std::nullopt;
}

int32_t PixelsToHimetric(int pixels, int pixelsPerInch) {
  return static_cast<int32_t>((static_cast<int64_t>(pixels) * 2540 + pixelsPerInch / 2) / pixelsPerInch);
}

}  // namespace

void FakeCanvas::Record(const CanvasOp& op) {
  std::lock_guard<std::mutex> lock(mutex_);
  ops_.push_back(op);
}

void FakeCanvas::Fill(const PixelRect& area, Colour colour) { Record({CanvasOpKind::Fill, area, colour, 0}); }

void FakeCanvas::Render(const Picture& picture, const PixelRect& area) {
  const auto* fake = dynamic_cast<const FakePicture*>(&picture);
  Record({CanvasOpKind::Render, area, 0, fake ? fake->Serial() : 0});
}

void FakeCanvas::SaveArea(const PixelRect& area) { Record({CanvasOpKind::Save, area, 0, 0}); }

void FakeCanvas::RestoreArea() { Record({CanvasOpKind::Restore, {}, 0, 0}); }

std::vector<CanvasOp> FakeCanvas::Ops() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return ops_;
}

std::unique_ptr<Picture> FakePictures::Decode(const std::string& bytes) {
  ++decodeCalls;
  if (bytes.find(kFakeCorruptMark) != std::string::npos) return nullptr;
  std::optional<PixelSize> pixels = PixelSizeOf(bytes);
  if (!pixels) return nullptr;
  HimetricSize size{PixelsToHimetric(pixels->width, pixelsPerInch.width),
                    PixelsToHimetric(pixels->height, pixelsPerInch.height)};
  return std::make_unique<FakePicture>(size, ++decoded_);
}

std::unique_ptr<Canvas> FakePictures::MakeCanvas(int width, int height) {
  if (width <= 0 || height <= 0 || width > maxCanvasSide || height > maxCanvasSide) return nullptr;
  return std::make_unique<FakeCanvas>(PixelSize{width, height});
}

Colour FakePictures::SystemColour(SystemColourId id) const {
  auto found = systemColours.find(id);
  return found == systemColours.end() ? 0 : found->second;
}

}  // namespace tw

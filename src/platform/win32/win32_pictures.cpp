// Pictures decoded by OleLoadPicture from a memory stream, drawn with IPicture::Render onto GDI
// memory canvases.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <mutex>

#include "platform/win32/win32_pictures.h"

namespace tw {
namespace {

// OLE must be set up on the thread that loads a picture. Each thread does it once and keeps it:
// undoing it while pictures loaded on it are alive could unload what they depend on.
void EnsureComOnThisThread() {
  thread_local bool done = false;
  if (done) return;
  done = true;
  CoInitialize(nullptr);  // S_FALSE or RPC_E_CHANGED_MODE: the thread already has COM, which serves
}

// A released-on-destruction IPicture. The OLE picture object is free to draw from another thread
// than the one that loaded it, one thread at a time, which is how the animation uses it.
class Win32Picture : public Picture {
 public:
  explicit Win32Picture(IPicture* picture) : picture_(picture) {}
  ~Win32Picture() override { picture_->Release(); }
  Win32Picture(const Win32Picture&) = delete;
  Win32Picture& operator=(const Win32Picture&) = delete;

  HimetricSize Size() const override {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(picture_->get_Width(&width)) || FAILED(picture_->get_Height(&height)) || width < 0 || height < 0)
      return {};
    return {static_cast<int32_t>(width), static_cast<int32_t>(height)};
  }
  IPicture* Get() const { return picture_; }

 private:
  IPicture* picture_;
};

// Copies the bytes into a movable global block and wraps it in a stream that frees the block.
IStream* StreamOver(const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!block) return nullptr;
  void* target = GlobalLock(block);
  if (!target) {
    GlobalFree(block);
    return nullptr;
  }
  CopyMemory(target, bytes.data(), bytes.size());
  GlobalUnlock(block);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
    GlobalFree(block);
    return nullptr;
  }
  return stream;
}

// A compatible bitmap selected into its own memory device context.
struct MemoryBitmap {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;

  // False, with nothing held, when the system cannot make a bitmap that large.
  bool Make(int width, int height) {
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    dc = CreateCompatibleDC(screen);
    bitmap = dc ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    ReleaseDC(nullptr, screen);
    if (bitmap) previous = SelectObject(dc, bitmap);
    if (previous) return true;
    Free();
    return false;
  }
  void Free() {
    if (dc && previous) SelectObject(dc, previous);
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    *this = MemoryBitmap();
  }
};

class Win32Canvas : public Canvas {
 public:
  Win32Canvas(MemoryBitmap surface, int width, int height) : surface_(surface), size_{width, height} {}
  ~Win32Canvas() override {
    saved_.Free();
    surface_.Free();
  }
  Win32Canvas(const Win32Canvas&) = delete;
  Win32Canvas& operator=(const Win32Canvas&) = delete;

  PixelSize Size() const override { return size_; }

  void Fill(const PixelRect& area, Colour colour) override {
    std::lock_guard<std::mutex> lock(mutex_);
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return;
    RECT rect{area.left, area.top, area.left + area.width, area.top + area.height};
    FillRect(surface_.dc, &rect, brush);
    DeleteObject(brush);
  }

  void Render(const Picture& picture, const PixelRect& area) override {
    const auto* win32 = dynamic_cast<const Win32Picture*>(&picture);
    if (!win32) return;
    const HimetricSize natural = win32->Size();
    std::lock_guard<std::mutex> lock(mutex_);
    // HIMETRIC runs upwards, so the source starts at the bottom edge with a negative height.
    win32->Get()->Render(surface_.dc, area.left, area.top, area.width, area.height, 0, natural.height,
                         natural.width, -natural.height, nullptr);
  }

  void SaveArea(const PixelRect& area) override {
    std::lock_guard<std::mutex> lock(mutex_);
    saved_.Free();
    savedArea_ = area;
    if (area.width <= 0 || area.height <= 0 || !saved_.Make(area.width, area.height)) return;
    BitBlt(saved_.dc, 0, 0, area.width, area.height, surface_.dc, area.left, area.top, SRCCOPY);
  }

  void RestoreArea() override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!saved_.dc) return;
    BitBlt(surface_.dc, savedArea_.left, savedArea_.top, savedArea_.width, savedArea_.height, saved_.dc, 0, 0,
           SRCCOPY);
  }

  void CopyTo(HDC target, int x, int y) {
    std::lock_guard<std::mutex> lock(mutex_);
    BitBlt(target, x, y, size_.width, size_.height, surface_.dc, 0, 0, SRCCOPY);
  }

 private:
  std::mutex mutex_;  // the animation thread draws while the window paints
  MemoryBitmap surface_;
  MemoryBitmap saved_;
  PixelRect savedArea_;
  PixelSize size_;
};

}  // namespace

std::unique_ptr<Picture> Win32Pictures::Decode(const std::string& bytes) {
  if (bytes.empty()) return nullptr;
  EnsureComOnThisThread();
  IStream* stream = StreamOver(bytes);
  if (!stream) return nullptr;
  IPicture* picture = nullptr;
  HRESULT result = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                  reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(result) || !picture) return nullptr;
  return std::make_unique<Win32Picture>(picture);
}

PixelSize Win32Pictures::PixelsPerInch() const {
  HDC screen = GetDC(nullptr);
  if (!screen) return {96, 96};
  PixelSize perInch{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
  ReleaseDC(nullptr, screen);
  if (perInch.width <= 0 || perInch.height <= 0) return {96, 96};
  return perInch;
}

std::unique_ptr<Canvas> Win32Pictures::MakeCanvas(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  MemoryBitmap surface;
  if (!surface.Make(width, height)) return nullptr;
  return std::make_unique<Win32Canvas>(surface, width, height);
}

Colour Win32Pictures::SystemColour(SystemColourId id) const { return GetSysColor(static_cast<int>(id)); }

void CopyCanvasTo(Canvas& canvas, void* deviceContext, int x, int y) {
  if (auto* win32 = dynamic_cast<Win32Canvas*>(&canvas)) win32->CopyTo(static_cast<HDC>(deviceContext), x, y);
}

}  // namespace tw

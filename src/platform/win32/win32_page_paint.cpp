// GDI painting shared by the page window and its self-painting widgets: skin fonts, pictures
// decoded by the OLE loader, labels, the etched frame and icons.
#include "platform/win32/win32_page.h"
#include "platform/win32/win32_platform.h"

#include <cstddef>

#include "platform/pictures.h"

namespace tw {

namespace {

// The status-bar font carries the system's quality and charset choices; only face, size and
// attributes come from the skin. Systems older than Vista refuse the larger structure.
LOGFONTW StatusFont() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return LOGFONTW{};
  }
  return metrics.lfStatusFont;
}

int ScreenPixelsPerInch(int index) {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, index) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// A read-only stream over a movable global block holding the whole file; null when the file is
// missing or empty. The stream frees the block when released.
IStream* FileStream(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  DWORD size = GetFileSize(file, nullptr);
  HGLOBAL block = (size == 0 || size == INVALID_FILE_SIZE) ? nullptr : GlobalAlloc(GMEM_MOVEABLE, size);
  void* bytes = block ? GlobalLock(block) : nullptr;
  DWORD read = 0;
  bool complete = bytes && ReadFile(file, bytes, size, &read, nullptr) && read == size;
  if (bytes) GlobalUnlock(block);
  CloseHandle(file);
  IStream* stream = nullptr;
  if (!complete || FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
    if (block) GlobalFree(block);
    return nullptr;
  }
  return stream;
}

}  // namespace

HFONT MakeSkinFont(const FontSpec& spec) {
  LOGFONTW font = StatusFont();
  lstrcpynW(font.lfFaceName, Wide(spec.face).c_str(), LF_FACESIZE);
  font.lfHeight = -MulDiv(spec.pointSize, ScreenPixelsPerInch(LOGPIXELSY), 72);
  font.lfWidth = 0;
  font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = spec.italic ? TRUE : FALSE;
  font.lfUnderline = spec.underline ? TRUE : FALSE;
  return CreateFontIndirectW(&font);
}

std::unique_ptr<OlePicture> OlePicture::Load(const std::string& path) {
  IStream* stream = FileStream(path);
  if (!stream) return nullptr;
  IPicture* picture = nullptr;
  HRESULT result = OleLoadPicture(stream, 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(result) || !picture) return nullptr;
  return std::unique_ptr<OlePicture>(new OlePicture(picture));
}

OlePicture::OlePicture(IPicture* picture) : picture_(picture) {
  picture_->get_Width(&himetricWidth_);
  picture_->get_Height(&himetricHeight_);
  width_ = HimetricToPixels(himetricWidth_, ScreenPixelsPerInch(LOGPIXELSX));
  height_ = HimetricToPixels(himetricHeight_, ScreenPixelsPerInch(LOGPIXELSY));
}

OlePicture::~OlePicture() { picture_->Release(); }

bool OlePicture::IsTransparent() const {
  DWORD attributes = 0;
  if (FAILED(picture_->get_Attributes(&attributes))) return true;
  return (attributes & PICTURE_TRANSPARENT) != 0;
}

// The loader's source rectangle is in HIMETRIC with the origin at the bottom, hence the negative
// height that turns the picture the right way up.
void OlePicture::Render(HDC dc, const RECT& area) const {
  OLE_HANDLE palette = 0;
  if (SUCCEEDED(picture_->get_hPal(&palette)) && palette) {
    SelectPalette(dc, reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(palette)), FALSE);
    RealizePalette(dc);
  }
  picture_->Render(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, 0, himetricHeight_,
                   himetricWidth_, -himetricHeight_, &area);
}

HBITMAP RenderToBitmap(const OlePicture& picture, COLORREF fill) {
  if (picture.Width() <= 0 || picture.Height() <= 0) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, picture.Width(), picture.Height()) : nullptr;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT area = {0, 0, picture.Width(), picture.Height()};
    HBRUSH brush = CreateSolidBrush(fill);
    if (brush) {
      FillRect(memory, &area, brush);
      DeleteObject(brush);
    }
    picture.Render(memory, area);
    SelectObject(memory, old);
  }
  if (memory) DeleteDC(memory);
  if (screen) ReleaseDC(nullptr, screen);
  return bitmap;
}

void PaintLabel(HDC dc, const RECT& client, const std::string& text, HFONT font, const WidgetLook& look) {
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  if (look.filled) {
    SetBkColor(dc, look.fillColor);
    HBRUSH brush = CreateSolidBrush(look.fillColor);
    if (brush) {
      FillRect(dc, &client, brush);
      DeleteObject(brush);
    }
  }
  SetTextColor(dc, look.textColor.value_or(RGB(0, 0, 0)));
  // Unfilled labels let the page's picture or colour show between the letters.
  SetBkMode(dc, TRANSPARENT);
  RECT area = client;
  const std::wstring wide = Wide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &area, look.textFormat);
  if (oldFont) SelectObject(dc, oldFont);
}

void PaintFrame(HDC dc, const RECT& client) {
  RECT edge = client;
  DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
}

// A see-through picture is composed off-screen on the fill colour first, so the control never
// flickers through the page beneath.
void PaintPicture(HDC dc, const OlePicture& picture, COLORREF fill) {
  RECT area = {0, 0, picture.Width(), picture.Height()};
  if (!picture.IsTransparent()) {
    picture.Render(dc, area);
    return;
  }
  HBITMAP bitmap = RenderToBitmap(picture, fill);
  HDC memory = bitmap ? CreateCompatibleDC(dc) : nullptr;
  if (memory) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 0, picture.Width(), picture.Height(), memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  if (bitmap) DeleteObject(bitmap);
}

void PaintIcon(HDC dc, const RECT& client, HICON icon, COLORREF fill) {
  HBRUSH brush = CreateSolidBrush(fill);
  if (brush) {
    FillRect(dc, &client, brush);
    DeleteObject(brush);
  }
  DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 0, 0, 32, 32, DST_ICON | DSS_NORMAL);
}

}  // namespace tw

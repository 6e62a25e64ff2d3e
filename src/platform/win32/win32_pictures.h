// The picture service over OLE picture loading and GDI memory canvases.
#pragma once
#include "platform/pictures.h"

namespace tw {

class Win32Pictures : public Pictures {
 public:
  std::unique_ptr<Picture> Decode(const std::string& bytes) override;
  PixelSize PixelsPerInch() const override;
  std::unique_ptr<Canvas> MakeCanvas(int width, int height) override;
  Colour SystemColour(SystemColourId id) const override;
};

// Copies a whole canvas 1:1 to a device context (an HDC) with its top-left corner at (x, y); the
// picture control's paint handler calls it. Does nothing for a canvas this service did not make.
void CopyCanvasTo(Canvas& canvas, void* deviceContext, int x, int y);

}  // namespace tw
